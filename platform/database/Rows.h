#pragma once

#include "Backend.h"
#include "Value.h"

#include <QByteArray>
#include <QString>

#include <string_view>
#include <vector>

namespace platform::db {

// A text of the current row in UTF-8, valid until the rows move on. `ascii`: every byte is
// below 128 (the bytes are then the text whatever is done to them).
struct Utf8Text {
    const char* data = "";
    qsizetype size = 0;
    bool ascii = true;

    std::string_view View() const { return {data, static_cast<size_t>(size)}; }
    bool IsEmpty() const { return size == 0; }
    // An ASCII text with the white space at both ends cut off, as QString::trimmed cuts it
    // (beyond ASCII Qt counts more characters as white space: such a text is for Qt to trim).
    Utf8Text TrimmedSpace() const;
};

// A date-time value and the texts made of it when first asked for: Value::ToText, and
// Value::ToDate as "yyyy-MM-dd".
class DateEntry {
public:
    void Set(const QDateTime& value);
    const QDateTime& Moment() const { return m_moment; }
    const QByteArray& Text() const;
    const QByteArray& Date() const;

private:
    QDateTime m_moment;
    mutable QByteArray m_text;
    mutable QByteArray m_date;
    mutable bool m_textMade = false;
    mutable bool m_dateMade = false;
};

// One value of the current row as the recordset's Value would hold it, without the Value: its
// type and content (a text in place, a date through its entry).
struct Cell {
    ValueType type = ValueType::Null;
    bool flag = false;           // Boolean
    qint64 integer = 0;          // Integer
    double decimal = 0;          // Decimal
    const char* text = nullptr;  // Text: its bytes (null for a text the engine gave as none)
    qsizetype size = 0;
    bool ascii = true;
    const DateEntry* date = nullptr;  // DateTime
};

// A column read by its name: the position is found among a statement's columns the first
// time the column is read there, and kept for every later row.
class Column {
public:
    explicit Column(QString name) : m_name(std::move(name)) {}
    const QString& Name() const { return m_name; }

private:
    friend class Rows;
    QString m_name;
    quint64 m_rows = 0;  // the rows the position was found in
    int m_index = -1;
};

// The rows of one statement, read one after the other in order. On the embedded database the
// values are read straight from the statement as it steps, nothing of a row kept once the next
// is read; elsewhere from the rows the backend read at once. The readers give exactly what the
// recordset's field (a Value) and its conversions give, without making the Value: a null is
// error 94 for all but IsNull and At, and a name the statement lacks is error 3265 when read.
class Rows {
public:
    Rows();
    virtual ~Rows() = default;
    Rows(const Rows&) = delete;
    Rows& operator=(const Rows&) = delete;

    virtual int ColumnCount() const = 0;
    virtual QString ColumnName(int column) const = 0;
    // The first column of that name without regard to case, -1 when there is none.
    int IndexOf(const QString& name) const;
    // The position of the column, found once for these rows; error 3265 when it is missing.
    int Index(Column& column) const;

    // To the next row (the first one on the first call); false after the last. A failure of the
    // statement while it runs is a DatabaseError.
    virtual bool Next() = 0;

    // The current row's value as a recordset field.
    virtual Value At(int column) = 0;

    bool IsNull(int column) { return CellAt(column).type == ValueType::Null; }
    ValueType Type(int column) { return CellAt(column).type; }
    double ToDouble(int column);
    qint64 ToInteger(int column);
    bool ToBool(int column);
    // Value::ToText in UTF-8.
    Utf8Text ToText(int column);
    // Value::ToDate() as "yyyy-MM-dd" ("" for a date that is none).
    Utf8Text ToDateText(int column);

protected:
    virtual const Cell& CellAt(int column) = 0;
    // Bytes made for a column's text, kept until the column is read again or the rows move on.
    QByteArray& Scratch(int column);
    static Utf8Text TextOf(const QByteArray& bytes);

private:
    [[noreturn]] static void NullError();
    quint64 m_serial;
    std::vector<QByteArray> m_scratch;
};

// Rows already read, as a backend that reads a statement whole gives them.
class StoredRows final : public Rows {
public:
    explicit StoredRows(ResultSet result);
    int ColumnCount() const override { return static_cast<int>(m_result.columns.size()); }
    QString ColumnName(int column) const override { return m_result.columns.value(column); }
    bool Next() override;
    Value At(int column) override;

protected:
    const Cell& CellAt(int column) override;

private:
    const Value& ValueAt(int column) const;
    ResultSet m_result;
    qsizetype m_row = -1;
    std::vector<Cell> m_cells;
    std::vector<qsizetype> m_cellRow;  // the row each cell was made for
    std::vector<QByteArray> m_texts;   // a text cell's bytes
    std::vector<DateEntry> m_dates;    // a date cell's entry
};

}  // namespace platform::db
