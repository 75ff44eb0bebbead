#pragma once

#include "core/RuntimeError.h"
#include "database/Connection.h"
#include "database/Recordset.h"
#include "disk/NameWatch.h"
#include "json/Json.h"
#include "RequestJournal.h"
#include "table/XArrayDB.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// The one settings-and-services object of a program: the settings file, the lists of
// mobiles and companies, the SQL Server credentials and connection, the text log and the
// request-log table. It never shows anything itself: what the user is to see leaves it as
// the signal Message (a message-box request) or ShowEvents (a status line).
class clsSetup : public QObject {
    Q_OBJECT
public:
    // `programFolder` is the folder of the settings file and of LogFiles (the folder of the
    // running program when empty). The constructor reads the SQL Server credentials; a stored
    // value that cannot be decoded leaves them empty, and every connection then fails with the
    // reason (see GetConnectionString).
    explicit clsSetup(const QString& programFolder = QString(), QObject* parent = nullptr);
    ~clsSetup() override;

    // --- public variables, in declaration order
    platform::db::Connection cnnConnection;
    bool lSettingFound = false;
    bool lSettingChanged = false;
    bool lConnectionParemeterChanged = false;
    bool lStaticIP = false;
    QString cLocalPort;
    QString cRemoteIP;
    QString cRemotePort;
    QString cDongleNo;
    bool lCurrentYearOnly = true;
    bool lAutoStart = false;
    QString cBlockIPs;
    platform::XArrayDB xMobiles;     // 0 MobileNo, 1 IMEINo, 2 AllowedCompanies ("|"-joined), 3 Locked, 4 LastStatus
    platform::XArrayDB xCompanies;   // 0 Selected, 1 CompanyName, 2 StartDate, 3 LastDate, 4 DatabaseName
    platform::XArrayDB xLocations;   // 0 Selected, 1 Location
    QString cLogDatabaseFilePathName;
    platform::XArrayDB xLogData;          // the log rows on show, 9 columns
    platform::XArrayDB xFilteredLogData;  // the log rows the filter hides, 9 columns
    qint16 nSortColumnNo = 0;
    int eSortOrder = 0;  // 0 ascending, 1 descending
    QString cLogDatabaseName;
    QString cLogTableName;
    QString DB_SERVER, DB_USERID, DB_PASSWORD, DB_TIMEOUT;
    bool DB_ODBC = false;
    QString DB_PRIMARYSERVER, DB_PRIMARYUSERID, DB_PRIMARYPASSWORD, DB_PRIMARYTIMEOUT;
    QString DB_SECONDARYSERVER, DB_SECONDARYUSERID, DB_SECONDARYPASSWORD, DB_SECONDARYTIMEOUT;

