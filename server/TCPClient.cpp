#include "TCPClient.h"

#include <QHostAddress>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// How long a closed connection may take to hand its last bytes to the peer before it is cut.
constexpr int kLingerMs = 30000;
// While taking in is stopped, how often it is tried again.
constexpr int kAcceptRetryMs = 250;
// Connections taken in at one turn of the event loop; the rest wait for the next turn.
constexpr int kAcceptsPerTurn = 128;

// Failures of accept that belong to the one connection being taken (it was reset, or its
// network went down in the meantime): the next one may be taken all the same.
bool ConnectionOwnFailure(int error)
{
    switch (error) {
    case ECONNABORTED: case EPROTO: case ENOPROTOOPT: case EHOSTDOWN: case ENONET: case EHOSTUNREACH:
    case EOPNOTSUPP: case ENETDOWN: case ENETUNREACH: case EPERM:
        return true;
    default:
        return false;
    }
}
}  // namespace

TCPClient::TCPClient(QObject* parent) : QObject(parent)
{
    m_acceptRetry = new QTimer(this);
    m_acceptRetry->setInterval(kAcceptRetryMs);
    connect(m_acceptRetry, &QTimer::timeout, this, [this] {
        if (m_acceptNotifier)
            m_acceptNotifier->setEnabled(true);
    });
}

TCPClient::~TCPClient()
{
    CloseAll();
    CloseListener();
}

QString TCPClient::AddressText(const QHostAddress& address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    if (isV4)
        return QHostAddress(v4).toString();
    return address.toString();
}

TCPClient::Caller TCPClient::CallerOf(const sockaddr_storage& address, unsigned length)
{
    Caller caller;
    const auto* plain = reinterpret_cast<const sockaddr*>(&address);
    if (address.ss_family == AF_INET && length >= sizeof(sockaddr_in))
        caller.port = ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
    else if (address.ss_family == AF_INET6 && length >= sizeof(sockaddr_in6))
        caller.port = ntohs(reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port);
    else
        return caller;  // cut short, or a family a TCP listener does not take
    const QHostAddress host(plain);
    if (!host.isNull())
        caller.address = AddressText(host);
    return caller;
}

// --- listener ------------------------------------------------------------------------------

bool TCPClient::Listen(quint16 port)
{
    CloseListener();
    m_listenError.clear();
    m_listener = new QTcpServer(this);
    // A burst of clients connecting at once waits in the queue instead of being retried.
    m_listener->setListenBacklogSize(4096);
    if (!m_listener->listen(QHostAddress::Any, port)) {
        m_listenError = m_listener->errorString();
        delete m_listener;
        m_listener = nullptr;
        return false;
    }
    // The server's own watch stays off: AcceptWaiting takes the connections in.
    m_listener->pauseAccepting();
    m_acceptNotifier = new QSocketNotifier(m_listener->socketDescriptor(), QSocketNotifier::Read, this);
    connect(m_acceptNotifier, &QSocketNotifier::activated, this, &TCPClient::AcceptWaiting);
    return true;
}

void TCPClient::CloseListener()
{
    m_acceptRetry->stop();
    // The watch goes before the socket it watches.
    delete m_acceptNotifier;
    m_acceptNotifier = nullptr;
    m_acceptPaused = false;
    if (!m_listener)
        return;
    m_listener->close();
    delete m_listener;
    m_listener = nullptr;
    for (const Pending& pending : std::as_const(m_pending))
        Discard(pending.socket);
    m_pending.clear();
}

bool TCPClient::IsListening() const
{
    return m_listener && m_listener->isListening();
}

