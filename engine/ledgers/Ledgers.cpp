// The ledgers, outstanding bills, orders and item transactions.

#include "clsClient.h"

#include "FamilySupport.h"

using platform::JsonObject;

namespace {

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

}  // namespace

// Ledgers, outstanding, orders and item transactions.
QString clsClient::GetItemStoreSummary(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::BuiltSubject(ItemStoreSummaryLabel(request.StringOf(QStringLiteral("GroupType")))));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

QString clsClient::GetAccountLedger(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::FixedSubject("Account Ledger"));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

QString clsClient::GetOutstanding(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::FixedSubject("Outstanding/Todays Receivable/Payable"));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

QString clsClient::GetOrder(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::BuiltSubject(OrderLabel(request.StringOf(QStringLiteral("GroupType")))));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

QString clsClient::GetItemLedger(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::BuiltSubject(ItemLedgerLabel(request.StringOf(QStringLiteral("GroupType")))));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

