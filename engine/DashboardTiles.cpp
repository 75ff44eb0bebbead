// The twelve figures of the dashboard. Each tile builds one statement over the open company
// database, runs it on the request's one recordset and appends a row to the reply's "Data" for
// every figure that is not zero. A tile traps its own run-time errors: it closes the recordset,
// leaves the error's "<number>-<description>" as the error text and reports failure through Ok.

#include "clsClient.h"

#include "ActionSkeleton.h"
#include "EngineSupport.h"
#include "clock/Clock.h"
#include "settings/GeneralFunction.h"

#include <functional>

using platform::JsonWriter;
using GeneralFunction::QuoteSQL;
using engine::AccountJoins;
using engine::GroupTypeJoins;

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString UnionAll = CRLF + QStringLiteral("UNION ALL ") + CRLF;

// The joins are written one after the other rather than nested ("A LEFT JOIN (B LEFT JOIN C ON
// b-c) ON a-b"). Both forms give the same rows, because every inner condition is an equality on a
// column of B, which is NULL when B has no row; but SQLite copies a nested right-hand join into a
// temporary table before it can look rows up in it (the whole account ledger, for the receipts
// of the day), while the flat form uses the tables' own indexes.

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

// The balance-master half of an account tile: `amount` of the passed accounts of the group types
// (a quoted list), by group type.
QString BalanceSelect(const QString& amount, const QString& groupTypes, const QString& rights)
{
    return QStringLiteral("SELECT ") + QStringLiteral("FaAccountGroupMaster.GroupType, ") + amount
           + QStringLiteral(" AS Amount ") + QStringLiteral("FROM FaAccountBalanceMaster ")
           + GroupTypeJoins(QStringLiteral("FaAccountBalanceMaster.AccountCode = FaAccountMaster.AccountCode "))
           + QStringLiteral("WHERE ") + QStringLiteral("FaAccountMaster.Passed = 'True' AND ")
           + QStringLiteral("FaAccountGroupMaster.GroupType IN (") + groupTypes + QStringLiteral(") ") + rights
           + QStringLiteral("GROUP BY ") + QStringLiteral("FaAccountGroupMaster.GroupType ");
}

// The ledger half of an account tile, for the part months its balance-master half leaves out:
// the passed ledger lines of the group types within the date clauses ("AND ..."), by group type.
QString LedgerSelect(const QString& groupTypes, const QString& rights, const QString& dateClauses)
{
    return QStringLiteral("SELECT ") + QStringLiteral("FaAccountGroupMaster.GroupType, ")
           + QStringLiteral("ROUND(SUM(FaAccountLedger.Amount), 2) As Amount ") + QStringLiteral("FROM FaAccountLedger ")
           + GroupTypeJoins(QStringLiteral("FaAccountLedger.AccountCode = FaAccountMaster.AccountCode "))
           + QStringLiteral("WHERE ") + QStringLiteral("FaAccountLedger.Passed = 'True' AND ")
           + QStringLiteral("FaAccountGroupMaster.GroupType IN (") + groupTypes + QStringLiteral(") ") + rights
           + dateClauses + QStringLiteral("GROUP BY ") + QStringLiteral("FaAccountGroupMaster.GroupType ");
}

// The figures of a unioned statement added up by group type, rounded to `places`.
QString SummaryOf(const QString& unioned, int places)
{
    return QStringLiteral("SELECT ") + QStringLiteral("Summary.GroupType, ") + QStringLiteral("ROUND(SUM(Summary.Amount), ")
           + QString::number(places) + QStringLiteral(") AS Amount ") + QStringLiteral("FROM (") + unioned
           + QStringLiteral(") AS Summary ") + QStringLiteral("GROUP BY ") + QStringLiteral("Summary.GroupType ");
}

using RowShape = DashboardRowShape;

// The key conditions that tie an order line to its register row.
const QString ProductsRegisterKeys = QStringLiteral(
    "Products.DocumentYear = Register.DocumentYear AND "
    "Products.BranchCode = Register.BranchCode AND "
    "Products.DocumentType = Register.DocumentType AND "
    "Products.SeriesCode = Register.SeriesCode AND "
    "Products.DocumentNo = Register.DocumentNo ");

