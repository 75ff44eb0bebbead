// The real program, started from an installation folder ending in CALDERWICK/Corvantis with
// its settings file, credentials of an embedded company and AutoStart, talked to over loopback.
#include "ServerTestSupport.h"

#include "text/Ansi.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <algorithm>

using namespace servertest;

namespace {
const QString kMobile1 = QStringLiteral("9000000001");
const QString kMobile2 = QStringLiteral("9000000002");
const QString kMobile3 = QStringLiteral("9000000003");

QDateTime At(const QString& text)
{
    return QDateTime::fromString(text, Qt::ISODate);
}
}  // namespace

// One program in listening mode serves every test of this class, in order.
class ServerListeningTest : public QObject {
    Q_OBJECT

    std::unique_ptr<VersionServer> m_versions;
    std::unique_ptr<Installation> m_installation;
    std::unique_ptr<ServerProcess> m_server;
    quint16 m_port = 0;

    QString Send(const QString& request, bool* closed = nullptr) { return Exchange(m_port, request, closed); }

private slots:
    void initTestCase()
    {
        m_versions = std::make_unique<VersionServer>();
        m_installation = std::make_unique<Installation>();
        QVERIFY(m_installation->IsValid());
        m_port = FreePort();
        m_installation->WriteSettings(Installation::ListeningSettings(m_port));
        m_server = std::make_unique<ServerProcess>(*m_installation);
        m_server->SetClock(At(QStringLiteral("2024-06-15T10:59:00")));
        QVERIFY(m_server->Start(m_versions->BaseURL()));
        QVERIFY2(m_server->WaitForLog(QStringLiteral("|Start Accepting Connection for mobile clients.")),
                 qPrintable(m_server->Output()));
        QCOMPARE(m_versions->requests, 1);
    }

    void cleanupTestCase()
    {
        // No message box was raised on any of these paths.
        QVERIFY2(!m_server->Output().contains(QStringLiteral("Message box: ")), qPrintable(m_server->Output()));
        m_server.reset();
    }

    void loginWithMarkerInPieces()
    {
        WireClient client;
        QVERIFY(client.Connect(m_port));
        const QString login = LoginText(kMobile1, QStringLiteral("IMEI-1"));
        client.Write(platform::ansi::Encode(login.left(login.size() - 5) + QStringLiteral("<e")));
        QTest::qWait(150);
        client.Write("o");
        QTest::qWait(150);
        client.Write("f>");
        const QString reply = client.ReadReply();
        QCOMPARE(reply, QStringLiteral("{\"Action\":\"Login\",\"MobileNo\":\"9000000001\",\"Status\":1,\"Message\":\"Success\","
                                       "\"Android\":\"3.4.5\",\"iOS\":\"6.7.8\"}<EOF>"));
        QVERIFY(client.WaitClosed());
        const QString log = m_installation->NewestLogText();
        QVERIFY(log.contains(QStringLiteral("|Data Received From Mobile No.  Client Index : 1 Data Length : 1\r\n")));
        QVERIFY(log.contains(QStringLiteral("|Data Received From IP : 127.0.0.1 Mobile No.  Client Index : 1 Data Length : ")
                             + QString::number(login.size()) + QStringLiteral(" Received Time : ")));
        QVERIFY(log.contains(QStringLiteral("|Login Request Received for Mobile No.9000000001 Client Index : 1 IMEI No.IMEI-1\r\n")));
        QVERIFY(log.contains(QStringLiteral("|Login Accepted for Mobile No.9000000001 Client Index : 1\r\n")));
        QVERIFY(log.contains(QStringLiteral("|Data Sending Complete for Mobile No.9000000001 Client Index : 1 Action : Login Sending Time : ")));
        QVERIFY(log.contains(QStringLiteral("|Closing Connection for Mobile No.9000000001 Client Index : 1\r\n")));
    }

