// clsSetup: the request-log table: creation, writing, reading, sorting and filtering.
#include "clsSetup.h"

#include "GeneralFunction.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <limits>

#include <sys/stat.h>
#include "clock/Clock.h"
#include "core/RuntimeError.h"
#include "database/Value.h"

#include <nlohmann/json.hpp>

using platform::RuntimeError;
using GeneralFunction::QuoteSQL;

namespace {
const QString kCrLf = QStringLiteral("\r\n");
const QString kEof = QStringLiteral("<EOF>");
const QString kPasswordMask = QStringLiteral("*****");

QString WithoutEof(const QString& text)
{
    return text.endsWith(kEof, Qt::CaseInsensitive) ? text.left(text.size() - kEof.size()) : text;
}

// The end (one past) of the JSON string that opens at `start`.
qsizetype StringEnd(const QString& text, qsizetype start)
{
    qsizetype i = start + 1;
    while (i < text.size()) {
        if (text.at(i) == QLatin1Char('\\'))
            i += 2;
        else if (text.at(i) == QLatin1Char('"'))
            return i + 1;
        else
            ++i;
    }
    return text.size();
}

// The end (one past) of the JSON value that begins at `start`.
qsizetype ValueEnd(const QString& text, qsizetype start)
{
    if (start >= text.size())
        return start;
    const QChar first = text.at(start);
    if (first == QLatin1Char('"'))
        return StringEnd(text, start);
    if (first == QLatin1Char('{') || first == QLatin1Char('[')) {
        int depth = 0;
        qsizetype i = start;
        while (i < text.size()) {
            const QChar c = text.at(i);
            if (c == QLatin1Char('"')) {
                i = StringEnd(text, i);
                continue;
            }
            if (c == QLatin1Char('{') || c == QLatin1Char('['))
                ++depth;
            else if ((c == QLatin1Char('}') || c == QLatin1Char(']')) && --depth == 0)
                return i + 1;
            ++i;
        }
        return text.size();
    }
    qsizetype i = start;
    while (i < text.size() && text.at(i) != QLatin1Char(',') && text.at(i) != QLatin1Char('}')
           && text.at(i) != QLatin1Char(']') && !text.at(i).isSpace())
        ++i;
    return i;
}

qsizetype SkipBlanks(const QString& text, qsizetype i)
{
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    return i;
}

QString KeyText(const QString& token)
{
    const nlohmann::json parsed = nlohmann::json::parse(token.toStdString(), nullptr, false);
    return parsed.is_string() ? QString::fromStdString(parsed.get<std::string>()) : token.mid(1, token.size() - 2);
}

// The request text with the value of each top-level "Password" member replaced by "*****",
// everything else exactly as it came: the log must never keep a product user's password.
QString MaskPassword(const QString& text)
{
    struct Span { qsizetype start, end; };
    QList<Span> spans;
    int depth = 0;
    bool expectKey = false;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"')) {
            const qsizetype end = StringEnd(text, i);
            if (depth == 1 && expectKey) {
                expectKey = false;
                const qsizetype colon = SkipBlanks(text, end);
                if (colon < text.size() && text.at(colon) == QLatin1Char(':')) {
                    const qsizetype valueStart = SkipBlanks(text, colon + 1);
                    const qsizetype valueEnd = ValueEnd(text, valueStart);
                    if (KeyText(text.mid(i, end - i)).compare(QLatin1String("Password"), Qt::CaseInsensitive) == 0
                        && valueEnd > valueStart)
                        spans.append({valueStart, valueEnd});
                    i = valueEnd;
                    continue;
                }
            }
            i = end;
            continue;
        }
        if (c == QLatin1Char('{') || c == QLatin1Char('[')) {
            ++depth;
            expectKey = depth == 1 && c == QLatin1Char('{');
        } else if (c == QLatin1Char('}') || c == QLatin1Char(']')) {
            --depth;
        } else if (c == QLatin1Char(',') && depth == 1) {
            expectKey = true;
        }
        ++i;
    }
    QString masked = text;
    for (qsizetype k = spans.size() - 1; k >= 0; --k)
        masked.replace(spans[k].start, spans[k].end - spans[k].start, QLatin1Char('"') + kPasswordMask + QLatin1Char('"'));
    return masked;
}

// A stored JSON text laid out for reading; a text that is not a JSON object is shown as stored.
QString Indented(const QString& stored)
{
    platform::JsonObject object;
    return object.Load(stored) ? object.Emit(false) : stored;
}

// The text of a cell as the filter compares it: dates and numbers in their default text form.
QString CellText(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    return platform::db::Value::FromVariant(value).ToText();
}

platform::XArrayDB::SortType SortTypeOf(int col)
{
    if (col == 1 || col == 7)
        return platform::XArrayDB::XTYPE_DATE;
    if (col >= 2 && col <= 6)
        return platform::XArrayDB::XTYPE_STRING;
    return platform::XArrayDB::XTYPE_DEFAULT;
}
}  // namespace

