// Connection slots: accepting, the assembly of requests up to their "<EOF>" marker, sending
// replies, completed sends, closes and errors.
#include "frmTessarinMobileClient.h"

#include "HandlingScope.h"
#include "ServerText.h"
#include "clsClient.h"
#include "clsSetup.h"
#include "core/RuntimeError.h"
#include "text/Ansi.h"

#include <QTimerEvent>

using platform::RuntimeError;
using namespace server_text;

namespace {

// A slot's receive or send start time: cleared by a reset, otherwise taken once and kept until
// the next reset.
void MarkStart(QHash<qint16, double>& startTimes, qint16 slot, bool reset)
{
    if (reset)
        startTimes.insert(slot, 0.0);
    else if (startTimes.value(slot, 0.0) == 0.0)
        startTimes.insert(slot, TimeOfDay());
}

}  // namespace

// --- accepting -----------------------------------------------------------------------------

void frmTessarinMobileClient::TCPClient_ConnectionRequest(qint16 Index, qint32 requestID)
{
    if (Index != 0 || m_unloaded)
        return;
    HandlingScope scope(this);
    const QString remoteIP = m_tcp->RemoteHostIP(0);
    const QString remoteHost = m_tcp->RemoteHost(0);
    // Only the listening mode takes connections in; a relay installation never does.
    if (!Setup->lStaticIP) {
        ShowEvent(QStringLiteral("Connection Request Refused (not accepting connections) for Request ID : ")
                  + QString::number(requestID) + QStringLiteral(" Remote Host : ") + remoteHost
                  + QStringLiteral(" Remote IP : ") + remoteIP);
        return;
    }
    // A caller whose address the system did not give can be held to neither the block list nor
    // the request log.
    if (remoteIP.isEmpty()) {
        ShowEvent(QStringLiteral("Connection Request Refused (no remote address) for Request ID : ")
                  + QString::number(requestID));
        return;
    }
    if (Setup->IsIPBlocked(remoteIP)) {
        ShowEvent(QStringLiteral("Connection Request Blocked for Request ID : ") + QString::number(requestID)
                  + QStringLiteral(" Remote Host : ") + remoteHost + QStringLiteral(" Remote IP : ") + remoteIP);
        return;
    }
    // Nothing between taking the lock and freeing it yields to the event loop, so the lock is
    // never found taken here.
    lAcceptLock = true;
    const qint16 slot = GetFreeClientIndex();
    const bool accepted = slot > 0 && m_tcp->Accept(slot, requestID);
    lAcceptLock = false;
    if (!accepted) {
        ShowEvent(QStringLiteral("Connection Request Refused (no free Client Index) for Request ID : ")
                  + QString::number(requestID) + QStringLiteral(" Remote Host : ") + remoteHost
                  + QStringLiteral(" Remote IP : ") + remoteIP);
        return;
    }
    StartReceiveTimer(slot);
    ShowEvent(QStringLiteral("Connection Request Accepted to Request ID : ") + QString::number(requestID)
              + QStringLiteral(" Client Index : ") + QString::number(slot) + QStringLiteral(" Remote Host : ")
              + m_tcp->RemoteHost(slot) + QStringLiteral(" Remote IP : ") + m_tcp->RemoteHostIP(slot));
}

qint16 frmTessarinMobileClient::GetFreeClientIndex() const
{
    for (int slot = 1; slot <= 32767; ++slot)
        if (!m_tcp->Exists(static_cast<qint16>(slot)))
            return static_cast<qint16>(slot);
    return 0;
}

bool frmTessarinMobileClient::IsRelaySlot(qint16 slot) const
{
    return m_tcp->IsOutgoing(slot);
}

// --- receive deadline of accepted connections -------------------------------------------------

void frmTessarinMobileClient::StartReceiveTimer(qint16 slot)
{
    StopReceiveTimer(slot);
    const int id = startTimer(m_limits.nReceiveTimeoutMs);
    if (id == 0)
        return;
    m_receiveTimers.insert(slot, id);
    m_timerSlots.insert(id, slot);
}

void frmTessarinMobileClient::StopReceiveTimer(qint16 slot)
{
    const auto it = m_receiveTimers.find(slot);
    if (it == m_receiveTimers.end())
        return;
    killTimer(it.value());
    m_timerSlots.remove(it.value());
    m_receiveTimers.erase(it);
}