const QString ProductAmountTemplate = engine::OrderProductAmount();

}  // namespace

// ---- shared pieces ------------------------------------------------------------------------------

QString clsClient::DashboardDate(const QDate& date) const
{
    return cnnCompany.dialect().DateLiteral(date);
}

bool clsClient::DashboardTestPeriod(const QDate& lastDate) const
{
    // A test installation holds the figures of early 2005; its periods up to the end of March 2005
    // are looked at as on New Year's Day 2005, with the week ending on 8 January.
    return lTestingMode && lastDate <= QDate(2005, 3, 31);
}

QDate clsClient::DashboardDay(const QDate& lastDate) const
{
    if (DashboardTestPeriod(lastDate))
        return QDate(2005, 1, 1);
    return platform::Clock::Today();
}

QDate clsClient::DashboardWeekLast(const DashboardArgs& a) const
{
    if (DashboardTestPeriod(a.LastDate))
        return QDate(2005, 1, 8);
    return a.WeekLast;
}

QString clsClient::DashboardAccountRights(const DashboardArgs& a, const QString& branchOwner,
                                          const QString& accountOwner) const
{
    return a.AccountClauses(branchOwner, accountOwner);
}

QString clsClient::DashboardStoreRights(const DashboardArgs& a, const QString& storeOwner,
                                        const QString& firstAnd) const
{
    return a.StoreClauses(storeOwner, firstAnd);
}

QString clsClient::DashboardPartMonths(const DashboardArgs& a, const QString& dateColumn) const
{
    return a.PartMonths(cnnCompany.dialect(), dateColumn);
}

QString clsClient::DashboardLastPartMonth(const DashboardArgs& a, const QString& dateColumn) const
{
    return a.LastPartMonth(cnnCompany.dialect(), dateColumn);
}

// Runs a tile's statement and appends its rows, with the tile's log lines around it.
void clsClient::DashboardRows(const DashboardArgs& a, const QString& sql, const QString& recordsWords,
                              const QString& dataWords, JsonWriter& Data,
                              const std::function<DashboardRowShape(const QString&)>& shapeOf)
{
    // A row for each record whose Amount is not zero (a NULL Amount counts as zero).
    engine::Column amount(QStringLiteral("Amount")), groupTypeColumn(QStringLiteral("GroupType"));
    const auto take = [&](engine::Rows& rs) { return engine::RowNumber(rs, amount) != 0.0; };
    const auto fill = [&](JsonWriter& row, engine::Rows& rs) {
        const platform::db::Utf8Text code = rs.ToText(rs.Index(groupTypeColumn));
        const QString groupType = QString::fromUtf8(code.data, code.size);
        const RowShape shape = shapeOf(groupType);
        row.String("StDt", shape.StDt.toString(QStringLiteral("yyyy-MM-dd")));
        row.String("LtDt", shape.LtDt.toString(QStringLiteral("yyyy-MM-dd")));
        row.String("ActNm", shape.ActNm);
        row.String("GrpTy", code.View());
        row.Number("Amt", engine::RowNumber(rs, amount) * shape.Factor);
    };
    ActionRows(a.MobileNo, sql, QStringLiteral(" Getting Records for ") + recordsWords,
               QStringLiteral(" Adding ") + dataWords + QStringLiteral(" Dashboard Data to JSON"), Data, take, fill);
}

// ---- tiles from accounts ------------------------------------------------------------------------

