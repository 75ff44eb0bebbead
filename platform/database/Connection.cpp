#include "Connection.h"

#include "ConnectionString.h"
#include "DatabaseError.h"
#include "OdbcBackend.h"
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

    ConnectionString odbc;
    odbc.Set(QStringLiteral("Driver"), DefaultOdbcDriver());
    odbc.Set(QStringLiteral("Server"), server);
    odbc.Set(QStringLiteral("Database"), database);
    odbc.Set(QStringLiteral("UID"), cs.Get(QStringLiteral("User ID")));
    odbc.Set(QStringLiteral("PWD"), cs.Get(QStringLiteral("Password")));
    const ConnectionString extra = ConnectionString::Parse(QString::fromLocal8Bit(qgetenv("CORVANTIS_ODBC_OPTIONS")));
    QString text = odbc.ToOdbc();
    text += extra.ToOdbc();
    OpenBackend(OpenOdbc(text, true, database));
}

void Connection::OpenBackend(std::unique_ptr<Backend> backend)
{
    m_backend = std::move(backend);
    m_dialect = m_backend ? m_backend->dialect() : Dialect();
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

QString Connection::DatabaseName() const
{
    return m_backend ? m_backend->DatabaseName() : QString();
}

}  // namespace platform::db
