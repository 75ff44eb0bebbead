// The twelve figures of the dashboard. Each tile builds one statement over the open company
// database, runs it on the request's one recordset and appends a row to the reply's "Data" for
// every figure that is not zero. A tile traps its own run-time errors: it closes the recordset,
// leaves the error's "<number>-<description>" as the error text and reports failure through Ok.

#include "clsClient.h"

#include "EngineSupport.h"
#include "clock/Clock.h"
#include "settings/GeneralFunction.h"

#include <functional>

using platform::JsonArray;
using platform::JsonObject;
using platform::RuntimeError;
using GeneralFunction::QuoteSQL;

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString UnionAll = CRLF + QStringLiteral("UNION ALL ") + CRLF;

QString Flag(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// The joins are written one after the other rather than nested ("A LEFT JOIN (B LEFT JOIN C ON
// b-c) ON a-b"). Both forms give the same rows, because every inner condition is an equality on a
// column of B, which is NULL when B has no row; but SQLite copies a nested right-hand join into a
// temporary table before it can look rows up in it (the whole account ledger, for the receipts
// of the day), while the flat form uses the tables' own indexes.

// The account joins every account tile shares, after the tile's own account condition.
QString AccountJoins(const QString& accountCondition)
{
    return QStringLiteral("LEFT JOIN FaAccountMaster ON ") + accountCondition
           + QStringLiteral("LEFT JOIN FaAccountGroupMaster ON "
                            "FaAccountMaster.ParentGroupCode = FaAccountGroupMaster.AccountGroupCode ");
}

// The register join of the order tiles, for the sales or the purchase register, after the key
// conditions of the tile.
QString RegisterJoin(const QString& registerTable, const QString& keyConditions)
{
    return QStringLiteral("LEFT JOIN ") + registerTable + QStringLiteral(" AS Register ON ") + keyConditions
           + QStringLiteral("LEFT JOIN FaAccountMaster AS AccountMaster ON "
                            "Register.AccountCode = AccountMaster.AccountCode "
                            "LEFT JOIN FaAccountGroupMaster AS AccountGroupMaster ON "
                            "AccountMaster.ParentGroupCode = AccountGroupMaster.AccountGroupCode ");
}

// The closing balance of the months up to lastWhole: the opening figure and every month total of
// the company year so far ("OpeningBalance + Month1Total + ...", rounded to `places`).
QString ClosingField(const QString& opening, const QString& monthSuffix, int lastWhole, int places)
{
    QString terms = opening;
    for (int k = 1; k <= lastWhole; ++k)
        terms += QStringLiteral(" + ") + QStringLiteral("Month") + QString::number(k) + monthSuffix;
    const QString p = QString::number(places);
    return QStringLiteral("ROUND(SUM(ROUND(") + terms + QStringLiteral(", ") + p + QStringLiteral(") ), ") + p
           + QStringLiteral(")");
}

// What one result row of a tile becomes: its dates, caption and the sign of its figure.
struct RowShape {
    QDate StDt;
    QDate LtDt;
    QString ActNm;
    double Factor = 1.0;
};

// Walks the open recordset and appends a DashboardRow for each row whose Amount is not zero (a
// NULL Amount counts as zero).
void AppendRows(platform::db::Recordset& rs, JsonArray& data, const std::function<RowShape(const QString&)>& shapeOf)
{
    while (!rs.IsEOF()) {
        const platform::db::Value& amountValue = rs.Field(QStringLiteral("Amount"));
        const double amount = amountValue.IsNull() ? 0.0 : amountValue.ToDouble();
        if (amount != 0.0) {
            const QString groupType = rs.Field(QStringLiteral("GroupType")).ToText();
            const RowShape shape = shapeOf(groupType);
            JsonObject row = data.AddObject();
            row.AddString(QStringLiteral("StDt"), shape.StDt.toString(QStringLiteral("yyyy-MM-dd")));
            row.AddString(QStringLiteral("LtDt"), shape.LtDt.toString(QStringLiteral("yyyy-MM-dd")));
            row.AddString(QStringLiteral("ActNm"), shape.ActNm);
            row.AddString(QStringLiteral("GrpTy"), groupType);
            row.AddNumber(QStringLiteral("Amt"), amount * shape.Factor);
        }
        rs.MoveNext();
    }
}

// The pending-value templates of the order tiles, filled in this order: each value brings in
// placeholders that the later pairs fill, and the longer names come before the names they begin.
QVariantList OrderValuePairs(const QString& productAmount, const QString& quantity1, const QString& quantity)
{
    return {QStringLiteral("pProductAmount"), productAmount,
            QStringLiteral("pAmount1"),
            QStringLiteral("ROUND(ROUND(@pQuantity1 + ROUND(@pQuantity * ItemMaster.ConversionFactor, 3), 3) * "
                           "Products.Rate / Products.Per, 2) "),
            QStringLiteral("pAmount"), QStringLiteral("ROUND(@pQuantity * Products.Rate / Products.Per, 2) "),
            QStringLiteral("pQuantity1"), quantity1,
            QStringLiteral("pQuantity"), quantity};
}

// The key conditions that tie an order line to its register row.
const QString ProductsRegisterKeys = QStringLiteral(
    "Products.DocumentYear = Register.DocumentYear AND "
    "Products.BranchCode = Register.BranchCode AND "
    "Products.DocumentType = Register.DocumentType AND "
    "Products.SeriesCode = Register.SeriesCode AND "
    "Products.DocumentNo = Register.DocumentNo ");

const QString ProductAmountTemplate = QStringLiteral("CASE WHEN Products.RateOn = 'M' THEN @pAmount ELSE @pAmount1 END");

}  // namespace

