#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace platform::db {

enum class ValueType { Null, Boolean, Integer, Decimal, Text, DateTime };

// One typed field value as a recordset delivers it. Reading a null as anything but a
// variant, or a text that does not convert, is a run-time error (94 "Invalid use of Null",
// 13 "Type mismatch"), as the original's reads were.
class Value {
public:
    Value() = default;
    Value(bool v) : m_type(ValueType::Boolean), m_data(v) {}
    Value(qint64 v) : m_type(ValueType::Integer), m_data(v) {}
    Value(int v) : m_type(ValueType::Integer), m_data(static_cast<qint64>(v)) {}
    Value(double v) : m_type(ValueType::Decimal), m_data(v) {}
    Value(const QString& v) : m_type(ValueType::Text), m_data(v) {}
    Value(const char* v) : Value(QString::fromUtf8(v)) {}
    Value(const QDateTime& v) : m_type(ValueType::DateTime), m_data(v) {}

    // A text given in UTF-8, held as its bytes until it is read as text: a reply of megabytes is
    // bound to a statement as it stands.
    static Value FromUtf8(const QByteArray& utf8);
    // The bytes of a text held so; null for any other value.
    const QByteArray* Utf8() const { return m_utf8 ? static_cast<const QByteArray*>(m_data.constData()) : nullptr; }

    ValueType Type() const { return m_type; }
    bool IsNull() const { return m_type == ValueType::Null; }

    // Text as the original runtime wrote such a value: Booleans "True"/"False", numbers with
    // up to 15 significant digits, dates as "yyyy-MM-dd" or "yyyy-MM-dd hh:mm:ss".
    QString ToText() const;
    bool ToBool() const;
    qint64 ToInteger() const;  // rounds a decimal half to even, as the runtime's CLng does
    double ToDouble() const;
    QDateTime ToDateTime() const;
    QDate ToDate() const { return ToDateTime().date(); }

    // The typed value as a QVariant (an invalid QVariant for null).
    QVariant ToVariant() const;
    static Value FromVariant(const QVariant& v);

    bool operator==(const Value& other) const
    {
        if (m_utf8 || other.m_utf8)
            return m_type == other.m_type && Text() == other.Text();
        return m_type == other.m_type && m_data == other.m_data;
    }

private:
    QString Text() const;  // a text value's text

    ValueType m_type = ValueType::Null;
    QVariant m_data;
    bool m_utf8 = false;  // m_data holds the text's UTF-8 bytes
};

// Conversions the runtime made implicitly, shared by the recordset reads and the callers that
// convert request or settings texts.
namespace convert {
// "True"/"False" in any case, or a number (non-zero is True); anything else is error 13.
bool TextToBool(const QString& text);
// A number's text with up to 15 significant digits, no trailing zeros, no exponent below 1e15.
QString NumberText(double value);
// Canonical storage text "yyyy-MM-dd HH:mm:ss" and back. The empty date is 1899-12-30.
QString DateTimeText(const QDateTime& value);
QDateTime ParseDateTime(const QString& text, bool* ok = nullptr);
QDateTime EmptyDate();
}  // namespace convert

}  // namespace platform::db
