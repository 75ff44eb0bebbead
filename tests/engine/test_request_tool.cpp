// corvantis-request, run as support runs it: an installation folder with its settings file, the
// stored credentials pointing at an embedded database folder, and one request per run.

#include "CoreTestSupport.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

}  // namespace

class TestRequestTool : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        coretest::IsolateUserSettings(m_dir);
        fixtures::StoreCredentials(DatabaseFolder());
        fixtures::WriteSettingsFile(ProgramFolder());

        fixtures::CompanyDatabase alpha(DatabaseFolder(), QStringLiteral("ALPHA"));
        alpha.AddCompany({.CompanyName = QStringLiteral("Alpha Traders"), .StartDate = QDate(2025, 4, 1),
                          .LastDate = QDate(2026, 3, 31), .BranchRequired = true});
        alpha.AddUser({.UserID = QStringLiteral("ADMIN"), .Password = QStringLiteral("Secret")});

        QFile clock(m_dir.filePath(QStringLiteral("clock.txt")));
        QVERIFY(clock.open(QIODevice::WriteOnly));
        clock.write("2025-06-15T10:30:00\n");
    }

    void answersFromTheArgument()
    {
        const ToolRun run = Run({QStringLiteral("--folder"), ProgramFolder(), QStringLiteral("--log"), CompanyList()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out,
                 QStringLiteral("{\"Action\":\"CompanyList\",\"MobileNo\":\"9876543210\",\"Status\":1,\"Message\":\"Success\","
                                "\"EnterpriseEdition\":true,\"Data\":[{\"CmpNm\":\"Alpha Traders\",\"StDt\":\"2025-04-01\","
                                "\"LtDt\":\"2026-03-31\",\"FldNm\":\"ALPHA\",\"IsBrn\":true,\"IsSer\":false}]}<EOF>\n"));
        // The request's steps went to a text log of the installation.
        const QStringList logs = QDir(ProgramFolder() + QStringLiteral("/LogFiles")).entryList({QStringLiteral("Log_*.txt")});
        QCOMPARE(logs.size(), 1);
        QFile log(ProgramFolder() + QStringLiteral("/LogFiles/") + logs.first());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains("|Mobile No.9876543210 Checking Companies Parameter for ALPHA"));
    }

    void answersFromStandardInput()
    {
        const ToolRun run = Run({QStringLiteral("--folder"), ProgramFolder()},
                                QStringLiteral("{\"Action\":\" DashBoard\",\"MobileNo\":\"98\"}<EOF>"));
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("{\"Action\":\" DashBoard\",\"MobileNo\":\"98\",\"Status\":0,\"Message\":\"Improper Action.\"}<EOF>\n"));
    }

    void wrongPassword()
    {
        const ToolRun run = Run({QStringLiteral("--folder"), ProgramFolder(), QStringLiteral("--test-mode"),
                                 CompanyList(QStringLiteral("wrong"))});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("{\"Action\":\"CompanyList\",\"MobileNo\":\"9876543210\",\"Status\":0,"
                                         "\"Message\":\"No Company found to work.\"}<EOF>\n"));
    }

    void familyNotBuilt()
    {
        const ToolRun run = Run({QStringLiteral("--folder"), ProgramFolder(),
                                 QStringLiteral("{\"Action\":\"itemsummary\",\"MobileNo\":\"98\",\"FolderName\":\"ALPHA\"}")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("{\"Action\":\"itemsummary\",\"MobileNo\":\"98\",\"Status\":0,"
                                         "\"Message\":\"Error while getting Item Summary.\\r\\n\\r\\nError 13-Type mismatch\"}<EOF>\n"));
    }

    void withoutCredentialsTheListFails()
    {
        QTemporaryDir otherConfig;
        QProcessEnvironment environment = Environment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), otherConfig.path());
        const ToolRun run = Run({QStringLiteral("--folder"), ProgramFolder(), CompanyList()}, QString(), environment);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains(QLatin1String("Error while getting Company List.")), qPrintable(run.err));
    }

private:
    QString ProgramFolder() const { return m_dir.filePath(QStringLiteral("CALDERWICK/Corvantis")); }
    QString DatabaseFolder() const { return m_dir.filePath(QStringLiteral("databases")); }

    static QString CompanyList(const QString& password = QStringLiteral("Secret"))
    {
        return QStringLiteral("{\"Action\":\"CompanyList\",\"MobileNo\":\"9876543210\",\"UserID\":\"ADMIN\",\"Password\":\"")
               + password + QStringLiteral("\"}");
    }

    QProcessEnvironment Environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("CORVANTIS_CLOCK_FILE"), m_dir.filePath(QStringLiteral("clock.txt")));
        return environment;
    }

    ToolRun Run(const QStringList& arguments, const QString& input = QString(),
                const QProcessEnvironment& environment = QProcessEnvironment())
    {
        QProcess process;
        process.setProcessEnvironment(environment.isEmpty() ? Environment() : environment);
        process.start(QStringLiteral(CORVANTIS_REQUEST_PATH), arguments);
        ToolRun run;
        if (!process.waitForStarted(10000))
            return run;
        if (!input.isNull())
            process.write(input.toUtf8());
        process.closeWriteChannel();
        if (!process.waitForFinished(30000))
            return run;
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestRequestTool)
#include "test_request_tool.moc"
