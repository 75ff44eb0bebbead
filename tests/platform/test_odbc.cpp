// The ODBC route of the database layer, run through the SQLite ODBC driver, the quoting of
// connection texts, and the SQL Server route's behaviour against servers that cannot be
// reached, that never answer, or that capture the login the FreeTDS driver sends.
#include "database/Connection.h"
#include "database/ConnectionString.h"
#include "database/DatabaseError.h"
#include "database/OdbcBackend.h"
#include "database/Recordset.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace db = platform::db;
using db::Value;

namespace platform::db {
// QCOMPARE prints a Value by its type and text.
char* toString(const Value& v)
{
    static const char* const names[] = {"Null", "Boolean", "Integer", "Decimal", "Text", "DateTime"};
    const QString text = v.IsNull() ? QStringLiteral("-") : v.ToText();
    return qstrdup(QStringLiteral("%1(%2)").arg(QLatin1String(names[static_cast<int>(v.Type())]), text).toUtf8().constData());
}
}  // namespace platform::db

Q_DECLARE_METATYPE(platform::db::Value)

namespace {

// Sets an environment variable for one scope and puts the previous value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

bool OdbcDriverRegistered(const QString& name)
{
    QProcess odbcinst;
    odbcinst.start(QStringLiteral("odbcinst"), {QStringLiteral("-q"), QStringLiteral("-d")});
    if (!odbcinst.waitForFinished(10000) || odbcinst.exitCode() != 0)
        return false;
    return QString::fromLocal8Bit(odbcinst.readAllStandardOutput()).split(QLatin1Char('\n')).contains(
        QLatin1Char('[') + name + QLatin1Char(']'));
}

// The driver options that point FreeTDS at a loopback server on `port`: TDS 7.0, which sends
// its login at once, and a one-second timeout.
QByteArray Tds70Options(quint16 port)
{
    return QByteArray("Port=") + QByteArray::number(port) + ";TDS_Version=7.0;Timeout=1;";
}

// A connection text for the loopback server with these login values.
QString LoopbackLogin(const QString& database, const QString& user, const QString& password)
{
    db::ConnectionString cs;
    cs.Set(QStringLiteral("Server"), QStringLiteral("127.0.0.1"));
    cs.Set(QStringLiteral("Database"), database);
    cs.Set(QStringLiteral("User ID"), user);
    cs.Set(QStringLiteral("Password"), password);
    return cs.ToText();
}

// The user name, password and database of a TDS 7.0 login packet.
struct Login {
    QString user, password, database;
};

Login DecodeLogin7(const QByteArray& packet)
{
    Login login;
    if (packet.size() < 8 + 94 || static_cast<quint8>(packet.at(0)) != 0x10)
        return login;
    const QByteArray body = packet.mid(8);
    auto text = [&](int pair, bool obfuscated) {
        const auto* base = reinterpret_cast<const uchar*>(body.constData()) + 36 + 4 * pair;
        const int offset = qFromLittleEndian<quint16>(base);
        const int chars = qFromLittleEndian<quint16>(base + 2);
        QByteArray bytes = body.mid(offset, chars * 2);
        if (obfuscated) {
            for (char& c : bytes) {
                const uchar x = static_cast<uchar>(c) ^ 0xA5;
                c = static_cast<char>(static_cast<uchar>((x >> 4) | (x << 4)));
            }
        }
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    };
    login.user = text(1, false);
    login.password = text(2, true);
    login.database = text(8, false);
    return login;
}

}  // namespace