    // --- members
    void LogEvents();
    void AppendLog(const QString& pText);
    // The line of the pieces one after the other, as AppendLog of their joined text writes it.
    void AppendLog(const QStringView* pieces, qsizetype count);
    void AppendLog(std::initializer_list<QStringView> pieces) { AppendLog(pieces.begin(), static_cast<qsizetype>(pieces.size())); }
    bool GetLocations();
    void OpenConnection(const QString& pDatabaseFilePathName);
    void CloseConnection();
    // The connection text for one of the company databases of xCompanies (found again when the
    // list is empty); any other name, the request-log database's included, is a run-time error
    // "Unknown company database: <name>", so that a name sent by a mobile never reaches a
    // connection unchecked. Values are brace-quoted where they need it.
    QString GetConnectionString(const QString& pDatabaseFilePathName);
    // The connection text for the request-log database (cLogDatabaseName), for the object's own
    // log and discovery members and the credentials command.
    QString GetLogConnectionString() const;
    bool GetCompanyList();
    QString GetAllowedLocations() const;
    QString GetAllowedCompanies(const QString& pMobileNo) const;
    QString ReadFromTextFile(const QString& pFilePathName);
    QString WriteTextFile(const QString& pFilePathName, const QString& pText);
    bool GetSettings();
    bool SaveSettings();
    bool IsIPBlocked(const QString& pIPAddress) const;
    void SetSelectedLocations(const platform::JsonArray& pJSONArray);
    platform::JsonArray SelectedLocations() const;
    void SetAllowedMobiles(const platform::JsonArray& pJSONArray);
    platform::JsonArray AllowedMobiles() const;
    QString ckArrayToString(const platform::JsonArray& pJSONArray, const QString& pDelimiter) const;
    void AppendStringTockArray(const QString& pString, const QString& pDelimiter, platform::JsonArray& pJSONArray) const;
    bool IsFolderAllowed(const platform::JsonObject& pJSONObject);
    bool CheckLogData();
    qint32 InsertRequest(const QString& pIPAddress, const QString& pRequestJSON);
    // The same for a request already parsed by the caller (its text is not parsed again).
    qint32 InsertRequest(const QString& pIPAddress, const QString& pRequestJSON, const platform::JsonObject& pParsed);
    void UpdateRequest(qint32 pRequestID, const QString& pResponseJSON);
    // The same for a reply in UTF-8 as the engine gives it (clsClient::Answer): its bytes are
    // kept as they are until they reach the table.
    void UpdateRequestUtf8(qint32 pRequestID, const QByteArray& pResponseUtf8);
    // The request log through a journal file (the server's way): from now on InsertRequest and
    // UpdateRequest append a record to the file at `path` and FlushRequestLog moves what it
    // holds into the table in one transaction. What an earlier run left there is moved first.
    // False, with an event line, when the file cannot be used: the rows then go straight to
    // the table as before.
    bool OpenRequestJournal(const QString& path);
    bool RequestLogPending() const { return !m_journalQueue.empty(); }
    // Moves the journal's records into the table. A failure is an event line; the records stay
    // for the next try.
    void FlushRequestLog();
    void GetLogData(const QDate& pStartDate, const QDate& pLastDate);
    QString GetRequestAndResponse(qint32 pRequestID);
    void Sort(qint16& pCol);
    void SetFilter(const QString& pFilterText);
    // The same with the terms one per column, as typed: a "|" inside a term is part of it.
    void SetFilter(const QStringList& pTerms);
    qint32 xAryCopy(const platform::XArrayDB& pSourceArray, platform::XArrayDB& pTargetArray, qint32 pStartRow, qint32 pNoOfRows) const;
    bool GetSQLServerDatabasePassword();

    // Company-database connections kept open between requests, a few per connection text. A
    // request takes one (null when none is kept) and gives it back when done; one that is not
    // ready for another request is closed instead. All are closed when the company list, the
    // credentials or the settings are read again.
    std::unique_ptr<platform::db::Backend> TakeCompanyConnection(const QString& connectionString);
    void KeepCompanyConnection(const QString& connectionString, std::unique_ptr<platform::db::Backend> connection);
    void DropCompanyConnections();
    QVariant GetSaveSetting(qint32 pCallType, const QString& pSection, const QString& pKey, const QVariant& pDefaultValue);

