// The services that the action handlers share within one request, on the company database the
// handler opened. Each query runs on the request's one recordset and closes it again before it
// returns, on success and on failure alike.

#include "clsClient.h"

#include "EngineSupport.h"
#include "settings/GeneralFunction.h"

#include <cstring>

using platform::RuntimeError;
using GeneralFunction::QuoteSQL;

namespace {
// The state codes of the union territories, as the company row gives them ('0' + the stored
// two-digit code) and as a branch stores them (three digits).
const QString kCompanyUnionTerritories = QStringLiteral("01,06,07,08,17,25,38");
const QString kBranchUnionTerritories = QStringLiteral("001,006,007,008,017,025,038");
}  // namespace

bool clsClient::CheckUser(const QString& userID, const QString& password, bool& isSupervisor, QString& branchCodes,
                          QString& storeCodes, QString& accountGroupCodes)
{
    return RunQuery([&] {
        const QString encoded = GeneralFunction::EncodeText(password.toUpper(), false, 173);
        const QString sql = QStringLiteral("SELECT IsSupervisor, BranchCodes, StoreCodes, AccountGroupCodes FROM stdUsers WHERE UserID = '")
                            + QuoteSQL(userID) + QStringLiteral("' AND Password = '") + QuoteSQL(encoded)
                            + QStringLiteral("' AND Locked = 'False' ");
        oRecordset.Open(sql, cnnCompany);
        if (oRecordset.IsEOF())
            return false;
        isSupervisor = oRecordset.Field(QStringLiteral("IsSupervisor")).ToBool();
        branchCodes = engine::QuotedList(oRecordset.Field(QStringLiteral("BranchCodes")).ToText());
        storeCodes = engine::QuotedList(oRecordset.Field(QStringLiteral("StoreCodes")).ToText());
        accountGroupCodes = engine::QuotedList(oRecordset.Field(QStringLiteral("AccountGroupCodes")).ToText());
        return true;
    });
}

bool clsClient::GetCompanyInfo(bool& pBranchRequired, bool& pSeriesRequired, QDate& pStartDate, QDate& pLastDate,
                               bool& pSEZUnit, QString& pStateCode, bool& pUnionTerritory)
{
    return RunQuery([&] {
        const QString sql = QStringLiteral("SELECT Company.BranchRequired, Company.SeriesRequired, Company.StartDate, "
                                           "Company.LastDate, Company.SEZUnit, '0'")
                            + cnnCompany.dialect().Concat() + QStringLiteral("Company.StateCode AS StateCode FROM Company ");
        oRecordset.Open(sql, cnnCompany);
        // The first row is read without a test: a company database without its Company row fails
        // with the reading error.
        pBranchRequired = oRecordset.Field(QStringLiteral("BranchRequired")).ToBool();
        pSeriesRequired = oRecordset.Field(QStringLiteral("SeriesRequired")).ToBool();
        pStartDate = oRecordset.Field(QStringLiteral("StartDate")).ToDate();
        pLastDate = oRecordset.Field(QStringLiteral("LastDate")).ToDate();
        pSEZUnit = oRecordset.Field(QStringLiteral("SEZUnit")).ToBool();
        pStateCode = oRecordset.Field(QStringLiteral("StateCode")).ToText();
        pUnionTerritory = engine::IsCodeInList(pStateCode, kCompanyUnionTerritories);
        return true;
    });
}

bool clsClient::GetBranchInfo(const QString& branchCode, bool& sezUnit, QString& stateCode, bool& unionTerritory)
{
    return RunQuery([&] {
        const QString sql = QStringLiteral("SELECT FaBranchMaster.SEZUnit, FaBranchMaster.StateCode FROM FaBranchMaster "
                                           "WHERE FaBranchMaster.BranchCode = '")
                            + QuoteSQL(branchCode) + QStringLiteral("' ");
        oRecordset.Open(sql, cnnCompany);
        sezUnit = oRecordset.Field(QStringLiteral("SEZUnit")).ToBool();
        stateCode = oRecordset.Field(QStringLiteral("StateCode")).ToText();
        unionTerritory = engine::IsCodeInList(stateCode, kBranchUnionTerritories);
        return true;
    });
}

bool clsClient::CheckValidDates(const QDate& companyStart, const QDate& companyLast, const QDate& startDate,
                                const QDate& lastDate, bool sameYear)
{
    QString message;
    if (engine::IsEmptyDate(startDate))
        message = QStringLiteral("Start Date is Blank.");
    else if (engine::IsEmptyDate(lastDate))
        message = QStringLiteral("Last Date is Blank.");
    else if (startDate < companyStart)
        message = QStringLiteral("Start Date is before Company Start Date.");
    else if (lastDate > companyLast)
        message = QStringLiteral("Last Date is After Company Last Date.");
    else if (startDate > lastDate)
        message = QStringLiteral("Start Date is After Last Date.");
    else if (sameYear) {
        // Only the first anniversary of the company's start splits the years.
        const QDate anniversary = companyStart.addYears(1);
        if (startDate < anniversary && lastDate >= anniversary)
            message = QStringLiteral("Start & Last date must be from same financial year.");
    }
    if (message.isEmpty())
        return true;
    ErrorText = message;
    return false;
}

