// clsSetup: the SQL Server connection, the company list and the folder locations.
#include "clsSetup.h"

#include "CredentialNames.h"
#include "GeneralFunction.h"
#include "core/RuntimeError.h"
#include "database/ConnectionString.h"
#include "database/DatabaseError.h"
#include "store/UserSettings.h"

#include <QDir>
#include <QFileInfo>

using platform::RuntimeError;

namespace {
const QString kCrLf = QStringLiteral("\r\n");

// A database name as an identifier: in brackets, with "]" doubled.
QString Bracketed(const QString& name)
{
    QString escaped = name;
    escaped.replace(QLatin1Char(']'), QStringLiteral("]]"));
    return QLatin1Char('[') + escaped + QLatin1Char(']');
}

QString Decoded(const QString& value)
{
    return GeneralFunction::DecodeText(value, false, GeneralFunction::kShiftKey);
}
}  // namespace

void clsSetup::OpenConnection(const QString& pDatabaseFilePathName)
{
    // Without a server name there is nothing to connect to: say so, and how to store one,
    // rather than that the server cannot be reached. Each command stands on a line of its own,
    // to be read and typed as it stands.
    if (m_credentialsError.isEmpty() && !DB_ODBC && Decoded(DB_SERVER).trimmed().isEmpty())
        throw platform::db::DatabaseError(
            platform::err::ProviderError,
            QStringLiteral("No SQL Server name is stored for this machine in ")
                + QDir::toNativeSeparators(platform::store::Location(CredentialNames::kApplication))
                + QStringLiteral(".\r\nStore one for SQL Server (the password is read from standard input) with\r\n"
                                 "corvantis-credentials set --server <host> --user <login> --password -\r\n"
                                 "or one for the embedded database with\r\n"
                                 "corvantis-credentials set --sqlite <folder>\r\n"
                                 "then start the program again."));
    // Only the object's own members open its connection: the log database is theirs.
    cnnConnection.Open(pDatabaseFilePathName.compare(cLogDatabaseName, Qt::CaseInsensitive) == 0
                           ? GetLogConnectionString()
                           : GetConnectionString(pDatabaseFilePathName));
}

void clsSetup::CloseConnection()
{
    if (cnnConnection.State() == platform::db::adStateOpen)
        cnnConnection.Close();
}

void clsSetup::CloseRecordset()
{
    if (m_recordset.State() == platform::db::adStateOpen)
        m_recordset.Close();
}

void clsSetup::CheckCredentials() const
{
    if (!m_credentialsError.isEmpty())
        throw platform::db::DatabaseError(platform::err::ProviderError,
                                          QStringLiteral("The stored SQL Server credentials cannot be read (") + m_credentialsError
                                              + QStringLiteral("). Store them again with corvantis-credentials."));
    if (DB_ODBC)
        throw platform::db::DatabaseError(
            platform::err::ProviderError,
            QStringLiteral("The SQL Server credentials are set to come from ODBC, and no server, user or password is "
                           "stored. Store them with corvantis-credentials."));
}

QString clsSetup::ConnectionText(const QString& database) const
{
    // A request asks for its company's text when it opens the company and again when it gives
    // the connection back: the last one is kept with what it was made of.
    ConnectionTextMade& made = m_connectionTextMade;
    if (made.text.isNull() || made.database != database || made.server != DB_SERVER || made.userID != DB_USERID
        || made.password != DB_PASSWORD) {
        platform::db::ConnectionString text;
        text.Set(QStringLiteral("Provider"), QStringLiteral("SQLOLEDB"));
        text.Set(QStringLiteral("Server"), Decoded(DB_SERVER));
        text.Set(QStringLiteral("Database"), database);
        text.Set(QStringLiteral("User ID"), Decoded(DB_USERID));
        text.Set(QStringLiteral("Password"), Decoded(DB_PASSWORD));
        made = {database, DB_SERVER, DB_USERID, DB_PASSWORD, text.ToText()};
    }
    return made.text;
}

// A name that came with a request opens only a company database found on the server: the
// request-log database is never one of them, whatever the case of its name, so a request can
// neither read nor change the log.
QString clsSetup::GetConnectionString(const QString& pDatabaseFilePathName)
{
    CheckCredentials();
    QString database;
    if (pDatabaseFilePathName.compare(cLogDatabaseName, Qt::CaseInsensitive) != 0) {
        if (xCompanies.RowCount() == 0)
            GetCompanyList();
        for (int row = xCompanies.LowerBound(1); row <= xCompanies.UpperBound(1) && database.isEmpty(); ++row) {
            const QString name = xCompanies.Value(row, 4).toString();
            if (!name.isEmpty() && name.compare(pDatabaseFilePathName, Qt::CaseInsensitive) == 0)
                database = name;
        }
    }
    if (database.isEmpty())
        throw platform::db::DatabaseError(platform::err::ProviderError,
                                          QStringLiteral("Unknown company database: ") + pDatabaseFilePathName);
    return ConnectionText(database);
}

QString clsSetup::GetLogConnectionString() const
{
    CheckCredentials();
    return ConnectionText(cLogDatabaseName);
}

