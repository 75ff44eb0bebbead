#include "ServerTestSupport.h"

#include "database/Connection.h"
#include "database/Recordset.h"
#include "json/Json.h"
#include "store/UserSettings.h"
#include "text/Ansi.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

#include <csignal>

namespace servertest {

quint16 FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

// --- installation ------------------------------------------------------------------------------

Installation::Installation()
{
    if (!m_dir.isValid())
        return;
    m_program = m_dir.path() + QStringLiteral("/CALDERWICK/Corvantis");
    m_data = m_dir.path() + QStringLiteral("/data");
    QDir().mkpath(m_program);
    QDir().mkpath(m_data);
    for (const QString& name : {kCompany, kOtherCompany}) {
        fixtures::CompanyDatabase company(m_data, name);
        fixtures::CompanyRow row;
        row.CompanyName = name == kCompany ? QStringLiteral("Test Company") : QStringLiteral("Other Company");
        company.AddCompany(row);
        fixtures::UserRow user;
        user.UserID = kUserID;
        user.Password = kPassword;
        user.IsSupervisor = true;
        user.UserName = QStringLiteral("Pemo");
        company.AddUser(user);
    }
    fixtures::StoreCredentials(m_data);
    m_ok = true;
}

fixtures::SettingsFile Installation::ListeningSettings(quint16 port)
{
    fixtures::SettingsFile settings;
    settings.StaticIP = true;
    settings.LocalPort = QString::number(port);
    settings.CurrentYearOnly = false;
    settings.AutoStart = true;
    settings.Mobiles = {
        {QStringLiteral("9000000001"), QStringLiteral("IMEI-1"), {kCompany}, false, QString()},
        {QStringLiteral("9000000002"), QString(), {}, false, QString()},
        {QStringLiteral("9000000003"), QStringLiteral("IMEI-3"), {}, true, QString()},
    };
    return settings;
}

void Installation::WriteSettings(const fixtures::SettingsFile& settings)
{
    fixtures::WriteSettingsFile(m_program, settings);
}

QString Installation::SettingsText() const
{
    QFile file(m_program + QStringLiteral("/TessarinMobileClientSettings.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString Installation::StoredIMEINo(const QString& mobileNo) const
{
    platform::JsonObject settings;
    settings.Load(SettingsText());
    const platform::JsonArray mobiles = settings.ArrayOf(QStringLiteral("Mobiles"));
    for (int i = 0; i < mobiles.Size(); ++i)
        if (mobiles.ArrayAt(i).StringAt(0) == mobileNo)
            return mobiles.ArrayAt(i).StringAt(1);
    return QStringLiteral("(missing)");
}

QString Installation::NewestLogText() const
{
    QDir logs(m_program + QStringLiteral("/LogFiles"));
    const QStringList files = logs.entryList({QStringLiteral("Log_*.txt")}, QDir::Files, QDir::Name);
    if (files.isEmpty())
        return {};
    QFile file(logs.filePath(files.last()));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readAll());
}

std::vector<RequestJournal::Record> Installation::JournalRecords() const
{
    QFile file(JournalPath());
    return file.open(QIODevice::ReadOnly) ? RequestJournal::Decode(file.readAll()) : std::vector<RequestJournal::Record>();
}

QList<QStringList> Installation::RequestLogRows() const
{
    QList<QStringList> rows;
    platform::db::Connection connection;
    connection.Open(QStringLiteral("Server=sqlite:") + m_data + QStringLiteral(";Database=master"));
    platform::db::Recordset recordset;
    recordset.Open(QStringLiteral("SELECT Action, MobileNo, UserID, DatabaseName, IPAddress, RequestJSON, "
                                  "ResponseDateTime, ResponseJSON FROM TessarinMobileLog ORDER BY RequestID"),
                   connection);
    while (!recordset.IsEOF()) {
        QStringList row;
        for (int i = 0; i < 8; ++i)
            row << recordset.Field(i).ToVariant().toString();
        rows << row;
        recordset.MoveNext();
    }
    recordset.Close();
    connection.Close();
    return rows;
}

// --- wire client -------------------------------------------------------------------------------

WireClient::WireClient() : WireClient(new QTcpSocket) {}

WireClient::WireClient(QTcpSocket* adopted) : m_socket(adopted)
{
    m_socket->setParent(nullptr);
    QObject::connect(m_socket.get(), &QTcpSocket::readyRead, m_socket.get(),
                     [this] { m_received += m_socket->readAll(); });
    if (m_socket->isOpen())
        m_received += m_socket->readAll();
    QObject::connect(m_socket.get(), &QTcpSocket::disconnected, m_socket.get(), [this] { m_closed = true; });
}

WireClient::~WireClient()
{
    m_socket->disconnect();
    m_socket->abort();
}

bool WireClient::Connect(quint16 port, int timeoutMs)
{
    m_closed = false;
    m_socket->connectToHost(QHostAddress::LocalHost, port);
    return QTest::qWaitFor([this] { return m_socket->state() == QAbstractSocket::ConnectedState || m_closed
                                           || m_socket->state() == QAbstractSocket::UnconnectedState; },
                           timeoutMs)
           && m_socket->state() == QAbstractSocket::ConnectedState;
}

void WireClient::Write(const QByteArray& bytes)
{
    m_socket->write(bytes);
    m_socket->flush();
}

QString WireClient::ReadReply(int timeoutMs)
{
    const auto markerAt = [this] { return m_received.toUpper().indexOf("<EOF>"); };
    (void)QTest::qWaitFor([&] { return markerAt() >= 0 || m_closed; }, timeoutMs);
    if (m_socket->isOpen())
        m_received += m_socket->readAll();
    const qsizetype at = markerAt();
    if (at < 0)
        return {};
    const QByteArray reply = m_received.left(at + 5);
    m_received.remove(0, at + 5);
    return platform::ansi::Decode(reply);
}

bool WireClient::WaitClosed(int timeoutMs)
{
    (void)QTest::qWaitFor([this] { return m_closed || m_socket->state() == QAbstractSocket::UnconnectedState; }, timeoutMs);
    return m_closed || m_socket->state() == QAbstractSocket::UnconnectedState;
}

bool WireClient::IsConnected() const
{
    return !m_closed && m_socket->state() == QAbstractSocket::ConnectedState;
}

QString Exchange(quint16 port, const QString& request, bool* closed)
{
    WireClient client;
    if (!client.Connect(port))
        return {};
    client.Write(platform::ansi::Encode(request));
    const QString reply = client.ReadReply();
    const bool wasClosed = client.WaitClosed();
    if (closed)
        *closed = wasClosed;
    return reply;
}

QString LoginText(const QString& mobileNo, const QString& imeiNo)
{
    return QStringLiteral("{\"Action\":\"Login\",\"MobileNo\":\"%1\",\"IMEINo\":\"%2\"}<EOF>").arg(mobileNo, imeiNo);
}

QString RequestText(const QString& action, const QString& mobileNo, const QString& imeiNo, const QString& folderName)
{
    return QStringLiteral("{\"Action\":\"%1\",\"MobileNo\":\"%2\",\"IMEINo\":\"%3\",\"UserID\":\"%4\",\"Password\":\"%5\","
                          "\"FolderName\":\"%6\"}<EOF>")
        .arg(action, mobileNo, imeiNo, kUserID, kPassword, folderName);
}

QString Member(const QString& reply, const QString& name)
{
    platform::JsonObject object;
    object.Load(reply);
    return object.StringOf(name);
}

// --- version server ----------------------------------------------------------------------------

VersionServer::VersionServer()
{
    m_server.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            auto* buffer = new QByteArray;
            QObject::connect(socket, &QTcpSocket::disconnected, socket, [socket, buffer] {
                delete buffer;
                socket->deleteLater();
            });
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                *buffer += socket->readAll();
                if (!buffer->contains("\r\n\r\n"))
                    return;
                ++requests;
                lastPath = QString::fromLatin1(buffer->split(' ').value(1));
                buffer->clear();
                const QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + (status == 200 ? " OK" : " Not Found")
                                        + "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size())
                                        + "\r\nConnection: close\r\n\r\n";
                socket->write(head + body);
                socket->disconnectFromHost();
            });
        }
    });
}

