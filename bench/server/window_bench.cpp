// corvantis-bench-window: what the server window costs while it is on the screen. The window
// (frmTessarinMobileClient) runs in this process on the platform Qt is given (offscreen when there
// is no display; under xvfb-run, xcb) and listens on loopback; Login requests come from clients on
// a thread of their own, one request per connection, with 1 and 8 clients. Each round starts a
// window twice: once with AutoStart, which starts listening and minimises the window, and once
// started by its "Start Accepting" button, which leaves it shown. Prints requests/s, p50/p99/max
// latency and the CPU per request of everything in the process but the clients, per run, then
// the medians over the rounds (with the paint events per second and the time spent painting per
// request) and the visible/minimised ratios.
//
//   corvantis-bench-window [--seconds 3] [--clients 1,8] [--rounds 3] [--only minimised|visible]
#include "ServerBench.h"
#include "clock/TimeZone.h"
#include "process/Memory.h"
#include "frmTessarinMobileClient.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <vector>

using namespace serverbench;

namespace {

// Times the painting of the window on this thread: the repaint of the window (UpdateRequest) with
// the paint events of its widgets inside it, and paint events sent on their own.
class BenchApplication : public QApplication {
public:
    using QApplication::QApplication;
    long paints = 0;
    qint64 paintNs = 0;

    bool notify(QObject* receiver, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if ((type != QEvent::UpdateRequest && type != QEvent::Paint) || QThread::currentThread() != thread())
            return QApplication::notify(receiver, event);
        if (type == QEvent::Paint)
            ++paints;
        if (m_painting)
            return QApplication::notify(receiver, event);
        m_painting = true;
        QElapsedTimer clock;
        clock.start();
        const bool done = QApplication::notify(receiver, event);
        paintNs += clock.nsecsElapsed();
        m_painting = false;
        return done;
    }

private:
    bool m_painting = false;
};

// The offscreen platform says for every window shown that it cannot pass on size hints.
QtMessageHandler g_previousHandler = nullptr;
void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

// The clients on a thread of their own, while this thread's event loop serves the window.
Result RunOnThread(quint16 port, int clients, double seconds)
{
    Result result;
    std::unique_ptr<QThread> thread(QThread::create([&] { result = Run(port, clients, true, seconds); }));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();
    thread->wait();
    return result;
}

struct Figures {
    double rate = 0;
    double cpuUs = 0;  // per request
    double p50 = 0;
    double p99 = 0;
    double paintsPerSecond = 0;
    double paintUs = 0;  // painting per request
};

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A window on the installation, listening: minimised by its AutoStart, or shown and started by
// its button. Null when it did not get there.
std::unique_ptr<frmTessarinMobileClient> StartWindow(Installation& installation, const QString& lockFolder, bool visible)
{
    installation.WriteSettings(!visible);
    ServerWindowOptions options;
    options.programFolder = installation.ProgramFolder();
    options.lockFilePath = lockFolder + QStringLiteral("/server.lock");
    options.arguments = QStringList{QStringLiteral("/Bench")};
    auto window = std::make_unique<frmTessarinMobileClient>(options);
    window->show();
    if (!WaitFor([&] { return window->IsStarted() || window->IsUnloaded(); }, 20000) || window->IsUnloaded()) {
        std::fprintf(stderr, "the window did not start\n");
        return nullptr;
    }
    if (visible)
        window->Command(1)->click();
    if (!WaitFor([&] { return window->Sockets()->IsListening(); }, 5000)) {
        std::fprintf(stderr, "the window does not listen\n");
        return nullptr;
    }
    WaitFor([] { return false; }, 300);  // the first paints of the pane and the minimising settle
    if (window->isMinimized() == visible || !window->isVisible()) {
        std::fprintf(stderr, "the window is %s\n", window->isMinimized() ? "minimised" : "shown");
        return nullptr;
    }
    return window;
}

}  // namespace

