// The demo company gives rows for every action of the ledgers family: a busy party with several
// locations, open bills with and without bill dates, orders with and without delivery schedules,
// items in several stores.

#include "CoreTestSupport.h"
#include "DemoCompany.h"
#include "clock/Clock.h"

#include <QtTest>
#include <sqlite3.h>

namespace {

const QDate kToday(2026, 12, 10);

}  // namespace

class TestLedgersDemo : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<coretest::Installation> m_inst;
    demo::DemoSummary m_demo;

    QString Scalar(const QString& sql)
    {
        sqlite3* db = nullptr;
        QString value;
        if (sqlite3_open_v2(QFile::encodeName(m_demo.FilePath).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            sqlite3_stmt* statement = nullptr;
            if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) == SQLITE_OK
                && sqlite3_step(statement) == SQLITE_ROW)
                value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
            sqlite3_finalize(statement);
        }
        sqlite3_close(db);
        return value;
    }

    platform::JsonObject Ask(const QString& action, const QList<QPair<QString, QString>>& members)
    {
        platform::JsonObject request;
        request.AddString(QStringLiteral("Action"), action);
        request.AddString(QStringLiteral("MobileNo"), QStringLiteral("9999999999"));
        request.AddString(QStringLiteral("UserID"), QStringLiteral("ADMIN"));
        request.AddString(QStringLiteral("Password"), QStringLiteral("admin"));
        request.AddString(QStringLiteral("FolderName"), m_demo.DatabaseName);
        for (const auto& m : members)
            request.AddString(m.first, m.second);
        clsClient client;
        client.Setup = m_inst->setup.get();
        const QString text = client.GetData(request);
        const platform::JsonObject reply = coretest::ParsedReply(text);
        if (reply.StringOf(QStringLiteral("Status")) != QLatin1String("1"))
            qWarning().noquote() << text.left(400);
        return reply;
    }

    platform::JsonObject Party(const QString& action, const QString& groupType, const QString& account, const QString& start,
                               const QString& last, const QString& location = QString())
    {
        return Ask(action, {{QStringLiteral("StartDate"), start},    {QStringLiteral("LastDate"), last},
                            {QStringLiteral("BranchCode"), QString()}, {QStringLiteral("GroupType"), groupType},
                            {QStringLiteral("AccountCode"), account}, {QStringLiteral("AccountLocationCode"), location},
                            {QStringLiteral("StoreCode"), QString()}});
    }

    platform::JsonObject Item(const QString& action, const QString& groupType, const QString& item, const QString& start,
                              const QString& last)
    {
        return Ask(action, {{QStringLiteral("StartDate"), start},
                            {QStringLiteral("LastDate"), last},
                            {QStringLiteral("StoreCode"), QString()},
                            {QStringLiteral("GroupType"), groupType},
                            {QStringLiteral("ItemCode"), item}});
    }

    static int DataSize(const platform::JsonObject& reply)
    {
        return reply.ArrayOf(QStringLiteral("Data")).Size();
    }

    // Whether some row of "Data" has the member with (or, with `equal` false, without) the value.
    static bool AnyRow(const platform::JsonObject& reply, const QString& member, const QString& value, bool equal)
    {
        const platform::JsonArray data = reply.ArrayOf(QStringLiteral("Data"));
        for (int i = 0; i + 1 < data.Size(); ++i)  // the last row is the total
            if ((data.ObjectAt(i).StringOf(member) == value) == equal)
                return true;
        return false;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        coretest::IsolateUserSettings(m_dir);
        platform::Clock::Set(QDateTime(kToday, QTime(10, 0)));
        m_inst = std::make_unique<coretest::Installation>();
        m_demo = demo::CreateDemoCompany(m_inst->DatabaseFolder(), kToday);
        m_inst->ListCompany(m_demo.DatabaseName, m_demo.CompanyName, m_demo.StartDate.startOfDay(), m_demo.LastDate.startOfDay());
    }

    void cleanupTestCase()
    {
        platform::Clock::Reset();
    }

    void busyPartyWithLocations()
    {
        const QString party = Scalar(QStringLiteral(
            "SELECT L.AccountCode FROM FaAccountLedger AS L WHERE L.AccountCode IN (SELECT AccountCode FROM "
            "FaAccountAddressMaster GROUP BY AccountCode HAVING COUNT(*) > 1) GROUP BY L.AccountCode ORDER BY COUNT(*) DESC LIMIT 1"));
        QVERIFY(!party.isEmpty());
        const QString start = m_demo.StartDate.toString(Qt::ISODate), today = kToday.toString(Qt::ISODate);
        const platform::JsonObject ledger = Party(QStringLiteral("AccountLedger"), QStringLiteral("SD"), party, start, today);
        QVERIFY2(DataSize(ledger) >= 12, qPrintable(party));
        QVERIFY(AnyRow(ledger, QStringLiteral("LocNm"), QString(), false));
        const platform::JsonObject location =
            Party(QStringLiteral("AccountLedger"), QStringLiteral("SD"), party, start, today, QStringLiteral("001"));
        QVERIFY(DataSize(location) > 2);
    }

    void billsWithAndWithoutBillDates()
    {
        const QString start = m_demo.StartDate.toString(Qt::ISODate), today = kToday.toString(Qt::ISODate);
        const QString customer = Scalar(QStringLiteral(
            "SELECT AccountCode FROM FaOSReg WHERE DocumentType = 'INV' AND PendingAmount > 0 GROUP BY AccountCode "
            "ORDER BY COUNT(*) DESC LIMIT 1"));
        const platform::JsonObject sales = Party(QStringLiteral("Outstanding"), QStringLiteral("SD"), customer, start, today);
        QVERIFY(DataSize(sales) > 1);
        QVERIFY(AnyRow(sales, QStringLiteral("BilDt"), QStringLiteral("1899-12-30"), true));
        const QString supplier = Scalar(QStringLiteral(
            "SELECT AccountCode FROM FaOSReg WHERE DocumentType = 'PUR' AND PendingAmount > 0 GROUP BY AccountCode "
            "ORDER BY COUNT(*) DESC LIMIT 1"));
        const platform::JsonObject purchases = Party(QStringLiteral("Outstanding"), QStringLiteral("SC"), supplier, start, today);
        QVERIFY(DataSize(purchases) > 1);
        QVERIFY(AnyRow(purchases, QStringLiteral("BilDt"), QStringLiteral("1899-12-30"), false));
    }

    void ordersWithAndWithoutSchedules()
    {
        const QString unscheduled = Scalar(QStringLiteral(
            "SELECT AccountCode || '|' || substr(DocumentDate, 1, 10) FROM FaSalesOrderRegister WHERE DeliverySchedule = 'False' "
            "AND Passed = 'True' LIMIT 1"));
        QVERIFY(!unscheduled.isEmpty());
        const QString party = unscheduled.section(QLatin1Char('|'), 0, 0), day = unscheduled.section(QLatin1Char('|'), 1, 1);
        QVERIFY(DataSize(Party(QStringLiteral("Order"), QStringLiteral("OR"), party, day, day)) > 1);

        const QString scheduled = Scalar(QStringLiteral(
            "SELECT R.AccountCode FROM FaSalesOrderSchedule AS S JOIN FaSalesOrderRegister AS R ON R.DocumentYear = "
            "S.DocumentYear AND R.BranchCode = S.BranchCode AND R.DocumentType = S.DocumentType AND R.SeriesCode = "
            "S.SeriesCode AND R.DocumentNo = S.DocumentNo WHERE S.PendingQuantity > 0 AND R.Passed = 'True' "
            "GROUP BY R.AccountCode ORDER BY COUNT(*) DESC LIMIT 1"));
        const QString start = m_demo.StartDate.toString(Qt::ISODate), last = m_demo.LastDate.toString(Qt::ISODate);
        QVERIFY(DataSize(Party(QStringLiteral("Order"), QStringLiteral("WD"), scheduled, start, last)) > 1);
        QVERIFY(DataSize(Party(QStringLiteral("Order"), QStringLiteral("OP"), scheduled, start, last)) > 1);
    }

    void itemsInSeveralStores()
    {
        const QString item = Scalar(QStringLiteral(
            "SELECT ItemCode FROM FaItemLedger GROUP BY ItemCode HAVING COUNT(DISTINCT StoreCode) > 1 ORDER BY COUNT(*) DESC LIMIT 1"));
        QVERIFY(!item.isEmpty());
        const QString start = m_demo.StartDate.toString(Qt::ISODate), today = kToday.toString(Qt::ISODate);
        QVERIFY(DataSize(Item(QStringLiteral("ItemStoreSummary"), QStringLiteral("ST"), item, start, today)) > 1);
        QVERIFY(DataSize(Item(QStringLiteral("ItemLedger"), QStringLiteral("ST"), item, start, today)) > 3);
    }
};

QTEST_GUILESS_MAIN(TestLedgersDemo)
#include "test_ledgers_demo.moc"
