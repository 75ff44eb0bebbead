#pragma once

#include "Backend.h"

#include <memory>

namespace platform::db {

// The embedded database: a folder in which master.sqlite holds the server's own tables and
// each company database is <name>.sqlite. Statements are T-SQL, translated before they run.
// Opening a database that has no file fails (a company file is never created by opening it);
// only "master" is created when missing.
std::unique_ptr<Backend> OpenSqlite(const QString& folder, const QString& database);

}  // namespace platform::db