bool clsClient::GetCompanyYearDates(const QDate& today, QDate& startDate, QDate& lastDate)
{
    return RunQuery([&] {
        const QString condition = QStringLiteral("@pTodaysDate >= DateAdd(yyyy, 1, Company.StartDate) AND "
                                                 "DateAdd(yyyy, 1, Company.StartDate) < Company.LastDate");
        const QString sql = QStringLiteral("SELECT ") + QStringLiteral("CASE WHEN ") + condition
                            + QStringLiteral(" THEN DateAdd(yyyy, 1, Company.StartDate) ELSE Company.StartDate END AS StartDate, ")
                            + QStringLiteral("CASE WHEN ") + condition
                            + QStringLiteral(" THEN Company.LastDate ELSE DateAdd(day, -1, DateAdd(yyyy, 1, Company.StartDate)) END AS LastDate ")
                            + QStringLiteral("FROM Company ");
        const QString statement = GeneralFunction::ReplaceParameters(
            sql, {QStringLiteral("pTodaysDate"), cnnCompany.dialect().DateLiteral(today)});
        oRecordset.Open(statement, cnnCompany);
        startDate = oRecordset.Field(QStringLiteral("StartDate")).ToDate();
        lastDate = oRecordset.Field(QStringLiteral("LastDate")).ToDate();
        return true;
    });
}

bool clsClient::GetAccountInfo(const QString& accountCode, const QString& locationCode, QString& accountName,
                               QString& accountLocationName, QString& priceListCode, QString& gstCode, QString& sgstCode,
                               QString& igstCode, double& discPercentage, QString& gstPartyType, QString& countryCode)
{
    return RunQuery([&] {
        const QString location = locationCode.isEmpty() ? QStringLiteral("001") : locationCode;
        // The location is a condition of the join, so that an account without a row for that
        // location still gives its name, with empty location values.
        const QString sql =
            QStringLiteral("SELECT FaAccountMaster.AccountName, "
                           "IsNull(FaAccountAddressMaster.AccountLocationName, '') AS AccountLocationName, "
                           "IsNull(FaAccountAddressMaster.PriceListCode, '') AS PriceListCode, "
                           "IsNull(FaAccountAddressMaster.CGSTCode, '') AS GSTCode, "
                           "IsNull(FaAccountAddressMaster.SGSTCode, '') AS SGSTCode, "
                           "IsNull(FaAccountAddressMaster.IGSTCode, '') AS IGSTCode, "
                           "IsNull(FaAccountAddressMaster.DiscPercentage, 0) AS DiscPercentage, "
                           "IsNull(FaAccountAddressMaster.GSTPartyType, '') AS GSTPartyType, "
                           "IsNull(FaAccountAddressMaster.CountryCode, '') AS CountryCode "
                           "FROM FaAccountMaster LEFT JOIN FaAccountAddressMaster ON "
                           "FaAccountMaster.AccountCode = FaAccountAddressMaster.AccountCode "
                           "AND FaAccountAddressMaster.AccountLocationCode = '")
            + QuoteSQL(location) + QStringLiteral("' WHERE FaAccountMaster.AccountCode = '") + QuoteSQL(accountCode)
            + QStringLiteral("' ");
        oRecordset.Open(sql, cnnCompany);
        accountName = oRecordset.Field(QStringLiteral("AccountName")).ToText();
        const QString locationName = oRecordset.Field(QStringLiteral("AccountLocationName")).ToText();
        accountLocationName = locationCode.isEmpty() ? QString() : locationName;
        priceListCode = oRecordset.Field(QStringLiteral("PriceListCode")).ToText();
        gstCode = oRecordset.Field(QStringLiteral("GSTCode")).ToText();
        sgstCode = oRecordset.Field(QStringLiteral("SGSTCode")).ToText();
        igstCode = oRecordset.Field(QStringLiteral("IGSTCode")).ToText();
        discPercentage = oRecordset.Field(QStringLiteral("DiscPercentage")).ToDouble();
        gstPartyType = oRecordset.Field(QStringLiteral("GSTPartyType")).ToText();
        countryCode = oRecordset.Field(QStringLiteral("CountryCode")).ToText();
        return true;
    });
}

