// corvantis-demo, run as the README's run command runs it, into throw-away program folders: what it
// writes (settings file, credentials, company database), that it never changes an installation
// that has settings, never replaces a company file or someone's credentials unless told, and that
// the company it makes is consistent and shows a figure on every dashboard tile, also on the
// first and the last day of a company year.

#include "CoreTestSupport.h"
#include "CredentialNames.h"
#include "GeneralFunction.h"
#include "clock/Clock.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QtTest>

#include <sqlite3.h>

namespace {

const QString kMobile = QStringLiteral("9999999999");
const QString kCompanyName = QStringLiteral("Calder Demo Traders");
const QStringList kTileCodes = {QStringLiteral("SA"), QStringLiteral("PU"), QStringLiteral("CH"), QStringLiteral("BK"),
                                QStringLiteral("SD"), QStringLiteral("SC"), QStringLiteral("TR"), QStringLiteral("TP"),
                                QStringLiteral("RT"), QStringLiteral("PT"), QStringLiteral("OR"), QStringLiteral("WD"),
                                QStringLiteral("OP"), QStringLiteral("OI"), QStringLiteral("WR"), QStringLiteral("PP"),
                                QStringLiteral("ST"), QStringLiteral("RQ"), QStringLiteral("IQ")};

// The command is built beside the programs, in <build>/CALDERWICK/Corvantis; this test runs from
// a folder under <build>.
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

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
    qint64 milliseconds = 0;
};

// Runs the command with the per-user settings store in `configFolder` and, when `clockDate` is
// valid, its clock standing at 10:00 of that day.
Run RunDemo(const QStringList& arguments, const QString& configFolder, const QString& clockFile = QString())
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configFolder);
    if (clockFile.isEmpty())
        env.remove(QStringLiteral("CORVANTIS_CLOCK_FILE"));
    else
        env.insert(QStringLiteral("CORVANTIS_CLOCK_FILE"), clockFile);
    process.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    process.start(DemoCommand(), arguments);
    Run run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("did not finish");
        return run;
    }
    run.milliseconds = timer.elapsed();
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file under a folder with a digest of its bytes and its modification time.
QStringList FolderState(const QString& folder)
{
    QStringList state;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        const QByteArray digest = QCryptographicHash::hash(FileBytes(path), QCryptographicHash::Sha256).toHex();
        state << path + QLatin1Char(' ') + QString::fromLatin1(digest) + QLatin1Char(' ')
                     + QString::number(info.lastModified().toMSecsSinceEpoch());
    }
    state.sort();
    return state;
}

QString Decoded(const QString& text)
{
    return GeneralFunction::DecodeText(text, false, GeneralFunction::kShiftKey);
}

// The primary server stored in the per-user settings store of `configFolder`, decoded.
QString StoredServer(const QString& configFolder)
{
    QSettings store(configFolder + QStringLiteral("/VB and VBA Program Settings/Tessarin.ini"), QSettings::IniFormat);
    const QString name = CredentialNames::ValueName(CredentialNames::MachineKey(),
                                                    CredentialNames::kSuffixNames.at(CredentialNames::PrimaryServer));
    return Decoded(store.value(CredentialNames::kSection + QLatin1Char('/') + name).toString());
}

// A read-only look into a company file.
class Sql {
public:
    explicit Sql(const QString& path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            m_error = QStringLiteral("cannot open ") + path;
    }
    ~Sql() { sqlite3_close(m_db); }
    Sql(const Sql&) = delete;
    Sql& operator=(const Sql&) = delete;

    QList<QVariantList> Rows(const QString& sql)
    {
        QList<QVariantList> rows;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
            m_error = QString::fromUtf8(sqlite3_errmsg(m_db)) + QStringLiteral(" in: ") + sql;
            return rows;
        }
        while (sqlite3_step(st) == SQLITE_ROW) {
            QVariantList row;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                switch (sqlite3_column_type(st, c)) {
                case SQLITE_INTEGER: row << static_cast<qlonglong>(sqlite3_column_int64(st, c)); break;
                case SQLITE_FLOAT: row << sqlite3_column_double(st, c); break;
                case SQLITE_NULL: row << QVariant(); break;
                default: row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c))); break;
                }
            }
            rows << row;
        }
        sqlite3_finalize(st);
        return rows;
    }
    QVariant Scalar(const QString& sql)
    {
        const QList<QVariantList> rows = Rows(sql);
        return rows.isEmpty() || rows.first().isEmpty() ? QVariant() : rows.first().first();
    }
    QString Error() const { return m_error; }

