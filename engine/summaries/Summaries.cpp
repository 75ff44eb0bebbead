// The account, location and item summaries: the dashboard's figures broken down by account, by
// the locations of one account, and by item. The three handlers hand the engine's handler skeleton
// their words, their account look-up and their dispatch on the GroupType; they share the period
// values and right clauses of the dashboard, and write their rows through the engine's row writer.

#include "clsClient.h"

#include "ActionSkeleton.h"
#include "EngineSupport.h"
#include "FamilySupport.h"
#include "settings/GeneralFunction.h"

#include <vector>

using platform::JsonWriter;
using platform::JsonObject;
using platform::db::Recordset;
using engine::Column;
using engine::Rows;
using engine::FieldFlag;
using engine::FieldNumber;
using engine::FieldText;
using GeneralFunction::QuoteSQL;
using engine::AccountJoins;
using engine::GroupTypeJoins;

// One query of an action: the codes that choose it, its log line and failure message.
struct clsClient::SummaryQuery {
    const char* Codes;
    void (clsClient::*Run)(const SummaryArgs&, JsonWriter&, bool&);
    const char* Getting;
    const char* Unable;
};

// What tells the three summary actions apart in their common course.
struct clsClient::SummaryAction {
    const char* Subject;       // " Getting <Subject>", "... for <Subject>", "Returning <Subject> from ..."
    const char* FailureLine;   // "Error while getting <...>."
    bool ReadsStore;           // the request's StoreCode
    bool ForAccount;           // the request names one account (its name goes in the head)
    std::vector<SummaryQuery> Queries;
};

// The tables and words of one side (sales or purchase) of an order figure.
struct clsClient::SummaryOrderSide {
    QString Register;
    QString Products;
    QString Schedule;
    bool PassedFirst;      // the register's Passed test comes before the Cancelled test
    SummaryWords Words;
};

namespace {

const QString UnionAll = engine::CRLF + QStringLiteral("UNION ALL ") + engine::CRLF;

// The register of an order line, with the register's account and its group.
QString RegisterJoin(const QString& registerTable, bool withAccount)
{
    QString join = QStringLiteral("LEFT JOIN ") + registerTable + QStringLiteral(" AS Register ON ")
                   + QStringLiteral("Products.DocumentYear = Register.DocumentYear AND "
                                    "Products.BranchCode = Register.BranchCode AND "
                                    "Products.DocumentType = Register.DocumentType AND "
                                    "Products.SeriesCode = Register.SeriesCode AND "
                                    "Products.DocumentNo = Register.DocumentNo ");
    if (withAccount)
        join += QStringLiteral("LEFT JOIN FaAccountMaster AS AccountMaster ON "
                               "Register.AccountCode = AccountMaster.AccountCode "
                               "LEFT JOIN FaAccountGroupMaster AS AccountGroupMaster ON "
                               "AccountMaster.ParentGroupCode = AccountGroupMaster.AccountGroupCode ");
    return join;
}

// The account's per-account figures with its name, the place of its main location and whether
// it has other locations.
QString AccountOuter(const QString& inner, const QString& groupType)
{
    return QStringLiteral("SELECT ") + QStringLiteral("AccountSummary.AccountCode, ")
           + QStringLiteral("FaAccountMaster.AccountName, ") + QStringLiteral("'") + QuoteSQL(groupType)
           + QStringLiteral("' AS GroupType, ") + QStringLiteral("IsNull(FaAccountAddressMaster.Place, '') AS Place, ")
           + QStringLiteral("AccountSummary.Amount, ")
           + QStringLiteral("IsNull((SELECT TOP 1 CAST(1 AS BIT) FROM FaAccountAddressMaster AS AAM WHERE "
                            "AAM.AccountCode = FaAccountMaster.AccountCode AND AAM.AccountLocationCode <> '001'), "
                            "CAST(0 AS BIT)) AS IsLocation ")
           + QStringLiteral("FROM (") + inner + QStringLiteral(") AS AccountSummary ")
           + QStringLiteral("LEFT JOIN FaAccountMaster ON ")
           + QStringLiteral("AccountSummary.AccountCode = FaAccountMaster.AccountCode ")
           + QStringLiteral("LEFT JOIN FaAccountAddressMaster ON ")
           + QStringLiteral("AccountSummary.AccountCode = FaAccountAddressMaster.AccountCode AND ")
           + QStringLiteral("'001' = FaAccountAddressMaster.AccountLocationCode ") + QStringLiteral("ORDER BY ")
           + QStringLiteral("FaAccountMaster.AccountName ");
}

// The turnover form: no place and no locations.
QString TurnoverOuter(const QString& inner, const QString& groupType)
{
    return QStringLiteral("SELECT ") + QStringLiteral("AccountSummary.AccountCode, ")
           + QStringLiteral("FaAccountMaster.AccountName, ") + QStringLiteral("'") + QuoteSQL(groupType)
           + QStringLiteral("' AS GroupType, ") + QStringLiteral("'' AS Place, ") + QStringLiteral("AccountSummary.Amount, ")
           + QStringLiteral("CAST(0 AS BIT) AS IsLocation ") + QStringLiteral("FROM (") + inner
           + QStringLiteral(") AS AccountSummary ") + QStringLiteral("LEFT JOIN FaAccountMaster ON ")
           + QStringLiteral("AccountSummary.AccountCode = FaAccountMaster.AccountCode ") + QStringLiteral("ORDER BY ")
           + QStringLiteral("FaAccountMaster.AccountName ");
}

// The figures of one account's locations with the locations' names; a location code without an
// address row of the account gives no row.
QString LocationOuter(const QString& inner, const QString& alias, const QString& accountCode)
{
    return QStringLiteral("SELECT ") + alias + QStringLiteral(".AccountLocationCode, ")
           + QStringLiteral("FaAccountAddressMaster.AccountLocationName, ") + alias + QStringLiteral(".Amount ")
           + QStringLiteral("FROM (") + inner + QStringLiteral(") AS ") + alias + QStringLiteral(" ")
           + QStringLiteral("LEFT JOIN FaAccountAddressMaster ON ") + alias
           + QStringLiteral(".AccountLocationCode = FaAccountAddressMaster.AccountLocationCode ")
           + QStringLiteral("WHERE ") + QStringLiteral("FaAccountAddressMaster.AccountCode = '") + QuoteSQL(accountCode)
           + QStringLiteral("' ") + QStringLiteral("ORDER BY ") + QStringLiteral("FaAccountAddressMaster.AccountLocationName ");
}

// The items' figures with their names and units.
QString ItemOuter(const QString& inner, const QString& groupType)
{
    return QStringLiteral("SELECT ") + QStringLiteral("ItemSummary.ItemCode, ") + QStringLiteral("FaItemMaster.ItemName, ")
           + QStringLiteral("FaItemMaster.Unit, ") + QStringLiteral("'") + QuoteSQL(groupType)
           + QStringLiteral("' AS GroupType, ") + QStringLiteral("ItemSummary.Quantity ") + QStringLiteral("FROM (") + inner
           + QStringLiteral(") AS ItemSummary ") + QStringLiteral("LEFT JOIN FaItemMaster ON ")
           + QStringLiteral("ItemSummary.ItemCode = FaItemMaster.ItemCode ") + QStringLiteral("ORDER BY ")
           + QStringLiteral("FaItemMaster.ItemName ");
}

}  // namespace

