#include "ServerBench.h"

#include "Fixtures.h"
#include "database/Connection.h"
#include "database/Recordset.h"
#include "store/UserSettings.h"
#include "text/Ansi.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcessEnvironment>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <unistd.h>

namespace serverbench {

namespace {

const QString kCompany = QStringLiteral("BENCHCO");

double ThreadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// What the clients of one run share: where the figures go and when to stop.
struct Shared {
    Result& result;
    QElapsedTimer clock;
    qint64 untilNs = 0;
    std::size_t limit = 0;  // requests to send; 0 for no limit
    std::size_t sent = 0;
};

// One client: connect, send, read the reply, wait for the server's close, again.
class Client {
public:
    Client(quint16 port, QByteArray request, Shared& shared) : m_port(port), m_request(std::move(request)), m_shared(shared) {}
    std::function<void()> finished;

    void Start()
    {
        if (m_shared.clock.nsecsElapsed() >= m_shared.untilNs || (m_shared.limit > 0 && m_shared.sent >= m_shared.limit)) {
            if (finished)
                finished();
            return;
        }
        ++m_shared.sent;
        m_reply.clear();
        m_replied = false;
        m_socket = std::make_unique<QTcpSocket>();
        QTcpSocket* socket = m_socket.get();
        m_startNs = m_shared.clock.nsecsElapsed();
        QObject::connect(socket, &QTcpSocket::connected, socket, [this, socket] { socket->write(m_request); });
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            m_reply += socket->readAll();
            if (!m_replied && m_reply.contains("<EOF>")) {
                m_replied = true;
                m_shared.result.latenciesMs.push_back((m_shared.clock.nsecsElapsed() - m_startNs) / 1.0e6);
                if (!m_reply.contains("\"Status\":1"))
                    ++m_shared.result.failures;
            }
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [this] { Next(); });
        QObject::connect(socket, &QTcpSocket::errorOccurred, socket, [this](QAbstractSocket::SocketError error) {
            if (error != QAbstractSocket::RemoteHostClosedError)
                Next();
        });
        socket->connectToHost(QHostAddress::LocalHost, m_port);
    }

private:
    void Next()
    {
        if (!m_socket)
            return;  // an error after the close already counted
        if (!m_replied)
            ++m_shared.result.failures;
        m_replied = true;
        m_socket->disconnect();
        m_socket.release()->deleteLater();
        QTimer::singleShot(0, [this] { Start(); });
    }

    quint16 m_port;
    QByteArray m_request;
    Shared& m_shared;
    std::unique_ptr<QTcpSocket> m_socket;
    QByteArray m_reply;
    bool m_replied = false;
    qint64 m_startNs = 0;
};

bool WaitForLog(const QString& programFolder, const QString& text, int timeoutMs, const QProcess& process)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs && process.state() != QProcess::NotRunning) {
        QDir logs(programFolder + QStringLiteral("/LogFiles"));
        const QStringList files = logs.entryList({QStringLiteral("Log_*.txt")}, QDir::Files, QDir::Name);
        if (!files.isEmpty()) {
            QFile file(logs.filePath(files.last()));
            if (file.open(QIODevice::ReadOnly) && file.readAll().contains(text.toUtf8()))
                return true;
        }
        QEventLoop loop;
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return false;
}

}  // namespace

QString MobileOf(int client)
{
    return QStringLiteral("98%1").arg(client, 8, 10, QLatin1Char('0'));
}

QString ImeiOf(int client)
{
    return QStringLiteral("IMEI-%1").arg(client);
}

QByteArray LoginRequest(int client)
{
    return platform::ansi::Encode(QStringLiteral("{\"Action\":\"Login\",\"MobileNo\":\"%1\",\"IMEINo\":\"%2\"}<EOF>")
                                      .arg(MobileOf(client), ImeiOf(client)));
}

QByteArray CompanyListRequest(int client)
{
    return platform::ansi::Encode(
        QStringLiteral("{\"Action\":\"CompanyList\",\"MobileNo\":\"%1\",\"IMEINo\":\"%2\",\"UserID\":\"PEMO\",\"Password\":\"pemo\"}<EOF>")
            .arg(MobileOf(client), ImeiOf(client)));
}

// --- the version file ------------------------------------------------------------------------

VersionServer::VersionServer()
{
    m_server.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                if (!socket->readAll().contains("\r\n"))
                    return;
                const QByteArray body = "AndroidVersion=2.1.2\r\niOSVersion=2.1.2\r\n";
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size())
                              + "\r\nConnection: close\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QString VersionServer::BaseURL() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
}

// --- the clients -----------------------------------------------------------------------------

Result Run(quint16 port, int concurrency, bool login, double seconds, std::size_t requests)
{
    Result result;
    Shared shared{result, {}};
    shared.limit = requests;
    shared.untilNs = static_cast<qint64>(seconds * 1e9);
    const double cpuBefore = ThreadCpuSeconds();
    shared.clock.start();
    std::vector<std::unique_ptr<Client>> clients;
    QEventLoop loop;
    int running = concurrency;
    for (int i = 0; i < concurrency; ++i) {
        clients.push_back(std::make_unique<Client>(port, login ? LoginRequest(i) : CompanyListRequest(i), shared));
        clients.back()->finished = [&] {
            if (--running == 0)
                loop.quit();
        };
    }
    for (auto& client : clients)
        client->Start();
    loop.exec();
    result.seconds = shared.clock.nsecsElapsed() / 1e9;
    result.clientCpuSeconds = ThreadCpuSeconds() - cpuBefore;
    return result;
}

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, static_cast<size_t>(p / 100.0 * values.size()));
    return values[index];
}

