// The demo company answers every master list and look-up with rows: the entry-screen chain of the
// app (party, its detail, the supply types, the GST codes, an item's defaults) for a party in the
// company's own state, one in another state, an SEZ developer and a party abroad.

#include "../CoreTestSupport.h"
#include "DemoCompany.h"

#include <QtTest>

using coretest::ParsedReply;

class TestMastersDemo : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        coretest::IsolateUserSettings(m_dir);
        m_installation = std::make_unique<coretest::Installation>();
        const QDate today(2025, 11, 20);
        const demo::DemoSummary summary = demo::CreateDemoCompany(m_installation->DatabaseFolder(), today);
        m_folder = summary.DatabaseName;
        QCOMPARE(summary.Branches, 4);
    }

    platform::JsonObject Ask(const QString& action, const QVariantList& members, const QString& user = QStringLiteral("ADMIN"))
    {
        platform::JsonObject request;
        request.AddString(QStringLiteral("Action"), action);
        request.AddString(QStringLiteral("MobileNo"), QStringLiteral("9999999999"));
        request.AddString(QStringLiteral("UserID"), user);
        request.AddString(QStringLiteral("Password"), user.toLower());
        request.AddString(QStringLiteral("FolderName"), m_folder);
        for (qsizetype i = 0; i + 1 < members.size(); i += 2)
            request.AddString(members.at(i).toString(), members.at(i + 1).toString());
        clsClient client;
        client.Setup = m_installation->setup.get();
        const platform::JsonObject reply = ParsedReply(client.GetData(request));
        if (reply.StringOf(QStringLiteral("Status")) != QLatin1String("1"))
            qWarning("%s", qPrintable(reply.StringOf(QStringLiteral("Message"))));
        return reply;
    }
    int Count(const platform::JsonObject& reply) { return reply.ArrayOf(QStringLiteral("Data")).Size(); }
    QString First(const platform::JsonObject& reply, const char* member)
    {
        return reply.ArrayOf(QStringLiteral("Data")).ObjectAt(0).StringOf(QString::fromLatin1(member));
    }

    void everyListHasRows_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QVariantList>("members");
        QTest::addColumn<int>("atLeast");
        QTest::newRow("branches") << "BranchList" << QVariantList{"EntryMode", "True"} << 4;
        QTest::newRow("stores") << "StoreList" << QVariantList{"EntryMode", "True"} << 3;
        QTest::newRow("salesmen") << "SalesmanList" << QVariantList{} << 6;
        QTest::newRow("agents") << "AgentList" << QVariantList{} << 3;
        QTest::newRow("series") << "SeriesList" << QVariantList{"DocumentType", "INV"} << 2;
        QTest::newRow("items") << "ItemList" << QVariantList{} << 50;
        QTest::newRow("customers") << "PartyList" << QVariantList{"FieldName", "AccountCode", "GroupType", "SD"} << 200;
        QTest::newRow("consignees") << "PartyList" << QVariantList{"FieldName", "ConsigneeCode"} << 260;
        QTest::newRow("locations") << "PartyLocationList" << QVariantList{"AccountCode", "D901", "EntryMode", "True"} << 2;
        QTest::newRow("contacts") << "PartyContactList" << QVariantList{"AccountCode", "D902", "AccountLocationCode", "002"} << 2;
        QTest::newRow("GST codes") << "GSTList" << QVariantList{"FieldName", "GSTCode", "GSTSupplyType", "IS"} << 4;
        QTest::newRow("UGST codes") << "GSTList" << QVariantList{"FieldName", "SGSTCode", "GSTSupplyType", "IS", "BranchCode", "04"} << 4;
        QTest::newRow("GST detail") << "GSTDetail" << QVariantList{"GSTCode", "C18"} << 1;
    }
    void everyListHasRows()
    {
        QFETCH(QString, action);
        QFETCH(QVariantList, members);
        QFETCH(int, atLeast);
        QVERIFY(Count(Ask(action, members)) >= atLeast);
    }

    // The sales user sees branch 01 and store MG only.
    void salesUserRights()
    {
        QCOMPARE(Count(Ask(QStringLiteral("BranchList"), {QStringLiteral("EntryMode"), QStringLiteral("True")}, QStringLiteral("SALES1"))), 1);
        QCOMPARE(Count(Ask(QStringLiteral("StoreList"), {}, QStringLiteral("SALES1"))), 2);
    }

    // The chain of an entry screen, for parties at home, in another state, in an SEZ and abroad.
    void entryChain_data()
    {
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("branch");
        QTest::addColumn<QString>("supplyType");
        QTest::addColumn<QString>("offered");
        QTest::newRow("SEZ developer") << "D901" << "" << "EW" << "ED";
        QTest::newRow("party abroad") << "D902" << "" << "EW" << "ED";
        QTest::newRow("any party in the SEZ branch") << "D001" << "03" << "EW" << "ED";
    }
    void entryChain()
    {
        QFETCH(QString, account);
        QFETCH(QString, branch);
        QFETCH(QString, supplyType);
        QFETCH(QString, offered);
        const platform::JsonObject detail = Ask(QStringLiteral("PartyDetail"), {QStringLiteral("AccountCode"), account,
                                                                                QStringLiteral("BranchCode"), branch});
        QCOMPARE(First(detail, "SupTy"), supplyType);
        const platform::JsonObject types = Ask(QStringLiteral("SupplyTypes"), {QStringLiteral("AccountCode"), account,
                                                                               QStringLiteral("BranchCode"), branch});
        QCOMPARE(First(types, "SupTy"), offered);
        const platform::JsonObject item = Ask(QStringLiteral("ItemDetail"),
                                              {QStringLiteral("AccountCode"), account, QStringLiteral("GSTSupplyType"), supplyType,
                                               QStringLiteral("ItemCode"), QStringLiteral("I0001"), QStringLiteral("DocumentType"),
                                               QStringLiteral("INV")});
        QCOMPARE(Count(item), 1);
        QVERIFY(First(item, "CGCd").startsWith(QLatin1Char('I')));
    }

    // Parties at home and in another state: both are offered IS and OS, the detail proposes the right one.
    void domesticParties()
    {
        const platform::JsonObject parties = Ask(QStringLiteral("PartyList"), {QStringLiteral("FieldName"), QStringLiteral("AccountCode"),
                                                                               QStringLiteral("GroupType"), QStringLiteral("SD")});
        const platform::JsonArray data = parties.ArrayOf(QStringLiteral("Data"));
        QSet<QString> proposed;
        for (int i = 0; i < data.Size(); ++i) {
            const QString code = data.ObjectAt(i).StringOf(QStringLiteral("ActCd"));
            proposed << First(Ask(QStringLiteral("PartyDetail"), {QStringLiteral("AccountCode"), code}), "SupTy");
        }
        QVERIFY(proposed.contains(QStringLiteral("IS")));
        QVERIFY(proposed.contains(QStringLiteral("OS")));
        QVERIFY(proposed.contains(QStringLiteral("EW")));
        QCOMPARE(First(Ask(QStringLiteral("SupplyTypes"), {QStringLiteral("AccountCode"), QStringLiteral("D001")}), "SupTy"),
                 QStringLiteral("IS"));
        // A price-list party gets its dealer rate.
        const platform::JsonObject item = Ask(QStringLiteral("ItemDetail"), {QStringLiteral("AccountCode"), QStringLiteral("D001"),
                                                                             QStringLiteral("GSTSupplyType"), QStringLiteral("IS"),
                                                                             QStringLiteral("ItemCode"), QStringLiteral("I0001")});
        QCOMPARE(Count(item), 1);
        QVERIFY(First(item, "CGCd").startsWith(QLatin1Char('C')));
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<coretest::Installation> m_installation;
    QString m_folder;
};

QTEST_GUILESS_MAIN(TestMastersDemo)
#include "test_masters_demo.moc"
