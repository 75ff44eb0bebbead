// The master lists and GST look-ups: the code-and-name pick lists of the app's entry screens, the
// party lists, the defaults of a party location and of an item for a party, and the GST supply
// types and codes.

#include "clsClient.h"

#include "ActionSkeleton.h"
#include "FamilySupport.h"
#include "database/Value.h"
#include "settings/GeneralFunction.h"

#include <functional>

using platform::JsonObject;
using platform::JsonWriter;
using engine::Column;
using engine::Rows;
using engine::RowText;
using engine::TrimmedBlanks;
using engine::Utf8Text;
using platform::JsonType;
using platform::RuntimeError;
using GeneralFunction::QuoteSQL;

namespace {

// The end of a reply whose head MasterHead began.
QByteArray MasterReply(JsonWriter& reply)
{
    reply.EndArray();
    reply.EndObject();
    return engine::FinishedReply(reply);
}

QString Key(const JsonObject& request, const char* name)
{
    return request.StringOf(QString::fromLatin1(name));
}

// "EntryMode": a JSON Boolean is taken as it is, a JSON text as a truth word or a number (any
// other text is a type mismatch); any other type, or no member, is false.
bool EntryModeOf(const JsonObject& request)
{
    const QString name = QStringLiteral("EntryMode");
    switch (request.TypeOf(name)) {
    case JsonType::Boolean: return request.json().at("EntryMode").get<bool>();
    case JsonType::String: return platform::db::convert::TextToBool(request.StringOf(name));
    default: return false;
    }
}

// The start of a LIKE pattern: the user's initials, quoted; "%" and "_" keep their meaning.
QString Prefix(const QString& initials)
{
    return QuoteSQL(initials) + QStringLiteral("%' ");
}

}  // namespace

// The user's rights as the lists use them: a list applies only to a user who is no supervisor.
struct clsClient::MasterRights {
    bool IsSupervisor = false;
    QString BranchCodes;
    QString StoreCodes;

    QString Branches() const { return IsSupervisor ? QString() : BranchCodes; }
    QString Stores() const { return IsSupervisor ? QString() : StoreCodes; }
};

// What one list has of its own: its label, its All row (when it takes EntryMode), its row members
// and its query.
struct clsClient::MasterListKind {
    QString Label;
    QString ReturnLabel;
    bool TakesEntryMode = false;
    QString AllLabel;
    QString AllQuery;
    QString CodeMember;
    QString NameMember;
    QString CodeColumn;
    QString NameColumn;
    std::function<QString(const JsonObject& request, const MasterRights& rights)> Query;
};

// ---- shared steps ---------------------------------------------------------------------------------

bool clsClient::MasterOpen(const JsonObject& request, const QString& mobileNo, MasterRights& rights)
{
    engine::Rights user;
    if (!OpenForUser(mobileNo, Key(request, "FolderName"), Key(request, "UserID"), Key(request, "Password"), user))
        return false;
    rights.IsSupervisor = user.IsSupervisor;
    rights.BranchCodes = user.BranchCodes;  // the user check's lists are trimmed code by code
    rights.StoreCodes = user.StoreCodes;
    return true;
}

void clsClient::MasterHead(JsonWriter& reply, const QString& action, const QString& mobileNo)
{
    LoadReplyHead(reply, action, mobileNo);
    Log(mobileNo, QStringLiteral(" Adding Data Array to JSON"));
    reply.Name("Data");
    reply.BeginArray();
}

void clsClient::MasterRows(const QString& mobileNo, const QString& sql, const QString& readWords, JsonWriter& data,
                           const MasterListKind& kind)
{
    // The columns are found by name once; a list may have thousands of rows.
    Column code(kind.CodeColumn), name(kind.NameColumn);
    const QByteArray codeMember = kind.CodeMember.toUtf8(), nameMember = kind.NameMember.toUtf8();
    ReadRows(mobileNo, sql, {readWords}, [&](Rows& rows) {
        const Utf8Text codeText = TrimmedBlanks(RowText(rows, code));
        const Utf8Text nameText = TrimmedBlanks(RowText(rows, name));
        data.BeginObject();
        data.Name(JsonWriter::AsView(codeMember));
        data.String(codeText.View());
        data.Name(JsonWriter::AsView(nameMember));
        data.String(nameText.View());
        data.EndObject();
    });
}

bool clsClient::MasterPlaceOfSupply(const QString& mobileNo, const QString& branchCode, const QString& branchWords,
                                    const QString& branchMessage, const QString& companyWords,
                                    const QString& companyMessage, bool& sezUnit, QString& stateCode,
                                    bool& unionTerritory)
{
    if (!branchCode.isEmpty()) {
        Log(mobileNo, branchWords);
        if (GetBranchInfo(branchCode, sezUnit, stateCode, unionTerritory))
            return true;
        ErrorText = branchMessage + engine::CRLF + ErrorText;
        return false;
    }
    Log(mobileNo, companyWords);
    bool branchRequired = false, seriesRequired = false;
    QDate startDate, lastDate;
    if (GetCompanyInfo(branchRequired, seriesRequired, startDate, lastDate, sezUnit, stateCode, unionTerritory))
        return true;
    ErrorText = companyMessage + engine::CRLF + ErrorText;
    return false;
}

// ---- the code-and-name lists ------------------------------------------------------------------------

