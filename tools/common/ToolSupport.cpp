#include "ToolSupport.h"

#include <QFile>

#include <cstdio>

namespace tool {

QTextStream& Out()
{
    static QTextStream out(stdout);
    return out;
}

QTextStream& Err()
{
    static QTextStream err(stderr);
    return err;
}

void PrintError(const platform::RuntimeError& error)
{
    Err() << "Error " << platform::ErrorLine(error) << Qt::endl;
}

bool ReadStandardInput(QString& text)
{
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return false;
    text = QString::fromUtf8(input.readAll());
    return true;
}

}  // namespace tool
