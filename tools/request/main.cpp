// corvantis-request: answers one mobile request through the request engine, with the settings
// file and the stored SQL Server credentials of an installation, and prints the reply text.
// Support replays a mobile's request with it; tests run the engine from outside with it.
//
//   corvantis-request [--folder <installation folder>] [--test-mode] [--log] ['<request JSON>']
//
// Without the JSON argument the request is read from standard input. The reply (ending in
// "<EOF>") goes to standard output; the settings object's messages go to standard error. With
// --log the request's steps are written to a new text log in the installation's LogFiles, as the
// server writes them.

#include "clsClient.h"
#include "clsSetup.h"
#include "core/RuntimeError.h"
#include "json/Json.h"
#include "ToolSupport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>
#include <cstdio>

namespace {

void PrintMessage(const QString& text)
{
    tool::Err() << text << Qt::endl;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvantis-request"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Answers one mobile request (a JSON object) as the Corvantis server would, and prints the reply."));
    parser.addHelpOption();
    const QCommandLineOption folderOption(QStringLiteral("folder"),
                                          QStringLiteral("The installation folder (settings file and LogFiles); "
                                                         "the folder of this command when not given."),
                                          QStringLiteral("folder"));
    const QCommandLineOption testModeOption(QStringLiteral("test-mode"),
                                            QStringLiteral("Answer as a server started with /TestMode."));
    const QCommandLineOption logOption(QStringLiteral("log"),
                                       QStringLiteral("Write the request's steps to a new text log in LogFiles."));
    parser.addOption(folderOption);
    parser.addOption(testModeOption);
    parser.addOption(logOption);
    parser.addPositionalArgument(QStringLiteral("json"),
                                 QStringLiteral("The request; read from standard input when not given."));
    parser.process(app);

    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        PrintMessage(QStringLiteral("Give the request as one argument (quote it), or on standard input."));
        return 64;
    }
    QString requestText;
    if (positional.isEmpty()) {
        QTextStream in(stdin);
        requestText = in.readAll();
    } else {
        requestText = positional.first();
    }

    const QString folder = parser.isSet(folderOption) ? QDir(parser.value(folderOption)).absolutePath()
                                                      : QCoreApplication::applicationDirPath();
    clsSetup setup(folder);
    QObject::connect(&setup, &clsSetup::Message,
                     [](const QString&, const QString&, qint32, const QString& description, qint32, qint32, bool*, bool) {
                         PrintMessage(description);
                     });
    QObject::connect(&setup, &clsSetup::ShowEvents, [](const QString& text) { PrintMessage(text); });

    if (!setup.GetSettings())
        return 2;
    if (parser.isSet(logOption))
        setup.LogEvents();
    if (!setup.GetCompanyList())
        return 2;

    // Text that is not a JSON object is answered as an empty request, as the server does.
    platform::JsonObject request;
    request.Load(requestText);

    clsClient client;
    client.Setup = &setup;
    client.lTestingMode = parser.isSet(testModeOption);
    try {
        const QString reply = client.GetData(request);
        tool::Out() << reply << Qt::endl;
    } catch (const platform::RuntimeError& error) {
        tool::PrintError(error);
        return 3;
    }
    return 0;
}
