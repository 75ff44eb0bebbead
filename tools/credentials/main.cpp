// corvantis-credentials: stores the SQL Server credentials of this machine where the programs
// read them (the per-user settings of application "Tessarin", section "ServerInfo", under value
// names bound to the machine's first fixed disk, every value encoded), and shows what is stored.
#include "CredentialNames.h"
#include "GeneralFunction.h"
#include "clsSetup.h"
#include "core/RuntimeError.h"
#include "database/ConnectionString.h"
#include "store/UserSettings.h"
#include "ToolSupport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace {

using tool::Err;
using tool::Out;

QString Encoded(const QString& text)
{
    return GeneralFunction::EncodeText(text, false, GeneralFunction::kShiftKey);
}

QString Decoded(const QString& text)
{
    return GeneralFunction::DecodeText(text, false, GeneralFunction::kShiftKey);
}

void Save(const QString& machineKey, const QString& suffix, const QString& plainValue)
{
    platform::store::SaveSetting(CredentialNames::kApplication, CredentialNames::kSection,
                                 CredentialNames::ValueName(machineKey, suffix), Encoded(plainValue));
}

// The next line of standard input. There is one stream for the whole run: a stream reads
// ahead into its own buffer, so a second stream would start after whatever the first had
// already taken, and a second "-" value would come back empty.
QString ReadLine()
{
    static QTextStream in(stdin);
    return in.readLine();
}

