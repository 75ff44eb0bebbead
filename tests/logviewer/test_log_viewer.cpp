// The log window driven on the offscreen platform over a request-log table written by the
// server's own request-log code: start-up and its refusals, the date checks, Get Log Data,
// sorting by heading, the filter bar with its delay, the memo of a row, the failure boxes and
// the folder button.
#include "ViewerTestSupport.h"
#include "WidgetCaptions.h"

#include "clock/Clock.h"
#include "clsSetup.h"
#include "database/Connection.h"
#include "database/Recordset.h"
#include "frmMemo.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QLockFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace viewertest;

namespace {
const QString kCaption = QStringLiteral("Tessarin Mobile SQL Log (1.1.2)");
const QDateTime kNow(QDate(2024, 3, 10), QTime(12, 0));

QDateTime At(int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2024, 3, day), QTime(hour, minute, second));
}

// Seven requests over four days; the first lies before the range the tests load.
QList<LoggedRequest> SampleRequests()
{
    const QString reply = QStringLiteral("{\"Action\":\"%1\",\"MobileNo\":\"%2\",\"Status\":1,\"Message\":\"Success\"}<EOF>");
    return {
        {At(7, 23, 59, 59), "10.0.0.9", RequestText("Login", "9800000000"), At(8, 0, 0, 1), reply.arg("Login", "9800000000")},
        {At(8, 9, 0), "10.0.0.1", RequestText("Login", "9810000001"), At(8, 9, 0, 1), reply.arg("Login", "9810000001")},
        {At(8, 9, 5), "10.0.0.1", RequestText("CompanyList", "9810000001", "PEMO"), At(8, 9, 5, 2),
         reply.arg("CompanyList", "9810000001")},
        {At(9, 10, 0), "10.0.0.2", RequestText("DashBoard", "9820000002", "PEMO", "TESTCO"), At(9, 10, 0, 3),
         reply.arg("DashBoard", "9820000002")},
        {At(9, 11, 30), "10.0.0.25", RequestText("dashboard", "9820000002", "A|B", "TESTCO"), At(9, 11, 30, 1),
         reply.arg("dashboard", "9820000002")},
        {At(10, 8, 15), "192.168.1.5", RequestText("AccountLedger", "9830000003", "PEMO", "TESTCO"), At(10, 8, 15, 4),
         reply.arg("AccountLedger", "9830000003")},
        {At(10, 8, 20), "10.0.0.3", RequestText("Login", "9830000003"), QDateTime(), QString()},
    };
}

// The stored log rows as text, to show that the viewer changes nothing.
QStringList StoredLog(const Installation& installation)
{
    platform::db::Connection connection;
    connection.Open(QStringLiteral("Server=sqlite:") + installation.DataFolder() + QStringLiteral(";Database=master"));
    platform::db::Recordset recordset;
    recordset.Open(QStringLiteral("SELECT * FROM TessarinMobileLog ORDER BY RequestID"), connection);
    QStringList rows;
    while (!recordset.IsEOF()) {
        QStringList row;
        for (int i = 0; i < 10; ++i)
            row << recordset.Field(i).ToVariant().toString();
        rows << row.join(QLatin1Char('|'));
        recordset.MoveNext();
    }
    return rows;
}

// Closes the memo window when it opens, after taking its caption and text.
struct MemoWatch {
    QString caption, text;
    bool seen = false;
    QTimer timer;
    MemoWatch()
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto* memo = qobject_cast<frmMemo*>(QApplication::activeModalWidget())) {
                seen = true;
                caption = memo->windowTitle();
                text = memo->txtMemo()->toPlainText();
                memo->close();
            }
        });
        timer.start();
    }
};
}  // namespace