double CpuSeconds(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = file.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    return (fields.at(11).toDouble() + fields.at(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
}

double ResidentMiB(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

void PrintHeader()
{
    std::printf("%-26s %7s %9s %8s %9s %8s %8s %8s %9s %7s %7s\n", "server / action", "clients", "requests", "failed",
                "req/s", "p50 ms", "p99 ms", "max ms", "CPU us/r", "x floor", "RSS MB");
    std::fflush(stdout);
}

double PrintLine(const char* label, int concurrency, const Result& result, double serverCpuSeconds, double floor,
                 double residentMiB)
{
    const size_t count = result.latenciesMs.size();
    const double rate = result.seconds > 0 ? count / result.seconds : 0;
    const QByteArray share = floor < 0 ? QByteArray("-") : QByteArray::number(floor > 0 ? rate / floor : 1.0, 'f', 2);
    std::printf("%-26s %7d %9zu %8d %9.0f %8.3f %8.3f %8.3f %9.0f %7s %7.0f\n", label, concurrency, count, result.failures,
                rate, Percentile(result.latenciesMs, 50), Percentile(result.latenciesMs, 99),
                Percentile(result.latenciesMs, 100), count ? serverCpuSeconds / count * 1e6 : 0.0, share.constData(),
                residentMiB);
    std::fflush(stdout);
    return rate;
}

// --- the installation ------------------------------------------------------------------------

bool Installation::Prepare(int companies, int mobiles, const QString& versionURL, const QString& config, bool autoStart)
{
    const QString data = DataFolder();
    for (const QString& folder : {ProgramFolder(), data, config, m_root.path() + QStringLiteral("/tmp")})
        QDir().mkpath(folder);
    // This process's settings store is the program's: the credentials and the version address.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    try {
        for (int c = 0; c < companies; ++c) {
            fixtures::CompanyDatabase company(data, c == 0 ? kCompany : kCompany + QString::number(c));
            company.AddCompany();
            fixtures::UserRow user;
            user.UserID = QStringLiteral("PEMO");
            user.Password = QStringLiteral("pemo");
            user.IsSupervisor = true;
            company.AddUser(user);
        }
        fixtures::StoreCredentials(data);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "cannot build the company databases: %s\n", e.what());
        return false;
    }
    platform::store::SaveSetting(QStringLiteral("Tessarin"), QStringLiteral("frmMain"), QStringLiteral("CalderwickURL"),
                                 versionURL);
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    port = probe.serverPort();
    probe.close();
    m_mobiles = mobiles;
    WriteSettings(autoStart);
    return port != 0;
}

void Installation::WriteSettings(bool autoStart)
{
    fixtures::SettingsFile settings;
    settings.StaticIP = true;
    settings.LocalPort = QString::number(port);
    settings.CurrentYearOnly = false;
    settings.AutoStart = autoStart;
    for (int i = 0; i < m_mobiles; ++i)
        settings.Mobiles.append({MobileOf(i), ImeiOf(i), {}, false, QString()});
    fixtures::WriteSettingsFile(ProgramFolder(), settings);
}

bool Installation::StartProgram(const QString& binarySource)
{
    const QString binary = ProgramFolder() + QStringLiteral("/Corvantis");
    if (!QFile::copy(binarySource, binary)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(binarySource));
        return false;
    }
    QFile::setPermissions(binary, QFile::permissions(binary) | QFileDevice::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), qEnvironmentVariable("XDG_CONFIG_HOME"));
    environment.insert(QStringLiteral("TMPDIR"), m_root.path() + QStringLiteral("/tmp"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("CORVANTIS_MESSAGE_BOXES"), QStringLiteral("log"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(binary, {});
    if (!process.waitForStarted(10000)
        || !WaitForLog(ProgramFolder(), QStringLiteral("|Start Accepting Connection"), 20000, process)) {
        std::fprintf(stderr, "the server did not start\n");
        return false;
    }
    return true;
}

bool Installation::Start(const QString& binarySource, int companies, int mobiles, const QString& versionURL,
                         const QString& config)
{
    return Prepare(companies, mobiles, versionURL, config, true) && StartProgram(binarySource);
}

Installation::~Installation()
{
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        process.waitForFinished(5000);
    }
}

QString Installation::ProgramFolder() const
{
    return m_root.path() + QStringLiteral("/CALDERWICK/Corvantis");
}

QString Installation::DataFolder() const
{
    return m_root.path() + QStringLiteral("/data");
}

qint64 Installation::LogRows() const
{
    try {
        platform::db::Connection connection;
        connection.Open(QStringLiteral("Server=sqlite:") + DataFolder() + QStringLiteral(";Database=master"));
        platform::db::Recordset recordset;
        recordset.Open(QStringLiteral("SELECT COUNT(*) FROM TessarinMobileLog"), connection);
        const qint64 rows = recordset.IsEOF() ? -1 : recordset.Field(0).ToVariant().toLongLong();
        recordset.Close();
        connection.Close();
        return rows;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "cannot read the request log: %s\n", e.what());
        return -1;
    }
}

}  // namespace serverbench