// ---- the handlers --------------------------------------------------------------------------------

QByteArray clsClient::GetAccountSummary(const JsonObject& request)
{
    static const SummaryAction action{
        "Account Summary", "Error while getting Account Summary.", false, false,
        {
            {"SA,PU", &clsClient::GetSalesPurchaseAccountSummary, " Getting Sales/Purchase Account Summary Data",
             "Unable to get Sales/Purchase Account Summary Data."},
            {"CH,BK,SD,SC", &clsClient::GetCashBankDebtorsCreditorsAccountSummary,
             " Getting Cash/Bank/Debtors/Creditors Account Summary Data",
             "Unable to get Cash/Bank/Debtors/Creditors Account Summary Data."},
            {"TR,TP", &clsClient::GetTodayReceivablePayableAccountSummary,
             " Getting Today's Receivable/Payable Account Summary Data",
             "Unable to get Today's Receivable/Payable Account Summary Data."},
            {"RT,PT", &clsClient::GetReceiptPaymentTodayAccountSummary, " Getting Receipt/Payment Today Account Summary Data",
             "Unable to get Receipt/Payment Today Account Summary Data."},
            {"OR", &clsClient::GetOrderReceivedAccountSummary, " Getting Order Received Account Summary Data",
             "Unable to get Order Received Account Summary Data."},
            {"WD", &clsClient::GetWeeklySODeliveryAccountSummary, " Getting Weekly SO Delivery Account Summary Data",
             "Unable to get Weekly SO Delivery Account Summary Data."},
            {"OP", &clsClient::GetPendingSOAccountSummary, " Getting Pending SO Account Summary Data",
             "Unable to get Pending SO Account Summary Data."},
            {"OI", &clsClient::GetOrderIssuedAccountSummary, " Getting Order Issued Account Summary Data",
             "Unable to get Order Issued Account Summary Data."},
            {"WR", &clsClient::GetWeeklyPODeliveryAccountSummary, " Getting Weekly PO Delivery Account Summary Data",
             "Unable to get Weekly PO Delivery Account Summary Data."},
            {"PP", &clsClient::GetPendingPOAccountSummary, " Getting Pending PO Account Summary Data",
             "Unable to get Pending PO Account Summary Data."},
        }};
    return SummaryReply(request, action);
}

QByteArray clsClient::GetLocationSummary(const JsonObject& request)
{
    static const SummaryAction action{
        "Account Location Summary", "Error while getting Account Location Summary.", false, true,
        {
            {"SD,SC", &clsClient::GetDebtorsCreditorsLocationSummary,
             " Getting Debtors/Creditors Account Location Summary Data",
             "Unable to get Debtors/Creditors Account Location Summary Data."},
            {"TR,TP", &clsClient::GetTodayReceivablePayableLocationSummary,
             " Getting Today's Receivable/Payable Account Location Summary Data",
             "Unable to get Today's Receivable/Payable Account Location Summary Data."},
            {"RT,PT", &clsClient::GetReceiptPaymentTodayLocationSummary,
             " Getting Receipt/Payment Today Account Location Summary Data",
             "Unable to get Receipt/Payment Today Account Location Summary Data."},
            {"OR", &clsClient::GetOrderReceivedLocationSummary, " Getting Order Received Account Location Summary Data",
             "Unable to get Order Received Account Location Summary Data."},
            {"WD", &clsClient::GetWeeklySODeliveryLocationSummary,
             " Getting Weekly SO Delivery Account Location Summary Data",
             "Unable to get Weekly SO Delivery Account Location Summary Data."},
            {"OP", &clsClient::GetPendingSOLocationSummary, " Getting Pending SO Account Location Summary Data",
             "Unable to get Pending SO Account Location Summary Data."},
            {"OI", &clsClient::GetOrderIssuedLocationSummary, " Getting Order Issued Account Location Summary Data",
             "Unable to get Order Issued Account Location Summary Data."},
            {"WR", &clsClient::GetWeeklyPODeliveryLocationSummary,
             " Getting Weekly PO Delivery Account Location Summary Data",
             "Unable to get Weekly PO Delivery Account Location Summary Data."},
            {"PP", &clsClient::GetPendingPOLocationSummary, " Getting Pending PO Account Location Summary Data",
             "Unable to get Pending PO Account Location Summary Data."},
        }};
    return SummaryReply(request, action);
}

QByteArray clsClient::GetItemSummary(const JsonObject& request)
{
    static const SummaryAction action{
        "Item Summary", "Error while getting Item Summary.", true, false,
        {
            {"ST", &clsClient::GetStockBalanceItemSummary, " Getting Stock Balance Items Summary Data",
             "Unable to get Stock Balance Item Summary Data."},
            {"RQ,IQ", &clsClient::GetReceiptIssueTodayItemSummary, " Getting Receipt/Issue Quantity Items Summary Data",
             "Unable to get Todays Receipt/Issue Quantity Item Summary Data."},
        }};
    return SummaryReply(request, action);
}

