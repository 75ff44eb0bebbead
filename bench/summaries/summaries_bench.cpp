// Times every GroupType of "AccountSummary", "LocationSummary" and "ItemSummary" on the benchmark
// company (see BenchCompany.h) in the embedded database, and the same statements run straight on
// SQLite. The company has no address rows, so each account is given its main location "001" and
// every tenth account a second one "002", and the location summaries ask for the debtor and the
// creditor with the most outstanding bills.
//
// Usage: corvantis-bench-summaries [--runs N] [--keep FOLDER] [--no-analyze] [--plans] [--only TEXT]
// (--only: just the cases whose name, such as "AccountSummary SD", holds the text)

#include "BenchCompany.h"
#include "clsSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <stdexcept>

using namespace bench;

namespace {

QString ScalarText(sqlite3* db, const char* sql)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
        Fail(db, QString::fromLatin1(sql));
    QString text;
    if (sqlite3_step(st) == SQLITE_ROW)
        text = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const Start start(argc, argv, "[--runs N] [--keep FOLDER] [--no-analyze] [--plans] [--only TEXT]");
    if (start.exitCode != 0)
        return start.exitCode;
    const Options& options = start.options;
    const QString& programFolder = start.programFolder;
    const QString& databaseFolder = start.databaseFolder;

    try {
        QElapsedTimer timer;
        timer.start();
        const QString file = QDir(databaseFolder).filePath(kCompany + QStringLiteral(".sqlite"));
        if (!QFile::exists(file)) {
            GenerateCompany(databaseFolder, false);
            sqlite3* db = nullptr;
            if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
                Fail(db, QStringLiteral("open"));
            Exec(db, "INSERT INTO FaAccountAddressMaster (AccountCode, AccountLocationCode, AccountLocationName, Place) "
                     "SELECT AccountCode, '001', AccountName || ' main', 'Place ' || AccountCode FROM FaAccountMaster");
            Exec(db, "INSERT INTO FaAccountAddressMaster (AccountCode, AccountLocationCode, AccountLocationName, Place) "
                     "SELECT AccountCode, '002', AccountName || ' second', 'Other' FROM FaAccountMaster "
                     "WHERE CAST(substr(AccountCode, 2) AS INTEGER) % 10 = 0");
            if (options.analyze)
                Exec(db, "ANALYZE");
            sqlite3_close(db);
        }
        std::printf("company ready in %.1f s%s: %d account-ledger lines, %d accounts, %d items, %d item-ledger "
                    "lines, %d order lines\n",
                    timer.elapsed() / 1000.0, options.analyze ? " (with ANALYZE)" : " (no ANALYZE)", kAccountLedgerLines,
                    kAccounts, kItems, kItemLedgerLines, kSalesOrderLines + kPurchaseOrderLines);

        StartTracing();

        clsSetup setup(programFolder);
        PointSetup(setup, databaseFolder, true);
        // The company discovery opens the embedded master database once, before any request is timed.
        if (!DiscoverCompanies(setup))
            ListByHand(setup, QStringLiteral("Bench Traders"));

        sqlite3* straight = OpenStraight(databaseFolder);
        const QString debtor = ScalarText(straight, "SELECT FaOSReg.AccountCode FROM FaOSReg WHERE FaOSReg.DocumentType = 'INV' "
                                                    "GROUP BY FaOSReg.AccountCode ORDER BY COUNT(*) DESC LIMIT 1");
        const QString creditor = ScalarText(straight, "SELECT FaOSReg.AccountCode FROM FaOSReg WHERE FaOSReg.DocumentType = 'PUR' "
                                                      "GROUP BY FaOSReg.AccountCode ORDER BY COUNT(*) DESC LIMIT 1");
        std::printf("location summaries of the debtor %s and the creditor %s\n", qPrintable(debtor), qPrintable(creditor));
        std::printf("times are medians of %d runs after one warm-up run\n\n", options.runs);

        const QString periodStart = QStringLiteral("2025-04-15");
        const QString day = kToday.toString(QStringLiteral("yyyy-MM-dd"));
        const QStringList dayCodes{QStringLiteral("TR"), QStringLiteral("TP"), QStringLiteral("RT"), QStringLiteral("PT"),
                                   QStringLiteral("OR"), QStringLiteral("OI"), QStringLiteral("RQ"), QStringLiteral("IQ")};
        struct Case {
            const char* action;
            QStringList codes;
        };
        const std::vector<Case> cases{
            {"AccountSummary", {"SA", "PU", "CH", "BK", "SD", "SC", "TR", "TP", "RT", "PT", "OR", "WD", "OP", "OI", "WR", "PP"}},
            {"LocationSummary", {"SD", "SC", "TR", "TP", "RT", "PT", "OR", "WD", "OP", "OI", "WR", "PP"}},
            {"ItemSummary", {"ST", "RQ", "IQ"}},
        };
        double worstMs = 0, worstRatio = 0;
        for (const Case& c : cases) {
            for (const QString& code : c.codes) {
                const QString action = QString::fromLatin1(c.action);
                if (!options.only.isEmpty() && !(action + QLatin1Char(' ') + code).contains(options.only, Qt::CaseInsensitive))
                    continue;
                std::vector<std::pair<QString, QString>> members{
                    {QStringLiteral("FolderName"), kCompany},
                    {QStringLiteral("StartDate"), dayCodes.contains(code) ? day : periodStart},
                    {QStringLiteral("LastDate"), day},
                    {QStringLiteral("GroupType"), code}};
                if (action == QLatin1String("LocationSummary")) {
                    static const QStringList purchaseCodes{QStringLiteral("SC"), QStringLiteral("TP"), QStringLiteral("PT"),
                                                           QStringLiteral("OI"), QStringLiteral("WR"), QStringLiteral("PP")};
                    const bool purchaseSide = purchaseCodes.contains(code);
                    members.push_back({QStringLiteral("AccountCode"), purchaseSide ? creditor : debtor});
                }
                const Timing t = Measure(setup, Request(action, QStringLiteral("ADMIN"), QStringLiteral("admin"), members),
                                         options.runs, straight);
                const QByteArray what = (action + QLatin1Char(' ') + code).toLatin1();
                Report(what.constData(), t, options.plans, straight);
                worstMs = std::max(worstMs, t.request);
                worstRatio = std::max(worstRatio, t.ratio);
            }
        }
        sqlite3_close(straight);
        const bool goal = worstMs < 1000.0 && worstRatio < 1.2;
        std::printf("\nslowest reply %.1f ms, highest ratio %.2f; goal (every reply under 1 s, every ratio under 1.2): %s\n",
                    worstMs, worstRatio, goal ? "met" : "missed");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