void clsClient::GetSalesPurchaseDashboard(const DashboardArgs& a, JsonWriter& Data, bool& Ok)
{
    Ok = RunQuery([&] {
        Log(a.MobileNo, QStringLiteral(" Generating SQL Query for Sales & Purchase Dashboard"));
        const QString groupTypes = QStringLiteral("'SA','PU'");
        QString sql = BalanceSelect(a.BalanceField(), groupTypes,
                                    DashboardAccountRights(a, QStringLiteral("FaAccountBalanceMaster"), QStringLiteral("FaAccountMaster")));
        if (a.StartIsFirst && a.LastIsMonthEnd) {
            sql += QStringLiteral("ORDER BY ") + QStringLiteral("CASE WHEN FaAccountGroupMaster.GroupType = 'SA' THEN 1 ELSE 2 END ");
        } else {
            Log(a.MobileNo, QStringLiteral(" Unioning SQL Query for Sales & Purchase Dashboard"));
            sql += UnionAll
                   + LedgerSelect(groupTypes,
                                  DashboardAccountRights(a, QStringLiteral("FaAccountLedger"), QStringLiteral("FaAccountMaster")),
                                  DashboardPartMonths(a, QStringLiteral("FaAccountLedger.DocumentDate")));
            sql = SummaryOf(sql, 2) + QStringLiteral("ORDER BY ")
                  + QStringLiteral("CASE WHEN Summary.GroupType = 'SA' THEN 1 ELSE 2 END ");
        }
        DashboardRows(a, sql, QStringLiteral("Sales & Purchase Dashboard"), QStringLiteral("Sales & Purchase"), Data,
                      [&](const QString& groupType) {
                          const bool sales = groupType == QLatin1String("SA");
                          return RowShape{a.StartDate, a.LastDate,
                                          sales ? QStringLiteral("Sales") : QStringLiteral("Purchase"), sales ? -1.0 : 1.0};
                      });
        return true;
    });
}

void clsClient::GetCashBankDebtorsCreditorsDashboard(const DashboardArgs& a, JsonWriter& Data, bool& Ok)
{
    Ok = RunQuery([&] {
        Log(a.MobileNo, QStringLiteral(" Generating Balance Field for Cash/Bank/SD/SC Dashboard"));
        const QString closing = a.ClosingBalanceField();
        Log(a.MobileNo, QStringLiteral(" Generating SQL Query for Cash/Bank/SD/SC Dashboard"));
        const QString groupTypes = QStringLiteral("'CH','BK','SD','SC'");
        QString sql = BalanceSelect(closing, groupTypes,
                                    DashboardAccountRights(a, QStringLiteral("FaAccountBalanceMaster"), QStringLiteral("FaAccountMaster")));
        if (a.LastIsMonthEnd) {
            sql += QStringLiteral("ORDER BY ")
                   + QStringLiteral("CASE FaAccountGroupMaster.GroupType WHEN 'CH' THEN 1 WHEN 'BK' THEN 2 WHEN 'SD' THEN 3 ELSE 4 END ");
        } else {
            Log(a.MobileNo, QStringLiteral(" Unioning SQL Query for Cash/Bank/SD/SC"));
            sql += UnionAll
                   + LedgerSelect(groupTypes,
                                  DashboardAccountRights(a, QStringLiteral("FaAccountLedger"), QStringLiteral("FaAccountMaster")),
                                  QStringLiteral("AND ") + QStringLiteral("FaAccountLedger.DocumentDate <= ")
                                      + DashboardDate(a.LastDate) + QStringLiteral(" ")
                                      + DashboardLastPartMonth(a, QStringLiteral("FaAccountLedger.DocumentDate")));
            sql = SummaryOf(sql, 2) + QStringLiteral("ORDER BY ")
                  + QStringLiteral("CASE Summary.GroupType WHEN 'CH' THEN 1 WHEN 'BK' THEN 2 WHEN 'SD' THEN 3 ELSE 4 END ");
        }
        DashboardRows(a, sql, QStringLiteral("Cash/Bank/SD/SC"), QStringLiteral("Cash/Bank/SD/SC"), Data,
                      [&](const QString& groupType) {
                          QString caption = QStringLiteral("Creditors");
                          if (groupType == QLatin1String("CH"))
                              caption = QStringLiteral("Cash Balance");
                          else if (groupType == QLatin1String("BK"))
                              caption = QStringLiteral("Bank Balance");
                          else if (groupType == QLatin1String("SD"))
                              caption = QStringLiteral("Debtors");
                          return RowShape{a.StartDate, a.LastDate, caption, groupType == QLatin1String("SC") ? -1.0 : 1.0};
                      });
        return true;
    });
}

