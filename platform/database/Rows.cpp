#include "Rows.h"

#include "DatabaseError.h"

#include <atomic>
#include <charconv>
#include <cmath>

namespace platform::db {

namespace {
std::atomic<quint64> g_rowsSerial{0};

bool IsAscii(const char* p, qsizetype n)
{
    for (qsizetype i = 0; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) >= 0x80)
            return false;
    return true;
}
}  // namespace

Utf8Text Utf8Text::TrimmedSpace() const
{
    Q_ASSERT(ascii);
    const auto space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    const char* begin = data;
    const char* end = data + size;
    while (begin < end && space(*begin))
        ++begin;
    while (end > begin && space(end[-1]))
        --end;
    return {begin, end - begin, true};
}

void DateEntry::Set(const QDateTime& value)
{
    m_moment = value;
    m_textMade = m_dateMade = false;
}

const QByteArray& DateEntry::Text() const
{
    if (!m_textMade) {
        m_text = Value(m_moment).ToText().toUtf8();
        m_textMade = true;
    }
    return m_text;
}

const QByteArray& DateEntry::Date() const
{
    if (!m_dateMade) {
        m_date = Value(m_moment).ToDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
        m_dateMade = true;
    }
    return m_date;
}

Rows::Rows() : m_serial(++g_rowsSerial) {}

