// The "AccountSummary", "LocationSummary" and "ItemSummary" actions on a small company whose
// figures are worked out by hand below: every GroupType, whole and part months at both ends, a
// period inside one month, the day figures on StartDate, the pending figures on LastDate, the
// testing mode on both sides of 31 March 2005, branch, store and account-group rights, lower-case
// and unknown codes, and each failure message.

#include "CoreTestSupport.h"

#include <QtTest>

using coretest::CRLF;
using coretest::ParsedReply;
using fixtures::CompanyDatabase;

namespace {

const QString kMobile = QStringLiteral("9876543210");

// ---- the company "SUMM" --------------------------------------------------------------------------
//
// Years 1 April 2004 to 31 March 2006. Month numbers: March 2005 is 12, April 2005 13.
// Groups: GSA (SA), GPU (PU), GCH (CH), GBK (BK), GSD (SD), GSC (SC).
// Accounts: SALES "Sales" (GSA), PURCH "Purchase" (GPU), CASH "Cash" (GCH), BANK "Bank" (GBK),
//   DEB1 "Alpha Traders" (GSD; locations 001 "Pune" place Pune, 002 "Nashik" place Nashik),
//   DEB2 "Beta Stores" (GSD; 001 "Satara" place Satara), CRED1 "Gamma Supplies" (GSC; 001 "Thane").
//
// Vouchers (branch, date: account amount ...):
//   INV/1 01 2005-03-16: SALES -100, DEB1 +100       INV/2 01 2005-03-25: SALES -200, DEB2 +200
//   INV/3 02 2005-04-05: SALES -300, DEB1 +300       INV/4 01 2005-04-20: SALES -50,  DEB2 +50
//   PUR/5 01 2005-04-12: PURCH +400, CRED1 -400
//   CRE/6 01 2005-04-15: CASH +150, DEB1 -150        BRE/7 01 2005-04-15: BANK +250, DEB1 -100, DEB2 -150
//   BPA/8 01 2005-04-15: BANK -400, CRED1 +400
// Balance rows (account/branch: opening; February 2005 (11), March (12), April (13)):
//   SALES/01: 0; -1000, -300, -50    SALES/02: 0; 0, 0, -300     PURCH/01: 0; 0, 0, 400
//   DEB1/01: 1000; 0, 100, -250      DEB1/02: 0; 0, 0, 300       DEB2/01: 0; 0, 200, -100
//   CRED1/01: -2000; 0, 0, 0         CASH/01: 500; 0, 0, 150     BANK/01: 5000; 0, 0, -150
//
// SA: 1 Feb to 30 Apr (whole months 11-13): -1000 -300 -50 -300 = -1650.
//     20 Mar to 10 Apr (no whole month): ledger 20-31 Mar -200, 1-10 Apr -300: -500.
//     20 Mar to 30 Apr: April's totals -350 and 20-31 Mar -200: -550.
//     3 to 19 Apr (inside one month): INV/3 -300.
// SD at 16 Apr: months up to March (DEB1 1100, DEB2 200) and 1-16 April (DEB1 +300 -150 -100,
//     DEB2 -150): DEB1 1150, DEB2 50. At 30 Apr (whole): DEB1 1150, DEB2 100.
// CH at 30 Apr 650, BK 4850, SC -2000.
// RT on 15 Apr: the contra lines of the positive cash/bank lines: DEB1 -150 -100 = -250, DEB2 -150.
// PT on 15 Apr: CRED1 +400.
//
// Outstanding register (account, type, date, bill date, credit days, amount, pending, location, branch):
//   DEB1 INV 2005-03-16 -, 30: 100, 100, 001, 01      -> due 15 Apr
//   DEB1 INV 2005-04-05 -, 10: 300, 300, 002, 02      -> due 15 Apr
//   DEB1 INV 2005-04-02 -, 0: 70, 0, 009 (no address row)
//   DEB2 INV 2005-03-25 -, 30: 200, 200, 001, 01      -> due 24 Apr
//   CRED1 PUR 2005-04-12, bill 2005-04-05, 10: -400, 400, 001, 01   -> due 15 Apr by the bill date
//   CRED1 PUR 2005-04-01, no bill date, 14: -60, 60, 001, 01        -> due 15 Apr
//   DEB1 CRE 2005-04-15: -150, 001, 01;  DEB1 BRE 2005-04-15: -100, 002, 01;  CRED1 BPA 2005-04-15: 400, 001, 01
// TR on 15 Apr: DEB1 400 (by location 001 100, 002 300). TP: CRED1 460.
// Location SD of DEB1 at 30 Apr: 001 100 -150 = -50, 002 300 -100 = 200 (009 has no address row).
// Location RT of DEB1 on 15 Apr: 001 -150, 002 -100. PT of CRED1: 400 x -1 = -400.
//
// Sales orders (branch, date, account, location, passed: lines item store amount, pending q/q1, rate/per, rate on):
//   SO1 01 2005-04-15 DEB1 001: L1 IT1 S1 1000, 4, 250/1 M -> 1000
//                               L2 IT2 S2 500, 2/3, 100/10 A (IT2 factor 0.5) -> (3 + 1) x 10 = 40
//                               L3 IT1 S1 300, cancelled
//   SO2 01 2005-04-15 DEB2 001 not passed: L1 999
//   SO3 01 2005-03-01 DEB2 001: L1 IT1 S1 200, 3, 20/1 M -> 60
//   SO4 02 2005-04-15 DEB1 002: L1 IT1 S2 800, 2, 400/1 M -> 800
//   Schedules: SO1 L1 2005-04-10 q 2 -> 500, 2005-05-10 q 2 (after LastDate); SO1 L2 2005-04-20 q 2 q1 3 -> 40.
// OR on 15 Apr: DEB1 1000 + 500 + 800 = 2300 (001 1500, 002 800). On 1 Mar: DEB2 200.
// OP at 30 Apr: DEB1 1840 (001 1040, 002 800), DEB2 60. At 31 Mar: DEB2 60.
// WD at 30 Apr: DEB1 540 from the schedules; by location 001 540 and 002 800 (SO4 L1 has no schedule).
// Purchase orders: PO1 01 2005-04-15 CRED1 001: L1 IT1 S1 600, 3, 200/1 M; schedule 2005-04-18 q 3.
//   OI, WR, PP: CRED1 600.
//
// Items: IT1 "Bolt" NOS, IT2 "Anchor" PKT (factor 0.5); IT9 has ledger lines but no master row.
// Stock master (item/store: opening; March (12), April (13)): IT1/S1 10; 5, -2  IT1/S2 4  IT2/S1 0; 0, 7
// Item ledger: IT1/S1 2005-03-05 +5, 2005-04-15 +3, 2005-04-15 -5; IT2/S1 2005-04-15 +7; IT9/S1 2005-04-15 -1.
// ST at 30 Apr: Anchor 7, Bolt 17. At 10 Apr: Bolt 19. At 15 Apr: IT9 -1 (no name), Anchor 7, Bolt 17.
// RQ on 15 Apr: Anchor 7, Bolt 3. IQ: IT9 1, Bolt 5.

QDate D(int y, int m, int d)
{
    return QDate(y, m, d);
}

void Voucher(CompanyDatabase& db, const QString& type, const QString& branch, int no, const QDate& date,
             const QList<QPair<QString, double>>& lines)
{
    int sno = 0;
    for (const auto& line : lines)
        db.Insert(QStringLiteral("FaAccountLedger"),
                  {QStringLiteral("DocumentYear"), 2004, QStringLiteral("BranchCode"), branch, QStringLiteral("DocumentType"),
                   type, QStringLiteral("SeriesCode"), QStringLiteral("A"), QStringLiteral("DocumentNo"), QString::number(no),
                   QStringLiteral("Sno"), ++sno, QStringLiteral("AccountCode"), line.first, QStringLiteral("DocumentDate"),
                   date, QStringLiteral("Amount"), line.second});
}

void Balance(CompanyDatabase& db, const QString& account, const QString& branch, double opening, double feb, double mar,
             double apr)
{
    db.Insert(QStringLiteral("FaAccountBalanceMaster"),
              {QStringLiteral("AccountCode"), account, QStringLiteral("BranchCode"), branch, QStringLiteral("OpeningBalance"),
               opening, QStringLiteral("Month11Total"), feb, QStringLiteral("Month12Total"), mar, QStringLiteral("Month13Total"),
               apr});
}

void Register(CompanyDatabase& db, const QString& account, const QString& type, int no, const QDate& date,
              const QDate& billDate, int credit, double amount, double pending, const QString& location,
              const QString& branch)
{
    db.Insert(QStringLiteral("FaOSReg"),
              {QStringLiteral("DocumentYear"), 2004, QStringLiteral("BranchCode"), branch, QStringLiteral("DocumentType"), type,
               QStringLiteral("SeriesCode"), QStringLiteral("A"), QStringLiteral("DocumentNo"), QString::number(no),
               QStringLiteral("Sno"), 1, QStringLiteral("AccountCode"), account, QStringLiteral("AccountLocationCode"), location,
               QStringLiteral("AccountBranchCode"), branch, QStringLiteral("DocumentDate"), date, QStringLiteral("BillDate"),
               billDate.isValid() ? billDate : QDate(1899, 12, 30), QStringLiteral("CreditPeriod"), credit,
               QStringLiteral("Amount"), amount, QStringLiteral("PendingAmount"), pending});
}

struct Line {
    QString item;
    QString store;
    double amount;
    double q;
    double q1;
    double rate;
    double per;
    QString rateOn;
    bool cancelled = false;
};

void Order(CompanyDatabase& db, const QString& side, const QString& branch, int no, const QDate& date,
           const QString& account, const QString& location, bool passed, const QList<Line>& lines)
{
    const QVariantList key{QStringLiteral("DocumentYear"), 2004, QStringLiteral("BranchCode"), branch,
                           QStringLiteral("DocumentType"), side == QLatin1String("Sales") ? "SAO" : "PUO",
                           QStringLiteral("SeriesCode"), QStringLiteral("A"), QStringLiteral("DocumentNo"), QString::number(no)};
    db.Insert(QStringLiteral("Fa") + side + QStringLiteral("OrderRegister"),
              key + QVariantList{QStringLiteral("DocumentDate"), date, QStringLiteral("AccountCode"), account,
                                 QStringLiteral("AccountLocationCode"), location, QStringLiteral("Passed"), passed});
    int sno = 0;
    for (const Line& l : lines) {
        ++sno;
        db.Insert(QStringLiteral("Fa") + side + QStringLiteral("OrderProducts"),
                  key + QVariantList{QStringLiteral("Sno"), sno, QStringLiteral("ItemSno"), sno, QStringLiteral("ItemCode"),
                                     l.item, QStringLiteral("StoreCode"), l.store, QStringLiteral("PendingQuantity"), l.q,
                                     QStringLiteral("PendingQuantity1"), l.q1, QStringLiteral("Rate"), l.rate,
                                     QStringLiteral("Per"), l.per, QStringLiteral("RateOn"), l.rateOn,
                                     QStringLiteral("Amount"), l.amount, QStringLiteral("Cancelled"), l.cancelled});
    }
}

void Schedule(CompanyDatabase& db, const QString& side, const QString& branch, int no, const QString& item, int itemSno,
              const QDate& delivery, double q, double q1 = 0)
{
    db.Insert(QStringLiteral("Fa") + side + QStringLiteral("OrderSchedule"),
              {QStringLiteral("DocumentYear"), 2004, QStringLiteral("BranchCode"), branch, QStringLiteral("DocumentType"),
               side == QLatin1String("Sales") ? "SAO" : "PUO", QStringLiteral("SeriesCode"), QStringLiteral("A"),
               QStringLiteral("DocumentNo"), QString::number(no), QStringLiteral("ItemCode"), item, QStringLiteral("ItemSno"),
               itemSno, QStringLiteral("DeliveryDate"), delivery, QStringLiteral("PendingQuantity"), q,
               QStringLiteral("PendingQuantity1"), q1});
}

void ItemLine(CompanyDatabase& db, int no, const QString& item, const QString& store, const QDate& date, double quantity)
{
    db.Insert(QStringLiteral("FaItemLedger"),
              {QStringLiteral("DocumentYear"), 2004, QStringLiteral("BranchCode"), QStringLiteral("01"),
               QStringLiteral("DocumentType"), QStringLiteral("GIN"), QStringLiteral("SeriesCode"), QStringLiteral("A"),
               QStringLiteral("DocumentNo"), QString::number(no), QStringLiteral("ItemCode"), item,
               QStringLiteral("StoreCode"), store, QStringLiteral("DocumentDate"), date, QStringLiteral("Quantity"), quantity});
}

void Fill(CompanyDatabase& db)
{
    for (const auto& g : {std::pair{"GSA", "SA"}, {"GPU", "PU"}, {"GCH", "CH"}, {"GBK", "BK"}, {"GSD", "SD"}, {"GSC", "SC"}})
        db.AddAccountGroup({QString::fromLatin1(g.first), QString::fromLatin1(g.first), QString::fromLatin1(g.second), 1, false});
    for (const auto& a : {std::tuple{"SALES", "Sales", "GSA"}, {"PURCH", "Purchase", "GPU"}, {"CASH", "Cash", "GCH"},
                          {"BANK", "Bank", "GBK"}, {"DEB1", "Alpha Traders", "GSD"}, {"DEB2", "Beta Stores", "GSD"},
                          {"CRED1", "Gamma Supplies", "GSC"}})
        db.AddAccount({QString::fromLatin1(std::get<0>(a)), QString::fromLatin1(std::get<1>(a)),
                       QString::fromLatin1(std::get<2>(a)), true});
    for (const auto& l : {std::tuple{"DEB1", "001", "Pune"}, {"DEB1", "002", "Nashik"}, {"DEB2", "001", "Satara"},
                          {"CRED1", "001", "Thane"}}) {
        fixtures::AccountAddressRow row;
        row.AccountCode = QString::fromLatin1(std::get<0>(l));
        row.AccountLocationCode = QString::fromLatin1(std::get<1>(l));
        row.AccountLocationName = QString::fromLatin1(std::get<2>(l));
        row.Place = row.AccountLocationName;
        db.AddAccountAddress(row);
    }
    fixtures::ItemRow item;
    item.ItemCode = QStringLiteral("IT1");
    item.ItemName = QStringLiteral("Bolt");
    item.Unit = QStringLiteral("NOS");
    db.AddItem(item);
    item.ItemCode = QStringLiteral("IT2");
    item.ItemName = QStringLiteral("Anchor");
    item.Unit = QStringLiteral("PKT");
    item.ConversionFactor = 0.5;
    db.AddItem(item);

    const auto user = [&](const char* id, bool supervisor, const char* branches, const char* stores, const char* groups) {
        fixtures::UserRow u;
        u.UserID = QString::fromLatin1(id);
        u.Password = QStringLiteral("pw");
        u.IsSupervisor = supervisor;
        u.BranchCodes = QString::fromLatin1(branches);
        u.StoreCodes = QString::fromLatin1(stores);
        u.AccountGroupCodes = QString::fromLatin1(groups);
        db.AddUser(u);
    };
    user("ADMIN", true, "", "", "");
    user("BOSS", true, "02", "S2", "GSC");
    user("CLERK", false, "01", "", "");
    user("STOREMAN", false, "", "S1", "");
    user("DEBTORS", false, "", "", "GSC , GSD");
    user("CASHIER", false, "", "", "GCH");

    using L = QPair<QString, double>;
    const QString b1 = QStringLiteral("01"), b2 = QStringLiteral("02");
    Voucher(db, QStringLiteral("INV"), b1, 1, D(2005, 3, 16), {L("SALES", -100), L("DEB1", 100)});
    Voucher(db, QStringLiteral("INV"), b1, 2, D(2005, 3, 25), {L("SALES", -200), L("DEB2", 200)});
    Voucher(db, QStringLiteral("INV"), b2, 3, D(2005, 4, 5), {L("SALES", -300), L("DEB1", 300)});
    Voucher(db, QStringLiteral("INV"), b1, 4, D(2005, 4, 20), {L("SALES", -50), L("DEB2", 50)});
    Voucher(db, QStringLiteral("PUR"), b1, 5, D(2005, 4, 12), {L("PURCH", 400), L("CRED1", -400)});
    Voucher(db, QStringLiteral("CRE"), b1, 6, D(2005, 4, 15), {L("CASH", 150), L("DEB1", -150)});
    Voucher(db, QStringLiteral("BRE"), b1, 7, D(2005, 4, 15), {L("BANK", 250), L("DEB1", -100), L("DEB2", -150)});
    Voucher(db, QStringLiteral("BPA"), b1, 8, D(2005, 4, 15), {L("BANK", -400), L("CRED1", 400)});

    Balance(db, QStringLiteral("SALES"), b1, 0, -1000, -300, -50);
    Balance(db, QStringLiteral("SALES"), b2, 0, 0, 0, -300);
    Balance(db, QStringLiteral("PURCH"), b1, 0, 0, 0, 400);
    Balance(db, QStringLiteral("DEB1"), b1, 1000, 0, 100, -250);
    Balance(db, QStringLiteral("DEB1"), b2, 0, 0, 0, 300);
    Balance(db, QStringLiteral("DEB2"), b1, 0, 0, 200, -100);
    Balance(db, QStringLiteral("CRED1"), b1, -2000, 0, 0, 0);
    Balance(db, QStringLiteral("CASH"), b1, 500, 0, 0, 150);
    Balance(db, QStringLiteral("BANK"), b1, 5000, 0, 0, -150);

    const QDate none;
    Register(db, QStringLiteral("DEB1"), QStringLiteral("INV"), 1, D(2005, 3, 16), none, 30, 100, 100, QStringLiteral("001"), b1);
    Register(db, QStringLiteral("DEB1"), QStringLiteral("INV"), 3, D(2005, 4, 5), none, 10, 300, 300, QStringLiteral("002"), b2);
    Register(db, QStringLiteral("DEB1"), QStringLiteral("INV"), 9, D(2005, 4, 2), none, 0, 70, 0, QStringLiteral("009"), b1);
    Register(db, QStringLiteral("DEB2"), QStringLiteral("INV"), 2, D(2005, 3, 25), none, 30, 200, 200, QStringLiteral("001"), b1);
    Register(db, QStringLiteral("CRED1"), QStringLiteral("PUR"), 5, D(2005, 4, 12), D(2005, 4, 5), 10, -400, 400,
             QStringLiteral("001"), b1);
    Register(db, QStringLiteral("CRED1"), QStringLiteral("PUR"), 10, D(2005, 4, 1), none, 14, -60, 60, QStringLiteral("001"), b1);
    Register(db, QStringLiteral("DEB1"), QStringLiteral("CRE"), 6, D(2005, 4, 15), none, 0, -150, 0, QStringLiteral("001"), b1);
    Register(db, QStringLiteral("DEB1"), QStringLiteral("BRE"), 7, D(2005, 4, 15), none, 0, -100, 0, QStringLiteral("002"), b1);
    Register(db, QStringLiteral("CRED1"), QStringLiteral("BPA"), 8, D(2005, 4, 15), none, 0, 400, 0, QStringLiteral("001"), b1);

    const QString sales = QStringLiteral("Sales"), purchase = QStringLiteral("Purchase");
    const QString m = QStringLiteral("M");
    Order(db, sales, b1, 1, D(2005, 4, 15), QStringLiteral("DEB1"), QStringLiteral("001"), true,
          {{"IT1", "S1", 1000, 4, 0, 250, 1, m}, {"IT2", "S2", 500, 2, 3, 100, 10, QStringLiteral("A")},
           {"IT1", "S1", 300, 1, 0, 300, 1, m, true}});
    Order(db, sales, b1, 2, D(2005, 4, 15), QStringLiteral("DEB2"), QStringLiteral("001"), false,
          {{"IT1", "S1", 999, 1, 0, 999, 1, m}});
    Order(db, sales, b1, 3, D(2005, 3, 1), QStringLiteral("DEB2"), QStringLiteral("001"), true,
          {{"IT1", "S1", 200, 3, 0, 20, 1, m}});
    Order(db, sales, b2, 4, D(2005, 4, 15), QStringLiteral("DEB1"), QStringLiteral("002"), true,
          {{"IT1", "S2", 800, 2, 0, 400, 1, m}});
    Schedule(db, sales, b1, 1, QStringLiteral("IT1"), 1, D(2005, 4, 10), 2);
    Schedule(db, sales, b1, 1, QStringLiteral("IT1"), 1, D(2005, 5, 10), 2);
    Schedule(db, sales, b1, 1, QStringLiteral("IT2"), 2, D(2005, 4, 20), 2, 3);
    Order(db, purchase, b1, 1, D(2005, 4, 15), QStringLiteral("CRED1"), QStringLiteral("001"), true,
          {{"IT1", "S1", 600, 3, 0, 200, 1, m}});
    Schedule(db, purchase, b1, 1, QStringLiteral("IT1"), 1, D(2005, 4, 18), 3);

    db.Insert(QStringLiteral("FaStockMaster"),
              {QStringLiteral("ItemCode"), QStringLiteral("IT1"), QStringLiteral("StoreCode"), QStringLiteral("S1"),
               QStringLiteral("OpeningQuantity"), 10, QStringLiteral("Month12TotalQuantity"), 5,
               QStringLiteral("Month13TotalQuantity"), -2});
    db.Insert(QStringLiteral("FaStockMaster"), {QStringLiteral("ItemCode"), QStringLiteral("IT1"), QStringLiteral("StoreCode"),
                                                QStringLiteral("S2"), QStringLiteral("OpeningQuantity"), 4});
    db.Insert(QStringLiteral("FaStockMaster"), {QStringLiteral("ItemCode"), QStringLiteral("IT2"), QStringLiteral("StoreCode"),
                                                QStringLiteral("S1"), QStringLiteral("Month13TotalQuantity"), 7});
    ItemLine(db, 1, QStringLiteral("IT1"), QStringLiteral("S1"), D(2005, 3, 5), 5);
    ItemLine(db, 2, QStringLiteral("IT1"), QStringLiteral("S1"), D(2005, 4, 15), 3);
    ItemLine(db, 3, QStringLiteral("IT1"), QStringLiteral("S1"), D(2005, 4, 15), -5);
    ItemLine(db, 4, QStringLiteral("IT2"), QStringLiteral("S1"), D(2005, 4, 15), 7);
    ItemLine(db, 5, QStringLiteral("IT9"), QStringLiteral("S1"), D(2005, 4, 15), -1);
}

QString Request(const QString& action, const QString& user, const QString& groupType, const QString& start,
                const QString& last, const QString& extra = QString())
{
    QString text = QStringLiteral("{\"Action\":\"%1\",\"MobileNo\":\"%2\",\"UserID\":\"%3\",\"Password\":\"pw\","
                                  "\"FolderName\":\"SUMM\",\"StartDate\":\"%4\",\"LastDate\":\"%5\",\"GroupType\":\"%6\"")
                       .arg(action, kMobile, user, start, last, groupType);
    if (!extra.isEmpty())
        text += QLatin1Char(',') + extra;
    return text + QLatin1Char('}');
}

// The rows of a reply's "Data", each as its members' texts joined by "|", the rows by "; ".
QString RowsText(const platform::JsonObject& reply)
{
    const platform::JsonArray data = reply.ArrayOf(QStringLiteral("Data"));
    QStringList rows;
    for (int i = 0; i < data.Size(); ++i) {
        const platform::JsonObject row = data.ObjectAt(i);
        QStringList members;
        for (int k = 0; k < row.Size(); ++k)
            members << row.StringOf(row.NameAt(k));
        rows << members.join(QLatin1Char('|'));
    }
    return rows.join(QStringLiteral("; "));
}

}  // namespace