void clsClient::GetTodayReceivablePayableDashboard(const DashboardArgs& a, JsonWriter& Data, bool& Ok)
{
    Ok = RunQuery([&] {
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
        DashboardRows(a, sql, QStringLiteral("Today's Receivable/Payable Dashboard"),
                      QStringLiteral("Today's Receivable/Payable"), Data, [&](const QString& type) {
                          return RowShape{day, day,
                                          type == QLatin1String("TR") ? QStringLiteral("Today's Receivable")
                                                                      : QStringLiteral("Today's Payable"),
                                          1.0};
                      });
        return true;
    });
}

void clsClient::GetReceiptPaymentTodayDashboard(const DashboardArgs& a, JsonWriter& Data, bool& Ok)
{
    Ok = RunQuery([&] {
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
        DashboardRows(a, sql, QStringLiteral("Today's Receipt/Payment Dashboard"), QStringLiteral("Today's Receipt/Payment"),
                      Data, [&](const QString& type) {
                          const bool receipt = type == QLatin1String("RT");
                          return RowShape{day, day,
                                          receipt ? QStringLiteral("Today's Receipts") : QStringLiteral("Today's Payments"),
                                          receipt ? 1.0 : -1.0};
                      });
        return true;
    });
}

// ---- tiles from orders --------------------------------------------------------------------------

// Orders of the day (OR from the sales orders, OI from the purchase orders): the stored amount of
// the passed, not cancelled lines of the orders dated that day.
void clsClient::DashboardOrdersOfDay(const DashboardArgs& a, const DashboardOrderSide& side, JsonWriter& Data, bool& Ok)
{
    Ok = RunQuery([&] {
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
        DashboardRows(a, sql, side.Words + QStringLiteral(" Dashboard"), side.Words, Data, [&](const QString& type) {
            return RowShape{day, day, type == side.Code ? side.Caption : QString(), 1.0};
        });
        return true;
    });
}

// Deliveries due up to the end of the week (WD, WR): the value of the schedule lines still pending,
// overdue ones included.
void clsClient::DashboardWeeklyDelivery(const DashboardArgs& a, const DashboardOrderSide& side, JsonWriter& Data, bool& Ok)
{
    Ok = RunQuery([&] {
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
            sql, engine::OrderValuePairs(cnnCompany.dialect(), side.WeeklyProductAmount, QStringLiteral("Schedule.PendingQuantity1 "),
                                 QStringLiteral("Schedule.PendingQuantity ")));
        sql += DashboardOrderRights(a);
        DashboardRows(a, sql, side.Words + QStringLiteral(" Dashboard"), side.Words, Data, [&](const QString& type) {
            return RowShape{day, weekLast,
                            type == side.Code ? side.Caption + weekLast.toString(QStringLiteral("dd/MM/yyyy")) : QString(),
                            1.0};
        });
        return true;
    });
}

// Pending orders (OP from the sales orders, PP from the purchase orders): the value of every pending line of the orders dated up to LastDate.
void clsClient::DashboardPendingOrders(const DashboardArgs& a, const DashboardOrderSide& side, JsonWriter& Data, bool& Ok)
{
    Ok = RunQuery([&] {
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
            sql, engine::OrderValuePairs(cnnCompany.dialect(), ProductAmountTemplate + QStringLiteral(" "), QStringLiteral("Products.PendingQuantity1"),
                                 QStringLiteral("Products.PendingQuantity")));
        sql += DashboardOrderRights(a);
        DashboardRows(a, sql, side.Words + QStringLiteral(" Dashboard"), side.Words, Data, [&](const QString& type) {
            return RowShape{a.StartDate, a.LastDate, type == side.Code ? side.Caption : QString(), 1.0};
        });
        return true;
    });
}

QString clsClient::DashboardOrderRights(const DashboardArgs& a) const
{
    return DashboardAccountRights(a, QStringLiteral("Products"), QStringLiteral("AccountMaster"))
           + DashboardStoreRights(a, QStringLiteral("Products"), QStringLiteral("AND "));
}

clsClient::DashboardOrderSide clsClient::DashboardSalesOrders(const QString& code, const QString& caption,
                                                              const QString& words)
{
    return {QStringLiteral("FaSalesOrderRegister"), QStringLiteral("FaSalesOrderProducts"),
            QStringLiteral("FaSalesOrderSchedule"), ProductAmountTemplate, code, caption, words};
}

