// The "DashBoard" action: what it hands the engine's handler skeleton (the week's last day, the
// company year when no dates are sent, the reply head) and the twelve tiles in their fixed order.

#include "clsClient.h"

#include "ActionSkeleton.h"
#include "EngineSupport.h"
#include "clock/Clock.h"

#include <array>

using platform::JsonWriter;
using platform::JsonObject;

namespace {

struct Tile {
    void (clsClient::*run)(const DashboardArgs&, JsonWriter&, bool&);
    const char* logWords;
    const char* failure;
};

}  // namespace

QByteArray clsClient::GetDashboard(const JsonObject& request)
{
    engine::ActionRequest r;
    DashboardArgs a;
    engine::ActionCourse course;
    course.FailureLine = QStringLiteral("Error while getting dashboard.");
    course.GettingWords = QStringLiteral(" Getting Dashboard");
    course.ReadKeys = [&](const JsonObject& keys) {
        // A missing or unreadable date is a conversion error of the handler itself.
        r.StartDate = engine::RequestDate(keys.StringOf(QStringLiteral("StartDate")));
        r.LastDate = engine::RequestDate(keys.StringOf(QStringLiteral("LastDate")));
        a.MobileNo = r.MobileNo;
        a.BranchCode = keys.StringOf(QStringLiteral("BranchCode"));
        a.StoreCode = keys.StringOf(QStringLiteral("StoreCode"));
    };
    course.BeforeDates = [&] {
        // The handler itself always works from the system date; the testing day is the tiles' rule.
        Log(r.MobileNo, QStringLiteral(" Calculating Week Last Date"));
        const QDate today = platform::Clock::Today();
        a.WeekLast = today.addDays(7);

        if (engine::IsEmptyDate(r.StartDate)) {
            Log(r.MobileNo, QStringLiteral(" Getting Company Start & Last Date on base of Todays Date"));
            if (!GetCompanyYearDates(today, r.StartDate, r.LastDate)) {
                ErrorText = QStringLiteral("Error Getting Company Start & Last Date on base of Todays Date") + engine::CRLF
                            + ErrorText;
                return false;
            }
        }
        return true;
    };
    // The tiles build `BalanceField` from the period values as they need it.
    course.BalanceWords = QStringLiteral(" Generating Balance Fields for Dashboard");
    course.Head = [&] {
        return QVariantList{QStringLiteral("YrStDt"), r.StartDate, QStringLiteral("YrLtDt"), r.LastDate};
    };
    course.Fill = [&](JsonWriter& data) {
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
            Log(r.MobileNo, QString::fromUtf8(tile.logWords));
            bool ok = false;
            (this->*tile.run)(a, data, ok);
            if (!ok) {
                ErrorText = QString::fromUtf8(tile.failure) + engine::CRLF + ErrorText;
                return false;
            }
        }
        return true;
    };
    course.ReturningWords = QStringLiteral(" Returning Dashboard from JSON Object to Text");
    return ActionReply(request, r, a, a, course);
}