QByteArray clsClient::MasterList(const JsonObject& request, const MasterListKind& kind)
{
    ErrorText.clear();
    const QString action = engine::ActionOf(request);
    const QString mobileNo = engine::MobileOf(request);
    const QString failureLine = QStringLiteral("Error while getting ") + kind.Label + QLatin1Char('.');
    try {
        // A text that is no truth value fails the request before anything is opened.
        const bool entryMode = kind.TakesEntryMode && EntryModeOf(request);
        Log(mobileNo, QStringLiteral(" Getting ") + kind.Label);
        MasterRights rights;
        if (!MasterOpen(request, mobileNo, rights))
            return HandlerFailure(failureLine, action, mobileNo, nullptr);

        JsonWriter reply;
        MasterHead(reply, action, mobileNo);

        if (kind.TakesEntryMode && !entryMode) {
            Log(mobileNo, QStringLiteral(" Query for Generating ") + kind.AllLabel);
            Log(mobileNo, QStringLiteral(" Getting Records for ") + kind.AllLabel);
            MasterRows(mobileNo, kind.AllQuery, QStringLiteral(" Getting data of ") + kind.AllLabel + QStringLiteral(" to JSON "),
                       reply, kind);
        }

        Log(mobileNo, QStringLiteral(" Query for Generating ") + kind.Label);
        const QString sql = kind.Query(request, rights);
        Log(mobileNo, QStringLiteral(" Getting Records for ") + kind.Label);
        MasterRows(mobileNo, sql, QStringLiteral(" Getting data of ") + kind.Label + QStringLiteral(" to JSON "), reply, kind);

        Log(mobileNo, QStringLiteral(" Returning ") + kind.ReturnLabel + QStringLiteral(" Data from JSON Object to Text"));
        return MasterReply(reply);
    } catch (const RuntimeError& error) {
        CloseRecordset();
        return HandlerFailure(failureLine, action, mobileNo, &error);
    }
}

QByteArray clsClient::GetBranchList(const JsonObject& request)
{
    static const MasterListKind kind{
        QStringLiteral("Branch List"), QStringLiteral("BranchList"), true, QStringLiteral("All Branch List"),
        QStringLiteral("SELECT '' AS BranchCode, 'All Branch' AS BranchName "), QStringLiteral("BrnCd"),
        QStringLiteral("BrnNm"), QStringLiteral("BranchCode"), QStringLiteral("BranchName"),
        [](const JsonObject& r, const MasterRights& rights) {
            QString sql = QStringLiteral("SELECT FaBranchMaster.BranchCode, FaBranchMaster.BranchName FROM FaBranchMaster "
                                         "WHERE FaBranchMaster.BranchName LIKE '")
                          + Prefix(Key(r, "Initials"));
            if (!rights.Branches().isEmpty())
                sql += QStringLiteral("AND FaBranchMaster.BranchCode IN (") + rights.Branches() + QStringLiteral(") ");
            return sql + QStringLiteral("ORDER BY FaBranchMaster.BranchName ");
        }};
    return MasterList(request, kind);
}

QByteArray clsClient::GetStoreList(const JsonObject& request)
{
    static const MasterListKind kind{
        QStringLiteral("Store List"), QStringLiteral("Store List"), true, QStringLiteral("All Store List"),
        QStringLiteral("SELECT '' AS StoreCode, 'All Store' AS StoreName "), QStringLiteral("StoCd"), QStringLiteral("StoNm"),
        QStringLiteral("StoreCode"), QStringLiteral("StoreName"),
        [](const JsonObject& r, const MasterRights& rights) {
            QString sql = QStringLiteral("SELECT FaStoreMaster.StoreCode, FaStoreMaster.StoreName FROM FaStoreMaster "
                                         "WHERE FaStoreMaster.StoreName LIKE '")
                          + Prefix(Key(r, "Initials"));
            if (!rights.Stores().isEmpty())
                sql += QStringLiteral("AND FaStoreMaster.StoreCode IN (") + rights.Stores() + QStringLiteral(") ");
            return sql + QStringLiteral("ORDER BY FaStoreMaster.StoreName ");
        }};
    return MasterList(request, kind);
}

QByteArray clsClient::GetSalesmanList(const JsonObject& request)
{
    static const MasterListKind kind{
        QStringLiteral("Salesman List"), QStringLiteral("Salesman List"), false, QString(), QString(), QStringLiteral("SmnCd"),
        QStringLiteral("SmnNm"), QStringLiteral("SalesmanCode"), QStringLiteral("SalesmanName"),
        [](const JsonObject& r, const MasterRights&) {
            return QStringLiteral("SELECT FaSalesmanMaster.SalesmanCode, FaSalesmanMaster.SalesmanName FROM FaSalesmanMaster "
                                  "WHERE FaSalesmanMaster.SalesmanName LIKE '")
                   + Prefix(Key(r, "Initials")) + QStringLiteral("ORDER BY FaSalesmanMaster.SalesmanName ");
        }};
    return MasterList(request, kind);
}

QByteArray clsClient::GetAgentList(const JsonObject& request)
{
    static const MasterListKind kind{
        QStringLiteral("Agent List"), QStringLiteral("Agent List"), false, QString(), QString(), QStringLiteral("AgtCd"),
        QStringLiteral("AgtNm"), QStringLiteral("AgentCode"), QStringLiteral("AgentName"),
        [](const JsonObject& r, const MasterRights&) {
            return QStringLiteral("SELECT FaAgentMaster.AgentCode, FaAgentMaster.AgentName FROM FaAgentMaster "
                                  "WHERE FaAgentMaster.AgentName LIKE '")
                   + Prefix(Key(r, "Initials")) + QStringLiteral("ORDER BY FaAgentMaster.AgentName ");
        }};
    return MasterList(request, kind);
}