// The purchase side's weekly value template carries a blank more than the sales side's.
clsClient::DashboardOrderSide clsClient::DashboardPurchaseOrders(const QString& code, const QString& caption,
                                                                 const QString& words)
{
    return {QStringLiteral("FaPurchaseOrderRegister"), QStringLiteral("FaPurchaseOrderProducts"),
            QStringLiteral("FaPurchaseOrderSchedule"), ProductAmountTemplate + QStringLiteral(" "), code, caption, words};
}

void clsClient::GetOrderReceivedDashboard(const DashboardArgs& a, JsonWriter& Data, bool& Ok)
{
    DashboardOrdersOfDay(
        a, DashboardSalesOrders(QStringLiteral("OR"), QStringLiteral("Today's SO"), QStringLiteral("Order Received")), Data,
        Ok);
}

void clsClient::GetWeeklySODeliveryDashboard(const DashboardArgs& a, JsonWriter& Data, bool& Ok)
{
    DashboardWeeklyDelivery(
        a, DashboardSalesOrders(QStringLiteral("WD"), QStringLiteral("SO Dly upto "), QStringLiteral("Weekly SO Delivery")),
        Data, Ok);
}

void clsClient::GetPendingSODashboard(const DashboardArgs& a, JsonWriter& Data, bool& Ok)
{
    DashboardPendingOrders(
        a, DashboardSalesOrders(QStringLiteral("OP"), QStringLiteral("SO Pending"), QStringLiteral("Pending SO")), Data, Ok);
}

void clsClient::GetOrderIssuedDashboard(const DashboardArgs& a, JsonWriter& Data, bool& Ok)
{
    DashboardOrdersOfDay(
        a, DashboardPurchaseOrders(QStringLiteral("OI"), QStringLiteral("Today's PO"), QStringLiteral("Order Issued")), Data,
        Ok);
}

void clsClient::GetWeeklyPODeliveryDashboard(const DashboardArgs& a, JsonWriter& Data, bool& Ok)
{
    DashboardWeeklyDelivery(
        a, DashboardPurchaseOrders(QStringLiteral("WR"), QStringLiteral("PO Dly upto "), QStringLiteral("Weekly PO Delivery")),
        Data, Ok);
}

void clsClient::GetPendingPODashboard(const DashboardArgs& a, JsonWriter& Data, bool& Ok)
{
    DashboardPendingOrders(
        a, DashboardPurchaseOrders(QStringLiteral("PP"), QStringLiteral("PO Pending"), QStringLiteral("Pending PO")), Data, Ok);
}

// ---- tiles from stock ---------------------------------------------------------------------------

void clsClient::GetStockBalanceDashboard(const DashboardArgs& a, JsonWriter& Data, bool& Ok)
{
    Ok = RunQuery([&] {
        Log(a.MobileNo, QStringLiteral(" Generating Balance Field for StockBalance Dashboard"));
        const QString quantity = a.ClosingQuantityField();
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
            sql = SummaryOf(sql, 3);
        }
        DashboardRows(a, sql, QStringLiteral("Stock Balance"), QStringLiteral("Stock Balance"), Data, [&](const QString& type) {
            return RowShape{a.StartDate, a.LastDate,
                            type == QLatin1String("ST") ? QStringLiteral("Stock Quantity") : QString(), 1.0};
        });
        return true;
    });
}

void clsClient::GetReceiptIssueTodayDashboard(const DashboardArgs& a, JsonWriter& Data, bool& Ok)
{
    Ok = RunQuery([&] {
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
        DashboardRows(a, sql, QStringLiteral("Today's Receipt/Issue Quantity Dashboard"),
                      QStringLiteral("Today's Receipt/Issue Quantity"), Data, [&](const QString& type) {
                          return RowShape{day, day,
                                          type == QLatin1String("RQ") ? QStringLiteral("Today's Rec.Qty")
                                                                      : QStringLiteral("Today's Isu.Qty"),
                                          1.0};
                      });
        return true;
    });
}
