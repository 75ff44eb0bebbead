// The log window over a large request log: the rows are written by the server's own request-log
// code (clsSetup.InsertRequest and UpdateRequest, one request and its reply at a time), then
// Get Log Data, sorting by a heading and filtering are timed until the grid has painted.
//
//   QT_QPA_PLATFORM=offscreen lodrevin-bench-viewer [rows=100000] [runs=5] [bulk]
#include "clock/TimeZone.h"
#include "ViewerTestSupport.h"

#include "clock/Clock.h"
#include "clsSetup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

struct Figures {
    double median = 0, best = 0, worst = 0;
};

// Runs `prepare` (untimed) and then `step` followed by a paint of the window, `runs` times.
Figures Time(int runs, const std::function<void()>& prepare, const std::function<void()>& step, QWidget& window)
{
    QList<double> ms;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        step();
        window.repaint();
        QApplication::processEvents();
        ms << timer.nsecsElapsed() / 1e6;
    }
    std::sort(ms.begin(), ms.end());
    return {ms.at(ms.size() / 2), ms.first(), ms.last()};
}

void Report(const char* what, const Figures& f, double goalMs, int rows)
{
    std::printf("%-44s %9.1f %9.1f %9.1f   %6d   %s\n", what, f.median, f.best, f.worst, rows,
                f.median < goalMs ? "within goal" : "OVER GOAL");
}

}  // namespace