    void refusedLogins_data()
    {
        QTest::addColumn<QString>("mobileNo");
        QTest::addColumn<QString>("imeiNo");
        QTest::newRow("not registered") << "9999999999" << "IMEI-9";
        QTest::newRow("locked, right IMEI") << kMobile3 << "IMEI-3";
        QTest::newRow("another IMEI") << kMobile1 << "IMEI-X";
        QTest::newRow("IMEI in other case") << kMobile1 << "imei-1";
    }
    void refusedLogins()
    {
        QFETCH(QString, mobileNo);
        QFETCH(QString, imeiNo);
        bool closed = false;
        const QString reply = Send(LoginText(mobileNo, imeiNo), &closed);
        QCOMPARE(reply, QStringLiteral("{\"Action\":\"Login\",\"MobileNo\":\"%1\",\"Status\":0,\"Message\":\"Mobile Lock or "
                                       "Not Allowed or IMEI No. not registered.\",\"Android\":\"3.4.5\",\"iOS\":\"6.7.8\"}<EOF>")
                            .arg(mobileNo));
        QVERIFY(closed);
    }

    void loginTimeRule()
    {
        const QString request = RequestText(QStringLiteral("CompanyList"), kMobile1, QStringLiteral("IMEI-1"), QString());
        // Logged in at 10:59: 21:59 is 11 hour boundaries later, 22:00 is 12.
        m_server->SetClock(At(QStringLiteral("2024-06-15T21:59:59")));
        QString reply = Send(request);
        QCOMPARE(Member(reply, QStringLiteral("Status")), QStringLiteral("1"));
        QVERIFY(reply.contains(QStringLiteral("\"FldNm\":\"TESTCO\"")));
        m_server->SetClock(At(QStringLiteral("2024-06-15T22:00:00")));
        bool closed = false;
        reply = Send(request, &closed);
        QCOMPARE(reply, QStringLiteral("{\"Action\":\"CompanyList\",\"MobileNo\":\"9000000001\",\"Status\":0,"
                                       "\"Message\":\"Login Time expired or you are not logged in.\"}<EOF>"));
        QVERIFY(closed);
        // A new login opens another 12 hours.
        QCOMPARE(Member(Send(LoginText(kMobile1, QStringLiteral("IMEI-1"))), QStringLiteral("Status")), QStringLiteral("1"));
        QCOMPARE(Member(Send(request), QStringLiteral("Status")), QStringLiteral("1"));
    }