// ---- shared pieces ------------------------------------------------------------------------------

QString clsClient::DashboardDate(const QDate& date) const
{
    return cnnCompany.dialect().DateLiteral(date);
}

QDate clsClient::DashboardDay(const QDate& lastDate) const
{
    // A test installation holds the figures of early 2005; its periods up to the end of March 2005
    // are looked at as on New Year's Day 2005.
    if (lTestingMode && lastDate <= QDate(2005, 3, 31))
        return QDate(2005, 1, 1);
    return platform::Clock::Today();
}

QDate clsClient::DashboardWeekLast(const DashboardArgs& a) const
{
    if (lTestingMode && a.LastDate <= QDate(2005, 3, 31))
        return QDate(2005, 1, 8);
    return a.WeekLast;
}

QString clsClient::DashboardAccountRights(const DashboardArgs& a, const QString& branchOwner,
                                          const QString& accountOwner) const
{
    QString clauses;
    if (!a.BranchCode.isEmpty())
        clauses += QStringLiteral("AND ") + branchOwner + QStringLiteral(".BranchCode = '") + QuoteSQL(a.BranchCode)
                   + QStringLiteral("' ");
    if (!a.BranchCodes.isEmpty() && !a.IsSupervisor)
        clauses += QStringLiteral("AND ") + branchOwner + QStringLiteral(".BranchCode IN (") + a.BranchCodes
                   + QStringLiteral(") ");
    if (!a.AccountGroupCodes.isEmpty() && !a.IsSupervisor)
        clauses += QStringLiteral("AND ") + accountOwner + QStringLiteral(".ParentGroupCode IN (") + a.AccountGroupCodes
                   + QStringLiteral(") ");
    return clauses;
}

QString clsClient::DashboardStoreRights(const DashboardArgs& a, const QString& storeOwner,
                                        const QString& firstAnd) const
{
    QString clauses;
    if (!a.StoreCode.isEmpty())
        clauses += firstAnd + storeOwner + QStringLiteral(".StoreCode = '") + QuoteSQL(a.StoreCode) + QStringLiteral("' ");
    if (!a.StoreCodes.isEmpty() && !a.IsSupervisor)
        clauses += QStringLiteral("AND ") + storeOwner + QStringLiteral(".StoreCode IN (") + a.StoreCodes
                   + QStringLiteral(") ");
    return clauses;
}

// The part-month clause over one ledger table: the lines of the start month's part, or of the
// last month's part. The flags go in as words, so the database decides which half applies.
QString clsClient::DashboardPartMonths(const DashboardArgs& a, const QString& dateColumn) const
{
    return QStringLiteral("AND ") + QStringLiteral("( ") + QStringLiteral("('") + Flag(a.StartIsFirst)
           + QStringLiteral("' = 'False' AND ") + dateColumn + QStringLiteral(" >= ") + DashboardDate(a.StartDate)
           + QStringLiteral(" AND ") + dateColumn + QStringLiteral(" <= ") + DashboardDate(a.EndOfStartMonth)
           + QStringLiteral(" ) OR ") + QStringLiteral("('") + Flag(a.LastIsMonthEnd) + QStringLiteral("' = 'False' AND ")
           + dateColumn + QStringLiteral(" >= ") + DashboardDate(a.StartOfLastMonth) + QStringLiteral(" AND ")
           + dateColumn + QStringLiteral(" <= ") + DashboardDate(a.LastDate) + QStringLiteral(" ) ")
           + QStringLiteral(") ");
}

// The last month's half alone, for the closing figures.
QString clsClient::DashboardLastPartMonth(const DashboardArgs& a, const QString& dateColumn) const
{
    return QStringLiteral("AND ") + QStringLiteral("('") + QStringLiteral("False") + QStringLiteral("' = 'False' AND ")
           + dateColumn + QStringLiteral(" >= ") + DashboardDate(a.StartOfLastMonth) + QStringLiteral(" AND ")
           + dateColumn + QStringLiteral(" <= ") + DashboardDate(a.LastDate) + QStringLiteral(" ) ");
}

// ---- tiles from accounts ------------------------------------------------------------------------

