#pragma once

// The one course of the handlers that answer for a period (the dashboard, the summaries and the
// ledgers): keys, user, company year, dates, period, the action's own look-up, reply head, rows
// and the failure reply. What tells the actions apart is handed in as words and small steps.

#include "Period.h"
#include "database/Recordset.h"
#include "json/Json.h"

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
    std::function<bool(platform::JsonArray&)> Fill;  // fills "Data"
    QString ReturningWords;
};

// A column of the current record, a NULL read as the empty text, 0, false or no date.
// A value's text or number; a NULL is the empty text or 0.
QString ValueText(const platform::db::Value& value);
double ValueNumber(const platform::db::Value& value);
QString FieldText(const platform::db::Recordset& rs, const QString& column);
QString FieldTrimmed(const platform::db::Recordset& rs, const QString& column);
double FieldNumber(const platform::db::Recordset& rs, const QString& column);
qint64 FieldWhole(const platform::db::Recordset& rs, const QString& column);
bool FieldFlag(const platform::db::Recordset& rs, const QString& column);

}  // namespace engine