QByteArray clsClient::SummaryReply(const JsonObject& request, const SummaryAction& action)
{
    const QString subject = QString::fromLatin1(action.Subject);
    engine::ActionRequest r;
    SummaryArgs a;
    QString accountName;
    engine::ActionCourse course;
    course.FailureLine = QString::fromLatin1(action.FailureLine);
    course.GettingWords = QStringLiteral(" Getting ") + subject;
    course.ReadKeys = [&](const JsonObject& keys) {
        // A date text of another form is a conversion error of the handler itself.
        r.StartDate = engine::RequestDate(keys.StringOf(QStringLiteral("StartDate")));
        r.LastDate = engine::RequestDate(keys.StringOf(QStringLiteral("LastDate")));
        a.MobileNo = r.MobileNo;
        if (action.ReadsStore)
            a.StoreCode = keys.StringOf(QStringLiteral("StoreCode"));
        else
            a.BranchCode = keys.StringOf(QStringLiteral("BranchCode"));
        a.GroupType = keys.StringOf(QStringLiteral("GroupType"));
        a.Code = engine::TrimBlanks(a.GroupType).toUpper();
        if (action.ForAccount)
            a.AccountCode = keys.StringOf(QStringLiteral("AccountCode"));
    };
    course.BalanceWords = QStringLiteral(" Generating Balance Fields for ") + subject;
    if (action.ForAccount)
        course.LookUp = [&] {
            Log(r.MobileNo, QStringLiteral(" Getting Account Info"));
            QString locationName, priceList, gst, sgst, igst, partyType, country;
            double discount = 0;
            if (!GetAccountInfo(a.AccountCode, QStringLiteral("001"), accountName, locationName, priceList, gst, sgst,
                                igst, discount, partyType, country)) {
                ErrorText = QStringLiteral("Unable to Get Account Info.") + engine::CRLF + ErrorText;
                return false;
            }
            // A user limited to some account groups sees only the accounts of those groups, as the
            // account summary shows them.
            if (!SummaryAccountAllowed(a)) {
                ErrorText = QStringLiteral("User doesn't have right to access this option.") + engine::CRLF + ErrorText;
                return false;
            }
            return true;
        };
    course.Head = [&] {
        QVariantList head{QStringLiteral("StDt"), r.StartDate, QStringLiteral("LtDt"), r.LastDate};
        if (action.ForAccount)
            head << QStringLiteral("ActCd") << a.AccountCode << QStringLiteral("ActNm") << accountName
                 << QStringLiteral("GrpTy") << a.GroupType;
        return head;
    };
    course.Fill = [&](JsonWriter& data) {
        // A code is found in a list only as one of its entries; a code no list holds runs no query.
        for (const SummaryQuery& query : action.Queries) {
            if (!engine::IsCodeInList(a.Code, QString::fromLatin1(query.Codes)))
                continue;
            Log(r.MobileNo, QString::fromLatin1(query.Getting));
            bool ok = false;
            (this->*query.Run)(a, data, ok);
            if (!ok) {
                ErrorText = QString::fromLatin1(query.Unable) + engine::CRLF + ErrorText;
                return false;
            }
            break;
        }
        return true;
    };
    course.ReturningWords = QStringLiteral(" Returning ") + subject + QStringLiteral(" from JSON Object to Text");
    return ActionReply(request, r, a, a, course);
}

bool clsClient::SummaryAccountAllowed(const SummaryArgs& a)
{
    const QString clause = a.AccountGroupClause(QStringLiteral("FaAccountMaster"));
    if (clause.isEmpty())
        return true;
    oRecordset.Open(QStringLiteral("SELECT COUNT(*) AS Found FROM FaAccountMaster WHERE FaAccountMaster.AccountCode = '")
                        + QuoteSQL(a.AccountCode) + QStringLiteral("' ") + clause,
                    cnnCompany);
    const bool found = FieldNumber(oRecordset, QStringLiteral("Found")) > 0;
    CloseRecordset();
    return found;
}

// ---- the row writer ------------------------------------------------------------------------------

void clsClient::SummaryRows(const SummaryArgs& a, const QString& sql, const SummaryWords& words, SummaryRowKind kind,
                            JsonWriter& Data)
{
    Column amountColumn(kind == SummaryRowKind::Item ? QStringLiteral("Quantity") : QStringLiteral("Amount"));
    Column code(kind == SummaryRowKind::Location ? QStringLiteral("AccountLocationCode")
                : kind == SummaryRowKind::Item   ? QStringLiteral("ItemCode")
                                                 : QStringLiteral("AccountCode"));
    Column name(kind == SummaryRowKind::Location ? QStringLiteral("AccountLocationName")
                : kind == SummaryRowKind::Item   ? QStringLiteral("ItemName")
                                                 : QStringLiteral("AccountName"));
    Column groupType(QStringLiteral("GroupType")), place(QStringLiteral("Place")), isLocation(QStringLiteral("IsLocation")),
        unit(QStringLiteral("Unit"));
    const auto take = [&](Rows& rs) { return engine::RowNumber(rs, amountColumn) != 0.0; };
    const auto fill = [&](JsonWriter& row, Rows& rs) {
        const double amount = engine::RowNumber(rs, amountColumn);
        switch (kind) {
        case SummaryRowKind::Account:
            engine::WriteTrimmed(row, "ActCd", engine::RowText(rs, code));
            engine::WriteTrimmed(row, "ActNm", engine::RowText(rs, name));
            row.String("GrpTy", engine::RowText(rs, groupType).View());
            row.String("Place", engine::RowText(rs, place).View());
            row.Number("Amt", amount);
            row.Bool("IsLoc", engine::RowFlag(rs, isLocation));
            break;
        case SummaryRowKind::Location:
            engine::WriteTrimmed(row, "LocCd", engine::RowText(rs, code));
            engine::WriteTrimmed(row, "LocNm", engine::RowText(rs, name));
            row.Number("Amt", amount);
            break;
        case SummaryRowKind::Item:
            engine::WriteTrimmed(row, "ItmCd", engine::RowText(rs, code));
            engine::WriteTrimmed(row, "ItmNm", engine::RowText(rs, name));
            engine::WriteTrimmed(row, "Unit", engine::RowText(rs, unit));
            row.String("GrpTy", engine::RowText(rs, groupType).View());
            row.Number("Qty", amount);
            break;
        }
    };
    ActionRows(a.MobileNo, sql, words.Records, words.Adding, Data, take, fill);
}

// ---- account summary queries from accounts -------------------------------------------------------

void clsClient::GetSalesPurchaseAccountSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    Ok = RunQuery([&] {
        const SummaryWords words{
            QStringLiteral(" Generating SQL Query for Sales & Purchase Account Summary"),
            QStringLiteral(" Unioning SQL Query for Sales & Purchase Account Summary"),
            QStringLiteral(" Generating Query for Account Name of Sales & Purchase Account Summary"),
            QStringLiteral(" Getting Records for Sales & Purchase Account Summary"),
            QStringLiteral(" Adding Sales & Purchase Account Summary Data to JSON")};
        Log(a.MobileNo, words.Generating);
        const QString balance =
            QStringLiteral("SELECT ") + QStringLiteral("FaAccountBalanceMaster.AccountCode, ") + a.BalanceField()
            + QStringLiteral(" AS Amount ") + QStringLiteral("FROM FaAccountBalanceMaster ")
            + AccountJoins(QStringLiteral("FaAccountBalanceMaster.AccountCode = FaAccountMaster.AccountCode "))
            + QStringLiteral("WHERE ") + QStringLiteral("FaAccountMaster.Passed = 'True' AND ")
            + QStringLiteral("FaAccountGroupMaster.GroupType = '") + QuoteSQL(a.Code) + QStringLiteral("' ")
            + a.AccountClauses(QStringLiteral("FaAccountBalanceMaster"), QStringLiteral("FaAccountMaster"))
            + QStringLiteral("GROUP BY ") + QStringLiteral("FaAccountBalanceMaster.AccountCode ");
        QString inner = balance;
        if (!a.WholeMonthsOnly()) {
            Log(a.MobileNo, words.Unioning);
            const QString ledger =
                QStringLiteral("SELECT ") + QStringLiteral("FaAccountLedger.AccountCode, ")
                + QStringLiteral("ROUND(SUM(FaAccountLedger.Amount), 2) As Amount ") + QStringLiteral("FROM FaAccountLedger ")
                + GroupTypeJoins(QStringLiteral("FaAccountLedger.AccountCode = FaAccountMaster.AccountCode "))
                + QStringLiteral("WHERE ") + QStringLiteral("FaAccountGroupMaster.GroupType = '") + QuoteSQL(a.Code)
                + QStringLiteral("' AND ") + QStringLiteral("FaAccountLedger.Passed = 'True' ")
                + a.AccountClauses(QStringLiteral("FaAccountLedger"), QStringLiteral("FaAccountMaster"))
                + a.PartMonths(cnnCompany.dialect(), QStringLiteral("FaAccountLedger.DocumentDate"))
                + QStringLiteral("GROUP BY ") + QStringLiteral("FaAccountLedger.AccountCode ");
            inner = QStringLiteral("SELECT ") + QStringLiteral("Summary.AccountCode, ")
                    + QStringLiteral("ROUND(SUM(Summary.Amount), 2) AS Amount ") + QStringLiteral("FROM (") + balance
                    + UnionAll + ledger + QStringLiteral(") AS Summary ") + QStringLiteral("GROUP BY ")
                    + QStringLiteral("Summary.AccountCode ");
        }
        Log(a.MobileNo, words.Naming);
        SummaryRows(a, TurnoverOuter(inner, a.GroupType), words, SummaryRowKind::Account, Data);
        return true;
    });
}

