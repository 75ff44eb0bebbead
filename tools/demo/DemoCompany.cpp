#include "DemoCompany.h"
#include "DemoDocuments.h"
#include "DemoLedgers.h"
#include "DemoMasters.h"

#include "Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVariant>
#include <QVariantList>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

namespace demo {

namespace {

[[noreturn]] void Fail(const QString& what)
{
    throw std::runtime_error(what.toStdString());
}

// Money is counted in paise, so that every total is exact; it is stored in rupees.
using Paise = qint64;
constexpr Paise kRupee = 100;

double Rupees(Paise amount)
{
    return static_cast<double>(amount) / 100.0;
}

Paise Percent(Paise amount, double percent)
{
    return std::llround(static_cast<double>(amount) * percent / 100.0);
}

const QDate kEmptyDate(1899, 12, 30);
constexpr int kMonthColumns = 24;

// splitmix64: the same sequence on every platform and standard library, so a day always gives the
// same company.
class Random {
public:
    explicit Random(quint64 seed) : m_state(seed) {}

    quint64 Next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    int Int(int low, int high)
    {
        if (high <= low)
            return low;
        return low + static_cast<int>(Next() % static_cast<quint64>(high - low + 1));
    }
    bool Chance(double p) { return Unit() < p; }
    // An index below n that favours the first ones: a few customers buy far more than the rest.
    int Skewed(int n) { return std::min(n - 1, static_cast<int>(n * std::pow(Unit(), 1.7))); }
    template <typename T>
    void Shuffle(std::vector<T>& values)
    {
        for (size_t i = values.size(); i > 1; --i)
            std::swap(values[i - 1], values[static_cast<size_t>(Int(0, static_cast<int>(i) - 1))]);
    }

private:
    quint64 m_state;
};

// --- writing ------------------------------------------------------------------------------------

class Database {
public:
    explicit Database(const QString& path)
    {
        const QByteArray name = QFile::encodeName(path);
        if (sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
            const QString message = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory");
            sqlite3_close(m_db);
            m_db = nullptr;
            Fail(QStringLiteral("cannot create ") + path + QStringLiteral(": ") + message);
        }
    }
    ~Database() { sqlite3_close(m_db); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    sqlite3* Handle() const { return m_db; }

    void Exec(const QString& sql)
    {
        char* message = nullptr;
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
            const QString text = QString::fromUtf8(message ? message : "error");
            sqlite3_free(message);
            Fail(text + QStringLiteral(" in: ") + sql.left(200));
        }
    }

    void Close()
    {
        if (sqlite3_close(m_db) != SQLITE_OK)
            Fail(QStringLiteral("cannot close the new database: ") + QString::fromUtf8(sqlite3_errmsg(m_db)));
        m_db = nullptr;
    }

private:
    sqlite3* m_db = nullptr;
};

// One prepared INSERT of a table, bound afresh for every row; values are stored as the embedded
// database stores them (fixtures::StorageValue).
class Table {
public:
    Table(Database& db, const QString& name, const QStringList& columns) : m_db(db.Handle()), m_name(name), m_width(columns.size())
    {
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?%1").arg(i + 1);
        const QString sql = QStringLiteral("INSERT INTO ") + name + QStringLiteral(" (") + columns.join(QStringLiteral(", "))
                            + QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) + QStringLiteral(")");
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &m_statement, nullptr) != SQLITE_OK)
            Fail(QString::fromUtf8(sqlite3_errmsg(m_db)) + QStringLiteral(" in: ") + sql);
    }
    ~Table() { sqlite3_finalize(m_statement); }
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    void Add(const QVariantList& values)
    {
        if (values.size() != m_width)
            Fail(QStringLiteral("%1 values for the %2 columns of %3").arg(values.size()).arg(m_width).arg(m_name));
        for (qsizetype i = 0; i < values.size(); ++i)
            Bind(static_cast<int>(i + 1), values.at(i));
        const int rc = sqlite3_step(m_statement);
        sqlite3_reset(m_statement);
        if (rc != SQLITE_DONE)
            Fail(QString::fromUtf8(sqlite3_errmsg(m_db)) + QStringLiteral(" in a row of ") + m_name);
        ++m_rows;
    }
    int Rows() const { return m_rows; }

private:
    void Bind(int index, const QVariant& value)
    {
        const QVariant stored = fixtures::StorageValue(value);
        int rc = SQLITE_OK;
        if (!stored.isValid()) {
            rc = sqlite3_bind_null(m_statement, index);
        } else {
            switch (stored.typeId()) {
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
                rc = sqlite3_bind_int64(m_statement, index, stored.toLongLong());
                break;
            case QMetaType::Double:
                rc = sqlite3_bind_double(m_statement, index, stored.toDouble());
                break;
            default: {
                const QByteArray text = stored.toString().toUtf8();
                rc = sqlite3_bind_text(m_statement, index, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
                break;
            }
            }
        }
        if (rc != SQLITE_OK)
            Fail(QStringLiteral("cannot bind value %1 of %2").arg(index).arg(m_name));
    }

    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
    QString m_name;
    qsizetype m_width;
    int m_rows = 0;
};

QStringList Columns(const char* list)
{
    QStringList columns = QString::fromLatin1(list).split(QLatin1Char(','));
    for (QString& c : columns)
        c = c.trimmed();
    return columns;
}

QStringList MonthColumns(const char* fixed, const QString& opening, const QString& suffix)
{
    QStringList columns = Columns(fixed);
    columns << opening;
    for (int k = 1; k <= kMonthColumns; ++k)
        columns << QStringLiteral("Month%1").arg(k) + suffix;
    return columns;
}

// --- the company's masters ------------------------------------------------------------------------

enum StoreIndex { MG, SR, NG, StoreCount };

struct StoreInfo {
    QString Code;
    QString Name;
    int Branch;
};

struct BranchInfo {
    QString Code;
    QString Name;
    QString StateCode;
    QString Cash;
    QString Bank;
    StoreIndex MainStore;
    StoreIndex CounterStore;
    Paise CashLimit;  // cash above this goes to the bank
};

const StoreInfo kStores[StoreCount] = {
    {QStringLiteral("MG"), QStringLiteral("Main Godown, Pune"), 0},
    {QStringLiteral("SR"), QStringLiteral("Showroom, Pune"), 0},
    {QStringLiteral("NG"), QStringLiteral("Nashik Godown"), 1},
};

const BranchInfo kBranches[2] = {
    {QStringLiteral("01"), QStringLiteral("Pune Head Office"), QStringLiteral("027"), QStringLiteral("CA01"), QStringLiteral("BK01"),
     MG, SR, 150000 * kRupee},
    {QStringLiteral("02"), QStringLiteral("Nashik Branch"), QStringLiteral("027"), QStringLiteral("CA02"), QStringLiteral("BK02"), NG, NG,
     80000 * kRupee},
};

struct Party {
    QString Code;
    QString Name;
    int Branch = 0;
    QString Place;
    QString StateCode;
    int CreditPeriod = 30;
    QString Salesman;
    QString Agent;
    QString PriceList;
    bool Debtor = true;
    bool SecondLocation = false;
    int BillCounter = 0;  // a supplier's own bill numbers
    std::vector<int> OpenBills;
};

struct Family {
    QString Name;
    QString Unit;
    QStringList Variants;
    double FirstRate;
    double Growth;
    int Gst;
    bool Showroom;
};

