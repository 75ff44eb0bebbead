#pragma once

// The company "DOCS" of the document and voucher tests: one document of every family, a sales
// order with delivery schedules, calculations with and without GST per code, and vouchers with
// bill adjustments, an account missing from the master and an expense bill.

#include "Fixtures.h"

#include <QDateTime>

namespace docstest {

inline QDateTime At(int y, int m, int d, int hh = 0, int mm = 0)
{
    return QDateTime(QDate(y, m, d), QTime(hh, mm));
}

inline void AddDocsCompany(fixtures::CompanyDatabase& db)
{
    using fixtures::UserRow;
    db.AddCompany();
    UserRow admin;
    admin.UserID = QStringLiteral("ADMIN");
    admin.Password = QStringLiteral("pw");
    admin.IsSupervisor = true;
    db.AddUser(admin);
    // A clerk of branches 01 and 02 (stored with blanks around the codes) who opens sales
    // invoices and bank receipts; a clerk of every branch who opens sales invoices only.
    UserRow clerk;
    clerk.UserID = QStringLiteral("CLERK");
    clerk.Password = QStringLiteral("pw");
    clerk.BranchCodes = QStringLiteral(" 01 , 02");
    db.AddUser(clerk);
    clerk.UserID = QStringLiteral("ANYBRANCH");
    clerk.BranchCodes.clear();
    db.AddUser(clerk);
    db.AddUserOption(QStringLiteral("CLERK"), 201);
    db.AddUserOption(QStringLiteral("CLERK"), 401);
    db.AddUserOption(QStringLiteral("ANYBRANCH"), 201);

    const struct {
        const char* type;
        int option;
        const char* description;
    } types[] = {{"INV", 201, "Sales Invoice"}, {"PUR", 301, "Purchase Bill"},  {"SAO", 207, "Sales Order"},
                 {"PRE", 503, "Production"},    {"ISU", 501, "Store Issue"},    {"EXC", 504, "Stock Excess"},
                 {"CMO", 202, "Cash Memo"},     {"BRE", 401, "Bank Receipt"},   {"EXP", 407, "Expense Voucher"},
                 {"PTY", 405, "Petty Cash"},    {"BPA", 402, "Bank Payment"}};
    for (const auto& t : types)
        db.AddDocumentType(QString::fromLatin1(t.type), t.option, QString::fromLatin1(t.description));

    db.AddBranch({QStringLiteral("01"), QStringLiteral("Head Office"), false, QStringLiteral("027")});
    db.AddBranch({QStringLiteral("03"), QStringLiteral("Far Branch"), false, QStringLiteral("029")});
    db.Insert(QStringLiteral("FaSeriesMaster"), {QStringLiteral("DocumentType"), QStringLiteral("INV"), QStringLiteral("SeriesCode"),
                                                 QStringLiteral("A"), QStringLiteral("SeriesName"), QStringLiteral("Retail")});
    db.AddStore({QStringLiteral("S1"), QStringLiteral("Main Store")});
    db.AddStore({QStringLiteral("S2"), QStringLiteral("Shop Floor")});
    db.Insert(QStringLiteral("FaStateMaster"), {QStringLiteral("StateCode"), QStringLiteral("027"), QStringLiteral("StateName"),
                                                QStringLiteral("Maharashtra")});
    db.Insert(QStringLiteral("FaSalesmanMaster"), {QStringLiteral("SalesmanCode"), QStringLiteral("SM1"), QStringLiteral("SalesmanName"),
                                                   QStringLiteral("Amit")});
    db.Insert(QStringLiteral("FaProcessMaster"), {QStringLiteral("ProcessCode"), QStringLiteral("P1"), QStringLiteral("ProcessName"),
                                                  QStringLiteral("Mixing")});
    db.Insert(QStringLiteral("PaEmployeeMaster"), {QStringLiteral("EmployeeCode"), QStringLiteral("E1"), QStringLiteral("EmployeeName"),
                                                   QStringLiteral("Ravi")});
    db.AddAccount({QStringLiteral("P1"), QStringLiteral("Party One"), QString(), true});
    db.AddAccount({QStringLiteral("BANK"), QStringLiteral("State Bank"), QString(), true});
    db.AddAccount({QStringLiteral("RENT"), QStringLiteral("Rent"), QString(), true});
    fixtures::AccountAddressRow address;
    address.AccountCode = QStringLiteral("P1");
    address.AccountLocationName = QStringLiteral("Pune");
    db.AddAccountAddress(address);
    fixtures::ItemRow item;
    item.ItemCode = QStringLiteral("IT1");
    item.ItemName = QStringLiteral("Cement");
    item.Unit = QStringLiteral("Bag");
    db.AddItem(item);
    item.ItemCode = QStringLiteral("IT2");
    item.ItemName = QStringLiteral("Sand");
    item.Unit = QStringLiteral("Ton");
    db.AddItem(item);
    const struct {
        const char* code;
        const char* description;
        const char* category;
        double percentage;
    } gst[] = {{"C9", "CGST 9%", "CGST", 9}, {"S9", "SGST 9%", "SGST", 9}, {"C2", "CGST 2.5%", "CGST", 2.5},
               {"S2", "SGST 2.5%", "SGST", 2.5}, {"I18", "IGST 18%", "IGST", 18}};
    for (const auto& g : gst)
        db.Insert(QStringLiteral("FaGSTMaster"), {QStringLiteral("GSTCode"), QString::fromLatin1(g.code), QStringLiteral("GSTDescription"),
                                                  QString::fromLatin1(g.description), QStringLiteral("GSTCategory"),
                                                  QString::fromLatin1(g.category), QStringLiteral("GSTPercentage"), g.percentage});

    // User-defined fields of the sales invoice register: a text and a flag.
    db.Exec(QStringLiteral("ALTER TABLE FaSalesInvoiceRegister ADD COLUMN Remarks TEXT COLLATE NOCASE DEFAULT '';"
                           "ALTER TABLE FaSalesInvoiceRegister ADD COLUMN Urgent BIT DEFAULT 'False'"));
    auto fieldDef = [&](int no, const char* name, const char* description, const char* type) {
        db.Insert(QStringLiteral("stdFieldDef"), {QStringLiteral("TableName"), QStringLiteral("FaSalesInvoiceRegister"),
                                                  QStringLiteral("FieldNo"), no, QStringLiteral("FieldName"), QString::fromLatin1(name),
                                                  QStringLiteral("FieldDescription"), QString::fromLatin1(description),
                                                  QStringLiteral("FieldType"), QString::fromLatin1(type)});
    };
    fieldDef(2, "Urgent", "Urgent", "B");
    fieldDef(1, "Remarks", "Remarks", "S");
    fieldDef(3, "NoSuchColumn", "Ghost", "S");

    auto key = [](const char* branch, const char* type, const char* series, const char* no) {
        return QVariantList{QStringLiteral("DocumentYear"), 2024, QStringLiteral("BranchCode"), QString::fromLatin1(branch),
                            QStringLiteral("DocumentType"), QString::fromLatin1(type), QStringLiteral("SeriesCode"),
                            QString::fromLatin1(series), QStringLiteral("DocumentNo"), QString::fromLatin1(no)};
    };

    // Sales invoice 2024 01 INV A 1: no contact person, a zero commission, 30 days of credit.
    db.Insert(QStringLiteral("FaSalesInvoiceRegister"),
              key("01", "INV", "A", "1")
                  + QVariantList{QStringLiteral("DocumentDate"), QDate(2024, 5, 10), QStringLiteral("AccountCode"), QStringLiteral("P1"),
                                 QStringLiteral("BillNo"), QStringLiteral("  B-17 "), QStringLiteral("CreditPeriod"), 30,
                                 QStringLiteral("SalesmanCode"), QStringLiteral("SM1"), QStringLiteral("CommissionAmount"), 0.0,
                                 QStringLiteral("GSTSupplyType"), QStringLiteral("IS"), QStringLiteral("GSTPlaceOfSupply"),
                                 QStringLiteral("027"), QStringLiteral("GSTeWayBillNo"), QStringLiteral("EWB1"),
                                 QStringLiteral("Remarks"), QStringLiteral("Deliver before noon\r\n"), QStringLiteral("GrossAmount"), 1000.0,
                                 QStringLiteral("GSTAmount"), 90.0, QStringLiteral("SGSTAmount"), 90.0, QStringLiteral("Amount5"), 50.0,
                                 QStringLiteral("Percentage5"), 5.0, QStringLiteral("NetAmount"), 1230.0});
    auto line = [&](const QString& table, const char* branch, const char* type, const char* series, const char* no, int sno,
                    int itemSno, const char* item, double quantity, double rate, double amount, const QVariantList& more = {}) {
        db.Insert(table, key(branch, type, series, no)
                             + QVariantList{QStringLiteral("Sno"), sno, QStringLiteral("ItemSno"), itemSno, QStringLiteral("ItemCode"),
                                            QString::fromLatin1(item), QStringLiteral("Quantity"), quantity, QStringLiteral("Rate"), rate,
                                            QStringLiteral("Amount"), amount}
                             + more);
    };
    const QString invoiceLines = QStringLiteral("FaSalesInvoiceProducts");
    line(invoiceLines, "01", "INV", "A", "1", 2, 1, "IT9", 1, 200, 200);
    line(invoiceLines, "01", "INV", "A", "1", 1, 2, "IT1", 4, 200, 800);
    auto gstLine = [&](int sno, const char* code, double amount) {
        db.Insert(QStringLiteral("FaGSTRegister"), key("01", "INV", "A", "1") + QVariantList{QStringLiteral("Sno"), sno, QStringLiteral("GSTCode"),
                                                                                            QString::fromLatin1(code), QStringLiteral("GSTAmount"), amount});
    };
    gstLine(1, "S9", 90);
    gstLine(2, "C9", 90);

    // Calculation of the sales side (GST per code) and of the purchase side (GST in one line).
    auto step = [&](const char* setup, int sno, const char* description, const char* nick, int amountNo, bool itemWise,
                    bool applicable = true) {
        db.Insert(QStringLiteral("FaCalculationDef"),
                  {QStringLiteral("SetupDocumentType"), QString::fromLatin1(setup), QStringLiteral("Sno"), sno, QStringLiteral("Description"),
                   QString::fromLatin1(description), QStringLiteral("NickName"), QString::fromLatin1(nick), QStringLiteral("AmountNo"),
                   amountNo, QStringLiteral("ItemWiseGST"), itemWise, QStringLiteral("ApplicableWhenGST"), applicable});
    };
    step("INV", 1, "Gross Amount", "GrossAmount", 0, false);
    step("INV", 2, "Discount", "DiscountAmount", 0, false);
    step("INV", 3, "CGST", "GSTAmount", 0, true);
    step("INV", 4, "SGST", "SGSTAmount", 0, true);
    step("INV", 5, "Excise", "ExciseAmount", 0, false);
    step("INV", 6, "Freight", "Freight", 5, false);
    step("INV", 7, "Packing", "Packing", 6, false);
    step("INV", 8, "Old VAT", "VATAmount", 0, false, false);
    step("INV", 9, "Net Amount", "NetAmount", 0, false);
    step("PUR", 1, "Gross", "GrossAmount", 0, false);
    step("PUR", 2, "GST", "GSTAmount", 0, false);
    step("PUR", 3, "SGST", "SGSTAmount", 0, false);
    step("PUR", 4, "Net", "NetAmount", 0, false);

    // Purchase bill 2024 01 PUR (no series) 7: an inter-state bill with IGST in one line.
    db.Insert(QStringLiteral("FaPurchaseBillRegister"),
              key("01", "PUR", "", "7")
                  + QVariantList{QStringLiteral("DocumentDate"), QDate(2024, 6, 1), QStringLiteral("AccountCode"), QStringLiteral("P1"),
                                 QStringLiteral("AccountLocationCode"), QStringLiteral("001"), QStringLiteral("RefNo"), QStringLiteral("R-9"),
                                 QStringLiteral("RefDate"), QDate(2024, 5, 30), QStringLiteral("GSTSupplyType"), QStringLiteral("OS"),
                                 QStringLiteral("GrossAmount"), 100.0, QStringLiteral("GSTCode"), QStringLiteral("I18"),
                                 QStringLiteral("GSTAmount"), 18.0, QStringLiteral("SGSTCode"), QString(), QStringLiteral("SGSTAmount"), 0.0,
                                 QStringLiteral("NetAmount"), 118.0});
    line(QStringLiteral("FaPurchaseBillProducts"), "01", "PUR", "", "7", 1, 1, "IT2", 2.5, 40, 100);

    // Sales order 2024 01 SAO (no series) 3 with a delivery schedule; its second line has none.
    db.Insert(QStringLiteral("FaSalesOrderRegister"),
              key("01", "SAO", "", "3") + QVariantList{QStringLiteral("DocumentDate"), QDate(2024, 6, 5), QStringLiteral("AccountCode"),
                                                       QStringLiteral("P1"), QStringLiteral("DeliverySchedule"), true,
                                                       QStringLiteral("GrossAmount"), 500.0, QStringLiteral("NetAmount"), 525.0});
    const QString orderLines = QStringLiteral("FaSalesOrderProducts");
    line(orderLines, "01", "SAO", "", "3", 1, 1, "IT1", 10, 40, 400,
         {QStringLiteral("GSTCode"), QStringLiteral("C2"), QStringLiteral("GSTAmount"), 10.004, QStringLiteral("SGSTCode"), QStringLiteral("S2"),
          QStringLiteral("SGSTAmount"), 10.0});
    line(orderLines, "01", "SAO", "", "3", 2, 1, "IT2", 1, 100, 100,
         {QStringLiteral("GSTCode"), QStringLiteral("C2"), QStringLiteral("GSTAmount"), 2.5, QStringLiteral("SGSTCode"), QStringLiteral("S2"),
          QStringLiteral("SGSTAmount"), 2.5});
    auto delivery = [&](int sno, const char* item, int itemSno, const QDate& date, double quantity) {
        db.Insert(QStringLiteral("FaSalesOrderSchedule"),
                  key("01", "SAO", "", "3") + QVariantList{QStringLiteral("Sno"), sno, QStringLiteral("ItemCode"), QString::fromLatin1(item),
                                                           QStringLiteral("ItemSno"), itemSno, QStringLiteral("DeliveryDate"), date,
                                                           QStringLiteral("Quantity"), quantity});
    };
    delivery(1, "IT1", 1, QDate(2024, 7, 20), 6);
    delivery(2, "IT1", 1, QDate(2024, 7, 1), 4);

    // Production 2024 01 PRE (no series) 4: one consumed line, one produced.
    db.Insert(QStringLiteral("FaProductionRegister"),
              key("01", "PRE", "", "4") + QVariantList{QStringLiteral("DocumentDate"), QDate(2024, 6, 7), QStringLiteral("ProductStoreCode"),
                                                       QStringLiteral("S2"), QStringLiteral("ProductCode"), QStringLiteral("IT1"),
                                                       QStringLiteral("ProcessCode"), QStringLiteral("P1"), QStringLiteral("EmployeeCode"),
                                                       QStringLiteral("E1"), QStringLiteral("ProductQuantity"), 10.0,
                                                       QStringLiteral("ProductionStartTime"), At(1899, 12, 30, 9, 30),
                                                       QStringLiteral("GSTTransactionType"), QStringLiteral("PREJW"),
                                                       QStringLiteral("TotalCost"), 420.5});
    const QString productionLines = QStringLiteral("FaProductionProducts");
    line(productionLines, "01", "PRE", "", "4", 1, 1, "IT2", 3, 0, 0,
         {QStringLiteral("ItemType"), QStringLiteral("C"), QStringLiteral("CostRate"), 20.0, QStringLiteral("CostAmount"), 60.0});
    line(productionLines, "01", "PRE", "", "4", 2, 1, "IT1", 10, 0, 0,
         {QStringLiteral("ItemType"), QStringLiteral("R"), QStringLiteral("CostRate"), 42.05, QStringLiteral("CostAmount"), 420.5});

    // Store issue 2024 01 ISU (no series) 2 from S1 to S2.
    db.Insert(QStringLiteral("FaIssueRegister"),
              key("01", "ISU", "", "2") + QVariantList{QStringLiteral("DocumentDate"), QDate(2024, 6, 8), QStringLiteral("IssueStoreCode"),
                                                       QStringLiteral("S1"), QStringLiteral("ReceiveStoreCode"), QStringLiteral("S2"),
                                                       QStringLiteral("GSTTransactionType"), QStringLiteral("ISUST")});
    line(QStringLiteral("FaIssueProducts"), "01", "ISU", "", "2", 1, 1, "IT1", 5, 45, 225,
         {QStringLiteral("CostRate"), 40.0, QStringLiteral("CostAmount"), 200.0});

    // Stock excess 2024 01 EXC (no series) 6: two item ledger lines with stored signs.
    auto ledgerLine = [&](int sno, const char* item, double quantity, double amount, const QDate& date) {
        db.Insert(QStringLiteral("FaItemLedger"),
                  key("01", "EXC", "", "6") + QVariantList{QStringLiteral("Sno"), sno, QStringLiteral("ItemSno"), sno, QStringLiteral("ItemCode"),
                                                           QString::fromLatin1(item), QStringLiteral("DocumentDate"), date,
                                                           QStringLiteral("Quantity"), quantity, QStringLiteral("Rate"), 10.0,
                                                           QStringLiteral("Amount"), amount});
    };
    ledgerLine(2, "IT2", -2, -20, QDate(2024, 6, 10));
    ledgerLine(1, "IT1", 3, 30, QDate(2024, 6, 9));

    // Bank receipt 2024 01 BRE (no series) 5: the bank, the party whose line settles two bills,
    // and a line of an account missing from the master.
    auto voucherLine = [&](const char* type, const char* no, int sno, const QVariant& account, double amount, const QVariant& narration,
                           const QVariantList& more = {}) {
        db.Insert(QStringLiteral("FaAccountLedger"),
                  key("01", type, "", no) + QVariantList{QStringLiteral("Sno"), sno, QStringLiteral("AccountSno"), sno,
                                                         QStringLiteral("AccountCode"), account, QStringLiteral("DocumentDate"),
                                                         QDate(2024, 6, 12), QStringLiteral("Amount"), amount,
                                                         QStringLiteral("Narration"), narration}
                                              + more);
    };
    voucherLine("BRE", "5", 1, QStringLiteral("BANK"), 1000, QStringLiteral("  Received from Party One\r\n"),
                {QStringLiteral("ChequeNo"), QStringLiteral("123456"), QStringLiteral("ChequeDate"), QDate(2024, 6, 11)});
    voucherLine("BRE", "5", 2, QStringLiteral("P1"), -990, QVariant());
    voucherLine("BRE", "5", 3, QStringLiteral("GONE"), -10, QStringLiteral("Bank charges"));
    auto adjustment = [&](int sno, double amount, const char* rType, const char* rNo, const char* billNo, double adjusted) {
        db.Insert(QStringLiteral("FaOSReg"),
                  key("01", "BRE", "", "5") + QVariantList{QStringLiteral("Sno"), sno, QStringLiteral("AccountCode"), QStringLiteral("P1"),
                                                           QStringLiteral("AccountSno"), 2, QStringLiteral("Amount"), amount,
                                                           QStringLiteral("RDocumentYear"), 2024, QStringLiteral("RBranchCode"),
                                                           QStringLiteral("01"), QStringLiteral("RDocumentType"), QString::fromLatin1(rType),
                                                           QStringLiteral("RSeriesCode"), QStringLiteral("A"), QStringLiteral("RDocumentNo"),
                                                           QString::fromLatin1(rNo), QStringLiteral("BillNo"), QString::fromLatin1(billNo),
                                                           QStringLiteral("AdjustedAmount"), adjusted, QStringLiteral("AdjustmentAmount"), 0.0});
    };
    adjustment(2, -290, "", " ", "", 290);
    adjustment(1, -700, " INV ", "1 ", "B-17", 700);
    // A bill of the party that the payment does not settle (another line's AccountSno).
    db.Insert(QStringLiteral("FaOSReg"),
              key("01", "BRE", "", "5") + QVariantList{QStringLiteral("Sno"), 9, QStringLiteral("AccountCode"), QStringLiteral("BANK"),
                                                       QStringLiteral("AccountSno"), 1, QStringLiteral("Amount"), 5.0});

    // Petty cash 2024 01 PTY (no series) 8, with a register row that would look like an adjustment.
    voucherLine("PTY", "8", 1, QStringLiteral("RENT"), 100, QStringLiteral("Rent for June"));
    voucherLine("PTY", "8", 2, QStringLiteral("BANK"), -100, QString());
    db.Insert(QStringLiteral("FaOSReg"), key("01", "PTY", "", "8") + QVariantList{QStringLiteral("Sno"), 1, QStringLiteral("AccountCode"),
                                                                                 QStringLiteral("RENT"), QStringLiteral("AccountSno"), 1,
                                                                                 QStringLiteral("Amount"), -100.0});

    // Expense voucher 2024 01 EXP (no series) 9 with its expense bill; 9 days of credit.
    voucherLine("EXP", "9", 1, QStringLiteral("RENT"), 500, QStringLiteral("Office rent"));
    voucherLine("EXP", "9", 2, QStringLiteral("BANK"), -500, QString());
    db.Insert(QStringLiteral("FaExpenseBillRegister"),
              key("01", "EXP", "", "9") + QVariantList{QStringLiteral("AccountSno"), 1, QStringLiteral("BillNo"), QStringLiteral("RB/6"),
                                                       QStringLiteral("BillDate"), QDate(2024, 6, 1), QStringLiteral("Description"),
                                                       QStringLiteral("June rent"), QStringLiteral("Quantity"), 1.0,
                                                       QStringLiteral("CreditPeriod"), 9, QStringLiteral("GSTSupplyType"),
                                                       QStringLiteral("NA"), QStringLiteral("GSTPlaceOfSupply"), QStringLiteral("027")});
    // A bank payment of branch 03 (outside the clerk's branches).
    db.Insert(QStringLiteral("FaAccountLedger"),
              QVariantList{QStringLiteral("DocumentYear"), 2024, QStringLiteral("BranchCode"), QStringLiteral("03"),
                           QStringLiteral("DocumentType"), QStringLiteral("BRE"), QStringLiteral("SeriesCode"), QString(),
                           QStringLiteral("DocumentNo"), QStringLiteral("1"), QStringLiteral("Sno"), 1, QStringLiteral("AccountCode"),
                           QStringLiteral("BANK"), QStringLiteral("DocumentDate"), QDate(2024, 6, 2), QStringLiteral("Amount"), 1.0});
}

}  // namespace docstest
