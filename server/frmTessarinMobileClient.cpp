#include "frmTessarinMobileClient.h"

#include "HandlingScope.h"
#include "ServerText.h"
#include "MsgBox.h"
#include "PressedByEnter.h"
#include "clsClient.h"
#include "clsSetup.h"
#include "core/RuntimeError.h"
#include "store/UserSettings.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QLockFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QEvent>
#include <QShowEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QTimerEvent>
#include <QVBoxLayout>

#include <iterator>

#if CORVANTIS_HAVE_SETUP_DIALOG
#include "frmMobileClientSetup.h"
#endif

#ifndef CORVANTIS_VERSION
#define CORVANTIS_VERSION "1.0.0"
#endif

using platform::RuntimeError;
using namespace server_text;

const QString frmTessarinMobileClient::kDefaultCalderwickHost = QStringLiteral("calderwick.com");

namespace {

qint64 EnvNumber(const char* name, qint64 fallback)
{
    bool ok = false;
    const qint64 value = qEnvironmentVariable(name).trimmed().toLongLong(&ok);
    return ok && value > 0 ? value : fallback;
}

// The pane shows one block per line of its text, lines being ended by CR LF only: any other
// line break inside an event text stays inside its line.
QString PaneDisplay(const QString& text)
{
    QString display = text;
    display.replace(kCrLf, QStringLiteral("\x01"));
    display.replace(QLatin1Char('\r'), QChar::LineSeparator);
    display.replace(QLatin1Char('\n'), QChar::LineSeparator);
    display.replace(QLatin1Char('\x01'), QLatin1Char('\n'));
    return display;
}

QString DefaultLockFilePath()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    return QDir::tempPath() + QStringLiteral("/TessarinMobileClient-") + user + QStringLiteral(".lock");
}

}  // namespace

ServerLimits ServerLimits::FromEnvironment()
{
    ServerLimits limits;
    limits.nMaxRequestBytes = EnvNumber("CORVANTIS_MAX_REQUEST_BYTES", limits.nMaxRequestBytes);
    limits.nMaxPendingBytes = EnvNumber("CORVANTIS_MAX_PENDING_BYTES", limits.nMaxPendingBytes);
    limits.nReceiveTimeoutMs = static_cast<int>(EnvNumber("CORVANTIS_RECEIVE_TIMEOUT_MS", limits.nReceiveTimeoutMs));
    limits.nVersionTimeoutMs = static_cast<int>(EnvNumber("CORVANTIS_VERSION_TIMEOUT_MS", limits.nVersionTimeoutMs));
    return limits;
}


// --- load --------------------------------------------------------------------------------

frmTessarinMobileClient::frmTessarinMobileClient(const Options& options, QWidget* parent)
    : QWidget(parent), m_options(options), m_limits(ServerLimits::FromEnvironment())
{
    if (m_options.programFolder.isEmpty())
        m_options.programFolder = QCoreApplication::applicationDirPath();
    if (m_options.arguments.isEmpty())
        m_options.arguments = QCoreApplication::arguments().mid(1);
    if (m_options.lockFilePath.isEmpty())
        m_options.lockFilePath = DefaultLockFilePath();
    BuildControls();
    m_requestLogTimer = new QTimer(this);
    m_requestLogTimer->setSingleShot(true);
    connect(m_requestLogTimer, &QTimer::timeout, this, &frmTessarinMobileClient::FlushRequestLog);
    Form_Load();
}

frmTessarinMobileClient::~frmTessarinMobileClient()
{
    if (!m_unloaded) {
        m_queryUnloadDone = true;  // a window destroyed without closing logs nothing more
        Form_Unload();
    }
}

