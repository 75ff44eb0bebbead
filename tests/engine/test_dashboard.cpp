// The "DashBoard" action on small company databases whose figures are worked out by hand below:
// every tile, whole months, part months, a period inside one month, the company-year default,
// branch, store and account-group rights, the testing day, and each failure message.

#include "CoreTestSupport.h"
#include "clock/Clock.h"

#include <QtTest>

using coretest::CRLF;
using coretest::ParsedReply;
using fixtures::CompanyDatabase;

namespace {

const QString kMobile = QStringLiteral("9876543210");

// ---- the company "DASH" ------------------------------------------------------------------------
//
// Year 1 April 2025 to 31 March 2026; the clock stands at 10 June 2025, so the day-based tiles look
// at 10 June and the week ends 17 June. Month numbers: April 1, May 2, June 3.
//
// Accounts (group, type): SALES (GSA, SA), PURCH (GPU, PU), CASH (GCH, CH), BANK (GBK, BK),
// DEB1 and DEB2 (GSD, SD), CRED1 (GSC, SC), EXP1 (GEX, an expense group), UNPASSED (GSA, not passed).
//
// Vouchers (branch, date: account amount ...):
//   INV/1  01 04-10: SALES -400  DEB1 +400        INV/2  01 04-20: SALES -600  DEB1 +600
//   INV/3  02 04-16: SALES -100  DEB2 +100        PUR/4  01 04-30: PURCH +500  CRED1 -500
//   INV/5  01 05-05: SALES -500  DEB1 +500        PUR/6  01 05-10: PURCH +700  CRED1 -700
//   INV/7  01 05-15: SALES -1500 DEB2 +1500       INV/8  02 05-31: SALES -200  DEB2 +200
//   PUR/9  01 06-05: PURCH +300  CRED1 -300       INV/10 01 06-10: SALES -1000 DEB1 +1000
//   INV/11 01 06-25: SALES -3000 DEB1 +3000       INV/12 01 04-25: SALES -777  DEB1 +777 (not passed)
//   CRE/13 01 06-10: CASH +800   DEB1 -800        BRE/14 02 06-10: BANK +250   DEB2 -250
//   CPA/15 01 06-10: CASH -300   EXP1 +300        BPA/16 01 06-09: BANK -50    CRED1 +50
//
// Balance rows (account/branch: opening; April, May, June), the month totals of the passed lines:
//   SALES/01: 0; -1000, -2000, -4000     SALES/02: 0; -100, -200       PURCH/01: 0; 500, 700, 300
//   DEB1/01: 1000; 1000, 500, 3200       DEB2/01: 0; 0, 1500           DEB2/02: 0; 100, 200, -250
//   CRED1/01: -2000; -500, -700, -250    CASH/01: 5000; 0, 0, 500      BANK/02: 3000; 0, 0, 250
//   BANK/01: 0; 0, 0, -50                EXP1/01: 0; 0, 0, 300         UNPASSED/01: 0; -9999
//
// Outstanding register on 10 June (due = date + credit days; purchase bills with a bill date from it):
//   DEB1 INV 05-11 +30 days, pending 400, 01: due                  -> TR 400
//   DEB2 INV 06-10 +0, pending 150, 02: due                        -> TR 150
//   DEB1 INV 05-01 +30: due 05-31, not today
//   CRED1 PUR 05-01, bill 05-26 +15, pending 700: due by bill date -> TP 700
//   CRED1 PUR 05-26, no bill date, +15, pending 60: due            -> TP 60
//   CRED1 PUR 05-11, bill 05-20 +30: due 06-19 (the document date would have made it today)
//   DEB1 INV 05-11 +30, pending 0; DEB1 INV 05-11 +30 not passed: left out
//   EXP1 JOV 06-10 +0, pending 20 (not a debtor, so payable)       -> TP 20
//   DEB2 INV 05-31, bill 05-01, +10, pending 25, 01: a sale falls due by its document date -> TR 25
//   TR 575, TP 780.
//
// Sales orders (lines: item store, stored amount, pending q/q1, rate/per, rate on):
//   SO1 01 06-10 passed, DEB1: L1 IT1 S1 1000, q 4, 250/1, M -> 1000
//                              L2 IT1 S2 500, q 2 q1 3, 100/10, A, factor 0.5 -> (3 + 1) x 10 = 40
//                              L3 IT2 S1 300, cancelled
//   SO2 02 06-10 not passed: L1 999
//   SO3 01 05-01 passed, DEB1: L1 IT2 S1 200, q 3, 20/1, M -> 60; L2 q 0
//   SO4 01 06-25 passed, DEB2: L1 IT2 S1 1000, q 1, 1000/1, M -> 1000
//   Schedules: SO1 L1 due 05-20 q 2 -> 500 (overdue still counts); SO1 L1 due 06-18 q 2 (after the
//   week); SO1 L2 due 06-17 q 2 q1 3 -> 40 (on the last day of the week); SO3 L1 due 06-01 q 0;
//   SO1 L3 due 06-12 (cancelled).
//   OR 1500; WD 540; OP 60 up to 31 May, 1100 up to 20 June, 2100 up to the year's end.
// Purchase orders:
//   PO1 01 06-10 passed, CRED1: L1 IT1 S1 800, q 8, 50/1, M -> 400; L2 IT2 S2 200, q 1 q1 2, 30/1, A,
//                               factor 0 -> 2 x 30 = 60
//   PO2 01 04-01 passed, CRED1: L1 IT2 S1 100, q 1, 100/1, M -> 100
//   Schedules: PO1 L1 due 06-15 q 8 -> 400; PO2 L1 due 06-30 q 1.
//   OI 1000; WR 400; PP 100 up to 31 May, 560 from 10 June on.
//
// Stock master (item/store: opening; April, May, June): IT1/S1 10; 5, -3, 2.125  IT1/S2 4; 1
//   IT2/S1 0; 0, 7, 7   IT3/S1 100; 0, 0, 4 (item not passed)   IT9/S1 50 (no such item)
// Item ledger: IT1/S1 04-05 +5, 05-10 -3, 06-10 +5, 06-10 -3, 06-25 +0.125; IT1/S2 04-20 +1,
//   06-10 +100 (not passed); IT2/S1 05-05 +7, 06-10 +7; IT3/S1 06-05 +4.
//   On 10 June: receipts 5 and 7, an issue of 3 -> RQ 12, IQ 3.

void AddMasters(CompanyDatabase& db)
{
    const struct {
        const char* code;
        const char* type;
    } groups[] = {{"GSA", "SA"}, {"GPU", "PU"}, {"GCH", "CH"}, {"GBK", "BK"},
                  {"GSD", "SD"}, {"GSC", "SC"}, {"GEX", "EX"}};
    for (const auto& g : groups)
        db.AddAccountGroup({QString::fromLatin1(g.code), QString::fromLatin1(g.code), QString::fromLatin1(g.type), 1, false});
    const struct {
        const char* code;
        const char* group;
        bool passed;
    } accounts[] = {{"SALES", "GSA", true}, {"PURCH", "GPU", true}, {"CASH", "GCH", true}, {"BANK", "GBK", true},
                    {"DEB1", "GSD", true},  {"DEB2", "GSD", true},  {"CRED1", "GSC", true}, {"EXP1", "GEX", true},
                    {"UNPASSED", "GSA", false}};
    for (const auto& a : accounts)
        db.AddAccount({QString::fromLatin1(a.code), QString::fromLatin1(a.code), QString::fromLatin1(a.group), a.passed});
    db.AddBranch({QStringLiteral("01"), QStringLiteral("Head Office"), false, QStringLiteral("027")});
    db.AddBranch({QStringLiteral("02"), QStringLiteral("Branch"), false, QStringLiteral("027")});
    db.AddStore({QStringLiteral("S1"), QStringLiteral("Main Store")});
    db.AddStore({QStringLiteral("S2"), QStringLiteral("Second Store")});
    fixtures::ItemRow item;
    item.ItemCode = QStringLiteral("IT1");
    item.ItemName = QStringLiteral("Item One");
    item.ConversionFactor = 0.5;
    db.AddItem(item);
    item.ItemCode = QStringLiteral("IT2");
    item.ItemName = QStringLiteral("Item Two");
    item.ConversionFactor = 0;
    db.AddItem(item);
    item.ItemCode = QStringLiteral("IT3");
    item.ItemName = QStringLiteral("Item Three");
    item.Passed = false;
    db.AddItem(item);

    fixtures::UserRow user;
    user.UserID = QStringLiteral("ADMIN");
    user.Password = QStringLiteral("pw");
    user.IsSupervisor = true;
    db.AddUser(user);
    user = {};
    user.UserID = QStringLiteral("BOSS");
    user.Password = QStringLiteral("pw");
    user.IsSupervisor = true;
    user.BranchCodes = QStringLiteral("02");
    user.StoreCodes = QStringLiteral("S2");
    user.AccountGroupCodes = QStringLiteral("GSD");
    db.AddUser(user);
    user = {};
    user.UserID = QStringLiteral("CLERK");
    user.Password = QStringLiteral("pw");
    user.BranchCodes = QStringLiteral("02");
    db.AddUser(user);
    user = {};
    user.UserID = QStringLiteral("STOREMAN");
    user.Password = QStringLiteral("pw");
    user.StoreCodes = QStringLiteral("S1");
    db.AddUser(user);
    user = {};
    user.UserID = QStringLiteral("ACCOUNTS");
    user.Password = QStringLiteral("pw");
    user.AccountGroupCodes = QStringLiteral("GSD,GCH");
    db.AddUser(user);
    user = {};
    user.UserID = QStringLiteral("GONE");
    user.Password = QStringLiteral("pw");
    user.IsSupervisor = true;
    user.Locked = true;
    db.AddUser(user);
}

// One voucher of the account ledger: its lines numbered from 1, in the order given.
void Voucher(CompanyDatabase& db, const QString& type, const QString& branch, int no, const QDate& date,
             const QList<QPair<QString, double>>& lines, bool passed = true)
{
    int sno = 0;
    for (const auto& line : lines)
        db.Insert(QStringLiteral("FaAccountLedger"),
                  {QStringLiteral("DocumentYear"), 2025, QStringLiteral("BranchCode"), branch, QStringLiteral("DocumentType"),
                   type, QStringLiteral("SeriesCode"), QStringLiteral("A"), QStringLiteral("DocumentNo"), QString::number(no),
                   QStringLiteral("Sno"), ++sno, QStringLiteral("AccountCode"), line.first, QStringLiteral("DocumentDate"),
                   date, QStringLiteral("Amount"), line.second, QStringLiteral("Passed"), passed});
}

void Balance(CompanyDatabase& db, const QString& account, const QString& branch, double opening,
             const QList<double>& months)
{
    QVariantList pairs{QStringLiteral("AccountCode"), account, QStringLiteral("BranchCode"), branch,
                       QStringLiteral("OpeningBalance"), opening};
    for (int k = 0; k < months.size(); ++k)
        pairs << QStringLiteral("Month%1Total").arg(k + 1) << months.at(k);
    db.Insert(QStringLiteral("FaAccountBalanceMaster"), pairs);
}

void Bill(CompanyDatabase& db, const QString& type, const QString& branch, int no, const QString& account,
          const QDate& date, const QDate& billDate, int creditPeriod, double pending, bool passed = true)
{
    db.Insert(QStringLiteral("FaOSReg"),
              {QStringLiteral("DocumentYear"), 2025, QStringLiteral("BranchCode"), branch, QStringLiteral("DocumentType"), type,
               QStringLiteral("SeriesCode"), QStringLiteral("A"), QStringLiteral("DocumentNo"), QString::number(no),
               QStringLiteral("Sno"), 1, QStringLiteral("AccountCode"), account, QStringLiteral("DocumentDate"), date,
               QStringLiteral("BillDate"), billDate.isValid() ? billDate : QDate(1899, 12, 30), QStringLiteral("CreditPeriod"),
               creditPeriod, QStringLiteral("Amount"), pending, QStringLiteral("PendingAmount"), pending,
               QStringLiteral("Passed"), passed});
}

struct OrderLine {
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

// An order of the sales ("Sales") or purchase ("Purchase") side; its lines get ItemSno 1, 2, ...
void Order(CompanyDatabase& db, const QString& side, const QString& branch, int no, const QDate& date,
           const QString& account, bool passed, const QList<OrderLine>& lines)
{
    const QString type = side == QLatin1String("Sales") ? QStringLiteral("SAO") : QStringLiteral("PUO");
    const QVariantList key{QStringLiteral("DocumentYear"), 2025, QStringLiteral("BranchCode"), branch,
                           QStringLiteral("DocumentType"), type, QStringLiteral("SeriesCode"), QStringLiteral("A"),
                           QStringLiteral("DocumentNo"), QString::number(no)};
    db.Insert(QStringLiteral("Fa") + side + QStringLiteral("OrderRegister"),
              key + QVariantList{QStringLiteral("DocumentDate"), date, QStringLiteral("AccountCode"), account,
                                 QStringLiteral("Passed"), passed});
    int sno = 0;
    for (const OrderLine& l : lines) {
        ++sno;
        db.Insert(QStringLiteral("Fa") + side + QStringLiteral("OrderProducts"),
                  key + QVariantList{QStringLiteral("Sno"), sno, QStringLiteral("ItemSno"), sno, QStringLiteral("ItemCode"),
                                     l.item, QStringLiteral("StoreCode"), l.store, QStringLiteral("Quantity"), l.q + l.q1,
                                     QStringLiteral("PendingQuantity"), l.q, QStringLiteral("PendingQuantity1"), l.q1,
                                     QStringLiteral("Rate"), l.rate, QStringLiteral("Per"), l.per, QStringLiteral("RateOn"),
                                     l.rateOn, QStringLiteral("Amount"), l.amount, QStringLiteral("Cancelled"), l.cancelled});
    }
}

void Schedule(CompanyDatabase& db, const QString& side, const QString& branch, int no, const QString& item, int itemSno,
              const QDate& delivery, double q, double q1 = 0)
{
    const QString type = side == QLatin1String("Sales") ? QStringLiteral("SAO") : QStringLiteral("PUO");
    db.Insert(QStringLiteral("Fa") + side + QStringLiteral("OrderSchedule"),
              {QStringLiteral("DocumentYear"), 2025, QStringLiteral("BranchCode"), branch, QStringLiteral("DocumentType"), type,
               QStringLiteral("SeriesCode"), QStringLiteral("A"), QStringLiteral("DocumentNo"), QString::number(no),
               QStringLiteral("ItemCode"), item, QStringLiteral("ItemSno"), itemSno, QStringLiteral("DeliveryDate"), delivery,
               QStringLiteral("Quantity"), q + q1, QStringLiteral("PendingQuantity"), q, QStringLiteral("PendingQuantity1"), q1});
}

void Stock(CompanyDatabase& db, const QString& item, const QString& store, double opening, const QList<double>& months)
{
    QVariantList pairs{QStringLiteral("ItemCode"), item, QStringLiteral("StoreCode"), store,
                       QStringLiteral("OpeningQuantity"), opening};
    for (int k = 0; k < months.size(); ++k)
        pairs << QStringLiteral("Month%1TotalQuantity").arg(k + 1) << months.at(k);
    db.Insert(QStringLiteral("FaStockMaster"), pairs);
}

void ItemLine(CompanyDatabase& db, int no, const QString& item, const QString& store, const QDate& date, double quantity,
              bool passed = true)
{
    db.Insert(QStringLiteral("FaItemLedger"),
              {QStringLiteral("DocumentYear"), 2025, QStringLiteral("BranchCode"), QStringLiteral("01"),
               QStringLiteral("DocumentType"), QStringLiteral("GIN"), QStringLiteral("SeriesCode"), QStringLiteral("A"),
               QStringLiteral("DocumentNo"), QString::number(no), QStringLiteral("Sno"), 1, QStringLiteral("ItemSno"), 1,
               QStringLiteral("ItemCode"), item, QStringLiteral("StoreCode"), store, QStringLiteral("DocumentDate"), date,
               QStringLiteral("Quantity"), quantity, QStringLiteral("Passed"), passed});
}

QDate D(int m, int d, int y = 2025)
{
    return QDate(y, m, d);
}

void FillDash(CompanyDatabase& db)
{
    AddMasters(db);
    const QString b1 = QStringLiteral("01"), b2 = QStringLiteral("02");
    const auto L = [](const char* account, double amount) { return QPair<QString, double>(QString::fromLatin1(account), amount); };
    Voucher(db, QStringLiteral("INV"), b1, 1, D(4, 10), {L("SALES", -400), L("DEB1", 400)});
    Voucher(db, QStringLiteral("INV"), b1, 2, D(4, 20), {L("SALES", -600), L("DEB1", 600)});
    Voucher(db, QStringLiteral("INV"), b2, 3, D(4, 16), {L("SALES", -100), L("DEB2", 100)});
    Voucher(db, QStringLiteral("PUR"), b1, 4, D(4, 30), {L("PURCH", 500), L("CRED1", -500)});
    Voucher(db, QStringLiteral("INV"), b1, 5, D(5, 5), {L("SALES", -500), L("DEB1", 500)});
    Voucher(db, QStringLiteral("PUR"), b1, 6, D(5, 10), {L("PURCH", 700), L("CRED1", -700)});
    Voucher(db, QStringLiteral("INV"), b1, 7, D(5, 15), {L("SALES", -1500), L("DEB2", 1500)});
    Voucher(db, QStringLiteral("INV"), b2, 8, D(5, 31), {L("SALES", -200), L("DEB2", 200)});
    Voucher(db, QStringLiteral("PUR"), b1, 9, D(6, 5), {L("PURCH", 300), L("CRED1", -300)});
    Voucher(db, QStringLiteral("INV"), b1, 10, D(6, 10), {L("SALES", -1000), L("DEB1", 1000)});
    Voucher(db, QStringLiteral("INV"), b1, 11, D(6, 25), {L("SALES", -3000), L("DEB1", 3000)});
    Voucher(db, QStringLiteral("INV"), b1, 12, D(4, 25), {L("SALES", -777), L("DEB1", 777)}, false);
    Voucher(db, QStringLiteral("CRE"), b1, 13, D(6, 10), {L("CASH", 800), L("DEB1", -800)});
    Voucher(db, QStringLiteral("BRE"), b2, 14, D(6, 10), {L("BANK", 250), L("DEB2", -250)});
    Voucher(db, QStringLiteral("CPA"), b1, 15, D(6, 10), {L("CASH", -300), L("EXP1", 300)});
    Voucher(db, QStringLiteral("BPA"), b1, 16, D(6, 9), {L("BANK", -50), L("CRED1", 50)});

    Balance(db, QStringLiteral("SALES"), b1, 0, {-1000, -2000, -4000});
    Balance(db, QStringLiteral("SALES"), b2, 0, {-100, -200});
    Balance(db, QStringLiteral("PURCH"), b1, 0, {500, 700, 300});
    Balance(db, QStringLiteral("DEB1"), b1, 1000, {1000, 500, 3200});
    Balance(db, QStringLiteral("DEB2"), b1, 0, {0, 1500});
    Balance(db, QStringLiteral("DEB2"), b2, 0, {100, 200, -250});
    Balance(db, QStringLiteral("CRED1"), b1, -2000, {-500, -700, -250});
    Balance(db, QStringLiteral("CASH"), b1, 5000, {0, 0, 500});
    Balance(db, QStringLiteral("BANK"), b2, 3000, {0, 0, 250});
    Balance(db, QStringLiteral("BANK"), b1, 0, {0, 0, -50});
    Balance(db, QStringLiteral("EXP1"), b1, 0, {0, 0, 300});
    Balance(db, QStringLiteral("UNPASSED"), b1, 0, {-9999});

    Bill(db, QStringLiteral("INV"), b1, 1, QStringLiteral("DEB1"), D(5, 11), {}, 30, 400);
    Bill(db, QStringLiteral("INV"), b2, 2, QStringLiteral("DEB2"), D(6, 10), {}, 0, 150);
    Bill(db, QStringLiteral("INV"), b1, 3, QStringLiteral("DEB1"), D(5, 1), {}, 30, 90);
    Bill(db, QStringLiteral("PUR"), b1, 4, QStringLiteral("CRED1"), D(5, 1), D(5, 26), 15, 700);
    Bill(db, QStringLiteral("PUR"), b1, 5, QStringLiteral("CRED1"), D(5, 26), {}, 15, 60);
    Bill(db, QStringLiteral("PUR"), b1, 6, QStringLiteral("CRED1"), D(5, 11), D(5, 20), 30, 45);
    Bill(db, QStringLiteral("INV"), b1, 7, QStringLiteral("DEB1"), D(5, 11), {}, 30, 0);
    Bill(db, QStringLiteral("INV"), b1, 8, QStringLiteral("DEB1"), D(5, 11), {}, 30, 333, false);
    Bill(db, QStringLiteral("JOV"), b1, 9, QStringLiteral("EXP1"), D(6, 10), {}, 0, 20);
    Bill(db, QStringLiteral("INV"), b1, 10, QStringLiteral("DEB2"), D(5, 31), D(5, 1), 10, 25);

    const QString sales = QStringLiteral("Sales"), purchase = QStringLiteral("Purchase");
    const QString S1 = QStringLiteral("S1"), S2 = QStringLiteral("S2"), IT1 = QStringLiteral("IT1"), IT2 = QStringLiteral("IT2");
    const QString M = QStringLiteral("M"), A = QStringLiteral("A");
    Order(db, sales, b1, 1, D(6, 10), QStringLiteral("DEB1"), true,
          {{IT1, S1, 1000, 4, 0, 250, 1, M}, {IT1, S2, 500, 2, 3, 100, 10, A}, {IT2, S1, 300, 5, 0, 10, 1, M, true}});
    Order(db, sales, b2, 2, D(6, 10), QStringLiteral("DEB2"), false, {{IT2, S1, 999, 9, 0, 111, 1, M}});
    Order(db, sales, b1, 3, D(5, 1), QStringLiteral("DEB1"), true, {{IT2, S1, 200, 3, 0, 20, 1, M}, {IT2, S1, 100, 0, 0, 20, 1, M}});
    Order(db, sales, b1, 4, D(6, 25), QStringLiteral("DEB2"), true, {{IT2, S1, 1000, 1, 0, 1000, 1, M}});
    Schedule(db, sales, b1, 1, IT1, 1, D(5, 20), 2);
    Schedule(db, sales, b1, 1, IT1, 1, D(6, 18), 2);
    Schedule(db, sales, b1, 1, IT1, 2, D(6, 17), 2, 3);
    Schedule(db, sales, b1, 3, IT2, 1, D(6, 1), 0);
    Schedule(db, sales, b1, 1, IT2, 3, D(6, 12), 5);
    Order(db, purchase, b1, 1, D(6, 10), QStringLiteral("CRED1"), true,
          {{IT1, S1, 800, 8, 0, 50, 1, M}, {IT2, S2, 200, 1, 2, 30, 1, A}});
    Order(db, purchase, b1, 2, D(4, 1), QStringLiteral("CRED1"), true, {{IT2, S1, 100, 1, 0, 100, 1, M}});
    Schedule(db, purchase, b1, 1, IT1, 1, D(6, 15), 8);
    Schedule(db, purchase, b1, 2, IT2, 1, D(6, 30), 1);

    Stock(db, IT1, S1, 10, {5, -3, 2.125});
    Stock(db, IT1, S2, 4, {1});
    Stock(db, IT2, S1, 0, {0, 7, 7});
    Stock(db, QStringLiteral("IT3"), S1, 100, {0, 0, 4});
    Stock(db, QStringLiteral("IT9"), S1, 50, {});
    ItemLine(db, 1, IT1, S1, D(4, 5), 5);
    ItemLine(db, 2, IT1, S1, D(5, 10), -3);
    ItemLine(db, 3, IT1, S1, D(6, 10), 5);
    ItemLine(db, 4, IT1, S1, D(6, 10), -3);
    ItemLine(db, 5, IT1, S1, D(6, 25), 0.125);
    ItemLine(db, 6, IT1, S2, D(4, 20), 1);
    ItemLine(db, 7, IT1, S2, D(6, 10), 100, false);
    ItemLine(db, 8, IT2, S1, D(5, 5), 7);
    ItemLine(db, 9, IT2, S1, D(6, 10), 7);
    ItemLine(db, 10, QStringLiteral("IT3"), S1, D(6, 5), 4);
}

// ---- the company "TEST2005" --------------------------------------------------------------------
//
// Year 1 April 2004 to 31 March 2006 (two spans), used for the testing day. On 1 January 2005:
// CRE/1 CASH +70 DEB1 -70 (RT 70); a DEB1 bill of 2 December 2004 at 30 days, pending 90 (TR 90);
// SO1 01 dated that day, DEB1: L1 IT1 S1 120, q 1, 120/1, M, due 8 January 2005 (120) and
// L2 IT2 S1 30, q 3, 10/1, M, due 9 January 2005 (30): OR 150, OP 150; an item receipt of 2 (RQ 2).
// Stock IT1/S1: opening 1, January 2005 (month 10) +2: ST 3 at any day from January on.
void FillTest2005(CompanyDatabase& db)
{
    AddMasters(db);
    const QString b1 = QStringLiteral("01");
    const QDate newYear(2005, 1, 1);
    Voucher(db, QStringLiteral("CRE"), b1, 1, newYear,
            {QPair<QString, double>(QStringLiteral("CASH"), 70), QPair<QString, double>(QStringLiteral("DEB1"), -70)});
    Bill(db, QStringLiteral("INV"), b1, 1, QStringLiteral("DEB1"), QDate(2004, 12, 2), {}, 30, 90);
    const QString S1 = QStringLiteral("S1"), M = QStringLiteral("M");
    Order(db, QStringLiteral("Sales"), b1, 1, newYear, QStringLiteral("DEB1"), true,
          {{QStringLiteral("IT1"), S1, 120, 1, 0, 120, 1, M}, {QStringLiteral("IT2"), S1, 30, 3, 0, 10, 1, M}});
    Schedule(db, QStringLiteral("Sales"), b1, 1, QStringLiteral("IT1"), 1, QDate(2005, 1, 8), 1);
    Schedule(db, QStringLiteral("Sales"), b1, 1, QStringLiteral("IT2"), 2, QDate(2005, 1, 9), 3);
    Stock(db, QStringLiteral("IT1"), S1, 1, {0, 0, 0, 0, 0, 0, 0, 0, 0, 2});
    ItemLine(db, 1, QStringLiteral("IT1"), S1, newYear, 2);
}

QString Request(const QString& folder, const QString& user, const QString& start, const QString& last,
                const QString& branch = QString(), const QString& store = QString(),
                const QString& password = QStringLiteral("pw"))
{
    platform::JsonObject request;
    request.AddString(QStringLiteral("Action"), QStringLiteral("DashBoard"));
    request.AddString(QStringLiteral("MobileNo"), kMobile);
    request.AddString(QStringLiteral("UserID"), user);
    request.AddString(QStringLiteral("Password"), password);
    request.AddString(QStringLiteral("FolderName"), folder);
    if (!start.isNull())
        request.AddString(QStringLiteral("StartDate"), start);
    if (!last.isNull())
        request.AddString(QStringLiteral("LastDate"), last);
    request.AddString(QStringLiteral("BranchCode"), branch);
    request.AddString(QStringLiteral("StoreCode"), store);
    return request.Emit();
}

// The rows of a reply, one text each: "GrpTy ActNm StDt LtDt Amt".
QStringList Rows(const platform::JsonObject& reply)
{
    QStringList rows;
    const platform::JsonArray data = reply.ArrayOf(QStringLiteral("Data"));
    for (int i = 0; i < data.Size(); ++i) {
        const platform::JsonObject row = data.ObjectAt(i);
        rows << QStringList{row.StringOf(QStringLiteral("GrpTy")), row.StringOf(QStringLiteral("ActNm")),
                            row.StringOf(QStringLiteral("StDt")), row.StringOf(QStringLiteral("LtDt")),
                            row.StringOf(QStringLiteral("Amt"))}
                    .join(QLatin1Char(' '));
    }
    return rows;
}

// Expected rows: "GrpTy Amt" pieces for the period's own span (the day-based and weekly tiles take
// theirs from the clock, 10 June 2025 and the week to 17 June 2025).
QStringList Expected(const QString& start, const QString& last, const QStringList& figures)
{
    static const QMap<QString, QString> captions{
        {QStringLiteral("SA"), QStringLiteral("Sales")},
        {QStringLiteral("PU"), QStringLiteral("Purchase")},
        {QStringLiteral("CH"), QStringLiteral("Cash Balance")},
        {QStringLiteral("BK"), QStringLiteral("Bank Balance")},
        {QStringLiteral("SD"), QStringLiteral("Debtors")},
        {QStringLiteral("SC"), QStringLiteral("Creditors")},
        {QStringLiteral("TR"), QStringLiteral("Today's Receivable")},
        {QStringLiteral("TP"), QStringLiteral("Today's Payable")},
        {QStringLiteral("RT"), QStringLiteral("Today's Receipts")},
        {QStringLiteral("PT"), QStringLiteral("Today's Payments")},
        {QStringLiteral("OR"), QStringLiteral("Today's SO")},
        {QStringLiteral("WD"), QStringLiteral("SO Dly upto 17/06/2025")},
        {QStringLiteral("OP"), QStringLiteral("SO Pending")},
        {QStringLiteral("OI"), QStringLiteral("Today's PO")},
        {QStringLiteral("WR"), QStringLiteral("PO Dly upto 17/06/2025")},
        {QStringLiteral("PP"), QStringLiteral("PO Pending")},
        {QStringLiteral("ST"), QStringLiteral("Stock Quantity")},
        {QStringLiteral("RQ"), QStringLiteral("Today's Rec.Qty")},
        {QStringLiteral("IQ"), QStringLiteral("Today's Isu.Qty")},
    };
    static const QStringList dayTypes{QStringLiteral("TR"), QStringLiteral("TP"), QStringLiteral("RT"), QStringLiteral("PT"),
                                      QStringLiteral("OR"), QStringLiteral("OI"), QStringLiteral("RQ"), QStringLiteral("IQ")};
    QStringList rows;
    for (const QString& figure : figures) {
        const QString type = figure.section(QLatin1Char(' '), 0, 0);
        const QString amount = figure.section(QLatin1Char(' '), 1, 1);
        QString span = start + QLatin1Char(' ') + last;
        if (dayTypes.contains(type))
            span = QStringLiteral("2025-06-10 2025-06-10");
        else if (type == QLatin1String("WD") || type == QLatin1String("WR"))
            span = QStringLiteral("2025-06-10 2025-06-17");
        rows << type + QLatin1Char(' ') + captions.value(type) + QLatin1Char(' ') + span + QLatin1Char(' ') + amount;
    }
    return rows;
}

// The day-based and weekly figures of DASH for a user without limits.
const QStringList kDayFigures{QStringLiteral("TR 575"), QStringLiteral("TP 780"), QStringLiteral("RT 1050"),
                              QStringLiteral("PT 300")};

}  // namespace

class TestDashboard : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<coretest::Installation> m_inst;

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
        platform::Clock::Set(QDateTime(QDate(2025, 6, 10), QTime(10, 30)));
        m_inst = std::make_unique<coretest::Installation>();