QByteArray clsClient::GetSeriesList(const JsonObject& request)
{
    static const MasterListKind kind{
        QStringLiteral("Series List"), QStringLiteral("Series List"), false, QString(), QString(), QStringLiteral("SerCd"),
        QStringLiteral("SerNm"), QStringLiteral("SeriesCode"), QStringLiteral("SeriesName"),
        [](const JsonObject& r, const MasterRights&) {
            return QStringLiteral("SELECT FaSeriesMaster.SeriesCode, FaSeriesMaster.SeriesName FROM FaSeriesMaster "
                                  "WHERE FaSeriesMaster.DocumentType = '")
                   + QuoteSQL(Key(r, "DocumentType")) + QStringLiteral("' AND FaSeriesMaster.SeriesName LIKE '")
                   + Prefix(Key(r, "Initials")) + QStringLiteral("ORDER BY FaSeriesMaster.SeriesName ");
        }};
    return MasterList(request, kind);
}

QByteArray clsClient::GetItemList(const JsonObject& request)
{
    static const MasterListKind kind{
        QStringLiteral("Item List"), QStringLiteral("Item List"), false, QString(), QString(), QStringLiteral("ItmCd"),
        QStringLiteral("ItemNm"), QStringLiteral("ItemCode"), QStringLiteral("ItemName"),
        [](const JsonObject& r, const MasterRights& rights) {
            QString sql = QStringLiteral("SELECT FaItemMaster.ItemCode, FaItemMaster.ItemName FROM FaItemMaster "
                                         "WHERE FaItemMaster.ItemName LIKE '")
                          + QuoteSQL(Key(r, "Initials")) + QStringLiteral("%' AND FaItemMaster.Passed = 'True' ");
            // An item with store rights is listed only for a store of the user's (and the store
            // asked for); an item without them is open to every store.
            if (!rights.Stores().isEmpty()) {
                sql += QStringLiteral("AND ( EXISTS (SELECT TOP 1 FaItemStoreRights.ItemCode FROM FaItemStoreRights "
                                      "WHERE FaItemStoreRights.ItemCode = FaItemMaster.ItemCode AND FaItemStoreRights.StoreCode IN (")
                       + rights.Stores() + QStringLiteral(") ");
                const QString storeCode = Key(r, "StoreCode");
                if (!storeCode.isEmpty())
                    sql += QStringLiteral(" AND FaItemStoreRights.StoreCode = '") + QuoteSQL(storeCode) + QStringLiteral("' ");
                sql += QStringLiteral(") OR NOT EXISTS (SELECT TOP 1 FaItemStoreRights.ItemCode FROM FaItemStoreRights "
                                      "WHERE FaItemStoreRights.ItemCode = FaItemMaster.ItemCode)  ) ");
            }
            return sql + QStringLiteral("ORDER BY FaItemMaster.ItemName ");
        }};
    return MasterList(request, kind);
}

// ---- the party lists ------------------------------------------------------------------------------
// Their label is the entry field they are wanted for ("ConsigneeCode List").

QByteArray clsClient::GetPartyList(const JsonObject& request)
{
    const QString label = Key(request, "FieldName") + QStringLiteral(" List");
    const MasterListKind kind{
        label, label, false, QString(), QString(), QStringLiteral("ActCd"), QStringLiteral("ActNm"),
        QStringLiteral("AccountCode"), QStringLiteral("AccountName"),
        [this](const JsonObject& r, const MasterRights& rights) {
            // A consignee or dispatcher may be any debtor or creditor, also of a group outside the
            // books; any other field takes the parties of its group type from the books only.
            const QString fieldName = Key(r, "FieldName");
            const bool anyParty = fieldName == QLatin1String("ConsigneeCode") || fieldName == QLatin1String("DispatchFromCode");
            const QString groupTypes = anyParty ? QStringLiteral("'SD','SC'")
                                                : QLatin1Char('\'') + QuoteSQL(Key(r, "GroupType")) + QLatin1Char('\'');
            const QString plus = cnnCompany.dialect().Concat();
            QString sql = QStringLiteral("SELECT FaAccountMaster.AccountCode, IsNull(FaAccountMaster.AccountName, '')") + plus
                          + QStringLiteral("CASE WHEN FaAccountAddressMaster.Place <> '' THEN '('") + plus
                          + QStringLiteral("FaAccountAddressMaster.Place") + plus
                          + QStringLiteral("')' ELSE '' END AS AccountName FROM (FaAccountMaster LEFT JOIN FaAccountAddressMaster ON "
                                           "FaAccountMaster.AccountCode = FaAccountAddressMaster.AccountCode) LEFT JOIN "
                                           "FaAccountGroupMaster ON FaAccountMaster.ParentGroupCode = FaAccountGroupMaster.AccountGroupCode "
                                           "WHERE FaAccountMaster.AccountName LIKE '")
                          + QuoteSQL(Key(r, "Initials"))
                          + QStringLiteral("%' AND FaAccountMaster.Passed = 'True' AND FaAccountAddressMaster.AccountLocationCode = '001' "
                                           "AND FaAccountGroupMaster.GroupType IN (")
                          + groupTypes + QStringLiteral(") ");
            if (!anyParty)
                sql += QStringLiteral("AND FaAccountGroupMaster.NonAccountingGroup = 'False' ");
            if (!rights.Branches().isEmpty()) {
                sql += QStringLiteral("AND ( EXISTS (SELECT TOP 1 FaAccountBranchRights.AccountCode FROM FaAccountBranchRights "
                                      "WHERE FaAccountBranchRights.AccountCode = FaAccountMaster.AccountCode AND "
                                      "FaAccountBranchRights.BranchCode IN (")
                       + rights.Branches()
                       + QStringLiteral(") ) OR NOT EXISTS (SELECT TOP 1 FaAccountBranchRights.AccountCode FROM FaAccountBranchRights "
                                        "WHERE FaAccountBranchRights.AccountCode = FaAccountMaster.AccountCode)  ) ");
            }
            return sql + QStringLiteral("ORDER BY FaAccountMaster.AccountName, FaAccountAddressMaster.Place ");
        }};
    return MasterList(request, kind);
}

