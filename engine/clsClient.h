#pragma once

#include "core/RuntimeError.h"
#include "database/Connection.h"
#include "database/Recordset.h"
#include "json/Json.h"
#include "Period.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <functional>

class clsSetup;

// The values the dashboard handler works out once and hands to its tiles (the tiles' argument
// sets are subsets of these): the period and the user's rights, as every action shares them.
struct DashboardArgs : engine::Period, engine::Rights {
    QString MobileNo;
    QDate WeekLast;
};

// What one result row of a dashboard tile becomes: its dates, caption and the sign of its figure.
struct DashboardRowShape {
    QDate StDt;
    QDate LtDt;
    QString ActNm;
    double Factor = 1.0;
};

// The request engine: one object per request. The caller sets `Setup` and `lTestingMode`,
// calls GetData once with the parsed request and releases the object.
class clsClient {
public:
    clsClient();
    ~clsClient();
    clsClient(const clsClient&) = delete;
    clsClient& operator=(const clsClient&) = delete;

    clsSetup* Setup = nullptr;
    bool lTestingMode = false;

    // The reply text, always ending in "<EOF>".
    QString GetData(const platform::JsonObject& pJSONObject);

    // Alternating names and values: numbers become JSON numbers, dates "yyyy-MM-dd" (with
    // " hh:mm:ss" when not midnight), Booleans JSON Booleans, everything else text. A null
    // value is a run-time error. The text ends with "<EOF>".
    static QString MakeJsonText(const QVariantList& pairs);
    // The reply every answer of the protocol begins as: "Action", "MobileNo", "Status" and
    // "Message", then the pairs given (as MakeJsonText takes them). The text ends with "<EOF>".
    static QString ReplyText(const QString& action, const QString& mobileNo, int status, const QString& message,
                             const QVariantList& more = {});

    // Per-request services (shared by every action family).
    bool GetCompanyInfo(bool& pBranchRequired, bool& pSeriesRequired, QDate& pStartDate, QDate& pLastDate,
                        bool& pSEZUnit, QString& pStateCode, bool& pUnionTerritory);

    // ---- engine core (owned by the core) ------------------------------------------------
private:
    void OpenCompanyDatabase(const QString& folderName);
    void CloseCompanyDatabase();
    void CloseRecordset();
    // Runs one query of a service or tile on the request's recordset and closes the recordset
    // after it: what the query gives, or false after a run-time error, whose "<number>-
    // <description>" it leaves as the error text.
    bool RunQuery(const std::function<bool()>& query);

    bool CheckUser(const QString& userID, const QString& password, bool& isSupervisor, QString& branchCodes,
                   QString& storeCodes, QString& accountGroupCodes);
    bool GetBranchInfo(const QString& branchCode, bool& sezUnit, QString& stateCode, bool& unionTerritory);
    bool CheckValidDates(const QDate& companyStart, const QDate& companyLast, const QDate& startDate,
                         const QDate& lastDate, bool sameYear);
    bool GetCompanyYearDates(const QDate& today, QDate& startDate, QDate& lastDate);
    bool GetAccountInfo(const QString& accountCode, const QString& locationCode, QString& accountName,
                        QString& accountLocationName, QString& priceListCode, QString& gstCode, QString& sgstCode,
                        QString& igstCode, double& discPercentage, QString& gstPartyType, QString& countryCode);
    bool GetItemInfo(const QString& itemCode, QString& itemName, QString& unit);
    bool CheckUserOptionRight(const QString& userID, const QString& documentType);
    static QString GetTableName(const QString& documentType, const QString& tableKind);

    // The failure reply of a handler: "Action", "MobileNo", "Status" 0, "Message" ErrorText.
    QString FailureReply(const QString& action, const QString& mobileNo) const;
    // The failure reply of a handler that has opened the company database: the database closed,
    // and ErrorText become the failure line, the error text so far and the line of a run-time
    // error still pending (see engine::FailureText).
    QString HandlerFailure(const QString& failureLine, const QString& action, const QString& mobileNo,
                           const platform::RuntimeError* pending);
    void Log(const QString& mobileNo, const QString& words) const;