int Show(bool reveal)
{
    using namespace CredentialNames;
    QString model, serial;
    MachineDisk(model, serial);
    const QString machineKey = MachineKey();
    Out() << "Store:        " << platform::store::Location(kApplication) << " [" << kSection << "]\n";
    Out() << "Machine disk: " << model << " / " << serial << "\n";
    const QString odbc = platform::store::GetSetting(kApplication, kSection, ValueName(machineKey, kOdbc));
    Out() << "ODBC:         " << (odbc.isEmpty() ? QStringLiteral("(not stored: False)") : Decoded(odbc)) << "\n";
    for (int i = 0; i < Count; ++i) {
        const QString stored = platform::store::GetSetting(kApplication, kSection, ValueName(machineKey, kSuffixNames.at(i)));
        QString shown = Decoded(stored);
        if ((i == PrimaryPassword || i == SecondaryPassword) && !reveal && !shown.isEmpty())
            shown = QStringLiteral("*****");
        Out() << QStringLiteral("%1 ").arg(kSuffixNames.at(i) + QLatin1Char(':'), -18) << (stored.isEmpty() ? QStringLiteral("(empty)") : shown)
              << "\n";
    }
    clsSetup setup(QDir::tempPath());
    try {
        QString text = setup.GetLogConnectionString();
        if (!reveal && !Decoded(setup.DB_PASSWORD).isEmpty()) {
            platform::db::ConnectionString masked = platform::db::ConnectionString::Parse(text);
            masked.Set(QStringLiteral("Password"), QStringLiteral("*****"));
            text = masked.ToText();
        }
        Out() << "Connection (" << setup.cLogDatabaseName << "): " << text << "\n";
    } catch (const platform::RuntimeError& e) {
        Out() << "Connection:   none (" << e.Description() << ")\n";
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvantis-credentials"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Stores the SQL Server credentials that Corvantis and Lodrevin read, or shows them.\n\n"
        "  set --server HOST --user NAME --password SECRET   a SQL Server (through ODBC)\n"
        "  set --sqlite FOLDER                                the embedded database in FOLDER\n"
        "  show [--reveal]                                    what is stored for this machine\n"
        "  clear                                              removes what is stored"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("set, show or clear"));
    const QCommandLineOption server(QStringLiteral("server"), QStringLiteral("SQL Server name (host, host\\instance or host,port)."), QStringLiteral("host"));
    const QCommandLineOption sqlite(QStringLiteral("sqlite"), QStringLiteral("Folder of the embedded database (master.sqlite and one <company>.sqlite each)."), QStringLiteral("folder"));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("SQL Server login."), QStringLiteral("name"));
    const QCommandLineOption password(QStringLiteral("password"), QStringLiteral("Password of the login; \"-\" reads it from the first line of standard input."), QStringLiteral("secret"));
    const QCommandLineOption timeout(QStringLiteral("timeout"), QStringLiteral("Time-out kept with the credentials (seconds)."), QStringLiteral("seconds"));
    const QCommandLineOption secondaryServer(QStringLiteral("secondary-server"), QStringLiteral("Secondary server (kept, not used)."), QStringLiteral("host"));
    const QCommandLineOption secondaryUser(QStringLiteral("secondary-user"), QStringLiteral("Secondary login."), QStringLiteral("name"));
    const QCommandLineOption secondaryPassword(QStringLiteral("secondary-password"), QStringLiteral("Secondary password; \"-\" reads it from the next line of standard input (after --password -)."), QStringLiteral("secret"));
    const QCommandLineOption secondaryTimeout(QStringLiteral("secondary-timeout"), QStringLiteral("Secondary time-out."), QStringLiteral("seconds"));
    const QCommandLineOption reveal(QStringLiteral("reveal"), QStringLiteral("show: print the passwords instead of *****."));
    parser.addOptions({server, sqlite, user, password, timeout, secondaryServer, secondaryUser, secondaryPassword, secondaryTimeout, reveal});
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    const QString command = args.value(0);
    try {
        using namespace CredentialNames;
        if (command == QLatin1String("show"))
            return Show(parser.isSet(reveal));

        const QString machineKey = MachineKey();
        if (command == QLatin1String("clear")) {
            platform::store::DeleteSetting(kApplication, kSection, ValueName(machineKey, kOdbc));
            for (const QString& suffix : kSuffixNames)
                platform::store::DeleteSetting(kApplication, kSection, ValueName(machineKey, suffix));
            Out() << "Removed the credentials of this machine from " << platform::store::Location(kApplication) << "\n";
            return 0;
        }
        if (command != QLatin1String("set")) {
            Err() << "Give a command: set, show or clear (--help tells more).\n";
            return 2;
        }
        if (parser.isSet(server) == parser.isSet(sqlite)) {
            Err() << "set needs either --server or --sqlite.\n";
            return 2;
        }
        QStringList values(Count);
        if (parser.isSet(sqlite)) {
            const QString folder = QFileInfo(parser.value(sqlite)).absoluteFilePath();
            if (!QFileInfo(folder).isDir()) {
                Err() << "No such folder: " << folder << "\n";
                return 1;
            }
            values[PrimaryServer] = QStringLiteral("sqlite:") + folder;
        } else {
            if (parser.value(server).trimmed().isEmpty()) {
                Err() << "--server needs a name.\n";
                return 2;
            }
            values[PrimaryServer] = parser.value(server);
            values[PrimaryUserID] = parser.value(user);
            values[PrimaryPassword] = parser.value(password) == QLatin1String("-") ? ReadLine() : parser.value(password);
        }
        values[PrimaryTimeOut] = parser.value(timeout);
        values[SecondaryServer] = parser.value(secondaryServer);
        values[SecondaryUserID] = parser.value(secondaryUser);
        values[SecondaryPassword] = parser.value(secondaryPassword) == QLatin1String("-") ? ReadLine() : parser.value(secondaryPassword);
        values[SecondaryTimeOut] = parser.value(secondaryTimeout);

        Save(machineKey, kOdbc, QStringLiteral("False"));
        for (int i = 0; i < Count; ++i)
            Save(machineKey, kSuffixNames.at(i), values.at(i));
        Out() << "Stored the credentials of this machine in " << platform::store::Location(kApplication) << "\n";
        return 0;
    } catch (const platform::RuntimeError& e) {
        tool::PrintError(e);
        return 1;
    }
}