void frmTessarinMobileClient::BuildControls()
{
    setWindowTitle(QStringLiteral("Tessarin Mobile SQL Client"));
    QFont font(QStringLiteral("Tahoma"));
    setFont(font);

    m_text0 = new QPlainTextEdit(this);
    m_text0->setObjectName(QStringLiteral("Text0"));
    m_text0->setReadOnly(true);
    m_text0->setToolTip(QStringLiteral("Display Progress of communication with server for mobiles."));
    m_text0->setLineWrapMode(QPlainTextEdit::NoWrap);

    const QString captions[4] = {QStringLiteral("Exit"), QStringLiteral("Login to Server"),
                                 QStringLiteral("Logout from Server"), QStringLiteral("Change Setting")};
    const QString tips[4] = {QStringLiteral("Click to Exit from Application."), QStringLiteral("Click to Login to Server."),
                             QStringLiteral("Click to Logout from Server."), QStringLiteral("Click to Change Setting.")};
    auto* buttons = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        m_cmdCommand[i] = new QPushButton(captions[i], this);
        m_cmdCommand[i]->setObjectName(QStringLiteral("cmdCommand%1").arg(i));
        m_cmdCommand[i]->setToolTip(tips[i]);
        connect(m_cmdCommand[i], &QPushButton::clicked, this, [this, i] { cmdCommand_Click(static_cast<qint16>(i)); });
        PressedByEnter(m_cmdCommand[i]);
    }
    m_testCommand = new QPushButton(QStringLiteral("Testing Command"), this);
    m_testCommand->setObjectName(QStringLiteral("TestCommand"));
    PressedByEnter(m_testCommand);
    connect(m_testCommand, &QPushButton::clicked, this, &frmTessarinMobileClient::TestCommand_Click);

    buttons->addWidget(m_cmdCommand[1]);
    buttons->addWidget(m_cmdCommand[2]);
    buttons->addWidget(m_cmdCommand[3]);
    buttons->addWidget(m_testCommand);
    buttons->addStretch();
    buttons->addWidget(m_cmdCommand[0]);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text0, 1);
    layout->addLayout(buttons);
    resize(820, 480);

    // Tab meets the buttons as they stand, left to right: Exit, at the far right, comes last
    // and is not the one a user tabbing past the pane lands on.
    QWidget* const order[] = {m_text0, m_cmdCommand[1], m_cmdCommand[2], m_cmdCommand[3], m_testCommand,
                              m_cmdCommand[0]};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    m_tcp = new TCPClient(this);
    m_tcp->setObjectName(QStringLiteral("TCPClient"));
    connect(m_tcp, &TCPClient::ConnectionRequest, this, &frmTessarinMobileClient::TCPClient_ConnectionRequest);
    connect(m_tcp, &TCPClient::DataArrival, this, &frmTessarinMobileClient::TCPClient_DataArrival);
    connect(m_tcp, &TCPClient::SendComplete, this, &frmTessarinMobileClient::TCPClient_SendComplete);
    connect(m_tcp, &TCPClient::CloseEvent, this, [this](qint16 index) {
        HandlingScope scope(this);
        TCPClient_Close(index);
    });
    connect(m_tcp, &TCPClient::Error, this, &frmTessarinMobileClient::TCPClient_Error);
    connect(m_tcp, &TCPClient::Connected, this, &frmTessarinMobileClient::TCPClient_Connect);
    connect(m_tcp, &TCPClient::AcceptError, this, [this](const QString& description) {
        ShowEvent(QStringLiteral("Unable to accept connection. Message : ") + description
                  + QStringLiteral(" Accepting paused until a descriptor is free."));
    });
}

QPushButton* frmTessarinMobileClient::Command(int index) const
{
    return index >= 0 && index < 4 ? m_cmdCommand[index] : nullptr;
}

