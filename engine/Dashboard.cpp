// The "DashBoard" action: the user and period checks, the period values every tile statement is
// built from, the reply head, and the twelve tiles in their fixed order.

#include "clsClient.h"

#include "EngineSupport.h"
#include "clock/Clock.h"

#include <array>

using platform::JsonArray;
using platform::JsonObject;
using platform::RuntimeError;

namespace {

struct Tile {
    void (clsClient::*run)(const DashboardArgs&, JsonArray&, bool&);
    const char* logWords;
    const char* failure;
};

}  // namespace

QString clsClient::GetDashboard(const JsonObject& request)
{
    ErrorText.clear();
    JsonObject reply;
    QString action;
    QString mobileNo;
    try {
        action = request.StringOf(QStringLiteral("Action"));
        mobileNo = request.StringOf(QStringLiteral("MobileNo"));
        const QString userID = request.StringOf(QStringLiteral("UserID"));
        const QString password = request.StringOf(QStringLiteral("Password"));
        const QString folderName = request.StringOf(QStringLiteral("FolderName"));
        // A missing or unreadable date is a conversion error of the handler itself.
        QDate startDate = engine::RequestDate(request.StringOf(QStringLiteral("StartDate")));
        QDate lastDate = engine::RequestDate(request.StringOf(QStringLiteral("LastDate")));

        DashboardArgs a;
        a.MobileNo = mobileNo;
        a.BranchCode = request.StringOf(QStringLiteral("BranchCode"));
        a.StoreCode = request.StringOf(QStringLiteral("StoreCode"));
        Log(mobileNo, QStringLiteral(" Getting Dashboard"));

        Log(mobileNo, QStringLiteral(" Opening Database ") + folderName);
        OpenCompanyDatabase(folderName);

        Log(mobileNo, QStringLiteral(" Checking User"));
        if (!CheckUser(userID, password, a.IsSupervisor, a.BranchCodes, a.StoreCodes, a.AccountGroupCodes)) {
            ErrorText = QStringLiteral("User doesn't exist or Locked.") + engine::CRLF + ErrorText;
            return DashboardFailure(action, mobileNo);
        }

        Log(mobileNo, QStringLiteral(" Getting Company Info"));
        bool branchRequired = false, seriesRequired = false, sezUnit = false, unionTerritory = false;
        QDate companyStart, companyLast;
        QString stateCode;
        if (!GetCompanyInfo(branchRequired, seriesRequired, companyStart, companyLast, sezUnit, stateCode,
                            unionTerritory)) {
            ErrorText = QStringLiteral("Unable to Get company Info.") + engine::CRLF + ErrorText;
            return DashboardFailure(action, mobileNo);
        }

        // The handler itself always works from the system date; the testing day is the tiles' rule.
        Log(mobileNo, QStringLiteral(" Calculating Week Last Date"));
        const QDate today = platform::Clock::Today();
        a.WeekLast = today.addDays(7);

        if (engine::IsEmptyDate(startDate)) {
            Log(mobileNo, QStringLiteral(" Getting Company Start & Last Date on base of Todays Date"));
            if (!GetCompanyYearDates(today, startDate, lastDate)) {
                ErrorText = QStringLiteral("Error Getting Company Start & Last Date on base of Todays Date") + engine::CRLF
                            + ErrorText;
                return DashboardFailure(action, mobileNo);
            }
        }

        Log(mobileNo, QStringLiteral(" Checking for Valid Dates."));
        if (!CheckValidDates(companyStart, companyLast, startDate, lastDate, false))
            return DashboardFailure(action, mobileNo);

        Log(mobileNo, QStringLiteral(" Calculating Month Dates & No."));
        static_cast<engine::Period&>(a) = engine::Period::Of(companyStart, startDate, lastDate);

        // The tiles build `BalanceField` from these values as they need it.
        Log(mobileNo, QStringLiteral(" Generating Balance Fields for Dashboard"));

        Log(mobileNo, QStringLiteral(" Generating Main Data for JSON Text"));
        QString head = ReplyText(action, mobileNo, 1, QStringLiteral("Success"),
                                 {QStringLiteral("YrStDt"), startDate, QStringLiteral("YrLtDt"), lastDate});
        head.chop(5);  // the "<EOF>": the Data array is still to be added
        Log(mobileNo, QStringLiteral(" Loading Main Data to JSON Object"));
        reply.Load(head);
        Log(mobileNo, QStringLiteral(" Adding Data Array to JSON"));
        JsonArray data = reply.AddArray(QStringLiteral("Data"));

        static const std::array<Tile, 12> tiles = {{
            {&clsClient::GetSalesPurchaseDashboard, " Getting Sales/Purchase Dashboard Data",
             "Unable to get Sales/Purchase Dashboard Data."},
            {&clsClient::GetCashBankDebtorsCreditorsDashboard, " Getting Cash/Bank/Debtors/Creditors Dashboard Data",
             "Unable to get Cash/Bank/Debtors/Creditors Dashboard Data."},
            {&clsClient::GetTodayReceivablePayableDashboard, " Getting Today's Receivable/Payable Dashboard Data",
             "Unable to get Today's Receivable/Payable Dashboard Data."},
            {&clsClient::GetReceiptPaymentTodayDashboard, " Getting Today's Receipts/Payments Dashboard Data",
             "Unable to get Today's Receipts/Payments Dashboard Data."},
            {&clsClient::GetOrderReceivedDashboard, " Getting Order Received Dashboard Data",
             "Unable to get Order Received Dashboard Data."},
            {&clsClient::GetWeeklySODeliveryDashboard, " Getting Weekly SO Delivery Dashboard Data",
             "Unable to get Weekly SO Delivery Dashboard Data."},
            {&clsClient::GetPendingSODashboard, " Getting Pending SO Dashboard Data",
             "Unable to get Pending SO Dashboard Data."},
            {&clsClient::GetOrderIssuedDashboard, " Getting Order Issued Dashboard Data",
             "Unable to get Order Issued Dashboard Data."},
            {&clsClient::GetWeeklyPODeliveryDashboard, " Getting Weekly PO Delivery Dashboard Data",
             "Unable to get Weekly PO Delivery Dashboard Data."},
            {&clsClient::GetPendingPODashboard, " Getting Pending PO Dashboard Data",
             "Unable to get Pending PO Dashboard Data."},
            {&clsClient::GetStockBalanceDashboard, " Getting Stock Balance Dashboard Data",
             "Unable to get Stock Balance Dashboard Data."},
            // The last tile logs the words of the receipts/payments tile.
            {&clsClient::GetReceiptIssueTodayDashboard, " Getting Today's Receipts/Payments Dashboard Data",
             "Unable to get Today's Receipts/Issue Quantity Dashboard Data."},
        }};
        for (const Tile& tile : tiles) {
            Log(mobileNo, QString::fromUtf8(tile.logWords));
            bool ok = false;
            (this->*tile.run)(a, data, ok);
            if (!ok) {
                ErrorText = QString::fromUtf8(tile.failure) + engine::CRLF + ErrorText;
                return DashboardFailure(action, mobileNo);
            }
        }

        Log(mobileNo, QStringLiteral(" Returning Dashboard from JSON Object to Text"));
        return reply.Emit(true) + QStringLiteral("<EOF>");
    } catch (const RuntimeError& error) {
        // The dashboard leaves the recordset to its tiles, which close it themselves.
        return DashboardFailure(action, mobileNo, &error);
    }
}

QString clsClient::DashboardFailure(const QString& action, const QString& mobileNo, const RuntimeError* pending)
{
    return HandlerFailure(QStringLiteral("Error while getting dashboard."), action, mobileNo, pending);
}
