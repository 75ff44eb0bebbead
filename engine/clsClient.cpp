#include "clsClient.h"

#include "ActionSkeleton.h"
#include "EngineSupport.h"
#include "GeneralFunction.h"
#include "settings/clsSetup.h"

#include <QDateTime>
#include <array>

using platform::JsonObject;
using platform::RuntimeError;

namespace {

using Handler = QByteArray (clsClient::*)(const JsonObject&);

}  // namespace

clsClient::clsClient() = default;
clsClient::~clsClient()
{
    // A handler that returned with the database still open gives it back too.
    CloseRecordset();
    CloseCompanyDatabase();
}

QString clsClient::GetData(const JsonObject& pJSONObject)
{
    return QString::fromUtf8(Answer(pJSONObject));
}

QByteArray clsClient::Answer(const JsonObject& pJSONObject)
{
    // The names are compared upper-cased and whole, in this order; the first equal one wins.
    struct Entry {
        const char* name;
        Handler handler;
    };
    static const std::array<Entry, 26> table = {{
        {"CompanyList", &clsClient::GetCompanies},
        {"BranchList", &clsClient::GetBranchList},
        {"StoreList", &clsClient::GetStoreList},
        {"PartyList", &clsClient::GetPartyList},
        {"PartyLocationList", &clsClient::GetPartyLocationList},
        {"PartyContactList", &clsClient::GetPartyContactList},
        {"PartyDetail", &clsClient::GetPartyDetail},
        {"SalesmanList", &clsClient::GetSalesmanList},
        {"AgentList", &clsClient::GetAgentList},
        {"SeriesList", &clsClient::GetSeriesList},
        {"ItemList", &clsClient::GetItemList},
        {"ItemDetail", &clsClient::GetItemDetail},
        {"SupplyTypes", &clsClient::GetSupplyTypes},
        {"GSTList", &clsClient::GetGSTList},
        {"GSTDetail", &clsClient::GetGSTDetail},
        {"DashBoard", &clsClient::GetDashboard},
        {"AccountSummary", &clsClient::GetAccountSummary},
        {"LocationSummary", &clsClient::GetLocationSummary},
        {"ItemSummary", &clsClient::GetItemSummary},
        {"ItemStoreSummary", &clsClient::GetItemStoreSummary},
        {"AccountLedger", &clsClient::GetAccountLedger},
        {"Outstanding", &clsClient::GetOutstanding},
        {"Order", &clsClient::GetOrder},
        {"ItemLedger", &clsClient::GetItemLedger},
        {"Document", &clsClient::GetDocument},
        {"Voucher", &clsClient::GetVoucher},
    }};

    const QString action = pJSONObject.StringOf(QStringLiteral("Action"));
    const QString mobileNo = pJSONObject.StringOf(QStringLiteral("MobileNo"));
    const QString wanted = action.toUpper();
    for (const Entry& entry : table)
        if (QString::fromLatin1(entry.name).toUpper() == wanted)
            return (this->*entry.handler)(pJSONObject);

    return ReplyText(action, mobileNo, 0, QStringLiteral("Improper Action.")).toUtf8();
}

QString clsClient::MakeJsonText(const QVariantList& pairs)
{
    platform::JsonWriter object;
    object.BeginObject();
    engine::WritePairs(object, pairs);
    object.EndObject();
    return QString::fromUtf8(engine::FinishedReply(object));
}

void clsClient::OpenCompanyDatabase(const QString& folderName)
{
    if (!Setup)
        throw platform::ObjectNotSet();
    // A connection kept from an earlier request saves the login (on SQL Server) or the file's
    // opening and a cold cache (embedded).
    const QString text = Setup->GetConnectionString(folderName);
    if (auto kept = Setup->TakeCompanyConnection(text))
        cnnCompany.OpenBackend(std::move(kept));
    else
        cnnCompany.Open(text);
    m_companyText = text;
    // On the embedded database the statements of one request read in one transaction: one
    // lock and one look for a hot journal instead of one for each statement, and one
    // consistent view of the company. The product's writers wait for the request at most.
    m_companyReading = false;
    if (cnnCompany.dialect().engine() == platform::db::Engine::Sqlite) {
        cnnCompany.Execute(QStringLiteral("BEGIN TRANSACTION"));
        m_companyReading = true;
    }
}

void clsClient::CloseCompanyDatabase(bool keep)
{
    if (cnnCompany.State() != platform::db::adStateOpen)
        return;
    if (m_companyReading) {
        m_companyReading = false;
        try {
            cnnCompany.Execute(QStringLiteral("COMMIT TRANSACTION"));
        } catch (const RuntimeError&) {
            keep = false;  // closing the connection ends the transaction
        }
    }
    if (keep && Setup)
        Setup->KeepCompanyConnection(m_companyText, cnnCompany.Release());
    else
        cnnCompany.Close();
}

void clsClient::CloseRecordset()
{
    if (oRecordset.State() == platform::db::adStateOpen)
        oRecordset.Close();
}

bool clsClient::RunQuery(const std::function<bool()>& query)
{
    try {
        const bool result = query();
        CloseRecordset();
        return result;
    } catch (const RuntimeError& error) {
        CloseRecordset();
        ErrorText = engine::ErrorLine(error);
        return false;
    }
}

QString clsClient::ReplyText(const QString& action, const QString& mobileNo, int status, const QString& message,
                             const QVariantList& more)
{
    return MakeJsonText(QVariantList{QStringLiteral("Action"), action, QStringLiteral("MobileNo"), mobileNo,
                                     QStringLiteral("Status"), status, QStringLiteral("Message"), message}
                        + more);
}

QByteArray clsClient::FailureReply(const QString& action, const QString& mobileNo) const
{
    return ReplyText(action, mobileNo, 0, ErrorText).toUtf8();
}

QByteArray clsClient::HandlerFailure(const QString& failureLine, const QString& action, const QString& mobileNo,
                                  const RuntimeError* pending)
{
    // After a failure the connection is not trusted for another request.
    CloseCompanyDatabase(false);
    ErrorText = engine::FailureText(failureLine, ErrorText, pending);
    return FailureReply(action, mobileNo);
}

void clsClient::Log(const QString& mobileNo, const QString& words) const
{
    const QStringView piece(words);
    LogPieces(mobileNo, &piece, 1);
}

void clsClient::LogPieces(const QString& mobileNo, const QStringView* words, qsizetype count) const
{
    if (!Setup)
        throw platform::ObjectNotSet();
    // Request values never start a log line of their own. The mobile's part is the same for every
    // line of a request: it is made once.
    if (m_logPrefix.isNull() || mobileNo != m_logMobileNo) {
        m_logMobileNo = mobileNo;
        m_logPrefix = QStringLiteral("Mobile No.") + GeneralFunction::VisibleText(mobileNo);
    }
    // The words go as they are unless a piece holds a character the log shows by its code.
    constexpr qsizetype kMostPieces = 8;
    bool plain = count < kMostPieces;
    for (qsizetype k = 0; plain && k < count; ++k)
        plain = !GeneralFunction::HasInvisible(words[k]);
    if (plain) {
        QStringView line[kMostPieces + 1];
        line[0] = m_logPrefix;
        std::copy(words, words + count, line + 1);
        Setup->AppendLog(line, count + 1);
        return;
    }
    QString joined;
    for (qsizetype k = 0; k < count; ++k)
        joined += words[k];
    const QString shown = GeneralFunction::VisibleText(joined);
    Setup->AppendLog({QStringView(m_logPrefix), QStringView(shown)});
}