void frmTessarinMobileClient::Form_Load()
{
    // The tables and the settings object come first: the refusals below close a window that
    // has them.
    m_ownMobiles.ReDim(0, -1, 0, 4);
    xMobiles = &m_ownMobiles;
    xLoginSessions.ReDim(0, -1, 0, 2);
    try {
        Setup = std::make_unique<clsSetup>(m_options.programFolder);
    } catch (const RuntimeError& e) {
        ReportFailure(QStringLiteral("Form_Load"), e.Number(), e.Description());
        CloseForm(1);
        return;
    }
    connect(Setup.get(), &clsSetup::Message, this, &frmTessarinMobileClient::Setup_Message);
    connect(Setup.get(), &clsSetup::ShowEvents, this, &frmTessarinMobileClient::Setup_ShowEvents);

    // One running copy per user, whatever its folder.
    auto lock = std::make_unique<QLockFile>(m_options.lockFilePath);
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        ShowMessage(QStringLiteral("Tessarin Mobile Client is already running."), MsgBox::vbExclamation, Caption());
        CloseForm(1);
        return;
    }
    m_instanceLock = std::move(lock);

    if (!IsExecutingFromIDE()) {
        const QString literal = QStringLiteral("CALDERWICK/Corvantis");
        const QString folder = QDir::fromNativeSeparators(m_options.programFolder);
        if (folder.right(literal.size()).toUpper() != literal.toUpper()) {
            ShowMessage(QStringLiteral("Application must be in CALDERWICK\\Corvantis Folder."), MsgBox::vbExclamation,
                        QString());
            CloseForm(1);
            return;
        }
    }

    m_firstActivationDone = false;
    m_testCommand->setVisible(IsExecutingFromIDE());
    m_testingMode = IsExecutingFromIDE();
    if (m_options.arguments.join(QLatin1Char(' ')).contains(QStringLiteral("/TestMode"), Qt::CaseInsensitive))
        m_testingMode = true;
}

// --- activation ----------------------------------------------------------------------------

void frmTessarinMobileClient::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    SchedulePaneSync();
    if (!m_firstActivationDone && !m_activating && !m_unloaded)
        QMetaObject::invokeMethod(this, &frmTessarinMobileClient::Form_Activate, Qt::QueuedConnection);
}

QString frmTessarinMobileClient::Caption() const
{
    return windowTitle();
}

void frmTessarinMobileClient::Form_Activate()
{
    if (m_firstActivationDone || m_activating || m_unloaded)
        return;
    m_activating = true;
    bool ok = false;
    try {
        const QStringList parts = QStringLiteral(CORVANTIS_VERSION).split(QLatin1Char('.'));
        const QString version = QStringLiteral("%1.%2.%3")
                                    .arg(parts.value(0).toInt())
                                    .arg(parts.value(1).toInt())
                                    .arg(parts.value(2).toInt());
        if (!windowTitle().contains(version, Qt::CaseInsensitive))
            setWindowTitle(windowTitle() + QStringLiteral(" (") + version + QLatin1Char(')'));

        m_lIsCalderwickSecuredURL = TextIsTrue(platform::store::GetSetting(
            QStringLiteral("Tessarin"), QStringLiteral("frmMain"), QStringLiteral("IsCalderwickSecuredURL"),
            QStringLiteral("False")));

        if (!Setup->GetSettings() || m_unloaded) {
            CloseForm(1);
        } else if (!Setup->GetCompanyList() || m_unloaded) {
            CloseForm(1);
        } else if (!Setup->CheckLogData() || m_unloaded) {
            CloseForm(1);
        } else {
            // Rows a run that stopped short left in the journal reach the table before new ones.
            Setup->OpenRequestJournal(Setup->ProgramFolder() + QStringLiteral("/RequestLog.journal"));
            ScheduleRequestLogFlush(kRequestLogRetry);  // what the table did not take then
            ApplySettings();
            cAndroidVersion = QStringLiteral("2.1.2");
            cIOSVersion = QStringLiteral("2.1.2");
            GetMobileAppVersions();
            if (m_unloaded) {
                // closed while the version file was on its way
            } else if (!cAndroidVersion.isEmpty() && !cIOSVersion.isEmpty()) {
                if (Setup->lAutoStart) {
                    cmdCommand_Click(1);
                    if (!m_unloaded)
                        showMinimized();
                }
                m_firstActivationDone = true;
                ok = !m_unloaded;
            } else {
                ShowMessage(QStringLiteral("Unable to get mobile app version.") + kCrLf
                                + QStringLiteral("Please call support team."),
                            MsgBox::vbExclamation, Caption());
                CloseForm(1);
            }
        }
    } catch (const RuntimeError& e) {
        m_firstActivationDone = true;
        ReportFailure(QStringLiteral("Form_Activate"), e.Number(), e.Description());
        ok = !m_unloaded;
    } catch (const std::exception& e) {
        m_firstActivationDone = true;
        ReportFailure(QStringLiteral("Form_Activate"), 0, QString::fromLocal8Bit(e.what()));
        ok = !m_unloaded;
    }
    m_activating = false;
    emit StartupFinished(ok);
}

