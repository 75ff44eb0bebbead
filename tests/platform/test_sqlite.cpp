// The embedded-database backend on real files: opening (never creating a company file), the
// typed reader, batches, errors, and the request-log table built by its SQL Server batch.

#include "database/Connection.h"
#include "database/DatabaseError.h"
#include "database/Recordset.h"
#include "database/Rows.h"
#include "database/SqliteBackend.h"
#include "SqliteTestSupport.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <sqlite3.h>

using namespace platform;
using namespace platform::db;
using sqlitetest::MakeDatabase;
using sqlitetest::RowsText;

namespace {

// What a reader gives, or the number of the error it raises, as one text.
template <typename F>
QString Outcome(F read)
{
    try {
        return QStringLiteral("=") + read();
    } catch (const RuntimeError& e) {
        return QStringLiteral("error ") + QString::number(e.Number());
    }
}

QString Utf8(const Utf8Text& t)
{
    return QString::fromLatin1(QByteArray(t.data, t.size).toHex());
}

// Every reader of the rows against the Value the recordset gives for the same column.
void CompareWithValue(Rows& rows, int column, const Value& value, const QString& where)
{
    const auto check = [&](const char* what, const QString& got, const QString& expected) {
        QVERIFY2(got == expected, qPrintable(where + QStringLiteral(" ") + QLatin1String(what) + QStringLiteral(": ") + got
                                             + QStringLiteral(" instead of ") + expected));
    };
    check("IsNull", QString::number(rows.IsNull(column)), QString::number(value.IsNull()));
    check("Type", QString::number(int(rows.Type(column))), QString::number(int(value.Type())));
    check("At", Outcome([&] { return rows.At(column).ToVariant().toString() + QString::number(int(rows.At(column).Type())); }),
          Outcome([&] { return value.ToVariant().toString() + QString::number(int(value.Type())); }));
    check("ToDouble", Outcome([&] { return QString::number(rows.ToDouble(column), 'g', 17); }),
          Outcome([&] { return QString::number(value.ToDouble(), 'g', 17); }));
    check("ToInteger", Outcome([&] { return QString::number(rows.ToInteger(column)); }),
          Outcome([&] { return QString::number(value.ToInteger()); }));
    check("ToBool", Outcome([&] { return QString::number(rows.ToBool(column)); }), Outcome([&] { return QString::number(value.ToBool()); }));
    check("ToText", Outcome([&] { return Utf8(rows.ToText(column)); }),
          Outcome([&] { return QString::fromLatin1(value.ToText().toUtf8().toHex()); }));
    check("ToText ascii", Outcome([&] { const Utf8Text t = rows.ToText(column); return QString::number(t.ascii); }),
          Outcome([&] { const QByteArray b = value.ToText().toUtf8(); return QString::number(std::all_of(b.begin(), b.end(), [](char c) { return uchar(c) < 0x80; })); }));
    check("ToDateText", Outcome([&] { return Utf8(rows.ToDateText(column)); }),
          Outcome([&] { return QString::fromLatin1(value.ToDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8().toHex()); }));
}

// Every column name and every value of the rows as the result set holds them, in order.
void CompareRows(Rows& rows, const ResultSet& expected, const QString& where)
{
    QCOMPARE(rows.ColumnCount(), int(expected.columns.size()));
    for (int i = 0; i < rows.ColumnCount(); ++i)
        QCOMPARE(rows.ColumnName(i), expected.columns.at(i));
    size_t row = 0;
    while (rows.Next()) {
        QVERIFY(row < expected.rows.size());
        for (int i = 0; i < rows.ColumnCount(); ++i)
            CompareWithValue(rows, i, expected.rows[row][size_t(i)],
                             QStringLiteral("%1 row %2 column %3").arg(where).arg(row).arg(expected.columns.at(i)));
        ++row;
    }
    QCOMPARE(row, expected.rows.size());
}

const QString kCrLf = QStringLiteral("\r\n");
const QString kTable = QStringLiteral("TessarinMobileLog");

// The request-log table's creation, statement by statement, as the settings object sends it
// (with its "@" parameters filled).
QStringList LogTableBatch()
{
    auto fill = [](QString s) {
        return s.replace(QLatin1String("@pLogDatabaseName"), QLatin1String("master")).replace(QLatin1String("@pLogTableName"), kTable);
    };
    QStringList steps;
    steps << fill(QStringList({
        "SET ANSI_NULLS ON ", "SET QUOTED_IDENTIFIER ON ", "CREATE TABLE [@pLogDatabaseName].[dbo].[@pLogTableName]( ",
        "[RequestID] [int] IDENTITY(1,1) NOT NULL, ",
        "[RequestDateTime] [datetime] NOT NULL CONSTRAINT [DF_@pLogTableName_RequestDateTime]  DEFAULT (getdate()), ",
        "[Action] [nvarchar](30) NOT NULL CONSTRAINT [DF_@pLogTableName_Action]  DEFAULT (''), ",
        "[MobileNo] [nvarchar](20) NOT NULL CONSTRAINT [DF_@pLogTableName_MobileNo]  DEFAULT (''), ",
        "[UserID] [nvarchar](20) NOT NULL CONSTRAINT [DF_@pLogTableName_UserID]  DEFAULT (''), ",
        "[DatabaseName] [nvarchar](60) NOT NULL CONSTRAINT [DF_@pLogTableName_DatabaseName]  DEFAULT (''), ",
        "[IPAddress] [nvarchar](20) NOT NULL CONSTRAINT [DF_@pLogTableName_IPAddress]  DEFAULT (''), ",
        "[RequestJSON] [nvarchar](max) NOT NULL CONSTRAINT [DF_@pLogTableName_RequestJSON]  DEFAULT (''), ",
        "[ResponseDateTime] [datetime] NOT NULL CONSTRAINT [DF_@pLogTableName_ResponseDateTime]  DEFAULT ('12/30/1899'), ",
        "[ResponseJSON] [nvarchar](max) NOT NULL CONSTRAINT [DF_@pLogTableName_ResponseJSON]  DEFAULT (''), ",
        "CONSTRAINT [PK_@pLogTableName] PRIMARY KEY CLUSTERED ( ", "[requestID] Asc ",
        ")WITH (PAD_INDEX  = OFF, STATISTICS_NORECOMPUTE  = OFF, IGNORE_DUP_KEY = OFF, ALLOW_ROW_LOCKS  = ON, ALLOW_PAGE_LOCKS  = ON) ON [PRIMARY] ",
        ") ON [PRIMARY] "}).join(kCrLf));
    for (const char* column : {"Action", "IPAddress", "MobileNo"}) {
        steps << fill(QStringLiteral("ALTER TABLE [@pLogDatabaseName].[dbo].[@pLogTableName]  WITH CHECK ADD  CONSTRAINT "
                                     "[CK_@pLogTableName_%1_Disallow_Zero_Length] CHECK  ((len([%1])>(0))) ").arg(QLatin1String(column)));
        steps << fill(QStringLiteral("ALTER TABLE [@pLogDatabaseName].[dbo].[@pLogTableName] CHECK CONSTRAINT "
                                     "[CK_@pLogTableName_%1_Disallow_Zero_Length] ").arg(QLatin1String(column)));
    }
    for (const char* column : {"Action", "MobileNo", "RequestDateTime"}) {
        steps << fill(QStringList({QStringLiteral("CREATE NONCLUSTERED INDEX [IX_@pLogTableName_%1] ON [dbo].[@pLogTableName] ").arg(QLatin1String(column)),
                                   QStringLiteral("([%1] Asc ").arg(QLatin1String(column)),
                                   QStringLiteral(")WITH (PAD_INDEX  = OFF, STATISTICS_NORECOMPUTE  = OFF, SORT_IN_TEMPDB = OFF, IGNORE_DUP_KEY = OFF, "
                                                  "DROP_EXISTING = OFF, ONLINE = OFF, ALLOW_ROW_LOCKS  = ON, ALLOW_PAGE_LOCKS  = ON) ON [PRIMARY] ")})
                          .join(kCrLf));
    }
    const QList<QPair<QString, QString>> descriptions = {
        {"RequestID", "Stores Request ID"}, {"RequestDateTime", "Stores Request Date Time."},
        {"Action", "Stores Action Requested by Mobile User."}, {"MobileNo", "Stores Mobile No. of Requested."},
        {"UserID", "Stores User ID of Mobile No. Requested."}, {"DatabaseName", "Stores Name of Database"},
        {"IPAddress", "Stores IP Address of Requested User."}, {"RequestJSON", "Stores JSON Requested by User."},
        {"ResponseDateTime", "Stores Response Date Time."}, {"ResponseJSON", "Stores Response JSON sent to Mobile User."}};
    for (const auto& [column, text] : descriptions) {
        steps << fill(QStringLiteral("EXEC sys.sp_addextendedproperty @name=N'MS_Description', @value=N'%1' , @level0type=N'SCHEMA',@level0name=N'dbo', "
                                     "@level1type=N'TABLE',@level1name=N'@pLogTableName', @level2type=N'COLUMN',@level2name=N'%2' ")
                          .arg(text, column));
    }
    steps << fill(QStringLiteral("EXEC sys.sp_addextendedproperty @name=N'Description', @value=N'Store Mobile Client Requests & Responses' , "
                                 "@level0type=N'SCHEMA',@level0name=N'dbo', @level1type=N'TABLE',@level1name=N'@pLogTableName' "));
    return steps;
}

QString Insert(const QString& when, const QString& action, const QString& mobile, const QString& user, const QString& folder,
               const QString& ip, const QString& json)
{
    auto q = [](QString s) { return QLatin1Char('\'') + s.replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\''); };
    return QStringLiteral("INSERT INTO master.dbo.TessarinMobileLog (RequestDateTime, [Action], MobileNo, UserID, [DatabaseName], IPAddress, RequestJSON) "
                          "VALUES ((%1), %2, %3, %4, %5, %6, %7); ")
        .arg(q(when), q(action), q(mobile), q(user), q(folder), q(ip), q(json));
}

}  // namespace