void clsClient::GetSalesPurchaseDashboard(const DashboardArgs& a, JsonArray& Data, bool& Ok)
{
    Ok = false;
    try {
        Log(a.MobileNo, QStringLiteral(" Generating SQL Query for Sales & Purchase Dashboard"));
        QString sql = QStringLiteral("SELECT ") + QStringLiteral("FaAccountGroupMaster.GroupType, ") + a.BalanceField
                      + QStringLiteral(" AS Amount ") + QStringLiteral("FROM FaAccountBalanceMaster ") + AccountJoins(QStringLiteral("FaAccountBalanceMaster.AccountCode = FaAccountMaster.AccountCode "))
                      + QStringLiteral("WHERE ") + QStringLiteral("FaAccountMaster.Passed = 'True' AND ")
                      + QStringLiteral("FaAccountGroupMaster.GroupType IN ('SA','PU') ")
                      + DashboardAccountRights(a, QStringLiteral("FaAccountBalanceMaster"), QStringLiteral("FaAccountMaster"))
                      + QStringLiteral("GROUP BY ") + QStringLiteral("FaAccountGroupMaster.GroupType ");
        if (a.StartIsFirst && a.LastIsMonthEnd) {
            sql += QStringLiteral("ORDER BY ") + QStringLiteral("CASE WHEN FaAccountGroupMaster.GroupType = 'SA' THEN 1 ELSE 2 END ");
        } else {
            Log(a.MobileNo, QStringLiteral(" Unioning SQL Query for Sales & Purchase Dashboard"));
            sql += UnionAll + QStringLiteral("SELECT ") + QStringLiteral("FaAccountGroupMaster.GroupType, ")
                   + QStringLiteral("ROUND(SUM(FaAccountLedger.Amount), 2) As Amount ") + QStringLiteral("FROM FaAccountLedger ")
                   + AccountJoins(QStringLiteral("FaAccountLedger.AccountCode = FaAccountMaster.AccountCode "))
                   + QStringLiteral("WHERE ") + QStringLiteral("FaAccountLedger.Passed = 'True' AND ")
                   + QStringLiteral("FaAccountGroupMaster.GroupType IN ('SA','PU') AND ")
                   + QStringLiteral("FaAccountLedger.DocumentDate >= ") + DashboardDate(a.StartDate) + QStringLiteral(" AND ")
                   + QStringLiteral("FaAccountLedger.DocumentDate <= ") + DashboardDate(a.LastDate) + QStringLiteral(" ")
                   + DashboardAccountRights(a, QStringLiteral("FaAccountLedger"), QStringLiteral("FaAccountMaster"))
                   + DashboardPartMonths(a, QStringLiteral("FaAccountLedger.DocumentDate"))
                   + QStringLiteral("GROUP BY ") + QStringLiteral("FaAccountGroupMaster.GroupType ");
            sql = QStringLiteral("SELECT ") + QStringLiteral("Summary.GroupType, ")
                  + QStringLiteral("ROUND(SUM(Summary.Amount), 2) AS Amount ") + QStringLiteral("FROM (") + sql
                  + QStringLiteral(") AS Summary ") + QStringLiteral("GROUP BY ") + QStringLiteral("Summary.GroupType ")
                  + QStringLiteral("ORDER BY ") + QStringLiteral("CASE WHEN Summary.GroupType = 'SA' THEN 1 ELSE 2 END ");
        }
        Log(a.MobileNo, QStringLiteral(" Getting Records for Sales & Purchase Dashboard"));
        oRecordset.Open(sql, cnnCompany);
        Log(a.MobileNo, QStringLiteral(" Adding Sales & Purchase Dashboard Data to JSON"));
        AppendRows(oRecordset, Data, [&](const QString& groupType) {
            const bool sales = groupType == QLatin1String("SA");
            return RowShape{a.StartDate, a.LastDate, sales ? QStringLiteral("Sales") : QStringLiteral("Purchase"),
                            sales ? -1.0 : 1.0};
        });
        Ok = true;
        CloseRecordset();
    } catch (const RuntimeError& error) {
        CloseRecordset();
        ErrorText = engine::ErrorLine(error);
    }
}

