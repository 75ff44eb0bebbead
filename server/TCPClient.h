#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <map>

class QTcpServer;
class QTcpSocket;

// The socket array of the server window. Element 0 is the listener; elements from 1 up are one
// connection each, either accepted from the listener or connected out (relay mode). Elements
// are created and destroyed by number, so numbers are reused. Every socket event arrives as a
// signal carrying the element's number, on the thread of the event loop.
class TCPClient : public QObject {
    Q_OBJECT
public:
    // Socket states as the window reads them.
    enum State { sckClosed = 0, sckOpen = 1, sckListening = 2, sckConnectionPending = 3, sckResolvingHost = 4,
                 sckHostResolved = 5, sckConnecting = 6, sckConnected = 7, sckClosing = 8, sckError = 9 };

    explicit TCPClient(QObject* parent = nullptr);
    ~TCPClient() override;

    // --- element 0, the listener
    // Listens on every local address (IPv4 and IPv6) on `port`; false with ListenError() when the
    // port cannot be taken.
    bool Listen(quint16 port);
    void CloseListener();
    bool IsListening() const;
    QString ListenError() const { return m_listenError; }

    // --- elements
    bool Exists(qint16 index) const;
    // The number of elements, the listener included.
    int Count() const { return 1 + static_cast<int>(m_sockets.size()); }
    // The numbers of the existing elements above 0, in ascending order.
    QList<qint16> Indexes() const;

    // Gives the connection request `requestID` (announced by ConnectionRequest) to the new
    // element `index`; false when that request is no longer waiting or the element exists.
    bool Accept(qint16 index, qint32 requestID);
    // Creates element `index` and connects it out to host:port.
    bool Connect(qint16 index, const QString& host, quint16 port);
    // Queues the bytes; SendComplete follows once all queued bytes are written. False (and
    // nothing happens) when the element does not exist or is not open.
    bool SendData(qint16 index, const QByteArray& bytes);
    // Everything that has arrived since the last read.
    QByteArray GetData(qint16 index);
    // The element reads nothing more. Its peer may have shut down its sending side and wait
    // for the reply: a read would meet the end of the peer's data and close the connection
    // before the reply has gone out.
    void StopReading(qint16 index);
    // Closes the connection and destroys the element; nothing is signalled. Bytes already
    // handed to the socket are still delivered.
    void Close(qint16 index);
    void CloseAll();

    int GetState(qint16 index) const;
    quint16 LocalPort(qint16 index) const;
    quint16 RemotePort(qint16 index) const;
    // The peer's address; an IPv4 peer is written dotted ("10.0.0.5", never "::ffff:10.0.0.5").
    // For element 0 it is the peer of the latest connection request. A connection taken in
    // keeps the address the system gave with it for its whole life, whatever its peer does
    // after connecting (a peer that has reset has no address to ask the socket for); it is ""
    // only when the system gave none.
    QString RemoteHostIP(qint16 index) const;
    // The peer's name where it is known without a look-up (the host an element connected to),
    // otherwise its address.
    QString RemoteHost(qint16 index) const;
    // Whether the element was connected out rather than accepted.
    bool IsOutgoing(qint16 index) const;

    QString Tag(qint16 index) const;
    void SetTag(qint16 index, const QString& tag);

    static QString AddressText(const class QHostAddress& address);

    // The caller of a connection taken in, from the address the system gave with it (`length`
    // bytes of it filled): an IPv4 caller, one of IPv6 and one of IPv4 reaching an IPv6 socket
    // are written as AddressText writes them. The address is "" when the system gave none that
    // is understood (cut short, or of another family).
    struct Caller {
        QString address;
        quint16 port = 0;
    };
    static Caller CallerOf(const struct sockaddr_storage& address, unsigned length);

signals:
    // Element 0: a connection request waits. It is refused unless Accept takes it before the
    // handler returns.
    void ConnectionRequest(qint16 index, qint32 requestID);
    void DataArrival(qint16 index, qint64 bytesTotal);
    void SendComplete(qint16 index);
    // The peer closed the connection (the element still exists).
    void CloseEvent(qint16 index);
    void Error(qint16 index, qint32 number, const QString& description);
    // An outgoing connection is established.
    void Connected(qint16 index);
    // The listener could not take a connection in (for example at the limit of open files).
    // It stops watching for connections until one of its own closes, trying again a few times
    // a second meanwhile (the limit may have been raised, or another descriptor freed); the
    // clients that wait stay queued by the system. Signalled once each time taking in stops,
    // not for every try.
    void AcceptError(const QString& description);

private:
    struct Element {
        QTcpSocket* socket = nullptr;
        QString tag;
        QString host;  // the host name connected to (outgoing)
        Caller caller;  // (taken in)
        bool outgoing = false;
        bool stoppedReading = false;
        quint64 sequence = 0;  // the order in which the elements were made
        std::pair<quint64, quint64> waitingAt{0, 0};  // its key in m_ready while it waits
    };

    // Elements with data waiting are served in the order their data came, those that came in
    // one turn of the event loop oldest connection first, one per turn. The system lists ready
    // sockets in an order of its own, and under load a socket late in that order waited through
    // most of two rounds of all the others. A socket waiting its turn reads nothing more, so its
    // peer's close is seen after its data, as before.
    void MarkReady(qint16 index);
    void ServeOldestReady();
    void QueueServing();
    void Serve(qint16 index);  // at once: before its close or its error is told
    std::map<std::pair<quint64, quint64>, qint16> m_ready;  // (turn, sequence) -> element
    bool m_serveQueued = false;
    quint64 m_nextSequence = 0;
    quint64 m_turn = 1;

    // Takes in the connections that wait on the listening socket. The program makes the
    // accept call itself: at the limit of open files the system keeps the socket readable,
    // and a listener left watching it would wake at once, over and over.
    void AcceptWaiting();
    void PauseAccepting(const QString& description);
    void Wire(qint16 index, QTcpSocket* socket);
    void Discard(QTcpSocket* socket);
    static qint32 ErrorNumber(int socketError);

    QTcpServer* m_listener = nullptr;  // binds and listens; never accepts
    class QSocketNotifier* m_acceptNotifier = nullptr;
    class QTimer* m_acceptRetry = nullptr;
    QString m_listenError;
    void ResumeAccepting();
    bool m_acceptPaused = false;  // taking in failed and has not succeeded since
    QHash<qint16, Element> m_sockets;
    struct Pending {
        QTcpSocket* socket = nullptr;
        Caller caller;
    };
    QHash<qint32, Pending> m_pending;
    Caller m_pendingCaller;  // of the latest connection request
    qint32 m_nextRequestID = 0;
};