QString clsSetup::LogStatement(const QString& statement) const
{
    return GeneralFunction::ReplaceParameters(statement, {QStringLiteral("pDatabaseName"), cLogDatabaseName,
                                                          QStringLiteral("pLogTableName"), cLogTableName});
}

// --- creation ------------------------------------------------------------------------------

void clsSetup::ExecuteLogSQL(const QString& statement)
{
    cnnConnection.Execute(GeneralFunction::ReplaceParameters(
        statement, {QStringLiteral("pLogDatabaseName"), cLogDatabaseName, QStringLiteral("pLogTableName"), cLogTableName}));
}

bool clsSetup::LogTableExists()
{
    const QString statement = QStringLiteral("SELECT 1 WHERE OBJECT_ID('")
                            + QuoteSQL(cLogDatabaseName + QStringLiteral(".dbo.") + cLogTableName)
                            + QStringLiteral("') IS NOT NULL ");
    // A table that cannot be looked for counts as missing.
    bool exists = false;
    RunOnDatabase(cLogDatabaseName, [&] {
        m_recordset.Open(statement, cnnConnection);
        exists = !m_recordset.IsEOF();
    });
    return exists;
}

bool clsSetup::CheckLogData()
{
    try {
        if (!LogTableExists())
            CreateLogTable();
        return LogTableExists();
    } catch (const RuntimeError& e) {
        RaiseMessage(QStringLiteral("Unable to check / create LogData table.") + kCrLf + platform::ErrorLine(e), -1, 16, 2);
        return false;
    }
}

