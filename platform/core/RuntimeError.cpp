#include "RuntimeError.h"

namespace platform {

RuntimeError::RuntimeError(long number, QString description, QString source)
    : m_number(number), m_description(std::move(description)), m_source(std::move(source)),
      m_what((QString::number(number) + QStringLiteral("-") + m_description).toStdString())
{
}

}  // namespace platform
