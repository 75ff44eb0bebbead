#pragma once

#include "core/RuntimeError.h"
#include "database/Connection.h"
#include "database/Recordset.h"
#include "database/Rows.h"
#include "json/Json.h"
#include "json/JsonWriter.h"
#include "Period.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <QSet>
#include <QVariantList>

#include <functional>
#include <initializer_list>
#include <iterator>

class clsSetup;

namespace engine {
struct ActionRequest;
struct ActionCourse;
}  // namespace engine

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
    // The same reply in UTF-8, as it is written: what the server hands on (the wire's code page
    // and the request log take it from these bytes).
    QByteArray Answer(const platform::JsonObject& pJSONObject);

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
    // Gives the connection back to be kept for a later request (closes it when `keep` is false).
    void CloseCompanyDatabase(bool keep = true);
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
    QByteArray FailureReply(const QString& action, const QString& mobileNo) const;
    // The failure reply of a handler that has opened the company database: the database closed,
    // and ErrorText become the failure line, the error text so far and the line of a run-time
    // error still pending (see engine::FailureText).
    QByteArray HandlerFailure(const QString& failureLine, const QString& action, const QString& mobileNo,
                           const platform::RuntimeError* pending);
    void Log(const QString& mobileNo, const QString& words) const;
    // A line whose words come in pieces, written as Log of the joined words without joining them.
    template <typename First, typename... Words>
    void Log(const QString& mobileNo, const First& first, const Words&... more) const
    {
        const QStringView words[] = {QStringView(first), QStringView(more)...};
        LogPieces(mobileNo, words, static_cast<qsizetype>(std::size(words)));
    }
    void LogPieces(const QString& mobileNo, const QStringView* words, qsizetype count) const;

    // The handler skeleton and its pieces (engine/ActionSkeleton.cpp).
    // Opens the company database and checks the user; false (with the user message in front of
    // ErrorText) when the user does not pass.
    bool OpenForUser(const QString& mobileNo, const QString& folderName, const QString& userID,
                     const QString& password, engine::Rights& rights);
    // The success head (with `more` after "Message") written at the start of the reply, whose
    // object stays open for the members that follow.
    void LoadReplyHead(platform::JsonWriter& reply, const QString& action, const QString& mobileNo,
                       const QVariantList& more = {});
    // The one course of the handlers that answer for a period; `rights` and `period` are the
    // family's own, filled by the skeleton.
    QByteArray ActionReply(const platform::JsonObject& request, engine::ActionRequest& r, engine::Rights& rights,
                        engine::Period& period, const engine::ActionCourse& course);
    // Runs one statement and appends a row object for each of its rows taken, logging the two
    // given lines around the opening as a recordset opened on it would (see ReadRows).
    void ActionRows(const QString& mobileNo, const QString& sql, const QString& recordsWords, const QString& addingWords,
                    platform::JsonWriter& Data, const std::function<bool(platform::db::Rows&)>& take,
                    const std::function<void(platform::JsonWriter&, platform::db::Rows&)>& fill);
    // Runs one statement on the company and hands each of its rows in order to `row`, with
    // `readWords` logged where a recordset's opening would have been followed by the line: a
    // failure of the statement comes before that line, a failure of the reading after it.
    // `readWords` may come in pieces, logged as one line.
    void ReadRows(const QString& mobileNo, const platform::db::Statement& sql, std::initializer_list<QStringView> readWords,
                  const std::function<void(platform::db::Rows&)>& row);

    // ---- handlers ----------------------------------------------------------------------
    QByteArray GetCompanies(const platform::JsonObject& request);
    QByteArray GetDashboard(const platform::JsonObject& request);
    // Handlers of the action families that answer with the failure reply until built.
    QByteArray GetBranchList(const platform::JsonObject& request);
    QByteArray GetStoreList(const platform::JsonObject& request);
    QByteArray GetPartyList(const platform::JsonObject& request);
    QByteArray GetPartyLocationList(const platform::JsonObject& request);
    QByteArray GetPartyContactList(const platform::JsonObject& request);
    QByteArray GetPartyDetail(const platform::JsonObject& request);
    QByteArray GetSalesmanList(const platform::JsonObject& request);
    QByteArray GetAgentList(const platform::JsonObject& request);
    QByteArray GetSeriesList(const platform::JsonObject& request);
    QByteArray GetItemList(const platform::JsonObject& request);
    QByteArray GetItemDetail(const platform::JsonObject& request);
    QByteArray GetSupplyTypes(const platform::JsonObject& request);
    QByteArray GetGSTList(const platform::JsonObject& request);
    QByteArray GetGSTDetail(const platform::JsonObject& request);
    QByteArray GetAccountSummary(const platform::JsonObject& request);
    QByteArray GetLocationSummary(const platform::JsonObject& request);
    QByteArray GetItemSummary(const platform::JsonObject& request);
    QByteArray GetItemStoreSummary(const platform::JsonObject& request);
    QByteArray GetAccountLedger(const platform::JsonObject& request);
    QByteArray GetOutstanding(const platform::JsonObject& request);
    QByteArray GetOrder(const platform::JsonObject& request);
    QByteArray GetItemLedger(const platform::JsonObject& request);
    QByteArray GetDocument(const platform::JsonObject& request);
    QByteArray GetVoucher(const platform::JsonObject& request);

    // ---- dashboard tiles (owned by the dashboard) ---------------------------------------
    void GetSalesPurchaseDashboard(const DashboardArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetCashBankDebtorsCreditorsDashboard(const DashboardArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetTodayReceivablePayableDashboard(const DashboardArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetReceiptPaymentTodayDashboard(const DashboardArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetOrderReceivedDashboard(const DashboardArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetWeeklySODeliveryDashboard(const DashboardArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetPendingSODashboard(const DashboardArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetOrderIssuedDashboard(const DashboardArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetWeeklyPODeliveryDashboard(const DashboardArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetPendingPODashboard(const DashboardArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetStockBalanceDashboard(const DashboardArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetReceiptIssueTodayDashboard(const DashboardArgs& a, platform::JsonWriter& Data, bool& Ok);
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
                       platform::JsonWriter& Data, const std::function<DashboardRowShape(const QString&)>& shapeOf);
    bool DashboardTestPeriod(const QDate& lastDate) const;
    QString DashboardDate(const QDate& date) const;
    QDate DashboardDay(const QDate& lastDate) const;
    QDate DashboardWeekLast(const DashboardArgs& a) const;
    QString DashboardAccountRights(const DashboardArgs& a, const QString& branchOwner, const QString& accountOwner) const;
    QString DashboardStoreRights(const DashboardArgs& a, const QString& storeOwner, const QString& firstAnd) const;
    QString DashboardOrderRights(const DashboardArgs& a) const;
    QString DashboardPartMonths(const DashboardArgs& a, const QString& dateColumn) const;
    QString DashboardLastPartMonth(const DashboardArgs& a, const QString& dateColumn) const;
    void DashboardOrdersOfDay(const DashboardArgs& a, const DashboardOrderSide& side, platform::JsonWriter& Data, bool& Ok);
    void DashboardWeeklyDelivery(const DashboardArgs& a, const DashboardOrderSide& side, platform::JsonWriter& Data, bool& Ok);
    void DashboardPendingOrders(const DashboardArgs& a, const DashboardOrderSide& side, platform::JsonWriter& Data, bool& Ok);

    // ---- account, location and item summaries (engine/summaries) -----------------------
    // The request values, period and rights a summary's query procedure is built from.
    struct SummaryArgs : engine::Period, engine::Rights {
        QString MobileNo;
        QString GroupType;    // as sent: echoed in the rows
        QString Code;         // GroupType upper-cased: every choice of a statement is made on it
        QString AccountCode;  // the location summary's account
    };
    // The words of one summary action: its log subject, its failure line and its query lists.
    struct SummaryAction;
    struct SummaryQuery;
    // The three summary handlers' steps handed to the engine's handler skeleton (ActionReply).
    QByteArray SummaryReply(const platform::JsonObject& request, const SummaryAction& action);
    // The log lines a query writes around its statement.
    struct SummaryWords {
        QString Generating;
        QString Unioning;
        QString Naming;
        QString Records;
        QString Adding;
    };
    enum class SummaryRowKind { Account, Location, Item };
    // Runs a summary statement and appends one row for each figure that is not zero.
    void SummaryRows(const SummaryArgs& a, const QString& sql, const SummaryWords& words, SummaryRowKind kind,
                     platform::JsonWriter& Data);
    bool SummaryAccountAllowed(const SummaryArgs& a);
    // Account summary queries.
    void GetSalesPurchaseAccountSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetCashBankDebtorsCreditorsAccountSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetTodayReceivablePayableAccountSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetReceiptPaymentTodayAccountSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetOrderReceivedAccountSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetWeeklySODeliveryAccountSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetPendingSOAccountSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetOrderIssuedAccountSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetWeeklyPODeliveryAccountSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetPendingPOAccountSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    // Location summary queries.
    void GetDebtorsCreditorsLocationSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetTodayReceivablePayableLocationSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetReceiptPaymentTodayLocationSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetOrderReceivedLocationSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetWeeklySODeliveryLocationSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetPendingSOLocationSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetOrderIssuedLocationSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetWeeklyPODeliveryLocationSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetPendingPOLocationSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    // Item summary queries.
    void GetStockBalanceItemSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    void GetReceiptIssueTodayItemSummary(const SummaryArgs& a, platform::JsonWriter& Data, bool& Ok);
    // The order figures of both summaries, for the sales or the purchase side.
    struct SummaryOrderSide;
    static SummaryWords SummaryOrderWords(const QString& figure, const QString& summary, const QString& namingFigure);
    static SummaryOrderSide SummarySales(const SummaryWords& words);
    static SummaryOrderSide SummaryPurchases(const SummaryWords& words);
    static QString SummaryOrderRights(const SummaryArgs& a, bool byLocation);
    void SummaryOrders(const SummaryArgs& a, const char* code, bool byLocation, platform::JsonWriter& Data, bool& Ok);
    void SummaryOrdersOfDay(const SummaryArgs& a, const SummaryOrderSide& side, bool byLocation,
                            platform::JsonWriter& Data, bool& Ok);
    void SummaryDeliveries(const SummaryArgs& a, const SummaryOrderSide& side, bool byLocation,
                           platform::JsonWriter& Data, bool& Ok);
    void SummaryPendingOrders(const SummaryArgs& a, const SummaryOrderSide& side, bool byLocation,
                              platform::JsonWriter& Data, bool& Ok);
    // ---- end of the summaries ----------------------------------------------------------

    // ---- ledgers, outstanding, orders and item transactions (engine/ledgers) -----------
public:
    // Defined in engine/ledgers/LedgerSupport.h; public so that the family's helpers can name them.
    struct LedgerRequest;
    struct LedgerAction;

private:
    // The five actions' steps handed to the engine's handler skeleton (ActionReply).
    QByteArray LedgerHandler(const platform::JsonObject& request, const LedgerAction& action);
    bool GetAccountGroup(LedgerRequest& r, bool& inUserGroups);
    // Logs " Getting <words> Data" and runs the step; after a failure "Unable to get <words> Data."
    // goes in front of the error text.
    bool LedgerStep(const QString& mobileNo, const QString& words, const std::function<bool()>& step);
    bool AddAccountLedgerData(const LedgerRequest& r, platform::JsonWriter& Data);
    bool AddAccountLocationLedgerData(const LedgerRequest& r, platform::JsonWriter& Data);
    bool AddOutstandingData(const LedgerRequest& r, platform::JsonWriter& Data);
    bool AddOrderData(const LedgerRequest& r, const QString& label, platform::JsonWriter& Data);
    bool AddItemStockByStore(const LedgerRequest& r, const QString& label, platform::JsonWriter& Data);
    bool AddItemMovementByStore(const LedgerRequest& r, const QString& label, platform::JsonWriter& Data);
    bool AddItemLedgerData(const LedgerRequest& r, const QString& label, platform::JsonWriter& Data);
    // ---- end of the ledgers ------------------------------------------------------------

    // ---- documents and vouchers (engine/documents) -------------------------------------
public:
    // A value of a record as display text: "" for a null, a zero number or the empty date; a
    // flag "True" or "False"; text trimmed of blanks with one closing CR LF cut off.
    static QString VariantToText(const platform::db::Value& value);

private:
    // The key of the document or voucher a request names, with its label and the type code
    // upper-cased, on which every choice of tables, joins and fields is made.
    struct DocumentKey {
        QString MobileNo;
        qint16 DocumentYear = 0;
        QString BranchCode;
        QString DocumentType;  // as sent: it stands in the statements and the label
        QString SeriesCode;
        QString DocumentNo;
        QString Label;
        QString Type;  // DocumentType upper-cased
        // The head of a line's detail statement, the same for every line: made for the first.
        mutable QString ScheduleHead;
        mutable QString AdjustmentHead;
    };
    // "<alias>.DocumentYear = 2024 AND <alias>.BranchCode = '01' AND ..." for the five keys.
    static QString DocumentKeyCondition(const DocumentKey& key, const QString& alias);
    QByteArray DocumentRequest(const platform::JsonObject& request, bool voucher);
    // The header fields of a document type, in the order they are shown: the field's name (a
    // column of the header query), its caption and its kind ("S", "D", "N" or as stdFieldDef
    // stores it).
    struct DocumentField {
        QString FieldName;
        QString Caption;
        QString Type;
    };
    QList<DocumentField> GetDocumentFieldList(const QString& mobileNo, const QString& documentType);
    void AppendUserFieldDefs(const QString& mobileNo, QList<DocumentField>& list, const QString& documentType,
                             const QString& kind);
    // Whether a name is among upper-cased names without regard to case (as upper-cased).
    static bool IsInArray(const QSet<QString>& upperValues, const QString& value);
    // The recordset's field names, upper-cased.
    static QSet<QString> GetFieldNames(const platform::db::Recordset& recordset);
    bool AddDocumentData(const DocumentKey& key, platform::JsonWriter& Document);
    bool AddVoucherDocumentData(const DocumentKey& key, platform::JsonWriter& Document);
    bool AddFieldRows(const DocumentKey& key, const std::function<QString()>& statement, platform::JsonWriter& Document);
    bool AddProductsData(const DocumentKey& key, platform::JsonWriter& Products);
    bool AddScheduleData(const DocumentKey& key, const QString& itemCode, qint16 itemSno, platform::JsonWriter& Schs);
    bool AddCalculationData(const DocumentKey& key, platform::JsonWriter& Calculation);
    bool AddAccountsData(const DocumentKey& key, platform::JsonWriter& Accounts);
    bool AddAdjustmentData(const DocumentKey& key, const QString& accountCode, qint16 accountSno, platform::JsonWriter& Adjs);
    // What tells the product lines and the voucher's account lines apart: their log words, code,
    // sub-list and the procedure that fills it.
    struct DocumentLineKind {
        QString Words;
        QString CodeColumn;
        QString CodeMember;
        QString Details;
        QString FlagColumn;
        QString SnoColumn;
        bool (clsClient::*Detail)(const DocumentKey&, const QString&, qint16, platform::JsonWriter&);
    };
    void DocumentLines(const DocumentKey& key, const QString& sql, const DocumentLineKind& kind, platform::JsonWriter& lines,
                       const std::function<void(platform::JsonWriter&, platform::db::Rows&)>& fill);
    // ---- end of the documents ----------------------------------------------------------

    // ---- master lists and GST look-ups (engine/masters) --------------------------------
    // The differences between the code-and-name lists; one routine answers them all.
    struct MasterListKind;
    struct MasterRights;
    QByteArray MasterList(const platform::JsonObject& request, const MasterListKind& kind);
    // Opens the company database and checks the user; false (with the user message in front of
    // ErrorText) when the user does not pass.
    bool MasterOpen(const platform::JsonObject& request, const QString& mobileNo, MasterRights& rights);
    // The success head and the opening of its "Data" array.
    void MasterHead(platform::JsonWriter& reply, const QString& action, const QString& mobileNo);
    // Every row of a statement as a row of two trimmed texts, with `readWords` logged as
    // ReadRows logs it.
    void MasterRows(const QString& mobileNo, const QString& sql, const QString& readWords, platform::JsonWriter& data,
                    const MasterListKind& kind);
    // The place of supply: the branch's when one is named, else the company's.
    bool MasterPlaceOfSupply(const QString& mobileNo, const QString& branchCode, const QString& branchWords,
                             const QString& branchMessage, const QString& companyWords, const QString& companyMessage,
                             bool& sezUnit, QString& stateCode, bool& unionTerritory);
    bool GetCalculationFlags(const QString& setupDocumentType, bool& itemWiseGST, bool& itemWiseDiscount);
    // ---- end of the masters ------------------------------------------------------------

    // ---- state -------------------------------------------------------------------------
    platform::db::Connection cnnCompany;
    QString m_companyText;  // the connection text cnnCompany was opened with
    bool m_companyReading = false;  // cnnCompany holds the request's read transaction
    platform::db::Recordset oRecordset;
    QString ErrorText;
    mutable QString m_logMobileNo;  // the mobile of the log lines' part made last
    mutable QString m_logPrefix;    // "Mobile No." and that mobile as a log line shows it

    friend class EngineTestAccess;  // tests reach the services directly
};