    void dataRequests_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("message");
        const QString imei = QStringLiteral("IMEI-1");
        QTest::newRow("folder not allowed") << RequestText(QStringLiteral("DashBoard"), kMobile1, imei, kOtherCompany)
                                            << "DashBoard" << "0" << "Passed Folder Not Allowed.";
        QTest::newRow("unknown action") << RequestText(QStringLiteral("Bogus"), kMobile1, imei) << "Bogus" << "0"
                                        << "Improper Action.";
        QTest::newRow("company list in any case") << RequestText(QStringLiteral("companylist"), kMobile1, imei, kOtherCompany)
                                                  << "companylist" << "1" << "Success";
        QTest::newRow("without IMEI")
            << QStringLiteral("{\"Action\":\"CompanyList\",\"MobileNo\":\"9000000001\",\"UserID\":\"PEMO\",\"Password\":\"pemo\"}<EOF>")
            << "CompanyList" << "0" << "Login Time expired or you are not logged in.";
        QTest::newRow("another IMEI") << RequestText(QStringLiteral("CompanyList"), kMobile1, QStringLiteral("IMEI-2"))
                                      << "CompanyList" << "0" << "Login Time expired or you are not logged in.";
        QTest::newRow("never logged in") << RequestText(QStringLiteral("CompanyList"), kMobile3, QStringLiteral("IMEI-3"))
                                         << "CompanyList" << "0" << "Login Time expired or you are not logged in.";
        QTest::newRow("not JSON") << QStringLiteral("hello<EOF>") << "" << "0"
                                  << "Login Time expired or you are not logged in.";
    }
    void dataRequests()
    {
        QFETCH(QString, request);
        QFETCH(QString, action);
        QFETCH(QString, status);
        QFETCH(QString, message);
        bool closed = false;
        const QString reply = Send(request, &closed);
        QCOMPARE(Member(reply, QStringLiteral("Action")), action);
        QCOMPARE(Member(reply, QStringLiteral("Status")), status);
        QCOMPARE(Member(reply, QStringLiteral("Message")), message);
        QVERIFY(closed);
    }

    void oneRequestPerConnection()
    {
        WireClient client;
        QVERIFY(client.Connect(m_port));
        const QString request = RequestText(QStringLiteral("CompanyList"), kMobile1, QStringLiteral("IMEI-1"));
        client.Write(platform::ansi::Encode(request + request));
        QCOMPARE(Member(client.ReadReply(), QStringLiteral("Status")), QStringLiteral("1"));
        QVERIFY(client.WaitClosed());
        QVERIFY(client.ReadReply(200).isEmpty());
    }

    // The request is on disk, in the request log's journal, while the engine is still at work
    // (here held by a lock on the company database), and the reply is there before the reply
    // reaches the client: a request that was answered is never lost. The table gets the row,
    // request and reply, a moment later.
    void requestLoggedBeforeEngineAndReply()
    {
        sqlite3* lock = nullptr;
        QCOMPARE(sqlite3_open_v2(qPrintable(m_installation->DataFolder() + QStringLiteral("/") + kCompany + QStringLiteral(".sqlite")),
                                 &lock, SQLITE_OPEN_READWRITE, nullptr),
                 SQLITE_OK);
        QCOMPARE(sqlite3_exec(lock, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        QTRY_VERIFY_WITH_TIMEOUT(m_installation->JournalRecords().empty(), 3000);
        const int before = static_cast<int>(m_installation->RequestLogRows().size());
        WireClient client;
        QVERIFY(client.Connect(m_port));
        const QString request = RequestText(QStringLiteral("CompanyList"), kMobile1, QStringLiteral("IMEI-1"));
        client.Write(platform::ansi::Encode(request));
        std::vector<RequestJournal::Record> records;
        QTRY_VERIFY_WITH_TIMEOUT(!(records = m_installation->JournalRecords()).empty(), 3000);
        QCOMPARE(records.size(), size_t(1));
        QCOMPARE(records[0].kind, RequestJournal::Record::Request);
        QCOMPARE(records[0].action, QStringLiteral("CompanyList"));
        QCOMPARE(records[0].ipAddress, QStringLiteral("127.0.0.1"));
        QVERIFY(client.ReadReply(300).isEmpty());  // the engine waits
        QCOMPARE(sqlite3_exec(lock, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close_v2(lock);
        const QString reply = client.ReadReply();
        QCOMPARE(Member(reply, QStringLiteral("Status")), QStringLiteral("1"));
        // Read as soon as the reply's bytes are here: the reply is already in the journal,
        // unless the journal has gone into the table in the meantime.
        records = m_installation->JournalRecords();
        QList<QStringList> rows = m_installation->RequestLogRows();
        if (rows.size() == before) {
            QCOMPARE(records.size(), size_t(2));
            QCOMPARE(records[1].kind, RequestJournal::Record::Reply);
            QCOMPARE(records[1].ticket, records[0].ticket);
            QCOMPARE(records[1].text + QStringLiteral("<EOF>"), reply);
        }
        QTRY_COMPARE_WITH_TIMEOUT((rows = m_installation->RequestLogRows()).size(), before + 1, 3000);
        QCOMPARE(rows.last().at(0), QStringLiteral("CompanyList"));
        QCOMPARE(rows.last().at(7) + QStringLiteral("<EOF>"), reply);
        QVERIFY(!rows.last().at(6).startsWith(QStringLiteral("1899-12-30")));
        QTRY_VERIFY_WITH_TIMEOUT(m_installation->JournalRecords().empty(), 3000);
    }

    void firstIMEINoSavedAtOnce()
    {
        QCOMPARE(m_installation->StoredIMEINo(kMobile2), QString());
        QCOMPARE(Member(Send(LoginText(kMobile2, QStringLiteral("IMEI-2"))), QStringLiteral("Status")), QStringLiteral("1"));
        // In the file before anything else happens, the other entries untouched.
        QCOMPARE(m_installation->StoredIMEINo(kMobile2), QStringLiteral("IMEI-2"));
        QCOMPARE(m_installation->StoredIMEINo(kMobile1), QStringLiteral("IMEI-1"));
        QCOMPARE(Member(Send(LoginText(kMobile2, QStringLiteral("IMEI-7"))), QStringLiteral("Message")),
                 QStringLiteral("Mobile Lock or Not Allowed or IMEI No. not registered."));
    }

    void requestLogRows()
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_installation->JournalRecords().empty(), 3000);
        const QList<QStringList> rows = m_installation->RequestLogRows();
        QVERIFY(rows.size() >= 10);
        // The first login: an empty reply stored, the lower-case marker not stored.
        const QStringList login = rows.first();
        QCOMPARE(login.mid(0, 6), (QStringList{QStringLiteral("Login"), kMobile1, QString(), QString(),
                                               QStringLiteral("127.0.0.1"),
                                               QStringLiteral("{\"Action\":\"Login\",\"MobileNo\":\"9000000001\",\"IMEINo\":\"IMEI-1\"}")}));
        QVERIFY(!login.at(6).startsWith(QStringLiteral("1899-12-30")));
        QCOMPARE(login.at(7), QString());
        bool sawCompanyList = false, sawRefused = false;
        for (const QStringList& row : rows) {
            QCOMPARE(row.at(4), QStringLiteral("127.0.0.1"));
            QVERIFY(!row.at(5).endsWith(QStringLiteral("<EOF>"), Qt::CaseInsensitive));
            if (row.at(0) == QStringLiteral("CompanyList") && row.at(7).contains(QStringLiteral("\"Status\":1"))) {
                sawCompanyList = true;
                QCOMPARE(row.at(2), kUserID);
                QVERIFY(row.at(7).startsWith(QStringLiteral("{\"Action\":\"CompanyList\"")));
                QVERIFY(!row.at(7).endsWith(QStringLiteral("<EOF>")));
            }
            if (row.at(0) == QStringLiteral("DashBoard") && row.at(3) == kOtherCompany) {
                // Refused by the folder rule: no reply kept.
                sawRefused = true;
                QVERIFY(row.at(6).startsWith(QStringLiteral("1899-12-30")));
                QCOMPARE(row.at(7), QString());
            }
        }
        QVERIFY(sawCompanyList);
        QVERIFY(sawRefused);
    }

    // A request whose row the table's own rules refuse is said when it arrives, before its
    // reply is sent, as when the row was written straight away; it is never journalled, and so
    // said once.
    void refusedRowSaidBeforeReply_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("column");
        const QString folder60 = QString(61, QLatin1Char('F'));
        QTest::newRow("empty Action") << QStringLiteral("{\"Action\":\"\",\"MobileNo\":\"9000000001\",\"IMEINo\":\"IMEI-1\"}<EOF>")
                                      << QStringLiteral("Action");
        QTest::newRow("empty MobileNo") << LoginText(QString(), QStringLiteral("IMEI-1")) << QStringLiteral("MobileNo");
        QTest::newRow("Action longer than its column")
            << RequestText(QString(31, QLatin1Char('A')), kMobile1, QStringLiteral("IMEI-1")) << QStringLiteral("Action");
        QTest::newRow("UserID longer than its column")
            << QStringLiteral("{\"Action\":\"CompanyList\",\"MobileNo\":\"9000000001\",\"IMEINo\":\"IMEI-1\",\"UserID\":\"%1\"}<EOF>")
                   .arg(QString(21, QLatin1Char('U')))
            << QStringLiteral("UserID");
        QTest::newRow("FolderName longer than its column")
            << RequestText(QStringLiteral("DashBoard"), kMobile1, QStringLiteral("IMEI-1"), folder60) << QStringLiteral("DatabaseName");
    }
    void refusedRowSaidBeforeReply()
    {
        QFETCH(QString, request);
        QFETCH(QString, column);
        QTRY_VERIFY_WITH_TIMEOUT(m_installation->JournalRecords().empty(), 3000);
        const int before = static_cast<int>(m_installation->RequestLogRows().size());
        const qsizetype logFrom = m_installation->NewestLogText().size();
        QVERIFY(!Send(request).isEmpty());
        QVERIFY(m_installation->JournalRecords().empty());
        const QString refusal = QStringLiteral("|Error while Inserting Request in LogData. Error No.");
        const QStringList lines = m_installation->NewestLogText().mid(logFrom).split(QStringLiteral("\r\n"));
        const auto firstWith = [&](const QString& text) {
            for (qsizetype i = 0; i < lines.size(); ++i)
                if (lines.at(i).contains(text))
                    return i;
            return qsizetype(-1);
        };
        const qsizetype refusedAt = firstWith(refusal);
        const qsizetype sendingAt = firstWith(QStringLiteral("|Sending Data for Mobile No."));
        const QString shown = lines.join(QStringLiteral("\n"));
        QVERIFY2(refusedAt >= 0 && sendingAt > refusedAt, qPrintable(shown));
        QVERIFY2(lines.at(refusedAt).contains(QStringLiteral(" - The table takes no ") + column + QLatin1Char(' ')), qPrintable(shown));
        QTest::qWait(300);  // past the moment the journal goes into the table
        QCOMPARE(m_installation->RequestLogRows().size(), before);
        QCOMPARE(m_installation->NewestLogText().mid(logFrom).count(refusal), 1);
    }

    void mobileClientCommand()
    {
        QProcess mobile;
        mobile.setProcessChannelMode(QProcess::SeparateChannels);
        mobile.start(QStringLiteral(CORVANTIS_MOBILE_BINARY),
                     {QStringLiteral("--port"), QString::number(m_port), QStringLiteral("--mobile"), kMobile1,
                      QStringLiteral("--imei"), QStringLiteral("IMEI-1"),
                      QStringLiteral("{\"Action\":\"CompanyList\",\"UserID\":\"PEMO\",\"Password\":\"pemo\"}")});
        QVERIFY(mobile.waitForFinished(20000));
        const QStringList lines = QString::fromUtf8(mobile.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(mobile.exitCode(), 0);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(Member(lines.at(0), QStringLiteral("Action")), QStringLiteral("Login"));
        QVERIFY(lines.at(1).startsWith(QStringLiteral("{\"Action\":\"CompanyList\",\"MobileNo\":\"9000000001\",\"Status\":1,")));
        QVERIFY(lines.at(1).endsWith(QStringLiteral("<EOF>")));
        // A refused login stops there with status 1.
        mobile.start(QStringLiteral(CORVANTIS_MOBILE_BINARY),
                     {QStringLiteral("--port"), QString::number(m_port), QStringLiteral("--mobile"), kMobile3,
                      QStringLiteral("{\"Action\":\"CompanyList\"}")});
        QVERIFY(mobile.waitForFinished(20000));
        QCOMPARE(mobile.exitCode(), 1);
    }

    void crashLosesNoIMEINo()
    {
        m_server->Kill();
        QCOMPARE(m_installation->StoredIMEINo(kMobile2), QStringLiteral("IMEI-2"));
    }

    // Requests a killed program had only in its journal reach the table when it starts again,
    // before it takes new ones.
    void crashLosesNoRequest()
    {
        const int before = static_cast<int>(m_installation->RequestLogRows().size());
        RequestJournal::Record request;
        request.ticket = 41;
        request.time = At(QStringLiteral("2024-06-15T10:59:30"));
        request.action = QStringLiteral("DashBoard");
        request.mobileNo = kMobile1;
        request.ipAddress = QStringLiteral("127.0.0.1");
        request.text = QStringLiteral("{\"Action\":\"DashBoard\"}");
        RequestJournal::Record reply;
        reply.kind = RequestJournal::Record::Reply;
        reply.ticket = 41;
        reply.time = request.time;
        reply.text = QStringLiteral("{\"Status\":1}");
        QFile journal(m_installation->JournalPath());
        QVERIFY(journal.open(QIODevice::Append));
        journal.write(RequestJournal::Encode(request) + RequestJournal::Encode(reply));
        journal.close();
        // With what the killed program had not yet moved itself.
        const std::vector<RequestJournal::Record> waiting = m_installation->JournalRecords();
        const int requests = static_cast<int>(std::count_if(waiting.cbegin(), waiting.cend(), [](const RequestJournal::Record& r) {
            return r.kind == RequestJournal::Record::Request;
        }));

        m_server = std::make_unique<ServerProcess>(*m_installation);
        m_server->SetClock(At(QStringLiteral("2024-06-15T11:30:00")));
        QVERIFY(m_server->Start(m_versions->BaseURL()));
        QList<QStringList> rows;
        QTRY_COMPARE_WITH_TIMEOUT((rows = m_installation->RequestLogRows()).size(), before + requests, 10000);
        QCOMPARE(rows.last().at(0), QStringLiteral("DashBoard"));
        QCOMPARE(rows.last().at(7), QStringLiteral("{\"Status\":1}"));
        QVERIFY(m_installation->JournalRecords().empty());
        QVERIFY2(m_server->WaitForLog(QStringLiteral("|Start Accepting Connection for mobile clients.")), qPrintable(m_server->Output()));
    }
};

// Programs started one per test: the refusals of the start, and a blocked address.
class ServerStartupTest : public QObject {
    Q_OBJECT

    std::unique_ptr<VersionServer> m_versions;

private slots:
    void initTestCase() { m_versions = std::make_unique<VersionServer>(); }

    void wrongFolderRefused()
    {
        Installation installation;
        const QString folder = installation.Root() + QStringLiteral("/CALDERWICK/Corvantis-old");
        QDir().mkpath(folder);
        ServerProcess server(installation, folder);
        QVERIFY(server.Start(m_versions->BaseURL()));
        QVERIFY(server.Process().waitForFinished(15000));
        QCOMPARE(server.Process().exitCode(), 1);
        QVERIFY2(server.Output().contains(QStringLiteral("Message box: Corvantis | Application must be in CALDERWICK\\Corvantis Folder.")),
                 qPrintable(server.Output()));
    }

    void secondCopyRefused()
    {
        Installation installation;
        const quint16 port = FreePort();
        installation.WriteSettings(Installation::ListeningSettings(port));
        ServerProcess first(installation);
        QVERIFY(first.Start(m_versions->BaseURL()));
        QVERIFY(first.WaitForLog(QStringLiteral("|Start Accepting Connection for mobile clients.")));
        QProcessEnvironment sameUser;
        sameUser.insert(QStringLiteral("TMPDIR"), first.TempFolder());
        ServerProcess second(installation);
        QVERIFY(second.Start(m_versions->BaseURL(), {}, sameUser));
        QVERIFY(second.Process().waitForFinished(15000));
        QCOMPARE(second.Process().exitCode(), 1);
        QVERIFY2(second.Output().contains(QStringLiteral("| Tessarin Mobile Client is already running.")),
                 qPrintable(second.Output()));
        // The first copy still serves.
        QCOMPARE(Member(Exchange(port, LoginText(kMobile1, QStringLiteral("IMEI-1"))), QStringLiteral("Status")),
                 QStringLiteral("1"));
    }

    void blockedAddress()
    {
        Installation installation;
        const quint16 port = FreePort();
        fixtures::SettingsFile settings = Installation::ListeningSettings(port);
        settings.BlockIPs = QStringLiteral("10.1.,127.0.0.");
        installation.WriteSettings(settings);
        ServerProcess server(installation);
        QVERIFY(server.Start(m_versions->BaseURL()));
        QVERIFY(server.WaitForLog(QStringLiteral("|Start Accepting Connection for mobile clients.")));
        WireClient client;
        client.Connect(port);
        client.Write(platform::ansi::Encode(LoginText(kMobile1, QStringLiteral("IMEI-1"))));
        QVERIFY(client.WaitClosed());
        QVERIFY(client.ReadReply(200).isEmpty());
        QVERIFY(server.WaitForLog(QStringLiteral("|Connection Request Blocked for Request ID : 1 Remote Host : 127.0.0.1 Remote IP : 127.0.0.1\r\n")));
        QVERIFY(!installation.NewestLogText().contains(QStringLiteral("Connection Request Accepted")));
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    IsolateUserSettings(home.path() + QStringLiteral("/config"));
    int failed = 0;
    {
        ServerListeningTest listening;
        failed += QTest::qExec(&listening, argc, argv);
    }
    {
        ServerStartupTest startup;
        failed += QTest::qExec(&startup, argc, argv);
    }
    return failed;
}

#include "test_server_e2e.moc"
