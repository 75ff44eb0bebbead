// The handlers of the action families that this version does not answer yet. Each gives the
// failure reply its action gives on failure: "Status" 0 and the action's own failure line, then
// "Not available in this version.". None ever answers with success.

#include "clsClient.h"

#include "EngineSupport.h"

#include <cmath>

using platform::JsonObject;

namespace {

const QString kNotAvailable = QStringLiteral("Not available in this version.");

QString Fixed(const char* subject)
{
    return QStringLiteral("Error while getting ") + QString::fromLatin1(subject) + QLatin1Char('.');
}

// Subjects built from the request carry no full stop.
QString Built(const QString& subject)
{
    return QStringLiteral("Error while getting ") + subject;
}

QString FieldList(const JsonObject& request)
{
    return QStringLiteral("Error while getting ") + request.StringOf(QStringLiteral("FieldName")) + QStringLiteral(" List.");
}

QString OrderLabel(const QString& groupType)
{
    if (groupType == QLatin1String("OR"))
        return QStringLiteral("Order Received");
    if (groupType == QLatin1String("WD"))
        return QStringLiteral("Weekly SO Delivery");
    if (groupType == QLatin1String("OP"))
        return QStringLiteral("SO Pending");
    if (groupType == QLatin1String("OI"))
        return QStringLiteral("Order Issued");
    if (groupType == QLatin1String("WR"))
        return QStringLiteral("Weekly PO Delivery");
    return QStringLiteral("PO Pending");
}

QString ItemStoreSummaryLabel(const QString& groupType)
{
    QString label = groupType == QLatin1String("ST")   ? QStringLiteral("Stock Balance")
                    : groupType == QLatin1String("RQ") ? QStringLiteral("Todays Receipt")
                                                       : QStringLiteral("Todays Issue");
    return label + QStringLiteral(" Item Store Summary");
}

QString ItemLedgerLabel(const QString& groupType)
{
    return groupType == QLatin1String("ST")   ? QStringLiteral("Item Ledger")
           : groupType == QLatin1String("RQ") ? QStringLiteral("Todays Receipt Transaction")
                                              : QStringLiteral("Todays Issue Transaction");
}

// "Document No. " and the five key values without separators; empty while the year is no
// 16-bit whole number.
QString DocumentLabel(const JsonObject& request)
{
    bool ok = false;
    const double year = request.StringOf(QStringLiteral("DocumentYear")).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(year))
        return QString();
    const double rounded = std::nearbyint(year);
    if (rounded < -32768 || rounded > 32767)
        return QString();
    return QStringLiteral("Document No. ") + QString::number(static_cast<int>(rounded))
           + request.StringOf(QStringLiteral("BranchCode")) + request.StringOf(QStringLiteral("DocumentType"))
           + request.StringOf(QStringLiteral("SeriesCode")) + request.StringOf(QStringLiteral("DocumentNo"));
}

QString NotAvailable(const QString& failureLine)
{
    return engine::FailureText(failureLine, kNotAvailable, nullptr);
}

QString ActionOf(const JsonObject& request)
{
    return request.StringOf(QStringLiteral("Action"));
}

QString MobileOf(const JsonObject& request)
{
    return request.StringOf(QStringLiteral("MobileNo"));
}

}  // namespace

// Master lists and GST look-ups.
QString clsClient::GetBranchList(const JsonObject& request)
{
    ErrorText = NotAvailable(Fixed("Branch List"));
    return FailureReply(ActionOf(request), MobileOf(request));
}

QString clsClient::GetStoreList(const JsonObject& request)
{
    ErrorText = NotAvailable(Fixed("Store List"));
    return FailureReply(ActionOf(request), MobileOf(request));
}

QString clsClient::GetPartyList(const JsonObject& request)
{
    ErrorText = NotAvailable(FieldList(request));
    return FailureReply(ActionOf(request), MobileOf(request));
}

QString clsClient::GetPartyLocationList(const JsonObject& request)
{
    ErrorText = NotAvailable(FieldList(request));
    return FailureReply(ActionOf(request), MobileOf(request));
}

QString clsClient::GetPartyContactList(const JsonObject& request)
{
    ErrorText = NotAvailable(FieldList(request));
    return FailureReply(ActionOf(request), MobileOf(request));
}

