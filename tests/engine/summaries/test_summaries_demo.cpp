// The demo company gives rows for every GroupType of the three summaries: on a day of its year,
// each account figure, each location figure of some account that the account summary lists, and
// each item figure.

#include "CoreTestSupport.h"
#include "DemoCompany.h"

#include <QtTest>

using coretest::ParsedReply;

namespace {

const QDate kToday(2025, 11, 20);

}  // namespace

class TestSummariesDemo : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<coretest::Installation> m_inst;
    QString m_folder;

    platform::JsonObject Ask(const QString& action, const QString& groupType, const QString& accountCode = QString())
    {
        const QString day = kToday.toString(QStringLiteral("yyyy-MM-dd"));
        QString text = QStringLiteral("{\"Action\":\"%1\",\"MobileNo\":\"9999999999\",\"UserID\":\"ADMIN\",\"Password\":\"admin\","
                                      "\"FolderName\":\"%2\",\"StartDate\":\"%3\",\"LastDate\":\"%3\",\"GroupType\":\"%4\"")
                           .arg(action, m_folder, day, groupType);
        if (!accountCode.isEmpty())
            text += QStringLiteral(",\"AccountCode\":\"%1\"").arg(accountCode);
        platform::JsonObject request;
        request.Load(text + QLatin1Char('}'));
        clsClient client;
        client.Setup = m_inst->setup.get();
        return ParsedReply(client.GetData(request));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        coretest::IsolateUserSettings(m_dir);
        m_inst = std::make_unique<coretest::Installation>();
        m_folder = demo::CreateDemoCompany(m_inst->DatabaseFolder(), kToday).DatabaseName;
    }

    void everyGroupTypeGivesRows_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("groupType");
        for (const char* code : {"SA", "PU", "CH", "BK", "SD", "SC", "TR", "TP", "RT", "PT", "OR", "WD", "OP", "OI", "WR", "PP"})
            QTest::newRow(qPrintable(QStringLiteral("AccountSummary ") + QLatin1String(code)))
                << QStringLiteral("AccountSummary") << QString::fromLatin1(code);
        for (const char* code : {"SD", "SC", "TR", "TP", "RT", "PT", "OR", "WD", "OP", "OI", "WR", "PP"})
            QTest::newRow(qPrintable(QStringLiteral("LocationSummary ") + QLatin1String(code)))
                << QStringLiteral("LocationSummary") << QString::fromLatin1(code);
        for (const char* code : {"ST", "RQ", "IQ"})
            QTest::newRow(qPrintable(QStringLiteral("ItemSummary ") + QLatin1String(code)))
                << QStringLiteral("ItemSummary") << QString::fromLatin1(code);
    }
    void everyGroupTypeGivesRows()
    {
        QFETCH(QString, action);
        QFETCH(QString, groupType);
        if (action != QLatin1String("LocationSummary")) {
            const platform::JsonObject reply = Ask(action, groupType);
            QCOMPARE(reply.StringOf(QStringLiteral("Message")), QStringLiteral("Success"));
            QVERIFY(reply.ArrayOf(QStringLiteral("Data")).Size() > 0);
            return;
        }
        // The accounts that have the figure; one of them must show it by location.
        const platform::JsonArray accounts = Ask(QStringLiteral("AccountSummary"), groupType).ArrayOf(QStringLiteral("Data"));
        QVERIFY(accounts.Size() > 0);
        bool found = false;
        for (int i = 0; i < accounts.Size() && !found; ++i) {
            const QString account = accounts.ObjectAt(i).StringOf(QStringLiteral("ActCd"));
            const platform::JsonObject reply = Ask(action, groupType, account);
            QCOMPARE(reply.StringOf(QStringLiteral("Message")), QStringLiteral("Success"));
            found = reply.ArrayOf(QStringLiteral("Data")).Size() > 0;
        }
        QVERIFY2(found, "no account shows the figure by location");
    }

    // An account with a second location is flagged in the account summary and shows both.
    void accountsWithLocations()
    {
        const platform::JsonArray rows = Ask(QStringLiteral("AccountSummary"), QStringLiteral("SD")).ArrayOf(QStringLiteral("Data"));
        QString account;
        for (int i = 0; i < rows.Size() && account.isEmpty(); ++i)
            if (rows.ObjectAt(i).StringOf(QStringLiteral("IsLoc")) == QLatin1String("true"))
                account = rows.ObjectAt(i).StringOf(QStringLiteral("ActCd"));
        QVERIFY(!account.isEmpty());
        QVERIFY(Ask(QStringLiteral("LocationSummary"), QStringLiteral("SD"), account).ArrayOf(QStringLiteral("Data")).Size() >= 1);
    }
};

QTEST_GUILESS_MAIN(TestSummariesDemo)
#include "test_summaries_demo.moc"