std::vector<Family> Families()
{
    const auto f = [](const char* name, const char* unit, const char* variants, double firstRate, double growth, int gst,
                      bool showroom) {
        return Family{QString::fromLatin1(name), QString::fromLatin1(unit), QString::fromLatin1(variants).split(QLatin1Char('|')),
                      firstRate, growth, gst, showroom};
    };
    std::vector<Family> families = {
        f("PVC Pipe 6m", "NOS", "20mm|25mm|32mm|40mm|50mm|63mm|75mm|90mm|110mm", 145, 1.32, 18, false),
        f("CPVC Pipe 3m", "NOS", "15mm|20mm|25mm|32mm|40mm", 210, 1.35, 18, false),
        f("GI Pipe 6m", "NOS", "15mm|20mm|25mm|32mm|40mm", 720, 1.3, 18, false),
        f("PVC Elbow", "NOS", "20mm|25mm|32mm|40mm|50mm|63mm|75mm", 9, 1.4, 18, true),
        f("PVC Tee", "NOS", "20mm|25mm|32mm|40mm|50mm|63mm", 12, 1.4, 18, true),
        f("Brass Ball Valve", "NOS", "15mm|20mm|25mm|32mm|40mm|50mm", 260, 1.45, 18, true),
        f("Gate Valve", "NOS", "15mm|20mm|25mm|40mm|50mm", 420, 1.5, 18, false),
        f("Solvent Cement", "TIN", "100ml|250ml|500ml|1L", 95, 1.9, 18, true),
        f("PTFE Thread Tape", "NOS", "12mm x 10m", 18, 1, 18, true),
        f("CP Bib Cock", "NOS", "Long Body|Short Body|Two Way", 420, 1.2, 18, true),
        f("Shower Head", "NOS", "4 inch|6 inch|8 inch", 380, 1.45, 18, true),
        f("Kitchen Sink SS", "NOS", "18x16 inch|24x18 inch|37x18 inch Drainboard", 2400, 1.4, 18, false),
        f("Water Tank Triple Layer", "NOS", "500L|1000L|1500L|2000L", 3600, 1.55, 18, false),
        f("Copper Wire 90m", "COIL", "0.75 sqmm|1.0 sqmm|1.5 sqmm|2.5 sqmm|4.0 sqmm|6.0 sqmm", 1150, 1.4, 18, true),
        f("Flexible Cable 100m", "COIL", "3 core 1.5 sqmm|3 core 2.5 sqmm|4 core 4 sqmm", 4200, 1.6, 18, false),
        f("PVC Conduit Pipe 3m", "NOS", "20mm|25mm|32mm", 48, 1.3, 18, false),
        f("Conduit Bend", "NOS", "20mm|25mm", 11, 1.3, 18, true),
        f("MCB Single Pole", "NOS", "6A|10A|16A|20A|25A|32A", 185, 1.08, 18, true),
        f("MCB Double Pole", "NOS", "16A|32A|40A|63A", 520, 1.15, 18, true),
        f("RCCB 4 Pole", "NOS", "25A|40A|63A", 2650, 1.12, 18, true),
        f("Distribution Board", "NOS", "4 way|6 way|8 way|12 way", 780, 1.25, 18, false),
        f("LED Bulb", "NOS", "5W|7W|9W|12W|15W|20W", 65, 1.2, 12, true),
        f("LED Tube Light", "NOS", "10W|20W|36W", 240, 1.3, 12, true),
        f("LED Panel Light", "NOS", "6W Round|12W Round|18W Round|12W Square|18W Square", 310, 1.2, 12, true),
        f("Ceiling Fan", "NOS", "900mm|1200mm|1400mm|1200mm BLDC", 1850, 1.2, 18, true),
        f("Exhaust Fan", "NOS", "150mm|225mm|300mm", 1100, 1.3, 18, true),
        f("Modular Switch", "NOS", "6A One Way|6A Two Way|16A|Bell Push|Fan Regulator", 45, 1.5, 18, true),
        f("Modular Socket", "NOS", "6A|16A|USB Charger", 95, 1.6, 18, true),
        f("Switch Plate", "NOS", "2 Module|4 Module|6 Module|8 Module|12 Module", 60, 1.35, 18, true),
        f("Extension Board", "NOS", "4 Socket|6 Socket with Switch", 340, 1.5, 18, true),
        f("Insulation Tape", "NOS", "Black|Red|Green|Blue", 22, 1, 18, true),
        f("Cable Tie Pack of 100", "PKT", "100mm|150mm|200mm|300mm", 35, 1.35, 18, true),
        f("Emulsion Paint White", "TIN", "1L|4L|10L|20L", 340, 3.1, 18, true),
        f("Emulsion Paint Ivory", "TIN", "1L|4L|10L|20L", 355, 3.1, 18, true),
        f("Emulsion Paint Sky Blue", "TIN", "1L|4L|10L|20L", 365, 3.1, 18, true),
        f("Emulsion Paint Lemon Yellow", "TIN", "1L|4L|10L|20L", 365, 3.1, 18, true),
        f("Emulsion Paint Apricot", "TIN", "1L|4L|10L|20L", 370, 3.1, 18, true),
        f("Emulsion Paint Light Grey", "TIN", "1L|4L|10L|20L", 360, 3.1, 18, true),
        f("Enamel Paint Black", "TIN", "500ml|1L|4L", 190, 1.9, 18, true),
        f("Enamel Paint Red Oxide", "TIN", "500ml|1L|4L", 175, 1.9, 18, true),
        f("Enamel Paint Signal Red", "TIN", "500ml|1L|4L", 210, 1.9, 18, true),
        f("Wall Primer", "TIN", "1L|4L|10L|20L", 180, 3.1, 18, true),
        f("Paint Brush", "NOS", "1 inch|2 inch|3 inch|4 inch", 35, 1.45, 18, true),
        f("Paint Roller", "NOS", "7 inch|9 inch", 160, 1.3, 18, true),
        f("Sandpaper Sheet", "NOS", "80 grit|120 grit|180 grit|220 grit", 12, 1, 18, true),
        f("Wall Putty", "BAG", "20kg|40kg", 540, 1.85, 18, false),
        f("Tile Adhesive", "BAG", "20kg|30kg", 460, 1.4, 18, false),
        f("Cement OPC 53 Grade", "BAG", "50kg", 390, 1, 28, false),
        f("Cement PPC", "BAG", "50kg", 360, 1, 28, false),
        f("White Cement", "BAG", "5kg|25kg", 140, 4.6, 28, false),
        f("Plywood 8x4", "SHEET", "6mm|12mm|18mm|19mm BWP", 890, 1.5, 18, false),
        f("Wire Mesh Roll", "ROLL", "1x1 inch|Chicken Mesh", 1350, 0.8, 18, false),
        f("Steel Wire Nails", "KG", "1 inch|1.5 inch|2 inch|3 inch|4 inch", 92, 1, 18, false),
        f("SS Door Hinge", "PAIR", "3 inch|4 inch|5 inch", 110, 1.3, 18, true),
        f("Door Handle SS", "NOS", "6 inch|8 inch|10 inch", 240, 1.3, 18, true),
        f("Aldrop SS", "NOS", "8 inch|10 inch|12 inch", 310, 1.25, 18, true),
        f("Tower Bolt", "NOS", "4 inch|6 inch|8 inch|10 inch", 65, 1.25, 18, true),
        f("Mortise Lock", "NOS", "Brass 6 Lever|SS 8 Lever", 1450, 1.4, 18, true),
        f("Padlock", "NOS", "40mm|50mm|65mm", 180, 1.4, 18, true),
        f("Wood Screw Box of 100", "BOX", "6x1|8x1.5|8x2|10x2|10x3", 85, 1.25, 18, true),
        f("Nylon Wall Plug Box of 100", "BOX", "6mm|8mm|10mm", 70, 1.3, 18, true),
        f("Drill Bit Set", "SET", "HSS 13 Pcs|Masonry 5 Pcs|Wood 7 Pcs", 420, 1.1, 18, true),
        f("Angle Grinder Disc", "NOS", "Cutting 4 inch|Grinding 4 inch|Cutting 14 inch", 28, 2.4, 18, true),
        f("Hammer", "NOS", "250g|500g|1kg", 210, 1.35, 18, true),
        f("Measuring Tape", "NOS", "3m|5m|7.5m", 120, 1.4, 18, true),
    };
    return families;
}

struct Item {
    QString Code;
    QString Name;
    QString Unit;
    Paise Rate = 0;  // sales rate of one unit
    Paise Cost = 0;  // purchase rate of one unit
    int Gst = 18;
    bool Showroom = false;
    std::array<qint64, StoreCount> Base{};  // the stock a store keeps when it is full (0: not kept there)
    int Supplier = 0;
};

struct GstCodes {
    QString Cgst;
    QString Sgst;
    QString Igst;
};

GstCodes GstFor(int rate)
{
    const QString r = QString::number(rate);
    return {QStringLiteral("C") + r, QStringLiteral("S") + r, QStringLiteral("I") + r};
}

// --- documents --------------------------------------------------------------------------------

struct Key {
    int Year = 0;
    QString Branch;
    QString Type;
    QString Series;
    QString No;
};

struct Line {
    QString Account;
    Paise Amount = 0;
    QString Narration{};
    QString Location = QStringLiteral("001");
    QString ChequeNo{};
    QDate ChequeDate = kEmptyDate;
};

struct Bill {
    Key DocKey;
    QString Account;
    int Party = 0;
    QString Location;
    QString Branch;
    QDate DocumentDate;
    QString BillNo;
    QDate BillDate;
    int CreditPeriod = 0;
    Paise Amount = 0;
    Paise Pending = 0;
    QDate Due;
};

struct Settlement {
    Key DocKey;
    int Sno = 0;
    int AccountSno = 0;
    QDate Date;
    Paise Amount = 0;  // negative
    int BillIndex = 0;
};

struct ScheduleRow {
    QDate Date;
    qint64 Quantity = 0;
    qint64 Pending = 0;
};

struct OrderLine {
    int ItemIndex = 0;
    StoreIndex Store = MG;
    qint64 Quantity = 0;
    qint64 Pending = 0;
    Paise Rate = 0;
    bool Cancelled = false;
    std::vector<ScheduleRow> Schedule;
};

struct Order {
    Key DocKey;
    QDate Date;
    int Party = 0;
    QString Location;
    QString Reference;
    QDate ReferenceDate;
    bool Passed = true;
    bool Slow = false;  // held by the customer, or a supplier who sends only part
    std::vector<OrderLine> Lines;
};

struct SaleLine {
    int ItemIndex = 0;
    StoreIndex Store = MG;
    qint64 Quantity = 0;
    Paise Rate = 0;
};

// --- the generator ------------------------------------------------------------------------------

class Generator {
public:
    Generator(Database& db, const QDate& start, const QDate& last, const QDate& today)
        : m_db(db), m_start(start), m_last(last), m_today(today), m_year(start.year()), m_random(0xC0A1DE57ull + 2025)
    {
    }

    DemoSummary Run()
    {
        AddSetup();
        AddAccountMasters();
        AddParties();
        AddItems();
        AddOpenings();
        for (QDate day = m_start; day <= m_today; day = day.addDays(1))
            Trade(day);
        WriteOrders();
        WriteOutstanding();
        WriteBalances();
        WriteStock();

        DemoSummary s;
        s.CompanyName = kCompanyName;
        s.StartDate = m_start;
        s.LastDate = m_last;
        s.Branches = 2;
        s.Stores = StoreCount;
        s.Accounts = m_accountCount;
        s.Items = static_cast<int>(m_items.size());
        s.Vouchers = m_vouchers;
        s.LedgerLines = m_ledger->Rows();
        s.SalesOrders = static_cast<int>(m_salesOrders.size());
        s.PurchaseOrders = static_cast<int>(m_purchaseOrders.size());
        s.StockMovements = m_itemLedgerTable->Rows();
        for (const Bill& bill : m_bills)
            s.OpenBills += bill.Pending > 0 ? 1 : 0;
        s.Users = {{QStringLiteral("ADMIN"), QStringLiteral("admin"), QStringLiteral("supervisor: every branch and store")},
                   {QStringLiteral("SALES1"), QStringLiteral("sales1"),
                    QStringLiteral("branch 01 (%1) and store MG (%2) only").arg(kBranches[0].Name, kStores[MG].Name)}};
        return s;
    }

private:
    // ---- masters ---------------------------------------------------------------------------

