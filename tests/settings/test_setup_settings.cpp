// The settings object without a database: the settings file, the lists of mobiles and
// locations, the address-block and company rules, the text log and the settings store.
#include "clsSetup.h"
#include "clock/Clock.h"
#include "core/RuntimeError.h"
#include "store/UserSettings.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <nlohmann/json.hpp>
#include <sys/resource.h>

using ojson = nlohmann::ordered_json;

namespace {
struct RaisedMessage {
    qint32 number;
    QString description;
    qint32 button;
    qint32 cancelButton;
};

// Collects the Message signals of one object.
struct Messages {
    explicit Messages(clsSetup& setup)
    {
        QObject::connect(&setup, &clsSetup::Message, &setup,
                         [this](const QString& source, const QString& field, qint32 number, const QString& description,
                                qint32 button, qint32 cancelButton, bool* cancel, bool setFocus) {
                             QCOMPARE(source, QStringLiteral("MobileClientSetup"));
                             QCOMPARE(field, QString());
                             QVERIFY(cancel != nullptr);
                             QVERIFY(!setFocus);
                             list.append({number, description, button, cancelButton});
                         });
    }
    QList<RaisedMessage> list;
};

ojson GoodSettings()
{
    ojson o = ojson::object();
    o["StaticIP"] = true;
    o["LocalPort"] = "2175";
    o["RemoteIP"] = "10.1.1.1";
    o["RemotePort"] = "4175";
    o["DongleNo"] = "D-77";
    o["CurrentYearOnly"] = false;
    o["AutoStart"] = true;
    o["BlockIPs"] = "10.0.";
    o["Locations"] = ojson::array();
    o["Mobiles"] = ojson::array({ojson::array({"9810000001", "IMEI1", ojson::array({"B", "A"}), false, "ok"}),
                                 ojson::array({"9810000002", "", ojson::array(), true, ""})});
    return o;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

void AddCompany(clsSetup& setup, const QString& name, const QDate& lastDate)
{
    const int row = setup.xCompanies.AppendRow();
    setup.xCompanies.SetValue(row, 0, false);
    setup.xCompanies.SetValue(row, 1, name + " Ltd");
    setup.xCompanies.SetValue(row, 2, QDateTime(lastDate.addYears(-1).addDays(1), QTime(0, 0)));
    setup.xCompanies.SetValue(row, 3, QDateTime(lastDate, QTime(0, 0)));
    setup.xCompanies.SetValue(row, 4, name);
}

void AddMobile(clsSetup& setup, const QString& number, const QString& companies)
{
    const int row = setup.xMobiles.AppendRow();
    setup.xMobiles.SetValue(row, 0, number);
    setup.xMobiles.SetValue(row, 1, QString());
    setup.xMobiles.SetValue(row, 2, companies);
    setup.xMobiles.SetValue(row, 3, false);
    setup.xMobiles.SetValue(row, 4, QString());
}
}  // namespace

class TestSetupSettings : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;
    std::unique_ptr<QTemporaryDir> m_folder;

    QString SettingsPath() const { return m_folder->path() + "/TessarinMobileClientSettings.json"; }
    void WriteSettings(const ojson& o) { Write(SettingsPath(), QByteArray::fromStdString(o.dump(2))); }

private slots:
    void initTestCase()
    {
        // Before anything reads the store: this test's own per-user settings.
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }
    void init() { m_folder = std::make_unique<QTemporaryDir>(); }
    void cleanup() { platform::Clock::Reset(); }

    void constructorNames()
    {
        clsSetup setup(m_folder->path());
        QCOMPARE(setup.ProgramFolder(), m_folder->path());
        QCOMPARE(setup.cLogDatabaseName, QStringLiteral("master"));
        QCOMPARE(setup.cLogTableName, QStringLiteral("TessarinMobileLog"));
        QCOMPARE(setup.cLogDatabaseFilePathName, m_folder->path() + "/Data/LogData.mdb");
        QCOMPARE(setup.xMobiles.ColumnCount(), 5);
        QCOMPARE(setup.xCompanies.ColumnCount(), 5);
        QCOMPARE(setup.xLocations.ColumnCount(), 2);
        QCOMPARE(setup.xLogData.ColumnCount(), 9);
        QCOMPARE(setup.xFilteredLogData.ColumnCount(), 9);
        QCOMPARE(setup.xMobiles.RowCount(), 0);
        QCOMPARE(setup.nSortColumnNo, qint16(0));
        QCOMPARE(setup.eSortOrder, 0);
    }