bool clsClient::GetItemInfo(const QString& itemCode, QString& itemName, QString& unit)
{
    return RunQuery([&] {
        const QString sql = QStringLiteral("SELECT FaItemMaster.ItemName, FaItemmaster.Unit FROM FaItemMaster "
                                           "WHERE FaItemMaster.ItemCode = '")
                            + QuoteSQL(itemCode) + QStringLiteral("' ");
        oRecordset.Open(sql, cnnCompany);
        itemName = oRecordset.Field(QStringLiteral("ItemName")).ToText();
        unit = oRecordset.Field(QStringLiteral("Unit")).ToText();
        return true;
    });
}

bool clsClient::CheckUserOptionRight(const QString& userID, const QString& documentType)
{
    try {
        const QString sql = QStringLiteral("SELECT stdDocumentTypeMaster.OptionCode FROM stdDocumentTypeMaster "
                                           "INNER JOIN stdUserOption ON stdDocumentTypeMaster.OptionCode = stdUserOption.OptionNumber "
                                           "WHERE stdUserOption.UserID = '")
                            + QuoteSQL(userID) + QStringLiteral("' AND stdDocumentTypeMaster.DocumentType = '")
                            + QuoteSQL(documentType) + QStringLiteral("' ");
        oRecordset.Open(sql, cnnCompany);
        const bool result = !oRecordset.IsEOF();
        CloseRecordset();
        return result;
    } catch (const RuntimeError&) {
        // The caller's failure block reports the error.
        CloseRecordset();
        throw;
    }
}

QString clsClient::GetTableName(const QString& documentType, const QString& tableKind)
{
    struct Tables {
        const char* types;  // the document types, comma-separated
        const char* d;
        const char* p;
        const char* s;
        const char* a;
        const char* other;
    };
    static const Tables tables[] = {
        {"INV,CMO,CDN,CCN", "FaSalesInvoiceRegister", "FaSalesInvoiceProducts", "FaSalesInvoiceProducts",
         "FaSalesInvoiceProducts", "FaSalesInvoiceProducts"},
        {"PUR,CPU,SCN,SDN", "FaPurchaseBillRegister", "FaPurchaseBillProducts", "FaPurchaseBillProducts",
         "FaPurchaseBillProducts", "FaPurchaseBillProducts"},
        {"SNT", "FaSaleNoteRegister", "FaSaleNoteProducts", "FaSaleNoteProducts", "FaSaleNoteProducts", "FaSaleNoteProducts"},
        {"SAO", "FaSalesOrderRegister", "FaSalesOrderProducts", "FaSalesOrderSchedule", "FaSalesOrderSchedule",
         "FaSalesOrderSchedule"},
        {"PUO", "FaPurchaseOrderRegister", "FaPurchaseOrderProducts", "FaPurchaseOrderSchedule", "FaPurchaseOrderSchedule",
         "FaPurchaseOrderSchedule"},
        {"GIN", "FaGoodsInwardRegister", "FaGoodsInwardProducts", "FaGoodsInwardProducts", "FaGoodsInwardProducts",
         "FaGoodsInwardProducts"},
        {"CLN", "FaDeliveryChallanRegister", "FaDeliveryChallanProducts", "FaDeliveryChallanProducts",
         "FaDeliveryChallanProducts", "FaDeliveryChallanProducts"},
        {"ISU,RET", "FaIssueRegister", "FaIssueProducts", "FaIssueProducts", "FaIssueProducts", "FaIssueProducts"},
        {"PRE", "FaProductionRegister", "FaProductionProducts", "FaProductionProducts", "FaProductionProducts",
         "FaProductionProducts"},
        {"EXC,SCR", "FaItemLedger", "FaItemLedger", "FaItemLedger", "FaItemLedger", "FaItemLedger"},
        {"BRE,BPA,CRE,CPA,PTY,JOV,EXP", "FaAccountLedger", "FaAccountLedger", "FaAccountLedger", "FaOSReg",
         "FaAccountLedger"},
    };
    // Type and kind compare exactly, case-sensitive; the lists are walked in place (a document
    // asks for its tables once for each line).
    const auto listed = [&](const char* types) {
        for (const char* entry = types;;) {
            const char* end = std::strchr(entry, ',');
            const qsizetype length = end ? end - entry : static_cast<qsizetype>(std::strlen(entry));
            if (documentType == QLatin1StringView(entry, length))
                return true;
            if (!end)
                return false;
            entry = end + 1;
        }
    };
    for (const Tables& row : tables) {
        if (!listed(row.types))
            continue;
        if (tableKind == QLatin1String("D"))
            return QString::fromLatin1(row.d);
        if (tableKind == QLatin1String("P"))
            return QString::fromLatin1(row.p);
        if (tableKind == QLatin1String("S"))
            return QString::fromLatin1(row.s);
        if (tableKind == QLatin1String("A"))
            return QString::fromLatin1(row.a);
        return QString::fromLatin1(row.other);
    }
    return QString();
}
