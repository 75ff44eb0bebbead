#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace platform::db {

// The T-SQL the system writes, rewritten for SQLite token by token; text inside string
// literals is never changed.
struct Translation {
    QString sql;                 // the SQLite text: the statements of the batch, each ended by ";"
    QStringList databases;       // databases named by three-part names, other than the current one
    // When the batch is one SELECT whose top level is a UNION ALL: each arm translated on its own,
    // with the databases it names, so that a union naming more databases than can be attached at
    // once can be run in parts.
    QStringList unionArms;
    QList<QStringList> armDatabases;
    bool usesMasterFiles = false;  // names Sys.Master_Files (the backend fills its rows first)
};

// Translates a batch. A construct that has no SQLite equivalent is a DatabaseError (a statement
// error, as SQL Server would give for a statement it refuses). Repeated texts are served from a
// small cache.
Translation TranslateTsql(const QString& tsql, const QString& currentDatabase);

// The schema name under which another database of the folder is attached, so that
// db.dbo.table becomes "schema".table.
QString AttachedSchemaName(const QString& database);

// Tables that stand in for SQL Server's catalog; their names appear in the translated text.
namespace tsqlnames {
inline constexpr const char* MasterFilesTable = "sys_master_files";          // in the temp schema
inline constexpr const char* ExtendedPropertiesTable = "sys_extended_properties";
}  // namespace tsqlnames

}  // namespace platform::db
