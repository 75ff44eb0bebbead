#include "OdbcBackend.h"

#include "ConnectionString.h"
#include "DatabaseError.h"
#include "TsqlTokenizer.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QRegularExpression>
#include <atomic>

namespace platform::db {

namespace {

// ODBC's type code of a bit column (SQL_BIT in sql.h). Qt's driver hands such a column over
// as a whole number, so the native type is what tells a flag from a number.
constexpr int kSqlBit = -7;

// The longest a connection attempt may wait for the server, in seconds: the ADO provider's
// default. Without one FreeTDS waits without end for a server that accepted the connection
// but never answers.
constexpr int kLoginTimeoutSeconds = 15;

// A timeout the connection text names itself (FreeTDS's "Timeout", the Microsoft driver's
// "ConnectTimeout") is left to the driver: the login timeout attribute would override it.
bool NamesOwnTimeout(const QString& odbc)
{
    const ConnectionString cs = ConnectionString::Parse(odbc);
    return cs.Has(QStringLiteral("Timeout")) || cs.Has(QStringLiteral("ConnectTimeout"));
}

QString NextConnectionName()
{
    static std::atomic<unsigned> counter{0};
    return QStringLiteral("corvantis-odbc-%1").arg(++counter);
}

// The driver's own error number where it gives one; otherwise the provider's generic failure.
// A native code of 0 would read as "no error" to the trapping procedures, so it counts as none.
long ErrorNumber(const QSqlError& error)
{
    const QStringList parts = error.nativeErrorCode().split(QRegularExpression(QStringLiteral("[;,\\s]+")),
                                                            Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        bool ok = false;
        const long number = part.toLong(&ok);
        if (ok && number != 0)
            return number;
    }
    return err::ProviderError;
}

[[noreturn]] void Throw(const QSqlError& error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    if (text.isEmpty())
        text = QStringLiteral("Unspecified error");
    throw DatabaseError(ErrorNumber(error), text);
}

// Qt's driver treats a text without DRIVER= or SERVER= as a data source name and puts
// "DSN=" in front of it itself; a leading "DSN=" of ours would then be doubled.
QString TextForQt(const QString& odbc)
{
    const QString trimmed = odbc.trimmed();
    if (!odbc.contains(QLatin1String("DRIVER="), Qt::CaseInsensitive)
        && !odbc.contains(QLatin1String("SERVER="), Qt::CaseInsensitive)
        && trimmed.startsWith(QLatin1String("DSN="), Qt::CaseInsensitive))
        return trimmed.mid(4);
    return odbc;
}

Value ReadValue(const QSqlQuery& query, const QSqlRecord& record, int column)
{
    if (query.isNull(column))
        return Value();
    const QVariant v = query.value(column);
    if (!v.isValid() || v.isNull())
        return Value();
    if (record.field(column).typeID() == kSqlBit || v.typeId() == QMetaType::Bool)
        return Value(v.toLongLong() != 0);
    return Value::FromVariant(v);
}

// One statement prepared by the driver and run with its values bound.
class OdbcPrepared final : public PreparedStatement {
public:
    OdbcPrepared(const QSqlDatabase& db, const QString& sql) : m_query(db)
    {
        m_query.setForwardOnly(true);
        if (!m_query.prepare(sql))
            Throw(m_query.lastError());
    }

    long Execute(const std::vector<Value>& values) override
    {
        for (size_t i = 0; i < values.size(); ++i) {
            const Value& v = values[i];
            // A null is bound with the type of text, which every column here converts from.
            m_query.bindValue(static_cast<int>(i), v.IsNull() ? QVariant(QMetaType::fromType<QString>()) : v.ToVariant());
        }
        if (!m_query.exec())
            Throw(m_query.lastError());
        const int affected = m_query.numRowsAffected();
        m_query.finish();
        return affected;
    }

private:
    QSqlQuery m_query;
};

class OdbcBackend final : public Backend {
public:
    OdbcBackend(QString connectionName, bool sqlServer, QString databaseName)
        : m_connectionName(std::move(connectionName)), m_sqlServer(sqlServer), m_databaseName(std::move(databaseName)),
          m_db(QSqlDatabase::database(m_connectionName, false)),
          m_multipleResults(m_db.driver() && m_db.driver()->hasFeature(QSqlDriver::MultipleResultSets))
    {
    }

    ~OdbcBackend() override
    {
        m_db.close();
        // Qt removes a connection only once no QSqlDatabase refers to it any more.
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
    }

    ResultSet Query(const QString& sql) override
    {
        QSqlQuery query(m_db);
        Run(query, sql);
        ResultSet result;
        bool more = true;
        while (more) {
            if (query.isSelect()) {
                // A later result with columns replaces an earlier one: the batch's rows are
                // those of its last statement that returned any.
                result = ReadAll(query);
            }
            more = NextResult(query);
        }
        CheckBatchError(query);
        return result;
    }

