#include "clock/TimeZone.h"
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

    frmTessarinMobileLog window;
    if (window.IsUnloaded())
        return window.ExitCode();
    QObject::connect(&window, &frmTessarinMobileLog::Unloaded, &app,
                     [](int exitCode) { QCoreApplication::exit(exitCode); }, Qt::QueuedConnection);
    window.show();
    return app.exec();
}
