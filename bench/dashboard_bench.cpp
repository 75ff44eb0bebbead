// Times "CompanyList" and "DashBoard" on the benchmark company (see BenchCompany.h) in the embedded
// database, and the same statements run straight on SQLite.
//
// Usage: corvantis-bench-dashboard [--runs N] [--keep FOLDER] [--no-analyze] [--plans]

#include "BenchCompany.h"
#include "Fixtures.h"
#include "clock/Clock.h"
#include "clsSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <stdexcept>

using namespace bench;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int runs = 5;
    bool analyze = true;
    bool plans = false;
    QString keep;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--keep") && i + 1 < args.size())
            keep = args[++i];
        else if (args[i] == QLatin1String("--no-analyze"))
            analyze = false;
        else if (args[i] == QLatin1String("--plans"))
            plans = true;
        else {
            std::fprintf(stderr, "usage: %s [--runs N] [--keep FOLDER] [--no-analyze] [--plans]\n", argv[0]);
            return 2;
        }
    }

    QTemporaryDir temp;
    if (!temp.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString root = keep.isEmpty() ? temp.path() : QDir(keep).absolutePath();
    const QString programFolder = QDir(root).filePath(QStringLiteral("CALDERWICK/Corvantis"));
    const QString databaseFolder = QDir(root).filePath(QStringLiteral("databases"));
    QDir().mkpath(programFolder);
    // The per-user settings store of the benchmark's own, never the real one.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(QDir(root).filePath(QStringLiteral("config"))));

    try {
        QElapsedTimer timer;
        timer.start();
        GenerateCompany(databaseFolder, analyze);
        std::printf("company generated in %.1f s%s: %d account-ledger lines, %d accounts, %d items, %d item-ledger "
                    "lines, %d order lines\n",
                    timer.elapsed() / 1000.0, analyze ? " (with ANALYZE)" : " (no ANALYZE)", kAccountLedgerLines,
                    kAccounts, kItems, kItemLedgerLines, kSalesOrderLines + kPurchaseOrderLines);

        platform::Clock::Set(QDateTime(kToday, QTime(11, 0)));
        TraceEveryConnection();

        clsSetup setup(programFolder);
        fixtures::PointSetupAt(setup, databaseFolder);
        setup.lCurrentYearOnly = false;
        setup.LogEvents();  // the server writes its text log line by line while it answers
        if (!setup.GetCompanyList() || setup.xCompanies.RowCount() == 0) {
            std::fprintf(stderr, "company discovery failed; the company is listed by hand\n");
            fixtures::ListCompany(setup.xCompanies, kCompany, QStringLiteral("Bench Traders"), kYearStart.startOfDay(),
                                  kYearLast.startOfDay());
        }

        sqlite3* straight = OpenStraight(databaseFolder);

        std::printf("times are medians of %d runs after one warm-up run\n\n", runs);
        const Timing list = Measure(setup, Request(QStringLiteral("CompanyList"), QStringLiteral("ADMIN"), QStringLiteral("admin"), {}),
                                    runs, straight);
        Report("CompanyList", list, false, straight, false);
        const Timing year = Measure(
            setup, Request(QStringLiteral("DashBoard"), QStringLiteral("ADMIN"), QStringLiteral("admin"),
                           QStringLiteral("1899-12-30"), QStringLiteral("1899-12-30")),
            runs, straight);
        Report("DashBoard, company year (whole months)", year, plans, straight);
        const Timing part = Measure(
            setup, Request(QStringLiteral("DashBoard"), QStringLiteral("CLERK"), QStringLiteral("clerk"),
                           QStringLiteral("2025-04-15"), QStringLiteral("2026-02-20")),
            runs, straight);
        Report("DashBoard, 15 Apr 2025 - 20 Feb 2026 (parts)", part, plans, straight);
        sqlite3_close(straight);

        const bool goal = year.request < 1000.0 && year.ratio < 1.2;
        std::printf("\ngoal (DashBoard under 1 s, ratio under 1.2) on the company year: %s\n", goal ? "met" : "missed");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
