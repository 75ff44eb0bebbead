// corvantis-demo: makes a demo installation in a program folder, once. It creates the embedded
// database folder with a demo company, stores this machine's credentials for it and writes a
// settings file with one demo mobile, so that Corvantis can be started at once and answers the
// mobile app with figures on every dashboard tile.
//
//   corvantis-demo [--install <program folder>] [--force-credentials]
//
// An installation that already has a settings file is left exactly as it is, and an existing
// company database is never replaced.

#include "CredentialNames.h"
#include "DemoCompany.h"
#include "Fixtures.h"
#include "GeneralFunction.h"
#include "ToolSupport.h"
#include "clock/Clock.h"
#include "core/RuntimeError.h"
#include "store/UserSettings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <stdexcept>

namespace {

using tool::Err;
using tool::Out;

const QString kMobileNo = QStringLiteral("9999999999");
const QString kLocalPort = QStringLiteral("1175");
const QString kSettingsFile = QStringLiteral("TessarinMobileClientSettings.json");

// The programs run only from a folder whose last two names are CALDERWICK and Corvantis.
bool IsProgramFolder(const QString& folder)
{
    const QStringList parts = QDir::cleanPath(folder).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return parts.size() >= 2 && parts.at(parts.size() - 2).compare(QStringLiteral("CALDERWICK"), Qt::CaseInsensitive) == 0
           && parts.last().compare(QStringLiteral("Corvantis"), Qt::CaseInsensitive) == 0;
}

// A database file of that name in the folder, whatever the case of its letters (the embedded
// database finds company files so); empty when there is none.
QString ExistingDatabaseFile(const QString& folder, const QString& name)
{
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden);
    for (const QString& entry : entries)
        if (entry.compare(name + QStringLiteral(".sqlite"), Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    return QString();
}

// What the credentials stored for this machine name as their server: "" when none are stored.
QString StoredServer(bool& odbc)
{
    using namespace CredentialNames;
    const QString key = MachineKey();
    const QString odbcValue = platform::store::GetSetting(kApplication, kSection, ValueName(key, kOdbc));
    const QString serverValue = platform::store::GetSetting(kApplication, kSection, ValueName(key, kSuffixNames.at(PrimaryServer)));
    odbc = false;
    try {
        const QString flag = GeneralFunction::DecodeText(odbcValue, false, GeneralFunction::kShiftKey);
        odbc = flag.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0;
        if (odbc || serverValue.isEmpty())
            return odbc ? QStringLiteral("(an ODBC data source)") : QString();
        return GeneralFunction::DecodeText(serverValue, false, GeneralFunction::kShiftKey);
    } catch (const platform::RuntimeError&) {
        // Something is stored that cannot be read: it is still somebody's, and is kept.
        return QStringLiteral("(unreadable stored value)");
    }
}

QString Request(const QString& userID, const QString& password, const QString& action, const QString& folderName)
{
    QString text = QStringLiteral("{\"Action\":\"%1\",\"MobileNo\":\"%2\",\"UserID\":\"%3\",\"Password\":\"%4\"")
                       .arg(action, kMobileNo, userID, password);
    if (!folderName.isEmpty())
        text += QStringLiteral(",\"FolderName\":\"%1\",\"StartDate\":\"1899-12-30\",\"LastDate\":\"1899-12-30\"").arg(folderName);
    return text + QLatin1Char('}');
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvantis-demo"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Creates a demo installation once: a demo company in the embedded database folder <program folder>/Data,\n"
        "this machine's credentials for that folder, and a settings file with one demo mobile. An installation\n"
        "that already has a settings file is left unchanged, and no company database is ever replaced."));
    parser.addHelpOption();
    const QCommandLineOption installOption(
        QStringLiteral("install"),
        QStringLiteral("The program folder (ending in CALDERWICK/Corvantis); the folder of this command when not given."),
        QStringLiteral("program folder"));
    const QCommandLineOption forceOption(QStringLiteral("force-credentials"),
                                         QStringLiteral("Replace credentials already stored for this machine."));
    parser.addOption(installOption);
    parser.addOption(forceOption);
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        Err() << "Unexpected arguments: " << parser.positionalArguments().join(QLatin1Char(' ')) << "\n" << parser.helpText();
        return 64;
    }

    const QString programFolder = QDir::cleanPath(QFileInfo(parser.isSet(installOption) ? parser.value(installOption)
                                                                                         : QCoreApplication::applicationDirPath())
                                                      .absoluteFilePath());
    if (!IsProgramFolder(programFolder)) {
        Err() << "The program folder must end with CALDERWICK/Corvantis, where the programs run from: " << programFolder << "\n";
        return 2;
    }
    const QString settingsPath = QDir(programFolder).filePath(kSettingsFile);
    if (QFileInfo::exists(settingsPath)) {
        Out() << "The installation in " << programFolder << " already has settings (" << kSettingsFile
              << "); nothing was changed.\n";
        return 0;
    }

    QElapsedTimer timer;
    timer.start();
    const QDate today = platform::Clock::Today();
    const QString dataFolder = QDir(programFolder).filePath(QStringLiteral("Data"));
    const QString databaseName = demo::DatabaseNameFor(today);
    const QString existing = ExistingDatabaseFile(dataFolder, databaseName);
    if (!existing.isEmpty()) {
        Err() << "The company database " << existing << " already exists, but the installation has no settings file.\n"
              << "Nothing was changed. Restore " << settingsPath << ", or move the database away to create the demo again.\n";
        return 1;
    }

    demo::DemoSummary summary;
    try {
        summary = demo::CreateDemoCompany(dataFolder, today);
    } catch (const std::exception& e) {
        Err() << "Cannot create the demo company in " << dataFolder << ": " << e.what() << "\n";
        return 1;
    }

    // Credentials stored for this machine belong to whoever stored them; they are replaced only
    // when asked.
    const QString wanted = fixtures::EmbeddedServer(dataFolder);
    bool odbc = false;
    QString server;
    QString credentials;
    try {
        server = StoredServer(odbc);
        if (!server.isEmpty() && server != wanted && !parser.isSet(forceOption)) {
            Err() << "Warning: credentials are already stored for this machine (server " << server
                  << "); they were kept, so the server works with that server's companies, not with the demo.\n"
                  << "To point this machine at the demo: "
                  << QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("corvantis-credentials"))
                  << " set --sqlite " << dataFolder << "\n"
                  << "(a demo installation made with --force-credentials replaces them at once).\n";
            credentials = QStringLiteral("kept the existing ones (server %1)").arg(server);
        } else if (server == wanted) {
            credentials = QStringLiteral("already stored for %1").arg(wanted);
        } else {
            fixtures::StoreCredentials(dataFolder);
            credentials = QStringLiteral("stored for %1 in %2").arg(wanted, platform::store::Location(CredentialNames::kApplication));
        }

        fixtures::SettingsFile settings;
        settings.StaticIP = true;
        settings.LocalPort = kLocalPort;
        settings.AutoStart = true;
        settings.CurrentYearOnly = true;
        settings.Mobiles = {{kMobileNo, QString(), {summary.DatabaseName}, false, QString()}};
        fixtures::WriteSettingsFile(programFolder, settings);
    } catch (const platform::RuntimeError& e) {
        Err() << "The demo company was created in " << summary.FilePath << ", but the installation could not be completed: Error "
              << platform::ErrorLine(e) << "\n";
        return 1;
    } catch (const std::exception& e) {
        Err() << "The demo company was created in " << summary.FilePath << ", but the installation could not be completed: " << e.what()
              << "\n";
        return 1;
    }

    const QString program = QDir(programFolder).filePath(QStringLiteral("Corvantis"));
    const QString dateFormat = QStringLiteral("dd/MM/yyyy");
    Out() << "Demo installation created in " << programFolder << QStringLiteral(" (%1 s)").arg(timer.elapsed() / 1000.0, 0, 'f', 1)
          << "\n\n";
    Out() << "  Company      " << summary.CompanyName << ", year " << summary.StartDate.toString(dateFormat) << " to "
          << summary.LastDate.toString(dateFormat) << ", data up to " << today.toString(dateFormat) << "\n";
    Out() << "  Database     " << summary.DatabaseName << " (" << summary.FilePath << ")\n";
    Out() << "  Contents     " << summary.Branches << " branches, " << summary.Stores << " stores, " << summary.Accounts << " accounts, "
          << summary.Items << " items,\n"
          << "               " << summary.Vouchers << " vouchers (" << summary.LedgerLines << " ledger lines), " << summary.SalesOrders
          << " sales orders, " << summary.PurchaseOrders << " purchase orders,\n"
          << "               " << summary.StockMovements << " stock movements, " << summary.OpenBills << " open bills\n";
    bool first = true;
    for (const demo::DemoUser& user : summary.Users) {
        Out() << (first ? "  Users        " : "               ") << user.UserID << " / " << user.Password << "  (" << user.Rights << ")\n";
        first = false;
    }
    Out() << "  Mobile       " << kMobileNo << ", allowed " << summary.DatabaseName
          << " (no IMEI yet: the first one that logs in is registered)\n";
    Out() << "  Server       listening mode on port " << kLocalPort << ", starts listening when opened\n";
    Out() << "  Credentials  " << credentials << "\n\n";
    Out() << "Start the server:\n  " << program << "\n";
    if (!QFileInfo(program).isExecutable())
        Out() << "  (the programs are not in that folder yet: build or copy them there, they run from nowhere else)\n";
    Out() << "\n";
    // The commands work from anywhere; these are the ones beside this command.
    const QDir tools(QCoreApplication::applicationDirPath());
    Out() << "Ask the running server as the demo mobile:\n  " << tools.filePath(QStringLiteral("corvantis-mobile"))
          << " --mobile " << kMobileNo << " '" << Request(QStringLiteral("ADMIN"), QStringLiteral("admin"), QStringLiteral("DashBoard"),
                                                           summary.DatabaseName)
          << "'\n\n";
    Out() << "Or answer one request without the server:\n  " << tools.filePath(QStringLiteral("corvantis-request"))
          << " --folder " << programFolder << " '"
          << Request(QStringLiteral("SALES1"), QStringLiteral("sales1"), QStringLiteral("CompanyList"), QString()) << "'\n";
    return 0;
}
