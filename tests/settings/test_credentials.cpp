// The credentials command stores what clsSetup reads: run as a person runs it, then read back.
#include "CredentialNames.h"
#include "GeneralFunction.h"
#include "clsSetup.h"
#include "core/RuntimeError.h"
#include "store/UserSettings.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QString Encoded(const QString& text)
{
    return GeneralFunction::EncodeText(text, false, 173);
}

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run Command(const QStringList& arguments, const QByteArray& input = {})
{
    QProcess process;
    process.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    process.start(QStringLiteral(CREDENTIALS_COMMAND), arguments);
    process.write(input);
    process.closeWriteChannel();
    Run run;
    if (!process.waitForFinished(30000))
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QString Stored(const QString& suffix)
{
    return platform::store::GetSetting(CredentialNames::kApplication, CredentialNames::kSection,
                                       CredentialNames::ValueName(CredentialNames::MachineKey(), suffix));
}
}  // namespace

class TestCredentials : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;
    QTemporaryDir m_program;

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }

    void embeddedFolder()
    {
        QTemporaryDir data;
        const Run run = Command({"set", "--sqlite", data.path()});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains("Stored"), qPrintable(run.out + run.err));

        QCOMPARE(Stored("PRIMARYSERVER"), Encoded("sqlite:" + data.path()));
        QCOMPARE(Stored("ODBC"), Encoded("False"));

        clsSetup setup(m_program.path());
        QCOMPARE(setup.DB_ODBC, false);
        QCOMPARE(setup.DB_SERVER, Encoded("sqlite:" + data.path()));
        QCOMPARE(setup.DB_USERID, Encoded(""));
        QCOMPARE(setup.GetLogConnectionString(),
                 "Provider=SQLOLEDB;Server=sqlite:" + data.path() + ";Database=master;User ID=;Password=;");
        // The stored folder takes the request log.
        QVERIFY(setup.CheckLogData());
        QVERIFY(QFileInfo::exists(data.path() + "/master.sqlite"));
    }

    void sqlServer()
    {
        const Run run = Command({"set", "--server", "db1\\TESSARIN,1433", "--user", "sa", "--password", "-", "--timeout", "30",
                                 "--secondary-server", "db2"},
                                "p;w}d=1\n");
        QCOMPARE(run.exitCode, 0);

        clsSetup setup(m_program.path());
        QCOMPARE(setup.DB_PRIMARYSERVER, Encoded("db1\\TESSARIN,1433"));
        QCOMPARE(setup.DB_PRIMARYUSERID, Encoded("sa"));
        QCOMPARE(setup.DB_PRIMARYPASSWORD, Encoded("p;w}d=1"));
        QCOMPARE(setup.DB_PRIMARYTIMEOUT, Encoded("30"));
        QCOMPARE(setup.DB_SECONDARYSERVER, Encoded("db2"));
        QCOMPARE(setup.DB_TIMEOUT, Encoded("30"));
        QCOMPARE(setup.GetLogConnectionString(),
                 QStringLiteral("Provider=SQLOLEDB;Server=db1\\TESSARIN,1433;Database=master;User ID=sa;Password={p;w}}d=1};"));

        const Run shown = Command({"show"});
        QCOMPARE(shown.exitCode, 0);
        QVERIFY2(shown.out.contains("PRIMARYSERVER:     db1\\TESSARIN,1433"), qPrintable(shown.out));
        QVERIFY(shown.out.contains("PRIMARYUSERID:     sa"));
        QVERIFY(shown.out.contains("PRIMARYPASSWORD:   *****"));
        QVERIFY(shown.out.contains("Password=*****;"));
        QVERIFY(!shown.out.contains("p;w}d"));
        QVERIFY(Command({"show", "--reveal"}).out.contains("PRIMARYPASSWORD:   p;w}d=1"));
    }

    // Each "-" takes the next line of standard input, in option order: primary, then secondary.
    void passwordsFromStandardInput_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("primary");
        QTest::addColumn<QString>("secondary");
        QTest::newRow("two lines") << QByteArray("first secret\nsecond;secret\n") << "first secret" << "second;secret";
        QTest::newRow("CR LF") << QByteArray("p1\r\np2\r\n") << "p1" << "p2";
        QTest::newRow("no last line end") << QByteArray("p1\np2") << "p1" << "p2";
        QTest::newRow("one line only") << QByteArray("p1\n") << "p1" << "";
    }
    void passwordsFromStandardInput()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, primary);
        QFETCH(QString, secondary);
        const Run run = Command({"set", "--server", "db1", "--user", "sa", "--password", "-", "--secondary-server", "db2",
                                 "--secondary-password", "-"},
                                input);
        QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
        clsSetup setup(m_program.path());
        QCOMPARE(setup.DB_PRIMARYPASSWORD, Encoded(primary));
        QCOMPARE(setup.DB_SECONDARYPASSWORD, Encoded(secondary));
        QCOMPARE(setup.DB_PASSWORD, Encoded(primary));
    }

    void clearAndRefuse()
    {
        QCOMPARE(Command({"set", "--server", "db1"}).exitCode, 0);
        QCOMPARE(Command({"clear"}).exitCode, 0);
        clsSetup setup(m_program.path());
        QCOMPARE(setup.DB_SERVER, QString());
        QCOMPARE(Stored("PRIMARYSERVER"), QString());

        QCOMPARE(Command({"set"}).exitCode, 2);
        QCOMPARE(Command({"set", "--server", "a", "--sqlite", "/tmp"}).exitCode, 2);
        QCOMPARE(Command({"set", "--sqlite", m_program.path() + "/missing"}).exitCode, 1);
        QCOMPARE(Command({"frobnicate"}).exitCode, 2);
    }

    // With the ODBC flag set no credential is read, and a connection says why it cannot open.
    void odbcFlag()
    {
        QCOMPARE(Command({"set", "--server", "db1", "--user", "sa", "--password", "x"}).exitCode, 0);
        const QString key = CredentialNames::MachineKey();
        platform::store::SaveSetting("Tessarin", "ServerInfo", CredentialNames::ValueName(key, "ODBC"), Encoded("True"));
        clsSetup setup(m_program.path());
        QVERIFY(setup.DB_ODBC);
        QVERIFY(setup.GetSQLServerDatabasePassword());
        QCOMPARE(setup.DB_SERVER, QString());
        try {
            setup.GetLogConnectionString();
            QFAIL("a connection text without credentials");
        } catch (const platform::RuntimeError& e) {
            QVERIFY2(e.Description().contains("ODBC"), qPrintable(e.Description()));
        }
        QStringList messages;
        connect(&setup, &clsSetup::Message, this,
                [&](const QString&, const QString&, qint32, const QString& text, qint32, qint32, bool*, bool) { messages << text; });
        QVERIFY(!setup.GetCompanyList());
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].startsWith("Error while getting Company List.\r\nError "));
        QVERIFY(messages[0].contains("ODBC"));
        QCOMPARE(Command({"set", "--server", "db1"}).exitCode, 0);
        QVERIFY(!clsSetup(m_program.path()).DB_ODBC);
    }

    // With no server name stored, the company list (the first thing both programs read) keeps
    // its message and number, and its description says what is missing and how to store it:
    // the commands it names, run as they read with their places filled, are taken.
    void noServerNameStored()
    {
        QCOMPARE(Command({"clear"}).exitCode, 0);
        clsSetup setup(m_program.path());
        QCOMPARE(setup.DB_SERVER, QString());
        QStringList messages;
        connect(&setup, &clsSetup::Message, this,
                [&](const QString&, const QString&, qint32, const QString& text, qint32, qint32, bool*, bool) { messages << text; });
        QVERIFY(!setup.GetCompanyList());
        QCOMPARE(messages.size(), 1);
        const QString prefix = QStringLiteral("Error while getting Company List.\r\nError -2147467259-");
        QVERIFY2(messages[0].startsWith(prefix), qPrintable(messages[0]));
        const QString description = messages[0].mid(prefix.size());
        QVERIFY2(description.contains("No SQL Server name is stored"), qPrintable(description));
        QVERIFY2(description.contains(QDir::toNativeSeparators(platform::store::Location(CredentialNames::kApplication))),
                 qPrintable(description));
        QVERIFY(!description.contains("DBNETLIB"));

        const QRegularExpression commandPattern(QStringLiteral("corvantis-credentials (set [^,;()\\r\\n]*[^,;() \\r\\n])"));
        QStringList commands;
        for (auto it = commandPattern.globalMatch(description); it.hasNext();)
            commands << it.next().captured(1);
        QCOMPARE(commands.size(), 2);
        QTemporaryDir data;
        for (QString command : commands) {
            command.replace("<host>", "db1").replace("<login>", "sa").replace("<folder>", data.path());
            QVERIFY2(!command.contains(u'<'), qPrintable(command));
            const Run run = Command(command.split(u' '), "secret\n");
            QVERIFY2(run.exitCode == 0, qPrintable(command + ": " + run.err));
        }
        QCOMPARE(Stored("PRIMARYSERVER"), Encoded("sqlite:" + data.path()));
        QVERIFY(!clsSetup(m_program.path()).DB_SERVER.isEmpty());
        QCOMPARE(Command({"clear"}).exitCode, 0);
    }

    // A stored value that does not decode does not stop the object; connections report it.
    void damagedValue()
    {
        QCOMPARE(Command({"set", "--server", "db1"}).exitCode, 0);
        const QString key = CredentialNames::MachineKey();
        platform::store::SaveSetting("Tessarin", "ServerInfo", CredentialNames::ValueName(key, "ODBC"), "garbage");
        clsSetup setup(m_program.path());
        try {
            setup.GetLogConnectionString();
            QFAIL("a connection text from damaged credentials");
        } catch (const platform::RuntimeError& e) {
            QVERIFY2(e.Description().contains("cannot be read"), qPrintable(e.Description()));
        }
        QCOMPARE(Command({"set", "--server", "db1"}).exitCode, 0);
    }

    // The text itself: decoded values, brace-quoted where they need it, ending with ";".
    void connectionText_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "db1" << "sa" << "secret" << "Provider=SQLOLEDB;Server=db1;Database=master;User ID=sa;Password=secret;";
        QTest::newRow("semicolon") << "db1" << "sa" << "a;Database=x" << "Provider=SQLOLEDB;Server=db1;Database=master;User ID=sa;Password={a;Database=x};";
        QTest::newRow("braces") << "db1" << "s{a}" << "}" << "Provider=SQLOLEDB;Server=db1;Database=master;User ID={s{a}}};Password={}}};";
        QTest::newRow("outer blanks") << "db1" << " sa" << "x " << "Provider=SQLOLEDB;Server=db1;Database=master;User ID={ sa};Password={x };";
        QTest::newRow("empty") << "" << "" << "" << "Provider=SQLOLEDB;Server=;Database=master;User ID=;Password=;";
    }
    void connectionText()
    {
        QFETCH(QString, server);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, expected);
        clsSetup setup(m_program.path());
        setup.DB_SERVER = Encoded(server);
        setup.DB_USERID = Encoded(user);
        setup.DB_PASSWORD = Encoded(password);
        QCOMPARE(setup.GetLogConnectionString(), expected);
    }
};

QTEST_GUILESS_MAIN(TestCredentials)
#include "test_credentials.moc"
