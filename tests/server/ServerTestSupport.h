#pragma once

#include "Fixtures.h"
#include "RequestJournal.h"

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <memory>

#include <sys/types.h>
#include <vector>

// What the server tests share: an installation folder ending in CALDERWICK/Corvantis with an
// embedded company database, a client that speaks the "<EOF>" protocol, a small HTTP server for
// the mobile-app version file, a stand-in relay, and the real program run as a process.
namespace servertest {

// The company every installation holds, its user and the mobiles of the default settings.
inline const QString kCompany = QStringLiteral("TESTCO");
inline const QString kOtherCompany = QStringLiteral("OTHERCO");
inline const QString kUserID = QStringLiteral("PEMO");
inline const QString kPassword = QStringLiteral("pemo");

// A free TCP port on loopback (taken and given back at once).
quint16 FreePort();

// Points this process's per-user settings store at a folder of its own.
using fixtures::IsolateUserSettings;

// A temporary installation: <tmp>/CALDERWICK/Corvantis with the company databases under
// <tmp>/data, the credentials of that folder in this process's settings store, and a settings
// file when one is written.
class Installation {
public:
    Installation();
    bool IsValid() const { return m_ok; }
    QString ProgramFolder() const { return m_program; }
    QString DataFolder() const { return m_data; }
    QString Root() const { return m_dir.path(); }

    void WriteSettings(const fixtures::SettingsFile& settings);
    QString SettingsText() const;
    // The IMEI number the settings file holds for a mobile ("(missing)" when it has none).
    QString StoredIMEINo(const QString& mobileNo) const;
    // The lines of the newest text log ("" when there is none).
    QString NewestLogText() const;
    // The rows of the request log: Action, MobileNo, UserID, DatabaseName, IPAddress,
    // RequestJSON, ResponseDateTime (text), ResponseJSON; oldest first.
    QList<QStringList> RequestLogRows() const;
    // The records waiting in the request log's journal, oldest first.
    std::vector<RequestJournal::Record> JournalRecords() const;
    QString JournalPath() const { return m_program + QStringLiteral("/RequestLog.journal"); }