    void missingFileKeepsDefaults()
    {
        clsSetup setup(m_folder->path());
        Messages messages(setup);
        setup.lStaticIP = true;
        setup.cLocalPort = "9";
        AddMobile(setup, "98", "A");
        QVERIFY(setup.GetSettings());
        QVERIFY(!setup.lSettingFound);
        QCOMPARE(messages.list.size(), 1);
        QCOMPARE(messages.list[0].description, QStringLiteral("TessarinMobileClientSettings.json file not found."));
        QCOMPARE(messages.list[0].number, -1);
        QCOMPARE(messages.list[0].button, 48);
        QCOMPARE(messages.list[0].cancelButton, 2);
        QCOMPARE(setup.lStaticIP, false);
        QCOMPARE(setup.cLocalPort, QStringLiteral("1175"));
        QCOMPARE(setup.cRemoteIP, QStringLiteral("192.168.1.200"));
        QCOMPARE(setup.cRemotePort, QStringLiteral("3175"));
        QCOMPARE(setup.cDongleNo, QString());
        QCOMPARE(setup.lCurrentYearOnly, true);
        QCOMPARE(setup.lAutoStart, false);
        QCOMPARE(setup.cBlockIPs, QString());
        QCOMPARE(setup.xMobiles.RowCount(), 0);
        QCOMPARE(setup.xMobiles.ColumnCount(), 5);
        QVERIFY(!QFileInfo::exists(SettingsPath()));
    }

    void loadsTheFile()
    {
        WriteSettings(GoodSettings());
        clsSetup setup(m_folder->path());
        Messages messages(setup);
        setup.lSettingChanged = true;
        setup.lConnectionParemeterChanged = true;
        QVERIFY(setup.GetSettings());
        QVERIFY(messages.list.isEmpty());
        QVERIFY(setup.lSettingFound);
        QVERIFY(!setup.lSettingChanged);
        QVERIFY(!setup.lConnectionParemeterChanged);
        QCOMPARE(setup.lStaticIP, true);
        QCOMPARE(setup.cLocalPort, QStringLiteral("2175"));
        QCOMPARE(setup.cRemoteIP, QStringLiteral("10.1.1.1"));
        QCOMPARE(setup.cRemotePort, QStringLiteral("4175"));
        QCOMPARE(setup.cDongleNo, QStringLiteral("D-77"));
        QCOMPARE(setup.lCurrentYearOnly, false);
        QCOMPARE(setup.lAutoStart, true);
        QCOMPARE(setup.cBlockIPs, QStringLiteral("10.0."));
        QCOMPARE(setup.xMobiles.RowCount(), 2);
        QCOMPARE(setup.xMobiles.Value(0, 0).toString(), QStringLiteral("9810000001"));
        QCOMPARE(setup.xMobiles.Value(0, 1).toString(), QStringLiteral("IMEI1"));
        QCOMPARE(setup.xMobiles.Value(0, 2).toString(), QStringLiteral("B|A"));
        QCOMPARE(setup.xMobiles.Value(0, 3), QVariant(false));
        QCOMPARE(setup.xMobiles.Value(0, 4).toString(), QStringLiteral("ok"));
        QCOMPARE(setup.xMobiles.Value(1, 2).toString(), QString());
        QCOMPARE(setup.xMobiles.Value(1, 3), QVariant(true));
        QCOMPARE(setup.GetAllowedCompanies("9810000001"), QStringLiteral("B|A"));
        QCOMPARE(setup.GetAllowedCompanies("000"), QString());
    }

