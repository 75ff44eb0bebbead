#include "DocumentSupport.h"

#include "ActionSkeleton.h"

#include <QStringList>
#include <utility>
#include <vector>

namespace documents {

const FieldRow kExpenseFields[6] = {
    {"BillNo", "Bill No.", "S"},           {"BillDate", "Bill Date", "D"}, {"CrpDueDate", "Crp & DueDt", "S"},
    {"Description", "Descr.", "S"},        {"Quantity", "Quantity", "N"},  {"GSTTransactionID", "GST Tran.ID", "S"},
};

const FieldRow kTradingFields[18] = {
    {"BillNo", "Bill No.", "S"},
    {"BillDate", "Bill Date", "D"},
    {"CrpDueDate", "Crp & DueDt", "S"},
    {"OrderNo", "Order No.", "S"},
    {"OrderDate", "Order Date", "D"},
    {"QuotationNo", "Quot. No.", "S"},
    {"QuotationDate", "Quot. Date", "D"},
    {"DispatchFromName", "Dispatch From", "S"},
    {"DispatchFromLocationName", "Dispatch Location", "S"},
    {"ConsigneeName", "Ship To", "S"},
    {"ConsigneeLocationName", "Ship Location", "S"},
    {"AgentName", "Agent", "S"},
    {"SalesmanName", "Salesman", "S"},
    {"CommPercentage", "Com.%", "N"},
    {"CommissionAmount", "Comm.Amount", "N"},
    {"GSTTransactionID", "eInvoice AckNo.", "S"},
    {"GSTTransactionDateTime", "eInvoice AckDt", "D"},
    {"GSTIRNNo", "eInvoice IRN", "S"},
};

const FieldRow kProductionFields[36] = {
    {"IssueStoreName", "Issue Store", "S"},
    {"ReceiveStoreName", "Receive Store", "S"},
    {"ProductStoreName", "Prod.Store", "S"},
    {"ProductName", "Prod.Item", "S"},
    {"ProductColorName", "Prod.Color", "S"},
    {"ProductSizeName", "Prod.Size", "S"},
    {"ProcessName", "Process", "S"},
    {"BatchQuantity", "Batch Qty", "N"},
    {"ProductQuantity", "Prod.Qty", "N"},
    {"WODocumentYear", "WO Year", "N"},
    {"WOBranchName", "WO Branch", "S"},
    {"WOSeriesName", "WO Series", "S"},
    {"WODocumentNo", "WO Doc.No.", "S"},
    {"DepartmentName", "Department", "S"},
    {"MachineName", "Machine", "S"},
    {"EmployeeName", "Employee", "S"},
    {"ShiftCode", "Shift", "S"},
    {"ProductionStartDate", "Prod.Start Dt.", "D"},
    {"ProductionStartTime", "Prod.Start Tm.", "D"},
    {"ProductionEndDate", "Prod.End Dt.", "D"},
    {"ProductionEndTime", "Prod.End Tm.", "D"},
    {"GSTTransactionID", "GST Tran.ID", "S"},
    {"GSTTransactionType", "GST Tran.Ty", "S"},
    {"BENo", "BE No.", "S"},
    {"BEDate", "BE Date", "D"},
    {"PortCode", "Port Code", "S"},
    {"MaterialCost", "Material Cost", "N"},
    {"LabourRate", "Labour Rate", "N"},
    {"LabourHours", "Labour Hours", "N"},
    {"LabourCost", "Labour Cost", "N"},
    {"FactoryCost", "Factory Cost", "N"},
    {"AdminCost", "Admin Cost", "N"},
    {"OtherCost", "Other Cost", "N"},
    {"TotalCost", "Total Cost", "N"},
    {"CostRate", "Unit Cost Rate", "N"},
    {"CostAmount", "Cost Amount", "N"},
};

const FieldRow kClosingFields[9] = {
    {"TransporterName", "Transport", "S"},
    {"LRNo", "LR No.", "S"},
    {"LRDate", "LR Date", "D"},
    {"VehicleNo", "Vehicle No.", "S"},
    {"GSTSupplyTypeName", "GST SupplyType", "S"},
    {"GSTPOSStateName", "GST PlaceOfSupply", "S"},
    {"GSTeWAYBillNo", "eWayBill No.", "S"},
    {"GSTeWayBillDate", "eWayBill Dt.", "D"},
    {"GSTeWayBillValidUpTo", "eWayBill Valid", "D"},
};

namespace {

using Join = std::pair<const char*, const char*>;

// The nested form of the product's joins: one "(" for each join but the last, the base, and each
// join but the last closed by ") ".
QString Nested(const QString& base, const std::vector<Join>& joins)
{
    QString source = QString(static_cast<qsizetype>(joins.size() - 1), QLatin1Char('(')) + base;
    for (size_t i = 0; i < joins.size(); ++i)
        source += QLatin1String(joins[i].first) + QLatin1String(joins[i].second)
                  + (i + 1 < joins.size() ? QStringLiteral(") ") : QStringLiteral(" "));
    return source;
}

const Join kBranchJoin{"LEFT JOIN FaBranchMaster AS BranchMaster ON ", "Register.BranchCode = BranchMaster.BranchCode"};
const Join kSeriesJoin{"LEFT JOIN FaSeriesMaster AS SeriesMaster ON ",
                       "Register.DocumentType = SeriesMaster.DocumentType AND Register.SeriesCode = SeriesMaster.SeriesCode"};
const Join kDocumentTypeJoin{"LEFT JOIN stdDocumentTypeMaster AS DocumentTypeMaster ON ",
                             "Register.DocumentType = DocumentTypeMaster.DocumentType"};

const char* const kSupplyTypeName =
    "CASE %1.GSTSupplyType WHEN 'IS' THEN 'Intra-State' WHEN 'OS' THEN 'Inter-State' WHEN 'ED' THEN 'Export With Duty' "
    "WHEN 'EW' THEN 'Export Without Duty' WHEN 'IM' THEN 'Import' WHEN 'NA' THEN 'GST Not Applicable' ELSE '' END "
    "AS GSTSupplyTypeName ";

const char* const kJobWorkCase =
    "CASE Register.GSTTransactionType WHEN 'RECJW' THEN 'Received from Jobworker' WHEN 'ISUJW' THEN 'Sent for JobWork' "
    "WHEN 'ISUST' THEN 'Stock Transfer' WHEN 'ISUJW2' THEN 'Sent To Another JobWorker' WHEN 'PREJW' THEN 'Production at "
    "Jobworker' WHEN 'RECJW2' THEN 'Received from Another Jobworker' ELSE '' END AS GSTTransactionType ";

// The credit days, " - " and the due date (the date plus the credit days, "yyyy-mm-dd"), as text
// on both databases; credit days that are NULL count as 0.
QString CreditAndDueDate(const QString& creditDays, const QString& documentDate, const platform::db::Dialect& dialect)
{
    const QString days = QStringLiteral("IsNull(") + creditDays + QStringLiteral(", 0)");
    return QLatin1Char('(')
           + dialect.Concat({QStringLiteral("CONVERT(VARCHAR(10), CONVERT(INT, ") + days + QStringLiteral("))"),
                             QStringLiteral("' - '"),
                             QStringLiteral("CONVERT(VARCHAR(10), DATEADD(dd, ") + days + QStringLiteral(", ") + documentDate
                                 + QStringLiteral("), 120)")})
           + QLatin1Char(')');
}

}  // namespace

QString HeaderStatement(const QString& type, const QString& table, const platform::db::Dialect& dialect)
{
    const QString base = table + QStringLiteral(" AS Register ");
    const QStringList trading = kTradingList.split(QLatin1Char(','));
    if (trading.contains(type)) {
        QString columns =
            QStringLiteral("SELECT Register.*, DocumentTypeMaster.DocumentDescription, AccountMaster.AccountName, "
                           "IsNull(AccountAddress.AccountLocationName, '') AS AccountLocationName, "
                           "IsNull(AccountContacts.ContactPerson, '') AS AccountContactPerson, "
                           "IsNull(ConsigneeMaster.AccountName, '') AS ConsigneeName, "
                           "IsNull(ConsigneeAddress.AccountLocationName, '') AS ConsigneeLocationName, "
                           "IsNull(SalesmanMaster.SalesmanName, '') AS SalesmanName, "
                           "IsNull(AgentMaster.AgentName, '') AS AgentName, "
                           "IsNull(BranchMaster.BranchName, '') AS BranchName, "
                           "IsNull(SeriesMaster.SeriesName, '') AS SeriesName, ")
            + CreditAndDueDate(QStringLiteral("Register.CreditPeriod"), QStringLiteral("Register.DocumentDate"), dialect)
            + QStringLiteral(" AS CrpDueDate, ") + QString::fromLatin1(kSupplyTypeName).arg(QStringLiteral("Register"));
        QString source = Nested(
            base,
            {{"LEFT JOIN FaAccountMaster AS AccountMaster ON ", "Register.AccountCode = AccountMaster.AccountCode"},
             {"LEFT JOIN FaAccountAddressMaster AS AccountAddress ON ",
              "Register.AccountCode = AccountAddress.AccountCode AND Register.AccountLocationCode = AccountAddress.AccountLocationCode"},
             {"LEFT JOIN FaAccountContacts AS AccountContacts ON ",
              "Register.AccountCode = AccountContacts.AccountCode AND Register.AccountLocationCode = AccountContacts.AccountLocationCode "
              "AND Register.AccountContactCode = AccountContacts.AccountContactCode"},
             {"LEFT JOIN FaAccountMaster AS ConsigneeMaster ON ", "Register.ConsigneeCode = ConsigneeMaster.AccountCode"},
             {"LEFT JOIN FaAccountAddressMaster AS ConsigneeAddress ON ",
              "Register.ConsigneeCode = ConsigneeAddress.AccountCode AND Register.ConsigneeLocationCode = "
              "ConsigneeAddress.AccountLocationCode"},
             {"LEFT JOIN FaSalesmanMaster AS SalesmanMaster ON ", "Register.SalesmanCode = SalesmanMaster.SalesmanCode"},
             {"LEFT JOIN FaAgentMaster AS AgentMaster ON ", "Register.AgentCode = AgentMaster.AgentCode"},
             kBranchJoin, kSeriesJoin, kDocumentTypeJoin});
        const QStringList dispatching = {QStringLiteral("INV"), QStringLiteral("CMO"), QStringLiteral("CDN"), QStringLiteral("CCN"),
                                         QStringLiteral("CLN")};
        if (dispatching.contains(type)) {
            columns += QStringLiteral(", IsNull(DispatchFromMaster.AccountName, '') AS DispatchFromName, "
                                      "IsNull(DispatchFromAddress.AccountLocationName, '') AS DispatchFromLocationName ");
            source = QStringLiteral("((") + source
                     + QStringLiteral(") LEFT JOIN FaAccountMaster AS DispatchFromMaster ON "
                                      "Register.DispatchFromCode = DispatchFromMaster.AccountCode) "
                                      "LEFT JOIN FaAccountAddressMaster AS DispatchFromAddress ON "
                                      "Register.DispatchFromCode = DispatchFromAddress.AccountCode AND "
                                      "Register.DispatchFromLocationCode = DispatchFromAddress.AccountLocationCode ");
        }
        const QStringList placeOfSupply = QStringLiteral("INV,CMO,CDN,CCN,PUR,CPU,SCN,SDN,SNT").split(QLatin1Char(','));
        if (placeOfSupply.contains(type)) {
            columns += QStringLiteral(", IsNull(POSStateMaster.StateName, '') AS GSTPOSStateName ");
            source = QLatin1Char('(') + source
                     + QStringLiteral(") LEFT JOIN FaStateMaster AS POSStateMaster ON Register.GSTPlaceOfSupply = POSStateMaster.StateCode ");
        }
        return columns + QStringLiteral("FROM ") + source;
    }
    if (type == QLatin1String("PRE")) {
        const QString columns =
            QStringLiteral("SELECT Register.*, DocumentTypeMaster.DocumentDescription, "
                           "IsNull(BranchMaster.BranchName, '') AS BranchName, IsNull(SeriesMaster.SeriesName, '') AS SeriesName, "
                           "IsNull(ProductStoreMaster.StoreName, '') AS ProductStoreName, "
                           "IsNull(ProductMaster.ItemName, '') AS ProductName, "
                           "IsNull(ProductColorMaster.ColorName, '') AS ProductColorName, "
                           "IsNull(ProductSizeMaster.SizeName, '') AS ProductSizeName, "
                           "IsNull(ProcessMaster.ProcessName, '') AS ProcessName, "
                           "IsNull(WOBranchMaster.BranchName, '') AS WOBranchName, "
                           "IsNull(WOSeriesMaster.SeriesName, '') AS WOSeriesName, "
                           "IsNull(DepartmentMaster.DepartmentName, '') AS DepartmentName, "
                           "IsNull(MachineMaster.MachineName, '') AS MachineName, "
                           "IsNull(EmployeeMaster.EmployeeName, '') AS EmployeeName, ")
            + QString::fromLatin1(kJobWorkCase);
        const QString source = Nested(
            base,
            {{"LEFT JOIN FaStoreMaster AS ProductStoreMaster ON ", "Register.ProductStoreCode = ProductStoreMaster.StoreCode"},
             {"LEFT JOIN FaItemMaster AS ProductMaster ON ", "Register.ProductCode = ProductMaster.ItemCode"},
             {"LEFT JOIN FaColorMaster AS ProductColorMaster ON ", "Register.ProductColorCode = ProductColorMaster.ColorCode"},
             {"LEFT JOIN FaSizeMaster AS ProductSizeMaster ON ", "Register.ProductSizeCode = ProductSizeMaster.SizeCode"},
             {"LEFT JOIN FaProcessMaster AS ProcessMaster ON ", "Register.ProcessCode = ProcessMaster.ProcessCode"},
             {"LEFT JOIN FaDepartmentMaster AS DepartmentMaster ON ", "Register.DepartmentCode = DepartmentMaster.DepartmentCode"},
             {"LEFT JOIN FaMachineMaster AS MachineMaster ON ", "Register.MachineCode = MachineMaster.MachineCode"},
             {"LEFT JOIN PaEmployeeMaster AS EmployeeMaster ON ", "Register.EmployeeCode = EmployeeMaster.EmployeeCode"},
             {"LEFT JOIN FaBranchMaster AS WOBranchMaster ON ", "Register.WOBranchCode = WOBranchMaster.BranchCode"},
             {"LEFT JOIN FaSeriesMaster AS WOSeriesMaster ON ",
              "Register.WODocumentType = WOSeriesMaster.DocumentType AND Register.WOSeriesCode = WOSeriesMaster.SeriesCode"},
             kBranchJoin, kSeriesJoin, kDocumentTypeJoin});
        return columns + QStringLiteral("FROM ") + source;
    }
    if (type == QLatin1String("ISU") || type == QLatin1String("RET")) {
        const QString columns =
            QStringLiteral("SELECT Register.*, DocumentTypeMaster.DocumentDescription, "
                           "IsNull(BranchMaster.BranchName, '') AS BranchName, IsNull(SeriesMaster.SeriesName, '') AS SeriesName, "
                           "IsNull(IssueStoreMaster.StoreName, '') AS IssueStoreName, "
                           "IsNull(ReceiveStoreMaster.StoreName, '') AS ReceiveStoreName, "
                           "IsNull(ProductMaster.ItemName, '') AS ProductName, "
                           "IsNull(ProductColorMaster.ColorName, '') AS ProductColorName, "
                           "IsNull(ProductSizeMaster.SizeName, '') AS ProductSizeName, "
                           "IsNull(ProcessMaster.ProcessName, '') AS ProcessName, "
                           "IsNull(DepartmentMaster.DepartmentName, '') AS DepartmentName, ")
            + QString::fromLatin1(kJobWorkCase);
        const QString source = Nested(
            base,
            {{"LEFT JOIN FaStoreMaster AS IssueStoreMaster ON ", "Register.IssueStoreCode = IssueStoreMaster.StoreCode"},
             {"LEFT JOIN FaStoreMaster AS ReceiveStoreMaster ON ", "Register.ReceiveStoreCode = ReceiveStoreMaster.StoreCode"},
             {"LEFT JOIN FaItemMaster AS ProductMaster ON ", "Register.ProductCode = ProductMaster.ItemCode"},
             {"LEFT JOIN FaColorMaster AS ProductColorMaster ON ", "Register.ProductColorCode = ProductColorMaster.ColorCode"},
             {"LEFT JOIN FaSizeMaster AS ProductSizeMaster ON ", "Register.ProductSizeCode = ProductSizeMaster.SizeCode"},
             {"LEFT JOIN FaProcessMaster AS ProcessMaster ON ", "Register.ProcessCode = ProcessMaster.ProcessCode"},
             {"LEFT JOIN FaDepartmentMaster AS DepartmentMaster ON ", "Register.DepartmentCode = DepartmentMaster.DepartmentCode"},
             kBranchJoin, kSeriesJoin, kDocumentTypeJoin});
        return columns + QStringLiteral("FROM ") + source;
    }
    if (type == QLatin1String("EXC") || type == QLatin1String("SCR")) {
        return QStringLiteral("SELECT Register.*, DocumentTypeMaster.DocumentDescription, "
                              "IsNull(BranchMaster.BranchName, '') AS BranchName, IsNull(SeriesMaster.SeriesName, '') AS SeriesName ")
               + QStringLiteral("FROM ") + Nested(base, {kBranchJoin, kSeriesJoin, kDocumentTypeJoin});
    }
    return QStringLiteral("FROM ");
}

QString VoucherHeaderStatement(const QString& type, const platform::db::Dialect& dialect)
{
    QString columns = QStringLiteral(
        "SELECT Ledger.DocumentYear, Ledger.BranchCode, Ledger.DocumentType, Ledger.SeriesCode, Ledger.DocumentNo,  "
        "Ledger.DocumentDate, Ledger.ChequeNo, Ledger.ChequeDate, DocumentTypeMaster.DocumentDescription ");
    QString source = QStringLiteral("FaAccountLedger AS Ledger LEFT JOIN stdDocumentTypeMaster AS DocumentTypeMaster ON "
                                    "Ledger.DocumentType = DocumentTypeMaster.DocumentType ");
    if (type == QLatin1String("EXP")) {
        // A voucher whose first line has no expense bill shows none of the bill's fields.
        columns += QStringLiteral(", ExpenseBillRegister.BillNo, ExpenseBillRegister.BillDate, ExpenseBillRegister.Description, "
                                  "ExpenseBillRegister.Quantity, CASE WHEN ExpenseBillRegister.AccountSno IS NULL THEN '' ELSE ")
                   + CreditAndDueDate(QStringLiteral("ExpenseBillRegister.CreditPeriod"), QStringLiteral("Ledger.DocumentDate"), dialect)
                   + QStringLiteral(" END AS CrpDueDate, ")
                   + QString::fromLatin1(kSupplyTypeName).arg(QStringLiteral("ExpenseBillRegister")).chopped(1)
                   + QStringLiteral(", ExpenseBillRegister.GSTeWayBillNo, ExpenseBillRegister.GSTTransactionID, "
                                    "IsNull(POSStateMaster.StateName, '') AS GSTPOSStateName ");
        source = QStringLiteral("((") + source
                 + QStringLiteral(") LEFT JOIN FaExpenseBillRegister AS ExpenseBillRegister ON "
                                  "Ledger.DocumentYear = ExpenseBillRegister.DocumentYear AND "
                                  "Ledger.BranchCode = ExpenseBillRegister.BranchCode AND "
                                  "Ledger.DocumentType = ExpenseBillRegister.DocumentType AND "
                                  "Ledger.SeriesCode = ExpenseBillRegister.SeriesCode AND "
                                  "Ledger.DocumentNo = ExpenseBillRegister.DocumentNo AND "
                                  "Ledger.AccountSno = ExpenseBillRegister.AccountSno) "
                                  "LEFT JOIN FaStateMaster AS POSStateMaster ON "
                                  "ExpenseBillRegister.GSTPlaceOfSupply = POSStateMaster.StateCode ");
    }
    return columns + QStringLiteral("FROM ") + source;
}

}  // namespace documents