void clsClient::GetCashBankDebtorsCreditorsAccountSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    Ok = RunQuery([&] {
        const SummaryWords words{
            QStringLiteral(" Generating SQL Query for Cash/Bank/SD/SC Account Summary"),
            QStringLiteral(" Unioning SQL Query for Cash/Bank/SD/SC Account Summary"),
            QStringLiteral(" Generating Query for Account Name of Cash/Bank/SD/SC Account Summary"),
            QStringLiteral(" Getting Records for Cash/Bank/SD/SC Account Summary"),
            QStringLiteral(" Adding Cash/Bank/SD/SC Account Summary Data to JSON")};
        Log(a.MobileNo, QStringLiteral(" Generating Balance Field for Cash/Bank/SD/SC Account Summary"));
        const QString closing = a.ClosingBalanceField();
        Log(a.MobileNo, words.Generating);
        const QString balance =
            QStringLiteral("SELECT ") + QStringLiteral("FaAccountBalanceMaster.AccountCode, ") + closing
            + QStringLiteral(" AS Amount ") + QStringLiteral("FROM FaAccountBalanceMaster ")
            + AccountJoins(QStringLiteral("FaAccountBalanceMaster.AccountCode = FaAccountMaster.AccountCode "))
            + QStringLiteral("WHERE ") + QStringLiteral("FaAccountGroupMaster.GroupType = '") + QuoteSQL(a.Code)
            + QStringLiteral("' AND ") + QStringLiteral("FaAccountMaster.Passed = 'True' ")
            + a.AccountClauses(QStringLiteral("FaAccountBalanceMaster"), QStringLiteral("FaAccountMaster"))
            + QStringLiteral("GROUP BY ") + QStringLiteral("FaAccountBalanceMaster.AccountCode ");
        QString inner = balance;
        if (!a.LastIsMonthEnd) {
            Log(a.MobileNo, words.Unioning);
            const QString ledger =
                QStringLiteral("SELECT ") + QStringLiteral("FaAccountLedger.AccountCode, ")
                + QStringLiteral("ROUND(SUM(FaAccountLedger.Amount), 2) As Amount ") + QStringLiteral("FROM FaAccountLedger ")
                + GroupTypeJoins(QStringLiteral("FaAccountLedger.AccountCode = FaAccountMaster.AccountCode "))
                + QStringLiteral("WHERE ") + QStringLiteral("FaAccountLedger.Passed = 'True' AND ")
                + QStringLiteral("FaAccountGroupMaster.GroupType = '") + QuoteSQL(a.Code) + QStringLiteral("' AND ")
                + QStringLiteral("FaAccountLedger.DocumentDate <= ") + cnnCompany.dialect().DateLiteral(a.LastDate)
                + QStringLiteral(" ")
                + a.AccountClauses(QStringLiteral("FaAccountLedger"), QStringLiteral("FaAccountMaster"))
                + a.LastPartMonth(cnnCompany.dialect(), QStringLiteral("FaAccountLedger.DocumentDate"))
                + QStringLiteral("GROUP BY ") + QStringLiteral("FaAccountLedger.AccountCode ");
            inner = QStringLiteral("SELECT ") + QStringLiteral("Summary.AccountCode, ")
                    + QStringLiteral("ROUND(SUM(Summary.Amount), 2) AS Amount ") + QStringLiteral("FROM (") + balance
                    + UnionAll + ledger + QStringLiteral(") AS Summary ") + QStringLiteral("GROUP BY ")
                    + QStringLiteral("Summary.AccountCode ");
        }
        Log(a.MobileNo, words.Naming);
        SummaryRows(a, AccountOuter(inner, a.GroupType), words, SummaryRowKind::Account, Data);
        return true;
    });
}

void clsClient::GetTodayReceivablePayableAccountSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    Ok = RunQuery([&] {
        const SummaryWords words{
            QStringLiteral(" Generating SQL Query for Today's Receivable/Payable Account Summary"), QString(),
            QStringLiteral(" Generating Query for Account Name for Today's Receivable/Payable Account Summary"),
            QStringLiteral(" Getting Records for Today's Receivable/Payable Account Summary"),
            QStringLiteral(" Adding Today's Receivable/Payable Account Summary Data to JSON")};
        Log(a.MobileNo, words.Generating);
        const auto& d = cnnCompany.dialect();
        const QString group = a.Code == QLatin1String("TR") ? QStringLiteral("SD") : QStringLiteral("SC");
        const QString inner =
            QStringLiteral("SELECT ") + QStringLiteral("FaOSReg.AccountCode, ")
            + QStringLiteral("ROUND(SUM(CASE WHEN DateAdd(day, FaOSReg.CreditPeriod, CASE WHEN FaOSReg.DocumentType IN "
                             "('PUR','EXP','SNT') AND FaOSReg.BillDate <> ")
            + d.DateLiteral(engine::EmptyDate())
            + QStringLiteral(" THEN FaOSReg.BillDate ELSE FaOSReg.DocumentDate END) = ") + d.DateLiteral(a.StartDate)
            + QStringLiteral(" THEN FaOSReg.PendingAmount ELSE 0 END), 2) AS Amount ") + QStringLiteral("FROM FaOSReg ")
            + AccountJoins(QStringLiteral("FaOSReg.AccountCode = FaAccountMaster.AccountCode ")) + QStringLiteral("WHERE ")
            + QStringLiteral("FaOSReg.Passed = 'True' AND ") + QStringLiteral("FaOSReg.PendingAmount > 0 AND ")
            + QStringLiteral("FaAccountGroupMaster.GroupType = '") + group + QStringLiteral("' AND ")
            + QStringLiteral("FaOSReg.DocumentDate <= ") + d.DateLiteral(a.StartDate) + QStringLiteral(" ")
            + a.AccountClauses(QStringLiteral("FaOSReg"), QStringLiteral("FaAccountMaster")) + QStringLiteral("GROUP BY ")
            + QStringLiteral("FaOSReg.AccountCode ");
        Log(a.MobileNo, words.Naming);
        SummaryRows(a, AccountOuter(inner, a.GroupType), words, SummaryRowKind::Account, Data);
        return true;
    });
}

void clsClient::GetReceiptPaymentTodayAccountSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    Ok = RunQuery([&] {
        const SummaryWords words{
            QStringLiteral(" Generating SQL Query for Receipts/Payment Today Account Summary"), QString(),
            QStringLiteral(" Generating Query for Account Name for Receipts/Payment Today Account Summary"),
            QStringLiteral(" Getting Records for Receipts/Payment Today Account Summary"),
            QStringLiteral(" Adding Receipts/Payment Today Account Summary Data to JSON")};
        Log(a.MobileNo, words.Generating);
        const QString sign = a.Code == QLatin1String("RT") ? QStringLiteral(" > 0 ") : QStringLiteral(" < 0 ");
        const QString inner =
            QStringLiteral("SELECT ") + QStringLiteral("Ledger.AccountCode, ")
            + QStringLiteral("ROUND(SUM(Ledger.Amount), 2) AS Amount ") + QStringLiteral("FROM FaAccountLedger ")
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
            + QStringLiteral("FaAccountLedger.DocumentDate = ") + cnnCompany.dialect().DateLiteral(a.StartDate)
            + QStringLiteral(" AND ") + QStringLiteral("FaAccountLedger.Amount ") + sign
            + a.AccountClauses(QStringLiteral("FaAccountLedger"), QStringLiteral("FaAccountMaster"))
            + QStringLiteral("GROUP BY ") + QStringLiteral("Ledger.AccountCode ");
        Log(a.MobileNo, words.Naming);
        SummaryRows(a, AccountOuter(inner, a.GroupType), words, SummaryRowKind::Account, Data);
        return true;
    });
}

// ---- order figures of the account and location summaries -----------------------------------------

clsClient::SummaryWords clsClient::SummaryOrderWords(const QString& figure, const QString& summary,
                                                    const QString& namingFigure)
{
    return {QStringLiteral(" Generating SQL Query for ") + figure + QLatin1Char(' ') + summary, QString(),
            QStringLiteral(" Generating Query for Account Name for ") + namingFigure + QLatin1Char(' ') + summary,
            QStringLiteral(" Getting Records for ") + figure + QLatin1Char(' ') + summary,
            QStringLiteral(" Adding ") + figure + QLatin1Char(' ') + summary + QStringLiteral(" Data to JSON")};
}

static const QString AccountSummaryWords = QStringLiteral("Account Summary");
static const QString LocationSummaryWords = QStringLiteral("Account Location Summary");

// The right clauses of an order statement: branch, store and, for the account summary, group.
QString clsClient::SummaryOrderRights(const SummaryArgs& a, bool byLocation)
{
    if (byLocation)
        return a.BranchClauses(QStringLiteral("Products")) + a.StoreListClause(QStringLiteral("Products"));
    return a.BranchClauses(QStringLiteral("Products")) + a.StoreClauses(QStringLiteral("Products"))
           + a.AccountGroupClause(QStringLiteral("AccountMaster"));
}

// The stored amount of the passed, not cancelled order lines dated StartDate.
void clsClient::SummaryOrdersOfDay(const SummaryArgs& a, const SummaryOrderSide& side, bool byLocation, JsonWriter& Data,
                                   bool& Ok)
{
    Ok = RunQuery([&] {
        Log(a.MobileNo, side.Words.Generating);
        const QString key = byLocation ? QStringLiteral("Register.AccountLocationCode") : QStringLiteral("Register.AccountCode");
        const QString passed = QStringLiteral("Register.Passed = 'True' AND ");
        const QString cancelled = QStringLiteral("Products.Cancelled = 'False' AND ");
        QString inner = QStringLiteral("SELECT ") + key + QStringLiteral(", ")
                        + QStringLiteral("ROUND(SUM(Products.Amount), 2) AS Amount ") + QStringLiteral("FROM ")
                        + side.Products + QStringLiteral(" AS Products ") + RegisterJoin(side.Register, !byLocation)
                        + QStringLiteral("WHERE ");
        if (byLocation)
            inner += QStringLiteral("Register.AccountCode = '") + QuoteSQL(a.AccountCode) + QStringLiteral("' AND ")
                     + (side.PassedFirst ? passed + cancelled : cancelled + passed);
        else
            inner += passed + cancelled;
        inner += QStringLiteral("Register.DocumentDate = ") + cnnCompany.dialect().DateLiteral(a.StartDate)
                 + QStringLiteral(" ") + SummaryOrderRights(a, byLocation) + QStringLiteral("GROUP BY ") + key
                 + QStringLiteral(" ");
        Log(a.MobileNo, side.Words.Naming);
        const QString sql = byLocation ? LocationOuter(inner, QStringLiteral("LocationSummary"), a.AccountCode)
                                       : AccountOuter(inner, a.GroupType);
        SummaryRows(a, sql, side.Words, byLocation ? SummaryRowKind::Location : SummaryRowKind::Account, Data);
        return true;
    });
}