    // The folder of the settings file and of LogFiles.
    QString ProgramFolder() const { return m_programFolder; }
    QString SettingsFilePath() const;
    QString CurrentLogFile() const { return m_logFilePath; }

signals:
    // A message-box request: the handler shows pMsgDescription with the buttons and icon
    // pMsgButton and sets *pCancel to whether the answer equals pCancelButton.
    void Message(const QString& pMsgSource, const QString& pMsgDataField, qint32 pMsgNumber,
                 const QString& pMsgDescription, qint32 pMsgButton, qint32 pCancelButton, bool* pCancel, bool pSetFocus);
    // A status line for the window's event pane; calling it raises it.
    void ShowEvents(const QString& pText);
    void RebindGrid();

private:
    void CheckCredentials() const;
    QString ConnectionText(const QString& database) const;
    struct ConnectionTextMade {
        QString database, server, userID, password;  // as stored (encoded)
        QString text;
    };
    mutable ConnectionTextMade m_connectionTextMade;
    void SetDefaultSettings();
    void CloseRecordset();
    // Runs `work` on cnnConnection opened to `databaseName`, then closes the recordset and the
    // connection, whether it ran through or not. The run-time error it stopped with, if any.
    std::optional<platform::RuntimeError> RunOnDatabase(const QString& databaseName, const std::function<void()>& work);
    bool LogTableExists();
    void CreateLogTable();
    void ExecuteLogSQL(const QString& statement);
    bool RowMatchesFilter(qint32 row, const QStringList& terms) const;  // terms one per column
    // Fills "@pDatabaseName" and "@pLogTableName" of a request-log statement.
    QString LogStatement(const QString& statement) const;
    void RaiseMessage(const QString& description, qint32 number, qint32 button, qint32 cancelButton);

    // The request-log writes run for every request, so they keep one connection of their own
    // open from one call to the next instead of logging in to the server each time; it is
    // dropped after a failure and opened again by the next write.
    void OpenLogWriter();
    bool LogFileStillNamed() const;
    void DropLogWriter();
    // The identity (device and file number) of the embedded log database file, "missing" when
    // the file is gone, "" when the log lives on a SQL Server. A kept connection to a file that
    // was deleted or replaced would write where no one reads again.
    QString LogFileIdentity() const;

    platform::db::Recordset m_recordset;
    platform::db::Connection m_logWriter;
    // The two writes, compiled once for the writer's connection and run with bound values.
    std::unique_ptr<platform::db::PreparedStatement> m_insertRequest;
    std::unique_ptr<platform::db::PreparedStatement> m_updateRequest;
    std::unique_ptr<platform::db::PreparedStatement> m_insertAnswered;  // a request and its reply in one row
    bool MovedAlready(qint64 rowBefore);
    // The column whose value the request-log table would refuse ("" when none).
    static QString RefusedColumn(const RequestJournal::Record& request);
    // True, with the failure said as the table's own refusal would be, when it would refuse
    // the request's row: the row is left out.
    bool Refused(const RequestJournal::Record& request);
    void WriteToJournal(const RequestJournal::Record& record);  // to the file, while it takes them
    void Journal(RequestJournal::Record record);                // written and queued
    void UpdateRequest(qint32 pRequestID, RequestJournal::Record reply);  // its text given
    std::unique_ptr<RequestJournal> m_journal;
    std::vector<RequestJournal::Record> m_journalQueue;  // in the file, not yet in the table
    qint32 m_journalTicket = 0;
    // Requests moved into the table before their reply came: ticket and row (the latest few).
    std::vector<std::pair<qint32, qint64>> m_journalUnanswered;
    QString m_logWriterText;
    QString m_logWriterFile;
    mutable QString m_logFileFound;  // where LogFileIdentity last found the file
    mutable QString m_logFileFoundIdentity;
    mutable platform::disk::NameWatch m_logFileFoundWatch;  // looked up again only when stirred
    QString m_programFolder;
    QString m_logFilePath;
    std::vector<std::pair<QString, std::unique_ptr<platform::db::Backend>>> m_companyConnections;
    // The text log, open while m_logFilePath names it.
    std::unique_ptr<QFile> m_logFile;
    quint64 m_logFileDevice = 0;
    quint64 m_logFileNode = 0;
    platform::disk::NameWatch m_logFileWatch;  // its name looked up again only when stirred
    // The time at the head of a line, formatted once for each second.
    QDateTime m_logStampTime;
    QByteArray m_logStamp;  // in the log's text format
    QByteArray m_logLine;   // the bytes of the line being written, its room kept for the next
    bool m_cancel = false;
    // Why the stored credentials could not be read ("" when they could).
    QString m_credentialsError;
};