void clsSetup::CreateLogTable()
{
    const QString table = QStringLiteral("[@pLogDatabaseName].[dbo].[@pLogTableName]");
    const QStringList create = {
        QStringLiteral("SET ANSI_NULLS ON "),
        QStringLiteral("SET QUOTED_IDENTIFIER ON "),
        QStringLiteral("CREATE TABLE ") + table + QStringLiteral("( "),
        QStringLiteral("[RequestID] [int] IDENTITY(1,1) NOT NULL, "),
        QStringLiteral("[RequestDateTime] [datetime] NOT NULL CONSTRAINT [DF_@pLogTableName_RequestDateTime]  DEFAULT (getdate()), "),
        QStringLiteral("[Action] [nvarchar](30) NOT NULL CONSTRAINT [DF_@pLogTableName_Action]  DEFAULT (''), "),
        QStringLiteral("[MobileNo] [nvarchar](20) NOT NULL CONSTRAINT [DF_@pLogTableName_MobileNo]  DEFAULT (''), "),
        QStringLiteral("[UserID] [nvarchar](20) NOT NULL CONSTRAINT [DF_@pLogTableName_UserID]  DEFAULT (''), "),
        QStringLiteral("[DatabaseName] [nvarchar](60) NOT NULL CONSTRAINT [DF_@pLogTableName_DatabaseName]  DEFAULT (''), "),
        QStringLiteral("[IPAddress] [nvarchar](20) NOT NULL CONSTRAINT [DF_@pLogTableName_IPAddress]  DEFAULT (''), "),
        QStringLiteral("[RequestJSON] [nvarchar](max) NOT NULL CONSTRAINT [DF_@pLogTableName_RequestJSON]  DEFAULT (''), "),
        QStringLiteral("[ResponseDateTime] [datetime] NOT NULL CONSTRAINT [DF_@pLogTableName_ResponseDateTime]  DEFAULT ('12/30/1899'), "),
        QStringLiteral("[ResponseJSON] [nvarchar](max) NOT NULL CONSTRAINT [DF_@pLogTableName_ResponseJSON]  DEFAULT (''), "),
        QStringLiteral("CONSTRAINT [PK_@pLogTableName] PRIMARY KEY CLUSTERED ( "),
        QStringLiteral("[requestID] Asc "),
        QStringLiteral(")WITH (PAD_INDEX  = OFF, STATISTICS_NORECOMPUTE  = OFF, IGNORE_DUP_KEY = OFF, ALLOW_ROW_LOCKS  = ON, ALLOW_PAGE_LOCKS  = ON) ON [PRIMARY] "),
        QStringLiteral(") ON [PRIMARY] "),
    };
    const QString checkAdd = QStringLiteral("ALTER TABLE ") + table
                           + QStringLiteral("  WITH CHECK ADD  CONSTRAINT [CK_@pLogTableName_%1_Disallow_Zero_Length] CHECK  ((len([%1])>(0))) ");
    const QString checkOn = QStringLiteral("ALTER TABLE ") + table + QStringLiteral(" CHECK CONSTRAINT [CK_@pLogTableName_%1_Disallow_Zero_Length] ");
    const QString index = QStringLiteral("CREATE NONCLUSTERED INDEX [IX_@pLogTableName_%1] ON [dbo].[@pLogTableName] ") + kCrLf
                        + QStringLiteral("([%1] Asc ") + kCrLf
                        + QStringLiteral(")WITH (PAD_INDEX  = OFF, STATISTICS_NORECOMPUTE  = OFF, SORT_IN_TEMPDB = OFF, IGNORE_DUP_KEY = OFF, "
                                         "DROP_EXISTING = OFF, ONLINE = OFF, ALLOW_ROW_LOCKS  = ON, ALLOW_PAGE_LOCKS  = ON) ON [PRIMARY] ");
    const QString description = QStringLiteral(
        "EXEC sys.sp_addextendedproperty @name=N'MS_Description', @value=N'%1' , @level0type=N'SCHEMA',@level0name=N'dbo', "
        "@level1type=N'TABLE',@level1name=N'@pLogTableName', @level2type=N'COLUMN',@level2name=N'%2' ");

    QList<QPair<QString, QString>> steps = {
        {create.join(kCrLf), QStringLiteral("TableCreated")},
        {checkAdd.arg(QStringLiteral("Action")), QStringLiteral("ActionCheckCreated")},
        {checkOn.arg(QStringLiteral("Action")), QStringLiteral("ActionCheckChecked")},
        {checkAdd.arg(QStringLiteral("IPAddress")), QStringLiteral("IPAddressCheckCreated")},
        {checkOn.arg(QStringLiteral("IPAddress")), QStringLiteral("IPAddressCheckChecked")},
        {checkAdd.arg(QStringLiteral("MobileNo")), QStringLiteral("MobileNoCheckCreated")},
        {checkOn.arg(QStringLiteral("MobileNo")).trimmed(), QStringLiteral("MobileNoCheckChecked")},
        {index.arg(QStringLiteral("Action")), QStringLiteral("ActionIndexCreated")},
        {index.arg(QStringLiteral("MobileNo")), QStringLiteral("MobileNoIndexCreated")},
        {index.arg(QStringLiteral("RequestDateTime")), QStringLiteral("RequestDateTimeIndexCreated")},
    };
    const QList<QPair<QString, QString>> columns = {
        {QStringLiteral("RequestID"), QStringLiteral("Stores Request ID")},
        {QStringLiteral("RequestDateTime"), QStringLiteral("Stores Request Date Time.")},
        {QStringLiteral("Action"), QStringLiteral("Stores Action Requested by Mobile User.")},
        {QStringLiteral("MobileNo"), QStringLiteral("Stores Mobile No. of Requested.")},
        {QStringLiteral("UserID"), QStringLiteral("Stores User ID of Mobile No. Requested.")},
        {QStringLiteral("DatabaseName"), QStringLiteral("Stores Name of Database")},
        {QStringLiteral("IPAddress"), QStringLiteral("Stores IP Address of Requested User.")},
        {QStringLiteral("RequestJSON"), QStringLiteral("Stores JSON Requested by User.")},
        {QStringLiteral("ResponseDateTime"), QStringLiteral("Stores Response Date Time.")},
        {QStringLiteral("ResponseJSON"), QStringLiteral("Stores Response JSON sent to Mobile User.")},
    };
    for (const auto& column : columns)
        steps.append({description.arg(column.second, column.first), column.first + QStringLiteral("DescriptionCreated")});
    steps.append({QStringLiteral("EXEC sys.sp_addextendedproperty @name=N'Description', @value=N'Store Mobile Client Requests & Responses' , "
                                 "@level0type=N'SCHEMA',@level0name=N'dbo', @level1type=N'TABLE',@level1name=N'@pLogTableName' "),
                  QStringLiteral("LogTableNameDescriptionCreated")});

    QString completed;
    const std::optional<RuntimeError> failure = RunOnDatabase(cLogDatabaseName, [&] {
        for (const auto& step : steps) {
            ExecuteLogSQL(step.first);
            completed = step.second;
        }
    });
    if (failure)
        RaiseMessage(QStringLiteral("Unable to Create Log Table.") + kCrLf + QStringLiteral("Completed work : ") + completed + kCrLf
                         + platform::ErrorLine(*failure),
                     -1, 16, 2);
}

// --- writing -------------------------------------------------------------------------------