std::optional<RuntimeError> clsSetup::RunOnDatabase(const QString& databaseName, const std::function<void()>& work)
{
    std::optional<RuntimeError> failure;
    try {
        OpenConnection(databaseName);
        work();
    } catch (const RuntimeError& e) {
        failure = e;
    }
    CloseRecordset();
    CloseConnection();
    return failure;
}

namespace {
// Enough for the requests one server runs at once on a database, few enough to hold no more
// files open than a handful per company.
constexpr int kKeptPerDatabase = 3;
}  // namespace

std::unique_ptr<platform::db::Backend> clsSetup::TakeCompanyConnection(const QString& connectionString)
{
    for (auto it = m_companyConnections.rbegin(); it != m_companyConnections.rend(); ++it) {
        if (it->first == connectionString) {
            std::unique_ptr<platform::db::Backend> taken = std::move(it->second);
            m_companyConnections.erase(std::next(it).base());
            return taken;
        }
    }
    return nullptr;
}

void clsSetup::KeepCompanyConnection(const QString& connectionString, std::unique_ptr<platform::db::Backend> connection)
{
    if (!connection)
        return;
    // Only the connection text it was opened with may take it again; a connection that still
    // holds a transaction or a running statement would hand that to the next request.
    try {
        if (connectionString != ConnectionText(connection->DatabaseName()) || !connection->ReadyForReuse())
            return;
    } catch (const RuntimeError&) {
        return;
    }
    int kept = 0;
    for (const auto& entry : m_companyConnections)
        kept += entry.first == connectionString ? 1 : 0;
    if (kept < kKeptPerDatabase)
        m_companyConnections.emplace_back(connectionString, std::move(connection));
}

void clsSetup::DropCompanyConnections()
{
    m_companyConnections.clear();
}

bool clsSetup::GetCompanyList()
{
    DropCompanyConnections();
    const std::optional<RuntimeError> failure = RunOnDatabase(cLogDatabaseName, [this] {
        m_recordset.Open(QStringLiteral("SELECT DB_NAME(Database_ID) AS DatabaseName FROM Sys.Master_Files WHERE Name = 'Tessarin' "),
                         cnnConnection);
        QStringList selects;
        while (!m_recordset.IsEOF()) {
            const QString db = m_recordset.Field(QStringLiteral("DatabaseName")).ToText();
            selects << QStringLiteral("SELECT CompanyName, StartDate, LastDate, '") + GeneralFunction::QuoteSQL(db)
                           + QStringLiteral("' AS DatabaseName FROM ") + Bracketed(db) + QStringLiteral(".dbo.Company ");
            m_recordset.MoveNext();
        }
        const QString statement = selects.join(kCrLf + QStringLiteral("UNION ALL ") + kCrLf);
        CloseRecordset();
        if (statement.isEmpty())
            throw platform::db::DatabaseError(-2147217908, QStringLiteral("Command text was not set for the command object."));
        m_recordset.Open(statement, cnnConnection);
        xCompanies.ReDim(0, -1, 0, 4);
        while (!m_recordset.IsEOF()) {
            const int row = xCompanies.AppendRow();
            xCompanies.SetValue(row, 0, false);
            xCompanies.SetValue(row, 1, m_recordset.Field(QStringLiteral("CompanyName")).ToVariant());
            xCompanies.SetValue(row, 2, m_recordset.Field(QStringLiteral("StartDate")).ToVariant());
            xCompanies.SetValue(row, 3, m_recordset.Field(QStringLiteral("LastDate")).ToVariant());
            xCompanies.SetValue(row, 4, m_recordset.Field(QStringLiteral("DatabaseName")).ToVariant());
            m_recordset.MoveNext();
        }
    });
    if (failure)
        RaiseMessage(QStringLiteral("Error while getting Company List.") + kCrLf + QStringLiteral("Error ") + platform::ErrorLine(*failure),
                     -1, 16, 1);
    return !failure;
}

// The product's folder locations, from its own settings database beside the program folder.
// Nothing calls it; the database named here is not one the connection accepts, so on this
// platform it reports its failure.
bool clsSetup::GetLocations()
{
    const QString path = QFileInfo(m_programFolder).absolutePath() + QStringLiteral("/Tessarin4/Settings/Settings.mdb");
    const std::optional<RuntimeError> failure = RunOnDatabase(path, [this] {
        m_recordset.Open(QStringLiteral("SELECT False AS Selected, Location FROM FolderLocations "), cnnConnection);
        if (!m_recordset.IsEOF()) {
            xLocations.ReDim(0, -1, 0, 1);
            while (!m_recordset.IsEOF()) {
                const int row = xLocations.AppendRow();
                xLocations.SetValue(row, 0, m_recordset.Field(0).ToBool());
                xLocations.SetValue(row, 1, m_recordset.Field(1).ToText());
                m_recordset.MoveNext();
            }
        }
    });
    if (failure)
        RaiseMessage(QStringLiteral("Error while getting folder location.") + kCrLf + QStringLiteral("Error ")
                         + platform::ErrorLine(*failure),
                     -1, 16, 0);
    return !failure;
}
