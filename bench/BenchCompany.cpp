// The benchmark company and the measuring of requests against the same statements run straight
// on SQLite, shared by the benchmarks of the engine's actions.

#include "BenchCompany.h"

#include "Fixtures.h"
#include "clock/Clock.h"
#include "clock/TimeZone.h"
#include "process/Memory.h"
#include "clsClient.h"
#include "clsSetup.h"
#include "database/SqliteFunctions.h"
#include "json/Json.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <random>
#include <sqlite3.h>
#include <stdexcept>
#include <unordered_map>
#include <vector>


namespace bench {

// ---- a thin layer over the SQLite C API ---------------------------------------------------------

[[noreturn]] void Fail(sqlite3* db, const QString& what)
{
    throw std::runtime_error((what + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db))).toStdString());
}

void Exec(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail(db, QString::fromUtf8(sql));
}

class Insert {
public:
    Insert(sqlite3* db, const QString& table, const QStringList& columns) : m_db(db)
    {
        QStringList marks;
        for (int i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        const QString sql = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") + columns.join(QLatin1Char(','))
                            + QStringLiteral(") VALUES (") + marks.join(QLatin1Char(',')) + QStringLiteral(")");
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &m_stmt, nullptr) != SQLITE_OK)
            Fail(db, sql);
    }
    ~Insert() { sqlite3_finalize(m_stmt); }
    Insert& Int(qint64 v) { sqlite3_bind_int64(m_stmt, ++m_index, v); return *this; }
    Insert& Real(double v) { sqlite3_bind_double(m_stmt, ++m_index, v); return *this; }
    Insert& Text(const QString& v)
    {
        const QByteArray bytes = v.toUtf8();
        sqlite3_bind_text(m_stmt, ++m_index, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Insert& Date(const QDate& d) { return Text(d.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00")); }
    Insert& Flag(bool v) { return Text(v ? QStringLiteral("True") : QStringLiteral("False")); }
    void Run()
    {
        if (sqlite3_step(m_stmt) != SQLITE_DONE)
            Fail(m_db, QStringLiteral("insert"));
        sqlite3_reset(m_stmt);
        m_index = 0;
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    int m_index = 0;
};

int MonthNumber(const QDate& d)
{
    return (d.year() - kYearStart.year()) * 12 + d.month() - kYearStart.month() + 1;
}

QString Code(const char* prefix, int n, int width)
{
    return QString::fromLatin1(prefix) + QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0'));
}

// ---- the company --------------------------------------------------------------------------------

void GenerateCompany(const QString& folder, bool analyze)
{
    std::mt19937 rng(20250401);
    const auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };
    const auto money = [&](double lo, double hi) {
        return std::round(std::uniform_real_distribution<double>(lo, hi)(rng) * 100.0) / 100.0;
    };
    const int days = static_cast<int>(kYearStart.daysTo(kToday));  // data up to the day before "today" and on it
    const auto someDay = [&] { return kYearStart.addDays(uniform(0, days)); };

    {
        // The schema, the company row, users, branches, stores and the account groups.
        fixtures::CompanyDatabase company(folder, kCompany);
        fixtures::CompanyRow row;
        row.CompanyName = QStringLiteral("Bench Traders");
        row.StartDate = kYearStart;
        row.LastDate = kYearLast;
        row.BranchRequired = true;
        company.AddCompany(row);
        fixtures::UserRow admin;
        admin.UserID = QStringLiteral("ADMIN");
        admin.Password = QStringLiteral("admin");
        admin.IsSupervisor = true;
        company.AddUser(admin);
        fixtures::UserRow clerk;
        clerk.UserID = QStringLiteral("CLERK");
        clerk.Password = QStringLiteral("clerk");
        clerk.BranchCodes = QStringLiteral("01,02");
        clerk.StoreCodes = QStringLiteral("S1,S2,S3");
        company.AddUser(clerk);
        for (const QString& b : kBranches)
            company.AddBranch({b, QStringLiteral("Branch ") + b, false, QStringLiteral("027")});
        for (const QString& s : kStores)
            company.AddStore({s, QStringLiteral("Store ") + s});
    }

    sqlite3* db = nullptr;
    const QByteArray path = QFile::encodeName(QDir(folder).filePath(kCompany + QStringLiteral(".sqlite")));
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        Fail(db, QStringLiteral("open"));
    Exec(db, "PRAGMA journal_mode = OFF");
    Exec(db, "PRAGMA synchronous = OFF");
    Exec(db, "BEGIN");

    // Account groups and accounts: 12,000 debtors, 6,000 creditors, the rest sales, purchase, cash,
    // bank, expense and capital accounts.
    struct Group {
        const char* code;
        const char* type;
    };
    const std::array<Group, 10> groups{{{"G01", "SA"}, {"G02", "PU"}, {"G03", "CH"}, {"G04", "BK"}, {"G05", "SD"},
                                        {"G06", "SC"}, {"G07", "EX"}, {"G08", "IN"}, {"G09", "CA"}, {"G10", "FA"}}};
    {
        Insert g(db, QStringLiteral("FaAccountGroupMaster"),
                 {QStringLiteral("AccountGroupCode"), QStringLiteral("AccountGroupName"), QStringLiteral("GroupType"),
                  QStringLiteral("AccountHead"), QStringLiteral("NonAccountingGroup")});
        for (const Group& group : groups)
            g.Text(QString::fromLatin1(group.code)).Text(QString::fromLatin1(group.code)).Text(QString::fromLatin1(group.type))
                .Int(1).Flag(false).Run();
    }
    std::vector<int> groupOf(kAccounts);
    std::vector<int> debtors, creditors, sales, purchases, cash, bank, others;
    for (int i = 0; i < kAccounts; ++i) {
        int g;
        if (i < 12000) { g = 4; debtors.push_back(i); }
        else if (i < 18000) { g = 5; creditors.push_back(i); }
        else if (i < 18040) { g = 0; sales.push_back(i); }
        else if (i < 18080) { g = 1; purchases.push_back(i); }
        else if (i < 18090) { g = 2; cash.push_back(i); }
        else if (i < 18120) { g = 3; bank.push_back(i); }
        else { g = 6 + i % 4; others.push_back(i); }
        groupOf[i] = g;
    }
    {
        Insert a(db, QStringLiteral("FaAccountMaster"),
                 {QStringLiteral("AccountCode"), QStringLiteral("AccountName"), QStringLiteral("ParentGroupCode"),
                  QStringLiteral("Passed")});
        for (int i = 0; i < kAccounts; ++i)
            a.Text(Code("A", i, 5)).Text(QStringLiteral("Account %1").arg(i))
                .Text(QString::fromLatin1(groups[static_cast<size_t>(groupOf[i])].code)).Flag(i % 500 != 7).Run();
    }
    const auto pick = [&](const std::vector<int>& from) { return from[static_cast<size_t>(uniform(0, static_cast<int>(from.size()) - 1))]; };

    // Account ledger, vouchers of 2 to 4 lines, and the month totals they add up to.
    std::unordered_map<qint64, std::array<double, 13>> totals;  // account * 8 + branch -> opening, months 1-12
    const auto addTotal = [&](int account, int branch, const QDate& date, double amount) {
        auto& t = totals[static_cast<qint64>(account) * 8 + branch];
        t[static_cast<size_t>(MonthNumber(date))] += amount;
    };
    {
        Insert line(db, QStringLiteral("FaAccountLedger"),
                    {QStringLiteral("DocumentYear"), QStringLiteral("BranchCode"), QStringLiteral("DocumentType"),
                     QStringLiteral("SeriesCode"), QStringLiteral("DocumentNo"), QStringLiteral("Sno"),
                     QStringLiteral("AccountSno"), QStringLiteral("AccountCode"), QStringLiteral("AccountBranchCode"),
                     QStringLiteral("DocumentDate"), QStringLiteral("Narration"), QStringLiteral("Amount"),
                     QStringLiteral("Passed")});
        Insert bill(db, QStringLiteral("FaOSReg"),
                    {QStringLiteral("DocumentYear"), QStringLiteral("BranchCode"), QStringLiteral("DocumentType"),
                     QStringLiteral("SeriesCode"), QStringLiteral("DocumentNo"), QStringLiteral("Sno"),
                     QStringLiteral("AccountCode"), QStringLiteral("AccountSno"), QStringLiteral("AccountBranchCode"),
                     QStringLiteral("DocumentDate"), QStringLiteral("BillNo"), QStringLiteral("BillDate"),
                     QStringLiteral("CreditPeriod"), QStringLiteral("Amount"), QStringLiteral("PendingAmount"),
                     QStringLiteral("AdjustedAmount"), QStringLiteral("Passed")});
        static const char* const types[] = {"INV", "INV", "PUR", "CRE", "CPA", "BRE", "BPA", "JOV"};
        int lines = 0;
        int documentNo = 0;
        while (lines < kAccountLedgerLines) {
            ++documentNo;
            const int branch = uniform(0, 2);
            const QString type = QString::fromLatin1(types[uniform(0, 7)]);
            const QDate date = someDay();
            const bool passed = !chance(0.01);
            const int count = std::min(uniform(2, 4), kAccountLedgerLines - lines < 2 ? 2 : kAccountLedgerLines - lines);
            const double amount = money(100, 50000);
            // The first line carries the voucher's account; the others split the other side.
            int first, party;
            if (type == QLatin1String("INV")) { first = pick(debtors); party = pick(sales); }
            else if (type == QLatin1String("PUR")) { first = pick(creditors); party = pick(purchases); }
            else if (type == QLatin1String("CRE")) { first = pick(cash); party = pick(debtors); }
            else if (type == QLatin1String("CPA")) { first = pick(cash); party = pick(others); }
            else if (type == QLatin1String("BRE")) { first = pick(bank); party = pick(debtors); }
            else if (type == QLatin1String("BPA")) { first = pick(bank); party = pick(creditors); }
            else { first = pick(others); party = pick(others); }
            const double sign = (type == QLatin1String("PUR") || type == QLatin1String("CPA") || type == QLatin1String("BPA")) ? -1 : 1;
            for (int s = 1; s <= count; ++s) {
                const int account = s == 1 ? first : (s == 2 ? party : pick(others));
                double value = s == 1 ? sign * amount : -sign * amount / (count - 1);
                value = std::round(value * 100.0) / 100.0;
                line.Int(2025).Text(kBranches[branch]).Text(type).Text(QStringLiteral("A")).Text(QString::number(documentNo))
                    .Int(s).Int(s).Text(Code("A", account, 5)).Text(kBranches[branch]).Date(date)
                    .Text(QStringLiteral("Voucher line")).Real(value).Flag(passed).Run();
                if (passed)
                    addTotal(account, branch, date, value);
            }
            if (type == QLatin1String("INV") || type == QLatin1String("PUR")) {
                const double pending = chance(0.6) ? 0.0 : (chance(0.5) ? amount : money(1, amount));
                const QDate billDate = type == QLatin1String("PUR") ? date.addDays(-uniform(0, 5)) : QDate(1899, 12, 30);
                bill.Int(2025).Text(kBranches[branch]).Text(type).Text(QStringLiteral("A")).Text(QString::number(documentNo))
                    .Int(1).Text(Code("A", first, 5)).Int(1).Text(kBranches[branch]).Date(date)
                    .Text(QStringLiteral("B%1").arg(documentNo)).Date(billDate).Int(15 * uniform(0, 4)).Real(amount)
                    .Real(pending).Real(amount - pending).Flag(passed).Run();
            }
            lines += count;
        }
    }
    {
        std::uniform_real_distribution<double> opening(-20000, 20000);
        QStringList columns{QStringLiteral("AccountCode"), QStringLiteral("BranchCode"), QStringLiteral("OpeningBalance")};
        for (int k = 1; k <= 12; ++k)
            columns << QStringLiteral("Month%1Total").arg(k);
        Insert balance(db, QStringLiteral("FaAccountBalanceMaster"), columns);
        for (auto& [key, t] : totals) {
            const int account = static_cast<int>(key / 8);
            balance.Text(Code("A", account, 5)).Text(kBranches[static_cast<int>(key % 8)]);
            const int g = groupOf[static_cast<size_t>(account)];
            balance.Real(g <= 1 ? 0.0 : std::round(opening(rng) * 100.0) / 100.0);
            for (int k = 1; k <= 12; ++k)
                balance.Real(std::round(t[static_cast<size_t>(k)] * 100.0) / 100.0);
            balance.Run();
        }
    }

    // Items, item ledger and the stock master it adds up to.
    {
        Insert item(db, QStringLiteral("FaItemMaster"),
                    {QStringLiteral("ItemCode"), QStringLiteral("ItemName"), QStringLiteral("Unit"), QStringLiteral("Passed"),
                     QStringLiteral("ConversionFactor"), QStringLiteral("SalesRate"), QStringLiteral("SalesRatePer")});
        for (int i = 0; i < kItems; ++i)
            item.Text(Code("I", i, 4)).Text(QStringLiteral("Item %1").arg(i)).Text(QStringLiteral("NOS")).Flag(i % 250 != 3)
                .Real(i % 3 == 0 ? 0.5 : 0.0).Real(money(10, 900)).Real(1).Run();
    }
    std::unordered_map<qint64, std::array<double, 13>> stock;
    {
        Insert line(db, QStringLiteral("FaItemLedger"),
                    {QStringLiteral("DocumentYear"), QStringLiteral("BranchCode"), QStringLiteral("DocumentType"),
                     QStringLiteral("SeriesCode"), QStringLiteral("DocumentNo"), QStringLiteral("Sno"),
                     QStringLiteral("ItemSno"), QStringLiteral("ItemCode"), QStringLiteral("StoreCode"),
                     QStringLiteral("DocumentDate"), QStringLiteral("Quantity"), QStringLiteral("Rate"),
                     QStringLiteral("Amount"), QStringLiteral("Passed")});
        static const char* const types[] = {"INV", "PUR", "GIN", "CLN", "ISU"};
        for (int i = 0; i < kItemLedgerLines; ++i) {
            const int item = uniform(0, kItems - 1);
            const int store = uniform(0, 3);
            const QDate date = someDay();
            const double quantity = (chance(0.5) ? 1 : -1) * uniform(1, 50);
            const bool passed = !chance(0.01);
            line.Int(2025).Text(kBranches[uniform(0, 2)]).Text(QString::fromLatin1(types[i % 5])).Text(QStringLiteral("A"))
                .Text(QString::number(i / 4 + 1)).Int(i % 4 + 1).Int(i % 4 + 1).Text(Code("I", item, 4))
                .Text(kStores[store]).Date(date).Real(quantity).Real(100).Real(quantity * 100).Flag(passed).Run();
            if (passed)
                stock[static_cast<qint64>(item) * 8 + store][static_cast<size_t>(MonthNumber(date))] += quantity;
        }
        QStringList columns{QStringLiteral("ItemCode"), QStringLiteral("StoreCode"), QStringLiteral("OpeningQuantity")};
        for (int k = 1; k <= 12; ++k)
            columns << QStringLiteral("Month%1TotalQuantity").arg(k);
        Insert master(db, QStringLiteral("FaStockMaster"), columns);
        for (int item = 0; item < kItems; ++item)
            for (int store = 0; store < 4; ++store) {
                const auto& t = stock[static_cast<qint64>(item) * 8 + store];
                master.Text(Code("I", item, 4)).Text(kStores[store]).Real(uniform(0, 500));
                for (int k = 1; k <= 12; ++k)
                    master.Real(t[static_cast<size_t>(k)]);
                master.Run();
            }
    }

    // Orders with one delivery schedule line per order line.
    const auto orders = [&](const QString& side, const QString& type, int lineCount, const std::vector<int>& parties) {
        Insert reg(db, QStringLiteral("Fa") + side + QStringLiteral("OrderRegister"),
                   {QStringLiteral("DocumentYear"), QStringLiteral("BranchCode"), QStringLiteral("DocumentType"),
                    QStringLiteral("SeriesCode"), QStringLiteral("DocumentNo"), QStringLiteral("DocumentDate"),
                    QStringLiteral("AccountCode"), QStringLiteral("DeliverySchedule"), QStringLiteral("Passed")});
        Insert prod(db, QStringLiteral("Fa") + side + QStringLiteral("OrderProducts"),
                    {QStringLiteral("DocumentYear"), QStringLiteral("BranchCode"), QStringLiteral("DocumentType"),
                     QStringLiteral("SeriesCode"), QStringLiteral("DocumentNo"), QStringLiteral("Sno"),
                     QStringLiteral("ItemSno"), QStringLiteral("ItemCode"), QStringLiteral("StoreCode"),
                     QStringLiteral("Quantity"), QStringLiteral("PendingQuantity"), QStringLiteral("PendingQuantity1"),
                     QStringLiteral("Rate"), QStringLiteral("Per"), QStringLiteral("RateOn"), QStringLiteral("Amount"),
                     QStringLiteral("Cancelled")});
        Insert sched(db, QStringLiteral("Fa") + side + QStringLiteral("OrderSchedule"),
                     {QStringLiteral("DocumentYear"), QStringLiteral("BranchCode"), QStringLiteral("DocumentType"),
                      QStringLiteral("SeriesCode"), QStringLiteral("DocumentNo"), QStringLiteral("Sno"),
                      QStringLiteral("ItemCode"), QStringLiteral("ItemSno"), QStringLiteral("DeliveryDate"),
                      QStringLiteral("Quantity"), QStringLiteral("PendingQuantity"), QStringLiteral("PendingQuantity1")});
        for (int o = 0; o < lineCount / kLinesPerOrder; ++o) {
            const QString branch = kBranches[uniform(0, 2)];
            const QString no = QString::number(o + 1);
            const QDate date = someDay();
            reg.Int(2025).Text(branch).Text(type).Text(QStringLiteral("A")).Text(no).Date(date)
                .Text(Code("A", pick(parties), 5)).Flag(true).Flag(!chance(0.02)).Run();
            for (int l = 1; l <= kLinesPerOrder; ++l) {
                const QString item = Code("I", uniform(0, kItems - 1), 4);
                const double quantity = uniform(1, 100);
                const double pending = chance(0.6) ? 0.0 : uniform(1, static_cast<int>(quantity));
                const bool main = chance(0.8);
                const double pending1 = main ? 0.0 : uniform(0, 5);
                const double rate = money(10, 900);
                prod.Int(2025).Text(branch).Text(type).Text(QStringLiteral("A")).Text(no).Int(l).Int(l).Text(item)
                    .Text(kStores[uniform(0, 3)]).Real(quantity).Real(pending).Real(pending1).Real(rate).Real(1)
                    .Text(main ? QStringLiteral("M") : QStringLiteral("A")).Real(std::round(quantity * rate * 100) / 100)
                    .Flag(chance(0.02)).Run();
                sched.Int(2025).Text(branch).Text(type).Text(QStringLiteral("A")).Text(no).Int(l).Text(item).Int(l)
                    .Date(date.addDays(uniform(0, 30))).Real(quantity).Real(pending).Real(pending1).Run();
            }
        }
    };
    orders(QStringLiteral("Sales"), QStringLiteral("SAO"), kSalesOrderLines, debtors);
    orders(QStringLiteral("Purchase"), QStringLiteral("PUO"), kPurchaseOrderLines, creditors);

    Exec(db, "COMMIT");
    // A maintained database keeps statistics of its indexes, as SQL Server does on its own.
    if (analyze)
        Exec(db, "ANALYZE");
    sqlite3_close(db);
}

// ---- statement capture --------------------------------------------------------------------------

namespace {
bool g_capture = false;
std::vector<Traced> g_statements;
}  // namespace

int TraceCallback(unsigned type, void*, void* p, void* x)
{
    if (!g_capture)
        return 0;
    auto* statement = static_cast<sqlite3_stmt*>(p);
    if (type == SQLITE_TRACE_STMT) {
        // A statement run with bound literals is recorded with them written in, so that the
        // straight run prepares each statement as its text reads.
        char* expanded = sqlite3_bind_parameter_count(statement) > 0 ? sqlite3_expanded_sql(statement) : nullptr;
        const char* text = expanded ? expanded : sqlite3_sql(statement);
        g_statements.push_back({QString::fromUtf8(text ? text : ""), 0});
        sqlite3_free(expanded);
    } else if (type == SQLITE_TRACE_PROFILE && !g_statements.empty()) {
        g_statements.back().ns += *static_cast<sqlite3_int64*>(x);
    }
    return 0;
}

int TraceConnection(sqlite3* db, char**, const sqlite3_api_routines*)
{
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT | SQLITE_TRACE_PROFILE, TraceCallback, nullptr);
    return SQLITE_OK;
}

void TraceEveryConnection()
{
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(reinterpret_cast<void*>(&TraceConnection)));
}

class NoCatalog : public platform::db::sqlite::Catalog {
public:
    std::optional<qint64> ObjectId(const QString&) override { return std::nullopt; }
    std::optional<QString> DatabaseNameOf(qint64) override { return std::nullopt; }
    QString CurrentDatabase() const override { return kCompany; }
};

// Runs the statements on a connection of its own, reading every value; the time in ms.
double RunStraight(sqlite3* db, std::vector<Traced>& statements)
{
    QElapsedTimer timer;
    timer.start();
    for (Traced& t : statements) {
        const qint64 before = timer.nsecsElapsed();
        sqlite3_stmt* statement = nullptr;
        const QByteArray text = t.sql.toUtf8();
        if (sqlite3_prepare_v2(db, text.constData(), -1, &statement, nullptr) != SQLITE_OK)
            Fail(db, t.sql.left(200));
        const int columns = sqlite3_column_count(statement);
        int rc;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
            for (int c = 0; c < columns; ++c)
                if (sqlite3_column_type(statement, c) == SQLITE_TEXT)
                    (void)sqlite3_column_text(statement, c);
                else
                    (void)sqlite3_column_double(statement, c);
        if (rc != SQLITE_DONE)
            Fail(db, t.sql.left(200));
        sqlite3_finalize(statement);
        t.straightMs = static_cast<double>(timer.nsecsElapsed() - before) / 1e6;
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

QString Request(const QString& action, const QString& user, const QString& password, const QString& start,
                const QString& last)
{
    if (action != QLatin1String("DashBoard"))
        return Request(action, user, password, {});
    return Request(action, user, password,
                   {{QStringLiteral("FolderName"), kCompany}, {QStringLiteral("StartDate"), start},
                    {QStringLiteral("LastDate"), last}, {QStringLiteral("BranchCode"), QString()},
                    {QStringLiteral("StoreCode"), QString()}});
}

QString Request(const QString& action, const QString& user, const QString& password,
                const std::vector<std::pair<QString, QString>>& members)
{
    platform::JsonObject request;
    request.AddString(QStringLiteral("Action"), action);
    request.AddString(QStringLiteral("MobileNo"), QStringLiteral("9800000001"));
    request.AddString(QStringLiteral("UserID"), user);
    request.AddString(QStringLiteral("Password"), password);
    for (const auto& [name, value] : members)
        request.AddString(name, value);
    return request.Emit();
}

// The request and its statements straight on SQLite, run by turns so that a change in the load of
// the machine touches both alike; medians over the runs after the first.
Timing Measure(clsSetup& setup, const QString& requestText, int runs, sqlite3* straight)
{
    platform::JsonObject request;
    request.Load(requestText);
    Timing timing;
    std::vector<double> times, straightTimes, ratios;
    for (int run = 0; run <= runs; ++run) {  // run 0 warms the caches
        g_statements.clear();
        g_capture = true;
        QElapsedTimer timer;
        timer.start();
        QByteArray answer;
        {
            // The reply as the server takes it, in the bytes it hands on; the text for the report
            // is made after the clock has stopped.
            clsClient client;
            client.Setup = &setup;
            answer = client.Answer(request);
        }
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        timing.reply = QString::fromUtf8(answer);
        g_capture = false;
        std::vector<Traced> traced = g_statements;
        const double direct = RunStraight(straight, traced);
        if (run > 0) {
            times.push_back(ms);
            straightTimes.push_back(direct);
            ratios.push_back(direct > 0 ? ms / direct : 0.0);
        }
        timing.traced = traced;
    }
    timing.request = Median(times);
    timing.straight = Median(straightTimes);
    timing.ratio = Median(ratios);
    timing.best = times.empty() ? 0.0 : *std::min_element(times.begin(), times.end());
    timing.statements = static_cast<int>(timing.traced.size());
    return timing;
}

void Report(const char* what, const Timing& t, bool plans, sqlite3* straight, bool withRatio)
{
    const bool ok = t.reply.contains(QLatin1String("\"Status\":1"));
    std::printf("%-46s %8.1f ms (best %7.1f)   straight on SQLite %8.1f ms", what, t.request, t.best, t.straight);
    if (withRatio)
        std::printf("   ratio %5.2f", t.ratio);
    std::printf("   (%d statements)%s\n", t.statements, ok ? "" : "   FAILED");
    if (!ok)
        std::printf("    reply: %s\n", qPrintable(t.reply.left(600)));
    for (const Traced& s : t.traced) {
        if (!plans) {
            if (s.ns > 20000000 || s.straightMs > 20)
                std::printf("    %7.1f ms in the request, %7.1f ms straight: %s\n", s.ns / 1e6, s.straightMs,
                            qPrintable(s.sql.simplified().left(100)));
            continue;
        }
        std::printf("\n    %8.1f ms: %s\n", s.ns / 1e6, qPrintable(s.sql.simplified()));
        sqlite3_stmt* statement = nullptr;
        const QByteArray text = (QStringLiteral("EXPLAIN QUERY PLAN ") + s.sql).toUtf8();
        if (sqlite3_prepare_v2(straight, text.constData(), -1, &statement, nullptr) == SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW)
                std::printf("        %s\n", reinterpret_cast<const char*>(sqlite3_column_text(statement, 3)));
        }
        sqlite3_finalize(statement);
    }
}


}  // namespace bench

namespace bench {

sqlite3* OpenStraight(const QString& databaseFolder)
{
    sqlite3* straight = nullptr;
    const QByteArray path = QFile::encodeName(QDir(databaseFolder).filePath(kCompany + QStringLiteral(".sqlite")));
    if (sqlite3_open_v2(path.constData(), &straight, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        Fail(straight, QStringLiteral("open"));
    sqlite3_trace_v2(straight, 0, nullptr, nullptr);
    // Read as the engine reads a company database: through a memory map.
    sqlite3_exec(straight, "PRAGMA mmap_size=1073741824", nullptr, nullptr, nullptr);
    static NoCatalog catalog;
    platform::db::sqlite::RegisterFunctions(straight, &catalog);
    return straight;
}

// ---- what every benchmark's main begins with ----------------------------------------------------

bool ParseOptions(int argc, char** argv, const char* usage, Options& options)
{
    const QString named = QString::fromLatin1(usage);
    const auto takes = [&](const QString& arg, const char* option) {
        return arg == QLatin1String(option) && named.contains(QLatin1String(option));
    };
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        const bool valued = i + 1 < args.size();
        if (takes(args[i], "--runs") && valued)
            options.runs = std::max(1, args[++i].toInt());
        else if (takes(args[i], "--keep") && valued)
            options.keep = args[++i];
        else if (takes(args[i], "--no-analyze"))
            options.analyze = false;
        else if (takes(args[i], "--plans"))
            options.plans = true;
        else if (takes(args[i], "--no-log"))
            options.log = false;
        else if (takes(args[i], "--only") && valued)
            options.only = args[++i];
        else {
            std::fprintf(stderr, "usage: %s %s\n", argc > 0 ? argv[0] : "", usage);
            return false;
        }
    }
    return true;
}

Start::Start(int argc, char** argv, const char* usage)
{
    platform::KeepTimeZoneLoaded();  // as the programs do at their start
    platform::KeepMemoryForReplies();  // as the server does
    if (!ParseOptions(argc, argv, usage, options)) {
        exitCode = 2;
        return;
    }
    if (!temp.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        exitCode = 1;
        return;
    }
    const QString root = options.keep.isEmpty() ? temp.path() : QDir(options.keep).absolutePath();
    programFolder = QDir(root).filePath(QStringLiteral("CALDERWICK/Corvantis"));
    databaseFolder = QDir(root).filePath(QStringLiteral("databases"));
    QDir().mkpath(programFolder);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(QDir(root).filePath(QStringLiteral("config"))));
}

void StartTracing()
{
    platform::Clock::Set(QDateTime(kToday, QTime(11, 0)));
    TraceEveryConnection();
}

void PointSetup(clsSetup& setup, const QString& databaseFolder, bool log)
{
    fixtures::PointSetupAt(setup, databaseFolder);
    setup.lCurrentYearOnly = false;
    if (log)
        setup.LogEvents();
}

bool DiscoverCompanies(clsSetup& setup)
{
    return setup.GetCompanyList() && setup.xCompanies.RowCount() > 0;
}

void ListByHand(clsSetup& setup, const QString& name)
{
    fixtures::ListCompany(setup.xCompanies, kCompany, name, kYearStart.startOfDay(), kYearLast.startOfDay());
}

}  // namespace bench
