// corvantis-mobile: plays a mobile against a Corvantis server in listening mode. It logs the
// mobile in on one connection, then sends one request given as JSON on a second connection (the
// server answers one request per connection), each framed with "<EOF>", and prints each reply.
#include "json/Json.h"
#include "text/Ansi.h"
#include "ToolSupport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTextStream>

namespace {

using tool::Err;
using tool::Out;

const QByteArray kMarker = "<EOF>";

// Sends one framed message on a connection of its own and returns the reply up to and
// including its marker; false with `error` set when no whole reply comes in time.
bool Exchange(const QString& host, quint16 port, int timeoutMs, const QString& message, QString& reply, QString& error)
{
    QTcpSocket socket;
    socket.connectToHost(host, port);
    if (!socket.waitForConnected(timeoutMs)) {
        error = QStringLiteral("cannot connect to %1:%2: %3").arg(host).arg(port).arg(socket.errorString());
        return false;
    }
    socket.write(platform::ansi::Encode(message));
    QByteArray received;
    QElapsedTimer clock;
    clock.start();
    while (!received.toUpper().contains(kMarker)) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0) {
            error = QStringLiteral("no reply within %1 s").arg(timeoutMs / 1000.0);
            return false;
        }
        if (!socket.waitForReadyRead(static_cast<int>(left))) {
            received += socket.readAll();
            if (received.toUpper().contains(kMarker))
                break;
            error = socket.state() == QAbstractSocket::ConnectedState
                        ? QStringLiteral("no reply within %1 s").arg(timeoutMs / 1000.0)
                        : QStringLiteral("the server closed the connection without a whole reply");
            return false;
        }
        received += socket.readAll();
    }
    const qsizetype end = received.toUpper().indexOf(kMarker) + kMarker.size();
    reply = platform::ansi::Decode(received.left(end));
    socket.disconnectFromHost();
    return true;
}

QString StatusOf(const QString& reply)
{
    platform::JsonObject object;
    object.Load(reply);
    return object.StringOf(QStringLiteral("Status"));
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvantis-mobile"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays a mobile against a running Corvantis server in listening mode: logs in, then sends one request\n"
        "given as JSON (\"-\" reads it from standard input) and prints each reply as it comes.\n"
        "\"MobileNo\" and \"IMEINo\" are added to the request when it lacks them. A request whose Action is\n"
        "\"Login\" is sent alone. Exit status: 0 when the last reply has Status 1, 1 when a reply has Status 0,\n"
        "2 when the server cannot be reached or does not answer."));
    parser.addHelpOption();
    const QCommandLineOption hostOption(QStringLiteral("host"), QStringLiteral("Server address (default 127.0.0.1)."),
                                        QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("Server port (default 1175)."),
                                        QStringLiteral("port"), QStringLiteral("1175"));
    const QCommandLineOption mobileOption(QStringLiteral("mobile"), QStringLiteral("The mobile number."),
                                          QStringLiteral("number"));
    const QCommandLineOption imeiOption(QStringLiteral("imei"), QStringLiteral("The IMEI number (default empty)."),
                                        QStringLiteral("number"), QString());
    const QCommandLineOption noLoginOption(QStringLiteral("no-login"),
                                           QStringLiteral("Send the request without logging in first."));
    const QCommandLineOption timeoutOption(QStringLiteral("timeout"),
                                           QStringLiteral("Seconds to wait for each reply (default 30)."),
                                           QStringLiteral("seconds"), QStringLiteral("30"));
    parser.addOptions({hostOption, portOption, mobileOption, imeiOption, noLoginOption, timeoutOption});
    parser.addPositionalArgument(QStringLiteral("request"), QStringLiteral("The request as a JSON object, or \"-\"."));
    parser.process(app);

    const QStringList positional = parser.positionalArguments();
    bool portOk = false;
    const int port = parser.value(portOption).toInt(&portOk);
    bool timeoutOk = false;
    const double timeoutSeconds = parser.value(timeoutOption).toDouble(&timeoutOk);
    if (positional.size() != 1 || !parser.isSet(mobileOption) || !portOk || port < 1 || port > 65535 || !timeoutOk
        || timeoutSeconds <= 0) {
        Err() << parser.helpText();
        return 2;
    }
    QString requestText = positional.first();
    if (requestText == QStringLiteral("-")) {
        if (!tool::ReadStandardInput(requestText)) {
            Err() << "cannot read the standard input\n";
            return 2;
        }
        requestText = requestText.trimmed();
    }
    if (requestText.endsWith(QStringLiteral("<EOF>"), Qt::CaseInsensitive))
        requestText.chop(5);

    platform::ojson given;
    try {
        given = platform::ojson::parse(platform::json::Utf8(requestText));
    } catch (const std::exception& e) {
        Err() << "the request is not JSON: " << e.what() << "\n";
        return 2;
    }
    if (!given.is_object()) {
        Err() << "the request must be a JSON object\n";
        return 2;
    }
    const QString mobileNo = parser.value(mobileOption);
    const QString imeiNo = parser.value(imeiOption);
    // The head members first, as the app sends them; the caller's members after.
    platform::ojson request = platform::ojson::object();
    if (given.contains("Action"))
        request["Action"] = given["Action"];
    request["MobileNo"] = given.contains("MobileNo") ? given["MobileNo"] : platform::ojson(platform::json::Utf8(mobileNo));
    request["IMEINo"] = given.contains("IMEINo") ? given["IMEINo"] : platform::ojson(platform::json::Utf8(imeiNo));
    for (auto it = given.begin(); it != given.end(); ++it)
        if (!request.contains(it.key()))
            request[it.key()] = it.value();
    const QString action = given.contains("Action") && given["Action"].is_string()
                               ? platform::json::FromUtf8(given["Action"].get<std::string>())
                               : QString();

    const QString host = parser.value(hostOption);
    const int timeoutMs = static_cast<int>(timeoutSeconds * 1000);
    QString reply, error;
    const bool isLogin = action.compare(QStringLiteral("Login"), Qt::CaseInsensitive) == 0;
    if (!isLogin && !parser.isSet(noLoginOption)) {
        platform::ojson login = platform::ojson::object();
        login["Action"] = "Login";
        login["MobileNo"] = request["MobileNo"];
        login["IMEINo"] = request["IMEINo"];
        if (!Exchange(host, static_cast<quint16>(port), timeoutMs, platform::json::FromUtf8(login.dump()) + QStringLiteral("<EOF>"),
                      reply, error)) {
            Err() << "login: " << error << "\n";
            return 2;
        }
        Out() << reply << "\n";
        Out().flush();
        if (StatusOf(reply) != QStringLiteral("1"))
            return 1;
    }
    if (!Exchange(host, static_cast<quint16>(port), timeoutMs, platform::json::FromUtf8(request.dump()) + QStringLiteral("<EOF>"),
                  reply, error)) {
        Err() << "request: " << error << "\n";
        return 2;
    }
    Out() << reply << "\n";
    Out().flush();
    return StatusOf(reply) == QStringLiteral("1") ? 0 : 1;
}
