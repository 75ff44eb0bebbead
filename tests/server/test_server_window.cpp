// The server window driven in this process: start-up and its refusals, the event pane, the
// mobile-app version file, the connection limits, the mode change and the message rules.
#include "TCPClient.h"
#include "WidgetCaptions.h"
#include "WindowTestSupport.h"

#include "clock/Clock.h"
#include "clsSetup.h"
#include "store/UserSettings.h"
#include "text/Ansi.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

using namespace servertest;

// Reaches the window's private send so that a send on a gone slot can be tried directly.
class ServerWindowTest : public QObject {
    Q_OBJECT
public:
    static void SendReply(frmTessarinMobileClient& window, qint16 slot, const QString& text)
    {
        window.SendReply(slot, text);
    }

private:
    QTemporaryDir m_home;
    std::unique_ptr<VersionServer> m_versions;

    // A started window on a listening installation.
    struct Running {
        std::unique_ptr<Installation> installation;
        std::unique_ptr<frmTessarinMobileClient> window;
        quint16 port = 0;
    };
    Running StartListening(bool autoStart = true)
    {
        Running running;
        running.installation = std::make_unique<Installation>();
        running.port = FreePort();
        fixtures::SettingsFile settings = Installation::ListeningSettings(running.port);
        settings.AutoStart = autoStart;
        running.installation->WriteSettings(settings);
        running.window = MakeWindow(running.installation->ProgramFolder(), running.installation->Root());
        StartWindow(*running.window);
        return running;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        IsolateUserSettings(m_home.path() + QStringLiteral("/config"));
        m_versions = std::make_unique<VersionServer>();
        PointVersionURL(m_versions->BaseURL());
    }

    void init()
    {
        m_versions->status = 200;
        m_versions->body = "AndroidVersion=3.4.5\r\niOSVersion=6.7.8\r\n";
        PointVersionURL(m_versions->BaseURL());
        platform::Clock::Reset();
    }

    // --- start-up ---------------------------------------------------------------------------

