// "CompanyList" on company databases built for the test: which companies are offered, the reply
// text, the failure texts and the log lines.

#include "CoreTestSupport.h"

#include "clock/Clock.h"

#include <QRegularExpression>
#include <QtTest>

using coretest::CRLF;
using coretest::ParsedReply;
using coretest::Midnight;

namespace {

const QString kMobile = QStringLiteral("9876543210");

QString CompanyListRequest(const QString& userID, const QString& password)
{
    platform::JsonObject request;
    request.AddString(QStringLiteral("Action"), QStringLiteral("CompanyList"));
    request.AddString(QStringLiteral("MobileNo"), kMobile);
    request.AddString(QStringLiteral("UserID"), userID);
    request.AddString(QStringLiteral("Password"), password);
    return request.Emit();
}

QString FailureReply(const QString& message)
{
    platform::JsonObject reply;
    reply.AddString(QStringLiteral("Action"), QStringLiteral("CompanyList"));
    reply.AddString(QStringLiteral("MobileNo"), kMobile);
    reply.AddInteger(QStringLiteral("Status"), 0);
    reply.AddString(QStringLiteral("Message"), message);
    return reply.Emit() + QStringLiteral("<EOF>");
}

// An installation with companies listed and built; the user "ADMIN" / "Secret" is added to the
// databases named.
struct CompanyListRun {
    coretest::Installation installation;
    std::vector<std::unique_ptr<fixtures::CompanyDatabase>> databases;

    fixtures::CompanyDatabase& Add(const QString& name, const QDate& start, const QDate& last, bool withUser,
                                   bool branchRequired = false, bool seriesRequired = false)
    {
        databases.push_back(installation.CreateCompany(
            name, {.CompanyName = name + QStringLiteral(" Ltd"), .StartDate = start, .LastDate = last,
                   .BranchRequired = branchRequired, .SeriesRequired = seriesRequired}));
        if (withUser)
            databases.back()->AddUser({.UserID = QStringLiteral("ADMIN"), .Password = QStringLiteral("Secret")});
        installation.ListCompany(name, name + QStringLiteral(" Ltd"), start.startOfDay(), last.startOfDay());
        return *databases.back();
    }

    QString Ask(const QString& userID = QStringLiteral("ADMIN"), const QString& password = QStringLiteral("Secret"))
    {
        platform::JsonObject request;
        request.Load(CompanyListRequest(userID, password));
        clsClient client;
        client.Setup = installation.setup.get();
        return client.GetData(request);
    }
};

QStringList Folders(const platform::JsonObject& reply)
{
    QStringList folders;
    const platform::JsonArray data = reply.ArrayOf(QStringLiteral("Data"));
    for (int i = 0; i < data.Size(); ++i)
        folders << data.ObjectAt(i).StringOf(QStringLiteral("FldNm"));
    return folders;
}

}  // namespace