void clsClient::GetCashBankDebtorsCreditorsDashboard(const DashboardArgs& a, JsonArray& Data, bool& Ok)
{
    Ok = false;
    try {
        Log(a.MobileNo, QStringLiteral(" Generating Balance Field for Cash/Bank/SD/SC Dashboard"));
        const QString closing = ClosingField(QStringLiteral("OpeningBalance"), QStringLiteral("Total"), a.LastWhole, 2);
        Log(a.MobileNo, QStringLiteral(" Generating SQL Query for Cash/Bank/SD/SC Dashboard"));
        QString sql = QStringLiteral("SELECT ") + QStringLiteral("FaAccountGroupMaster.GroupType, ") + closing
                      + QStringLiteral(" AS Amount ") + QStringLiteral("FROM FaAccountBalanceMaster ") + AccountJoins(QStringLiteral("FaAccountBalanceMaster.AccountCode = FaAccountMaster.AccountCode "))
                      + QStringLiteral("WHERE ") + QStringLiteral("FaAccountMaster.Passed = 'True' AND ")
                      + QStringLiteral("FaAccountGroupMaster.GroupType IN ('CH','BK','SD','SC') ")
                      + DashboardAccountRights(a, QStringLiteral("FaAccountBalanceMaster"), QStringLiteral("FaAccountMaster"))
                      + QStringLiteral("GROUP BY ") + QStringLiteral("FaAccountGroupMaster.GroupType ");
        if (a.LastIsMonthEnd) {
            sql += QStringLiteral("ORDER BY ")
                   + QStringLiteral("CASE FaAccountGroupMaster.GroupType WHEN 'CH' THEN 1 WHEN 'BK' THEN 2 WHEN 'SD' THEN 3 ELSE 4 END ");
        } else {
            Log(a.MobileNo, QStringLiteral(" Unioning SQL Query for Cash/Bank/SD/SC"));
            sql += UnionAll + QStringLiteral("SELECT ") + QStringLiteral("FaAccountGroupMaster.GroupType, ")
                   + QStringLiteral("ROUND(SUM(FaAccountLedger.Amount), 2) As Amount ") + QStringLiteral("FROM FaAccountLedger ")
                   + AccountJoins(QStringLiteral("FaAccountLedger.AccountCode = FaAccountMaster.AccountCode "))
                   + QStringLiteral("WHERE ") + QStringLiteral("FaAccountLedger.Passed = 'True' AND ")
                   + QStringLiteral("FaAccountGroupMaster.GroupType IN ('CH','BK','SD','SC') AND ")
                   + QStringLiteral("FaAccountLedger.DocumentDate <= ") + DashboardDate(a.LastDate) + QStringLiteral(" ")
                   + DashboardAccountRights(a, QStringLiteral("FaAccountLedger"), QStringLiteral("FaAccountMaster"))
                   + DashboardLastPartMonth(a, QStringLiteral("FaAccountLedger.DocumentDate"))
                   + QStringLiteral("GROUP BY ") + QStringLiteral("FaAccountGroupMaster.GroupType ");
            sql = QStringLiteral("SELECT ") + QStringLiteral("Summary.GroupType, ")
                  + QStringLiteral("ROUND(SUM(Summary.Amount), 2) AS Amount ") + QStringLiteral("FROM (") + sql
                  + QStringLiteral(") AS Summary ") + QStringLiteral("GROUP BY ") + QStringLiteral("Summary.GroupType ")
                  + QStringLiteral("ORDER BY ")
                  + QStringLiteral("CASE Summary.GroupType WHEN 'CH' THEN 1 WHEN 'BK' THEN 2 WHEN 'SD' THEN 3 ELSE 4 END ");
        }
        Log(a.MobileNo, QStringLiteral(" Getting Records for Cash/Bank/SD/SC"));
        oRecordset.Open(sql, cnnCompany);
        Log(a.MobileNo, QStringLiteral(" Adding Cash/Bank/SD/SC Dashboard Data to JSON"));
        AppendRows(oRecordset, Data, [&](const QString& groupType) {
            QString caption = QStringLiteral("Creditors");
            if (groupType == QLatin1String("CH"))
                caption = QStringLiteral("Cash Balance");
            else if (groupType == QLatin1String("BK"))
                caption = QStringLiteral("Bank Balance");
            else if (groupType == QLatin1String("SD"))
                caption = QStringLiteral("Debtors");
            return RowShape{a.StartDate, a.LastDate, caption, groupType == QLatin1String("SC") ? -1.0 : 1.0};
        });
        Ok = true;
        CloseRecordset();
    } catch (const RuntimeError& error) {
        CloseRecordset();
        ErrorText = engine::ErrorLine(error);
    }
}

void clsClient::GetTodayReceivablePayableDashboard(const DashboardArgs& a, JsonArray& Data, bool& Ok)
{
    Ok = false;
    try {
        Log(a.MobileNo, QStringLiteral(" Generating SQL Query for Today's Receivable/Payable Dashboard"));
        const QDate day = DashboardDay(a.LastDate);
        const QString groupType = QStringLiteral("CASE WHEN FaAccountGroupMaster.GroupType = 'SD' THEN 'TR' ELSE 'TP' END");
        const QString sql =
            QStringLiteral("SELECT ") + groupType + QStringLiteral(" AS GroupType, ")
            + QStringLiteral("ROUND(SUM(FaOSReg.PendingAmount), 2) AS Amount ") + QStringLiteral("FROM FaOSReg ")
            + AccountJoins(QStringLiteral("FaOSReg.AccountCode = FaAccountMaster.AccountCode ")) + QStringLiteral("WHERE ")
            + QStringLiteral("FaOSReg.Passed = 'True' AND ") + QStringLiteral("FaOSReg.PendingAmount > 0 AND ")
            + QStringLiteral("FaOSReg.DocumentDate <= ") + DashboardDate(day) + QStringLiteral(" AND ")
            + QStringLiteral("DateAdd(d, FaOSReg.CreditPeriod, CASE WHEN FaOSReg.DocumentType IN ('PUR','EXP','SNT') AND "
                             "FaOSReg.BillDate <> ")
            + DashboardDate(engine::EmptyDate())
            + QStringLiteral(" THEN FaOSReg.BillDate ELSE FaOSReg.DocumentDate END ) = ") + DashboardDate(day)
            + QStringLiteral(" ") + DashboardAccountRights(a, QStringLiteral("FaOSReg"), QStringLiteral("FaAccountMaster"))
            + QStringLiteral("GROUP BY ") + groupType + QStringLiteral(" ") + QStringLiteral("ORDER BY ") + groupType
            + QStringLiteral(" DESC ");
        Log(a.MobileNo, QStringLiteral(" Getting Records for Today's Receivable/Payable Dashboard"));
        oRecordset.Open(sql, cnnCompany);
        Log(a.MobileNo, QStringLiteral(" Adding Today's Receivable/Payable Dashboard Data to JSON"));
        AppendRows(oRecordset, Data, [&](const QString& type) {
            return RowShape{day, day,
                            type == QLatin1String("TR") ? QStringLiteral("Today's Receivable")
                                                        : QStringLiteral("Today's Payable"),
                            1.0};
        });
        Ok = true;
        CloseRecordset();
    } catch (const RuntimeError& error) {
        CloseRecordset();
        ErrorText = engine::ErrorLine(error);
    }
}

