// The ledgers, outstanding bills, orders and item transactions: what each of the five actions
// asks of the handler skeleton. Their row procedures are in the files beside this one.

#include "LedgerSupport.h"

#include "FamilySupport.h"
#include "clock/Clock.h"

using platform::JsonWriter;
using platform::JsonObject;

namespace {

QString Upper(const JsonObject& request)
{
    return request.StringOf(QStringLiteral("GroupType")).toUpper();
}

// Labels are chosen on the upper-cased code, like every other choice on GroupType.
QString OrderLabel(const QString& code)
{
    if (code == QLatin1String("OR"))
        return QStringLiteral("Order Received");
    if (code == QLatin1String("WD"))
        return QStringLiteral("Weekly SO Delivery");
    if (code == QLatin1String("OP"))
        return QStringLiteral("SO Pending");
    if (code == QLatin1String("OI"))
        return QStringLiteral("Order Issued");
    if (code == QLatin1String("WR"))
        return QStringLiteral("Weekly PO Delivery");
    return QStringLiteral("PO Pending");
}

QString ItemStoreSummaryLabel(const QString& code)
{
    const QString label = code == QLatin1String("ST")   ? QStringLiteral("Stock Balance")
                          : code == QLatin1String("RQ") ? QStringLiteral("Todays Receipt")
                                                        : QStringLiteral("Todays Issue");
    return label + QStringLiteral(" Item Store Summary");
}

QString ItemLedgerLabel(const QString& code)
{
    return code == QLatin1String("ST")   ? QStringLiteral("Item Ledger")
           : code == QLatin1String("RQ") ? QStringLiteral("Todays Receipt Transaction")
                                         : QStringLiteral("Todays Issue Transaction");
}

QDate DateKey(const JsonObject& request, const char* key)
{
    return engine::RequestDate(request.StringOf(QString::fromLatin1(key)));
}

QString Key(const JsonObject& request, const char* key)
{
    return request.StringOf(QString::fromLatin1(key));
}

// The head of the three party actions after the dates: the account and its location.
QVariantList PartyHead(const clsClient::LedgerRequest& r)
{
    return {QStringLiteral("StDt"), r.StartDate, QStringLiteral("LtDt"), r.LastDate, QStringLiteral("ActCd"), r.AccountCode,
            QStringLiteral("ActNm"), r.AccountName, QStringLiteral("LocCd"), r.AccountLocationCode, QStringLiteral("LocNm"),
            r.LocationName, QStringLiteral("GrpTy"), r.GroupType, QStringLiteral("IsLoc"), false};
}

QVariantList ItemHead(const clsClient::LedgerRequest& r)
{
    return {QStringLiteral("StDt"), r.StartDate, QStringLiteral("LtDt"), r.LastDate, QStringLiteral("ItmCd"), r.ItemCode,
            QStringLiteral("ItmNm"), r.ItemName, QStringLiteral("Unit"), r.Unit, QStringLiteral("GrpTy"), r.GroupType};
}

// The keys of the three party actions.
void ReadPartyKeys(const JsonObject& request, clsClient::LedgerRequest& r)
{
    r.StartDate = DateKey(request, "StartDate");
    r.LastDate = DateKey(request, "LastDate");
    r.Rights.BranchCode = Key(request, "BranchCode");
    r.GroupType = Key(request, "GroupType");
    r.AccountCode = Key(request, "AccountCode");
    r.AccountLocationCode = Key(request, "AccountLocationCode");
}

void ReadItemKeys(const JsonObject& request, clsClient::LedgerRequest& r)
{
    r.StartDate = DateKey(request, "StartDate");
    r.LastDate = DateKey(request, "LastDate");
    r.Rights.StoreCode = Key(request, "StoreCode");
    r.GroupType = Key(request, "GroupType");
    r.ItemCode = Key(request, "ItemCode");
}

}  // namespace

QByteArray clsClient::GetAccountLedger(const JsonObject& request)
{
    LedgerAction a;
    a.FailureLine = engine::FixedSubject("Account Ledger");
    a.GettingWords = QStringLiteral(" Getting Account Ledger/Transaction");
    a.ReadKeys = [](const JsonObject& request, LedgerRequest& r) {
        ReadPartyKeys(request, r);
    };
    a.YearStartStep = true;
    a.SameYear = true;
    a.BalanceWords = QStringLiteral(" Generating Balance Fields for Account Ledger");
    a.GroupRight = true;
    a.Head = [](const LedgerRequest& r) {
        return QVariantList{QStringLiteral("StDt"), r.StartDate, QStringLiteral("LtDt"), r.LastDate,
                            QStringLiteral("ActCd"), r.AccountCode, QStringLiteral("ActNm"), r.AccountName,
                            QStringLiteral("GrpTy"), r.GroupType, QStringLiteral("LocCd"), r.AccountLocationCode,
                            QStringLiteral("LocNm"), r.LocationName, QStringLiteral("IsLoc"), false};
    };
    a.Fill = [this](LedgerRequest& r, JsonWriter& data) {
        if (!engine::IsCodeInList(r.Code, QStringLiteral("SA,PU,CH,BK,SD,SC,RT,PT")))
            return true;
        if (engine::IsCodeInList(r.Code, QStringLiteral("SD,SC,RT,PT")) && !r.AccountLocationCode.isEmpty()) {
            Log(r.MobileNo, QStringLiteral(" Getting Account Location Ledger Data"));
            if (!AddAccountLocationLedgerData(r, data)) {
                ErrorText = QStringLiteral("Unable to get Account Location Ledger Data.") + engine::CRLF + ErrorText;
                return false;
            }
            return true;
        }
        Log(r.MobileNo, QStringLiteral(" Getting AccountLedger Data"));
        if (!AddAccountLedgerData(r, data)) {
            ErrorText = QStringLiteral("Unable to get Account Ledger Data.") + engine::CRLF + ErrorText;
            return false;
        }
        return true;
    };
    a.ReturningWords = QStringLiteral(" Returning Account Ledger from JSON Object to Text");
    return LedgerHandler(request, a);
}

