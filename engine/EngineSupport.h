#pragma once

#include "core/RuntimeError.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

// Small rules that every action handler of the request engine shares.
namespace engine {

// The line break of reply messages and error texts.
inline const QString CRLF = QStringLiteral("\r\n");

// A code is "found in" a code list (such as "SA,PU,CH,BK" or "001,006,007") when it equals one of
// the list's comma-separated entries, without regard to case. Blanks around the code and around
// the entries do not count; an empty code, or a piece of a code ("S", "1"), is never found.
bool IsCodeInList(const QString& code, const QString& list);

// The empty date of the product (shown as 1899-12-30).
QDate EmptyDate();
bool IsEmptyDate(const QDate& date);

// A date sent in a request, "YYYY-MM-DD" optionally followed by a blank or "T" and "hh:mm:ss" (a
// date with a time keeps only its date; "1899-12-30" is the empty date). Any other text, the
// empty text included, is run-time error 13.
QDate RequestDate(const QString& text);

// A list value (a date, date-time or date text) as a date-time; a null is error 94, text that is
// no date error 13.
QDateTime VariantDateTime(const QVariant& value);
// A list value as text; a null is error 94.
QString VariantText(const QVariant& value);

// Leading and trailing blanks removed (blanks only, as the product's own Trim does).
QString TrimBlanks(const QString& text);

// A stored comma-separated code list made ready for an SQL IN list: "01, 02" gives "'01','02'",
// each code trimmed of blanks, quotes inside doubled; an empty or blank list gives "".
QString QuotedList(const QString& stored);

// "<number>-<description>" of a run-time error: what a trapping service leaves as the error text.
using platform::ErrorLine;

// The failure message of a handler: its failure line, CR LF and the error text gathered so far;
// a run-time error still pending in the handler adds CR LF, "Error " and its error line.
QString FailureText(const QString& failureLine, const QString& errorText, const platform::RuntimeError* pending);

}  // namespace engine