void clsClient::GetReceiptPaymentTodayDashboard(const DashboardArgs& a, JsonArray& Data, bool& Ok)
{
    Ok = false;
    try {
        Log(a.MobileNo, QStringLiteral(" Generating SQL Query for Today's Receipt/Payment Dashboard"));
        const QDate day = DashboardDay(a.LastDate);
        const QString groupType = QStringLiteral("CASE WHEN FaAccountLedger.Amount > 0 THEN 'RT' ELSE 'PT' END");
        const QString sql =
            QStringLiteral("SELECT ") + groupType + QStringLiteral(" AS GroupType, ")
            + QStringLiteral("ROUND(SUM(Ledger.Amount * -1), 2) AS Amount ") + QStringLiteral("FROM FaAccountLedger ")
            + AccountJoins(QStringLiteral("FaAccountLedger.AccountCode = FaAccountMaster.AccountCode "))
            + QStringLiteral("LEFT JOIN FaAccountLedger AS Ledger ON ")
            + QStringLiteral("FaAccountLedger.DocumentYear = Ledger.DocumentYear AND ")
            + QStringLiteral("FaAccountLedger.BranchCode = Ledger.BranchCode AND ")
            + QStringLiteral("FaAccountLedger.DocumentType = Ledger.DocumentType AND ")
            + QStringLiteral("FaAccountLedger.SeriesCode = Ledger.SeriesCode AND ")
            + QStringLiteral("FaAccountLedger.DocumentNo = Ledger.DocumentNo AND ")
            + QStringLiteral("FaAccountLedger.Sno <> Ledger.Sno ")
            + QStringLiteral("LEFT JOIN FaAccountMaster AS LedgerAccountMaster ON ")
            + QStringLiteral("Ledger.AccountCode = LedgerAccountMaster.AccountCode ") + QStringLiteral("WHERE ")
            + QStringLiteral("FaAccountLedger.Passed = 'True' AND ")
            + QStringLiteral("FaAccountGroupMaster.GroupType IN ('CH','BK') AND ")
            + QStringLiteral("FaAccountLedger.DocumentDate = ") + DashboardDate(day) + QStringLiteral(" ")
            + DashboardAccountRights(a, QStringLiteral("FaAccountLedger"), QStringLiteral("FaAccountMaster"))
            + QStringLiteral("GROUP BY ") + groupType + QStringLiteral(" ") + QStringLiteral("ORDER BY ") + groupType
            + QStringLiteral(" DESC ");
        Log(a.MobileNo, QStringLiteral(" Getting Records for Today's Receipt/Payment Dashboard"));
        oRecordset.Open(sql, cnnCompany);
        Log(a.MobileNo, QStringLiteral(" Adding Today's Receipt/Payment Dashboard Data to JSON"));
        AppendRows(oRecordset, Data, [&](const QString& type) {
            const bool receipt = type == QLatin1String("RT");
            return RowShape{day, day, receipt ? QStringLiteral("Today's Receipts") : QStringLiteral("Today's Payments"),
                            receipt ? 1.0 : -1.0};
        });
        Ok = true;
        CloseRecordset();
    } catch (const RuntimeError& error) {
        CloseRecordset();
        ErrorText = engine::ErrorLine(error);
    }
}

// ---- tiles from orders --------------------------------------------------------------------------

// Orders of the day (OR from the sales orders, OI from the purchase orders): the stored amount of
// the passed, not cancelled lines of the orders dated that day.
void clsClient::DashboardOrdersOfDay(const DashboardArgs& a, const DashboardOrderSide& side, JsonArray& Data, bool& Ok)
{
    Ok = false;
    try {
        Log(a.MobileNo, QStringLiteral(" Generating SQL Query for ") + side.Words);
        const QDate day = DashboardDay(a.LastDate);
        const QString sql =
            QStringLiteral("SELECT ") + QStringLiteral("'") + side.Code + QStringLiteral("' AS GroupType, ")
            + QStringLiteral("ROUND(SUM(Products.Amount), 2) AS Amount ") + QStringLiteral("FROM ") + side.Products
            + QStringLiteral(" AS Products ") + RegisterJoin(side.Register, ProductsRegisterKeys)
            + QStringLiteral("WHERE ")
            + QStringLiteral("Register.Passed = 'True' AND ") + QStringLiteral("Products.Cancelled = 'False' AND ")
            + QStringLiteral("Register.DocumentDate = ") + DashboardDate(day) + QStringLiteral(" ")
            + DashboardOrderRights(a);
        Log(a.MobileNo, QStringLiteral(" Getting Records for ") + side.Words + QStringLiteral(" Dashboard"));
        oRecordset.Open(sql, cnnCompany);
        Log(a.MobileNo, QStringLiteral(" Adding ") + side.Words + QStringLiteral(" Dashboard Data to JSON"));
        AppendRows(oRecordset, Data, [&](const QString& type) {
            return RowShape{day, day, type == side.Code ? side.Caption : QString(), 1.0};
        });
        Ok = true;
        CloseRecordset();
    } catch (const RuntimeError& error) {
        CloseRecordset();
        ErrorText = engine::ErrorLine(error);
    }
}

