#include "StopSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {
// The pipe's ends; written by the handler, read on the thread of the event loop.
int g_pipe[2] = {-1, -1};
std::atomic<bool> g_stopping{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the handler may only touch lock-free atomics");

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Runs on whatever thread the system picked, between any two instructions of it: only
// async-signal-safe calls here.
void OnStopSignal(int number)
{
    if (g_stopping.exchange(true))
        ::_exit(128 + number);
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}
}  // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent)
{
    if (g_pipe[0] < 0 && ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StopSignals::ReadPipe);
    for (const int number : kStopSignals) {
        // A hang-up ignored at start is nohup's request to outlive the terminal. SIGINT and
        // SIGTERM are taken all the same: a shell starts a script's background jobs with SIGINT
        // ignored, and a kill -INT sent to such a server on purpose must still close it.
        struct sigaction before {};
        if (::sigaction(number, nullptr, &before) != 0 || (number == SIGHUP && before.sa_handler == SIG_IGN))
            continue;
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        for (const int other : kStopSignals)
            sigaddset(&action.sa_mask, other);
        if (::sigaction(number, &action, nullptr) == 0)
            m_taken << number;
    }
}

StopSignals::~StopSignals()
{
    // From here a stop signal ends the program as it would without this object.
    for (const int number : std::as_const(m_taken)) {
        struct sigaction action {};
        action.sa_handler = SIG_DFL;
        sigemptyset(&action.sa_mask);
        ::sigaction(number, &action, nullptr);
    }
}

void StopSignals::ReadPipe()
{
    unsigned char bytes[16];
    ssize_t got = 0;
    int first = 0;
    while ((got = ::read(g_pipe[0], bytes, sizeof bytes)) > 0 || (got < 0 && errno == EINTR)) {
        if (got > 0 && first == 0)
            first = bytes[0];
    }
    if (first != 0)
        emit Received(first);
}

}  // namespace platform
