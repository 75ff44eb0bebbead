// The code-and-name lists and the party lists on a small company (MastersTestSupport.h): rights,
// the All rows and EntryMode, initials as a prefix with wildcards and quotes, the group choice of
// the party list, NULL names, every failure message, and one reply and its log compared whole.

#include "MastersTestSupport.h"

#include <QtTest>

using coretest::CRLF;
using masterstest::MastersCompany;
using masterstest::Message;
using masterstest::Rows;
using masterstest::Status;

class TestMasterLists : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        coretest::IsolateUserSettings(m_dir);
        m_company = std::make_unique<MastersCompany>();
    }
    void cleanupTestCase() { m_company.reset(); }

    // --- the six code-and-name lists ------------------------------------------------------------

    void lists_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QVariantList>("members");
        QTest::addColumn<QStringList>("rows");

        const QString admin = QStringLiteral("ADMIN");
        const QString clerk = QStringLiteral("CLERK");
        const QString none = QStringLiteral("NOLIST");
        QTest::newRow("branches, supervisor, All row")
            << "BranchList" << admin << QVariantList{}
            << QStringList{"|All Branch", "04|Delhi Depot", "05|Goa Office", "02|Nashik Branch", "01|Pune Head Office",
                           "03|Pune SEZ Unit"};
        // The stored "01, 02" names branch 02 too: every code is trimmed.
        QTest::newRow("branches, user's rights")
            << "BranchList" << clerk << QVariantList{} << QStringList{"|All Branch", "02|Nashik Branch", "01|Pune Head Office"};
        QTest::newRow("branches, no list") << "BranchList" << none << QVariantList{"Initials", "Pune", "EntryMode", "True"}
                                           << QStringList{"01|Pune Head Office", "03|Pune SEZ Unit"};
        QTest::newRow("branches, nothing matches") << "BranchList" << admin << QVariantList{"Initials", "Zz"}
                                                   << QStringList{"|All Branch"};
        QTest::newRow("branches, initials in small letters")
            << "BranchList" << clerk << QVariantList{"Initials", "pu", "EntryMode", "1"} << QStringList{"01|Pune Head Office"};
        QTest::newRow("stores, supervisor") << "StoreList" << admin << QVariantList{}
                                            << QStringList{"|All Store", "MG|Main Godown", "NG|Nashik Godown", "SR|Showroom"};
        QTest::newRow("stores, user's rights") << "StoreList" << clerk << QVariantList{"EntryMode", "-1"}
                                               << QStringList{"MG|Main Godown", "SR|Showroom"};
        QTest::newRow("salesmen, every user") << "SalesmanList" << clerk << QVariantList{}
                                              << QStringList{"SM01|Amit Deshpande", "SM03|O'Neil Dsouza", "SM02|Rahul Kale"};
        QTest::newRow("salesmen, a quote in the initials") << "SalesmanList" << admin << QVariantList{"Initials", "O'N"}
                                                           << QStringList{"SM03|O'Neil Dsouza"};
        QTest::newRow("salesmen, a quote that would end the literal")
            << "SalesmanList" << admin << QVariantList{"Initials", "x' OR '1'='1"} << QStringList{};
        QTest::newRow("agents") << "AgentList" << clerk << QVariantList{"Initials", "S"} << QStringList{"AG02|Shubham Associates"};
        QTest::newRow("series of a type") << "SeriesList" << admin << QVariantList{"DocumentType", "INV"}
                                          << QStringList{"A|Alpha Series", "B|Bravo Series"};
        QTest::newRow("series of a type in small letters") << "SeriesList" << admin << QVariantList{"DocumentType", "pur"}
                                                           << QStringList{"P|Purchase Series"};
        QTest::newRow("series without a type") << "SeriesList" << admin << QVariantList{} << QStringList{"X|No Type Series"};
        QTest::newRow("items, supervisor: passed ones, any store")
            << "ItemList" << admin << QVariantList{"StoreCode", "NG"}
            << QStringList{"I7|A_C Tape", "I5|ABC Pipe", "I6|AXC Pipe", "I1|Bolt 10mm", "I2|Bolt 12mm", "I3|Brush", "I8|O'Ring"};
        QTest::newRow("items, user's stores")
            << "ItemList" << clerk << QVariantList{"Initials", "B"} << QStringList{"I1|Bolt 10mm", "I3|Brush"};
        QTest::newRow("items, user's stores and a store") << "ItemList" << clerk << QVariantList{"Initials", "B", "StoreCode", "SR"}
                                                          << QStringList{"I3|Brush"};
        QTest::newRow("items, no store list") << "ItemList" << none << QVariantList{"Initials", "Bo", "StoreCode", "MG"}
                                              << QStringList{"I1|Bolt 10mm", "I2|Bolt 12mm"};
        QTest::newRow("items, a wildcard") << "ItemList" << admin << QVariantList{"Initials", "A_C"}
                                           << QStringList{"I7|A_C Tape", "I5|ABC Pipe", "I6|AXC Pipe"};
        QTest::newRow("items, a percent") << "ItemList" << admin << QVariantList{"Initials", "%Pipe"}
                                          << QStringList{"I5|ABC Pipe", "I6|AXC Pipe"};
        QTest::newRow("items, a quote") << "ItemList" << admin << QVariantList{"Initials", "O'"} << QStringList{"I8|O'Ring"};
        QTest::newRow("items, a template name is only a value")
            << "ItemList" << admin << QVariantList{"Initials", "@pItemCode"} << QStringList{};
    }
    void lists()
    {
        QFETCH(QString, action);
        QFETCH(QString, user);
        QFETCH(QVariantList, members);
        QFETCH(QStringList, rows);
        const platform::JsonObject reply = m_company->Ask(action, members, user);
        QCOMPARE(Message(reply), QStringLiteral("Success"));
        QCOMPARE(Status(reply), 1);
        QCOMPARE(Rows(reply), rows);
    }

    // EntryMode: a JSON Boolean is honoured, a text is a truth word or a number, anything else is false.
    void entryMode_data()
    {
        QTest::addColumn<QVariant>("entryMode");
        QTest::addColumn<bool>("allRow");
        QTest::newRow("absent") << QVariant() << true;
        QTest::newRow("Boolean true") << QVariant(true) << false;
        QTest::newRow("Boolean false") << QVariant(false) << true;
        QTest::newRow("number 1") << QVariant(1) << true;
        QTest::newRow("text true") << QVariant(QStringLiteral("true")) << false;
        QTest::newRow("text TRUE") << QVariant(QStringLiteral("TRUE")) << false;
        QTest::newRow("text -1") << QVariant(QStringLiteral("-1")) << false;
        QTest::newRow("text false") << QVariant(QStringLiteral("false")) << true;
        QTest::newRow("text 0") << QVariant(QStringLiteral("0")) << true;
    }
    void entryMode()
    {
        QFETCH(QVariant, entryMode);
        QFETCH(bool, allRow);
        QVariantList members{QStringLiteral("Initials"), QStringLiteral("Main")};
        if (entryMode.isValid())
            members << QStringLiteral("EntryMode") << entryMode;
        const QStringList stores = Rows(m_company->Ask(QStringLiteral("StoreList"), members));
        QCOMPARE(stores.value(0) == QLatin1String("|All Store"), allRow);
        QCOMPARE(stores.size(), allRow ? 2 : 1);
        QVariantList locationMembers{QStringLiteral("AccountCode"), QStringLiteral("D1"), QStringLiteral("Initials"), QStringLiteral("Head")};
        if (entryMode.isValid())
            locationMembers << QStringLiteral("EntryMode") << entryMode;
        const QStringList locations = Rows(m_company->Ask(QStringLiteral("PartyLocationList"), locationMembers));
        QCOMPARE(locations, allRow ? (QStringList{"|All Location", "001|Head Office"}) : (QStringList{"001|Head Office"}));
    }

    // --- the party lists -------------------------------------------------------------------------

    void parties_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QVariantList>("members");
        QTest::addColumn<QStringList>("rows");

        const QString admin = QStringLiteral("ADMIN");
        const QString clerk = QStringLiteral("CLERK");
        // Debtors and creditors of every group, also outside the books, whatever GroupType says.
        QTest::newRow("consignee") << "PartyList" << admin << QVariantList{"FieldName", "ConsigneeCode", "GroupType", "SA"}
                                   << QStringList{"D1|Acme Traders(Pune)", "D2|Bharat Agencies", "D3|Coastal SEZ Ltd(Vapi)",
                                                  "C1|Deccan Polymers(Thane)", "D4|Global Imports(Dubai)",
                                                  "X1|Xeno Stockists(Pune)"};
        QTest::newRow("dispatcher, user's branches")
            << "PartyList" << clerk << QVariantList{"FieldName", "DispatchFromCode"}
            << QStringList{"D1|Acme Traders(Pune)", "D3|Coastal SEZ Ltd(Vapi)", "C1|Deccan Polymers(Thane)",
                           "D4|Global Imports(Dubai)", "X1|Xeno Stockists(Pune)"};
        QTest::newRow("debtors of the books") << "PartyList" << admin << QVariantList{"FieldName", "AccountCode", "GroupType", "SD"}
                                              << QStringList{"D1|Acme Traders(Pune)", "D2|Bharat Agencies",
                                                             "D3|Coastal SEZ Ltd(Vapi)", "D4|Global Imports(Dubai)"};
        QTest::newRow("group type in small letters")
            << "PartyList" << admin << QVariantList{"FieldName", "AccountCode", "GroupType", "sc"}
            << QStringList{"C1|Deccan Polymers(Thane)"};
        // The field name is compared exactly: a consignee field in small letters takes GroupType.
        QTest::newRow("field name in small letters") << "PartyList" << admin << QVariantList{"FieldName", "consigneecode"}
                                                     << QStringList{};
        QTest::newRow("a piece of a group type") << "PartyList" << admin
                                                 << QVariantList{"FieldName", "AccountCode", "GroupType", "S"} << QStringList{};
        QTest::newRow("sales accounts with initials") << "PartyList" << admin
                                                      << QVariantList{"FieldName", "SalesCode", "GroupType", "SA", "Initials", "sal"}
                                                      << QStringList{"S1|Sales Local"};
        QTest::newRow("locations, All row first")
            << "PartyLocationList" << admin << QVariantList{"FieldName", "ConsigneeLocationCode", "AccountCode", "D1"}
            << QStringList{"|All Location", "004|", "001|Head Office", "002|Acme Site"};
        QTest::newRow("locations with initials") << "PartyLocationList" << admin
                                                 << QVariantList{"AccountCode", "D1", "Initials", "Acme", "EntryMode", "True"}
                                                 << QStringList{"002|Acme Site"};
        QTest::newRow("locations of an unknown party")
            << "PartyLocationList" << admin << QVariantList{"AccountCode", "ZZ", "EntryMode", "True"} << QStringList{};
        QTest::newRow("contacts") << "PartyContactList" << admin
                                  << QVariantList{"FieldName", "ContactCode", "AccountCode", "D1", "AccountLocationCode", "001"}
                                  << QStringList{"01|Anil Joshi", "02|Meena Shah"};
        QTest::newRow("contacts with initials") << "PartyContactList" << admin
                                                << QVariantList{"AccountCode", "D1", "AccountLocationCode", "001", "Initials", "M"}
                                                << QStringList{"02|Meena Shah"};
        QTest::newRow("contacts without a location") << "PartyContactList" << admin << QVariantList{"AccountCode", "D1"}
                                                     << QStringList{"04|No Location"};
    }
    void parties()
    {
        lists();
    }

    // --- failures --------------------------------------------------------------------------------

    void failures_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QVariantList>("members");
        QTest::addColumn<QString>("message");

        const QString userLine = CRLF + QStringLiteral("User doesn't exist or Locked.") + CRLF;
        const QString mismatch = CRLF + CRLF + QStringLiteral("Error 13-Type mismatch");
        QTest::newRow("branch list, locked user") << "BranchList" << "LOCKED" << QVariantList{}
                                                  << QStringLiteral("Error while getting Branch List.") + userLine;
        QTest::newRow("store list, unknown user") << "StoreList" << "NOBODY" << QVariantList{}
                                                  << QStringLiteral("Error while getting Store List.") + userLine;
        QTest::newRow("salesman list") << "SalesmanList" << "LOCKED" << QVariantList{}
                                       << QStringLiteral("Error while getting Salesman List.") + userLine;
        QTest::newRow("agent list") << "AgentList" << "LOCKED" << QVariantList{}
                                    << QStringLiteral("Error while getting Agent List.") + userLine;
        QTest::newRow("series list") << "SeriesList" << "LOCKED" << QVariantList{}
                                     << QStringLiteral("Error while getting Series List.") + userLine;
        QTest::newRow("item list") << "ItemList" << "LOCKED" << QVariantList{}
                                   << QStringLiteral("Error while getting Item List.") + userLine;
        QTest::newRow("party list") << "PartyList" << "LOCKED" << QVariantList{"FieldName", "ConsigneeCode"}
                                    << QStringLiteral("Error while getting ConsigneeCode List.") + userLine;
        QTest::newRow("party list without a field name") << "PartyList" << "LOCKED" << QVariantList{}
                                                         << QStringLiteral("Error while getting  List.") + userLine;
        QTest::newRow("location list") << "PartyLocationList" << "LOCKED" << QVariantList{"FieldName", "LocationCode"}
                                       << QStringLiteral("Error while getting LocationCode List.") + userLine;
        QTest::newRow("contact list") << "PartyContactList" << "LOCKED" << QVariantList{"FieldName", "ContactCode"}
                                      << QStringLiteral("Error while getting ContactCode List.") + userLine;
        QTest::newRow("EntryMode that is no truth value") << "StoreList" << "ADMIN" << QVariantList{"EntryMode", "yes"}
                                                          << QStringLiteral("Error while getting Store List.") + mismatch;
        QTest::newRow("empty EntryMode") << "BranchList" << "ADMIN" << QVariantList{"EntryMode", ""}
                                         << QStringLiteral("Error while getting Branch List.") + mismatch;
        QTest::newRow("location list, EntryMode") << "PartyLocationList" << "ADMIN"
                                                  << QVariantList{"FieldName", "LocationCode", "EntryMode", "maybe"}
                                                  << QStringLiteral("Error while getting LocationCode List.") + mismatch;
    }
    void failures()
    {
        QFETCH(QString, action);
        QFETCH(QString, user);
        QFETCH(QVariantList, members);
        QFETCH(QString, message);
        const QString text = m_company->AskText(action, members, user);
        const platform::JsonObject reply = coretest::ParsedReply(text);
        QCOMPARE(Status(reply), 0);
        QCOMPARE(Message(reply), message);
        QVERIFY(!reply.HasMember(QStringLiteral("Data")));
        QCOMPARE(reply.Size(), 4);
    }

    void companyThatCannotOpen()
    {
        platform::JsonObject request;
        request.AddString(QStringLiteral("Action"), QStringLiteral("AgentList"));
        request.AddString(QStringLiteral("MobileNo"), masterstest::kMobile);
        request.AddString(QStringLiteral("FolderName"), QStringLiteral("NOSUCH"));
        clsClient client;
        client.Setup = m_company->installation.setup.get();
        const platform::JsonObject reply = coretest::ParsedReply(client.GetData(request));
        QCOMPARE(Status(reply), 0);
        QVERIFY2(Message(reply).startsWith(QStringLiteral("Error while getting Agent List.") + CRLF + CRLF + QStringLiteral("Error ")),
                 qPrintable(Message(reply)));
    }

    // A query that the database rejects: the list's master table is missing.
    void queryRejected()
    {
        MastersCompany company;
        company.db->Exec(QStringLiteral("DROP TABLE FaSeriesMaster"));
        const platform::JsonObject reply = company.Ask(QStringLiteral("SeriesList"), {});
        QCOMPARE(Status(reply), 0);
        QVERIFY2(Message(reply).startsWith(QStringLiteral("Error while getting Series List.") + CRLF + CRLF + QStringLiteral("Error ")),
                 qPrintable(Message(reply)));
        QVERIFY(Message(reply).contains(QStringLiteral("FaSeriesMaster")));
    }

    // A NULL name gives an empty member, never a failed list; a NULL place leaves the bare name.
    void nullNames()
    {
        MastersCompany company;
        company.db->Exec(QStringLiteral("INSERT INTO FaAccountContacts (AccountCode, AccountLocationCode, AccountContactCode, "
                                        "ContactPerson, Locked) VALUES ('D1', '001', '05', NULL, 'False')"));
        company.db->Exec(QStringLiteral("UPDATE FaAccountAddressMaster SET Place = NULL WHERE AccountCode = 'D3'"));
        const QStringList contacts = Rows(company.Ask(
            QStringLiteral("PartyContactList"), {QStringLiteral("AccountCode"), QStringLiteral("D1"), QStringLiteral("AccountLocationCode"),
                                                 QStringLiteral("001")}));
        QCOMPARE(contacts, (QStringList{"05|", "01|Anil Joshi", "02|Meena Shah"}));
        const QStringList parties = Rows(company.Ask(QStringLiteral("PartyList"), {QStringLiteral("FieldName"), QStringLiteral("ConsigneeCode"),
                                                                                   QStringLiteral("Initials"), QStringLiteral("C")}));
        QCOMPARE(parties, QStringList{"D3|Coastal SEZ Ltd"});
    }

    // --- one reply and its log, whole ------------------------------------------------------------

    void storeListInFull()
    {
        MastersCompany company;
        const QString text = company.AskText(QStringLiteral("StoreList"), {QStringLiteral("Initials"), QStringLiteral("S")},
                                             QStringLiteral("CLERK"));
        QCOMPARE(text, QStringLiteral(R"({"Action":"StoreList","MobileNo":"9822012345","Status":1,"Message":"Success",)"
                                      R"("Data":[{"StoCd":"","StoNm":"All Store"},{"StoCd":"SR","StoNm":"Showroom"}]}<EOF>)"));
        const QString m = QStringLiteral("Mobile No.9822012345");
        QCOMPARE(company.installation.LogLines(),
                 (QStringList{m + " Getting Store List", m + " Opening Database MAST", m + " Checking User",
                              m + " Generating Main Data for JSON Text", m + " Loading Main Data to JSON Object",
                              m + " Adding Data Array to JSON", m + " Query for Generating All Store List",
                              m + " Getting Records for All Store List", m + " Getting data of All Store List to JSON ",
                              m + " Query for Generating Store List", m + " Getting Records for Store List",
                              m + " Getting data of Store List to JSON ",
                              m + " Returning Store List Data from JSON Object to Text"}));
    }

    void branchListReturnLine()
    {
        MastersCompany company;
        company.Ask(QStringLiteral("BranchList"), {QStringLiteral("EntryMode"), false});
        const QStringList lines = company.installation.LogLines();
        QVERIFY(lines.contains(QStringLiteral("Mobile No.9822012345 Query for Generating All Branch List")));
        QCOMPARE(lines.last(), QStringLiteral("Mobile No.9822012345 Returning BranchList Data from JSON Object to Text"));
    }

    void partyListInFull()
    {
        MastersCompany company;
        const QString text = company.AskText(QStringLiteral("PartyList"),
                                             {QStringLiteral("Initials"), QStringLiteral("D"), QStringLiteral("GroupType"),
                                              QStringLiteral("SC"), QStringLiteral("FieldName"), QStringLiteral("PartyCode")});
        QCOMPARE(text, QStringLiteral(R"({"Action":"PartyList","MobileNo":"9822012345","Status":1,"Message":"Success",)"
                                      R"x("Data":[{"ActCd":"C1","ActNm":"Deccan Polymers(Thane)"}]}<EOF>)x"));
        const QString m = QStringLiteral("Mobile No.9822012345");
        QCOMPARE(company.installation.LogLines(),
                 (QStringList{m + " Getting PartyCode List", m + " Opening Database MAST", m + " Checking User",
                              m + " Generating Main Data for JSON Text", m + " Loading Main Data to JSON Object",
                              m + " Adding Data Array to JSON", m + " Query for Generating PartyCode List",
                              m + " Getting Records for PartyCode List", m + " Getting data of PartyCode List to JSON ",
                              m + " Returning PartyCode List Data from JSON Object to Text"}));
    }

    // One reply of each of the other lists, whole: member names, order and types.
    void replyInFull_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QVariantList>("members");
        QTest::addColumn<QString>("data");
        QTest::newRow("BranchList") << "BranchList" << QVariantList{"Initials", "Na"}
                                    << R"([{"BrnCd":"","BrnNm":"All Branch"},{"BrnCd":"02","BrnNm":"Nashik Branch"}])";
        QTest::newRow("SalesmanList") << "SalesmanList" << QVariantList{"Initials", "Ra"}
                                      << R"([{"SmnCd":"SM02","SmnNm":"Rahul Kale"}])";
        QTest::newRow("SeriesList") << "SeriesList" << QVariantList{"DocumentType", "PUR"}
                                    << R"([{"SerCd":"P","SerNm":"Purchase Series"}])";
        QTest::newRow("ItemList") << "ItemList" << QVariantList{"Initials", "Br"} << R"([{"ItmCd":"I3","ItemNm":"Brush"}])";
        QTest::newRow("PartyLocationList") << "PartyLocationList" << QVariantList{"AccountCode", "D2", "EntryMode", "True"}
                                           << R"([{"LocCd":"001","LocNm":"Main"}])";
        QTest::newRow("PartyContactList") << "PartyContactList"
                                          << QVariantList{"AccountCode", "D1", "AccountLocationCode", "001", "Initials", "M"}
                                          << R"([{"CntCd":"02","CntNm":"Meena Shah"}])";
    }
    void replyInFull()
    {
        QFETCH(QString, action);
        QFETCH(QVariantList, members);
        QFETCH(QString, data);
        QCOMPARE(m_company->AskText(action, members),
                 QStringLiteral(R"({"Action":")") + action
                     + QStringLiteral(R"(","MobileNo":"9822012345","Status":1,"Message":"Success","Data":)") + data
                     + QStringLiteral("}<EOF>"));
    }

    // The action name is matched without regard to case; the reply echoes it as sent.
    void actionInSmallLetters()
    {
        const QString text = m_company->AskText(QStringLiteral("agentlist"), {QStringLiteral("Initials"), QStringLiteral("Om")});
        QCOMPARE(text, QStringLiteral(R"({"Action":"agentlist","MobileNo":"9822012345","Status":1,"Message":"Success",)"
                                      R"("Data":[{"AgtCd":"AG01","AgtNm":"Om Agency"}]}<EOF>)"));
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<MastersCompany> m_company;
};

QTEST_GUILESS_MAIN(TestMasterLists)
#include "test_master_lists.moc"