    // Files that load although members are missing, and files that do not load.
    void loadVariants_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("loads");
        QTest::newRow("without AutoStart and BlockIPs") << "drop:AutoStart,BlockIPs" << true;
        QTest::newRow("without Locations") << "drop:Locations" << true;
        QTest::newRow("empty Mobiles") << "emptyMobiles" << true;
        QTest::newRow("StaticIP not a flag") << "StaticIP=yes" << false;
        QTest::newRow("CurrentYearOnly not a flag") << "CurrentYearOnly=maybe" << false;
        QTest::newRow("without StaticIP") << "drop:StaticIP" << false;
        QTest::newRow("without Mobiles") << "drop:Mobiles" << false;
        QTest::newRow("a mobile that is not an array") << "mobileText" << false;
        QTest::newRow("Locked not a flag") << "locked=perhaps" << false;
        QTest::newRow("not JSON") << "garbage" << false;
        QTest::newRow("empty file") << "empty" << false;
    }
    void loadVariants()
    {
        QFETCH(QString, change);
        QFETCH(bool, loads);
        ojson o = GoodSettings();
        QByteArray bytes;
        if (change.startsWith("drop:")) {
            for (const QString& key : change.mid(5).split(','))
                o.erase(key.toStdString());
        } else if (change == "emptyMobiles") {
            o["Mobiles"] = ojson::array();
        } else if (change.contains('=') && !change.startsWith("locked")) {
            o[change.section('=', 0, 0).toStdString()] = change.section('=', 1).toStdString();
        } else if (change == "mobileText") {
            o["Mobiles"] = ojson::array({"9810000001"});
        } else if (change.startsWith("locked")) {
            o["Mobiles"][0][3] = "perhaps";
        }
        bytes = QByteArray::fromStdString(o.dump(2));
        if (change == "garbage")
            bytes = "StaticIP: true";
        else if (change == "empty")
            bytes.clear();
        Write(SettingsPath(), bytes);

        clsSetup setup(m_folder->path());
        Messages messages(setup);
        QCOMPARE(setup.GetSettings(), loads);
        QCOMPARE(setup.lSettingFound, loads);
        if (loads) {
            QVERIFY(messages.list.isEmpty());
            if (change.contains("AutoStart")) {
                QCOMPARE(setup.lAutoStart, false);
                QCOMPARE(setup.cBlockIPs, QString());
            }
            if (change == "emptyMobiles")
                QCOMPARE(setup.xMobiles.RowCount(), 0);
        } else {
            QCOMPARE(messages.list.size(), 1);
            const RaisedMessage& m = messages.list[0];
            QCOMPARE(m.button, 16);
            QCOMPARE(m.cancelButton, 2);
            QCOMPARE(m.number, -1);
            QVERIFY2(m.description.startsWith("Error while getting settings from TessarinMobileClientSettings.json.\r\nError "),
                     qPrintable(m.description));
        }
    }

    // Members read before the failure keep the file's values; the rest keep the defaults.
    void failureKeepsWhatWasRead()
    {
        ojson o = GoodSettings();
        o["CurrentYearOnly"] = "later";
        WriteSettings(o);
        clsSetup setup(m_folder->path());
        Messages messages(setup);
        QVERIFY(!setup.GetSettings());
        QCOMPARE(messages.list.value(0).description,
                 QStringLiteral("Error while getting settings from TessarinMobileClientSettings.json.\r\nError 13-Type mismatch"));
        QCOMPARE(setup.lStaticIP, true);
        QCOMPARE(setup.cDongleNo, QStringLiteral("D-77"));
        QCOMPARE(setup.lAutoStart, false);
        QCOMPARE(setup.xMobiles.RowCount(), 0);
    }

    // The file as written: indented JSON, the members in their order and types, and a load
    // of it gives back what was saved (each mobile's companies in reverse order).
    void saveAndReload()
    {
        clsSetup setup(m_folder->path());
        Messages messages(setup);
        setup.lStaticIP = true;
        setup.cLocalPort = "1180";
        setup.cRemoteIP = "relay.example";
        setup.cRemotePort = "3180";
        setup.cDongleNo = "DN1";
        setup.lCurrentYearOnly = false;
        setup.lAutoStart = true;
        setup.cBlockIPs = "  10.0., 172.16.  ";
        AddMobile(setup, "9810000001", "A|B|C");
        AddMobile(setup, "9810000002", "");
        setup.xMobiles.SetValue(1, 1, "IMEI-2");
        setup.xMobiles.SetValue(1, 3, true);
        setup.xMobiles.SetValue(1, 4, "Login");
        setup.lSettingChanged = true;
        QVERIFY(setup.SaveSettings());
        QVERIFY(setup.lSettingFound);
        QVERIFY(!setup.lSettingChanged);
        QCOMPARE(messages.list.size(), 1);
        QCOMPARE(messages.list[0].description, QStringLiteral("Settings saved successfully."));
        QCOMPARE(messages.list[0].button, 64);
        QCOMPARE(messages.list[0].cancelButton, 1);

        const QByteArray bytes = ReadAll(SettingsPath());
        const ojson file = ojson::parse(bytes.toStdString(), nullptr, false);
        QVERIFY(file.is_object());
        QVERIFY(bytes.contains("\n  \"StaticIP\": true"));
        QStringList keys;
        for (auto it = file.begin(); it != file.end(); ++it)
            keys << QString::fromStdString(it.key());
        QCOMPARE(keys, QStringList({"StaticIP", "LocalPort", "RemoteIP", "RemotePort", "DongleNo", "CurrentYearOnly", "AutoStart",
                                    "BlockIPs", "Locations", "Mobiles"}));
        QVERIFY(file["StaticIP"].is_boolean());
        QVERIFY(file["LocalPort"].is_string());
        QVERIFY(file["CurrentYearOnly"].is_boolean());
        QVERIFY(file["AutoStart"].is_boolean());
        QCOMPARE(QString::fromStdString(file["BlockIPs"].get<std::string>()), QStringLiteral("10.0., 172.16."));
        QVERIFY(file["Locations"].is_array());
        QCOMPARE(file["Mobiles"].size(), size_t(2));
        QCOMPARE(file["Mobiles"][0], ojson::array({"9810000001", "", ojson::array({"C", "B", "A"}), false, ""}));
        QCOMPARE(file["Mobiles"][1], ojson::array({"9810000002", "IMEI-2", ojson::array(), true, "Login"}));

        clsSetup again(m_folder->path());
        QVERIFY(again.GetSettings());
        QVERIFY(again.lSettingFound);
        QCOMPARE(again.lStaticIP, true);
        QCOMPARE(again.cLocalPort, QStringLiteral("1180"));
        QCOMPARE(again.cRemoteIP, QStringLiteral("relay.example"));
        QCOMPARE(again.cRemotePort, QStringLiteral("3180"));
        QCOMPARE(again.cDongleNo, QStringLiteral("DN1"));
        QCOMPARE(again.lCurrentYearOnly, false);
        QCOMPARE(again.lAutoStart, true);
        QCOMPARE(again.cBlockIPs, QStringLiteral("10.0., 172.16."));
        QCOMPARE(again.GetAllowedCompanies("9810000001"), QStringLiteral("C|B|A"));
        QCOMPARE(again.xMobiles.Value(1, 3), QVariant(true));
        QCOMPARE(again.xMobiles.Value(1, 4).toString(), QStringLiteral("Login"));
    }

    // A write that fails half-way leaves the old file whole (here the process may not write
    // more than a few bytes to any file).
    void failedSaveKeepsTheOldFile()
    {
        WriteSettings(GoodSettings());
        const QByteArray before = ReadAll(SettingsPath());
        clsSetup setup(m_folder->path());
        Messages messages(setup);
        for (int i = 0; i < 200; ++i)
            AddMobile(setup, QString::number(9810000000LL + i), "COMPANY_A|COMPANY_B");

        struct rlimit old {};
        getrlimit(RLIMIT_FSIZE, &old);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit tight = old;
        tight.rlim_cur = 512;
        setrlimit(RLIMIT_FSIZE, &tight);
        const bool saved = setup.SaveSettings();
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!saved);
        QCOMPARE(messages.list.size(), 1);
        QVERIFY2(messages.list[0].description.startsWith("Error while saving setting.\r\nError "), qPrintable(messages.list[0].description));
        QCOMPARE(messages.list[0].button, 16);
        QCOMPARE(messages.list[0].cancelButton, 1);
        QCOMPARE(ReadAll(SettingsPath()), before);
        QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), QStringList({"TessarinMobileClientSettings.json"}));
    }

    void saveIntoMissingFolderFails()
    {
        clsSetup setup(m_folder->path() + "/missing");
        Messages messages(setup);
        QVERIFY(!setup.SaveSettings());
        QCOMPARE(messages.list.value(0).description, QStringLiteral("Error while saving setting.\r\nError 76-Path not found"));
        QVERIFY(!setup.lSettingFound);
    }

    void textFiles()
    {
        clsSetup setup(m_folder->path());
        const QString path = m_folder->path() + "/t.txt";
        QCOMPARE(setup.WriteTextFile(path, "line 1\r\nzwei: \u00e4"), QString());
        QCOMPARE(setup.ReadFromTextFile(path), QStringLiteral("line 1\r\nzwei: \u00e4"));
        try {
            setup.ReadFromTextFile(m_folder->path() + "/none.txt");
            QFAIL("no run-time error");
        } catch (const platform::RuntimeError& e) {
            QCOMPARE(e.Number(), 53L);
        }
    }

    void locations()
    {
        clsSetup setup(m_folder->path());
        for (const char* location : {"D:/Tessarin/Data", "E:/Backup", "F:/Other"}) {
            const int row = setup.xLocations.AppendRow();
            setup.xLocations.SetValue(row, 0, false);
            setup.xLocations.SetValue(row, 1, QString::fromLatin1(location));
        }
        platform::JsonArray chosen;
        chosen.AddString("F:/Other");
        chosen.AddString("E:/Backup");
        chosen.AddString("Z:/Unknown");
        setup.SetSelectedLocations(chosen);
        QCOMPARE(setup.SelectedLocations().Emit(), QStringLiteral("[\"E:/Backup\",\"F:/Other\"]"));
        QCOMPARE(setup.GetAllowedLocations(), QStringLiteral("E:/Backup|F:/Other"));
        QVERIFY(setup.SaveSettings());

        // With rows present a file without "Locations" does not load; the selection is cleared
        // by the defaults and restored from the file.
        setup.xLocations.SetValue(0, 0, true);
        QVERIFY(setup.GetSettings());
        QCOMPARE(setup.GetAllowedLocations(), QStringLiteral("E:/Backup|F:/Other"));
        ojson file = ojson::parse(ReadAll(SettingsPath()).toStdString());
        file.erase("Locations");
        WriteSettings(file);
        QVERIFY(!setup.GetSettings());
    }

    void ipBlocking_data()
    {
        QTest::addColumn<QString>("blockIPs");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("blocked");
        const QString two = "10.0.,192.168.1.5";
        QTest::newRow("prefix 10.0.") << two << "10.0.3.7" << true;
        QTest::newRow("prefix 192.168.1.5 of .50") << two << "192.168.1.50" << true;
        QTest::newRow("not matched") << two << "10.1.0.1" << false;
        QTest::newRow("empty list") << "" << "10.0.3.7" << false;
        QTest::newRow("blank list") << "   " << "10.0.3.7" << false;
        QTest::newRow("two commas") << "10.0.,,192.168.1.5" << "8.8.8.8" << false;
        QTest::newRow("trailing comma") << "10.0.," << "8.8.8.8" << false;
        QTest::newRow("only a comma") << "," << "8.8.8.8" << false;
        QTest::newRow("entries trimmed") << " 10.0. , 192.168.1.5 " << "192.168.1.5" << true;
        QTest::newRow("entry with blank before comma") << "10.0. ,172.16." << "10.0.9.9" << true;
        QTest::newRow("case-sensitive") << "fe80::A" << "fe80::a1" << false;
    }
    void ipBlocking()
    {
        QFETCH(QString, blockIPs);
        QFETCH(QString, address);
        QFETCH(bool, blocked);
        clsSetup setup(m_folder->path());
        setup.cBlockIPs = blockIPs;
        QCOMPARE(setup.IsIPBlocked(address), blocked);
    }

    void folderRule_data()
    {
        QTest::addColumn<QString>("mobile");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("currentYearOnly");
        QTest::addColumn<bool>("allowed");
        // 98 may use ABC2024 and XYZ; 99 has no list; 97 stands twice, the later row with XYZ.
        QTest::newRow("no list, any company") << "99" << "QQQ" << false << true;
        QTest::newRow("no list, year ended") << "99" << "XYZ" << true << false;
        QTest::newRow("no list, year open, any case") << "99" << "abc2024" << true << true;
        QTest::newRow("no list, year ends today") << "99" << "TODAY" << true << false;
        QTest::newRow("no list, not a company") << "99" << "NOTLISTED" << true << true;
        QTest::newRow("listed, any case") << "98" << "abc2024" << false << true;
        QTest::newRow("listed, year ended") << "98" << "XYZ" << true << false;
        QTest::newRow("listed, year open") << "98" << "ABC2024" << true << true;
        QTest::newRow("piece of a name") << "98" << "abc" << false << false;
        QTest::newRow("piece of a name, current year") << "98" << "ABC" << true << false;
        QTest::newRow("empty folder") << "98" << "" << false << false;
        QTest::newRow("empty folder, current year") << "98" << "" << true << false;
        QTest::newRow("the whole list") << "98" << "ABC2024|XYZ" << false << false;
        QTest::newRow("not listed") << "98" << "TODAY" << false << false;
        QTest::newRow("later row wins") << "97" << "ABC2024" << false << false;
        QTest::newRow("later row wins, allowed") << "97" << "XYZ" << false << true;
    }
    void folderRule()
    {
        QFETCH(QString, mobile);
        QFETCH(QString, folder);
        QFETCH(bool, currentYearOnly);
        QFETCH(bool, allowed);
        platform::Clock::Set(QDateTime(QDate(2024, 6, 15), QTime(10, 0)));
        clsSetup setup(m_folder->path());
        AddCompany(setup, "ABC2024", QDate(2025, 3, 31));
        AddCompany(setup, "XYZ", QDate(2024, 3, 31));
        AddCompany(setup, "TODAY", QDate(2024, 6, 15));
        AddMobile(setup, "98", "ABC2024|XYZ");
        AddMobile(setup, "97", "ABC2024");
        AddMobile(setup, "97", "XYZ");
        setup.lCurrentYearOnly = currentYearOnly;
        platform::JsonObject request;
        request.AddString("Action", "DashBoard");
        request.AddString("MobileNo", mobile);
        request.AddString("FolderName", folder);
        QCOMPARE(setup.IsFolderAllowed(request), allowed);
    }

    void textLog()
    {
        platform::Clock::Set(QDateTime(QDate(2024, 1, 5), QTime(14, 3, 9)));
        clsSetup setup(m_folder->path());
        Messages messages(setup);
        const QString folder = m_folder->path() + "/LogFiles";
        setup.AppendLog("before any log");
        QVERIFY(!QFileInfo::exists(folder));
        QCOMPARE(setup.CurrentLogFile(), QString());

        setup.LogEvents();
        const QString first = folder + "/Log_2024-01-05-14-03-09.txt";
        QCOMPARE(setup.CurrentLogFile(), first);
        QVERIFY(QFileInfo(folder).isDir());
        platform::Clock::Set(QDateTime(QDate(2024, 1, 5), QTime(14, 3, 10)));
        setup.AppendLog("Mobile No.98 Opening Database \r\nsecond line");
        platform::JsonObject request;
        request.AddString("MobileNo", "98");
        request.AddString("FolderName", "X");
        setup.lCurrentYearOnly = false;
        setup.IsFolderAllowed(request);
        QCOMPARE(ReadAll(first), QByteArray("2024-01-05 14:03:09|Start Logging\r\n"
                                            "2024-01-05 14:03:10|Mobile No.98 Opening Database \r\nsecond line\r\n"
                                            "2024-01-05 14:03:10|Mobile No.98 Checking is Folder Allowed\r\n"));

        // The same second shares the file; a later one starts another.
        platform::Clock::Set(QDateTime(QDate(2024, 1, 5), QTime(14, 3, 9)));
        setup.LogEvents();
        QCOMPARE(ReadAll(first).count("Start Logging"), 2);
        platform::Clock::Set(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59)));
        setup.LogEvents();
        QCOMPARE(setup.CurrentLogFile(), folder + "/Log_2024-12-31-23-59-59.txt");
        QCOMPARE(ReadAll(setup.CurrentLogFile()), QByteArray("2024-12-31 23:59:59|Start Logging\r\n"));
        QVERIFY(messages.list.isEmpty());

        // The file moved away or removed while the log holds it open: the next line makes it
        // again under its name, and the moved file gets no more lines.
        QVERIFY(QFile::rename(setup.CurrentLogFile(), folder + "/moved.txt"));
        setup.AppendLog("after the move");
        QCOMPARE(ReadAll(setup.CurrentLogFile()), QByteArray("2024-12-31 23:59:59|after the move\r\n"));
        QCOMPARE(ReadAll(folder + "/moved.txt"), QByteArray("2024-12-31 23:59:59|Start Logging\r\n"));
        QVERIFY(QFile::remove(setup.CurrentLogFile()));
        setup.AppendLog("after the removal");
        QCOMPARE(ReadAll(setup.CurrentLogFile()), QByteArray("2024-12-31 23:59:59|after the removal\r\n"));
        // The same when a folder above it is moved: the file moved with it gets no more lines.
        QVERIFY(QDir().rename(folder, folder + "-moved"));
        setup.AppendLog("after the folder moved");
        QVERIFY(QDir().rename(folder + "-moved", folder));
        setup.AppendLog("back again");
        QCOMPARE(ReadAll(setup.CurrentLogFile()), QByteArray("2024-12-31 23:59:59|after the removal\r\n"
                                                             "2024-12-31 23:59:59|back again\r\n"));

        // A line that cannot be written is dropped without a word.
        QVERIFY(QDir(folder).removeRecursively());
        Write(folder, "not a folder");
        setup.AppendLog("lost");
        QCOMPARE(ReadAll(folder), QByteArray("not a folder"));
        QVERIFY(messages.list.isEmpty());
    }

    void logFolderCannotBeCreated()
    {
        clsSetup setup(m_folder->path() + "/missing");
        Messages messages(setup);
        setup.LogEvents();
        QCOMPARE(messages.list.size(), 1);
        QCOMPARE(messages.list[0].description, QStringLiteral("Error while creating log file.\r\n76-Path not found"));
        QCOMPARE(messages.list[0].button, 16);
        QCOMPARE(messages.list[0].cancelButton, 1);
        QVERIFY(!setup.CurrentLogFile().isEmpty());
        setup.AppendLog("dropped");
    }

    void settingStore()
    {
        clsSetup setup(m_folder->path());
        QCOMPARE(setup.GetSaveSetting(4, "Test", "Count", 42), QVariant());
        QCOMPARE(setup.GetSaveSetting(8, "Test", "Flag", true), QVariant());
        setup.GetSaveSetting(4, "Test", "Text", QStringLiteral("abc"));
        QCOMPARE(platform::store::GetSetting("Tessarin", "Test", "Count"), QStringLiteral("42"));
        QCOMPARE(platform::store::GetSetting("Tessarin", "Test", "Flag"), QStringLiteral("True"));

        const QVariant count = setup.GetSaveSetting(2, "Test", "Count", 0);
        QCOMPARE(count.typeId(), int(QMetaType::Int));
        QCOMPARE(count.toInt(), 42);
        QCOMPARE(setup.GetSaveSetting(2, "Test", "Flag", false), QVariant(true));
        QCOMPARE(setup.GetSaveSetting(2, "Test", "Text", QString()), QVariant(QStringLiteral("abc")));
        QCOMPARE(setup.GetSaveSetting(2, "Test", "Missing", 2.5), QVariant(2.5));
        QCOMPARE(setup.GetSaveSetting(2, "Test", "Count", QVariantList{}), QVariant());
        QCOMPARE(setup.GetSaveSetting(3, "Test", "Count", 0), QVariant());
        QVERIFY_THROWS_EXCEPTION(platform::RuntimeError, setup.GetSaveSetting(2, "Test", "Text", 0));
        // A stored text of no finite number is no number either: a type mismatch, whatever
        // kind of number is wanted (never a NaN passed on as a Double, nor an Overflow).
        for (const char* stored : {"nan", "NaN", "inf"}) {
            platform::store::SaveSetting("Tessarin", "Test", "Ratio", QString::fromLatin1(stored));
            for (const QVariant& wanted : {QVariant(2.5), QVariant(7), QVariant::fromValue(qint16(7))}) {
                try {
                    const QVariant got = setup.GetSaveSetting(2, "Test", "Ratio", wanted);
                    QFAIL(qPrintable(QStringLiteral("%1 read as %2").arg(QLatin1String(stored), got.toString())));
                } catch (const platform::RuntimeError& e) {
                    QCOMPARE(e.Number(), platform::err::TypeMismatch);
                    QCOMPARE(e.Source(), QStringLiteral("clsSetup"));
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestSetupSettings)
#include "test_setup_settings.moc"