QString clsClient::GetPartyDetail(const JsonObject& request)
{
    ErrorText = NotAvailable(Fixed("Party Detail"));
    return FailureReply(ActionOf(request), MobileOf(request));
}

QString clsClient::GetSalesmanList(const JsonObject& request)
{
    ErrorText = NotAvailable(Fixed("Salesman List"));
    return FailureReply(ActionOf(request), MobileOf(request));
}

QString clsClient::GetAgentList(const JsonObject& request)
{
    ErrorText = NotAvailable(Fixed("Agent List"));
    return FailureReply(ActionOf(request), MobileOf(request));
}

QString clsClient::GetSeriesList(const JsonObject& request)
{
    ErrorText = NotAvailable(Fixed("Series List"));
    return FailureReply(ActionOf(request), MobileOf(request));
}

QString clsClient::GetItemList(const JsonObject& request)
{
    ErrorText = NotAvailable(Fixed("Item List"));
    return FailureReply(ActionOf(request), MobileOf(request));
}

QString clsClient::GetItemDetail(const JsonObject& request)
{
    ErrorText = NotAvailable(Fixed("Item Detail"));
    return FailureReply(ActionOf(request), MobileOf(request));
}

QString clsClient::GetSupplyTypes(const JsonObject& request)
{
    ErrorText = NotAvailable(Fixed("GST SupplyTypes"));
    return FailureReply(ActionOf(request), MobileOf(request));
}

QString clsClient::GetGSTList(const JsonObject& request)
{
    ErrorText = NotAvailable(Fixed("GST List"));
    return FailureReply(ActionOf(request), MobileOf(request));
}

QString clsClient::GetGSTDetail(const JsonObject& request)
{
    ErrorText = NotAvailable(Fixed("GST Detail"));
    return FailureReply(ActionOf(request), MobileOf(request));
}

// Account, location and item summaries.
QString clsClient::GetAccountSummary(const JsonObject& request)
{
    ErrorText = NotAvailable(Fixed("Account Summary"));
    return FailureReply(ActionOf(request), MobileOf(request));
}

QString clsClient::GetLocationSummary(const JsonObject& request)
{
    ErrorText = NotAvailable(Fixed("Account Location Summary"));
    return FailureReply(ActionOf(request), MobileOf(request));
}

QString clsClient::GetItemSummary(const JsonObject& request)
{
    ErrorText = NotAvailable(Fixed("Item Summary"));
    return FailureReply(ActionOf(request), MobileOf(request));
}

// Ledgers, outstanding, orders and item transactions.
QString clsClient::GetItemStoreSummary(const JsonObject& request)
{
    ErrorText = NotAvailable(Built(ItemStoreSummaryLabel(request.StringOf(QStringLiteral("GroupType")))));
    return FailureReply(ActionOf(request), MobileOf(request));
}

QString clsClient::GetAccountLedger(const JsonObject& request)
{
    ErrorText = NotAvailable(Fixed("Account Ledger"));
    return FailureReply(ActionOf(request), MobileOf(request));
}

QString clsClient::GetOutstanding(const JsonObject& request)
{
    ErrorText = NotAvailable(Fixed("Outstanding/Todays Receivable/Payable"));
    return FailureReply(ActionOf(request), MobileOf(request));
}

QString clsClient::GetOrder(const JsonObject& request)
{
    ErrorText = NotAvailable(Built(OrderLabel(request.StringOf(QStringLiteral("GroupType")))));
    return FailureReply(ActionOf(request), MobileOf(request));
}

QString clsClient::GetItemLedger(const JsonObject& request)
{
    ErrorText = NotAvailable(Built(ItemLedgerLabel(request.StringOf(QStringLiteral("GroupType")))));
    return FailureReply(ActionOf(request), MobileOf(request));
}

// Documents and vouchers.
QString clsClient::GetDocument(const JsonObject& request)
{
    ErrorText = NotAvailable(Built(DocumentLabel(request)));
    return FailureReply(ActionOf(request), MobileOf(request));
}

QString clsClient::GetVoucher(const JsonObject& request)
{
    ErrorText = NotAvailable(Built(DocumentLabel(request)));
    return FailureReply(ActionOf(request), MobileOf(request));
}
