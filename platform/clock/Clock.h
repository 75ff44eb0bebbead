#pragma once

#include <QDate>
#include <QDateTime>

namespace platform {

// The one source of "now" and "today" for the whole program. Tests set it; the program
// reads it. When the environment variable CORVANTIS_CLOCK_FILE names a file, its first line
// ("yyyy-MM-ddTHH:mm:ss") is the current time, re-read on every call, so a test can move the
// clock of a running program.
class Clock {
public:
    static QDateTime Now();
    static QDate Today();

    // Fixes the time for this process (a test's clock); an invalid value lets it run again.
    static void Set(const QDateTime& now);
    static void Reset();
};

}  // namespace platform
