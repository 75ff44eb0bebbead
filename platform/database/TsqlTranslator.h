#pragma once

#include <QString>
#include <QStringList>

namespace platform::db {

// The T-SQL the system writes, rewritten for SQLite token by token; text inside string
// literals is never changed.
struct Translation {
    QString sql;                 // the SQLite text
    QStringList databases;       // databases named by three-part names, other than the current one
    QStringList unionArms;       // the arms of a top-level UNION ALL, each translated (for running arm by arm)
    QList<QStringList> armDatabases;  // the databases each arm names
    bool usesMasterFiles = false;     // names Sys.Master_Files
};

Translation TranslateTsql(const QString& tsql, const QString& currentDatabase);

}  // namespace platform::db
