#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace platform::db {

// "Key=Value;Key=Value;" texts. A value may be wrapped in braces ({a;b}, with "}}" standing
// for "}") or in double quotes; keys compare without regard to case.
class ConnectionString {
public:
    ConnectionString() = default;
    static ConnectionString Parse(const QString& text);

    QString Get(const QString& key) const;
    bool Has(const QString& key) const;
    void Set(const QString& key, const QString& value);
    // The key/value pairs in the order they were first set.
    const QList<QPair<QString, QString>>& Items() const { return m_items; }

    // Every value brace-quoted, as ODBC wants them: {value} with "}" doubled.
    QString ToOdbc() const;
    // Values brace-quoted only where they hold ";", braces, quotes or outer blanks.
    QString ToText() const;

    static QString BraceQuote(const QString& value);

private:
    QList<QPair<QString, QString>> m_items;
};

}  // namespace platform::db
