// The account, location and item summaries.

#include "clsClient.h"

#include "FamilySupport.h"

using platform::JsonObject;

// Account, location and item summaries.
QString clsClient::GetAccountSummary(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::FixedSubject("Account Summary"));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

QString clsClient::GetLocationSummary(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::FixedSubject("Account Location Summary"));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

QString clsClient::GetItemSummary(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::FixedSubject("Item Summary"));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

