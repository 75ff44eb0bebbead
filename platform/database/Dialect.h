#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

namespace platform::db {

enum class Engine { SqlServer, Sqlite };

// The two constructs a statement builder cannot leave to the translation: string
// concatenation and date literals.
class Dialect {
public:
    explicit Dialect(Engine engine = Engine::SqlServer) : m_engine(engine) {}
    Engine engine() const { return m_engine; }

    // The concatenation operator with a blank on each side: " + " or " || ".
    QString Concat() const;
    // a Concat() b Concat() ...
    QString Concat(const QStringList& parts) const;
    // A date in brackets: ('mm/dd/yyyy') on SQL Server, ('yyyy-mm-dd 00:00:00') on SQLite.
    QString DateLiteral(const QDate& date) const;
    // A date and time: ('mm/dd/yyyy hh:mm:ss') or ('yyyy-mm-dd hh:mm:ss').
    QString DateTimeLiteral(const QDateTime& value) const;

private:
    Engine m_engine;
};

}  // namespace platform::db