// Deliveries due up to the end of the week (WD, WR): the value of the schedule lines still pending,
// overdue ones included.
void clsClient::DashboardWeeklyDelivery(const DashboardArgs& a, const DashboardOrderSide& side, JsonArray& Data, bool& Ok)
{
    Ok = false;
    try {
        Log(a.MobileNo, QStringLiteral(" Generating SQL Query for ") + side.Words);
        const QDate day = DashboardDay(a.LastDate);
        const QDate weekLast = DashboardWeekLast(a);
        QString sql =
            QStringLiteral("SELECT ") + QStringLiteral("'") + side.Code + QStringLiteral("' AS GroupType, ")
            + QStringLiteral("ROUND(SUM(@pProductAmount), 2) AS Amount ") + QStringLiteral("FROM ") + side.Schedule
            + QStringLiteral(" AS Schedule ") + QStringLiteral("LEFT JOIN ") + side.Products + QStringLiteral(" AS Products ON ")
            + QStringLiteral("Schedule.DocumentYear = Products.DocumentYear AND ")
            + QStringLiteral("Schedule.BranchCode = Products.BranchCode AND ")
            + QStringLiteral("Schedule.DocumentType = Products.DocumentType AND ")
            + QStringLiteral("Schedule.SeriesCode = Products.SeriesCode AND ")
            + QStringLiteral("Schedule.DocumentNo = Products.DocumentNo AND ")
            + QStringLiteral("Schedule.ItemCode = Products.ItemCode AND ")
            + QStringLiteral("Schedule.ItemSno = Products.ItemSno ")
            + QStringLiteral("LEFT JOIN FaItemMaster AS ItemMaster ON ")
            + QStringLiteral("Products.ItemCode = ItemMaster.ItemCode ")
            + RegisterJoin(side.Register,
                           QStringLiteral("Schedule.DocumentYear = Register.DocumentYear AND "
                                          "Schedule.BranchCode = Register.BranchCode AND "
                                          "Schedule.DocumentType = Register.DocumentType AND "
                                          "Schedule.SeriesCode = Register.SeriesCode AND "
                                          "Schedule.DocumentNo = Register.DocumentNo "))
            + QStringLiteral("WHERE ")
            + QStringLiteral("Register.Passed = 'True' AND ") + QStringLiteral("Products.Cancelled = 'False' AND ")
            + QStringLiteral("@pQuantity > 0 AND ") + QStringLiteral("Schedule.DeliveryDate <= ")
            + DashboardDate(weekLast) + QStringLiteral(" ");
        // The templates are filled before any request value enters the text, so a code sent in the
        // request can never be taken for a placeholder.
        sql = GeneralFunction::ReplaceParameters(
            sql, OrderValuePairs(side.WeeklyProductAmount, QStringLiteral("Schedule.PendingQuantity1 "),
                                 QStringLiteral("Schedule.PendingQuantity ")));
        sql += DashboardOrderRights(a);
        Log(a.MobileNo, QStringLiteral(" Getting Records for ") + side.Words + QStringLiteral(" Dashboard"));
        oRecordset.Open(sql, cnnCompany);
        Log(a.MobileNo, QStringLiteral(" Adding ") + side.Words + QStringLiteral(" Dashboard Data to JSON"));
        AppendRows(oRecordset, Data, [&](const QString& type) {
            return RowShape{day, weekLast,
                            type == side.Code ? side.Caption + weekLast.toString(QStringLiteral("dd/MM/yyyy")) : QString(),
                            1.0};
        });
        Ok = true;
        CloseRecordset();
    } catch (const RuntimeError& error) {
        CloseRecordset();
        ErrorText = engine::ErrorLine(error);
    }
}

// Pending orders (OP from the sales orders, PP from the purchase orders): the value of every pending line of the orders dated up to LastDate.
void clsClient::DashboardPendingOrders(const DashboardArgs& a, const DashboardOrderSide& side, JsonArray& Data, bool& Ok)
{
    Ok = false;
    try {
        Log(a.MobileNo, QStringLiteral(" Generating SQL Query for ") + side.Words);
        QString sql =
            QStringLiteral("SELECT ") + QStringLiteral("'") + side.Code + QStringLiteral("' AS GroupType, ")
            + QStringLiteral("ROUND(SUM(@pProductAmount), 2) AS Amount ") + QStringLiteral("FROM ") + side.Products
            + QStringLiteral(" AS Products ") + QStringLiteral("LEFT JOIN FaItemMaster AS ItemMaster ON ")
            + QStringLiteral("Products.ItemCode = ItemMaster.ItemCode ")
            + RegisterJoin(side.Register, ProductsRegisterKeys) + QStringLiteral("WHERE ")
            + QStringLiteral("Register.Passed = 'True' AND ") + QStringLiteral("Products.Cancelled = 'False' AND ")
            + QStringLiteral("Products.PendingQuantity > 0 AND ") + QStringLiteral("Register.DocumentDate <= ")
            + DashboardDate(a.LastDate) + QStringLiteral(" ");
        sql = GeneralFunction::ReplaceParameters(
            sql, OrderValuePairs(ProductAmountTemplate + QStringLiteral(" "), QStringLiteral("Products.PendingQuantity1"),
                                 QStringLiteral("Products.PendingQuantity")));
        sql += DashboardOrderRights(a);
        Log(a.MobileNo, QStringLiteral(" Getting Records for ") + side.Words + QStringLiteral(" Dashboard"));
        oRecordset.Open(sql, cnnCompany);
        Log(a.MobileNo, QStringLiteral(" Adding ") + side.Words + QStringLiteral(" Dashboard Data to JSON"));
        AppendRows(oRecordset, Data, [&](const QString& type) {
            return RowShape{a.StartDate, a.LastDate, type == side.Code ? side.Caption : QString(), 1.0};
        });
        Ok = true;
        CloseRecordset();
    } catch (const RuntimeError& error) {
        CloseRecordset();
        ErrorText = engine::ErrorLine(error);
    }
}