        fixtures::CompanyRow year;
        year.StartDate = QDate(2025, 4, 1);
        year.LastDate = QDate(2026, 3, 31);
        FillDash(*m_inst->CreateCompany(QStringLiteral("DASH"), year));
        m_inst->ListCompany(QStringLiteral("DASH"), QStringLiteral("Dash"), year.StartDate.startOfDay(), year.LastDate.startOfDay());

        // The same company with no figures at all.
        auto empty = m_inst->CreateCompany(QStringLiteral("EMPTY"), year);
        AddMasters(*empty);
        m_inst->ListCompany(QStringLiteral("EMPTY"), QStringLiteral("Empty"), year.StartDate.startOfDay(), year.LastDate.startOfDay());

        // The same company whose sales-order schedules are lost: the weekly delivery tile fails.
        auto broken = m_inst->CreateCompany(QStringLiteral("BROKEN"), year);
        FillDash(*broken);
        broken->Exec(QStringLiteral("DROP TABLE FaSalesOrderSchedule"));
        m_inst->ListCompany(QStringLiteral("BROKEN"), QStringLiteral("Broken"), year.StartDate.startOfDay(), year.LastDate.startOfDay());

        // A company row without its start date.
        auto undated = m_inst->CreateCompany(QStringLiteral("UNDATED"), year);
        AddMasters(*undated);
        undated->Exec(QStringLiteral("UPDATE Company SET StartDate = NULL"));
        m_inst->ListCompany(QStringLiteral("UNDATED"), QStringLiteral("Undated"), year.StartDate.startOfDay(), year.LastDate.startOfDay());

