// The T-SQL the system writes, run on real SQLite files through the translation: every rule is
// checked by the rows the statement returns, not by the text it becomes.

#include "clock/Clock.h"
#include "database/Connection.h"
#include "database/DatabaseError.h"
#include "database/Recordset.h"
#include "database/TsqlTranslator.h"
#include "SqliteTestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace platform;
using namespace platform::db;
using sqlitetest::MakeDatabase;
using sqlitetest::RowsText;

namespace {

QString CompanyName(int k)
{
    return QStringLiteral("Co%1").arg(k, 2, 10, QLatin1Char('0'));
}

}  // namespace

class TestTranslation : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString ConnectionString(const QString& database) const
    {
        return QStringLiteral("Server=sqlite:%1;Database=%2").arg(m_dir.path(), database);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        MakeDatabase(m_dir.filePath(QStringLiteral("Demo.sqlite")), {
            QStringLiteral("CREATE TABLE Company (CompanyName TEXT COLLATE NOCASE, StartDate DATETIME, LastDate DATETIME, "
                           "BranchRequired BIT COLLATE NOCASE, StateCode TEXT COLLATE NOCASE)"),
            QStringLiteral("INSERT INTO Company VALUES ('Demo Traders', '2024-04-01 00:00:00', '2026-03-31 00:00:00', 'True', '7')"),
            QStringLiteral("CREATE TABLE Items (Code TEXT COLLATE NOCASE, Name TEXT COLLATE NOCASE, Qty REAL, Rate REAL, "
                           "Per INTEGER, Passed BIT COLLATE NOCASE, DocDate DATETIME, Note TEXT COLLATE NOCASE)"),
            QStringLiteral("INSERT INTO Items VALUES ('A', 'Widget large', 10, 2.5, 1, 'True', '2024-01-05 00:00:00', NULL), "
                           "('B', 'widget small', -4, 3, 2, 'False', '2024-01-31 00:00:00', 'b note'), "
                           "('C', 'Gadget', 3, 100, 3, 'true', '1899-12-30 00:00:00', '')"),
            QStringLiteral("CREATE TABLE Extra (Code TEXT COLLATE NOCASE, Label TEXT COLLATE NOCASE)"),
            QStringLiteral("INSERT INTO Extra VALUES ('A', 'first'), ('C', 'third')"),
            QStringLiteral("CREATE TABLE Notes (Id INTEGER PRIMARY KEY AUTOINCREMENT, Body TEXT)"),
        });
        for (int k = 1; k <= 12; ++k) {
            MakeDatabase(m_dir.filePath(CompanyName(k) + QStringLiteral(".sqlite")), {
                QStringLiteral("CREATE TABLE Company (CompanyName TEXT COLLATE NOCASE, StartDate DATETIME, LastDate DATETIME)"),
                QStringLiteral("INSERT INTO Company VALUES ('Company %1', '2024-04-01 00:00:00', '2025-03-31 00:00:00')").arg(k),
            });
        }
        Connection master;
        master.Open(ConnectionString(QStringLiteral("master")));  // made on first use
        Clock::Set(QDateTime(QDate(2025, 4, 2), QTime(10, 11, 12)));
    }

    void cleanupTestCase() { Clock::Reset(); }

    void statements_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");

        // IsNull, Left, Right, len
        QTest::newRow("IsNull becomes ifnull") << QString() << "SELECT IsNull(Note, 'none') AS N, ISNULL(Qty, 0) AS Q FROM Items WHERE Code = 'A'" << "none|10";
        QTest::newRow("Left of a column") << QString() << "SELECT Left(Name, 6) AS L, LEFT('abc', 5) AS M FROM Items WHERE Code = 'A'" << "Widget|abc";
        QTest::newRow("LEFT JOIN stays a join") << QString()
            << "SELECT Items.Code, Extra.Label FROM Items LEFT JOIN Extra ON Items.Code = Extra.Code ORDER BY Items.Code" << "A|first;B|NULL;C|third";
        QTest::newRow("LEFT OUTER JOIN stays a join") << QString()
            << "SELECT Items.Code, IsNull(Extra.Label, '') AS Label FROM Items LEFT OUTER JOIN Extra ON Items.Code = Extra.Code WHERE Items.Code = 'B'" << "B|";
        QTest::newRow("Right of a text") << QString() << "SELECT Right('abcdef', 2) AS R, RIGHT('ab', 5) AS S" << "ef|ab";
        QTest::newRow("len ignores trailing blanks") << QString() << "SELECT len('ab  ') AS L, LEN('') AS E, len(' a') AS F" << "2|0|2";
        // DateAdd and DateDiff with bare dateparts
        QTest::newRow("DateAdd yyyy on a leap day") << QString() << "SELECT DateAdd(yyyy, 1, '2024-02-29 00:00:00') AS D" << "2025-02-28";
        QTest::newRow("DateAdd mm to a shorter month") << QString() << "SELECT DateAdd(mm, 1, '2024-01-31 00:00:00') AS D, DATEADD(month, 1, '2023-01-31') AS E" << "2024-02-29|2023-02-28";
        QTest::newRow("DateAdd day back from a year on") << QString()
            << "SELECT DateAdd(day, -1, DateAdd(yyyy, 1, Company.StartDate)) AS LastDate FROM Company" << "2025-03-31";
        QTest::newRow("DateAdd d and dd with a column") << QString()
            << "SELECT Code FROM Items WHERE DATEADD(dd, Per, DocDate) = ('2024-01-06 00:00:00') OR DateAdd(d, Per, DocDate) = ('2024-02-02 00:00:00') ORDER BY Code" << "A;B";
        QTest::newRow("DateAdd hours and weeks") << QString()
            << "SELECT DateAdd(hh, 25, '2024-12-31 00:00:00') AS H, DateAdd(wk, 2, '12/25/2024') AS W, DateAdd(q, 1, '2024-11-30') AS Q"
            << "2025-01-01 01:00:00|2025-01-08|2025-02-28";
        QTest::newRow("DateAdd takes mm/dd/yyyy text") << QString() << "SELECT DateAdd(d, 1, '12/31/2024 23:30:00') AS D" << "2025-01-01 23:30:00";
        QTest::newRow("DateDiff counts boundaries") << QString()
            << "SELECT DATEDIFF(d, '2024-01-01 23:59:00', '2024-01-02 00:01:00') AS D, DateDiff(mm, '2024-01-31', '2024-02-01') AS M, "
               "DATEDIFF(yyyy, '2024-12-31', '2025-01-01') AS Y, DATEDIFF(d, '2024-03-10', '2024-03-01') AS N, DATEDIFF(wk, '2024-01-06', '2024-01-07') AS W"
            << "1|1|1|-9|1";
        QTest::newRow("DateDiff of a DateAdd") << QString()
            << "SELECT DATEDIFF(d, DATEADD(d, 10, '2024-01-01 00:00:00'), ('2024-01-20 00:00:00')) AS Days" << "9";
        QTest::newRow("DatePart, Year, Month, Day") << QString()
            << "SELECT DATEPART(yyyy, DocDate) AS Y, MONTH(DocDate) AS M, DAY(DocDate) AS D, DATEPART(dw, '2024-01-07') AS W FROM Items WHERE Code = 'B'"
            << "2024|1|31|1";
        // CONVERT and CAST
        QTest::newRow("CONVERT DATETIME style 101") << QString()
            << "SELECT CONVERT(DATETIME, '12/30/1899', 101) AS E, CONVERT(DATETIME, '04/15/2025 13:05:09', 101) AS T" << "1899-12-30|2025-04-15 13:05:09";
        QTest::newRow("CONVERT nVarChar(10) style 101") << QString()
            << "SELECT CONVERT(nVarChar(10), DocDate, 101) AS D, CONVERT(varchar(5), DocDate, 101) AS S FROM Items WHERE Code = 'A'" << "01/05/2024|01/05";
        QTest::newRow("CONVERT strips the time of a datetime") << QString()
            << "SELECT CONVERT(DATETIME, CONVERT(nVarChar(10), '2024-01-05 13:45:10', 101), 101) AS D" << "2024-01-05";
        QTest::newRow("CONVERT to a number and to text") << QString()
            << "SELECT CONVERT(int, 2.7) AS I, CONVERT(decimal(18,2), 2.345) AS D, CONVERT(varchar(10), 1.5) AS T, CONVERT(int, '12') AS J" << "2|2.35|1.5|12";
        QTest::newRow("CONVERT of the empty date compares with stored dates") << QString()
            << "SELECT Code FROM Items WHERE DocDate <> CONVERT(DATETIME, '12/30/1899', 101) ORDER BY Code" << "A;B";
        QTest::newRow("CAST AS BIT") << QString()
            << "SELECT CAST(1 AS BIT) AS T, CAST(CASE WHEN 1 = 0 THEN 1 ELSE 0 END AS BIT) AS F, IsNull((SELECT TOP 1 CAST(1 AS BIT) FROM Extra WHERE Extra.Code = 'Z'), CAST(0 AS BIT)) AS L"
            << "True|False|False";
        QTest::newRow("CAST to datetime and int") << QString() << "SELECT CAST('01/02/2025' AS DATETIME) AS D, CAST(7.9 AS INT) AS I" << "2025-01-02|7";
        QTest::newRow("getdate and CURRENT_TIMESTAMP use the program clock") << QString()
            << "SELECT getdate() AS N, GETDATE() AS G, CURRENT_TIMESTAMP AS C" << "2025-04-02 10:11:12|2025-04-02 10:11:12|2025-04-02 10:11:12";
        // TOP
        QTest::newRow("TOP n of a statement") << QString() << "SELECT TOP 1 Code FROM Items ORDER BY Code DESC" << "C";
        QTest::newRow("TOP (n) of a statement") << QString() << "SELECT TOP (2) Code FROM Items ORDER BY Code" << "A;B";
        QTest::newRow("TOP in EXISTS and NOT EXISTS") << QString()
            << "SELECT Code FROM Items WHERE ( EXISTS (SELECT TOP 1 Extra.Code FROM Extra WHERE Extra.Code = Items.Code AND Extra.Code IN ('A','B')) "
               "OR NOT EXISTS (SELECT TOP 1 Extra.Code FROM Extra WHERE Extra.Code = Items.Code) ) ORDER BY Code"
            << "A;B";
        QTest::newRow("TOP in a scalar subquery") << QString()
            << "SELECT CASE WHEN (SELECT TOP 1 Extra.Label FROM Extra WHERE Extra.Code = Items.Code) IS NOT NULL THEN 1 ELSE 0 END AS Has FROM Items ORDER BY Code"
            << "1;0;1";
        QTest::newRow("TOP in union arms") << QString()
            << "SELECT TOP 1 Code FROM Items WHERE Code > 'A' UNION ALL SELECT TOP 1 Code FROM Items WHERE Code < 'C'" << "B;A";
        QTest::newRow("parenthesised union arms") << QString() << "(SELECT 'a' AS X) UNION ALL (SELECT 'b')" << "a;b";
        QTest::newRow("DISTINCT TOP") << QString() << "SELECT DISTINCT TOP 1 Passed FROM Items WHERE Code <> 'C' ORDER BY Passed" << "False";
        // literals, comments, identifiers
        QTest::newRow("a string literal that looks like SQL is kept") << "INSERT INTO Notes (Body) VALUES ('IsNull(a) TOP 5 x.dbo.y @@IDENTITY Left(b,2) [c] \"d\" -- e')"
            << "SELECT Body FROM Notes WHERE Id = @@IDENTITY" << "IsNull(a) TOP 5 x.dbo.y @@IDENTITY Left(b,2) [c] \"d\" -- e";
        QTest::newRow("quotes in literals") << QString() << "SELECT 'it''s' AS A, N'Ünïcødé ''q''' AS B, N'' AS C" << "it's|Ünïcødé 'q'|";
        QTest::newRow("comments are dropped") << QString() << "SELECT 1 AS A -- IsNull(\n, /* TOP 5 /* nested */ */ 2 AS B" << "1|2";
        QTest::newRow("bracketed and quoted identifiers") << QString()
            << "SELECT [Items].[Code] AS [The Code], \"Name\" FROM [Items] WHERE [Code] = 'C'" << "C|Gadget";
        // names
        QTest::newRow("three-part name of the current database") << QString()
            << "SELECT CompanyName FROM Demo.dbo.Company UNION ALL SELECT CompanyName FROM [demo].[dbo].[Company]" << "Demo Traders;Demo Traders";
        QTest::newRow("two-part dbo name") << QString() << "SELECT [dbo].[Company].CompanyName FROM dbo.Company" << "Demo Traders";
        QTest::newRow("three-part name of another database") << QString()
            << "SELECT A.CompanyName, B.CompanyName FROM Company AS A, Co02.dbo.Company AS B" << "Demo Traders|Company 2";
        QTest::newRow("three-part names with an empty schema") << QString() << "SELECT CompanyName FROM co03..Company" << "Company 3";
        QTest::newRow("OBJECT_ID of a table that exists") << QString()
            << "SELECT 1 AS Found WHERE OBJECT_ID('Demo.dbo.Items') IS NOT NULL" << "1";
        QTest::newRow("OBJECT_ID of a missing table") << QString()
            << "SELECT 1 AS Found WHERE OBJECT_ID('Demo.dbo.NoSuchTable') IS NOT NULL" << "";
        QTest::newRow("OBJECT_ID in another database") << QString()
            << "SELECT CASE WHEN OBJECT_ID('Co04.dbo.Company') IS NULL THEN 0 ELSE 1 END AS A, CASE WHEN OBJECT_ID('[Co04].[dbo].[Items]') IS NULL THEN 0 ELSE 1 END AS B, "
               "CASE WHEN OBJECT_ID('NoSuchDb.dbo.Company') IS NULL THEN 0 ELSE 1 END AS C, CASE WHEN OBJECT_ID('dbo.Items') IS NULL THEN 0 ELSE 1 END AS D"
            << "1|0|0|1";
        QTest::newRow("Sys.Master_Files lists the company databases") << QString()
            << "SELECT DB_NAME(Database_ID) AS DatabaseName FROM Sys.Master_Files WHERE Name = 'Tessarin' "
            << "Co01;Co02;Co03;Co04;Co05;Co06;Co07;Co08;Co09;Co10;Co11;Co12;Demo";
        QTest::newRow("Sys.Master_Files lists master by its own name") << QString()
            << "SELECT DB_NAME(Database_ID) AS DatabaseName, Database_ID FROM sys.master_files WHERE Name = 'master'" << "master|1";
        QTest::newRow("@@IDENTITY after an insert") << "INSERT INTO Notes (Body) VALUES ('one')"
            << "SELECT Body FROM Notes WHERE Id = (SELECT @@IDENTITY)" << "one";
        // arithmetic, flags, grouping
        QTest::newRow("numeric + stays addition") << QString()
            << "SELECT Qty + Rate AS S, 1 + 2 AS T, Qty * -1 AS U FROM Items WHERE Code = 'A'" << "12.5|3|-10";
        QTest::newRow("flags compared with True and False") << QString()
            << "SELECT Code FROM Items WHERE Passed = 'True' AND ('True' = 'False' OR 'False' = 'False') ORDER BY Code" << "A;C";
        QTest::newRow("flag compared in lower case") << QString() << "SELECT Code FROM Items WHERE Passed = 'false'" << "B";
        QTest::newRow("CASE, ROUND, SUM, GROUP BY, HAVING, ORDER BY CASE DESC") << QString()
            << "SELECT CASE WHEN Qty > 0 THEN 'P' ELSE 'N' END AS K, ROUND(SUM(ROUND(Qty * Rate / Per, 2)), 2) AS Amount FROM Items "
               "GROUP BY CASE WHEN Qty > 0 THEN 'P' ELSE 'N' END HAVING SUM(Qty) <> 0 ORDER BY CASE WHEN Qty > 0 THEN 'P' ELSE 'N' END DESC"
            << "P|125;N|-6";
        QTest::newRow("simple CASE") << QString()
            << "SELECT CASE Code WHEN 'A' THEN 1 WHEN 'B' THEN 2 ELSE 4 END AS N FROM Items ORDER BY CASE Code WHEN 'A' THEN 3 ELSE 1 END, Code" << "2;4;1";
        QTest::newRow("LIKE is case-insensitive") << QString() << "SELECT Code FROM Items WHERE Name LIKE 'WID%' ORDER BY Code" << "A;B";
        QTest::newRow("parenthesised joins") << QString()
            << "SELECT I.Code, F.Label FROM (Items AS I LEFT JOIN Extra AS E ON I.Code = E.Code) LEFT JOIN (Items AS J LEFT JOIN Extra AS F ON J.Code = F.Code) "
               "ON I.Code = J.Code AND I.Code <> 'B' ORDER BY I.Code"
            << "A|first;B|NULL;C|third";
        QTest::newRow("RIGHT JOIN") << QString()
            << "SELECT Extra.Code FROM Items AS I RIGHT JOIN Extra ON I.Code = Extra.Code AND I.Code = 'A' WHERE I.Code IS NULL" << "C";
        QTest::newRow("union wrapped in a summary") << QString()
            << "SELECT Summary.K, ROUND(SUM(Summary.Amount), 2) AS Amount FROM (SELECT 'A' AS K, 1.5 AS Amount \r\nUNION ALL \r\nSELECT 'A', 2.254) AS Summary GROUP BY Summary.K"
            << "A|3.75";
        QTest::newRow("an aggregate over no rows gives one NULL row") << QString() << "SELECT ROUND(SUM(Qty), 3) AS Amount FROM Items WHERE Code = 'none'" << "NULL";
        QTest::newRow("CHARINDEX, SUBSTRING, CHAR") << QString()
            << "SELECT CHARINDEX('C', 'abcabc') AS P, SUBSTRING('abcdef', 2, 3) AS S, CHAR(65) AS C" << "3|bcd|A";
        QTest::newRow("INSERT ... SELECT TOP followed by a SELECT") << QString()
            << "INSERT INTO Notes (Body) SELECT TOP 1 Name FROM Items ORDER BY Name DESC\r\nSELECT Body FROM Notes WHERE Id = @@IDENTITY" << "widget small";
        QTest::newRow("a batch gives the rows of its last select") << QString() << "SELECT 1 AS A\r\nSELECT 2 AS B; SELECT 3 AS C" << "3";
        QTest::newRow("date literal in brackets compared with a date column") << QString()
            << "SELECT Code FROM Items WHERE DocDate >= ('2024-01-05 00:00:00') AND DocDate <= ('2024-01-31 00:00:00') ORDER BY Code" << "A;B";
    }

    void statements()
    {
        QFETCH(QString, setup);
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        Connection c;
        c.Open(ConnectionString(QStringLiteral("Demo")));
        try {
            if (!setup.isEmpty())
                QCOMPARE(c.Execute(setup), 1L);
            const ResultSet rs = c.Query(sql);
            QCOMPARE(RowsText(rs), expected);
        } catch (const RuntimeError& e) {
            QFAIL(qPrintable(QStringLiteral("%1 %2\n%3").arg(e.Number()).arg(e.Description(), TranslateTsql(sql, QStringLiteral("Demo")).sql)));
        }
    }

    void typedResultsOfComputedColumns()
    {
        Connection c;
        c.Open(ConnectionString(QStringLiteral("Demo")));
        const ResultSet rs = c.Query(QStringLiteral(
            "SELECT DateAdd(yyyy, 1, Company.StartDate) AS D, CONVERT(DATETIME, '12/30/1899', 101) AS E, 'True' AS T, 5 AS I, 2.5 AS R, NULL AS N, "
            "'2024-01-01' AS ShortText, Company.StartDate AS S, Company.BranchRequired AS B FROM Company"));
        QCOMPARE(rs.columns, QStringList({"D", "E", "T", "I", "R", "N", "ShortText", "S", "B"}));
        const auto& row = rs.rows.at(0);
        QCOMPARE(row[0].Type(), ValueType::DateTime);
        QCOMPARE(row[0].ToDate(), QDate(2025, 4, 1));
        QCOMPARE(row[1].ToDateTime(), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
        QCOMPARE(row[2].Type(), ValueType::Text);  // a computed text stays text
        QVERIFY(row[2].ToBool());
        QCOMPARE(row[3].Type(), ValueType::Integer);
        QCOMPARE(row[4].Type(), ValueType::Decimal);
        QVERIFY(row[5].IsNull());
        QCOMPARE(row[6].Type(), ValueType::Text);  // only the full storage form reads as a date
        QCOMPARE(row[7].Type(), ValueType::DateTime);
        QCOMPARE(row[8].Type(), ValueType::Boolean);
        QCOMPARE(row[8].ToBool(), true);
    }

    // The company list of an installation with more companies than SQLite attaches at once.
    void companyListOverManyDatabases()
    {
        Connection c;
        c.Open(ConnectionString(QStringLiteral("master")));
        Recordset names;
        names.Open(QStringLiteral("SELECT DB_NAME(Database_ID) AS DatabaseName FROM Sys.Master_Files WHERE Name = 'Tessarin' "), c);
        QStringList selects;
        QStringList dbs;
        while (!names.IsEOF()) {
            const QString db = names[QStringLiteral("DatabaseName")].ToText();
            dbs << db;
            selects << QStringLiteral("SELECT CompanyName, StartDate, LastDate, '%1' AS DatabaseName FROM %1.dbo.Company ").arg(db);
            names.MoveNext();
        }
        names.Close();
        QCOMPARE(dbs.size(), 13);
        const QString sql = selects.join(QStringLiteral("\r\nUNION ALL \r\n"));
        QVERIFY(TranslateTsql(sql, QStringLiteral("master")).databases.size() > 10);

        Recordset companies;
        companies.Open(sql, c);
        QCOMPARE(companies.RecordCount(), 13L);
        QCOMPARE(companies.FieldName(3), QStringLiteral("DatabaseName"));
        for (int k = 0; k < 13; ++k) {
            QCOMPARE(companies[QStringLiteral("DatabaseName")].ToText(), dbs.at(k));
            QCOMPARE(companies[QStringLiteral("CompanyName")].ToText(),
                     k < 12 ? QStringLiteral("Company %1").arg(k + 1) : QStringLiteral("Demo Traders"));
            QCOMPARE(companies[QStringLiteral("StartDate")].Type(), ValueType::DateTime);
            QCOMPARE(companies[QStringLiteral("StartDate")].ToDate(), QDate(2024, 4, 1));
            companies.MoveNext();
        }
        QVERIFY(companies.IsEOF());

        // The same connection goes on working with a few databases at a time.
        QCOMPARE(RowsText(c.Query(QStringLiteral("SELECT CompanyName FROM Co01.dbo.Company UNION ALL SELECT CompanyName FROM Co12.dbo.Company"))),
                 QStringLiteral("Company 1;Company 12"));
        // A union over too many databases that is ordered as a whole cannot be run in parts.
        try {
            c.Query(sql + QStringLiteral("ORDER BY CompanyName"));
            QFAIL("expected a failure");
        } catch (const DatabaseError& e) {
            QVERIFY(e.Description().startsWith(QStringLiteral("[SQLite]")));
        }
    }

    void masterFilesIdsStayWithinAConnection()
    {
        Connection c;
        c.Open(ConnectionString(QStringLiteral("master")));
        const QString sql = QStringLiteral("SELECT Database_ID, DB_NAME(Database_ID) AS DatabaseName FROM Sys.Master_Files ORDER BY Database_ID");
        const QString before = RowsText(c.Query(sql));
        MakeDatabase(m_dir.filePath(QStringLiteral("Aaa.sqlite")), {QStringLiteral("CREATE TABLE Company (CompanyName TEXT)")});
        const QString after = RowsText(c.Query(sql));
        QVERIFY2(after.startsWith(before + QLatin1Char(';')), qPrintable(after));  // the new file has the next id
        QVERIFY(after.endsWith(QStringLiteral("|Aaa")));
        QVERIFY(QFile::remove(m_dir.filePath(QStringLiteral("Aaa.sqlite"))));
        QCOMPARE(RowsText(c.Query(sql)), before);
        QVERIFY(RowsText(c.Query(QStringLiteral("SELECT DB_NAME(999) AS N"))) == QStringLiteral("NULL"));
        QCOMPARE(RowsText(c.Query(QStringLiteral("SELECT DB_NAME() AS N"))), QStringLiteral("master"));
    }

    void refusedConstructs_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("unfilled placeholder") << "SELECT * FROM Items WHERE Code = @pItemCode";
        QTest::newRow("TOP PERCENT") << "SELECT TOP 10 PERCENT Code FROM Items";
        QTest::newRow("unknown procedure") << "EXEC sp_who";
        QTest::newRow("database that does not exist") << "SELECT CompanyName FROM Nowhere.dbo.Company";
    }

    void refusedConstructs()
    {
        QFETCH(QString, sql);
        Connection c;
        c.Open(ConnectionString(QStringLiteral("Demo")));
        try {
            c.Query(sql);
            QFAIL("expected a failure");
        } catch (const DatabaseError& e) {
            QCOMPARE(e.Number(), err::SyntaxError);
            QVERIFY(e.Description().startsWith(QStringLiteral("[SQLite] ")));
        }
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("Nowhere.sqlite"))));
    }
};

QTEST_GUILESS_MAIN(TestTranslation)
#include "test_translation.moc"