void TCPClient::AcceptWaiting()
{
    for (int taken = 0; taken < kAcceptsPerTurn && m_acceptNotifier; ++taken) {
        // The caller's address comes with the connection: asked of the socket later, it is
        // gone once the peer has reset, as a client that sends its request and resets at once
        // does.
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        const int descriptor = ::accept4(static_cast<int>(m_listener->socketDescriptor()),
                                         reinterpret_cast<sockaddr*>(&address), &length, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (descriptor < 0) {
            const int error = errno;
            if (error == EINTR || ConnectionOwnFailure(error))
                continue;
            if (error != EAGAIN && error != EWOULDBLOCK)
                PauseAccepting(QString::fromLocal8Bit(std::strerror(error)));
            return;  // none waits, or none can be taken now
        }
        // Taking in works again: a later failure is said again.
        m_acceptPaused = false;
        m_acceptRetry->stop();
        auto* socket = new QTcpSocket;
        if (!socket->setSocketDescriptor(descriptor)) {
            ::close(descriptor);
            delete socket;
            continue;
        }
        const qint32 requestID = ++m_nextRequestID;
        if (m_nextRequestID == std::numeric_limits<qint32>::max())
            m_nextRequestID = 0;
        m_pendingCaller = CallerOf(address, length);
        m_pending.insert(requestID, Pending{socket, m_pendingCaller});
        emit ConnectionRequest(0, requestID);
        // Not taken by the handler: refused.
        if (QTcpSocket* left = m_pending.take(requestID).socket)
            Discard(left);
    }
}

void TCPClient::PauseAccepting(const QString& description)
{
    // The socket stays readable while the connections wait: it is not watched until a
    // descriptor may be free again.
    m_acceptNotifier->setEnabled(false);
    m_acceptRetry->start();
    if (m_acceptPaused)
        return;
    m_acceptPaused = true;
    emit AcceptError(description);
}

// --- elements ------------------------------------------------------------------------------

bool TCPClient::Exists(qint16 index) const
{
    return index == 0 || m_sockets.contains(index);
}

QList<qint16> TCPClient::Indexes() const
{
    QList<qint16> list = m_sockets.keys();
    std::sort(list.begin(), list.end());
    return list;
}

bool TCPClient::Accept(qint16 index, qint32 requestID)
{
    if (index <= 0 || m_sockets.contains(index))
        return false;
    const Pending pending = m_pending.take(requestID);
    QTcpSocket* socket = pending.socket;
    if (!socket)
        return false;
    socket->setParent(this);
    Element element;
    element.socket = socket;
    element.caller = pending.caller;
    element.sequence = ++m_nextSequence;
    m_sockets.insert(index, element);
    Wire(index, socket);
    // Data may have arrived with the connection itself.
    if (socket->bytesAvailable() > 0)
        MarkReady(index);
    return true;
}

bool TCPClient::Connect(qint16 index, const QString& host, quint16 port)
{
    if (index <= 0 || m_sockets.contains(index))
        return false;
    auto* socket = new QTcpSocket(this);
    Element element;
    element.socket = socket;
    element.host = host;
    element.outgoing = true;
    element.sequence = ++m_nextSequence;
    m_sockets.insert(index, element);
    Wire(index, socket);
    connect(socket, &QTcpSocket::connected, this, [this, index, socket] {
        if (m_sockets.value(index).socket == socket)
            emit Connected(index);
    });
    socket->connectToHost(host, port);
    return true;
}

void TCPClient::Wire(qint16 index, QTcpSocket* socket)
{
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(socket, &QTcpSocket::readyRead, this, [this, index, socket] {
        if (m_sockets.value(index).socket == socket)
            MarkReady(index);
    });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, index, socket](qint64) {
        if (m_sockets.value(index).socket == socket && socket->bytesToWrite() == 0)
            emit SendComplete(index);
    });
    connect(socket, &QTcpSocket::disconnected, this, [this, index, socket] {
        if (m_sockets.value(index).socket != socket)
            return;
        Serve(index);
        if (m_sockets.value(index).socket == socket)
            emit CloseEvent(index);
    });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, index, socket](QAbstractSocket::SocketError error) {
        // The peer's orderly close is reported as a close, not as an error.
        if (error == QAbstractSocket::RemoteHostClosedError)
            return;
        if (m_sockets.value(index).socket != socket)
            return;
        Serve(index);
        if (m_sockets.value(index).socket == socket)
            emit Error(index, ErrorNumber(error), socket->errorString());
    });
}