int main(int argc, char** argv)
{
    platform::KeepTimeZoneLoaded();  // as the program starts
    platform::KeepMemoryForReplies();  // as the server does
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("CORVANTIS_MESSAGE_BOXES", "log");  // no one answers a box here
    g_previousHandler = qInstallMessageHandler(QuietMessages);
    BenchApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Drives the server window in this process with Login requests over "
                                                    "loopback, minimised and visible."));
    parser.addHelpOption();
    const QCommandLineOption secondsOption(QStringLiteral("seconds"), QStringLiteral("Length of each run (default 3)."),
                                           QStringLiteral("seconds"), QStringLiteral("3"));
    const QCommandLineOption clientsOption(QStringLiteral("clients"), QStringLiteral("Client counts (default 1,8)."),
                                           QStringLiteral("list"), QStringLiteral("1,8"));
    const QCommandLineOption roundsOption(QStringLiteral("rounds"),
                                          QStringLiteral("Windows started per state, taken by turns (default 3)."),
                                          QStringLiteral("rounds"), QStringLiteral("3"));
    const QCommandLineOption onlyOption(QStringLiteral("only"), QStringLiteral("Only this state: minimised or visible."),
                                        QStringLiteral("state"));
    parser.addOptions({secondsOption, clientsOption, roundsOption, onlyOption});
    parser.process(app);
    const double seconds = parser.value(secondsOption).toDouble() > 0 ? parser.value(secondsOption).toDouble() : 3;
    const int rounds = std::max(1, parser.value(roundsOption).toInt());
    std::vector<int> clientCounts;
    for (const QString& item : parser.value(clientsOption).split(QLatin1Char(',')))
        if (item.toInt() > 0)
            clientCounts.push_back(item.toInt());
    if (clientCounts.empty()) {
        std::fprintf(stderr, "--clients takes a list of counts\n");
        return 2;
    }
    std::vector<bool> states;
    const QString only = parser.value(onlyOption);
    if (only.isEmpty() || only == QLatin1String("minimised"))
        states.push_back(false);
    if (only.isEmpty() || only == QLatin1String("visible"))
        states.push_back(true);
    if (states.empty()) {
        std::fprintf(stderr, "--only takes minimised or visible\n");
        return 2;
    }

    VersionServer versions;
    QTemporaryDir config;
    QTemporaryDir lockFolder;
    Installation installation;
    if (!installation.Prepare(1, *std::max_element(clientCounts.begin(), clientCounts.end()), versions.BaseURL(),
                              config.path(), true))
        return 2;
    const qint64 pid = QCoreApplication::applicationPid();

    std::printf("The server window in this process on the \"%s\" platform; clients on a thread of their own, over "
                "loopback, one Login per connection, %.0f s per run.\nCPU is the process's (user + system) less the "
                "clients' thread.\n",
                qPrintable(QGuiApplication::platformName()), seconds);
    PrintHeader();
    std::map<std::pair<bool, int>, std::vector<Figures>> figures;
    for (int round = 0; round < rounds; ++round) {
        for (bool visible : states) {
            auto window = StartWindow(installation, lockFolder.path(), visible);
            if (!window)
                return 2;
            RunOnThread(installation.port, clientCounts.back(), 0.5);  // warm: caches, the log's statements
            for (int clients : clientCounts) {
                const long paintsBefore = app.paints;
                const qint64 paintNsBefore = app.paintNs;
                const double cpuBefore = CpuSeconds(pid);
                const Result result = RunOnThread(installation.port, clients, seconds);
                const double cpu = CpuSeconds(pid) - cpuBefore - result.clientCpuSeconds;
                Figures f;
                f.rate = PrintLine(visible ? "window visible" : "window minimised", clients, result, cpu, -1,
                                   ResidentMiB(pid));
                f.cpuUs = result.latenciesMs.empty() ? 0 : cpu / result.latenciesMs.size() * 1e6;
                f.p50 = Percentile(result.latenciesMs, 50);
                f.p99 = Percentile(result.latenciesMs, 99);
                f.paintsPerSecond = (app.paints - paintsBefore) / result.seconds;
                f.paintUs = result.latenciesMs.empty() ? 0 : (app.paintNs - paintNsBefore) / 1e3 / result.latenciesMs.size();
                figures[{visible, clients}].push_back(f);
            }
            window.reset();
            WaitFor([] { return false; }, 100);  // the closed sockets go
        }
    }

    std::printf("\nMedians over %d round(s):\n", rounds);
    std::printf("%-18s %7s %9s %8s %8s %9s %9s %11s\n", "window", "clients", "req/s", "p50 ms", "p99 ms", "CPU us/r",
                "paints/s", "paint us/r");
    for (int clients : clientCounts)
        for (bool visible : states) {
            const auto& runs = figures[{visible, clients}];
            const auto median = [&](double Figures::*member) {
                std::vector<double> values;
                for (const Figures& f : runs)
                    values.push_back(f.*member);
                return Median(values);
            };
            std::printf("%-18s %7d %9.0f %8.3f %8.3f %9.0f %9.1f %11.1f\n", visible ? "visible" : "minimised", clients,
                        median(&Figures::rate), median(&Figures::p50), median(&Figures::p99), median(&Figures::cpuUs),
                        median(&Figures::paintsPerSecond), median(&Figures::paintUs));
        }
    if (states.size() == 2) {
        std::printf("\nVisible against minimised (goal: the window visible costs under 20 %% more):\n");
        for (int clients : clientCounts) {
            std::vector<double> rateRatios;
            std::vector<double> cpuRatios;
            const auto& minimised = figures[{false, clients}];
            const auto& visible = figures[{true, clients}];
            for (size_t i = 0; i < minimised.size() && i < visible.size(); ++i) {
                rateRatios.push_back(minimised[i].rate / visible[i].rate);
                cpuRatios.push_back(visible[i].cpuUs / minimised[i].cpuUs);
            }
            const double cost = std::max(Median(rateRatios), Median(cpuRatios));
            std::printf("%2d client(s): time per request x%.2f, CPU per request x%.2f (each the median of the rounds' "
                        "ratios): %s\n",
                        clients, Median(rateRatios), Median(cpuRatios), cost < 1.2 ? "under 20 % more" : "20 % or more");
        }
    }
    return 0;
}
