// Times "Document" and "Voucher" on a company of their own, and the same statements run straight
// on SQLite: a sales invoice and a sales order of 500 product lines with 20 calculation rows, the
// order's lines with 3 deliveries each, and a bank receipt of 200 account lines that settle 5 bills
// each.
//
// Usage: corvantis-bench-documents [--runs N] [--keep FOLDER] [--plans] [--no-log] [--only TEXT]
// (--only: just the cases whose name, such as "sales order", holds the text)

#include "BenchCompany.h"
#include "Fixtures.h"
#include "clsSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <stdexcept>

using namespace bench;

namespace {

constexpr int kProductLines = 500;
constexpr int kDeliveries = 3;
constexpr int kAccountLines = 200;
constexpr int kBillsPerLine = 5;

QVariantList Key(const char* type, const QString& number)
{
    return {QStringLiteral("DocumentYear"), 2025, QStringLiteral("BranchCode"), QStringLiteral("01"), QStringLiteral("DocumentType"),
            QString::fromLatin1(type), QStringLiteral("SeriesCode"), QString(), QStringLiteral("DocumentNo"), number};
}

// A register of a trading document with every figure of the calculation set.
void TradingRegister(fixtures::CompanyDatabase& db, const QString& table, const char* type)
{
    QVariantList row = Key(type, QStringLiteral("1"))
                       + QVariantList{QStringLiteral("DocumentDate"), QDate(2025, 6, 1), QStringLiteral("AccountCode"), QStringLiteral("P1"),
                                      QStringLiteral("CreditPeriod"), 30, QStringLiteral("GSTSupplyType"), QStringLiteral("IS"),
                                      QStringLiteral("GSTPlaceOfSupply"), QStringLiteral("027"), QStringLiteral("GrossAmount"), 500000.0,
                                      QStringLiteral("DiscPercentage"), 2.0, QStringLiteral("DiscountAmount"), 10000.0,
                                      QStringLiteral("GSTAmount"), 44100.0, QStringLiteral("SGSTAmount"), 44100.0,
                                      QStringLiteral("NetAmount"), 578200.0, QStringLiteral("DeliverySchedule"), true};
    if (table != QLatin1String("FaSalesOrderRegister"))
        row = row.mid(0, row.size() - 2);
    for (int n = 1; n <= 15; ++n)
        row << QStringLiteral("Amount%1").arg(n) << 10.0 * n << QStringLiteral("Percentage%1").arg(n) << 0.5 * n;
    db.Insert(table, row);
}

void MakeCompany(const QString& folder)
{
    fixtures::CompanyDatabase db(folder, kCompany);
    db.Exec(QStringLiteral("BEGIN"));
    fixtures::CompanyRow company;
    company.StartDate = kYearStart;
    company.LastDate = kYearLast;
    db.AddCompany(company);
    fixtures::UserRow admin;
    admin.UserID = QStringLiteral("ADMIN");
    admin.Password = QStringLiteral("admin");
    admin.IsSupervisor = true;
    db.AddUser(admin);
    db.AddDocumentType(QStringLiteral("INV"), 201, QStringLiteral("Sales Invoice"));
    db.AddDocumentType(QStringLiteral("SAO"), 207, QStringLiteral("Sales Order"));
    db.AddDocumentType(QStringLiteral("BRE"), 401, QStringLiteral("Bank Receipt"));
    db.AddBranch({QStringLiteral("01"), QStringLiteral("Head Office"), false, QStringLiteral("027")});
    db.AddAccount({QStringLiteral("P1"), QStringLiteral("Party One"), QString(), true});
    db.AddAccount({QStringLiteral("BANK"), QStringLiteral("Bank"), QString(), true});
    for (const auto& g : {std::pair{"C9", "CGST"}, std::pair{"S9", "SGST"}})
        db.Insert(QStringLiteral("FaGSTMaster"), {QStringLiteral("GSTCode"), QString::fromLatin1(g.first), QStringLiteral("GSTDescription"),
                                                  QString::fromLatin1(g.second) + QStringLiteral(" 9%"), QStringLiteral("GSTCategory"),
                                                  QString::fromLatin1(g.second), QStringLiteral("GSTPercentage"), 9.0});

    // 20 calculation rows: gross, discount, CGST and SGST per code, 15 free amounts, net.
    auto step = [&](int sno, const QString& description, const QString& nick, int amountNo, bool itemWise) {
        db.Insert(QStringLiteral("FaCalculationDef"),
                  {QStringLiteral("SetupDocumentType"), QStringLiteral("INV"), QStringLiteral("Sno"), sno, QStringLiteral("Description"),
                   description, QStringLiteral("NickName"), nick, QStringLiteral("AmountNo"), amountNo, QStringLiteral("ItemWiseGST"), itemWise,
                   QStringLiteral("ApplicableWhenGST"), true});
    };
    step(1, QStringLiteral("Gross Amount"), QStringLiteral("GrossAmount"), 0, false);
    step(2, QStringLiteral("Discount"), QStringLiteral("DiscountAmount"), 0, false);
    step(3, QStringLiteral("CGST"), QStringLiteral("GSTAmount"), 0, true);
    step(4, QStringLiteral("SGST"), QStringLiteral("SGSTAmount"), 0, true);
    for (int n = 1; n <= 15; ++n)
        step(4 + n, QStringLiteral("Charge %1").arg(n), QStringLiteral("Charge%1").arg(n), n, false);
    step(20, QStringLiteral("Net Amount"), QStringLiteral("NetAmount"), 0, false);

    TradingRegister(db, QStringLiteral("FaSalesInvoiceRegister"), "INV");
    TradingRegister(db, QStringLiteral("FaSalesOrderRegister"), "SAO");
    for (int g = 1; g <= 2; ++g)
        db.Insert(QStringLiteral("FaGSTRegister"), Key("INV", QStringLiteral("1")) + QVariantList{QStringLiteral("Sno"), g, QStringLiteral("GSTCode"),
                                                                                                  g == 1 ? QStringLiteral("C9") : QStringLiteral("S9"),
                                                                                                  QStringLiteral("GSTAmount"), 44100.0});
    for (int i = 1; i <= kProductLines; ++i) {
        const QString item = Code("I", i, 4);
        fixtures::ItemRow itemRow;
        itemRow.ItemCode = item;
        itemRow.ItemName = QStringLiteral("Item ") + item;
        itemRow.Unit = QStringLiteral("NOS");
        db.AddItem(itemRow);
        const QVariantList line = {QStringLiteral("Sno"), i, QStringLiteral("ItemSno"), 1, QStringLiteral("ItemCode"), item,
                                   QStringLiteral("Quantity"), 10.0, QStringLiteral("Rate"), 100.0, QStringLiteral("Amount"), 1000.0,
                                   QStringLiteral("GSTCode"), QStringLiteral("C9"), QStringLiteral("GSTAmount"), 90.0,
                                   QStringLiteral("SGSTCode"), QStringLiteral("S9"), QStringLiteral("SGSTAmount"), 90.0};
        db.Insert(QStringLiteral("FaSalesInvoiceProducts"), Key("INV", QStringLiteral("1")) + line);
        db.Insert(QStringLiteral("FaSalesOrderProducts"), Key("SAO", QStringLiteral("1")) + line);
        for (int d = 1; d <= kDeliveries; ++d)
            db.Insert(QStringLiteral("FaSalesOrderSchedule"),
                      Key("SAO", QStringLiteral("1")) + QVariantList{QStringLiteral("Sno"), (i - 1) * kDeliveries + d, QStringLiteral("ItemCode"),
                                                                     item, QStringLiteral("ItemSno"), 1, QStringLiteral("DeliveryDate"),
                                                                     QDate(2025, 6, 1).addDays(7 * d), QStringLiteral("Quantity"), 10.0 / 3});
    }

    // The receipt: line 1 the bank, lines 2 to 200 parties' lines that settle 5 bills each.
    for (int l = 1; l <= kAccountLines; ++l) {
        db.Insert(QStringLiteral("FaAccountLedger"),
                  Key("BRE", QStringLiteral("1")) + QVariantList{QStringLiteral("Sno"), l, QStringLiteral("AccountSno"), l,
                                                                 QStringLiteral("AccountCode"), l == 1 ? QStringLiteral("BANK") : QStringLiteral("P1"),
                                                                 QStringLiteral("DocumentDate"), QDate(2025, 6, 2), QStringLiteral("Amount"),
                                                                 l == 1 ? 995000.0 : -5000.0, QStringLiteral("Narration"),
                                                                 QStringLiteral("Received against 5 bills")});
        for (int b = 1; b <= kBillsPerLine; ++b)
            db.Insert(QStringLiteral("FaOSReg"),
                      Key("BRE", QStringLiteral("1")) + QVariantList{QStringLiteral("Sno"), (l - 1) * kBillsPerLine + b, QStringLiteral("AccountCode"),
                                                                     QStringLiteral("P1"), QStringLiteral("AccountSno"), l,
                                                                     QStringLiteral("Amount"), -1000.0, QStringLiteral("RDocumentYear"), 2025,
                                                                     QStringLiteral("RBranchCode"), QStringLiteral("01"),
                                                                     QStringLiteral("RDocumentType"), QStringLiteral("INV"),
                                                                     QStringLiteral("RDocumentNo"), QString::number(l * 10 + b),
                                                                     QStringLiteral("BillNo"), QString::number(l * 10 + b),
                                                                     QStringLiteral("AdjustedAmount"), 1000.0});
    }
    db.Exec(QStringLiteral("COMMIT; ANALYZE"));
}

QString DocumentRequest(const char* action, const char* type)
{
    return Request(QString::fromLatin1(action), QStringLiteral("ADMIN"), QStringLiteral("admin"),
                   {{QStringLiteral("FolderName"), kCompany},
                    {QStringLiteral("DocumentYear"), QStringLiteral("2025")},
                    {QStringLiteral("BranchCode"), QStringLiteral("01")},
                    {QStringLiteral("DocumentType"), QString::fromLatin1(type)},
                    {QStringLiteral("SeriesCode"), QString()},
                    {QStringLiteral("DocumentNo"), QStringLiteral("1")}});
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const Start start(argc, argv, "[--runs N] [--keep FOLDER] [--plans] [--no-log] [--only TEXT]");
    if (start.exitCode != 0)
        return start.exitCode;
    const Options& options = start.options;
    const QString& programFolder = start.programFolder;
    const QString& databaseFolder = start.databaseFolder;

    try {
        MakeCompany(databaseFolder);
        StartTracing();
        clsSetup setup(programFolder);
        // The server writes its text log line by line while it answers; --no-log shows what that costs.
        PointSetup(setup, databaseFolder, options.log);
        if (!DiscoverCompanies(setup))
            ListByHand(setup, QStringLiteral("Bench Documents"));
        sqlite3* straight = OpenStraight(databaseFolder);
        std::printf("times are medians of %d runs after one warm-up run\n\n", options.runs);

        // A case left out by --only counts as met.
        const auto measure = [&](const char* what, const char* action, const char* type, bool goalCase) {
            if (!options.only.isEmpty() && !QString::fromLatin1(what).contains(options.only, Qt::CaseInsensitive))
                return true;
            const Timing t = Measure(setup, DocumentRequest(action, type), options.runs, straight);
            Report(what, t, options.plans, straight);
            return !goalCase || (t.request < 100.0 && t.ratio < 1.5 && t.reply.contains(QLatin1String("\"Status\":1")));
        };
        bool goal = measure("Document of no listed type (opening, user check)", "Document", "ZZZ", false);
        goal = measure("Document, sales invoice: 500 lines, 20 calculation rows", "Document", "INV", true) && goal;
        goal = measure("Document, sales order: 500 lines x 3 deliveries, 20 calculation rows", "Document", "SAO", true) && goal;
        goal = measure("Voucher, bank receipt: 200 lines x 5 bills", "Voucher", "BRE", true) && goal;
        sqlite3_close(straight);
        std::printf("\ngoal (each reply under 100 ms, ratio under 1.5): %s\n", goal ? "met" : "missed");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
