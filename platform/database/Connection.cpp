#include "Connection.h"

#include "ConnectionString.h"
#include "DatabaseError.h"
#include "OdbcBackend.h"
#include "Rows.h"
#include "SqliteBackend.h"

namespace platform::db {

namespace {
QString DefaultOdbcDriver()
{
    const QByteArray fromEnv = qgetenv("CORVANTIS_ODBC_DRIVER");
    if (!fromEnv.isEmpty())
        return QString::fromLocal8Bit(fromEnv);
#ifdef Q_OS_WIN
    return QStringLiteral("SQL Server");
#else
    return QStringLiteral("FreeTDS");
#endif
}

bool IsFreeTds(const QString& driver)
{
    return driver.contains(QLatin1String("FreeTDS"), Qt::CaseInsensitive)
        || driver.contains(QLatin1String("tdsodbc"), Qt::CaseInsensitive);
}

// One "key={value};" item of the text given to the ODBC driver. Drivers differ in how a
// braced value holds a "}": Microsoft's read "}}" as one brace, while FreeTDS ends the value
// at the first "};" and keeps "}}" as it stands. For FreeTDS a value is therefore braced as
// it is, and one holding "};" is refused: it would end the value early and let the rest of
// it (a password, say) be read as further keys of the connection.
QString OdbcItem(const QString& driver, const QString& key, const QString& value)
{
    if (!IsFreeTds(driver))
        return key + QLatin1Char('=') + ConnectionString::BraceQuote(value) + QLatin1Char(';');
    if (value.contains(QLatin1String("};")))
        throw DatabaseError(err::ProviderError,
                            QStringLiteral("The connection value of %1 contains \"};\", which the %2 ODBC driver cannot take.")
                                .arg(key, driver));
    return key + QLatin1String("={") + value + QLatin1String("};");
}
}  // namespace

Connection::Connection() = default;
Connection::~Connection() = default;

void Connection::Open(const QString& connectionString)
{
    if (m_backend)
        throw DatabaseError(err::OperationNotAllowedOpen, QStringLiteral("Operation is not allowed when the object is open."));
    const ConnectionString cs = ConnectionString::Parse(connectionString);
    const QString server = cs.Get(QStringLiteral("Server"));
    const QString database = cs.Get(QStringLiteral("Database"));

    if (cs.Has(QStringLiteral("Driver")) || cs.Has(QStringLiteral("DSN"))) {
        // A complete ODBC text, passed on as it stands (some drivers, such as SQLite's,
        // do not take brace-quoted values).
        const bool sqlServer = !cs.Get(QStringLiteral("Driver")).contains(QLatin1String("sqlite"), Qt::CaseInsensitive);
        OpenBackend(OpenOdbc(connectionString, sqlServer, database));
        return;
    }
    if (server.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive)) {
        OpenBackend(OpenSqlite(server.mid(7), database));
        return;
    }
    if (server.trimmed().isEmpty())
        throw DatabaseError(err::ProviderError,
                            QStringLiteral("[DBNETLIB][ConnectionOpen (Connect()).]SQL Server does not exist or access denied."));

    const QString driver = DefaultOdbcDriver();
    ConnectionString odbc;
    odbc.Set(QStringLiteral("Driver"), driver);
    odbc.Set(QStringLiteral("Server"), server);
    odbc.Set(QStringLiteral("Database"), database);
    odbc.Set(QStringLiteral("UID"), cs.Get(QStringLiteral("User ID")));
    odbc.Set(QStringLiteral("PWD"), cs.Get(QStringLiteral("Password")));
    ConnectionString extra = ConnectionString::Parse(QString::fromLocal8Bit(qgetenv("CORVANTIS_ODBC_OPTIONS")));
    // FreeTDS left to pick its protocol version itself can wait without end on a server that
    // accepts the connection but never answers; naming a version makes its time-outs hold.
    // Every SQL Server since 2012 speaks TDS 7.4; CORVANTIS_ODBC_OPTIONS can name another.
    if (IsFreeTds(driver) && !extra.Has(QStringLiteral("TDS_Version")))
        extra.Set(QStringLiteral("TDS_Version"), QStringLiteral("7.4"));
    QString text;
    for (const auto& item : odbc.Items())
        text += OdbcItem(driver, item.first, item.second);
    for (const auto& item : extra.Items())
        text += OdbcItem(driver, item.first, item.second);
    OpenBackend(OpenOdbc(text, true, database));
}

void Connection::OpenBackend(std::unique_ptr<Backend> backend)
{
    m_backend = std::move(backend);
    m_dialect = m_backend ? m_backend->dialect() : Dialect();
}

std::unique_ptr<Backend> Connection::Release()
{
    m_dialect = Dialect();
    return std::move(m_backend);
}

void Connection::Close()
{
    m_backend.reset();
}

Backend& Connection::backend()
{
    if (!m_backend)
        throw DatabaseError(err::OperationNotAllowedClosed, QStringLiteral("Operation is not allowed when the object is closed."));
    return *m_backend;
}

long Connection::Execute(const QString& sql)
{
    return backend().Execute(sql);
}

ResultSet Connection::Query(const QString& sql)
{
    return backend().Query(sql);
}

std::unique_ptr<Rows> Connection::OpenRows(const QString& sql, RowsRead read)
{
    return backend().OpenRows(sql, read);
}

std::unique_ptr<Rows> Connection::OpenRows(const Statement& statement, RowsRead read)
{
    return backend().OpenRows(statement, read);
}

std::unique_ptr<PreparedStatement> Connection::Prepare(const QString& sql)
{
    return backend().Prepare(sql);
}

qint64 Connection::LastInsertId()
{
    return backend().LastInsertId();
}

QString Connection::DatabaseName() const
{
    return m_backend ? m_backend->DatabaseName() : QString();
}

}  // namespace platform::db