void TCPClient::MarkReady(qint16 index)
{
    const auto it = m_sockets.find(index);
    if (it == m_sockets.end() || it->waitingAt.first != 0)
        return;
    it->waitingAt = {m_turn, it->sequence};
    m_ready.emplace(it->waitingAt, index);
    // A read buffer as full as it stands keeps the socket from reading until its turn.
    QTcpSocket* socket = it->socket;
    if (!it->stoppedReading)
        socket->setReadBufferSize(std::max<qint64>(1, socket->bytesAvailable()));
    QueueServing();
}

void TCPClient::QueueServing()
{
    if (m_serveQueued || m_ready.empty())
        return;
    m_serveQueued = true;
    QMetaObject::invokeMethod(this, &TCPClient::ServeOldestReady, Qt::QueuedConnection);
}

void TCPClient::ServeOldestReady()
{
    m_serveQueued = false;
    ++m_turn;
    if (m_ready.empty())
        return;
    const qint16 index = m_ready.begin()->second;
    // The next one is queued before the handler runs, which may run an event loop of its own.
    if (m_ready.size() > 1)
        QueueServing();
    Serve(index);
}

void TCPClient::Serve(qint16 index)
{
    const auto it = m_sockets.find(index);
    if (it == m_sockets.end() || it->waitingAt.first == 0)
        return;  // not waiting
    m_ready.erase(it->waitingAt);
    it->waitingAt = {0, 0};
    QTcpSocket* socket = it->socket;
    if (!it->stoppedReading)
        socket->setReadBufferSize(0);
    emit DataArrival(index, socket->bytesAvailable());
}

bool TCPClient::SendData(qint16 index, const QByteArray& bytes)
{
    const auto it = m_sockets.constFind(index);
    if (it == m_sockets.constEnd())
        return false;
    QTcpSocket* socket = it->socket;
    const auto state = socket->state();
    if (state != QAbstractSocket::ConnectedState && state != QAbstractSocket::ConnectingState
        && state != QAbstractSocket::HostLookupState)
        return false;
    return socket->write(bytes) == bytes.size();
}

QByteArray TCPClient::GetData(qint16 index)
{
    const auto it = m_sockets.constFind(index);
    if (it == m_sockets.constEnd() || it->stoppedReading)
        return {};
    return it->socket->readAll();
}

void TCPClient::StopReading(qint16 index)
{
    const auto it = m_sockets.find(index);
    if (it == m_sockets.end())
        return;
    it->stoppedReading = true;
    // The socket stops watching for data while its read buffer is full; one byte put back
    // into a buffer of one byte keeps it so (GetData is not called on it again).
    QTcpSocket* socket = it->socket;
    socket->readAll();
    socket->ungetChar(' ');
    socket->setReadBufferSize(1);
}

void TCPClient::Close(qint16 index)
{
    const auto it = m_sockets.find(index);
    if (it == m_sockets.end())
        return;
    QTcpSocket* socket = it->socket;
    if (it->waitingAt.first != 0)
        m_ready.erase(it->waitingAt);
    m_sockets.erase(it);
    Discard(socket);
    ResumeAccepting();
}

void TCPClient::ResumeAccepting()
{
    if (!m_acceptPaused || !m_acceptNotifier)
        return;
    // The closed socket gives its descriptor back once it is gone.
    QTimer::singleShot(0, this, [this] {
        if (m_acceptNotifier)
            m_acceptNotifier->setEnabled(true);
    });
}

void TCPClient::CloseAll()
{
    const QList<qint16> indexes = Indexes();
    for (qint16 index : indexes)
        Close(index);
}

