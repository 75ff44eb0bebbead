// The per-request services on real company databases: the user check with its rights lists,
// the company and branch information, the company year of a day, the account and item look-ups
// and the option right.

#include "CoreTestSupport.h"

#include <QtTest>

using coretest::CRLF;
using coretest::Midnight;

namespace {

struct ServiceRun {
    coretest::Installation installation;
    std::unique_ptr<fixtures::CompanyDatabase> db;
    clsClient client;

    explicit ServiceRun(const fixtures::CompanyRow& company = fixtures::CompanyRow(), bool withCompanyRow = true)
    {
        db = installation.CreateCompany(QStringLiteral("ALPHA"), company, withCompanyRow);
        installation.ListCompany(QStringLiteral("ALPHA"), company.CompanyName, company.StartDate.startOfDay(),
                                 company.LastDate.startOfDay());
        client.Setup = installation.setup.get();
    }
    void Open() { EngineTestAccess::OpenCompanyDatabase(client, QStringLiteral("ALPHA")); }
    QString& ErrorText() { return EngineTestAccess::ErrorText(client); }
};

}  // namespace

class TestEngineServices : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        coretest::IsolateUserSettings(m_dir);
    }

    // --- rows read as the statement steps ---------------------------------------------------------

    // They fail as a recordset read whole failed: a failure of the statement, in whatever row,
    // comes first and before the line that says the rows are read; a value that does not read
    // comes after that line, once the statement has run to its end.
    void rowsFailAsARecordsetFailed_data()
    {
        QTest::addColumn<int>("statementFailsAt");  // 0: never
        QTest::addColumn<int>("readingFailsAt");
        QTest::addColumn<long>("number");           // 0: no failure
        QTest::addColumn<bool>("logged");
        QTest::addColumn<int>("rowsRead");
        QTest::newRow("both, the reading first") << 4 << 2 << platform::err::SyntaxError << false << 2;
        QTest::newRow("the statement in a later row") << 4 << 0 << platform::err::SyntaxError << false << 3;
        QTest::newRow("a value") << 0 << 2 << platform::err::TypeMismatch << true << 2;
        QTest::newRow("none") << 0 << 0 << 0L << true << 5;
    }
    void rowsFailAsARecordsetFailed()
    {
        QFETCH(int, statementFailsAt);
        QFETCH(int, readingFailsAt);
        QFETCH(long, number);
        QFETCH(bool, logged);
        QFETCH(int, rowsRead);
        ServiceRun run;
        run.db->Exec(QStringLiteral("CREATE TABLE Nums (N INTEGER); INSERT INTO Nums VALUES (1), (2), (3), (4), (5)"));
        run.Open();
        // No order asked for: the rows come as the table gives them, one step each.
        const QString sql = QStringLiteral("SELECT N, DateAdd(d, 1, CASE WHEN N < %1 THEN '2024-01-01' ELSE 'no date' END) AS D "
                                           "FROM Nums")
                                .arg(statementFailsAt > 0 ? statementFailsAt : 99);
        const QString words = QStringLiteral(" Reading the numbers");
        int read = 0;
        long failure = 0;
        try {
            EngineTestAccess::ReadRows(run.client, QStringLiteral("98"), sql, words, [&](platform::db::Rows& rows) {
                ++read;
                if (rows.ToInteger(0) == readingFailsAt)
                    throw platform::RuntimeError(platform::err::TypeMismatch, QStringLiteral("Type mismatch"));
            });
        } catch (const platform::RuntimeError& e) {
            failure = e.Number();
        }
        QCOMPARE(failure, number);
        QCOMPARE(run.installation.LogLines().contains(QStringLiteral("Mobile No.98") + words), logged);
        QCOMPARE(read, rowsRead);
    }

    // --- company connections kept between requests ---------------------------------------------

    // A connection given back is taken by the next request on the same database, at most a few
    // are kept, and none is kept across a change of the company list, the credentials or the
    // settings. One that still holds a transaction is closed, so its changes never reach the
    // next request.
    void companyConnectionsKept()
    {
        ServiceRun run;
        clsSetup& setup = *run.installation.setup;
        const QString text = setup.GetConnectionString(QStringLiteral("ALPHA"));
        QVERIFY(!setup.TakeCompanyConnection(text));
        {
            clsClient first;
            first.Setup = &setup;
            EngineTestAccess::OpenCompanyDatabase(first, QStringLiteral("ALPHA"));
            EngineTestAccess::Company(first).Execute(QStringLiteral("CREATE TABLE Marks (Mark INTEGER)"));
        }  // given back when the request's object goes
        auto kept = setup.TakeCompanyConnection(text);
        QVERIFY(kept);
        QVERIFY(!setup.TakeCompanyConnection(text));
        setup.KeepCompanyConnection(text, std::move(kept));

        // A request reads in a transaction of its own, ended when it gives the connection back:
        // the next request on the kept connection sees what was written in between.
        {
            clsClient second;
            second.Setup = &setup;
            EngineTestAccess::OpenCompanyDatabase(second, QStringLiteral("ALPHA"));
            QVERIFY(!setup.TakeCompanyConnection(text));  // the kept one is in use
            const auto rows = EngineTestAccess::Company(second).Query(QStringLiteral("SELECT COUNT(*) FROM Marks"));
            QCOMPARE(rows.rows.front().front().ToInteger(), 0);
        }
        {
            platform::db::Connection writer;
            writer.Open(text);
            writer.Execute(QStringLiteral("INSERT INTO Marks (Mark) VALUES (1)"));
        }
        kept = setup.TakeCompanyConnection(text);
        QVERIFY(kept && kept->ReadyForReuse());
        setup.KeepCompanyConnection(text, std::move(kept));
        {
            clsClient third;
            third.Setup = &setup;
            EngineTestAccess::OpenCompanyDatabase(third, QStringLiteral("ALPHA"));
            QVERIFY(!setup.TakeCompanyConnection(text));
            const auto rows = EngineTestAccess::Company(third).Query(QStringLiteral("SELECT COUNT(*) FROM Marks"));
            QCOMPARE(rows.rows.front().front().ToInteger(), 1);
        }

        // At most three for one database.
        std::vector<std::unique_ptr<clsClient>> clients;
        for (int i = 0; i < 5; ++i) {
            clients.push_back(std::make_unique<clsClient>());
            clients.back()->Setup = &setup;
            EngineTestAccess::OpenCompanyDatabase(*clients.back(), QStringLiteral("ALPHA"));
        }
        clients.clear();
        int count = 0;
        std::vector<std::unique_ptr<platform::db::Backend>> taken;
        while (auto connection = setup.TakeCompanyConnection(text)) {
            taken.push_back(std::move(connection));
            ++count;
        }
        QCOMPARE(count, 3);

        // Reading the company list, the credentials or the settings again drops them all.
        const std::vector<std::function<void()>> changes = {
            [&] { setup.GetCompanyList(); },
            [&] { setup.GetSQLServerDatabasePassword(); },
            [&] { setup.GetSettings(); },
        };
        for (const auto& change : changes) {
            setup.KeepCompanyConnection(text, std::move(taken.back()));
            taken.pop_back();
            change();
            QVERIFY(!setup.TakeCompanyConnection(text));
        }
    }

    // --- user check -------------------------------------------------------------------------

    void checkUser_data()
    {
        QTest::addColumn<QString>("userID");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("valid");
        QTest::newRow("as stored") << QStringLiteral("ADMIN") << QStringLiteral("Secret7") << true;
        QTest::newRow("password in capitals") << QStringLiteral("ADMIN") << QStringLiteral("SECRET7") << true;
        QTest::newRow("password in small letters") << QStringLiteral("ADMIN") << QStringLiteral("secret7") << true;
        QTest::newRow("user id in other case") << QStringLiteral("admin") << QStringLiteral("Secret7") << true;
        QTest::newRow("wrong password") << QStringLiteral("ADMIN") << QStringLiteral("Secret8") << false;
        QTest::newRow("empty password") << QStringLiteral("ADMIN") << QString() << false;
        QTest::newRow("locked") << QStringLiteral("LOCKED") << QStringLiteral("Secret7") << false;
        QTest::newRow("unknown") << QStringLiteral("NOBODY") << QStringLiteral("Secret7") << false;
        QTest::newRow("quote in user id") << QStringLiteral("O'Brien") << QStringLiteral("Secret7") << false;
        QTest::newRow("quote ending the literal") << QStringLiteral("x' OR 1=1 --") << QStringLiteral("anything") << false;
    }
    void checkUser()
    {
        QFETCH(QString, userID);
        QFETCH(QString, password);
        QFETCH(bool, valid);
        ServiceRun run;
        run.db->AddUser({.UserID = QStringLiteral("ADMIN"), .Password = QStringLiteral("Secret7"), .IsSupervisor = true,
                         .BranchCodes = QStringLiteral("01")});
        run.db->AddUser({.UserID = QStringLiteral("LOCKED"), .Password = QStringLiteral("Secret7"), .Locked = true});
        run.Open();
        run.ErrorText() = QStringLiteral("kept");
        bool isSupervisor = false;
        QString branches = QStringLiteral("untouched"), stores = QStringLiteral("untouched"), groups = QStringLiteral("untouched");
        QCOMPARE(EngineTestAccess::CheckUser(run.client, userID, password, isSupervisor, branches, stores, groups), valid);
        // A user who does not pass leaves no text and no values; neither does one who does.
        QCOMPARE(run.ErrorText(), QStringLiteral("kept"));
        QCOMPARE(isSupervisor, valid);
        QCOMPARE(branches, valid ? QStringLiteral("'01'") : QStringLiteral("untouched"));
        QVERIFY(!EngineTestAccess::RecordsetOpen(run.client));
    }

    void checkUserLists_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("outer blanks") << QStringLiteral(" 01,02 ") << QStringLiteral("'01','02'");
        QTest::newRow("inner blanks trimmed") << QStringLiteral("01 , 02") << QStringLiteral("'01','02'");
        QTest::newRow("empty") << QString() << QString();
    }
    void checkUserLists()
    {
        QFETCH(QString, stored);
        QFETCH(QString, quoted);
        ServiceRun run;
        run.db->AddUser({.UserID = QStringLiteral("U1"), .Password = QStringLiteral("pw"), .BranchCodes = stored,
                         .StoreCodes = stored, .AccountGroupCodes = stored});
        run.Open();
        bool isSupervisor = true;
        QString branches, stores, groups;
        QVERIFY(EngineTestAccess::CheckUser(run.client, QStringLiteral("U1"), QStringLiteral("PW"), isSupervisor, branches,
                                            stores, groups));
        QCOMPARE(isSupervisor, false);
        QCOMPARE(branches, quoted);
        QCOMPARE(stores, quoted);
        QCOMPARE(groups, quoted);
    }

    void checkUserNullColumnIsAnError()
    {
        ServiceRun run;
        run.db->AddUser({.UserID = QStringLiteral("U1"), .Password = QStringLiteral("pw")});
        run.db->Exec(QStringLiteral("UPDATE stdUsers SET StoreCodes = NULL"));
        run.Open();
        bool isSupervisor = false;
        QString branches, stores, groups;
        QVERIFY(!EngineTestAccess::CheckUser(run.client, QStringLiteral("U1"), QStringLiteral("pw"), isSupervisor, branches,
                                             stores, groups));
        QCOMPARE(run.ErrorText(), QStringLiteral("94-Invalid use of Null"));
        QVERIFY(!EngineTestAccess::RecordsetOpen(run.client));
    }

    // --- company and branch information ------------------------------------------------------

    void companyInfo_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("stateCode");
        QTest::addColumn<bool>("unionTerritory");
        QTest::newRow("7") << QStringLiteral("7") << QStringLiteral("07") << true;
        QTest::newRow("07") << QStringLiteral("07") << QStringLiteral("007") << false;
        QTest::newRow("38") << QStringLiteral("38") << QStringLiteral("038") << false;
        QTest::newRow("1") << QStringLiteral("1") << QStringLiteral("01") << true;
        QTest::newRow("27") << QStringLiteral("27") << QStringLiteral("027") << false;
        QTest::newRow("empty") << QString() << QStringLiteral("0") << false;
    }
    void companyInfo()
    {
        QFETCH(QString, stored);
        QFETCH(QString, stateCode);
        QFETCH(bool, unionTerritory);
        ServiceRun run({.CompanyName = QStringLiteral("Alpha"), .StartDate = QDate(2024, 4, 1), .LastDate = QDate(2025, 3, 31),
                        .BranchRequired = true, .SeriesRequired = false, .SEZUnit = true, .StateCode = stored});
        run.Open();
        bool branchRequired = false, seriesRequired = true, sezUnit = false, ut = !unionTerritory;
        QDate start, last;
        QString code;
        QVERIFY(EngineTestAccess::ErrorText(run.client).isEmpty());
        QVERIFY(run.client.GetCompanyInfo(branchRequired, seriesRequired, start, last, sezUnit, code, ut));
        QCOMPARE(branchRequired, true);
        QCOMPARE(seriesRequired, false);
        QCOMPARE(start, QDate(2024, 4, 1));
        QCOMPARE(last, QDate(2025, 3, 31));
        QCOMPARE(sezUnit, true);
        QCOMPARE(code, stateCode);
        QCOMPARE(ut, unionTerritory);
        QVERIFY(!EngineTestAccess::RecordsetOpen(run.client));
    }

    void companyInfoFailures_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<long>("number");
        QTest::newRow("no company row") << QStringLiteral("DELETE FROM Company") << platform::err::NoCurrentRecord;
        QTest::newRow("null flag") << QStringLiteral("UPDATE Company SET SeriesRequired = NULL") << platform::err::InvalidUseOfNull;
        QTest::newRow("null date") << QStringLiteral("UPDATE Company SET LastDate = NULL") << platform::err::InvalidUseOfNull;
        QTest::newRow("null state") << QStringLiteral("UPDATE Company SET StateCode = NULL") << platform::err::InvalidUseOfNull;
    }
    void companyInfoFailures()
    {
        QFETCH(QString, damage);
        QFETCH(long, number);
        ServiceRun run;
        run.db->Exec(damage);
        run.Open();
        run.ErrorText() = QStringLiteral("replaced");
        bool branchRequired = false, seriesRequired = false, sezUnit = false, ut = false;
        QDate start, last;
        QString code = QStringLiteral("kept");
        QVERIFY(!run.client.GetCompanyInfo(branchRequired, seriesRequired, start, last, sezUnit, code, ut));
        QVERIFY2(run.ErrorText().startsWith(QString::number(number) + QLatin1Char('-')), qPrintable(run.ErrorText()));
        QCOMPARE(code, QStringLiteral("kept"));  // never read
        QVERIFY(!EngineTestAccess::RecordsetOpen(run.client));
    }

    void branchInfo_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("unionTerritory");
        QTest::newRow("007") << QStringLiteral("007") << true;
        QTest::newRow("038") << QStringLiteral("038") << true;
        QTest::newRow("07") << QStringLiteral("07") << false;
        QTest::newRow("7") << QStringLiteral("7") << false;
        QTest::newRow("027") << QStringLiteral("027") << false;
        QTest::newRow("empty") << QString() << false;
    }
    void branchInfo()
    {
        QFETCH(QString, stored);
        QFETCH(bool, unionTerritory);
        ServiceRun run;
        run.db->AddBranch({.BranchCode = QStringLiteral("01"), .BranchName = QStringLiteral("Main"), .SEZUnit = true,
                           .StateCode = stored});
        run.Open();
        bool sezUnit = false, ut = !unionTerritory;
        QString code;
        QVERIFY(EngineTestAccess::GetBranchInfo(run.client, QStringLiteral("01"), sezUnit, code, ut));
        QCOMPARE(sezUnit, true);
        QCOMPARE(code, stored);
        QCOMPARE(ut, unionTerritory);
    }

    void branchInfoOfUnknownBranch()
    {
        ServiceRun run;
        run.db->AddBranch({.BranchCode = QStringLiteral("01"), .StateCode = QStringLiteral("007")});
        run.Open();
        bool sezUnit = false, ut = false;
        QString code;
        QVERIFY(!EngineTestAccess::GetBranchInfo(run.client, QStringLiteral("0'2"), sezUnit, code, ut));
        QVERIFY2(run.ErrorText().startsWith(QStringLiteral("3021-")), qPrintable(run.ErrorText()));
    }

    // --- company year of a day ----------------------------------------------------------------

    void companyYearDates_data()
    {
        QTest::addColumn<QDate>("companyLast");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("last");
        QTest::newRow("one year, early") << QDate(2025, 3, 31) << QDate(2024, 5, 1) << QDate(2024, 4, 1) << QDate(2025, 3, 31);
        QTest::newRow("one year, later") << QDate(2025, 3, 31) << QDate(2026, 1, 1) << QDate(2024, 4, 1) << QDate(2025, 3, 31);
        QTest::newRow("two years, first") << QDate(2026, 3, 31) << QDate(2025, 3, 31) << QDate(2024, 4, 1) << QDate(2025, 3, 31);
        QTest::newRow("two years, anniversary") << QDate(2026, 3, 31) << QDate(2025, 4, 1) << QDate(2025, 4, 1) << QDate(2026, 3, 31);
        QTest::newRow("two years, second") << QDate(2026, 3, 31) << QDate(2025, 4, 2) << QDate(2025, 4, 1) << QDate(2026, 3, 31);
    }
    void companyYearDates()
    {
        QFETCH(QDate, companyLast);
        QFETCH(QDate, today);
        QFETCH(QDate, start);
        QFETCH(QDate, last);
        ServiceRun run({.StartDate = QDate(2024, 4, 1), .LastDate = companyLast});
        run.Open();
        QDate s, l;
        QVERIFY2(EngineTestAccess::GetCompanyYearDates(run.client, today, s, l), qPrintable(run.ErrorText()));
        QCOMPARE(s, start);
        QCOMPARE(l, last);
    }

    void companyYearDatesWithoutCompanyRow()
    {
        ServiceRun run(fixtures::CompanyRow(), false);
        run.Open();
        QDate s, l;
        QVERIFY(!EngineTestAccess::GetCompanyYearDates(run.client, QDate(2025, 1, 1), s, l));
        QVERIFY2(run.ErrorText().startsWith(QStringLiteral("3021-")), qPrintable(run.ErrorText()));
    }

    // --- account, item and option look-ups -------------------------------------------------------

    void accountInfo_data()
    {
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("locationName");
        QTest::addColumn<QString>("priceList");
        QTest::addColumn<double>("discount");
        QTest::newRow("main location by default") << QStringLiteral("A1") << QString() << QStringLiteral("Acme") << QString()
                                                  << QStringLiteral("PL1") << 2.5;
        QTest::newRow("main location named") << QStringLiteral("A1") << QStringLiteral("001") << QStringLiteral("Acme")
                                             << QStringLiteral("Head Office") << QStringLiteral("PL1") << 2.5;
        QTest::newRow("second location") << QStringLiteral("A1") << QStringLiteral("002") << QStringLiteral("Acme")
                                         << QStringLiteral("Pune") << QStringLiteral("PL2") << 0.0;
        QTest::newRow("without address rows") << QStringLiteral("B1") << QString() << QStringLiteral("Bare") << QString()
                                              << QString() << 0.0;
        // An account whose addresses are all for other locations still gives its name.
        QTest::newRow("other locations only") << QStringLiteral("C1") << QString() << QStringLiteral("Branchy") << QString()
                                              << QString() << 0.0;
        QTest::newRow("unknown location") << QStringLiteral("A1") << QStringLiteral("009") << QStringLiteral("Acme") << QString()
                                          << QString() << 0.0;
    }
    void accountInfo()
    {
        QFETCH(QString, account);
        QFETCH(QString, location);
        QFETCH(QString, name);
        QFETCH(QString, locationName);
        QFETCH(QString, priceList);
        QFETCH(double, discount);
        ServiceRun run;
        run.db->AddAccount({.AccountCode = QStringLiteral("A1"), .AccountName = QStringLiteral("Acme")});
        run.db->AddAccountAddress({.AccountCode = QStringLiteral("A1"), .AccountLocationName = QStringLiteral("Head Office"),
                                   .PriceListCode = QStringLiteral("PL1"), .CGSTCode = QStringLiteral("C9"),
                                   .SGSTCode = QStringLiteral("S9"), .IGSTCode = QStringLiteral("I18"), .DiscPercentage = 2.5,
                                   .GSTPartyType = QStringLiteral("SEZ"), .CountryCode = QStringLiteral("IN")});
        run.db->AddAccountAddress({.AccountCode = QStringLiteral("A1"), .AccountLocationCode = QStringLiteral("002"),
                                   .AccountLocationName = QStringLiteral("Pune"), .PriceListCode = QStringLiteral("PL2")});
        run.db->AddAccount({.AccountCode = QStringLiteral("B1"), .AccountName = QStringLiteral("Bare")});
        run.db->AddAccount({.AccountCode = QStringLiteral("C1"), .AccountName = QStringLiteral("Branchy")});
        run.db->AddAccountAddress({.AccountCode = QStringLiteral("C1"), .AccountLocationCode = QStringLiteral("002"),
                                   .AccountLocationName = QStringLiteral("Nashik"), .PriceListCode = QStringLiteral("PLX")});
        run.Open();
        QString n = QStringLiteral("x"), ln = QStringLiteral("x"), pl = QStringLiteral("x"), g, s, i, pt, cc;
        double d = -1;
        QVERIFY2(EngineTestAccess::GetAccountInfo(run.client, account, location, n, ln, pl, g, s, i, d, pt, cc),
                 qPrintable(run.ErrorText()));
        QCOMPARE(n, name);
        QCOMPARE(ln, locationName);
        QCOMPARE(pl, priceList);
        QCOMPARE(d, discount);
        if (priceList == QLatin1String("PL1")) {
            QCOMPARE(g, QStringLiteral("C9"));
            QCOMPARE(s, QStringLiteral("S9"));
            QCOMPARE(i, QStringLiteral("I18"));
            QCOMPARE(pt, QStringLiteral("SEZ"));
            QCOMPARE(cc, QStringLiteral("IN"));
        } else {
            QVERIFY(g.isEmpty() && s.isEmpty() && i.isEmpty() && pt.isEmpty() && cc.isEmpty());
        }
        QVERIFY(!EngineTestAccess::RecordsetOpen(run.client));
    }

    void accountInfoOfUnknownAccount()
    {
        ServiceRun run;
        run.db->AddAccount({.AccountCode = QStringLiteral("A1"), .AccountName = QStringLiteral("Acme")});
        run.Open();
        QString n = QStringLiteral("kept"), ln, pl, g, s, i, pt, cc;
        double d = 0;
        QVERIFY(!EngineTestAccess::GetAccountInfo(run.client, QStringLiteral("O'Brien"), QString(), n, ln, pl, g, s, i, d, pt, cc));
        QVERIFY2(run.ErrorText().startsWith(QStringLiteral("3021-")), qPrintable(run.ErrorText()));
        QCOMPARE(n, QStringLiteral("kept"));
    }

    void itemInfo()
    {
        ServiceRun run;
        run.db->AddItem({.ItemCode = QStringLiteral("I1"), .ItemName = QStringLiteral("Bolt"), .Unit = QStringLiteral("Nos")});
        run.Open();
        QString name, unit;
        QVERIFY(EngineTestAccess::GetItemInfo(run.client, QStringLiteral("i1"), name, unit));
        QCOMPARE(name, QStringLiteral("Bolt"));
        QCOMPARE(unit, QStringLiteral("Nos"));
        QVERIFY(!EngineTestAccess::GetItemInfo(run.client, QStringLiteral("I'2"), name, unit));
        QVERIFY2(run.ErrorText().startsWith(QStringLiteral("3021-")), qPrintable(run.ErrorText()));
        QVERIFY(!EngineTestAccess::RecordsetOpen(run.client));
    }

    void optionRight_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("right");
        QTest::newRow("granted") << QStringLiteral("U1") << QStringLiteral("INV") << true;
        QTest::newRow("other option") << QStringLiteral("U1") << QStringLiteral("PUR") << false;
        QTest::newRow("other user") << QStringLiteral("U2") << QStringLiteral("INV") << false;
        QTest::newRow("quote") << QStringLiteral("U'1") << QStringLiteral("I'NV") << false;
    }
    void optionRight()
    {
        QFETCH(QString, user);
        QFETCH(QString, type);
        QFETCH(bool, right);
        ServiceRun run;
        run.db->AddDocumentType(QStringLiteral("INV"), 101);
        run.db->AddDocumentType(QStringLiteral("PUR"), 102);
        run.db->AddUserOption(QStringLiteral("U1"), 101);
        run.db->AddUserOption(QStringLiteral("U2"), 102);
        run.Open();
        QCOMPARE(EngineTestAccess::CheckUserOptionRight(run.client, user, type), right);
        QVERIFY(!EngineTestAccess::RecordsetOpen(run.client));
    }

    void optionRightPassesItsErrorOn()
    {
        ServiceRun run;
        run.db->Exec(QStringLiteral("DROP TABLE stdUserOption"));
        run.Open();
        run.ErrorText() = QStringLiteral("kept");
        try {
            EngineTestAccess::CheckUserOptionRight(run.client, QStringLiteral("U1"), QStringLiteral("INV"));
            QFAIL("the error did not reach the caller");
        } catch (const platform::RuntimeError&) {
        }
        QCOMPARE(run.ErrorText(), QStringLiteral("kept"));
        QVERIFY(!EngineTestAccess::RecordsetOpen(run.client));
    }

    // --- company database ---------------------------------------------------------------------

    void openAndCloseCompanyDatabase()
    {
        ServiceRun run;
        run.Open();
        QVERIFY(EngineTestAccess::IsOpen(run.client));
        EngineTestAccess::CloseCompanyDatabase(run.client);
        QVERIFY(!EngineTestAccess::IsOpen(run.client));
        EngineTestAccess::CloseCompanyDatabase(run.client);  // closing a closed database does nothing
        QVERIFY(!EngineTestAccess::IsOpen(run.client));
    }

    void openingAMissingDatabaseIsAnError()
    {
        ServiceRun run;
        run.installation.ListCompany(QStringLiteral("GHOST"), QStringLiteral("Ghost"), Midnight(2024, 4, 1), Midnight(2030, 3, 31));
        try {
            EngineTestAccess::OpenCompanyDatabase(run.client, QStringLiteral("GHOST"));
            QFAIL("a missing company database was opened");
        } catch (const platform::RuntimeError&) {
        }
        QVERIFY(!EngineTestAccess::IsOpen(run.client));
        QVERIFY(!QFile::exists(run.installation.DatabaseFolder() + QStringLiteral("/GHOST.sqlite")));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestEngineServices)
#include "test_engine_services.moc"
