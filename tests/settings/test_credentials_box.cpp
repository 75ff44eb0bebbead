// The message both programs show at start when no SQL Server name is stored, in a real message
// box on an X display with a window manager: each command it names stands whole on a line of
// its own, so that it can be read and typed as it stands.
#include "Fixtures.h"
#include "MsgBox.h"
#include "clsSetup.h"

#include <QApplication>
#include <QLabel>
#include <QScopeGuard>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestCredentialsBox : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;
    QTemporaryDir m_program;

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        fixtures::IsolateUserSettings(m_config.path());
        qputenv("CORVANTIS_MESSAGE_BOXES", "show");
    }

    // At the desktop's usual font sizes, a small and a large one.
    void commandsStandWhole_data()
    {
        QTest::addColumn<int>("points");
        QTest::newRow("9 points") << 9;
        QTest::newRow("12 points") << 12;
    }
    void commandsStandWhole()
    {
        QFETCH(int, points);
        const QFont before = QApplication::font();
        QFont font = before;
        font.setPointSize(points);
        QApplication::setFont(font);
        const auto restore = qScopeGuard([&] { QApplication::setFont(before); });
        clsSetup setup(m_program.path());
        QString message;
        connect(&setup, &clsSetup::Message, this,
                [&](const QString&, const QString&, qint32, const QString& text, qint32 style, qint32, bool*, bool) {
                    message = text;
                    MsgBox::Show(nullptr, text, style, QStringLiteral("Tessarin Mobile SQL Log"));
                });

        // The box as it stands on the screen: the width its text is laid out in.
        int labelWidth = -1;
        QFont labelFont;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            if (const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
                labelWidth = label->contentsRect().width();
                labelFont = label->font();
            }
            box->accept();
        });
        watch.start(50);
        QVERIFY(!setup.GetCompanyList());
        watch.stop();
        QVERIFY2(message.contains(QStringLiteral("No SQL Server name is stored")), qPrintable(message));

        const QStringList lines = message.split(QStringLiteral("\r\n"));
        const QStringList commands = lines.filter(QStringLiteral("corvantis-credentials"));
        QCOMPARE(commands, QStringList({"corvantis-credentials set --server <host> --user <login> --password -",
                                        "corvantis-credentials set --sqlite <folder>"}));
        QVERIFY(labelWidth > 0);
        const QFontMetrics metrics(labelFont);
        for (const QString& command : commands)
            QVERIFY2(metrics.horizontalAdvance(command) <= labelWidth,
                     qPrintable(QStringLiteral("%1 needs %2 of %3").arg(command).arg(metrics.horizontalAdvance(command)).arg(labelWidth)));
    }
};

QTEST_MAIN(TestCredentialsBox)
#include "test_credentials_box.moc"