class TestSummaries : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<coretest::Installation> m_inst;
    std::unique_ptr<CompanyDatabase> m_db;

    QString Run(const QString& request, bool testing = false)
    {
        platform::JsonObject object;
        object.Load(request);
        clsClient client;
        client.Setup = m_inst->setup.get();
        client.lTestingMode = testing;
        return client.GetData(object);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        coretest::IsolateUserSettings(m_dir);
        m_inst = std::make_unique<coretest::Installation>();
        fixtures::CompanyRow year;
        year.StartDate = QDate(2004, 4, 1);
        year.LastDate = QDate(2006, 3, 31);
        m_db = m_inst->CreateCompany(QStringLiteral("SUMM"), year);
        Fill(*m_db);
        // A company database without its company row.
        auto broken = m_inst->CreateCompany(QStringLiteral("NOCOMP"), year, false);
        fixtures::UserRow admin;
        admin.UserID = QStringLiteral("ADMIN");
        admin.Password = QStringLiteral("pw");
        admin.IsSupervisor = true;
        broken->AddUser(admin);
        for (const QString& name : {QStringLiteral("SUMM"), QStringLiteral("NOCOMP")})
            m_inst->ListCompany(name, name, year.StartDate.startOfDay(), year.LastDate.startOfDay());
        // A company whose year runs on for thousands of years, past the 16-bit month numbers.
        fixtures::CompanyRow far = year;
        far.LastDate = QDate(6000, 3, 31);
        m_inst->CreateCompany(QStringLiteral("FARYEAR"), far)->AddUser(admin);
        m_inst->ListCompany(QStringLiteral("FARYEAR"), QStringLiteral("FARYEAR"), far.StartDate.startOfDay(), far.LastDate.startOfDay());
    }

    // The period values every statement is built from.
    void period_data()
    {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("last");
        QTest::addColumn<bool>("startIsFirst");
        QTest::addColumn<bool>("lastIsMonthEnd");
        QTest::addColumn<QDate>("endOfStartMonth");
        QTest::addColumn<QDate>("startOfLastMonth");
        QTest::addColumn<int>("firstWhole");
        QTest::addColumn<int>("lastWhole");
        QTest::addColumn<QString>("balanceField");
        QTest::newRow("whole quarter") << D(2025, 4, 1) << D(2025, 6, 30) << true << true << D(2025, 4, 30) << D(2025, 6, 1)
                                       << 1 << 3 << "ROUND(SUM(ROUND(Month1Total + Month2Total + Month3Total, 2) ), 2)";
        QTest::newRow("inside a month") << D(2025, 4, 15) << D(2025, 4, 20) << false << false << D(2025, 4, 30)
                                        << D(2025, 4, 1) << 2 << 0 << "ROUND(SUM(ROUND(0, 2) ), 2)";
        QTest::newRow("end of January to end of February")
            << D(2026, 1, 31) << D(2026, 2, 28) << false << true << D(2026, 1, 31) << D(2026, 2, 1) << 11 << 11
            << "ROUND(SUM(ROUND(Month11Total, 2) ), 2)";
        QTest::newRow("into the second year") << D(2026, 3, 15) << D(2026, 5, 31) << false << true << D(2026, 3, 31)
                                              << D(2026, 5, 1) << 13 << 14
                                              << "ROUND(SUM(ROUND(Month13Total + Month14Total, 2) ), 2)";
    }
    void period()
    {
        QFETCH(QDate, start);
        QFETCH(QDate, last);
        const engine::Period p = engine::Period::Of(QDate(2025, 4, 1), start, last);
        QTEST(p.StartIsFirst, "startIsFirst");
        QTEST(p.LastIsMonthEnd, "lastIsMonthEnd");
        QTEST(p.EndOfStartMonth, "endOfStartMonth");
        QTEST(p.StartOfLastMonth, "startOfLastMonth");
        QTEST(int(p.FirstWhole), "firstWhole");
        QTEST(int(p.LastWhole), "lastWhole");
        QTEST(p.BalanceField(), "balanceField");
    }

    void figures_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("groupType");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("extra");
        QTest::addColumn<bool>("testing");
        QTest::addColumn<QString>("rows");
        const auto row = [](const char* name, const char* action, const char* user, const char* group, const char* start,
                            const char* last, const char* extra, const char* rows, bool testing = false) {
            QTest::newRow(name) << QString::fromLatin1(action) << QString::fromLatin1(user) << QString::fromLatin1(group)
                                << QString::fromLatin1(start) << QString::fromLatin1(last) << QString::fromLatin1(extra)
                                << testing << QString::fromLatin1(rows);
        };
        const char* A = "AccountSummary";
        const char* L = "LocationSummary";
        const char* I = "ItemSummary";
        // Turnover: whole months, part months at both ends, a part month at one end, one month's inside.
        row("SA whole months", A, "ADMIN", "SA", "2005-02-01", "2005-04-30", "", "SALES|Sales|SA||-1650|false");
        row("SA part months", A, "ADMIN", "SA", "2005-03-20", "2005-04-10", "", "SALES|Sales|SA||-500|false");
        row("SA part start", A, "ADMIN", "SA", "2005-03-20", "2005-04-30", "", "SALES|Sales|SA||-550|false");
        row("SA inside a month", A, "ADMIN", "SA", "2005-04-03", "2005-04-19", "", "SALES|Sales|SA||-300|false");
        row("SA branch named", A, "ADMIN", "SA", "2005-03-20", "2005-04-10", "\"BranchCode\":\"01\"", "SALES|Sales|SA||-200|false");
        row("SA branch-limited user", A, "CLERK", "SA", "2005-03-20", "2005-04-10", "", "SALES|Sales|SA||-200|false");
        row("SA supervisor ignores lists", A, "BOSS", "SA", "2005-03-20", "2005-04-10", "", "SALES|Sales|SA||-500|false");
        row("PU", A, "ADMIN", "pu", "2005-04-01", "2005-04-30", "", "PURCH|Purchase|pu||400|false");
        // Closing balances at LastDate, whatever StartDate is.
        row("SD part last month", A, "ADMIN", "SD", "2005-04-16", "2005-04-16", "",
            "DEB1|Alpha Traders|SD|Pune|1150|true; DEB2|Beta Stores|SD|Satara|50|false");
        row("SD month end", A, "ADMIN", "SD", "2004-04-01", "2005-04-30", "",
            "DEB1|Alpha Traders|SD|Pune|1150|true; DEB2|Beta Stores|SD|Satara|100|false");
        row("sd lower case", A, "ADMIN", "sd", "2005-04-16", "2005-04-16", "",
            "DEB1|Alpha Traders|sd|Pune|1150|true; DEB2|Beta Stores|sd|Satara|50|false");
        row("CH", A, "ADMIN", "CH", "2005-04-01", "2005-04-30", "", "CASH|Cash|CH||650|false");
        row("BK", A, "ADMIN", "BK", "2005-04-01", "2005-04-30", "", "BANK|Bank|BK||4850|false");
        row("SC", A, "ADMIN", "SC", "2005-04-01", "2005-04-30", "", "CRED1|Gamma Supplies|SC|Thane|-2000|false");
        row("SD group-limited user", A, "DEBTORS", "SD", "2005-04-16", "2005-04-16", "",
            "DEB1|Alpha Traders|SD|Pune|1150|true; DEB2|Beta Stores|SD|Satara|50|false");
        row("SD outside the user's groups", A, "CASHIER", "SD", "2005-04-16", "2005-04-16", "", "");
        // The day's figures are those of StartDate; the testing mode changes nothing.
        row("TR", A, "ADMIN", "TR", "2005-04-15", "2005-04-30", "", "DEB1|Alpha Traders|TR|Pune|400|true");
        row("tr lower case", A, "ADMIN", "tr", "2005-04-15", "2005-04-30", "", "DEB1|Alpha Traders|tr|Pune|400|true");
        row("TP", A, "ADMIN", "TP", "2005-04-15", "2005-04-15", "", "CRED1|Gamma Supplies|TP|Thane|460|false");
        row("RT", A, "ADMIN", "RT", "2005-04-15", "2005-04-30", "",
            "DEB1|Alpha Traders|RT|Pune|-250|true; DEB2|Beta Stores|RT|Satara|-150|false");
        row("RT testing after March 2005", A, "ADMIN", "RT", "2005-04-15", "2005-04-30", "",
            "DEB1|Alpha Traders|RT|Pune|-250|true; DEB2|Beta Stores|RT|Satara|-150|false", true);
        row("PT", A, "ADMIN", "PT", "2005-04-15", "2005-04-15", "", "CRED1|Gamma Supplies|PT|Thane|400|false");
        row("OR", A, "ADMIN", "OR", "2005-04-15", "2005-04-30", "", "DEB1|Alpha Traders|OR|Pune|2300|true");
        row("OR testing before March 2005 ends", A, "ADMIN", "OR", "2005-03-01", "2005-03-31", "",
            "DEB2|Beta Stores|OR|Satara|200|false", true);
        row("WD", A, "ADMIN", "WD", "2005-04-15", "2005-04-30", "", "DEB1|Alpha Traders|WD|Pune|540|true");
        row("OP", A, "ADMIN", "OP", "2005-04-15", "2005-04-30", "",
            "DEB1|Alpha Traders|OP|Pune|1840|true; DEB2|Beta Stores|OP|Satara|60|false");
        row("OP before April", A, "ADMIN", "OP", "2005-03-01", "2005-03-31", "", "DEB2|Beta Stores|OP|Satara|60|false");
        row("OP store-limited user", A, "STOREMAN", "OP", "2005-04-15", "2005-04-30", "",
            "DEB1|Alpha Traders|OP|Pune|1000|true; DEB2|Beta Stores|OP|Satara|60|false");
        row("OP branch-limited user", A, "CLERK", "OP", "2005-04-15", "2005-04-30", "",
            "DEB1|Alpha Traders|OP|Pune|1040|true; DEB2|Beta Stores|OP|Satara|60|false");
        row("OI", A, "ADMIN", "OI", "2005-04-15", "2005-04-30", "", "CRED1|Gamma Supplies|OI|Thane|600|false");
        row("WR", A, "ADMIN", "WR", "2005-04-15", "2005-04-30", "", "CRED1|Gamma Supplies|WR|Thane|600|false");
        row("PP", A, "ADMIN", "PP", "2005-04-15", "2005-04-30", "", "CRED1|Gamma Supplies|PP|Thane|600|false");
        // Codes no list holds: no query, an empty Data.
        row("unknown code", A, "ADMIN", "XX", "2005-04-01", "2005-04-30", "", "");
        row("empty code", A, "ADMIN", "", "2005-04-01", "2005-04-30", "", "");
        row("piece of a list", A, "ADMIN", "S", "2005-04-01", "2005-04-30", "", "");
        row("two codes", A, "ADMIN", "SA,PU", "2005-04-01", "2005-04-30", "", "");

        const char* deb1 = "\"AccountCode\":\"DEB1\"";
        const char* cred1 = "\"AccountCode\":\"CRED1\"";
        row("loc SD", L, "ADMIN", "SD", "2005-04-01", "2005-04-30", deb1, "002|Nashik|200; 001|Pune|-50");
        row("loc SD earlier", L, "ADMIN", "SD", "2005-04-01", "2005-04-10", deb1, "002|Nashik|300; 001|Pune|100");
        row("loc sd lower case", L, "ADMIN", "sd", "2005-04-01", "2005-04-30", deb1, "002|Nashik|200; 001|Pune|-50");
        row("loc SC", L, "ADMIN", "SC", "2005-04-01", "2005-04-30", deb1, "002|Nashik|-200; 001|Pune|50");
        row("loc SD branch named", L, "ADMIN", "SD", "2005-04-01", "2005-04-30", QStringLiteral("%1,\"BranchCode\":\"01\"").arg(deb1).toLatin1().constData(),
            "002|Nashik|-100; 001|Pune|-50");
        row("loc TR", L, "ADMIN", "TR", "2005-04-15", "2005-04-30", deb1, "002|Nashik|300; 001|Pune|100");
        row("loc TP", L, "ADMIN", "TP", "2005-04-15", "2005-04-30", cred1, "001|Thane|460");
        row("loc RT", L, "ADMIN", "RT", "2005-04-15", "2005-04-30", deb1, "002|Nashik|-100; 001|Pune|-150");
        row("loc rt lower case", L, "ADMIN", "rt", "2005-04-15", "2005-04-30", deb1, "002|Nashik|-100; 001|Pune|-150");
        row("loc PT", L, "ADMIN", "PT", "2005-04-15", "2005-04-30", cred1, "001|Thane|-400");
        row("loc OR", L, "ADMIN", "OR", "2005-04-15", "2005-04-30", deb1, "002|Nashik|800; 001|Pune|1500");
        row("loc WD", L, "ADMIN", "WD", "2005-04-15", "2005-04-30", deb1, "002|Nashik|800; 001|Pune|540");
        row("loc OP", L, "ADMIN", "OP", "2005-04-15", "2005-04-30", deb1, "002|Nashik|800; 001|Pune|1040");
        row("loc OP store-limited", L, "STOREMAN", "OP", "2005-04-15", "2005-04-30", deb1, "001|Pune|1000");
        row("loc OI", L, "ADMIN", "OI", "2005-04-15", "2005-04-30", cred1, "001|Thane|600");
        row("loc WR", L, "ADMIN", "WR", "2005-04-15", "2005-04-30", cred1, "001|Thane|600");
        row("loc PP", L, "ADMIN", "PP", "2005-04-15", "2005-04-30", cred1, "001|Thane|600");
        row("loc group-limited user", L, "DEBTORS", "SD", "2005-04-01", "2005-04-30", deb1, "002|Nashik|200; 001|Pune|-50");
        row("loc unknown code", L, "ADMIN", "ZZ", "2005-04-01", "2005-04-30", deb1, "");

        row("ST month end", I, "ADMIN", "ST", "2005-04-01", "2005-04-30", "", "IT2|Anchor|PKT|ST|7; IT1|Bolt|NOS|ST|17");
        row("ST earlier in the month", I, "ADMIN", "ST", "2005-04-01", "2005-04-10", "", "IT1|Bolt|NOS|ST|19");
        row("ST item without master", I, "ADMIN", "st", "2005-04-01", "2005-04-15", "",
            "IT9|||st|-1; IT2|Anchor|PKT|st|7; IT1|Bolt|NOS|st|17");
        row("ST store named", I, "ADMIN", "ST", "2005-04-01", "2005-04-30", "\"StoreCode\":\"S2\"", "IT1|Bolt|NOS|ST|4");
        row("ST store-limited user", I, "STOREMAN", "ST", "2005-04-01", "2005-04-30", "",
            "IT2|Anchor|PKT|ST|7; IT1|Bolt|NOS|ST|13");
        row("RQ", I, "ADMIN", "RQ", "2005-04-15", "2005-04-30", "", "IT2|Anchor|PKT|RQ|7; IT1|Bolt|NOS|RQ|3");
        row("rq lower case", I, "ADMIN", "rq", "2005-04-15", "2005-04-30", "", "IT2|Anchor|PKT|rq|7; IT1|Bolt|NOS|rq|3");
        row("IQ", I, "ADMIN", "IQ", "2005-04-15", "2005-04-30", "", "IT9|||IQ|1; IT1|Bolt|NOS|IQ|5");
        row("item unknown code", I, "ADMIN", "Q", "2005-04-15", "2005-04-30", "", "");
    }
    void figures()
    {
        QFETCH(QString, action);
        QFETCH(QString, user);
        QFETCH(QString, groupType);
        QFETCH(QString, start);
        QFETCH(QString, last);
        QFETCH(QString, extra);
        QFETCH(bool, testing);
        QFETCH(QString, rows);
        const platform::JsonObject reply = ParsedReply(Run(Request(action, user, groupType, start, last, extra), testing));
        QCOMPARE(reply.StringOf(QStringLiteral("Message")), QStringLiteral("Success"));
        QCOMPARE(reply.StringOf(QStringLiteral("StDt")), start);
        QCOMPARE(reply.StringOf(QStringLiteral("LtDt")), last);
        QCOMPARE(RowsText(reply), rows);
    }

    // One reply in full, member by member.
    void wholeReplies()
    {
        QCOMPARE(Run(Request(QStringLiteral("locationsummary"), QStringLiteral("ADMIN"), QStringLiteral("tr"),
                             QStringLiteral("2005-04-15"), QStringLiteral("2005-04-30"), QStringLiteral("\"AccountCode\":\"DEB1\""))),
                 QStringLiteral("{\"Action\":\"locationsummary\",\"MobileNo\":\"9876543210\",\"Status\":1,\"Message\":\"Success\","
                                "\"StDt\":\"2005-04-15\",\"LtDt\":\"2005-04-30\",\"ActCd\":\"DEB1\",\"ActNm\":\"Alpha Traders\","
                                "\"GrpTy\":\"tr\",\"Data\":[{\"LocCd\":\"002\",\"LocNm\":\"Nashik\",\"Amt\":300},"
                                "{\"LocCd\":\"001\",\"LocNm\":\"Pune\",\"Amt\":100}]}<EOF>"));
        QCOMPARE(Run(Request(QStringLiteral("AccountSummary"), QStringLiteral("ADMIN"), QStringLiteral("SD"),
                             QStringLiteral("2005-04-16"), QStringLiteral("2005-04-16"))),
                 QStringLiteral("{\"Action\":\"AccountSummary\",\"MobileNo\":\"9876543210\",\"Status\":1,\"Message\":\"Success\","
                                "\"StDt\":\"2005-04-16\",\"LtDt\":\"2005-04-16\",\"Data\":["
                                "{\"ActCd\":\"DEB1\",\"ActNm\":\"Alpha Traders\",\"GrpTy\":\"SD\",\"Place\":\"Pune\",\"Amt\":1150,\"IsLoc\":true},"
                                "{\"ActCd\":\"DEB2\",\"ActNm\":\"Beta Stores\",\"GrpTy\":\"SD\",\"Place\":\"Satara\",\"Amt\":50,\"IsLoc\":false}]}<EOF>"));
        QCOMPARE(Run(Request(QStringLiteral("ItemSummary"), QStringLiteral("ADMIN"), QStringLiteral("XX"),
                             QStringLiteral("2005-04-15"), QStringLiteral("2005-04-30"))),
                 QStringLiteral("{\"Action\":\"ItemSummary\",\"MobileNo\":\"9876543210\",\"Status\":1,\"Message\":\"Success\","
                                "\"StDt\":\"2005-04-15\",\"LtDt\":\"2005-04-30\",\"Data\":[]}<EOF>"));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("message");  // the whole message, or its beginning when it ends in "..."
        const QString acc = QStringLiteral("Error while getting Account Summary.") + CRLF;
        const QString loc = QStringLiteral("Error while getting Account Location Summary.") + CRLF;
        const QString item = QStringLiteral("Error while getting Item Summary.") + CRLF;
        QTest::newRow("wrong password")
            << Request(QStringLiteral("AccountSummary"), QStringLiteral("ADMIN"), QStringLiteral("SA"), QStringLiteral("2005-04-01"),
                       QStringLiteral("2005-04-30")).replace(QStringLiteral("\"pw\""), QStringLiteral("\"no\""))
            << acc + QStringLiteral("User doesn't exist or Locked.") + CRLF;
        QTest::newRow("empty start date")
            << Request(QStringLiteral("ItemSummary"), QStringLiteral("ADMIN"), QStringLiteral("ST"), QStringLiteral("1899-12-30"),
                       QStringLiteral("2005-04-30"))
            << item + QStringLiteral("Start Date is Blank.");
        QTest::newRow("after the company's last date")
            << Request(QStringLiteral("LocationSummary"), QStringLiteral("ADMIN"), QStringLiteral("SD"), QStringLiteral("2005-04-01"),
                       QStringLiteral("2006-04-30"), QStringLiteral("\"AccountCode\":\"DEB1\""))
            << loc + QStringLiteral("Last Date is After Company Last Date.");
        QTest::newRow("month-first date")
            << Request(QStringLiteral("AccountSummary"), QStringLiteral("ADMIN"), QStringLiteral("SA"), QStringLiteral("04/01/2005"),
                       QStringLiteral("2005-04-30"))
            << acc + CRLF + QStringLiteral("Error 13-Type mismatch");
        QTest::newRow("unknown account")
            << Request(QStringLiteral("LocationSummary"), QStringLiteral("ADMIN"), QStringLiteral("SD"), QStringLiteral("2005-04-01"),
                       QStringLiteral("2005-04-30"), QStringLiteral("\"AccountCode\":\"NOSUCH\""))
            << loc + QStringLiteral("Unable to Get Account Info.") + CRLF + QStringLiteral("...");
        QTest::newRow("unknown account before the right")
            << Request(QStringLiteral("LocationSummary"), QStringLiteral("CASHIER"), QStringLiteral("SD"), QStringLiteral("2005-04-01"),
                       QStringLiteral("2005-04-30"), QStringLiteral("\"AccountCode\":\"NOSUCH\""))
            << loc + QStringLiteral("Unable to Get Account Info.") + CRLF + QStringLiteral("...");
        QTest::newRow("account outside the user's groups")
            << Request(QStringLiteral("LocationSummary"), QStringLiteral("CASHIER"), QStringLiteral("SD"), QStringLiteral("2005-04-01"),
                       QStringLiteral("2005-04-30"), QStringLiteral("\"AccountCode\":\"DEB1\""))
            << loc + QStringLiteral("User doesn't have right to access this option.") + CRLF;
        QTest::newRow("no company row")
            << Request(QStringLiteral("AccountSummary"), QStringLiteral("ADMIN"), QStringLiteral("SA"), QStringLiteral("2005-04-01"),
                       QStringLiteral("2005-04-30")).replace(QStringLiteral("SUMM"), QStringLiteral("NOCOMP"))
            << acc + QStringLiteral("Unable to Get company Info.") + CRLF + QStringLiteral("...");
        QTest::newRow("no company")
            << Request(QStringLiteral("ItemSummary"), QStringLiteral("ADMIN"), QStringLiteral("ST"), QStringLiteral("2005-04-01"),
                       QStringLiteral("2005-04-30")).replace(QStringLiteral("SUMM"), QStringLiteral("NOSUCH"))
            << item + CRLF + QStringLiteral("Error ...");
        // Month 32768 of the company, and a period whose first whole month would be month 32768.
        QTest::newRow("month number beyond 16 bits")
            << Request(QStringLiteral("AccountSummary"), QStringLiteral("ADMIN"), QStringLiteral("SA"), QStringLiteral("4734-11-01"),
                       QStringLiteral("4734-11-30")).replace(QStringLiteral("SUMM"), QStringLiteral("FARYEAR"))
            << acc + CRLF + QStringLiteral("Error 6-Overflow");
        QTest::newRow("first whole month beyond 16 bits")
            << Request(QStringLiteral("AccountSummary"), QStringLiteral("ADMIN"), QStringLiteral("SA"), QStringLiteral("4734-10-02"),
                       QStringLiteral("4734-10-30")).replace(QStringLiteral("SUMM"), QStringLiteral("FARYEAR"))
            << acc + CRLF + QStringLiteral("Error 6-Overflow");
    }
    void failures()
    {
        QFETCH(QString, request);
        QFETCH(QString, message);
        const QString text = Run(request);
        const platform::JsonObject reply = ParsedReply(text);
        QCOMPARE(reply.Size(), 4);
        QCOMPARE(reply.StringOf(QStringLiteral("Status")), QStringLiteral("0"));
        const QString got = reply.StringOf(QStringLiteral("Message"));
        if (message.endsWith(QLatin1String("...")))
            QVERIFY2(got.startsWith(message.chopped(3)), qPrintable(got));
        else
            QCOMPARE(got, message);
    }

    // A Per of 0 fails the statement on the embedded database as on SQL Server, in the summaries
    // and in the dashboard's order tiles alike, instead of leaving the line out of the sum.
    void perOfZeroFails()
    {
        m_db->Exec(QStringLiteral("UPDATE FaPurchaseOrderProducts SET Per = 0"));
        const QString summary = ParsedReply(Run(Request(QStringLiteral("AccountSummary"), QStringLiteral("ADMIN"),
                                                        QStringLiteral("PP"), QStringLiteral("2005-04-15"),
                                                        QStringLiteral("2005-04-30"))))
                                    .StringOf(QStringLiteral("Message"));
        const QString dashboard = ParsedReply(Run(Request(QStringLiteral("DashBoard"), QStringLiteral("ADMIN"), QString(),
                                                          QStringLiteral("2005-04-01"), QStringLiteral("2005-04-30"))))
                                      .StringOf(QStringLiteral("Message"));
        m_db->Exec(QStringLiteral("UPDATE FaPurchaseOrderProducts SET Per = 1"));
        QVERIFY2(summary.startsWith(QStringLiteral("Error while getting Account Summary.") + CRLF
                                    + QStringLiteral("Unable to get Pending PO Account Summary Data.") + CRLF),
                 qPrintable(summary));
        QVERIFY2(summary.contains(QLatin1String("Divide by zero error encountered.")), qPrintable(summary));
        QVERIFY2(dashboard.contains(QLatin1String("Unable to get Weekly PO Delivery Dashboard Data.")), qPrintable(dashboard));
        QVERIFY2(dashboard.contains(QLatin1String("Divide by zero error encountered.")), qPrintable(dashboard));
    }

    // Flags compare as SQL Server compares them: whatever the case of the word in a statement.
    void flagsIgnoreCase_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("count");
        QTest::newRow("account TRUE") << QStringLiteral("SELECT COUNT(*) FROM FaAccountMaster WHERE Passed = 'TRUE'") << 7;
        QTest::newRow("item true") << QStringLiteral("SELECT COUNT(*) FROM FaItemMaster WHERE Passed = 'true'") << 2;
        QTest::newRow("user false") << QStringLiteral("SELECT COUNT(*) FROM stdUsers WHERE Locked = 'false'") << 6;
        QTest::newRow("ledger TRUE") << QStringLiteral("SELECT COUNT(*) FROM FaAccountLedger WHERE Passed = 'TRUE'") << 17;
        QTest::newRow("order false") << QStringLiteral("SELECT COUNT(*) FROM FaSalesOrderProducts WHERE Cancelled = 'FALSE'") << 5;
    }
    void flagsIgnoreCase()
    {
        QFETCH(QString, sql);
        QFETCH(int, count);
        QCOMPARE(m_db->Scalar(sql).toInt(), count);
    }

    // A value from the request that looks like a template name stays a value.
    void valuesAreOnlyValues()
    {
        const platform::JsonObject reply = ParsedReply(
            Run(Request(QStringLiteral("LocationSummary"), QStringLiteral("ADMIN"), QStringLiteral("WD"), QStringLiteral("2005-04-15"),
                        QStringLiteral("2005-04-30"), QStringLiteral("\"AccountCode\":\"DEB1\",\"BranchCode\":\"@pQuantity' OR '1'='1\""))));
        QCOMPARE(reply.StringOf(QStringLiteral("Message")), QStringLiteral("Success"));
        QCOMPARE(RowsText(reply), QString());
    }

    void logLines()
    {
        Run(Request(QStringLiteral("ItemSummary"), QStringLiteral("ADMIN"), QStringLiteral("ST"), QStringLiteral("2005-04-01"),
                    QStringLiteral("2005-04-10")));
        const QStringList lines = m_inst->LogLines();
        const QStringList expected = {
            " Getting Item Summary", " Opening Database SUMM", " Checking User", " Getting Company Info",
            " Checking for Valid Dates.", " Calculating Month Dates & No.", " Generating Balance Fields for Item Summary",
            " Generating Main Data for JSON Text", " Loading Main Data to JSON Object", " Adding Data Array to JSON",
            " Getting Stock Balance Items Summary Data", " Generating Balance Field for Stock Balance Item Summary",
            " Generating SQL Query for Stock Balance Item Summary", " Unioning SQL Query for Stock Balance Item Summary",
            " Generating Query for Item Name of Stock Balance Item Summary", " Getting Records for Stock Balance Item Summary",
            " Adding Stock Balance Item Summary Data to JSON", " Returning Item Summary from JSON Object to Text"};
        QStringList last = lines.mid(lines.size() - expected.size());
        QStringList want;
        for (const QString& e : expected)
            want << QStringLiteral("Mobile No.") + kMobile + e;
        QCOMPARE(last, want);
    }
};

QTEST_GUILESS_MAIN(TestSummaries)
#include "test_summaries.moc"