private:
    sqlite3* m_db = nullptr;
    QString m_error;
};

QString MonthSum(const QString& opening, const QString& suffix)
{
    QString sum = opening;
    for (int k = 1; k <= 24; ++k)
        sum += QStringLiteral(" + Month%1").arg(k) + suffix;
    return sum;
}

// The month of the company year a stored date falls in (the year starting 1 April of startYear).
QString MonthOf(const QString& column, int startYear)
{
    return QStringLiteral("((CAST(substr(%1, 1, 4) AS INTEGER) - %2) * 12 + CAST(substr(%1, 6, 2) AS INTEGER) - 3)")
        .arg(column)
        .arg(startYear);
}

// The books of the demo company as the product keeps them. Returns the first fault found, or "".
QString Inconsistency(const QString& path, const QDate& start, const QDate& today)
{
    Sql db(path);
    const auto count = [&db](const QString& sql) { return db.Scalar(sql).toLongLong(); };
    const QString startText = start.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00");
    const QString todayText = today.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00");

    if (count(QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 FROM FaAccountLedger GROUP BY DocumentYear, BranchCode, DocumentType, "
                             "SeriesCode, DocumentNo HAVING ABS(SUM(Amount)) > 0.001)")) != 0)
        return QStringLiteral("a voucher does not balance");
    const QString outside = QStringLiteral("SELECT COUNT(*) FROM %1 WHERE DocumentDate < '%2' OR DocumentDate > '%3'");
    if (count(outside.arg(QStringLiteral("FaAccountLedger"), startText, todayText))
        || count(outside.arg(QStringLiteral("FaItemLedger"), startText, todayText)))
        return QStringLiteral("a ledger line lies outside the year up to today");
    if (std::abs(db.Scalar(QStringLiteral("SELECT SUM(OpeningBalance) FROM FaAccountBalanceMaster")).toDouble()) > 0.005)
        return QStringLiteral("the opening balances do not balance");

    // Month totals of the balance master against the ledger, both ways.
    QHash<QString, double> ledger;
    for (const QVariantList& r : db.Rows(QStringLiteral("SELECT AccountCode, BranchCode, %1, SUM(Amount) FROM FaAccountLedger WHERE "
                                                        "Passed = 'True' GROUP BY 1, 2, 3")
                                             .arg(MonthOf(QStringLiteral("DocumentDate"), start.year()))))
        ledger.insert(r[0].toString() + QLatin1Char('|') + r[1].toString() + QLatin1Char('|') + r[2].toString(), r[3].toDouble());
    int matched = 0;
    QStringList monthColumns;
    for (int k = 1; k <= 24; ++k)
        monthColumns << QStringLiteral("Month%1Total").arg(k);
    const QString balanceRows = QStringLiteral("SELECT AccountCode, BranchCode, ") + monthColumns.join(QStringLiteral(", "))
                                + QStringLiteral(" FROM FaAccountBalanceMaster");
    for (const QVariantList& r : db.Rows(balanceRows)) {
        for (int k = 1; k <= 24; ++k) {
            const QString key = r[0].toString() + QLatin1Char('|') + r[1].toString() + QLatin1Char('|') + QString::number(k);
            const double expected = ledger.value(key, 0.0);
            matched += ledger.contains(key) ? 1 : 0;
            if (std::abs(r[k + 1].toDouble() - expected) > 0.005)
                return QStringLiteral("month %1 of %2/%3 is %4, its ledger lines sum to %5")
                    .arg(k)
                    .arg(r[0].toString(), r[1].toString())
                    .arg(r[k + 1].toDouble(), 0, 'f', 2)
                    .arg(expected, 0, 'f', 2);
        }
    }
    if (matched != ledger.size())
        return QStringLiteral("ledger lines of an account and branch without a balance row");

    // The stock master against the item ledger, and stock that never goes below zero.
    QHash<QString, double> moves;
    for (const QVariantList& r : db.Rows(QStringLiteral("SELECT ItemCode, StoreCode, %1, SUM(Quantity) FROM FaItemLedger GROUP BY 1, 2, 3")
                                             .arg(MonthOf(QStringLiteral("DocumentDate"), start.year()))))
        moves.insert(r[0].toString() + QLatin1Char('|') + r[1].toString() + QLatin1Char('|') + r[2].toString(), r[3].toDouble());
    QStringList quantityColumns;
    for (int k = 1; k <= 24; ++k)
        quantityColumns << QStringLiteral("Month%1TotalQuantity").arg(k);
    matched = 0;
    const QString stockRows =
        QStringLiteral("SELECT ItemCode, StoreCode, ") + quantityColumns.join(QStringLiteral(", ")) + QStringLiteral(" FROM FaStockMaster");
    for (const QVariantList& r : db.Rows(stockRows)) {
        for (int k = 1; k <= 24; ++k) {
            const QString key = r[0].toString() + QLatin1Char('|') + r[1].toString() + QLatin1Char('|') + QString::number(k);
            matched += moves.contains(key) ? 1 : 0;
            if (std::abs(r[k + 1].toDouble() - moves.value(key, 0.0)) > 0.0005)
                return QStringLiteral("stock month %1 of %2/%3 differs from the item ledger").arg(k).arg(r[0].toString(), r[1].toString());
        }
    }
    if (matched != moves.size())
        return QStringLiteral("item ledger lines of an item and store without a stock row");
    if (count(QStringLiteral("SELECT COUNT(*) FROM (SELECT Stock.OpeningQuantity + SUM(Day.Quantity) OVER (PARTITION BY Day.ItemCode, "
                             "Day.StoreCode ORDER BY Day.DocumentDate) AS Held FROM (SELECT ItemCode, StoreCode, DocumentDate, "
                             "SUM(Quantity) AS Quantity FROM FaItemLedger GROUP BY 1, 2, 3) AS Day JOIN FaStockMaster AS Stock ON "
                             "Stock.ItemCode = Day.ItemCode AND Stock.StoreCode = Day.StoreCode) WHERE Held < -0.0005")))
        return QStringLiteral("stock goes below zero at the end of a day");

    // Bills: pending is the amount less the settlements naming the bill, and a party's balance is
    // its pending bills.
    if (count(QStringLiteral("SELECT COUNT(*) FROM FaOSReg AS Bill WHERE Bill.Amount > 0 AND (Bill.PendingAmount < 0 OR "
                             "ABS(Bill.PendingAmount - Bill.Amount - IFNULL((SELECT SUM(S.Amount) FROM FaOSReg AS S WHERE "
                             "S.Amount < 0 AND S.RDocumentYear = Bill.DocumentYear AND S.RBranchCode = Bill.BranchCode AND S.RDocumentType = Bill.DocumentType AND "
                             "S.RSeriesCode = Bill.SeriesCode AND S.RDocumentNo = Bill.DocumentNo), 0)) > 0.005)")))
        return QStringLiteral("a bill's pending amount is not its amount less its settlements");
    if (count(QStringLiteral("SELECT COUNT(*) FROM FaOSReg AS S LEFT JOIN FaAccountLedger AS L ON L.DocumentYear = S.DocumentYear AND "
                             "L.BranchCode = S.BranchCode AND L.DocumentType = S.DocumentType AND L.SeriesCode = S.SeriesCode AND "
                             "L.DocumentNo = S.DocumentNo AND L.AccountCode = S.AccountCode AND L.AccountSno = S.AccountSno WHERE "
                             "S.Amount < 0 AND L.AccountCode IS NULL")))
        return QStringLiteral("a settlement without its voucher line");
    if (count(QStringLiteral("SELECT COUNT(*) FROM FaAccountBalanceMaster AS B JOIN FaAccountMaster AS A ON A.AccountCode = B.AccountCode "
                             "JOIN FaAccountGroupMaster AS G ON G.AccountGroupCode = A.ParentGroupCode WHERE G.GroupType IN ('SD', 'SC') "
                             "AND ABS(%1 - CASE G.GroupType WHEN 'SD' THEN 1 ELSE -1 END * IFNULL((SELECT SUM(O.PendingAmount) FROM "
                             "FaOSReg AS O WHERE O.AccountCode = B.AccountCode AND O.BranchCode = B.BranchCode AND O.Amount > 0), 0)) > "
                             "0.005")
                  .arg(MonthSum(QStringLiteral("B.OpeningBalance"), QStringLiteral("Total"))
                           .replace(QStringLiteral(" + Month"), QStringLiteral(" + B.Month"))))
        || count(QStringLiteral("SELECT COUNT(*) FROM FaOSReg AS O WHERE O.Amount > 0 AND O.PendingAmount > 0 AND NOT EXISTS (SELECT 1 "
                                "FROM FaAccountBalanceMaster AS B WHERE B.AccountCode = O.AccountCode AND B.BranchCode = O.BranchCode)")))
        return QStringLiteral("a party's balance in a branch is not the sum of its pending bills there");

    // Order lines: pending between nothing and the quantity, and the sum of their schedule.
    for (const QString& side : {QStringLiteral("Sales"), QStringLiteral("Purchase")}) {
        if (count(QStringLiteral("SELECT COUNT(*) FROM Fa%1OrderProducts AS P WHERE P.PendingQuantity < 0 OR P.PendingQuantity > "
                                 "P.Quantity OR ABS(P.PendingQuantity - IFNULL((SELECT SUM(S.PendingQuantity) FROM Fa%1OrderSchedule "
                                 "AS S WHERE S.DocumentYear = P.DocumentYear AND S.BranchCode = P.BranchCode AND S.DocumentType = "
                                 "P.DocumentType AND S.SeriesCode = P.SeriesCode AND S.DocumentNo = P.DocumentNo AND S.ItemCode = "
                                 "P.ItemCode AND S.ItemSno = P.ItemSno), 0)) > 0.0005")
                      .arg(side)))
            return side + QStringLiteral(" order lines whose pending quantity is not their schedule's");
        if (count(QStringLiteral("SELECT COUNT(*) FROM Fa%1OrderProducts AS P LEFT JOIN Fa%1OrderRegister AS R ON R.DocumentYear = "
                                 "P.DocumentYear AND R.BranchCode = P.BranchCode AND R.DocumentType = P.DocumentType AND "
                                 "R.SeriesCode = P.SeriesCode AND R.DocumentNo = P.DocumentNo WHERE R.DocumentNo IS NULL")
                      .arg(side)))
            return side + QStringLiteral(" order lines without their register row");
    }

    // Every code names a master row, and every document type is registered.
    const char* const references[][3] = {
        {"FaAccountLedger", "AccountCode", "SELECT AccountCode FROM FaAccountMaster"},
        {"FaOSReg", "AccountCode", "SELECT AccountCode FROM FaAccountMaster"},
        {"FaAccountBalanceMaster", "AccountCode", "SELECT AccountCode FROM FaAccountMaster"},
        {"FaAccountMaster", "ParentGroupCode", "SELECT AccountGroupCode FROM FaAccountGroupMaster"},
        {"FaItemLedger", "ItemCode", "SELECT ItemCode FROM FaItemMaster"},
        {"FaItemLedger", "StoreCode", "SELECT StoreCode FROM FaStoreMaster"},
        {"FaAccountLedger", "BranchCode", "SELECT BranchCode FROM FaBranchMaster"},
        {"FaSalesOrderProducts", "ItemCode", "SELECT ItemCode FROM FaItemMaster"},
        {"FaPurchaseOrderRegister", "AccountCode", "SELECT AccountCode FROM FaAccountMaster"},
        {"FaAccountLedger", "DocumentType", "SELECT DocumentType FROM stdDocumentTypeMaster"},
        {"FaItemLedger", "DocumentType", "SELECT DocumentType FROM stdDocumentTypeMaster"},
        {"FaOSReg", "DocumentType", "SELECT DocumentType FROM stdDocumentTypeMaster"},
        {"FaSalesOrderRegister", "DocumentType", "SELECT DocumentType FROM stdDocumentTypeMaster"},
        {"FaPurchaseOrderRegister", "DocumentType", "SELECT DocumentType FROM stdDocumentTypeMaster"},
    };
    for (const auto& r : references)
        if (count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 NOT IN (%3)")
                      .arg(QString::fromLatin1(r[0]), QString::fromLatin1(r[1]), QString::fromLatin1(r[2]))))
            return QStringLiteral("%1.%2 names a row that does not exist").arg(QString::fromLatin1(r[0]), QString::fromLatin1(r[1]));
    if (!db.Error().isEmpty())
        return db.Error();
    return QString();
}

