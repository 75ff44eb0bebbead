#pragma once

// What the five actions of the ledgers family share: the values of one request as the handler
// skeleton gathers them, the steps that tell the skeleton what an action does, and the small
// readers of a record's columns the engine's own do not cover.

#include "ActionSkeleton.h"
#include "EngineSupport.h"
#include "Period.h"
#include "clsClient.h"
#include "database/Recordset.h"
#include "json/Json.h"

#include <QDate>
#include <QString>
#include <QVariantList>

#include <functional>

// The request as the handler skeleton has read and checked it.
struct clsClient::LedgerRequest : engine::ActionRequest {
    QString GroupType;  // as sent; echoed in the head
    QString Code;       // GroupType upper-cased: every choice is made on it
    QString AccountCode;
    QString AccountLocationCode;
    QString ItemCode;
    engine::Rights Rights;  // the user's rights with the branch and store of the request
    engine::Period Period;
    QString AccountName;
    QString LocationName;
    QString AccountGroupType;  // the group type of the account's own group ("" when it has none)
    QString ItemName;
    QString Unit;
};

// What one action asks of the handler skeleton, in the order the skeleton takes the steps.
struct clsClient::LedgerAction {
    enum class Lookup { Account, Item };
    QString FailureLine;   // "Error while getting ..." (formed before the keys are read)
    QString GettingWords;  // the first log line's words
    // Reads the action's own keys (dates may fail as run-time errors) and applies its date rule.
    std::function<void(const platform::JsonObject&, LedgerRequest&)> ReadKeys;
    bool YearStartStep = false;  // logs " Calculating Company Year Start Date" before the date check
    bool SameYear = false;
    QString BalanceWords;        // the log words after the month split ("" for none)
    Lookup LookUp = Lookup::Account;
    bool GroupRight = false;     // refuses an account outside the user's account groups
    std::function<QVariantList(const LedgerRequest&)> Head;  // the head members after "Message"
    // Fills "Data"; false after a failure, with the error text already carrying its message.
    std::function<bool(LedgerRequest&, platform::JsonWriter&)> Fill;
    QString ReturningWords;
};

namespace engine::ledgers {

using engine::Column;
using engine::RowNumber;
using engine::RowText;
using engine::RowWhole;
using engine::Rows;
using engine::TrimmedBlanks;
using engine::Utf8Text;
using platform::JsonWriter;

// A date column of the current row as "yyyy-MM-dd", or "" for a NULL or an empty text
// (engine::RowText and its kin read the other columns).
Utf8Text RowDate(Rows& rows, Column& column);
// The narration trimmed of blanks, less one trailing CR LF.
Utf8Text RowNarration(Rows& rows, Column& column);

// The columns of a document's key and date, and the members they make at the head of a row:
// "DocYr", "BrnCd" (trimmed), "DocTy", "SerCd", "DocNo" (WriteKey), then "DocDt" (Write).
struct DocumentColumns {
    Column year{QStringLiteral("DocumentYear")}, branch{QStringLiteral("BranchCode")}, type{QStringLiteral("DocumentType")},
        series{QStringLiteral("SeriesCode")}, number{QStringLiteral("DocumentNo")}, date{QStringLiteral("DocumentDate")};
    void WriteKey(JsonWriter& row, Rows& rs);
    void Write(JsonWriter& row, Rows& rs);
};

// A running total's step: the sum rounded to `places` decimals.
double Rounded(double value, int places);
// A number as a statement's constant.
QString NumberLiteral(double value);

// CR LF, "UNION ALL ", CR LF: how a part month joins the month totals.
QString UnionAll();

}  // namespace engine::ledgers