    // ---- handlers ----------------------------------------------------------------------
    QString GetCompanies(const platform::JsonObject& request);
    QString GetDashboard(const platform::JsonObject& request);
    // Handlers of the action families that answer with the failure reply until built.
    QString GetBranchList(const platform::JsonObject& request);
    QString GetStoreList(const platform::JsonObject& request);
    QString GetPartyList(const platform::JsonObject& request);
    QString GetPartyLocationList(const platform::JsonObject& request);
    QString GetPartyContactList(const platform::JsonObject& request);
    QString GetPartyDetail(const platform::JsonObject& request);
    QString GetSalesmanList(const platform::JsonObject& request);
    QString GetAgentList(const platform::JsonObject& request);
    QString GetSeriesList(const platform::JsonObject& request);
    QString GetItemList(const platform::JsonObject& request);
    QString GetItemDetail(const platform::JsonObject& request);
    QString GetSupplyTypes(const platform::JsonObject& request);
    QString GetGSTList(const platform::JsonObject& request);
    QString GetGSTDetail(const platform::JsonObject& request);
    QString GetAccountSummary(const platform::JsonObject& request);
    QString GetLocationSummary(const platform::JsonObject& request);
    QString GetItemSummary(const platform::JsonObject& request);
    QString GetItemStoreSummary(const platform::JsonObject& request);
    QString GetAccountLedger(const platform::JsonObject& request);
    QString GetOutstanding(const platform::JsonObject& request);
    QString GetOrder(const platform::JsonObject& request);
    QString GetItemLedger(const platform::JsonObject& request);
    QString GetDocument(const platform::JsonObject& request);
    QString GetVoucher(const platform::JsonObject& request);

    // ---- dashboard tiles (owned by the dashboard) ---------------------------------------
    void GetSalesPurchaseDashboard(const DashboardArgs& a, platform::JsonArray& Data, bool& Ok);
    void GetCashBankDebtorsCreditorsDashboard(const DashboardArgs& a, platform::JsonArray& Data, bool& Ok);
    void GetTodayReceivablePayableDashboard(const DashboardArgs& a, platform::JsonArray& Data, bool& Ok);
    void GetReceiptPaymentTodayDashboard(const DashboardArgs& a, platform::JsonArray& Data, bool& Ok);
    void GetOrderReceivedDashboard(const DashboardArgs& a, platform::JsonArray& Data, bool& Ok);
    void GetWeeklySODeliveryDashboard(const DashboardArgs& a, platform::JsonArray& Data, bool& Ok);
    void GetPendingSODashboard(const DashboardArgs& a, platform::JsonArray& Data, bool& Ok);
    void GetOrderIssuedDashboard(const DashboardArgs& a, platform::JsonArray& Data, bool& Ok);
    void GetWeeklyPODeliveryDashboard(const DashboardArgs& a, platform::JsonArray& Data, bool& Ok);
    void GetPendingPODashboard(const DashboardArgs& a, platform::JsonArray& Data, bool& Ok);
    void GetStockBalanceDashboard(const DashboardArgs& a, platform::JsonArray& Data, bool& Ok);
    void GetReceiptIssueTodayDashboard(const DashboardArgs& a, platform::JsonArray& Data, bool& Ok);
    // Dashboard private helpers (owned by the dashboard; add declarations here).
    // The tables and words of one side (sales or purchase) of an order tile.
    struct DashboardOrderSide {
        QString Register;
        QString Products;
        QString Schedule;
        QString WeeklyProductAmount;  // the value template of the weekly delivery tile
        QString Code;                 // GroupType of the tile
        QString Caption;
        QString Words;                // the words of its log lines
    };
    static DashboardOrderSide DashboardSalesOrders(const QString& code, const QString& caption, const QString& words);
    static DashboardOrderSide DashboardPurchaseOrders(const QString& code, const QString& caption, const QString& words);
    void DashboardRows(const DashboardArgs& a, const QString& sql, const QString& recordsWords, const QString& dataWords,
                       platform::JsonArray& Data, const std::function<DashboardRowShape(const QString&)>& shapeOf);
    bool DashboardTestPeriod(const QDate& lastDate) const;
    QString DashboardFailure(const QString& action, const QString& mobileNo,
                             const platform::RuntimeError* pending = nullptr);
    QString DashboardDate(const QDate& date) const;
    QDate DashboardDay(const QDate& lastDate) const;
    QDate DashboardWeekLast(const DashboardArgs& a) const;
    QString DashboardAccountRights(const DashboardArgs& a, const QString& branchOwner, const QString& accountOwner) const;
    QString DashboardStoreRights(const DashboardArgs& a, const QString& storeOwner, const QString& firstAnd) const;
    QString DashboardOrderRights(const DashboardArgs& a) const;
    QString DashboardPartMonths(const DashboardArgs& a, const QString& dateColumn) const;
    QString DashboardLastPartMonth(const DashboardArgs& a, const QString& dateColumn) const;
    void DashboardOrdersOfDay(const DashboardArgs& a, const DashboardOrderSide& side, platform::JsonArray& Data, bool& Ok);
    void DashboardWeeklyDelivery(const DashboardArgs& a, const DashboardOrderSide& side, platform::JsonArray& Data, bool& Ok);
    void DashboardPendingOrders(const DashboardArgs& a, const DashboardOrderSide& side, platform::JsonArray& Data, bool& Ok);