// One request through the engine, its reply read back as an object.
platform::JsonObject Ask(clsSetup& setup, const QString& user, const QString& password, const QString& action,
                         const QString& folder = QString())
{
    platform::JsonObject request;
    request.AddString(QStringLiteral("Action"), action);
    request.AddString(QStringLiteral("MobileNo"), kMobile);
    request.AddString(QStringLiteral("UserID"), user);
    request.AddString(QStringLiteral("Password"), password);
    if (!folder.isEmpty()) {
        request.AddString(QStringLiteral("FolderName"), folder);
        request.AddString(QStringLiteral("StartDate"), QStringLiteral("1899-12-30"));
        request.AddString(QStringLiteral("LastDate"), QStringLiteral("1899-12-30"));
        request.AddString(QStringLiteral("BranchCode"), QString());
        request.AddString(QStringLiteral("StoreCode"), QString());
    }
    clsClient client;
    client.Setup = &setup;
    platform::JsonObject reply;
    reply.Load(client.GetData(request));
    return reply;
}

// The dashboard's figures by GroupType.
QHash<QString, double> Tiles(const platform::JsonObject& reply)
{
    QHash<QString, double> tiles;
    const platform::JsonArray data = reply.ArrayOf(QStringLiteral("Data"));
    for (int i = 0; i < data.Size(); ++i) {
        const platform::JsonObject row = data.ObjectAt(i);
        tiles.insert(row.StringOf(QStringLiteral("GrpTy")), row.StringOf(QStringLiteral("Amt")).toDouble());
    }
    return tiles;
}

