#include "Recordset.h"

#include "Connection.h"
#include "DatabaseError.h"

namespace platform::db {

void Recordset::Open(const QString& sql, Connection& connection)
{
    if (m_open)
        throw DatabaseError(err::OperationNotAllowedOpen, QStringLiteral("Operation is not allowed when the object is open."));
    m_result = connection.Query(sql);
    m_position = 0;
    m_open = true;
}

void Recordset::Close()
{
    m_open = false;
    m_result = ResultSet();
    m_position = 0;
}

void Recordset::requireOpen() const
{
    if (!m_open)
        throw DatabaseError(err::OperationNotAllowedClosed, QStringLiteral("Operation is not allowed when the object is closed."));
}

void Recordset::requireRow() const
{
    requireOpen();
    if (m_position < 0 || m_position >= static_cast<long>(m_result.rows.size()))
        throw DatabaseError(err::NoCurrentRecord,
                            QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                                           "Requested operation requires a current record."));
}

bool Recordset::IsEOF() const
{
    requireOpen();
    return m_position >= static_cast<long>(m_result.rows.size());
}

bool Recordset::IsBOF() const
{
    requireOpen();
    return m_result.rows.empty() || m_position < 0;
}

void Recordset::MoveNext()
{
    requireRow();
    ++m_position;
}

void Recordset::MoveFirst()
{
    requireOpen();
    m_position = 0;
}

long Recordset::RecordCount() const
{
    requireOpen();
    return static_cast<long>(m_result.rows.size());
}

int Recordset::FieldCount() const
{
    requireOpen();
    return static_cast<int>(m_result.columns.size());
}

QString Recordset::FieldName(int index) const
{
    requireOpen();
    return m_result.columns.value(index);
}

int Recordset::indexOf(const QString& name) const
{
    for (int i = 0; i < m_result.columns.size(); ++i)
        if (m_result.columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool Recordset::HasField(const QString& name) const
{
    return m_open && indexOf(name) >= 0;
}

const Value& Recordset::Field(const QString& name) const
{
    requireOpen();
    const int i = indexOf(name);
    if (i < 0)
        throw DatabaseError(err::ItemNotFound,
                            QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal."));
    return Field(i);
}

const Value& Recordset::Field(int index) const
{
    requireRow();
    const auto& row = m_result.rows[static_cast<size_t>(m_position)];
    if (index < 0 || index >= static_cast<int>(row.size()))
        throw DatabaseError(err::ItemNotFound,
                            QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal."));
    return row[static_cast<size_t>(index)];
}

}  // namespace platform::db
