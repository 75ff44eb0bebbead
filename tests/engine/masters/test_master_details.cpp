// Party detail, item detail, the GST supply types, the GST list and GST detail on a small company
// (MastersTestSupport.h): intra-state, inter-state, SEZ and export parties; the price list against
// the item master with item-wise GST and discount on and off; the setup document types; the GST
// categories by field, supply type and union territory; each failure message; one reply of each
// action compared in full.

#include "MastersTestSupport.h"

#include <QtTest>

using coretest::CRLF;
using masterstest::MastersCompany;
using masterstest::Message;
using masterstest::Rows;
using masterstest::Status;

namespace {
const QString kHead = QStringLiteral(R"("MobileNo":"9822012345","Status":1,"Message":"Success",)");
}

class TestMasterDetails : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        coretest::IsolateUserSettings(m_dir);
        m_company = std::make_unique<MastersCompany>();
    }
    void cleanupTestCase() { m_company.reset(); }

    // --- party detail ----------------------------------------------------------------------------
    // Rows: Crp|SmnCd|SmnNm|AgtCd|AgtNm|TrnNm|SupTy.

    void partyDetail_data()
    {
        QTest::addColumn<QVariantList>("members");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("intra-state, main location by default")
            << QVariantList{"AccountCode", "D1"} << QStringList{"30|SM01|Amit Deshpande|AG01|Om Agency|Fast Roadways|IS"};
        QTest::newRow("second location") << QVariantList{"AccountCode", "D1", "AccountLocationCode", "002"}
                                         << QStringList{"15|||||" "|IS"};
        QTest::newRow("inter-state, unknown salesman and agent")
            << QVariantList{"AccountCode", "D2", "AccountLocationCode", ""} << QStringList{"45|SM99||AG77|||OS"};
        QTest::newRow("SEZ party") << QVariantList{"AccountCode", "D3"} << QStringList{"0||||||EW"};
        QTest::newRow("party abroad") << QVariantList{"AccountCode", "D4"} << QStringList{"0||||||EW"};
        QTest::newRow("country IN is at home") << QVariantList{"AccountCode", "C1"} << QStringList{"0||||||IS"};
        QTest::newRow("SEZ branch") << QVariantList{"AccountCode", "D1", "BranchCode", "03"}
                                    << QStringList{"30|SM01|Amit Deshpande|AG01|Om Agency|Fast Roadways|EW"};
        QTest::newRow("branch in another state") << QVariantList{"AccountCode", "D1", "BranchCode", "05"}
                                                 << QStringList{"30|SM01|Amit Deshpande|AG01|Om Agency|Fast Roadways|OS"};
        QTest::newRow("unknown location") << QVariantList{"AccountCode", "D1", "AccountLocationCode", "009"} << QStringList{};
        QTest::newRow("a template name is only a value") << QVariantList{"AccountCode", "@pStateCode"} << QStringList{};
    }
    void partyDetail()
    {
        QFETCH(QVariantList, members);
        QFETCH(QStringList, rows);
        const platform::JsonObject reply = m_company->Ask(QStringLiteral("PartyDetail"), members);
        QCOMPARE(Message(reply), QStringLiteral("Success"));
        QCOMPARE(Rows(reply), rows);
    }

    // A place of supply without a state code never gives inter-state.
    void partyDetailWithoutState()
    {
        MastersCompany company;
        company.db->Exec(QStringLiteral("UPDATE Company SET StateCode = NULL"));
        company.db->Exec(QStringLiteral("UPDATE FaBranchMaster SET StateCode = '' WHERE BranchCode = '05'"));
        QCOMPARE(Rows(company.Ask(QStringLiteral("PartyDetail"), {QStringLiteral("AccountCode"), QStringLiteral("D2"),
                                                                  QStringLiteral("BranchCode"), QStringLiteral("05")})),
                 QStringList{"45|SM99||AG77|||IS"});
        // The company's state code NULL: the company look-up fails on the missing state.
        const platform::JsonObject reply = company.Ask(QStringLiteral("PartyDetail"), {QStringLiteral("AccountCode"), QStringLiteral("D2")});
        QCOMPARE(Status(reply), 0);
        QVERIFY2(Message(reply).startsWith(QStringLiteral("Error while getting Party Detail.") + CRLF
                                           + QStringLiteral("Unable to Get Compoany Information.") + CRLF),
                 qPrintable(Message(reply)));
    }

    void partyDetailInFull()
    {
        MastersCompany company;
        const QString text = company.AskText(QStringLiteral("PartyDetail"), {QStringLiteral("AccountCode"), QStringLiteral("D1"),
                                                                            QStringLiteral("AccountLocationCode"), QStringLiteral("001")});
        QCOMPARE(text, QStringLiteral(R"({"Action":"PartyDetail",)") + kHead
                           + QStringLiteral(R"("Data":[{"Crp":30,"SmnCd":"SM01","SmnNm":"Amit Deshpande","AgtCd":"AG01",)"
                                            R"("AgtNm":"Om Agency","TrnNm":"Fast Roadways","SupTy":"IS"}]}<EOF>)"));
        const QString m = QStringLiteral("Mobile No.9822012345");
        QCOMPARE(company.installation.LogLines(),
                 (QStringList{m + " Getting Party Detail", m + " Opening Database MAST", m + " Checking User",
                              m + " Getting Company Information", m + " Generating Main Data for JSON Text",
                              m + " Loading Main Data to JSON Object", m + " Adding Data Array to JSON",
                              m + " Query for Generating Party Detail ", m + " Getting Records for Party Detail",
                              m + " Getting data of Party Detail to JSON ",
                              m + " Returning Party Detail Data from JSON Object to Text"}));
    }

    // --- item detail -----------------------------------------------------------------------------
    // Rows: Rate|Per|CGCd|SGCd|DisPer. Party D1 at 001: price list PL1, C9/S9/I18, 2.5 %.

    void itemDetail_data()
    {
        QTest::addColumn<QVariantList>("members");
        QTest::addColumn<QStringList>("rows");
        const auto ask = [](const char* type, const char* supply, const char* item) {
            return QVariantList{"AccountCode", "D1", "DocumentType", type, "GSTSupplyType", supply, "ItemCode", item};
        };
        // INV: item-wise GST and discount (the first row in Sno order).
        QTest::newRow("price list, item-wise, intra-state") << ask("INV", "IS", "I1") << QStringList{"90|1|PC9|PS9|5"};
        QTest::newRow("price list, item-wise, inter-state") << ask("INV", "OS", "I1") << QStringList{"90|1|PI18||5"};
        QTest::newRow("price list without codes: the item's") << ask("CMO", "IS", "I2") << QStringList{"80|10|IC6|IS6|2.5"};
        QTest::newRow("supply type in small letters is not intra-state") << ask("INV", "is", "I2")
                                                                         << QStringList{"80|10|II12||2.5"};
        // PUR: neither item-wise: the party's codes and discount.
        QTest::newRow("price list, party's codes") << ask("PUR", "IS", "I1") << QStringList{"90|1|C9|S9|2.5"};
        QTest::newRow("price list, party's codes, inter-state") << ask("GIN", "OS", "I1") << QStringList{"90|1|I18|S9|2.5"};
        QTest::newRow("document type in small letters") << ask("puo", "IS", "I1") << QStringList{"90|1|C9|S9|2.5"};
        // SNT: item-wise GST only.
        QTest::newRow("sale note") << ask("SNT", "IS", "I1") << QStringList{"90|1|PC9|PS9|2.5"};
        QTest::newRow("sale note in small letters") << ask("snt", "IS", "I1") << QStringList{"90|1|PC9|PS9|2.5"};
        QTest::newRow("unlisted type: INV") << ask("ISU", "IS", "I1") << QStringList{"90|1|PC9|PS9|5"};
        QTest::newRow("empty type: INV") << ask("", "OS", "I1") << QStringList{"90|1|PI18||5"};
        QTest::newRow("a piece of a type: INV") << ask("PU", "IS", "I1") << QStringList{"90|1|PC9|PS9|5"};
        // Not in the price list: the item master.
        QTest::newRow("item master, item without codes") << ask("INV", "IS", "I3") << QStringList{"50|1|C9|S9|2.5"};
        QTest::newRow("item master, party's codes") << ask("PUR", "OS", "I3") << QStringList{"50|1|I18||2.5"};
        QTest::newRow("unknown item") << ask("INV", "IS", "ZZ") << QStringList{};
        // A location without a price list: the item master at once.
        QTest::newRow("location without a price list")
            << QVariantList{"AccountCode", "D1", "AccountLocationCode", "002", "GSTSupplyType", "IS", "ItemCode", "I1"}
            << QStringList{"100|1|IC9|IS9|0"};
        QTest::newRow("location without a price list, party's codes")
            << QVariantList{"AccountCode", "D1", "AccountLocationCode", "002", "DocumentType", "SCN", "GSTSupplyType", "EW",
                            "ItemCode", "I2"}
            << QStringList{"120|10|I18||0"};
    }
    void itemDetail()
    {
        QFETCH(QVariantList, members);
        QFETCH(QStringList, rows);
        const platform::JsonObject reply = m_company->Ask(QStringLiteral("ItemDetail"), members);
        QCOMPARE(Message(reply), QStringLiteral("Success"));
        QCOMPARE(Rows(reply), rows);
    }

    void itemDetailInFull()
    {
        MastersCompany company;
        const QString text = company.AskText(QStringLiteral("ItemDetail"),
                                             {QStringLiteral("Initials"), QStringLiteral("Bo"), QStringLiteral("AccountCode"),
                                              QStringLiteral("D1"), QStringLiteral("GSTSupplyType"), QStringLiteral("IS"),
                                              QStringLiteral("ItemCode"), QStringLiteral("I3"), QStringLiteral("DocumentType"),
                                              QStringLiteral("INV")});
        QCOMPARE(text, QStringLiteral(R"({"Action":"ItemDetail",)") + kHead
                           + QStringLiteral(R"("Data":[{"Rate":50,"Per":1,"CGCd":"C9","SGCd":"S9","DisPer":2.5}]}<EOF>)"));
        const QString m = QStringLiteral("Mobile No.9822012345");
        QCOMPARE(company.installation.LogLines(),
                 (QStringList{m + " Getting Item Detail", m + " Opening Database MAST", m + " Checking User",
                              m + " Getting Party Information for Item Detail",
                              m + " Getting Calculation Information for Item Detail",
                              m + " Generating Main Data for JSON Text", m + " Loading Main Data to JSON Object",
                              m + " Adding Data Array to JSON",
                              m + " Generating Query for Item Detail from Pricelist Master",
                              m + " Getting Records for Item Detail from Pricelist Master",
                              m + " Generating Query for Item Detail from Item Master",
                              m + " Getting Records for Item Detail from Item Master",
                              m + " Getting data of Item Detail of Item Master to JSON ",
                              m + " Returning Item Detail Data from JSON Object to Text"}));
    }

    // The calculation setup is taken from the first row in Sno order, whatever order the rows
    // were stored in; without a row the look-up fails.
    void calculationFlags()
    {
        MastersCompany company;
        company.db->Exec(QStringLiteral("DELETE FROM FaCalculationDef WHERE SetupDocumentType = 'INV' AND Sno = 1"));
        company.db->Exec(QStringLiteral("INSERT INTO FaCalculationDef (SetupDocumentType, Sno, ItemWiseGST, ItemWiseDiscount) "
                                        "VALUES ('INV', 3, 'True', 'True')"));
        const QVariantList members{QStringLiteral("AccountCode"), QStringLiteral("D1"), QStringLiteral("GSTSupplyType"),
                                   QStringLiteral("IS"), QStringLiteral("ItemCode"), QStringLiteral("I1")};
        QCOMPARE(Rows(company.Ask(QStringLiteral("ItemDetail"), members)), QStringList{"90|1|C9|S9|2.5"});
        company.db->Exec(QStringLiteral("DELETE FROM FaCalculationDef WHERE SetupDocumentType = 'INV'"));
        const platform::JsonObject reply = company.Ask(QStringLiteral("ItemDetail"), members);
        QCOMPARE(Status(reply), 0);
        QVERIFY2(Message(reply).startsWith(QStringLiteral("Error while getting Item Detail.") + CRLF
                                           + QStringLiteral("Unable to get Calculation Information for Item Detail.") + CRLF + QStringLiteral("3021-")),
                 qPrintable(Message(reply)));
        QVERIFY(!Message(reply).contains(QStringLiteral("Error 3021")));
    }

    // --- supply types ----------------------------------------------------------------------------

    void supplyTypes_data()
    {
        QTest::addColumn<QVariantList>("members");
        QTest::addColumn<bool>("domestic");
        QTest::newRow("party at home") << QVariantList{"AccountCode", "D1"} << true;
        QTest::newRow("party in another state") << QVariantList{"AccountCode", "D2", "BranchCode", "01"} << true;
        QTest::newRow("location without GST values") << QVariantList{"AccountCode", "D1", "AccountLocationCode", "002"} << true;
        QTest::newRow("SEZ party") << QVariantList{"AccountCode", "D3"} << false;
        QTest::newRow("party abroad") << QVariantList{"AccountCode", "D4"} << false;
        QTest::newRow("SEZ branch") << QVariantList{"AccountCode", "D1", "BranchCode", "03"} << false;
    }
    void supplyTypes()
    {
        QFETCH(QVariantList, members);
        QFETCH(bool, domestic);
        const platform::JsonObject reply = m_company->Ask(QStringLiteral("SupplyTypes"), members);
        QCOMPARE(Message(reply), QStringLiteral("Success"));
        QCOMPARE(Rows(reply), domestic ? (QStringList{"IS|Intra State (Within State)", "OS|Inter State (Out of State)"})
                                       : (QStringList{"ED|Export With Duty", "EW|Export Without Duty"}));
    }

    void supplyTypesOfAnSEZCompany()
    {
        MastersCompany company;
        company.db->Exec(QStringLiteral("UPDATE Company SET SEZUnit = 'True'"));
        const QString text = company.AskText(QStringLiteral("SupplyTypes"), {QStringLiteral("AccountCode"), QStringLiteral("D1")});
        QCOMPARE(text, QStringLiteral(R"({"Action":"SupplyTypes",)") + kHead
                           + QStringLiteral(R"("Data":[{"SupTy":"ED","SupDes":"Export With Duty"},)"
                                            R"({"SupTy":"EW","SupDes":"Export Without Duty"}]}<EOF>)"));
        const QStringList lines = company.installation.LogLines();
        QVERIFY(lines.contains(QStringLiteral("Mobile No.9822012345 Getting Company Information for GST Supply Types")));
        QVERIFY(lines.contains(QStringLiteral("Mobile No.9822012345 Getting Data of GST Supply Types for SEZ/EXPORT to JSON")));
        QCOMPARE(lines.last(), QStringLiteral("Mobile No.9822012345 Returning GST Supply Types Data from JSON Object to Text"));
    }

    // --- GST list and detail ---------------------------------------------------------------------

    void gstList_data()
    {
        QTest::addColumn<QVariantList>("members");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("GST code, intra-state") << QVariantList{"FieldName", "GSTCode", "GSTSupplyType", "IS"}
                                               << QStringList{"C25|CGST 2.5%", "C9|CGST 9%"};
        QTest::newRow("GST code, inter-state") << QVariantList{"FieldName", "GSTCode", "GSTSupplyType", "OS"}
                                               << QStringList{"I18|IGST 18%", "I5|IGST 5%"};
        QTest::newRow("GST code, small letters: not intra-state") << QVariantList{"FieldName", "GSTCode", "GSTSupplyType", "is"}
                                                                  << QStringList{"I18|IGST 18%", "I5|IGST 5%"};
        QTest::newRow("SGST code in a state") << QVariantList{"FieldName", "SGSTCode", "GSTSupplyType", "IS", "BranchCode", "01"}
                                              << QStringList{"S25|SGST 2.5%", "S9|SGST 9%"};
        QTest::newRow("SGST code in a union territory")
            << QVariantList{"FieldName", "SGSTCode", "GSTSupplyType", "IS", "BranchCode", "04"} << QStringList{"U9|UGST 9%"};
        QTest::newRow("SGST code, inter-state") << QVariantList{"FieldName", "SGSTCode", "GSTSupplyType", "OS"} << QStringList{};
        QTest::newRow("other field, intra-state, initials")
            << QVariantList{"FieldName", "TaxCode", "GSTSupplyType", "IS", "Initials", "s"} << QStringList{"S25|SGST 2.5%", "S9|SGST 9%"};
        QTest::newRow("other field, intra-state")
            << QVariantList{"GSTSupplyType", "IS"}
            << QStringList{"C25|CGST 2.5%", "C9|CGST 9%", "S25|SGST 2.5%", "S9|SGST 9%", "U9|UGST 9%"};
        QTest::newRow("field name in small letters") << QVariantList{"FieldName", "sgstcode", "GSTSupplyType", "EW"}
                                                     << QStringList{"I18|IGST 18%", "I5|IGST 5%"};
        QTest::newRow("a wildcard") << QVariantList{"GSTSupplyType", "OS", "Initials", "%5"} << QStringList{"I5|IGST 5%"};
    }
    void gstList()
    {
        QFETCH(QVariantList, members);
        QFETCH(QStringList, rows);
        const platform::JsonObject reply = m_company->Ask(QStringLiteral("GSTList"), members);
        QCOMPARE(Message(reply), QStringLiteral("Success"));
        QCOMPARE(Rows(reply), rows);
    }

    // The company in a union territory: its stored code "7" reads as "07", which is one.
    void gstListOfAUnionTerritoryCompany()
    {
        MastersCompany company;
        company.db->Exec(QStringLiteral("UPDATE Company SET StateCode = '7'"));
        const QString text = company.AskText(QStringLiteral("GSTList"), {QStringLiteral("FieldName"), QStringLiteral("SGSTCode"),
                                                                        QStringLiteral("GSTSupplyType"), QStringLiteral("IS")});
        QCOMPARE(text, QStringLiteral(R"({"Action":"GSTList",)") + kHead
                           + QStringLiteral(R"("Data":[{"GSTCd":"U9","GSTDes":"UGST 9%"}]}<EOF>)"));
        const QString m = QStringLiteral("Mobile No.9822012345");
        QCOMPARE(company.installation.LogLines(),
                 (QStringList{m + " Getting GST List", m + " Opening Database MAST", m + " Checking User",
                              m + " Getting Company Information for GST List", m + " Generating Main Data for JSON Text",
                              m + " Loading Main Data to JSON Object", m + " Adding Data Array to JSON",
                              m + " Generating Query for GST List", m + " Getting Records for GST List",
                              m + " Getting data of GST List to JSON ",
                              m + " Returning GST List Data from JSON Object to Text"}));
    }

    void gstDetail_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("reply");
        QTest::newRow("CGST with its SGST code")
            << "C25" << QStringLiteral(R"({"Action":"GSTDetail",)") + kHead
                            + QStringLiteral(R"("Data":[{"GSTDes":"CGST 2.5%","GSTPer":2.5,"SGCD":"S25"}]}<EOF>)");
        QTest::newRow("IGST") << "I18" << QStringLiteral(R"({"Action":"GSTDetail",)") + kHead
                                              + QStringLiteral(R"("Data":[{"GSTDes":"IGST 18%","GSTPer":18,"SGCD":""}]}<EOF>)");
        QTest::newRow("unknown code") << "ZZ" << QStringLiteral(R"({"Action":"GSTDetail",)") + kHead + QStringLiteral(R"("Data":[]}<EOF>)");
        QTest::newRow("a quote") << "C' OR '1'='1" << QStringLiteral(R"({"Action":"GSTDetail",)") + kHead + QStringLiteral(R"("Data":[]}<EOF>)");
    }
    void gstDetail()
    {
        QFETCH(QString, code);
        QFETCH(QString, reply);
        QCOMPARE(m_company->AskText(QStringLiteral("GSTDetail"), {QStringLiteral("GSTCode"), code}), reply);
    }

    // --- failures --------------------------------------------------------------------------------

    void failures_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QVariantList>("members");
        QTest::addColumn<QString>("message");

        const QString userLine = CRLF + QStringLiteral("User doesn't exist or Locked.") + CRLF;
        const QString noRow = CRLF + QStringLiteral("3021-");
        QTest::newRow("party detail, user") << "PartyDetail" << "LOCKED" << QVariantList{}
                                            << QStringLiteral("Error while getting Party Detail.") + userLine;
        QTest::newRow("party detail, branch") << "PartyDetail" << "ADMIN" << QVariantList{"AccountCode", "D1", "BranchCode", "99"}
                                              << QStringLiteral("Error while getting Party Detail.") + CRLF
                                                     + QStringLiteral("Unable to Get Branch Information.") + noRow;
        QTest::newRow("item detail, user") << "ItemDetail" << "NOBODY" << QVariantList{}
                                           << QStringLiteral("Error while getting Item Detail.") + userLine;
        QTest::newRow("item detail, party") << "ItemDetail" << "ADMIN" << QVariantList{"AccountCode", "ZZ", "ItemCode", "I1"}
                                            << QStringLiteral("Error while getting Item Detail.") + CRLF
                                                   + QStringLiteral("Unable to get Party Information for Item Detail.") + noRow;
        QTest::newRow("supply types, user") << "SupplyTypes" << "LOCKED" << QVariantList{}
                                            << QStringLiteral("Error while getting GST SupplyTypes.") + userLine;
        QTest::newRow("supply types, branch") << "SupplyTypes" << "ADMIN" << QVariantList{"AccountCode", "D1", "BranchCode", "99"}
                                              << QStringLiteral("Error while getting GST SupplyTypes.") + CRLF
                                                     + QStringLiteral("Unable to get Branch Information for GST Supply Types.") + noRow;
        QTest::newRow("supply types, party") << "SupplyTypes" << "ADMIN" << QVariantList{"AccountCode", "ZZ"}
                                             << QStringLiteral("Error while getting GST SupplyTypes.") + CRLF
                                                    + QStringLiteral("Unable to get Party Information for GST Supply Types.") + noRow;
        QTest::newRow("GST list, user") << "GSTList" << "LOCKED" << QVariantList{}
                                        << QStringLiteral("Error while getting GST List.") + userLine;
        QTest::newRow("GST list, branch") << "GSTList" << "ADMIN" << QVariantList{"BranchCode", "99"}
                                          << QStringLiteral("Error while getting GST List.") + CRLF
                                                 + QStringLiteral("Unable to get Branch Information for GST List.") + noRow;
        QTest::newRow("GST detail, user") << "GSTDetail" << "LOCKED" << QVariantList{}
                                          << QStringLiteral("Error while getting GST Detail.") + userLine;
    }
    void failures()
    {
        QFETCH(QString, action);
        QFETCH(QString, user);
        QFETCH(QVariantList, members);
        QFETCH(QString, message);
        const platform::JsonObject reply = m_company->Ask(action, members, user);
        QCOMPARE(Status(reply), 0);
        QVERIFY2(Message(reply).startsWith(message), qPrintable(Message(reply)));
        if (!message.endsWith(QStringLiteral("3021-")))
            QCOMPARE(Message(reply), message);
        QCOMPARE(reply.Size(), 4);
    }

    // A company row that cannot be read fails the company look-ups with their own messages.
    void companyLookupFailures_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("message");
        QTest::newRow("party detail") << "PartyDetail"
                                      << QStringLiteral("Error while getting Party Detail.") + CRLF + QStringLiteral("Unable to Get Compoany Information.");
        QTest::newRow("supply types") << "SupplyTypes"
                                      << QStringLiteral("Error while getting GST SupplyTypes.") + CRLF
                                             + QStringLiteral("Unable to get Compoany Information for GST Supply Types.");
        QTest::newRow("GST list") << "GSTList"
                                  << QStringLiteral("Error while getting GST List.") + CRLF
                                         + QStringLiteral("Unable to get Compoany Information for GST List.");
    }
    void companyLookupFailures()
    {
        QFETCH(QString, action);
        QFETCH(QString, message);
        MastersCompany company;
        company.db->Exec(QStringLiteral("UPDATE Company SET StartDate = NULL"));
        const platform::JsonObject reply = company.Ask(action, {QStringLiteral("AccountCode"), QStringLiteral("D1")});
        QCOMPARE(Status(reply), 0);
        QCOMPARE(Message(reply), message + CRLF + QStringLiteral("94-Invalid use of Null"));
    }

    // A query the database rejects: the failure block adds the error line.
    void queryRejected()
    {
        MastersCompany company;
        company.db->Exec(QStringLiteral("DROP TABLE FaGSTMaster"));
        const platform::JsonObject reply = company.Ask(QStringLiteral("GSTDetail"), {QStringLiteral("GSTCode"), QStringLiteral("C9")});
        QCOMPARE(Status(reply), 0);
        QVERIFY2(Message(reply).startsWith(QStringLiteral("Error while getting GST Detail.") + CRLF + CRLF + QStringLiteral("Error ")),
                 qPrintable(Message(reply)));
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<MastersCompany> m_company;
};

QTEST_GUILESS_MAIN(TestMasterDetails)
#include "test_master_details.moc"
