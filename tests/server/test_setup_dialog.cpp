// Window tests of the setup dialog: the real dialog on a real clsSetup whose settings file
// lives in a temporary folder, driven through its widgets on the offscreen platform.

#include "SetupDialogTestSupport.h"
#include "WidgetCaptions.h"
#include "table/XArrayDBModel.h"

#include <QDir>
#include <QGroupBox>
#include <QTimer>

#include <algorithm>

using namespace setuptest;

class TestSetupDialog : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_config;

private slots:
    void initTestCase()
    {
        // The constructor of clsSetup reads the credentials from the per-user store.
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        QCoreApplication::setApplicationVersion(QStringLiteral("3.4.5"));
    }

    void showsSettingsWithCaptionsAndTips()
    {
        Installation inst;
        Dialog d(*inst.setup);
        QCOMPARE(d.dlg.windowTitle(), QStringLiteral("Tessarin Mobile SQL Client Setup (3.4.5)"));

        const QList<std::tuple<QWidget*, QString, QString>> controls = {
            {d.check(0), "Static IP Address : ", "Click & Select if you have Static IP Address."},
            {d.check(1), "Only Current Year :", "Click & Select if you want to allow only current year company."},
            {d.check(2), "Auto Accept connection when Application Starts :",
             "Click & Select if you want to automatically accept connection when application starts."},
            {d.label(0), "Local Port : ", "Enter Local Port to Accept Incomming Connection."},
            {d.label(1), "Server IP Address : ", "Enter Mobile Server IP Address to connect."},
            {d.label(2), "Server Port : ", "Enter Mobile Server Remote Port to Connect."},
            {d.label(4), "Block IPs : ", "Enter IP Address or it's initial address seperated by comma to be blocked."},
            {d.command(1), "Save Settings", "Click to Save Settings"},
            {d.command(0), "Cancel Settings", "Click to Cancel Settings Changed"},
        };
        for (const auto& [widget, caption, tip] : controls) {
            QVERIFY(widget);
            const QString shown = qobject_cast<QLabel*>(widget) ? qobject_cast<QLabel*>(widget)->text()
                                                                : qobject_cast<QAbstractButton*>(widget)->text();
            QCOMPARE(shown, caption);
            QCOMPARE(widget->toolTip(), tip);
        }
        for (int i : {0, 1, 2, 4})
            QCOMPARE(d.text(i)->toolTip(), d.label(i)->toolTip());

        QStringList headings;
        for (QGroupBox* box : d.dlg.findChildren<QGroupBox*>())
            headings << widgettest::ShownCaption(box);
        QCOMPARE(headings, QStringList({"Select Folder Location to allow access", "Select Company Allowed to Mobile",
                                        "Enter Mobile No. & It's IMEINo to be allowed to access data."}));
        auto headers = [](QTableView* v) {
            QStringList out;
            for (int c = 0; c < v->model()->columnCount(); ++c)
                out << v->model()->headerData(c, Qt::Horizontal).toString();
            return out;
        };
        QCOMPARE(headers(d.mobiles()),
                 QStringList({"Mobile No", "IMEI No. / Device ID", "Allowed Companies", "Locked", "Last Status"}));
        QCOMPARE(headers(d.companies()),
                 QStringList({"Selected", "Company Name", "Start Date", "Last Date", "Database Name"}));
        QCOMPARE(headers(d.grid(QStringLiteral("TDBGrid(0)"))), QStringList({"Selected", "Location"}));

        // The settings in the controls, and listening mode enabling the local port and leaving
        // the server's address and port disabled; the Dongle No. is open in either mode.
        QVERIFY(d.check(0)->isChecked());
        QVERIFY(d.check(1)->isChecked());
        QVERIFY(!d.check(2)->isChecked());
        QCOMPARE(d.text(0)->text(), QStringLiteral("1175"));
        QCOMPARE(d.text(1)->text(), QStringLiteral("192.168.1.200"));
        QCOMPARE(d.text(2)->text(), QStringLiteral("3175"));
        QCOMPARE(d.text(3)->text(), QStringLiteral("D-1"));
        QVERIFY(d.text(0)->isEnabled() && d.label(0)->isEnabled());
        for (int i = 1; i <= 2; ++i)
            QVERIFY(!d.text(i)->isEnabled() && !d.label(i)->isEnabled());
        QVERIFY(d.text(3)->isEnabled() && d.label(3)->isEnabled());
        QCOMPARE(d.mobiles()->model()->rowCount(), 2);
        QCOMPARE(d.companies()->model()->data(d.companies()->model()->index(0, 2)).toString(), QStringLiteral("2024-04-01"));

        Installation relay(false);
        Dialog r(*relay.setup);
        QCOMPARE(r.check(2)->text(), QStringLiteral("Auto Login to Server when Application Starts :"));
        QCOMPARE(r.check(2)->toolTip(),
                 QStringLiteral("Click & Select if you want to automatically Login to Server when application starts."));
        QVERIFY(!r.text(0)->isEnabled());
        for (int i = 1; i <= 3; ++i)
            QVERIFY(r.text(i)->isEnabled());
        QVERIFY(r.shown.isEmpty());
    }

    // Leaving a field runs its test; a failed test keeps the focus in the field.
    void fieldTests_data()
    {
        QTest::addColumn<bool>("listening");
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("stays");
        QTest::addColumn<QString>("after");

        const QStringList none;
        QTest::newRow("port unchanged") << true << 0 << "1175" << none << false << "1175";
        QTest::newRow("port trimmed") << true << 0 << " 1175 " << none << false << "1175";
        QTest::newRow("port 0080") << true << 0 << "0080" << QStringList{kConfirm} << false << "0080";
        QTest::newRow("port 80") << true << 0 << "80" << QStringList{kPortMessage} << true << "80";
        QTest::newRow("port 65535") << true << 0 << "65535" << QStringList{kConfirm} << false << "65535";
        QTest::newRow("port 65536") << true << 0 << "65536" << QStringList{kPortRange} << true << "65536";
        QTest::newRow("port 0") << true << 0 << "0" << QStringList{kPortMessage} << true << "0";
        QTest::newRow("port 00000") << true << 0 << "00000" << QStringList{kPortRange} << true << "00000";
        QTest::newRow("port negative") << true << 0 << "-1175" << QStringList{kPortRange} << true << "-1175";
        QTest::newRow("port fraction") << true << 0 << "1175.5" << QStringList{kPortMessage} << true << "1175.5";
        QTest::newRow("port letters") << true << 0 << "11a5" << QStringList{kPortMessage} << true << "11a5";
        QTest::newRow("port blank") << true << 0 << "" << QStringList{kPortMessage} << true << "";
        QTest::newRow("server port unchanged") << false << 2 << "3175" << none << false << "3175";
        QTest::newRow("server port changed") << false << 2 << "3176" << QStringList{kConfirm} << false << "3176";
        QTest::newRow("server port out of range") << false << 2 << "70000" << QStringList{kPortRange, kConfirm} << true << "70000";
        QTest::newRow("address unchanged") << false << 1 << "192.168.1.200" << none << false << "192.168.1.200";
        QTest::newRow("address changed") << false << 1 << "10.0.0.1" << QStringList{kConfirm} << false << "10.0.0.1";
        QTest::newRow("address three parts") << false << 1 << "10.0.0" << QStringList{kFormat, kConfirm} << true << "10.0.0";
        QTest::newRow("address five parts") << false << 1 << "10.0.0.1.2" << QStringList{kFormat, kConfirm} << true << "10.0.0.1.2";
        QTest::newRow("address 256") << false << 1 << "10.0.0.256" << QStringList{kRange, kConfirm} << true << "10.0.0.256";
        QTest::newRow("address space") << false << 1 << "10.0. 0.1" << QStringList{kSpace, kConfirm} << true << "10.0. 0.1";
        QTest::newRow("address empty part") << false << 1 << "10..0.1" << QStringList{kSpace, kConfirm} << true << "10..0.1";
        QTest::newRow("address sign") << false << 1 << "10.+0.0.1" << QStringList{kSpace, kConfirm} << true << "10.+0.0.1";
        QTest::newRow("address negative") << false << 1 << "10.-1.0.1" << QStringList{kRange, kConfirm} << true << "10.-1.0.1";
        QTest::newRow("address huge part") << false << 1 << "10.99999999999.0.1" << QStringList{kRange, kConfirm} << true
                                           << "10.99999999999.0.1";
        QTest::newRow("address minus alone") << false << 1 << "10.-.0.1" << QStringList{kSpace, kConfirm} << true << "10.-.0.1";
        QTest::newRow("dongle blank") << false << 3 << "   " << QStringList{kDongle} << true << "";
        QTest::newRow("dongle trimmed") << false << 3 << "  D-2 " << none << false << "D-2";
        QTest::newRow("block list trimmed") << true << 4 << " 10.0. " << none << false << "10.0.";
    }
    void fieldTests()
    {
        QFETCH(bool, listening);
        QFETCH(int, box);
        QFETCH(QString, typed);
        QFETCH(QStringList, messages);
        QFETCH(bool, stays);
        QFETCH(QString, after);

        Installation inst(listening);
        Dialog d(*inst.setup);
        QVERIFY(d.open());
        d.type(box, typed);
        QCOMPARE(d.texts(), messages);
        for (const Request& r : d.shown) {
            QVERIFY(r.title.isEmpty());  // no title of their own
            QCOMPARE(r.icon, QMessageBox::Warning);
            if (r.text == kConfirm) {
                QCOMPARE(r.buttons, QMessageBox::Ok | QMessageBox::Cancel);
                QCOMPARE(r.defaultButton, QMessageBox::Cancel);
            } else {
                QCOMPARE(r.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
            }
        }
        QCOMPARE(QApplication::focusWidget(), stays ? static_cast<QWidget*>(d.text(box)) : static_cast<QWidget*>(d.check(1)));
        QCOMPARE(d.text(box)->text(), after);
        // Nothing typed reaches the settings in use before Save.
        QCOMPARE(inst.setup->cLocalPort, QStringLiteral("1175"));
        QCOMPARE(inst.setup->cRemoteIP, QStringLiteral("192.168.1.200"));
        QCOMPARE(inst.setup->cRemotePort, QStringLiteral("3175"));
        QCOMPARE(inst.setup->cDongleNo, QStringLiteral("D-1"));
    }

    void connectionQuestionCancelKeepsFocus()
    {
        Installation inst;
        Dialog d(*inst.setup);
        QVERIFY(d.open());
        QVERIFY(!d.dlg.SettingChanged());
        d.answers << QMessageBox::Cancel;
        d.type(0, QStringLiteral("1176"), d.text(4));
        QCOMPARE(d.texts(), QStringList{kConfirm});
        QCOMPARE(QApplication::focusWidget(), d.text(0));
        QCOMPARE(d.text(0)->text(), QStringLiteral("1176"));
        QVERIFY(d.dlg.SettingChanged());

        // Leaving it again asks again; OK lets the focus go.
        d.shown.clear();
        d.text(4)->setFocus();
        QCOMPARE(d.texts(), QStringList{kConfirm});
        QCOMPARE(QApplication::focusWidget(), d.text(4));
    }

    void checkBoxClicks()
    {
        Installation inst;
        Dialog d(*inst.setup);
        QVERIFY(d.open());

        // Switching to relay mode, cancelled: the box and the controls stay in listening mode.
        d.answers << QMessageBox::Cancel;
        ClickBox(d.check(0));
        QCOMPARE(d.texts(), QStringList{kConfirm});
        QVERIFY(d.check(0)->isChecked());
        QVERIFY(d.text(0)->isEnabled());
        QVERIFY(!d.text(1)->isEnabled());
        QCOMPARE(d.check(2)->text(), QStringLiteral("Auto Accept connection when Application Starts :"));
        QVERIFY(d.dlg.SettingChanged());

        // Confirmed: relay mode, its fields and caption.
        d.shown.clear();
        ClickBox(d.check(0));
        QCOMPARE(d.texts(), QStringList{kConfirm});
        QVERIFY(!d.check(0)->isChecked());
        QVERIFY(!d.text(0)->isEnabled());
        for (int i = 1; i <= 3; ++i)
            QVERIFY(d.text(i)->isEnabled());
        QCOMPARE(d.check(2)->text(), QStringLiteral("Auto Login to Server when Application Starts :"));

        // Back to the stored mode: no question.
        d.shown.clear();
        ClickBox(d.check(0));
        QVERIFY(d.shown.isEmpty());
        QVERIFY(d.check(0)->isChecked());

        // The other two boxes mark the settings changed when they differ from the stored value.
        Dialog e(*inst.setup);
        QVERIFY(e.open());
        ClickBox(e.check(2));
        QVERIFY(e.dlg.SettingChanged());
        QVERIFY(e.shown.isEmpty());
        Dialog f(*inst.setup);
        QVERIFY(f.open());
        ClickBox(f.check(1));
        QVERIFY(f.dlg.SettingChanged());
        // A value set by code is no click.
        Dialog g(*inst.setup);
        g.check(1)->setChecked(false);
        QVERIFY(!g.dlg.SettingChanged());
    }

    // Save refuses values that fail their tests; none of them reaches the settings in use.
    void saveRefuses_data()
    {
        QTest::addColumn<bool>("listening");
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("mobileNos");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("captionTitle");

        const QStringList good{"9876543210"};
        QTest::newRow("port out of range, box not left") << true << 0 << "99999" << good << kPortRange << false;
        QTest::newRow("server port zero") << false << 2 << "0" << good << kPortMessage << false;
        QTest::newRow("server address") << false << 1 << "300.1.1.1" << good << kRange << false;
        QTest::newRow("dongle blank in relay mode") << false << 3 << "" << good << kDongle << false;
        QTest::newRow("no mobiles") << true << -1 << "" << QStringList() << kNoMobiles << true;
        QTest::newRow("blank mobile") << true << -1 << "" << QStringList{"9876543210", "  "} << kBadMobile << true;
        QTest::newRow("space inside") << true << -1 << "" << QStringList{"98765 43210"} << kBadMobile << true;
        QTest::newRow("nine digits") << true << -1 << "" << QStringList{"987654321"} << kBadMobile << true;
        QTest::newRow("letters") << true << -1 << "" << QStringList{"98765abcde"} << kBadMobile << true;
    }
    void saveRefuses()
    {
        QFETCH(bool, listening);
        QFETCH(int, box);
        QFETCH(QString, typed);
        QFETCH(QStringList, mobileNos);
        QFETCH(QString, message);
        QFETCH(bool, captionTitle);

        Installation inst(listening);
        inst.setup->xMobiles.Clear();
        for (const QString& no : mobileNos)
            AddMobileRow(inst.setup->xMobiles, no, QString(), QString());
        QVERIFY(inst.setup->SaveSettings());
        const QByteArray before = ReadFile(inst.file());

        Dialog d(*inst.setup);
        QVERIFY(d.open());
        d.answers << QMessageBox::Ok << QMessageBox::Ok << QMessageBox::Ok;
        if (box >= 0) {
            d.text(box)->setFocus();
            d.text(box)->setText(typed);  // still in the box when Save is clicked
        }
        // Something else changed as well, so that a refused save cannot pass unnoticed.
        d.text(4)->setText(QStringLiteral("10.9."));
        QTest::mouseClick(d.command(1), Qt::LeftButton);

        const auto found = std::find_if(d.shown.cbegin(), d.shown.cend(), [&](const Request& r) { return r.text == message; });
        QVERIFY2(found != d.shown.cend(), qPrintable(d.texts().join(" / ")));
        QCOMPARE(found->icon, QMessageBox::Warning);
        QCOMPARE(found->title, captionTitle ? d.dlg.windowTitle() : QString());
        QVERIFY(d.dlg.isVisible());
        QCOMPARE(d.dlg.result(), int(QDialog::Rejected));
        QCOMPARE(inst.setup->cLocalPort, QStringLiteral("1175"));
        QCOMPARE(inst.setup->cRemoteIP, QStringLiteral("192.168.1.200"));
        QCOMPARE(inst.setup->cRemotePort, QStringLiteral("3175"));
        QCOMPARE(inst.setup->cDongleNo, QStringLiteral("D-1"));
        QCOMPARE(inst.setup->cBlockIPs, QString());
        QVERIFY(!inst.setup->lConnectionParemeterChanged);
        QCOMPARE(ReadFile(inst.file()), before);
        if (box >= 0)
            QCOMPARE(QApplication::focusWidget(), d.text(box));
    }

    void saveIsWrittenAndReadBack()
    {
        Installation inst;
        Dialog d(*inst.setup);
        QVERIFY(d.open());
        QStringList saved;
        connect(inst.setup.get(), &clsSetup::Message, this,
                [&](const QString&, const QString&, qint32, const QString& text, qint32, qint32, bool*, bool) { saved << text; });

        ClickBox(d.check(0));  // relay mode, confirmed
        d.type(1, QStringLiteral(" 010.000.000.001 "));
        d.type(2, QStringLiteral("04000"));
        d.type(3, QStringLiteral("  D-100 "));
        d.text(4)->setText(QStringLiteral(" 10.0. , 192.168.1.5,"));
        ClickBox(d.check(1));
        ClickBox(d.check(2));
        d.shown.clear();
        QTest::mouseClick(d.command(1), Qt::LeftButton);

        QVERIFY2(d.shown.isEmpty(), qPrintable(d.texts().join(" / ")));
        QVERIFY(!d.dlg.isVisible());
        QCOMPARE(d.dlg.result(), int(QDialog::Accepted));
        QCOMPARE(saved, QStringList{"Settings saved successfully."});
        QVERIFY(inst.setup->lConnectionParemeterChanged);
        QVERIFY(!inst.setup->lSettingChanged);

        clsSetup reread(inst.dir.path());
        QVERIFY(reread.GetSettings());
        QVERIFY(reread.lSettingFound);
        QVERIFY(!reread.lStaticIP);
        QCOMPARE(reread.cLocalPort, QStringLiteral("1175"));
        QCOMPARE(reread.cRemoteIP, QStringLiteral("10.0.0.1"));
        QCOMPARE(reread.cRemotePort, QStringLiteral("04000"));  // as typed, which the port rule takes again
        QCOMPARE(reread.cDongleNo, QStringLiteral("D-100"));
        QCOMPARE(reread.cBlockIPs, QStringLiteral("10.0.,192.168.1.5"));
        QVERIFY(reread.IsIPBlocked(QStringLiteral("192.168.1.50")));
        QVERIFY(!reread.IsIPBlocked(QStringLiteral("10.1.0.1")));
        QVERIFY(!reread.lCurrentYearOnly);
        QVERIFY(reread.lAutoStart);
        QCOMPARE(Column(reread.xMobiles, 0), QStringList({"9876543210", "9123456789"}));
        QCOMPARE(Column(reread.xMobiles, 1), QStringList({"IMEI-1", ""}));
    }

    void exec_returnsWhetherSaved()
    {
        Installation inst;
        for (bool save : {true, false}) {
            frmMobileClientSetup* open = nullptr;
            QTimer::singleShot(0, [&] {
                open = qobject_cast<frmMobileClientSetup*>(QApplication::activeModalWidget());
                QVERIFY(open);
                open->MessageHook = [](const Request&) { return QMessageBox::Yes; };
                open->findChild<QPushButton*>(QString::fromLatin1(save ? "Command(1)" : "Command(0)"))->click();
            });
            QCOMPARE(frmMobileClientSetup::GetSetting(*inst.setup), save);
            QVERIFY(open);
        }
    }

    // The window closes the connections after a save exactly when a connection parameter
    // really changed.
    void connectionParameterFlag_data()
    {
        QTest::addColumn<bool>("listening");
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("toggleMode");
        QTest::addColumn<bool>("changed");

        QTest::newRow("nothing") << true << -1 << "" << false << false;
        QTest::newRow("local port") << true << 0 << "1176" << false << true;
        QTest::newRow("local port, same number") << true << 0 << "01175" << false << false;
        QTest::newRow("mode to relay") << true << -1 << "" << true << true;
        QTest::newRow("mode to listening") << false << -1 << "" << true << true;
        QTest::newRow("server address") << false << 1 << "192.168.1.201" << false << true;
        QTest::newRow("server address, same parts") << false << 1 << "192.168.001.200" << false << false;
        QTest::newRow("server port") << false << 2 << "3176" << false << true;
        QTest::newRow("dongle only") << false << 3 << "D-9" << false << false;
        QTest::newRow("block list only") << true << 4 << "10.0." << false << false;
    }
    void connectionParameterFlag()
    {
        QFETCH(bool, listening);
        QFETCH(int, box);
        QFETCH(QString, typed);
        QFETCH(bool, toggleMode);
        QFETCH(bool, changed);

        Installation inst(listening);
        Dialog d(*inst.setup);
        QVERIFY(d.open());
        if (toggleMode)
            ClickBox(d.check(0));
        if (box >= 0)
            d.type(box, typed);
        QTest::mouseClick(d.command(1), Qt::LeftButton);
        QCOMPARE(d.dlg.result(), int(QDialog::Accepted));
        QCOMPARE(inst.setup->lConnectionParemeterChanged, changed);
        QCOMPARE(d.texts().contains(kConfirm), changed);  // asked exactly when it changed

        // The window clears the flag once it has acted on it; a later save that changes
        // nothing leaves it clear.
        inst.setup->lConnectionParemeterChanged = false;
        Dialog again(*inst.setup);
        QVERIFY(again.open());
        QTest::mouseClick(again.command(1), Qt::LeftButton);
        QCOMPARE(again.dlg.result(), int(QDialog::Accepted));
        QVERIFY(!inst.setup->lConnectionParemeterChanged);
    }

    void addAndEditMobiles()
    {
        Installation inst;
        Dialog d(*inst.setup);
        QVERIFY(d.open());

        // A new row, with the cursor in its mobile number.
        QTest::mouseClick(d.get<QPushButton>(QStringLiteral("cmdAddMobile")), Qt::LeftButton);
        QCOMPARE(d.mobiles()->model()->rowCount(), 3);
        QCOMPARE(d.dlg.CurrentMobileRow(), 2);
        QVERIFY(d.dlg.SettingChanged());
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral(" 9000000001 "));
        QCOMPARE(inst.setup->xMobiles.RowCount(), 2);  // not in use before Save

        // Saving with the editor still open takes what it holds.
        QTest::mouseClick(d.command(1), Qt::LeftButton);
        QCOMPARE(d.dlg.result(), int(QDialog::Accepted));
        QCOMPARE(Column(inst.setup->xMobiles, 0), QStringList({"9876543210", "9123456789", "9000000001"}));

        // Editing the IMEI number and the lock of an existing mobile in the grid.
        Dialog e(*inst.setup);
        QVERIFY(e.open());
        QAbstractItemModel* m = e.mobiles()->model();
        const QModelIndex imei = m->index(1, 1);
        e.mobiles()->setFocus();
        e.mobiles()->setCurrentIndex(imei);
        e.mobiles()->edit(imei);
        editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("IMEI-2"));
        QTest::keyClick(editor, Qt::Key_Return);
        QVERIFY(m->setData(m->index(1, 3), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(e.dlg.SettingChanged());
        QCOMPARE(inst.setup->xMobiles.Value(1, 1).toString(), QString());
        QTest::mouseClick(e.command(1), Qt::LeftButton);
        QCOMPARE(e.dlg.result(), int(QDialog::Accepted));

        clsSetup reread(inst.dir.path());
        QVERIFY(reread.GetSettings());
        QCOMPARE(Column(reread.xMobiles, 0), QStringList({"9876543210", "9123456789", "9000000001"}));
        QCOMPARE(reread.xMobiles.Value(1, 1).toString(), QStringLiteral("IMEI-2"));
        QCOMPARE(reread.xMobiles.Value(1, 3).toBool(), true);
        QCOMPARE(reread.xMobiles.Value(0, 3).toBool(), false);
    }

    void deleteMobile()
    {
        Installation inst;
        Dialog d(*inst.setup);
        QVERIFY(d.open());
        d.mobiles()->setFocus();
        d.selectMobile(0);

        // Ctrl with Shift is no delete key.
        QTest::keyClick(d.mobiles(), Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(d.shown.isEmpty());

        d.answers << QMessageBox::No;
        QTest::keyClick(d.mobiles(), Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(d.texts(), QStringList{kDeleteQuestion});
        QCOMPARE(d.shown[0].icon, QMessageBox::Question);
        QCOMPARE(d.shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(d.shown[0].defaultButton, QMessageBox::No);
        QVERIFY(d.shown[0].title.isEmpty());
        QCOMPARE(d.mobiles()->model()->rowCount(), 2);
        QVERIFY(!d.dlg.SettingChanged());

        d.answers << QMessageBox::Yes;
        QTest::keyClick(d.mobiles(), Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(d.mobiles()->model()->rowCount(), 1);
        QCOMPARE(Column(d.dlg.EditedMobiles(), 0), QStringList{"9123456789"});
        QCOMPARE(d.dlg.CurrentMobileRow(), 0);
        QCOMPARE(inst.setup->xMobiles.RowCount(), 2);  // not in use before Save

        // The button asks the same question; the last mobile deleted leaves no current row.
        QTest::mouseClick(d.get<QPushButton>(QStringLiteral("cmdDeleteMobile")), Qt::LeftButton);
        QCOMPARE(d.texts().last(), kDeleteQuestion);
        QCOMPARE(d.mobiles()->model()->rowCount(), 0);
        QCOMPARE(d.dlg.CurrentMobileRow(), -1);
        QVERIFY(!(d.companies()->model()->flags(d.companies()->model()->index(0, 0)) & Qt::ItemIsUserCheckable));
        QTest::keyClick(d.mobiles(), Qt::Key_D, Qt::ControlModifier);  // nothing to delete
        QCOMPARE(d.texts().count(kDeleteQuestion), 3);

        // Add one back and save: the file holds only it.
        QTest::mouseClick(d.get<QPushButton>(QStringLiteral("cmdAddMobile")), Qt::LeftButton);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("9555555555"));
        QTest::mouseClick(d.command(1), Qt::LeftButton);
        QCOMPARE(d.dlg.result(), int(QDialog::Accepted));
        clsSetup reread(inst.dir.path());
        QVERIFY(reread.GetSettings());
        QCOMPARE(Column(reread.xMobiles, 0), QStringList{"9555555555"});
    }

    void allowedCompaniesFromTheTicks()
    {
        Installation inst;
        AddMobileRow(inst.setup->xMobiles, QStringLiteral("9333333333"), QString(), QStringLiteral("pqr2024|GONE"));
        Dialog d(*inst.setup);
        QVERIFY(d.open());

        // The ticks stand for the current mobile.
        QCOMPARE(d.dlg.CurrentMobileRow(), 0);
        QCOMPARE(d.ticked(), QStringList({"ABC2024", "XYZ"}));
        d.selectMobile(1);
        QCOMPARE(d.ticked(), QStringList());
        d.selectMobile(2);
        QCOMPARE(d.ticked(), QStringList{"PQR2024"});  // any case; an unknown name is not shown

        // Ticking rewrites the current mobile's list from the ticks, in the list's order.
        d.tick(0, true);
        QCOMPARE(d.dlg.EditedMobiles().Value(2, 2).toString(), QStringLiteral("ABC2024|PQR2024"));
        QVERIFY(d.dlg.SettingChanged());
        QCOMPARE(d.mobiles()->model()->data(d.mobiles()->model()->index(2, 2)).toString(),
                 QStringLiteral("ABC2024|PQR2024"));
        d.selectMobile(1);
        d.tick(2, true);
        QCOMPARE(d.dlg.EditedMobiles().Value(1, 2).toString(), QStringLiteral("XYZ"));
        d.selectMobile(0);
        d.tick(0, false);
        d.tick(2, false);
        QCOMPARE(d.dlg.EditedMobiles().Value(0, 2).toString(), QString());

        // Leaving the company grid, or moving between rows, changes no list by itself.
        d.companies()->setFocus();
        d.mobiles()->setFocus();
        d.selectMobile(2);
        d.selectMobile(1);
        QCOMPARE(Column(d.dlg.EditedMobiles(), 2), QStringList({"", "XYZ", "ABC2024|PQR2024"}));
        QCOMPARE(Sorted(inst.setup->xMobiles.Value(0, 2).toString()), QStringList({"ABC2024", "XYZ"}));  // not in use yet

        QTest::mouseClick(d.command(1), Qt::LeftButton);
        QCOMPARE(d.dlg.result(), int(QDialog::Accepted));
        clsSetup reread(inst.dir.path());
        QVERIFY(reread.GetSettings());
        QCOMPARE(Sorted(reread.xMobiles.Value(0, 2).toString()), QStringList());
        QCOMPARE(Sorted(reread.xMobiles.Value(1, 2).toString()), QStringList{"XYZ"});
        QCOMPARE(Sorted(reread.xMobiles.Value(2, 2).toString()), QStringList({"ABC2024", "PQR2024"}));
        // The ticks are the dialog's own: the company list in use keeps its column clear.
        QCOMPARE(Column(inst.setup->xCompanies, 0), QStringList({"false", "false", "false"}));
    }

    // The company grid shows the companies found on the server; choosing another location
    // reads the list again when the locations grid is left.
    void companyListReadAgainWhenLocationsChange()
    {
        QTemporaryDir databases;
        auto abc = std::make_unique<fixtures::CompanyDatabase>(databases.path(), QStringLiteral("ABC2024"));
        abc->AddCompany(fixtures::CompanyRow{QStringLiteral("Abc Traders")});
        Installation inst;
        fixtures::PointSetupAt(*inst.setup, databases.path());
        QVERIFY(inst.setup->GetCompanyList());
        QCOMPARE(Column(inst.setup->xCompanies, 4), QStringList{"ABC2024"});
        const int loc = inst.setup->xLocations.AppendRow();
        inst.setup->xLocations.SetValue(loc, 0, false);
        inst.setup->xLocations.SetValue(loc, 1, QStringLiteral("D:\\Tessarin4"));

        Dialog d(*inst.setup);
        QVERIFY(d.open());
        QCOMPARE(d.ticked(), QStringList{"ABC2024"});

        auto pqr = std::make_unique<fixtures::CompanyDatabase>(databases.path(), QStringLiteral("XYZ"));
        pqr->AddCompany(fixtures::CompanyRow{QStringLiteral("Xyz Exports")});
        QTableView* locations = d.grid(QStringLiteral("TDBGrid(0)"));
        locations->setFocus();
        d.check(1)->setFocus();  // left without a change: the list on show stays
        QCOMPARE(d.companies()->model()->rowCount(), 1);

        locations->setFocus();
        QVERIFY(locations->model()->setData(locations->model()->index(0, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(d.dlg.SettingChanged());
        d.check(1)->setFocus();
        QCOMPARE(Column(d.dlg.EditedCompanies(), 4), QStringList({"ABC2024", "XYZ"}));
        QCOMPARE(d.ticked(), QStringList({"ABC2024", "XYZ"}));  // still the current mobile's
        QVERIFY(d.shown.isEmpty());

        QVERIFY(!inst.setup->xLocations.Value(loc, 0).toBool());  // the choice is not in use before Save
        QTest::mouseClick(d.command(1), Qt::LeftButton);
        QCOMPARE(d.dlg.result(), int(QDialog::Accepted));
        QVERIFY(inst.setup->xLocations.Value(loc, 0).toBool());
        QCOMPARE(inst.setup->GetAllowedLocations(), QStringLiteral("D:\\Tessarin4"));
    }

    void cancelAndClose_data()
    {
        QTest::addColumn<bool>("withChanges");
        QTest::newRow("without changes") << false;
        QTest::newRow("with changes") << true;
    }
    void cancelAndClose()
    {
        QFETCH(bool, withChanges);
        Installation inst;
        inst.setup->lSettingChanged = true;  // a mobile registered its IMEI before the dialog opened
        inst.setup->xMobiles.SetValue(1, 1, QStringLiteral("IMEI-NEW"));
        const QByteArray before = ReadFile(inst.file());

        auto change = [](Dialog& d) {
            d.type(0, QStringLiteral("1180"));
            QTest::mouseClick(d.get<QPushButton>(QStringLiteral("cmdAddMobile")), Qt::LeftButton);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("9444444444"));
            d.check(1)->setFocus();
            QVERIFY(d.dlg.SettingChanged());
            d.shown.clear();
        };

        // The Cancel button asks always; No keeps the dialog open.
        Dialog d(*inst.setup);
        QVERIFY(d.open());
        if (withChanges)
            change(d);
        d.answers << QMessageBox::No;
        QTest::mouseClick(d.command(0), Qt::LeftButton);
        QCOMPARE(d.texts(), QStringList{kCancelQuestion});
        QCOMPARE(d.shown[0].icon, QMessageBox::Question);
        QCOMPARE(d.shown[0].defaultButton, QMessageBox::No);
        QVERIFY(d.shown[0].title.isEmpty());
        QVERIFY(d.dlg.isVisible());
        // Yes closes without a second question.
        d.answers << QMessageBox::Yes;
        QTest::mouseClick(d.command(0), Qt::LeftButton);
        QCOMPARE(d.texts(), QStringList({kCancelQuestion, kCancelQuestion}));
        QVERIFY(!d.dlg.isVisible());
        QCOMPARE(d.dlg.result(), int(QDialog::Rejected));

        // Closing the window asks only when something was changed, with the caption as title.
        Dialog c(*inst.setup);
        QVERIFY(c.open());
        if (withChanges)
            change(c);
        c.answers << QMessageBox::No;
        c.dlg.close();
        QCOMPARE(c.texts(), withChanges ? QStringList{kCloseQuestion} : QStringList());
        QCOMPARE(c.dlg.isVisible(), withChanges);
        if (withChanges) {
            QCOMPARE(c.shown[0].title, c.dlg.windowTitle());
            QCOMPARE(c.shown[0].defaultButton, QMessageBox::No);
            c.answers << QMessageBox::Yes;
            QTest::keyClick(&c.dlg, Qt::Key_Escape);
            QCOMPARE(c.texts(), QStringList({kCloseQuestion, kCloseQuestion}));
            QVERIFY(!c.dlg.isVisible());
        }

        // The settings in use, the file, and the pending save of the registered IMEI are as before.
        QCOMPARE(inst.setup->cLocalPort, QStringLiteral("1175"));
        QCOMPARE(Column(inst.setup->xMobiles, 0), QStringList({"9876543210", "9123456789"}));
        QCOMPARE(inst.setup->xMobiles.Value(1, 1).toString(), QStringLiteral("IMEI-NEW"));
        QVERIFY(inst.setup->lSettingChanged);
        QVERIFY(!inst.setup->lConnectionParemeterChanged);
        QCOMPARE(ReadFile(inst.file()), before);
    }

    void dongleNoTypedInListeningMode()
    {
        Installation inst;  // listening mode
        Dialog d(*inst.setup);
        QVERIFY(d.open());
        d.text(3)->clear();
        d.text(3)->setFocus();
        QTest::keyClicks(d.text(3), QStringLiteral("D-8"));
        QCOMPARE(d.text(3)->text(), QStringLiteral("D-8"));
        QTest::mouseClick(d.command(1), Qt::LeftButton);
        QCOMPARE(d.dlg.result(), int(QDialog::Accepted));
        clsSetup reread(inst.dir.path());
        QVERIFY(reread.GetSettings());
        QCOMPARE(reread.cDongleNo, QStringLiteral("D-8"));
        QVERIFY(!inst.setup->lConnectionParemeterChanged);
    }

    void failedSaveKeepsSettingsInUse()
    {
        Installation inst;
        // A folder where the settings file should be: the file cannot be written.
        QVERIFY(QFile::remove(inst.file()));
        QVERIFY(QDir().mkdir(inst.file()));
        Dialog d(*inst.setup);
        QVERIFY(d.open());
        d.type(0, QStringLiteral("1190"));
        d.text(3)->setText(QStringLiteral("D-5"));
        QTest::mouseClick(d.get<QPushButton>(QStringLiteral("cmdAddMobile")), Qt::LeftButton);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("9666666666"));
        QTest::mouseClick(d.command(1), Qt::LeftButton);

        QVERIFY(d.dlg.isVisible());
        QCOMPARE(inst.setup->cLocalPort, QStringLiteral("1175"));
        QCOMPARE(inst.setup->cDongleNo, QStringLiteral("D-1"));
        QCOMPARE(inst.setup->xMobiles.RowCount(), 2);
        QVERIFY(!inst.setup->lConnectionParemeterChanged);
        QVERIFY(d.dlg.SettingChanged());
    }

    void imeiRegisteredWhileOpenIsKept()
    {
        Installation inst;
        Dialog d(*inst.setup);
        QVERIFY(d.open());
        // While the dialog is open the second mobile logs in and registers its IMEI, and the
        // user clears the first mobile's IMEI so that it can register a new device.
        inst.setup->xMobiles.SetValue(1, 1, QStringLiteral("IMEI-LIVE"));
        QAbstractItemModel* m = d.mobiles()->model();
        QVERIFY(m->setData(m->index(0, 1), QString()));
        QTest::mouseClick(d.command(1), Qt::LeftButton);
        QCOMPARE(d.dlg.result(), int(QDialog::Accepted));
        QCOMPARE(Column(inst.setup->xMobiles, 1), QStringList({"", "IMEI-LIVE"}));
    }
};

QTEST_MAIN(TestSetupDialog)
#include "test_setup_dialog.moc"