    long Execute(const QString& sql) override
    {
        QSqlQuery query(m_db);
        Run(query, sql);
        // Every result of a batch is consumed, so that an error in a later statement is
        // reported; the counts of the statements that changed rows are added up.
        // A statement that changes no rows by nature (a table's creation) reports -1.
        long total = -1;
        bool more = true;
        while (more) {
            if (!query.isSelect()) {
                const int affected = query.numRowsAffected();
                if (affected >= 0)
                    total = (total < 0 ? 0 : total) + affected;
            }
            more = NextResult(query);
        }
        CheckBatchError(query);
        return total;
    }

    std::unique_ptr<PreparedStatement> Prepare(const QString& sql) override
    {
        return std::make_unique<OdbcPrepared>(m_db, sql);
    }

    qint64 LastInsertId() override
    {
        // The session's last identity: a prepared statement runs in a scope of its own, which
        // SCOPE_IDENTITY() in a later batch would not see.
        const ResultSet rs = Query(m_sqlServer ? QStringLiteral("SELECT @@IDENTITY") : QStringLiteral("SELECT last_insert_rowid()"));
        if (rs.rows.empty() || rs.rows.front().empty() || rs.rows.front().front().IsNull())
            return 0;
        return rs.rows.front().front().ToInteger();
    }

    bool ReadyForReuse() override
    {
        if (!m_sqlServer || !m_db.isOpen())
            return false;
        try {
            const ResultSet rs = Query(QStringLiteral("SELECT @@TRANCOUNT"));
            return !rs.rows.empty() && !rs.rows.front().empty() && rs.rows.front().front().ToInteger() == 0;
        } catch (const DatabaseError&) {
            return false;
        }
    }

    Dialect dialect() const override { return Dialect(m_sqlServer ? Engine::SqlServer : Engine::Sqlite); }
    QString DatabaseName() const override { return m_databaseName; }

private:
    void Run(QSqlQuery& query, const QString& sql)
    {
        query.setForwardOnly(true);
        query.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
        if (!query.exec(tsql::SpellOutNulInLiterals(sql, m_sqlServer)))
            Throw(query.lastError());
    }

    // The next result of a batch, where the driver has batches at all (the SQLite driver
    // refuses a text of several statements, and may fail the request for a next result).
    bool NextResult(QSqlQuery& query) const
    {
        return m_multipleResults && query.nextResult();
    }

    static ResultSet ReadAll(QSqlQuery& query)
    {
        ResultSet result;
        const QSqlRecord record = query.record();
        const int count = record.count();
        for (int i = 0; i < count; ++i)
            result.columns.append(record.fieldName(i));
        while (query.next()) {
            std::vector<Value> row;
            row.reserve(static_cast<size_t>(count));
            // A forward-only ODBC statement gives its columns in order only.
            for (int i = 0; i < count; ++i)
                row.push_back(ReadValue(query, record, i));
            result.rows.push_back(std::move(row));
        }
        if (query.lastError().isValid())
            Throw(query.lastError());
        return result;
    }

    // nextResult() answers false both at the end of a batch and when a later statement
    // failed; only the error tells them apart.
    static void CheckBatchError(const QSqlQuery& query)
    {
        if (query.lastError().isValid())
            Throw(query.lastError());
    }

    QString m_connectionName;
    bool m_sqlServer;
    QString m_databaseName;
    QSqlDatabase m_db;
    bool m_multipleResults;
};

// Opens the Qt connection; on failure removes it again and gives the error.
QSqlError Connect(const QString& connectionName, const QString& odbc)
{
    QSqlError failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connectionName);
        if (!db.isValid()) {
            failure = QSqlError(QStringLiteral("The ODBC driver of Qt (QODBC) is not available."), QString(),
                                QSqlError::ConnectionError);
        } else {
            db.setDatabaseName(TextForQt(odbc));
            if (!NamesOwnTimeout(odbc))
                db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(kLoginTimeoutSeconds));
            if (!db.open()) {
                failure = db.lastError();
                if (!failure.isValid())
                    failure = QSqlError(QStringLiteral("Unable to connect"), QString(), QSqlError::ConnectionError);
            }
        }
    }
    if (failure.isValid())
        QSqlDatabase::removeDatabase(connectionName);
    return failure;
}

}  // namespace

std::unique_ptr<Backend> OpenOdbc(const QString& odbc, bool sqlServer, const QString& databaseName)
{
    const QString name = NextConnectionName();
    const QSqlError failure = Connect(name, odbc);
    if (failure.isValid())
        Throw(failure);
    auto backend = std::make_unique<OdbcBackend>(name, sqlServer, databaseName);
    if (sqlServer)
        backend->Execute(QStringLiteral("SET DATEFORMAT mdy"));
    return backend;
}

}  // namespace platform::db
