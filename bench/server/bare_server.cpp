// corvantis-bench-bare: the floor the server benchmark compares with. A minimal Qt loopback
// server that reads a request up to "<EOF>", answers a fixed reply and closes, one connection at
// a time as they come. With --log <folder> it also writes each request and its reply to an
// SQLite table as the real server's request log does (WAL, one committed INSERT before the reply
// and one committed UPDATE, both statements prepared once). Prints its port when listening.
#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstdio>
#include <sqlite3.h>

namespace {

class Log {
public:
    explicit Log(const QString& folder)
    {
        sqlite3_open((folder + QStringLiteral("/bare.sqlite")).toUtf8().constData(), &m_db);
        sqlite3_exec(m_db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
                           "CREATE TABLE IF NOT EXISTS LogData (RequestID INTEGER PRIMARY KEY, RequestDateTime DATETIME, "
                           "IPAddress TEXT, RequestJSON TEXT, ResponseDateTime DATETIME, ResponseJSON TEXT)",
                     nullptr, nullptr, nullptr);
        sqlite3_prepare_v3(m_db, "INSERT INTO LogData (RequestDateTime, IPAddress, RequestJSON) VALUES (?1, ?2, ?3)", -1,
                           SQLITE_PREPARE_PERSISTENT, &m_insert, nullptr);
        sqlite3_prepare_v3(m_db, "UPDATE LogData SET ResponseDateTime = ?1, ResponseJSON = ?2 WHERE RequestID = ?3", -1,
                           SQLITE_PREPARE_PERSISTENT, &m_update, nullptr);
    }
    ~Log()
    {
        sqlite3_finalize(m_insert);
        sqlite3_finalize(m_update);
        sqlite3_close_v2(m_db);
    }
    qint64 Insert(const QByteArray& ip, const QByteArray& request)
    {
        const QByteArray now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
        sqlite3_bind_text(m_insert, 1, now.constData(), int(now.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(m_insert, 2, ip.constData(), int(ip.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(m_insert, 3, request.constData(), int(request.size()), SQLITE_TRANSIENT);
        sqlite3_step(m_insert);
        sqlite3_reset(m_insert);
        return sqlite3_last_insert_rowid(m_db);
    }
    void Update(qint64 id, const QByteArray& reply)
    {
        const QByteArray now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
        sqlite3_bind_text(m_update, 1, now.constData(), int(now.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(m_update, 2, reply.constData(), int(reply.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(m_update, 3, id);
        sqlite3_step(m_update);
        sqlite3_reset(m_update);
    }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_insert = nullptr;
    sqlite3_stmt* m_update = nullptr;
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    std::unique_ptr<Log> log;
    const qsizetype at = args.indexOf(QStringLiteral("--log"));
    if (at > 0 && at + 1 < args.size())
        log = std::make_unique<Log>(args.at(at + 1));
    const QByteArray reply = "{\"Action\":\"Login\",\"MobileNo\":\"9800000000\",\"Status\":1,\"Message\":\"Success\","
                             "\"Android\":\"2.1.2\",\"iOS\":\"2.1.2\"}<EOF>";
    QTcpServer server;
    server.setListenBacklogSize(1024);  // as the real server: 200 clients at once overflow Qt's 50
    if (!server.listen(QHostAddress::LocalHost, 0))
        return 2;
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&] {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, buffer, &log, &reply] {
                *buffer += socket->readAll();
                if (!buffer->contains("<EOF>"))
                    return;
                qint64 id = 0;
                if (log)
                    id = log->Insert(socket->peerAddress().toString().toUtf8(), *buffer);
                if (log)
                    log->Update(id, reply);
                socket->write(reply);
                socket->disconnectFromHost();
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    std::printf("%u\n", unsigned(server.serverPort()));
    std::fflush(stdout);
    return app.exec();
}