void TCPClient::Discard(QTcpSocket* socket)
{
    socket->disconnect(this);
    if (socket->state() != QAbstractSocket::ConnectedState) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    if (socket->bytesToWrite() == 0) {
        socket->disconnectFromHost();
        socket->deleteLater();
        return;
    }
    // Let the queued bytes go out first, but not for ever.
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(kLingerMs, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    socket->disconnectFromHost();
}

int TCPClient::GetState(qint16 index) const
{
    if (index == 0)
        return IsListening() ? sckListening : sckClosed;
    const auto it = m_sockets.constFind(index);
    if (it == m_sockets.constEnd())
        return sckClosed;
    switch (it->socket->state()) {
    case QAbstractSocket::UnconnectedState: return it->socket->error() == QAbstractSocket::UnknownSocketError ? sckClosed : sckError;
    case QAbstractSocket::HostLookupState: return sckResolvingHost;
    case QAbstractSocket::ConnectingState: return sckConnecting;
    case QAbstractSocket::ConnectedState: return sckConnected;
    case QAbstractSocket::BoundState: return sckOpen;
    case QAbstractSocket::ListeningState: return sckListening;
    case QAbstractSocket::ClosingState: return sckClosing;
    }
    return sckClosed;
}

quint16 TCPClient::LocalPort(qint16 index) const
{
    if (index == 0)
        return IsListening() ? m_listener->serverPort() : 0;
    const auto it = m_sockets.constFind(index);
    return it == m_sockets.constEnd() ? 0 : it->socket->localPort();
}

quint16 TCPClient::RemotePort(qint16 index) const
{
    if (index == 0)
        return m_pendingCaller.port;
    const auto it = m_sockets.constFind(index);
    if (it == m_sockets.constEnd())
        return 0;
    return it->outgoing ? it->socket->peerPort() : it->caller.port;
}

QString TCPClient::RemoteHostIP(qint16 index) const
{
    if (index == 0)
        return m_pendingCaller.address;
    const auto it = m_sockets.constFind(index);
    if (it == m_sockets.constEnd())
        return {};
    if (!it->outgoing)
        return it->caller.address;
    if (it->socket->peerAddress().isNull())
        return it->host;
    return AddressText(it->socket->peerAddress());
}

QString TCPClient::RemoteHost(qint16 index) const
{
    if (index == 0)
        return m_pendingCaller.address;
    const auto it = m_sockets.constFind(index);
    if (it == m_sockets.constEnd())
        return {};
    if (!it->outgoing)
        return it->caller.address;
    if (!it->host.isEmpty())
        return it->host;
    return AddressText(it->socket->peerAddress());
}

bool TCPClient::IsOutgoing(qint16 index) const
{
    const auto it = m_sockets.constFind(index);
    return it != m_sockets.constEnd() && it->outgoing;
}

QString TCPClient::Tag(qint16 index) const
{
    const auto it = m_sockets.constFind(index);
    return it == m_sockets.constEnd() ? QString() : it->tag;
}

void TCPClient::SetTag(qint16 index, const QString& tag)
{
    const auto it = m_sockets.find(index);
    if (it != m_sockets.end())
        it->tag = tag;
}

qint32 TCPClient::ErrorNumber(int socketError)
{
    // The socket library's numbers for the errors a connection meets.
    switch (static_cast<QAbstractSocket::SocketError>(socketError)) {
    case QAbstractSocket::ConnectionRefusedError: return 10061;
    case QAbstractSocket::RemoteHostClosedError: return 10053;
    case QAbstractSocket::HostNotFoundError: return 11001;
    case QAbstractSocket::SocketAccessError: return 10013;
    case QAbstractSocket::SocketResourceError: return 10055;
    case QAbstractSocket::SocketTimeoutError: return 10060;
    case QAbstractSocket::NetworkError: return 10050;
    case QAbstractSocket::AddressInUseError: return 10048;
    case QAbstractSocket::SocketAddressNotAvailableError: return 10049;
    default: return 10000 + socketError;
    }
}
