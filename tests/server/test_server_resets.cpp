// The real program against clients that leave abruptly: a connection reset (SO_LINGER 0) at
// every stage of a request, and a half-close. The caller's address is the one it connected
// from whatever the peer does afterwards: the address block holds, and every handled request
// has its request-log row with that address.
#include "ServerTestSupport.h"

#include "text/Ansi.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace servertest;

namespace {
const QString kMobile1 = QStringLiteral("9000000001");
const QString kMobile2 = QStringLiteral("9000000002");  // no IMEI yet
const QString kLoopback = QStringLiteral("127.0.0.1");
constexpr int kResetClients = 30;

// A plain client socket connected to the program from 127.0.0.1, or from ::1 when `ipv6`; -1
// when it cannot connect.
int ConnectRaw(quint16 port, bool ipv6 = false)
{
    const int fd = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_storage address{};
    socklen_t length = 0;
    if (ipv6) {
        auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(port);
        v6->sin6_addr = in6addr_loopback;
        length = sizeof *v6;
    } else {
        auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
        v4->sin_family = AF_INET;
        v4->sin_port = htons(port);
        v4->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        length = sizeof *v4;
    }
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool SendAll(int fd, const QByteArray& bytes)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

// Closes with a reset instead of the orderly close: whatever the peer has not read is dropped.
void Reset(int fd)
{
    const linger abortive{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    ::close(fd);
}

// Reads until `enough` says so, the peer closes, or the time is up; the event loop of this
// process (the version server) keeps running meanwhile.
QByteArray ReadRaw(int fd, const std::function<bool(const QByteArray&)>& enough, bool* closed, int timeoutMs = 10000)
{
    QByteArray received;
    *closed = false;
    QElapsedTimer timer;
    timer.start();
    while (!enough(received) && timer.elapsed() < timeoutMs) {
        pollfd watch{fd, POLLIN, 0};
        if (::poll(&watch, 1, 20) > 0) {
            char buffer[4096];
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                *closed = true;
                break;
            }
            received.append(buffer, n);
        }
        QCoreApplication::processEvents();
    }
    return received;
}

QStringList LinesWith(const QString& log, const QString& text)
{
    QStringList found;
    for (const QString& line : log.split(QStringLiteral("\r\n")))
        if (line.contains(text))
            found << line;
    return found;
}

// How a client leaves its connection.
enum class Leaving { ResetBeforeSending, ResetInMidRequest, ResetAfterRequest, ResetWhileReplied, HalfCloseAfterRequest };
}  // namespace

class ServerResetTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    std::unique_ptr<VersionServer> m_versions;
    // Without a block list; the tests after the blocked one share it.
    std::unique_ptr<ListeningProgram> m_open;

    // The text the program logged after `from` characters of its log.
    QString LogSince(qsizetype from) const { return m_open->installation.NewestLogText().mid(from); }

    // Waits until every connection of the log text since `from` has been taken or refused and
    // every one taken has been closed; `connections` is how many came.
    bool WaitSettled(const Installation& installation, qsizetype from, int connections, int timeoutMs = 15000)
    {
        return QTest::qWaitFor([&] {
            const QString log = installation.NewestLogText().mid(from);
            return log.count(QStringLiteral("|Connection Request ")) >= connections
                   && log.count(QStringLiteral("|Closing Connection for Mobile No."))
                          >= log.count(QStringLiteral("|Connection Request Accepted"));
        }, timeoutMs);
    }

    // The callers' addresses of the requests the log since `from` shows handled, in order. Each
    // has its request-log row with that address, beyond the first `rowsBefore` rows, and a data
    // request answered has its answer there.
    QStringList CheckHandledRequestsHaveRows(qsizetype from, int rowsBefore)
    {
        const QString log = LogSince(from);
        const QString marker = QStringLiteral("|Data Received From IP : ");
        QStringList handled;
        for (const QString& line : LinesWith(log, marker))
            handled << line.section(marker, 1).section(QStringLiteral(" Mobile No. "), 0, 0);
        QList<QStringList> rows;
        // The rows reach the table a moment after the requests.
        (void)QTest::qWaitFor([&] { return (rows = m_open->installation.RequestLogRows()).size() >= rowsBefore + handled.size(); },
                              5000);
        QTest::qWait(300);
        rows = m_open->installation.RequestLogRows();
        const QString shown = log.right(6000);
        [&] {
            QVERIFY2(!log.contains(QStringLiteral("|Error while Inserting Request in LogData.")), qPrintable(shown));
            QStringList logged;
            for (qsizetype i = rowsBefore; i < rows.size(); ++i) {
                logged << rows.at(i).at(4);
                if (rows.at(i).at(0) == QStringLiteral("CompanyList"))
                    QVERIFY2(rows.at(i).at(7).startsWith(QStringLiteral("{\"Action\":\"CompanyList\",")), qPrintable(rows.at(i).join(u'|')));
            }
            QCOMPARE(logged, handled);
        }();
        return handled;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        IsolateUserSettings(m_home.path() + QStringLiteral("/config"));
        m_versions = std::make_unique<VersionServer>();
        m_open = std::make_unique<ListeningProgram>();
        QVERIFY(m_open->Start(m_versions->BaseURL()));
    }

