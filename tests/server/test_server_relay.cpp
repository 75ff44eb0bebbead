// The relay mode: the window connects out to a stand-in relay on loopback, logs every unlocked
// mobile in there, and answers the requests the relay forwards over the kept connections.
#include "WindowTestSupport.h"

#include "clsSetup.h"
#include "text/Ansi.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace servertest;

namespace {
const QString kMobile1 = QStringLiteral("9000000001");
const QString kMobile2 = QStringLiteral("9000000002");  // locked
const QString kMobile3 = QStringLiteral("9000000003");
const QString kDongle = QStringLiteral("D-4711");

QString AnswerText(const QString& mobileNo, int status, const QString& message)
{
    return QStringLiteral("{\"Action\":\"Login\",\"MobileNo\":\"%1\",\"Status\":%2,\"Message\":\"%3\"}<EOF>")
        .arg(mobileNo)
        .arg(status)
        .arg(message);
}

QString RelayRequest(const QString& action, const QString& mobileNo, const QString& folderName = kCompany)
{
    return QStringLiteral("{\"Action\":\"%1\",\"MobileNo\":\"%2\",\"UserID\":\"%3\",\"Password\":\"%4\",\"FolderName\":\"%5\"}<EOF>")
        .arg(action, mobileNo, kUserID, kPassword, folderName);
}
}  // namespace

class ServerRelayTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    std::unique_ptr<VersionServer> m_versions;
    std::unique_ptr<Installation> m_installation;
    std::unique_ptr<Relay> m_relay;
    std::unique_ptr<BoxRecorder> m_boxes;
    std::unique_ptr<frmTessarinMobileClient> m_window;
    quint16 m_localPort = 0;
    WireClient* m_link1 = nullptr;
    WireClient* m_link3 = nullptr;

    QString Pane() const { return m_window->PaneText(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        IsolateUserSettings(m_home.path() + QStringLiteral("/config"));
        m_versions = std::make_unique<VersionServer>();
        PointVersionURL(m_versions->BaseURL());
        m_installation = std::make_unique<Installation>();
        m_relay = std::make_unique<Relay>();
        m_localPort = FreePort();

        fixtures::SettingsFile settings;
        settings.StaticIP = false;
        settings.LocalPort = QString::number(m_localPort);
        settings.RemoteIP = QStringLiteral("127.0.0.1");
        settings.RemotePort = QString::number(m_relay->Port());
        settings.DongleNo = kDongle;
        settings.CurrentYearOnly = false;
        settings.AutoStart = true;
        settings.Mobiles = {
            {kMobile1, QStringLiteral("IMEI-1"), {kCompany}, false, QString()},
            {kMobile2, QStringLiteral("IMEI-2"), {}, true, QString()},
            {kMobile3, QString(), {}, false, QString()},
        };
        m_installation->WriteSettings(settings);
        m_boxes = std::make_unique<BoxRecorder>();
        m_window = MakeWindow(m_installation->ProgramFolder(), m_installation->Root());
        QVERIFY(StartWindow(*m_window));
    }

    void cleanupTestCase()
    {
        m_window.reset();
        m_relay.reset();
        m_boxes.reset();
    }

    void oneConnectionPerUnlockedMobile()
    {
        QVERIFY(m_relay->WaitConnections(2));
        QTest::qWait(100);
        QCOMPARE(m_relay->ConnectionCount(), 2);
        // Row r uses slot r + 1; the locked second row leaves its slot free.
        QCOMPARE(m_window->Sockets()->Indexes(), (QList<qint16>{1, 3}));
        QVERIFY(m_boxes->texts.isEmpty());
        QVERIFY(m_window->isMinimized());
        QVERIFY(Pane().contains(QStringLiteral("Connected to Server for Mobile No.:9000000001 Client Index : 1")));
    }

    void loginMessageCarriesAccountNumber()
    {
        QString login1, login3;
        m_link1 = m_relay->ConnectionOf(kMobile1, &login1);
        m_link3 = m_relay->ConnectionOf(kMobile3, &login3);
        QVERIFY(m_link1 && m_link3);
        QCOMPARE(login1, QStringLiteral("{\"Action\":\"Login\",\"DongleNo\":\"D-4711\",\"MobileNo\":\"9000000001\",\"IMEINo\":\"IMEI-1\"}<EOF>"));
        QCOMPARE(login3, QStringLiteral("{\"Action\":\"Login\",\"DongleNo\":\"D-4711\",\"MobileNo\":\"9000000003\",\"IMEINo\":\"\"}<EOF>"));
        QVERIFY(m_relay->ConnectionOf(kMobile2) == nullptr);
    }

    void noRequestBeforeLoginAccepted()
    {
        m_link1->Write(platform::ansi::Encode(RelayRequest(QStringLiteral("CompanyList"), kMobile1)));
        const QString reply = m_link1->ReadReply();
        QCOMPARE(Member(reply, QStringLiteral("Status")), QStringLiteral("0"));
        QCOMPARE(Member(reply, QStringLiteral("Message")), QStringLiteral("Login Time expired or you are not logged in."));
        QVERIFY(m_link1->IsConnected());
    }

    void acceptedLoginBindsConnection()
    {
        m_link1->Write(platform::ansi::Encode(AnswerText(kMobile1, 1, QStringLiteral("Success"))));
        QVERIFY(QTest::qWaitFor([&] { return Pane().contains(QStringLiteral("Login to Server Successful for Mobile No.9000000001 Client Index : 1")); }, 5000));
        QCOMPARE(m_window->GetTCPIndex(kMobile1), qint16(1));
        // The answer itself is not answered.
        QVERIFY(m_link1->ReadReply(300).isEmpty());
    }

    void requestAnsweredOnKeptConnection()
    {
        m_link1->Write(platform::ansi::Encode(RelayRequest(QStringLiteral("CompanyList"), kMobile1)));
        const QString reply = m_link1->ReadReply();
        QCOMPARE(Member(reply, QStringLiteral("Action")), QStringLiteral("CompanyList"));
        QCOMPARE(Member(reply, QStringLiteral("Status")), QStringLiteral("1"));
        QVERIFY(reply.contains(QStringLiteral("\"FldNm\":\"TESTCO\"")));
        QTest::qWait(200);
        QVERIFY(m_link1->IsConnected());
        QVERIFY(Pane().contains(QStringLiteral("Data Sending Complete for Mobile No.9000000001 Client Index : 1 Action : CompanyList")));
    }

    void everyRequestOfOneWriteAnswered()
    {
        // Two whole requests and the start of a third in one write; the rest follows.
        const QString third = RelayRequest(QStringLiteral("CompanyList"), kMobile1);
        m_link1->Write(platform::ansi::Encode(RelayRequest(QStringLiteral("CompanyList"), kMobile1)
                                              + RelayRequest(QStringLiteral("Bogus"), kMobile1).replace(QStringLiteral("<EOF>"), QStringLiteral("<eof>"))
                                              + third.left(20)));
        const QString first = m_link1->ReadReply();
        const QString second = m_link1->ReadReply();
        QCOMPARE(Member(first, QStringLiteral("Action")), QStringLiteral("CompanyList"));
        QCOMPARE(Member(second, QStringLiteral("Action")), QStringLiteral("Bogus"));
        QCOMPARE(Member(second, QStringLiteral("Message")), QStringLiteral("Improper Action."));
        QVERIFY(m_link1->ReadReply(300).isEmpty());
        m_link1->Write(platform::ansi::Encode(third.mid(20)));
        const QString last = m_link1->ReadReply();
        QCOMPARE(Member(last, QStringLiteral("Action")), QStringLiteral("CompanyList"));
        QCOMPARE(Member(last, QStringLiteral("Status")), QStringLiteral("1"));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("message");
        QTest::newRow("another mobile on this connection")
            << RelayRequest(QStringLiteral("CompanyList"), kMobile3) << "Login Time expired or you are not logged in.";
        QTest::newRow("folder not allowed") << RelayRequest(QStringLiteral("DashBoard"), kMobile1, kOtherCompany)
                                            << "Passed Folder Not Allowed.";
        QTest::newRow("not JSON") << QStringLiteral("hello<EOF>") << "Login Time expired or you are not logged in.";
    }
    void refusals()
    {
        QFETCH(QString, request);
        QFETCH(QString, message);
        m_link1->Write(platform::ansi::Encode(request));
        const QString reply = m_link1->ReadReply();
        QCOMPARE(Member(reply, QStringLiteral("Status")), QStringLiteral("0"));
        QCOMPARE(Member(reply, QStringLiteral("Message")), message);
        QTest::qWait(100);
        QVERIFY(m_link1->IsConnected());
    }

    // The "Status" of the relay's login answer is read as a number as the runtime converts a
    // text: one that is no number, or no finite one, is a type mismatch, and a number that does
    // not fit is an overflow. Either is answered as a format error and binds nothing.
    void loginAnswerStatusRefused_data()
    {
        QTest::addColumn<QString>("status");  // as it stands in the JSON text
        QTest::addColumn<QString>("error");
        const QString mismatch = QStringLiteral("Err No.13 - Type mismatch");
        const QString overflow = QStringLiteral("Err No.6 - Overflow");
        QTest::newRow("word") << "\"one\"" << mismatch;
        QTest::newRow("nan") << "\"nan\"" << mismatch;
        QTest::newRow("NaN") << "\"NaN\"" << mismatch;
        QTest::newRow("inf") << "\"inf\"" << mismatch;
        QTest::newRow("-inf") << "\"-inf\"" << mismatch;
        QTest::newRow("text past the largest") << "\"32768\"" << overflow;
        QTest::newRow("number past the largest") << "99999" << overflow;
    }
    void loginAnswerStatusRefused()
    {
        QFETCH(QString, status);
        QFETCH(QString, error);
        m_link3->Write(platform::ansi::Encode(
            QStringLiteral("{\"Action\":\"Login\",\"MobileNo\":\"%1\",\"Status\":%2,\"Message\":\"Success\"}<EOF>")
                .arg(kMobile3, status)));
        const QString reply = m_link3->ReadReply();
        QCOMPARE(Member(reply, QStringLiteral("Action")), QStringLiteral("Login"));
        QCOMPARE(Member(reply, QStringLiteral("MobileNo")), kMobile3);
        QCOMPARE(Member(reply, QStringLiteral("Status")), QStringLiteral("0"));
        QCOMPARE(Member(reply, QStringLiteral("Message")), QStringLiteral("Not a proper JSON Format.\r\n") + error);
        QCOMPARE(m_window->GetTCPIndex(kMobile3), qint16(0));
        QVERIFY(m_link3->IsConnected());
    }

    void rejectedLoginAnswersNothing()
    {
        m_link3->Write(platform::ansi::Encode(AnswerText(kMobile3, 0, QStringLiteral("Unknown account"))));
        QVERIFY(QTest::qWaitFor([&] { return Pane().contains(QStringLiteral("Login to Server Rejected for Mobile No.9000000003 Client Index : 3 Message : Unknown account")); }, 5000));
        QCOMPARE(m_window->GetTCPIndex(kMobile3), qint16(0));
        m_link3->Write(platform::ansi::Encode(RelayRequest(QStringLiteral("CompanyList"), kMobile3)));
        const QString reply = m_link3->ReadReply();
        QCOMPARE(Member(reply, QStringLiteral("Status")), QStringLiteral("0"));
        QCOMPARE(Member(reply, QStringLiteral("Message")), QStringLiteral("Login Time expired or you are not logged in."));
        QVERIFY(m_link3->IsConnected());
    }

    void lockedSinceLoginRefused()
    {
        clsSetup* setup = m_window->GetSetup();
        setup->xMobiles.SetValue(0, 3, true);
        m_link1->Write(platform::ansi::Encode(RelayRequest(QStringLiteral("CompanyList"), kMobile1)));
        QCOMPARE(Member(m_link1->ReadReply(), QStringLiteral("Message")),
                 QStringLiteral("Login Time expired or you are not logged in."));
        setup->xMobiles.SetValue(0, 3, false);
        m_link1->Write(platform::ansi::Encode(RelayRequest(QStringLiteral("CompanyList"), kMobile1)));
        QCOMPARE(Member(m_link1->ReadReply(), QStringLiteral("Status")), QStringLiteral("1"));
    }

    void neverAcceptsIncoming()
    {
        QVERIFY(!m_window->Sockets()->IsListening());
        const int before = m_window->Sockets()->Count();
        // (Another program may have the port by now; whatever answers, it is not this window.)
        WireClient incoming;
        incoming.Connect(m_localPort, 1000);
        QTest::qWait(100);
        QCOMPARE(m_window->Sockets()->Count(), before);
        QVERIFY(!Pane().contains(QStringLiteral("Connection Request")));
    }

    void secondLoginRefused()
    {
        m_boxes->texts.clear();
        m_window->cmdCommand_Click(1);
        QCOMPARE(m_boxes->texts, QStringList{QStringLiteral("Already Connected to Server.\r\nPlease click logout and click Login Again.")});
        QCOMPARE(m_relay->ConnectionCount(), 2);
    }

    void logoutClosesAll()
    {
        m_boxes->texts.clear();
        m_boxes->answer = MsgBox::vbYes;
        m_window->Command(2)->click();
        // Both connections have completed requests: the close-all question comes first.
        QCOMPARE(m_boxes->texts, QStringList{QStringLiteral("Processing of some client is going on.\r\nReally you want to close all connection.")});
        QVERIFY(m_link1->WaitClosed());
        QVERIFY(m_link3->WaitClosed());
        QCOMPARE(m_window->Sockets()->Count(), 1);
        QCOMPARE(m_window->GetTCPIndex(kMobile1), qint16(0));
        QVERIFY(Pane().contains(QStringLiteral("Closing Connection for Mobile No.9000000001 Client Index : 1")));
        m_boxes->answer = 0;
    }

    void loginAgainAfterLogout()
    {
        m_window->Command(1)->click();
        QVERIFY(m_relay->WaitConnections(4));
        QCOMPARE(m_window->Sockets()->Indexes(), (QList<qint16>{1, 3}));
    }

    // A logout while the login run still waits on a connection ends the run: no later mobile
    // is connected after it.
    void logoutWhileConnectingEndsLogin()
    {
        m_boxes->texts.clear();
        m_window->cmdCommand_Click(2);
        QTRY_COMPARE(m_window->Sockets()->Count(), 1);
        QTest::qWait(100);
        const int before = m_relay->ConnectionCount();
        bool loggedOut = false;
        const auto hook = connect(m_window->Sockets(), &TCPClient::Connected, this, [&](qint16) {
            if (!loggedOut) {
                loggedOut = true;
                m_window->cmdCommand_Click(2);
            }
        });
        m_window->cmdCommand_Click(1);
        disconnect(hook);
        QVERIFY(loggedOut);
        QCOMPARE(m_window->Sockets()->Count(), 1);
        QTest::qWait(200);
        QCOMPARE(m_relay->ConnectionCount(), before + 1);
        QVERIFY(m_boxes->texts.isEmpty());
    }
};

QTEST_MAIN(ServerRelayTest)
#include "test_server_relay.moc"