class TestLogViewer : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    std::unique_ptr<Installation> m_installation;  // the sample log, shared by the tests that only read

    struct Running {
        QTemporaryDir lock;
        std::unique_ptr<frmTessarinMobileLog> window;
    };
    // A started window on the sample installation, its dates set to the range and loaded.
    std::unique_ptr<Running> Loaded(const QDate& start = QDate(2024, 3, 8), const QDate& last = QDate(2024, 3, 10),
                                    Installation* installation = nullptr)
    {
        auto running = std::make_unique<Running>();
        running->window = MakeWindow((installation ? installation : m_installation.get())->ProgramFolder(), running->lock.path());
        if (!StartWindow(*running->window))
            return nullptr;
        running->window->TDBDate(0)->setDate(start);
        running->window->TDBDate(1)->setDate(last);
        QTest::mouseClick(running->window->Command(1), Qt::LeftButton);
        return running;
    }

    static QStringList Ids(const frmTessarinMobileLog& window) { return GridColumn(window, 0); }

    static QPoint HeadingPoint(frmTessarinMobileLog& window, int col)
    {
        auto* header = window.FilterBar();
        return QPoint(header->sectionViewportPosition(col) + header->sectionSize(col) / 2, 6);
    }

    static void TypeFilter(frmTessarinMobileLog& window, int col, const QString& text)
    {
        QLineEdit* cell = window.FilterBar()->Cell(col);
        cell->setFocus();
        QTest::keyClicks(cell, text);
    }

    static void ClearFilter(frmTessarinMobileLog& window, int col)
    {
        QLineEdit* cell = window.FilterBar()->Cell(col);
        cell->setFocus();
        cell->selectAll();
        QTest::keyClick(cell, Qt::Key_Delete);
    }

    static bool WaitFilter(frmTessarinMobileLog& window)
    {
        return QTest::qWaitFor([&] { return !window.Timer()->isActive(); }, 5000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        fixtures::IsolateUserSettings(m_home.path() + QStringLiteral("/config"));
        m_installation = std::make_unique<Installation>();
        QVERIFY(m_installation->IsValid());
        QCOMPARE(m_installation->Log(SampleRequests()), QList<qint32>({1, 2, 3, 4, 5, 6, 7}));
    }
    void init()
    {
        platform::Clock::Set(kNow);
        // Tests with an installation of their own point the credentials there.
        fixtures::StoreCredentials(m_installation->DataFolder());
    }
    void cleanup() { platform::Clock::Reset(); }

    // --- start-up ---------------------------------------------------------------------------

    void firstWindow()
    {
        BoxRecorder boxes;
        QTemporaryDir lock;
        auto window = MakeWindow(m_installation->ProgramFolder(), lock.path());
        QVERIFY(StartWindow(*window));
        QCOMPARE(boxes.texts, QStringList());
        QCOMPARE(window->windowTitle(), kCaption);
        QCOMPARE(window->TDBDate(0)->date(), kNow.date());
        QCOMPARE(window->TDBDate(1)->date(), kNow.date());
        QCOMPARE(window->TDBDate(0)->displayFormat(), QStringLiteral("dd/MM/yyyy"));
        QCOMPARE(window->Grid()->model()->rowCount(), 0);
        QCOMPARE(window->Grid()->model()->columnCount(), 9);
        QStringList headings;
        for (int col = 0; col < 9; ++col)
            headings << window->Grid()->model()->headerData(col, Qt::Horizontal).toString();
        QCOMPARE(headings, frmTessarinMobileLog::Headings());
        QCOMPARE(window->PictureColumn(), 0);
        QCOMPARE(window->PictureKey(), QStringLiteral("ImgSortAsc"));
        QCOMPARE(window->CurrentColumn(), 0);
        QCOMPARE(window->Command(0)->text(), QStringLiteral("Exit"));
        QCOMPARE(window->Command(1)->text(), QStringLiteral("Get Log Data"));
        QCOMPARE(window->Command(2)->text(), QStringLiteral("Open Log Folder"));
        QCOMPARE(window->Command(1)->toolTip(), QStringLiteral("Click to Get Log of Data data received and sent."));
        QCOMPARE(window->TDBDate(1)->toolTip(), QStringLiteral("Enter End Date Upto which you want to get Log Data."));
        QVERIFY(!window->FilterBar()->Cell(8));  // the button column takes no filter
        QCOMPARE(widgettest::MisdrawnAmpersands(window.get()), QStringList());
        QVERIFY(!window->Timer()->isActive());
        QCOMPARE(window->Timer()->interval(), 500);

        // Exit ends the window and lets the next copy start.
        QTest::mouseClick(window->Command(0), Qt::LeftButton);
        QVERIFY(window->IsUnloaded());
        QCOMPARE(window->ExitCode(), 0);
        auto next = MakeWindow(m_installation->ProgramFolder(), lock.path());
        QVERIFY(StartWindow(*next));
    }

    void missingSettingsFile()
    {
        BoxRecorder boxes;
        Installation bare(false);
        QTemporaryDir lock;
        auto window = MakeWindow(bare.ProgramFolder(), lock.path());
        QVERIFY(StartWindow(*window));
        QCOMPARE(boxes.texts, QStringList({QStringLiteral("TessarinMobileClientSettings.json file not found.")}));
        QCOMPARE(boxes.styles, QList<int>({48}));
        QCOMPARE(boxes.titles, QStringList({kCaption}));
        // The viewer made the missing log table and wrote no settings file.
        QVERIFY(!QFile::exists(bare.ProgramFolder() + QStringLiteral("/TessarinMobileClientSettings.json")));
        QTest::mouseClick(window->Command(1), Qt::LeftButton);
        QCOMPARE(window->Grid()->model()->rowCount(), 0);
        QCOMPARE(boxes.texts.size(), 1);
    }

    void loadRefusals_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("otherCopyRuns");
        QTest::addColumn<QString>("message");
        QTest::newRow("second copy") << "CALDERWICK/Corvantis" << true << "Tessarin Mobile Log is already running.";
        QTest::newRow("wrong folder") << "CALDERWICK/Corvantis2" << false << "Application must be in CALDERWICK\\Corvantis Folder.";
        QTest::newRow("wrong parent") << "CALDERWICKS/Corvantis/x" << false << "Application must be in CALDERWICK\\Corvantis Folder.";
        QTest::newRow("lower case folder passes") << "calderwick/corvantis" << false << "";
    }
    void loadRefusals()
    {
        QFETCH(QString, folder);
        QFETCH(bool, otherCopyRuns);
        QFETCH(QString, message);
        QTemporaryDir root;
        const QString programFolder = root.path() + QLatin1Char('/') + folder;
        QDir().mkpath(programFolder);
        QLockFile other(root.path() + QStringLiteral("/viewer.lock"));
        if (otherCopyRuns)
            QVERIFY(other.tryLock(0));
        BoxRecorder boxes;
        auto window = MakeWindow(programFolder, root.path());
        if (message.isEmpty()) {
            QVERIFY(boxes.texts.isEmpty());
            QVERIFY(!window->IsUnloaded());
        } else {
            QCOMPARE(boxes.texts, QStringList{message});
            QCOMPARE(boxes.styles, QList<int>({48}));
            QVERIFY(window->IsUnloaded());
            QCOMPARE(window->ExitCode(), 1);
        }
    }

    void unreachableDatabase()
    {
        BoxRecorder boxes;
        QTemporaryDir lock;
        fixtures::StoreCredentials(m_home.path() + QStringLiteral("/no-such-folder"));
        auto window = MakeWindow(m_installation->ProgramFolder(), lock.path());
        const bool started = StartWindow(*window);
        fixtures::StoreCredentials(m_installation->DataFolder());
        QVERIFY(!started);
        QVERIFY(window->IsUnloaded());
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts.first().startsWith(QStringLiteral("Error while getting Company List.")), qPrintable(boxes.texts.first()));
        QCOMPARE(boxes.styles, QList<int>({16}));
    }

    // --- dates ------------------------------------------------------------------------------

    void dateChecks_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("last");
        QTest::addColumn<bool>("cancel");
        const QDate today = kNow.date();
        QTest::newRow("start in range") << 0 << today.addDays(-2) << today << false;
        QTest::newRow("start equal to last and today") << 0 << today << today << false;
        QTest::newRow("start after last") << 0 << today.addDays(-1) << today.addDays(-2) << true;
        QTest::newRow("start after today") << 0 << today.addDays(1) << today.addDays(1) << true;
        QTest::newRow("last in range") << 1 << today.addDays(-2) << today.addDays(-1) << false;
        QTest::newRow("last after today") << 1 << today.addDays(-2) << today.addDays(1) << true;
        QTest::newRow("last before start") << 1 << today.addDays(-1) << today.addDays(-2) << true;
        QTest::newRow("another index") << 2 << today.addDays(5) << today.addDays(-5) << false;
    }
    void dateChecks()
    {
        QFETCH(int, box);
        QFETCH(QDate, start);
        QFETCH(QDate, last);
        QFETCH(bool, cancel);
        BoxRecorder boxes;
        QTemporaryDir lock;
        auto window = MakeWindow(m_installation->ProgramFolder(), lock.path());
        QVERIFY(StartWindow(*window));
        window->TDBDate(0)->setDate(start);
        window->TDBDate(1)->setDate(last);
        bool refused = false;
        window->TDBDate_ValidateDateRange(box, &refused);
        QCOMPARE(refused, cancel);
        if (box == 2)
            return;
        // Leaving the box for the button: a refusal keeps the focus in the box, without a box.
        window->TDBDate(0)->setDate(kNow.date());
        window->TDBDate(1)->setDate(kNow.date());
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        window->TDBDate(box)->setFocus();
        QVERIFY(QTest::qWaitFor([&] { return window->TDBDate(box)->hasFocus(); }, 2000));
        window->TDBDate(0)->setDate(start);
        window->TDBDate(1)->setDate(last);
        window->Command(1)->setFocus();
        QTest::qWait(50);
        QCOMPARE(window->TDBDate(box)->hasFocus(), cancel);
        QCOMPARE(boxes.texts, QStringList());
    }

    // --- Get Log Data -----------------------------------------------------------------------

    void getLogData()
    {
        BoxRecorder boxes;
        auto running = Loaded();
        QVERIFY(running);
        frmTessarinMobileLog& window = *running->window;
        // Whole days from the start day's midnight through the last day, newest first.
        QCOMPARE(Ids(window), QStringList({"7", "6", "5", "4", "3", "2"}));
        QCOMPARE(GridColumn(window, 1).first(), QStringLiteral("2024-03-10 08:20:00"));
        QCOMPARE(GridColumn(window, 2), QStringList({"Login", "AccountLedger", "dashboard", "DashBoard", "CompanyList", "Login"}));
        QCOMPARE(GridColumn(window, 3).first(), QStringLiteral("9830000003"));
        QCOMPARE(GridColumn(window, 4), QStringList({"", "PEMO", "A|B", "PEMO", "PEMO", ""}));
        QCOMPARE(GridColumn(window, 5), QStringList({"", "TESTCO", "TESTCO", "TESTCO", "", ""}));
        QCOMPARE(GridColumn(window, 6).at(1), QStringLiteral("192.168.1.5"));
        QCOMPARE(GridColumn(window, 7).mid(0, 2), QStringList({"1899-12-30", "2024-03-10 08:15:04"}));
        QCOMPARE(GridColumn(window, 8), QStringList(6, QStringLiteral("Click Button")));
        // The picture moved to "Request DateTime", descending, and the widths followed it.
        QCOMPARE(window.PictureColumn(), 1);
        QCOMPARE(window.PictureKey(), QStringLiteral("ImgSortDesc"));
        QCOMPARE(window.CurrentColumn(), 1);
        QDir().mkpath(running->lock.path() + QStringLiteral("/other"));
        auto fresh = MakeWindow(m_installation->ProgramFolder(), running->lock.path() + QStringLiteral("/other"));
        QVERIFY(StartWindow(*fresh));
        QCOMPARE(window.Grid()->columnWidth(0), fresh->Grid()->columnWidth(0) - fresh->PictureWidth());
        QCOMPARE(window.Grid()->columnWidth(1), fresh->Grid()->columnWidth(1) + window.PictureWidth());
        QVERIFY(window.PictureWidth() > 0);

        // One day; and a range the log does not reach.
        window.TDBDate(0)->setDate(QDate(2024, 3, 7));
        window.TDBDate(1)->setDate(QDate(2024, 3, 7));
        QTest::mouseClick(window.Command(1), Qt::LeftButton);
        QCOMPARE(Ids(window), QStringList({"1"}));
        window.TDBDate(0)->setDate(QDate(2023, 1, 1));
        window.TDBDate(1)->setDate(QDate(2023, 1, 31));
        QTest::mouseClick(window.Command(1), Qt::LeftButton);
        QCOMPARE(Ids(window), QStringList());
        QCOMPARE(boxes.texts, QStringList());
    }

    // --- sorting ----------------------------------------------------------------------------

    void sorting_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<int>("pictureColumn");
        QTest::addColumn<QString>("key");
        QTest::newRow("date heading turns the order round") << QList<int>{1} << QStringList{"2", "3", "4", "5", "6", "7"} << 1
                                                             << "ImgSortAsc";
        QTest::newRow("date heading twice") << QList<int>{1, 1} << QStringList{"7", "6", "5", "4", "3", "2"} << 1 << "ImgSortDesc";
        QTest::newRow("response date ascending") << QList<int>{1, 7} << QStringList{"7", "2", "3", "4", "5", "6"} << 7
                                                 << "ImgSortAsc";
        // Text without regard to case; another heading keeps the direction in force.
        QTest::newRow("text heading keeps descending") << QList<int>{2} << QStringList{"7", "2", "5", "4", "3", "6"} << 2
                                                       << "ImgSortDesc";
        QTest::newRow("text heading ascending") << QList<int>{2, 2} << QStringList{"6", "3", "5", "4", "7", "2"} << 2
                                                << "ImgSortAsc";
        QTest::newRow("button heading does nothing") << QList<int>{8} << QStringList{"7", "6", "5", "4", "3", "2"} << 1
                                                     << "ImgSortDesc";
    }
    void sorting()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(QStringList, ids);
        QFETCH(int, pictureColumn);
        QFETCH(QString, key);
        BoxRecorder boxes;
        auto running = Loaded();
        QVERIFY(running);
        frmTessarinMobileLog& window = *running->window;
        const int widthBefore = window.Grid()->columnWidth(pictureColumn);
        const bool hadPicture = window.PictureColumn() == pictureColumn;
        for (int col : clicks)
            QTest::mouseClick(window.FilterBar()->viewport(), Qt::LeftButton, {}, HeadingPoint(window, col));
        QCOMPARE(Ids(window), ids);
        QCOMPARE(window.PictureColumn(), pictureColumn);
        QCOMPARE(window.PictureKey(), key);
        QCOMPARE(window.Grid()->columnWidth(pictureColumn), widthBefore + (hadPicture ? 0 : window.PictureWidth()));
        QCOMPARE(window.CurrentColumn(), pictureColumn);
        QCOMPARE(boxes.texts, QStringList());
    }

    // --- filtering --------------------------------------------------------------------------

    void filterWaitsForAPause()
    {
        auto running = Loaded();
        QVERIFY(running);
        frmTessarinMobileLog& window = *running->window;
        TypeFilter(window, 2, QStringLiteral("dash"));
        QVERIFY(window.Timer()->isActive());
        QCOMPARE(window.Grid()->model()->rowCount(), 6);
        QElapsedTimer sinceChange;
        sinceChange.start();
        QTest::qWait(300);
        const bool firstPending = window.Timer()->isActive() && sinceChange.elapsed() < 450;
        TypeFilter(window, 2, QStringLiteral("B"));  // another change starts the 500 ms again
        sinceChange.restart();
        QTest::qWait(300);
        // (A machine too busy to come back within the 500 ms cannot show the wait.)
        if (firstPending && sinceChange.elapsed() < 450)
            QCOMPARE(window.Grid()->model()->rowCount(), 6);
        QVERIFY(WaitFilter(window));
        QVERIFY(sinceChange.elapsed() >= 450);
        QCOMPARE(Ids(window), QStringList({"5", "4"}));
        // Typing goes on in the same cell after the rebind.
        QVERIFY(window.FilterBar()->Cell(2)->hasFocus());
        QCOMPARE(window.CurrentColumn(), 2);
        QCOMPARE(window.FilterBar()->Text(2), QStringLiteral("dashB"));

        // "Get Log Data" clears the bar before it loads.
        QTest::mouseClick(window.Command(1), Qt::LeftButton);
        QCOMPARE(window.FilterBar()->Text(2), QString());
        QCOMPARE(Ids(window).size(), 6);
        QVERIFY(!window.Timer()->isActive());
    }

    void filterColumns_data()
    {
        QTest::addColumn<QList<int>>("columns");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("filterText");
        QTest::addColumn<QStringList>("ids");
        QTest::newRow("two columns") << QList<int>{2, 6} << QStringList{"a", "5"} << "||a||||5||" << QStringList{"6", "5"};
        QTest::newRow("any case, anywhere") << QList<int>{3, 2} << QStringList{"0002", "DASH"} << "||DASH|0002|||||"
                                            << QStringList{"5", "4"};
        QTest::newRow("a date column by its text") << QList<int>{1} << QStringList{"2024-03-09"} << "|2024-03-09|||||||"
                                                   << QStringList{"5", "4"};
        QTest::newRow("response time of an unanswered request") << QList<int>{7} << QStringList{"1899"} << "|||||||1899|"
                                                                << QStringList{"7"};
        // A "|" stays in its own cell: the user "A|B" only.
        QTest::newRow("bar in a term") << QList<int>{4} << QStringList{"a|b"} << "||||a|b||||" << QStringList{"5"};
        QTest::newRow("nothing matches") << QList<int>{5} << QStringList{"nope"} << "|||||nope|||" << QStringList{};
    }
    void filterColumns()
    {
        QFETCH(QList<int>, columns);
        QFETCH(QStringList, texts);
        QFETCH(QString, filterText);
        QFETCH(QStringList, ids);
        BoxRecorder boxes;
        auto running = Loaded();
        QVERIFY(running);
        frmTessarinMobileLog& window = *running->window;
        for (int i = 0; i < columns.size(); ++i)
            TypeFilter(window, columns.at(i), texts.at(i));
        QCOMPARE(window.LogViewerFilterText(), filterText);
        QVERIFY(WaitFilter(window));
        QCOMPARE(Ids(window), ids);
        clsSetup* setup = window.GetSetup();
        QCOMPARE(setup->xLogData.RowCount() + setup->xFilteredLogData.RowCount(), 6);
        // Clearing every cell brings every row back, in the sort in force.
        for (int col : columns)
            ClearFilter(window, col);
        QCOMPARE(window.LogViewerFilterText(), QString());
        QVERIFY(WaitFilter(window));
        QCOMPARE(Ids(window), QStringList({"7", "6", "5", "4", "3", "2"}));
        QCOMPARE(setup->xFilteredLogData.RowCount(), 0);
        QCOMPARE(boxes.texts, QStringList());
    }

    void filterKeepsTheSort_data()
    {
        QTest::addColumn<int>("sortColumn");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QStringList>("ids");
        // Text compared without regard to case, as the heading sorts it ("dashboard" beside
        // "DashBoard", "Login" after both).
        QTest::newRow("action ascending") << 2 << 2 << QStringList{"6", "3", "5", "4", "7", "2"};
        QTest::newRow("action descending") << 2 << 1 << QStringList{"7", "2", "5", "4", "3", "6"};
        QTest::newRow("request time ascending") << 1 << 1 << QStringList{"2", "3", "4", "5", "6", "7"};
    }
    void filterKeepsTheSort()
    {
        QFETCH(int, sortColumn);
        QFETCH(int, clicks);
        QFETCH(QStringList, ids);
        auto running = Loaded();
        QVERIFY(running);
        frmTessarinMobileLog& window = *running->window;
        for (int i = 0; i < clicks; ++i)
            QTest::mouseClick(window.FilterBar()->viewport(), Qt::LeftButton, {}, HeadingPoint(window, sortColumn));
        QCOMPARE(Ids(window), ids);
        TypeFilter(window, 3, QStringLiteral("98"));  // every row matches
        QVERIFY(WaitFilter(window));
        QCOMPARE(Ids(window), ids);
        QCOMPARE(window.PictureColumn(), sortColumn);
        QCOMPARE(window.CurrentColumn(), 3);
    }

    // --- the memo of a row ------------------------------------------------------------------

    void memoOfARow()
    {
        BoxRecorder boxes;
        auto running = Loaded();
        QVERIFY(running);
        frmTessarinMobileLog& window = *running->window;
        const QStringList before = StoredLog(*m_installation);
        const int row = static_cast<int>(Ids(window).indexOf(QStringLiteral("5")));
        QTableView* grid = window.Grid();

        // A cell outside the button column opens nothing.
        {
            MemoWatch watch;
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(row, 2)).center());
            QTest::qWait(100);
            QVERIFY(!watch.seen);
        }
        MemoWatch watch;
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(row, 8)).center());
        QVERIFY(watch.seen);
        QCOMPARE(watch.caption, QStringLiteral("Request and Response Text"));
        // The box shows one line break for each CR LF.
        QVERIFY2(watch.text.startsWith(QStringLiteral("Request : \n=========\n{\n  \"Action\": \"dashboard\"")), qPrintable(watch.text));
        QVERIFY(watch.text.contains(QStringLiteral("\"UserID\": \"A|B\"")));
        QVERIFY(watch.text.contains(QStringLiteral("\"Password\": \"*****\"")));  // as stored, masked
        QVERIFY(watch.text.contains(QStringLiteral("}\n\nResponse : \n==========\n{\n  \"Action\": \"dashboard\"")));
        QCOMPARE(boxes.texts, QStringList());
        QCOMPARE(StoredLog(*m_installation), before);  // reading wrote nothing
    }

    // A close asked from outside while the memo window is open closes the memo first and then
    // the window, which gives its lock back.
    void closeFromOutsideWithMemoOpen()
    {
        BoxRecorder boxes;
        auto running = Loaded();
        QVERIFY(running);
        frmTessarinMobileLog& window = *running->window;
        const int row = static_cast<int>(Ids(window).indexOf(QStringLiteral("5")));
        QTableView* grid = window.Grid();
        bool asked = false;
        QTimer ask;
        ask.setInterval(20);
        connect(&ask, &QTimer::timeout, &window, [&] {
            if (!asked && qobject_cast<frmMemo*>(QApplication::activeModalWidget())) {
                asked = true;
                window.CloseFromOutside();
                QVERIFY(!window.IsUnloaded());  // not under the memo's own loop
            }
        });
        ask.start();
        QSignalSpy unloaded(&window, &frmTessarinMobileLog::Unloaded);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(row, 8)).center());
        QVERIFY(asked);
        QTRY_COMPARE(unloaded.size(), 1);
        QCOMPARE(unloaded[0][0].toInt(), 0);
        QVERIFY(window.IsUnloaded());
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!QFileInfo::exists(running->lock.path() + QStringLiteral("/viewer.lock")));
        QCOMPARE(boxes.texts, QStringList());
    }

    // --- failures ---------------------------------------------------------------------------

    void unreadableLog()
    {
        Installation installation;
        installation.Log(SampleRequests());
        BoxRecorder boxes;
        auto running = Loaded(QDate(2024, 3, 8), QDate(2024, 3, 10), &installation);
        QVERIFY(running);
        frmTessarinMobileLog& window = *running->window;
        QCOMPARE(Ids(window).size(), 6);
        const int row = 2;
        installation.ExecOnLog(QStringLiteral("ALTER TABLE TessarinMobileLog RENAME TO Gone"));

        // The request texts: a box, and no empty memo.
        MemoWatch watch;
        QTableView* grid = window.Grid();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(row, 8)).center());
        QTest::qWait(50);
        QVERIFY(!watch.seen);
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts.at(0).startsWith(QStringLiteral("Error while getting Request & Response JSON. Error No.")),
                 qPrintable(boxes.texts.at(0)));

        // The rows: a box, and the grid no longer shows the rows that are gone.
        QTest::mouseClick(window.Command(1), Qt::LeftButton);
        QCOMPARE(boxes.texts.size(), 2);
        QVERIFY2(boxes.texts.at(1).startsWith(QStringLiteral("Error while getting LogData. Error No.")), qPrintable(boxes.texts.at(1)));
        QCOMPARE(boxes.styles, QList<int>({16, 16}));
        QCOMPARE(boxes.titles, QStringList({kCaption, kCaption}));
        QCOMPARE(window.Grid()->model()->rowCount(), 0);
        QVERIFY(!window.IsUnloaded());

        // Back again, the rows read as before.
        installation.ExecOnLog(QStringLiteral("ALTER TABLE Gone RENAME TO TessarinMobileLog"));
        QTest::mouseClick(window.Command(1), Qt::LeftButton);
        QCOMPARE(Ids(window).size(), 6);
        QCOMPARE(boxes.texts.size(), 2);
    }

    void rowGoneBeforeItsMemo()
    {
        Installation installation;
        installation.Log(SampleRequests());
        BoxRecorder boxes;
        auto running = Loaded(QDate(2024, 3, 8), QDate(2024, 3, 10), &installation);
        QVERIFY(running);
        frmTessarinMobileLog& window = *running->window;
        installation.ExecOnLog(QStringLiteral("DELETE FROM TessarinMobileLog WHERE RequestID = 7"));
        MemoWatch watch;
        QTableView* grid = window.Grid();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 8)).center());
        QTest::qWait(50);
        QVERIFY(!watch.seen);
        QCOMPARE(boxes.texts, QStringList({QStringLiteral("Request ID 7 is not in the log.")}));
        QCOMPARE(boxes.styles, QList<int>({16}));
    }

    // --- the folder button ------------------------------------------------------------------

    void openLogFolder()
    {
        BoxRecorder boxes;
        FolderOpener opener;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &opener, "Open");
        QTemporaryDir lock;
        auto window = MakeWindow(m_installation->ProgramFolder(), lock.path());
        QVERIFY(StartWindow(*window));
        QTest::mouseClick(window->Command(2), Qt::LeftButton);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(opener.opened.size(), 1);
        QCOMPARE(opener.opened.first().toLocalFile(), m_installation->ProgramFolder() + QStringLiteral("/LogFiles"));
        QCOMPARE(boxes.texts, QStringList());
    }
};

QTEST_MAIN(TestLogViewer)
#include "test_log_viewer.moc"