int Rows::IndexOf(const QString& name) const
{
    const int count = ColumnCount();
    for (int i = 0; i < count; ++i)
        if (ColumnName(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int Rows::Index(Column& column) const
{
    if (column.m_rows != m_serial) {
        column.m_index = IndexOf(column.m_name);
        column.m_rows = m_serial;
    }
    if (column.m_index < 0)
        throw DatabaseError(err::ItemNotFound,
                            QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal."));
    return column.m_index;
}

void Rows::NullError()
{
    throw RuntimeError(err::InvalidUseOfNull, QStringLiteral("Invalid use of Null"));
}

QByteArray& Rows::Scratch(int column)
{
    if (m_scratch.size() <= static_cast<size_t>(column))
        m_scratch.resize(static_cast<size_t>(column) + 1);
    return m_scratch[static_cast<size_t>(column)];
}

Utf8Text Rows::TextOf(const QByteArray& bytes)
{
    return {bytes.constData(), bytes.size(), IsAscii(bytes.constData(), bytes.size())};
}

// The numeric readers follow Value's own, which they stand in for; what is rare in a number's
// column (a text, a date) is left to the Value itself.
double Rows::ToDouble(int column)
{
    const Cell& cell = CellAt(column);
    switch (cell.type) {
    case ValueType::Null: NullError();
    case ValueType::Boolean: return cell.flag ? -1.0 : 0.0;
    case ValueType::Integer: return static_cast<double>(cell.integer);
    case ValueType::Decimal: return cell.decimal;
    default: return At(column).ToDouble();
    }
}

qint64 Rows::ToInteger(int column)
{
    const Cell& cell = CellAt(column);
    if (cell.type == ValueType::Integer)
        return cell.integer;
    return static_cast<qint64>(std::nearbyint(ToDouble(column)));
}

bool Rows::ToBool(int column)
{
    const Cell& cell = CellAt(column);
    switch (cell.type) {
    case ValueType::Null: NullError();
    case ValueType::Boolean: return cell.flag;
    case ValueType::Integer: return cell.integer != 0;
    case ValueType::Decimal: return cell.decimal != 0.0;
    case ValueType::Text:
        if (cell.text && cell.ascii) {
            // A computed flag ('True' AS ...) is a text: its word is read here, as
            // convert::TextToBool reads it (white space around it does not count).
            const Utf8Text trimmed = Utf8Text{cell.text, cell.size, true}.TrimmedSpace();
            const QLatin1StringView word(trimmed.data, trimmed.size);
            if (word.compare(QLatin1StringView("True"), Qt::CaseInsensitive) == 0)
                return true;
            if (word.compare(QLatin1StringView("False"), Qt::CaseInsensitive) == 0)
                return false;
        }
        return At(column).ToBool();
    default: return At(column).ToBool();
    }
}

Utf8Text Rows::ToText(int column)
{
    const Cell& cell = CellAt(column);
    switch (cell.type) {
    case ValueType::Null: NullError();
    case ValueType::Boolean: return cell.flag ? Utf8Text{"True", 4, true} : Utf8Text{"False", 5, true};
    case ValueType::Integer: {
        QByteArray& out = Scratch(column);
        out.resize(24);
        const auto end = std::to_chars(out.data(), out.data() + out.size(), cell.integer).ptr;
        out.resize(end - out.constData());
        return {out.constData(), out.size(), true};
    }
    case ValueType::Decimal: {
        QByteArray& out = Scratch(column);
        out = convert::NumberText(cell.decimal).toLatin1();
        return {out.constData(), out.size(), true};
    }
    case ValueType::Text:
        if (!cell.text)
            return {};
        if (cell.ascii)
            return {cell.text, cell.size, true};
        // Beyond ASCII the text is what the Value's text would give in UTF-8 (a byte that is no
        // UTF-8 stands for the replacement character).
        return TextOf(Scratch(column) = QString::fromUtf8(cell.text, cell.size).toUtf8());
    case ValueType::DateTime: return TextOf(cell.date->Text());
    }
    return {};
}

Utf8Text Rows::ToDateText(int column)
{
    const Cell& cell = CellAt(column);
    if (cell.type == ValueType::DateTime)
        return TextOf(cell.date->Date());
    if (cell.type == ValueType::Null)
        NullError();
    return TextOf(Scratch(column) = At(column).ToDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8());
}

// ---- rows read at once ----------------------------------------------------------------------

std::unique_ptr<Rows> Backend::OpenRows(const QString& sql, RowsRead)
{
    return std::make_unique<StoredRows>(Query(sql));
}

std::unique_ptr<Rows> Backend::OpenRows(const Statement& statement, RowsRead read)
{
    return OpenRows(statement.Joined(), read);
}

StoredRows::StoredRows(ResultSet result) : m_result(std::move(result))
{
    const size_t columns = static_cast<size_t>(m_result.columns.size());
    m_cells.resize(columns);
    m_cellRow.assign(columns, -1);
    m_texts.resize(columns);
    m_dates.resize(columns);
}

bool StoredRows::Next()
{
    if (m_row < static_cast<qsizetype>(m_result.rows.size()))
        ++m_row;
    return m_row < static_cast<qsizetype>(m_result.rows.size());
}

const Value& StoredRows::ValueAt(int column) const
{
    if (m_row < 0 || m_row >= static_cast<qsizetype>(m_result.rows.size()))
        throw DatabaseError(err::NoCurrentRecord,
                            QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                                           "Requested operation requires a current record."));
    const auto& row = m_result.rows[static_cast<size_t>(m_row)];
    if (column < 0 || column >= static_cast<int>(row.size()))
        throw DatabaseError(err::ItemNotFound,
                            QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal."));
    return row[static_cast<size_t>(column)];
}

Value StoredRows::At(int column)
{
    return ValueAt(column);
}

const Cell& StoredRows::CellAt(int column)
{
    const Value& value = ValueAt(column);
    const size_t c = static_cast<size_t>(column);
    Cell& cell = m_cells[c];
    if (m_cellRow[c] == m_row)
        return cell;
    m_cellRow[c] = m_row;
    cell = Cell();
    cell.type = value.Type();
    switch (cell.type) {
    case ValueType::Null: break;
    case ValueType::Boolean: cell.flag = value.ToBool(); break;
    case ValueType::Integer: cell.integer = value.ToInteger(); break;
    case ValueType::Decimal: cell.decimal = value.ToDouble(); break;
    case ValueType::Text: {
        QByteArray& bytes = m_texts[c];
        bytes = value.ToText().toUtf8();
        cell.text = bytes.constData();
        cell.size = bytes.size();
        cell.ascii = IsAscii(bytes.constData(), bytes.size());
        break;
    }
    case ValueType::DateTime:
        m_dates[c].Set(value.ToDateTime());
        cell.date = &m_dates[c];
        break;
    }
    return cell;
}

}  // namespace platform::db
