#pragma once

#include "Dialect.h"
#include "Statement.h"
#include "Value.h"

#include <QStringList>
#include <memory>
#include <vector>

namespace platform::db {

class Rows;

// How a statement's rows are read: as the statement steps, or all of them before the first is
// given (a failure of the statement then comes before any row, as a recordset's does).
enum class RowsRead { Stepping, Whole };

// All rows of one statement, read at once.
struct ResultSet {
    QStringList columns;
    std::vector<std::vector<Value>> rows;
};

// A statement compiled once and run many times with values bound to its "?" placeholders, in
// order. It belongs to the connection that prepared it and must not outlive it.
class PreparedStatement {
public:
    virtual ~PreparedStatement() = default;
    // Runs the statement with `values` and gives the rows affected.
    virtual long Execute(const std::vector<Value>& values) = 0;
};

// What a connection needs of an engine. Every failure throws DatabaseError.
class Backend {
public:
    virtual ~Backend() = default;
    // Runs a statement (or a batch) that returns rows; the rows of the last statement that
    // returned any.
    virtual ResultSet Query(const QString& sql) = 0;
    // The rows of a statement, to be read in order; as Query gives them unless a backend reads
    // them as the statement runs.
    virtual std::unique_ptr<Rows> OpenRows(const QString& sql, RowsRead read);
    // The same for a statement in pieces; unless a backend binds its literals, its whole text.
    virtual std::unique_ptr<Rows> OpenRows(const Statement& statement, RowsRead read);
    // Runs a statement (or a batch) and gives the rows affected.
    virtual long Execute(const QString& sql) = 0;
    // One statement (no batch) to be run many times with bound values.
    virtual std::unique_ptr<PreparedStatement> Prepare(const QString& sql) = 0;
    // The identity the connection's last INSERT gave its new row.
    virtual qint64 LastInsertId() = 0;
    // Whether the connection may serve another user as it stands: no transaction left open,
    // no statement still running. A connection that cannot tell answers false.
    virtual bool ReadyForReuse() = 0;
    virtual Dialect dialect() const = 0;
    // The database the connection is open on.
    virtual QString DatabaseName() const = 0;
};

}  // namespace platform::db
