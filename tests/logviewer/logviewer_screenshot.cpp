// Renders the log window with a day of requests into a picture, on any platform (the
// offscreen one included):  logviewer-screenshot docs/lodrevin-window.png
#include "ViewerTestSupport.h"

#include "clock/Clock.h"

#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lodrevin"));
    if (argc < 2) {
        std::fprintf(stderr, "usage: logviewer-screenshot <file.png>\n");
        return 2;
    }
    QTemporaryDir home;
    fixtures::IsolateUserSettings(home.path() + QStringLiteral("/config"));
    viewertest::Installation installation;

    const QDate day(2024, 3, 12);
    const QStringList actions = {"Login", "CompanyList", "DashBoard", "AccountSummary", "AccountLedger", "Outstanding",
                                 "ItemList", "Document", "Order", "PartyList"};
    const QStringList mobiles = {"9810000001", "9820000002", "9830000003", "9840000004"};
    QList<viewertest::LoggedRequest> requests;
    for (int i = 0; i < 40; ++i) {
        const QDateTime at(day, QTime(9, 0).addSecs(i * 397));
        const QString action = actions.at(i % actions.size());
        const QString mobile = mobiles.at((i / 3) % mobiles.size());
        const bool login = action == QStringLiteral("Login");
        const QString request = viewertest::RequestText(action, mobile, login ? QString() : QStringLiteral("PEMO"),
                                                        login || action == QStringLiteral("CompanyList") ? QString() : QStringLiteral("TESTCO"));
        const QString reply = QStringLiteral("{\"Action\":\"%1\",\"MobileNo\":\"%2\",\"Status\":1,\"Message\":\"Success\"}<EOF>")
                                  .arg(action, mobile);
        requests.append({at, QStringLiteral("192.168.1.%1").arg(20 + (i / 3) % mobiles.size()), request,
                         i == 39 ? QDateTime() : at.addMSecs(350 + 40 * (i % 7)), reply});
    }
    installation.Log(requests);

    platform::Clock::Set(QDateTime(day, QTime(17, 30)));
    QTemporaryDir lock;
    auto window = viewertest::MakeWindow(installation.ProgramFolder(), lock.path());
    if (!viewertest::StartWindow(*window))
        return 1;
    window->Command(1)->click();
    window->Grid()->setFocus();
    QTest::qWait(100);
    const QPixmap picture = window->grab();
    if (!picture.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
