#include "EngineSupport.h"

#include "database/Value.h"
#include "settings/GeneralFunction.h"

#include <QStringList>

namespace engine {

bool IsCodeInList(const QString& code, const QString& list)
{
    const QString wanted = TrimBlanks(code);
    if (wanted.isEmpty())
        return false;
    const QStringList entries = list.split(QLatin1Char(','));
    for (const QString& entry : entries)
        if (TrimBlanks(entry).compare(wanted, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QDate EmptyDate()
{
    return QDate(1899, 12, 30);
}

bool IsEmptyDate(const QDate& date)
{
    return !date.isValid() || date == EmptyDate();
}

QDate RequestDate(const QString& text)
{
    bool ok = false;
    const QDateTime value = platform::db::convert::ParseDateTime(text, &ok);
    if (!ok || !value.isValid())
        throw platform::RuntimeError(platform::err::TypeMismatch, QStringLiteral("Type mismatch"));
    return value.date();
}

QDateTime VariantDateTime(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        throw platform::RuntimeError(platform::err::InvalidUseOfNull, QStringLiteral("Invalid use of Null"));
    switch (value.typeId()) {
    case QMetaType::QDateTime: return value.toDateTime();
    case QMetaType::QDate: return value.toDate().startOfDay();
    default: {
        bool ok = false;
        const QDateTime parsed = platform::db::convert::ParseDateTime(value.toString(), &ok);
        if (!ok)
            throw platform::RuntimeError(platform::err::TypeMismatch, QStringLiteral("Type mismatch"));
        return parsed;
    }
    }
}

QString VariantText(const QVariant& value)
{
    if (!value.isValid())
        throw platform::RuntimeError(platform::err::InvalidUseOfNull, QStringLiteral("Invalid use of Null"));
    switch (value.typeId()) {
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float: return platform::db::convert::NumberText(value.toDouble());
    case QMetaType::QDate: return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.toString(QStringLiteral("yyyy-MM-dd"))
                                        : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    default: return value.toString();
    }
}

QString TrimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

QString QuotedList(const QString& stored)
{
    const QString trimmed = TrimBlanks(stored);
    if (trimmed.isEmpty())
        return QString();
    QString inner = GeneralFunction::QuoteSQL(trimmed);
    inner.replace(QLatin1Char(','), QStringLiteral("','"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

QString FailureText(const QString& failureLine, const QString& errorText, const platform::RuntimeError* pending)
{
    QString text = failureLine + CRLF + errorText;
    if (pending)
        text += CRLF + QStringLiteral("Error ") + ErrorLine(*pending);
    return text;
}

}  // namespace engine