QString VersionServer::BaseURL() const
{
    return QStringLiteral("http://127.0.0.1:") + QString::number(Port());
}

void PointVersionURL(const QString& baseURL)
{
    platform::store::SaveSetting(QStringLiteral("Tessarin"), QStringLiteral("frmMain"), QStringLiteral("CalderwickURL"),
                                 baseURL);
}

// --- relay -------------------------------------------------------------------------------------

Relay::Relay()
{
    m_server.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            m_clients.push_back(std::make_unique<WireClient>(socket));
            m_logins << QString();
        }
    });
}

Relay::~Relay() = default;

bool Relay::WaitConnections(int count, int timeoutMs)
{
    return QTest::qWaitFor([&] { return ConnectionCount() >= count; }, timeoutMs);
}

WireClient* Relay::ConnectionOf(const QString& mobileNo, QString* loginText)
{
    for (int i = 0; i < ConnectionCount(); ++i) {
        if (m_logins.at(i).isEmpty())
            m_logins[i] = m_clients.at(i)->ReadReply(3000);
        if (Member(m_logins.at(i), QStringLiteral("MobileNo")) == mobileNo) {
            if (loginText)
                *loginText = m_logins.at(i);
            return m_clients.at(i).get();
        }
    }
    return nullptr;
}

// --- the program -------------------------------------------------------------------------------