QByteArray clsClient::GetPartyLocationList(const JsonObject& request)
{
    const QString label = Key(request, "FieldName") + QStringLiteral(" List");
    const MasterListKind kind{
        label, label, true, QStringLiteral("All Location List"),
        QStringLiteral("SELECT '' AS AccountLocationCode, 'All Location' AS AccountLocationName "), QStringLiteral("LocCd"),
        QStringLiteral("LocNm"), QStringLiteral("AccountLocationCode"), QStringLiteral("AccountLocationName"),
        [](const JsonObject& r, const MasterRights&) {
            QString sql = QStringLiteral("SELECT FaAccountAddressMaster.AccountLocationCode, FaAccountAddressMaster.AccountLocationName "
                                         "FROM FaAccountAddressMaster WHERE FaAccountAddressMaster.AccountCode = '")
                          + QuoteSQL(Key(r, "AccountCode")) + QStringLiteral("' AND FaAccountAddressMaster.Locked = 'False' ");
            const QString initials = Key(r, "Initials");
            if (!initials.isEmpty())
                sql += QStringLiteral("AND FaAccountAddressMaster.AccountLocationName LIKE '") + Prefix(initials);
            // The main location first, by its code; the others by name.
            return sql + QStringLiteral("ORDER BY CASE WHEN FaAccountAddressMaster.AccountLocationCode = '001' THEN "
                                        "FaAccountAddressMaster.AccountLocationCode ELSE FaAccountAddressMaster.AccountLocationName END ");
        }};
    return MasterList(request, kind);
}

QByteArray clsClient::GetPartyContactList(const JsonObject& request)
{
    const QString label = Key(request, "FieldName") + QStringLiteral(" List");
    const MasterListKind kind{
        label, label, false, QString(), QString(), QStringLiteral("CntCd"), QStringLiteral("CntNm"),
        QStringLiteral("AccountContactCode"), QStringLiteral("ContactPerson"),
        [](const JsonObject& r, const MasterRights&) {
            QString sql = QStringLiteral("SELECT FaAccountContacts.AccountContactCode, FaAccountContacts.ContactPerson "
                                         "FROM FaAccountContacts WHERE FaAccountContacts.AccountCode = '")
                          + QuoteSQL(Key(r, "AccountCode")) + QStringLiteral("' AND FaAccountContacts.AccountLocationCode = '")
                          + QuoteSQL(Key(r, "AccountLocationCode")) + QStringLiteral("' AND FaAccountContacts.Locked = 'False' ");
            const QString initials = Key(r, "Initials");
            if (!initials.isEmpty())
                sql += QStringLiteral("AND FaAccountContacts.ContactPerson LIKE '") + Prefix(initials);
            return sql + QStringLiteral("ORDER BY FaAccountContacts.ContactPerson ");
        }};
    return MasterList(request, kind);
}

// ---- party detail -------------------------------------------------------------------------------------

