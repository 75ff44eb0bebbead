// corvantis-bench-server: starts the real Corvantis program in listening mode on embedded company
// databases (request logging on, as always) and drives it over loopback with 1, 8 and 200
// concurrent clients, one request per connection as the mobile app does; beside it the floor, a
// bare Qt server built with the benchmark, without and with an SQLite request log. Prints
// requests per second, latency percentiles (connect to complete reply), the server's CPU per
// request, the ratio to the floor at the same client count and the server's resident memory,
// for Login, and for CompanyList with 1 and with 12 companies.
//
// With --soak N it only sends N Login requests (8 clients) to the program and prints its resident
// memory as the count passes 10,000, 25,000, 50,000 and 100,000 (and N), then the request log's
// rows.
#include "ServerBench.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

using namespace serverbench;

namespace {

// One measured run against a server process; prints one line and gives the rate.
double Measure(const char* label, qint64 pid, quint16 port, int concurrency, bool login, double seconds, double floor)
{
    const double cpuBefore = CpuSeconds(pid);
    const Result result = Run(port, concurrency, login, seconds);
    return PrintLine(label, concurrency, result, CpuSeconds(pid) - cpuBefore, floor, ResidentMiB(pid));
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

// Sends `total` Login requests from 8 clients and prints the program's resident memory at each
// mark passed, then the rows of its request log.
int Soak(const QString& binary, qint64 total)
{
    constexpr int kClients = 8;
    VersionServer versions;
    QTemporaryDir config;
    Installation installation;
    if (!installation.Start(binary, 1, kClients, versions.BaseURL(), config.path()))
        return 2;
    const qint64 pid = installation.process.processId();
    std::printf("Soak: %lld Login requests from %d clients over loopback, one per connection\n",
                static_cast<long long>(total), kClients);
    std::printf("%10s %9s %8s %9s %8s %8s %9s\n", "requests", "failed", "seconds", "req/s", "p99 ms", "RSS MB",
                "VmRSS kB");
    std::printf("%10d %9s %8s %9s %8s %8.1f %9.0f\n", 0, "", "", "", "", ResidentMiB(pid), ResidentMiB(pid) * 1024);
    std::vector<qint64> marks;
    for (qint64 mark : {10000, 25000, 50000, 100000})
        if (mark < total)
            marks.push_back(mark);
    marks.push_back(total);
    qint64 sent = 0;
    int failures = 0;
    for (qint64 mark : marks) {
        const Result result = Run(installation.port, kClients, true, 1e9, static_cast<std::size_t>(mark - sent));
        sent = mark;
        failures += result.failures;
        const double rss = ResidentMiB(pid);
        std::printf("%10lld %9d %8.1f %9.0f %8.3f %8.1f %9.0f\n", static_cast<long long>(sent), failures, result.seconds,
                    result.latenciesMs.size() / result.seconds, Percentile(result.latenciesMs, 99), rss, rss * 1024);
        std::fflush(stdout);
    }
    // The rows reach the table a moment after the last reply, from the program's journal.
    QElapsedTimer waited;
    waited.start();
    while (installation.LogRows() < sent && waited.elapsed() < 5000)
        QThread::msleep(50);
    installation.process.terminate();
    installation.process.waitForFinished(10000);
    std::printf("request log: %lld rows\n", static_cast<long long>(installation.LogRows()));
    return failures == 0 ? 0 : 1;
}

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
    const QCommandLineOption soakOption(QStringLiteral("soak"),
                                        QStringLiteral("Only send this many Login requests (8 clients) and print the "
                                                       "program's memory on the way."),
                                        QStringLiteral("requests"));
    parser.addOptions({secondsOption, binaryOption, clientsOption, soakOption});
    parser.process(app);
    if (parser.isSet(soakOption)) {
        const qint64 total = parser.value(soakOption).toLongLong();
        if (total <= 0) {
            std::fprintf(stderr, "--soak takes a number of requests\n");
            return 2;
        }
        return Soak(parser.value(binaryOption), total);
    }
    const double seconds = parser.value(secondsOption).toDouble() > 0 ? parser.value(secondsOption).toDouble() : 5;
    std::vector<int> clientCounts;
    for (const QString& item : parser.value(clientsOption).split(QLatin1Char(',')))
        if (item.toInt() > 0)
            clientCounts.push_back(item.toInt());
    const int mobiles = *std::max_element(clientCounts.begin(), clientCounts.end());

    std::printf("Over loopback, one request per connection, %.0f s per run; CPU is the server process's (user + system)\n",
                seconds);
    PrintHeader();

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
