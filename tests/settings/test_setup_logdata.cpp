// The settings object on the embedded database: company discovery, the connection rule, and
// the request-log table (creation, writing, reading by days, sorting and filtering).
#include "CredentialNames.h"
#include "GeneralFunction.h"
#include "RequestJournal.h"

#include <QtEndian>
#include <random>
#include "clsSetup.h"
#include "clock/Clock.h"
#include "core/RuntimeError.h"
#include "database/Connection.h"
#include "database/Recordset.h"
#include "store/UserSettings.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>
#include <sys/stat.h>

namespace {
QString Encoded(const QString& text)
{
    return GeneralFunction::EncodeText(text, false, 173);
}

// A company database of the product: its file in the folder, with the Company table.
void MakeCompany(const QString& folder, const QString& database, const QString& name, const QString& start, const QString& last)
{
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open((folder + "/" + database + ".sqlite").toUtf8().constData(), &db), SQLITE_OK);
    const QString sql = "CREATE TABLE Company (CompanyName TEXT COLLATE NOCASE, StartDate DATETIME, LastDate DATETIME);"
                        "INSERT INTO Company VALUES ('" + GeneralFunction::QuoteSQL(name) + "', '" + start + " 00:00:00', '" + last
                      + " 00:00:00');";
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, error);
}

struct LogRow {
    qint64 id;
    QDateTime requested;
    QString action, mobileNo, userID, database, ip, request;
    QDateTime responded;
    QString response;
};

QList<LogRow> StoredRows(const QString& folder)
{
    platform::db::Connection connection;
    connection.Open("Server=sqlite:" + folder + ";Database=master");
    platform::db::Recordset rs;
    rs.Open("SELECT RequestID, RequestDateTime, Action, MobileNo, UserID, DatabaseName, IPAddress, RequestJSON, "
            "ResponseDateTime, ResponseJSON FROM TessarinMobileLog ORDER BY RequestID",
            connection);
    QList<LogRow> rows;
    while (!rs.IsEOF()) {
        rows.append({rs.Field(0).ToInteger(), rs.Field(1).ToDateTime(), rs.Field(2).ToText(), rs.Field(3).ToText(),
                     rs.Field(4).ToText(), rs.Field(5).ToText(), rs.Field(6).ToText(), rs.Field(7).ToText(),
                     rs.Field(8).ToDateTime(), rs.Field(9).ToText()});
        rs.MoveNext();
    }
    return rows;
}

QDateTime At(int month, int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2024, month, day), QTime(hour, minute, second));
}

QString Request(const QString& action, const QString& mobile, const QString& extra = {})
{
    return "{\"Action\":\"" + action + "\",\"MobileNo\":\"" + mobile + "\"" + extra + "}";
}

QString JournalPath(const QTemporaryDir& folder)
{
    return folder.path() + "/RequestLog.journal";
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Column(const platform::XArrayDB& t, int col)
{
    QStringList out;
    for (int r = t.LowerBound(1); r <= t.UpperBound(1); ++r)
        out << t.Value(r, col).toString();
    return out;
}
}  // namespace

