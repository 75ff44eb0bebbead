#include "Clock.h"

#include <QFile>
#include <QString>

namespace platform {

namespace {
QDateTime g_fixed;

QDateTime FromFile()
{
    static const QByteArray path = qgetenv("CORVANTIS_CLOCK_FILE");
    if (path.isEmpty())
        return {};
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString line = QString::fromUtf8(file.readLine()).trimmed();
    return QDateTime::fromString(line, Qt::ISODate);
}
}  // namespace

QDateTime Clock::Now()
{
    if (g_fixed.isValid())
        return g_fixed;
    const QDateTime fromFile = FromFile();
    if (fromFile.isValid())
        return fromFile;
    QDateTime now = QDateTime::currentDateTime();
    // Whole seconds, as the stored times carry no fraction.
    now.setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));
    return now;
}

QDate Clock::Today()
{
    return Now().date();
}

void Clock::Set(const QDateTime& now)
{
    g_fixed = now;
}

void Clock::Reset()
{
    g_fixed = QDateTime();
}

}  // namespace platform
