// The master lists and GST look-ups.

#include "clsClient.h"

#include "FamilySupport.h"

using platform::JsonObject;

namespace {

QString FieldList(const JsonObject& request)
{
    return QStringLiteral("Error while getting ") + request.StringOf(QStringLiteral("FieldName")) + QStringLiteral(" List.");
}

}  // namespace

// Master lists and GST look-ups.
QString clsClient::GetBranchList(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::FixedSubject("Branch List"));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

QString clsClient::GetStoreList(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::FixedSubject("Store List"));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

QString clsClient::GetPartyList(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(FieldList(request));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

QString clsClient::GetPartyLocationList(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(FieldList(request));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

QString clsClient::GetPartyContactList(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(FieldList(request));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

QString clsClient::GetPartyDetail(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::FixedSubject("Party Detail"));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

QString clsClient::GetSalesmanList(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::FixedSubject("Salesman List"));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

QString clsClient::GetAgentList(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::FixedSubject("Agent List"));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

QString clsClient::GetSeriesList(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::FixedSubject("Series List"));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

QString clsClient::GetItemList(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::FixedSubject("Item List"));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

QString clsClient::GetItemDetail(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::FixedSubject("Item Detail"));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

QString clsClient::GetSupplyTypes(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::FixedSubject("GST SupplyTypes"));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

QString clsClient::GetGSTList(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::FixedSubject("GST List"));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

QString clsClient::GetGSTDetail(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::FixedSubject("GST Detail"));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