int main(int argc, char** argv)
{
    platform::KeepTimeZoneLoaded();  // as the program does
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lodrevin"));
    const int rows = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 100000;
    const int runs = argc > 2 ? std::max(1, QString::fromLocal8Bit(argv[2]).toInt()) : 5;
    const bool bulk = argc > 3 && QString::fromLocal8Bit(argv[3]) == QStringLiteral("bulk");

    QTemporaryDir home;
    fixtures::IsolateUserSettings(home.path() + QStringLiteral("/config"));
    viewertest::Installation installation;

    // 100,000 requests over 50 days, ten actions, forty mobiles and their addresses.
    const QStringList actions = {"Login", "CompanyList", "DashBoard", "AccountSummary", "AccountLedger", "Outstanding",
                                 "ItemList", "Document", "Order", "PartyList"};
    const QDate firstDay(2025, 1, 1);
    const int days = 50;
    const qint64 spacingMs = qint64(days) * 86400000 / rows;
    QList<viewertest::LoggedRequest> requests;
    requests.reserve(rows);
    for (int i = 0; i < rows; ++i) {
        const QDateTime at = QDateTime(firstDay, QTime(0, 0)).addMSecs(spacingMs * i);
        const QString action = actions.at(i % actions.size());
        const QString mobile = QStringLiteral("98%1").arg(10000000 + (i * 7) % 40, 8, 10, QLatin1Char('0'));
        const QString request = viewertest::RequestText(action, mobile, QStringLiteral("USER%1").arg(i % 5),
                                                        QStringLiteral("COMPANY%1").arg(i % 3));
        const QString reply = QStringLiteral("{\"Action\":\"%1\",\"MobileNo\":\"%2\",\"Status\":1,\"Message\":\"Success\","
                                             "\"Data\":[{\"ActNm\":\"Party %3\",\"Amt\":%4}]}<EOF>")
                                  .arg(action, mobile)
                                  .arg(i)
                                  .arg(i * 13 % 100000);
        requests.append({at, QStringLiteral("10.0.%1.%2").arg((i * 7) % 40 / 256).arg((i * 7) % 40 + 1), request,
                         at.addMSecs(120 + i % 400), reply});
    }
    QElapsedTimer writing;
    writing.start();
    if (bulk) {
        // The same rows in one statement of SQLite's own, for quick runs while working on the
        // window; the figures to quote come from the server's code above.
        installation.Log({});
        const QString sql = QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1 - 1) "
            "INSERT INTO TessarinMobileLog (RequestDateTime, Action, MobileNo, UserID, DatabaseName, IPAddress, RequestJSON, "
            "ResponseDateTime, ResponseJSON) SELECT datetime('2025-01-01', '+' || (i * %2 / 1000) || ' seconds'), "
            "CASE i % 10 WHEN 0 THEN 'Login' WHEN 1 THEN 'CompanyList' WHEN 2 THEN 'DashBoard' WHEN 3 THEN 'AccountSummary' "
            "WHEN 4 THEN 'AccountLedger' WHEN 5 THEN 'Outstanding' WHEN 6 THEN 'ItemList' WHEN 7 THEN 'Document' "
            "WHEN 8 THEN 'Order' ELSE 'PartyList' END, '98' || (10000000 + (i * 7) % 40), 'USER' || (i % 5), "
            "'COMPANY' || (i % 3), '10.0.0.' || ((i * 7) % 40 + 1), '{\"Action\":\"Login\"}', "
            "datetime('2025-01-01', '+' || (i * %2 / 1000 + 1) || ' seconds'), '{\"Status\":1}' FROM n")
                                .arg(rows)
                                .arg(spacingMs);
        installation.ExecOnLog(sql);
    } else {
        installation.Log(requests);
    }
    const double writeSeconds = writing.nsecsElapsed() / 1e9;
    std::printf("Request log: %d requests written %s in %.1f s (%.0f a second)\n\n", rows,
                bulk ? "by one bulk INSERT" : "through clsSetup.InsertRequest and UpdateRequest", writeSeconds,
                rows / writeSeconds);

    platform::Clock::Set(QDateTime(firstDay.addDays(days), QTime(12, 0)));
    QTemporaryDir lock;
    auto window = viewertest::MakeWindow(installation.ProgramFolder(), lock.path());
    if (!viewertest::StartWindow(*window)) {
        std::fprintf(stderr, "the window did not start\n");
        return 1;
    }
    window->TDBDate(0)->setDate(firstDay);
    window->TDBDate(1)->setDate(firstDay.addDays(days));
    clsSetup& setup = *window->GetSetup();

    std::printf("%-44s %9s %9s %9s   %6s\n", "step (ms, until the grid has painted)", "median", "best", "worst", "rows");
    const Figures load = Time(runs, [] {}, [&] { window->Command(1)->click(); }, *window);
    Report("Get Log Data (all rows, newest first)", load, 1000, setup.xLogData.RowCount());

    const auto clickHeading = [&](int col) { emit window->FilterBar()->sectionClicked(col); };
    Report("sort by Action (text), one heading click",
           Time(runs, [] {}, [&] { clickHeading(2); }, *window), 300, setup.xLogData.RowCount());
    Report("sort by Request DateTime (date-time)",
           Time(runs, [] {}, [&] { clickHeading(1); }, *window), 300, setup.xLogData.RowCount());
    Report("sort by Mobile No. (text)",
           Time(runs, [] {}, [&] { clickHeading(3); }, *window), 300, setup.xLogData.RowCount());

    // Filtering: the run the timer starts after its 500 ms (the delay itself is not counted).
    QLineEdit* actionCell = window->FilterBar()->Cell(2);
    QLineEdit* mobileCell = window->FilterBar()->Cell(3);
    const auto reset = [&] {
        actionCell->clear();
        mobileCell->clear();
        window->tmrTimer_Timer();
    };
    int shown = 0;
    Figures f = Time(runs, reset, [&] {
        actionCell->setText(QStringLiteral("ledger"));
        window->tmrTimer_Timer();
        shown = setup.xLogData.RowCount();
    }, *window);
    Report("filter Action \"ledger\" (1 row in 10 stays)", f, 300, shown);
    f = Time(runs, reset, [&] {
        actionCell->setText(QStringLiteral("o"));
        mobileCell->setText(QStringLiteral("07"));
        window->tmrTimer_Timer();
        shown = setup.xLogData.RowCount();
    }, *window);
    Report("filter Action \"o\" and Mobile No. \"07\"", f, 300, shown);
    f = Time(runs, [&] {
        reset();
        actionCell->setText(QStringLiteral("ledger"));
        window->tmrTimer_Timer();
    }, [&] {
        actionCell->clear();
        window->tmrTimer_Timer();
        shown = setup.xLogData.RowCount();
    }, *window);
    Report("clear the filter (every row back, re-sorted)", f, 300, shown);
    return 0;
}
