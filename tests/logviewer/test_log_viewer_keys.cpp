// The log window and its text window from the keyboard alone, on an X display with a window
// manager, keys given to the window as the user's are: the Tab order follows the screen, Tab
// leaves the rows while the arrows move among their cells, Space or Enter on a row's button
// opens its request and reply, and the text of that window can be selected, copied and paged
// through.
#include "ViewerTestSupport.h"
#include "WindowInput.h"

#include "clock/Clock.h"
#include "frmMemo.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace viewertest;
using namespace windowtest;

namespace {
const QDateTime kNow(QDate(2024, 3, 10), QTime(12, 0));

// A reply long enough that the text window has pages to scroll through.
QString LongReply(const QString& action)
{
    QString rows;
    for (int i = 0; i < 120; ++i)
        rows += QStringLiteral("%1{\"ActCd\":\"D%2\",\"Amt\":%3}").arg(i ? QStringLiteral(",") : QString()).arg(i, 3, 10, QLatin1Char('0')).arg(i * 10);
    return QStringLiteral("{\"Action\":\"%1\",\"Status\":1,\"Message\":\"Success\",\"Data\":[%2]}<EOF>").arg(action, rows);
}

QList<LoggedRequest> SampleRequests()
{
    auto at = [](int day, int hour) { return QDateTime(QDate(2024, 3, day), QTime(hour, 0)); };
    return {
        {at(8, 9), "10.0.0.1", RequestText("Login", "9810000001"), at(8, 9).addSecs(1), LongReply("Login")},
        {at(9, 9), "10.0.0.2", RequestText("DashBoard", "9820000002", "PEMO", "TESTCO"), at(9, 9).addSecs(1),
         LongReply("DashBoard")},
        {at(10, 8), "10.0.0.3", RequestText("Login", "9830000003"), at(10, 8).addSecs(1), LongReply("Login")},
    };
}

// The control with the keyboard focus, named as the window names it.
QString Focused()
{
    const QWidget* w = QApplication::focusWidget();
    return w ? w->objectName() : QStringLiteral("(none)");
}

// Runs `inside` once the text window is open over the log window, then closes it; false when it
// never opened. The window opens inside a key or click handler, so this runs from its own loop.
struct MemoSession {
    std::function<void(frmMemo&)> inside;
    bool opened = false;
    QTimer watch;
    MemoSession()
    {
        watch.setInterval(20);
        QObject::connect(&watch, &QTimer::timeout, [this] {
            auto* memo = qobject_cast<frmMemo*>(QApplication::activeModalWidget());
            if (!memo || opened || !memo->isActiveWindow())
                return;
            opened = true;
            watch.stop();
            if (inside)
                inside(*memo);
            memo->close();
        });
        watch.start();
    }
};

}  // namespace

