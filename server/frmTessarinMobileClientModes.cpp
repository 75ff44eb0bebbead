// Starting and stopping work: the listener of the listening mode and the outgoing connections
// of the relay mode.
#include "frmTessarinMobileClient.h"

#include "MsgBox.h"
#include "ServerText.h"
#include "clsSetup.h"
#include "core/RuntimeError.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

using platform::RuntimeError;
using namespace server_text;

namespace {
// A port text as the commands take it: a whole number from 1 to 65535.
bool PortOf(const QString& text, quint16& port)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 1 || value > 65535)
        return false;
    port = static_cast<quint16>(value);
    return true;
}
}  // namespace

bool frmTessarinMobileClient::IsWorking() const
{
    return m_tcp->IsListening() || m_tcp->Count() > 1;
}

void frmTessarinMobileClient::StartAccepting()
{
    ShowEvent(QStringLiteral("Start Accepting Connection for mobile clients."));
    quint16 port = 0;
    if (!PortOf(Setup->cLocalPort, port)) {
        ShowEvent(QStringLiteral("Unable to Start Accepting Connection on Local Port : ") + Setup->cLocalPort
                  + QStringLiteral(" Message : the port must be a number from 1 to 65535."));
        return;
    }
    if (!m_tcp->Listen(port)) {
        ShowEvent(QStringLiteral("Unable to Start Accepting Connection on Local Port : ") + QString::number(port)
                  + QStringLiteral(" Message : ") + m_tcp->ListenError());
        return;
    }
    lAcceptLock = false;
}

bool frmTessarinMobileClient::ConfirmCloseAll()
{
    if (ProcessingFlags.size() <= 1)
        return true;
    const int answer = ShowMessage(QStringLiteral("Processing of some client is going on.") + kCrLf
                                       + QStringLiteral("Really you want to close all connection."),
                                   MsgBox::vbYesNo + MsgBox::vbQuestion + MsgBox::vbDefaultButton2, Caption());
    return answer != MsgBox::vbNo;
}

void frmTessarinMobileClient::CloseAllConnections()
{
    const QList<qint16> indexes = m_tcp->Indexes();
    for (qint16 slot : indexes)
        TCPClient_Close(slot);
}

void frmTessarinMobileClient::StopAccepting(bool ask)
{
    if (ask && !ConfirmCloseAll())
        return;
    if (m_unloaded)
        return;
    ++m_workStops;
    try {
        ShowEvent(QStringLiteral("Stop Accepting Connection for mobile clients."));
        m_tcp->CloseListener();
        CloseAllConnections();
    } catch (const RuntimeError& e) {
        ShowMessage(QStringLiteral("Error while closing all connection.") + kCrLf + QStringLiteral("Error No.")
                        + platform::ErrorLine(e),
                    MsgBox::vbCritical, QString());
    }
}

void frmTessarinMobileClient::LogoutFromServer(bool ask)
{
    if (ask && !ConfirmCloseAll())
        return;
    if (m_unloaded)
        return;
    ++m_workStops;
    try {
        CloseAllConnections();
    } catch (const RuntimeError& e) {
        ShowMessage(QStringLiteral("Error while closing all connection.") + kCrLf + QStringLiteral("Error No.")
                        + platform::ErrorLine(e),
                    MsgBox::vbCritical, QString());
    }
}

void frmTessarinMobileClient::LoginToServer(const QString& mobileNo)
{
    if (mobileNo.isEmpty() && m_tcp->Count() > 1) {
        ShowMessage(QStringLiteral("Already Connected to Server.") + kCrLf
                        + QStringLiteral("Please click logout and click Login Again."),
                    MsgBox::vbExclamation, QString());
        return;
    }
    // Outgoing connections only; whatever listened before stops first.
    if (m_tcp->IsListening())
        m_tcp->CloseListener();
    quint16 port = 0;
    if (!PortOf(Setup->cRemotePort, port)) {
        ShowEvent(QStringLiteral("Unable to Login to Server : ") + Setup->cRemoteIP + QStringLiteral(" Remote Port : ")
                  + Setup->cRemotePort + QStringLiteral(" Message : the port must be a number from 1 to 65535."));
        return;
    }
    const QString remoteIP = Setup->cRemoteIP;
    const QString dongleNo = Setup->cDongleNo;
    const quint64 workStops = m_workStops;
    for (int row = xMobiles->LowerBound(1); row <= xMobiles->UpperBound(1); ++row) {
        // Work stopped while an earlier mobile was connecting (a logout, or changed connection
        // settings): no further mobile is connected with these settings.
        if (m_unloaded || m_workStops != workStops)
            return;
        if (row > xMobiles->UpperBound(1))
            break;
        if (ValueIsTrue(xMobiles->Value(row, 3)))
            continue;
        const QString mobile = xMobiles->Value(row, 0).toString();
        if (!mobileNo.isEmpty() && mobile != mobileNo)
            continue;
        const QString imei = xMobiles->Value(row, 1).toString();
        const int index = row - xMobiles->LowerBound(1) + 1;
        if (index > 32767)
            break;
        const qint16 slot = static_cast<qint16>(index);
        if (!m_tcp->Exists(slot)) {
            m_tcp->Connect(slot, remoteIP, port);
            m_tcp->SetTag(slot, mobile);

            // Wait for the connection, handling other events meanwhile.
            const auto connecting = [this, slot] {
                const int state = m_tcp->GetState(slot);
                return m_tcp->Exists(slot)
                       && (state == TCPClient::sckConnecting || state == TCPClient::sckResolvingHost
                           || state == TCPClient::sckHostResolved);
            };
            if (connecting()) {
                QEventLoop loop;
                QTimer timer;
                timer.setSingleShot(true);
                connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
                connect(m_tcp, &TCPClient::Connected, &loop, [&loop, slot](qint16 i) { if (i == slot) loop.quit(); });
                connect(m_tcp, &TCPClient::Error, &loop, [&loop, slot](qint16 i, qint32, const QString&) {
                    if (i == slot)
                        loop.quit();
                });
                connect(m_tcp, &TCPClient::CloseEvent, &loop, [&loop, slot](qint16 i) { if (i == slot) loop.quit(); });
                connect(this, &frmTessarinMobileClient::Unloaded, &loop, &QEventLoop::quit);
                timer.start(m_limits.nRelayConnectWaitMs);
                loop.exec();
            }
            if (m_unloaded || m_workStops != workStops)
                return;
            if (m_tcp->Exists(slot) && m_tcp->GetState(slot) == TCPClient::sckConnected) {
                ClientActions.insert(slot, QStringLiteral("Login"));
                m_relayIMEINo.insert(slot, imei);
                SendReply(slot, MakeJsonText({QStringLiteral("Action"), QStringLiteral("Login"), QStringLiteral("DongleNo"),
                                              dongleNo, QStringLiteral("MobileNo"), mobile, QStringLiteral("IMEINo"),
                                              imei}));
            }
        }
        if (!mobileNo.isEmpty())
            break;
    }
}