    void AddSetup()
    {
        Table company(m_db, QStringLiteral("Company"),
                      Columns("CompanyName, StartDate, LastDate, BranchRequired, SeriesRequired, SEZUnit, StateCode"));
        company.Add({kCompanyName, m_start, m_last, true, false, false, QStringLiteral("27")});

        Table users(m_db, QStringLiteral("stdUsers"),
                    Columns("UserID, UserName, Password, IsSupervisor, BranchCodes, StoreCodes, AccountGroupCodes, Locked"));
        users.Add({QStringLiteral("ADMIN"), QStringLiteral("Administrator"), fixtures::StoredPassword(QStringLiteral("admin")), true,
                   QString(), QString(), QString(), false});
        users.Add({QStringLiteral("SALES1"), QStringLiteral("Sales Executive, Pune"), fixtures::StoredPassword(QStringLiteral("sales1")),
                   false, kBranches[0].Code, kStores[MG].Code, QString(), false});

        // The document types of the product, each behind the option that opens it.
        const struct {
            const char* type;
            int option;
            const char* description;
        } types[] = {
            {"INV", 201, "Sales Invoice"},       {"CMO", 202, "Cash Memo"},           {"CDN", 203, "Customer Debit Note"},
            {"CCN", 204, "Customer Credit Note"}, {"SNT", 205, "Sale Note"},          {"CLN", 206, "Delivery Challan"},
            {"SAO", 207, "Sales Order"},         {"SQT", 208, "Sales Quotation"},     {"SOA", 209, "Sales Order Amendment"},
            {"PRI", 210, "Price List"},          {"SDO", 211, "Sales Dispatch Order"}, {"PUR", 301, "Purchase Bill"},
            {"CPU", 302, "Cash Purchase"},       {"SCN", 303, "Supplier Credit Note"}, {"SDN", 304, "Supplier Debit Note"},
            {"GIN", 305, "Goods Inward"},        {"PUO", 306, "Purchase Order"},      {"PQT", 307, "Purchase Quotation"},
            {"POA", 308, "Purchase Order Amendment"}, {"BRE", 401, "Bank Receipt"}, {"BPA", 402, "Bank Payment"},
            {"CRE", 403, "Cash Receipt"},        {"CPA", 404, "Cash Payment"},        {"PTY", 405, "Petty Cash"},
            {"JOV", 406, "Journal Voucher"},     {"EXP", 407, "Expense Voucher"},     {"ISU", 501, "Store Issue"},
            {"RET", 502, "Store Return"},        {"PRE", 503, "Production Entry"},    {"EXC", 504, "Stock Excess"},
            {"SCR", 505, "Stock Scrap"},
        };
        Table documentTypes(m_db, QStringLiteral("stdDocumentTypeMaster"), Columns("DocumentType, DocumentDescription, OptionCode"));
        for (const auto& t : types)
            documentTypes.Add({QString::fromLatin1(t.type), QString::fromLatin1(t.description), t.option});
        // The sales user opens the sales documents and the receipts.
        Table options(m_db, QStringLiteral("stdUserOption"), Columns("UserID, OptionNumber"));
        for (int option : {201, 202, 203, 204, 206, 207, 208, 401, 403})
            options.Add({QStringLiteral("SALES1"), option});

        Table branches(m_db, QStringLiteral("FaBranchMaster"), Columns("BranchCode, BranchName, SEZUnit, StateCode"));
        for (const BranchInfo& b : kBranches)
            branches.Add({b.Code, b.Name, false, b.StateCode});
        Table stores(m_db, QStringLiteral("FaStoreMaster"), Columns("StoreCode, StoreName"));
        for (const StoreInfo& s : kStores)
            stores.Add({s.Code, s.Name});

        Table states(m_db, QStringLiteral("FaStateMaster"), Columns("StateCode, StateName"));
        const char* const stateRows[][2] = {{"023", "Madhya Pradesh"}, {"024", "Gujarat"}, {"027", "Maharashtra"},
                                            {"029", "Karnataka"},      {"030", "Goa"},     {"036", "Telangana"}};
        for (const auto& s : stateRows)
            states.Add({QString::fromLatin1(s[0]), QString::fromLatin1(s[1])});

        Table salesmen(m_db, QStringLiteral("FaSalesmanMaster"), Columns("SalesmanCode, SalesmanName"));
        const char* const salesmanNames[] = {"Amit Deshpande", "Rahul Kale",   "Sunita Pawar",
                                             "Vikas Shinde",   "Neha Gokhale", "Santosh More"};
        for (int i = 0; i < 6; ++i)
            salesmen.Add({QStringLiteral("SM%1").arg(i + 1, 2, 10, QLatin1Char('0')), QString::fromLatin1(salesmanNames[i])});
        Table agents(m_db, QStringLiteral("FaAgentMaster"), Columns("AgentCode, AgentName"));
        const char* const agentNames[] = {"Om Commission Agency", "Shubham Associates", "Trimurti Marketing"};
        for (int i = 0; i < 3; ++i)
            agents.Add({QStringLiteral("AG%1").arg(i + 1, 2, 10, QLatin1Char('0')), QString::fromLatin1(agentNames[i])});

        // GST: for each rate the central and state halves and the integrated whole.
        Table gst(m_db, QStringLiteral("FaGSTMaster"), Columns("GSTCode, GSTDescription, GSTCategory, GSTPercentage, SGSTCode"));
        for (int rate : {5, 12, 18, 28}) {
            const GstCodes codes = GstFor(rate);
            const QString half = QString::number(rate / 2.0);
            gst.Add({codes.Cgst, QStringLiteral("CGST ") + half + QStringLiteral("%"), QStringLiteral("CGST"), rate / 2.0, codes.Sgst});
            gst.Add({codes.Sgst, QStringLiteral("SGST ") + half + QStringLiteral("%"), QStringLiteral("SGST"), rate / 2.0, QString()});
            gst.Add({codes.Igst, QStringLiteral("IGST %1%").arg(rate), QStringLiteral("IGST"), static_cast<double>(rate), QString()});
        }

        m_ledger = std::make_unique<Table>(
            m_db, QStringLiteral("FaAccountLedger"),
            Columns("DocumentYear, BranchCode, DocumentType, SeriesCode, DocumentNo, Sno, AccountSno, AccountCode, AccountBranchCode, "
                    "AccountLocationCode, DocumentClassCode, DocumentDate, ChequeNo, ChequeDate, Narration, Amount, Passed"));
        m_itemLedgerTable = std::make_unique<Table>(
            m_db, QStringLiteral("FaItemLedger"),
            Columns("DocumentYear, BranchCode, DocumentType, SeriesCode, DocumentNo, Sno, ItemSno, ItemCode, StoreCode, DocumentDate, "
                    "Quantity, Rate, EntryRate, EntryPer, Amount, EntryAmount, Narration, Passed"));
    }

    void AddAccountMasters()
    {
        Table groupTable(m_db, QStringLiteral("FaAccountGroupMaster"),
                         Columns("AccountGroupCode, AccountGroupName, GroupType, AccountHead, NonAccountingGroup"));
        // AccountHead: 1 assets, 2 liabilities, 3 expenses, 4 income.
        const struct {
            const char* code;
            const char* name;
            const char* type;
            int head;
        } groups[] = {
            {"SAL", "Sales Accounts", "SA", 4},    {"PUR", "Purchase Accounts", "PU", 3}, {"CSH", "Cash-in-Hand", "CH", 1},
            {"BNK", "Bank Accounts", "BK", 1},     {"SDR", "Sundry Debtors", "SD", 1},    {"SCR", "Sundry Creditors", "SC", 2},
            {"DTX", "Duties & Taxes", "", 2},      {"EXP", "Indirect Expenses", "EX", 3}, {"CAP", "Capital Account", "", 2},
            {"FAS", "Fixed Assets", "", 1},
        };
        for (const auto& g : groups)
            groupTable.Add({QString::fromLatin1(g.code), QString::fromLatin1(g.name), QString::fromLatin1(g.type), g.head, false});

        m_accounts = std::make_unique<Table>(m_db, QStringLiteral("FaAccountMaster"),
                                             Columns("AccountCode, AccountName, ParentGroupCode, Passed"));
        const char* const ledgerAccounts[][3] = {
            {"SL01", "Sales - Local", "SAL"},
            {"SL02", "Sales - Interstate", "SAL"},
            {"SL03", "Sales - Counter", "SAL"},
            {"PU01", "Purchase - Local", "PUR"},
            {"PU02", "Purchase - Interstate", "PUR"},
            {"CA01", "Cash - Pune", "CSH"},
            {"CA02", "Cash - Nashik", "CSH"},
            {"BK01", "Sahyadri Urban Co-op Bank - Current A/c", "BNK"},
            {"BK02", "Godavari Valley Bank - Current A/c", "BNK"},
            {"TX01", "Output CGST", "DTX"},
            {"TX02", "Output SGST", "DTX"},
            {"TX03", "Output IGST", "DTX"},
            {"TX04", "Input CGST", "DTX"},
            {"TX05", "Input SGST", "DTX"},
            {"TX06", "Input IGST", "DTX"},
            {"EX01", "Salaries & Wages", "EXP"},
            {"EX02", "Shop & Godown Rent", "EXP"},
            {"EX03", "Electricity Charges", "EXP"},
            {"EX04", "Telephone & Internet", "EXP"},
            {"EX05", "Freight Inward", "EXP"},
            {"EX06", "Freight Outward", "EXP"},
            {"EX07", "Office Expenses", "EXP"},
            {"EX08", "Travelling & Conveyance", "EXP"},
            {"EX09", "Repairs & Maintenance", "EXP"},
            {"EX10", "Printing & Stationery", "EXP"},
            {"EX11", "Bank Charges", "EXP"},
            {"EX12", "Advertisement", "EXP"},
            {"EX13", "Staff Welfare", "EXP"},
            {"EX14", "Loading & Unloading", "EXP"},
            {"CP01", "Proprietor's Capital", "CAP"},
            {"FA01", "Furniture & Fixtures", "FAS"},
            {"FA02", "Delivery Vehicles", "FAS"},
            {"FA03", "Computers", "FAS"},
        };
        for (const auto& a : ledgerAccounts)
            m_accounts->Add({QString::fromLatin1(a[0]), QString::fromLatin1(a[1]), QString::fromLatin1(a[2]), true});
        m_accountCount = static_cast<int>(std::size(ledgerAccounts));
    }

    void AddParties()
    {
        struct Place {
            const char* name;
            const char* state;
        };
        const Place placesByBranch[2][12] = {
            {{"Pune", "027"}, {"Pimpri", "027"}, {"Chinchwad", "027"}, {"Hadapsar", "027"}, {"Baramati", "027"}, {"Satara", "027"},
             {"Lonavala", "027"}, {"Shirur", "027"}, {"Daund", "027"}, {"Bhor", "027"}, {"Belagavi", "029"}, {"Panaji", "030"}},
            {{"Nashik", "027"}, {"Sinnar", "027"}, {"Malegaon", "027"}, {"Igatpuri", "027"}, {"Niphad", "027"}, {"Manmad", "027"},
             {"Yeola", "027"}, {"Dindori", "027"}, {"Ozar", "027"}, {"Trimbak", "027"}, {"Surat", "024"}, {"Vapi", "024"}},
        };
        const char* const customerNames[] = {"Shree Ganesh", "Sai Krupa",  "Om Sai",   "Mahalaxmi", "Jay Bhavani", "Navkar",
                                             "Shivam",       "Siddhivinayak", "Kulkarni", "Deshmukh",  "Patil",       "Joshi",
                                             "Gaikwad",      "Shinde",    "Jadhav",   "Pawar",     "Mehta",       "Shah",
                                             "Rathi",        "Bhosale",   "Kale",     "Sawant",    "Kadam",       "Chavan",
                                             "Apte",         "Gokhale",   "Phadke",   "Ranade",    "Vaishnavi",   "Omkar"};
        const char* const customerKinds[] = {"Traders",     "Hardware",          "Electricals",  "Enterprises",
                                             "Agencies",    "Stores",            "Distributors", "& Sons",
                                             "Sales Corporation", "Trading Co.", "Building Supplies", "Marketing"};
        const char* const supplierNames[] = {"Deccan", "Sahyadri", "Godavari", "Krishna Valley", "Konkan", "Vidarbha", "Narmada",
                                             "Tapti",  "Bhima",    "Indrayani", "Malwa",         "Western Ghats", "Satpura", "Ajanta",
                                             "Mula Mutha", "Pravara", "Panchganga", "Kaveri",    "Gomti",   "Chambal"};
        const char* const supplierKinds[] = {"Polymers Pvt. Ltd.", "Cables & Wires", "Electricals Ltd.",
                                             "Paints & Coatings",  "Hardware Industries", "Building Products"};
        const Place supplierPlaces[] = {{"Pune", "027"},      {"Thane", "027"},   {"Aurangabad", "027"}, {"Nagpur", "027"},
                                        {"Kolhapur", "027"},  {"Ahmedabad", "024"}, {"Vadodara", "024"}, {"Bengaluru", "029"},
                                        {"Hubballi", "029"},  {"Indore", "023"}};
        const char* const contactFirst[] = {"Anil", "Sunil", "Prakash", "Meena", "Kiran", "Rajesh", "Sachin", "Asha", "Mahesh", "Deepa"};
        const char* const contactLast[] = {"Joshi", "Patil", "Kulkarni", "Shah", "Pawar", "Deshmukh", "Kale", "Bhide"};

        const std::vector<QString> customers = ShuffledNames(customerNames, customerKinds);
        const std::vector<QString> suppliers = ShuffledNames(supplierNames, supplierKinds);

        const int creditPeriods[] = {15, 30, 30, 45, 60};
        for (int i = 0; i < 200; ++i) {
            Party p;
            p.Code = QStringLiteral("D%1").arg(i + 1, 3, 10, QLatin1Char('0'));
            p.Name = customers[static_cast<size_t>(i)];
            p.Branch = m_random.Chance(0.6) ? 0 : 1;
            const Place& place = m_random.Chance(0.1) ? placesByBranch[p.Branch][m_random.Int(10, 11)]
                                                      : placesByBranch[p.Branch][m_random.Int(0, 9)];
            p.Place = QString::fromLatin1(place.name);
            p.StateCode = QString::fromLatin1(place.state);
            p.CreditPeriod = creditPeriods[m_random.Int(0, 4)];
            p.Salesman = QStringLiteral("SM%1").arg(p.Branch == 0 ? m_random.Int(1, 4) : m_random.Int(5, 6), 2, 10, QLatin1Char('0'));
            p.Agent = m_random.Chance(0.15) ? QStringLiteral("AG%1").arg(m_random.Int(1, 3), 2, 10, QLatin1Char('0')) : QString();
            p.PriceList = m_random.Chance(0.2) ? QStringLiteral("DL") : QString();
            p.SecondLocation = m_random.Chance(0.1);
            p.Debtor = true;
            m_parties.push_back(p);
        }
        for (int i = 0; i < 60; ++i) {
            Party p;
            p.Code = QStringLiteral("C%1").arg(i + 1, 3, 10, QLatin1Char('0'));
            p.Name = suppliers[static_cast<size_t>(i)];
            p.Branch = m_random.Chance(0.6) ? 0 : 1;
            const Place& place = supplierPlaces[m_random.Int(0, 9)];
            p.Place = QString::fromLatin1(place.name);
            p.StateCode = QString::fromLatin1(place.state);
            p.CreditPeriod = 30 + 15 * m_random.Int(0, 2);
            p.Debtor = false;
            p.BillCounter = m_random.Int(100, 900);
            m_parties.push_back(p);
        }
        // A supplier of every credit period sits in each branch, so the dues of any day can be
        // shown in both.
        for (int b = 0; b < 2; ++b)
            for (int cp : {30, 45, 60})
                if (PartiesOf(false, b, cp).empty()) {
                    for (Party& p : m_parties)
                        if (!p.Debtor && p.CreditPeriod != cp && PartiesOf(false, b, p.CreditPeriod).size() > 1 && p.Branch == b) {
                            p.CreditPeriod = cp;
                            break;
                        }
                }

        Table address(m_db, QStringLiteral("FaAccountAddressMaster"),
                      Columns("AccountCode, AccountLocationCode, AccountLocationName, Place, PriceListCode, CGSTCode, SGSTCode, IGSTCode, "
                              "DiscPercentage, GSTPartyType, CountryCode, StateCode, CreditPeriod, SalesmanCode, AgentCode, "
                              "TransporterName, Locked"));
        Table contacts(m_db, QStringLiteral("FaAccountContacts"),
                       Columns("AccountCode, AccountLocationCode, AccountContactCode, ContactPerson, Locked"));
        Table rights(m_db, QStringLiteral("FaAccountBranchRights"), Columns("AccountCode, BranchCode"));
        const char* const transporters[] = {"", "", "Sahyadri Roadways", "Deccan Transport Co.", "Godavari Carriers"};
        for (const Party& p : m_parties) {
            m_accounts->Add({p.Code, p.Name, p.Debtor ? QStringLiteral("SDR") : QStringLiteral("SCR"), true});
            ++m_accountCount;
            const GstCodes codes = GstFor(18);
            const bool local = WithinState(p, p.Branch);
            const QString transporter = QString::fromLatin1(transporters[m_random.Int(0, 4)]);
            const auto addLocation = [&](const QString& location, const QString& locationName) {
                address.Add({p.Code, location, locationName, p.Place, p.PriceList, local ? codes.Cgst : QString(),
                             local ? codes.Sgst : QString(), local ? QString() : codes.Igst, 0.0, QStringLiteral("REG"),
                             QStringLiteral("IN"), p.StateCode, p.CreditPeriod, p.Salesman, p.Agent, transporter, false});
                contacts.Add({p.Code, location, QStringLiteral("01"), ContactName(contactFirst, contactLast), false});
            };
            addLocation(QStringLiteral("001"), p.Place);
            if (p.SecondLocation)
                addLocation(QStringLiteral("002"), p.Place + QStringLiteral(" Site Office"));
            // Customers deal with the branch that serves them; suppliers with both.
            if (p.Debtor)
                rights.Add({p.Code, kBranches[p.Branch].Code});
        }
    }