QString clsSetup::LogFileIdentity() const
{
    const QString server = GeneralFunction::DecodeText(DB_SERVER, false, GeneralFunction::kShiftKey).trimmed();
    if (!server.startsWith(QStringLiteral("sqlite:"), Qt::CaseInsensitive))
        return QString();
    const auto identity = [](const struct stat& info) {
        return QString::number(static_cast<qulonglong>(info.st_dev)) + QLatin1Char(':')
             + QString::number(static_cast<qulonglong>(info.st_ino));
    };
    struct stat info {};
    // The path found last time is looked at first, and looked up again only when the file or a
    // folder above it was touched; the folder is listed only when the file is no longer there
    // under that name.
    const QDir folder(server.mid(7));
    if (!m_logFileFound.isEmpty() && m_logFileFound == folder.filePath(QFileInfo(m_logFileFound).fileName())) {
        if (!m_logFileFoundWatch.Stirred())
            return m_logFileFoundIdentity;
        if (::stat(QFile::encodeName(m_logFileFound).constData(), &info) == 0) {
            m_logFileFoundIdentity = identity(info);
            return m_logFileFoundIdentity;
        }
    }
    m_logFileFound.clear();
    m_logFileFoundWatch.Clear();
    const QStringList files = folder.entryList({cLogDatabaseName + QStringLiteral(".sqlite")}, QDir::Files);
    if (files.isEmpty())
        return QStringLiteral("missing");
    const QString found = folder.filePath(files.first());
    m_logFileFoundWatch.Watch(found);
    // Looked up after the watch began, so a change from now on is seen.
    if (::stat(QFile::encodeName(found).constData(), &info) != 0) {
        m_logFileFoundWatch.Clear();
        return QStringLiteral("missing");
    }
    m_logFileFound = found;
    m_logFileFoundIdentity = identity(info);
    return m_logFileFoundIdentity;
}

void clsSetup::OpenLogWriter()
{
    const QString text = GetLogConnectionString();
    const bool open = m_logWriter.State() == platform::db::adStateOpen && text == m_logWriterText;
    const QString file = LogFileIdentity();
    if (open && file == m_logWriterFile)
        return;
    // The file last written (kept across a dropped connection) is gone or another one.
    const bool lost = !m_logWriterFile.isEmpty() && file != m_logWriterFile;
    DropLogWriter();
    if (lost) {
        // The file was deleted or replaced under the kept connection: the table is made again
        // as at start-up, in the file that is there now.
        emit ShowEvents(QStringLiteral("Request-log database file was deleted or replaced. Creating LogData table again."));
        if (!LogTableExists())
            CreateLogTable();
    }
    m_logWriter.Open(text);
    m_logWriterText = text;
    m_logWriterFile = LogFileIdentity();
    // The statements' own names are filled in; the values are bound, so they may hold any text.
    m_insertRequest = m_logWriter.Prepare(
        LogStatement(QStringLiteral("INSERT INTO @pDatabaseName.dbo.@pLogTableName "
                                    "(RequestDateTime, [Action], MobileNo, UserID, [DatabaseName], IPAddress, RequestJSON) "
                                    "VALUES (?, ?, ?, ?, ?, ?, ?)")));
    m_updateRequest = m_logWriter.Prepare(LogStatement(
        QStringLiteral("UPDATE @pDatabaseName.dbo.@pLogTableName SET ResponseDateTime = ?, ResponseJSON = ? WHERE RequestID = ?")));
    m_insertAnswered = m_logWriter.Prepare(LogStatement(
        QStringLiteral("INSERT INTO @pDatabaseName.dbo.@pLogTableName "
                       "(RequestDateTime, [Action], MobileNo, UserID, [DatabaseName], IPAddress, RequestJSON, ResponseDateTime, ResponseJSON) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")));
}

void clsSetup::DropLogWriter()
{
    // The statements belong to the connection and go before it.
    m_insertRequest.reset();
    m_updateRequest.reset();
    m_insertAnswered.reset();
    if (m_logWriter.State() == platform::db::adStateOpen)
        m_logWriter.Close();
    m_logWriterText.clear();
}

qint32 clsSetup::InsertRequest(const QString& pIPAddress, const QString& pRequestJSON)
{
    platform::JsonObject parsed;
    parsed.Load(WithoutEof(pRequestJSON));
    return InsertRequest(pIPAddress, pRequestJSON, parsed);
}

qint32 clsSetup::InsertRequest(const QString& pIPAddress, const QString& pRequestJSON, const platform::JsonObject& parsed)
{
    const QString request = WithoutEof(pRequestJSON);
    RequestJournal::Record record;
    record.time = platform::Clock::Now();
    record.action = parsed.StringOf(QStringLiteral("Action"));
    record.mobileNo = parsed.StringOf(QStringLiteral("MobileNo"));
    record.userID = parsed.HasMember(QStringLiteral("UserID")) ? parsed.StringOf(QStringLiteral("UserID")) : QString();
    record.folderName = parsed.HasMember(QStringLiteral("FolderName")) ? parsed.StringOf(QStringLiteral("FolderName")) : QString();
    record.ipAddress = pIPAddress;
    record.text = MaskPassword(request);
    if (m_journal) {
        // The table's rules depend on the record alone: a row it would refuse is said now,
        // before the request is handled, and never journalled.
        if (Refused(record))
            return -1;
        // Tickets stay positive: a caller takes one below 1 for a request that was not logged.
        m_journalTicket = m_journalTicket == std::numeric_limits<qint32>::max() ? 1 : m_journalTicket + 1;
        record.ticket = m_journalTicket;
        Journal(std::move(record));
        return m_journalTicket;
    }
    qint32 result = -1;
    try {
        OpenLogWriter();
        if (m_insertRequest->Execute({record.time, record.action, record.mobileNo, record.userID, record.folderName,
                                      record.ipAddress, record.text})
            > 0)
            result = static_cast<qint32>(m_logWriter.LastInsertId());
        return result;
    } catch (const RuntimeError& e) {
        DropLogWriter();
        // The database's description can quote the request's own values.
        emit ShowEvents(QStringLiteral("Error while Inserting Request in LogData. Error No.") + QString::number(e.Number())
                        + QStringLiteral(" - ") + GeneralFunction::VisibleText(e.Description()));
        return -1;
    }
}

