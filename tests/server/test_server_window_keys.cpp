// The server window on an X display with a window manager, walked with the keys alone as a user
// without a mouse walks it: the Tab order, the buttons pressed with Space and Enter, the event
// pane read and copied from the keys, the setup dialog opened from its button and closed with
// Esc, and Esc on the window itself.
#include "TabWalk.h"
#include "WindowInput.h"
#include "WindowTestSupport.h"

#include "clsSetup.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace servertest;
using namespace windowtest;

namespace {

const QString kExitQuestion = QStringLiteral("Exiting from Application will close all active connection.\r\n"
                                             "Really you want to continue.");

}  // namespace

class TestServerWindowKeys : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    std::unique_ptr<VersionServer> m_versions;

    // A started window, active, on a listening installation that does not start on its own.
    struct Running {
        std::unique_ptr<Installation> installation;
        std::unique_ptr<frmTessarinMobileClient> window;
    };
    static Running Start(bool developmentRun = false)
    {
        Running running;
        running.installation = std::make_unique<Installation>();
        fixtures::SettingsFile settings = Installation::ListeningSettings(FreePort());
        settings.AutoStart = false;
        running.installation->WriteSettings(settings);
        ServerWindowOptions options;
        options.programFolder = running.installation->ProgramFolder();
        options.lockFilePath = running.installation->Root() + QStringLiteral("/server.lock");
        options.arguments = QStringList{QStringLiteral("-x")};
        options.executingFromIDE = developmentRun;
        running.window = std::make_unique<frmTessarinMobileClient>(options);
        if (StartWindow(*running.window))
            (void)QTest::qWaitForWindowActive(running.window.get());
        return running;
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY(m_home.isValid());
        IsolateUserSettings(m_home.path() + QStringLiteral("/config"));
        m_versions = std::make_unique<VersionServer>();
        PointVersionURL(m_versions->BaseURL());
    }

    // Tab and Shift+Tab meet the event pane and then the buttons in the order they stand, left
    // to right (Exit at the far right last), and come round to the pane.
    void tabOrder_data()
    {
        QTest::addColumn<bool>("developmentRun");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("installed") << false
                                   << QStringList{"Text0", "cmdCommand1", "cmdCommand2", "cmdCommand3", "cmdCommand0"};
        QTest::newRow("development run, with its testing button")
            << true << QStringList{"Text0", "cmdCommand1", "cmdCommand2", "cmdCommand3", "TestCommand", "cmdCommand0"};
    }
    void tabOrder()
    {
        QFETCH(bool, developmentRun);
        QFETCH(QStringList, order);
        BoxRecorder boxes;
        Running running = Start(developmentRun);
        QVERIFY(running.window->IsStarted());
        QVERIFY(running.window->isActiveWindow());
        QCOMPARE(FocusName(), order.first());
        QCOMPARE(TabWalk(running.window.get(), true).join(QStringLiteral(" > ")), order.join(QStringLiteral(" > ")));
        QCOMPARE(TabWalk(running.window.get(), false).join(QStringLiteral(" > ")),
                 Reversed(order).join(QStringLiteral(" > ")));
        // Walking presses nothing.
        QCOMPARE(boxes.texts, QStringList());
        QVERIFY(!running.window->Sockets()->IsListening());
    }

    // A button with the focus is pressed by Space, and by Enter as well.
    void buttonsFromTheKeys_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("listeningBefore");
        QTest::addColumn<bool>("listeningAfter");
        QTest::addColumn<QStringList>("boxes");  // answered with their default button
        QTest::addColumn<bool>("dialog");         // the setup dialog opened
        const struct {
            const char* name;
            int key;
        } keys[] = {{"Space", Qt::Key_Space}, {"Return", Qt::Key_Return}, {"Enter", int(Qt::Key_Enter) | int(Qt::KeypadModifier)}};
        for (const auto& k : keys) {
            QTest::addRow("%s on Start Accepting", k.name) << 1 << k.key << false << true << QStringList() << false;
            QTest::addRow("%s on Stop Accepting", k.name) << 2 << k.key << true << false << QStringList() << false;
            QTest::addRow("%s on Change Setting", k.name) << 3 << k.key << false << false << QStringList() << true;
            QTest::addRow("%s on Exit", k.name) << 0 << k.key << false << false << QStringList{kExitQuestion} << false;
        }
    }
    void buttonsFromTheKeys()
    {
        QFETCH(int, command);
        QFETCH(int, key);
        QFETCH(bool, listeningBefore);
        QFETCH(bool, listeningAfter);
        QFETCH(QStringList, boxes);
        QFETCH(bool, dialog);
        BoxRecorder recorder;
        Running running = Start();
        QVERIFY(running.window->IsStarted());
        frmTessarinMobileClient& window = *running.window;
        if (listeningBefore) {
            window.Command(1)->click();
            QVERIFY(window.Sockets()->IsListening());
        }
        // The setup dialog, when it opens, is closed with Esc as the user closes it.
        QString dialogFocus;
        bool dialogOpened = false;
        QTimer watch;
        watch.setInterval(50);
        connect(&watch, &QTimer::timeout, this, [&] {
            auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!open || !open->isActiveWindow() || dialogOpened)
                return;
            dialogOpened = true;
            dialogFocus = FocusName();
            Key(open, Qt::Key_Escape);
        });
        watch.start();

        QPushButton* button = window.Command(command);
        button->setFocus(Qt::TabFocusReason);
        QVERIFY(QTest::qWaitFor([&] { return button->hasFocus(); }, 2000));
        Key(&window, Qt::Key(key & ~Qt::KeyboardModifierMask), Qt::KeyboardModifiers(key & Qt::KeyboardModifierMask));
        QTest::qWait(100);
        watch.stop();

        QCOMPARE(dialogOpened, dialog);
        if (dialog) {
            QCOMPARE(dialogFocus, QStringLiteral("Check(0)"));  // the dialog opens on its first control
            QVERIFY(!QApplication::activeModalWidget());
        }
        QCOMPARE(recorder.texts, boxes);
        QCOMPARE(window.Sockets()->IsListening(), listeningAfter);
        QVERIFY(!window.IsUnloaded());
        QVERIFY(window.isVisible());
    }

    // The event pane is read from the keys: the page keys, Home and End scroll it, and Ctrl+A
    // and Ctrl+C copy its lines; it takes no typing and lets Tab go.
    void eventPaneFromTheKeys()
    {
        BoxRecorder boxes;
        Running running = Start();
        QVERIFY(running.window->IsStarted());
        frmTessarinMobileClient& window = *running.window;
        for (int i = 1; i <= 80; ++i)
            emit window.GetSetup()->ShowEvents(QStringLiteral("line %1").arg(i));
        QPlainTextEdit* pane = window.EventPane();
        QTRY_VERIFY(pane->toPlainText().endsWith(QStringLiteral("line 80\n")));
        QScrollBar* bar = pane->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);

        pane->setFocus(Qt::TabFocusReason);
        QVERIFY(QTest::qWaitFor([&] { return pane->hasFocus(); }, 2000));
        Key(&window, Qt::Key_Home);
        QCOMPARE(bar->value(), 0);
        Key(&window, Qt::Key_PageDown);
        QVERIFY(bar->value() > 0);
        Key(&window, Qt::Key_End);
        QCOMPARE(bar->value(), bar->maximum());
        Key(&window, Qt::Key_PageUp);
        QVERIFY(bar->value() < bar->maximum());

        QApplication::clipboard()->clear();
        Key(&window, Qt::Key_A, Qt::ControlModifier);
        Key(&window, Qt::Key_C, Qt::ControlModifier);
        QTRY_COMPARE(QApplication::clipboard()->text().replace(QLatin1Char('\n'), QStringLiteral("\r\n")), window.PaneText());

        const QString before = pane->toPlainText();
        Type(&window, QStringLiteral("xyz"));
        Key(&window, Qt::Key_Return);
        Key(&window, Qt::Key_Backspace);
        QCOMPARE(pane->toPlainText(), before);
        QVERIFY(pane->hasFocus());
        QCOMPARE(boxes.texts, QStringList());
    }

    // Esc on the window does nothing: it is not a dialog to be closed.
    void escapeOnTheWindow_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("the event pane") << "Text0";
        QTest::newRow("Start Accepting") << "cmdCommand1";
        QTest::newRow("Exit") << "cmdCommand0";
    }
    void escapeOnTheWindow()
    {
        QFETCH(QString, control);
        BoxRecorder boxes;
        Running running = Start();
        QVERIFY(running.window->IsStarted());
        QWidget* widget = running.window->findChild<QWidget*>(control);
        widget->setFocus(Qt::TabFocusReason);
        QVERIFY(QTest::qWaitFor([&] { return widget->hasFocus(); }, 2000));
        Key(running.window.get(), Qt::Key_Escape);
        QTest::qWait(50);
        QVERIFY(running.window->isVisible());
        QVERIFY(!running.window->IsUnloaded());
        QVERIFY(widget->hasFocus());
        QCOMPARE(boxes.texts, QStringList());
    }
};

QTEST_MAIN(TestServerWindowKeys)
#include "test_server_window_keys.moc"
