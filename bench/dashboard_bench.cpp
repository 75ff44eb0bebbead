// Times "CompanyList" and "DashBoard" on the benchmark company (see BenchCompany.h) in the embedded
// database, and the same statements run straight on SQLite.
//
// Usage: corvantis-bench-dashboard [--runs N] [--keep FOLDER] [--no-analyze] [--plans]

#include "BenchCompany.h"
#include "clsSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <stdexcept>

using namespace bench;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const Start start(argc, argv, "[--runs N] [--keep FOLDER] [--no-analyze] [--plans]");
    if (start.exitCode != 0)
        return start.exitCode;
    const Options& options = start.options;
    const QString& programFolder = start.programFolder;
    const QString& databaseFolder = start.databaseFolder;

    try {
        QElapsedTimer timer;
        timer.start();
        GenerateCompany(databaseFolder, options.analyze);
        std::printf("company generated in %.1f s%s: %d account-ledger lines, %d accounts, %d items, %d item-ledger "
                    "lines, %d order lines\n",
                    timer.elapsed() / 1000.0, options.analyze ? " (with ANALYZE)" : " (no ANALYZE)", kAccountLedgerLines,
                    kAccounts, kItems, kItemLedgerLines, kSalesOrderLines + kPurchaseOrderLines);

        StartTracing();

        clsSetup setup(programFolder);
        PointSetup(setup, databaseFolder, true);
        if (!DiscoverCompanies(setup)) {
            std::fprintf(stderr, "company discovery failed; the company is listed by hand\n");
            ListByHand(setup, QStringLiteral("Bench Traders"));
        }

        sqlite3* straight = OpenStraight(databaseFolder);

        std::printf("times are medians of %d runs after one warm-up run\n\n", options.runs);
        const Timing list = Measure(setup, Request(QStringLiteral("CompanyList"), QStringLiteral("ADMIN"), QStringLiteral("admin"), {}),
                                    options.runs, straight);
        Report("CompanyList", list, false, straight, false);
        const Timing year = Measure(
            setup, Request(QStringLiteral("DashBoard"), QStringLiteral("ADMIN"), QStringLiteral("admin"),
                           QStringLiteral("1899-12-30"), QStringLiteral("1899-12-30")),
            options.runs, straight);
        Report("DashBoard, company year (whole months)", year, options.plans, straight);
        const Timing part = Measure(
            setup, Request(QStringLiteral("DashBoard"), QStringLiteral("CLERK"), QStringLiteral("clerk"),
                           QStringLiteral("2025-04-15"), QStringLiteral("2026-02-20")),
            options.runs, straight);
        Report("DashBoard, 15 Apr 2025 - 20 Feb 2026 (parts)", part, options.plans, straight);
        sqlite3_close(straight);

        const bool goal = year.request < 1000.0 && year.ratio < 1.2;
        std::printf("\ngoal (DashBoard under 1 s, ratio under 1.2) on the company year: %s\n", goal ? "met" : "missed");
        std::printf("goal (DashBoard over part months under 300 ms): %s\n", part.request < 300.0 ? "met" : "missed");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