class TestOdbc : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    // A fresh database file for each test, reached through the SQLite ODBC driver.
    QString NewDatabase()
    {
        return m_dir.filePath(QStringLiteral("odbc%1.db").arg(++m_files));
    }
    static QString OdbcText(const QString& file)
    {
        return QStringLiteral("Driver={SQLite3};Database=") + file + QLatin1Char(';');
    }
    void OpenFilled(db::Connection& cn)
    {
        cn.Open(OdbcText(NewDatabase()));
        cn.Execute(QStringLiteral("CREATE TABLE Items (Id INTEGER, Amount REAL, Name TEXT COLLATE NOCASE, "
                                  "Stamp DATETIME, Posted BIT, Price NUMERIC(10,2))"));
        cn.Execute(QStringLiteral("INSERT INTO Items VALUES (7, 2.5, 'Widget', '2024-03-05 10:11:12', 1, 3.25)"));
        cn.Execute(QStringLiteral("INSERT INTO Items VALUES (8, -0.125, '', '2023-12-31 00:00:00', 0, 0)"));
        cn.Execute(QStringLiteral("INSERT INTO Items VALUES (9, NULL, NULL, NULL, NULL, NULL)"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
    }

    void openStateDialectClose()
    {
        db::Connection cn;
        QCOMPARE(cn.State(), int(db::adStateClosed));
        const QString file = NewDatabase();
        cn.Open(OdbcText(file));
        QCOMPARE(cn.State(), int(db::adStateOpen));
        // The SQLite ODBC driver stands in for a server: its dialect, but no translation.
        QCOMPARE(cn.dialect().engine(), db::Engine::Sqlite);
        QCOMPARE(cn.DatabaseName(), file);
        try {
            cn.Open(OdbcText(file));
            QFAIL("opening an open connection succeeded");
        } catch (const db::DatabaseError& e) {
            QCOMPARE(e.Number(), platform::err::OperationNotAllowedOpen);
        }
        cn.Close();
        QCOMPARE(cn.State(), int(db::adStateClosed));
        // The same file opens again once the first connection is gone.
        cn.Open(OdbcText(file));
        QCOMPARE(cn.State(), int(db::adStateOpen));
    }

    // A text naming a data source rather than a driver reaches the driver manager as it
    // stands (Qt's driver puts "DSN=" before such a text itself).
    void dataSourceName()
    {
        const QString file = NewDatabase();
        QFile ini(m_dir.filePath(QStringLiteral("odbc.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(QByteArray("[CorvantisTest]\nDriver=SQLite3\nDatabase=") + file.toLocal8Bit() + "\n");
        ini.close();
        ScopedEnv odbcIni("ODBCINI", ini.fileName().toLocal8Bit());
        db::Connection cn;
        cn.OpenBackend(db::OpenOdbc(QStringLiteral("DSN=CorvantisTest;"), false, QStringLiteral("Co1")));
        QCOMPARE(cn.DatabaseName(), QStringLiteral("Co1"));
        cn.Execute(QStringLiteral("CREATE TABLE T (A INTEGER)"));
        QCOMPARE(cn.Execute(QStringLiteral("INSERT INTO T VALUES (5)")), 1L);
        db::Recordset rs;
        rs.Open(QStringLiteral("SELECT A FROM T"), cn);
        QCOMPARE(rs.Field(0), Value(qint64(5)));
        QVERIFY(QFile::exists(file));
    }

    void typedValues_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<Value>("expected");
        QTest::newRow("integer") << "SELECT Id FROM Items WHERE Id = 7" << Value(qint64(7));
        QTest::newRow("real") << "SELECT Amount FROM Items WHERE Id = 7" << Value(2.5);
        QTest::newRow("negative real") << "SELECT Amount FROM Items WHERE Id = 8" << Value(-0.125);
        QTest::newRow("numeric") << "SELECT Price FROM Items WHERE Id = 7" << Value(3.25);
        QTest::newRow("text") << "SELECT Name FROM Items WHERE Id = 7" << Value("Widget");
        QTest::newRow("empty text is not null") << "SELECT Name FROM Items WHERE Id = 8" << Value("");
        QTest::newRow("datetime") << "SELECT Stamp FROM Items WHERE Id = 7"
                                  << Value(QDateTime(QDate(2024, 3, 5), QTime(10, 11, 12)));
        QTest::newRow("date at midnight") << "SELECT Stamp FROM Items WHERE Id = 8"
                                          << Value(QDateTime(QDate(2023, 12, 31), QTime(0, 0)));
        QTest::newRow("bit set") << "SELECT Posted FROM Items WHERE Id = 7" << Value(true);
        QTest::newRow("bit clear") << "SELECT Posted FROM Items WHERE Id = 8" << Value(false);
        QTest::newRow("computed null") << "SELECT NULL AS N" << Value();
        QTest::newRow("null real") << "SELECT Amount FROM Items WHERE Id = 9" << Value();
        QTest::newRow("null text") << "SELECT Name FROM Items WHERE Id = 9" << Value();
        QTest::newRow("null datetime") << "SELECT Stamp FROM Items WHERE Id = 9" << Value();
        QTest::newRow("null bit") << "SELECT Posted FROM Items WHERE Id = 9" << Value();
        QTest::newRow("computed integer") << "SELECT Id * 2 AS Twice FROM Items WHERE Id = 7" << Value(qint64(14));
        QTest::newRow("computed count") << "SELECT COUNT(*) AS N FROM Items" << Value(qint64(3));
        QTest::newRow("computed real") << "SELECT Amount * 2 AS Twice FROM Items WHERE Id = 7" << Value(5.0);
        QTest::newRow("literal text") << "SELECT 'a''b' AS T" << Value("a'b");
    }
    void typedValues()
    {
        QFETCH(QString, sql);
        QFETCH(Value, expected);
        db::Connection cn;
        OpenFilled(cn);
        db::Recordset rs;
        rs.Open(sql, cn);
        QVERIFY(!rs.IsEOF());
        QCOMPARE(rs.FieldCount(), 1);
        QCOMPARE(rs.Field(0), expected);
        rs.MoveNext();
        QVERIFY(rs.IsEOF());
    }

    void recordsAffected_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("affected");
        QTest::newRow("insert") << "INSERT INTO Items (Id) VALUES (10)" << 1;
        QTest::newRow("update several") << "UPDATE Items SET Name = 'x' WHERE Id >= 8" << 2;
        QTest::newRow("update none") << "UPDATE Items SET Name = 'x' WHERE Id = 100" << 0;
        QTest::newRow("delete all") << "DELETE FROM Items" << 3;
    }
    void recordsAffected()
    {
        QFETCH(QString, sql);
        QFETCH(int, affected);
        db::Connection cn;
        OpenFilled(cn);
        QCOMPARE(cn.Execute(sql), long(affected));
    }

    void failingStatement_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("descriptionHas");
        QTest::newRow("unknown table") << "SELECT * FROM Missing" << "no such table";
        QTest::newRow("unknown column") << "SELECT Missing FROM Items" << "no such column";
        QTest::newRow("syntax") << "SELEC 1" << "syntax error";
        QTest::newRow("through execute") << "INSERT INTO Missing VALUES (1)" << "no such table";
    }
    void failingStatement()
    {
        QFETCH(QString, sql);
        QFETCH(QString, descriptionHas);
        db::Connection cn;
        OpenFilled(cn);
        try {
            if (sql.startsWith(QLatin1String("INSERT")))
                cn.Execute(sql);
            else {
                db::Recordset rs;
                rs.Open(sql, cn);
            }
            QFAIL("the statement succeeded");
        } catch (const db::DatabaseError& e) {
            QVERIFY2(e.Description().contains(descriptionHas, Qt::CaseInsensitive), qPrintable(e.Description()));
            QVERIFY(e.Number() != 0);
        }
        // The connection stays usable after a failed statement.
        QCOMPARE(cn.Execute(QStringLiteral("UPDATE Items SET Id = Id")), 3L);
    }

    void multiRowReadAndEof()
    {
        db::Connection cn;
        OpenFilled(cn);
        db::Recordset rs;
        rs.Open(QStringLiteral("SELECT Id, Name FROM Items ORDER BY Id DESC"), cn);
        QCOMPARE(rs.RecordCount(), 3L);
        QVERIFY(!rs.IsBOF());
        QCOMPARE(rs.FieldName(0), QStringLiteral("Id"));
        QList<qint64> ids;
        while (!rs.IsEOF()) {
            ids << rs[QStringLiteral("ID")].ToInteger();  // names compare without regard to case
            rs.MoveNext();
        }
        QCOMPARE(ids, (QList<qint64>{9, 8, 7}));
        try {
            rs.Field(QStringLiteral("Id"));
            QFAIL("a field was read past the last row");
        } catch (const db::DatabaseError& e) {
            QCOMPARE(e.Number(), platform::err::NoCurrentRecord);
        }
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, rs.MoveNext());
        rs.MoveFirst();
        QCOMPARE(rs.Field(0).ToInteger(), qint64(9));
        rs.Close();
        QCOMPARE(rs.State(), 0);

        db::Recordset none;
        none.Open(QStringLiteral("SELECT Id FROM Items WHERE Id < 0"), cn);
        QVERIFY(none.IsEOF());
        QVERIFY(none.IsBOF());
        QCOMPARE(none.FieldCount(), 1);
    }

    // A NUL inside a literal does not end the statement: the value goes in and is found whole.
    void nulInLiteral()
    {
        db::Connection cn;
        OpenFilled(cn);
        const QString name = QStringLiteral("Wid") + QChar(0) + QStringLiteral("get'x");
        QString quoted = name;
        quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
        QCOMPARE(cn.Execute(QStringLiteral("INSERT INTO Items (Id, Name) VALUES (10, '") + quoted + QStringLiteral("')")), 1L);
        db::Recordset rs;
        rs.Open(QStringLiteral("SELECT Id, length(CAST(Name AS BLOB)) AS Bytes FROM Items WHERE Name = '") + quoted
                    + QStringLiteral("'"),
                cn);
        QCOMPARE(rs.RecordCount(), 1L);
        QCOMPARE(rs.Field(QStringLiteral("Id")).ToInteger(), 10);
        QCOMPARE(rs.Field(QStringLiteral("Bytes")).ToInteger(), name.size());
    }

    void twoRecordsetsOnOneConnection()
    {
        db::Connection cn;
        OpenFilled(cn);
        db::Recordset outer, inner;
        outer.Open(QStringLiteral("SELECT Id FROM Items WHERE Id < 9 ORDER BY Id"), cn);
        QStringList pairs;
        while (!outer.IsEOF()) {
            const qint64 id = outer[QStringLiteral("Id")].ToInteger();
            inner.Open(QStringLiteral("SELECT Name FROM Items WHERE Id = %1").arg(id), cn);
            pairs << QString::number(id) + QLatin1Char('=') + inner[QStringLiteral("Name")].ToText();
            inner.Close();
            // A statement run while a recordset is open does not disturb its rows.
            cn.Execute(QStringLiteral("UPDATE Items SET Amount = 0 WHERE Id = %1").arg(id));
            outer.MoveNext();
        }
        QCOMPARE(pairs, (QStringList{QStringLiteral("7=Widget"), QStringLiteral("8=")}));
    }

    void connectionStringRoundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << "secret";
        QTest::newRow("semicolon") << "a;b";
        QTest::newRow("closing brace") << "a}b";
        QTest::newRow("brace then semicolon") << "x};UID={mallory";
        QTest::newRow("ends with brace") << "x}";
        QTest::newRow("opening brace") << "{abc";
        QTest::newRow("equals and quotes") << "a=b\"c'd";
        QTest::newRow("outer blanks") << "  spaced  ";
        QTest::newRow("empty") << "";
    }
    void connectionStringRoundTrip()
    {
        QFETCH(QString, value);
        db::ConnectionString cs;
        cs.Set(QStringLiteral("Server"), QStringLiteral("host"));
        cs.Set(QStringLiteral("Password"), value);
        cs.Set(QStringLiteral("Database"), QStringLiteral("Co1"));
        for (const QString& text : {cs.ToOdbc(), cs.ToText()}) {
            const db::ConnectionString back = db::ConnectionString::Parse(text);
            QCOMPARE(back.Get(QStringLiteral("password")), value);
            QCOMPARE(back.Get(QStringLiteral("Database")), QStringLiteral("Co1"));
            QCOMPARE(back.Get(QStringLiteral("SERVER")), QStringLiteral("host"));
            QCOMPARE(back.Items().size(), 3);
        }
    }

    void connectionStringParse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const QString text = QStringLiteral(
            "Server= sqlite:/data/co ;Database=Co1;User ID={sa};Password={p;w}}d};Extra=\"q;\"\"x\";Last=end");
        QTest::newRow("trimmed") << text << "server" << "sqlite:/data/co";
        QTest::newRow("plain") << text << "Database" << "Co1";
        QTest::newRow("key with blank") << text << "user id" << "sa";
        QTest::newRow("braced") << text << "Password" << "p;w}d";
        QTest::newRow("double quoted") << text << "Extra" << "q;\"x";
        QTest::newRow("no final semicolon") << text << "Last" << "end";
        QTest::newRow("missing key") << text << "Port" << "";
    }
    void connectionStringParse()
    {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QCOMPARE(db::ConnectionString::Parse(text).Get(key), value);
    }

    // A SQL Server that cannot be reached, or that accepts the connection and never answers,
    // is a failed connection within the login timeout, not a program that waits on.
    void unreachableServerFails_data()
    {
        QTest::addColumn<bool>("silentServer");
        QTest::newRow("closed port") << false;
        QTest::newRow("server that never answers") << true;
    }
    void unreachableServerFails()
    {
        QFETCH(bool, silentServer);
        if (!OdbcDriverRegistered(QStringLiteral("FreeTDS")))
            QSKIP("the FreeTDS ODBC driver is not registered");
        QTcpServer silent;
        quint16 port = 1;
        if (silentServer) {
            QVERIFY(silent.listen(QHostAddress::LocalHost));
            port = silent.serverPort();
        }
        ScopedEnv driver("CORVANTIS_ODBC_DRIVER", "FreeTDS");
        // FreeTDS's automatic choice of protocol version gives up its timeout after the first
        // attempt, so the silent server is tried with one version named.
        ScopedEnv options("CORVANTIS_ODBC_OPTIONS",
                          QByteArray("Port=") + QByteArray::number(port) + ";TDS_Version=7.4;Timeout=2;");
        db::Connection cn;
        QElapsedTimer timer;
        timer.start();
        try {
            cn.Open(QStringLiteral("Server=127.0.0.1;Database=Co1;User ID=sa;Password=secret"));
            QFAIL("the connection opened");
        } catch (const db::DatabaseError& e) {
            QVERIFY(!e.Description().isEmpty());
            QVERIFY(e.Number() != 0);
        }
        QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(cn.State(), int(db::adStateClosed));
    }

    // The values of a stored login reach the server as they are, whatever braces and
    // semicolons they hold: read back from the login packet FreeTDS sends.
    void loginValuesReachServerIntact_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("database");
        QTest::newRow("plain") << "sa" << "secret" << "Co1";
        QTest::newRow("semicolons") << "sa;x" << "p;w;d" << "Co;1";
        QTest::newRow("braces") << "s}a" << "p}}w{d" << "{Co1}";
        QTest::newRow("ends with brace") << "sa" << "secret}" << "Co1";
        QTest::newRow("equals") << "sa" << "a=b;UID=mallory" << "Co1";
    }
    void loginValuesReachServerIntact()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, database);
        if (!OdbcDriverRegistered(QStringLiteral("FreeTDS")))
            QSKIP("the FreeTDS ODBC driver is not registered");
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        // TDS 7.0 sends the login packet at once; the server never answers it, so the
        // connection fails after the timeout and the packet waits in the socket.
        ScopedEnv driver("CORVANTIS_ODBC_DRIVER", "FreeTDS");
        ScopedEnv options("CORVANTIS_ODBC_OPTIONS", Tds70Options(server.serverPort()));
        db::Connection cn;
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, cn.Open(LoopbackLogin(database, user, password)));
        QVERIFY(server.waitForNewConnection(5000));
        QTcpSocket* socket = server.nextPendingConnection();
        QByteArray packet;
        while (packet.size() < 8 || packet.size() < qFromBigEndian<quint16>(packet.constData() + 2)) {
            if (socket->bytesAvailable() == 0 && !socket->waitForReadyRead(2000))
                break;
            packet += socket->readAll();
        }
        const Login login = DecodeLogin7(packet);
        QCOMPARE(login.user, user);
        QCOMPARE(login.password, password);
        QCOMPARE(login.database, database);
    }

    // FreeTDS ends a braced value at the first "};": such a value is refused before any
    // connection is tried, rather than letting its remainder be read as further keys.
    void valueFreeTdsCannotTakeIsRefused()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        ScopedEnv driver("CORVANTIS_ODBC_DRIVER", "FreeTDS");
        ScopedEnv options("CORVANTIS_ODBC_OPTIONS", Tds70Options(server.serverPort()));
        db::Connection cn;
        try {
            cn.Open(LoopbackLogin(QStringLiteral("Co1"), QStringLiteral("sa"), QStringLiteral("x};UID={mallory")));
            QFAIL("the connection opened");
        } catch (const db::DatabaseError& e) {
            QCOMPARE(e.Number(), platform::err::ProviderError);
            QVERIFY2(e.Description().contains(QLatin1String("PWD")), qPrintable(e.Description()));
        }
        QVERIFY(!server.waitForNewConnection(200));
    }
};

QTEST_GUILESS_MAIN(TestOdbc)
#include "test_odbc.moc"