    // Every name with every kind ("Shree Ganesh Traders"), in a shuffled order.
    template <size_t N, size_t K>
    std::vector<QString> ShuffledNames(const char* const (&names)[N], const char* const (&kinds)[K])
    {
        std::vector<QString> all;
        for (const char* n : names)
            for (const char* k : kinds)
                all.push_back(QString::fromLatin1(n) + QLatin1Char(' ') + QString::fromLatin1(k));
        m_random.Shuffle(all);
        return all;
    }

    template <size_t F, size_t L>
    QString ContactName(const char* const (&first)[F], const char* const (&last)[L])
    {
        const QString given = QString::fromLatin1(first[m_random.Int(0, static_cast<int>(F) - 1)]);
        const QString family = QString::fromLatin1(last[m_random.Int(0, static_cast<int>(L) - 1)]);
        return given + QLatin1Char(' ') + family;
    }

    void AddItems()
    {
        const std::vector<Family> families = Families();
        Table items(m_db, QStringLiteral("FaItemMaster"),
                    Columns("ItemCode, ItemName, Unit, Passed, ConversionFactor, SalesRate, SalesRatePer, SalesCGSTCode, SalesSGSTCode, "
                            "SalesIGSTCode"));
        Table storeRights(m_db, QStringLiteral("FaItemStoreRights"), Columns("ItemCode, StoreCode"));
        Table priceList(m_db, QStringLiteral("FaPriceListMaster"),
                        Columns("PriceListCode, ItemCode, Rate, Per, CGSTCode, SGSTCode, IGSTCode, DiscPercentage"));
        const int supplierCount = 60;
        for (size_t f = 0; f < families.size(); ++f) {
            const Family& family = families[f];
            double rate = family.FirstRate;
            for (qsizetype v = 0; v < family.Variants.size(); ++v, rate *= family.Growth) {
                Item item;
                item.Code = QStringLiteral("I%1").arg(m_items.size() + 1, 4, 10, QLatin1Char('0'));
                item.Name = family.Name + QLatin1Char(' ') + family.Variants.at(v);
                item.Unit = family.Unit;
                item.Rate = std::llround(std::round(rate) * kRupee);
                item.Cost = Percent(item.Rate, 78);
                item.Gst = family.Gst;
                item.Showroom = family.Showroom;
                const double r = std::round(rate);
                const qint64 base = r < 100 ? 300 : r < 500 ? 120 : r < 2000 ? 45 : r < 5000 ? 20 : 10;
                item.Base[MG] = std::max<qint64>(4, base * m_random.Int(70, 130) / 100);
                item.Base[NG] = std::max<qint64>(3, item.Base[MG] * 6 / 10);
                item.Base[SR] = item.Showroom ? std::max<qint64>(3, item.Base[MG] / 4) : 0;
                item.Supplier = 200 + static_cast<int>((f * 7 + static_cast<size_t>(v % 2) * 3) % supplierCount);
                const GstCodes codes = GstFor(item.Gst);
                items.Add({item.Code, item.Name, item.Unit, true, 0.0, Rupees(item.Rate), 1.0, codes.Cgst, codes.Sgst, codes.Igst});
                if (!item.Showroom) {
                    // Bulky goods are kept in the godowns only.
                    storeRights.Add({item.Code, kStores[MG].Code});
                    storeRights.Add({item.Code, kStores[NG].Code});
                }
                priceList.Add({QStringLiteral("DL"), item.Code, Rupees(DealerRate(item)), 1.0, codes.Cgst, codes.Sgst, codes.Igst, 0.0});
                m_items.push_back(item);
            }
        }
        for (auto& store : m_stock)
            store.assign(m_items.size(), 0);
        for (auto& store : m_onOrder)
            store.assign(m_items.size(), 0);
        for (auto& store : m_stockMonths)
            store.assign(m_items.size(), {});
    }

    static Paise DealerRate(const Item& item) { return Percent(item.Rate, 95); }

    // What a customer pays for one unit: dealers buy at the dealer rate (none: a counter sale).
    static Paise SalesRateFor(const Item& item, const Party* party)
    {
        return party && party->PriceList == QLatin1String("DL") ? DealerRate(item) : item.Rate;
    }

    // What a store orders up to: its own full stock and, for the main godown, the showroom's that
    // it fills.
    static qint64 OrderLevel(const Item& item, StoreIndex store) { return item.Base[store] + (store == MG ? item.Base[SR] : 0); }

    // Whether a party trades within the state of the branch: then the central and state halves of
    // GST apply, else the integrated whole.
    static bool WithinState(const Party& party, int branch) { return party.StateCode == kBranches[branch].StateCode; }

    // ---- openings ----------------------------------------------------------------------------

    void AddOpenings()
    {
        // Stock: every store full at the start of the year.
        for (int s = 0; s < StoreCount; ++s)
            for (size_t i = 0; i < m_items.size(); ++i) {
                const qint64 base = m_items[i].Base[static_cast<size_t>(s)];
                if (base > 0) {
                    m_stock[static_cast<size_t>(s)][i] = base * m_random.Int(60, 100) / 100 + 1;
                    m_stockMonths[static_cast<size_t>(s)][i][0] = m_stock[static_cast<size_t>(s)][i];
                }
            }

        // Accounts brought forward; the proprietor's capital balances them.
        Opening(QStringLiteral("CA01"), 0, 120000 * kRupee);
        Opening(QStringLiteral("CA02"), 1, 60000 * kRupee);
        Opening(QStringLiteral("BK01"), 0, 1850000 * kRupee);
        Opening(QStringLiteral("BK02"), 1, 740000 * kRupee);
        Opening(QStringLiteral("FA01"), 0, 320000 * kRupee);
        Opening(QStringLiteral("FA02"), 0, 980000 * kRupee);
        Opening(QStringLiteral("FA03"), 0, 145000 * kRupee);
        m_cash = {120000 * kRupee, 60000 * kRupee};
        m_bank = {1850000 * kRupee, 740000 * kRupee};

        // Bills of last year still open: most customers owe something, many suppliers are owed.
        for (int p = 0; p < static_cast<int>(m_parties.size()); ++p) {
            const Party& party = m_parties[static_cast<size_t>(p)];
            if (!m_random.Chance(party.Debtor ? 0.7 : 0.6))
                continue;
            const int count = m_random.Int(1, 2);
            for (int k = 0; k < count; ++k) {
                Paise amount = (party.Debtor ? m_random.Int(5000, 60000) : m_random.Int(20000, 200000)) * kRupee;
                amount += m_random.Int(0, 99);
                OpeningBill(p, m_start.addDays(-m_random.Int(5, 80)), amount);
            }
        }
        // Bills that fall due today, so that today's receivables and payables show, for every
        // credit period of the customers and suppliers of each branch: a bill of last year when
        // its date lies before this year, else one of this year's sales or purchases (made on
        // that day by the trading below).
        for (int b = 0; b < 2; ++b)
            for (int cp : {15, 30, 45, 60}) {
                for (bool debtor : {true, false}) {
                    const std::vector<int> parties = PartiesOf(debtor, b, cp);
                    if (parties.empty())
                        continue;
                    const QDate date = m_today.addDays(-cp);
                    const int p = parties.front();
                    if (date < m_start)
                        OpeningBill(p, date, (debtor ? m_random.Int(8000, 40000) : m_random.Int(25000, 90000)) * kRupee);
                    else
                        m_dueToday.push_back({date, p});
                }
            }
    }

    void Opening(const QString& account, int branch, Paise amount)
    {
        Balance(account, branch)[0] += amount;
    }