QStringList Missing(const QHash<QString, double>& tiles)
{
    QStringList missing;
    for (const QString& code : kTileCodes)
        if (!tiles.contains(code) || tiles.value(code) <= 0)
            missing << code;
    return missing;
}

}  // namespace

class TestDemo : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(!DemoCommand().isEmpty(), "corvantis-demo is not built beside the programs");
        // The test's own settings store, shared with the first installation's command.
        coretest::IsolateUserSettings(m_dir);
        m_first = RunDemo({QStringLiteral("--install"), MainProgramFolder()}, ConfigFolder());
        m_firstToday = platform::Clock::Today();
    }

    void installs()
    {
        QVERIFY2(m_first.exitCode == 0, qPrintable(m_first.err + m_first.out));
        qInfo("corvantis-demo took %lld ms", static_cast<long long>(m_first.milliseconds));
        QVERIFY2(m_first.milliseconds < 10000, qPrintable(QString::number(m_first.milliseconds)));
        QVERIFY2(m_first.err.isEmpty(), qPrintable(m_first.err));

        // The settings: listening on the usual port, started with the window, the demo mobile.
        platform::JsonObject settings;
        QVERIFY(settings.Load(QString::fromUtf8(FileBytes(MainProgramFolder() + QStringLiteral("/TessarinMobileClientSettings.json")))));
        QCOMPARE(settings.TypeOf(QStringLiteral("StaticIP")), platform::JsonType::Boolean);
        QCOMPARE(settings.StringOf(QStringLiteral("StaticIP")), QStringLiteral("true"));
        QCOMPARE(settings.StringOf(QStringLiteral("LocalPort")), QStringLiteral("1175"));
        QCOMPARE(settings.StringOf(QStringLiteral("AutoStart")), QStringLiteral("true"));
        QCOMPARE(settings.StringOf(QStringLiteral("CurrentYearOnly")), QStringLiteral("true"));
        const platform::JsonArray mobiles = settings.ArrayOf(QStringLiteral("Mobiles"));
        QCOMPARE(mobiles.Size(), 1);
        const platform::JsonArray mobile = mobiles.ArrayAt(0);
        QCOMPARE(mobile.StringAt(0), kMobile);
        QCOMPARE(mobile.StringAt(1), QString());
        QCOMPARE(mobile.ArrayAt(2).Size(), 1);
        m_databaseName = mobile.ArrayAt(2).StringAt(0);
        QVERIFY(m_databaseName.startsWith(QStringLiteral("DEMO")));
        QCOMPARE(mobile.StringAt(3), QStringLiteral("false"));
        QVERIFY(QFileInfo::exists(MainDataFolder() + QLatin1Char('/') + m_databaseName + QStringLiteral(".sqlite")));
        QVERIFY(QDir(MainDataFolder()).entryList({QStringLiteral("*.building*")}, QDir::Files).isEmpty());

        // The settings object reads the file and the stored credentials, which name the folder.
        clsSetup setup(MainProgramFolder());
        QVERIFY(setup.GetSettings());
        QVERIFY(setup.lSettingFound);
        QVERIFY(setup.lStaticIP);
        QCOMPARE(setup.GetAllowedCompanies(kMobile), m_databaseName);
        QCOMPARE(Decoded(setup.DB_SERVER), QStringLiteral("sqlite:") + QFileInfo(MainDataFolder()).absoluteFilePath());

        // The summary names what a user needs.
        for (const QString& text : {m_databaseName, kCompanyName, QStringLiteral("ADMIN / admin"), QStringLiteral("SALES1 / sales1"),
                                    kMobile, QStringLiteral("1175"), QStringLiteral("corvantis-request")})
            QVERIFY2(m_first.out.contains(text), qPrintable(text));
    }

    void aSecondRunChangesNothing()
    {
        const QStringList before = FolderState(MainProgramFolder());
        const QString server = StoredServer(ConfigFolder());
        QVERIFY(!before.isEmpty());
        const Run again =
            RunDemo({QStringLiteral("--install"), MainProgramFolder(), QStringLiteral("--force-credentials")}, ConfigFolder());
        QCOMPARE(again.exitCode, 0);
        QVERIFY2(again.out.contains(QStringLiteral("already has settings")), qPrintable(again.out));
        QCOMPARE(FolderState(MainProgramFolder()), before);
        QCOMPARE(StoredServer(ConfigFolder()), server);
    }

    // The company on several days of its year: through the engine, every tile has a figure for
    // the supervisor and for the user of one branch and store, who sees less, and the books are
    // consistent.
    void dashboardShowsEveryTile_data()
    {
        QTest::addColumn<QDate>("today");  // invalid: the real date, the first installation
        QTest::addColumn<int>("minimumVouchers");
        QTest::newRow("today") << QDate() << 0;
        QTest::newRow("first day of the year") << QDate(2025, 4, 1) << 10;
        QTest::newRow("second day, a Wednesday") << QDate(2025, 4, 2) << 20;
        QTest::newRow("a Sunday") << QDate(2025, 6, 15) << 500;
        QTest::newRow("leap day") << QDate(2028, 2, 29) << 3000;
        QTest::newRow("last day of the year") << QDate(2026, 3, 31) << 3000;
    }

    void dashboardShowsEveryTile()
    {
        QFETCH(QDate, today);
        QFETCH(int, minimumVouchers);
        QString programFolder = MainProgramFolder();
        QString databaseName = m_databaseName;
        QDate day = m_firstToday;
        std::unique_ptr<clsSetup> setup;
        if (today.isValid()) {
            const QString root = m_dir.filePath(today.toString(QStringLiteral("yyyyMMdd")));
            programFolder = root + QStringLiteral("/CALDERWICK/Corvantis");
            const QString clockFile = root + QStringLiteral("/clock.txt");
            QVERIFY(QDir().mkpath(root));
            QFile clock(clockFile);
            QVERIFY(clock.open(QIODevice::WriteOnly));
            clock.write(today.toString(Qt::ISODate).toUtf8() + "T10:00:00\n");
            clock.close();
            const Run run = RunDemo({QStringLiteral("--install"), programFolder}, root + QStringLiteral("/config"), clockFile);
            QVERIFY2(run.exitCode == 0, qPrintable(run.err + run.out));
            databaseName = QStringLiteral("DEMO%1").arg(today.month() >= 4 ? today.year() : today.year() - 1);
            QVERIFY2(run.out.contains(databaseName), qPrintable(run.out));
            day = today;
            platform::Clock::Set(QDateTime(today, QTime(10, 0)));
            setup = std::make_unique<clsSetup>(programFolder);
            fixtures::PointSetupAt(*setup, programFolder + QStringLiteral("/Data"));
        } else {
            setup = std::make_unique<clsSetup>(programFolder);
        }
        struct ClockReset {
            ~ClockReset() { platform::Clock::Reset(); }
        } reset;
        QVERIFY(setup->GetSettings());
        QVERIFY(setup->GetCompanyList());

        // The company is listed for both users, its year holding today.
        for (const QString& user : {QStringLiteral("ADMIN"), QStringLiteral("SALES1")}) {
            const platform::JsonObject list = Ask(*setup, user, user.toLower(), QStringLiteral("CompanyList"));
            QCOMPARE(list.StringOf(QStringLiteral("Status")), QStringLiteral("1"));
            const platform::JsonArray data = list.ArrayOf(QStringLiteral("Data"));
            QCOMPARE(data.Size(), 1);
            QCOMPARE(data.ObjectAt(0).StringOf(QStringLiteral("FldNm")), databaseName);
            QCOMPARE(data.ObjectAt(0).StringOf(QStringLiteral("CmpNm")), kCompanyName);
            QVERIFY(QDate::fromString(data.ObjectAt(0).StringOf(QStringLiteral("StDt")), Qt::ISODate) <= day);
            QVERIFY(QDate::fromString(data.ObjectAt(0).StringOf(QStringLiteral("LtDt")), Qt::ISODate) > day);
        }

        const platform::JsonObject boss =
            Ask(*setup, QStringLiteral("ADMIN"), QStringLiteral("admin"), QStringLiteral("DashBoard"), databaseName);
        QVERIFY2(boss.StringOf(QStringLiteral("Status")) == QLatin1String("1"), qPrintable(boss.StringOf(QStringLiteral("Message"))));
        QCOMPARE(QDate::fromString(boss.StringOf(QStringLiteral("YrStDt")), Qt::ISODate),
                 QDate(day.month() >= 4 ? day.year() : day.year() - 1, 4, 1));
        const QHash<QString, double> all = Tiles(boss);
        QVERIFY2(Missing(all).isEmpty(), qPrintable(QStringLiteral("no figure for ") + Missing(all).join(QLatin1Char(' '))));

        const platform::JsonObject sales =
            Ask(*setup, QStringLiteral("SALES1"), QStringLiteral("sales1"), QStringLiteral("DashBoard"), databaseName);
        QVERIFY2(sales.StringOf(QStringLiteral("Status")) == QLatin1String("1"), qPrintable(sales.StringOf(QStringLiteral("Message"))));
        const QHash<QString, double> limited = Tiles(sales);
        QVERIFY2(Missing(limited).isEmpty(), qPrintable(QStringLiteral("no figure for ") + Missing(limited).join(QLatin1Char(' '))));
        QVERIFY2(limited.value(QStringLiteral("SA")) < all.value(QStringLiteral("SA")),
                 qPrintable(QStringLiteral("%1 against %2").arg(limited.value(QStringLiteral("SA"))).arg(all.value(QStringLiteral("SA")))));
        QVERIFY(limited.value(QStringLiteral("ST")) < all.value(QStringLiteral("ST")));

        const QString file = programFolder + QStringLiteral("/Data/") + databaseName + QStringLiteral(".sqlite");
        const QString fault = Inconsistency(file, QDate(day.month() >= 4 ? day.year() : day.year() - 1, 4, 1), day);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        Sql db(file);
        QVERIFY(db.Scalar(QStringLiteral("SELECT COUNT(*) FROM FaAccountMaster")).toInt() >= 200);
        QVERIFY(db.Scalar(QStringLiteral("SELECT COUNT(*) FROM FaItemMaster")).toInt() >= 200);
        const int vouchers = db.Scalar(QStringLiteral("SELECT COUNT(*) FROM (SELECT DISTINCT DocumentYear, BranchCode, DocumentType, "
                                                      "SeriesCode, DocumentNo FROM FaAccountLedger)"))
                                 .toInt();
        QVERIFY2(vouchers >= minimumVouchers, qPrintable(QString::number(vouchers)));
    }

    // Credentials somebody stored before are kept, with a warning, unless the command is told to
    // replace them; the same day makes the same company.
    void keepsCredentialsStoredBefore()
    {
        const QString root = m_dir.filePath(QStringLiteral("credentials"));
        const QString config = root + QStringLiteral("/config");
        const QString clockFile = root + QStringLiteral("/clock.txt");
        QVERIFY(QDir().mkpath(root));
        QFile clock(clockFile);
        QVERIFY(clock.open(QIODevice::WriteOnly));
        clock.write("2025-11-20T09:00:00\n");
        clock.close();
        const auto folder = [&root](const char* name) {
            return root + QLatin1Char('/') + QLatin1String(name) + QStringLiteral("/CALDERWICK/Corvantis");
        };

        Run run = RunDemo({QStringLiteral("--install"), folder("x")}, config, clockFile);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(StoredServer(config), QStringLiteral("sqlite:") + folder("x") + QStringLiteral("/Data"));

        run = RunDemo({QStringLiteral("--install"), folder("y")}, config, clockFile);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("kept")) && run.err.contains(QStringLiteral("--force-credentials")), qPrintable(run.err));
        QCOMPARE(StoredServer(config), QStringLiteral("sqlite:") + folder("x") + QStringLiteral("/Data"));
        QVERIFY(QFileInfo::exists(folder("y") + QStringLiteral("/TessarinMobileClientSettings.json")));
        // The same day makes the same company, byte for byte.
        QCOMPARE(FileBytes(folder("y") + QStringLiteral("/Data/DEMO2025.sqlite")),
                 FileBytes(folder("x") + QStringLiteral("/Data/DEMO2025.sqlite")));

        run = RunDemo({QStringLiteral("--install"), folder("z"), QStringLiteral("--force-credentials")}, config, clockFile);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        QCOMPARE(StoredServer(config), QStringLiteral("sqlite:") + folder("z") + QStringLiteral("/Data"));
    }

    // A company file without settings is somebody's data: nothing is written at all.
    void refusesToReplaceACompanyFile()
    {
        const QString root = m_dir.filePath(QStringLiteral("refuse"));
        const QString programFolder = root + QStringLiteral("/CALDERWICK/Corvantis");
        const QString config = root + QStringLiteral("/config");
        const QString clockFile = root + QStringLiteral("/clock.txt");
        QVERIFY(QDir().mkpath(programFolder + QStringLiteral("/Data")));
        QFile clock(clockFile);
        QVERIFY(clock.open(QIODevice::WriteOnly));
        clock.write("2025-11-20T09:00:00\n");
        clock.close();
        QFile company(programFolder + QStringLiteral("/Data/demo2025.sqlite"));
        QVERIFY(company.open(QIODevice::WriteOnly));
        company.write("somebody's company");
        company.close();
        const QStringList before = FolderState(root);

        const Run run = RunDemo({QStringLiteral("--install"), programFolder}, config, clockFile);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("demo2025.sqlite")) && run.err.contains(QStringLiteral("already exists")),
                 qPrintable(run.err));
        QCOMPARE(FolderState(root), before);
        QVERIFY(!QFileInfo::exists(config));
    }

    void refusesAFolderThatIsNoProgramFolder()
    {
        const QString folder = m_dir.filePath(QStringLiteral("elsewhere/Corvantis"));
        const Run run = RunDemo({QStringLiteral("--install"), folder}, m_dir.filePath(QStringLiteral("elsewhere-config")));
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(QStringLiteral("CALDERWICK/Corvantis")), qPrintable(run.err));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("elsewhere"))));
    }

private:
    QString MainProgramFolder() const { return m_dir.filePath(QStringLiteral("main/CALDERWICK/Corvantis")); }
    QString MainDataFolder() const { return MainProgramFolder() + QStringLiteral("/Data"); }
    QString ConfigFolder() const { return m_dir.filePath(QStringLiteral("config")); }

    QTemporaryDir m_dir;
    Run m_first;
    QDate m_firstToday;
    QString m_databaseName;
};

QTEST_GUILESS_MAIN(TestDemo)
#include "test_demo.moc"