void frmTessarinMobileClient::ApplySettings()
{
    xMobiles = &Setup->xMobiles;
    EnableCommands();
    SetModeCaptions();
    if (!Setup->lSettingFound)
        return;
    if (Setup->lConnectionParemeterChanged) {
        if (IsWorking()) {
            ShowMessage(QStringLiteral("Configuration parameter has changed. Now it will close all active connection."),
                        MsgBox::vbExclamation, Caption());
            // Work stops the way it was started: the listener with its connections, or the relay
            // connections. Nothing goes on under the old address or port.
            if (m_tcp->IsListening())
                StopAccepting(false);
            else
                LogoutFromServer(false);
            CloseAllConnections();
        }
        // The change has been applied; a later return from the dialog without a new change
        // must not close the connections again.
        Setup->lConnectionParemeterChanged = false;
    }
    Setup->LogEvents();
}

void frmTessarinMobileClient::EnableCommands()
{
    m_cmdCommand[1]->setEnabled(Setup->lSettingFound);
    m_cmdCommand[2]->setEnabled(Setup->lSettingFound);
}

void frmTessarinMobileClient::SetModeCaptions()
{
    if (Setup->lStaticIP) {
        m_cmdCommand[1]->setText(QStringLiteral("Start Accepting"));
        m_cmdCommand[1]->setToolTip(QStringLiteral("Click to Start Accepting incoming connection."));
        m_cmdCommand[2]->setText(QStringLiteral("Stop Accepting"));
        m_cmdCommand[2]->setToolTip(QStringLiteral("Click to Stop Accepting incoming connection."));
    } else {
        m_cmdCommand[1]->setText(QStringLiteral("Login to Server"));
        m_cmdCommand[1]->setToolTip(QStringLiteral("Click to Login to Server."));
        m_cmdCommand[2]->setText(QStringLiteral("Logout from Server"));
        m_cmdCommand[2]->setToolTip(QStringLiteral("Click to Logout from Server."));
    }
}

// --- commands ------------------------------------------------------------------------------

void frmTessarinMobileClient::cmdCommand_Click(qint16 Index)
{
    if (m_unloaded)
        return;
    try {
        switch (Index) {
        case 0: {
            const int answer = ShowMessage(QStringLiteral("Exiting from Application will close all active connection.")
                                               + kCrLf + QStringLiteral("Really you want to continue."),
                                           MsgBox::vbYesNo + MsgBox::vbQuestion + MsgBox::vbDefaultButton2, QString());
            if (answer != MsgBox::vbNo && !m_unloaded) {
                cmdCommand_Click(2);
                CloseForm(0);
            }
            break;
        }
        case 1:
            if (Setup->lStaticIP)
                StartAccepting();
            else
                LoginToServer(QString());
            break;
        case 2:
            StopWork(true);
            break;
        case 3: {
#if CORVANTIS_HAVE_SETUP_DIALOG
            m_dialogOpen = true;
            m_registeredWhileDialogOpen.clear();
            {
                frmMobileClientSetup dialog(Setup.get(), this);
                dialog.exec();
            }
            m_dialogOpen = false;
#endif
            // The dialog edited lists it had copied before these IMEI numbers were registered;
            // whatever it saved, the registrations stand.
            for (auto it = m_registeredWhileDialogOpen.constBegin(); it != m_registeredWhileDialogOpen.constEnd(); ++it)
                RegisterIMEINo(it.key(), it.value());
            m_registeredWhileDialogOpen.clear();
            if (!m_unloaded)
                ApplySettings();
            break;
        }
        default:
            break;
        }
    } catch (const RuntimeError& e) {
        ReportFailure(QStringLiteral("cmdCommand_Click"), e.Number(), e.Description());
    } catch (const std::exception& e) {
        ReportFailure(QStringLiteral("cmdCommand_Click"), 0, QString::fromLocal8Bit(e.what()));
    }
}