    void OpeningBill(int p, const QDate& date, Paise amount)
    {
        Party& party = m_parties[static_cast<size_t>(p)];
        const Key key = {m_year - 1, kBranches[party.Branch].Code, party.Debtor ? QStringLiteral("INV") : QStringLiteral("PUR"),
                         QString(), QString::number(++m_openingNumbers[party.Branch][party.Debtor ? 0 : 1] + 4000)};
        AddBill(key, p, QStringLiteral("001"), date, party.Debtor ? key.No : SupplierBillNo(party), date, amount);
        Opening(party.Code, party.Branch, party.Debtor ? amount : -amount);
    }

    std::vector<int> PartiesOf(bool debtor, int branch, int creditPeriod) const
    {
        std::vector<int> found;
        for (size_t i = 0; i < m_parties.size(); ++i) {
            const Party& p = m_parties[i];
            if (p.Debtor == debtor && p.Branch == branch && p.CreditPeriod == creditPeriod)
                found.push_back(static_cast<int>(i));
        }
        return found;
    }

    QString SupplierBillNo(Party& supplier)
    {
        return supplier.Code.mid(1) + QLatin1Char('/') + QString::number(++supplier.BillCounter);
    }

    // ---- postings ----------------------------------------------------------------------------

    int MonthNo(const QDate& date) const { return (date.year() - m_start.year()) * 12 + date.month() - m_start.month() + 1; }

    std::array<Paise, kMonthColumns + 1>& Balance(const QString& account, int branch)
    {
        return m_balances[{account, kBranches[branch].Code}];
    }

    Key NewKey(const QString& type, int branch)
    {
        const int no = ++m_numbers[{type, branch}];
        return {m_year, kBranches[branch].Code, type, QString(), QString::number(no)};
    }

    int BranchIndex(const QString& code) const { return code == kBranches[0].Code ? 0 : 1; }

    void PostVoucher(const Key& key, const QDate& date, const std::vector<Line>& lines)
    {
        Paise sum = 0;
        for (const Line& l : lines)
            sum += l.Amount;
        if (sum != 0)
            Fail(QStringLiteral("voucher %1/%2 does not balance").arg(key.Type, key.No));
        const int branch = BranchIndex(key.Branch);
        const int month = MonthNo(date);
        for (size_t i = 0; i < lines.size(); ++i) {
            const Line& l = lines[i];
            const int sno = static_cast<int>(i) + 1;
            m_ledger->Add({key.Year, key.Branch, key.Type, key.Series, key.No, sno, sno, l.Account, key.Branch, l.Location, QString(), date,
                           l.ChequeNo, l.ChequeDate, l.Narration, Rupees(l.Amount), true});
            Balance(l.Account, branch)[static_cast<size_t>(month)] += l.Amount;
            if (l.Account == kBranches[branch].Cash)
                m_cash[static_cast<size_t>(branch)] += l.Amount;
            else if (l.Account == kBranches[branch].Bank)
                m_bank[static_cast<size_t>(branch)] += l.Amount;
        }
        ++m_vouchers;
    }

    // One line of the item ledger; stock never goes below zero.
    void MoveStock(const Key& key, int sno, int itemSno, const QDate& date, int itemIndex, StoreIndex store, qint64 quantity,
                   Paise entryRate, Paise entryAmount, const QString& narration = QString())
    {
        const Item& item = m_items[static_cast<size_t>(itemIndex)];
        qint64& held = m_stock[store][static_cast<size_t>(itemIndex)];
        if (held + quantity < 0)
            Fail(QStringLiteral("stock of %1 in %2 would go below zero").arg(item.Code, kStores[store].Code));
        held += quantity;
        m_stockMonths[store][static_cast<size_t>(itemIndex)][static_cast<size_t>(MonthNo(date))] += quantity;
        m_itemLedgerTable->Add({key.Year, key.Branch, key.Type, key.Series, key.No, sno, itemSno, item.Code, kStores[store].Code, date,
                                static_cast<double>(quantity), Rupees(item.Cost), Rupees(entryRate), 1.0,
                                Rupees(item.Cost * quantity), Rupees(entryAmount), narration, true});
    }

    qint64 Available(StoreIndex store, int itemIndex) const { return m_stock[store][static_cast<size_t>(itemIndex)]; }

    // A bill of the party of document `key`, open for all of its amount and due the party's credit
    // period after the bill's date.
    void AddBill(const Key& key, int p, const QString& location, const QDate& documentDate, const QString& billNo,
                 const QDate& billDate, Paise amount)
    {
        Party& party = m_parties[static_cast<size_t>(p)];
        Bill bill;
        bill.DocKey = key;
        bill.Account = party.Code;
        bill.Party = p;
        bill.Location = location;
        bill.Branch = key.Branch;
        bill.DocumentDate = documentDate;
        bill.BillNo = billNo;
        bill.BillDate = billDate;
        bill.CreditPeriod = party.CreditPeriod;
        bill.Amount = bill.Pending = amount;
        bill.Due = billDate.addDays(party.CreditPeriod);
        m_bills.push_back(bill);
        party.OpenBills.push_back(static_cast<int>(m_bills.size()) - 1);
    }

    // The taxes of a line: the central and state halves within the state, else the integrated whole.
    struct Tax {
        Paise Central = 0;
        Paise State = 0;
        Paise Integrated = 0;
        Paise Total() const { return Central + State + Integrated; }
        Tax& operator+=(const Tax& other)
        {
            Central += other.Central;
            State += other.State;
            Integrated += other.Integrated;
            return *this;
        }
    };
    static Tax TaxOf(Paise amount, int rate, bool local)
    {
        Tax t;
        if (local) {
            t.Central = Percent(amount, rate / 2.0);
            t.State = Percent(amount, rate / 2.0);
        } else {
            t.Integrated = Percent(amount, rate);
        }
        return t;
    }

    enum class Deal { Sale, Purchase };

    // The goods of a bill or memo and what they come to.
    struct Goods {
        Paise Taxable = 0;
        Tax Taxes;
        Paise Total() const { return Taxable + Taxes.Total(); }
    };

    // Each line of a sale goes out of its store, each line of a purchase into it; its value and
    // taxes are added up.
    Goods MoveGoods(const Key& key, const QDate& date, const std::vector<SaleLine>& lines, bool local, Deal deal)
    {
        Goods goods;
        for (size_t i = 0; i < lines.size(); ++i) {
            const SaleLine& l = lines[i];
            const Paise amount = l.Rate * l.Quantity;
            goods.Taxable += amount;
            goods.Taxes += TaxOf(amount, m_items[static_cast<size_t>(l.ItemIndex)].Gst, local);
            const int sno = static_cast<int>(i) + 1;
            MoveStock(key, sno, sno, date, l.ItemIndex, l.Store, deal == Deal::Sale ? -l.Quantity : l.Quantity, l.Rate, amount);
        }
        return goods;
    }

    // The tax lines of a voucher: the output tax of a sale is owed (credited), the input tax of a
    // purchase is claimed (debited).
    static void AddTaxLines(std::vector<Line>& ledger, const Tax& tax, bool local, Deal deal)
    {
        const bool sale = deal == Deal::Sale;
        const Paise sign = sale ? -1 : 1;
        if (local) {
            ledger.push_back({sale ? QStringLiteral("TX01") : QStringLiteral("TX04"), sign * tax.Central});
            ledger.push_back({sale ? QStringLiteral("TX02") : QStringLiteral("TX05"), sign * tax.State});
        } else {
            ledger.push_back({sale ? QStringLiteral("TX03") : QStringLiteral("TX06"), sign * tax.Integrated});
        }
    }

    // A sales invoice to a customer: the customer's bill, the sale and its taxes, the goods out of
    // the store.
    void SalesInvoice(const QDate& date, int p, const std::vector<SaleLine>& lines, const QString& narration,
                      const QString& location = QStringLiteral("001"))
    {
        if (lines.empty())
            return;
        const Party& party = m_parties[static_cast<size_t>(p)];
        const bool local = WithinState(party, party.Branch);
        const Key key = NewKey(QStringLiteral("INV"), party.Branch);
        const Goods goods = MoveGoods(key, date, lines, local, Deal::Sale);
        std::vector<Line> ledger = {{party.Code, goods.Total(), narration, location},
                                    {local ? QStringLiteral("SL01") : QStringLiteral("SL02"), -goods.Taxable, narration}};
        AddTaxLines(ledger, goods.Taxes, local, Deal::Sale);
        PostVoucher(key, date, ledger);
        AddBill(key, p, location, date, key.No, date, goods.Total());
        const bool fromMainGodown = std::any_of(lines.begin(), lines.end(), [](const SaleLine& l) { return l.Store == MG; });
        if (party.Branch == 0 && date == m_today && fromMainGodown)
            m_todaySaleFromMainGodown = true;
    }

    // A counter sale for cash, always within the state.
    void CashMemo(const QDate& date, int branch, const std::vector<SaleLine>& lines)
    {
        if (lines.empty())
            return;
        const Key key = NewKey(QStringLiteral("CMO"), branch);
        const Goods goods = MoveGoods(key, date, lines, true, Deal::Sale);
        const QString narration = QStringLiteral("Counter sale");
        std::vector<Line> ledger = {{kBranches[branch].Cash, goods.Total(), narration},
                                    {QStringLiteral("SL03"), -goods.Taxable, narration}};
        AddTaxLines(ledger, goods.Taxes, true, Deal::Sale);
        PostVoucher(key, date, ledger);
        if (date == m_today && branch == 0)
            m_todayCashMemo = true;
    }

    // A supplier's bill for goods received into a store (the store its lines name).
    void PurchaseBill(const QDate& date, int p, StoreIndex store, const std::vector<SaleLine>& lines, const QDate& billDate,
                      const QString& narration)
    {
        if (lines.empty())
            return;
        Party& party = m_parties[static_cast<size_t>(p)];
        const int branch = kStores[store].Branch;
        const bool local = WithinState(party, branch);
        const Key key = NewKey(QStringLiteral("PUR"), branch);
        const Goods goods = MoveGoods(key, date, lines, local, Deal::Purchase);
        const QString billNo = SupplierBillNo(party);
        const QString text =
            narration.isEmpty() ? QStringLiteral("Bill No. ") + billNo : narration + QStringLiteral(", bill No. ") + billNo;
        std::vector<Line> ledger = {{party.Code, -goods.Total(), text},
                                    {local ? QStringLiteral("PU01") : QStringLiteral("PU02"), goods.Taxable, text}};
        AddTaxLines(ledger, goods.Taxes, local, Deal::Purchase);
        PostVoucher(key, date, ledger);
        AddBill(key, p, QStringLiteral("001"), date, billNo, billDate, goods.Total());
        if (store == MG && date == m_today)
            m_todayPurchaseIntoMainGodown = true;
    }

