#pragma once

// The company the engine benchmarks share, and how a request is timed against its own statements
// run straight on SQLite.
//
// The company: one year (1 April 2025 to 31 March 2026, looked at on 20 February 2026) with
// 1,000,000 account-ledger lines in about 400,000 vouchers over 3 branches, 20,000 accounts,
// their balance rows and outstanding bills, 5,000 items in 4 stores with 200,000 item-ledger lines,
// and 50,000 order lines with a delivery schedule each. Month totals and stock are summed from the
// generated lines, so the balance tables agree with the ledgers.
//
// The statements each request runs are caught with SQLite's statement trace on every connection
// the process opens; they are then run again on a connection of the benchmark's own (with the
// engine's SQL functions registered), reading every column of every row, and the ratio of the
// request's time to theirs is what the engine adds: translation, reading, the reply, the log.

#include <QDate>
#include <QString>
#include <QStringList>

#include <QTemporaryDir>

#include <sqlite3.h>
#include <utility>
#include <vector>

class clsSetup;

namespace bench {

// ---- sizes -------------------------------------------------------------------------------------

constexpr int kAccountLedgerLines = 1000000;
constexpr int kAccounts = 20000;
constexpr int kItems = 5000;
constexpr int kItemLedgerLines = 200000;
constexpr int kSalesOrderLines = 30000;
constexpr int kPurchaseOrderLines = 20000;
constexpr int kLinesPerOrder = 5;
const QStringList kBranches{QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03")};
const QStringList kStores{QStringLiteral("S1"), QStringLiteral("S2"), QStringLiteral("S3"), QStringLiteral("S4")};
const QDate kYearStart(2025, 4, 1);
const QDate kYearLast(2026, 3, 31);
const QDate kToday(2026, 2, 20);
const QString kCompany = QStringLiteral("BENCH2025");


[[noreturn]] void Fail(sqlite3* db, const QString& what);
void Exec(sqlite3* db, const char* sql);
QString Code(const char* prefix, int n, int width);

// Writes the company's database into the folder; with analyze, its statistics too.
void GenerateCompany(const QString& folder, bool analyze);

struct Traced {
    QString sql;
    qint64 ns = 0;          // inside SQLite during the request
    double straightMs = 0;  // the same statement straight on SQLite
};
// Starts catching the statements of every SQLite connection the process opens from now on.
void TraceEveryConnection();

// A request of the benchmark's mobile: "Action", "MobileNo", "UserID", "Password", then the members.
QString Request(const QString& action, const QString& user, const QString& password,
                const std::vector<std::pair<QString, QString>>& members);
// "CompanyList", or a "DashBoard" of the company over the period.
QString Request(const QString& action, const QString& user, const QString& password, const QString& start,
                const QString& last);

struct Timing {
    double request = 0;   // median ms of the whole request
    double straight = 0;  // median ms of its statements run straight on SQLite
    double ratio = 0;     // median of the runs' request / straight
    double best = 0;      // the fastest run of the request
    int statements = 0;
    QString reply;
    std::vector<Traced> traced;
};

// The request and its statements straight on SQLite, run by turns so that a change in the load of
// the machine touches both alike; medians over the runs after the first.
Timing Measure(clsSetup& setup, const QString& requestText, int runs, sqlite3* straight);
// One line of figures (and the slow statements, or with plans every statement's query plan).
void Report(const char* what, const Timing& t, bool plans, sqlite3* straight, bool withRatio = true);

// A read-only connection to the company with the engine's SQL functions, for the straight runs.
sqlite3* OpenStraight(const QString& databaseFolder);

// ---- what every benchmark's main begins with ----------------------------------------------------

// The options of a benchmark: "--runs N", "--keep FOLDER", "--no-analyze", "--plans", "--no-log"
// and "--only TEXT"; a benchmark takes those its usage names.
struct Options {
    int runs = 5;
    bool analyze = true;
    bool plans = false;
    bool log = true;  // the text log written while the requests are answered
    QString keep;     // a folder kept after the run (and reused by the benchmarks that find their company there)
    QString only;
};
// Reads the arguments; false, after printing "usage: <program> <usage>", on one the usage does not
// name (usage such as "[--runs N] [--keep FOLDER] [--plans]").
bool ParseOptions(int argc, char** argv, const char* usage, Options& options);

// The start of a benchmark: its options read (exit code 2, after the usage, on a bad one) and its
// folders made (exit code 1 without a temporary folder): a temporary one (or the kept one) holding
// the program folder CALDERWICK/Corvantis and the databases, with a per-user settings store of its
// own, never the real one (XDG_CONFIG_HOME). The time zone is kept loaded as the programs keep it
// (platform/clock/TimeZone.h), so that a local date costs what it costs in the server.
class Start {
public:
    Start(int argc, char** argv, const char* usage);
    int exitCode = 0;
    Options options;
    QString programFolder;
    QString databaseFolder;

private:
    QTemporaryDir temp;
};

// The clock set to the benchmark's day and the statements of every connection caught from now on.
void StartTracing();
// The settings pointed at the database folder with every company year listed; with log, the text
// log written line by line as the server writes it while it answers.
void PointSetup(clsSetup& setup, const QString& databaseFolder, bool log);
// Company discovery, as the server runs it at start-up (so that what the first opening sets up is
// not counted in the first request); false when it lists no company.
bool DiscoverCompanies(clsSetup& setup);
// The benchmark company listed by hand under the name, for when discovery found none.
void ListByHand(clsSetup& setup, const QString& name);

}  // namespace bench
