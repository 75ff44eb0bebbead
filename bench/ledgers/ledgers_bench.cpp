// Times "AccountLedger", "Outstanding", "Order", "ItemStoreSummary" and "ItemLedger" on the
// benchmark company (see BenchCompany.h), and the same statements run straight on SQLite.
//
// The company gets a party of its own on top: 22,000 journal lines over the year (its ledger is
// the busiest) and 2,000 open bills.
//
// Usage: corvantis-bench-ledgers [--runs N] [--keep FOLDER] [--plans] [--no-log] [--only TEXT]
// (--only: just the cases whose name, such as "AccountLedger SD", holds the text)
//
// With --no-log no text log is started, which shows what the log lines (a file opened and closed
// for each) add to a request.

#include "BenchCompany.h"
#include "clsSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <stdexcept>

using namespace bench;

namespace {

const QString kParty = QStringLiteral("A00001");

// The busy party: journal lines against an expense account on every day of the year up to today,
// and open bills, with the balance rows its lines add up to.
void AddBusyParty(const QString& databaseFolder)
{
    sqlite3* db = nullptr;
    const QByteArray path = QFile::encodeName(QDir(databaseFolder).filePath(kCompany + QStringLiteral(".sqlite")));
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        Fail(db, QStringLiteral("open"));
    Exec(db, "BEGIN");
    Exec(db,
         "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 11000) "
         "INSERT INTO FaAccountLedger (DocumentYear, BranchCode, DocumentType, SeriesCode, DocumentNo, Sno, AccountSno, "
         "AccountCode, AccountBranchCode, DocumentDate, Narration, Amount, Passed) "
         "SELECT 2025, '0' || (1 + i % 3), 'JOV', 'B', i, s.sno, s.sno, CASE s.sno WHEN 1 THEN 'A00001' ELSE 'A18200' END, "
         "'0' || (1 + i % 3), date('2025-04-01', '+' || (i % 325) || ' days') || ' 00:00:00', 'Journal ' || i, "
         "CASE s.sno WHEN 1 THEN 1 ELSE -1 END * (CASE WHEN i % 2 = 0 THEN 1 ELSE -1 END) * (100 + i % 900), 'True' "
         "FROM n CROSS JOIN (SELECT 1 AS sno UNION ALL SELECT 2) AS s");
    // A second line of the party in every tenth journal, so that the party has 22,000 lines.
    Exec(db,
         "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 11000) "
         "INSERT INTO FaAccountLedger (DocumentYear, BranchCode, DocumentType, SeriesCode, DocumentNo, Sno, AccountSno, "
         "AccountCode, AccountBranchCode, DocumentDate, Narration, Amount, Passed) "
         "SELECT 2025, '0' || (1 + i % 3), 'JOV', 'C', i, 1, 1, 'A00001', '0' || (1 + i % 3), "
         "date('2025-04-01', '+' || (i % 325) || ' days') || ' 00:00:00', 'Adjustment ' || i, 10 + i % 50, 'True' FROM n");
    Exec(db,
         "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
         "INSERT INTO FaOSReg (DocumentYear, BranchCode, DocumentType, SeriesCode, DocumentNo, Sno, AccountCode, AccountSno, "
         "AccountBranchCode, DocumentDate, BillNo, BillDate, CreditPeriod, Amount, PendingAmount, Passed) "
         "SELECT 2025, '0' || (1 + i % 3), 'INV', 'B', i, 1, 'A00001', 1, '0' || (1 + i % 3), "
         "date('2025-04-01', '+' || (i % 325) || ' days') || ' 00:00:00', 'B' || i, '1899-12-30 00:00:00', 30, "
         "1000 + i, 1000 + i - (i % 7) * 10, 'True' FROM n");
    // The month totals of the new lines, so that the balance rows agree with the ledger.
    for (const char* account : {"A00001", "A18200"}) {
        for (int k = 1; k <= 12; ++k) {
            const QString sql = QStringLiteral(
                "UPDATE FaAccountBalanceMaster SET Month%1Total = Month%1Total + IFNULL((SELECT ROUND(SUM(L.Amount), 2) FROM "
                "FaAccountLedger AS L WHERE L.AccountCode = FaAccountBalanceMaster.AccountCode AND L.AccountBranchCode = "
                "FaAccountBalanceMaster.BranchCode AND L.SeriesCode IN ('B','C') AND L.DocumentType = 'JOV' AND "
                "(CAST(strftime('%Y', L.DocumentDate) AS INTEGER) - 2025) * 12 + CAST(strftime('%m', L.DocumentDate) AS INTEGER) - 3 = %1), 0) "
                "WHERE AccountCode = '%2'")
                                    .arg(k)
                                    .arg(QString::fromLatin1(account));
            Exec(db, sql.toUtf8().constData());
        }
    }
    Exec(db, "COMMIT");
    Exec(db, "ANALYZE");
    sqlite3_close(db);
}

QString Scalar(sqlite3* db, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        Fail(db, QString::fromUtf8(sql));
    QString value;
    if (sqlite3_step(statement) == SQLITE_ROW)
        value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    return value;
}

int Rows(const QString& reply)
{
    return static_cast<int>(reply.count(QStringLiteral("{\"")) - 1);
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
        QElapsedTimer timer;
        timer.start();
        if (!QFile::exists(QDir(databaseFolder).filePath(kCompany + QStringLiteral(".sqlite")))) {
            GenerateCompany(databaseFolder, true);
            AddBusyParty(databaseFolder);
        }
        std::printf("company ready in %.1f s\n", timer.elapsed() / 1000.0);

        StartTracing();

        clsSetup setup(programFolder);
        PointSetup(setup, databaseFolder, options.log);
        if (!DiscoverCompanies(setup))
            ListByHand(setup, QStringLiteral("Bench Traders"));

        sqlite3* straight = OpenStraight(databaseFolder);
        const QString cash = Scalar(straight, "SELECT L.AccountCode FROM FaAccountLedger AS L JOIN FaAccountMaster AS M ON "
                                              "M.AccountCode = L.AccountCode WHERE M.ParentGroupCode = 'G03' GROUP BY L.AccountCode "
                                              "ORDER BY COUNT(*) DESC LIMIT 1");
        const QString debtor = Scalar(straight, "SELECT AccountCode FROM FaSalesOrderRegister GROUP BY AccountCode "
                                                "ORDER BY COUNT(*) DESC LIMIT 1");
        const QString item = Scalar(straight, "SELECT ItemCode FROM FaItemLedger GROUP BY ItemCode ORDER BY COUNT(*) DESC LIMIT 1");
        const QString partyLines = Scalar(straight, "SELECT COUNT(*) FROM FaAccountLedger WHERE AccountCode = 'A00001'");
        std::printf("busy party %s: %s ledger lines; busiest cash account %s; busiest order party %s; busiest item %s\n",
                    qPrintable(kParty), qPrintable(partyLines), qPrintable(cash), qPrintable(debtor), qPrintable(item));
        std::printf("times are medians of %d runs after one warm-up run\n\n", options.runs);

        const QString admin = QStringLiteral("ADMIN"), password = QStringLiteral("admin");
        const auto party = [&](const QString& action, const QString& start, const QString& last, const QString& groupType,
                               const QString& account) {
            return Request(action, admin, password,
                           {{QStringLiteral("FolderName"), kCompany}, {QStringLiteral("StartDate"), start},
                            {QStringLiteral("LastDate"), last}, {QStringLiteral("BranchCode"), QString()},
                            {QStringLiteral("GroupType"), groupType}, {QStringLiteral("AccountCode"), account},
                            {QStringLiteral("AccountLocationCode"), QString()}, {QStringLiteral("StoreCode"), QString()}});
        };
        const auto itemRequest = [&](const QString& action, const QString& start, const QString& last, const QString& groupType) {
            return Request(action, admin, password,
                           {{QStringLiteral("FolderName"), kCompany}, {QStringLiteral("StartDate"), start},
                            {QStringLiteral("LastDate"), last}, {QStringLiteral("StoreCode"), QString()},
                            {QStringLiteral("GroupType"), groupType}, {QStringLiteral("ItemCode"), item}});
        };
        const QString yearStart = QStringLiteral("2025-04-01"), yearLast = QStringLiteral("2026-03-31");
        struct Case {
            const char* what;
            QString request;
            bool rowHeavy;
        };
        const std::vector<Case> cases{
            {"AccountLedger SD, busy party, the year", party(QStringLiteral("AccountLedger"), yearStart, yearLast, QStringLiteral("SD"), kParty), true},
            {"AccountLedger SD, busy party, part months", party(QStringLiteral("AccountLedger"), QStringLiteral("2025-06-15"), QStringLiteral("2025-09-20"), QStringLiteral("SD"), kParty), true},
            {"AccountLedger CH, busiest cash, the year", party(QStringLiteral("AccountLedger"), yearStart, yearLast, QStringLiteral("CH"), cash), true},
            {"Outstanding SD, 2,000 open bills", party(QStringLiteral("Outstanding"), yearStart, QStringLiteral("2026-02-20"), QStringLiteral("SD"), kParty), false},
            {"Outstanding TR, busy party", party(QStringLiteral("Outstanding"), yearStart, yearLast, QStringLiteral("TR"), kParty), false},
            {"Order OP over the sales orders", party(QStringLiteral("Order"), yearStart, yearLast, QStringLiteral("OP"), debtor), false},
            {"Order WD over the schedules", party(QStringLiteral("Order"), yearStart, QStringLiteral("2026-02-27"), QStringLiteral("WD"), debtor), false},
            {"ItemStoreSummary ST, part month", itemRequest(QStringLiteral("ItemStoreSummary"), yearStart, QStringLiteral("2026-02-20"), QStringLiteral("ST")), false},
            {"ItemLedger ST, busiest item, the year", itemRequest(QStringLiteral("ItemLedger"), QStringLiteral("2025-04-15"), yearLast, QStringLiteral("ST")), true},
        };
        bool goal = true;
        for (const Case& c : cases) {
            if (!options.only.isEmpty() && !QString::fromLatin1(c.what).contains(options.only, Qt::CaseInsensitive))
                continue;
            const Timing t = Measure(setup, c.request, options.runs, straight);
            Report(c.what, t, options.plans, straight);
            std::printf("    %d rows\n", Rows(t.reply));
            goal = goal && t.request < 1000.0 && t.ratio < (c.rowHeavy ? 1.5 : 1.2);
        }
        sqlite3_close(straight);
        std::printf("\ngoal (every reply under 1 s; ratio under 1.2, under 1.5 for the row-heavy ledgers): %s\n",
                    goal ? "met" : "missed");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