// The value of what is still to be delivered up to LastDate, overdue deliveries included. The
// account summary counts the schedule lines; the location summary counts an order line without
// a schedule by its own pending quantity and date.
void clsClient::SummaryDeliveries(const SummaryArgs& a, const SummaryOrderSide& side, bool byLocation, JsonWriter& Data,
                                  bool& Ok)
{
    Ok = RunQuery([&] {
        Log(a.MobileNo, side.Words.Generating);
        const QString key = byLocation ? QStringLiteral("Register.AccountLocationCode") : QStringLiteral("Register.AccountCode");
        const QString scheduleKeys = QStringLiteral("Schedule.DocumentYear = Products.DocumentYear AND "
                                                    "Schedule.BranchCode = Products.BranchCode AND "
                                                    "Schedule.DocumentType = Products.DocumentType AND "
                                                    "Schedule.SeriesCode = Products.SeriesCode AND "
                                                    "Schedule.DocumentNo = Products.DocumentNo AND ");
        // The value templates are filled on their own, before any value of the request enters the
        // statement, so that a value can never be taken for a placeholder.
        const QString quantity = byLocation ? QStringLiteral("IsNull(Schedule.PendingQuantity, Products.PendingQuantity) ")
                                            : QStringLiteral("Schedule.PendingQuantity ");
        const QString quantity1 = byLocation
                                      ? QStringLiteral("IsNull(Schedule.PendingQuantity1, Products.PendingQuantity1) ")
                                      : QStringLiteral("Schedule.PendingQuantity1 ");
        const QVariantList pairs = engine::OrderValuePairs(
            cnnCompany.dialect(), engine::OrderProductAmount() + QStringLiteral(" "), quantity1, quantity);
        const QString productAmount = GeneralFunction::ReplaceParameters(QStringLiteral("@pProductAmount"), pairs);
        const QString pending = GeneralFunction::ReplaceParameters(QStringLiteral("@pQuantity"), pairs);
        QString inner = QStringLiteral("SELECT ") + key + QStringLiteral(", ") + QStringLiteral("ROUND(SUM(")
                        + productAmount + QStringLiteral("), 2) AS Amount ");
        if (byLocation)
            inner += QStringLiteral("FROM ") + side.Products + QStringLiteral(" AS Products ")
                     + QStringLiteral("LEFT JOIN FaItemMaster AS ItemMaster ON ")
                     + QStringLiteral("Products.ItemCode = ItemMaster.ItemCode ") + QStringLiteral("LEFT JOIN ")
                     + side.Schedule + QStringLiteral(" AS Schedule ON ") + scheduleKeys
                     + QStringLiteral("Schedule.ItemSno = Products.ItemSno ") + RegisterJoin(side.Register, false)
                     + QStringLiteral("WHERE ") + QStringLiteral("Register.AccountCode = '") + QuoteSQL(a.AccountCode)
                     + QStringLiteral("' AND ") + QStringLiteral("Register.Passed = 'True' AND ")
                     + QStringLiteral("Products.Cancelled = 'False' AND ") + pending + QStringLiteral(" > 0 AND ")
                     + QStringLiteral("IsNull(Schedule.DeliveryDate, Register.DocumentDate) <= ");
        else
            inner += QStringLiteral("FROM ") + side.Schedule + QStringLiteral(" AS Schedule ") + QStringLiteral("LEFT JOIN ")
                     + side.Products + QStringLiteral(" AS Products ON ") + scheduleKeys
                     + QStringLiteral("Schedule.ItemCode = Products.ItemCode AND ")
                     + QStringLiteral("Schedule.ItemSno = Products.ItemSno ")
                     + QStringLiteral("LEFT JOIN FaItemMaster AS ItemMaster ON ")
                     + QStringLiteral("Products.ItemCode = ItemMaster.ItemCode ") + RegisterJoin(side.Register, true)
                     + QStringLiteral("WHERE ") + QStringLiteral("Register.Passed = 'True' AND ")
                     + QStringLiteral("Products.Cancelled = 'False' AND ") + pending + QStringLiteral(" > 0 AND ")
                     + QStringLiteral("Schedule.DeliveryDate <= ");
        inner += cnnCompany.dialect().DateLiteral(a.LastDate) + QStringLiteral(" ");
        Log(a.MobileNo, side.Words.Naming);
        const QString full = inner + SummaryOrderRights(a, byLocation) + QStringLiteral("GROUP BY ") + key + QStringLiteral(" ");
        const QString sql = byLocation ? LocationOuter(full, QStringLiteral("LocationSummary"), a.AccountCode)
                                       : AccountOuter(full, a.GroupType);
        SummaryRows(a, sql, side.Words, byLocation ? SummaryRowKind::Location : SummaryRowKind::Account, Data);
        return true;
    });
}

// The value of the pending quantities of the order lines dated up to LastDate.
void clsClient::SummaryPendingOrders(const SummaryArgs& a, const SummaryOrderSide& side, bool byLocation,
                                     JsonWriter& Data, bool& Ok)
{
    Ok = RunQuery([&] {
        Log(a.MobileNo, side.Words.Generating);
        const QString key = byLocation ? QStringLiteral("Register.AccountLocationCode") : QStringLiteral("Register.AccountCode");
        // The value template is filled on its own, before any value of the request enters the statement.
        const QString productAmount = GeneralFunction::ReplaceParameters(
            QStringLiteral("@pProductAmount"),
            engine::OrderValuePairs(cnnCompany.dialect(), engine::OrderProductAmount() + QStringLiteral(" "),
                                    QStringLiteral("Products.PendingQuantity1 "), QStringLiteral("Products.PendingQuantity ")));
        QString inner = QStringLiteral("SELECT ") + key + QStringLiteral(", ") + QStringLiteral("ROUND(SUM(")
                        + productAmount + QStringLiteral("), 2) AS Amount ") + QStringLiteral("FROM ")
                        + side.Products + QStringLiteral(" AS Products ")
                        + QStringLiteral("LEFT JOIN FaItemMaster AS ItemMaster ON ")
                        + QStringLiteral("Products.ItemCode = ItemMaster.ItemCode ")
                        + RegisterJoin(side.Register, !byLocation) + QStringLiteral("WHERE ");
        if (byLocation)
            inner += QStringLiteral("Register.AccountCode = '") + QuoteSQL(a.AccountCode) + QStringLiteral("' AND ");
        inner += QStringLiteral("Register.Passed = 'True' AND ") + QStringLiteral("Products.Cancelled = 'False' AND ")
                 + QStringLiteral("Products.PendingQuantity > 0 AND ") + QStringLiteral("Register.DocumentDate <= ")
                 + cnnCompany.dialect().DateLiteral(a.LastDate) + QStringLiteral(" ") + SummaryOrderRights(a, byLocation)
                 + QStringLiteral("GROUP BY ") + key + QStringLiteral(" ");
        Log(a.MobileNo, side.Words.Naming);
        const QString sql = byLocation ? LocationOuter(inner, QStringLiteral("LocationSummary"), a.AccountCode)
                                       : AccountOuter(inner, a.GroupType);
        SummaryRows(a, sql, side.Words, byLocation ? SummaryRowKind::Location : SummaryRowKind::Account, Data);
        return true;
    });
}

clsClient::SummaryOrderSide clsClient::SummarySales(const SummaryWords& words)
{
    return {QStringLiteral("FaSalesOrderRegister"), QStringLiteral("FaSalesOrderProducts"),
            QStringLiteral("FaSalesOrderSchedule"), false, words};
}

clsClient::SummaryOrderSide clsClient::SummaryPurchases(const SummaryWords& words)
{
    return {QStringLiteral("FaPurchaseOrderRegister"), QStringLiteral("FaPurchaseOrderProducts"),
            QStringLiteral("FaPurchaseOrderSchedule"), true, words};
}