void clsSetup::UpdateRequest(qint32 pRequestID, const QString& pResponseJSON)
{
    const QString response = WithoutEof(pResponseJSON);
    RequestJournal::Record record;
    record.text = response;
    UpdateRequest(pRequestID, std::move(record));
}

void clsSetup::UpdateRequestUtf8(qint32 pRequestID, const QByteArray& pResponseUtf8)
{
    // The end mark is left out by the record's length: the bytes stay those sent.
    qsizetype size = pResponseUtf8.size();
    if (QLatin1StringView(pResponseUtf8).endsWith(kEof, Qt::CaseInsensitive))
        size -= kEof.size();
    RequestJournal::Record record;
    record.utf8 = pResponseUtf8.isNull() ? QByteArray("") : pResponseUtf8;
    record.utf8Size = size;
    UpdateRequest(pRequestID, std::move(record));
}

void clsSetup::UpdateRequest(qint32 pRequestID, RequestJournal::Record record)
{
    const QDateTime now = platform::Clock::Now();
    if (m_journal) {
        record.kind = RequestJournal::Record::Reply;
        record.ticket = pRequestID;
        record.time = now;
        Journal(std::move(record));
        return;
    }
    try {
        OpenLogWriter();
        m_updateRequest->Execute({now, record.TextValue(), static_cast<qint64>(pRequestID)});
    } catch (const RuntimeError& e) {
        DropLogWriter();
        // The database's description can quote the request's own values.
        emit ShowEvents(QStringLiteral("Error while Updating Response in LogData. Error No.") + QString::number(e.Number())
                        + QStringLiteral(" - ") + GeneralFunction::VisibleText(e.Description()));
    }
}

// --- the journal ---------------------------------------------------------------------------

bool clsSetup::OpenRequestJournal(const QString& path)
{
    using Record = RequestJournal::Record;
    auto journal = std::make_unique<RequestJournal>();
    QString error;
    if (!journal->Open(path, &error)) {
        emit ShowEvents(QStringLiteral("Request-log journal cannot be used, requests go straight to LogData. ") + error);
        return false;
    }
    FlushRequestLog();  // what was journalled before, through the old journal
    m_journal = std::move(journal);
    const std::vector<Record> found = m_journal->Found();
    m_journal->ForgetFound();
    m_journalQueue.clear();
    for (const Record& record : found) {
        m_journalTicket = std::max(m_journalTicket, record.ticket);
        if (record.kind != Record::Mark)
            m_journalQueue.push_back(record);
    }
    if (m_journalQueue.empty() && found.empty())
        return true;
    // A file that ends with a mark was being moved when the program stopped: the move went
    // through when the table has the file's last request above the row the mark names.
    if (!found.empty() && found.back().kind == Record::Mark && MovedAlready(found.back().text.toLongLong())) {
        m_journalQueue.clear();
        if (!m_journal->Clear(&error)) {
            emit ShowEvents(QStringLiteral("Request-log journal cannot be used, requests go straight to LogData. ") + error);
            m_journal.reset();
            return false;
        }
        return true;
    }
    emit ShowEvents(QStringLiteral("Moving ") + QString::number(m_journalQueue.size())
                    + QStringLiteral(" request-log records left by the last run into LogData."));
    FlushRequestLog();
    return true;
}

bool clsSetup::MovedAlready(qint64 rowBefore)
{
    using Record = RequestJournal::Record;
    // The last request the table takes; a file of replies only is moved again, which changes
    // nothing.
    const auto last = std::find_if(m_journalQueue.crbegin(), m_journalQueue.crend(), [](const Record& r) {
        return r.kind == Record::Request && RefusedColumn(r).isEmpty();
    });
    if (last == m_journalQueue.crend())
        return false;
    try {
        OpenLogWriter();
        const auto text = [](const QString& value) { return QStringLiteral("N'") + QuoteSQL(value) + QLatin1Char('\''); };
        const platform::db::ResultSet found = m_logWriter.Query(
            LogStatement(QStringLiteral("SELECT COUNT(*) FROM @pDatabaseName.dbo.@pLogTableName WHERE RequestID > "))
            + QString::number(rowBefore) + QStringLiteral(" AND RequestDateTime = ") + m_logWriter.dialect().DateTimeLiteral(last->time)
            + QStringLiteral(" AND IPAddress = ") + text(last->ipAddress) + QStringLiteral(" AND [Action] = ") + text(last->action)
            + QStringLiteral(" AND MobileNo = ") + text(last->mobileNo));
        return !found.rows.empty() && !found.rows.front().empty() && found.rows.front().front().ToInteger() > 0;
    } catch (const RuntimeError&) {
        DropLogWriter();
        return false;  // the move will meet the same failure and say so
    }
}

