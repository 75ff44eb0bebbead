#pragma once

#include "Backend.h"
#include "Dialect.h"

#include <QString>
#include <memory>

namespace platform::db {

enum ObjectState { adStateClosed = 0, adStateOpen = 1 };

// The connection of the original's data layer. The connection string chooses the engine:
//   Server=sqlite:<folder>;Database=<name>   the embedded database <folder>/<name>.sqlite
//                                            (never created, except "master")
//   Server=<host>;Database=..;User ID=..;Password=..   SQL Server through ODBC
//   Driver=..;... or DSN=..;...              passed to ODBC as it stands
// The ODBC driver for SQL Server is taken from CORVANTIS_ODBC_DRIVER (default FreeTDS on Linux,
// "SQL Server" on Windows); CORVANTIS_ODBC_OPTIONS adds further "key=value;" pairs.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opening an open connection is a run-time error (3705).
    void Open(const QString& connectionString);
    void Close();
    int State() const { return m_backend ? adStateOpen : adStateClosed; }

    // Runs a statement and gives the rows affected.
    long Execute(const QString& sql);
    ResultSet Query(const QString& sql);
    // The rows of a statement to read in order (see Rows).
    std::unique_ptr<Rows> OpenRows(const QString& sql, RowsRead read = RowsRead::Stepping);
    std::unique_ptr<Rows> OpenRows(const Statement& statement, RowsRead read = RowsRead::Stepping);
    // A statement prepared once; it must be dropped before the connection closes.
    std::unique_ptr<PreparedStatement> Prepare(const QString& sql);
    qint64 LastInsertId();

    const Dialect& dialect() const { return m_dialect; }
    QString DatabaseName() const;

    // Opens a backend without a connection string (tests, tools, a kept connection).
    void OpenBackend(std::unique_ptr<Backend> backend);
    // Closes this object without closing the database connection, which the caller takes
    // (null when closed).
    std::unique_ptr<Backend> Release();

private:
    Backend& backend();
    std::unique_ptr<Backend> m_backend;
    Dialect m_dialect;
};

}  // namespace platform::db