// The six order figures of either summary, told apart by their code.
void clsClient::SummaryOrders(const SummaryArgs& a, const char* code, bool byLocation, JsonWriter& Data, bool& Ok)
{
    enum class Figure { OfDay, Deliveries, Pending };
    struct OrderFigure {
        const char* Code;
        const char* Words;
        const char* NamingWords;
        bool Sales;
        Figure Kind;
    };
    static const OrderFigure figures[] = {
        {"OR", "Order Received", "Order Received", true, Figure::OfDay},
        {"WD", "Weekly SO Delivery", "Weekly SO Delivery", true, Figure::Deliveries},
        {"OP", "SO Pending", "SO Pending", true, Figure::Pending},
        {"OI", "Order Issued", "Order Issued", false, Figure::OfDay},
        // Its account-name line carries two blanks before "Account".
        {"WR", "Weekly PO Delivery", "Weekly PO Delivery ", false, Figure::Deliveries},
        {"PP", "PO Pending", "PO Pending", false, Figure::Pending},
    };
    for (const OrderFigure& figure : figures) {
        if (qstrcmp(figure.Code, code) != 0)
            continue;
        const SummaryWords words = SummaryOrderWords(QString::fromLatin1(figure.Words),
                                                     byLocation ? LocationSummaryWords : AccountSummaryWords,
                                                     QString::fromLatin1(figure.NamingWords));
        const SummaryOrderSide side = figure.Sales ? SummarySales(words) : SummaryPurchases(words);
        switch (figure.Kind) {
        case Figure::OfDay:
            SummaryOrdersOfDay(a, side, byLocation, Data, Ok);
            break;
        case Figure::Deliveries:
            SummaryDeliveries(a, side, byLocation, Data, Ok);
            break;
        case Figure::Pending:
            SummaryPendingOrders(a, side, byLocation, Data, Ok);
            break;
        }
        return;
    }
}

void clsClient::GetOrderReceivedAccountSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    SummaryOrders(a, "OR", false, Data, Ok);
}

void clsClient::GetWeeklySODeliveryAccountSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    SummaryOrders(a, "WD", false, Data, Ok);
}

void clsClient::GetPendingSOAccountSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    SummaryOrders(a, "OP", false, Data, Ok);
}

void clsClient::GetOrderIssuedAccountSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    SummaryOrders(a, "OI", false, Data, Ok);
}

void clsClient::GetWeeklyPODeliveryAccountSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    SummaryOrders(a, "WR", false, Data, Ok);
}

void clsClient::GetPendingPOAccountSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    SummaryOrders(a, "PP", false, Data, Ok);
}

// ---- location summary queries from the outstanding register ----------------------------------------

void clsClient::GetDebtorsCreditorsLocationSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    Ok = RunQuery([&] {
        const SummaryWords words{
            QStringLiteral(" Generating SQL Query for SD/SC Account Location Summary"), QString(),
            QStringLiteral(" Generating Query for Account Location Name of SD/SC Account Location Summary"),
            QStringLiteral(" Getting Records for SD/SC Account Location Summary"),
            QStringLiteral(" Adding SD/SC Account Loation Summary Data to JSON")};
        Log(a.MobileNo, words.Generating);
        const QString factor = a.Code == QLatin1String("SD") ? QStringLiteral("1") : QStringLiteral("-1");
        const QString inner =
            QStringLiteral("SELECT ") + QStringLiteral("FaOSReg.AccountLocationCode, ")
            + QStringLiteral("ROUND(SUM(FaOSReg.Amount * ") + factor + QStringLiteral("), 2) AS Amount ")
            + QStringLiteral("FROM FaOSReg ") + QStringLiteral("WHERE ") + QStringLiteral("FaOSReg.AccountCode = '")
            + QuoteSQL(a.AccountCode) + QStringLiteral("' AND ") + QStringLiteral("FaOSReg.Passed = 'True' AND ")
            + QStringLiteral("FaOSReg.DocumentDate <= ") + cnnCompany.dialect().DateLiteral(a.LastDate)
            + QStringLiteral(" ") + a.BranchClauses(QStringLiteral("FaOSReg"), QStringLiteral("AccountBranchCode"))
            + QStringLiteral("GROUP BY ") + QStringLiteral("FaOSReg.AccountLocationCode ");
        Log(a.MobileNo, words.Naming);
        SummaryRows(a, LocationOuter(inner, QStringLiteral("AccountSummary"), a.AccountCode), words,
                    SummaryRowKind::Location, Data);
        return true;
    });
}

void clsClient::GetTodayReceivablePayableLocationSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    Ok = RunQuery([&] {
        const SummaryWords words{
            QStringLiteral(" Generating SQL Query for Today's Receivable/Payable Account Location Summary"), QString(),
            QStringLiteral(" Generating Query for Account Name for Today's Receivable/Payable Account Location Summary"),
            QStringLiteral(" Getting Records for Today's Receivable/Payable Account Location Summary"),
            QStringLiteral(" Adding Today's Receivable/Payable Account Location Summary Data to JSON")};
        Log(a.MobileNo, words.Generating);
        const auto& d = cnnCompany.dialect();
        const QString inner =
            QStringLiteral("SELECT ") + QStringLiteral("FaOSReg.AccountLocationCode, ")
            + QStringLiteral("ROUND(SUM(CASE WHEN DateAdd(day, FaOSReg.CreditPeriod, CASE WHEN FaOSReg.DocumentType IN "
                             "('PUR','EXP','SNT') AND FaOSReg.BillDate <> ")
            + d.DateLiteral(engine::EmptyDate())
            + QStringLiteral(" THEN FaOSReg.BillDate ELSE FaOSReg.DocumentDate END) = ") + d.DateLiteral(a.StartDate)
            + QStringLiteral(" THEN FaOSReg.PendingAmount ELSE 0 END), 2) AS Amount ") + QStringLiteral("FROM FaOSReg ")
            + QStringLiteral("WHERE ") + QStringLiteral("FaOSReg.AccountCode = '") + QuoteSQL(a.AccountCode)
            + QStringLiteral("' AND ") + QStringLiteral("FaOSReg.Passed = 'True' AND ")
            + QStringLiteral("FaOSReg.PendingAmount > 0 AND ") + QStringLiteral("FaOSReg.DocumentDate <= ")
            + d.DateLiteral(a.StartDate) + QStringLiteral(" ") + a.BranchClauses(QStringLiteral("FaOSReg"))
            + QStringLiteral("GROUP BY ") + QStringLiteral("FaOSReg.AccountLocationCode ");
        Log(a.MobileNo, words.Naming);
        SummaryRows(a, LocationOuter(inner, QStringLiteral("AccountSummary"), a.AccountCode), words,
                    SummaryRowKind::Location, Data);
        return true;
    });
}

void clsClient::GetReceiptPaymentTodayLocationSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    Ok = RunQuery([&] {
        const SummaryWords words{
            QStringLiteral(" Generating SQL Query for Receipts/Payment Today Account Location Summary"), QString(),
            QStringLiteral(" Generating Query for Account Name for Receipts/Payment Today Account Location Summary"),
            QStringLiteral(" Getting Records for Receipts/Payment Today Account Location Summary"),
            QStringLiteral(" Adding Receipts/Payment Today Account Location Summary Data to JSON")};
        Log(a.MobileNo, words.Generating);
        const QString types = a.Code == QLatin1String("RT") ? QStringLiteral("('BRE','CRE')") : QStringLiteral("('BPA','CPA')");
        const QString inner =
            QStringLiteral("SELECT ") + QStringLiteral("FaOSReg.AccountLocationCode, ")
            + QStringLiteral("ROUND(SUM(FaOSReg.Amount * CASE WHEN FaAccountGroupMaster.GroupType = 'SD' THEN 1 ELSE -1 "
                             "END), 2) AS Amount ")
            + QStringLiteral("FROM FaOSReg ")
            + AccountJoins(QStringLiteral("FaOSReg.AccountCode = FaAccountMaster.AccountCode ")) + QStringLiteral("WHERE ")
            + QStringLiteral("FaOSReg.AccountCode = '") + QuoteSQL(a.AccountCode) + QStringLiteral("' AND ")
            + QStringLiteral("FaOSReg.Passed = 'True' AND ") + QStringLiteral("FaOSReg.DocumentType IN ") + types
            + QStringLiteral(" AND ") + QStringLiteral("FaOSReg.DocumentDate = ")
            + cnnCompany.dialect().DateLiteral(a.StartDate) + QStringLiteral(" ")
            + a.BranchClauses(QStringLiteral("FaOSReg"), QStringLiteral("AccountBranchCode")) + QStringLiteral("GROUP BY ")
            + QStringLiteral("FaOSReg.AccountLocationCode ");
        Log(a.MobileNo, words.Naming);
        SummaryRows(a, LocationOuter(inner, QStringLiteral("LocationSummary"), a.AccountCode), words,
                    SummaryRowKind::Location, Data);
        return true;
    });
}