class TestSqlite : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString Folder() const { return m_dir.path(); }
    QString ConnectionString(const QString& db) const
    {
        return QStringLiteral("Server=sqlite:%1;Database=%2").arg(Folder(), db);
    }
    QStringList Files() const { return QDir(Folder()).entryList(QDir::Files, QDir::Name); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        MakeDatabase(m_dir.filePath(QStringLiteral("Shop2024.sqlite")), {
            QStringLiteral("CREATE TABLE Company (CompanyName TEXT COLLATE NOCASE, StartDate DATETIME)"),
            QStringLiteral("INSERT INTO Company VALUES ('Shop', '2024-04-01 00:00:00')"),
            QStringLiteral("CREATE TABLE Kinds (D DATETIME, DO DATE, B BIT COLLATE NOCASE, R REAL, I INTEGER, J INT, T TEXT COLLATE NOCASE, V VARCHAR(10))"),
            QStringLiteral("INSERT INTO Kinds VALUES ('2024-01-05 13:45:10', '2024-02-29', 'True', 2.5, 7, 8, 'text', 'v'), "
                           "('1899-12-30 00:00:00', '2024-03-01 00:00:00', 'FALSE', 3, 0, 0, '', ''), "
                           "(NULL, NULL, '1', NULL, NULL, NULL, NULL, NULL), (NULL, NULL, 0, NULL, NULL, NULL, NULL, NULL), "
                           "(NULL, NULL, 'false', NULL, NULL, NULL, '2024-01-05 13:45:10', NULL)"),
            QStringLiteral("CREATE TABLE Checked (A INTEGER NOT NULL, B TEXT CHECK (length(B) < 3))"),
            // Every declared kind holding every storage class, and texts that are not plain.
            QStringLiteral("CREATE TABLE Mixed (N INTEGER PRIMARY KEY, D DATETIME, B BIT, R REAL, I INTEGER, T TEXT COLLATE NOCASE, X)"),
            QStringLiteral("INSERT INTO Mixed (D, B, R, I, T, X) VALUES "
                           "('2024-01-05 13:45:10', 'True', 2.5, 7, 'text', 'free'), "
                           "('2024-02-29 00:00:00', 'TRUE', 3, -0, '', '2024-03-01 00:00:00'), "
                           "('01/05/2024', 'yes', '12.5', 2.5, 42, 3.25), "
                           "('2024-13-40 00:00:00', '2', ' 3 ', '9', 1.5, 7), "
                           "(45000, 2.5, 'abc', 'x', '2024-01-05 13:45:10', 'true'), "
                           "(45000.75, 0.0, '', 9223372036854775807, 'Café ₹', ''), "
                           "('', 'false', -1e300, -9223372036854775808, 'a\"b\\c', 1e21), "
                           "('not a date', 'FALSE ', 1e-7, 1, '  padded  ', NULL), "
                           "(NULL, NULL, NULL, NULL, NULL, X'C3'), "
                           "(CAST(X'C328' AS TEXT), '0', 0.1, 0, CAST(X'61C3A9FF' AS TEXT), X'00'), "
                           "('2024-01-05', 1, 100000000000000000000.0, 12, '1899-12-30 00:00:00', -0.0), "
                           "(' 2024-01-05 ', 'True', 123456789.125, 3, ' True ', 'False')"),
        });
        // A database beside the folder, which no name given to the folder may reach.
        QDir(Folder()).mkdir(QStringLiteral("inner"));
        MakeDatabase(m_dir.filePath(QStringLiteral("outside.sqlite")), {QStringLiteral("CREATE TABLE Company (CompanyName TEXT)")});
    }

    void openRefusesAMissingFolder()
    {
        try {
            OpenSqlite(m_dir.filePath(QStringLiteral("no-such-folder")), QStringLiteral("master"));
            QFAIL("expected a failure");
        } catch (const DatabaseError& e) {
            QCOMPARE(e.Number(), err::ProviderError);
        }
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("no-such-folder"))));
    }

    void openCreatesOnlyMaster()
    {
        QTemporaryDir empty;
        {
            auto backend = OpenSqlite(empty.path(), QStringLiteral("master"));
            QCOMPARE(backend->DatabaseName(), QStringLiteral("master"));
            QCOMPARE(backend->dialect().engine(), Engine::Sqlite);
            QCOMPARE(RowsText(backend->Query(QStringLiteral("PRAGMA journal_mode"))), QStringLiteral("wal"));
        }
        QVERIFY(QFileInfo::exists(empty.filePath(QStringLiteral("master.sqlite"))));
        try {
            OpenSqlite(empty.path(), QStringLiteral("Ghost2024"));
            QFAIL("expected a failure");
        } catch (const DatabaseError& e) {
            QCOMPARE(e.Number(), err::ProviderError);
            QCOMPARE(e.Description(), QStringLiteral("Cannot open database \"Ghost2024\" requested by the login. The login failed."));
        }
        QVERIFY(!QFileInfo::exists(empty.filePath(QStringLiteral("Ghost2024.sqlite"))));
    }

    void openMatchesNamesWithoutRegardToCase()
    {
        Connection c;
        c.Open(ConnectionString(QStringLiteral("SHOP2024")));
        QCOMPARE(c.State(), int(adStateOpen));
        QCOMPARE(c.DatabaseName(), QStringLiteral("Shop2024"));
        QCOMPARE(c.dialect().engine(), Engine::Sqlite);
        QCOMPARE(RowsText(c.Query(QStringLiteral("SELECT CompanyName FROM Company"))), QStringLiteral("Shop"));
        QCOMPARE(RowsText(c.Query(QStringLiteral("SELECT CompanyName FROM shop2024.dbo.Company"))), QStringLiteral("Shop"));
    }

    void unsafeNamesAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("parent") << "../outside";
        QTest::newRow("dot dot") << "..";
        QTest::newRow("inner dot dot") << "inner/../Shop2024";
        QTest::newRow("slash") << "inner/x";
        QTest::newRow("backslash") << "inner\\x";
        QTest::newRow("absolute") << m_dir.filePath(QStringLiteral("outside"));
        QTest::newRow("drive") << "c:outside";
        QTest::newRow("nul") << QStringLiteral("Shop2024") + QChar(0) + QStringLiteral("x");
        QTest::newRow("empty") << "";
        QTest::newRow("blank") << " Shop2024";
        QTest::newRow("device") << "CON";
        QTest::newRow("wildcard") << "Shop*";
        QTest::newRow("hidden") << ".Shop2024";
    }

    void unsafeNamesAreRefused()
    {
        QFETCH(QString, name);
        const QStringList before = Files();
        try {
            OpenSqlite(Folder(), name);
            QFAIL("expected a failure");
        } catch (const DatabaseError& e) {
            QCOMPARE(e.Number(), err::ProviderError);
            QVERIFY(e.Description().startsWith(QStringLiteral("Cannot open database \"")));
            QVERIFY(e.Description().endsWith(QStringLiteral("requested by the login. The login failed.")));
        }
        QCOMPARE(Files(), before);
        // Nor can a statement reach outside the folder through a three-part name.
        Connection c;
        c.Open(ConnectionString(QStringLiteral("Shop2024")));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, c.Query(QStringLiteral("SELECT * FROM [%1].dbo.Company").arg(name)));
        QCOMPARE(Files(), before);
    }

    void attachingNeverCreatesAFile()
    {
        Connection c;
        c.Open(ConnectionString(QStringLiteral("master")));
        try {
            c.Query(QStringLiteral("SELECT CompanyName FROM Ghost.dbo.Company"));
            QFAIL("expected a failure");
        } catch (const DatabaseError& e) {
            QCOMPARE(e.Number(), err::SyntaxError);
            QVERIFY(e.Description().contains(QStringLiteral("Ghost")));
        }
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("Ghost.sqlite"))));
    }

    void typedReads()
    {
        Connection c;
        c.Open(ConnectionString(QStringLiteral("Shop2024")));
        const ResultSet rs = c.Query(QStringLiteral("SELECT D, DO, B, R, I, J, T, V FROM Kinds"));
        QCOMPARE(rs.rows.size(), size_t(5));
        const auto& a = rs.rows[0];
        QCOMPARE(a[0].Type(), ValueType::DateTime);
        QCOMPARE(a[0].ToDateTime(), QDateTime(QDate(2024, 1, 5), QTime(13, 45, 10)));
        QCOMPARE(a[1].Type(), ValueType::DateTime);
        QCOMPARE(a[1].ToDate(), QDate(2024, 2, 29));
        QCOMPARE(a[2], Value(true));
        QCOMPARE(a[3], Value(2.5));
        QCOMPARE(a[4], Value(qint64(7)));
        QCOMPARE(a[5], Value(qint64(8)));
        QCOMPARE(a[6], Value(QStringLiteral("text")));
        QCOMPARE(a[7], Value(QStringLiteral("v")));
        const auto& b = rs.rows[1];
        QCOMPARE(b[0].ToDateTime(), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
        QCOMPARE(b[2], Value(false));
        QCOMPARE(b[3], Value(3.0));  // a REAL stays a decimal even when whole
        QCOMPARE(b[4], Value(qint64(0)));
        QCOMPARE(b[6], Value(QString()));
        QCOMPARE(rs.rows[2][2], Value(true));   // '1'
        QCOMPARE(rs.rows[3][2], Value(false));  // 0
        QCOMPARE(rs.rows[4][2], Value(false));  // 'false'
        for (int i : {0, 1, 3, 4, 5, 7})
            QVERIFY(rs.rows[2][static_cast<size_t>(i)].IsNull());
        QCOMPARE(rs.rows[4][6].Type(), ValueType::Text);  // a TEXT column is text, whatever it holds
    }

    void columnNamesHonourAliases()
    {
        Connection c;
        c.Open(ConnectionString(QStringLiteral("Shop2024")));
        const ResultSet rs = c.Query(QStringLiteral("SELECT K.I, K.J AS [Jay], K.T AS Tee FROM Kinds AS K WHERE K.I = 7"));
        QCOMPARE(rs.columns, QStringList({"I", "Jay", "Tee"}));
    }

    void batches()
    {
        Connection c;
        c.Open(ConnectionString(QStringLiteral("master")));
        c.Execute(QStringLiteral("CREATE TABLE Batch (A INTEGER)"));
        QCOMPARE(c.Execute(QStringLiteral("INSERT INTO Batch VALUES (1); INSERT INTO Batch VALUES (2), (3)\r\n"
                                          "UPDATE Batch SET A = A + 10 WHERE A < 3 CREATE TABLE Batch2 (X INTEGER)")), 5L);
        QCOMPARE(c.Execute(QStringLiteral("DELETE FROM Batch WHERE A > 100")), 0L);
        QCOMPARE(c.Execute(QStringLiteral("SELECT * FROM Batch")), 0L);
        QCOMPARE(RowsText(c.Query(QStringLiteral("INSERT INTO Batch VALUES (4) SELECT A FROM Batch ORDER BY A"))), QStringLiteral("3;4;11;12"));
        QCOMPARE(c.Query(QStringLiteral("DROP TABLE Batch; DROP TABLE Batch2")).columns.size(), 0);
    }

    void errorsCarryNumbersAndDescriptions_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<long>("number");
        QTest::addColumn<QString>("fragment");
        QTest::newRow("syntax") << "SELEC 1" << err::SyntaxError << "syntax error";
        QTest::newRow("missing table") << "SELECT * FROM NoSuchTable" << err::SyntaxError << "no such table: NoSuchTable";
        QTest::newRow("missing column") << "SELECT Nope FROM Kinds" << err::SyntaxError << "no such column: Nope";
        QTest::newRow("not null") << "INSERT INTO Checked (A, B) VALUES (NULL, 'x')" << err::SyntaxError << "NOT NULL";
        QTest::newRow("check") << "INSERT INTO Checked (A, B) VALUES (1, 'long')" << err::SyntaxError << "CHECK constraint failed";
        QTest::newRow("bad date") << "SELECT DateAdd(d, 1, 'not a date')" << err::SyntaxError << "Conversion failed when converting date";
        QTest::newRow("bad datepart") << "SELECT DateAdd(fortnight, 1, '2024-01-01')" << err::SyntaxError << "'fortnight' is not a recognized dateadd option.";
    }

    void errorsCarryNumbersAndDescriptions()
    {
        QFETCH(QString, sql);
        QFETCH(long, number);
        QFETCH(QString, fragment);
        Connection c;
        c.Open(ConnectionString(QStringLiteral("Shop2024")));
        try {
            c.Execute(sql);
            QFAIL("expected a failure");
        } catch (const DatabaseError& e) {
            QCOMPARE(e.Number(), number);
            QVERIFY2(e.Description().startsWith(QStringLiteral("[SQLite] ")), qPrintable(e.Description()));
            QVERIFY2(e.Description().contains(fragment), qPrintable(e.Description()));
        }
        QCOMPARE(RowsText(c.Query(QStringLiteral("SELECT count(*) FROM Checked"))), QStringLiteral("0"));
    }

    void readingPastTheEndIsError3021()
    {
        Connection c;
        c.Open(ConnectionString(QStringLiteral("Shop2024")));
        Recordset rs;
        rs.Open(QStringLiteral("SELECT CompanyName FROM Company"), c);
        QCOMPARE(rs[QStringLiteral("companyname")].ToText(), QStringLiteral("Shop"));
        rs.MoveNext();
        QVERIFY(rs.IsEOF());
        try {
            rs[QStringLiteral("CompanyName")];
            QFAIL("expected a failure");
        } catch (const DatabaseError& e) {
            QCOMPARE(e.Number(), err::NoCurrentRecord);
        }
        rs.Close();
        rs.Open(QStringLiteral("SELECT CompanyName FROM Company WHERE 1 = 0"), c);
        QVERIFY(rs.IsEOF());
        QVERIFY_THROWS_EXCEPTION(DatabaseError, rs.MoveNext());
    }

    void requestLogTable()
    {
        QTemporaryDir dir;
        const QString cs = QStringLiteral("Server=sqlite:%1;Database=master").arg(dir.path());
        Connection c;
        c.Open(cs);
        const QString exists = QStringLiteral("SELECT 1 WHERE OBJECT_ID('master.dbo.TessarinMobileLog') IS NOT NULL ");
        QCOMPARE(c.Query(exists).rows.size(), size_t(0));
        const QStringList steps = LogTableBatch();
        QCOMPARE(steps.size(), 21);
        for (const QString& step : steps) {
            try {
                c.Execute(step);
            } catch (const DatabaseError& e) {
                QFAIL(qPrintable(e.Description() + QStringLiteral("\n") + step));
            }
        }
        QCOMPARE(c.Query(exists).rows.size(), size_t(1));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, c.Execute(steps.first()));  // it exists now

        // Inserts that pass, with the identity of each.
        QCOMPARE(c.Execute(Insert(QStringLiteral("01/05/2024 10:00:00"), QStringLiteral("Login"), QStringLiteral("9876543210"),
                                  QString(), QString(), QStringLiteral("10.0.0.1"), QStringLiteral("{\"Action\":\"Login\",\"Name\":\"O'Brien\"}"))), 1L);
        QCOMPARE(RowsText(c.Query(QStringLiteral("SELECT @@IDENTITY AS RequestID "))), QStringLiteral("1"));
        QCOMPARE(c.Execute(Insert(QStringLiteral("01/05/2024 23:59:59"), QString(30, QLatin1Char('A')), QString(20, QLatin1Char('9')),
                                  QString(20, QLatin1Char('u')), QString(60, QLatin1Char('f')), QStringLiteral("10.0.0.2"), QStringLiteral("{}"))), 1L);
        QCOMPARE(c.Query(QStringLiteral("SELECT @@IDENTITY AS RequestID ")).rows[0][0], Value(qint64(2)));
        QCOMPARE(c.Execute(Insert(QStringLiteral("2024-01-06 00:00:00"), QStringLiteral("DashBoard"), QStringLiteral("1"), QString(), QString(),
                                  QStringLiteral("10.0.0.3"), QStringLiteral("{}"))), 1L);

        // The stored row reads back with its kinds; the date was stored in the storage form.
        Recordset row;
        row.Open(QStringLiteral("SELECT * FROM TessarinMobileLog WHERE RequestID = 1"), c);
        QCOMPARE(row[QStringLiteral("RequestID")].Type(), ValueType::Integer);
        QCOMPARE(row[QStringLiteral("RequestDateTime")].ToDateTime(), QDateTime(QDate(2024, 1, 5), QTime(10, 0)));
        QCOMPARE(row[QStringLiteral("ResponseDateTime")].Type(), ValueType::DateTime);
        QCOMPARE(row[QStringLiteral("ResponseDateTime")].ToDate(), QDate(1899, 12, 30));
        QCOMPARE(row[QStringLiteral("ResponseJSON")].ToText(), QString());
        QCOMPARE(row[QStringLiteral("RequestJSON")].ToText(), QStringLiteral("{\"Action\":\"Login\",\"Name\":\"O'Brien\"}"));
        row.Close();
        QCOMPARE(RowsText(c.Query(QStringLiteral("SELECT RequestDateTime FROM TessarinMobileLog WHERE RequestID = 1 AND RequestDateTime = '2024-01-05 10:00:00'"))),
                 QStringLiteral("2024-01-05 10:00:00"));

        // The reply is stored by an update; one that breaks a constraint is refused.
        QCOMPARE(c.Execute(QStringLiteral("UPDATE master.dbo.TessarinMobileLog SET ResponseDateTime = ('01/05/2024 10:00:02'), "
                                          "ResponseJSON = '{\"Status\":1}' WHERE RequestID = 1")), 1L);
        QCOMPARE(RowsText(c.Query(QStringLiteral("SELECT ResponseDateTime, ResponseJSON FROM TessarinMobileLog WHERE RequestID = 1"))),
                 QStringLiteral("2024-01-05 10:00:02|{\"Status\":1}"));
        QCOMPARE(c.Execute(QStringLiteral("UPDATE master.dbo.TessarinMobileLog SET ResponseJSON = 'x' WHERE RequestID = 99")), 0L);
        QVERIFY_THROWS_EXCEPTION(DatabaseError, c.Execute(QStringLiteral("UPDATE TessarinMobileLog SET MobileNo = '' WHERE RequestID = 1")));

        // The log viewer's day range: whole days, newest first.
        const ResultSet day = c.Query(QStringLiteral(
            "SELECT LogData.RequestID, LogData.RequestDateTime, LogData.Action, LogData.MobileNo, LogData.UserID, LogData.DatabaseName AS [FolderName], "
            "LogData.IPAddress, LogData.ResponseDateTime, 'Click Button' AS RequestAndResponse FROM TessarinMobileLog AS LogData WHERE "
            "LogData.RequestDateTime >= ('2024-01-05 00:00:00') AND CONVERT(DATETIME, CONVERT(nVarChar(10), LogData.RequestDateTime, 101), 101) <= "
            "('2024-01-05 00:00:00') ORDER BY LogData.RequestDateTime DESC "));
        QCOMPARE(day.columns.at(5), QStringLiteral("FolderName"));
        QCOMPARE(day.rows.size(), size_t(2));
        QCOMPARE(day.rows[0][0], Value(qint64(2)));
        QCOMPARE(day.rows[1][0], Value(qint64(1)));

        // Extended properties read back; the indexes exist.
        QCOMPARE(RowsText(c.Query(QStringLiteral("SELECT count(*) FROM sys_extended_properties"))), QStringLiteral("11"));
        QCOMPARE(RowsText(c.Query(QStringLiteral("SELECT value FROM sys_extended_properties WHERE name = 'MS_Description' AND level1name = 'TessarinMobileLog' "
                                              "AND level2name = 'RequestID'"))),
                 QStringLiteral("Stores Request ID"));
        QCOMPARE(RowsText(c.Query(QStringLiteral("SELECT value FROM sys_extended_properties WHERE name = 'Description' AND level2type = ''"))),
                 QStringLiteral("Store Mobile Client Requests & Responses"));
        QCOMPARE(RowsText(c.Query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND name LIKE 'IX_%' ORDER BY name"))),
                 QStringLiteral("IX_TessarinMobileLog_Action;IX_TessarinMobileLog_MobileNo;IX_TessarinMobileLog_RequestDateTime"));

        // Identities are never reused.
        c.Execute(QStringLiteral("DELETE FROM TessarinMobileLog WHERE RequestID = 3"));
        c.Execute(Insert(QStringLiteral("2024-01-07 00:00:00"), QStringLiteral("Login"), QStringLiteral("1"), QString(), QString(),
                         QStringLiteral("10.0.0.4"), QStringLiteral("{}")));
        QCOMPARE(RowsText(c.Query(QStringLiteral("SELECT @@IDENTITY AS RequestID"))), QStringLiteral("4"));

        // A company connection writes the log through the three-part name.
        MakeDatabase(dir.filePath(QStringLiteral("Shop.sqlite")), {QStringLiteral("CREATE TABLE Company (CompanyName TEXT)")});
        Connection company;
        company.Open(QStringLiteral("Server=sqlite:%1;Database=Shop").arg(dir.path()));
        QCOMPARE(company.Execute(Insert(QStringLiteral("2024-01-08 08:00:00"), QStringLiteral("Login"), QStringLiteral("5"), QString(), QStringLiteral("Shop"),
                                        QStringLiteral("10.0.0.5"), QStringLiteral("{}"))), 1L);
        QCOMPARE(RowsText(company.Query(QStringLiteral("SELECT @@IDENTITY AS RequestID"))), QStringLiteral("5"));
        company.Close();

        // Another program on the same file (without this connection's functions) can write a
        // row: the defaults and the checks use SQLite's own functions only.
        sqlite3* raw = nullptr;
        QVERIFY(sqlite3_open_v2(dir.filePath(QStringLiteral("master.sqlite")).toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK);
        QCOMPARE(sqlite3_exec(raw, "INSERT INTO TessarinMobileLog (Action, MobileNo, IPAddress) VALUES ('Raw', '7', '10.0.0.9')", nullptr, nullptr, nullptr), SQLITE_OK);
        QVERIFY(sqlite3_exec(raw, "INSERT INTO TessarinMobileLog (Action, MobileNo, IPAddress) VALUES ('', '7', '10.0.0.9')", nullptr, nullptr, nullptr) != SQLITE_OK);
        sqlite3_close(raw);
        const ResultSet rawRow = c.Query(QStringLiteral("SELECT RequestDateTime, ResponseDateTime FROM TessarinMobileLog WHERE Action = 'Raw'"));
        QCOMPARE(rawRow.rows.size(), size_t(1));
        QCOMPARE(rawRow.rows[0][0].Type(), ValueType::DateTime);
        QVERIFY(qAbs(rawRow.rows[0][0].ToDateTime().secsTo(QDateTime::currentDateTime())) < 120);
        QCOMPARE(rawRow.rows[0][1].ToDate(), QDate(1899, 12, 30));
    }

    void requestLogTableRefusesBadRows_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("mobile");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("fragment");
        const QString ok = QStringLiteral("x");
        QTest::newRow("empty Action") << "" << ok << ok << ok << ok << "CHECK constraint \"CK_TessarinMobileLog_Action_Disallow_Zero_Length\"";
        QTest::newRow("blank Action") << "   " << ok << ok << ok << ok << "CK_TessarinMobileLog_Action_Disallow_Zero_Length";
        QTest::newRow("empty MobileNo") << ok << "" << ok << ok << ok << "CK_TessarinMobileLog_MobileNo_Disallow_Zero_Length";
        QTest::newRow("empty IPAddress") << ok << ok << ok << ok << "" << "CK_TessarinMobileLog_IPAddress_Disallow_Zero_Length";
        QTest::newRow("Action of 31") << QString(31, QLatin1Char('a')) << ok << ok << ok << ok << "truncated in table 'master.dbo.TessarinMobileLog', column 'Action'";
        QTest::newRow("MobileNo of 21") << ok << QString(21, QLatin1Char('1')) << ok << ok << ok << "column 'MobileNo'";
        QTest::newRow("UserID of 21") << ok << ok << QString(21, QLatin1Char('u')) << ok << ok << "column 'UserID'";
        QTest::newRow("DatabaseName of 61") << ok << ok << ok << QString(61, QLatin1Char('d')) << ok << "column 'DatabaseName'";
        QTest::newRow("IPAddress of 21") << ok << ok << ok << ok << QString(21, QLatin1Char('9')) << "column 'IPAddress'";
    }

    void requestLogTableRefusesBadRows()
    {
        QFETCH(QString, action);
        QFETCH(QString, mobile);
        QFETCH(QString, user);
        QFETCH(QString, folder);
        QFETCH(QString, ip);
        QFETCH(QString, fragment);
        QTemporaryDir dir;
        Connection c;
        c.Open(QStringLiteral("Server=sqlite:%1;Database=master").arg(dir.path()));
        for (const QString& step : LogTableBatch())
            c.Execute(step);
        try {
            c.Execute(Insert(QStringLiteral("2024-01-05 10:00:00"), action, mobile, user, folder, ip, QStringLiteral("{}")));
            QFAIL("expected a failure");
        } catch (const DatabaseError& e) {
            QCOMPARE(e.Number(), err::SyntaxError);
            QVERIFY2(e.Description().contains(fragment), qPrintable(e.Description()));
        }
        QCOMPARE(RowsText(c.Query(QStringLiteral("SELECT count(*) FROM TessarinMobileLog"))), QStringLiteral("0"));
    }

    // The server writes master while the log viewer reads it.
    void readersAreNotBlockedByAWriter()
    {
        QTemporaryDir dir;
        const QString cs = QStringLiteral("Server=sqlite:%1;Database=master").arg(dir.path());
        Connection writer, reader;
        writer.Open(cs);
        writer.Execute(QStringLiteral("CREATE TABLE T (A INTEGER); INSERT INTO T VALUES (1)"));
        reader.Open(cs);
        writer.Execute(QStringLiteral("BEGIN IMMEDIATE"));
        writer.Execute(QStringLiteral("INSERT INTO T VALUES (2)"));
        QCOMPARE(RowsText(reader.Query(QStringLiteral("SELECT count(*) FROM T"))), QStringLiteral("1"));
        writer.Execute(QStringLiteral("COMMIT TRANSACTION"));
        QCOMPARE(RowsText(reader.Query(QStringLiteral("SELECT count(*) FROM T"))), QStringLiteral("2"));
    }

    // A connection keeps the statements it compiled; asked the same text again it must still
    // see what other connections changed since: rows, columns and a table made anew.
    // The rows read as the statement steps give exactly what the recordset's values give, for
    // every declared kind and storage class; so do the rows of a batch, read whole.
    void rowsReadAsTheRecordsetReads_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("columns") << "SELECT D, B, R, I, T, X FROM Mixed ORDER BY N";
        QTest::newRow("computed") << "SELECT D || '' AS DT, CONVERT(DATETIME, '12/30/1899', 101) AS E, 1 + 1 AS S, I * 1.0 AS F, "
                                     "'True' AS W, NULL AS Z, CASE WHEN I > 5 THEN 'x' END AS C FROM Mixed ORDER BY N";
        QTest::newRow("kinds") << "SELECT D, DO, B, R, I, J, T, V FROM Kinds";
        QTest::newRow("batch") << "SELECT 1; SELECT D, B, R, I, T, X FROM Mixed ORDER BY N";
    }
    void rowsReadAsTheRecordsetReads()
    {
        QFETCH(QString, sql);
        Connection c;
        c.Open(ConnectionString(QStringLiteral("Shop2024")));
        const ResultSet expected = c.Query(sql);
        QVERIFY(!expected.rows.empty());
        for (int pass = 0; pass < 4; ++pass) {  // the statement compiled, then kept; read whole; stored rows
            std::unique_ptr<Rows> rows = pass < 2   ? c.OpenRows(sql)
                                         : pass < 3 ? c.OpenRows(sql, RowsRead::Whole)
                                                    : std::make_unique<StoredRows>(c.Query(sql));
            CompareRows(*rows, expected, QStringLiteral("pass %1").arg(pass));
            if (QTest::currentTestFailed())
                return;
            QVERIFY(!rows->Next());
            QVERIFY_THROWS_EXCEPTION(DatabaseError, rows->ToText(0));
        }
        // Rows of none, read whole.
        std::unique_ptr<Rows> none = c.OpenRows(QStringLiteral("SELECT N FROM Mixed WHERE N < 0"), RowsRead::Whole);
        QVERIFY(!none->Next());
        QVERIFY(!none->Next());
    }

    // A statement in pieces reads as its whole text does, whether its literals are bound
    // (strings, whole numbers) or written in (anything else). «» marks a literal.
    void statementsWithLiteralsReadAsTheirText_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("again");  // the same statement with other literals
        QTest::newRow("text and number") << "SELECT N, T, I FROM Mixed WHERE T = «'text'» AND I = «7» ORDER BY N"
                                         << "SELECT N, T, I FROM Mixed WHERE T = «'42'» AND I = «2.5» ORDER BY N";
        QTest::newRow("the column's collation") << "SELECT N FROM Mixed WHERE T = «'TEXT'»" << "SELECT N FROM Mixed WHERE T = «'café ₹'»";
        QTest::newRow("N and doubled quotes") << "SELECT N, T FROM Mixed WHERE T = «N'Café ₹'» OR T <> «'it''s'» ORDER BY N"
                                             << "SELECT N, T FROM Mixed WHERE T = «N'a\"b\\c'» OR T <> «'it''s'» ORDER BY N";
        QTest::newRow("text against numbers") << "SELECT N FROM Mixed WHERE I = «'7'» OR R = «'2.5'»"
                                              << "SELECT N FROM Mixed WHERE I = «'9223372036854775807'» OR R = «'x'»";
        QTest::newRow("written in") << "SELECT N FROM Mixed WHERE I = «-9223372036854775808» OR R = «2.5» OR X = «'a'+CHAR(0)»"
                                    << "SELECT N FROM Mixed WHERE I = «99999999999999999999» OR R = «1e-7» OR X = «''»";
        QTest::newRow("dates") << "SELECT N, D FROM Mixed WHERE D = «'2024-01-05 13:45:10'» ORDER BY N"
                               << "SELECT N, D FROM Mixed WHERE D >= «'2024-02-29'» ORDER BY N";
        QTest::newRow("where no parameter goes") << "SELECT TOP «2» N FROM Mixed WHERE T <> «'x'» ORDER BY N"
                                                 << "SELECT TOP «3» N FROM Mixed WHERE T <> «'y'» ORDER BY N";
        QTest::newRow("positions and unnamed values") << "SELECT N, T, «'x'» FROM Mixed ORDER BY «2», N"
                                                      << "SELECT N, T, «'y'» FROM Mixed ORDER BY «1», N";
        QTest::newRow("named value") << "SELECT «'it''s'» AS Q, «12» AS W FROM Mixed WHERE N = «1»"
                                     << "SELECT «'x'» AS Q, «0» AS W FROM Mixed WHERE N = «2»";
    }
    void statementsWithLiteralsReadAsTheirText()
    {
        QFETCH(QString, sql);
        QFETCH(QString, again);
        const auto pieces = [](const QString& marked) {
            Statement statement;
            const QStringList parts = marked.split(QRegularExpression(QStringLiteral("[«»]")));
            for (qsizetype i = 0; i < parts.size(); ++i)
                (i % 2 ? statement.Literal(parts[i]) : statement.Text(parts[i]));
            return statement;
        };
        Connection c;
        c.Open(ConnectionString(QStringLiteral("Shop2024")));
        const Statement first = pieces(sql), second = pieces(again);
        QCOMPARE(first.Joined(), QString(sql).remove(QChar(u'«')).remove(QChar(u'»')));
        const ResultSet firstRows = c.Query(first.Joined()), secondRows = c.Query(second.Joined());
        for (int pass = 0; pass < 2; ++pass) {  // compiled, then kept with other values bound before
            std::unique_ptr<Rows> rows = c.OpenRows(first);
            CompareRows(*rows, firstRows, QStringLiteral("first, pass %1").arg(pass));
            rows.reset();
            // The other literals, while the first statement is still being read.
            std::unique_ptr<Rows> open = c.OpenRows(first);
            std::unique_ptr<Rows> other = c.OpenRows(second, pass ? RowsRead::Whole : RowsRead::Stepping);
            CompareRows(*other, secondRows, QStringLiteral("second, pass %1").arg(pass));
            CompareRows(*open, firstRows, QStringLiteral("first still open, pass %1").arg(pass));
        }
        // A failing statement fails as its text does: a table missing, a literal left open.
        for (const QString& failing : {QString(sql).replace(QStringLiteral("Mixed"), QStringLiteral("Missing")),
                                       QStringLiteral("SELECT N FROM Mixed WHERE T = «'text''» AND I = «'7»")}) {
            const Statement wrong = pieces(failing);
            QString expected;
            try {
                c.Query(wrong.Joined());
            } catch (const DatabaseError& e) {
                expected = e.Description();
            }
            QVERIFY2(!expected.isEmpty(), qPrintable(failing));
            try {
                c.OpenRows(wrong);
                QFAIL("expected a failure");
            } catch (const DatabaseError& e) {
                QCOMPARE(e.Description(), expected);
            }
        }
    }

    // A compiled statement serves one reader at a time: rows still open, even rows of none,
    // keep theirs from another reading with other values, and giving them back touches no other.
    void keptStatementsServeOneReaderAtATime()
    {
        Connection c;
        c.Open(ConnectionString(QStringLiteral("Shop2024")));
        const auto above = [](const char* n) {
            Statement statement(QStringLiteral("SELECT N FROM Mixed WHERE N > "));
            statement.Literal(QString::fromLatin1(n)).Text(QStringLiteral(" ORDER BY N"));
            return statement;
        };
        const auto count = [](Rows& rows) {
            int n = 0;
            while (rows.Next())
                ++n;
            return n;
        };
        const int all = int(c.Query(above("0").Joined()).rows.size());
        QVERIFY(all > 2);
        c.OpenRows(above("0"));  // compiled and kept
        std::unique_ptr<Rows> none = c.OpenRows(above("100"));
        std::unique_ptr<Rows> every = c.OpenRows(above("0"));
        QVERIFY(every->Next());
        none.reset();  // given back while the other is being read
        QCOMPARE(1 + count(*every), all);
        std::unique_ptr<Rows> plain = c.OpenRows(QStringLiteral("SELECT N FROM Mixed WHERE N > 100"));
        std::unique_ptr<Rows> plainAgain = c.OpenRows(QStringLiteral("SELECT N FROM Mixed WHERE N > 100"));
        QCOMPARE(count(*plainAgain), 0);
        QCOMPARE(count(*plain), 0);
        QCOMPARE(count(*c.OpenRows(above("1"))), all - 1);
    }

    // A column is found by name once for each statement; a name the statement lacks is error
    // 3265 when it is read, not before; a position outside the row too, and reading with no
    // current row is error 3021.
    void rowsFindColumnsByNameOnce()
    {
        Connection c;
        c.Open(ConnectionString(QStringLiteral("Shop2024")));
        Column t(QStringLiteral("t")), missing(QStringLiteral("Nope"));
        std::unique_ptr<Rows> first = c.OpenRows(QStringLiteral("SELECT I, T FROM Mixed WHERE N = 1"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, first->ToText(0));
        QVERIFY(first->Next());
        QCOMPARE(first->Index(t), 1);
        QCOMPARE(QByteArray(first->ToText(first->Index(t)).data), QByteArray("text"));
        try {
            first->Index(missing);
            QFAIL("expected a failure");
        } catch (const DatabaseError& e) {
            QCOMPARE(e.Number(), err::ItemNotFound);
        }
        QVERIFY_THROWS_EXCEPTION(DatabaseError, first->ToText(2));
        std::unique_ptr<Rows> second = c.OpenRows(QStringLiteral("SELECT T, I, T AS T2 FROM Mixed WHERE N = 1"));
        QVERIFY(second->Next());
        QCOMPARE(second->Index(t), 0);  // the same column in another statement's place
        QCOMPARE(first->Index(t), 1);
        QVERIFY(!first->Next());
        try {
            first->ToText(1);
            QFAIL("expected a failure");
        } catch (const DatabaseError& e) {
            QCOMPARE(e.Number(), err::NoCurrentRecord);
        }
    }

    // A statement that fails on a later row gives the rows before it, then the error; rows
    // dropped before their end give the statement back, so the connection can be kept; two rows
    // of one text can be read at once.
    void rowsFailLateAndGiveTheStatementBack()
    {
        Connection c;
        c.Open(ConnectionString(QStringLiteral("Shop2024")));
        const QString failing = QStringLiteral("SELECT N, DateAdd(d, 1, CASE WHEN N < 3 THEN '2024-01-01' ELSE 'not a date' END) AS A "
                                               "FROM Mixed ORDER BY N");
        // Read whole, the failure comes before the first row.
        try {
            c.OpenRows(failing, RowsRead::Whole);
            QFAIL("expected a failure");
        } catch (const DatabaseError& e) {
            QCOMPARE(e.Number(), err::SyntaxError);
        }
        for (int pass = 0; pass < 2; ++pass) {
            std::unique_ptr<Rows> rows = c.OpenRows(failing);
            QVERIFY(rows->Next());
            QVERIFY(rows->Next());
            QCOMPARE(QByteArray(rows->ToText(1).data), QByteArray("2024-01-02"));
            try {
                rows->Next();
                QFAIL("expected a failure");
            } catch (const DatabaseError& e) {
                QCOMPARE(e.Number(), err::SyntaxError);
                QVERIFY2(e.Description().contains(QStringLiteral("Conversion failed")), qPrintable(e.Description()));
            }
            QVERIFY(!rows->Next());
        }
        const QString all = QStringLiteral("SELECT N FROM Mixed ORDER BY N");
        {
            std::unique_ptr<Rows> outer = c.OpenRows(all);
            QVERIFY(outer->Next());
            std::unique_ptr<Rows> inner = c.OpenRows(all);
            int count = 0;
            while (inner->Next())
                ++count;
            QCOMPARE(count, 12);
            QVERIFY(outer->Next());
            QCOMPARE(outer->ToInteger(0), qint64(2));
            std::unique_ptr<Backend> busy = c.Release();
            QVERIFY(!busy->ReadyForReuse());
            c.OpenBackend(std::move(busy));
        }
        std::unique_ptr<Backend> backend = c.Release();
        QVERIFY(backend->ReadyForReuse());
    }

    // A text held as UTF-8 bytes is the value of its text, and a prepared statement stores it
    // as the same text would be stored.
    void utf8TextsBindAsTheirText()
    {
        const QString text = QString::fromUtf8("{\"Narr\":\"Caf\u00e9 \u20b9\"} 12.5");
        const Value held = Value::FromUtf8(text.toUtf8());
        QCOMPARE(held.Type(), ValueType::Text);
        QCOMPARE(held.ToText(), text);
        QCOMPARE(held, Value(text));
        QCOMPARE(held.ToVariant(), QVariant(text));
        QCOMPARE(*held.Utf8(), text.toUtf8());
        QVERIFY(!Value(text).Utf8());
        QCOMPARE(Value::FromUtf8(" 12.5 ").ToDouble(), 12.5);
        QCOMPARE(Value::FromUtf8("true").ToBool(), true);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, Value::FromUtf8("x").ToDouble());

        QTemporaryDir dir;
        Connection c;
        c.Open(QStringLiteral("Server=sqlite:%1;Database=master").arg(dir.path()));
        c.Execute(QStringLiteral("CREATE TABLE T (A TEXT, B TEXT)"));
        {
            const auto insert = c.Prepare(QStringLiteral("INSERT INTO T (A, B) VALUES (?, ?)"));
            QByteArray bytes = text.toUtf8() + "<EOF>";
            QCOMPARE(insert->Execute({held, Value::FromUtf8(QByteArray::fromRawData(bytes.constData(), bytes.size() - 5))}), 1L);
        }
        const ResultSet rs = c.Query(QStringLiteral("SELECT A, B, A = B FROM T"));
        QCOMPARE(rs.rows.at(0).at(0), Value(text));
        QCOMPARE(rs.rows.at(0).at(1), Value(text));
        QCOMPARE(rs.rows.at(0).at(2).ToInteger(), qint64(1));
    }

    void keptStatementsSeeLaterChanges()
    {
        QTemporaryDir dir;
        const QString cs = QStringLiteral("Server=sqlite:%1;Database=master").arg(dir.path());
        Connection kept, other;
        kept.Open(cs);
        other.Open(cs);
        other.Execute(QStringLiteral("CREATE TABLE T (A INTEGER); INSERT INTO T VALUES (1)"));
        const QString all = QStringLiteral("SELECT * FROM T ORDER BY 1");
        const QString count = QStringLiteral("SELECT count(*) FROM T");
        QCOMPARE(RowsText(kept.Query(all)), QStringLiteral("1"));
        QCOMPARE(RowsText(kept.Query(count)), QStringLiteral("1"));

        other.Execute(QStringLiteral("INSERT INTO T VALUES (2)"));
        QCOMPARE(RowsText(kept.Query(all)), QStringLiteral("1;2"));
        other.Execute(QStringLiteral("ALTER TABLE T ADD COLUMN B TEXT; UPDATE T SET B = 'b' || A"));
        ResultSet rs = kept.Query(all);
        QCOMPARE(rs.columns, QStringList({"A", "B"}));
        QCOMPARE(RowsText(rs), QStringLiteral("1|b1;2|b2"));
        other.Execute(QStringLiteral("DROP TABLE T; CREATE TABLE T (X TEXT, Y TEXT, Z TEXT); INSERT INTO T VALUES ('x', 'y', 'z')"));
        rs = kept.Query(all);
        QCOMPARE(rs.columns, QStringList({"X", "Y", "Z"}));
        QCOMPARE(RowsText(rs), QStringLiteral("x|y|z"));
        QCOMPARE(RowsText(kept.Query(count)), QStringLiteral("1"));

        // A failing run leaves the kept statement usable, and nothing holds the database.
        other.Execute(QStringLiteral("DROP TABLE T"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, kept.Query(all));
        other.Execute(QStringLiteral("CREATE TABLE T (A INTEGER); INSERT INTO T VALUES (7)"));
        QCOMPARE(RowsText(kept.Query(all)), QStringLiteral("7"));
        std::unique_ptr<Backend> backend = kept.Release();
        QVERIFY(backend->ReadyForReuse());
        kept.OpenBackend(std::move(backend));
        other.Execute(QStringLiteral("BEGIN IMMEDIATE; INSERT INTO T VALUES (8); COMMIT TRANSACTION"));
        QCOMPARE(RowsText(kept.Query(all)), QStringLiteral("7;8"));
    }
};

QTEST_GUILESS_MAIN(TestSqlite)
#include "test_sqlite.moc"