QString clsSetup::RefusedColumn(const RequestJournal::Record& request)
{
    // The table's own rules: these columns may not be empty (trailing blanks do not count),
    // and no value may be longer than its column.
    struct Rule { const char* column; const QString RequestJournal::Record::*value; int longest; bool required; };
    static const Rule rules[] = {
        {"Action", &RequestJournal::Record::action, 30, true},
        {"MobileNo", &RequestJournal::Record::mobileNo, 20, true},
        {"UserID", &RequestJournal::Record::userID, 20, false},
        {"DatabaseName", &RequestJournal::Record::folderName, 60, false},
        {"IPAddress", &RequestJournal::Record::ipAddress, 20, true},
    };
    for (const Rule& rule : rules) {
        const QString& value = request.*rule.value;
        qsizetype length = value.size();
        while (length > 0 && value.at(length - 1) == QLatin1Char(' '))
            --length;
        if ((rule.required && length == 0) || value.size() > rule.longest)
            return QString::fromLatin1(rule.column);
    }
    return QString();
}

bool clsSetup::Refused(const RequestJournal::Record& request)
{
    const QString column = RefusedColumn(request);
    if (column.isEmpty())
        return false;
    emit ShowEvents(QStringLiteral("Error while Inserting Request in LogData. Error No.") + QString::number(platform::err::SyntaxError)
                    + QStringLiteral(" - The table takes no ") + column + QStringLiteral(" that is empty or longer than its column."));
    return true;
}

void clsSetup::FlushRequestLog()
{
    if (m_journalQueue.empty())
        return;
    using Record = RequestJournal::Record;
    std::vector<std::pair<qint32, qint64>> unanswered;
    // Opening the writer can raise a message (the table made again), and a message box runs
    // the event loop: the records are looked at only after it, and only those there then.
    std::vector<Record> moving;
    try {
        OpenLogWriter();
        moving = m_journalQueue;
        QHash<qint32, const Record*> replies;
        QSet<qint32> requests;
        for (const Record& record : moving) {
            if (record.kind == Record::Reply)
                replies.insert(record.ticket, &record);
            else
                requests.insert(record.ticket);
        }
        m_logWriter.Execute(QStringLiteral("BEGIN TRANSACTION"));
        try {
            const platform::db::ResultSet highest =
                m_logWriter.Query(LogStatement(QStringLiteral("SELECT MAX(RequestID) FROM @pDatabaseName.dbo.@pLogTableName")));
            const qint64 rowBefore = highest.rows.empty() || highest.rows.front().empty() || highest.rows.front().front().IsNull()
                                       ? 0
                                       : highest.rows.front().front().ToInteger();
            for (const Record& record : moving) {
                if (record.kind == Record::Request) {
                    // A journal written by an earlier version can hold such a row.
                    if (Refused(record))
                        continue;
                    if (const Record* reply = replies.value(record.ticket)) {
                        m_insertAnswered->Execute({record.time, record.action, record.mobileNo, record.userID, record.folderName,
                                                   record.ipAddress, record.text, reply->time, reply->TextValue()});
                    } else {
                        m_insertRequest->Execute({record.time, record.action, record.mobileNo, record.userID,
                                                  record.folderName, record.ipAddress, record.text});
                        unanswered.emplace_back(record.ticket, m_logWriter.LastInsertId());
                    }
                } else if (!requests.contains(record.ticket)) {
                    const auto found = std::find_if(m_journalUnanswered.cbegin(), m_journalUnanswered.cend(),
                                                    [&](const std::pair<qint32, qint64>& entry) { return entry.first == record.ticket; });
                    if (found != m_journalUnanswered.cend())
                        m_updateRequest->Execute({record.time, record.TextValue(), found->second});
                }
            }
            if (m_journal) {
                Record mark;
                mark.kind = Record::Mark;
                mark.time = platform::Clock::Now();
                mark.text = QString::number(rowBefore);
                WriteToJournal(mark);
            }
            m_logWriter.Execute(QStringLiteral("COMMIT TRANSACTION"));
        } catch (const RuntimeError&) {
            try {
                m_logWriter.Execute(QStringLiteral("ROLLBACK TRANSACTION"));
            } catch (const RuntimeError&) {
                // the connection is dropped below
            }
            throw;
        }
    } catch (const RuntimeError& e) {
        DropLogWriter();
        // The database's description can quote the request's own values.
        emit ShowEvents(QStringLiteral("Error while Inserting Request in LogData. Error No.") + QString::number(e.Number())
                        + QStringLiteral(" - ") + GeneralFunction::VisibleText(e.Description()));
        return;  // the records stay, in the file and here, for the next try
    }
    m_journalQueue.erase(m_journalQueue.begin(), m_journalQueue.begin() + static_cast<std::ptrdiff_t>(moving.size()));
    m_journalUnanswered.insert(m_journalUnanswered.end(), unanswered.begin(), unanswered.end());
    constexpr size_t kUnansweredKept = 4096;
    if (m_journalUnanswered.size() > kUnansweredKept)
        m_journalUnanswered.erase(m_journalUnanswered.begin(),
                                  m_journalUnanswered.begin() + static_cast<std::ptrdiff_t>(m_journalUnanswered.size() - kUnansweredKept));
    QString error;
    if (m_journal && m_journal->IsOpen()) {
        // Left as it is, the file would bring these rows in again at the next start. Records
        // that came while they moved are written to it again.
        bool ok = m_journal->Clear(&error);
        for (auto it = m_journalQueue.cbegin(); ok && it != m_journalQueue.cend(); ++it)
            ok = m_journal->Append(*it, &error);
        if (!ok) {
            emit ShowEvents(QStringLiteral("Request-log journal cannot be emptied, its records wait in memory. ") + error);
            m_journal->Close();
        }
    }
}