// ---- location summary queries from orders ------------------------------------------------------------

void clsClient::GetOrderReceivedLocationSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    SummaryOrders(a, "OR", true, Data, Ok);
}

void clsClient::GetWeeklySODeliveryLocationSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    SummaryOrders(a, "WD", true, Data, Ok);
}

void clsClient::GetPendingSOLocationSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    SummaryOrders(a, "OP", true, Data, Ok);
}

void clsClient::GetOrderIssuedLocationSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    SummaryOrders(a, "OI", true, Data, Ok);
}

void clsClient::GetWeeklyPODeliveryLocationSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    SummaryOrders(a, "WR", true, Data, Ok);
}

void clsClient::GetPendingPOLocationSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    SummaryOrders(a, "PP", true, Data, Ok);
}

// ---- item summary queries ----------------------------------------------------------------------------

void clsClient::GetStockBalanceItemSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    Ok = RunQuery([&] {
        const SummaryWords words{QStringLiteral(" Generating SQL Query for Stock Balance Item Summary"),
                                         QStringLiteral(" Unioning SQL Query for Stock Balance Item Summary"),
                                         QStringLiteral(" Generating Query for Item Name of Stock Balance Item Summary"),
                                         QStringLiteral(" Getting Records for Stock Balance Item Summary"),
                                         QStringLiteral(" Adding Stock Balance Item Summary Data to JSON")};
        Log(a.MobileNo, QStringLiteral(" Generating Balance Field for Stock Balance Item Summary"));
        const QString quantity = a.ClosingQuantityField();
        Log(a.MobileNo, words.Generating);
        const QString stock = QStringLiteral("SELECT ") + QStringLiteral("FaStockMaster.ItemCode, ") + quantity
                              + QStringLiteral(" AS Quantity ") + QStringLiteral("FROM FaStockMaster ")
                              + QStringLiteral("LEFT JOIN FaItemMaster ON ")
                              + QStringLiteral("FaStockMaster.ItemCode = FaItemMaster.ItemCode ") + QStringLiteral("WHERE ")
                              + QStringLiteral("FaItemMaster.Passed = 'True' ")
                              + a.StoreClauses(QStringLiteral("FaStockMaster")) + QStringLiteral("GROUP BY ")
                              + QStringLiteral("FaStockMaster.ItemCode ");
        QString inner = stock;
        if (!a.LastIsMonthEnd) {
            Log(a.MobileNo, words.Unioning);
            const QString ledger =
                QStringLiteral("SELECT ") + QStringLiteral("FaItemLedger.ItemCode, ")
                + QStringLiteral("ROUND(SUM(FaItemLedger.Quantity), 3) As Amount ") + QStringLiteral("FROM FaItemLedger ")
                + QStringLiteral("WHERE ") + QStringLiteral("FaItemLedger.Passed = 'True' AND ")
                + QStringLiteral("FaItemLedger.DocumentDate <= ") + cnnCompany.dialect().DateLiteral(a.LastDate)
                + QStringLiteral(" ") + a.StoreClauses(QStringLiteral("FaItemLedger"))
                + a.LastPartMonth(cnnCompany.dialect(), QStringLiteral("FaItemLedger.DocumentDate"))
                + QStringLiteral("GROUP BY ") + QStringLiteral("FaItemLedger.ItemCode ");
            inner = QStringLiteral("SELECT ") + QStringLiteral("Summary.ItemCode, ")
                    + QStringLiteral("ROUND(SUM(Summary.Quantity), 3) AS Quantity ") + QStringLiteral("FROM (") + stock
                    + UnionAll + ledger + QStringLiteral(") AS Summary ") + QStringLiteral("GROUP BY ")
                    + QStringLiteral("Summary.ItemCode ");
        }
        Log(a.MobileNo, words.Naming);
        SummaryRows(a, ItemOuter(inner, a.GroupType), words, SummaryRowKind::Item, Data);
        return true;
    });
}

void clsClient::GetReceiptIssueTodayItemSummary(const SummaryArgs& a, JsonWriter& Data, bool& Ok)
{
    Ok = RunQuery([&] {
        const SummaryWords words{
            QStringLiteral(" Generating SQL Query for Today Receipt/Issue Quantity Item Summary"), QString(),
            QStringLiteral(" Generating Query for Item Name for Today Receipt/Issue Quantity Item Summary"),
            QStringLiteral(" Getting Records for Today Receipt/Issue Quantity Item Summary"),
            QStringLiteral(" Adding Today Receipt/Issue Quantity Item Summary Data to JSON")};
        Log(a.MobileNo, words.Generating);
        const QString factor = a.Code == QLatin1String("IQ") ? QStringLiteral("-1") : QStringLiteral("1");
        const QString comparison = a.Code == QLatin1String("RQ") ? QStringLiteral(" > ") : QStringLiteral(" < ");
        const QString inner =
            QStringLiteral("SELECT ") + QStringLiteral("ItemLedger.ItemCode, ")
            + QStringLiteral("ROUND(SUM(ItemLedger.Quantity * ") + factor + QStringLiteral("), 3) AS Quantity ")
            + QStringLiteral("FROM FaItemLedger AS ItemLedger ") + QStringLiteral("WHERE ")
            + QStringLiteral("ItemLedger.Passed = 'True' AND ") + QStringLiteral("ItemLedger.DocumentDate = ")
            + cnnCompany.dialect().DateLiteral(a.StartDate) + QStringLiteral(" AND ")
            + QStringLiteral("ItemLedger.Quantity ") + comparison + QStringLiteral(" 0 ")
            + a.StoreClauses(QStringLiteral("ItemLedger")) + QStringLiteral("GROUP BY ")
            + QStringLiteral("ItemLedger.ItemCode ");
        Log(a.MobileNo, words.Naming);
        SummaryRows(a, ItemOuter(inner, a.GroupType), words, SummaryRowKind::Item, Data);
        return true;
    });
}