void frmTessarinMobileClient::timerEvent(QTimerEvent* event)
{
    const auto it = m_timerSlots.find(event->timerId());
    if (it == m_timerSlots.end()) {
        QWidget::timerEvent(event);
        return;
    }
    const qint16 slot = it.value();
    StopReceiveTimer(slot);
    if (m_unloaded || !m_tcp->Exists(slot) || m_requestTaken.contains(slot))
        return;
    HandlingScope scope(this);
    ShowEvent(QStringLiteral("Receive Time-out for Mobile No.") + Shown(m_tcp->Tag(slot)) + QStringLiteral(" Client Index : ")
              + QString::number(slot) + QStringLiteral(" No complete request within ")
              + SecondsText(m_limits.nReceiveTimeoutMs / 1000.0) + QStringLiteral(" seconds. Connection closed."));
    TCPClient_Close(slot);
}

// --- receiving -----------------------------------------------------------------------------

bool frmTessarinMobileClient::IsEndOfData(const QString& text)
{
    return text.right(5).toUpper() == kEndMarker;
}

void frmTessarinMobileClient::MarkReceiveStart(qint16 slot, bool reset)
{
    MarkStart(ReceiveStartTimes, slot, reset);
}

void frmTessarinMobileClient::MarkSendStart(qint16 slot, bool reset)
{
    MarkStart(SendStartTimes, slot, reset);
}

void frmTessarinMobileClient::AppendReceived(qint16 slot, const QString& text)
{
    ReceiveBuffers[slot] += text;
}

void frmTessarinMobileClient::TCPClient_DataArrival(qint16 Index, qint64 bytesTotal)
{
    Q_UNUSED(bytesTotal);
    if (m_unloaded || !m_tcp->Exists(Index) || Index == 0)
        return;
    HandlingScope scope(this);
    const qint16 slot = Index;
    try {
        // A listening connection carries one request; what follows it is not read as another.
        if (m_requestTaken.contains(slot)) {
            m_tcp->GetData(slot);
            return;
        }
        MarkReceiveStart(slot, false);
        ReceivingFlags.insert(slot, true);
        const QString piece = platform::ansi::Decode(m_tcp->GetData(slot));
        ShowEvent(QStringLiteral("Data Received From Mobile No. ") + Shown(m_tcp->Tag(slot)) + QStringLiteral(" Client Index : ")
                  + QString::number(slot) + QStringLiteral(" Data Length : ") + QString::number(piece.size()));
        AppendReceived(slot, piece);
        ReceivingFlags.insert(slot, false);
        if (!EnforcePendingLimit(slot))
            return;
        // A request of this slot still being processed takes the new text up when it is done.
        if (ProcessingFlags.value(slot, false))
            return;
        ProcessReceived(slot);
    } catch (const RuntimeError& e) {
        DataArrivalFailed(slot, e.Number(), e.Description());
    } catch (const std::exception& e) {
        DataArrivalFailed(slot, 0, QString::fromLocal8Bit(e.what()));
    }
}

// Takes every complete request out of the slot's buffer, in order, and processes it; the text
// after the last marker stays for the next request. A listening connection stops after its
// first request.
void frmTessarinMobileClient::ProcessReceived(qint16 slot)
{
    while (m_tcp->Exists(slot) && !m_unloaded) {
        QString& buffer = ReceiveBuffers[slot];
        const qsizetype from = m_scanFrom.value(slot, 0);
        const qsizetype marker = buffer.indexOf(kEndMarker, from, Qt::CaseInsensitive);
        const qsizetype requestLength = marker < 0 ? buffer.size() : marker + kEndMarker.size();
        // The limit is on the text before the marker; without a marker yet, the last four
        // characters may be the start of one ("<EO") still on its way.
        if ((marker < 0 && buffer.size() > m_limits.nMaxRequestBytes + kEndMarker.size() - 1)
            || (marker >= 0 && marker > m_limits.nMaxRequestBytes)) {
            ShowEvent(QStringLiteral("Request Too Large from Mobile No. ") + Shown(m_tcp->Tag(slot))
                      + QStringLiteral(" Client Index : ") + QString::number(slot) + QStringLiteral(" Data Length : ")
                      + QString::number(requestLength) + QStringLiteral(" exceeds ")
                      + QString::number(m_limits.nMaxRequestBytes) + QStringLiteral(" without end marker. Connection closed."));
            TCPClient_Close(slot);
            return;
        }
        if (marker < 0) {
            m_scanFrom.insert(slot, qMax<qsizetype>(0, buffer.size() - (kEndMarker.size() - 1)));
            return;
        }

        const QString request = buffer.left(requestLength);
        buffer.remove(0, requestLength);
        m_scanFrom.insert(slot, 0);
        const QString rest = buffer;

        const double now = TimeOfDay();
        const double start = ReceiveStartTimes.value(slot, 0.0);
        ShowEvent(QStringLiteral("Data Received From IP : ") + m_tcp->RemoteHostIP(slot) + QStringLiteral(" Mobile No. ")
                  + Shown(m_tcp->Tag(slot)) + QStringLiteral(" Client Index : ") + QString::number(slot)
                  + QStringLiteral(" Data Length : ") + QString::number(request.size()) + QStringLiteral(" Received Time : ")
                  + SecondsText(now - start));
        MarkReceiveStart(slot, true);
        if (!IsRelaySlot(slot)) {
            m_requestTaken.insert(slot);
            m_tcp->StopReading(slot);
            StopReceiveTimer(slot);
        }

        ProcessingFlags.insert(slot, true);
        ProcessRequest(slot, request);
        ScheduleRequestLogFlush(kRequestLogDelay);
        if (!m_tcp->Exists(slot))
            return;
        ProcessingFlags.insert(slot, false);

        if (m_requestTaken.contains(slot)) {
            ReceiveBuffers.insert(slot, QString());
            return;
        }
        if (ReceiveBuffers.value(slot).isEmpty())
            return;
        // The next request began with the text that followed this one.
        MarkReceiveStart(slot, false);
    }
}