QByteArray clsClient::GetPartyDetail(const JsonObject& request)
{
    ErrorText.clear();
    const QString action = engine::ActionOf(request);
    const QString mobileNo = engine::MobileOf(request);
    const QString failureLine = engine::FixedSubject("Party Detail");
    try {
        const QString branchCode = Key(request, "BranchCode");
        const QString accountCode = Key(request, "AccountCode");
        QString locationCode = Key(request, "AccountLocationCode");
        if (locationCode.isEmpty())
            locationCode = QStringLiteral("001");
        Log(mobileNo, QStringLiteral(" Getting Party Detail"));
        MasterRights rights;
        if (!MasterOpen(request, mobileNo, rights))
            return HandlerFailure(failureLine, action, mobileNo, nullptr);

        bool sezUnit = false, unionTerritory = false;
        QString stateCode;
        if (!MasterPlaceOfSupply(mobileNo, branchCode, QStringLiteral(" Getting Branch Information"),
                                 QStringLiteral("Unable to Get Branch Information."), QStringLiteral(" Getting Company Information"),
                                 QStringLiteral("Unable to Get Compoany Information."), sezUnit, stateCode, unionTerritory))
            return HandlerFailure(failureLine, action, mobileNo, nullptr);

        JsonWriter data;
        MasterHead(data, action, mobileNo);

        Log(mobileNo, QStringLiteral(" Query for Generating Party Detail "));
        // Export without duty for an SEZ on either side or a party abroad; inter-state when the
        // place of supply has a state and the party's differs; else intra-state.
        const QString template_ =
            QStringLiteral("SELECT FaAccountAddressMaster.CreditPeriod, FaAccountAddressMaster.SalesmanCode, "
                           "IsNull(FaSalesmanMaster.SalesmanName, '') AS SalesmanName, FaAccountAddressMaster.AgentCode, "
                           "IsNull(FaAgentMaster.AgentName, '') AS AgentName, FaAccountAddressMaster.TransporterName, "
                           "CASE WHEN '@pSEZUnit' = 'True' OR FaAccountAddressMaster.GSTPartyType = 'SEZ' OR "
                           "(FaAccountAddressMaster.CountryCode <> '' AND FaAccountAddressMaster.CountryCode <> 'IN') THEN 'EW' "
                           "WHEN '@pStateCode' <> '' AND FaAccountAddressMaster.StateCode <> '@pStateCode' THEN 'OS' ELSE 'IS' "
                           "END AS GSTSupplyType "
                           "FROM (FaAccountAddressMaster LEFT JOIN FaSalesmanMaster ON "
                           "FaAccountAddressMaster.SalesmanCode = FaSalesmanMaster.SalesmanCode) "
                           "LEFT JOIN FaAgentMaster ON FaAccountAddressMaster.AgentCode = FaAgentMaster.AgentCode "
                           "WHERE ");
        // The template is filled before the request's values join the statement.
        const QString sql = GeneralFunction::ReplaceParameters(template_, {QStringLiteral("pSEZUnit"),
                                                                           sezUnit ? QStringLiteral("True") : QStringLiteral("False"),
                                                                           QStringLiteral("pStateCode"), QuoteSQL(stateCode)})
                            + QStringLiteral("FaAccountAddressMaster.AccountCode = '") + QuoteSQL(accountCode)
                            + QStringLiteral("' AND FaAccountAddressMaster.AccountLocationCode = '") + QuoteSQL(locationCode)
                            + QStringLiteral("' ");
        Log(mobileNo, QStringLiteral(" Getting Records for Party Detail"));
        oRecordset.Open(sql, cnnCompany);
        Log(mobileNo, QStringLiteral(" Getting data of Party Detail to JSON "));
        while (!oRecordset.IsEOF()) {
            data.BeginObject();
            const platform::db::Value& creditPeriod = oRecordset.Field(QStringLiteral("CreditPeriod"));
            data.Integer("Crp", creditPeriod.IsNull() ? 0 : static_cast<qint32>(creditPeriod.ToInteger()));
            data.String("SmnCd", engine::ValueText(oRecordset.Field(QStringLiteral("SalesmanCode"))));
            data.String("SmnNm", engine::ValueText(oRecordset.Field(QStringLiteral("SalesmanName"))));
            data.String("AgtCd", engine::ValueText(oRecordset.Field(QStringLiteral("AgentCode"))));
            data.String("AgtNm", engine::ValueText(oRecordset.Field(QStringLiteral("AgentName"))));
            data.String("TrnNm", engine::ValueText(oRecordset.Field(QStringLiteral("TransporterName"))));
            data.String("SupTy", engine::ValueText(oRecordset.Field(QStringLiteral("GSTSupplyType"))));
            data.EndObject();
            oRecordset.MoveNext();
        }
        CloseRecordset();
        Log(mobileNo, QStringLiteral(" Returning Party Detail Data from JSON Object to Text"));
        return MasterReply(data);
    } catch (const RuntimeError& error) {
        CloseRecordset();
        return HandlerFailure(failureLine, action, mobileNo, &error);
    }
}

// ---- item detail ---------------------------------------------------------------------------------------

bool clsClient::GetCalculationFlags(const QString& setupDocumentType, bool& itemWiseGST, bool& itemWiseDiscount)
{
    return RunQuery([&] {
        // The first definition row in Sno order, whatever order the database keeps them in.
        const QString sql = QStringLiteral("SELECT TOP 1 Calculation.ItemWiseGST, Calculation.ItemWiseDiscount "
                                           "FROM FaCalculationDef AS Calculation WHERE Calculation.SetupDocumentType = '")
                            + QuoteSQL(setupDocumentType) + QStringLiteral("' ORDER BY Calculation.Sno ");
        oRecordset.Open(sql, cnnCompany);
        const platform::db::Value& gst = oRecordset.Field(QStringLiteral("ItemWiseGST"));
        const platform::db::Value& discount = oRecordset.Field(QStringLiteral("ItemWiseDiscount"));
        itemWiseGST = !gst.IsNull() && gst.ToBool();
        itemWiseDiscount = !discount.IsNull() && discount.ToBool();
        return true;
    });
}

namespace {

// The document type whose calculation setup an entry of this type follows.
QString SetupDocumentType(const QString& documentType)
{
    if (engine::IsCodeInList(documentType, QStringLiteral("PUR,CPU,SCN,SDN,PQT,PUO,POA,GIN")))
        return QStringLiteral("PUR");
    if (engine::IsCodeInList(documentType, QStringLiteral("SNT")))
        return QStringLiteral("SNT");
    return QStringLiteral("INV");
}

}  // namespace

