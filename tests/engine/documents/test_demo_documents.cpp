// The documents of the demo company, made by corvantis-demo as the README runs it: one document
// of every family answers with its header and lines, the bills' calculation adds up to what the
// year's trade posted, and a receipt shows the bills it settles.

#include "../CoreTestSupport.h"
#include "clock/Clock.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>

#include <sqlite3.h>

namespace {

const QString kMobile = QStringLiteral("9999999999");

QString DemoCommand()
{
    QDir dir(QCoreApplication::applicationDirPath());
    do {
        const QString candidate = dir.filePath(QStringLiteral("CALDERWICK/Corvantis/corvantis-demo"));
        for (const QString& path : {candidate, candidate + QStringLiteral(".exe")})
            if (QFileInfo(path).isExecutable())
                return path;
    } while (dir.cdUp());
    return QString();
}

// The first row of a query on the demo database, as texts.
QStringList FirstRow(const QString& file, const QString& sql)
{
    sqlite3* db = nullptr;
    QStringList row;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            for (int i = 0; i < sqlite3_column_count(st); ++i)
                row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return row;
}

}  // namespace

class TestDemoDocuments : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_programFolder;
    QString m_file;
    std::unique_ptr<clsSetup> m_setup;

    platform::JsonObject Ask(const QString& action, const QStringList& key)
    {
        platform::JsonObject request;
        request.AddString(QStringLiteral("Action"), action);
        request.AddString(QStringLiteral("MobileNo"), kMobile);
        request.AddString(QStringLiteral("UserID"), QStringLiteral("ADMIN"));
        request.AddString(QStringLiteral("Password"), QStringLiteral("admin"));
        request.AddString(QStringLiteral("FolderName"), QStringLiteral("DEMO2025"));
        const char* const names[] = {"DocumentYear", "BranchCode", "DocumentType", "SeriesCode", "DocumentNo"};
        for (int i = 0; i < 5; ++i)
            request.AddString(QString::fromLatin1(names[i]), key.value(i));
        clsClient client;
        client.Setup = m_setup.get();
        return coretest::ParsedReply(client.GetData(request));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        coretest::IsolateUserSettings(m_dir);
        const QString command = DemoCommand();
        QVERIFY2(!command.isEmpty(), "corvantis-demo is not built");
        m_programFolder = m_dir.filePath(QStringLiteral("CALDERWICK/Corvantis"));
        QVERIFY(QDir().mkpath(m_programFolder));
        const QString clockFile = m_dir.filePath(QStringLiteral("clock.txt"));
        QFile clock(clockFile);
        QVERIFY(clock.open(QIODevice::WriteOnly));
        clock.write("2025-06-10T10:00:00\n");
        clock.close();
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("demo-config")));
        env.insert(QStringLiteral("CORVANTIS_CLOCK_FILE"), clockFile);
        process.setProcessEnvironment(env);
        process.start(command, {QStringLiteral("--install"), m_programFolder});
        QVERIFY(process.waitForFinished(120000));
        QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
        m_file = m_programFolder + QStringLiteral("/Data/DEMO2025.sqlite");
        QVERIFY(QFileInfo::exists(m_file));
        platform::Clock::Set(QDateTime(QDate(2025, 6, 10), QTime(10, 0)));
        m_setup = std::make_unique<clsSetup>(m_programFolder);
        fixtures::PointSetupAt(*m_setup, m_programFolder + QStringLiteral("/Data"));
        QVERIFY(m_setup->GetCompanyList());
    }

    void cleanupTestCase() { platform::Clock::Reset(); }

    // One document of each family, the first of its register.
    void everyFamily_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<bool>("calculated");
        QTest::newRow("sales invoice") << QStringLiteral("FaSalesInvoiceRegister") << QStringLiteral("DocumentType = 'INV'") << true;
        QTest::newRow("cash memo") << QStringLiteral("FaSalesInvoiceRegister") << QStringLiteral("DocumentType = 'CMO'") << true;
        QTest::newRow("purchase bill") << QStringLiteral("FaPurchaseBillRegister") << QStringLiteral("1 = 1") << true;
        QTest::newRow("sales order") << QStringLiteral("FaSalesOrderRegister") << QStringLiteral("1 = 1") << true;
        QTest::newRow("purchase order") << QStringLiteral("FaPurchaseOrderRegister") << QStringLiteral("1 = 1") << true;
        QTest::newRow("store transfer") << QStringLiteral("FaIssueRegister") << QStringLiteral("1 = 1") << false;
        QTest::newRow("production") << QStringLiteral("FaProductionRegister") << QStringLiteral("1 = 1") << false;
        QTest::newRow("stock excess") << QStringLiteral("FaItemLedger") << QStringLiteral("DocumentType = 'EXC'") << false;
        QTest::newRow("stock scrap") << QStringLiteral("FaItemLedger") << QStringLiteral("DocumentType = 'SCR'") << false;
    }
    void everyFamily()
    {
        QFETCH(QString, table);
        QFETCH(QString, condition);
        QFETCH(bool, calculated);
        const QStringList key = FirstRow(m_file, QStringLiteral("SELECT DocumentYear, BranchCode, DocumentType, SeriesCode, DocumentNo FROM ")
                                                     + table + QStringLiteral(" WHERE ") + condition + QStringLiteral(" LIMIT 1"));
        QCOMPARE(key.size(), 5);
        const platform::JsonObject reply = Ask(QStringLiteral("Document"), key);
        QVERIFY2(reply.StringOf(QStringLiteral("Status")) == QLatin1String("1"), qPrintable(reply.StringOf(QStringLiteral("Message"))));
        QVERIFY(reply.ArrayOf(QStringLiteral("Document")).Size() >= 4);
        QVERIFY(reply.ArrayOf(QStringLiteral("Products")).Size() >= 1);
        const platform::JsonArray calculation = reply.ArrayOf(QStringLiteral("Calculation"));
        QCOMPARE(calculation.Size() > 0, calculated);
        if (!calculated)
            return;
        // Gross amount and taxes add up to the net amount.
        double sum = 0;
        double net = 0;
        for (int i = 0; i < calculation.Size(); ++i) {
            const platform::JsonObject row = calculation.ObjectAt(i);
            const double amount = row.StringOf(QStringLiteral("Amt")).toDouble();
            if (row.StringOf(QStringLiteral("Descr")) == QLatin1String("Net Amount"))
                net = amount;
            else
                sum += amount;
        }
        QVERIFY(net > 0);
        QVERIFY2(qAbs(net - sum) < 0.005, qPrintable(QStringLiteral("%1 against %2").arg(net).arg(sum)));
    }

    // A receipt that settles bills shows them under the party's line.
    void receiptWithAdjustments()
    {
        const QStringList key = FirstRow(m_file, QStringLiteral("SELECT L.DocumentYear, L.BranchCode, L.DocumentType, L.SeriesCode, L.DocumentNo "
                                                                "FROM FaAccountLedger AS L JOIN FaOSReg AS O ON L.DocumentYear = O.DocumentYear AND "
                                                                "L.BranchCode = O.BranchCode AND L.DocumentType = O.DocumentType AND "
                                                                "L.SeriesCode = O.SeriesCode AND L.DocumentNo = O.DocumentNo AND "
                                                                "L.AccountSno = O.AccountSno AND O.Amount < 0 "
                                                                "WHERE L.DocumentType = 'BRE' LIMIT 1"));
        QCOMPARE(key.size(), 5);
        const platform::JsonObject reply = Ask(QStringLiteral("Voucher"), key);
        QVERIFY2(reply.StringOf(QStringLiteral("Status")) == QLatin1String("1"), qPrintable(reply.StringOf(QStringLiteral("Message"))));
        const platform::JsonArray accounts = reply.ArrayOf(QStringLiteral("Accounts"));
        int adjustments = 0;
        for (int i = 0; i < accounts.Size(); ++i)
            adjustments += accounts.ObjectAt(i).ArrayOf(QStringLiteral("Adjs")).Size();
        QVERIFY(accounts.Size() >= 2);
        QVERIFY(adjustments >= 1);
    }
};

QTEST_GUILESS_MAIN(TestDemoDocuments)
#include "test_demo_documents.moc"