    // A receipt from a customer or a payment to a supplier, in the branch of the given bills,
    // that settles them oldest first up to `amount`.
    void Settle(const QDate& date, int p, const std::vector<int>& bills, Paise amount, bool cash)
    {
        const Party& party = m_parties[static_cast<size_t>(p)];
        const int branch = BranchIndex(m_bills[static_cast<size_t>(bills.front())].Branch);
        const QString type = party.Debtor ? (cash ? QStringLiteral("CRE") : QStringLiteral("BRE"))
                                          : (cash ? QStringLiteral("CPA") : QStringLiteral("BPA"));
        const Key key = NewKey(type, branch);
        const QString money = cash ? kBranches[branch].Cash : kBranches[branch].Bank;
        const QString cheque = cash || m_random.Chance(0.35) ? QString() : QString::number(m_random.Int(100000, 999999));
        const QDate chequeDate = cheque.isEmpty() ? kEmptyDate : date.addDays(-m_random.Int(0, 2));
        QStringList numbers;
        Paise left = amount;
        int sno = 0;
        for (int index : bills) {
            if (left <= 0)
                break;
            Bill& bill = m_bills[static_cast<size_t>(index)];
            const Paise part = std::min(left, bill.Pending);
            if (part <= 0)
                continue;
            bill.Pending -= part;
            left -= part;
            m_settlements.push_back({key, ++sno, 2, date, -part, index});
            numbers << bill.BillNo;
        }
        const Paise settled = amount - left;
        if (settled <= 0)
            return;
        const QString narration = (party.Debtor ? QStringLiteral("Received against bill No. ") : QStringLiteral("Paid against bill No. "))
                                  + numbers.join(QStringLiteral(", "));
        const Paise sign = party.Debtor ? 1 : -1;
        PostVoucher(key, date,
                    {{money, sign * settled, QString(), QStringLiteral("001"), cheque, chequeDate},
                     {party.Code, -sign * settled, narration}});
    }

    void Expense(const QDate& date, int branch, const QString& account, Paise amount, bool cash, const QString& narration)
    {
        const Key key = NewKey(cash ? QStringLiteral("CPA") : QStringLiteral("BPA"), branch);
        const QString money = cash ? kBranches[branch].Cash : kBranches[branch].Bank;
        const QString cheque = cash ? QString() : QString::number(m_random.Int(100000, 999999));
        PostVoucher(key, date,
                    {{money, -amount, QString(), QStringLiteral("001"), cheque, cheque.isEmpty() ? kEmptyDate : date},
                     {account, amount, narration}});
        if (cash && date == m_today && branch == 0)
            m_todayCashPayment = true;
    }

    void Journal(const QDate& date, int branch, const QString& debit, const QString& credit, Paise amount, const QString& narration)
    {
        PostVoucher(NewKey(QStringLiteral("JOV"), branch), date, {{debit, amount, narration}, {credit, -amount, narration}});
    }

    // ---- a day's trade -----------------------------------------------------------------------

    void Trade(const QDate& day)
    {
        const bool today = day == m_today;
        const bool open = day.dayOfWeek() != Qt::Sunday || today;
        if (open) {
            MonthlyExpenses(day);
            ReceiveGoods(day);
            DeliverOrders(day);
            for (int b = 0; b < 2; ++b) {
                const int invoices = b == 0 ? m_random.Int(2, 6) : m_random.Int(1, 4);
                for (int k = 0; k < invoices; ++k) {
                    const StoreIndex store = b == 0 && m_random.Chance(0.2) ? SR : kBranches[b].MainStore;
                    const int customer = CustomerOf(b);
                    DirectInvoice(day, store, customer, m_random.Int(1, 4));
                }
                const int memos = b == 0 ? m_random.Int(1, 3) : m_random.Int(0, 2);
                for (int k = 0; k < memos; ++k)
                    CounterSale(day, b);
            }
        }
        BillsDueToday(day);
        if (open) {
            NewSalesOrders(day);
            Collect(day);
            Pay(day);
            for (int b = 0; b < 2; ++b) {
                if (m_random.Chance(0.55))
                    PettyExpense(day, b);
                if (m_cash[static_cast<size_t>(b)] > kBranches[b].CashLimit) {
                    const Paise deposit = (m_cash[static_cast<size_t>(b)] - kBranches[b].CashLimit / 3) / (1000 * kRupee) * (1000 * kRupee);
                    if (deposit > 0)
                        Journal(day, b, kBranches[b].Bank, kBranches[b].Cash, deposit, QStringLiteral("Cash deposited into bank"));
                }
                if (m_random.Chance(0.12))
                    DirectPurchase(day, kBranches[b].MainStore);
                // The proprietor keeps the bank out of overdraft.
                if (m_bank[static_cast<size_t>(b)] < 500000 * kRupee) {
                    const Paise amount = 1000000 * kRupee;
                    const QString narration = QStringLiteral("Capital introduced by the proprietor");
                    PostVoucher(NewKey(QStringLiteral("BRE"), b), day,
                                {{kBranches[b].Bank, amount, narration}, {QStringLiteral("CP01"), -amount, narration}});
                }
            }
            StockShowroom(day);
            Replenish(day);
        }
        if (today)
            CompleteToday(day);
    }

    int CustomerOf(int branch)
    {
        std::vector<int>& list = m_customersOf[branch];
        if (list.empty())
            for (size_t i = 0; i < m_parties.size(); ++i)
                if (m_parties[i].Debtor && m_parties[i].Branch == branch)
                    list.push_back(static_cast<int>(i));
        return list[static_cast<size_t>(m_random.Skewed(static_cast<int>(list.size())))];
    }

    // Up to `count` lines of different items in stock in the store, each a few units.
    std::vector<SaleLine> PickLines(StoreIndex store, int count, const Party* party)
    {
        std::vector<SaleLine> lines;
        for (int attempt = 0; attempt < count * 4 && static_cast<int>(lines.size()) < count; ++attempt) {
            const int i = m_random.Int(0, static_cast<int>(m_items.size()) - 1);
            const Item& item = m_items[static_cast<size_t>(i)];
            const qint64 held = Available(store, i);
            if (item.Base[store] == 0 || held <= 0)
                continue;
            if (std::any_of(lines.begin(), lines.end(), [i](const SaleLine& l) { return l.ItemIndex == i; }))
                continue;
            const qint64 quantity = std::min<qint64>(held, m_random.Int(1, static_cast<int>(std::max<qint64>(1, item.Base[store] / 12))));
            lines.push_back({i, store, quantity, SalesRateFor(item, party)});
        }
        return lines;
    }

    void DirectInvoice(const QDate& day, StoreIndex store, int p, int lineCount)
    {
        const Party& party = m_parties[static_cast<size_t>(p)];
        const QString location = party.SecondLocation && m_random.Chance(0.3) ? QStringLiteral("002") : QStringLiteral("001");
        SalesInvoice(day, p, PickLines(store, lineCount, &party), QString(), location);
    }

    void CounterSale(const QDate& day, int branch)
    {
        CashMemo(day, branch, PickLines(kBranches[branch].CounterStore, m_random.Int(1, 3), nullptr));
    }

    void BillsDueToday(const QDate& day)
    {
        for (const auto& due : m_dueToday) {
            if (due.first != day)
                continue;
            const Party& party = m_parties[static_cast<size_t>(due.second)];
            const StoreIndex store = kBranches[party.Branch].MainStore;
            if (party.Debtor) {
                SalesInvoice(day, due.second, PickLines(store, 2, &party), QString());
            } else {
                std::vector<SaleLine> lines = PurchaseLines(store, due.second, 2);
                PurchaseBill(day, due.second, store, lines, day, QString());
            }
        }
    }

    // Lines of items that a supplier sells, enough to fill the store again.
    std::vector<SaleLine> PurchaseLines(StoreIndex store, int supplier, int count)
    {
        std::vector<SaleLine> lines;
        const auto refill = [&](size_t i) {
            const Item& item = m_items[i];
            lines.push_back({static_cast<int>(i), store, std::max<qint64>(1, item.Base[store] / 3), item.Cost});
        };
        for (size_t i = 0; i < m_items.size() && static_cast<int>(lines.size()) < count; ++i) {
            const Item& item = m_items[i];
            if (item.Supplier != supplier || item.Base[store] == 0)
                continue;
            refill(i);
        }
        if (lines.empty()) {
            // A supplier may have no items of that store: buy what it sells for the main godown.
            for (size_t i = 0; i < m_items.size() && static_cast<int>(lines.size()) < count; ++i)
                if (m_items[i].Base[store] > 0 && m_random.Chance(0.05))
                    refill(i);
        }
        return lines;
    }

    void DirectPurchase(const QDate& day, StoreIndex store)
    {
        const int supplier = m_random.Int(200, static_cast<int>(m_parties.size()) - 1);
        const std::vector<SaleLine> lines = PurchaseLines(store, supplier, m_random.Int(1, 3));
        const QDate billDate = day.addDays(-m_random.Int(0, 2));
        PurchaseBill(day, supplier, store, lines, billDate, QString());
    }

    void MonthlyExpenses(const QDate& day)
    {
        const int month = MonthNo(day);
        if (month <= 1 || month <= m_expensesPaidMonth)
            return;
        m_expensesPaidMonth = month;
        const QString period = day.addMonths(-1).toString(QStringLiteral("MMMM yyyy"));
        const struct {
            const char* account;
            int amount[2];
            int spread;
            const char* words;
        } monthly[] = {
            {"EX01", {245000, 110000}, 15000, "Salaries for "},
            {"EX02", {55000, 32000}, 0, "Rent for "},
            {"EX03", {9000, 5000}, 7000, "Electricity bill for "},
            {"EX04", {2400, 1400}, 600, "Telephone and internet for "},
        };
        for (int b = 0; b < 2; ++b) {
            for (const auto& m : monthly)
                Expense(day, b, QString::fromLatin1(m.account), (m.amount[b] + m_random.Int(0, m.spread)) * kRupee, false,
                        QString::fromLatin1(m.words) + period);
            Journal(day, b, QStringLiteral("EX11"), kBranches[b].Bank, m_random.Int(180, 950) * kRupee,
                    QStringLiteral("Bank charges for ") + period);
        }
    }

    void PettyExpense(const QDate& day, int branch)
    {
        const struct {
            const char* account;
            const char* words;
        } petty[] = {{"EX05", "Freight on goods received"}, {"EX06", "Freight on goods sent"}, {"EX07", "Office expenses"},
                     {"EX08", "Local conveyance"},          {"EX10", "Stationery"},            {"EX13", "Tea and refreshments"},
                     {"EX14", "Loading and unloading"}};
        const auto& pick = petty[m_random.Int(0, 6)];
        const Paise amount = m_random.Int(150, 4500) * kRupee;
        if (m_cash[static_cast<size_t>(branch)] >= amount)
            Expense(day, branch, QString::fromLatin1(pick.account), amount, true, QString::fromLatin1(pick.words));
    }

    // Customers pay their overdue bills now and then, suppliers are paid theirs. A bill is paid
    // only after the day it falls due, so every bill due today is still open.
    void Collect(const QDate& day)
    {
        for (int p = 0; p < static_cast<int>(m_parties.size()); ++p) {
            if (!m_parties[static_cast<size_t>(p)].Debtor)
                continue;
            const std::vector<int> overdue = Overdue(p, day);
            if (overdue.empty() || !m_random.Chance(0.07))
                continue;
            Paise total = 0;
            for (int index : overdue)
                total += m_bills[static_cast<size_t>(index)].Pending;
            Paise amount = total;
            if (total > 20000 * kRupee && m_random.Chance(0.15))
                amount = total / 2 / (1000 * kRupee) * (1000 * kRupee);
            Settle(day, p, overdue, amount, total < 40000 * kRupee && m_random.Chance(0.3));
        }
    }

    void Pay(const QDate& day)
    {
        for (int p = 0; p < static_cast<int>(m_parties.size()); ++p) {
            if (m_parties[static_cast<size_t>(p)].Debtor)
                continue;
            const std::vector<int> overdue = Overdue(p, day);
            if (overdue.empty() || !m_random.Chance(0.09))
                continue;
            // A supplier's goods may come to either branch; each branch pays its own bills.
            for (int b = 0; b < 2; ++b) {
                std::vector<int> bills;
                Paise total = 0;
                for (int index : overdue)
                    if (m_bills[static_cast<size_t>(index)].Branch == kBranches[b].Code) {
                        bills.push_back(index);
                        total += m_bills[static_cast<size_t>(index)].Pending;
                    }
                if (!bills.empty() && m_bank[static_cast<size_t>(b)] >= total + 100000 * kRupee)
                    Settle(day, p, bills, total, false);
            }
        }
    }