// The text held for unfinished requests of all connections together is limited, so that many
// connections each sending a large request without its end marker cannot exhaust the memory:
// past the limit the connection holding the largest unfinished request is closed. False when
// that was `slot` itself.
bool frmTessarinMobileClient::EnforcePendingLimit(qint16 slot)
{
    qint64 total = 0;
    qint16 largest = 0;
    qsizetype largestSize = -1;
    for (auto it = ReceiveBuffers.constBegin(); it != ReceiveBuffers.constEnd(); ++it) {
        total += it.value().size();
        if (it.value().size() > largestSize && !ProcessingFlags.value(it.key(), false)) {
            largestSize = it.value().size();
            largest = it.key();
        }
    }
    if (total <= m_limits.nMaxPendingBytes || largest <= 0)
        return true;
    ShowEvent(QStringLiteral("Request Too Large from Mobile No. ") + Shown(m_tcp->Tag(largest)) + QStringLiteral(" Client Index : ")
              + QString::number(largest) + QStringLiteral(" Data Length : ") + QString::number(largestSize)
              + QStringLiteral(" while unfinished requests hold ") + QString::number(total) + QStringLiteral(" of ")
              + QString::number(m_limits.nMaxPendingBytes) + QStringLiteral(". Connection closed."));
    TCPClient_Close(largest);
    return largest != slot;
}

void frmTessarinMobileClient::DataArrivalFailed(qint16 slot, long number, const QString& description)
{
    if (!m_tcp->Exists(slot))
        return;
    ReceivingFlags.insert(slot, false);
    ProcessingFlags.insert(slot, false);
    MarkReceiveStart(slot, true);
    ReceiveBuffers.insert(slot, QString());
    m_scanFrom.remove(slot);
    ClientActions.insert(slot, QString());
    try {
        SendReply(slot, clsClient::ReplyText(QString(), m_tcp->Tag(slot), 0,
                                             QStringLiteral("Data Receiving Error.") + kCrLf + QStringLiteral("Err No.")
                                                 + QString::number(number) + QStringLiteral(" - ") + description));
    } catch (...) {
    }
    ShowEvent(QStringLiteral("Error while Data Arrival from Mobile No.") + Shown(m_tcp->Tag(slot))
              + QStringLiteral(" Client Index :") + QString::number(slot) + QStringLiteral(" Error No. : ")
              + QString::number(number) + QStringLiteral(" Message : ") + Shown(description));
}

// --- sending -------------------------------------------------------------------------------

void frmTessarinMobileClient::SendReply(qint16 slot, const QString& text)
{
    SendWireReply(slot, [&] { return platform::ansi::Encode(text); });
}

void frmTessarinMobileClient::SendUtf8Reply(qint16 slot, const QByteArray& utf8)
{
    // An ASCII reply goes as the engine wrote it, its bytes shared with the socket's buffer.
    SendWireReply(slot, [&] { return platform::ansi::EncodeUtf8(utf8); });
}

