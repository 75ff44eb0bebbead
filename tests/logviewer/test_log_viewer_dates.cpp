// The date boxes of the log window on an X display with a window manager, driven through the
// window as the user drives them (clicks and keys go to the window, which hands them on): a
// refused date keeps the focus in its box without a fight between the boxes, the controls that
// would take the focus meanwhile do nothing, the wheel changes only the box that has the focus,
// dates are taken typed part by part where a click or the arrows put the caret, in the short
// form or as a whole over the selected box, a text that is no date is said, one Tab leaves a
// box, and Tab walks the filter bar.
#include "ViewerTestSupport.h"
#include "WindowInput.h"

#include "clock/Clock.h"
#include "clsSetup.h"
#include "frmMemo.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace viewertest;
using namespace windowtest;

namespace {
const QDateTime kNow(QDate(2024, 3, 10), QTime(12, 0));
const QDate kToday = kNow.date();

QList<LoggedRequest> SampleRequests()
{
    const QString reply = QStringLiteral("{\"Action\":\"%1\",\"MobileNo\":\"%2\",\"Status\":1,\"Message\":\"Success\"}<EOF>");
    auto at = [](int day, int hour) { return QDateTime(QDate(2024, 3, day), QTime(hour, 0)); };
    return {
        {at(8, 9), "10.0.0.1", RequestText("Login", "9810000001"), at(8, 9).addSecs(1), reply.arg("Login", "9810000001")},
        {at(9, 9), "10.0.0.2", RequestText("DashBoard", "9820000002", "PEMO", "TESTCO"), at(9, 9).addSecs(1),
         reply.arg("DashBoard", "9820000002")},
        {at(10, 8), "10.0.0.3", RequestText("Login", "9830000003"), at(10, 8).addSecs(1), reply.arg("Login", "9830000003")},
    };
}

// Counts the moves of the keyboard focus.
struct FocusMoves {
    int count = 0;
    QMetaObject::Connection connection;
    FocusMoves() { connection = QObject::connect(qApp, &QApplication::focusChanged, [this] { ++count; }); }
    ~FocusMoves() { QObject::disconnect(connection); }
};

}  // namespace