    void loadRefusals_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("otherCopyRuns");
        QTest::addColumn<QString>("message");
        QTest::newRow("second copy") << "CALDERWICK/Corvantis" << true << "Tessarin Mobile Client is already running.";
        QTest::newRow("second copy, other folder") << "Elsewhere" << true << "Tessarin Mobile Client is already running.";
        QTest::newRow("wrong folder") << "CALDERWICK/Corvantis2" << false
                                      << "Application must be in CALDERWICK\\Corvantis Folder.";
        QTest::newRow("wrong parent") << "CALDERWICKS/Corvantis/x" << false
                                      << "Application must be in CALDERWICK\\Corvantis Folder.";
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
        QLockFile other(root.path() + QStringLiteral("/server.lock"));
        if (otherCopyRuns)
            QVERIFY(other.tryLock(0));
        BoxRecorder boxes;
        auto window = MakeWindow(programFolder, root.path());
        if (message.isEmpty()) {
            QVERIFY(boxes.texts.isEmpty());
            QVERIFY(!window->IsUnloaded());
        } else {
            QCOMPARE(boxes.texts, QStringList{message});
            QVERIFY(window->IsUnloaded());
            QCOMPARE(window->ExitCode(), 1);
            // Refused at load: nothing was read and nothing listens.
            QVERIFY(!QDir(programFolder + QStringLiteral("/LogFiles")).exists());
            QVERIFY(!window->Sockets()->IsListening());
        }
    }

    void testModeSwitch_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("testing");
        QTest::newRow("none") << QStringList{QStringLiteral("-x")} << false;
        QTest::newRow("exact") << QStringList{QStringLiteral("/TestMode")} << true;
        QTest::newRow("lower case among others") << QStringList{QStringLiteral("a"), QStringLiteral("/testmode"), QStringLiteral("b")}
                                                 << true;
        QTest::newRow("inside a word") << QStringList{QStringLiteral("x/TESTMODEy")} << true;
    }
    void testModeSwitch()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, testing);
        Installation installation;
        BoxRecorder boxes;
        auto window = MakeWindow(installation.ProgramFolder(), installation.Root(), arguments);
        QCOMPARE(window->TestingMode(), testing);
        QVERIFY(!window->TestCommandButton()->isVisibleTo(window.get()));
    }

    void missingSettingsStart()
    {
        Installation installation;
        BoxRecorder boxes;
        auto window = MakeWindow(installation.ProgramFolder(), installation.Root());
        QVERIFY(StartWindow(*window));
        QCOMPARE(boxes.texts, QStringList{QStringLiteral("TessarinMobileClientSettings.json file not found.")});
        QVERIFY(boxes.titles.first().startsWith(QStringLiteral("Tessarin Mobile SQL Client (")));
        QVERIFY(!window->GetSetup()->lSettingFound);
        QVERIFY(!window->Command(1)->isEnabled());
        QVERIFY(!window->Command(2)->isEnabled());
        QVERIFY(window->Command(3)->isEnabled());
        QVERIFY(!QDir(installation.ProgramFolder() + QStringLiteral("/LogFiles")).exists());
        QVERIFY(!window->Sockets()->IsListening());
        QVERIFY(!window->isMinimized());
        QCOMPARE(window->AndroidVersion(), QStringLiteral("3.4.5"));
        QCOMPARE(widgettest::MisdrawnAmpersands(window.get()), QStringList());
    }

    void autoStartListensAndMinimises()
    {
        Running running = StartListening();
        QVERIFY(running.window->IsStarted());
        QVERIFY(running.window->isMinimized());
        QVERIFY(running.window->Sockets()->IsListening());
        QCOMPARE(running.window->Sockets()->LocalPort(0), running.port);
        QCOMPARE(running.window->Command(1)->text(), QStringLiteral("Start Accepting"));
        QCOMPARE(running.window->Command(2)->text(), QStringLiteral("Stop Accepting"));
        QVERIFY(running.window->windowTitle().endsWith(QStringLiteral(" (") + QStringLiteral(CORVANTIS_VERSION) + QLatin1Char(')')));
        // A second activation repeats nothing.
        const QString title = running.window->windowTitle();
        running.window->hide();
        running.window->show();
        QTest::qWait(50);
        QCOMPARE(running.window->windowTitle(), title);
        QVERIFY(running.installation->NewestLogText().contains(QStringLiteral("|Start Logging")));
        QVERIFY(running.installation->NewestLogText().contains(QStringLiteral("|Start Accepting Connection for mobile clients.")));
    }

    void withoutAutoStartStaysIdle()
    {
        Running running = StartListening(false);
        QVERIFY(running.window->IsStarted());
        QVERIFY(!running.window->isMinimized());
        QVERIFY(!running.window->Sockets()->IsListening());
        QVERIFY(running.window->Command(1)->isEnabled());
        running.window->Command(1)->click();
        QVERIFY(running.window->Sockets()->IsListening());
        running.window->Command(2)->click();
        QVERIFY(!running.window->Sockets()->IsListening());
        QCOMPARE(running.window->Sockets()->LocalPort(0), quint16(0));
        running.window->Command(1)->click();
        QCOMPARE(running.window->Sockets()->LocalPort(0), running.port);
    }

    // --- event pane --------------------------------------------------------------------------

    void eventPaneKeeps101Lines()
    {
        Running running = StartListening(false);
        clsSetup* setup = running.window->GetSetup();
        for (int i = 1; i <= 150; ++i)
            emit setup->ShowEvents(QStringLiteral("line %1").arg(i));
        QCoreApplication::processEvents();
        QString pane = running.window->PaneText();
        QCOMPARE(pane.count(QStringLiteral("\r\n")), 101);
        QVERIFY(pane.startsWith(QStringLiteral("line 50\r\n")));
        QVERIFY(pane.endsWith(QStringLiteral("line 150\r\n")));
        // The widget shows the same lines, one block each, and the last line is in view.
        QPlainTextEdit* edit = running.window->EventPane();
        QTRY_COMPARE(edit->document()->blockCount(), 102);
        QCOMPARE(edit->document()->firstBlock().text(), QStringLiteral("line 50"));
        QCOMPARE(edit->textCursor().position(), edit->document()->characterCount() - 1);

        // An event text with CR LF inside counts as several lines; one call drops one line.
        emit setup->ShowEvents(QStringLiteral("a\r\nb\r\nc"));
        pane = running.window->PaneText();
        QCOMPARE(pane.count(QStringLiteral("\r\n")), 103);
        QVERIFY(pane.startsWith(QStringLiteral("line 51\r\n")));
        QTRY_COMPARE(edit->document()->blockCount(), 104);
        emit setup->ShowEvents(QStringLiteral("next"));
        QCoreApplication::processEvents();
        pane = running.window->PaneText();
        QCOMPARE(pane.count(QStringLiteral("\r\n")), 103);
        QVERIFY(pane.startsWith(QStringLiteral("line 52\r\n")));
        QTRY_COMPARE(edit->document()->firstBlock().text(), QStringLiteral("line 52"));
        QCOMPARE(edit->document()->blockCount(), 104);
        // While minimised the widget waits; restored, it shows the same lines.
        running.window->showMinimized();
        for (int i = 0; i < 5; ++i)
            emit setup->ShowEvents(QStringLiteral("hidden %1").arg(i));
        QCoreApplication::processEvents();
        QCOMPARE(edit->document()->firstBlock().text(), QStringLiteral("line 52"));
        running.window->showNormal();
        QVERIFY(QTest::qWaitFor([&] {
            return edit->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")) == running.window->PaneText();
        }, 2000));
        QVERIFY(running.window->PaneText().endsWith(QStringLiteral("hidden 4\r\n")));
        {
            // A line every 10 ms for a second: the widget is redrawn at most every 200 ms.
            QElapsedTimer clock;
            clock.start();
            QList<qint64> redraws;
            const auto connection = connect(edit->document(), &QTextDocument::contentsChanged, this, [&] {
                if (redraws.isEmpty() || clock.elapsed() - redraws.last() > 20)
                    redraws << clock.elapsed();
            });
            for (int i = 0; clock.elapsed() < 1000; ++i) {
                emit setup->ShowEvents(QStringLiteral("burst %1").arg(i));
                QTest::qWait(10);
            }
            disconnect(connection);
            QVERIFY2(redraws.size() >= 2 && redraws.size() <= 7, qPrintable(QString::number(redraws.size())));
        }
        // Every event line also reaches the text log.
        QVERIFY(running.installation->NewestLogText().contains(QStringLiteral("|line 1\r\n")));
    }

    // --- the mobile-app version file ----------------------------------------------------------

    void versionFile_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("cached");
        QTest::addColumn<QString>("android");
        QTest::addColumn<QString>("ios");
        QTest::addColumn<QString>("box");
        QTest::newRow("both keys") << 200 << QByteArray("AndroidVersion=3.4.5\r\niOSVersion=6.7.8") << QByteArray()
                                   << "3.4.5" << "6.7.8" << "";
        QTest::newRow("lower case and spaces") << 200 << QByteArray("  androidversion  =  4.0.1  \r\n IOSVERSION= 5.0 ")
                                               << QByteArray() << "4.0.1" << "5.0" << "";
        QTest::newRow("later line wins") << 200 << QByteArray("AndroidVersion=1\r\nAndroidVersion=2\r\niOSVersion=3")
                                         << QByteArray() << "2" << "3" << "";
        QTest::newRow("value ends at second equals sign") << 200 << QByteArray("AndroidVersion=7=8\r\niOSVersion=9")
                                                          << QByteArray() << "7" << "9" << "";
        QTest::newRow("LF only is one line") << 200 << QByteArray("AndroidVersion=3.1\niOSVersion=3.2") << QByteArray()
                                             << "3.1\niOSVersion" << "2.1.2" << "";
        QTest::newRow("no key lines") << 200 << QByteArray("<html>nothing here</html>") << QByteArray() << "2.1.2"
                                      << "2.1.2" << "";
        QTest::newRow("one key") << 200 << QByteArray("iOSVersion=9.9") << QByteArray() << "2.1.2" << "9.9" << "";
        QTest::newRow("not found uses the copy") << 404 << QByteArray("missing")
                                                 << QByteArray("AndroidVersion=1.1\r\niOSVersion=1.2") << "1.1" << "1.2" << "";
        QTest::newRow("not found without a copy") << 404 << QByteArray("missing") << QByteArray() << "2.1.2" << "2.1.2"
                                                  << "Error getting mobile Version App file.";
        QTest::newRow("key without equals sign") << 200 << QByteArray("AndroidVersion=5\r\niOSVersion\r\nAndroidVersion=6")
                                                 << QByteArray() << "5" << "2.1.2" << "Error getting mobile Version App file.";
    }
    void versionFile()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, cached);
        QFETCH(QString, android);
        QFETCH(QString, ios);
        QFETCH(QString, box);
        Installation installation;
        installation.WriteSettings(Installation::ListeningSettings(FreePort()));
        const QString copy = installation.ProgramFolder() + QStringLiteral("/MobileAppVersion.txt");
        if (!cached.isEmpty()) {
            QFile file(copy);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(cached);
        }
        m_versions->status = status;
        m_versions->body = body;
        const int before = m_versions->requests;
        BoxRecorder boxes;
        auto window = MakeWindow(installation.ProgramFolder(), installation.Root());
        QVERIFY(StartWindow(*window));
        QCOMPARE(m_versions->requests, before + 1);
        QVERIFY(m_versions->lastPath.startsWith(QStringLiteral("/MobileAppVersion.txt?nocache=")));
        QCOMPARE(window->AndroidVersion(), android);
        QCOMPARE(window->IOSVersion(), ios);
        if (box.isEmpty()) {
            QVERIFY(boxes.texts.isEmpty());
        } else {
            QCOMPARE(boxes.texts.size(), 1);
            QVERIFY(boxes.texts.first().startsWith(box + QStringLiteral("\r\n")));
        }
        // A file that arrived is kept as the copy.
        if (status == 200) {
            QFile file(copy);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), body);
        }
    }

    void unreachableSiteKeepsDefaults()
    {
        Installation installation;
        installation.WriteSettings(Installation::ListeningSettings(FreePort()));
        PointVersionURL(QStringLiteral("http://127.0.0.1:") + QString::number(FreePort()));
        BoxRecorder boxes;
        auto window = MakeWindow(installation.ProgramFolder(), installation.Root());
        QVERIFY(StartWindow(*window));
        QCOMPARE(window->AndroidVersion(), QStringLiteral("2.1.2"));
        QCOMPARE(window->IOSVersion(), QStringLiteral("2.1.2"));
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY(boxes.texts.first().startsWith(QStringLiteral("Error getting mobile Version App file.\r\n")));
        QVERIFY(window->Sockets()->IsListening());
    }

    void emptyVersionCloses()
    {
        Installation installation;
        installation.WriteSettings(Installation::ListeningSettings(FreePort()));
        m_versions->body = "AndroidVersion=\r\niOSVersion=1.0";
        BoxRecorder boxes;
        auto window = MakeWindow(installation.ProgramFolder(), installation.Root());
        QVERIFY(!StartWindow(*window));
        QVERIFY(window->IsUnloaded());
        QCOMPARE(boxes.texts, QStringList{QStringLiteral("Unable to get mobile app version.\r\nPlease call support team.")});
        QVERIFY(!window->Sockets()->IsListening());
        QVERIFY(installation.NewestLogText().contains(
            QStringLiteral("|Form is unloading by method : The Unload statement is invoked from code.")));
    }

    void failedCopyKeepsFetchedVersions()
    {
        Installation installation;
        installation.WriteSettings(Installation::ListeningSettings(FreePort()));
        // A folder where the copy should go: the copy cannot be written.
        QVERIFY(QDir().mkpath(installation.ProgramFolder() + QStringLiteral("/MobileAppVersion.txt")));
        m_versions->body = "AndroidVersion=8.1\r\niOSVersion=8.2";
        BoxRecorder boxes;
        auto window = MakeWindow(installation.ProgramFolder(), installation.Root());
        QVERIFY(StartWindow(*window));
        QCOMPARE(window->AndroidVersion(), QStringLiteral("8.1"));
        QCOMPARE(window->IOSVersion(), QStringLiteral("8.2"));
        QVERIFY(boxes.texts.isEmpty());
        QVERIFY(window->PaneText().contains(QStringLiteral("Unable to save mobile app version file ")));
    }

    void versionAddress_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("secured");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain with www") << "" << "example.org" << false << "http://www.example.org";
        QTest::newRow("secured bare host") << "" << "example.org" << true << "https://example.org";
        QTest::newRow("default host") << "" << "" << false
                                      << QStringLiteral("http://www.") + frmTessarinMobileClient::kDefaultCalderwickHost;
        QTest::newRow("address set whole") << "http://127.0.0.1:8080/" << "example.org" << true << "http://127.0.0.1:8080";
    }
    void versionAddress()
    {
        QFETCH(QString, url);
        QFETCH(QString, host);
        QFETCH(bool, secured);
        QFETCH(QString, expected);
        const QString app = QStringLiteral("Tessarin");
        const QString section = QStringLiteral("frmMain");
        platform::store::SaveSetting(app, section, QStringLiteral("CalderwickURL"), url);
        if (host.isEmpty())
            platform::store::DeleteSetting(app, section, QStringLiteral("CalderwickHost"));
        else
            platform::store::SaveSetting(app, section, QStringLiteral("CalderwickHost"), host);
        Installation installation;
        BoxRecorder boxes;
        auto window = MakeWindow(installation.ProgramFolder(), installation.Root());
        window->SetIsCalderwickSecuredURL(secured);
        QCOMPARE(window->CalderwickURL(), expected);
        platform::store::DeleteSetting(app, section, QStringLiteral("CalderwickHost"));
    }

    void securedFlagReadAtStart()
    {
        platform::store::SaveSetting(QStringLiteral("Tessarin"), QStringLiteral("frmMain"),
                                     QStringLiteral("IsCalderwickSecuredURL"), QStringLiteral("True"));
        Installation installation;
        installation.WriteSettings(Installation::ListeningSettings(FreePort()));
        BoxRecorder boxes;
        auto window = MakeWindow(installation.ProgramFolder(), installation.Root());
        QVERIFY(StartWindow(*window));
        QVERIFY(window->IsCalderwickSecuredURL());
        platform::store::DeleteSetting(QStringLiteral("Tessarin"), QStringLiteral("frmMain"),
                                       QStringLiteral("IsCalderwickSecuredURL"));
    }

    // --- connections ---------------------------------------------------------------------------

    void requestLimits()
    {
        qputenv("CORVANTIS_MAX_REQUEST_BYTES", "2000");
        qputenv("CORVANTIS_RECEIVE_TIMEOUT_MS", "400");
        Running running = StartListening();
        qunsetenv("CORVANTIS_MAX_REQUEST_BYTES");
        qunsetenv("CORVANTIS_RECEIVE_TIMEOUT_MS");
        QCOMPARE(running.window->Limits().nMaxRequestBytes, qint64(2000));

        // Text that grows past the limit without a marker: closed, logged, no reply.
        WireClient large;
        QVERIFY(large.Connect(running.port));
        large.Write(QByteArray(1500, 'x'));
        QTest::qWait(50);
        large.Write(QByteArray(1500, 'y'));
        QVERIFY(large.WaitClosed());
        QVERIFY(large.ReadReply(100).isEmpty());
        QVERIFY(running.window->PaneText().contains(QStringLiteral("Request Too Large from Mobile No.  Client Index : 1 Data Length : 3000")));

        // A request of exactly the limit whose marker arrives split: the first piece ends in
        // "<EO" and is then longer than the limit, yet the request is within it.
        const QString head = QStringLiteral("{\"Action\":\"Login\",\"MobileNo\":\"9000000001\",\"IMEINo\":\"IMEI-1\",\"Pad\":\"");
        const QString atLimit = head + QString(2000 - head.size() - 2, QLatin1Char('p')) + QStringLiteral("\"}");
        QCOMPARE(atLimit.size(), 2000);
        WireClient split;
        QVERIFY(split.Connect(running.port));
        split.Write(platform::ansi::Encode(atLimit + QStringLiteral("<EO")));
        QTest::qWait(100);
        split.Write("F>");
        QCOMPARE(Member(split.ReadReply(), QStringLiteral("Status")), QStringLiteral("1"));
        QVERIFY(split.WaitClosed());
        // One character more is too large.
        WireClient over;
        QVERIFY(over.Connect(running.port));
        over.Write(platform::ansi::Encode(QLatin1Char(' ') + atLimit + QStringLiteral("<EOF>")));
        QVERIFY(over.WaitClosed());
        QVERIFY(over.ReadReply(100).isEmpty());

        // A connection that sends nothing: closed after the receive time.
        WireClient idle;
        QVERIFY(idle.Connect(running.port));
        idle.Write("{\"Action\":");
        QVERIFY(!idle.WaitClosed(200));
        QVERIFY(idle.WaitClosed(3000));
        QVERIFY(running.window->PaneText().contains(QStringLiteral("Receive Time-out for Mobile No. Client Index : ")));
        QCOMPARE(running.window->Sockets()->Count(), 1);

        // A request in time is answered as ever.
        const QString reply = Exchange(running.port, LoginText(QStringLiteral("9000000001"), QStringLiteral("IMEI-1")));
        QCOMPARE(Member(reply, QStringLiteral("Status")), QStringLiteral("1"));
    }

    void blockedAndFreedSlots()
    {
        Running running = StartListening();
        WireClient first, second, third;
        QVERIFY(first.Connect(running.port));
        QVERIFY(second.Connect(running.port));
        QVERIFY(QTest::qWaitFor([&] { return running.window->Sockets()->Count() == 3; }, 3000));
        QCOMPARE(running.window->Sockets()->Indexes(), (QList<qint16>{1, 2}));
        first.Socket().abort();
        QVERIFY(QTest::qWaitFor([&] { return running.window->Sockets()->Count() == 2; }, 3000));
        QVERIFY(third.Connect(running.port));
        QVERIFY(QTest::qWaitFor([&] { return running.window->Sockets()->Count() == 3; }, 3000));
        // The freed number is used again first.
        QCOMPARE(running.window->Sockets()->Indexes(), (QList<qint16>{1, 2}));
        QVERIFY(running.window->PaneText().contains(QStringLiteral("Connection Request Accepted to Request ID : 3 Client Index : 1 Remote Host : 127.0.0.1 Remote IP : 127.0.0.1")));
    }

    // The caller's address is the one the system gives with the connection, of either family.
    void callerOfConnection_data()
    {
        QTest::addColumn<int>("family");
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("cutBy");  // bytes missing from the length the system gave
        QTest::addColumn<QString>("written");
        QTest::newRow("IPv4") << int(AF_INET) << "10.0.0.5" << 0 << "10.0.0.5";
        QTest::newRow("IPv4 on an IPv6 socket") << int(AF_INET6) << "::ffff:10.0.0.5" << 0 << "10.0.0.5";
        QTest::newRow("IPv6") << int(AF_INET6) << "2001:db8::17" << 0 << "2001:db8::17";
        QTest::newRow("IPv6 loopback") << int(AF_INET6) << "::1" << 0 << "::1";
        QTest::newRow("IPv4, cut short") << int(AF_INET) << "10.0.0.5" << 1 << "";
        QTest::newRow("IPv6, cut short") << int(AF_INET6) << "2001:db8::17" << 1 << "";
        QTest::newRow("another family") << int(AF_UNIX) << "" << 0 << "";
    }
    void callerOfConnection()
    {
        QFETCH(int, family);
        QFETCH(QString, address);
        QFETCH(int, cutBy);
        QFETCH(QString, written);
        sockaddr_storage given{};
        unsigned length = sizeof given;
        if (family == AF_INET) {
            auto* v4 = reinterpret_cast<sockaddr_in*>(&given);
            v4->sin_family = AF_INET;
            v4->sin_port = htons(40123);
            QCOMPARE(::inet_pton(AF_INET, qPrintable(address), &v4->sin_addr), 1);
            length = sizeof *v4;
        } else if (family == AF_INET6) {
            auto* v6 = reinterpret_cast<sockaddr_in6*>(&given);
            v6->sin6_family = AF_INET6;
            v6->sin6_port = htons(40123);
            QCOMPARE(::inet_pton(AF_INET6, qPrintable(address), &v6->sin6_addr), 1);
            length = sizeof *v6;
        } else {
            given.ss_family = sa_family_t(family);
        }
        const TCPClient::Caller caller = TCPClient::CallerOf(given, length - unsigned(cutBy));
        QCOMPARE(caller.address, written);
        if (!written.isEmpty())
            QCOMPARE(caller.port, quint16(40123));
    }

    // A connection request whose caller has no address is refused, and said: neither the block
    // list nor the request log could be kept for it. The next caller is taken in as ever.
    void connectionWithoutAddressRefused()
    {
        Running running = StartListening();
        QVERIFY(running.window->IsStarted());
        // No connection has come yet: the request stands without a caller.
        emit running.window->Sockets()->ConnectionRequest(0, 4242);
        QCOMPARE(running.window->Sockets()->Count(), 1);
        const QString pane = running.window->PaneText();
        QVERIFY2(pane.contains(QStringLiteral("Connection Request Refused (no remote address) for Request ID : 4242")), qPrintable(pane));
        QVERIFY(!pane.contains(QStringLiteral("Connection Request Accepted")));
        const QString reply = Exchange(running.port, LoginText(QStringLiteral("9000000001"), QStringLiteral("IMEI-1")));
        QCOMPARE(Member(reply, QStringLiteral("Status")), QStringLiteral("1"));
        QVERIFY(running.window->PaneText().contains(
            QStringLiteral("Connection Request Accepted to Request ID : 1 Client Index : 1 Remote Host : 127.0.0.1 Remote IP : 127.0.0.1")));
    }

    void peerGoneBeforeReply()
    {
        Running running = StartListening();
        for (int i = 0; i < 10; ++i) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, running.port);
            QVERIFY(socket.waitForConnected(3000));
            socket.write(platform::ansi::Encode(LoginText(QStringLiteral("9000000001"), QStringLiteral("IMEI-1"))));
            socket.flush();
            socket.abort();
            QTest::qWait(5);
        }
        QVERIFY(QTest::qWaitFor([&] { return running.window->Sockets()->Count() == 1; }, 5000));
        // Sending on a slot that is gone is logged and does nothing.
        ServerWindowTest::SendReply(*running.window, 77, QStringLiteral("{}<EOF>"));
        QVERIFY(running.window->PaneText().contains(QStringLiteral("Sending Data skipped, connection is closed. Client Index : 77")));
        const QString reply = Exchange(running.port, LoginText(QStringLiteral("9000000001"), QStringLiteral("IMEI-1")));
        QCOMPARE(Member(reply, QStringLiteral("Message")), QStringLiteral("Success"));
    }

    void noBoxWhileHandlingRequest()
    {
        Running running = StartListening();
        QVERIFY(Member(Exchange(running.port, LoginText(QStringLiteral("9000000001"), QStringLiteral("IMEI-1"))),
                       QStringLiteral("Status")) == QStringLiteral("1"));
        // The company list can no longer be read: the settings object raises its message while
        // the request is handled.
        clsSetup* setup = running.window->GetSetup();
        fixtures::PointSetupAt(*setup, running.installation->Root() + QStringLiteral("/gone"));
        setup->xCompanies.Clear();
        setup->lCurrentYearOnly = true;
        BoxRecorder boxes;
        const QString reply = Exchange(running.port, RequestText(QStringLiteral("DashBoard"), QStringLiteral("9000000001"),
                                                                 QStringLiteral("IMEI-1")));
        QVERIFY(!reply.isEmpty());
        QVERIFY(boxes.texts.isEmpty());
        QVERIFY(running.window->PaneText().contains(QStringLiteral("Error while getting Company List.")));
        QVERIFY(running.installation->NewestLogText().contains(QStringLiteral("|Error while getting Company List.")));
    }

    void modeChangeStopsWork()
    {
        Running running = StartListening();
        WireClient held;
        QVERIFY(held.Connect(running.port));
        QVERIFY(QTest::qWaitFor([&] { return running.window->Sockets()->Count() == 2; }, 3000));
        clsSetup* setup = running.window->GetSetup();
        setup->lStaticIP = false;
        setup->lConnectionParemeterChanged = true;
        BoxRecorder boxes;
        // Whatever dialog opens is closed as soon as it shows.
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->done(QDialog::Rejected);
        });
        closer.start(50);
        running.window->cmdCommand_Click(3);
        closer.stop();
        setup->lStaticIP = false;  // as saved, whatever the dialog reloaded
        QVERIFY(boxes.Saw(QStringLiteral("Configuration parameter has changed. Now it will close all active connection.")));
        QVERIFY(held.WaitClosed());
        QVERIFY(!running.window->Sockets()->IsListening());
        QCOMPARE(running.window->Sockets()->Count(), 1);
        QVERIFY(running.window->PaneText().contains(QStringLiteral("Stop Accepting Connection for mobile clients.")));
        // Nothing takes connections in any more.
        const int lines = running.window->PaneText().count(QStringLiteral("Connection Request"));
        WireClient late;
        late.Connect(running.port, 1000);
        QTest::qWait(100);
        QCOMPARE(running.window->Sockets()->Count(), 1);
        QCOMPARE(running.window->PaneText().count(QStringLiteral("Connection Request")), lines);
        QCOMPARE(running.window->Command(1)->text(), QStringLiteral("Login to Server"));
        QVERIFY(!setup->lConnectionParemeterChanged);
    }

    void mobileCheckedOnEveryRequest_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("unchanged") << "";
        QTest::newRow("locked") << "lock";
        QTest::newRow("removed") << "remove";
        QTest::newRow("another IMEI") << "imei";
    }
    void mobileCheckedOnEveryRequest()
    {
        QFETCH(QString, change);
        Running running = StartListening();
        const QString mobile = QStringLiteral("9000000001");
        QCOMPARE(Member(Exchange(running.port, LoginText(mobile, QStringLiteral("IMEI-1"))), QStringLiteral("Status")),
                 QStringLiteral("1"));
        platform::XArrayDB& mobiles = running.window->GetSetup()->xMobiles;
        if (change == QStringLiteral("lock"))
            mobiles.SetValue(0, 3, true);
        else if (change == QStringLiteral("remove"))
            mobiles.Delete(1, 0);
        else if (change == QStringLiteral("imei"))
            mobiles.SetValue(0, 1, QStringLiteral("IMEI-NEW"));
        const QString reply = Exchange(running.port, RequestText(QStringLiteral("CompanyList"), mobile, QStringLiteral("IMEI-1")));
        QCOMPARE(Member(reply, QStringLiteral("Message")),
                 change.isEmpty() ? QStringLiteral("Success") : QStringLiteral("Login Time expired or you are not logged in."));
    }

    void imeiRegisteredWhileSetupOpenStays()
    {
        Running running = StartListening();
        BoxRecorder boxes;
        QString loginReply;
        bool saved = false;
        QTimer::singleShot(100, this, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            loginReply = Exchange(running.port, LoginText(QStringLiteral("9000000002"), QStringLiteral("IMEI-2")));
            if (auto* save = dialog->findChild<QPushButton*>(QStringLiteral("Command(1)"))) {
                save->click();
                saved = true;
            }
            if (QApplication::activeModalWidget() == dialog)
                dialog->done(QDialog::Rejected);
        });
        running.window->cmdCommand_Click(3);
        QCOMPARE(Member(loginReply, QStringLiteral("Status")), QStringLiteral("1"));
        QVERIFY(saved);
        QVERIFY(running.installation->SettingsText().contains(QStringLiteral("\"IMEI-2\"")));
        QCOMPARE(running.window->GetSetup()->xMobiles.Value(1, 1).toString(), QStringLiteral("IMEI-2"));
    }

    void testCommandOfDevelopmentRun()
    {
        Installation installation;
        installation.WriteSettings(Installation::ListeningSettings(FreePort()));
        ServerWindowOptions options;
        options.programFolder = installation.Root() + QStringLiteral("/anywhere");  // no folder check
        QDir().mkpath(options.programFolder);
        options.lockFilePath = installation.Root() + QStringLiteral("/server.lock");
        options.executingFromIDE = true;
        options.testMobileNo = QStringLiteral("9000000001");
        options.testFolderName = kCompany;
        BoxRecorder boxes;
        frmTessarinMobileClient window(options);
        QVERIFY(!window.IsUnloaded());
        QVERIFY(window.TestingMode());
        QVERIFY(window.TestCommandButton()->isVisibleTo(&window));
        emit window.GetSetup()->ShowEvents(QStringLiteral("before"));
        window.TestCommandButton()->click();
        const QString pane = window.PaneText();
        QVERIFY(pane.startsWith(QStringLiteral("{\n  \"Action\": \"DashBoard\",\n  \"MobileNo\": \"9000000001\",")));
        QVERIFY(!pane.contains(QStringLiteral("before")));
        QCOMPARE(QGuiApplication::clipboard()->text(), pane);
    }

    // A real box shows a CR LF of its message as one line break, and its text as plain text.
    void messageBoxLineBreaks()
    {
        QString shown;
        Qt::TextFormat format = Qt::AutoText;
        QTimer::singleShot(0, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                format = box->textFormat();
                box->done(QMessageBox::Ok);
            }
        });
        qputenv("CORVANTIS_MESSAGE_BOXES", "show");  // a real box, offscreen too
        MsgBox::Show(nullptr, QStringLiteral("first <b>line</b>\r\nsecond line"), MsgBox::vbOKOnly, QStringLiteral("T"));
        qunsetenv("CORVANTIS_MESSAGE_BOXES");
        QCOMPARE(shown, QStringLiteral("first <b>line</b>\nsecond line"));
        QCOMPARE(format, Qt::PlainText);
    }

    void exitAsks()
    {
        Running running = StartListening();
        {
            BoxRecorder boxes;
            boxes.answer = MsgBox::vbNo;
            running.window->Command(0)->click();
            QCOMPARE(boxes.texts, QStringList{QStringLiteral("Exiting from Application will close all active connection.\r\nReally you want to continue.")});
            QVERIFY(!running.window->IsUnloaded());
        }
        BoxRecorder boxes;
        boxes.answer = MsgBox::vbYes;
        running.window->Command(0)->click();
        QVERIFY(running.window->IsUnloaded());
        QVERIFY(!running.window->Sockets()->IsListening());
        QVERIFY(running.installation->NewestLogText().contains(
            QStringLiteral("|Form is unloading by method : The Unload statement is invoked from code.")));
    }

    // A close from outside (a stop signal) stops work and closes as Exit does, but puts no box
    // in its way: the save of changed settings is said in the event pane and the text log.
    void closeFromOutsideAsksNothing()
    {
        Running running = StartListening();
        QVERIFY(running.window->Sockets()->IsListening());
        BoxRecorder boxes;
        running.window->GetSetup()->lSettingChanged = true;
        running.window->GetSetup()->lAutoStart = false;  // a change that only the save at the close keeps
        running.window->CloseFromOutside();
        QVERIFY(running.window->IsUnloaded());
        QCOMPARE(boxes.texts, QStringList());
        QVERIFY(!running.window->Sockets()->IsListening());
        QVERIFY(running.installation->SettingsText().contains(QStringLiteral("\"AutoStart\": false")));
        const QString log = running.installation->NewestLogText();
        QVERIFY2(log.contains(QStringLiteral("|Stop Accepting Connection for mobile clients.\r\n")), qPrintable(log));
        QVERIFY2(log.contains(QStringLiteral("|Mobile IMEI No. has changed.\r\nIt will save setting again.\r\n")), qPrintable(log));
        QVERIFY2(log.endsWith(QStringLiteral(
                     "|Form is unloading by method : The Microsoft Windows Task Manager is closing the application.\r\n")),
                 qPrintable(log));
    }
};

QTEST_MAIN(ServerWindowTest)
#include "test_server_window.moc"