ServerProcess::ServerProcess(const Installation& installation, const QString& programFolder)
    : m_installation(installation), m_programFolder(programFolder.isEmpty() ? installation.ProgramFolder() : programFolder),
      m_binary(QStringLiteral(CORVANTIS_BINARY)), m_name(QStringLiteral("Corvantis"))
{
    m_clockFile = m_home.path() + QStringLiteral("/clock.txt");
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    QObject::connect(&m_process, &QProcess::readyRead, &m_process, [this] { m_output += m_process.readAll(); });
}

ServerProcess::ServerProcess(const Installation& installation, const QString& binary, const QString& name)
    : ServerProcess(installation)
{
    m_binary = binary;
    m_name = name;
}

QString ServerProcess::LockFile(bool viewer) const
{
    return TempFolder() + (viewer ? QStringLiteral("/TessarinMobileLog-") : QStringLiteral("/TessarinMobileClient-"))
         + qEnvironmentVariable("USER") + QStringLiteral(".lock");
}

ServerProcess::~ServerProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
}

bool ServerProcess::Start(const QString& versionBaseURL, const QStringList& arguments, const QProcessEnvironment& extra)
{
    const QString program = m_programFolder + QLatin1Char('/') + m_name;
    if (!QFileInfo::exists(program)) {
        if (!QFile::copy(m_binary, program))
            return false;
        QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    }
    const QString config = m_home.path() + QStringLiteral("/config");
    const QString storeFolder = config + QStringLiteral("/VB and VBA Program Settings");
    QDir().mkpath(storeFolder);
    const QString store = storeFolder + QStringLiteral("/Tessarin.ini");
    QFile::remove(store);
    QFile::copy(platform::store::Location(QStringLiteral("Tessarin")), store);
    {
        QSettings settings(store, QSettings::IniFormat);
        settings.setValue(QStringLiteral("frmMain/CalderwickURL"), versionBaseURL);
        settings.sync();
    }
    const QString temp = TempFolder();
    QDir().mkpath(temp);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    environment.insert(QStringLiteral("TMPDIR"), temp);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("CORVANTIS_MESSAGE_BOXES"), QStringLiteral("log"));
    environment.insert(QStringLiteral("CORVANTIS_CLOCK_FILE"), m_clockFile);
    for (const QString& key : extra.keys())
        environment.insert(key, extra.value(key));
    m_process.setProcessEnvironment(environment);
    m_process.setWorkingDirectory(m_programFolder);
    // The stop signals reach the program whatever this process was started with (a test run in
    // the background of a script ignores Ctrl+C, and so would its children).
    const std::function<void()> before = m_process.childProcessModifier();
    const QList<int> ignored = m_ignoredAtStart;
    m_process.setChildProcessModifier([before, ignored] {
        for (const int number : {SIGINT, SIGTERM, SIGHUP})
            ::signal(number, ignored.contains(number) ? SIG_IGN : SIG_DFL);
        if (before)
            before();
    });
    m_process.start(program, arguments);
    return m_process.waitForStarted(10000);
}

bool ServerProcess::WaitForLog(const QString& text, int timeoutMs) const
{
    return QTest::qWaitFor([&] { return m_installation.NewestLogText().contains(text)
                                        || m_process.state() == QProcess::NotRunning; },
                           timeoutMs)
           && m_installation.NewestLogText().contains(text);
}

void ServerProcess::SetClock(const QDateTime& now)
{
    QFile file(m_clockFile);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(now.toString(Qt::ISODate).toLatin1() + "\n");
}

void ServerProcess::Kill()
{
    m_process.kill();
    m_process.waitForFinished(5000);
}

QString ServerProcess::Output()
{
    m_output += m_process.readAll();
    return QString::fromLocal8Bit(m_output);
}

// --- a listening program ------------------------------------------------------------------------

ListeningProgram::ListeningProgram() : port(FreePort()), server(installation)
{
    installation.WriteSettings(Installation::ListeningSettings(port));
}

bool ListeningProgram::Start(const QString& versionBaseURL, const QProcessEnvironment& extra)
{
    if (!installation.IsValid() || !server.Start(versionBaseURL, {}, extra))
        return false;
    if (server.WaitForLog(QStringLiteral("|Start Accepting Connection for mobile clients.")))
        return true;
    qWarning("%s", qPrintable(server.Output()));
    return false;
}

}  // namespace servertest
