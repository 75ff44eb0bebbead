// corvantis-bench-server: starts the real Corvantis program in listening mode on embedded company
// databases (request logging on, as always) and drives it over loopback with 1, 8 and 200
// concurrent clients, one request per connection as the mobile app does; beside it the floor, a
// bare Qt server built with the benchmark, without and with an SQLite request log. Prints
// requests per second, latency percentiles (connect to complete reply), the server's CPU per
// request, the ratio to the floor at the same client count and the server's resident memory,
// for Login, and for CompanyList with 1 and with 12 companies.
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
#include <map>
#include <unistd.h>
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


// CPU seconds (user and system) the process has used so far, from /proc.
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

// Resident memory of the process in MiB.
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

// One measured run against a server process; prints one line and gives the rate.
double Measure(const char* label, qint64 pid, quint16 port, int concurrency, bool login, double seconds, double floor)
{
    const double cpuBefore = CpuSeconds(pid);
    const Result result = Run(port, concurrency, login, seconds);
    const double cpu = CpuSeconds(pid) - cpuBefore;
    const size_t count = result.latenciesMs.size();
    const double rate = count / result.seconds;
    std::printf("%-26s %7d %9zu %8d %9.0f %8.3f %8.3f %8.3f %9.0f %7.2f %7.0f\n", label, concurrency, count, result.failures, rate,
                Percentile(result.latenciesMs, 50), Percentile(result.latenciesMs, 99), Percentile(result.latenciesMs, 100),
                count ? cpu / count * 1e6 : 0.0, floor > 0 ? rate / floor : 1.0, ResidentMiB(pid));
    std::fflush(stdout);
    return rate;
}

// A bare server process (the floor); its port from its first line.
bool StartBare(QProcess& process, const QString& logFolder, quint16& port)
{
    QStringList args;
    if (!logFolder.isEmpty())
        args << QStringLiteral("--log") << logFolder;
    process.start(QStringLiteral(CORVANTIS_BARE_BINARY), args);
    if (!process.waitForStarted(5000) || !process.waitForReadyRead(5000))
        return false;
    port = static_cast<quint16>(process.readLine().trimmed().toUInt());
    return port != 0;
}

// An installation of the real program with `companies` company databases (each with the user
// PEMO) and `mobiles` allowed mobiles, started in listening mode with AutoStart (the window
// minimised, as the program leaves it).
class Installation {
public:
    // `config`: the per-user settings folder, this process's and the program's (one for every
    // installation of a run: the settings store is read once per process).
    bool Start(const QString& binarySource, int companies, int mobiles, const QString& versionURL, const QString& config)
    {
        const QString program = m_root.path() + QStringLiteral("/CALDERWICK/Corvantis");
        const QString data = m_root.path() + QStringLiteral("/data");
        const QString temp = m_root.path() + QStringLiteral("/tmp");
        for (const QString& folder : {program, data, config, temp})
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
        fixtures::SettingsFile settings;
        settings.StaticIP = true;
        settings.LocalPort = QString::number(port);
        settings.CurrentYearOnly = false;
        settings.AutoStart = true;
        for (int i = 0; i < mobiles; ++i)
            settings.Mobiles.append({MobileOf(i), ImeiOf(i), {}, false, QString()});
        fixtures::WriteSettingsFile(program, settings);

        const QString binary = program + QStringLiteral("/Corvantis");
        if (!QFile::copy(binarySource, binary)) {
            std::fprintf(stderr, "cannot copy %s\n", qPrintable(binarySource));
            return false;
        }
        QFile::setPermissions(binary, QFile::permissions(binary) | QFileDevice::ExeOwner);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        environment.insert(QStringLiteral("TMPDIR"), temp);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("CORVANTIS_MESSAGE_BOXES"), QStringLiteral("log"));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(binary, {});
        if (!process.waitForStarted(10000) || !WaitForLog(program, QStringLiteral("|Start Accepting Connection"), 20000, process)) {
            std::fprintf(stderr, "the server did not start\n");
            return false;
        }
        return true;
    }
    ~Installation()
    {
        process.terminate();
        process.waitForFinished(5000);
    }

    QProcess process;
    quint16 port = 0;

private:
    QTemporaryDir m_root;
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Drives the Corvantis program and a bare Qt server over loopback and prints "
                                                    "their throughput, latency, CPU per request and memory."));
    parser.addHelpOption();
    const QCommandLineOption secondsOption(QStringLiteral("seconds"), QStringLiteral("Length of each run (default 5)."),
                                           QStringLiteral("seconds"), QStringLiteral("5"));
    const QCommandLineOption binaryOption(QStringLiteral("binary"), QStringLiteral("The Corvantis program to run."),
                                          QStringLiteral("path"), QStringLiteral(CORVANTIS_BINARY));
    const QCommandLineOption clientsOption(QStringLiteral("clients"), QStringLiteral("Client counts (default 1,8,200)."),
                                           QStringLiteral("list"), QStringLiteral("1,8,200"));
    parser.addOptions({secondsOption, binaryOption, clientsOption});
    parser.process(app);
    const double seconds = parser.value(secondsOption).toDouble() > 0 ? parser.value(secondsOption).toDouble() : 5;
    std::vector<int> clientCounts;
    for (const QString& item : parser.value(clientsOption).split(QLatin1Char(',')))
        if (item.toInt() > 0)
            clientCounts.push_back(item.toInt());
    const int mobiles = *std::max_element(clientCounts.begin(), clientCounts.end());

    std::printf("Over loopback, one request per connection, %.0f s per run; CPU is the server process's (user + system)\n",
                seconds);
    std::printf("%-26s %7s %9s %8s %9s %8s %8s %8s %9s %7s %7s\n", "server / action", "clients", "requests", "failed",
                "req/s", "p50 ms", "p99 ms", "max ms", "CPU us/r", "x floor", "RSS MB");

    // The floor: the bare server without and with the SQLite log, at each client count.
    std::map<int, double> floor;
    QTemporaryDir bareLog;
    for (bool withLog : {false, true}) {
        QProcess bare;
        quint16 port = 0;
        if (!StartBare(bare, withLog ? bareLog.path() : QString(), port)) {
            std::fprintf(stderr, "the bare server did not start\n");
            return 2;
        }
        for (int clients : clientCounts) {
            const double rate = Measure(withLog ? "bare + SQLite log" : "bare", bare.processId(), port, clients, true, seconds,
                                        withLog ? floor[clients] : 0);
            if (!withLog)
                floor[clients] = rate;
        }
        bare.kill();
        bare.waitForFinished(5000);
    }

    VersionServer versions;
    QTemporaryDir config;
    {
        Installation one;
        if (!one.Start(parser.value(binaryOption), 1, mobiles, versions.BaseURL(), config.path()))
            return 2;
        for (bool login : {true, false})
            for (int clients : clientCounts)
                Measure(login ? "Corvantis Login" : "Corvantis CompanyList x1", one.process.processId(), one.port, clients, login,
                        seconds, floor[clients]);
    }
    {
        Installation twelve;
        if (!twelve.Start(parser.value(binaryOption), 12, mobiles, versions.BaseURL(), config.path()))
            return 2;
        Run(twelve.port, mobiles, true, 2);  // every mobile logged in, as a CompanyList needs
        for (int clients : clientCounts)
            Measure("Corvantis CompanyList x12", twelve.process.processId(), twelve.port, clients, false, seconds, floor[clients]);
    }
    return 0;
}
