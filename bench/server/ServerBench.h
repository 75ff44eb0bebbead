#pragma once

// What the server benchmarks share: the installation they run the server on (program folder
// CALDERWICK/Corvantis, embedded company databases with the user PEMO, the allowed mobiles and the
// listening settings), the stand-in for the maker's version file, the loopback clients that drive
// a server one request per connection as the mobile app does, and the figures of a run (requests/s,
// latency percentiles, CPU per request, resident memory) printed one line per run.

#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QTcpServer>
#include <QTemporaryDir>

#include <cstddef>
#include <vector>

namespace serverbench {

// The mobile of client n and its IMEI number; the allowed mobiles of an installation are these.
QString MobileOf(int client);
QString ImeiOf(int client);
QByteArray LoginRequest(int client);
QByteArray CompanyListRequest(int client);

// Answers every GET with the version file, so the server starts without waiting.
class VersionServer {
public:
    VersionServer();
    QString BaseURL() const;

private:
    QTcpServer m_server;
};

struct Result {
    std::vector<double> latenciesMs;
    int failures = 0;
    double seconds = 0;
    double clientCpuSeconds = 0;  // CPU of the thread that ran the clients
};

// `concurrency` clients, each connecting, sending its request, reading the reply to "<EOF>" and
// waiting for the server's close, again, until `seconds` have passed or (when `requests` > 0) that
// many requests have been sent. Runs on the calling thread's event loop.
Result Run(quint16 port, int concurrency, bool login, double seconds, std::size_t requests = 0);

double Percentile(std::vector<double> values, double p);

// CPU seconds (user and system) the process has used so far, from /proc.
double CpuSeconds(qint64 pid);
// Resident memory of the process (VmRSS) in MiB.
double ResidentMiB(qint64 pid);

// The column heads, then one line per run: the rate as a share of `floor` (1.00 when it is 0, the
// floor itself; "-" when it is negative, nothing to compare with).
void PrintHeader();
double PrintLine(const char* label, int concurrency, const Result& result, double serverCpuSeconds, double floor,
                 double residentMiB);

// An installation of the server with `companies` company databases (each with the user PEMO) and
// `mobiles` allowed mobiles, listening on a free port of loopback.
class Installation {
public:
    // `config`: the per-user settings folder of this process (and of the program it starts; one
    // for every installation of a run: the settings store is read once per process).
    bool Prepare(int companies, int mobiles, const QString& versionURL, const QString& config, bool autoStart);
    // The settings file again, with or without AutoStart.
    void WriteSettings(bool autoStart);
    // Runs a copy of the program in the program folder (offscreen, message boxes to the log) and
    // waits until it listens (AutoStart: the window minimised, as the program leaves it).
    bool StartProgram(const QString& binarySource);
    // Prepare and StartProgram with AutoStart.
    bool Start(const QString& binarySource, int companies, int mobiles, const QString& versionURL, const QString& config);
    ~Installation();

    QString ProgramFolder() const;
    QString DataFolder() const;
    // The rows of the request log; -1 when it cannot be read.
    qint64 LogRows() const;

    QProcess process;
    quint16 port = 0;

private:
    QTemporaryDir m_root;
    int m_mobiles = 0;
};

}  // namespace serverbench