QString clsClient::DashboardOrderRights(const DashboardArgs& a) const
{
    return DashboardAccountRights(a, QStringLiteral("Products"), QStringLiteral("AccountMaster"))
           + DashboardStoreRights(a, QStringLiteral("Products"), QStringLiteral("AND "));
}

void clsClient::GetOrderReceivedDashboard(const DashboardArgs& a, JsonArray& Data, bool& Ok)
{
    DashboardOrderSide side{QStringLiteral("FaSalesOrderRegister"), QStringLiteral("FaSalesOrderProducts"),
                            QStringLiteral("FaSalesOrderSchedule"), ProductAmountTemplate, {}, {}, {}};
    side.Code = QStringLiteral("OR");
    side.Caption = QStringLiteral("Today's SO");
    side.Words = QStringLiteral("Order Received");
    DashboardOrdersOfDay(a, side, Data, Ok);
}

void clsClient::GetWeeklySODeliveryDashboard(const DashboardArgs& a, JsonArray& Data, bool& Ok)
{
    DashboardOrderSide side{QStringLiteral("FaSalesOrderRegister"), QStringLiteral("FaSalesOrderProducts"),
                            QStringLiteral("FaSalesOrderSchedule"), ProductAmountTemplate, {}, {}, {}};
    side.Code = QStringLiteral("WD");
    side.Caption = QStringLiteral("SO Dly upto ");
    side.Words = QStringLiteral("Weekly SO Delivery");
    DashboardWeeklyDelivery(a, side, Data, Ok);
}

void clsClient::GetPendingSODashboard(const DashboardArgs& a, JsonArray& Data, bool& Ok)
{
    DashboardOrderSide side{QStringLiteral("FaSalesOrderRegister"), QStringLiteral("FaSalesOrderProducts"),
                            QStringLiteral("FaSalesOrderSchedule"), ProductAmountTemplate, {}, {}, {}};
    side.Code = QStringLiteral("OP");
    side.Caption = QStringLiteral("SO Pending");
    side.Words = QStringLiteral("Pending SO");
    DashboardPendingOrders(a, side, Data, Ok);
}

void clsClient::GetOrderIssuedDashboard(const DashboardArgs& a, JsonArray& Data, bool& Ok)
{
    DashboardOrderSide side{QStringLiteral("FaPurchaseOrderRegister"), QStringLiteral("FaPurchaseOrderProducts"),
                            QStringLiteral("FaPurchaseOrderSchedule"), ProductAmountTemplate + QStringLiteral(" "), {}, {}, {}};
    side.Code = QStringLiteral("OI");
    side.Caption = QStringLiteral("Today's PO");
    side.Words = QStringLiteral("Order Issued");
    DashboardOrdersOfDay(a, side, Data, Ok);
}

void clsClient::GetWeeklyPODeliveryDashboard(const DashboardArgs& a, JsonArray& Data, bool& Ok)
{
    DashboardOrderSide side{QStringLiteral("FaPurchaseOrderRegister"), QStringLiteral("FaPurchaseOrderProducts"),
                            QStringLiteral("FaPurchaseOrderSchedule"), ProductAmountTemplate + QStringLiteral(" "), {}, {}, {}};
    side.Code = QStringLiteral("WR");
    side.Caption = QStringLiteral("PO Dly upto ");
    side.Words = QStringLiteral("Weekly PO Delivery");
    DashboardWeeklyDelivery(a, side, Data, Ok);
}

void clsClient::GetPendingPODashboard(const DashboardArgs& a, JsonArray& Data, bool& Ok)
{
    DashboardOrderSide side{QStringLiteral("FaPurchaseOrderRegister"), QStringLiteral("FaPurchaseOrderProducts"),
                            QStringLiteral("FaPurchaseOrderSchedule"), ProductAmountTemplate + QStringLiteral(" "), {}, {}, {}};
    side.Code = QStringLiteral("PP");
    side.Caption = QStringLiteral("PO Pending");
    side.Words = QStringLiteral("Pending PO");
    DashboardPendingOrders(a, side, Data, Ok);
}

// ---- tiles from stock ---------------------------------------------------------------------------