QByteArray clsClient::GetOutstanding(const JsonObject& request)
{
    const QString subject = QStringLiteral("Outstanding/Todays Receivable/Payable");
    LedgerAction a;
    a.FailureLine = engine::FixedSubject("Outstanding/Todays Receivable/Payable");
    a.GettingWords = QStringLiteral(" Getting ") + subject;
    a.ReadKeys = [this](const JsonObject& request, LedgerRequest& r) {
        ReadPartyKeys(request, r);
        // Today's dues are always those of today; a test installation looks at New Year's Day 2005
        // for its periods up to the end of March 2005 (the start of the period decides).
        if (engine::IsCodeInList(r.GroupType.toUpper(), QStringLiteral("TR,TP")) || engine::IsEmptyDate(r.LastDate)) {
            r.LastDate = platform::Clock::Today();
            if (lTestingMode && r.StartDate <= QDate(2005, 3, 31))
                r.LastDate = QDate(2005, 1, 1);
        }
    };
    a.GroupRight = true;
    a.Head = PartyHead;
    a.Fill = [this, subject](LedgerRequest& r, JsonWriter& data) {
        if (!engine::IsCodeInList(r.Code, QStringLiteral("SD,SC,TR,TP")))
            return true;
        return LedgerStep(r.MobileNo, subject, [&] { return AddOutstandingData(r, data); });
    };
    a.ReturningWords = QStringLiteral(" Returning ") + subject + QStringLiteral(" from JSON Object to Text");
    return LedgerHandler(request, a);
}

QByteArray clsClient::GetOrder(const JsonObject& request)
{
    // The label comes first, so that a failure in reading the keys still names it.
    const QString label = OrderLabel(Upper(request));
    LedgerAction a;
    a.FailureLine = engine::BuiltSubject(label);
    a.GettingWords = QStringLiteral(" Getting ") + label;
    a.ReadKeys = [](const JsonObject& request, LedgerRequest& r) {
        ReadPartyKeys(request, r);
        r.Rights.StoreCode = Key(request, "StoreCode");
        if (engine::IsEmptyDate(r.LastDate))
            r.LastDate = platform::Clock::Today();
    };
    a.GroupRight = true;
    a.Head = PartyHead;
    a.Fill = [this, label](LedgerRequest& r, JsonWriter& data) {
        if (!engine::IsCodeInList(r.Code, QStringLiteral("OR,WD,OP,OI,WR,PP")))
            return true;
        return LedgerStep(r.MobileNo, label, [&] { return AddOrderData(r, label, data); });
    };
    a.ReturningWords = QStringLiteral(" Returning ") + label + QStringLiteral(" from JSON Object to Text");
    return LedgerHandler(request, a);
}

QByteArray clsClient::GetItemStoreSummary(const JsonObject& request)
{
    const QString label = ItemStoreSummaryLabel(Upper(request));
    LedgerAction a;
    a.FailureLine = engine::BuiltSubject(label);
    a.GettingWords = QStringLiteral(" Getting ") + label;
    a.ReadKeys = ReadItemKeys;
    a.BalanceWords = QStringLiteral(" Generating Balance Fields for Item Summary");
    a.LookUp = LedgerAction::Lookup::Item;
    a.Head = ItemHead;
    a.Fill = [this, label](LedgerRequest& r, JsonWriter& data) {
        if (engine::IsCodeInList(r.Code, QStringLiteral("ST")))
            return LedgerStep(r.MobileNo, label, [&] { return AddItemStockByStore(r, label, data); });
        if (engine::IsCodeInList(r.Code, QStringLiteral("RQ,IQ")))
            return LedgerStep(r.MobileNo, label, [&] { return AddItemMovementByStore(r, label, data); });
        return true;
    };
    a.ReturningWords = QStringLiteral(" Returning ") + label + QStringLiteral(" from JSON Object to Text");
    return LedgerHandler(request, a);
}

QByteArray clsClient::GetItemLedger(const JsonObject& request)
{
    const QString label = ItemLedgerLabel(Upper(request));
    LedgerAction a;
    a.FailureLine = engine::BuiltSubject(label);
    a.GettingWords = QStringLiteral(" Getting ") + label;
    a.ReadKeys = ReadItemKeys;
    a.BalanceWords = QStringLiteral(" Generating Balance Fields for Item Summary");
    a.LookUp = LedgerAction::Lookup::Item;
    a.Head = [](const LedgerRequest& r) {
        return ItemHead(r) + QVariantList{QStringLiteral("StoCd"), r.Rights.StoreCode};
    };
    a.Fill = [this, label](LedgerRequest& r, JsonWriter& data) {
        if (!engine::IsCodeInList(r.Code, QStringLiteral("ST,RQ,IQ")))
            return true;
        return LedgerStep(r.MobileNo, label, [&] { return AddItemLedgerData(r, label, data); });
    };
    a.ReturningWords = QStringLiteral(" Returning ") + label + QStringLiteral(" from JSON Object to Text");
    return LedgerHandler(request, a);
}

bool clsClient::LedgerStep(const QString& mobileNo, const QString& words, const std::function<bool()>& step)
{
    Log(mobileNo, QStringLiteral(" Getting ") + words + QStringLiteral(" Data"));
    if (step())
        return true;
    ErrorText = QStringLiteral("Unable to get ") + words + QStringLiteral(" Data.") + engine::CRLF + ErrorText;
    return false;
}
