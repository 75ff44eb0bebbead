// corvantis-bench-server: starts the real Corvantis program in listening mode on an embedded
// company database (request logging on, as always) and drives it over loopback with 1 and 8
// concurrent clients, one request per connection as the mobile app does. Prints Login and
// CompanyList requests per second and latency percentiles (connect to complete reply).
#include "Fixtures.h"
#include "store/UserSettings.h"
#include "text/Ansi.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const QString kCompany = QStringLiteral("BENCHCO");

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

// Answers every GET with the version file, so the program starts without waiting.
class VersionServer {
public:
    VersionServer()
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
    QString BaseURL() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }

private:
    QTcpServer m_server;
};

struct Result {
    std::vector<double> latenciesMs;
    int failures = 0;
    double seconds = 0;
};

// One client: connect, send, read the reply, wait for the server's close, again.
class Client {
public:
    Client(quint16 port, QByteArray request, Result& result, const QElapsedTimer& clock, qint64 untilNs)
        : m_port(port), m_request(std::move(request)), m_result(result), m_clock(clock), m_untilNs(untilNs)
    {
    }
    std::function<void()> finished;

    void Start()
    {
        if (m_clock.nsecsElapsed() >= m_untilNs) {
            m_done = true;
            if (finished)
                finished();
            return;
        }
        m_reply.clear();
        m_replied = false;
        m_socket = std::make_unique<QTcpSocket>();
        QTcpSocket* socket = m_socket.get();
        m_startNs = m_clock.nsecsElapsed();
        QObject::connect(socket, &QTcpSocket::connected, socket, [this, socket] { socket->write(m_request); });
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            m_reply += socket->readAll();
            if (!m_replied && m_reply.contains("<EOF>")) {
                m_replied = true;
                m_result.latenciesMs.push_back((m_clock.nsecsElapsed() - m_startNs) / 1.0e6);
                if (!m_reply.contains("\"Status\":1"))
                    ++m_result.failures;
            }
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [this] { Next(); });
        QObject::connect(socket, &QTcpSocket::errorOccurred, socket, [this](QAbstractSocket::SocketError error) {
            if (error != QAbstractSocket::RemoteHostClosedError)
                Next();
        });
        socket->connectToHost(QHostAddress::LocalHost, m_port);
    }
    bool Done() const { return m_done; }

private:
    void Next()
    {
        if (!m_replied)
            ++m_result.failures;
        m_replied = true;
        m_socket.release()->deleteLater();
        QTimer::singleShot(0, [this] { Start(); });
    }

    quint16 m_port;
    QByteArray m_request;
    Result& m_result;
    const QElapsedTimer& m_clock;
    qint64 m_untilNs;
    std::unique_ptr<QTcpSocket> m_socket;
    QByteArray m_reply;
    bool m_replied = false;
    bool m_done = false;
    qint64 m_startNs = 0;
};

Result Run(quint16 port, int concurrency, bool login, double seconds)
{
    Result result;
    QElapsedTimer clock;
    clock.start();
    const qint64 until = static_cast<qint64>(seconds * 1e9);
    std::vector<std::unique_ptr<Client>> clients;
    QEventLoop loop;
    int running = concurrency;
    for (int i = 0; i < concurrency; ++i) {
        clients.push_back(std::make_unique<Client>(port, login ? LoginRequest(i) : CompanyListRequest(i), result, clock, until));
        clients.back()->finished = [&] {
            if (--running == 0)
                loop.quit();
        };
    }
    for (auto& client : clients)
        client->Start();
    loop.exec();
    result.seconds = clock.nsecsElapsed() / 1e9;
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

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Drives the Corvantis program over loopback and prints its throughput."));
    parser.addHelpOption();
    const QCommandLineOption secondsOption(QStringLiteral("seconds"), QStringLiteral("Length of each run (default 5)."),
                                           QStringLiteral("seconds"), QStringLiteral("5"));
    const QCommandLineOption binaryOption(QStringLiteral("binary"), QStringLiteral("The Corvantis program to run."),
                                          QStringLiteral("path"), QStringLiteral(CORVANTIS_BINARY));
    parser.addOptions({secondsOption, binaryOption});
    parser.process(app);
    const double seconds = parser.value(secondsOption).toDouble() > 0 ? parser.value(secondsOption).toDouble() : 5;

    QTemporaryDir root;
    const QString program = root.path() + QStringLiteral("/CALDERWICK/Corvantis");
    const QString data = root.path() + QStringLiteral("/data");
    const QString config = root.path() + QStringLiteral("/config");
    const QString temp = root.path() + QStringLiteral("/tmp");
    for (const QString& folder : {program, data, config, temp})
        QDir().mkpath(folder);
    // This process's settings store is the program's: the credentials and the version address.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    try {
        fixtures::CompanyDatabase company(data, kCompany);
        company.AddCompany();
        fixtures::UserRow user;
        user.UserID = QStringLiteral("PEMO");
        user.Password = QStringLiteral("pemo");
        user.IsSupervisor = true;
        company.AddUser(user);
        fixtures::StoreCredentials(data);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "cannot build the company database: %s\n", e.what());
        return 2;
    }
    VersionServer versions;
    platform::store::SaveSetting(QStringLiteral("Tessarin"), QStringLiteral("frmMain"), QStringLiteral("CalderwickURL"),
                                 versions.BaseURL());

    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    fixtures::SettingsFile settings;
    settings.StaticIP = true;
    settings.LocalPort = QString::number(port);
    settings.CurrentYearOnly = false;
    settings.AutoStart = true;
    for (int i = 0; i < 8; ++i)
        settings.Mobiles.append({MobileOf(i), ImeiOf(i), {}, false, QString()});
    fixtures::WriteSettingsFile(program, settings);

    const QString binary = program + QStringLiteral("/Corvantis");
    if (!QFile::copy(parser.value(binaryOption), binary)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(parser.value(binaryOption)));
        return 2;
    }
    QFile::setPermissions(binary, QFile::permissions(binary) | QFileDevice::ExeOwner);
    QProcess server;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    environment.insert(QStringLiteral("TMPDIR"), temp);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("CORVANTIS_MESSAGE_BOXES"), QStringLiteral("log"));
    server.setProcessEnvironment(environment);
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(binary, {});
    if (!server.waitForStarted(10000) || !WaitForLog(program, QStringLiteral("|Start Accepting Connection"), 20000, server)) {
        std::fprintf(stderr, "the server did not start\n");
        return 2;
    }

    std::printf("Corvantis over loopback, one request per connection, request logging on, %.0f s per run\n", seconds);
    std::printf("%-12s %7s %9s %9s %10s %9s %9s %9s %9s\n", "action", "clients", "requests", "failures", "req/s",
                "p50 ms", "p90 ms", "p99 ms", "max ms");
    for (int concurrency : {1, 8}) {
        for (bool login : {true, false}) {
            const Result result = Run(port, concurrency, login, seconds);
            const double rate = result.latenciesMs.size() / result.seconds;
            std::printf("%-12s %7d %9zu %9d %10.0f %9.3f %9.3f %9.3f %9.3f\n", login ? "Login" : "CompanyList", concurrency,
                        result.latenciesMs.size(), result.failures, rate, Percentile(result.latenciesMs, 50),
                        Percentile(result.latenciesMs, 90), Percentile(result.latenciesMs, 99),
                        Percentile(result.latenciesMs, 100));
            std::fflush(stdout);
        }
    }
    server.terminate();
    server.waitForFinished(5000);
    return 0;
}