class TestLogViewerKeys : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    std::unique_ptr<Installation> m_installation;
    QTemporaryDir m_lock;
    std::unique_ptr<frmTessarinMobileLog> m_window;

    frmTessarinMobileLog& window() { return *m_window; }
    QTableView* grid() { return m_window->Grid(); }

    // The rows of 8 to 10 March loaded (newest first: RequestIDs 3, 2, 1).
    bool LoadRows()
    {
        window().TDBDate(0)->setDate(kNow.date().addDays(-2));
        Click(window().Command(1));
        return GridColumn(window(), 0) == QStringList({"3", "2", "1"});
    }

    // Puts the rows' current cell on (row, col) with a click.
    bool ClickCell(int row, int col)
    {
        const QRect cell = grid()->visualRect(grid()->model()->index(row, col));
        Click(grid()->viewport(), cell.center());
        return QTest::qWaitFor([&] { return grid()->hasFocus() && grid()->currentIndex().row() == row &&
                                            grid()->currentIndex().column() == col; }, 2000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        fixtures::IsolateUserSettings(m_home.path() + QStringLiteral("/config"));
        m_installation = std::make_unique<Installation>();
        QVERIFY(m_installation->IsValid());
        QCOMPARE(m_installation->Log(SampleRequests()).size(), 3);
    }

    void init()
    {
        platform::Clock::Set(kNow);
        m_window = MakeWindow(m_installation->ProgramFolder(), m_lock.path());
        QVERIFY(StartActiveWindow(*m_window));
        QVERIFY(LoadRows());
    }
    void cleanup()
    {
        m_window.reset();
        platform::Clock::Reset();
    }

    // Tab and Shift+Tab go round the window in the order its controls stand: the dates, the two
    // buttons beside them, the filter bar, the rows, Exit, and round again.
    void tabOrder_data()
    {
        QTest::addColumn<bool>("back");
        QTest::newRow("Tab") << false;
        QTest::newRow("Shift+Tab") << true;
    }
    void tabOrder()
    {
        QFETCH(bool, back);
        QStringList order = {"TDBDate0", "TDBDate1", "cmdCommand1", "cmdCommand2"};
        for (int col = 0; col < 8; ++col)
            order << QStringLiteral("FilterCell%1").arg(col);
        order << "TDBGrid0" << "cmdCommand0" << "TDBDate0";
        if (back)
            std::reverse(order.begin(), order.end());
        window().TDBDate(0)->setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(Focused(), order.first());
        QStringList walked = {Focused()};
        for (int i = 1; i < order.size(); ++i) {
            Key(&window(), back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
            QTest::qWait(20);
            walked << Focused();
        }
        QCOMPARE(walked, order);
    }

    // Alt+Down or F4 opens a date box's calendar, as they open any drop-down; in it the arrows
    // move the day (the box follows), and Enter or Esc closes it. The box keeps the focus, and
    // the date taken is checked when the box is left.
    void calendarFromTheKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("end");  // the key that closes the calendar
        QTest::addColumn<QDate>("expected");
        const QDate before = kNow.date().addDays(-1);
        QTest::newRow("Alt+Down, Left, Enter") << int(Qt::Key_Down) << int(Qt::AltModifier) << int(Qt::Key_Return) << before.addDays(-1);
        QTest::newRow("F4, Left, Enter") << int(Qt::Key_F4) << int(Qt::NoModifier) << int(Qt::Key_Return) << before.addDays(-1);
        QTest::newRow("Alt+Down, Left, Esc") << int(Qt::Key_Down) << int(Qt::AltModifier) << int(Qt::Key_Escape) << before.addDays(-1);
    }
    void calendarFromTheKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, end);
        QFETCH(QDate, expected);
        logviewer::LogDateEdit* box = window().TDBDate(1);
        box->setDate(kNow.date().addDays(-1));
        box->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(Focused(), QStringLiteral("TDBDate1"));
        Key(&window(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QCOMPARE(box->date(), kNow.date().addDays(-1));  // opening changes nothing
        QWidget* popup = QApplication::activePopupWidget();
        Key(popup, Qt::Key_Left);
        Key(popup, Qt::Key(end));
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
        QCOMPARE(box->date(), expected);
        QTRY_COMPARE(Focused(), QStringLiteral("TDBDate1"));
        Key(&window(), Qt::Key_Tab);
        QTRY_COMPARE(Focused(), QStringLiteral("cmdCommand1"));
    }

    // Space and Enter press the button that has the focus.
    void buttonsFromTheKeys_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("key");
        const std::pair<int, const char*> buttons[] = {{1, "Get Log Data"}, {2, "Open Log Folder"}, {0, "Exit"}};
        for (const auto& [button, caption] : buttons)
            for (const int key : {int(Qt::Key_Space), int(Qt::Key_Return)})
                QTest::addRow("%s, %s", caption, key == Qt::Key_Space ? "Space" : "Enter") << button << key;
    }
    void buttonsFromTheKeys()
    {
        QFETCH(int, button);
        QFETCH(int, key);
        FolderOpener opener;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &opener, "Open");
        auto unsetHandler = qScopeGuard([] { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); });
        // A filter typed, so that a load is seen by the cleared bar.
        Click(window().FilterBar()->Cell(2));
        Type(&window(), QStringLiteral("Login"));
        QTRY_COMPARE(GridColumn(window(), 0), QStringList({"3", "1"}));
        window().Command(button)->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(Focused(), window().Command(button)->objectName());
        Key(&window(), Qt::Key(key));
        QTest::qWait(100);
        QCOMPARE(window().IsUnloaded(), button == 0);
        QCOMPARE(opener.opened.size(), button == 2 ? 1 : 0);
        if (button == 1) {
            QCOMPARE(window().FilterBar()->Text(2), QString());
            QCOMPARE(GridColumn(window(), 0), QStringList({"3", "2", "1"}));
        }
    }

    // The keys of the rows: Tab and Shift+Tab leave them, the arrows, Home, End and the page keys
    // move the current cell.
    void keysInTheRows_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("focus");  // where the focus is after the key
        QTest::addColumn<QPoint>("cell");    // the current (row, column) after it
        QTest::newRow("Tab") << int(Qt::Key_Tab) << int(Qt::NoModifier) << "cmdCommand0" << QPoint(1, 3);
        QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << "FilterCell7" << QPoint(1, 7);
        QTest::newRow("Right") << int(Qt::Key_Right) << int(Qt::NoModifier) << "TDBGrid0" << QPoint(1, 4);
        QTest::newRow("Left") << int(Qt::Key_Left) << int(Qt::NoModifier) << "TDBGrid0" << QPoint(1, 2);
        QTest::newRow("Down") << int(Qt::Key_Down) << int(Qt::NoModifier) << "TDBGrid0" << QPoint(2, 3);
        QTest::newRow("Up") << int(Qt::Key_Up) << int(Qt::NoModifier) << "TDBGrid0" << QPoint(0, 3);
        QTest::newRow("Home") << int(Qt::Key_Home) << int(Qt::NoModifier) << "TDBGrid0" << QPoint(1, 0);
        QTest::newRow("End") << int(Qt::Key_End) << int(Qt::NoModifier) << "TDBGrid0" << QPoint(1, 8);
        QTest::newRow("Page Down") << int(Qt::Key_PageDown) << int(Qt::NoModifier) << "TDBGrid0" << QPoint(2, 3);
    }
    void keysInTheRows()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, focus);
        QFETCH(QPoint, cell);
        QVERIFY(ClickCell(1, 3));
        Key(&window(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_COMPARE(Focused(), focus);
        QCOMPARE(QPoint(grid()->currentIndex().row(), grid()->currentIndex().column()), cell);
        // Back into the rows from where the key went: the current cell is where it was (a filter
        // cell makes its own column the current one).
        if (focus != QLatin1String("TDBGrid0")) {
            Key(&window(), key == Qt::Key_Tab ? Qt::Key_Backtab : Qt::Key_Tab,
                key == Qt::Key_Tab ? Qt::ShiftModifier : Qt::NoModifier);
            QTRY_COMPARE(Focused(), QStringLiteral("TDBGrid0"));
            QCOMPARE(QPoint(grid()->currentIndex().row(), grid()->currentIndex().column()), cell);
        }
    }

    // Space or Enter on a row's "Click Button" opens that row's request and reply, as a click
    // does; on any other cell it opens nothing.
    void buttonCellFromTheKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("opens");
        QTest::newRow("Space") << int(Qt::Key_Space) << 8 << true;
        QTest::newRow("Return") << int(Qt::Key_Return) << 8 << true;
        QTest::newRow("Enter") << int(Qt::Key_Enter) << 8 << true;
        QTest::newRow("Space on the action") << int(Qt::Key_Space) << 2 << false;
        QTest::newRow("Return on the action") << int(Qt::Key_Return) << 2 << false;
    }
    void buttonCellFromTheKeys()
    {
        QFETCH(int, key);
        QFETCH(int, col);
        QFETCH(bool, opens);
        // The current cell is put on the row by the keys, not by a click on the button.
        QVERIFY(ClickCell(1, 2));
        for (int c = 2; c < col; ++c)
            Key(&window(), Qt::Key_Right);
        QTRY_COMPARE(grid()->currentIndex().column(), col);
        QString text;
        MemoSession session;
        session.inside = [&](frmMemo& memo) { text = memo.txtMemo()->toPlainText(); };
        Key(&window(), Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QTest::qWait(300);
        QCOMPARE(session.opened, opens);
        if (opens)
            QVERIFY2(text.contains(QStringLiteral("9820000002")), qPrintable(text));
        QVERIFY(!window().IsUnloaded());
        QTRY_COMPARE(Focused(), QStringLiteral("TDBGrid0"));
    }

    // The text window: the box takes the focus (from the start, and by a click) without taking
    // a key that would change the text; Ctrl+A and Ctrl+C copy the whole text, the page keys
    // scroll, and Esc closes the window.
    void textWindowFromTheKeys_data()
    {
        QTest::addColumn<bool>("click");  // opened by a click on the row's button, then a click into the text
        QTest::newRow("keys alone") << false;
        QTest::newRow("clicks") << true;
    }
    void textWindowFromTheKeys()
    {
        QFETCH(bool, click);
        QApplication::clipboard()->setText(QStringLiteral("before"));
        QVERIFY(ClickCell(0, 2));
        Key(&window(), Qt::Key_End);
        QString text, copied, typedText;
        bool focused = false;
        bool closedByEsc = false;
        int before = -1, after = -1, selected = 0;
        MemoSession session;
        session.inside = [&](frmMemo& memo) {
            QPlainTextEdit* box = memo.txtMemo();
            text = box->toPlainText();
            if (click)
                Click(box->viewport(), QPoint(20, 20));
            focused = QTest::qWaitFor([&] { return box->hasFocus(); }, 2000);
            Key(&memo, Qt::Key_X);
            Key(&memo, Qt::Key_Delete);
            typedText = box->toPlainText();
            before = box->verticalScrollBar()->value();
            Key(&memo, Qt::Key_PageDown);
            Key(&memo, Qt::Key_PageDown);
            after = box->verticalScrollBar()->value();
            Key(&memo, Qt::Key_A, Qt::ControlModifier);
            selected = static_cast<int>(box->textCursor().selectedText().size());
            Key(&memo, Qt::Key_C, Qt::ControlModifier);
            (void)QTest::qWaitFor([&] { return QApplication::clipboard()->text() != QLatin1String("before"); }, 2000);
            copied = QApplication::clipboard()->text();
            Key(&memo, Qt::Key_Escape);
            closedByEsc = QTest::qWaitFor([&] { return !memo.isVisible(); }, 2000);
        };
        if (click)
            Click(grid()->viewport(), grid()->visualRect(grid()->currentIndex()).center());
        else
            Key(&window(), Qt::Key_Space);
        QTRY_VERIFY(session.opened);
        QVERIFY(text.contains(QStringLiteral("9830000003")));
        QVERIFY(focused);
        QCOMPARE(typedText, text);
        QVERIFY2(after > before, qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(after)));
        QCOMPARE(selected, text.size());
        QCOMPARE(copied, text);
        QVERIFY(closedByEsc);
        QTRY_COMPARE(Focused(), QStringLiteral("TDBGrid0"));
    }
};

QTEST_MAIN(TestLogViewerKeys)
#include "test_log_viewer_keys.moc"
