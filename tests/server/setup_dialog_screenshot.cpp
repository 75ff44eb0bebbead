// Draws the server's setup dialog at its default size, with a few mobiles and companies, into a
// picture; run it on an X display to see the dialog as a desktop shows it:
//   xvfb-run -a build/tests/server/setup-dialog-screenshot docs/setup-dialog.png
#include "SetupDialogTestSupport.h"

#include <QPixmap>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvantis"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    if (argc < 2) {
        std::fprintf(stderr, "usage: setup-dialog-screenshot <file.png>\n");
        return 2;
    }
    QTemporaryDir home;
    fixtures::IsolateUserSettings(home.path() + QStringLiteral("/config"));
    clsSetup setup(home.path());
    setup.GetSettings();  // the defaults, then the demo's mode: listening on port 1175, started at once
    setup.lStaticIP = true;
    setup.lAutoStart = true;
    using setuptest::AddMobileRow;
    AddMobileRow(setup.xMobiles, QStringLiteral("9999999999"), QStringLiteral("35-209900-176148-1"), QStringLiteral("DEMO2026"));
    AddMobileRow(setup.xMobiles, QStringLiteral("919822012345"), QStringLiteral("86-451203-338817-4"),
                 QStringLiteral("DEMO2026|SAHY2026"));
    AddMobileRow(setup.xMobiles, QStringLiteral("9876500011"), QString(), QString(), true);
    const QDateTime start(QDate(2026, 4, 1), QTime(0, 0)), end(QDate(2027, 3, 31), QTime(0, 0));
    fixtures::ListCompany(setup.xCompanies, QStringLiteral("DEMO2026"), QStringLiteral("Calder Demo Traders"), start, end);
    fixtures::ListCompany(setup.xCompanies, QStringLiteral("SAHY2026"), QStringLiteral("Sahyadri Agro Products Pvt Ltd"), start, end);
    fixtures::ListCompany(setup.xCompanies, QStringLiteral("DEMO2025"), QStringLiteral("Calder Demo Traders"),
                          start.addYears(-1), end.addYears(-1));

    frmMobileClientSetup dialog(setup);
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        return 1;
    QTest::qWait(200);
    const QPixmap picture = dialog.grab();
    if (!picture.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    std::printf("%dx%d\n", dialog.width(), dialog.height());
    return 0;
}