void clsSetup::WriteToJournal(const RequestJournal::Record& record)
{
    QString error;
    if (m_journal->IsOpen() && !m_journal->Append(record, &error)) {
        // From here the records wait in memory only, and reach the table as before.
        emit ShowEvents(QStringLiteral("Request-log journal cannot be written, its records wait in memory. ") + error);
        m_journal->Close();
    }
}

void clsSetup::Journal(RequestJournal::Record record)
{
    WriteToJournal(record);
    m_journalQueue.push_back(std::move(record));
}

// --- reading -------------------------------------------------------------------------------

void clsSetup::GetLogData(const QDate& pStartDate, const QDate& pLastDate)
{
    xLogData.ReDim(0, -1, 0, 8);
    xFilteredLogData.ReDim(0, -1, 0, 8);
    try {
        OpenConnection(cLogDatabaseName);
        const platform::db::Dialect& dialect = cnnConnection.dialect();
        // Whole days: from the start day's midnight through the end of the last day.
        const QString statement =
            LogStatement(QStringLiteral("SELECT LogData.RequestID, LogData.RequestDateTime, LogData.Action, LogData.MobileNo, "
                                        "LogData.UserID, LogData.DatabaseName AS [FolderName], LogData.IPAddress, "
                                        "LogData.ResponseDateTime, 'Click Button' AS RequestAndResponse "
                                        "FROM @pLogTableName AS LogData WHERE LogData.RequestDateTime >= "))
            + dialect.DateLiteral(pStartDate)
            + QStringLiteral(" AND CONVERT(DATETIME, CONVERT(nVarChar(10), LogData.RequestDateTime, 101), 101) <= ")
            + dialect.DateLiteral(pLastDate) + QStringLiteral(" ORDER BY LogData.RequestDateTime DESC ");
        m_recordset.Open(statement, cnnConnection);
        while (!m_recordset.IsEOF()) {
            const int row = xLogData.AppendRow();
            for (int col = 0; col <= 8; ++col)
                xLogData.SetValue(row, col, m_recordset.Field(col).ToVariant());
            m_recordset.MoveNext();
        }
        nSortColumnNo = 1;
        eSortOrder = 1;
        emit RebindGrid();
        CloseRecordset();
        CloseConnection();
    } catch (const RuntimeError& e) {
        emit RebindGrid();
        CloseRecordset();
        CloseConnection();
        emit ShowEvents(QStringLiteral("Error while getting LogData. Error No.") + QString::number(e.Number()) + QStringLiteral(" - ")
                        + e.Description());
    }
}

QString clsSetup::GetRequestAndResponse(qint32 pRequestID)
{
    QString result;
    const std::optional<RuntimeError> failure = RunOnDatabase(cLogDatabaseName, [&] {
        m_recordset.Open(LogStatement(QStringLiteral("SELECT LogData.RequestJSON, LogData.ResponseJSON FROM @pLogTableName AS LogData "
                                                     "WHERE LogData.RequestID = "))
                             + QString::number(pRequestID),
                         cnnConnection);
        if (!m_recordset.IsEOF()) {
            result = QStringLiteral("Request : ") + kCrLf + QStringLiteral("=========") + kCrLf
                   + Indented(m_recordset.Field(QStringLiteral("RequestJSON")).ToText()) + kCrLf + kCrLf
                   + QStringLiteral("Response : ") + kCrLf + QStringLiteral("==========") + kCrLf
                   + Indented(m_recordset.Field(QStringLiteral("ResponseJSON")).ToText());
        }
    });
    if (failure)
        emit ShowEvents(QStringLiteral("Error while getting Request & Response JSON. Error No.") + QString::number(failure->Number())
                        + QStringLiteral(" - ") + failure->Description());
    return result;
}

