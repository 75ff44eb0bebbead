// The real programs stopped from outside, as a terminal's Ctrl+C, a service manager or a
// hang-up of the terminal stops them: each signal closes the window the way the Exit button
// does, without its question.
#include "ServerTestSupport.h"

#include <QFileInfo>
#include <QTest>

#include <sqlite3.h>

#include <csignal>

using namespace servertest;

namespace {
const QString kMobile1 = QStringLiteral("9000000001");
const QString kUnloading =
    QStringLiteral("Form is unloading by method : The Microsoft Windows Task Manager is closing the application.");

// The text after the time and "|" of the last line of a text log.
QString LastLogLine(const QString& log)
{
    const QStringList lines = log.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last().section(QLatin1Char('|'), 1);
}

void AddSignalRows()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}
}  // namespace

class ServerSignalTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    std::unique_ptr<VersionServer> m_versions;

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        IsolateUserSettings(m_home.path() + QStringLiteral("/config"));
        m_versions = std::make_unique<VersionServer>();
    }

    // Right after a burst of requests: every answered request reaches the table once, the
    // journal is left empty, the text log ends with the closing line, the one-copy lock is
    // given back, the status is 0, and the next start listens.
    void signalClosesTheServer_data() { AddSignalRows(); }
    void signalClosesTheServer()
    {
        QFETCH(int, signalNumber);
        ListeningProgram program;
        QVERIFY(program.Start(m_versions->BaseURL()));
        Installation& installation = program.installation;
        ServerProcess& server = program.server;
        const quint16 port = program.port;
        QVERIFY(QFileInfo::exists(server.LockFile()));

        const QString login = Exchange(port, LoginText(kMobile1, QStringLiteral("IMEI-1")));
        QCOMPARE(Member(login, QStringLiteral("Status")), QStringLiteral("1"));
        QStringList replies;
        for (int i = 0; i < 30; ++i) {
            replies << Exchange(port, RequestText(QStringLiteral("CompanyList"), kMobile1, QStringLiteral("IMEI-1")));
            QCOMPARE(Member(replies.last(), QStringLiteral("Status")), QStringLiteral("1"));
        }
        QCOMPARE(::kill(program.Pid(), signalNumber), 0);
        QVERIFY(server.Process().waitForFinished(15000));
        QCOMPARE(server.Process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(server.Process().exitCode(), 0);

        QVERIFY(QFileInfo::exists(installation.JournalPath()));
        QCOMPARE(QFileInfo(installation.JournalPath()).size(), 0);
        const QList<QStringList> rows = installation.RequestLogRows();
        QCOMPARE(rows.size(), 31);
        QCOMPARE(rows.first().at(0), QStringLiteral("Login"));
        for (int i = 0; i < 30; ++i) {
            QCOMPARE(rows.at(i + 1).at(0), QStringLiteral("CompanyList"));
            QCOMPARE(rows.at(i + 1).at(7) + QStringLiteral("<EOF>"), replies.at(i));
        }
        const QString log = installation.NewestLogText();
        QCOMPARE(LastLogLine(log), kUnloading);
        // Work stopped as the Exit button stops it.
        QVERIFY2(log.contains(QStringLiteral("|Stop Accepting Connection for mobile clients.\r\n")), qPrintable(log));
        QVERIFY(!QFileInfo::exists(server.LockFile()));
        QVERIFY2(!server.Output().contains(QStringLiteral("Message box: ")), qPrintable(server.Output()));

        // The same user starts it again and it listens.
        QProcessEnvironment sameUser;
        sameUser.insert(QStringLiteral("TMPDIR"), server.TempFolder());
        ServerProcess again(installation);
        QVERIFY(again.Start(m_versions->BaseURL(), {}, sameUser));
        QString reply;
        QVERIFY2(QTest::qWaitFor([&] {
                     reply = Exchange(port, LoginText(kMobile1, QStringLiteral("IMEI-1")));
                     return !reply.isEmpty() || again.Process().state() == QProcess::NotRunning;
                 }, 15000),
                 qPrintable(again.Output()));
        QCOMPARE(Member(reply, QStringLiteral("Status")), QStringLiteral("1"));
    }

    // A script that starts the server in the background has it start with Ctrl+C ignored; a
    // SIGINT sent to it on purpose (kill -INT) still closes it cleanly. A hang-up ignored at
    // start (nohup) stays ignored: the program outlives its terminal and a SIGTERM ends it.
    void signalIgnoredAtStart_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<bool>("closes");
        QTest::newRow("SIGINT, background job") << int(SIGINT) << true;
        QTest::newRow("SIGTERM") << int(SIGTERM) << true;
        QTest::newRow("SIGHUP, nohup") << int(SIGHUP) << false;
    }
    void signalIgnoredAtStart()
    {
        QFETCH(int, signalNumber);
        QFETCH(bool, closes);
        ListeningProgram program;
        program.server.IgnoreAtStart({signalNumber});
        QVERIFY(program.Start(m_versions->BaseURL()));
        QCOMPARE(Member(Exchange(program.port, LoginText(kMobile1, QStringLiteral("IMEI-1"))), QStringLiteral("Status")),
                 QStringLiteral("1"));
        QCOMPARE(::kill(program.Pid(), signalNumber), 0);
        if (!closes) {
            QVERIFY(!program.server.Process().waitForFinished(1000));
            QCOMPARE(Member(Exchange(program.port, LoginText(kMobile1, QStringLiteral("IMEI-1"))), QStringLiteral("Status")),
                     QStringLiteral("1"));
            QCOMPARE(::kill(program.Pid(), SIGTERM), 0);
        }
        QVERIFY(program.server.Process().waitForFinished(15000));
        QCOMPARE(program.server.Process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.server.Process().exitCode(), 0);
        QCOMPARE(LastLogLine(program.installation.NewestLogText()), kUnloading);
        QCOMPARE(program.installation.RequestLogRows().size(), closes ? 1 : 2);
    }

    // A request that is still being received when the signal comes does not hold the close up.
    void unfinishedRequestDoesNotHoldTheClose()
    {
        ListeningProgram program;
        QVERIFY(program.Start(m_versions->BaseURL()));
        Installation& installation = program.installation;
        ServerProcess& server = program.server;
        const quint16 port = program.port;
        WireClient client;
        QVERIFY(client.Connect(port));
        client.Write("{\"Action\":\"Login\",\"MobileNo\":\"9000000001\"");
        QVERIFY(server.WaitForLog(QStringLiteral("|Data Received From Mobile No.  Client Index : 1 Data Length : ")));
        QCOMPARE(::kill(program.Pid(), SIGTERM), 0);
        QVERIFY(server.Process().waitForFinished(15000));
        QCOMPARE(server.Process().exitCode(), 0);
        QVERIFY(client.WaitClosed());
        QCOMPARE(LastLogLine(installation.NewestLogText()), kUnloading);
    }

    // A second signal that comes before the close has run ends the program at once, without
    // its closing lines. What it had in its journal (the table was held locked by another
    // program, so nothing had moved) is not lost: it reaches the table at the next start.
    void secondSignalEndsAtOnce()
    {
        ListeningProgram program;
        QVERIFY(program.Start(m_versions->BaseURL()));
        Installation& installation = program.installation;
        ServerProcess& server = program.server;
        const quint16 port = program.port;
        sqlite3* holder = nullptr;
        QCOMPARE(sqlite3_open(qPrintable(installation.DataFolder() + QStringLiteral("/master.sqlite")), &holder), SQLITE_OK);
        QCOMPARE(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        QCOMPARE(Member(Exchange(port, LoginText(kMobile1, QStringLiteral("IMEI-1"))), QStringLiteral("Status")),
                 QStringLiteral("1"));
        QVERIFY(server.WaitForLog(QStringLiteral("|Error while Inserting Request in LogData.")));
        // Both signals wait while the program is stopped and come one after the other.
        const pid_t pid = program.Pid();
        QCOMPARE(::kill(pid, SIGSTOP), 0);
        QCOMPARE(::kill(pid, SIGINT), 0);
        QCOMPARE(::kill(pid, SIGTERM), 0);
        QCOMPARE(::kill(pid, SIGCONT), 0);
        QVERIFY(server.Process().waitForFinished(15000));
        QCOMPARE(server.Process().exitStatus(), QProcess::NormalExit);
        QVERIFY2(server.Process().exitCode() == 128 + SIGINT || server.Process().exitCode() == 128 + SIGTERM,
                 qPrintable(QString::number(server.Process().exitCode())));
        QVERIFY(!installation.NewestLogText().contains(QStringLiteral("|Form is unloading by method : ")));
        sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(holder);
        QVERIFY(installation.RequestLogRows().isEmpty());
        QCOMPARE(installation.JournalRecords().size(), size_t(2));

        ServerProcess again(installation);
        QVERIFY(again.Start(m_versions->BaseURL()));
        QList<QStringList> rows;
        QTRY_COMPARE_WITH_TIMEOUT((rows = installation.RequestLogRows()).size(), 1, 15000);
        QCOMPARE(rows.first().at(0), QStringLiteral("Login"));
    }

    // The log viewer closes its window on the same signals: status 0 and its lock given back.
    void signalClosesTheViewer_data() { AddSignalRows(); }
    void signalClosesTheViewer()
    {
        QFETCH(int, signalNumber);
        Installation installation;
        QVERIFY(installation.IsValid());
        installation.WriteSettings(Installation::ListeningSettings(FreePort()));
        ServerProcess viewer(installation, QStringLiteral(LODREVIN_BINARY), QStringLiteral("Lodrevin"));
        QVERIFY(viewer.Start(m_versions->BaseURL()));
        QVERIFY2(QTest::qWaitFor([&] { return QFileInfo::exists(viewer.LockFile(true))
                                              || viewer.Process().state() == QProcess::NotRunning; }, 15000),
                 qPrintable(viewer.Output()));
        QTest::qWait(500);  // its start-up has read the log
        QCOMPARE(viewer.Process().state(), QProcess::Running);
        QCOMPARE(::kill(static_cast<pid_t>(viewer.Process().processId()), signalNumber), 0);
        QVERIFY(viewer.Process().waitForFinished(15000));
        QCOMPARE(viewer.Process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(viewer.Process().exitCode(), 0);
        QVERIFY(!QFileInfo::exists(viewer.LockFile(true)));
        QVERIFY2(!viewer.Output().contains(QStringLiteral("Message box: ")), qPrintable(viewer.Output()));
    }
};

QTEST_GUILESS_MAIN(ServerSignalTest)
#include "test_server_signals.moc"
