#include "Value.h"

#include "DatabaseError.h"

#include <QRegularExpression>
#include <cmath>
#include <cstdio>

namespace platform::db {

namespace convert {

bool TextToBool(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = t.toDouble(&ok);
    if (ok)
        return number != 0.0;
    throw RuntimeError(err::TypeMismatch, QStringLiteral("Type mismatch"));
}

QString NumberText(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    QString text = QString::fromLatin1(buffer);
    if (text.contains(QLatin1Char('e')) && std::fabs(value) < 1e15 && std::fabs(value) >= 1e-4) {
        std::snprintf(buffer, sizeof buffer, "%.15f", value);
        text = QString::fromLatin1(buffer);
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

QString DateTimeText(const QDateTime& value)
{
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDateTime EmptyDate()
{
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0));
}

QDateTime ParseDateTime(const QString& text, bool* ok)
{
    static const char* const formats[] = {
        "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd HH:mm:ss.zzz",
        "MM/dd/yyyy HH:mm:ss", "MM/dd/yyyy", "M/d/yyyy H:mm:ss", "M/d/yyyy",
    };
    const QString t = text.trimmed();
    for (const char* format : formats) {
        QDateTime dt = QDateTime::fromString(t, QLatin1String(format));
        if (dt.isValid()) {
            if (ok)
                *ok = true;
            return dt;
        }
    }
    if (ok)
        *ok = false;
    return {};
}

}  // namespace convert

namespace {
[[noreturn]] void NullError()
{
    throw RuntimeError(err::InvalidUseOfNull, QStringLiteral("Invalid use of Null"));
}
[[noreturn]] void Mismatch()
{
    throw RuntimeError(err::TypeMismatch, QStringLiteral("Type mismatch"));
}
}  // namespace

Value Value::FromUtf8(const QByteArray& utf8)
{
    Value value;
    value.m_type = ValueType::Text;
    value.m_data = QVariant(utf8);
    value.m_utf8 = true;
    return value;
}

QString Value::Text() const
{
    return m_utf8 ? QString::fromUtf8(*Utf8()) : m_data.toString();
}

QString Value::ToText() const
{
    switch (m_type) {
    case ValueType::Null: NullError();
    case ValueType::Boolean: return m_data.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case ValueType::Integer: return QString::number(m_data.toLongLong());
    case ValueType::Decimal: return convert::NumberText(m_data.toDouble());
    case ValueType::Text: return Text();
    case ValueType::DateTime: {
        const QDateTime dt = m_data.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.toString(QStringLiteral("yyyy-MM-dd"))
                                        : convert::DateTimeText(dt);
    }
    }
    return {};
}

bool Value::ToBool() const
{
    switch (m_type) {
    case ValueType::Null: NullError();
    case ValueType::Boolean: return m_data.toBool();
    case ValueType::Integer: return m_data.toLongLong() != 0;
    case ValueType::Decimal: return m_data.toDouble() != 0.0;
    case ValueType::Text: return convert::TextToBool(Text());
    case ValueType::DateTime: return convert::EmptyDate().daysTo(m_data.toDateTime()) != 0;
    }
    return false;
}

double Value::ToDouble() const
{
    switch (m_type) {
    case ValueType::Null: NullError();
    case ValueType::Boolean: return m_data.toBool() ? -1.0 : 0.0;
    case ValueType::Integer: return static_cast<double>(m_data.toLongLong());
    case ValueType::Decimal: return m_data.toDouble();
    case ValueType::Text: {
        bool ok = false;
        const double d = Text().trimmed().toDouble(&ok);
        if (!ok)
            Mismatch();
        return d;
    }
    case ValueType::DateTime: {
        const QDateTime dt = m_data.toDateTime();
        return static_cast<double>(convert::EmptyDate().daysTo(dt)) + dt.time().msecsSinceStartOfDay() / 86400000.0;
    }
    }
    return 0.0;
}

qint64 Value::ToInteger() const
{
    if (m_type == ValueType::Integer)
        return m_data.toLongLong();
    const double d = ToDouble();
    return static_cast<qint64>(std::nearbyint(d));
}

QDateTime Value::ToDateTime() const
{
    switch (m_type) {
    case ValueType::Null: NullError();
    case ValueType::DateTime: return m_data.toDateTime();
    case ValueType::Text: {
        bool ok = false;
        QDateTime dt = convert::ParseDateTime(Text(), &ok);
        if (!ok)
            Mismatch();
        return dt;
    }
    case ValueType::Integer:
    case ValueType::Decimal: {
        const double d = ToDouble();
        const double days = std::floor(d);
        return convert::EmptyDate().addDays(static_cast<qint64>(days))
            .addMSecs(static_cast<qint64>(std::llround((d - days) * 86400000.0)));
    }
    case ValueType::Boolean: Mismatch();
    }
    return {};
}

QVariant Value::ToVariant() const
{
    if (m_type == ValueType::Null)
        return QVariant();
    return m_utf8 ? QVariant(Text()) : m_data;
}

Value Value::FromVariant(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return Value();
    switch (v.typeId()) {
    case QMetaType::Bool: return Value(v.toBool());
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Char: case QMetaType::UChar:
        return Value(v.toLongLong());
    case QMetaType::Double: case QMetaType::Float: return Value(v.toDouble());
    case QMetaType::QDateTime: return Value(v.toDateTime());
    case QMetaType::QDate: return Value(v.toDate().startOfDay());
    default: return Value(v.toString());
    }
}

}  // namespace platform::db