void frmTessarinMobileClient::SendWireReply(qint16 slot, const std::function<QByteArray()>& wire)
{
    if (!m_tcp->Exists(slot) || slot == 0) {
        ShowEvent(QStringLiteral("Sending Data skipped, connection is closed. Client Index : ") + QString::number(slot));
        return;
    }
    MarkSendStart(slot, false);
    QString line = QStringLiteral("Sending Data for Mobile No.") + Shown(m_tcp->Tag(slot)) + QStringLiteral(" Client Index : ")
                   + QString::number(slot);
    const auto action = ClientActions.constFind(slot);
    if (action != ClientActions.constEnd())
        line += QStringLiteral(" Action : ") + Shown(action.value());
    ShowEvent(line);
    if (!m_tcp->SendData(slot, wire())) {
        SendStartTimes.remove(slot);
        ShowEvent(QStringLiteral("Sending Data failed for Mobile No.") + Shown(m_tcp->Tag(slot))
                  + QStringLiteral(" Client Index : ") + QString::number(slot) + QStringLiteral(" connection is not open."));
    }
}

void frmTessarinMobileClient::TCPClient_SendComplete(qint16 Index)
{
    if (m_unloaded || !m_tcp->Exists(Index) || Index == 0)
        return;
    HandlingScope scope(this);
    const qint16 slot = Index;
    QString action;
    QString actionPart;
    QString timePart;
    const auto actionIt = ClientActions.find(slot);
    if (actionIt != ClientActions.end()) {
        action = actionIt.value();
        if (!action.isEmpty())
            actionPart = QStringLiteral(" Action : ") + Shown(action);
        ClientActions.erase(actionIt);
    }
    const auto timeIt = SendStartTimes.find(slot);
    if (timeIt != SendStartTimes.end()) {
        timePart = QStringLiteral(" Sending Time : ") + SecondsText(TimeOfDay() - timeIt.value());
        SendStartTimes.erase(timeIt);
    }
    ShowEvent(QStringLiteral("Data Sending Complete for Mobile No.") + Shown(m_tcp->Tag(slot)) + QStringLiteral(" Client Index : ")
              + QString::number(slot) + actionPart + timePart);
    if (action == QStringLiteral("Close") || !IsRelaySlot(slot))
        TCPClient_Close(slot);
}

// --- closing and errors --------------------------------------------------------------------

void frmTessarinMobileClient::TCPClient_Close(qint16 Index)
{
    if (Index <= 0 || !m_tcp->Exists(Index))
        return;
    const qint16 slot = Index;
    ShowEvent(QStringLiteral("Closing Connection for Mobile No.") + Shown(m_tcp->Tag(slot)) + QStringLiteral(" Client Index : ")
              + QString::number(slot));
    const QString mobileNo = m_tcp->Tag(slot);
    m_tcp->Close(slot);
    ForgetClient(slot, mobileNo);
}

void frmTessarinMobileClient::ForgetClient(qint16 slot, const QString& mobileNo)
{
    ReceiveBuffers.remove(slot);
    ProcessingFlags.remove(slot);
    SendStartTimes.remove(slot);
    ClientActions.remove(slot);
    ReceivingFlags.remove(slot);
    ReceiveStartTimes.remove(slot);
    if (!mobileNo.isEmpty())
        MobileIndexes.remove(mobileNo.toUpper());
    m_scanFrom.remove(slot);
    m_requestTaken.remove(slot);
    m_relayBound.remove(slot);
    m_relayIMEINo.remove(slot);
    StopReceiveTimer(slot);
}

void frmTessarinMobileClient::TCPClient_Error(qint16 Index, qint32 Number, const QString& Description)
{
    if (m_unloaded)
        return;
    HandlingScope scope(this);
    ShowEvent(QStringLiteral("Error in connection for Mobile No.") + Shown(m_tcp->Tag(Index)) + QStringLiteral(" Client Index : ")
              + QString::number(Index) + QStringLiteral(" Error No.") + QString::number(Number)
              + QStringLiteral(" Message : ") + Shown(Description));
    if (Index > 0)
        TCPClient_Close(Index);
}

void frmTessarinMobileClient::TCPClient_Connect(qint16 Index)
{
    if (m_unloaded)
        return;
    HandlingScope scope(this);
    ShowEvent(QStringLiteral("Connected to Server for Mobile No.:") + Shown(m_tcp->Tag(Index)) + QStringLiteral(" Client Index : ")
              + QString::number(Index));
}
