#include "clock/TimeZone.h"
#include "process/Memory.h"
#include "process/StopSignals.h"
#include "frmTessarinMobileClient.h"

#include <QApplication>

#include <sys/resource.h>

int main(int argc, char** argv)
{
    platform::KeepTimeZoneLoaded();
    platform::KeepMemoryForReplies();
    // Every connection takes a file descriptor: the soft limit of open files is raised to the
    // hard limit.
    struct rlimit files {};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &files);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvantis"));
    QApplication::setApplicationVersion(QStringLiteral(CORVANTIS_VERSION));
    // The window decides when the program ends (its close or a refused start-up).
    QApplication::setQuitOnLastWindowClosed(false);

    // A stop signal that comes while the window loads waits for the event loop.
    platform::StopSignals stopSignals;
    frmTessarinMobileClient window;
    if (window.IsUnloaded())
        return window.ExitCode();
    QObject::connect(&stopSignals, &platform::StopSignals::Received, &window, &frmTessarinMobileClient::CloseFromOutside);
    QObject::connect(&window, &frmTessarinMobileClient::Unloaded, &app,
                     [](int exitCode) { QCoreApplication::exit(exitCode); }, Qt::QueuedConnection);
    window.show();
    return app.exec();
}
