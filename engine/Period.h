#pragma once

#include "database/Dialect.h"

#include <QDate>
#include <QString>
#include <QVariantList>

// The period of a request as the statements of the dashboard, the summaries and the ledgers see
// it, and the right clauses and order-value templates those statements share. One implementation,
// so that every action cuts whole and part months and applies a user's rights the same way.
namespace engine {

// The period from StartDate to LastDate within a company whose first day is CompanyStart.
// Whole months are read from the month totals of the balance tables; the part months at either
// end from the ledgers.
struct Period {
    QDate CompanyStart;
    QDate StartDate;
    QDate LastDate;
    bool StartIsFirst = false;     // StartDate is the 1st of its month
    bool LastIsMonthEnd = false;   // LastDate is the last day of its month
    QDate EndOfStartMonth;         // last day of StartDate's month
    QDate StartOfLastMonth;        // first day of LastDate's month
    qint16 FirstWhole = 0;         // month number of the first whole month
    qint16 LastWhole = 0;          // month number of the last whole month
    QDate StartOfStartMonth;       // first day of StartDate's month
    qint16 StartMonthNo = 0;       // month number of StartDate

    static Period Of(const QDate& companyStart, const QDate& startDate, const QDate& lastDate);

    // The number of calendar-month boundaries from the company's first day to the date, plus one
    // (the company's first month is 1, whatever the day of the month). The month numbers are
    // held in 16 bits: Of and MonthNumber raise Overflow (platform::Integer16) for a month past
    // them, a date thousands of years after the company's start.
    static qint16 MonthNumber(const QDate& companyStart, const QDate& date);

    // The period is made of whole months only: no ledger part is needed.
    bool WholeMonthsOnly() const { return StartIsFirst && LastIsMonthEnd; }

    // "ROUND(SUM(ROUND(Month2Total + Month3Total, 2) ), 2)": the month totals of the whole months
    // of the period; "0" stands for the terms when it holds none.
    QString BalanceField() const;
    // The same over the quantity columns ("Month2TotalQuantity", rounded to 3 places).
    QString QuantityBalanceField() const;
    // The balance at the end of LastWhole: the opening figure and every month total up to it.
    QString ClosingBalanceField() const;
    QString ClosingQuantityField() const;

    // "ROUND(SUM(ROUND(<start> + Month<from>Total + ... + Month<to>Total, 2)), 2) " (quantities:
    // "Month<k>TotalQuantity" and 3 places): a balance from the month totals of the months from..to
    // after the start text, which stands alone when to < from.
    static QString MonthTotalsField(const QString& start, int from, int to, bool quantities);
    // The opening at StartDate from the whole months before StartDate's month: the opening figure
    // and the month totals of months 1 to StartMonthNo - 1 (the days of StartDate's month before
    // it come from the ledger).
    QString OpeningBalanceField() const;
    QString OpeningQuantityField() const;

    // The part-month clause over a ledger's date column: "AND ( (start part) OR (last part) ) ".
    // The flags go in as the words True and False, so the database decides which half applies.
    // Each half is cut to the period (the start part ends at LastDate at the latest, the last part
    // begins at StartDate at the earliest), so the clause alone selects the part days of the
    // period and a statement needs no range from StartDate to LastDate around it: that range, the
    // wider one, is what the database would read the ledger's date index by.
    QString PartMonths(const platform::db::Dialect& dialect, const QString& dateColumn) const;
    // The last month's half alone ("AND (...) "), for closing figures: from the first of
    // LastDate's month to LastDate.
    QString LastPartMonth(const platform::db::Dialect& dialect, const QString& dateColumn) const;
};

// The rights of the user of a request and the branch and store the request names. The lists are
// the quoted IN lists of the user check, "" when the user has none.
struct Rights {
    bool IsSupervisor = false;
    QString BranchCode;         // the request's, "" for all
    QString BranchCodes;        // quoted list or ""
    QString AccountGroupCodes;  // quoted list or ""
    QString StoreCode;          // the request's, "" for all
    QString StoreCodes;         // quoted list or ""

    // "AND <owner>.BranchCode = '...' " when a branch is named, then "AND <owner>.BranchCode IN
    // (...) " for a limited user. `column` names another branch column ("AccountBranchCode").
    QString BranchClauses(const QString& owner, const QString& column = QStringLiteral("BranchCode")) const;
    // "AND <owner>.ParentGroupCode IN (...) " for a user limited to account groups.
    QString AccountGroupClause(const QString& owner) const;
    // "<firstAnd><owner>.StoreCode = '...' " when a store is named, then "AND <owner>.StoreCode IN
    // (...) " for a limited user.
    QString StoreClauses(const QString& owner, const QString& firstAnd = QStringLiteral("AND ")) const;
    // Only the store list of a limited user (for actions that read no store from the request).
    QString StoreListClause(const QString& owner) const;
    // The branch clauses on `branchOwner`, then the group clause on `accountOwner`.
    QString AccountClauses(const QString& branchOwner, const QString& accountOwner) const;
};

// "True" or "False": how a flag is written into a statement.
QString FlagWord(bool value);

// The value templates of an order line's pending quantity, as pairs for
// GeneralFunction::ReplaceParameters in the order they must be filled: each value brings in
// placeholders that later pairs fill, and the longer names come before the names they begin.
// `productAmount` is the "@pProductAmount" text, `quantity1` and `quantity` the pending columns.
// A Per of 0 fails the statement on every database (SQL Server refuses the division; the embedded
// database would give NULL, so it is made to refuse it too).
QVariantList OrderValuePairs(const platform::db::Dialect& dialect, const QString& productAmount,
                             const QString& quantity1, const QString& quantity);
// "CASE WHEN Products.RateOn = 'M' THEN @pAmount ELSE @pAmount1 END"
QString OrderProductAmount();

// The account and its group, joined one after the other to a row by `accountCondition`
// ("... = FaAccountMaster.AccountCode "): SQLite looks each row up by index then, where a nested
// join would be copied into a temporary table first.
QString AccountJoins(const QString& accountCondition, const QString& join = QStringLiteral("LEFT JOIN "));
// The same as inner joins, for statements that keep only rows of listed group types: a row
// without its account or its account's group has no group type and is never kept, so the rows
// are those of the outer joins. Inner joins leave SQLite free to begin with the accounts of those
// types and read each one's lines through the ledger's account-and-date index, where outer joins
// hold it to every ledger line of the days, whatever the account.
QString GroupTypeJoins(const QString& accountCondition);

}  // namespace engine