void frmTessarinMobileClient::StopWork(bool ask)
{
    if (m_tcp->IsListening() || Setup->lStaticIP)
        StopAccepting(ask);
    else
        LogoutFromServer(ask);
}

void frmTessarinMobileClient::CloseFromOutside()
{
    if (m_unloaded || m_closingFromOutside)
        return;
    m_closingFromOutside = true;
    try {
        StopWork(false);
    } catch (const RuntimeError& e) {
        ReportFailure(QStringLiteral("CloseFromOutside"), e.Number(), e.Description());
    } catch (const std::exception& e) {
        ReportFailure(QStringLiteral("CloseFromOutside"), 0, QString::fromLocal8Bit(e.what()));
    }
    // The program is ended by another one (a service manager, the terminal), as the Task
    // Manager ends it on Windows.
    CloseForm(0, vbAppTaskManager);
}

void frmTessarinMobileClient::TestCommand_Click()
{
    try {
        clsClient client;
        client.lTestingMode = m_testingMode;
        client.Setup = Setup.get();
        const QString request = MakeJsonText(
            {QStringLiteral("Action"), QStringLiteral("DashBoard"), QStringLiteral("MobileNo"), m_options.testMobileNo,
             QStringLiteral("IMEINo"), QStringLiteral("1234567890"), QStringLiteral("UserID"), QStringLiteral("pemo"),
             QStringLiteral("Password"), QStringLiteral("pemo"), QStringLiteral("FolderName"), m_options.testFolderName,
             QStringLiteral("StartDate"), QStringLiteral("1899-12-30"), QStringLiteral("LastDate"),
             QStringLiteral("1899-12-30"), QStringLiteral("BranchCode"), QString(), QStringLiteral("StoreCode"),
             QString()});
        platform::JsonObject object;
        object.Load(request);
        object.Load(client.GetData(object));
        const QString emitted = object.Emit(false);
        m_paneText = emitted;
        m_paneBreaks = emitted.count(kCrLf);
        m_paneRebuild = true;
        SyncPane();
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setText(emitted);
    } catch (const RuntimeError& e) {
        ReportFailure(QStringLiteral("TestCommand_Click"), e.Number(), e.Description());
    } catch (const std::exception& e) {
        ReportFailure(QStringLiteral("TestCommand_Click"), 0, QString::fromLocal8Bit(e.what()));
    }
}

// --- event pane ----------------------------------------------------------------------------

void frmTessarinMobileClient::ShowEvent(const QString& text)
{
    try {
        if (!m_paneText.isEmpty() && m_paneBreaks > 100) {
            const qsizetype end = m_paneText.indexOf(kCrLf);
            m_paneText.remove(0, end + 2);
            --m_paneBreaks;
            ++m_paneDrop;
        }
        m_paneText += text + kCrLf;
        m_paneBreaks += text.count(kCrLf) + 1;
        m_paneAppend += PaneDisplay(text) + QLatin1Char('\n');
        SchedulePaneSync();
    } catch (...) {
        // the pane never stops its caller; the line still goes to the text log
    }
    if (Setup)
        Setup->AppendLog(text);
}

