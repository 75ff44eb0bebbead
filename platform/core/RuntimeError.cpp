#include "RuntimeError.h"

namespace platform {

RuntimeError::RuntimeError(long number, QString description, QString source)
    : m_number(number), m_description(std::move(description)), m_source(std::move(source)),
      m_what(ErrorLine(*this).toStdString())
{
}

QString ErrorLine(const RuntimeError& error)
{
    return QString::number(error.Number()) + QLatin1Char('-') + error.Description();
}

RuntimeError ObjectNotSet(const QString& source)
{
    return RuntimeError(91, QStringLiteral("Object variable or With block variable not set"), source);
}

}  // namespace platform
