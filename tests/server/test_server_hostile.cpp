// The server window against clients that misbehave and against a machine that runs short:
// half-closed connections, requests built to be slow or to forge log lines, many unfinished
// requests at once, the limit of open files and a platform where no one answers a box.
#include "WindowTestSupport.h"

#include "clsSetup.h"
#include "text/Ansi.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace servertest;

namespace {
const QString kMobile1 = QStringLiteral("9000000001");
}  // namespace

class ServerHostileTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    std::unique_ptr<VersionServer> m_versions;

    // A started window on a listening installation.
    struct Running {
        std::unique_ptr<Installation> installation;
        std::unique_ptr<frmTessarinMobileClient> window;
        quint16 port = 0;
    };
    Running StartListening()
    {
        Running running;
        running.installation = std::make_unique<Installation>();
        running.port = FreePort();
        running.installation->WriteSettings(Installation::ListeningSettings(running.port));
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

    // A client that shuts down its sending side after its request still gets the whole reply,
    // and the text log says the send completed only because it did.
    void halfClosedClientGetsReply_data()
    {
        QTest::addColumn<bool>("dataRequest");
        QTest::newRow("login") << false;
        QTest::newRow("company list") << true;
    }
    void halfClosedClientGetsReply()
    {
        QFETCH(bool, dataRequest);
        Running running = StartListening();
        QVERIFY(running.window->IsStarted());
        if (dataRequest)
            QCOMPARE(Member(Exchange(running.port, LoginText(kMobile1, QStringLiteral("IMEI-1"))), QStringLiteral("Status")),
                     QStringLiteral("1"));
        const QString request = dataRequest ? RequestText(QStringLiteral("CompanyList"), kMobile1, QStringLiteral("IMEI-1"))
                                            : LoginText(kMobile1, QStringLiteral("IMEI-1"));
        WireClient client;
        QVERIFY(client.Connect(running.port));
        client.Write(platform::ansi::Encode(request));
        QCOMPARE(::shutdown(static_cast<int>(client.Socket().socketDescriptor()), SHUT_WR), 0);
        const QString reply = client.ReadReply();
        QVERIFY2(Member(reply, QStringLiteral("Status")) == QStringLiteral("1"), qPrintable(running.installation->NewestLogText()));
        QVERIFY(client.WaitClosed());
        const QString log = running.installation->NewestLogText();
        const QString action = dataRequest ? QStringLiteral("CompanyList") : QStringLiteral("Login");
        QVERIFY2(log.contains(QStringLiteral("|Data Sending Complete for Mobile No.9000000001 Client Index : 1 Action : ") + action),
                 qPrintable(log));
        // The row reaches the table a moment after the reply.
        QList<QStringList> rows;
        QTRY_VERIFY_WITH_TIMEOUT(!(rows = running.installation->RequestLogRows()).isEmpty(), 3000);
        if (dataRequest)
            QCOMPARE(rows.last().at(7) + QStringLiteral("<EOF>"), reply);
    }

    // Connections whose requests wait together are served in the order they came, whatever
    // order the system lists them in: under load none waits through two rounds of the others.
    void readyConnectionsServedOldestFirst()
    {
        Running running = StartListening();
        QVERIFY(running.window->IsStarted());
        const auto connect = [&] {
            auto client = std::make_unique<WireClient>();
            const bool connected = client->Connect(running.port);
            QTest::qWait(30);  // taken in by the server before the next one comes
            return connected ? std::move(client) : nullptr;
        };
        const auto login = [](int i) { return LoginText(QStringLiteral("80000000%1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("IMEI-X")); };
        // Eight connections, then four more after the first four were answered and closed: the
        // newer ones take the system's lowest descriptors.
        std::vector<std::unique_ptr<WireClient>> clients;
        for (int i = 0; i < 8; ++i) {
            clients.push_back(connect());
            QVERIFY(clients.back());
        }
        for (int i = 0; i < 4; ++i) {
            clients[size_t(i)]->Write(platform::ansi::Encode(login(i)));
            QVERIFY(!clients[size_t(i)]->ReadReply().isEmpty());
            QVERIFY(clients[size_t(i)]->WaitClosed());
        }
        for (int i = 8; i < 12; ++i) {
            clients.push_back(connect());
            QVERIFY(clients.back());
        }
        // The eight waiting send together, newest first, without the server turning in between.
        QStringList expected;
        for (int i = 4; i < 12; ++i)
            expected << QStringLiteral("80000000%1").arg(i, 2, 10, QLatin1Char('0'));
        for (int i = 11; i >= 4; --i)
            clients[size_t(i)]->Write(platform::ansi::Encode(login(i)));
        for (int i = 4; i < 12; ++i)
            QVERIFY(!clients[size_t(i)]->ReadReply().isEmpty());
        QList<QStringList> rows;
        QTRY_COMPARE_WITH_TIMEOUT((rows = running.installation->RequestLogRows()).size(), 12, 3000);
        QStringList served;
        for (int i = 4; i < 12; ++i)
            served << rows.at(i).at(1);
        QCOMPARE(served, expected);
    }

    // A request of very many members is parsed in one pass, not in time that grows with the
    // square of their number: the login is answered at once and the server goes on serving.
    void manyMembersParsedAtOnce()
    {
        Running running = StartListening();
        QVERIFY(running.window->IsStarted());
        QString request = LoginText(kMobile1, QStringLiteral("IMEI-1"));
        request.chop(6);  // "}<EOF>"
        for (int i = 0; i < 60000; ++i)
            request += QStringLiteral(",\"Extra%1\":\"x\"").arg(i);
        request += QStringLiteral("}<EOF>");
        QVERIFY(request.size() > 600 * 1000);
        QElapsedTimer timer;
        timer.start();
        const QString reply = Exchange(running.port, request);
        const qint64 elapsed = timer.elapsed();
        QCOMPARE(Member(reply, QStringLiteral("Status")), QStringLiteral("1"));
        QVERIFY2(elapsed < 2000, qPrintable(QString::number(elapsed)));
    }

    // Run as a service runs (offscreen, no one to answer a box) while the version host cannot
    // be reached: the box is written to the log, answered with its default button, and the
    // server goes on to listen.
    void unattendedPlatformNeverWaitsOnABox()
    {
        Installation installation;
        QVERIFY(installation.IsValid());
        const quint16 port = FreePort();
        installation.WriteSettings(Installation::ListeningSettings(port));
        ServerProcess server(installation);
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("CORVANTIS_MESSAGE_BOXES"), QString());  // nothing set by a script
        environment.insert(QStringLiteral("CORVANTIS_VERSION_TIMEOUT_MS"), QStringLiteral("2000"));
        QVERIFY(server.Start(QStringLiteral("http://127.0.0.1:") + QString::number(FreePort()), {}, environment));
        QVERIFY2(server.WaitForLog(QStringLiteral("|Start Accepting Connection for mobile clients.")),
                 qPrintable(server.Output() + installation.NewestLogText()));
        QVERIFY(installation.NewestLogText().contains(QStringLiteral("|Message box: Error getting mobile Version App file.")));
        QCOMPARE(Member(Exchange(port, LoginText(kMobile1, QStringLiteral("IMEI-1"))), QStringLiteral("Status")),
                 QStringLiteral("1"));
    }

    // Unfinished requests of all connections together hold a limited amount: past it the
    // connection with the largest one is closed with a "Request Too Large" line; the others
    // go on and are served.
    void unfinishedRequestsAreCapped()
    {
        qputenv("CORVANTIS_MAX_PENDING_BYTES", "300000");
        Running running = StartListening();
        qunsetenv("CORVANTIS_MAX_PENDING_BYTES");
        QVERIFY(running.window->IsStarted());
        QCOMPARE(running.window->Limits().nMaxPendingBytes, 300000);
        std::vector<std::unique_ptr<WireClient>> clients;
        const QList<int> sizes = {100000, 120000, 90000};
        for (int size : sizes) {
            clients.push_back(std::make_unique<WireClient>());
            QVERIFY(clients.back()->Connect(running.port));
            clients.back()->Write("{\"Action\":\"Login\",\"Pad\":\"" + QByteArray(size, 'x'));
            QTest::qWait(200);
        }
        QVERIFY(clients[1]->WaitClosed());
        QVERIFY(clients[0]->IsConnected());
        QVERIFY(clients[2]->IsConnected());
        const QString log = running.installation->NewestLogText();
        QVERIFY2(log.contains(QStringLiteral("|Request Too Large from Mobile No.  Client Index : 2 Data Length : 120")), qPrintable(log));
        // The first finishes its request and is answered.
        clients[0]->Write("\",\"MobileNo\":\"9000000001\",\"IMEINo\":\"IMEI-1\"}<EOF>");
        QCOMPARE(Member(clients[0]->ReadReply(), QStringLiteral("Status")), QStringLiteral("1"));
    }

    // At the limit of open files (set low for the program) the listener pauses instead of
    // spinning or giving up; once the connections go away new clients are served again.
    void openFileLimit()
    {
        ListeningProgram program;
        VersionServer versions;
        program.server.Process().setChildProcessModifier([] {
            struct rlimit files {64, 64};
            ::setrlimit(RLIMIT_NOFILE, &files);
        });
        QVERIFY(program.Start(versions.BaseURL()));
        ServerProcess& server = program.server;
        const quint16 port = program.port;

        std::vector<std::unique_ptr<WireClient>> clients;
        for (int i = 0; i < 80; ++i) {
            clients.push_back(std::make_unique<WireClient>());
            QVERIFY(clients.back()->Connect(port));
        }
        QTest::qWait(500);
        clients.clear();
        QElapsedTimer timer;
        timer.start();
        QString reply;
        while (reply.isEmpty() && timer.elapsed() < 5000)
            reply = Exchange(port, LoginText(kMobile1, QStringLiteral("IMEI-1")));
        QCOMPARE(Member(reply, QStringLiteral("Status")), QStringLiteral("1"));
        QVERIFY2(timer.elapsed() < 1500, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(server.Process().state() == QProcess::Running);
    }

    // The limit of open files lowered under the running program until it is reached: while no
    // descriptor is free the program does not spin on the listening socket (under 5% of a core
    // over 2 s), says so once, and takes the clients that waited as soon as descriptors free.
    void openFileLimitReachedWhileRunning_data()
    {
        QTest::addColumn<bool>("afterRequests");
        QTest::newRow("after a login and a company list") << true;
        QTest::newRow("right after start-up") << false;
    }
    void openFileLimitReachedWhileRunning()
    {
        QFETCH(bool, afterRequests);
        ListeningProgram program;
        VersionServer versions;
        QVERIFY(program.Start(versions.BaseURL()));
        const Installation& installation = program.installation;
        ServerProcess& server = program.server;
        const quint16 port = program.port;
        if (afterRequests) {
            QCOMPARE(Member(Exchange(port, LoginText(kMobile1, QStringLiteral("IMEI-1"))), QStringLiteral("Status")),
                     QStringLiteral("1"));
            QCOMPARE(Member(Exchange(port, RequestText(QStringLiteral("CompanyList"), kMobile1, QStringLiteral("IMEI-1"))),
                            QStringLiteral("Status")),
                     QStringLiteral("1"));
        }
        const pid_t pid = program.Pid();
        const QString procFolder = QStringLiteral("/proc/") + QString::number(pid);
        const auto openDescriptors = [&] {
            return static_cast<rlim_t>(QDir(procFolder + QStringLiteral("/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
        };
        struct rlimit limit {};
        QCOMPARE(::prlimit(pid, RLIMIT_NOFILE, nullptr, &limit), 0);
        limit.rlim_cur = openDescriptors() + 60;
        QCOMPARE(::prlimit(pid, RLIMIT_NOFILE, &limit, nullptr), 0);

        std::vector<std::unique_ptr<WireClient>> clients;
        for (int i = 0; i < 120; ++i) {
            clients.push_back(std::make_unique<WireClient>());
            QVERIFY(clients.back()->Connect(port));
        }
        // The last one was not taken in; its login waits with it.
        clients.back()->Write(platform::ansi::Encode(LoginText(kMobile1, QStringLiteral("IMEI-1"))));
        QTest::qWait(500);  // the program has taken in what it can
        const auto cpuTicks = [&] {
            QFile stat(procFolder + QStringLiteral("/stat"));
            if (!stat.open(QIODevice::ReadOnly))
                return -1LL;
            // The fields after the command's closing parenthesis; utime and stime are the 12th
            // and 13th of them.
            const QByteArray text = stat.readAll();
            const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
            return fields.value(11).toLongLong() + fields.value(12).toLongLong();
        };
        const long long before = cpuTicks();
        QElapsedTimer timer;
        timer.start();
        QTest::qWait(2000);
        const long long used = cpuTicks() - before;
        const double share = 100.0 * (double(used) / double(::sysconf(_SC_CLK_TCK))) / (double(timer.elapsed()) / 1000.0);
        QVERIFY2(before >= 0 && share < 5.0, qPrintable(QStringLiteral("%1% of a core").arg(share, 0, 'f', 1)));
        qInfo("CPU at the limit: %.1f%% of a core", share);
        QCOMPARE(installation.NewestLogText().count(QStringLiteral("|Unable to accept connection. Message : ")), 1);

        // The idle clients leave; the one that waited is taken in and answered.
        WireClient* waiting = clients.back().get();
        for (size_t i = 0; i + 1 < clients.size(); ++i)
            clients[i].reset();
        const QString reply = waiting->ReadReply(5000);
        QVERIFY2(Member(reply, QStringLiteral("Status")) == QStringLiteral("1"), qPrintable(installation.NewestLogText().right(2000)));
        QVERIFY(waiting->WaitClosed());
        QCOMPARE(Member(Exchange(port, LoginText(kMobile1, QStringLiteral("IMEI-1"))), QStringLiteral("Status")),
                 QStringLiteral("1"));
        QVERIFY(server.Process().state() == QProcess::Running);
    }

    // A value that carries line breaks and a time stamp cannot write a line of its own into the
    // text log: every line there begins with the time of its event.
    void forgedLogLines_data()
    {
        // JSON escapes: the values hold a real CR LF (or LF) once the request is parsed.
        const QString forged = QStringLiteral("\\r\\n2024-01-05 14:03:09|Login Accepted for Mobile No.9000000001 Client Index : 7");
        QTest::addColumn<QString>("request");
        QTest::addColumn<bool>("logged");  // the forged value is written into some line
        QTest::newRow("MobileNo of a login") << LoginText(QStringLiteral("9000000009") + forged, QStringLiteral("IMEI-9")) << true;
        QTest::newRow("IMEINo of a login") << LoginText(QStringLiteral("9000000009"), QStringLiteral("I") + forged) << true;
        QTest::newRow("MobileNo of a data request")
            << RequestText(QStringLiteral("CompanyList"), kMobile1 + forged, QStringLiteral("IMEI-1")) << false;
        QTest::newRow("lone LF") << LoginText(QStringLiteral("9000000009\\n2024-01-05 14:03:09|Login Accepted"),
                                              QStringLiteral("IMEI-9"))
                                 << true;
    }
    void forgedLogLines()
    {
        QFETCH(QString, request);
        QFETCH(bool, logged);
        Running running = StartListening();
        QVERIFY(running.window->IsStarted());
        QVERIFY(!Exchange(running.port, request).isEmpty());
        const QString log = running.installation->NewestLogText();
        const QRegularExpression lineStart(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\|"));
        const QStringList lines = log.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        for (const QString& line : lines) {
            QVERIFY2(lineStart.match(line).hasMatch() && !line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r')),
                     qPrintable(line));
            QVERIFY2(!line.startsWith(QStringLiteral("2024-01-05")), qPrintable(line));
        }
        if (logged)
            QVERIFY2(log.contains(QStringLiteral("\\n2024-01-05 14:03:09|Login Accepted")), qPrintable(log));
        QVERIFY(!running.window->PaneText().contains(QStringLiteral("\n2024-01-05")));
    }
};

QTEST_MAIN(ServerHostileTest)
#include "test_server_hostile.moc"