// --- sorting and filtering -----------------------------------------------------------------

void clsSetup::Sort(qint16& pCol)
{
    if (pCol == 8)
        return;
    const auto type = SortTypeOf(pCol);
    if (pCol == nSortColumnNo)
        eSortOrder = eSortOrder == 0 ? 1 : 0;
    else
        nSortColumnNo = pCol;
    xLogData.QuickSort(xLogData.LowerBound(1), xLogData.UpperBound(1), pCol,
                       static_cast<platform::XArrayDB::SortOrder>(eSortOrder), type);
    emit RebindGrid();
}

void clsSetup::SetFilter(const QString& pFilterText)
{
    SetFilter(pFilterText.isEmpty() ? QStringList() : pFilterText.split(QLatin1Char('|')));
}

void clsSetup::SetFilter(const QStringList& pTerms)
{
    // The rows keep the user's sort, compared as that column compares on a heading click.
    const auto resort = [this]() {
        xLogData.QuickSort(xLogData.LowerBound(1), xLogData.UpperBound(1), nSortColumnNo,
                           static_cast<platform::XArrayDB::SortOrder>(eSortOrder), SortTypeOf(nSortColumnNo));
        emit RebindGrid();
    };
    try {
        if (xFilteredLogData.RowCount() > 0) {
            xAryCopy(xFilteredLogData, xLogData, 0, -1);
            xFilteredLogData.ReDim(0, -1, 0, xFilteredLogData.UpperBound(2));
        }
        bool anyTerm = false;
        for (const QString& term : pTerms)
            anyTerm = anyTerm || !term.isEmpty();
        if (anyTerm) {
            // Every row is tested before any moves, so a failing test loses none; the rows then
            // move in one pass, each list keeping the rows' order.
            const int first = xLogData.LowerBound(1);
            std::vector<bool> keep(static_cast<size_t>(xLogData.RowCount()));
            int kept = 0;
            for (int row = first; row <= xLogData.UpperBound(1); ++row) {
                keep[static_cast<size_t>(row - first)] = RowMatchesFilter(row, pTerms);
                kept += keep[static_cast<size_t>(row - first)] ? 1 : 0;
            }
            const int colLow = xLogData.LowerBound(2), colHigh = xLogData.UpperBound(2);
            platform::XArrayDB shown(first, first + kept - 1, colLow, colHigh);
            const int hiddenFirst = xFilteredLogData.UpperBound(1) + 1;
            const int hidden = xLogData.RowCount() - kept;
            if (hidden > 0)
                xFilteredLogData.Insert(1, hiddenFirst, hidden);
            int toShown = first, toHidden = hiddenFirst;
            for (int row = first; row <= xLogData.UpperBound(1); ++row) {
                const bool shownRow = keep[static_cast<size_t>(row - first)];
                platform::XArrayDB& target = shownRow ? shown : xFilteredLogData;
                const int at = shownRow ? toShown++ : toHidden++;
                for (int col = colLow; col <= colHigh; ++col)
                    target.SetValue(at, col, xLogData.Value(row, col));
            }
            xLogData = std::move(shown);
        }
        resort();
    } catch (const RuntimeError& e) {
        try {
            resort();
        } catch (const RuntimeError&) {
            emit RebindGrid();
        }
        RaiseMessage(QString::number(e.Number()) + QStringLiteral(" - ") + e.Description(), static_cast<qint32>(e.Number()), 16, 2);
    }
}

bool clsSetup::RowMatchesFilter(qint32 row, const QStringList& terms) const
{
    for (int k = 0; k < terms.size(); ++k) {
        const QString& term = terms.at(k);
        if (!term.isEmpty() && !CellText(xLogData.Value(row, k)).contains(term, Qt::CaseInsensitive))
            return false;
    }
    return true;
}

qint32 clsSetup::xAryCopy(const platform::XArrayDB& pSourceArray, platform::XArrayDB& pTargetArray, qint32 pStartRow,
                          qint32 pNoOfRows) const
{
    if (pSourceArray.UpperBound(2) != pTargetArray.UpperBound(2))
        return 0;
    const qint32 available = pSourceArray.UpperBound(1) - pStartRow + 1;
    const qint32 count = pNoOfRows == -1 ? available : std::min(pNoOfRows, available);
    if (count <= 0)
        return 0;
    const int first = pTargetArray.UpperBound(1) + 1;
    pTargetArray.Insert(1, first, count);
    for (qint32 i = 0; i < count; ++i)
        for (int col = pSourceArray.LowerBound(2); col <= pSourceArray.UpperBound(2); ++col)
            pTargetArray.SetValue(first + i, col, pSourceArray.Value(pStartRow + i, col));
    return count;
}
