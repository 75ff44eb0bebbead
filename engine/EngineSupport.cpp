#include "EngineSupport.h"

#include "database/Value.h"
#include "settings/GeneralFunction.h"

#include <QRegularExpression>
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
    // Only the form the app sends: a date text of another form (month first, say) is never
    // guessed at.
    static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}([ T]\\d{2}:\\d{2}:\\d{2})?$"));
    const QString t = text.trimmed();
    if (!form.match(t).hasMatch())
        throw platform::RuntimeError(platform::err::TypeMismatch, QStringLiteral("Type mismatch"));
    const QDate date = QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
    const QTime time = t.size() > 10 ? QTime::fromString(t.mid(11), QStringLiteral("HH:mm:ss")) : QTime(0, 0);
    if (!date.isValid() || !time.isValid())
        throw platform::RuntimeError(platform::err::TypeMismatch, QStringLiteral("Type mismatch"));
    return date;
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
    if (TrimBlanks(stored).isEmpty())
        return QString();
    // Each code is trimmed on its own: "01, 02" limits the user to the branches 01 and 02.
    QStringList quoted;
    for (const QString& code : stored.split(QLatin1Char(',')))
        quoted << QLatin1Char('\'') + GeneralFunction::QuoteSQL(TrimBlanks(code)) + QLatin1Char('\'');
    return quoted.join(QLatin1Char(','));
}

QString FailureText(const QString& failureLine, const QString& errorText, const platform::RuntimeError* pending)
{
    QString text = failureLine + CRLF + errorText;
    if (pending)
        text += CRLF + QStringLiteral("Error ") + ErrorLine(*pending);
    return text;
}

}  // namespace engine
