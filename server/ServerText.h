#pragma once

#include "GeneralFunction.h"

#include <QString>
#include <QTime>
#include <QVariant>

#include <cmath>

// Small text helpers of the server window.
namespace server_text {

inline const QString kCrLf = QStringLiteral("\r\n");
inline const QString kEndMarker = QStringLiteral("<EOF>");

// A value from a request or a peer as it goes into an event line: control characters are made
// visible, so that one event always stays one line.
inline QString Shown(const QString& value)
{
    return GeneralFunction::VisibleText(value);
}

// A stored flag as text or value: "True"/"False" in any case, or a number (non-zero is True).
inline bool TextIsTrue(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0)
        return true;
    bool ok = false;
    const double number = t.toDouble(&ok);
    return ok && number != 0.0;
}

inline bool ValueIsTrue(const QVariant& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    return TextIsTrue(value.toString());
}

// The time of day in seconds since midnight, with its fraction: the clock of the receive and
// send times in event lines.
inline double TimeOfDay()
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

// A difference of two times of day, rounded to 5 places (half to even) and written without
// trailing zeros.
inline QString SecondsText(double seconds)
{
    const double rounded = std::nearbyint(seconds * 100000.0) / 100000.0;
    QString text = QString::number(rounded, 'f', 5);
    while (text.contains(QLatin1Char('.')) && (text.endsWith(QLatin1Char('0')) || text.endsWith(QLatin1Char('.'))))
        text.chop(1);
    if (text == QStringLiteral("-0"))
        text = QStringLiteral("0");
    return text;
}

}  // namespace server_text
