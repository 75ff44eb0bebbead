#pragma once

#include "Backend.h"

#include <QString>

namespace platform::db {

class Connection;

// The recordset of the original's data layer: all rows are read when it opens, so several
// recordsets can be open on one connection. Fields are found by name without regard to case,
// the first match winning.
class Recordset {
public:
    Recordset() = default;

    // Runs the statement on the connection. Opening an open recordset is error 3705.
    void Open(const QString& sql, Connection& connection);
    void Close();
    int State() const { return m_open ? 1 : 0; }

    bool IsEOF() const;
    bool IsBOF() const;
    void MoveNext();
    void MoveFirst();
    long RecordCount() const;

    int FieldCount() const;
    QString FieldName(int index) const;
    // The current row's field; unknown names are error 3265, no current row error 3021.
    const Value& Field(const QString& name) const;
    const Value& Field(int index) const;
    const Value& operator[](const QString& name) const { return Field(name); }
    bool HasField(const QString& name) const;

    const ResultSet& Rows() const { return m_result; }

private:
    int indexOf(const QString& name) const;
    void requireOpen() const;
    void requireRow() const;

    bool m_open = false;
    ResultSet m_result;
    long m_position = 0;
};

}  // namespace platform::db
