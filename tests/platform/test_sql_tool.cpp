// The corvantis-sql command, run as a process against a database file reached through the
// SQLite ODBC driver, and against an embedded database folder.
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int exitCode = -1;
    QString out, err;
};

Run RunTool(const QStringList& arguments, const QByteArray& input = {})
{
    QProcess process;
    process.start(QStringLiteral(CORVANTIS_SQL_TOOL), arguments);
    Run run;
    if (!process.waitForStarted(10000))
        return run;
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

}  // namespace

class TestSqlTool : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_connection;

    Run Sql(const QString& statement) { return RunTool({QStringLiteral("--connection"), m_connection, statement}); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_connection = QStringLiteral("Driver={SQLite3};Database=") + m_dir.filePath(QStringLiteral("tool.db")) + QLatin1Char(';');
        const Run create = Sql(QStringLiteral("CREATE TABLE Items (Id INTEGER, Amount REAL, Name TEXT, Stamp DATETIME, Posted BIT)"));
        QCOMPARE(create.err, QString());
        QCOMPARE(create.exitCode, 0);
        const Run insert = Sql(QStringLiteral(
            "INSERT INTO Items SELECT 1, 2.5, 'Widget', '2024-03-05 10:11:12', 1 "
            "UNION ALL SELECT 2, NULL, 'tab\there', '2024-03-06 00:00:00', 0"));
        QCOMPARE(insert.err, QString());
        QCOMPARE(insert.out, QStringLiteral("2 row(s) affected\n"));
    }

    void statements_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("output");
        QTest::newRow("typed rows") << "SELECT Id, Amount, Name, Stamp, Posted FROM Items ORDER BY Id"
                                    << "Id\tAmount\tName\tStamp\tPosted\n"
                                       "1\t2.5\tWidget\t2024-03-05 10:11:12\tTrue\n"
                                       "2\tNULL\ttab\\there\t2024-03-06 00:00:00\tFalse\n";
        QTest::newRow("no rows") << "SELECT Id FROM Items WHERE Id < 0" << "Id\n";
        QTest::newRow("leading comment") << "/* the count */ SELECT COUNT(*) AS N FROM Items" << "N\n2\n";
        QTest::newRow("update") << "UPDATE Items SET Name = Name WHERE Id = 1" << "1 row(s) affected\n";
        QTest::newRow("update none") << "UPDATE Items SET Name = Name WHERE Id = 9" << "0 row(s) affected\n";
    }
    void statements()
    {
        QFETCH(QString, statement);
        QFETCH(QString, output);
        const Run run = Sql(statement);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, output);
        QCOMPARE(run.exitCode, 0);
    }

    void statementFromStandardInput()
    {
        const Run run = RunTool({QStringLiteral("--connection"), m_connection}, "-- one name\nSELECT Name FROM Items WHERE Id = 1\n");
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, QStringLiteral("Name\nWidget\n"));
        QCOMPARE(run.exitCode, 0);
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("errPattern");
        QTest::newRow("failing statement") << QStringList{QStringLiteral("SELECT * FROM Missing")} << 1
                                           << "^Error -?\\d+-.*no such table: Missing";
        QTest::newRow("failing change") << QStringList{QStringLiteral("DELETE FROM Missing")} << 1
                                        << "^Error -?\\d+-.*no such table";
        QTest::newRow("no database named") << QStringList{QStringLiteral("--database"), QStringLiteral("x"), QStringLiteral("SELECT 1")}
                                           << 2 << "--server or --connection is required";
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus"), QStringLiteral("SELECT 1")} << 2 << "bogus";
    }
    void failures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, errPattern);
        // The ODBC connection is added to the rows that need it.
        if (exitCode == 1)
            arguments = QStringList{QStringLiteral("--connection"), m_connection} + arguments;
        const Run run = RunTool(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out, QString());
        QVERIFY2(QRegularExpression(errPattern).match(run.err).hasMatch(), qPrintable(run.err));
    }

    void help()
    {
        const Run run = RunTool({QStringLiteral("--help")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains(QLatin1String("--server")));
        QVERIFY(run.out.contains(QLatin1String("--connection")));
        QVERIFY(run.out.contains(QLatin1String("required")));
    }

    // The embedded folder gets the statement translated as the system translates it.
    void embeddedFolder()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const Run run = RunTool({QStringLiteral("--server"), QStringLiteral("sqlite:") + folder.path(),
                                 QStringLiteral("SELECT TOP 1 IsNull(NULL, 'x') AS V")});
        if (run.err.contains(QLatin1String("not built yet")))
            QSKIP("the embedded database is not built yet");
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, QStringLiteral("V\nx\n"));
        QCOMPARE(run.exitCode, 0);
    }
};

QTEST_GUILESS_MAIN(TestSqlTool)
#include "test_sql_tool.moc"
