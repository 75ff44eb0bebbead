// The documents and vouchers.

#include "clsClient.h"

#include "FamilySupport.h"

#include <cmath>

using platform::JsonObject;

namespace {

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

}  // namespace

// Documents and vouchers.
QString clsClient::GetDocument(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::BuiltSubject(DocumentLabel(request)));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}

QString clsClient::GetVoucher(const JsonObject& request)
{
    ErrorText = engine::NotAvailable(engine::BuiltSubject(DocumentLabel(request)));
    return FailureReply(engine::ActionOf(request), engine::MobileOf(request));
}
