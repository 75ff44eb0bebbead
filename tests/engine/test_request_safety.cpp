// Request values that try to reach past their place: a NUL character inside a value, and a
// folder name that names the server's own request-log database. Run through the engine and the
// request-log code on real embedded databases.

#include "CoreTestSupport.h"

#include "database/Connection.h"
#include "database/Recordset.h"

#include <QtTest>

using coretest::ParsedReply;

namespace {

const QChar kNul(0);

QString DashBoardRequest(const QString& userID, const QString& folderName)
{
    platform::JsonObject request;
    request.AddString(QStringLiteral("Action"), QStringLiteral("DashBoard"));
    request.AddString(QStringLiteral("MobileNo"), QStringLiteral("9876543210"));
    request.AddString(QStringLiteral("UserID"), userID);
    request.AddString(QStringLiteral("Password"), QStringLiteral("Secret"));
    request.AddString(QStringLiteral("FolderName"), folderName);
    request.AddString(QStringLiteral("StartDate"), QStringLiteral("2024-04-01"));
    request.AddString(QStringLiteral("LastDate"), QStringLiteral("2024-04-30"));
    return request.Emit();
}

// An installation with the company ALPHA (user ADMIN / Secret) and the request-log table.
struct SafetyRun {
    coretest::Installation installation;
    std::unique_ptr<fixtures::CompanyDatabase> alpha;

    SafetyRun()
    {
        alpha = installation.CreateCompany(QStringLiteral("ALPHA"), {.CompanyName = QStringLiteral("Alpha Ltd"),
                                                                     .StartDate = QDate(2024, 4, 1),
                                                                     .LastDate = QDate(2025, 3, 31)});
        alpha->AddUser({.UserID = QStringLiteral("ADMIN"), .Password = QStringLiteral("Secret")});
        installation.ListCompany(QStringLiteral("ALPHA"), QStringLiteral("Alpha Ltd"), QDate(2024, 4, 1).startOfDay(),
                                 QDate(2025, 3, 31).startOfDay());
    }

    QString Ask(const QString& text)
    {
        platform::JsonObject request;
        request.Load(text);
        clsClient client;
        client.Setup = installation.setup.get();
        return client.GetData(request);
    }

    // One column of the request-log rows, oldest first.
    QStringList LogColumn(const QString& column)
    {
        platform::db::Connection connection;
        connection.Open(QStringLiteral("Server=sqlite:") + installation.DatabaseFolder() + QStringLiteral(";Database=master"));
        platform::db::Recordset rs;
        rs.Open(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM TessarinMobileLog ORDER BY RequestID"), connection);
        QStringList values;
        for (; !rs.IsEOF(); rs.MoveNext())
            values << rs.Field(0).ToText();
        return values;
    }
};

}  // namespace

class TestRequestSafety : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        coretest::IsolateUserSettings(m_dir);
    }

    // A NUL inside a value never cuts a statement short: the value is stored and compared as
    // itself, the request keeps its log row, and no statement text reaches the reply.
    void nulInValues_data()
    {
        QTest::addColumn<QString>("userID");
        QTest::newRow("inside") << (QStringLiteral("ADMIN") + kNul + QStringLiteral("' OR 1=1 --"));
        QTest::newRow("at the end") << (QStringLiteral("ADMIN") + kNul);
        QTest::newRow("alone") << QString(kNul);
        QTest::newRow("two in a row, quoted") << (QStringLiteral("A'") + kNul + kNul + QStringLiteral("'B"));
    }
    void nulInValues()
    {
        QFETCH(QString, userID);
        SafetyRun run;
        QVERIFY(run.installation.setup->CheckLogData());

        const QString request = DashBoardRequest(userID, QStringLiteral("ALPHA"));
        QCOMPARE(run.installation.setup->InsertRequest(QStringLiteral("10.0.0.1"), request + QStringLiteral("<EOF>")), 1);
        const QStringList users = run.LogColumn(QStringLiteral("UserID"));
        QCOMPARE(users, QStringList{userID});
        QVERIFY(run.LogColumn(QStringLiteral("RequestJSON")).value(0).contains(QStringLiteral("\\u0000")));

        // The user is looked up as sent and is not found, exactly as a plainly unknown one.
        const QString reply = run.Ask(request);
        QVERIFY2(!reply.contains(QStringLiteral("unrecognized token")) && !reply.contains(QStringLiteral("SQLite")),
                 qPrintable(reply));
        QCOMPARE(ParsedReply(reply).StringOf(QStringLiteral("Status")), QStringLiteral("0"));
        QCOMPARE(ParsedReply(reply).StringOf(QStringLiteral("Message")),
                 ParsedReply(run.Ask(DashBoardRequest(QStringLiteral("NOSUCHUSER"), QStringLiteral("ALPHA"))))
                     .StringOf(QStringLiteral("Message")));

        run.installation.setup->UpdateRequest(1, reply);
        QCOMPARE(run.LogColumn(QStringLiteral("ResponseJSON")), QStringList{reply.chopped(5)});
        QCOMPARE(run.installation.setup->cnnConnection.State(), 0);
    }

    // The request-log database is no company: a request naming it, in any case, is answered as
    // one naming a database outside the company list, and the log is left as it was.
    void logDatabaseIsNoCompany_data()
    {
        QTest::addColumn<QString>("folderName");
        QTest::newRow("master") << QStringLiteral("master");
        QTest::newRow("Master") << QStringLiteral("Master");
        QTest::newRow("MASTER") << QStringLiteral("MASTER");
    }
    void logDatabaseIsNoCompany()
    {
        QFETCH(QString, folderName);
        SafetyRun run;
        QVERIFY(run.installation.setup->CheckLogData());
        QCOMPARE(run.installation.setup->InsertRequest(QStringLiteral("10.0.0.1"),
                                                       DashBoardRequest(QStringLiteral("ADMIN"), folderName)),
                 1);
        const QString reply = run.Ask(DashBoardRequest(QStringLiteral("ADMIN"), folderName));
        QString unknown = run.Ask(DashBoardRequest(QStringLiteral("ADMIN"), QStringLiteral("NOSUCH")));
        unknown.replace(QStringLiteral("NOSUCH"), folderName);
        QCOMPARE(reply, unknown);
        QVERIFY(reply.contains(QStringLiteral("Unknown company database: ") + folderName));
        QCOMPARE(run.LogColumn(QStringLiteral("DatabaseName")), QStringList{folderName});
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestRequestSafety)
#include "test_request_safety.moc"