QByteArray clsClient::GetItemDetail(const JsonObject& request)
{
    ErrorText.clear();
    const QString action = engine::ActionOf(request);
    const QString mobileNo = engine::MobileOf(request);
    const QString failureLine = engine::FixedSubject("Item Detail");
    try {
        const QString accountCode = Key(request, "AccountCode");
        QString locationCode = Key(request, "AccountLocationCode");
        if (locationCode.isEmpty())
            locationCode = QStringLiteral("001");
        const bool intraState = Key(request, "GSTSupplyType") == QLatin1String("IS");
        const QString itemCode = Key(request, "ItemCode");
        const QString setupType = SetupDocumentType(Key(request, "DocumentType"));
        Log(mobileNo, QStringLiteral(" Getting Item Detail"));
        MasterRights rights;
        if (!MasterOpen(request, mobileNo, rights))
            return HandlerFailure(failureLine, action, mobileNo, nullptr);

        Log(mobileNo, QStringLiteral(" Getting Party Information for Item Detail"));
        QString accountName, locationName, priceListCode, cgstCode, sgstCode, igstCode, partyType, countryCode;
        double discount = 0;
        if (!GetAccountInfo(accountCode, locationCode, accountName, locationName, priceListCode, cgstCode, sgstCode, igstCode,
                            discount, partyType, countryCode)) {
            ErrorText = QStringLiteral("Unable to get Party Information for Item Detail.") + engine::CRLF + ErrorText;
            return HandlerFailure(failureLine, action, mobileNo, nullptr);
        }
        Log(mobileNo, QStringLiteral(" Getting Calculation Information for Item Detail"));
        bool itemWiseGST = false, itemWiseDiscount = false;
        if (!GetCalculationFlags(setupType, itemWiseGST, itemWiseDiscount)) {
            ErrorText = QStringLiteral("Unable to get Calculation Information for Item Detail.") + engine::CRLF + ErrorText;
            return HandlerFailure(failureLine, action, mobileNo, nullptr);
        }

        JsonWriter data;
        MasterHead(data, action, mobileNo);

        // The party's values, each quoted once, go into the statements as they are built.
        const QString gstCode = QuoteSQL(intraState ? cgstCode : igstCode);
        const QString partySgst = QuoteSQL(sgstCode);
        const QString partyDiscount = platform::db::convert::NumberText(discount);
        const QString item = QuoteSQL(itemCode);

        bool found = false;
        if (!priceListCode.isEmpty()) {
            Log(mobileNo, QStringLiteral(" Generating Query for Item Detail from Pricelist Master"));
            QString sql = QStringLiteral("SELECT FaPriceListMaster.Rate, FaPriceListMaster.Per , ");
            if (itemWiseGST && intraState)
                sql += QStringLiteral("CASE WHEN FaPriceListMaster.CGSTCode <> '' THEN FaPriceListMaster.CGSTCode "
                                      "WHEN FaItemMaster.SalesCGSTCode <> '' THEN FaItemMaster.SalesCGSTCode ELSE '")
                       + gstCode
                       + QStringLiteral("' END AS GSTCode, CASE WHEN FaPriceListMaster.SGSTCode <> '' THEN FaPriceListMaster.SGSTCode "
                                        "WHEN FaItemMaster.SalesSGSTCode <> '' THEN FaItemMaster.SalesSGSTCode ELSE '")
                       + partySgst + QStringLiteral("' END AS SGSTCode ");
            else if (itemWiseGST)
                sql += QStringLiteral("CASE WHEN FaPriceListMaster.IGSTCode <> '' THEN FaPriceListMaster.IGSTCode "
                                      "WHEN FaItemMaster.SalesIGSTCode <> '' THEN FaItemMaster.SalesIGSTCode ELSE '")
                       + gstCode + QStringLiteral("' END AS GSTCode, '' AS SGSTCode ");
            else
                sql += QLatin1Char('\'') + gstCode + QStringLiteral("' AS GSTCode, '") + partySgst + QStringLiteral("' AS SGSTCode ");
            sql += QStringLiteral(", ");
            if (itemWiseDiscount)
                sql += QStringLiteral("CASE WHEN FaPriceListMaster.DiscPercentage <> 0 THEN FaPriceListMaster.DiscPercentage ELSE ")
                       + partyDiscount + QStringLiteral(" END AS DiscPercentage ");
            else
                sql += partyDiscount + QStringLiteral(" AS DiscPercentage ");
            sql += QStringLiteral("FROM FaPriceListMaster LEFT JOIN FaItemMaster ON FaPriceListMaster.ItemCode = FaItemMaster.ItemCode "
                                  "WHERE FaPriceListMaster.PriceListCode = '")
                   + QuoteSQL(priceListCode) + QStringLiteral("' AND FaPriceListMaster.ItemCode = '") + item + QStringLiteral("' ");
            Log(mobileNo, QStringLiteral(" Getting Records for Item Detail from Pricelist Master"));
            oRecordset.Open(sql, cnnCompany);
            found = !oRecordset.IsEOF();
            if (found)
                Log(mobileNo, QStringLiteral(" Getting data of Item Detail of Pricelist master to JSON "));
            else
                CloseRecordset();
        }
        if (!found) {
            Log(mobileNo, QStringLiteral(" Generating Query for Item Detail from Item Master"));
            const QString itemWise = itemWiseGST ? QStringLiteral("True") : QStringLiteral("False");
            QString sql = QStringLiteral("SELECT FaItemMaster.SalesRate AS Rate, FaItemMaster.SalesRatePer AS Per , ");
            if (intraState)
                sql += QStringLiteral("CASE WHEN '") + itemWise
                       + QStringLiteral("' = 'True' AND FaItemMaster.SalesCGSTCode <> '' THEN FaItemMaster.SalesCGSTCode ELSE '") + gstCode
                       + QStringLiteral("' END AS GSTCode, CASE WHEN '") + itemWise
                       + QStringLiteral("' = 'True' AND FaItemMaster.SalesSGSTCode <> '' THEN FaItemMaster.SalesSGSTCode ELSE '")
                       + partySgst + QStringLiteral("' END AS SGSTCode ");
            else
                sql += QStringLiteral("CASE WHEN '") + itemWise
                       + QStringLiteral("' = 'True' AND FaItemMaster.SalesIGSTCode <> '' THEN FaItemMaster.SalesIGSTCode ELSE '") + gstCode
                       + QStringLiteral("' END AS GSTCode, '' AS SGSTCode ");
            sql += QStringLiteral(", ") + partyDiscount + QStringLiteral(" AS DiscPercentage FROM FaItemMaster WHERE FaItemMaster.ItemCode = '")
                   + item + QStringLiteral("' ");
            Log(mobileNo, QStringLiteral(" Getting Records for Item Detail from Item Master"));
            oRecordset.Open(sql, cnnCompany);
            Log(mobileNo, QStringLiteral(" Getting data of Item Detail of Item Master to JSON "));
        }
        while (!oRecordset.IsEOF()) {
            data.BeginObject();
            data.Number("Rate", engine::ValueNumber(oRecordset.Field(QStringLiteral("Rate"))));
            data.Number("Per", engine::ValueNumber(oRecordset.Field(QStringLiteral("Per"))));
            data.String("CGCd", engine::ValueText(oRecordset.Field(QStringLiteral("GSTCode"))));
            data.String("SGCd", engine::ValueText(oRecordset.Field(QStringLiteral("SGSTCode"))));
            data.Number("DisPer", engine::ValueNumber(oRecordset.Field(QStringLiteral("DiscPercentage"))));
            data.EndObject();
            oRecordset.MoveNext();
        }
        CloseRecordset();
        Log(mobileNo, QStringLiteral(" Returning Item Detail Data from JSON Object to Text"));
        return MasterReply(data);
    } catch (const RuntimeError& error) {
        CloseRecordset();
        return HandlerFailure(failureLine, action, mobileNo, &error);
    }
}

