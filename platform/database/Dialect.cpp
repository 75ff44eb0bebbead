#include "Dialect.h"

#include <QStringList>

namespace platform::db {

QString Dialect::Concat() const
{
    return m_engine == Engine::Sqlite ? QStringLiteral(" || ") : QStringLiteral(" + ");
}

QString Dialect::Concat(const QStringList& parts) const
{
    return parts.join(Concat());
}

QString Dialect::DateLiteral(const QDate& date) const
{
    if (m_engine == Engine::Sqlite)
        return QStringLiteral("('") + date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00')");
    return QStringLiteral("('") + date.toString(QStringLiteral("MM/dd/yyyy")) + QStringLiteral("')");
}

QString Dialect::DateTimeLiteral(const QDateTime& value) const
{
    if (m_engine == Engine::Sqlite)
        return QStringLiteral("('") + value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral("')");
    return QStringLiteral("('") + value.toString(QStringLiteral("MM/dd/yyyy HH:mm:ss")) + QStringLiteral("')");
}

}  // namespace platform::db