class TestCompanyList : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        coretest::IsolateUserSettings(m_dir);
        platform::Clock::Set(QDateTime(QDate(2025, 6, 15), QTime(10, 30)));
    }
    void cleanupTestCase() { platform::Clock::Reset(); }

    void replyText()
    {
        CompanyListRun run;
        run.Add(QStringLiteral("ALPHA"), QDate(2025, 4, 1), QDate(2026, 3, 31), true, true, false);
        run.Add(QStringLiteral("BETA"), QDate(2024, 4, 1), QDate(2026, 3, 31), true, false, true);
        QCOMPARE(run.Ask(),
                 QStringLiteral("{\"Action\":\"CompanyList\",\"MobileNo\":\"9876543210\",\"Status\":1,\"Message\":\"Success\","
                                "\"EnterpriseEdition\":true,\"Data\":["
                                "{\"CmpNm\":\"ALPHA Ltd\",\"StDt\":\"2025-04-01\",\"LtDt\":\"2026-03-31\",\"FldNm\":\"ALPHA\","
                                "\"IsBrn\":true,\"IsSer\":false},"
                                "{\"CmpNm\":\"BETA Ltd\",\"StDt\":\"2024-04-01\",\"LtDt\":\"2026-03-31\",\"FldNm\":\"BETA\","
                                "\"IsBrn\":false,\"IsSer\":true}]}<EOF>"));
    }

    void whichCompaniesAreOffered_data()
    {
        QTest::addColumn<bool>("currentYearOnly");
        QTest::addColumn<QStringList>("offered");
        QTest::newRow("current year only") << true << QStringList{QStringLiteral("TOMORROW"), QStringLiteral("LATER")};
        QTest::newRow("every company") << false
                                       << QStringList{QStringLiteral("ENDED"), QStringLiteral("TODAY"), QStringLiteral("TOMORROW"),
                                                      QStringLiteral("LATER")};
    }
    void whichCompaniesAreOffered()
    {
        QFETCH(bool, currentYearOnly);
        QFETCH(QStringList, offered);
        CompanyListRun run;
        run.installation.setup->lCurrentYearOnly = currentYearOnly;
        run.Add(QStringLiteral("ENDED"), QDate(2023, 4, 1), QDate(2024, 3, 31), true);
        run.Add(QStringLiteral("TODAY"), QDate(2024, 6, 16), QDate(2025, 6, 15), true);
        run.Add(QStringLiteral("TOMORROW"), QDate(2024, 6, 17), QDate(2025, 6, 16), true);
        run.Add(QStringLiteral("LATER"), QDate(2025, 4, 1), QDate(2026, 3, 31), true);
        const platform::JsonObject reply = ParsedReply(run.Ask());
        QCOMPARE(reply.StringOf(QStringLiteral("Status")), QStringLiteral("1"));
        QCOMPARE(Folders(reply), offered);
    }

    void userValidInTwoOfThree()
    {
        CompanyListRun run;
        run.Add(QStringLiteral("ONE"), QDate(2025, 4, 1), QDate(2026, 3, 31), true);
        run.Add(QStringLiteral("TWO"), QDate(2025, 4, 1), QDate(2026, 3, 31), false);
        run.Add(QStringLiteral("THREE"), QDate(2025, 4, 1), QDate(2026, 3, 31), true);
        const platform::JsonObject reply = ParsedReply(run.Ask());
        QCOMPARE(reply.StringOf(QStringLiteral("Status")), QStringLiteral("1"));
        QCOMPARE(reply.StringOf(QStringLiteral("Message")), QStringLiteral("Success"));
        QCOMPARE(reply.TypeOf(QStringLiteral("EnterpriseEdition")), platform::JsonType::Boolean);
        QCOMPARE(reply.StringOf(QStringLiteral("EnterpriseEdition")), QStringLiteral("true"));
        QCOMPARE(Folders(reply), (QStringList{QStringLiteral("ONE"), QStringLiteral("THREE")}));
    }

    void datesHaveNoTime()
    {
        CompanyListRun run;
        run.Add(QStringLiteral("ALPHA"), QDate(2025, 4, 1), QDate(2026, 3, 31), true);
        // The list keeps what the server gave; a time of day never reaches the reply.
        run.installation.setup->xCompanies.SetValue(0, 2, QDateTime(QDate(2025, 4, 1), QTime(9, 15)));
        run.installation.setup->xCompanies.SetValue(0, 3, QDateTime(QDate(2026, 3, 31), QTime(23, 59, 59)));
        const platform::JsonObject row = ParsedReply(run.Ask()).ArrayOf(QStringLiteral("Data")).ObjectAt(0);
        QCOMPARE(row.StringOf(QStringLiteral("StDt")), QStringLiteral("2025-04-01"));
        QCOMPARE(row.StringOf(QStringLiteral("LtDt")), QStringLiteral("2026-03-31"));
    }

    void nothingToOffer_data()
    {
        QTest::addColumn<QString>("userID");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("companies");
        QTest::newRow("no company") << QStringLiteral("ADMIN") << QStringLiteral("Secret") << false;
        QTest::newRow("wrong password") << QStringLiteral("ADMIN") << QStringLiteral("Secret1") << true;
        QTest::newRow("locked user") << QStringLiteral("CLERK") << QStringLiteral("Clerk") << true;
        QTest::newRow("unknown user") << QStringLiteral("NOBODY") << QStringLiteral("Secret") << true;
        QTest::newRow("quote in user id") << QStringLiteral("O'Brien") << QStringLiteral("Secret") << true;
    }
    void nothingToOffer()
    {
        QFETCH(QString, userID);
        QFETCH(QString, password);
        QFETCH(bool, companies);
        CompanyListRun run;
        if (companies) {
            run.Add(QStringLiteral("ALPHA"), QDate(2025, 4, 1), QDate(2026, 3, 31), true)
                .AddUser({.UserID = QStringLiteral("CLERK"), .Password = QStringLiteral("Clerk"), .Locked = true});
            run.Add(QStringLiteral("BETA"), QDate(2025, 4, 1), QDate(2026, 3, 31), true);
        }
        // The reasons gathered per company are not sent.
        QCOMPARE(run.Ask(userID, password), FailureReply(QStringLiteral("No Company found to work.")));
    }

    void passwordInAnyCase()
    {
        CompanyListRun run;
        run.Add(QStringLiteral("ALPHA"), QDate(2025, 4, 1), QDate(2026, 3, 31), true);
        QCOMPARE(Folders(ParsedReply(run.Ask(QStringLiteral("admin"), QStringLiteral("sEcReT")))), QStringList{QStringLiteral("ALPHA")});
    }

    void companyInfoFailureFailsTheList()
    {
        CompanyListRun run;
        run.Add(QStringLiteral("ALPHA"), QDate(2025, 4, 1), QDate(2026, 3, 31), true);
        run.Add(QStringLiteral("BETA"), QDate(2025, 4, 1), QDate(2026, 3, 31), true).Exec(QStringLiteral("DELETE FROM Company"));
        const platform::JsonObject reply = ParsedReply(run.Ask());
        QCOMPARE(reply.Size(), 4);
        QCOMPARE(reply.StringOf(QStringLiteral("Status")), QStringLiteral("0"));
        const QString message = reply.StringOf(QStringLiteral("Message"));
        QVERIFY2(message.startsWith(QStringLiteral("Error while getting Company List.") + CRLF + QStringLiteral("3021-")),
                 qPrintable(message));
        QVERIFY(!message.contains(QLatin1String("Error 3021")));
    }

    void databaseThatCannotBeOpened()
    {
        CompanyListRun run;
        run.Add(QStringLiteral("ALPHA"), QDate(2025, 4, 1), QDate(2026, 3, 31), false);
        run.installation.ListCompany(QStringLiteral("GHOST"), QStringLiteral("Ghost Ltd"), Midnight(2025, 4, 1), Midnight(2026, 3, 31));
        run.Add(QStringLiteral("BETA"), QDate(2025, 4, 1), QDate(2026, 3, 31), true);
        const platform::JsonObject reply = ParsedReply(run.Ask());
        QCOMPARE(reply.Size(), 4);
        QCOMPARE(reply.StringOf(QStringLiteral("Status")), QStringLiteral("0"));
        const QString message = reply.StringOf(QStringLiteral("Message"));
        const QString head = QStringLiteral("Error while getting Company List.") + CRLF
                             + QStringLiteral("User Doesn't exist or locked for database ALPHA") + CRLF + CRLF
                             + QStringLiteral("Error ");
        QVERIFY2(message.startsWith(head), qPrintable(message));
        QVERIFY2(QRegularExpression(QStringLiteral("^-?\\d+-.+")).match(message.mid(head.size())).hasMatch(), qPrintable(message));
        QVERIFY(!QFile::exists(run.installation.DatabaseFolder() + QStringLiteral("/GHOST.sqlite")));
    }

    void logLines()
    {
        CompanyListRun run;
        run.Add(QStringLiteral("ENDED"), QDate(2023, 4, 1), QDate(2024, 3, 31), true);
        run.Add(QStringLiteral("ALPHA"), QDate(2025, 4, 1), QDate(2026, 3, 31), false);
        run.Add(QStringLiteral("BETA"), QDate(2025, 4, 1), QDate(2026, 3, 31), true);
        QCOMPARE(ParsedReply(run.Ask()).StringOf(QStringLiteral("Status")), QStringLiteral("1"));
        const QString m = QStringLiteral("Mobile No.") + kMobile;
        QCOMPARE(run.installation.LogLines(),
                 (QStringList{m + QStringLiteral(" Generating Main Data JSON Text"),
                              m + QStringLiteral(" Loading Main Data JSON Object"),
                              m + QStringLiteral(" Adding Data Array to JSON"),
                              m + QStringLiteral(" Checking Companies Parameter for ENDED"),
                              m + QStringLiteral(" Checking Companies Parameter for ALPHA"),
                              m + QStringLiteral(" Opening Database ALPHA"),
                              m + QStringLiteral(" Checking user"),
                              m + QStringLiteral(" Checking Companies Parameter for BETA"),
                              m + QStringLiteral(" Opening Database BETA"),
                              m + QStringLiteral(" Checking user"),
                              m + QStringLiteral(" Getting Company Info for Database BETA"),
                              m + QStringLiteral(" Adding Company Data to JSON Array"),
                              m + QStringLiteral(" Returning Company List from JSON Object to Text")}));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCompanyList)
#include "test_company_list.moc"
