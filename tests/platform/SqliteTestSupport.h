#pragma once

// What the tests of the embedded database share: database files built directly with SQLite, and
// result rows as one text.

#include "database/Recordset.h"

#include <QString>
#include <QStringList>
#include <QtTest>
#include <sqlite3.h>

namespace sqlitetest {

// Builds a database file directly, as the product's own tools would, statement by statement.
inline void MakeDatabase(const QString& path, const QStringList& statements)
{
    sqlite3* db = nullptr;
    QVERIFY(sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK);
    for (const QString& s : statements) {
        char* message = nullptr;
        const int rc = sqlite3_exec(db, s.toUtf8().constData(), nullptr, nullptr, &message);
        const QString text = QString::fromUtf8(message ? message : "");
        sqlite3_free(message);
        QVERIFY2(rc == SQLITE_OK, qPrintable(text + QStringLiteral(" in ") + s));
    }
    sqlite3_close(db);
}

// Rows as "a|b;c|d", a null as NULL.
inline QString RowsText(const platform::db::ResultSet& rs)
{
    QStringList rows;
    for (const auto& row : rs.rows) {
        QStringList cells;
        for (const platform::db::Value& v : row)
            cells << (v.IsNull() ? QStringLiteral("NULL") : v.ToText());
        rows << cells.join(QLatin1Char('|'));
    }
    return rows.join(QLatin1Char(';'));
}

}  // namespace sqlitetest