    // ---- account, location and item summaries (engine/summaries) -----------------------
    // ---- end of the summaries ----------------------------------------------------------

    // ---- ledgers, outstanding, orders and item transactions (engine/ledgers) -----------
public:
    // Defined in engine/ledgers/LedgerSupport.h; public so that the family's helpers can name them.
    struct LedgerRequest;
    struct LedgerAction;

private:
    // The one sequence of the five actions: keys, user, company year, period, account or item,
    // head, the action's rows, and the failure reply.
    QString LedgerHandler(const platform::JsonObject& request, const LedgerAction& action);
    bool GetAccountGroup(LedgerRequest& r, bool& inUserGroups);
    // Runs one statement on the request's recordset and appends a row for each record taken,
    // logging the two given lines around the opening; the recordset is closed after it.
    void LedgerRows(const QString& mobileNo, const QString& sql, const QString& recordsWords, const QString& addingWords,
                    platform::JsonArray& Data, const std::function<bool(const platform::db::Recordset&)>& take,
                    const std::function<void(platform::JsonObject&, const platform::db::Recordset&)>& fill);
    bool AddAccountLedgerData(const LedgerRequest& r, platform::JsonArray& Data);
    bool AddAccountLocationLedgerData(const LedgerRequest& r, platform::JsonArray& Data);
    bool AddOutstandingData(const LedgerRequest& r, platform::JsonArray& Data);
    bool AddOrderData(const LedgerRequest& r, const QString& label, platform::JsonArray& Data);
    bool AddItemStockByStore(const LedgerRequest& r, const QString& label, platform::JsonArray& Data);
    bool AddItemMovementByStore(const LedgerRequest& r, const QString& label, platform::JsonArray& Data);
    bool AddItemLedgerData(const LedgerRequest& r, const QString& label, platform::JsonArray& Data);
    // ---- end of the ledgers ------------------------------------------------------------

    // ---- documents and vouchers (engine/documents) -------------------------------------
    // ---- end of the documents ----------------------------------------------------------

    // ---- master lists and GST look-ups (engine/masters) --------------------------------
    // ---- end of the masters ------------------------------------------------------------

    // ---- state -------------------------------------------------------------------------
    platform::db::Connection cnnCompany;
    platform::db::Recordset oRecordset;
    QString ErrorText;

    friend class EngineTestAccess;  // tests reach the services directly
};