    void cleanupTestCase()
    {
        if (m_open)
            QVERIFY2(!m_open->server.Output().contains(QStringLiteral("Message box: ")), qPrintable(m_open->server.Output()));
        m_open.reset();
    }

    // Clients of a blocked address that send a whole login and reset at once are all refused:
    // none is taken in with an empty address and none of their logins registers an IMEI number.
    void resetClientsOfBlockedAddressRefused()
    {
        ListeningProgram program;
        fixtures::SettingsFile settings = Installation::ListeningSettings(program.port);
        settings.BlockIPs = kLoopback;
        program.installation.WriteSettings(settings);
        QVERIFY(program.Start(m_versions->BaseURL()));
        const qsizetype from = program.installation.NewestLogText().size();
        for (int n = 1; n <= kResetClients; ++n) {
            const int fd = ConnectRaw(program.port);
            QVERIFY(fd >= 0);
            QVERIFY(SendAll(fd, LoginText(kMobile2, QStringLiteral("RESET-HIJACK-%1").arg(n)).toLatin1()));
            Reset(fd);
        }
        QVERIFY(WaitSettled(program.installation, from, kResetClients));
        QTest::qWait(300);
        const QString log = program.installation.NewestLogText().mid(from);
        const QString shown = log.left(6000);
        QVERIFY2(!log.contains(QStringLiteral(" Remote IP : \r\n")), qPrintable(shown));
        QVERIFY2(!log.contains(QStringLiteral("|Connection Request Accepted")), qPrintable(shown));
        QVERIFY2(!log.contains(QStringLiteral("|Login Request Received")), qPrintable(shown));
        const QStringList blocked = LinesWith(log, QStringLiteral("|Connection Request Blocked for Request ID : "));
        QCOMPARE(int(blocked.size()), kResetClients);
        for (const QString& line : blocked)
            QVERIFY2(line.endsWith(QStringLiteral(" Remote Host : 127.0.0.1 Remote IP : 127.0.0.1")), qPrintable(line));
        QCOMPARE(program.installation.StoredIMEINo(kMobile2), QString());
        QVERIFY(program.installation.RequestLogRows().isEmpty());
    }

    // Without a block list the same clients are taken in with their address, and every login
    // handled leaves its row with that address.
    void resetClientsHandledWithTheirRows()
    {
        // The rows of the tests before are all in the table.
        QTRY_VERIFY_WITH_TIMEOUT(m_open->installation.JournalRecords().empty(), 5000);
        const qsizetype from = m_open->installation.NewestLogText().size();
        const int rowsBefore = int(m_open->installation.RequestLogRows().size());
        for (int n = 1; n <= kResetClients; ++n) {
            const int fd = ConnectRaw(m_open->port);
            QVERIFY(fd >= 0);
            QVERIFY(SendAll(fd, LoginText(kMobile1, QStringLiteral("IMEI-1")).toLatin1()));
            Reset(fd);
        }
        QVERIFY(WaitSettled(m_open->installation, from, kResetClients));
        const QString log = LogSince(from);
        const QString shown = log.left(6000);
        QVERIFY2(!log.contains(QStringLiteral(" Remote IP : \r\n")), qPrintable(shown));
        QCOMPARE(int(log.count(QStringLiteral(" Remote Host : 127.0.0.1 Remote IP : 127.0.0.1\r\n"))), kResetClients);
        const QStringList handled = CheckHandledRequestsHaveRows(from, rowsBefore);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(int(log.count(QStringLiteral("|Login Request Received for Mobile No.9000000001 "))), int(handled.size()));
        // Their text arrived whole before the reset.
        QCOMPARE(handled, QStringList(kResetClients, kLoopback));
    }