    std::vector<int> Overdue(int p, const QDate& day)
    {
        std::vector<int>& open = m_parties[static_cast<size_t>(p)].OpenBills;
        open.erase(std::remove_if(open.begin(), open.end(), [this](int i) { return m_bills[static_cast<size_t>(i)].Pending <= 0; }),
                   open.end());
        std::vector<int> overdue;
        for (int index : open)
            if (m_bills[static_cast<size_t>(index)].Due < day)
                overdue.push_back(index);
        std::sort(overdue.begin(), overdue.end(), [this](int a, int b) {
            const Bill& x = m_bills[static_cast<size_t>(a)];
            const Bill& y = m_bills[static_cast<size_t>(b)];
            return x.Due != y.Due ? x.Due < y.Due : a < b;
        });
        return overdue;
    }

    // ---- orders ------------------------------------------------------------------------------

    void NewSalesOrders(const QDate& day)
    {
        for (int b = 0; b < 2; ++b) {
            int count = b == 0 ? m_random.Int(0, 2) : m_random.Int(0, 1);
            if (day == m_today && b == 0)
                count = std::max(count, 1);
            for (int k = 0; k < count; ++k) {
                const int p = CustomerOf(b);
                const Party& party = m_parties[static_cast<size_t>(p)];
                Order order;
                order.DocKey = NewKey(QStringLiteral("SAO"), b);
                order.Date = day;
                order.Party = p;
                order.Location = QStringLiteral("001");
                order.Reference = QStringLiteral("PO-%1").arg(m_random.Int(100, 9999));
                order.ReferenceDate = day.addDays(-m_random.Int(0, 3));
                // The first order of today is one the warehouse is about to deliver: its lines fall
                // due within the week.
                const bool dueThisWeek = day == m_today && b == 0 && k == 0;
                order.Passed = dueThisWeek || m_random.Chance(0.97);
                order.Slow = !dueThisWeek && m_random.Chance(0.08);
                const StoreIndex store = kBranches[b].MainStore;
                std::vector<int> chosen;
                const int lines = m_random.Int(1, 3);
                for (int attempt = 0; attempt < 12 && static_cast<int>(chosen.size()) < lines; ++attempt) {
                    const int i = m_random.Int(0, static_cast<int>(m_items.size()) - 1);
                    if (std::find(chosen.begin(), chosen.end(), i) == chosen.end())
                        chosen.push_back(i);
                }
                for (int i : chosen) {
                    const Item& item = m_items[static_cast<size_t>(i)];
                    OrderLine line;
                    line.ItemIndex = i;
                    line.Store = store;
                    line.Quantity = line.Pending = m_random.Int(5, static_cast<int>(std::max<qint64>(5, item.Base[store] / 5)));
                    line.Rate = SalesRateFor(item, &party);
                    line.Cancelled = !dueThisWeek && m_random.Chance(0.03);
                    if (dueThisWeek) {
                        line.Schedule.push_back({day.addDays(2), line.Quantity, line.Quantity});
                    } else if (line.Quantity >= 10 && m_random.Chance(0.4)) {
                        const qint64 first = line.Quantity / 2;
                        line.Schedule.push_back({day.addDays(m_random.Int(2, 7)), first, first});
                        line.Schedule.push_back({day.addDays(m_random.Int(9, 20)), line.Quantity - first, line.Quantity - first});
                    } else {
                        line.Schedule.push_back({day.addDays(m_random.Int(2, 12)), line.Quantity, line.Quantity});
                    }
                    order.Lines.push_back(line);
                }
                m_salesOrders.push_back(order);
                m_openSalesOrders.push_back(static_cast<int>(m_salesOrders.size()) - 1);
            }
        }
    }

    // The scheduled deliveries that have come due, as stock allows; a late one goes out at once.
    void DeliverOrders(const QDate& day)
    {
        std::vector<int> stillOpen;
        for (int index : m_openSalesOrders) {
            Order& order = m_salesOrders[static_cast<size_t>(index)];
            bool open = false;
            std::vector<SaleLine> delivered;
            for (OrderLine& line : order.Lines) {
                if (line.Cancelled || line.Pending <= 0)
                    continue;
                qint64 quantity = 0;
                for (ScheduleRow& row : line.Schedule) {
                    if (row.Pending <= 0 || row.Date > day || !order.Passed || order.Slow)
                        continue;
                    if (row.Date.daysTo(day) < 3 && !m_random.Chance(0.6))
                        continue;
                    const qint64 q = std::min(row.Pending, Available(line.Store, line.ItemIndex) - quantity);
                    if (q <= 0)
                        continue;
                    row.Pending -= q;
                    quantity += q;
                }
                line.Pending -= quantity;
                if (quantity > 0)
                    delivered.push_back({line.ItemIndex, line.Store, quantity, line.Rate});
                open = open || line.Pending > 0;
            }
            SalesInvoice(day, order.Party, delivered, QStringLiteral("Against order No. ") + order.DocKey.No, order.Location);
            if (open && order.Passed && !order.Slow)
                stillOpen.push_back(index);
        }
        m_openSalesOrders = stillOpen;
    }

    // Items of a store that have run low are ordered from their suppliers, one order each.
    void Replenish(const QDate& day)
    {
        for (StoreIndex store : {MG, NG}) {
            std::map<int, std::vector<int>> bySupplier;
            for (size_t i = 0; i < m_items.size(); ++i) {
                const Item& item = m_items[i];
                const qint64 base = OrderLevel(item, store);
                if (base == 0)
                    continue;
                if (m_stock[store][i] + m_onOrder[store][i] < base * 35 / 100)
                    bySupplier[item.Supplier].push_back(static_cast<int>(i));
            }
            // Today's orders are due within the week; the main godown orders something today.
            const bool today = day == m_today;
            for (const auto& entry : bySupplier)
                PurchaseOrder(day, store, entry.first, entry.second, today);
            if (today && store == MG && bySupplier.empty()) {
                const int i = m_random.Int(0, static_cast<int>(m_items.size()) - 1);
                PurchaseOrder(day, store, m_items[static_cast<size_t>(i)].Supplier, {i}, true);
            }
        }
    }

    void PurchaseOrder(const QDate& day, StoreIndex store, int supplier, const std::vector<int>& items, bool dueThisWeek)
    {
        Order order;
        order.DocKey = NewKey(QStringLiteral("PUO"), kStores[store].Branch);
        order.Date = day;
        order.Party = supplier;
        order.Location = QStringLiteral("001");
        order.Reference = QStringLiteral("Q/%1").arg(m_random.Int(10, 999));
        order.ReferenceDate = day.addDays(-m_random.Int(1, 6));
        order.Passed = true;
        order.Slow = !dueThisWeek && m_random.Chance(0.1);
        for (int i : items) {
            const Item& item = m_items[static_cast<size_t>(i)];
            const qint64 base = OrderLevel(item, store);
            OrderLine line;
            line.ItemIndex = i;
            line.Store = store;
            const qint64 held = m_stock[store][static_cast<size_t>(i)] + m_onOrder[store][static_cast<size_t>(i)];
            line.Quantity = line.Pending = std::max<qint64>(1, base - held);
            line.Rate = item.Cost;
            const QDate due = dueThisWeek ? day.addDays(m_random.Int(1, 6)) : day.addDays(m_random.Int(2, 9));
            line.Schedule.push_back({due, line.Quantity, line.Quantity});
            m_onOrder[store][static_cast<size_t>(i)] += line.Quantity;
            order.Lines.push_back(line);
        }
        m_purchaseOrders.push_back(order);
        m_openPurchaseOrders.push_back(static_cast<int>(m_purchaseOrders.size()) - 1);
    }

    // Goods of the purchase orders that have come due arrive with the supplier's bill. A slow
    // supplier sends part of an order and no more.
    void ReceiveGoods(const QDate& day)
    {
        std::vector<int> stillOpen;
        for (int index : m_openPurchaseOrders) {
            Order& order = m_purchaseOrders[static_cast<size_t>(index)];
            std::vector<SaleLine> received;
            bool open = false;
            StoreIndex store = MG;
            for (OrderLine& line : order.Lines) {
                store = line.Store;
                for (ScheduleRow& row : line.Schedule) {
                    if (row.Pending <= 0 || row.Date > day)
                        continue;
                    if (row.Date.daysTo(day) < 4 && !m_random.Chance(0.5))
                        continue;
                    const qint64 q = order.Slow ? std::max<qint64>(0, row.Pending * 6 / 10) : row.Pending;
                    m_onOrder[line.Store][static_cast<size_t>(line.ItemIndex)] -= order.Slow ? row.Pending : q;
                    row.Pending -= q;
                    line.Pending -= q;
                    if (q > 0)
                        received.push_back({line.ItemIndex, line.Store, q, line.Rate});
                    if (order.Slow)
                        row.Date = kEmptyDate;  // nothing more is expected of it
                }
                for (const ScheduleRow& row : line.Schedule)
                    open = open || (row.Pending > 0 && row.Date != kEmptyDate);
            }
            if (!received.empty()) {
                const QDate billDate = std::max(order.Date, day.addDays(-m_random.Int(0, 2)));
                PurchaseBill(day, order.Party, store, received, billDate, QStringLiteral("Against order No. ") + order.DocKey.No);
            }
            if (open)
                stillOpen.push_back(index);
        }
        m_openPurchaseOrders = stillOpen;
    }

    // The showroom is filled from the main godown.
    void StockShowroom(const QDate& day)
    {
        std::vector<std::pair<int, qint64>> moves;
        for (size_t i = 0; i < m_items.size(); ++i) {
            const Item& item = m_items[i];
            if (item.Base[SR] == 0 || m_stock[SR][i] >= item.Base[SR] / 3 + 1)
                continue;
            const qint64 q = std::min(item.Base[SR] - m_stock[SR][i], m_stock[MG][i] / 2);
            if (q > 0)
                moves.push_back({static_cast<int>(i), q});
        }
        if (moves.empty())
            return;
        const Key key = NewKey(QStringLiteral("ISU"), 0);
        int sno = 0;
        for (size_t k = 0; k < moves.size(); ++k) {
            const auto& move = moves[k];
            const Paise cost = m_items[static_cast<size_t>(move.first)].Cost;
            const int itemSno = static_cast<int>(k) + 1;
            const QString narration = QStringLiteral("Transfer to showroom");
            MoveStock(key, ++sno, itemSno, day, move.first, MG, -move.second, cost, cost * move.second, narration);
            MoveStock(key, ++sno, itemSno, day, move.first, SR, move.second, cost, cost * move.second, narration);
        }
    }

    // Whatever today still lacks for a full dashboard, also for a user of the head office and
    // its main godown only: a sale and a purchase in the main godown, a counter sale and a cash
    // payment of the head office.
    void CompleteToday(const QDate& day)
    {
        if (!m_todaySaleFromMainGodown)
            DirectInvoice(day, MG, CustomerOf(0), 1);
        if (!m_todayCashMemo)
            CashMemo(day, 0, PickLines(MG, 1, nullptr));
        if (!m_todayPurchaseIntoMainGodown) {
            const int i = m_random.Int(0, static_cast<int>(m_items.size()) - 1);
            const Item& item = m_items[static_cast<size_t>(i)];
            PurchaseBill(day, item.Supplier, MG, {{i, MG, std::max<qint64>(1, item.Base[MG] / 4), item.Cost}}, day, QString());
        }
        if (!m_todayCashPayment)
            Expense(day, 0, QStringLiteral("EX07"), std::min<Paise>(850 * kRupee, std::max<Paise>(kRupee, m_cash[0])), true,
                    QStringLiteral("Office expenses"));
    }

