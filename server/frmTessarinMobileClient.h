#pragma once

#include "TCPClient.h"
#include "json/Json.h"
#include "table/XArrayDB.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QWidget>

#include <functional>
#include <memory>

class clsSetup;
class QPlainTextEdit;
class QPushButton;

// Limits that keep one client from holding a connection slot for ever. Read once from the
// environment when the window is created, so that tests can lower them:
//   CORVANTIS_MAX_REQUEST_BYTES     longest request text without its end marker (4 MiB)
//   CORVANTIS_MAX_PENDING_BYTES     all unfinished requests of all connections together (64 MiB)
//   CORVANTIS_RECEIVE_TIMEOUT_MS    time an accepted connection has to complete its request (120 s)
//   CORVANTIS_VERSION_TIMEOUT_MS    time the mobile-app version file may take to arrive (10 s)
struct ServerLimits {
    qint64 nMaxRequestBytes = 4 * 1024 * 1024;
    qint64 nMaxPendingBytes = 64 * 1024 * 1024;
    int nReceiveTimeoutMs = 120000;
    int nVersionTimeoutMs = 10000;
    int nRelayConnectWaitMs = 3000;
    static ServerLimits FromEnvironment();
};

// How a window is started: the delivered program takes the defaults; tests name their own
// folders and lock.
struct ServerWindowOptions {
    QString programFolder;          // empty: the folder of the running program
    QStringList arguments;          // empty: the program's command line (without the program)
    QString lockFilePath;           // empty: the per-user lock of the running copy
    bool executingFromIDE = false;  // a development run; never set by the delivered program
    // The built-in test request of a development run names these.
    QString testMobileNo = QStringLiteral("9999999999");
    QString testFolderName = QStringLiteral("DEMO");
};

// The main and start-up window of Corvantis: the event pane, the four commands, the socket
// array with its "<EOF>" framing, the mobile login and the routing of every request to a
// clsClient, the listening and relay modes, and the fetch of the mobile-app versions.
// Everything runs on the thread of the event loop.
class frmTessarinMobileClient : public QWidget {
    Q_OBJECT
public:
    using Options = ServerWindowOptions;

    explicit frmTessarinMobileClient(const Options& options = Options(), QWidget* parent = nullptr);
    ~frmTessarinMobileClient() override;

    bool IsExecutingFromIDE() const { return m_options.executingFromIDE; }
    bool CheckMobileNo(const QString& pMobileNo, const QString& pIMEINo) const;
    qint16 GetTCPIndex(const QString& pMobileNo) const;

    // Builds one reply or link message from alternating names and values, ending in "<EOF>".
    static QString MakeJsonText(const QVariantList& pairs);

    bool IsCalderwickSecuredURL() const { return m_lIsCalderwickSecuredURL; }
    void SetIsCalderwickSecuredURL(bool pIsCalderwickSecuredURL) { m_lIsCalderwickSecuredURL = pIsCalderwickSecuredURL; }
    // The web base address of the maker's site (scheme and host, no trailing slash). The
    // per-user settings of application "Tessarin", section "frmMain", choose it: "CalderwickURL"
    // replaces it whole when set (for example http://127.0.0.1:8080); otherwise it is built
    // from "CalderwickHost" (default kDefaultCalderwickHost) as https://host when
    // IsCalderwickSecuredURL is set and http://www.host when not.
    QString CalderwickURL() const;
    static const QString kDefaultCalderwickHost;

    // --- state for the program and for tests
    bool IsUnloaded() const { return m_unloaded; }
    bool IsStarted() const { return m_firstActivationDone; }
    int ExitCode() const { return m_exitCode; }
    bool TestingMode() const { return m_testingMode; }
    QString AndroidVersion() const { return cAndroidVersion; }
    QString IOSVersion() const { return cIOSVersion; }
    clsSetup* GetSetup() const { return Setup.get(); }
    TCPClient* Sockets() const { return m_tcp; }
    const platform::XArrayDB& LoginSessions() const { return xLoginSessions; }
    QPlainTextEdit* EventPane() const { return m_text0; }
    // The pane's text, its lines ended by CR LF.
    QString PaneText() const;
    QPushButton* Command(int index) const;
    QPushButton* TestCommandButton() const { return m_testCommand; }
    const ServerLimits& Limits() const { return m_limits; }