    // A client leaving at each stage of its request: no request is handled without its row, none
    // answered is lost from the table, the slot is freed and the next client is answered.
    void clientLeaves_data()
    {
        QTest::addColumn<Leaving>("leaving");
        QTest::addColumn<bool>("ipv6");  // the leaving client connects from ::1
        QTest::addColumn<int>("handled");  // requests of the leaving connection handled
        QTest::newRow("reset before sending anything") << Leaving::ResetBeforeSending << false << 0;
        QTest::newRow("reset in the middle of a request") << Leaving::ResetInMidRequest << false << 0;
        QTest::newRow("reset right after the request") << Leaving::ResetAfterRequest << false << 1;
        QTest::newRow("reset right after the request, over IPv6") << Leaving::ResetAfterRequest << true << 1;
        QTest::newRow("reset while the reply comes") << Leaving::ResetWhileReplied << false << 1;
        QTest::newRow("half-close after the request") << Leaving::HalfCloseAfterRequest << false << 1;
    }
    void clientLeaves()
    {
        QFETCH(Leaving, leaving);
        QFETCH(bool, ipv6);
        QFETCH(int, handled);
        const QString caller = ipv6 ? QStringLiteral("::1") : kLoopback;
        const quint16 port = m_open->port;
        const Installation& installation = m_open->installation;
        QTRY_VERIFY_WITH_TIMEOUT(installation.JournalRecords().empty(), 5000);
        const qsizetype from = installation.NewestLogText().size();
        const int rowsBefore = int(installation.RequestLogRows().size());
        const QByteArray login = LoginText(kMobile1, QStringLiteral("IMEI-1")).toLatin1();
        // The callers of the connections taken in and of the requests handled, in order.
        QStringList accepting;
        QStringList handling;

        if (leaving == Leaving::ResetWhileReplied) {
            // Its login first, on a connection of its own.
            QCOMPARE(Member(Exchange(port, QString::fromLatin1(login)), QStringLiteral("Status")), QStringLiteral("1"));
            accepting << kLoopback;
            handling << kLoopback;
        }
        accepting << caller;
        handling << QStringList(handled, caller);
        const int fd = ConnectRaw(port, ipv6);
        QVERIFY(fd >= 0);
        bool closed = false;
        switch (leaving) {
        case Leaving::ResetBeforeSending:
            Reset(fd);
            break;
        case Leaving::ResetInMidRequest:
            QVERIFY(SendAll(fd, login.left(login.size() / 2)));
            QVERIFY(QTest::qWaitFor([&] { return LogSince(from).contains(QStringLiteral("|Data Received From Mobile No.")); }, 5000));
            Reset(fd);
            break;
        case Leaving::ResetAfterRequest:
            QVERIFY(SendAll(fd, login));
            Reset(fd);
            break;
        case Leaving::ResetWhileReplied: {
            QVERIFY(SendAll(fd, RequestText(QStringLiteral("CompanyList"), kMobile1, QStringLiteral("IMEI-1")).toLatin1()));
            const QByteArray part = ReadRaw(fd, [](const QByteArray& got) { return !got.isEmpty(); }, &closed);
            QVERIFY(!part.isEmpty());
            Reset(fd);
            break;
        }
        case Leaving::HalfCloseAfterRequest: {
            QVERIFY(SendAll(fd, login));
            QCOMPARE(::shutdown(fd, SHUT_WR), 0);
            const QByteArray reply = ReadRaw(fd, [](const QByteArray&) { return false; }, &closed);
            ::close(fd);
            QVERIFY(closed);
            QVERIFY2(reply.endsWith("<EOF>"), reply.constData());
            QCOMPARE(Member(QString::fromLatin1(reply), QStringLiteral("Status")), QStringLiteral("1"));
            break;
        }
        }
        QVERIFY(WaitSettled(installation, from, int(accepting.size())));

        // The next client is answered on the freed slot.
        const qsizetype nextFrom = installation.NewestLogText().size();
        QCOMPARE(Member(Exchange(port, QString::fromLatin1(login)), QStringLiteral("Status")), QStringLiteral("1"));
        QVERIFY(WaitSettled(installation, nextFrom, 1));
        const QString log = LogSince(from);
        const QString shown = log.right(6000);
        QVERIFY2(!log.contains(QStringLiteral(" Remote IP : \r\n")), qPrintable(shown));
        accepting << kLoopback;
        handling << kLoopback;
        const QStringList accepted = LinesWith(log, QStringLiteral("|Connection Request Accepted to Request ID : "));
        QCOMPARE(int(accepted.size()), int(accepting.size()));
        for (qsizetype i = 0; i < accepted.size(); ++i)
            QVERIFY2(accepted.at(i).endsWith(QStringLiteral(" Client Index : 1 Remote Host : %1 Remote IP : %1").arg(accepting.at(i))),
                     qPrintable(shown));
        const QStringList handledNow = CheckHandledRequestsHaveRows(from, rowsBefore);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(handledNow, handling);
    }
};

QTEST_GUILESS_MAIN(ServerResetTest)
#include "test_server_resets.moc"