    // A settings file of the listening mode on `port` with the default mobiles:
    // 9000000001 (IMEI "IMEI-1", TESTCO), 9000000002 (no IMEI yet, any company),
    // 9000000003 (locked).
    static fixtures::SettingsFile ListeningSettings(quint16 port);

private:
    QTemporaryDir m_dir;
    QString m_program;
    QString m_data;
    bool m_ok = false;
};

// A client of the mobile protocol that waits by running the event loop, so it works against a
// server in the same process as well as against the program.
class WireClient {
public:
    WireClient();
    // Takes over a socket that is already connected (the relay's side).
    explicit WireClient(QTcpSocket* adopted);
    ~WireClient();
    bool Connect(quint16 port, int timeoutMs = 5000);
    void Write(const QByteArray& bytes);
    // The next reply up to and including its "<EOF>" (the marker itself as sent), "" when none
    // comes in time.
    QString ReadReply(int timeoutMs = 10000);
    // True once the server has closed the connection.
    bool WaitClosed(int timeoutMs = 5000);
    bool IsConnected() const;
    QTcpSocket& Socket() { return *m_socket; }

private:
    std::unique_ptr<QTcpSocket> m_socket;
    QByteArray m_received;
    bool m_closed = false;
};

// One request on a connection of its own: connects, sends the text, reads the reply and waits
// for the server to close the connection. `closed` tells whether it did.
QString Exchange(quint16 port, const QString& request, bool* closed = nullptr);

// The request texts the tests send (each with "<EOF>").
QString LoginText(const QString& mobileNo, const QString& imeiNo);
QString RequestText(const QString& action, const QString& mobileNo, const QString& imeiNo,
                    const QString& folderName = kCompany);

// A member of the JSON object at the start of a reply text ("" when missing).
QString Member(const QString& reply, const QString& name);

// The mobile-app version file served over HTTP on loopback; answers every GET with the status
// and body set here, and counts the requests.
class VersionServer : public QObject {
public:
    VersionServer();
    quint16 Port() const { return m_server.serverPort(); }
    QString BaseURL() const;
    int status = 200;
    QByteArray body = "AndroidVersion=3.4.5\r\niOSVersion=6.7.8\r\n";
    int requests = 0;
    QString lastPath;

private:
    QTcpServer m_server;
};

// Stores the base address of the version file in the per-user settings store of this process
// (section "frmMain", key "CalderwickURL").
void PointVersionURL(const QString& baseURL);

// A stand-in relay server: takes the program's outgoing connections and keeps them.
class Relay : public QObject {
public:
    Relay();
    ~Relay() override;
    quint16 Port() const { return m_server.serverPort(); }
    // Waits until `count` connections have been taken in.
    bool WaitConnections(int count, int timeoutMs = 10000);
    int ConnectionCount() const { return static_cast<int>(m_clients.size()); }
    WireClient* Connection(int index) { return m_clients.at(index).get(); }
    // The connection whose first message (the login) names this mobile; nullptr if none.
    WireClient* ConnectionOf(const QString& mobileNo, QString* loginText = nullptr);

private:
    QTcpServer m_server;
    std::vector<std::unique_ptr<WireClient>> m_clients;
    QList<QString> m_logins;
};

// The real program, copied into an installation and run on the offscreen platform with its
// own per-user settings folder, its own temporary folder (so its one-copy lock is its own),
// unattended message boxes, and a clock file the test can move.
class ServerProcess {
public:
    // `programFolder` replaces the installation's program folder (a wrong folder).
    explicit ServerProcess(const Installation& installation, const QString& programFolder = QString());
    // Another program of the installation (the log viewer), built at `binary`.
    ServerProcess(const Installation& installation, const QString& binary, const QString& name);
    ~ServerProcess();
    // Copies this process's settings store (the credentials) for the program, adds the
    // version address, and starts it.
    bool Start(const QString& versionBaseURL, const QStringList& arguments = {},
               const QProcessEnvironment& extra = QProcessEnvironment());
    // Waits until the text log holds `text`.
    bool WaitForLog(const QString& text, int timeoutMs = 15000) const;
    void SetClock(const QDateTime& now);
    // Ends the program at once, as a crash would.
    void Kill();
    // The program is started with these signals ignored, as a shell starts a background job
    // (SIGINT) or nohup starts a program (SIGHUP). Every other stop signal starts at its default.
    void IgnoreAtStart(const QList<int>& signalNumbers) { m_ignoredAtStart = signalNumbers; }
    QProcess& Process() { return m_process; }
    QString Output();
    // The program's temporary folder (where its one-copy lock lies).
    QString TempFolder() const { return m_home.path() + QStringLiteral("/tmp"); }
    // The lock file of a running copy of the server (of the viewer when `viewer` is set).
    QString LockFile(bool viewer = false) const;

private:
    const Installation& m_installation;
    QString m_programFolder;
    QString m_binary;  // the program copied into the folder, and its name there
    QString m_name;
    QTemporaryDir m_home;
    QString m_clockFile;
    QProcess m_process;
    QByteArray m_output;
    QList<int> m_ignoredAtStart;
};

// The real program on an installation of its own, set to listen on a free port with the
// default mobiles (Installation::ListeningSettings).
struct ListeningProgram {
    ListeningProgram();
    // Starts it and waits until it listens; false when it does not.
    bool Start(const QString& versionBaseURL, const QProcessEnvironment& extra = QProcessEnvironment());
    pid_t Pid() { return static_cast<pid_t>(server.Process().processId()); }

    Installation installation;
    quint16 port = 0;
    ServerProcess server;
};

}  // namespace servertest