    // How a close began, as Form_QueryUnload tells it in the text log.
    enum UnloadMode { vbFormControlMenu = 0, vbFormCode = 1, vbAppWindows = 2, vbAppTaskManager = 3, vbFormMDIForm = 4,
                      vbFormOwner = 5 };

public slots:
    void cmdCommand_Click(qint16 Index);
    void TestCommand_Click();
    // A close asked from outside the program (a stop signal): the Exit button's way without
    // its question, and nothing on the way waits for a user.
    void CloseFromOutside();

signals:
    // The start-up of the first activation ended: true when the window runs on.
    void StartupFinished(bool ok);
    // The window has been unloaded; the program ends with ExitCode().
    void Unloaded(int exitCode);

protected:
    void showEvent(class QShowEvent* event) override;
    void closeEvent(class QCloseEvent* event) override;
    void timerEvent(class QTimerEvent* event) override;
    void changeEvent(class QEvent* event) override;

private:
    // --- window life
    void BuildControls();
    void Form_Load();
    void Form_Activate();
    void ApplySettings();
    void EnableCommands();
    void SetModeCaptions();
    void ShowEvent(const QString& text);
    void SchedulePaneSync();
    void SyncPane();
    void CloseForm(int exitCode = 0, UnloadMode mode = vbFormCode);
    void Form_QueryUnload(int UnloadMode);
    // Stops work the way it was started: the listener with its connections, or the relay
    // connections; `ask` puts the close-all question first.
    void StopWork(bool ask);
    void Form_Unload();
    QString Caption() const;
    // A message box, or, while a socket event or a request is being handled, an event line
    // (answered with the default button) so that nothing waits for a user there.
    int ShowMessage(const QString& prompt, int style, const QString& title);
    void ReportFailure(const QString& where, long number, const QString& description);

    void Setup_Message(const QString& pMsgSource, const QString& pMsgDataField, qint32 pMsgNumber,
                       const QString& pMsgDescription, qint32 pMsgButton, qint32 pCancelButton, bool* pCancel,
                       bool pSetFocus);
    void Setup_ShowEvents(const QString& pText);

    // --- connection slots and framing
    void TCPClient_ConnectionRequest(qint16 Index, qint32 requestID);
    void TCPClient_DataArrival(qint16 Index, qint64 bytesTotal);
    void TCPClient_SendComplete(qint16 Index);
    void TCPClient_Close(qint16 Index);
    void TCPClient_Error(qint16 Index, qint32 Number, const QString& Description);
    void TCPClient_Connect(qint16 Index);
    void ProcessReceived(qint16 slot);
    bool EnforcePendingLimit(qint16 slot);
    void DataArrivalFailed(qint16 slot, long number, const QString& description);
    void SendReply(qint16 slot, const QString& text);
    // The engine's reply, given in UTF-8 (clsClient::Answer).
    void SendUtf8Reply(qint16 slot, const QByteArray& utf8);
    void SendWireReply(qint16 slot, const std::function<QByteArray()>& wire);
    void ForgetClient(qint16 slot, const QString& mobileNo);
    qint16 GetFreeClientIndex() const;
    static bool IsEndOfData(const QString& text);
    void MarkReceiveStart(qint16 slot, bool reset);
    void MarkSendStart(qint16 slot, bool reset);
    void AppendReceived(qint16 slot, const QString& text);
    void StartReceiveTimer(qint16 slot);
    void StopReceiveTimer(qint16 slot);
    bool IsRelaySlot(qint16 slot) const;