class TestSetupLogData : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;
    QTemporaryDir m_program;
    QTemporaryDir m_data;  // the embedded database with three companies

    // A settings object on its own, empty embedded folder.
    std::unique_ptr<clsSetup> FreshSetup(QTemporaryDir& folder)
    {
        auto setup = std::make_unique<clsSetup>(m_program.path());
        setup->DB_SERVER = Encoded("sqlite:" + folder.path());
        return setup;
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        const QString key = CredentialNames::MachineKey();
        platform::store::SaveSetting("Tessarin", "ServerInfo", CredentialNames::ValueName(key, "PRIMARYSERVER"),
                                     Encoded("sqlite:" + m_data.path()));
        MakeCompany(m_data.path(), "ABC2024", "Abc Traders", "2024-04-01", "2025-03-31");
        MakeCompany(m_data.path(), "My Co-2024", "My Co", "2023-04-01", "2024-03-31");
        MakeCompany(m_data.path(), "O'Brien]s", "O'Brien & Sons", "2024-01-01", "2024-12-31");
    }
    void cleanup() { platform::Clock::Reset(); }

    void companyDiscovery()
    {
        clsSetup setup(m_program.path());
        QCOMPARE(setup.DB_SERVER, Encoded("sqlite:" + m_data.path()));
        QStringList messages;
        connect(&setup, &clsSetup::Message, this,
                [&](const QString&, const QString&, qint32, const QString& text, qint32, qint32, bool*, bool) { messages << text; });
        QVERIFY2(setup.GetCompanyList(), qPrintable(messages.join("\n")));
        QCOMPARE(setup.xCompanies.RowCount(), 3);
        QStringList names = Column(setup.xCompanies, 4);
        names.sort();
        QCOMPARE(names, QStringList({"ABC2024", "My Co-2024", "O'Brien]s"}));
        const int abc = setup.xCompanies.Find(0, 4, "ABC2024");
        QCOMPARE(setup.xCompanies.Value(abc, 0), QVariant(false));
        QCOMPARE(setup.xCompanies.Value(abc, 1).toString(), QStringLiteral("Abc Traders"));
        QCOMPARE(setup.xCompanies.Value(abc, 2).toDateTime(), QDateTime(QDate(2024, 4, 1), QTime(0, 0)));
        QCOMPARE(setup.xCompanies.Value(abc, 3).toDateTime(), QDateTime(QDate(2025, 3, 31), QTime(0, 0)));
        QCOMPARE(setup.xCompanies.Value(setup.xCompanies.Find(0, 4, "O'Brien]s"), 1).toString(), QStringLiteral("O'Brien & Sons"));
        QVERIFY(messages.isEmpty());
        QCOMPARE(setup.cnnConnection.State(), 0);
    }

    void noCompanyDatabase()
    {
        QTemporaryDir empty;
        auto setup = FreshSetup(empty);
        QStringList messages;
        connect(setup.get(), &clsSetup::Message, this,
                [&](const QString&, const QString&, qint32, const QString& text, qint32 button, qint32 cancel, bool*, bool) {
                    messages << text;
                    QCOMPARE(button, 16);
                    QCOMPARE(cancel, 1);
                });
        QVERIFY(!setup->GetCompanyList());
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith("Error while getting Company List.\r\nError "), qPrintable(messages[0]));
        QCOMPARE(setup->cnnConnection.State(), 0);
    }

    // Only the log database and the companies found are ever connected to; the company list is
    // found first when it is empty.
    void connectionRule()
    {
        clsSetup setup(m_program.path());
        QCOMPARE(setup.xCompanies.RowCount(), 0);
        const QString base = "Provider=SQLOLEDB;Server=sqlite:" + m_data.path() + ";Database=";
        QCOMPARE(setup.GetConnectionString("abc2024"), base + "ABC2024;User ID=;Password=;");
        QCOMPARE(setup.xCompanies.RowCount(), 3);
        QCOMPARE(setup.GetConnectionString("my co-2024"), base + "My Co-2024;User ID=;Password=;");
        // The request-log database is no company, in any case of its name; only the object's own
        // log members reach it.
        QCOMPARE(setup.GetLogConnectionString(), base + "master;User ID=;Password=;");
        for (const QString& name : {QStringLiteral("master"), QStringLiteral("Master"), QStringLiteral("MASTER"),
                                    QStringLiteral("NoSuch"), QStringLiteral("ABC2024;Server=elsewhere"), QStringLiteral(""),
                                    QStringLiteral("ABC"), QStringLiteral("../ABC2024")}) {
            try {
                setup.GetConnectionString(name);
                QFAIL(qPrintable("a connection text for " + name));
            } catch (const platform::RuntimeError& e) {
                QCOMPARE(e.Description(), "Unknown company database: " + name);
            }
        }
        QVERIFY(!QFileInfo::exists(m_data.path() + "/NoSuch.sqlite"));

        // The text opens the company, names with blanks and quotes included.
        for (const QString& name : {QStringLiteral("My Co-2024"), QStringLiteral("O'Brien]s")}) {
            platform::db::Connection company;
            company.Open(setup.GetConnectionString(name));
            platform::db::Recordset rs;
            rs.Open("SELECT CompanyName FROM Company", company);
            QVERIFY(!rs.IsEOF());
        }
    }

    void logTableCreated()
    {
        QTemporaryDir folder;
        auto setup = FreshSetup(folder);
        QStringList messages;
        connect(setup.get(), &clsSetup::Message, this,
                [&](const QString&, const QString&, qint32, const QString& text, qint32, qint32, bool*, bool) { messages << text; });
        QVERIFY(setup->CheckLogData());
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join("\n")));
        QVERIFY(StoredRows(folder.path()).isEmpty());
        platform::Clock::Set(At(3, 1, 9, 0));
        QCOMPARE(setup->InsertRequest("10.0.0.1", Request("Login", "98")), 1);
        // A table that exists is used as found.
        QVERIFY(setup->CheckLogData());
        QCOMPARE(StoredRows(folder.path()).size(), 1);
        QVERIFY(messages.isEmpty());
        QCOMPARE(setup->cnnConnection.State(), 0);
    }

    // What the creation leaves on the server: the three indexes and every description.
    void logTableShape()
    {
        QTemporaryDir folder;
        auto setup = FreshSetup(folder);
        QVERIFY(setup->CheckLogData());
        platform::db::Connection connection;
        connection.Open("Server=sqlite:" + folder.path() + ";Database=master");
        platform::db::Recordset rs;
        rs.Open("SELECT name, value, level1name, level2name FROM sys.extended_properties ORDER BY level2name", connection);
        QStringList properties;
        while (!rs.IsEOF()) {
            properties << rs.Field(0).ToText() + "|" + rs.Field(2).ToText() + "|" + rs.Field(3).ToText() + "|" + rs.Field(1).ToText();
            rs.MoveNext();
        }
        properties.sort();
        QCOMPARE(properties, QStringList({
                                 "Description|TessarinMobileLog||Store Mobile Client Requests & Responses",
                                 "MS_Description|TessarinMobileLog|Action|Stores Action Requested by Mobile User.",
                                 "MS_Description|TessarinMobileLog|DatabaseName|Stores Name of Database",
                                 "MS_Description|TessarinMobileLog|IPAddress|Stores IP Address of Requested User.",
                                 "MS_Description|TessarinMobileLog|MobileNo|Stores Mobile No. of Requested.",
                                 "MS_Description|TessarinMobileLog|RequestDateTime|Stores Request Date Time.",
                                 "MS_Description|TessarinMobileLog|RequestID|Stores Request ID",
                                 "MS_Description|TessarinMobileLog|RequestJSON|Stores JSON Requested by User.",
                                 "MS_Description|TessarinMobileLog|ResponseDateTime|Stores Response Date Time.",
                                 "MS_Description|TessarinMobileLog|ResponseJSON|Stores Response JSON sent to Mobile User.",
                                 "MS_Description|TessarinMobileLog|UserID|Stores User ID of Mobile No. Requested.",
                             }));
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open((folder.path() + "/master.sqlite").toUtf8().constData(), &db), SQLITE_OK);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'index' AND name LIKE 'IX%' ORDER BY name", -1, &statement,
                           nullptr);
        QStringList indexes;
        while (sqlite3_step(statement) == SQLITE_ROW)
            indexes << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        sqlite3_finalize(statement);
        sqlite3_close(db);
        QCOMPARE(indexes, QStringList({"IX_TessarinMobileLog_Action", "IX_TessarinMobileLog_MobileNo",
                                       "IX_TessarinMobileLog_RequestDateTime"}));
    }

    // A step that fails stops the creation: the message names the last step done, the steps
    // done stay done, and the check then finds the table.
    void logTableCreationStops_data()
    {
        QTest::addColumn<QString>("inTheWay");
        QTest::addColumn<QString>("completed");
        QTest::newRow("Action index") << "CREATE TABLE Other (Action nvarchar(30)); "
                                         "CREATE NONCLUSTERED INDEX [IX_TessarinMobileLog_Action] ON [dbo].[Other] ([Action])"
                                      << "MobileNoCheckChecked";
        QTest::newRow("RequestDateTime index") << "CREATE TABLE Other (Stamp datetime); "
                                                  "CREATE NONCLUSTERED INDEX [IX_TessarinMobileLog_RequestDateTime] ON [dbo].[Other] ([Stamp])"
                                               << "MobileNoIndexCreated";
        QTest::newRow("first description")
            << "EXEC sys.sp_addextendedproperty @name=N'MS_Description', @value=N'old', @level0type=N'SCHEMA',@level0name=N'dbo', "
               "@level1type=N'TABLE',@level1name=N'TessarinMobileLog', @level2type=N'COLUMN',@level2name=N'RequestID'"
            << "RequestDateTimeIndexCreated";
        QTest::newRow("table description")
            << "EXEC sys.sp_addextendedproperty @name=N'Description', @value=N'old', @level0type=N'SCHEMA',@level0name=N'dbo', "
               "@level1type=N'TABLE',@level1name=N'TessarinMobileLog'"
            << "ResponseJSONDescriptionCreated";
    }
    void logTableCreationStops()
    {
        QFETCH(QString, inTheWay);
        QFETCH(QString, completed);
        QTemporaryDir folder;
        {
            platform::db::Connection connection;
            connection.Open("Server=sqlite:" + folder.path() + ";Database=master");
            for (const QString& statement : inTheWay.split("; "))
                connection.Execute(statement);
        }
        auto setup = FreshSetup(folder);
        QList<QStringList> messages;
        connect(setup.get(), &clsSetup::Message, this,
                [&](const QString&, const QString&, qint32 number, const QString& text, qint32 button, qint32 cancel, bool*, bool) {
                    messages << QStringList({QString::number(number), text, QString::number(button), QString::number(cancel)});
                });
        QVERIFY(setup->CheckLogData());
        QCOMPARE(messages.size(), 1);
        const QString prefix = "Unable to Create Log Table.\r\nCompleted work : " + completed + "\r\n";
        QVERIFY2(messages[0][1].startsWith(prefix), qPrintable(messages[0][1]));
        QVERIFY2(QRegularExpression("^-?\\d+-\\S").match(messages[0][1].mid(prefix.size())).hasMatch(), qPrintable(messages[0][1]));
        QCOMPARE(messages[0][0], QStringLiteral("-1"));
        QCOMPARE(messages[0][2], QStringLiteral("16"));
        QCOMPARE(messages[0][3], QStringLiteral("2"));
        QCOMPARE(setup->cnnConnection.State(), 0);
        // The table made before the failure takes requests.
        QCOMPARE(setup->InsertRequest("10.0.0.1", Request("Login", "98")), 1);
    }

    void insertAndUpdate_data()
    {
        QTest::addColumn<bool>("journal");
        QTest::newRow("straight to the table") << false;
        QTest::newRow("through the journal") << true;
    }
    void insertAndUpdate()
    {
        QFETCH(bool, journal);
        QTemporaryDir folder;
        auto setup = FreshSetup(folder);
        QVERIFY(setup->CheckLogData());
        if (journal)
            QVERIFY(setup->OpenRequestJournal(JournalPath(folder)));
        QSignalSpy events(setup.get(), &clsSetup::ShowEvents);

        platform::Clock::Set(At(3, 1, 9, 15, 30));
        const QString request = "{\"Action\":\"AccountLedger\",\"MobileNo\":\"9810000001\",\"UserID\":\"ADMIN\",\"Password\":\"s3cret\","
                                "\"FolderName\":\"ABC2024\",\"Note\":\"O'Brien @pLogTableName @pDatabaseName @PLOGTABLENAME\"}";
        QCOMPARE(setup->InsertRequest("192.168.1.7", request + "<eof>"), 1);
        QCOMPARE(setup->InsertRequest("192.168.1.8", Request("Login", "9810000002") + "<EOF>"), 2);

        platform::Clock::Set(At(3, 1, 9, 15, 31));
        const QString reply = "{\"Action\":\"AccountLedger\",\"Status\":1,\"Message\":\"Success\",\"Data\":[{\"ActNm\":\"@pLogTableName's\"}]}";
        setup->UpdateRequest(1, reply + "<EOF>");
        setup->UpdateRequest(99, reply);  // no such row: nothing happens
        if (journal) {
            // Nothing in the table until the journal is moved, then all of it in one go.
            QVERIFY(StoredRows(folder.path()).isEmpty());
            QCOMPARE(RequestJournal::Decode(FileBytes(JournalPath(folder))).size(), size_t(4));
            QVERIFY(setup->RequestLogPending());
            setup->FlushRequestLog();
            QVERIFY(!setup->RequestLogPending());
            QCOMPARE(QFileInfo(JournalPath(folder)).size(), 0);
        }
        QVERIFY(events.isEmpty());

        const QList<LogRow> rows = StoredRows(folder.path());
        QCOMPARE(rows.size(), 2);
        const LogRow& first = rows[0];
        QCOMPARE(first.id, 1);
        QCOMPARE(first.requested, At(3, 1, 9, 15, 30));
        QCOMPARE(first.action, QStringLiteral("AccountLedger"));
        QCOMPARE(first.mobileNo, QStringLiteral("9810000001"));
        QCOMPARE(first.userID, QStringLiteral("ADMIN"));
        QCOMPARE(first.database, QStringLiteral("ABC2024"));
        QCOMPARE(first.ip, QStringLiteral("192.168.1.7"));
        QString masked = request;
        masked.replace("\"s3cret\"", "\"*****\"");
        QCOMPARE(first.request, masked);
        QCOMPARE(first.responded, At(3, 1, 9, 15, 31));
        QCOMPARE(first.response, reply);
        const LogRow& second = rows[1];
        QCOMPARE(second.userID, QString());
        QCOMPARE(second.database, QString());
        QCOMPARE(second.request, Request("Login", "9810000002"));
        QCOMPARE(second.responded, QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
        QCOMPARE(second.response, QString());
        QCOMPARE(setup->cnnConnection.State(), 0);
    }

    // The values are bound to the statement, never part of its text: whatever they hold is
    // stored as it came, and each writer gets the identity of its own row even while another
    // writes to the same table.
    void valuesBoundAsTheyCame_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("placeholders") << "? ?1 :a @b $c";
        QTest::newRow("quotes and comment") << "O'Brien'); DROP TABLE TessarinMobileLog; --";
        QTest::newRow("brackets") << "[RequestID] = 1";
        QTest::newRow("unicode") << QString::fromUtf8("Привет €");
    }
    void valuesBoundAsTheyCame()
    {
        QFETCH(QString, value);
        QTemporaryDir folder;
        auto setup = FreshSetup(folder);
        auto other = FreshSetup(folder);
        QVERIFY(setup->CheckLogData());
        const QString note = value;
        QString escaped = note;
        escaped.replace("\\", "\\\\").replace("\"", "\\\"");
        const QString request = Request("Login", "98", ",\"UserID\":\"" + escaped.left(20) + "\",\"Note\":\"" + escaped + "\"");
        QCOMPARE(setup->InsertRequest("10.0.0.1", request), 1);
        QCOMPARE(other->InsertRequest("10.0.0.2", Request("Login", "99")), 2);
        QCOMPARE(setup->InsertRequest("10.0.0.3", request), 3);
        setup->UpdateRequest(1, "{\"Note\":\"" + escaped + "\"}");
        other->UpdateRequest(2, "{}");
        const QList<LogRow> rows = StoredRows(folder.path());
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].request, request);
        QCOMPARE(rows[0].userID, note.left(20));
        QCOMPARE(rows[0].response, "{\"Note\":\"" + escaped + "\"}");
        QCOMPARE(rows[1].ip, QStringLiteral("10.0.0.2"));
        QCOMPARE(rows[1].response, QStringLiteral("{}"));
        QCOMPARE(rows[2].ip, QStringLiteral("10.0.0.3"));
        QCOMPARE(rows[2].response, QString());
    }

    // A log database file deleted (or replaced) while the server runs is noticed before the
    // next write: the table is made again in the new file, which gets the row, and the event
    // says so.
    void deletedLogDatabase_data()
    {
        QTest::addColumn<bool>("replaced");
        QTest::newRow("deleted") << false;
        QTest::newRow("replaced by an empty database") << true;
    }
    void deletedLogDatabase()
    {
        QFETCH(bool, replaced);
        QTemporaryDir folder;
        auto setup = FreshSetup(folder);
        QVERIFY(setup->CheckLogData());
        QSignalSpy events(setup.get(), &clsSetup::ShowEvents);
        QCOMPARE(setup->InsertRequest("10.0.0.1", Request("Login", "981")), 1);
        QCOMPARE(StoredRows(folder.path()).size(), 1);

        const QString file = folder.path() + "/master.sqlite";
        QVERIFY(QFile::remove(file));
        if (replaced) {
            sqlite3* db = nullptr;
            QCOMPARE(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
            sqlite3_exec(db, "CREATE TABLE Other (A INTEGER)", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        }
        QCOMPARE(setup->InsertRequest("10.0.0.1", Request("Login", "982")), 1);
        setup->UpdateRequest(1, "{\"Status\":1}");
        const QList<LogRow> rows = StoredRows(folder.path());
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].mobileNo, QStringLiteral("982"));
        QCOMPARE(rows[0].response, QStringLiteral("{\"Status\":1}"));
        QCOMPARE(events.size(), 1);
        QCOMPARE(events[0][0].toString(),
                 QStringLiteral("Request-log database file was deleted or replaced. Creating LogData table again."));
        // The next request goes on in the same file without a further event.
        QCOMPARE(setup->InsertRequest("10.0.0.1", Request("Login", "983")), 2);
        QCOMPARE(events.size(), 1);
    }

    // Files the server writes are never writable by others, whatever the umask; the credentials
    // store is readable by its owner only.
    void fileModes()
    {
        const mode_t saved = ::umask(0);
        QTemporaryDir program;
        QTemporaryDir folder;
        auto setup = std::make_unique<clsSetup>(program.path());
        setup->DB_SERVER = Encoded("sqlite:" + folder.path());
        platform::store::SaveSetting("Tessarin", "ServerInfo", "ModeProbe", "x");
        const bool saved1 = setup->SaveSettings();
        setup->LogEvents();
        const bool checked = setup->CheckLogData();
        ::umask(saved);
        QVERIFY(saved1 && checked);

        const auto mode = [](const QString& path) {
            struct stat info {};
            return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
        };
        QCOMPARE(mode(platform::store::Location("Tessarin")), 0600);
        for (const QString& path : {setup->SettingsFilePath(), setup->CurrentLogFile(), folder.path() + "/master.sqlite"}) {
            const int m = mode(path);
            QVERIFY2(m > 0 && (m & 0022) == 0, qPrintable(path + " " + QString::number(m, 8)));
        }
    }

    // The stored request keeps everything as sent except the value of its "Password".
    void passwordNeverStored_data()
    {
        QTest::addColumn<QString>("tail");
        QTest::addColumn<QString>("stored");
        QTest::newRow("string") << ",\"Password\":\"abc\"}" << ",\"Password\":\"*****\"}";
        QTest::newRow("blanks and escapes") << " , \"Password\" : \"a\\\"b}\" , \"X\":1 }" << " , \"Password\" : \"*****\" , \"X\":1 }";
        QTest::newRow("number") << ",\"Password\":1234}" << ",\"Password\":\"*****\"}";
        QTest::newRow("any case") << ",\"password\":\"abc\"}" << ",\"password\":\"*****\"}";
        QTest::newRow("escaped name") << ",\"Pass\\u0077ord\":\"abc\"}" << ",\"Pass\\u0077ord\":\"*****\"}";
        QTest::newRow("value named Password") << ",\"Note\":\"Password\",\"Password\":\"p\"}" << ",\"Note\":\"Password\",\"Password\":\"*****\"}";
        QTest::newRow("nested member kept") << ",\"Data\":{\"Password\":\"x\"}}" << ",\"Data\":{\"Password\":\"x\"}}";
        QTest::newRow("no password") << ",\"UserID\":\"U\"}" << ",\"UserID\":\"U\"}";
        QTest::newRow("empty password") << ",\"Password\":\"\"}" << ",\"Password\":\"*****\"}";
    }
    void passwordNeverStored()
    {
        QFETCH(QString, tail);
        QFETCH(QString, stored);
        QTemporaryDir folder;
        auto setup = FreshSetup(folder);
        QVERIFY(setup->CheckLogData());
        const QString head = "{\"Action\":\"Login\",\"MobileNo\":\"98\"";
        QCOMPARE(setup->InsertRequest("10.0.0.1", head + tail), 1);
        QCOMPARE(StoredRows(folder.path()).value(0).request, head + stored);
    }

    void refusedRequests_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("request");
        QTest::addColumn<bool>("journal");
        const QList<QPair<QString, QString>> refused = {
            {"no Action", "{\"MobileNo\":\"98\"}"},
            {"empty Action", Request("", "98")},
            {"empty MobileNo", Request("Login", "")},
            {"empty address", Request("Login", "98")},
            {"not JSON", "Action=Login<EOF>"},
            {"Action of 31", Request(QString(31, 'A'), "98")},
            {"MobileNo of 21", Request("Login", QString(21, '9'))},
            {"UserID of 21", Request("Login", "98", ",\"UserID\":\"" + QString(21, 'U') + "\"")},
        };
        for (const bool journal : {false, true})
            for (const auto& row : refused)
                QTest::addRow("%s%s", qPrintable(row.first), journal ? ", journal" : "")
                    << (row.first == "empty address" ? QString() : QStringLiteral("10.0.0.1")) << row.second << journal;
    }
    // A row the table refuses is left out and said when the request comes, through the
    // journal too (where it is never written, so said once); the rows around it are stored all
    // the same.
    void refusedRequests()
    {
        QFETCH(QString, ip);
        QFETCH(QString, request);
        QFETCH(bool, journal);
        QTemporaryDir folder;
        auto setup = FreshSetup(folder);
        QVERIFY(setup->CheckLogData());
        if (journal)
            QVERIFY(setup->OpenRequestJournal(JournalPath(folder)));
        QSignalSpy events(setup.get(), &clsSetup::ShowEvents);
        const QString kept = Request(QString(30, 'A'), QString(20, '9'), ",\"UserID\":\"" + QString(20, 'U') + "\"");
        if (journal) {
            QCOMPARE(setup->InsertRequest("1", kept), 1);
            QCOMPARE(setup->InsertRequest(ip, request), -1);
            QCOMPARE(events.size(), 1);
            QCOMPARE(RequestJournal::Decode(FileBytes(JournalPath(folder))).size(), size_t(1));
            QCOMPARE(setup->InsertRequest("2", kept), 2);
            setup->FlushRequestLog();
            QVERIFY(!setup->RequestLogPending());
        } else {
            QCOMPARE(setup->InsertRequest(ip, request), -1);
        }
        QCOMPARE(events.size(), 1);
        const QString text = events[0][0].toString();
        QVERIFY2(text.startsWith("Error while Inserting Request in LogData. Error No."), qPrintable(text));
        QCOMPARE(StoredRows(folder.path()).size(), journal ? 2 : 0);
        QCOMPARE(setup->cnnConnection.State(), 0);
        // The limits themselves are kept.
        if (!journal)
            QCOMPARE(setup->InsertRequest("1", kept), 1);
    }

    // A record reads back as written, whatever its texts hold; a journal cut short or damaged
    // ends at the last whole record.
    void journalRecords()
    {
        using Record = RequestJournal::Record;
        Record request;
        request.ticket = 7;
        request.time = At(3, 1, 9, 15, 30);
        request.action = "Login";
        request.mobileNo = "98";
        request.userID = QString::fromUtf8("Üser");
        request.folderName = "";
        request.ipAddress = "10.0.0.1";
        request.text = QString::fromUtf8("{\"Note\":\"line\r\nnext \\u0000 € 𝄞\"}") + QString(70000, 'x');
        Record reply;
        reply.kind = Record::Reply;
        reply.ticket = 7;
        reply.time = At(12, 31, 23, 59, 59);
        reply.text = "";
        const QByteArray first = RequestJournal::Encode(request);
        const QByteArray bytes = first + RequestJournal::Encode(reply);
        const auto same = [](const Record& a, const Record& b) {
            return a.kind == b.kind && a.ticket == b.ticket && a.time == b.time && a.action == b.action && a.mobileNo == b.mobileNo
                && a.userID == b.userID && a.folderName == b.folderName && a.ipAddress == b.ipAddress && a.text == b.text;
        };
        qsizetype good = -1;
        auto records = RequestJournal::Decode(bytes, &good);
        QCOMPARE(records.size(), size_t(2));
        QVERIFY(same(records[0], request));
        QVERIFY(same(records[1], reply));
        QCOMPARE(good, bytes.size());
        for (const qsizetype cut : {qsizetype(0), qsizetype(3), qsizetype(6), first.size() - 1, first.size(), first.size() + 5,
                                    bytes.size() - 1}) {
            records = RequestJournal::Decode(bytes.left(cut), &good);
            QCOMPARE(records.size(), size_t(cut >= first.size() ? 1 : 0));
            QCOMPARE(good, cut >= first.size() ? first.size() : 0);
        }
        QByteArray damaged = bytes;
        damaged[first.size() + 20] = static_cast<char>(damaged[first.size() + 20] ^ 0x40);
        QCOMPARE(RequestJournal::Decode(damaged).size(), size_t(1));
        QCOMPARE(RequestJournal::Decode(QByteArray(64, '\0')).size(), size_t(0));

        // Opening cuts a damaged tail off, so that what is appended next reads back.
        QTemporaryDir folder;
        QFile file(JournalPath(folder));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes.left(bytes.size() - 2));
        file.close();
        RequestJournal journal;
        QString error;
        QVERIFY2(journal.Open(JournalPath(folder), &error), qPrintable(error));
        QCOMPARE(journal.Found().size(), size_t(1));
        QVERIFY(journal.Append(reply, &error));
        QCOMPARE(RequestJournal::Decode(FileBytes(JournalPath(folder))).size(), size_t(2));

        // The checksum is Qt's over the body, as the files already written have it.
        for (const QByteArray& one : {first, RequestJournal::Encode(reply)}) {
            const QByteArray body = one.mid(6);
            QCOMPARE(qFromLittleEndian<quint16>(one.constData() + 4), qChecksum(body));
        }
        QByteArray random(100000, Qt::Uninitialized);
        std::mt19937 bytes16(42);
        for (char& c : random)
            c = static_cast<char>(bytes16());
        for (qsizetype length = 0; length < 70; ++length)
            QCOMPARE(static_cast<quint16>(~RequestJournal::ChecksumStep(0xFFFF, QByteArrayView(random).first(length))),
                     qChecksum(QByteArrayView(random).first(length)));
        QCOMPARE(static_cast<quint16>(~RequestJournal::ChecksumStep(RequestJournal::ChecksumStep(0xFFFF, QByteArrayView(random).first(333)),
                                                                    QByteArrayView(random).sliced(333))),
                 qChecksum(random));

        // A reply taken as the bytes sent (its end mark after them) is the record of its text.
        Record sent = reply;
        const QString replyText = QString::fromUtf8("{\"Status\":1,\"Narr\":\"Caf\u00e9 \u20b9\"}");
        sent.utf8 = replyText.toUtf8() + "<EOF>";
        sent.utf8Size = sent.utf8.size() - 5;
        Record written = reply;
        written.text = replyText;
        QCOMPARE(RequestJournal::Encode(sent), RequestJournal::Encode(written));
        QCOMPARE(sent.Text(), replyText);
        QVERIFY(journal.Append(sent, &error));
        const auto back = RequestJournal::Decode(FileBytes(JournalPath(folder)));
        QCOMPARE(back.size(), size_t(3));
        QCOMPARE(back[2].text, replyText);
    }

    // The engine's reply given as its UTF-8 bytes is stored as the same reply given as text:
    // without its end mark, whatever its case, and with every character kept.
    void updateWithUtf8Reply_data()
    {
        QTest::addColumn<bool>("journal");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QString>("stored");
        const QString narration = QString::fromUtf8("{\"Status\":1,\"Narr\":\"Caf\u00e9 \u20b9 5\"}");
        for (const bool journal : {false, true}) {
            const char* way = journal ? ", journal" : "";
            QTest::addRow("end mark%s", way) << journal << QByteArray("{\"Status\":1}<EOF>") << QStringLiteral("{\"Status\":1}");
            QTest::addRow("end mark in small letters%s", way) << journal << QByteArray("{\"Status\":1}<eof>") << QStringLiteral("{\"Status\":1}");
            QTest::addRow("no end mark%s", way) << journal << QByteArray("{\"Status\":1}") << QStringLiteral("{\"Status\":1}");
            QTest::addRow("only the end mark%s", way) << journal << QByteArray("<EOF>") << QString();
            QTest::addRow("shorter than the end mark%s", way) << journal << QByteArray("OF>") << QStringLiteral("OF>");
            QTest::addRow("not ASCII%s", way) << journal << (narration.toUtf8() + "<EOF>") << narration;
        }
    }
    void updateWithUtf8Reply()
    {
        QFETCH(bool, journal);
        QFETCH(QByteArray, sent);
        QFETCH(QString, stored);
        QTemporaryDir folder;
        auto setup = FreshSetup(folder);
        QVERIFY(setup->CheckLogData());
        if (journal)
            QVERIFY(setup->OpenRequestJournal(JournalPath(folder)));
        QCOMPARE(setup->InsertRequest("10.0.0.1", Request("CompanyList", "981")), 1);
        setup->UpdateRequestUtf8(1, sent);
        setup->FlushRequestLog();
        const QList<LogRow> rows = StoredRows(folder.path());
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].response, stored);
    }

    // What a run that stopped short left in the journal reaches the table at the next start,
    // once: also when it stopped after moving the rows and before emptying the file.
    void journalLeftByAStoppedRun()
    {
        QTemporaryDir folder;
        QByteArray left;
        {
            auto setup = FreshSetup(folder);
            QVERIFY(setup->CheckLogData());
            QVERIFY(setup->OpenRequestJournal(JournalPath(folder)));
            platform::Clock::Set(At(3, 1, 9, 0));
            QCOMPARE(setup->InsertRequest("10.0.0.1", Request("CompanyList", "981")), 1);
            setup->UpdateRequest(1, "{\"Status\":1}");
            QCOMPARE(setup->InsertRequest("10.0.0.2", Request("Login", "982")), 2);  // stopped in the middle of it
            left = FileBytes(JournalPath(folder));
        }
        QVERIFY(StoredRows(folder.path()).isEmpty());
        const auto start = [&](int* eventCount) {
            auto setup = FreshSetup(folder);
            QSignalSpy events(setup.get(), &clsSetup::ShowEvents);
            QVERIFY(setup->CheckLogData());
            QVERIFY(setup->OpenRequestJournal(JournalPath(folder)));
            QVERIFY(!setup->RequestLogPending());
            QCOMPARE(QFileInfo(JournalPath(folder)).size(), 0);
            *eventCount = int(events.size());
            // New requests go on after the ones brought in.
            QCOMPARE(setup->InsertRequest("10.0.0.3", Request("Login", "983")), 3);
            setup->FlushRequestLog();
        };
        int events = 0;
        start(&events);
        QCOMPARE(events, 1);
        QList<LogRow> rows = StoredRows(folder.path());
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].mobileNo, QStringLiteral("981"));
        QCOMPARE(rows[0].response, QStringLiteral("{\"Status\":1}"));
        QCOMPARE(rows[0].responded, At(3, 1, 9, 0));
        QCOMPARE(rows[1].mobileNo, QStringLiteral("982"));
        QCOMPARE(rows[1].response, QString());
        QCOMPARE(rows[2].mobileNo, QStringLiteral("983"));

        // The same records again with the mark a move writes before it commits. Stopped after
        // the commit (the table had no row before it): the table has them already. Stopped
        // before it (the table's highest row was then 3): they are moved.
        const auto leave = [&](qint64 rowBefore) {
            RequestJournal::Record mark;
            mark.kind = RequestJournal::Record::Mark;
            mark.time = At(3, 1, 9, 1);
            mark.text = QString::number(rowBefore);
            QFile file(JournalPath(folder));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(left + RequestJournal::Encode(mark));
        };
        leave(0);
        start(&events);
        QCOMPARE(events, 0);
        rows = StoredRows(folder.path());
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[3].mobileNo, QStringLiteral("983"));
        leave(4);
        start(&events);
        QCOMPARE(events, 1);
        rows = StoredRows(folder.path());
        QCOMPARE(rows.size(), 7);
        QCOMPARE(rows[4].mobileNo, QStringLiteral("981"));
        QCOMPARE(rows[5].mobileNo, QStringLiteral("982"));
        QCOMPARE(rows[6].mobileNo, QStringLiteral("983"));
    }

    // A journal written before refused rows were kept out of it can still hold one: it is
    // left out and said when the journal is moved, the rows around it stored.
    void refusedRowLeftInAJournal()
    {
        QTemporaryDir folder;
        std::vector<RequestJournal::Record> records(3);
        for (int i = 0; i < 3; ++i) {
            records[size_t(i)].ticket = i + 1;
            records[size_t(i)].time = At(3, 1, 9, i);
            records[size_t(i)].action = QStringLiteral("Login");
            records[size_t(i)].mobileNo = QStringLiteral("98") + QString::number(i);
            records[size_t(i)].ipAddress = QStringLiteral("10.0.0.1");
            records[size_t(i)].text = Request("Login", records[size_t(i)].mobileNo);
        }
        records[1].action.clear();
        {
            QFile file(JournalPath(folder));
            QVERIFY(file.open(QIODevice::WriteOnly));
            for (const RequestJournal::Record& record : records)
                file.write(RequestJournal::Encode(record));
        }
        auto setup = FreshSetup(folder);
        QVERIFY(setup->CheckLogData());
        QSignalSpy events(setup.get(), &clsSetup::ShowEvents);
        QVERIFY(setup->OpenRequestJournal(JournalPath(folder)));
        QVERIFY(!setup->RequestLogPending());
        QStringList said;
        for (const QList<QVariant>& event : events)
            said << event.at(0).toString();
        QCOMPARE(said.filter(QStringLiteral("Error while Inserting Request in LogData. Error No.")),
                 QStringList{QStringLiteral("Error while Inserting Request in LogData. Error No.")
                             + QString::number(platform::err::SyntaxError)
                             + QStringLiteral(" - The table takes no Action that is empty or longer than its column.")});
        const QList<LogRow> rows = StoredRows(folder.path());
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].mobileNo, QStringLiteral("980"));
        QCOMPARE(rows[1].mobileNo, QStringLiteral("982"));
    }

    // While the table cannot take them, the records wait in the journal (and say so), then go
    // in order once it can.
    void journalWaitsForTheTable()
    {
        QTemporaryDir folder;
        auto setup = FreshSetup(folder);
        QVERIFY(setup->CheckLogData());
        QVERIFY(setup->OpenRequestJournal(JournalPath(folder)));
        // The writer is open (its statements prepared) when the table goes.
        QCOMPARE(setup->InsertRequest("10.0.0.1", Request("Login", "980")), 1);
        setup->FlushRequestLog();
        QVERIFY(!setup->RequestLogPending());
        QCOMPARE(setup->InsertRequest("10.0.0.1", Request("Login", "981")), 2);
        {
            platform::db::Connection connection;
            connection.Open("Server=sqlite:" + folder.path() + ";Database=master");
            connection.Execute("DROP TABLE TessarinMobileLog");
        }
        QSignalSpy events(setup.get(), &clsSetup::ShowEvents);
        setup->FlushRequestLog();
        QCOMPARE(events.size(), 1);
        QVERIFY2(events[0][0].toString().startsWith("Error while Inserting Request in LogData. Error No."),
                 qPrintable(events[0][0].toString()));
        QVERIFY(setup->RequestLogPending());
        QCOMPARE(RequestJournal::Decode(FileBytes(JournalPath(folder))).size(), size_t(1));
        QCOMPARE(setup->InsertRequest("10.0.0.1", Request("Login", "982")), 3);
        QVERIFY(setup->CheckLogData());
        setup->FlushRequestLog();
        QVERIFY(!setup->RequestLogPending());
        const QList<LogRow> rows = StoredRows(folder.path());
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].mobileNo, QStringLiteral("981"));
        QCOMPARE(rows[1].mobileNo, QStringLiteral("982"));
    }

    void failuresAreReported()
    {
        QTemporaryDir folder;
        auto setup = FreshSetup(folder);
        // No table yet: the writes and reads fail and say so.
        QSignalSpy events(setup.get(), &clsSetup::ShowEvents);
        QSignalSpy rebind(setup.get(), &clsSetup::RebindGrid);
        QCOMPARE(setup->InsertRequest("10.0.0.1", Request("Login", "98")), -1);
        setup->UpdateRequest(1, "{}");
        setup->GetLogData(QDate(2024, 1, 1), QDate(2024, 12, 31));
        QCOMPARE(setup->GetRequestAndResponse(1), QString());
        QCOMPARE(events.size(), 4);
        QVERIFY(events[0][0].toString().startsWith("Error while Inserting Request in LogData. Error No."));
        QVERIFY(events[1][0].toString().startsWith("Error while Updating Response in LogData. Error No."));
        QVERIFY(events[2][0].toString().startsWith("Error while getting LogData. Error No."));
        QVERIFY(events[3][0].toString().startsWith("Error while getting Request & Response JSON. Error No."));
        QCOMPARE(rebind.size(), 1);
        QCOMPARE(setup->cnnConnection.State(), 0);
    }

    void readingByDays()
    {
        QTemporaryDir folder;
        auto setup = FreshSetup(folder);
        QVERIFY(setup->CheckLogData());
        const QList<QDateTime> times = {At(2, 29, 23, 59, 59), At(3, 1, 0, 0, 0), At(3, 1, 8, 0), At(3, 1, 23, 59, 59), At(3, 2, 0, 0, 0),
                                        At(3, 3, 12, 0)};
        for (int i = 0; i < times.size(); ++i) {
            platform::Clock::Set(times[i]);
            QCOMPARE(setup->InsertRequest("10.0.0." + QString::number(i), Request("DashBoard", "98" + QString::number(i),
                                                                                   ",\"FolderName\":\"ABC2024\",\"UserID\":\"U\"")),
                     i + 1);
        }
        QSignalSpy rebind(setup.get(), &clsSetup::RebindGrid);
        setup->nSortColumnNo = 4;
        setup->eSortOrder = 0;
        setup->GetLogData(QDate(2024, 3, 1), QDate(2024, 3, 1));
        QCOMPARE(rebind.size(), 1);
        QCOMPARE(Column(setup->xLogData, 0), QStringList({"4", "3", "2"}));
        QCOMPARE(setup->nSortColumnNo, qint16(1));
        QCOMPARE(setup->eSortOrder, 1);
        QCOMPARE(setup->xLogData.Value(0, 1).toDateTime(), At(3, 1, 23, 59, 59));
        QCOMPARE(setup->xLogData.Value(0, 2).toString(), QStringLiteral("DashBoard"));
        QCOMPARE(setup->xLogData.Value(0, 3).toString(), QStringLiteral("983"));
        QCOMPARE(setup->xLogData.Value(0, 4).toString(), QStringLiteral("U"));
        QCOMPARE(setup->xLogData.Value(0, 5).toString(), QStringLiteral("ABC2024"));
        QCOMPARE(setup->xLogData.Value(0, 6).toString(), QStringLiteral("10.0.0.3"));
        QCOMPARE(setup->xLogData.Value(0, 7).toDateTime(), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
        QCOMPARE(setup->xLogData.Value(0, 8).toString(), QStringLiteral("Click Button"));

        setup->GetLogData(QDate(2024, 2, 29), QDate(2024, 3, 2));
        QCOMPARE(Column(setup->xLogData, 0), QStringList({"5", "4", "3", "2", "1"}));
        setup->GetLogData(QDate(2024, 3, 2), QDate(2024, 3, 1));
        QCOMPARE(setup->xLogData.RowCount(), 0);
        setup->GetLogData(QDate(2024, 1, 1), QDate(2024, 12, 31));
        QCOMPARE(setup->xLogData.RowCount(), 6);
        QCOMPARE(rebind.size(), 4);
        QCOMPARE(setup->cnnConnection.State(), 0);
    }

    void requestAndResponseText()
    {
        QTemporaryDir folder;
        auto setup = FreshSetup(folder);
        QVERIFY(setup->CheckLogData());
        QCOMPARE(setup->InsertRequest("10.0.0.1", Request("DashBoard", "98") + "<EOF>"), 1);
        setup->UpdateRequest(1, "{\"Action\":\"DashBoard\",\"Status\":1,\"Data\":[{\"Amt\":1300}]}<EOF>");
        QCOMPARE(setup->GetRequestAndResponse(1),
                 QStringLiteral("Request : \r\n=========\r\n"
                                "{\n  \"Action\": \"DashBoard\",\n  \"MobileNo\": \"98\"\n}"
                                "\r\n\r\nResponse : \r\n==========\r\n"
                                "{\n  \"Action\": \"DashBoard\",\n  \"Status\": 1,\n  \"Data\": [\n    {\n      \"Amt\": 1300\n    }\n  ]\n}"));
        // A request that got no reply, and a text that is not JSON, are shown as stored.
        QCOMPARE(setup->InsertRequest("10.0.0.1", Request("Login", "98")), 2);
        QVERIFY(setup->GetRequestAndResponse(2).endsWith("Response : \r\n==========\r\n"));
        QCOMPARE(setup->GetRequestAndResponse(77), QString());
        QCOMPARE(setup->cnnConnection.State(), 0);
    }

    void sortAndFilter()
    {
        QTemporaryDir folder;
        auto setup = FreshSetup(folder);
        QVERIFY(setup->CheckLogData());
        const QList<QStringList> requests = {
            {"Login", "9810000003"}, {"DashBoard", "9810000001"}, {"dashboard", "9820000002"}, {"CompanyList", "9810000002"},
            {"AccountLedger", "9830000001"},
        };
        for (int i = 0; i < requests.size(); ++i) {
            platform::Clock::Set(At(3, 1, 10, i));
            setup->InsertRequest("10.0.0.1", Request(requests[i][0], requests[i][1]));
        }
        setup->GetLogData(QDate(2024, 3, 1), QDate(2024, 3, 1));
        QCOMPARE(Column(setup->xLogData, 0), QStringList({"5", "4", "3", "2", "1"}));
        QSignalSpy rebind(setup.get(), &clsSetup::RebindGrid);

        qint16 col = 8;
        setup->Sort(col);
        QCOMPARE(rebind.size(), 0);
        QCOMPARE(setup->nSortColumnNo, qint16(1));
        QCOMPARE(Column(setup->xLogData, 0), QStringList({"5", "4", "3", "2", "1"}));

        col = 3;  // a new column keeps the direction (descending)
        setup->Sort(col);
        QCOMPARE(setup->nSortColumnNo, qint16(3));
        QCOMPARE(setup->eSortOrder, 1);
        QCOMPARE(Column(setup->xLogData, 3), QStringList({"9830000001", "9820000002", "9810000003", "9810000002", "9810000001"}));
        setup->Sort(col);  // the same column again turns it round
        QCOMPARE(setup->eSortOrder, 0);
        QCOMPARE(Column(setup->xLogData, 3), QStringList({"9810000001", "9810000002", "9810000003", "9820000002", "9830000001"}));
        col = 2;  // text without regard to case
        setup->Sort(col);
        QCOMPARE(Column(setup->xLogData, 2), QStringList({"AccountLedger", "CompanyList", "DashBoard", "dashboard", "Login"}));
        col = 1;
        setup->Sort(col);
        QCOMPARE(Column(setup->xLogData, 0), QStringList({"1", "2", "3", "4", "5"}));
        QCOMPARE(rebind.size(), 4);

        // The rows on show; together with the hidden ones they are always all five.
        const auto shown = [&]() {
            return setup->xLogData.RowCount() + setup->xFilteredLogData.RowCount() == 5 ? Column(setup->xLogData, 0)
                                                                                        : QStringList({"rows lost"});
        };
        setup->SetFilter("||DASH");  // column 2, anywhere, any case
        QCOMPARE(shown(), QStringList({"2", "3"}));
        setup->SetFilter("||dash|982");
        QCOMPARE(shown(), QStringList({"3"}));
        setup->SetFilter("||DASH");
        QCOMPARE(shown(), QStringList({"2", "3"}));
        setup->SetFilter("|2024-03-01 10:04");  // a date column in its text form
        QCOMPARE(shown(), QStringList({"5"}));
        setup->SetFilter("4");
        QCOMPARE(shown(), QStringList({"4"}));
        setup->SetFilter("|||");
        QCOMPARE(shown(), QStringList({"1", "2", "3", "4", "5"}));
        setup->SetFilter("||nothing");
        QCOMPARE(shown(), QStringList());
        setup->SetFilter("");
        QCOMPARE(shown(), QStringList({"1", "2", "3", "4", "5"}));
        QCOMPARE(setup->xFilteredLogData.RowCount(), 0);
        QCOMPARE(rebind.size(), 4 + 8);

        // More terms than columns: reported, and no row is lost.
        QStringList messages;
        connect(setup.get(), &clsSetup::Message, this,
                [&](const QString&, const QString&, qint32 number, const QString& text, qint32 button, qint32, bool*, bool) {
                    messages << text;
                    QCOMPARE(number, 9);
                    QCOMPARE(button, 16);
                });
        setup->SetFilter("|||||||||x");
        QCOMPARE(messages, QStringList({"9 - Subscript out of range"}));
        QCOMPARE(setup->xLogData.RowCount() + setup->xFilteredLogData.RowCount(), 5);
    }

    void copyRows()
    {
        clsSetup setup(m_program.path());
        platform::XArrayDB source(0, 2, 0, 8), narrow(0, -1, 0, 3), target(0, 0, 0, 8);
        for (int r = 0; r < 3; ++r)
            source.SetValue(r, 0, r + 10);
        target.SetValue(0, 0, 1);
        QCOMPARE(setup.xAryCopy(source, narrow, 0, -1), 0);
        QCOMPARE(narrow.RowCount(), 0);
        QCOMPARE(setup.xAryCopy(source, target, 1, 5), 2);
        QCOMPARE(Column(target, 0), QStringList({"1", "11", "12"}));
        QCOMPARE(setup.xAryCopy(source, target, 0, -1), 3);
        QCOMPARE(Column(target, 0), QStringList({"1", "11", "12", "10", "11", "12"}));
        QCOMPARE(setup.xAryCopy(source, target, 2, 1), 1);
        QCOMPARE(target.RowCount(), 7);
    }

    // The server writes a row for every request and stores every reply; a rough measure.
    void writingRate()
    {
        QTemporaryDir folder;
        auto setup = FreshSetup(folder);
        QVERIFY(setup->CheckLogData());
        const QString request = "{\"Action\":\"DashBoard\",\"MobileNo\":\"9810000001\",\"UserID\":\"U\",\"Password\":\"P\","
                                "\"FolderName\":\"ABC2024\",\"StartDate\":\"2024-04-01\",\"LastDate\":\"2025-03-31\"}<EOF>";
        const QString reply = "{\"Action\":\"DashBoard\",\"MobileNo\":\"9810000001\",\"Status\":1,\"Message\":\"Success\",\"Data\":[]}<EOF>";
        const int count = 500;
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < count; ++i) {
            const qint32 id = setup->InsertRequest("10.0.0.1", request);
            QVERIFY(id > 0);
            setup->UpdateRequest(id, reply);
        }
        const qint64 ms = timer.elapsed();
        qInfo("request log: %d inserts and updates in %lld ms (%.2f ms per request)", count, ms, double(ms) / count);
        QCOMPARE(StoredRows(folder.path()).size(), count);
    }
};

QTEST_GUILESS_MAIN(TestSetupLogData)
#include "test_setup_logdata.moc"