// The widget follows the pane's text at most once every 200 ms, not once per line, and not at
// all while the window is minimised or hidden: under load, painting the pane was most of the
// work of an event line.
void frmTessarinMobileClient::SchedulePaneSync()
{
    if (m_paneSyncQueued)
        return;
    m_paneSyncQueued = true;
    constexpr qint64 kPaneInterval = 200;
    const qint64 since = m_paneLastSync.isValid() ? m_paneLastSync.elapsed() : kPaneInterval;
    if (since >= kPaneInterval)
        QMetaObject::invokeMethod(this, &frmTessarinMobileClient::SyncPane, Qt::QueuedConnection);
    else
        QTimer::singleShot(kPaneInterval - since, this, &frmTessarinMobileClient::SyncPane);
}

void frmTessarinMobileClient::SyncPane()
{
    m_paneSyncQueued = false;
    m_paneLastSync.start();
    if (!isVisible() || isMinimized()) {
        m_paneRebuild = true;
        m_paneDrop = 0;
        m_paneAppend.clear();
        return;
    }
    QTextDocument* document = m_text0->document();
    const int widgetLines = document->blockCount() - 1;
    if (m_paneRebuild || m_paneDrop >= widgetLines) {
        m_text0->setPlainText(PaneDisplay(m_paneText));
    } else {
        if (m_paneDrop > 0) {
            QTextCursor first(document);
            first.movePosition(QTextCursor::Start);
            first.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, m_paneDrop);
            first.removeSelectedText();
        }
        QTextCursor last(document);
        last.movePosition(QTextCursor::End);
        last.insertText(m_paneAppend);
    }
    m_paneRebuild = false;
    m_paneDrop = 0;
    m_paneAppend.clear();
    QTextCursor end(document);
    end.movePosition(QTextCursor::End);
    m_text0->setTextCursor(end);
}

void frmTessarinMobileClient::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !isMinimized() && m_paneRebuild)
        SchedulePaneSync();
}

QString frmTessarinMobileClient::PaneText() const
{
    return m_paneText;
}

// --- messages ------------------------------------------------------------------------------

int frmTessarinMobileClient::ShowMessage(const QString& prompt, int style, const QString& title)
{
    if (m_handlingDepth > 0 || m_closingFromOutside) {
        ShowEvent(prompt);
        return MsgBox::DefaultAnswer(style);
    }
    // Where no one can answer a box, it is written to the event pane and the text log as well
    // and answered at once with its default button.
    if (MsgBox::Unattended())
        ShowEvent(QStringLiteral("Message box: ") + prompt);
    return MsgBox::Show(this, prompt, style, title);
}

void frmTessarinMobileClient::ReportFailure(const QString& where, long number, const QString& description)
{
    const QString text = QStringLiteral("Error No.") + QString::number(number) + QStringLiteral(" - ") + description
                         + QStringLiteral(" (") + where + QLatin1Char(')');
    if (Setup)
        Setup->AppendLog(text);
    ShowMessage(text, MsgBox::vbCritical, Caption());
}

void frmTessarinMobileClient::Setup_Message(const QString& pMsgSource, const QString& pMsgDataField, qint32 pMsgNumber,
                                            const QString& pMsgDescription, qint32 pMsgButton, qint32 pCancelButton,
                                            bool* pCancel, bool pSetFocus)
{
    Q_UNUSED(pMsgSource);
    Q_UNUSED(pMsgDataField);
    Q_UNUSED(pMsgNumber);
    Q_UNUSED(pSetFocus);
    const int answer = ShowMessage(pMsgDescription, pMsgButton, Caption());
    if (pCancel)
        *pCancel = answer == pCancelButton;
}

void frmTessarinMobileClient::Setup_ShowEvents(const QString& pText)
{
    ShowEvent(pText);
}

// --- closing -------------------------------------------------------------------------------

void frmTessarinMobileClient::CloseForm(int exitCode, UnloadMode mode)
{
    if (m_unloaded)
        return;
    if (exitCode != 0)
        m_exitCode = exitCode;
    if (!m_queryUnloadDone)
        Form_QueryUnload(mode);
    Form_Unload();
    hide();
    emit Unloaded(m_exitCode);
}