    // --- request routing and login
    void ProcessRequest(qint16 slot, const QString& text);
    // The request log's journal goes into the table a moment after the requests, in one
    // transaction for all of them, and never while a request is being handled.
    static constexpr int kRequestLogDelay = 100;    // ms after a request
    static constexpr int kRequestLogRetry = 5000;   // ms after a move that failed
    void ScheduleRequestLogFlush(int delayMs);
    void FlushRequestLog();
    QString GetRequestAction(qint16 slot, const platform::JsonObject& request);
    void HandleMobileLogin(qint16 slot, const platform::JsonObject& request);
    void HandleServerLoginReply(qint16 slot, const platform::JsonObject& request);
    bool CheckLoginSession(qint16 slot, const platform::JsonObject& request);
    bool CheckRelayRequest(qint16 slot, const platform::JsonObject& request);
    bool ValidateRequest(qint16 slot, const platform::JsonObject& request);
    void RecordLoginSession(const QString& mobileNo, const QString& imeiNo);
    void RegisterIMEINo(const QString& mobileNo, const QString& imeiNo);
    void SaveRegisteredIMEINo(const QString& mobileNo, const QString& imeiNo);
    void SendFormatError(qint16 slot, const QString& action, const QString& mobileNo, long number,
                         const QString& description, bool markClose);

    // --- listening and relay modes
    void StartAccepting();
    void StopAccepting(bool ask = true);
    void LoginToServer(const QString& mobileNo);
    void LogoutFromServer(bool ask = true);
    bool ConfirmCloseAll();
    void CloseAllConnections();
    bool IsWorking() const;

    // --- mobile-app versions
    void GetMobileAppVersions();
    QString VersionFilePath() const;

    // --- members
    Options m_options;
    ServerLimits m_limits;
    std::unique_ptr<clsSetup> Setup;
    TCPClient* m_tcp = nullptr;
    std::unique_ptr<class QLockFile> m_instanceLock;

    QHash<qint16, double> SendStartTimes;
    QHash<qint16, double> ReceiveStartTimes;
    QHash<qint16, QString> ReceiveBuffers;
    QHash<qint16, bool> ReceivingFlags;
    QHash<qint16, bool> ProcessingFlags;
    QHash<qint16, QString> ClientActions;
    QHash<QString, qint16> MobileIndexes;

    // Per-slot state beside the dictionaries: where the search for the end marker goes on,
    // whether a listening connection has had its one request, the relay bindings, and the
    // receive deadline of an accepted connection.
    QHash<qint16, qsizetype> m_scanFrom;
    QSet<qint16> m_requestTaken;
    QSet<qint16> m_relayBound;
    QHash<qint16, QString> m_relayIMEINo;
    QHash<qint16, int> m_receiveTimers;
    QHash<int, qint16> m_timerSlots;

    bool m_dialogOpen = false;
    QHash<QString, QString> m_registeredWhileDialogOpen;  // mobile number to IMEI number

    platform::XArrayDB m_ownMobiles;
    platform::XArrayDB* xMobiles = nullptr;
    platform::XArrayDB xLoginSessions;

    bool m_testingMode = false;
    bool m_firstActivationDone = false;
    bool m_activating = false;
    bool m_lIsCalderwickSecuredURL = false;
    bool lAcceptLock = false;
    // Counts the stops of work (StopAccepting, LogoutFromServer): a relay login run that waits
    // for a connection while work is stopped ends there instead of connecting further mobiles.
    quint64 m_workStops = 0;
    QString cAndroidVersion;
    QString cIOSVersion;

    int m_handlingDepth = 0;  // > 0 while a socket event or a request is being handled
    class QTimer* m_requestLogTimer = nullptr;
    bool m_unloaded = false;
    bool m_queryUnloadDone = false;
    bool m_closingFromOutside = false;
    int m_exitCode = 0;

    QPlainTextEdit* m_text0 = nullptr;
    QPushButton* m_cmdCommand[4] = {nullptr, nullptr, nullptr, nullptr};
    QPushButton* m_testCommand = nullptr;
    qsizetype m_paneBreaks = 0;
    QString m_paneText;
    // What the widget has not shown yet: lines dropped from the top, text added at the end.
    int m_paneDrop = 0;
    QString m_paneAppend;
    bool m_paneRebuild = false;
    bool m_paneSyncQueued = false;
    QElapsedTimer m_paneLastSync;  // when the widget last followed the pane

    friend class HandlingScope;
    friend class ServerWindowTest;  // reaches SendReply directly
};
