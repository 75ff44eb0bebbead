#include "NameWatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#if defined(Q_OS_LINUX)
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>
#endif

namespace platform::disk {

#if defined(Q_OS_LINUX)
namespace {
// Counts the signals of every watch of the process: a watch whose count has not moved since it
// last looked has had no event.
std::atomic<unsigned> g_signals{0};

void OnWatchSignal(int, siginfo_t*, void*)
{
    g_signals.fetch_add(1, std::memory_order_release);
}

// A real-time signal of the process's own, its handler set once (0 when it cannot be). When the
// system's queue of such signals is full it sends SIGIO instead, which would end the program
// unless something takes it: the same handler does, where nothing else has claimed SIGIO.
int WatchSignal()
{
    static const int number = [] {
        const int candidate = SIGRTMIN + 5;
        if (candidate > SIGRTMAX)
            return 0;
        struct sigaction action {};
        action.sa_sigaction = OnWatchSignal;
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&action.sa_mask);
        struct sigaction io {};
        if (::sigaction(SIGIO, nullptr, &io) != 0 || io.sa_handler != SIG_DFL || ::sigaction(SIGIO, &action, nullptr) != 0)
            return 0;
        return ::sigaction(candidate, &action, nullptr) == 0 ? candidate : 0;
    }();
    return number;
}

// Asks the system to signal the program on each event of `fd`.
bool SignalEvents(int fd)
{
    const int number = WatchSignal();
    if (number == 0)
        return false;
    struct f_owner_ex owner {};
    owner.type = F_OWNER_PID;
    owner.pid = ::getpid();
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETSIG, number) == 0 && ::fcntl(fd, F_SETOWN_EX, &owner) == 0
        && ::fcntl(fd, F_SETFL, flags | O_ASYNC) == 0;
}
}  // namespace
#endif

NameWatch::~NameWatch()
{
    Clear();
}

void NameWatch::Clear()
{
#if defined(Q_OS_LINUX)
    if (m_fd >= 0)
        ::close(m_fd);
#endif
    m_fd = -1;
}

void NameWatch::Watch(const QString& path)
{
    Clear();
#if defined(Q_OS_LINUX)
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0)
        return;
    // The file: renamed, its last name removed (a link count change), or replaced by a rename
    // onto its name (the same); every folder above it: renamed or removed.
    QString at = QFileInfo(path).absoluteFilePath();
    bool watched = ::inotify_add_watch(fd, QFile::encodeName(at).constData(), IN_ATTRIB | IN_MOVE_SELF | IN_DELETE_SELF) >= 0;
    for (QString folder = QFileInfo(at).absolutePath(); watched; folder = QFileInfo(folder).absolutePath()) {
        watched = ::inotify_add_watch(fd, QFile::encodeName(folder).constData(), IN_MOVE_SELF | IN_DELETE_SELF) >= 0;
        if (QDir(folder).isRoot())
            break;
    }
    if (!watched) {
        ::close(fd);
        return;
    }
    m_fd = fd;
    // Counted before signals are asked for, so that an event from here on is looked for; one
    // that came before them is found by the read the first question then makes.
    m_signalsSeen = g_signals.load(std::memory_order_acquire) - 1;
    m_signalled = SignalEvents(fd);
#else
    Q_UNUSED(path);
#endif
}

bool NameWatch::Stirred()
{
    if (m_fd < 0)
        return true;
#if defined(Q_OS_LINUX)
    if (m_signalled) {
        const unsigned count = g_signals.load(std::memory_order_acquire);
        if (count == m_signalsSeen)
            return false;
        // Some watch of the process had an event: this one reads whether it was its own.
        m_signalsSeen = count;
    }
    // Any event at all (the queue overflowing included) sends the caller to look the name up.
    alignas(struct inotify_event) char events[4096];
    bool stirred = false;
    while (::read(m_fd, events, sizeof events) > 0)
        stirred = true;
    return stirred;
#else
    return true;
#endif
}

}  // namespace platform::disk