    // ---- the tables written at the end ---------------------------------------------------------

    void WriteOrders()
    {
        WriteOrderTables(m_salesOrders, QStringLiteral("FaSalesOrderRegister"), QStringLiteral("FaSalesOrderProducts"),
                         QStringLiteral("FaSalesOrderSchedule"), "OrderNo, OrderDate");
        WriteOrderTables(m_purchaseOrders, QStringLiteral("FaPurchaseOrderRegister"), QStringLiteral("FaPurchaseOrderProducts"),
                         QStringLiteral("FaPurchaseOrderSchedule"), "RefNo, RefDate");
    }

    void WriteOrderTables(const std::vector<Order>& orders, const QString& registerName, const QString& productsName,
                          const QString& scheduleName, const char* referenceColumns)
    {
        Table registers(m_db, registerName,
                        Columns("DocumentYear, BranchCode, DocumentType, SeriesCode, DocumentNo, DocumentDate, AccountCode, "
                                "AccountLocationCode, AccountContactCode, SalesmanCode, AgentCode, CreditPeriod, DeliverySchedule, "
                                "NetAmount, Passed")
                            + Columns(referenceColumns));
        Table products(m_db, productsName,
                       Columns("DocumentYear, BranchCode, DocumentType, SeriesCode, DocumentNo, Sno, ItemSno, ItemCode, StoreCode, "
                               "Quantity, PendingQuantity, PendingQuantity1, Rate, Per, RateOn, Amount, Cancelled, GSTCode, SGSTCode, "
                               "GSTAmount, SGSTAmount"));
        Table schedules(m_db, scheduleName,
                        Columns("DocumentYear, BranchCode, DocumentType, SeriesCode, DocumentNo, Sno, ItemCode, ItemSno, DeliveryDate, "
                                "Quantity, PendingQuantity, PendingQuantity1"));
        for (const Order& o : orders) {
            const Party& party = m_parties[static_cast<size_t>(o.Party)];
            const bool local = WithinState(party, BranchIndex(o.DocKey.Branch));
            const Key& k = o.DocKey;
            Paise net = 0;
            int scheduleNo = 0;
            for (size_t l = 0; l < o.Lines.size(); ++l) {
                const OrderLine& line = o.Lines[l];
                const Item& item = m_items[static_cast<size_t>(line.ItemIndex)];
                const Paise amount = line.Rate * line.Quantity;
                const Tax tax = TaxOf(amount, item.Gst, local);
                const GstCodes codes = GstFor(item.Gst);
                net += amount + tax.Total();
                const int sno = static_cast<int>(l) + 1;
                products.Add({k.Year, k.Branch, k.Type, k.Series, k.No, sno, sno, item.Code, kStores[line.Store].Code,
                              static_cast<double>(line.Quantity), static_cast<double>(line.Pending), 0.0, Rupees(line.Rate), 1.0,
                              QStringLiteral("M"), Rupees(amount), line.Cancelled, local ? codes.Cgst : codes.Igst,
                              local ? codes.Sgst : QString(), Rupees(local ? tax.Central : tax.Integrated), Rupees(tax.State)});
                for (const ScheduleRow& row : line.Schedule) {
                    // A row of a supplier who sent part and no more keeps the day it was due.
                    const QDate date = row.Date == kEmptyDate ? o.Date.addDays(1) : row.Date;
                    schedules.Add({k.Year, k.Branch, k.Type, k.Series, k.No, ++scheduleNo, item.Code, sno, date,
                                   static_cast<double>(row.Quantity), static_cast<double>(row.Pending), 0.0});
                }
            }
            registers.Add({k.Year, k.Branch, k.Type, k.Series, k.No, o.Date, party.Code, o.Location, QStringLiteral("01"), party.Salesman,
                           party.Agent, party.CreditPeriod, true, Rupees(net), o.Passed, o.Reference, o.ReferenceDate});
        }
    }

    void WriteOutstanding()
    {
        // A bill has a positive amount; a settlement a negative one and the bill it settles.
        Table outstanding(m_db, QStringLiteral("FaOSReg"),
                          Columns("DocumentYear, BranchCode, DocumentType, SeriesCode, DocumentNo, Sno, AccountCode, AccountSno, "
                                  "AccountLocationCode, AccountBranchCode, DocumentDate, BillNo, BillDate, CreditPeriod, Amount, "
                                  "PendingAmount, AdjustedAmount, AdjustmentAmount, Passed, RDocumentYear, RBranchCode, RDocumentType, "
                                  "RSeriesCode, RDocumentNo, RDocumentDate"));
        for (const Bill& b : m_bills) {
            const Key& k = b.DocKey;
            outstanding.Add({k.Year, k.Branch, k.Type, k.Series, k.No, 1, b.Account, 1, b.Location, b.Branch, b.DocumentDate, b.BillNo,
                             b.BillDate, b.CreditPeriod, Rupees(b.Amount), Rupees(b.Pending), Rupees(b.Amount - b.Pending), 0.0, true, 0,
                             QString(), QString(), QString(), QString(), kEmptyDate});
        }
        for (const Settlement& s : m_settlements) {
            const Bill& b = m_bills[static_cast<size_t>(s.BillIndex)];
            const Key& k = s.DocKey;
            const Key& r = b.DocKey;
            outstanding.Add({k.Year, k.Branch, k.Type, k.Series, k.No, s.Sno, b.Account, s.AccountSno, b.Location, b.Branch, s.Date,
                             b.BillNo, b.BillDate, 0, Rupees(s.Amount), 0.0, Rupees(-s.Amount), 0.0, true, r.Year, r.Branch, r.Type,
                             r.Series, r.No, b.DocumentDate});
        }
    }

    void WriteBalances()
    {
        Table balances(m_db, QStringLiteral("FaAccountBalanceMaster"),
                       MonthColumns("AccountCode, BranchCode", QStringLiteral("OpeningBalance"), QStringLiteral("Total")));
        Paise opening = 0;
        for (const auto& entry : m_balances)
            opening += entry.second[0];
        // The capital account takes what the openings leave, so the books balance.
        Balance(QStringLiteral("CP01"), 0)[0] -= opening;
        for (const auto& entry : m_balances) {
            QVariantList row = {entry.first.first, entry.first.second};
            for (Paise amount : entry.second)
                row << Rupees(amount);
            balances.Add(row);
        }
    }

    void WriteStock()
    {
        Table stock(m_db, QStringLiteral("FaStockMaster"),
                    MonthColumns("ItemCode, StoreCode", QStringLiteral("OpeningQuantity"), QStringLiteral("TotalQuantity")));
        for (size_t i = 0; i < m_items.size(); ++i)
            for (int s = 0; s < StoreCount; ++s) {
                if (m_items[i].Base[static_cast<size_t>(s)] == 0)
                    continue;
                QVariantList row = {m_items[i].Code, kStores[s].Code};
                for (qint64 quantity : m_stockMonths[static_cast<size_t>(s)][i])
                    row << static_cast<double>(quantity);
                stock.Add(row);
            }
    }

    Database& m_db;
    const QDate m_start;
    const QDate m_last;
    const QDate m_today;
    const int m_year;
    Random m_random;

    std::unique_ptr<Table> m_ledger;
    std::unique_ptr<Table> m_itemLedgerTable;
    std::unique_ptr<Table> m_accounts;

    std::vector<Party> m_parties;  // 0-199 customers, 200-259 suppliers
    std::vector<Item> m_items;
    std::array<std::vector<qint64>, StoreCount> m_stock;
    std::array<std::vector<qint64>, StoreCount> m_onOrder;
    std::array<std::vector<std::array<qint64, kMonthColumns + 1>>, StoreCount> m_stockMonths;
    std::map<std::pair<QString, QString>, std::array<Paise, kMonthColumns + 1>> m_balances;
    std::map<std::pair<QString, int>, int> m_numbers;
    int m_openingNumbers[2][2] = {{0, 0}, {0, 0}};
    std::array<Paise, 2> m_cash{};
    std::array<Paise, 2> m_bank{};
    std::vector<Bill> m_bills;
    std::vector<Settlement> m_settlements;
    std::vector<Order> m_salesOrders;
    std::vector<Order> m_purchaseOrders;
    std::vector<int> m_openSalesOrders;
    std::vector<int> m_openPurchaseOrders;
    std::vector<std::pair<QDate, int>> m_dueToday;
    std::vector<int> m_customersOf[2];
    int m_expensesPaidMonth = 0;
    int m_vouchers = 0;
    int m_accountCount = 0;
    bool m_todaySaleFromMainGodown = false;
    bool m_todayCashMemo = false;
    bool m_todayPurchaseIntoMainGodown = false;
    bool m_todayCashPayment = false;
};

}  // namespace

QDate YearStartFor(const QDate& today)
{
    return QDate(today.month() >= 4 ? today.year() : today.year() - 1, 4, 1);
}

QString DatabaseNameFor(const QDate& today)
{
    return QStringLiteral("DEMO") + QString::number(YearStartFor(today).year());
}

DemoSummary CreateDemoCompany(const QString& databaseFolder, const QDate& today)
{
    if (!today.isValid())
        Fail(QStringLiteral("no valid date for today"));
    if (!QDir().mkpath(databaseFolder))
        Fail(QStringLiteral("cannot create the folder ") + databaseFolder);
    const QString name = DatabaseNameFor(today);
    const QString path = QDir(databaseFolder).filePath(name + QStringLiteral(".sqlite"));
    if (QFileInfo::exists(path))
        Fail(QStringLiteral("the company database ") + path + QStringLiteral(" already exists"));
    const QString building = path + QStringLiteral(".building");
    QFile::remove(building);
    QFile::remove(building + QStringLiteral("-journal"));

    const QDate start = YearStartFor(today);
    QDate last = start.addYears(1).addDays(-1);
    // On the last day of the year the company would already count as ended for an installation
    // that lists only current companies; the company then runs on into a second year.
    if (last <= today)
        last = start.addYears(2).addDays(-1);

    DemoSummary summary;
    try {
        Database db(building);
        db.Exec(QStringLiteral("PRAGMA synchronous = OFF"));
        db.Exec(QStringLiteral("PRAGMA journal_mode = MEMORY"));
        db.Exec(QStringLiteral("BEGIN"));
        db.Exec(fixtures::SchemaText());
        {
            Generator generator(db, start, last, today);
            summary = generator.Run();
        }
        AddLedgerDemo([&](const QString& sql) { db.Exec(sql); });
        summary.Branches += AddDemoMasters(db.Handle());
        AddDemoDocuments(db.Handle(), start, today);
        db.Exec(QStringLiteral("COMMIT"));
        db.Close();
    } catch (...) {
        QFile::remove(building);
        throw;
    }
    if (!QFile::rename(building, path)) {
        QFile::remove(building);
        Fail(QStringLiteral("cannot move the new database to ") + path);
    }
    summary.DatabaseName = name;
    summary.FilePath = path;
    return summary;
}

}  // namespace demo