class TestLogViewerDates : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    std::unique_ptr<Installation> m_installation;
    QTemporaryDir m_lock;
    std::unique_ptr<frmTessarinMobileLog> m_window;

    frmTessarinMobileLog& window() { return *m_window; }
    logviewer::LogDateEdit* box(int i) { return m_window->TDBDate(i); }

    // Puts the focus into a box with a click, and selects one of its sections.
    bool Enter(int i, QDateTimeEdit::Section section)
    {
        Click(box(i), QPoint(8, box(i)->height() / 2));
        if (!QTest::qWaitFor([&] { return box(i)->hasFocus(); }, 2000))
            return false;
        box(i)->setSelectedSection(section);
        return true;
    }

    static QStringList Ids(const frmTessarinMobileLog& w) { return GridColumn(w, 0); }

    // The text box inside a date box.
    QLineEdit* editOf(int i) { return box(i)->findChild<QLineEdit*>(); }

    // A click that puts the caret before the character at `pos` of a box's text.
    void ClickAt(int i, int pos)
    {
        QLineEdit* edit = editOf(i);
        const int y = edit->height() / 2;
        QList<int> xs;
        for (int x = 0; x < edit->width(); ++x)
            if (edit->cursorPositionAt(QPoint(x, y)) == pos)
                xs << x;
        QVERIFY(!xs.isEmpty());
        Click(edit, QPoint(xs.at(xs.size() / 2), y));
    }

    // The part of a box's text that is selected, or that holds the caret, as the user sees it.
    QDateTimeEdit::Section SelectedPart(int i)
    {
        QLineEdit* edit = editOf(i);
        const int pos = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
        return pos <= 2 ? QDateTimeEdit::DaySection : pos <= 5 ? QDateTimeEdit::MonthSection : QDateTimeEdit::YearSection;
    }

    // Puts the focus into a box with a click and types a whole date over it.
    bool TypeWhole(int i, const QString& typed)
    {
        if (!Enter(i, QDateTimeEdit::DaySection))
            return false;
        Key(&window(), Qt::Key_A, Qt::ControlModifier);
        Type(&window(), typed);
        return true;
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

    // A started window, active, both boxes at today and the focus in the start box.
    void init()
    {
        platform::Clock::Set(kNow);
        m_window = MakeWindow(m_installation->ProgramFolder(), m_lock.path());
        QVERIFY(StartActiveWindow(*m_window));
        box(0)->setFocus();
        QVERIFY(QTest::qWaitFor([&] { return box(0)->hasFocus(); }, 2000));
    }
    void cleanup()
    {
        m_window.reset();
        platform::Clock::Reset();
    }

    // --- a refusal keeps the focus, once ----------------------------------------------------

    void refusedBoxKeepsTheFocus_data()
    {
        QTest::addColumn<int>("refusing");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("last");
        QTest::addColumn<QString>("leaveBy");
        QTest::addColumn<int>("moves");  // how often the focus moves before it rests in the box
        const QDate t = kToday;
        for (const char* leaveBy : {"click", "tab", "program"}) {
            const int moves = QByteArray(leaveBy) == "program" ? 2 : 0;
            // The last date typed before the start, then the start box clicked (or left so).
            QTest::addRow("last before start, %s", leaveBy) << 1 << t << t.addDays(-5) << leaveBy << moves;
            // Both dates after today: each box would refuse to be left.
            QTest::addRow("both after today, %s", leaveBy) << 0 << t.addDays(1) << t.addDays(2) << leaveBy << moves;
        }
    }
    void refusedBoxKeepsTheFocus()
    {
        QFETCH(int, refusing);
        QFETCH(QDate, start);
        QFETCH(QDate, last);
        QFETCH(QString, leaveBy);
        QFETCH(int, moves);
        BoxRecorder boxes;
        const int other = 1 - refusing;
        QVERIFY(Enter(refusing, QDateTimeEdit::DaySection));
        if (refusing == 1) {
            Type(&window(), QStringLiteral("%1").arg(last.day(), 2, 10, QLatin1Char('0')));
        } else {
            box(0)->setDate(start);
            box(1)->setDate(last);
        }
        QCOMPARE(box(0)->date(), start);
        QCOMPARE(box(1)->date(), last);

        FocusMoves focus;
        if (leaveBy == QLatin1String("click")) {
            Click(box(other));
        } else if (leaveBy == QLatin1String("tab")) {
            // Tab from the last section, or Shift+Tab from the first, leaves the box.
            if (refusing == 0) {
                box(0)->setSelectedSection(QDateTimeEdit::YearSection);
                Key(&window(), Qt::Key_Tab);
            } else {
                box(1)->setSelectedSection(QDateTimeEdit::DaySection);
                Key(&window(), Qt::Key_Backtab, Qt::ShiftModifier);
            }
        } else {
            box(other)->setFocus(Qt::OtherFocusReason);
        }
        // The box has the focus back and keeps it: nothing moves any more while the user waits.
        QVERIFY(QTest::qWaitFor([&] { return box(refusing)->hasFocus(); }, 2000));
        QTest::qWait(300);
        QCOMPARE(focus.count, moves);
        const int settled = focus.count;
        QTest::qWait(300);
        QCOMPARE(focus.count, settled);
        QVERIFY(box(refusing)->hasFocus());

        // What is typed now goes into the box that kept the focus.
        const QDate otherBefore = box(other)->date();
        box(refusing)->setSelectedSection(QDateTimeEdit::DaySection);
        Type(&window(), QStringLiteral("07"));
        QCOMPARE(box(refusing)->date().day(), 7);
        QCOMPARE(box(other)->date(), otherBefore);
        QCOMPARE(boxes.texts, QStringList());
    }

    // Once the date is in order again, the same click moves the focus.
    void correctedDateLetsTheFocusGo()
    {
        QVERIFY(Enter(1, QDateTimeEdit::DaySection));
        Type(&window(), QStringLiteral("05"));
        Click(box(0));
        QVERIFY(box(1)->hasFocus());
        box(1)->setSelectedSection(QDateTimeEdit::DaySection);
        Type(&window(), QStringLiteral("10"));
        Click(box(0));
        QVERIFY(QTest::qWaitFor([&] { return box(0)->hasFocus(); }, 2000));
        QCOMPARE(box(1)->date(), kToday);
    }

    // --- while a box refuses, what would take the focus does nothing ------------------------

    void refusalStopsTheControls_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("quick");
        QTest::addColumn<bool>("throughWindow");
        QTest::newRow("Get Log Data, quick click") << "load" << true << true;
        QTest::newRow("Get Log Data, slow click") << "load" << false << true;
        QTest::newRow("Get Log Data, quick click sent to the button") << "load" << true << false;
        QTest::newRow("Open Log Folder, quick click") << "folder" << true << true;
        QTest::newRow("a heading, quick click") << "heading" << true << true;
        QTest::newRow("a row's button, quick click") << "memo" << true << true;
        QTest::newRow("a filter cell, quick click") << "filter" << true << true;
    }
    void refusalStopsTheControls()
    {
        QFETCH(QString, control);
        QFETCH(bool, quick);
        QFETCH(bool, throughWindow);
        BoxRecorder boxes;
        FolderOpener opener;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &opener, "Open");
        auto unsetHandler = qScopeGuard([] { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); });
        bool memoOpened = false;
        QTimer memoWatch;
        connect(&memoWatch, &QTimer::timeout, this, [&] {
            if (auto* memo = qobject_cast<frmMemo*>(QApplication::activeModalWidget())) {
                memoOpened = true;
                memo->close();
            }
        });
        memoWatch.start(20);

        // Today's rows loaded and filtered down to the logins.
        box(0)->setDate(kToday.addDays(-2));
        Click(window().Command(1));
        QCOMPARE(Ids(window()), QStringList({"3", "2", "1"}));
        QLineEdit* actionFilter = window().FilterBar()->Cell(2);
        Click(actionFilter);
        Type(&window(), QStringLiteral("Login"));
        QVERIFY(QTest::qWaitFor([&] { return !window().Timer()->isActive(); }, 5000));
        QCOMPARE(Ids(window()), QStringList({"3", "1"}));

        // A start date after today typed into its box.
        QVERIFY(Enter(0, QDateTimeEdit::DaySection));
        Type(&window(), QStringLiteral("11"));
        QCOMPARE(box(0)->date(), kToday.addDays(1));
        const int sortColumn = window().GetSetup()->nSortColumnNo;
        const int sortOrder = window().GetSetup()->eSortOrder;

        QWidget* target = nullptr;
        QPoint point = kCentre;
        if (control == QLatin1String("load")) {
            target = window().Command(1);
        } else if (control == QLatin1String("folder")) {
            target = window().Command(2);
        } else if (control == QLatin1String("heading")) {
            target = window().FilterBar()->viewport();
            point = QPoint(window().FilterBar()->sectionViewportPosition(3) + 20, 6);
        } else if (control == QLatin1String("memo")) {
            QTableView* grid = window().Grid();
            target = grid->viewport();
            point = grid->visualRect(grid->model()->index(0, 8)).center();
        } else {
            target = window().FilterBar()->Cell(5);
        }
        if (quick)
            QuickClick(target, point, throughWindow);
        else
            Click(target, point);
        QTest::qWait(300);

        // The focus stayed in the box, and the list, the filter and the sort are as they were.
        QVERIFY(box(0)->hasFocus());
        QCOMPARE(Ids(window()), QStringList({"3", "1"}));
        QCOMPARE(window().FilterBar()->Text(2), QStringLiteral("Login"));
        QCOMPARE(window().GetSetup()->nSortColumnNo, sortColumn);
        QCOMPARE(window().GetSetup()->eSortOrder, sortOrder);
        QCOMPARE(opener.opened, QList<QUrl>());
        QVERIFY(!memoOpened);
        QCOMPARE(boxes.texts, QStringList());
        QVERIFY(!window().IsUnloaded());

        // With the date in order again the same control does its work.
        box(0)->setSelectedSection(QDateTimeEdit::DaySection);
        Type(&window(), QStringLiteral("08"));
        if (control == QLatin1String("load")) {
            Click(target);
            QCOMPARE(window().FilterBar()->Text(2), QString());
            QCOMPARE(Ids(window()), QStringList({"3", "2", "1"}));
        }
    }

    void exitWorksWhileABoxRefuses_data()
    {
        QTest::addColumn<bool>("quick");
        QTest::newRow("quick click") << true;
        QTest::newRow("slow click") << false;
    }
    void exitWorksWhileABoxRefuses()
    {
        QFETCH(bool, quick);
        QVERIFY(Enter(0, QDateTimeEdit::DaySection));
        Type(&window(), QStringLiteral("11"));
        if (quick)
            QuickClick(window().Command(0));
        else
            Click(window().Command(0));
        QVERIFY(QTest::qWaitFor([&] { return window().IsUnloaded(); }, 2000));
        QCOMPARE(window().ExitCode(), 0);
    }

    // --- dates as typed ---------------------------------------------------------------------

    // The year typed with two digits is a year of this century.
    void shortYear_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("expected");
        QTest::newRow("23") << "23" << QDate(2023, 3, 10);
        QTest::newRow("00") << "00" << QDate(2000, 3, 10);
        QTest::newRow("24") << "24" << QDate(2024, 3, 10);
        QTest::newRow("2023 in full") << "2023" << QDate(2023, 3, 10);
    }
    void shortYear()
    {
        QFETCH(QString, typed);
        QFETCH(QDate, expected);
        QVERIFY(Enter(0, QDateTimeEdit::YearSection));
        Type(&window(), typed);
        Click(box(1));
        QVERIFY(QTest::qWaitFor([&] { return box(1)->hasFocus(); }, 2000));
        QCOMPARE(box(0)->date(), expected);
        QCOMPARE(box(0)->text(), expected.toString(QStringLiteral("dd/MM/yyyy")));
    }

    // A whole date typed over the selected box, with or without its slashes, ended by leaving
    // the box or by Enter.
    void wholeDateTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("enter");
        QTest::addColumn<QDate>("expected");
        QTest::newRow("with slashes") << "09/03/2024" << false << QDate(2024, 3, 9);
        QTest::newRow("without slashes") << "09032024" << false << QDate(2024, 3, 9);
        QTest::newRow("short year with slashes") << "09/03/23" << false << QDate(2023, 3, 9);
        QTest::newRow("short year without slashes") << "090323" << false << QDate(2023, 3, 9);
        QTest::newRow("short year, Enter") << "25/12/23" << true << QDate(2023, 12, 25);
        QTest::newRow("one-digit day and month") << "9/3/2024" << false << QDate(2024, 3, 9);
        QTest::newRow("whole date, Enter") << "01012024" << true << QDate(2024, 1, 1);
    }
    void wholeDateTyped()
    {
        QFETCH(QString, typed);
        QFETCH(bool, enter);
        QFETCH(QDate, expected);
        QVERIFY(Enter(0, QDateTimeEdit::DaySection));
        Key(&window(), Qt::Key_A, Qt::ControlModifier);
        Type(&window(), typed);
        if (enter) {
            Key(&window(), Qt::Key_Return);
            QVERIFY(box(0)->hasFocus());
        } else {
            Click(box(1));
            QVERIFY(QTest::qWaitFor([&] { return box(1)->hasFocus(); }, 2000));
        }
        QCOMPARE(box(0)->date(), expected);
        QCOMPARE(box(0)->text(), expected.toString(QStringLiteral("dd/MM/yyyy")));
    }

    // --- the wheel ---------------------------------------------------------------------------

    // The wheel over a box without the focus changes nothing, whether or not the box with the
    // focus refuses its date: no date changes without its check.
    void wheelNeedsTheFocus_data()
    {
        QTest::addColumn<int>("focused");
        QTest::addColumn<QString>("typed");  // typed whole into the focused box ("": left as it is)
        QTest::addColumn<int>("notches");
        QTest::newRow("last date refuses, wheel up over the start") << 1 << "11032024" << 9;
        QTest::newRow("start date refuses, wheel down over the last") << 0 << "11032024" << -9;
        QTest::newRow("start date refuses, wheel up over the last") << 0 << "11032024" << 3;
        QTest::newRow("nothing refuses, wheel over the other box") << 0 << "" << -4;
    }
    void wheelNeedsTheFocus()
    {
        QFETCH(int, focused);
        QFETCH(QString, typed);
        QFETCH(int, notches);
        BoxRecorder boxes;
        if (!typed.isEmpty())
            QVERIFY(TypeWhole(focused, typed));
        else
            QVERIFY(Enter(focused, QDateTimeEdit::DaySection));
        const QDate focusedDate = box(focused)->date();
        const int other = 1 - focused;
        FocusMoves focus;
        QVERIFY(Wheel(box(other), notches));
        QTest::qWait(200);
        QCOMPARE(box(other)->date(), kToday);
        QCOMPARE(box(focused)->date(), focusedDate);
        QVERIFY(box(focused)->hasFocus());
        QCOMPARE(focus.count, 0);
        QCOMPARE(boxes.texts, QStringList());
    }

    // The way the wheel used to trap the last date: a start date after today, reached by the
    // wheel while the last date refused, made every last date wrong.
    void wheelCannotTrapTheLastDate()
    {
        QVERIFY(TypeWhole(1, QStringLiteral("11032024")));  // tomorrow: refused
        QVERIFY(Wheel(box(0), 9));
        QCOMPARE(box(0)->date(), kToday);
        Key(&window(), Qt::Key_A, Qt::ControlModifier);
        Type(&window(), QStringLiteral("10032024"));  // today
        Key(&window(), Qt::Key_Tab);
        QVERIFY(QTest::qWaitFor([&] { return !box(1)->hasFocus(); }, 2000));
        Click(window().Command(1));
        QCOMPARE(Ids(window()), QStringList({"3"}));
    }

    // The wheel steps the box with the focus; the date it gives is checked on leaving, as a
    // typed one is.
    void wheelStepsAreCheckedOnLeaving()
    {
        QVERIFY(Enter(0, QDateTimeEdit::DaySection));
        QVERIFY(Wheel(box(0), 2));
        QCOMPARE(box(0)->date(), kToday.addDays(2));
        Key(&window(), Qt::Key_Tab);
        QTest::qWait(200);
        QVERIFY(box(0)->hasFocus());
        QVERIFY(Wheel(box(0), -2));
        QCOMPARE(box(0)->date(), kToday);
        Key(&window(), Qt::Key_Tab);
        QVERIFY(QTest::qWaitFor([&] { return box(1)->hasFocus(); }, 2000));
    }

    // --- typing part by part ----------------------------------------------------------------

    // A click puts the caret in the day, the month or the year, and digits typed then replace
    // that part; so does Home for the day.
    void digitsReplaceThePartUnderTheCaret_data()
    {
        QTest::addColumn<int>("pos");  // character clicked in "10/03/2024"; -1: Home instead
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("expected");
        QTest::newRow("day, first digit") << 0 << "05" << QDate(2024, 3, 5);
        QTest::newRow("day, second digit") << 1 << "07" << QDate(2024, 3, 7);
        QTest::newRow("month") << 3 << "02" << QDate(2024, 2, 10);
        QTest::newRow("year") << 7 << "2023" << QDate(2023, 3, 10);
        QTest::newRow("short year") << 8 << "23" << QDate(2023, 3, 10);
        QTest::newRow("Home, then the day") << -1 << "05" << QDate(2024, 3, 5);
        QTest::newRow("day and month in a row") << 0 << "0502" << QDate(2024, 2, 5);
    }
    void digitsReplaceThePartUnderTheCaret()
    {
        QFETCH(int, pos);
        QFETCH(QString, typed);
        QFETCH(QDate, expected);
        QVERIFY(box(0)->hasFocus());
        if (pos >= 0) {
            ClickAt(0, pos);
            QVERIFY(!editOf(0)->hasSelectedText());
        } else {
            Key(&window(), Qt::Key_Home);
        }
        Type(&window(), typed);
        Key(&window(), Qt::Key_Tab);
        QVERIFY(QTest::qWaitFor([&] { return box(1)->hasFocus(); }, 2000));
        QCOMPARE(box(0)->date(), expected);
    }

    // One Tab leaves a box for the next control, whatever part holds the caret; Left and Right
    // (and the separators) move between the parts.
    void oneTabLeaves_data()
    {
        QTest::addColumn<QString>("typed");  // typed whole over the box ("": a part selected)
        QTest::addColumn<int>("section");
        QTest::addColumn<bool>("back");  // Shift+Tab from the last date box
        QTest::newRow("whole date, digits") << "09032024" << 0 << false;
        QTest::newRow("whole date, slashes") << "09/03/2024" << 0 << false;
        QTest::newRow("day selected") << "" << int(QDateTimeEdit::DaySection) << false;
        QTest::newRow("month selected") << "" << int(QDateTimeEdit::MonthSection) << false;
        QTest::newRow("back from the day") << "" << int(QDateTimeEdit::DaySection) << true;
        QTest::newRow("back from the year") << "" << int(QDateTimeEdit::YearSection) << true;
    }
    void oneTabLeaves()
    {
        QFETCH(QString, typed);
        QFETCH(int, section);
        QFETCH(bool, back);
        const int from = back ? 1 : 0;
        if (!typed.isEmpty())
            QVERIFY(TypeWhole(from, typed));
        else
            QVERIFY(Enter(from, QDateTimeEdit::Section(section)));
        if (back)
            Key(&window(), Qt::Key_Backtab, Qt::ShiftModifier);
        else
            Key(&window(), Qt::Key_Tab);
        QVERIFY(QTest::qWaitFor([&] { return box(1 - from)->hasFocus(); }, 2000));
        if (!typed.isEmpty())
            QCOMPARE(box(0)->date(), QDate(2024, 3, 9));
    }

    void arrowsAndSeparatorsMoveBetweenParts()
    {
        QVERIFY(Enter(0, QDateTimeEdit::DaySection));
        Key(&window(), Qt::Key_Right);
        QCOMPARE(SelectedPart(0), QDateTimeEdit::MonthSection);
        Type(&window(), QStringLiteral("02"));
        QCOMPARE(box(0)->date(), QDate(2024, 2, 10));
        Key(&window(), Qt::Key_Left);
        Key(&window(), Qt::Key_Left);
        QCOMPARE(SelectedPart(0), QDateTimeEdit::DaySection);
        Key(&window(), Qt::Key_Left);  // the first part stays
        QCOMPARE(SelectedPart(0), QDateTimeEdit::DaySection);
        QVERIFY(box(0)->hasFocus());
        Type(&window(), QStringLiteral("5/1/"));
        QCOMPARE(box(0)->date(), QDate(2024, 1, 5));
        QCOMPARE(SelectedPart(0), QDateTimeEdit::YearSection);
        Key(&window(), Qt::Key_Right);  // the last part stays
        QVERIFY(box(0)->hasFocus());
        QCOMPARE(SelectedPart(0), QDateTimeEdit::YearSection);
    }

    // A whole text that gives no date is said; the box keeps the focus and its date, and is
    // left with the next Tab.
    void textThatIsNoDateIsSaid_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("tab");  // Tab ends the entry (else it ended by itself)
        QTest::newRow("31 February, digits") << "31022024" << false;
        QTest::newRow("31 February, slashes") << "31/02/2024" << false;
        QTest::newRow("month 13") << "01132024" << false;
        QTest::newRow("too short, Tab") << "0903" << true;
        QTest::newRow("30 February, short year, Tab") << "30/02/24" << true;
    }
    void textThatIsNoDateIsSaid()
    {
        QFETCH(QString, typed);
        QFETCH(bool, tab);
        BoxRecorder boxes;
        QVERIFY(TypeWhole(0, typed));
        if (tab)
            Key(&window(), Qt::Key_Tab);
        QTRY_COMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts.at(0).contains(typed + QStringLiteral(" is not a date")), qPrintable(boxes.texts.at(0)));
        QCOMPARE(boxes.titles.at(0), window().windowTitle());
        QTest::qWait(200);
        QVERIFY(box(0)->hasFocus());
        QCOMPARE(box(0)->date(), kToday);
        QCOMPARE(box(0)->text(), QStringLiteral("10/03/2024"));
        Key(&window(), Qt::Key_Tab);
        QVERIFY(QTest::qWaitFor([&] { return box(1)->hasFocus(); }, 2000));
        QCOMPARE(boxes.texts.size(), 1);
    }

    // A date typed part by part from a caret is the date typed, whatever the box held before:
    // the day is not checked against the month it replaces. One that is no date is said, and
    // the box keeps its date and the focus.
    void datesTypedPartByPart_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QDate>("before");
        QTest::addColumn<int>("pos");  // the character of the box's text clicked
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("expected");  // invalid: refused
        QTest::addColumn<QString>("said");    // the text the refusal names
        const QDate feb28(2026, 2, 28), dec11(2026, 12, 11);
        QTest::newRow("31/03/2026 over 28/02") << 0 << feb28 << 1 << "31/03/2026" << QDate(2026, 3, 31) << "";
        QTest::newRow("31/01/2026 over 28/02") << 0 << feb28 << 0 << "31/01/2026" << QDate(2026, 1, 31) << "";
        QTest::newRow("5/1/2026, one-digit parts") << 0 << feb28 << 1 << "5/1/2026" << QDate(2026, 1, 5) << "";
        QTest::newRow("4/7/26, digits that end a part") << 0 << feb28 << 0 << "4/7/26" << QDate(2026, 7, 4) << "";
        QTest::newRow("0512, the year kept") << 0 << feb28 << 0 << "0512" << QDate(2026, 12, 5) << "";
        QTest::newRow("31/02/2026 over 28/02") << 0 << feb28 << 1 << "31/02/2026" << QDate() << "31/02/2026";
        QTest::newRow("3102, the year kept") << 0 << feb28 << 0 << "3102" << QDate() << "31/02/2026";
        QTest::newRow("31/11/2026 over 11/12") << 1 << dec11 << 1 << "31/11/2026" << QDate() << "31/11/2026";
        QTest::newRow("a year of one digit") << 1 << dec11 << 0 << "10/12/7" << QDate() << "10/12/7";
        QTest::newRow("month 02 into 31/01") << 0 << QDate(2026, 1, 31) << 4 << "02" << QDate() << "31/02/2026";
    }
    void datesTypedPartByPart()
    {
        QFETCH(int, index);
        QFETCH(QDate, before);
        QFETCH(int, pos);
        QFETCH(QString, typed);
        QFETCH(QDate, expected);
        QFETCH(QString, said);
        platform::Clock::Set(QDateTime(QDate(2026, 12, 11), QTime(12, 0)));
        box(1)->setDate(QDate(2026, 12, 11));
        box(0)->setDate(index == 0 ? before : QDate(2026, 1, 1));
        box(index)->setDate(before);
        BoxRecorder boxes;
        ClickAt(index, pos);
        QVERIFY(QTest::qWaitFor([&] { return box(index)->hasFocus(); }, 2000));
        Type(&window(), typed);
        Key(&window(), Qt::Key_Tab);
        if (expected.isValid()) {
            QVERIFY(QTest::qWaitFor([&] { return !box(index)->hasFocus(); }, 2000));
            QCOMPARE(box(index)->date(), expected);
            QCOMPARE(box(index)->text(), expected.toString(QStringLiteral("dd/MM/yyyy")));
            QCOMPARE(boxes.texts, QStringList());
            return;
        }
        QTRY_COMPARE(boxes.texts.size(), 1);
        QCOMPARE(boxes.texts.at(0), said + QStringLiteral(" is not a date. Type a date as dd/mm/yyyy or dd/mm/yy."));
        QTest::qWait(200);
        QVERIFY(box(index)->hasFocus());
        QCOMPARE(box(index)->date(), before);
        QCOMPARE(box(index)->text(), before.toString(QStringLiteral("dd/MM/yyyy")));
    }

    // --- the filter bar ---------------------------------------------------------------------

    // Tab and Shift+Tab move the caret from filter cell to filter cell; what is typed then goes
    // into the cell it reached.
    void tabWalksTheFilterBar()
    {
        box(0)->setDate(kToday.addDays(-2));
        Click(window().Command(1));
        QCOMPARE(Ids(window()), QStringList({"3", "2", "1"}));
        logviewer::FilterHeader* bar = window().FilterBar();
        Click(bar->Cell(2));
        QVERIFY(QTest::qWaitFor([&] { return bar->Cell(2)->hasFocus(); }, 2000));
        Type(&window(), QStringLiteral("login"));
        for (int i = 0; i < 4; ++i)
            Key(&window(), Qt::Key_Tab);
        QVERIFY(bar->Cell(6)->hasFocus());
        Type(&window(), QStringLiteral("10.0.0.3"));
        QCOMPARE(bar->Text(2), QStringLiteral("login"));
        QCOMPARE(bar->Text(6), QStringLiteral("10.0.0.3"));
        QVERIFY(QTest::qWaitFor([&] { return !window().Timer()->isActive(); }, 5000));
        QCOMPARE(Ids(window()), QStringList({"3"}));
        QVERIFY(bar->Cell(6)->hasFocus());

        Key(&window(), Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(bar->Cell(5)->hasFocus());
        Type(&window(), QStringLiteral("x"));
        QCOMPARE(bar->Text(5), QStringLiteral("x"));
        QCOMPARE(bar->Text(6), QStringLiteral("10.0.0.3"));
        // From the last filter cell Tab goes on into the rows, and stays there when the filter
        // typed just before runs; from the first, Shift+Tab goes back out of the grid.
        QVERIFY(QTest::qWaitFor([&] { return !window().Timer()->isActive(); }, 5000));
        Click(bar->Cell(7));
        Type(&window(), QStringLiteral("2024"));
        Key(&window(), Qt::Key_Tab);
        QVERIFY(window().Grid()->hasFocus());
        QVERIFY(window().Timer()->isActive());
        QVERIFY(QTest::qWaitFor([&] { return !window().Timer()->isActive(); }, 5000));
        QVERIFY(window().Grid()->hasFocus());
        QCOMPARE(bar->Text(7), QStringLiteral("2024"));
        Click(bar->Cell(0));
        Key(&window(), Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(!window().Grid()->hasFocus());
        QVERIFY(!window().Grid()->isAncestorOf(QApplication::focusWidget()));
    }

    // While a whole date is typed the box shows what was typed so far; Backspace takes back a
    // character and Escape the whole entry.
    void wholeDateWhileTyping()
    {
        QVERIFY(Enter(0, QDateTimeEdit::DaySection));
        Key(&window(), Qt::Key_A, Qt::ControlModifier);
        Type(&window(), QStringLiteral("09/0"));
        QCOMPARE(box(0)->text(), QStringLiteral("09/0"));
        Key(&window(), Qt::Key_Backspace);
        QCOMPARE(box(0)->text(), QStringLiteral("09/"));
        Type(&window(), QStringLiteral("02/2024"));
        QCOMPARE(box(0)->date(), QDate(2024, 2, 9));
        Key(&window(), Qt::Key_A, Qt::ControlModifier);
        Type(&window(), QStringLiteral("0102"));
        QCOMPARE(box(0)->text(), QStringLiteral("0102"));
        Key(&window(), Qt::Key_Escape);
        QCOMPARE(box(0)->text(), QStringLiteral("09/02/2024"));
        QCOMPARE(box(0)->date(), QDate(2024, 2, 9));
    }
};

QTEST_MAIN(TestLogViewerDates)
#include "test_log_viewer_dates.moc"