void clsClient::GetStockBalanceDashboard(const DashboardArgs& a, JsonArray& Data, bool& Ok)
{
    Ok = false;
    try {
        Log(a.MobileNo, QStringLiteral(" Generating Balance Field for StockBalance Dashboard"));
        const QString quantity =
            ClosingField(QStringLiteral("OpeningQuantity"), QStringLiteral("TotalQuantity"), a.LastWhole, 3);
        Log(a.MobileNo, QStringLiteral(" Generating SQL Query for Stock Balance Dashboard"));
        QString sql = QStringLiteral("SELECT ") + QStringLiteral("'ST' AS GroupType, ") + quantity
                      + QStringLiteral(" AS Amount ") + QStringLiteral("FROM FaStockMaster AS StockMaster ")
                      + QStringLiteral("LEFT JOIN FaItemMaster AS ItemMaster ON ")
                      + QStringLiteral("StockMaster.ItemCode = ItemMaster.ItemCode ") + QStringLiteral("WHERE ")
                      + QStringLiteral("ItemMaster.Passed = 'True' ")
                      + DashboardStoreRights(a, QStringLiteral("StockMaster"), QStringLiteral(" AND "));
        if (!a.LastIsMonthEnd) {
            Log(a.MobileNo, QStringLiteral(" Unioning SQL Query for Stock Balance"));
            sql += UnionAll + QStringLiteral("SELECT ") + QStringLiteral("'ST' AS GroupType, ")
                   + QStringLiteral("ROUND(SUM(FaItemLedger.Quantity), 3) AS Amount ") + QStringLiteral("FROM FaItemLedger ")
                   + QStringLiteral("WHERE ") + QStringLiteral("FaItemLedger.Passed = 'True' AND ")
                   + QStringLiteral("FaItemLedger.DocumentDate <= ") + DashboardDate(a.LastDate) + QStringLiteral(" ")
                   + DashboardStoreRights(a, QStringLiteral("FaItemLedger"), QStringLiteral("AND "))
                   + DashboardLastPartMonth(a, QStringLiteral("FaItemLedger.DocumentDate"));
            sql = QStringLiteral("SELECT ") + QStringLiteral("Summary.GroupType, ")
                  + QStringLiteral("ROUND(SUM(Summary.Amount), 3) AS Amount ") + QStringLiteral("FROM (") + sql
                  + QStringLiteral(") AS Summary ") + QStringLiteral("GROUP BY ") + QStringLiteral("Summary.GroupType ");
        }
        Log(a.MobileNo, QStringLiteral(" Getting Records for Stock Balance"));
        oRecordset.Open(sql, cnnCompany);
        Log(a.MobileNo, QStringLiteral(" Adding Stock Balance Dashboard Data to JSON"));
        AppendRows(oRecordset, Data, [&](const QString& type) {
            return RowShape{a.StartDate, a.LastDate,
                            type == QLatin1String("ST") ? QStringLiteral("Stock Quantity") : QString(), 1.0};
        });
        Ok = true;
        CloseRecordset();
    } catch (const RuntimeError& error) {
        CloseRecordset();
        ErrorText = engine::ErrorLine(error);
    }
}

void clsClient::GetReceiptIssueTodayDashboard(const DashboardArgs& a, JsonArray& Data, bool& Ok)
{
    Ok = false;
    try {
        Log(a.MobileNo, QStringLiteral(" Generating SQL Query for Today's Receipt/Issue Quantity Dashboard"));
        const QDate day = DashboardDay(a.LastDate);
        const QString groupType = QStringLiteral("CASE WHEN ItemLedger.Quantity > 0 THEN 'RQ' ELSE 'IQ' END");
        const QString sql =
            QStringLiteral("SELECT ") + groupType + QStringLiteral(" AS GroupType, ")
            + QStringLiteral("ROUND(SUM(ABS(ItemLedger.Quantity)), 3) AS Amount ")
            + QStringLiteral("FROM FaItemLedger AS ItemLedger ") + QStringLiteral("LEFT JOIN FaItemMaster AS ItemMaster ON ")
            + QStringLiteral("ItemLedger.ItemCode = ItemMaster.ItemCode ") + QStringLiteral("WHERE ")
            + QStringLiteral("ItemLedger.Passed = 'True' AND ") + QStringLiteral("ItemLedger.DocumentDate = ")
            + DashboardDate(day) + QStringLiteral(" ")
            + DashboardStoreRights(a, QStringLiteral("ItemLedger"), QStringLiteral("AND ")) + QStringLiteral("GROUP BY ")
            + groupType + QStringLiteral(" ") + QStringLiteral("ORDER BY ") + groupType + QStringLiteral(" DESC ");
        Log(a.MobileNo, QStringLiteral(" Getting Records for Today's Receipt/Issue Quantity Dashboard"));
        oRecordset.Open(sql, cnnCompany);
        Log(a.MobileNo, QStringLiteral(" Adding Today's Receipt/Issue Quantity Dashboard Data to JSON"));
        AppendRows(oRecordset, Data, [&](const QString& type) {
            return RowShape{day, day,
                            type == QLatin1String("RQ") ? QStringLiteral("Today's Rec.Qty") : QStringLiteral("Today's Isu.Qty"),
                            1.0};
        });
        Ok = true;
        CloseRecordset();
    } catch (const RuntimeError& error) {
        CloseRecordset();
        ErrorText = engine::ErrorLine(error);
    }
}