void frmTessarinMobileClient::closeEvent(QCloseEvent* event)
{
    if (!m_unloaded) {
        if (!m_queryUnloadDone)
            Form_QueryUnload(event->spontaneous() ? vbFormControlMenu : vbFormCode);
        Form_Unload();
        emit Unloaded(m_exitCode);
    }
    event->accept();
}

void frmTessarinMobileClient::Form_QueryUnload(int UnloadMode)
{
    m_queryUnloadDone = true;
    if (!Setup)
        return;
    if (Setup->lSettingChanged) {
        ShowMessage(QStringLiteral("Mobile IMEI No. has changed.") + kCrLf + QStringLiteral("It will save setting again."),
                    MsgBox::vbInformation, Caption());
        Setup->SaveSettings();
    }
    static const char* const kModes[] = {
        "The user chose the Close command from the Control menu on the form.",
        "The Unload statement is invoked from code.",
        "The current Microsoft Windows operating environment session is ending.",
        "The Microsoft Windows Task Manager is closing the application.",
        "An MDI child form is closing because the MDI form is closing.",
        "A form is closing because its owner is closing.",
    };
    const QString text = UnloadMode >= 0 && UnloadMode <= 5 ? QString::fromLatin1(kModes[UnloadMode]) : QString();
    Setup->AppendLog(QStringLiteral("Form is unloading by method : ") + text);
}

void frmTessarinMobileClient::ScheduleRequestLogFlush(int delayMs)
{
    if (Setup && Setup->RequestLogPending() && !m_requestLogTimer->isActive())
        m_requestLogTimer->start(delayMs);
}

void frmTessarinMobileClient::FlushRequestLog()
{
    if (m_handlingDepth > 0) {
        m_requestLogTimer->start(kRequestLogDelay);
        return;
    }
    Setup->FlushRequestLog();
    // Tried again later while the table does not take them.
    ScheduleRequestLogFlush(kRequestLogRetry);
}

void frmTessarinMobileClient::Form_Unload()
{
    m_unloaded = true;
    m_requestLogTimer->stop();
    if (Setup)
        Setup->FlushRequestLog();
    for (auto it = m_timerSlots.constBegin(); it != m_timerSlots.constEnd(); ++it)
        killTimer(it.key());
    m_timerSlots.clear();
    m_receiveTimers.clear();
    if (m_tcp) {
        m_tcp->CloseAll();
        m_tcp->CloseListener();
    }
    SendStartTimes.clear();
    ReceiveStartTimes.clear();
    ReceiveBuffers.clear();
    ReceivingFlags.clear();
    ProcessingFlags.clear();
    ClientActions.clear();
    MobileIndexes.clear();
    m_scanFrom.clear();
    m_requestTaken.clear();
    m_relayBound.clear();
    m_relayIMEINo.clear();
    if (m_instanceLock)
        m_instanceLock->unlock();
    m_instanceLock.reset();
}

// --- helpers -------------------------------------------------------------------------------

QString frmTessarinMobileClient::MakeJsonText(const QVariantList& pairs)
{
    return clsClient::MakeJsonText(pairs);
}

QString frmTessarinMobileClient::CalderwickURL() const
{
    QString address = platform::store::GetSetting(QStringLiteral("Tessarin"), QStringLiteral("frmMain"),
                                                  QStringLiteral("CalderwickURL"))
                          .trimmed();
    if (address.isEmpty()) {
        const QString host = platform::store::GetSetting(QStringLiteral("Tessarin"), QStringLiteral("frmMain"),
                                                         QStringLiteral("CalderwickHost"), kDefaultCalderwickHost)
                                 .trimmed();
        address = m_lIsCalderwickSecuredURL ? QStringLiteral("https://") + host : QStringLiteral("http://www.") + host;
    }
    while (address.endsWith(QLatin1Char('/')))
        address.chop(1);
    return address;
}
