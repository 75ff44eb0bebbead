#pragma once

#include "Dialect.h"
#include "Value.h"

#include <QStringList>
#include <vector>

namespace platform::db {

// All rows of one statement, read at once.
struct ResultSet {
    QStringList columns;
    std::vector<std::vector<Value>> rows;
};

// What a connection needs of an engine. Every failure throws DatabaseError.
class Backend {
public:
    virtual ~Backend() = default;
    // Runs a statement (or a batch) that returns rows; the rows of the last statement that
    // returned any.
    virtual ResultSet Query(const QString& sql) = 0;
    // Runs a statement (or a batch) and gives the rows affected.
    virtual long Execute(const QString& sql) = 0;
    virtual Dialect dialect() const = 0;
    // The database the connection is open on.
    virtual QString DatabaseName() const = 0;
};

}  // namespace platform::db
