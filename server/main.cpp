#include "clock/TimeZone.h"
#include "frmTessarinMobileClient.h"

#include <QApplication>

int main(int argc, char** argv)
{
    platform::KeepTimeZoneLoaded();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvantis"));
    QApplication::setApplicationVersion(QStringLiteral(CORVANTIS_VERSION));
    // The window decides when the program ends (its close or a refused start-up).
    QApplication::setQuitOnLastWindowClosed(false);

    frmTessarinMobileClient window;
    if (window.IsUnloaded())
        return window.ExitCode();
    QObject::connect(&window, &frmTessarinMobileClient::Unloaded, &app,
                     [](int exitCode) { QCoreApplication::exit(exitCode); }, Qt::QueuedConnection);
    window.show();
    return app.exec();
}