        // A company row whose year was never filled in: its year starts on the empty date.
        fixtures::CompanyRow blank;
        blank.StartDate = QDate(1899, 12, 30);
        blank.LastDate = QDate(1899, 12, 30);
        AddMasters(*m_inst->CreateCompany(QStringLiteral("BLANKYEAR"), blank));
        m_inst->ListCompany(QStringLiteral("BLANKYEAR"), QStringLiteral("Blank"), blank.StartDate.startOfDay(), blank.LastDate.startOfDay());

        fixtures::CompanyRow old;
        old.StartDate = QDate(2004, 4, 1);
        old.LastDate = QDate(2006, 3, 31);
        FillTest2005(*m_inst->CreateCompany(QStringLiteral("TEST2005"), old));
        m_inst->ListCompany(QStringLiteral("TEST2005"), QStringLiteral("Test"), old.StartDate.startOfDay(), old.LastDate.startOfDay());
    }

    void cleanupTestCase()
    {
        platform::Clock::Reset();
    }

    // --- the figures --------------------------------------------------------------------------

    void figures_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("branch");
        QTest::addColumn<QString>("store");
        QTest::addColumn<QString>("yearStart");
        QTest::addColumn<QString>("yearLast");
        QTest::addColumn<QStringList>("figures");

        const QString admin = QStringLiteral("ADMIN");
        const auto row = [](const char* name, const QString& user, const char* start, const char* last, const char* branch,
                            const char* store, const char* yearStart, const char* yearLast, const QStringList& figures) {
            QTest::newRow(name) << user << QString::fromUtf8(start) << QString::fromUtf8(last) << QString::fromUtf8(branch)
                                << QString::fromUtf8(store) << QString::fromUtf8(yearStart) << QString::fromUtf8(yearLast)
                                << figures;
        };
        const auto list = [](std::initializer_list<const char*> items) {
            QStringList l;
            for (const char* i : items)
                l << QString::fromLatin1(i);
            return l;
        };

        // April and May, whole months: SA -(1000 + 2000 + 100 + 200); PU 500 + 700; balances at 31 May:
        // CH 5000, BK 3000, SD (1000 + 1000 + 500) + 1500 + (100 + 200), SC -(2000 + 500 + 700);
        // OP SO3 only (60), PP PO2 only (100); ST (10 + 5 - 3) + (4 + 1) + 7.
        row("whole months", admin, "2025-04-01", "2025-05-31", "", "", "2025-04-01", "2025-05-31",
            list({"SA 3300", "PU 1200", "CH 5000", "BK 3000", "SD 4300", "SC 3200"})
                + kDayFigures
                + list({"OR 1500", "WD 540", "OP 60", "OI 1000", "WR 400", "PP 100", "ST 24",
                       "RQ 12", "IQ 3"}));
        // 15 April to 20 June: May whole (SA -2200, PU 700) plus the lines of 15-30 April and 1-20 June
        // (SA -600 -100 -1000, PU +500 +300); balances at 20 June: May's closing plus June 1-20
        // (CH +800 -300, BK +250 -50, SD +1000 -800 -250, SC -300 +50); ST 24 + (5 - 3 + 7 + 4).
        row("part months", admin, "2025-04-15", "2025-06-20", "", "", "2025-04-15", "2025-06-20",
            list({"SA 3900", "PU 1500", "CH 5500", "BK 3200", "SD 4250", "SC 3450"})
                + kDayFigures
                + list({"OR 1500", "WD 540", "OP 1100", "OI 1000", "WR 400", "PP 560", "ST 37",
                       "RQ 12", "IQ 3"}));
        // 10 to 20 May: no whole month, the ledger alone (SA -1500 of 15 May, PU +700 of 10 May), each
        // line once though both halves of the part-month test cover it; balances at 20 May: April's
        // closing plus 1-20 May (SD +500 +1500, SC -700); ST (15 + 5 + 0) + (-3 + 7).
        row("inside one month", admin, "2025-05-10", "2025-05-20", "", "", "2025-05-10", "2025-05-20",
            list({"SA 1500", "PU 700", "CH 5000", "BK 3000", "SD 4100", "SC 3200"})
                + kDayFigures
                + list({"OR 1500", "WD 540", "OP 60", "OI 1000", "WR 400", "PP 100", "ST 24",
                       "RQ 12", "IQ 3"}));
        // 15 April to 31 May: May whole (SA -2200, PU 700) plus 15-30 April (SA -600 -100, PU +500);
        // May's lines are not taken again from the ledger. Balances as at 31 May.
        row("part start month", admin, "2025-04-15", "2025-05-31", "", "", "2025-04-15", "2025-05-31",
            list({"SA 2900", "PU 1200", "CH 5000", "BK 3000", "SD 4300", "SC 3200"})
                + kDayFigures
                + list({"OR 1500", "WD 540", "OP 60", "OI 1000", "WR 400", "PP 100", "ST 24",
                       "RQ 12", "IQ 3"}));
        // 1 to 20 April, inside the company's first month (no whole month: LastWhole 0): the closing
        // figures are the opening balances plus the April lines so far (SD 1000 + 400 + 600 + 100,
        // SC -2000; ST 10 + 4 + 5 + 1, the stock of the unknown and unpassed items left out); no
        // purchase in the period, no sales order dated by 20 April, PO2 of 1 April pending.
        row("first month only", admin, "2025-04-01", "2025-04-20", "", "", "2025-04-01", "2025-04-20",
            list({"SA 1100", "CH 5000", "BK 3000", "SD 2100", "SC 2000"})
                + kDayFigures
                + list({"OR 1500", "WD 540", "OI 1000", "WR 400", "PP 100", "ST 20", "RQ 12", "IQ 3"}));
        // The empty date asks for the company year of the clock's day: the whole year, every month.
        row("company year", admin, "1899-12-30", "1899-12-30", "", "", "2025-04-01", "2026-03-31",
            list({"SA 7300", "PU 1500", "CH 5500", "BK 3200", "SD 7250", "SC 3450"})
                + kDayFigures
                + list({"OR 1500", "WD 540", "OP 2100", "OI 1000", "WR 400", "PP 560",
                       "ST 33.125", "RQ 12", "IQ 3"}));
        // A clerk of branch 02: SALES/02, BANK/02, DEB2/02, the branch-02 bill and receipt; no order of
        // branch 02 is passed; the stock tiles know no branches.
        row("branch list", QStringLiteral("CLERK"), "2025-04-01", "2025-05-31", "", "", "2025-04-01", "2025-05-31",
            list({"SA 300", "BK 3000", "SD 300", "TR 150", "RT 250", "ST 24", "RQ 12", "IQ 3"}));
        // A supervisor is not held to the lists he carries.
        row("supervisor with lists", QStringLiteral("BOSS"), "2025-04-01", "2025-05-31", "", "", "2025-04-01", "2025-05-31",
            list({"SA 3300", "PU 1200", "CH 5000", "BK 3000", "SD 4300", "SC 3200"})
                + kDayFigures
                + list({"OR 1500", "WD 540", "OP 60", "OI 1000", "WR 400", "PP 100", "ST 24",
                       "RQ 12", "IQ 3"}));
        // ... but the branch the request names holds for him too: SALES/01, DEB1 and DEB2 of 01, the
        // 01 bills (400 + 25 receivable), the cash receipt of 01.
        row("branch sent", QStringLiteral("BOSS"), "2025-04-01", "2025-05-31", "01", "", "2025-04-01", "2025-05-31",
            list({"SA 3000", "PU 1200", "CH 5000", "SD 4000", "SC 3200", "TR 425", "TP 780", "RT 800", "PT 300",
                  "OR 1500", "WD 540", "OP 60", "OI 1000", "WR 400", "PP 100", "ST 24", "RQ 12", "IQ 3"}));
        // Store S2: the order lines and stock of S2 only (SO1 L2 500 and 40, PO1 L2 200; IT1/S2 4 + 1).
        row("store sent", admin, "2025-04-01", "2025-05-31", "", "S2", "2025-04-01", "2025-05-31",
            list({"SA 3300", "PU 1200", "CH 5000", "BK 3000", "SD 4300", "SC 3200"})
                + kDayFigures + list({"OR 500", "WD 40", "OI 200", "ST 5"}));
        // A storeman of S1: order lines and stock of S1 (IT1/S1 12 + IT2/S1 7).
        row("store list", QStringLiteral("STOREMAN"), "2025-04-01", "2025-05-31", "", "", "2025-04-01", "2025-05-31",
            list({"SA 3300", "PU 1200", "CH 5000", "BK 3000", "SD 4300", "SC 3200"})
                + kDayFigures
                + list({"OR 1000", "WD 500", "OP 60", "OI 800", "WR 400", "PP 100", "ST 19",
                       "RQ 12", "IQ 3"}));
        // Debtor and cash groups only: the debtors' bills, the cash voucher lines, the sales orders
        // (their party is a debtor), not the purchase orders.
        row("account groups", QStringLiteral("ACCOUNTS"), "2025-04-01", "2025-05-31", "", "", "2025-04-01", "2025-05-31",
            list({"CH 5000", "SD 4300", "TR 575", "RT 800", "PT 300", "OR 1500", "WD 540", "OP 60", "ST 24",
                  "RQ 12", "IQ 3"}));
        // Request values are only values: a placeholder name or a quote in a code matches no branch or
        // store and breaks no statement.
        row("placeholder as branch", admin, "2025-04-01", "2025-05-31", "@pProductAmount", "", "2025-04-01", "2025-05-31",
            list({"ST 24", "RQ 12", "IQ 3"}));
        row("quote in branch", admin, "2025-04-01", "2025-05-31", "0'1", "", "2025-04-01", "2025-05-31",
            list({"ST 24", "RQ 12", "IQ 3"}));
        row("placeholder as store", admin, "2025-04-01", "2025-05-31", "", "@pQuantity1", "2025-04-01", "2025-05-31",
            list({"SA 3300", "PU 1200", "CH 5000", "BK 3000", "SD 4300", "SC 3200"})
                + kDayFigures);
        row("quote in store", admin, "2025-04-01", "2025-05-31", "", "S'1", "2025-04-01", "2025-05-31",
            list({"SA 3300", "PU 1200", "CH 5000", "BK 3000", "SD 4300", "SC 3200"})
                + kDayFigures);
    }
    void figures()
    {
        QFETCH(QString, user);
        QFETCH(QString, start);
        QFETCH(QString, last);
        QFETCH(QString, branch);
        QFETCH(QString, store);
        QFETCH(QString, yearStart);
        QFETCH(QString, yearLast);
        QFETCH(QStringList, figures);

        const platform::JsonObject reply = ParsedReply(Run(Request(QStringLiteral("DASH"), user, start, last, branch, store)));
        QCOMPARE(reply.StringOf(QStringLiteral("Message")), QStringLiteral("Success"));
        QCOMPARE(reply.StringOf(QStringLiteral("Status")), QStringLiteral("1"));
        QCOMPARE(reply.StringOf(QStringLiteral("YrStDt")), yearStart);
        QCOMPARE(reply.StringOf(QStringLiteral("YrLtDt")), yearLast);
        QCOMPARE(Rows(reply), Expected(yearStart, yearLast, figures));
    }

    // The reply head and row members, in their order; a company without figures has no rows.
    void replyShape()
    {
        const QString empty = Run(Request(QStringLiteral("EMPTY"), QStringLiteral("ADMIN"), QStringLiteral("2025-04-01"),
                                          QStringLiteral("2025-05-31")));
        QCOMPARE(empty, QStringLiteral("{\"Action\":\"DashBoard\",\"MobileNo\":\"9876543210\",\"Status\":1,"
                                       "\"Message\":\"Success\",\"YrStDt\":\"2025-04-01\",\"YrLtDt\":\"2025-05-31\","
                                       "\"Data\":[]}<EOF>"));

        platform::JsonObject request;
        request.Load(Request(QStringLiteral("DASH"), QStringLiteral("ADMIN"), QStringLiteral("2025-04-01"),
                             QStringLiteral("2025-05-31")));
        request.AddString(QStringLiteral("Action"), QStringLiteral("dashboard"));
        clsClient client;
        client.Setup = m_inst->setup.get();
        const platform::JsonObject reply = ParsedReply(client.GetData(request));
        QCOMPARE(reply.StringOf(QStringLiteral("Action")), QStringLiteral("dashboard"));
        QStringList head;
        for (int i = 0; i < reply.Size(); ++i)
            head << reply.NameAt(i);
        QCOMPARE(head, (QStringList{QStringLiteral("Action"), QStringLiteral("MobileNo"), QStringLiteral("Status"),
                                    QStringLiteral("Message"), QStringLiteral("YrStDt"), QStringLiteral("YrLtDt"),
                                    QStringLiteral("Data")}));
        const platform::JsonObject row = reply.ArrayOf(QStringLiteral("Data")).ObjectAt(0);
        QStringList members;
        for (int i = 0; i < row.Size(); ++i)
            members << row.NameAt(i);
        QCOMPARE(members, (QStringList{QStringLiteral("StDt"), QStringLiteral("LtDt"), QStringLiteral("ActNm"),
                                       QStringLiteral("GrpTy"), QStringLiteral("Amt")}));
        QCOMPARE(row.TypeOf(QStringLiteral("Amt")), platform::JsonType::Number);
        QCOMPARE(reply.TypeOf(QStringLiteral("Status")), platform::JsonType::Number);
    }

    // --- the testing day ----------------------------------------------------------------------

    void testingDay_data()
    {
        QTest::addColumn<bool>("testing");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QStringList>("rows");
        const QString weekOf2005 = QStringLiteral("2005-01-01 2005-01-08");
        // Up to 31 March 2005 in testing mode, "today" is 1 January 2005 and the week ends on the 8th:
        // the schedule line due on the 9th is left out.
        QTest::newRow("testing, March 2005") << true << QStringLiteral("2005-03-31")
                                             << QStringList{
                                                    QStringLiteral("TR Today's Receivable 2005-01-01 2005-01-01 90"),
                                                    QStringLiteral("RT Today's Receipts 2005-01-01 2005-01-01 70"),
                                                    QStringLiteral("OR Today's SO 2005-01-01 2005-01-01 150"),
                                                    QStringLiteral("WD SO Dly upto 08/01/2005 ") + weekOf2005 + QStringLiteral(" 120"),
                                                    QStringLiteral("OP SO Pending 2004-04-01 2005-03-31 150"),
                                                    QStringLiteral("ST Stock Quantity 2004-04-01 2005-03-31 3"),
                                                    QStringLiteral("RQ Today's Rec.Qty 2005-01-01 2005-01-01 2"),
                                                };
        // Without testing mode the clock's day counts: nothing happened on it, and every pending
        // schedule line is due before its week ends.
        QTest::newRow("not testing") << false << QStringLiteral("2005-03-31")
                                     << QStringList{
                                            QStringLiteral("WD SO Dly upto 17/06/2025 2025-06-10 2025-06-17 150"),
                                            QStringLiteral("OP SO Pending 2004-04-01 2005-03-31 150"),
                                            QStringLiteral("ST Stock Quantity 2004-04-01 2005-03-31 3"),
                                        };
        // A period that ends on 1 April 2005 is looked at on the clock's day, testing or not; it
        // crosses the company's first anniversary, which the dashboard allows.
        QTest::newRow("testing, April 2005") << true << QStringLiteral("2005-04-01")
                                             << QStringList{
                                                    QStringLiteral("WD SO Dly upto 17/06/2025 2025-06-10 2025-06-17 150"),
                                                    QStringLiteral("OP SO Pending 2004-04-01 2005-04-01 150"),
                                                    QStringLiteral("ST Stock Quantity 2004-04-01 2005-04-01 3"),
                                                };
    }
    void testingDay()
    {
        QFETCH(bool, testing);
        QFETCH(QString, last);
        QFETCH(QStringList, rows);
        const platform::JsonObject reply =
            ParsedReply(Run(Request(QStringLiteral("TEST2005"), QStringLiteral("ADMIN"), QStringLiteral("2004-04-01"), last), testing));
        QCOMPARE(reply.StringOf(QStringLiteral("Message")), QStringLiteral("Success"));
        QCOMPARE(Rows(reply), rows);
    }

    // --- failures -----------------------------------------------------------------------------

    void failures_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("message");
        const QString head = QStringLiteral("Error while getting dashboard.") + CRLF;
        const QString dash = QStringLiteral("DASH");
        const QString admin = QStringLiteral("ADMIN");
        QTest::newRow("start date blank")
            << Request(QStringLiteral("BLANKYEAR"), admin, QStringLiteral("1899-12-30"), QStringLiteral("1899-12-30"))
            << head + QStringLiteral("Start Date is Blank.");
        QTest::newRow("last date blank") << Request(dash, admin, QStringLiteral("2025-04-01"), QStringLiteral("1899-12-30"))
                                         << head + QStringLiteral("Last Date is Blank.");
        QTest::newRow("start before the company")
            << Request(dash, admin, QStringLiteral("2025-03-31"), QStringLiteral("2025-05-31"))
            << head + QStringLiteral("Start Date is before Company Start Date.");
        QTest::newRow("last after the company")
            << Request(dash, admin, QStringLiteral("2025-04-01"), QStringLiteral("2026-04-01"))
            << head + QStringLiteral("Last Date is After Company Last Date.");
        QTest::newRow("start after last") << Request(dash, admin, QStringLiteral("2025-05-02"), QStringLiteral("2025-05-01"))
                                          << head + QStringLiteral("Start Date is After Last Date.");
        QTest::newRow("no start date") << Request(dash, admin, QString(), QStringLiteral("2025-05-01"))
                                       << head + CRLF + QStringLiteral("Error 13-Type mismatch");
        QTest::newRow("unreadable last date") << Request(dash, admin, QStringLiteral("2025-04-01"), QStringLiteral("31.05.25"))
                                              << head + CRLF + QStringLiteral("Error 13-Type mismatch");
        QTest::newRow("wrong password")
            << Request(dash, admin, QStringLiteral("2025-04-01"), QStringLiteral("2025-05-31"), {}, {}, QStringLiteral("px"))
            << head + QStringLiteral("User doesn't exist or Locked.") + CRLF;
        QTest::newRow("unknown user") << Request(dash, QStringLiteral("NOBODY"), QStringLiteral("2025-04-01"),
                                                 QStringLiteral("2025-05-31"))
                                      << head + QStringLiteral("User doesn't exist or Locked.") + CRLF;
        QTest::newRow("locked user") << Request(dash, QStringLiteral("GONE"), QStringLiteral("2025-04-01"),
                                                QStringLiteral("2025-05-31"))
                                     << head + QStringLiteral("User doesn't exist or Locked.") + CRLF;
        // A null where the company row's start date is read fails; it never reads as a blank date.
        QTest::newRow("company without start date")
            << Request(QStringLiteral("UNDATED"), admin, QStringLiteral("2025-04-01"), QStringLiteral("2025-05-31"))
            << head + QStringLiteral("Unable to Get company Info.") + CRLF + QStringLiteral("94-Invalid use of Null");
    }
    void failures()
    {
        QFETCH(QString, request);
        QFETCH(QString, message);
        const QString text = Run(request);
        const platform::JsonObject reply = ParsedReply(text);
        QCOMPARE(reply.Size(), 4);
        QCOMPARE(reply.StringOf(QStringLiteral("Action")), QStringLiteral("DashBoard"));
        QCOMPARE(reply.StringOf(QStringLiteral("MobileNo")), kMobile);
        QCOMPARE(reply.StringOf(QStringLiteral("Status")), QStringLiteral("0"));
        QCOMPARE(reply.StringOf(QStringLiteral("Message")), message);
    }

    // A company database that cannot be opened, and a tile whose statement fails: the failure
    // reply carries no rows of the tiles before it.
    void failingSteps()
    {
        const platform::JsonObject unknown = ParsedReply(Run(Request(QStringLiteral("NOSUCH"), QStringLiteral("ADMIN"),
                                                                QStringLiteral("2025-04-01"), QStringLiteral("2025-05-31"))));
        QCOMPARE(unknown.Size(), 4);
        QVERIFY2(unknown.StringOf(QStringLiteral("Message"))
                     .startsWith(QStringLiteral("Error while getting dashboard.") + CRLF + CRLF + QStringLiteral("Error ")),
                 qPrintable(unknown.StringOf(QStringLiteral("Message"))));

        const platform::JsonObject broken = ParsedReply(Run(Request(QStringLiteral("BROKEN"), QStringLiteral("ADMIN"),
                                                               QStringLiteral("2025-04-01"), QStringLiteral("2025-05-31"))));
        QCOMPARE(broken.Size(), 4);
        QCOMPARE(broken.StringOf(QStringLiteral("Status")), QStringLiteral("0"));
        const QString message = broken.StringOf(QStringLiteral("Message"));
        const QString expected = QStringLiteral("Error while getting dashboard.") + CRLF
                                 + QStringLiteral("Unable to get Weekly SO Delivery Dashboard Data.") + CRLF;
        QVERIFY2(message.startsWith(expected), qPrintable(message));
        // The tile's own "<number>-<description>" follows, and nothing is pending in the handler.
        const QString tail = message.mid(expected.size());
        QVERIFY2(tail.contains(QLatin1Char('-')) && !tail.contains(CRLF), qPrintable(tail));
    }

    // --- log lines ------------------------------------------------------------------------------

    void logLines()
    {
        const qsizetype before = m_inst->LogLines().size();
        Run(Request(QStringLiteral("DASH"), QStringLiteral("ADMIN"), QStringLiteral("2025-04-01"), QStringLiteral("2025-05-31")));
        QStringList lines = m_inst->LogLines().mid(before);
        const QString prefix = QStringLiteral("Mobile No.") + kMobile;
        for (QString& line : lines) {
            QVERIFY2(line.startsWith(prefix), qPrintable(line));
            line = line.mid(prefix.size());
        }
        const auto tile = [](const char* words, const char* generating, const char* records, const char* adding) {
            return QStringList{QString::fromUtf8(words), QString::fromUtf8(generating), QString::fromUtf8(records),
                               QString::fromUtf8(adding)};
        };
        QStringList expected{
            QStringLiteral(" Getting Dashboard"),
            QStringLiteral(" Opening Database DASH"),
            QStringLiteral(" Checking User"),
            QStringLiteral(" Getting Company Info"),
            QStringLiteral(" Calculating Week Last Date"),
            QStringLiteral(" Checking for Valid Dates."),
            QStringLiteral(" Calculating Month Dates & No."),
            QStringLiteral(" Generating Balance Fields for Dashboard"),
            QStringLiteral(" Generating Main Data for JSON Text"),
            QStringLiteral(" Loading Main Data to JSON Object"),
            QStringLiteral(" Adding Data Array to JSON"),
        };
        expected << tile(" Getting Sales/Purchase Dashboard Data", " Generating SQL Query for Sales & Purchase Dashboard",
                         " Getting Records for Sales & Purchase Dashboard", " Adding Sales & Purchase Dashboard Data to JSON");
        expected << QStringLiteral(" Getting Cash/Bank/Debtors/Creditors Dashboard Data")
                 << QStringLiteral(" Generating Balance Field for Cash/Bank/SD/SC Dashboard")
                 << QStringLiteral(" Generating SQL Query for Cash/Bank/SD/SC Dashboard")
                 << QStringLiteral(" Getting Records for Cash/Bank/SD/SC")
                 << QStringLiteral(" Adding Cash/Bank/SD/SC Dashboard Data to JSON");
        expected << tile(" Getting Today's Receivable/Payable Dashboard Data",
                         " Generating SQL Query for Today's Receivable/Payable Dashboard",
                         " Getting Records for Today's Receivable/Payable Dashboard",
                         " Adding Today's Receivable/Payable Dashboard Data to JSON");
        expected << tile(" Getting Today's Receipts/Payments Dashboard Data",
                         " Generating SQL Query for Today's Receipt/Payment Dashboard",
                         " Getting Records for Today's Receipt/Payment Dashboard",
                         " Adding Today's Receipt/Payment Dashboard Data to JSON");
        expected << tile(" Getting Order Received Dashboard Data", " Generating SQL Query for Order Received",
                         " Getting Records for Order Received Dashboard", " Adding Order Received Dashboard Data to JSON");
        expected << tile(" Getting Weekly SO Delivery Dashboard Data", " Generating SQL Query for Weekly SO Delivery",
                         " Getting Records for Weekly SO Delivery Dashboard",
                         " Adding Weekly SO Delivery Dashboard Data to JSON");
        expected << tile(" Getting Pending SO Dashboard Data", " Generating SQL Query for Pending SO",
                         " Getting Records for Pending SO Dashboard", " Adding Pending SO Dashboard Data to JSON");
        expected << tile(" Getting Order Issued Dashboard Data", " Generating SQL Query for Order Issued",
                         " Getting Records for Order Issued Dashboard", " Adding Order Issued Dashboard Data to JSON");
        expected << tile(" Getting Weekly PO Delivery Dashboard Data", " Generating SQL Query for Weekly PO Delivery",
                         " Getting Records for Weekly PO Delivery Dashboard",
                         " Adding Weekly PO Delivery Dashboard Data to JSON");
        expected << tile(" Getting Pending PO Dashboard Data", " Generating SQL Query for Pending PO",
                         " Getting Records for Pending PO Dashboard", " Adding Pending PO Dashboard Data to JSON");
        expected << QStringLiteral(" Getting Stock Balance Dashboard Data")
                 << QStringLiteral(" Generating Balance Field for StockBalance Dashboard")
                 << QStringLiteral(" Generating SQL Query for Stock Balance Dashboard")
                 << QStringLiteral(" Getting Records for Stock Balance")
                 << QStringLiteral(" Adding Stock Balance Dashboard Data to JSON");
        expected << tile(" Getting Today's Receipts/Payments Dashboard Data",
                         " Generating SQL Query for Today's Receipt/Issue Quantity Dashboard",
                         " Getting Records for Today's Receipt/Issue Quantity Dashboard",
                         " Adding Today's Receipt/Issue Quantity Dashboard Data to JSON");
        expected << QStringLiteral(" Returning Dashboard from JSON Object to Text");
        QCOMPARE(lines, expected);

        // Part months add the union lines; the company-year default its own step.
        const qsizetype middle = m_inst->LogLines().size();
        Run(Request(QStringLiteral("DASH"), QStringLiteral("ADMIN"), QStringLiteral("1899-12-30"), QStringLiteral("1899-12-30")));
        Run(Request(QStringLiteral("DASH"), QStringLiteral("ADMIN"), QStringLiteral("2025-04-15"), QStringLiteral("2025-06-20")));
        const QStringList more = m_inst->LogLines().mid(middle);
        QCOMPARE(more.filter(QStringLiteral(" Getting Company Start & Last Date on base of Todays Date")).size(), 1);
        QCOMPARE(more.filter(QStringLiteral(" Unioning SQL Query for Sales & Purchase Dashboard")).size(), 1);
        QCOMPARE(more.filter(QStringLiteral(" Unioning SQL Query for Cash/Bank/SD/SC")).size(), 1);
        QCOMPARE(more.filter(QStringLiteral(" Unioning SQL Query for Stock Balance")).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDashboard)
#include "test_dashboard.moc"
