#include "Period.h"

#include "core/WholeNumber.h"
#include "settings/GeneralFunction.h"

#include <QStringList>

#include <algorithm>

using GeneralFunction::QuoteSQL;

namespace engine {

namespace {

// "ROUND(SUM(ROUND(<terms>, p) ), p)"
QString Rounded(const QString& terms, int places)
{
    const QString p = QString::number(places);
    return QStringLiteral("ROUND(SUM(ROUND(") + terms + QStringLiteral(", ") + p + QStringLiteral(") ), ") + p
           + QStringLiteral(")");
}

QString WholeMonths(int firstWhole, int lastWhole, const QString& monthSuffix, int places)
{
    QStringList terms;
    for (int k = firstWhole; k <= lastWhole; ++k)
        terms << QStringLiteral("Month") + QString::number(k) + monthSuffix;
    return Rounded(terms.isEmpty() ? QStringLiteral("0") : terms.join(QStringLiteral(" + ")), places);
}

QString Closing(const QString& opening, const QString& monthSuffix, int lastWhole, int places)
{
    QString terms = opening;
    for (int k = 1; k <= lastWhole; ++k)
        terms += QStringLiteral(" + ") + QStringLiteral("Month") + QString::number(k) + monthSuffix;
    return Rounded(terms, places);
}

// One half of the part-month clause: the lines from `from` to `to`, unless the flag says that
// part is covered by whole months.
QString PartMonth(const QString& flag, const QString& dateColumn, const QString& from, const QString& to)
{
    return QStringLiteral("('") + flag + QStringLiteral("' = 'False' AND ") + dateColumn + QStringLiteral(" >= ") + from
           + QStringLiteral(" AND ") + dateColumn + QStringLiteral(" <= ") + to + QStringLiteral(" ) ");
}

}  // namespace

QString FlagWord(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

qint16 Period::MonthNumber(const QDate& companyStart, const QDate& date)
{
    return platform::Integer16((date.year() - companyStart.year()) * 12 + (date.month() - companyStart.month()) + 1);
}

Period Period::Of(const QDate& companyStart, const QDate& startDate, const QDate& lastDate)
{
    Period p;
    p.CompanyStart = companyStart;
    p.StartDate = startDate;
    p.LastDate = lastDate;
    p.StartIsFirst = startDate.day() == 1;
    p.LastIsMonthEnd = lastDate.addDays(1).day() == 1;
    p.EndOfStartMonth = startDate.addDays(-(startDate.day() - 1)).addMonths(1).addDays(-1);
    p.StartOfLastMonth = lastDate.addDays(-(lastDate.day() - 1));
    p.StartOfStartMonth = startDate.addDays(-(startDate.day() - 1));
    p.StartMonthNo = MonthNumber(companyStart, startDate);
    p.FirstWhole = platform::Integer16(MonthNumber(companyStart, startDate) + (p.StartIsFirst ? 0 : 1));
    p.LastWhole = platform::Integer16(MonthNumber(companyStart, lastDate) - (p.LastIsMonthEnd ? 0 : 1));
    return p;
}

QString Period::BalanceField() const
{
    return WholeMonths(FirstWhole, LastWhole, QStringLiteral("Total"), 2);
}

QString Period::QuantityBalanceField() const
{
    return WholeMonths(FirstWhole, LastWhole, QStringLiteral("TotalQuantity"), 3);
}

QString Period::ClosingBalanceField() const
{
    return Closing(QStringLiteral("OpeningBalance"), QStringLiteral("Total"), LastWhole, 2);
}

QString Period::ClosingQuantityField() const
{
    return Closing(QStringLiteral("OpeningQuantity"), QStringLiteral("TotalQuantity"), LastWhole, 3);
}

QString Period::MonthTotalsField(const QString& start, int from, int to, bool quantities)
{
    QString expression = start;
    const QString suffix = quantities ? QStringLiteral("TotalQuantity") : QStringLiteral("Total");
    for (int k = from; k <= to; ++k)
        expression += QStringLiteral(" + ") + QStringLiteral("Month") + QString::number(k) + suffix;
    const QString places = quantities ? QStringLiteral("3") : QStringLiteral("2");
    return QStringLiteral("ROUND(SUM(ROUND(") + expression + QStringLiteral(", ") + places + QStringLiteral(")), ")
           + places + QStringLiteral(") ");
}

QString Period::OpeningBalanceField() const
{
    return MonthTotalsField(QStringLiteral("OpeningBalance"), 1, StartMonthNo - 1, false);
}

QString Period::OpeningQuantityField() const
{
    return MonthTotalsField(QStringLiteral("OpeningQuantity"), 1, StartMonthNo - 1, true);
}

QString Period::PartMonths(const platform::db::Dialect& dialect, const QString& dateColumn) const
{
    // Within one month the start part would run past LastDate and the last part begin before
    // StartDate; cut to the period they select the same lines as the period's range with the
    // uncut parts inside it.
    const QDate startPartLast = std::min(EndOfStartMonth, LastDate);
    const QDate lastPartFirst = std::max(StartOfLastMonth, StartDate);
    return QStringLiteral("AND ") + QStringLiteral("( ")
           + PartMonth(FlagWord(StartIsFirst), dateColumn, dialect.DateLiteral(StartDate),
                       dialect.DateLiteral(startPartLast))
           + QStringLiteral("OR ")
           + PartMonth(FlagWord(LastIsMonthEnd), dateColumn, dialect.DateLiteral(lastPartFirst),
                       dialect.DateLiteral(LastDate))
           + QStringLiteral(") ");
}

QString Period::LastPartMonth(const platform::db::Dialect& dialect, const QString& dateColumn) const
{
    return QStringLiteral("AND ")
           + PartMonth(QStringLiteral("False"), dateColumn, dialect.DateLiteral(StartOfLastMonth),
                       dialect.DateLiteral(LastDate));
}

QString Rights::BranchClauses(const QString& owner, const QString& column) const
{
    QString clauses;
    if (!BranchCode.isEmpty())
        clauses += QStringLiteral("AND ") + owner + QLatin1Char('.') + column + QStringLiteral(" = '")
                   + QuoteSQL(BranchCode) + QStringLiteral("' ");
    if (!BranchCodes.isEmpty() && !IsSupervisor)
        clauses += QStringLiteral("AND ") + owner + QLatin1Char('.') + column + QStringLiteral(" IN (") + BranchCodes
                   + QStringLiteral(") ");
    return clauses;
}

QString Rights::AccountGroupClause(const QString& owner) const
{
    if (AccountGroupCodes.isEmpty() || IsSupervisor)
        return QString();
    return QStringLiteral("AND ") + owner + QStringLiteral(".ParentGroupCode IN (") + AccountGroupCodes
           + QStringLiteral(") ");
}

QString Rights::StoreClauses(const QString& owner, const QString& firstAnd) const
{
    QString clauses;
    if (!StoreCode.isEmpty())
        clauses += firstAnd + owner + QStringLiteral(".StoreCode = '") + QuoteSQL(StoreCode) + QStringLiteral("' ");
    return clauses + StoreListClause(owner);
}

QString Rights::StoreListClause(const QString& owner) const
{
    if (StoreCodes.isEmpty() || IsSupervisor)
        return QString();
    return QStringLiteral("AND ") + owner + QStringLiteral(".StoreCode IN (") + StoreCodes + QStringLiteral(") ");
}

QString Rights::AccountClauses(const QString& branchOwner, const QString& accountOwner) const
{
    return BranchClauses(branchOwner) + AccountGroupClause(accountOwner);
}

QString AccountJoins(const QString& accountCondition, const QString& join)
{
    return join + QStringLiteral("FaAccountMaster ON ") + accountCondition + join
           + QStringLiteral("FaAccountGroupMaster ON "
                            "FaAccountMaster.ParentGroupCode = FaAccountGroupMaster.AccountGroupCode ");
}

QString GroupTypeJoins(const QString& accountCondition)
{
    return AccountJoins(accountCondition, QStringLiteral("INNER JOIN "));
}

QString OrderProductAmount()
{
    return QStringLiteral("CASE WHEN Products.RateOn = 'M' THEN @pAmount ELSE @pAmount1 END");
}

QVariantList OrderValuePairs(const platform::db::Dialect& dialect, const QString& productAmount,
                             const QString& quantity1, const QString& quantity)
{
    // SQL Server refuses a division by zero; the embedded database would quietly give NULL and so
    // leave the line out of the sum. There the divisor raises the same refusal.
    const QString per = dialect.engine() == platform::db::Engine::Sqlite
                            ? QStringLiteral("(CASE WHEN Products.Per = 0 THEN "
                                             "tsql_raise('Divide by zero error encountered.') ELSE Products.Per END)")
                            : QStringLiteral("Products.Per");
    return {QStringLiteral("pProductAmount"), productAmount,
            QStringLiteral("pAmount1"),
            QStringLiteral("ROUND(ROUND(@pQuantity1 + ROUND(@pQuantity * ItemMaster.ConversionFactor, 3), 3) * "
                           "Products.Rate / ")
                + per + QStringLiteral(", 2) "),
            QStringLiteral("pAmount"), QStringLiteral("ROUND(@pQuantity * Products.Rate / ") + per + QStringLiteral(", 2) "),
            QStringLiteral("pQuantity1"), quantity1,
            QStringLiteral("pQuantity"), quantity};
}

}  // namespace engine
