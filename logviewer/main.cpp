#include "clock/TimeZone.h"
#include "process/StopSignals.h"
#include "frmTessarinMobileLog.h"

#include <QApplication>

int main(int argc, char** argv)
{
    platform::KeepTimeZoneLoaded();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lodrevin"));
    QApplication::setApplicationVersion(QStringLiteral(LODREVIN_VERSION));
    // The window decides when the program ends (its close or a refused start-up).
    QApplication::setQuitOnLastWindowClosed(false);

    // A stop signal that comes while the window loads waits for the event loop.
    platform::StopSignals stopSignals;
    frmTessarinMobileLog window;
    if (window.IsUnloaded())
        return window.ExitCode();
    QObject::connect(&stopSignals, &platform::StopSignals::Received, &window, &frmTessarinMobileLog::CloseFromOutside);
    QObject::connect(&window, &frmTessarinMobileLog::Unloaded, &app,
                     [](int exitCode) { QCoreApplication::exit(exitCode); }, Qt::QueuedConnection);
    window.show();
    return app.exec();
}