// ---- GST supply types and codes -------------------------------------------------------------------------

QByteArray clsClient::GetSupplyTypes(const JsonObject& request)
{
    ErrorText.clear();
    const QString action = engine::ActionOf(request);
    const QString mobileNo = engine::MobileOf(request);
    const QString failureLine = engine::FixedSubject("GST SupplyTypes");
    try {
        const QString accountCode = Key(request, "AccountCode");
        const QString locationCode = Key(request, "AccountLocationCode");
        const QString branchCode = Key(request, "BranchCode");
        Log(mobileNo, QStringLiteral(" Getting GST Supply Types"));
        MasterRights rights;
        if (!MasterOpen(request, mobileNo, rights))
            return HandlerFailure(failureLine, action, mobileNo, nullptr);

        bool sezUnit = false, unionTerritory = false;
        QString stateCode;
        if (!MasterPlaceOfSupply(mobileNo, branchCode, QStringLiteral(" Getting Branch Information for GST Supply Types"),
                                 QStringLiteral("Unable to get Branch Information for GST Supply Types."),
                                 QStringLiteral(" Getting Company Information for GST Supply Types"),
                                 QStringLiteral("Unable to get Compoany Information for GST Supply Types."), sezUnit, stateCode,
                                 unionTerritory))
            return HandlerFailure(failureLine, action, mobileNo, nullptr);

        Log(mobileNo, QStringLiteral(" Getting Party Information for GST Supply Types"));
        QString accountName, locationName, priceListCode, cgstCode, sgstCode, igstCode, partyType, countryCode;
        double discount = 0;
        if (!GetAccountInfo(accountCode, locationCode, accountName, locationName, priceListCode, cgstCode, sgstCode, igstCode,
                            discount, partyType, countryCode)) {
            ErrorText = QStringLiteral("Unable to get Party Information for GST Supply Types.") + engine::CRLF + ErrorText;
            return HandlerFailure(failureLine, action, mobileNo, nullptr);
        }

        JsonWriter data;
        MasterHead(data, action, mobileNo);
        const bool domestic = partyType != QLatin1String("SEZ") && !sezUnit
                              && (countryCode.isEmpty() || countryCode == QLatin1String("IN"));
        struct SupplyType {
            const char* code;
            const char* description;
        };
        static const SupplyType domesticTypes[] = {{"IS", "Intra State (Within State)"}, {"OS", "Inter State (Out of State)"}};
        static const SupplyType exportTypes[] = {{"ED", "Export With Duty"}, {"EW", "Export Without Duty"}};
        Log(mobileNo, domestic ? QStringLiteral(" Getting Data of GST Supply Types for IntraState/InterState to JSON")
                               : QStringLiteral(" Getting Data of GST Supply Types for SEZ/EXPORT to JSON"));
        for (const SupplyType& type : domestic ? domesticTypes : exportTypes) {
            data.BeginObject();
            data.String("SupTy", QString::fromLatin1(type.code));
            data.String("SupDes", QString::fromLatin1(type.description));
            data.EndObject();
        }
        CloseRecordset();
        Log(mobileNo, QStringLiteral(" Returning GST Supply Types Data from JSON Object to Text"));
        return MasterReply(data);
    } catch (const RuntimeError& error) {
        CloseRecordset();
        return HandlerFailure(failureLine, action, mobileNo, &error);
    }
}

