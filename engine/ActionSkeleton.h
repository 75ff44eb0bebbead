#pragma once

// The one course of the handlers that answer for a period (the dashboard, the summaries and the
// ledgers): keys, user, company year, dates, period, the action's own look-up, reply head, rows
// and the failure reply. What tells the actions apart is handed in as words and small steps.

#include "Period.h"
#include "database/Recordset.h"
#include "database/Rows.h"
#include "json/Json.h"
#include "json/JsonWriter.h"

#include <QDate>
#include <QString>
#include <QVariantList>

#include <functional>

namespace engine {

// The values the skeleton reads and works out for every action; an action's own values live in
// its family's request, which its steps reach.
struct ActionRequest {
    QString Action;
    QString MobileNo;
    QString UserID;
    QString Password;
    QString FolderName;
    QDate StartDate;  // read by the action's ReadKeys
    QDate LastDate;
    QDate CompanyStart;
    QDate CompanyLast;
};

// The steps of one action, in the order the skeleton takes them. A step that fails returns false
// with the error text already carrying its message.
struct ActionCourse {
    QString FailureLine;   // "Error while getting ..."
    QString GettingWords;  // the first log line's words, after the keys are read
    // Reads the dates (a date that is no date is a run-time error of the handler) and the
    // action's own keys.
    std::function<void(const platform::JsonObject&)> ReadKeys;
    // After the company information, before the dates are checked; none when empty.
    std::function<bool()> BeforeDates;
    // Whether both dates must lie in one company year; false when empty.
    std::function<bool()> SameYear;
    QString BalanceWords;  // logged after the period is worked out ("" for none)
    // The action's account or item, after the period; none when empty.
    std::function<bool()> LookUp;
    std::function<QVariantList()> Head;  // the head members after "Message"
    std::function<bool(platform::JsonWriter&)> Fill;  // writes the rows of "Data"
    QString ReturningWords;
};

// The reply's pairs: alternating names and values as clsClient::MakeJsonText takes them, written
// as members of the open object. A name given twice keeps its first place and takes the later
// value.
void WritePairs(platform::JsonWriter& reply, const QVariantList& pairs);
// The text of a finished reply in UTF-8, with "<EOF>" after it.
QByteArray FinishedReply(platform::JsonWriter& reply);

// A column of the current record, a NULL read as the empty text, 0, false or no date.
// A value's text or number; a NULL is the empty text or 0.
QString ValueText(const platform::db::Value& value);
double ValueNumber(const platform::db::Value& value);
QString FieldText(const platform::db::Recordset& rs, const QString& column);
QString FieldTrimmed(const platform::db::Recordset& rs, const QString& column);
double FieldNumber(const platform::db::Recordset& rs, const QString& column);
qint64 FieldWhole(const platform::db::Recordset& rs, const QString& column);
bool FieldFlag(const platform::db::Recordset& rs, const QString& column);

// The same for a column of the current row of a statement's rows.
using platform::db::Column;
using platform::db::Rows;
using platform::db::Utf8Text;
Utf8Text RowText(Rows& rows, Column& column);
double RowNumber(Rows& rows, Column& column);
qint64 RowWhole(Rows& rows, Column& column);
bool RowFlag(Rows& rows, Column& column);

// A text with the blanks at both ends cut off (blanks only, as TrimBlanks).
Utf8Text TrimmedBlanks(Utf8Text text);
// A narration as the replies show it: trimmed of blanks, less one closing CR LF.
Utf8Text NarrationText(Utf8Text text);
// Written as a text member with the white space at both ends cut off, as QString::trimmed cuts it.
void WriteTrimmed(platform::JsonWriter& out, std::string_view name, const Utf8Text& text);

}  // namespace engine
