#pragma once

#include "Backend.h"

#include <memory>

namespace platform::db {

// A database reached through ODBC (Qt's QODBC driver). `odbc` is the complete ODBC connection
// string. For a SQL Server target the connection is sent "SET DATEFORMAT mdy" once it opens,
// so that the 'mm/dd/yyyy' literals of the statements read as the system means them.
std::unique_ptr<Backend> OpenOdbc(const QString& odbc, bool sqlServer, const QString& databaseName);

}  // namespace platform::db