QByteArray clsClient::GetGSTList(const JsonObject& request)
{
    ErrorText.clear();
    const QString action = engine::ActionOf(request);
    const QString mobileNo = engine::MobileOf(request);
    const QString failureLine = engine::FixedSubject("GST List");
    try {
        const QString branchCode = Key(request, "BranchCode");
        const bool intraState = Key(request, "GSTSupplyType") == QLatin1String("IS");
        const QString fieldName = Key(request, "FieldName");
        const QString initials = Key(request, "Initials");
        Log(mobileNo, QStringLiteral(" Getting GST List"));
        MasterRights rights;
        if (!MasterOpen(request, mobileNo, rights))
            return HandlerFailure(failureLine, action, mobileNo, nullptr);

        bool sezUnit = false, unionTerritory = false;
        QString stateCode;
        if (!MasterPlaceOfSupply(mobileNo, branchCode, QStringLiteral(" Getting Branch Information for GST List"),
                                 QStringLiteral("Unable to get Branch Information for GST List."),
                                 QStringLiteral(" Getting Company Information for GST List"),
                                 QStringLiteral("Unable to get Compoany Information for GST List."), sezUnit, stateCode,
                                 unionTerritory))
            return HandlerFailure(failureLine, action, mobileNo, nullptr);

        JsonWriter data;
        MasterHead(data, action, mobileNo);

        Log(mobileNo, QStringLiteral(" Generating Query for GST List"));
        QString sql = QStringLiteral("SELECT FaGSTMaster.GSTCode, FaGSTMaster.GSTDescription FROM FaGSTMaster "
                                     "WHERE FaGSTMaster.GSTDescription LIKE '")
                      + Prefix(initials);
        // The field's categories: the central or integrated code, or the state's half (the union
        // territory's in a union territory).
        if (fieldName == QLatin1String("GSTCode"))
            sql += QStringLiteral("AND Left(FaGSTMaster.GSTCategory, 4) IN ('CGST','IGST') ");
        else if (fieldName == QLatin1String("SGSTCode"))
            sql += unionTerritory ? QStringLiteral("AND Left(FaGSTMaster.GSTCategory, 4) = 'UGST' ")
                                  : QStringLiteral("AND Left(FaGSTMaster.GSTCategory, 4) = 'SGST' ");
        sql += intraState ? QStringLiteral("AND Left(FaGSTMaster.GSTCategory, 4) IN ('CGST','SGST','UGST') ")
                          : QStringLiteral("AND Left(FaGSTMaster.GSTCategory, 4) = 'IGST' ");
        sql += QStringLiteral("ORDER BY FaGSTMaster.GSTDescription ");
        Log(mobileNo, QStringLiteral(" Getting Records for GST List"));
        oRecordset.Open(sql, cnnCompany);
        Log(mobileNo, QStringLiteral(" Getting data of GST List to JSON "));
        while (!oRecordset.IsEOF()) {
            data.BeginObject();
            data.String("GSTCd", engine::ValueText(oRecordset.Field(QStringLiteral("GSTCode"))));
            data.String("GSTDes", engine::ValueText(oRecordset.Field(QStringLiteral("GSTDescription"))));
            data.EndObject();
            oRecordset.MoveNext();
        }
        CloseRecordset();
        Log(mobileNo, QStringLiteral(" Returning GST List Data from JSON Object to Text"));
        return MasterReply(data);
    } catch (const RuntimeError& error) {
        CloseRecordset();
        return HandlerFailure(failureLine, action, mobileNo, &error);
    }
}

QByteArray clsClient::GetGSTDetail(const JsonObject& request)
{
    ErrorText.clear();
    const QString action = engine::ActionOf(request);
    const QString mobileNo = engine::MobileOf(request);
    const QString failureLine = engine::FixedSubject("GST Detail");
    try {
        const QString gstCode = Key(request, "GSTCode");
        Log(mobileNo, QStringLiteral(" Getting GST Detail"));
        MasterRights rights;
        if (!MasterOpen(request, mobileNo, rights))
            return HandlerFailure(failureLine, action, mobileNo, nullptr);

        JsonWriter data;
        MasterHead(data, action, mobileNo);

        Log(mobileNo, QStringLiteral(" Generating Query for GST Detail"));
        const QString sql = QStringLiteral("SELECT FaGSTMaster.GSTDescription, FaGSTMaster.GSTPercentage, FaGSTMaster.SGSTCode "
                                           "FROM FaGSTMaster WHERE FaGSTMaster.GSTCode = '")
                            + QuoteSQL(gstCode) + QStringLiteral("' ");
        Log(mobileNo, QStringLiteral(" Getting Records for GST Detail"));
        oRecordset.Open(sql, cnnCompany);
        Log(mobileNo, QStringLiteral(" Getting data of GST Detail to JSON "));
        while (!oRecordset.IsEOF()) {
            data.BeginObject();
            data.String("GSTDes", engine::ValueText(oRecordset.Field(QStringLiteral("GSTDescription"))));
            data.Number("GSTPer", engine::ValueNumber(oRecordset.Field(QStringLiteral("GSTPercentage"))));
            data.String("SGCD", engine::ValueText(oRecordset.Field(QStringLiteral("SGSTCode"))));
            data.EndObject();
            oRecordset.MoveNext();
        }
        CloseRecordset();
        Log(mobileNo, QStringLiteral(" Returning GST Detail Data from JSON Object to Text"));
        return MasterReply(data);
    } catch (const RuntimeError& error) {
        CloseRecordset();
        return HandlerFailure(failureLine, action, mobileNo, &error);
    }
}
