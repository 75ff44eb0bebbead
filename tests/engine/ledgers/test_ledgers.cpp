// The actions "AccountLedger", "Outstanding", "Order", "ItemStoreSummary" and "ItemLedger" on the
// company LEDG, whose figures are worked out by hand below.

#include "CoreTestSupport.h"
#include "LedgerFixture.h"
#include "clock/Clock.h"

#include <QtTest>

using coretest::CRLF;
using coretest::ParsedReply;
using fixtures::CompanyDatabase;
using namespace ledgertest;

namespace {

const QString kMobile = QStringLiteral("9876543210");

// ---- the company "LEDG" ------------------------------------------------------------------------
//
// Two years, 1 April 2024 to 31 March 2026; the clock stands at 20 June 2025. Month numbers:
// April 2024 is 1, March 2025 12, April 2025 13, May 2025 14, June 2025 15.
//
// Groups (type, head): GSA (SA, 3), GCH (CH, 1), GSD (SD, 1), GSC (SC, 2), GEX (EX, 4).
// Accounts: SALES, CASH, DEB1 "Debtor One" (locations 001 "Pune Office", 002 "Mumbai Depot"),
// CRED1 "Creditor One" (001 "Main"), EXP1 "Expense One", RENT; GHOST has ledger lines only.
//
// Balance rows (account/branch: opening; month: total):
//   DEB1/01 1000; 1:100 12:200 13:300 14:999   DEB1/02 50; 13:20
//   CASH/01 5000; 13:100 14:777                SALES/01 0; 12:-9000 13:-1000 14:-5555
//
// Vouchers (type no branch date: account amount "narration" location):
//   INV 1 01 05-05: DEB1 +500, SALES -500          INV 2 01 05-10: DEB1 +777, SALES -777 (not passed)
//   INV 3 01 05-20: DEB1 +1200 @002, SALES -1200   CRE 4 01 05-20: CASH +300 "cash", DEB1 -300 "Receipt from Pune" CR LF
//   CRE 5 01 06-02: CASH +150, DEB1 -100, EXP1 -50 (narration NULL)
//   JOV 6 02 06-10: DEB1 0, RENT 0                 INV 7 02 06-15: DEB1 +400 (party branch 02), SALES -400
//   CPA 8 01 06-05: CASH -80, GHOST +80 "paid"     INV 9 01 07-01: DEB1 +999, SALES -999
//   CRE vouchers carry the cheque number CH<no> on every line.
//
// DEB1 ledger 15 May to 30 June 2025 (SD): opening 1000+100+200+300 + 50+20 (months 1-13) + 500 (1-14
//   May) = 2170; CRE 4 -300 (a credit first on its day), INV 3 +1200 (Mumbai Depot), CRE 5 -100,
//   INV 7 +400 (Pune Office); closing 3370. Branch 02 alone: 70, INV 7 +400, 470. A clerk of
//   branches " 01 , 03": 2100, -300, +1200, -100, 2900.
// CASH ledger May and June 2025 (CH): opening 5000+100 = 5100 (no part month); CRE 4: DEB1's line
//   +300 "Debtor One" CR LF "Receipt from Pune"; CRE 5: +100 "Debtor One", +50 "Expense One";
//   CPA 8: -80 "paid" (GHOST has no name); closing 5470.
// SALES ledger 15 May to 30 June 2025 (SA): the year starts 1 April 2025: Month13 -1000 and 1-14 May
//   -500 give -1500; INV 3 -1200, INV 7 -400; closing -3100.
//
// Outstanding register (type no date amount pending, location, credit days, bill date, settles):
//   DEB1: INV 1 05-05 +500 0 @001; INV 3 05-20 +1200 1200 @002 30d; CRE 4 05-20 -300 0 @001 settles INV 1;
//         CRE 5 06-02 -100 -100 @001; INV 7 06-15 +400 400 @001 party branch 02 10d;
//         INV 20 04-10 +250 0 @001 15d (no ledger line); CRE 21 06-05 -250 0 @001 settles INV 20;
//         CRE 22 05-25 -75 -75 @002; INV 23 05-01 +999 (not passed); JOV 24 05-02 0 5; INV 25 06-10 +300 300 @002 10d.
//   CRED1: PUR 30 05-01 +600 400 10d bill 04-25; BPA 31 05-20 -200 0 settles PUR 30 (no ledger line);
//          PUR 32 05-10 +100 100 10d.
// DEB1 at 31 May (SD): CRE 22 -75 first (unadjusted credit); INV 20 pending 250 (settled on 5 June,
//   after the date), due 04-25, 56 days over; INV 3 1200 due 06-19, 1 day over; total 1375.
// CRED1 at 31 May (SC): PUR 30 400 due 05-05 by its bill date (46 days), PUR 32 100 due 05-20 by its
//   document date (31 days); total 500.
// DEB1 due today (TR, 20 June): INV 25 300.
// DEB1 location 001, 15 May to 30 June (SD): opening 500+250 = 750; CRE 4 -300 (CH4, "Receipt from
//   Pune"), CRE 5 -100, CRE 21 -250, INV 7 +400; closing 500.
// CRED1 location 001 (SC): the account's group is a creditors' group, so every figure turns sign:
//   opening -700, BPA 31 +200 (no ledger line, same sign), closing -500.
//
// Sales orders: SO1 01 06-10 DEB1 @001 "PO-77": L1 IT1 S1 q10 pending 4 25/1 M 250; L2 IT1 S2 q6
//   pending 3 + 2 in the second unit, 10/1 A (factor 0.5) 60 -> (2 + 1.5) x 10 = 35; L3 IT2 S1
//   cancelled; L4 GHOSTITEM S1 q2 pending 2 5/1 M 10. SO2 01 06-01 DEB1 @002 "PO-78": L1 IT2 q8
//   pending 0 80; L2 all 0. SO3 06-10 not passed.
//   Schedules: SO1 L1 06-12 2, 06-25 2; L2 06-15 3 + 2; L3 06-12 5.
//   OR on 10 June: 10/250, 6/60, 2/10; total 18/320. OP to 30 June: 4/100, 3/35, 2/10; 9/145.
//   WD to 20 June: 06-12 2/50, 06-15 3/35; 5/85.
// Purchase orders: PO1 01 06-10 CRED1 "R-9": IT1 S1 q8 pending 8 50/1 400; PO2 06-11: IT2 pending 2,
//   30 per 0 (a division by zero for PP).
//
// Stock (item/store: opening; month totals): IT1/S1 10; 13:5 14:-2. IT1/S2 4; 14:1. IT1/S9 3 (no store row).
// Item ledger IT1: GIN 1 S1 05-03 +6; ISU 2 S1 05-10 -3 (10/1, amount -30, "issued" CR LF);
//   GIN 3 S2 05-10 +2 (12/1, 24); INV 4 S1 05-20 -1 (150/1, amount -100, entry amount -150, " sold ");
//   GIN 5 S1 05-25 +4 (11/1, 44); GIN 6 S2 05-12 +50 (not passed).
//   Stock at 20 May: S9 3, S1 15+6-3-1 = 17, S2 4+2 = 6. At 31 May (month totals only): S9 3, S1 13, S2 5.
//   On 10 May: received S2 2, issued S1 3.
// Some flags are stored upper- or lower-case (INV 7's lines, the register entry of INV 3, SO1 L2,
// GIN 5): they count as any other.
//   Item ledger 5 to 25 May: opening 22 + 6 = 28; GIN 3 +2 (the receipt first), ISU 2 -3, INV 4 -1,
//   GIN 5 +4; closing 30.

void FillLedg(CompanyDatabase& db)
{
    const struct {
        const char* code;
        const char* type;
        int head;
    } groups[] = {{"GSA", "SA", 3}, {"GCH", "CH", 1}, {"GSD", "SD", 1}, {"GSC", "SC", 2}, {"GEX", "EX", 4}};
    for (const auto& g : groups)
        db.AddAccountGroup({QString::fromLatin1(g.code), QString::fromLatin1(g.code), QString::fromLatin1(g.type), g.head, false});
    const struct {
        const char* code;
        const char* name;
        const char* group;
    } accounts[] = {{"SALES", "Sales Account", "GSA"}, {"CASH", "Cash", "GCH"},         {"DEB1", "Debtor One", "GSD"},
                    {"CRED1", "Creditor One", "GSC"},  {"EXP1", "Expense One", "GEX"}, {"RENT", "Rent", "GEX"}};
    for (const auto& a : accounts)
        db.AddAccount({QString::fromLatin1(a.code), QString::fromLatin1(a.name), QString::fromLatin1(a.group), true});
    fixtures::AccountAddressRow address;
    address.AccountCode = QStringLiteral("DEB1");
    address.AccountLocationName = QStringLiteral("Pune Office");
    db.AddAccountAddress(address);
    address.AccountLocationCode = QStringLiteral("002");
    address.AccountLocationName = QStringLiteral("Mumbai Depot");
    db.AddAccountAddress(address);
    address.AccountCode = QStringLiteral("CRED1");
    address.AccountLocationCode = QStringLiteral("001");
    address.AccountLocationName = QStringLiteral("Main");
    db.AddAccountAddress(address);
    db.AddBranch({QStringLiteral("01"), QStringLiteral("Head Office"), false, QStringLiteral("027")});
    db.AddBranch({QStringLiteral("02"), QStringLiteral("Branch"), false, QStringLiteral("027")});
    db.AddStore({QStringLiteral("S1"), QStringLiteral("Main Store")});
    db.AddStore({QStringLiteral("S2"), QStringLiteral("Second Store")});
    fixtures::ItemRow item;
    item.ItemCode = QStringLiteral("IT1");
    item.ItemName = QStringLiteral("Item One");
    item.Unit = QStringLiteral("NOS");
    item.ConversionFactor = 0.5;
    db.AddItem(item);
    item.ItemCode = QStringLiteral("IT2");
    item.ItemName = QStringLiteral("Item Two");
    item.Unit = QStringLiteral("KG");
    item.ConversionFactor = 0;
    db.AddItem(item);

    const auto user = [&](const char* id, bool supervisor, const char* branches, const char* stores, const char* groups,
                          bool locked = false) {
        fixtures::UserRow u;
        u.UserID = QString::fromLatin1(id);
        u.Password = QStringLiteral("pw");
        u.IsSupervisor = supervisor;
        u.BranchCodes = QString::fromLatin1(branches);
        u.StoreCodes = QString::fromLatin1(stores);
        u.AccountGroupCodes = QString::fromLatin1(groups);
        u.Locked = locked;
        db.AddUser(u);
    };
    user("ADMIN", true, "", "", "");
    user("BOSS", true, "02", "S2", "GSD");
    user("CLERK", false, " 01 , 03", "", "");
    user("STOREMAN", false, "", "S2", "");
    user("ACC", false, "", "", "GSD");
    user("GONE", true, "", "", "", true);

    Balance(db, QStringLiteral("DEB1"), QStringLiteral("01"), 1000, {{1, 100}, {12, 200}, {13, 300}, {14, 999}});
    Balance(db, QStringLiteral("DEB1"), QStringLiteral("02"), 50, {{13, 20}});
    Balance(db, QStringLiteral("CASH"), QStringLiteral("01"), 5000, {{13, 100}, {14, 777}});
    Balance(db, QStringLiteral("SALES"), QStringLiteral("01"), 0, {{12, -9000}, {13, -1000}, {14, -5555}});

    const QString b1 = QStringLiteral("01"), b2 = QStringLiteral("02");
    const QString deb = QStringLiteral("DEB1"), sales = QStringLiteral("SALES"), cash = QStringLiteral("CASH");
    Voucher(db, QStringLiteral("INV"), b1, 1, D(2025, 5, 5), {{deb, 500}, {sales, -500}});
    Voucher(db, QStringLiteral("INV"), b1, 2, D(2025, 5, 10), {{deb, 777}, {sales, -777}}, false);
    Voucher(db, QStringLiteral("INV"), b1, 3, D(2025, 5, 20), {{deb, 1200, QString(), QStringLiteral("002")}, {sales, -1200}});
    Voucher(db, QStringLiteral("CRE"), b1, 4, D(2025, 5, 20),
            {{cash, 300, QStringLiteral("cash")}, {deb, -300, QStringLiteral("Receipt from Pune") + CRLF}});
    Voucher(db, QStringLiteral("CRE"), b1, 5, D(2025, 6, 2),
            {{cash, 150, QStringLiteral("")}, {deb, -100, QStringLiteral("")}, {QStringLiteral("EXP1"), -50}});
    Voucher(db, QStringLiteral("JOV"), b2, 6, D(2025, 6, 10), {{deb, 0}, {QStringLiteral("RENT"), 0}});
    Voucher(db, QStringLiteral("INV"), b2, 7, D(2025, 6, 15), {{deb, 400}, {sales, -400}});
    Voucher(db, QStringLiteral("CPA"), b1, 8, D(2025, 6, 5), {{cash, -80, QStringLiteral("")}, {QStringLiteral("GHOST"), 80, QStringLiteral("paid")}});
    Voucher(db, QStringLiteral("INV"), b1, 9, D(2025, 7, 1), {{deb, 999}, {sales, -999}});

    const QString INV = QStringLiteral("INV"), CRE = QStringLiteral("CRE"), PUR = QStringLiteral("PUR");
    const QString L1 = QStringLiteral("001"), L2 = QStringLiteral("002");
    const QDate none(1899, 12, 30);
    OSEntry(db, {INV, 1, deb, D(2025, 5, 5), 500, 0, L1});
    OSEntry(db, {INV, 3, deb, D(2025, 5, 20), 1200, 1200, L2, b1, 30});
    OSEntry(db, {CRE, 4, deb, D(2025, 5, 20), -300, 0, L1, b1, 0, none, INV, 1, D(2025, 5, 5), 2});
    OSEntry(db, {CRE, 5, deb, D(2025, 6, 2), -100, -100, L1, b1, 0, none, QString(), 0, none, 2});
    OSEntry(db, {INV, 7, deb, D(2025, 6, 15), 400, 400, L1, b2, 10});
    OSEntry(db, {INV, 20, deb, D(2025, 4, 10), 250, 0, L1, b1, 15});
    OSEntry(db, {CRE, 21, deb, D(2025, 6, 5), -250, 0, L1, b1, 0, none, INV, 20, D(2025, 4, 10)});
    OSEntry(db, {CRE, 22, deb, D(2025, 5, 25), -75, -75, L2});
    OSEntry(db, {INV, 23, deb, D(2025, 5, 1), 999, 999, L1, b1, 0, none, QString(), 0, none, 1, false});
    OSEntry(db, {QStringLiteral("JOV"), 24, deb, D(2025, 5, 2), 0, 5, L1});
    OSEntry(db, {INV, 25, deb, D(2025, 6, 10), 300, 300, L2, b1, 10});
    const QString cred = QStringLiteral("CRED1");
    OSEntry(db, {PUR, 30, cred, D(2025, 5, 1), 600, 400, L1, b1, 10, D(2025, 4, 25)});
    OSEntry(db, {QStringLiteral("BPA"), 31, cred, D(2025, 5, 20), -200, 0, L1, b1, 0, none, PUR, 30, D(2025, 5, 1)});
    OSEntry(db, {PUR, 32, cred, D(2025, 5, 10), 100, 100, L1, b1, 10});

    const QString S = QStringLiteral("Sales"), P = QStringLiteral("Purchase");
    const QString IT1 = QStringLiteral("IT1"), IT2 = QStringLiteral("IT2"), S1 = QStringLiteral("S1"), S2 = QStringLiteral("S2");
    const QString M = QStringLiteral("M"), A = QStringLiteral("A");
    Order(db, S, b1, 1, D(2025, 6, 10), deb, L1, QStringLiteral("PO-77"),
          {{IT1, S1, 10, 4, 0, 25, 1, M, 250}, {IT1, S2, 6, 3, 2, 10, 1, A, 60}, {IT2, S1, 5, 5, 0, 20, 1, M, 100, true},
           {QStringLiteral("GHOSTITEM"), S1, 2, 2, 0, 5, 1, M, 10}});
    Order(db, S, b1, 2, D(2025, 6, 1), deb, L2, QStringLiteral("PO-78"), {{IT2, S1, 8, 0, 0, 10, 1, M, 80}, {IT2, S1, 0, 0, 0, 10, 1, M, 0}});
    Order(db, S, b1, 3, D(2025, 6, 10), deb, L1, QStringLiteral("PO-79"), {{IT1, S1, 1, 1, 0, 1, 1, M, 1}}, false);
    Schedule(db, S, b1, 1, IT1, 1, D(2025, 6, 12), 2);
    Schedule(db, S, b1, 1, IT1, 1, D(2025, 6, 25), 2);
    Schedule(db, S, b1, 1, IT1, 2, D(2025, 6, 15), 3, 2);
    Schedule(db, S, b1, 1, IT2, 3, D(2025, 6, 12), 5);
    Order(db, P, b1, 1, D(2025, 6, 10), cred, L1, QStringLiteral("R-9"), {{IT1, S1, 8, 8, 0, 50, 1, M, 400}});
    Order(db, P, b1, 2, D(2025, 6, 11), cred, L1, QStringLiteral("R-10"), {{IT2, S1, 2, 2, 0, 30, 0, M, 60}});

    Stock(db, IT1, S1, 10, {{13, 5}, {14, -2}});
    Stock(db, IT1, S2, 4, {{14, 1}});
    Stock(db, IT1, QStringLiteral("S9"), 3, {});
    const QString GIN = QStringLiteral("GIN");
    ItemLine(db, {GIN, 1, IT1, S1, D(2025, 5, 3), 6, 0, 1, 0, 0, QStringLiteral("recd")});
    ItemLine(db, {QStringLiteral("ISU"), 2, IT1, S1, D(2025, 5, 10), -3, 10, 1, -30, 0, QStringLiteral("issued") + CRLF});
    ItemLine(db, {GIN, 3, IT1, S2, D(2025, 5, 10), 2, 12, 1, 24, 0});
    ItemLine(db, {INV, 4, IT1, S1, D(2025, 5, 20), -1, 150, 1, -100, -150, QStringLiteral(" sold ")});
    ItemLine(db, {GIN, 5, IT1, S1, D(2025, 5, 25), 4, 11, 1, 44, 0});
    ItemLine(db, {GIN, 6, IT1, S2, D(2025, 5, 12), 50, 1, 1, 50, 0, QString(), false});

    // Flags are compared as SQL Server compares them: a flag stored in another case still counts.
    db.Exec(QStringLiteral("UPDATE FaAccountLedger SET Passed = 'TRUE' WHERE DocumentNo = '7'; "
                           "UPDATE FaOSReg SET Passed = 'true' WHERE DocumentNo = '3'; "
                           "UPDATE FaSalesOrderProducts SET Cancelled = 'FALSE' WHERE DocumentNo = '1' AND Sno = 2; "
                           "UPDATE FaItemLedger SET Passed = 'TRUE' WHERE DocumentNo = '5'"));
}

// ---- requests and replies -----------------------------------------------------------------------

using Members = QList<QPair<QString, QString>>;

QString Request(const QString& action, const QString& user, const Members& members,
                const QString& folder = QStringLiteral("LEDG"))
{
    platform::JsonObject request;
    request.AddString(QStringLiteral("Action"), action);
    request.AddString(QStringLiteral("MobileNo"), kMobile);
    request.AddString(QStringLiteral("UserID"), user);
    request.AddString(QStringLiteral("Password"), QStringLiteral("pw"));
    request.AddString(QStringLiteral("FolderName"), folder);
    for (const auto& m : members)
        request.AddString(m.first, m.second);
    return request.Emit();
}

Members Party(const QString& start, const QString& last, const QString& groupType, const QString& account,
              const QString& location = QString(), const QString& branch = QString(), const QString& store = QString())
{
    return {{QStringLiteral("StartDate"), start},   {QStringLiteral("LastDate"), last},
            {QStringLiteral("BranchCode"), branch},  {QStringLiteral("GroupType"), groupType},
            {QStringLiteral("AccountCode"), account}, {QStringLiteral("AccountLocationCode"), location},
            {QStringLiteral("StoreCode"), store}};
}

Members Item(const QString& start, const QString& last, const QString& groupType, const QString& item,
             const QString& store = QString())
{
    return {{QStringLiteral("StartDate"), start},
            {QStringLiteral("LastDate"), last},
            {QStringLiteral("StoreCode"), store},
            {QStringLiteral("GroupType"), groupType},
            {QStringLiteral("ItemCode"), item}};
}

// Each row of "Data" as the given members' values joined by "|".
QStringList Rows(const platform::JsonObject& reply, const QStringList& members)
{
    QStringList rows;
    const platform::JsonArray data = reply.ArrayOf(QStringLiteral("Data"));
    for (int i = 0; i < data.Size(); ++i) {
        const platform::JsonObject row = data.ObjectAt(i);
        QStringList values;
        for (const QString& m : members)
            values << row.StringOf(m);
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

const QStringList kLedgerMembers{QStringLiteral("DocTy"), QStringLiteral("DocNo"), QStringLiteral("DocDt"),
                                 QStringLiteral("LocNm"), QStringLiteral("ChqNo"), QStringLiteral("Narr"),
                                 QStringLiteral("Amt")};
const QStringList kOutstandingMembers{QStringLiteral("DocTy"), QStringLiteral("DocNo"), QStringLiteral("LocNm"),
                                      QStringLiteral("BilDt"), QStringLiteral("DueDt"), QStringLiteral("Odue"),
                                      QStringLiteral("Amt"), QStringLiteral("PndAmt")};
const QStringList kOrderMembers{QStringLiteral("DocNo"), QStringLiteral("DocDt"), QStringLiteral("LocNm"),
                                QStringLiteral("RefNo"), QStringLiteral("ItmCd"), QStringLiteral("ItmNm"),
                                QStringLiteral("DlyDt"), QStringLiteral("Qty"), QStringLiteral("Rate"),
                                QStringLiteral("Per"), QStringLiteral("Amt")};
const QStringList kStoreMembers{QStringLiteral("StoCd"), QStringLiteral("StoNm"), QStringLiteral("Qty")};
const QStringList kItemLedgerMembers{QStringLiteral("DocTy"), QStringLiteral("DocNo"), QStringLiteral("DocDt"),
                                     QStringLiteral("StoCd"), QStringLiteral("Narr"), QStringLiteral("Qty"),
                                     QStringLiteral("Rate"), QStringLiteral("Per"), QStringLiteral("Amt")};

QString Opening(const QString& amount)
{
    return QStringLiteral("|||||Opening Balance|") + amount;
}

QString Closing(const QString& amount)
{
    return QStringLiteral("|||||Closing Balance|") + amount;
}

}  // namespace

class TestLedgers : public QObject {
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

    platform::JsonObject Reply(const QString& request, bool testing = false)
    {
        const QString text = Run(request, testing);
        const platform::JsonObject reply = ParsedReply(text);
        if (reply.StringOf(QStringLiteral("Status")) != QLatin1String("1"))
            qWarning().noquote() << text;
        return reply;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        coretest::IsolateUserSettings(m_dir);
        platform::Clock::Set(QDateTime(QDate(2025, 6, 20), QTime(9, 15)));
        m_inst = std::make_unique<coretest::Installation>();
        fixtures::CompanyRow year;
        year.StartDate = QDate(2024, 4, 1);
        year.LastDate = QDate(2026, 3, 31);
        FillLedg(*m_inst->CreateCompany(QStringLiteral("LEDG"), year));

        // A company of the testing years: a DEB1 bill of 22 December 2004 at 10 days falls due on
        // 1 January 2005.
        fixtures::CompanyRow old;
        old.StartDate = QDate(2004, 4, 1);
        old.LastDate = QDate(2005, 3, 31);
        auto test2005 = m_inst->CreateCompany(QStringLiteral("OLD"), old);
        test2005->AddAccount({QStringLiteral("DEB1"), QStringLiteral("Debtor One"), QStringLiteral("GSD"), true});
        fixtures::UserRow admin;
        admin.UserID = QStringLiteral("ADMIN");
        admin.Password = QStringLiteral("pw");
        admin.IsSupervisor = true;
        test2005->AddUser(admin);
        OSEntry(*test2005, {QStringLiteral("INV"), 1, QStringLiteral("DEB1"), D(2004, 12, 22), 90, 90,
                            QStringLiteral("001"), QStringLiteral("01"), 10});

        // A company database without its Company row.
        auto rowless = m_inst->CreateCompany(QStringLiteral("NOROW"), year, false);
        rowless->AddUser(admin);

        // The same company with its registers lost: every row procedure fails.
        auto broken = m_inst->CreateCompany(QStringLiteral("BROKEN"), year);
        FillLedg(*broken);
        broken->Exec(QStringLiteral("DROP TABLE FaOSReg; DROP TABLE FaItemLedger; DROP TABLE FaAccountBalanceMaster; "
                                    "DROP TABLE FaSalesOrderSchedule"));
        m_inst->ListCompany(QStringLiteral("BROKEN"), QStringLiteral("Broken"), year.StartDate.startOfDay(), year.LastDate.startOfDay());
        m_inst->ListCompany(QStringLiteral("LEDG"), QStringLiteral("Ledgers"), year.StartDate.startOfDay(), year.LastDate.startOfDay());
        m_inst->ListCompany(QStringLiteral("OLD"), QStringLiteral("Old"), old.StartDate.startOfDay(), old.LastDate.startOfDay());
        m_inst->ListCompany(QStringLiteral("NOROW"), QStringLiteral("No row"), year.StartDate.startOfDay(), year.LastDate.startOfDay());
    }

    void cleanupTestCase()
    {
        platform::Clock::Reset();
    }

    // --- AccountLedger -------------------------------------------------------------------------

    void accountLedger_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("request");
        QTest::addColumn<QStringList>("rows");

        const QString may15 = QStringLiteral("2025-05-15"), june30 = QStringLiteral("2025-06-30");
        const QString deb = QStringLiteral("DEB1");
        const QString sd = QStringLiteral("SD");
        const QStringList debRows{
            Opening(QStringLiteral("2170")),
            QStringLiteral("CRE|4|2025-05-20||CH4|Receipt from Pune|-300"),
            QStringLiteral("INV|3|2025-05-20|Mumbai Depot|||1200"),
            QStringLiteral("CRE|5|2025-06-02||CH5||-100"),
            QStringLiteral("INV|7|2025-06-15|Pune Office|||400"),
            Closing(QStringLiteral("3370"))};
        QTest::newRow("debtor, part month at the start") << "ADMIN" << Request(QStringLiteral("AccountLedger"), "ADMIN", Party(may15, june30, sd, deb)) << debRows;
        QTest::newRow("lower-case code") << "ADMIN" << Request(QStringLiteral("AccountLedger"), "ADMIN", Party(may15, june30, QStringLiteral("sd"), deb)) << debRows;
        QTest::newRow("one branch")
            << "ADMIN" << Request(QStringLiteral("AccountLedger"), "ADMIN", Party(may15, june30, sd, deb, QString(), QStringLiteral("02")))
            << QStringList{Opening(QStringLiteral("70")), QStringLiteral("INV|7|2025-06-15|Pune Office|||400"), Closing(QStringLiteral("470"))};
        QTest::newRow("a clerk's branches, blanks around the codes")
            << "CLERK" << Request(QStringLiteral("AccountLedger"), "CLERK", Party(may15, june30, sd, deb))
            << QStringList{Opening(QStringLiteral("2100")), QStringLiteral("CRE|4|2025-05-20||CH4|Receipt from Pune|-300"),
                           QStringLiteral("INV|3|2025-05-20|Mumbai Depot|||1200"), QStringLiteral("CRE|5|2025-06-02||CH5||-100"),
                           Closing(QStringLiteral("2900"))};
        QTest::newRow("a user of the debtors' group") << "ACC" << Request(QStringLiteral("AccountLedger"), "ACC", Party(may15, june30, sd, deb)) << debRows;
        QTest::newRow("a supervisor is not held to the branch list")
            << "BOSS" << Request(QStringLiteral("AccountLedger"), "BOSS", Party(may15, june30, sd, deb)) << debRows;
        QTest::newRow("cash: the other lines of each voucher")
            << "ADMIN" << Request(QStringLiteral("AccountLedger"), "ADMIN", Party(QStringLiteral("2025-05-01"), june30, QStringLiteral("CH"), QStringLiteral("CASH")))
            << QStringList{Opening(QStringLiteral("5100")),
                           QStringLiteral("CRE|4|2025-05-20||CH4|Debtor One") + CRLF + QStringLiteral("Receipt from Pune|300"),
                           QStringLiteral("CRE|5|2025-06-02||CH5|Debtor One|100"),
                           QStringLiteral("CRE|5|2025-06-02||CH5|Expense One|50"),
                           QStringLiteral("CPA|8|2025-06-05|||paid|-80"), Closing(QStringLiteral("5470"))};
        QTest::newRow("sales start again at the second year")
            << "ADMIN" << Request(QStringLiteral("AccountLedger"), "ADMIN", Party(may15, june30, QStringLiteral("SA"), QStringLiteral("SALES")))
            << QStringList{Opening(QStringLiteral("-1500")), QStringLiteral("INV|3|2025-05-20||||-1200"),
                           QStringLiteral("INV|7|2025-06-15||||-400"), Closing(QStringLiteral("-3100"))};
        QTest::newRow("location ledger")
            << "ADMIN" << Request(QStringLiteral("AccountLedger"), "ADMIN", Party(may15, june30, sd, deb, QStringLiteral("001")))
            << QStringList{Opening(QStringLiteral("750")), QStringLiteral("CRE|4|2025-05-20||CH4|Receipt from Pune|-300"),
                           QStringLiteral("CRE|5|2025-06-02||CH5||-100"), QStringLiteral("CRE|21|2025-06-05||||-250"),
                           QStringLiteral("INV|7|2025-06-15||||400"),
                           Closing(QStringLiteral("500"))};
        QTest::newRow("location ledger of a creditor: one sign")
            << "ADMIN" << Request(QStringLiteral("AccountLedger"), "ADMIN", Party(may15, june30, QStringLiteral("SC"), QStringLiteral("CRED1"), QStringLiteral("001")))
            << QStringList{Opening(QStringLiteral("-700")), QStringLiteral("BPA|31|2025-05-20||||200"), Closing(QStringLiteral("-500"))};
        QTest::newRow("location receipts of one day")
            << "ADMIN" << Request(QStringLiteral("AccountLedger"), "ADMIN", Party(QStringLiteral("2025-05-20"), june30, QStringLiteral("RT"), deb, QStringLiteral("001")))
            << QStringList{Opening(QStringLiteral("0")), QStringLiteral("CRE|4|2025-05-20||CH4|Receipt from Pune|-300"), Closing(QStringLiteral("-300"))};
        QTest::newRow("cash with a location: the account ledger")
            << "ADMIN" << Request(QStringLiteral("AccountLedger"), "ADMIN", Party(QStringLiteral("2025-06-05"), QStringLiteral("2025-06-05"), QStringLiteral("CH"), QStringLiteral("CASH"), QStringLiteral("001")))
            << QStringList{Opening(QStringLiteral("6027")), QStringLiteral("CPA|8|2025-06-05|||paid|-80"), Closing(QStringLiteral("5947"))};
        QTest::newRow("unknown code") << "ADMIN" << Request(QStringLiteral("AccountLedger"), "ADMIN", Party(may15, june30, QStringLiteral("XX"), deb)) << QStringList{};
        QTest::newRow("empty code") << "ADMIN" << Request(QStringLiteral("AccountLedger"), "ADMIN", Party(may15, june30, QString(), deb)) << QStringList{};
        QTest::newRow("piece of a code") << "ADMIN" << Request(QStringLiteral("AccountLedger"), "ADMIN", Party(may15, june30, QStringLiteral("S"), deb)) << QStringList{};
    }

    void accountLedger()
    {
        QFETCH(QString, request);
        QFETCH(QStringList, rows);
        const platform::JsonObject reply = Reply(request);
        QCOMPARE(reply.StringOf(QStringLiteral("Status")), QStringLiteral("1"));
        QCOMPARE(Rows(reply, kLedgerMembers), rows);
    }

    void accountLedgerReplyInFull()
    {
        const QString reply = Run(Request(QStringLiteral("AccountLedger"), QStringLiteral("ADMIN"),
                                          Party(QStringLiteral("2025-06-15"), QStringLiteral("2025-06-30"), QStringLiteral("sd"),
                                                QStringLiteral("DEB1"), QString(), QStringLiteral("02"))));
        // Opening: branch 02's balance row 50 + 20, and its lines of 1 to 14 June (none that count).
        QCOMPARE(reply,
                 QStringLiteral(
                     "{\"Action\":\"AccountLedger\",\"MobileNo\":\"9876543210\",\"Status\":1,\"Message\":\"Success\","
                     "\"StDt\":\"2025-06-15\",\"LtDt\":\"2025-06-30\",\"ActCd\":\"DEB1\",\"ActNm\":\"Debtor One\","
                     "\"GrpTy\":\"sd\",\"LocCd\":\"\",\"LocNm\":\"\",\"IsLoc\":false,\"Data\":["
                     "{\"DocYr\":0,\"BrnCd\":\"\",\"DocTy\":\"\",\"SerCd\":\"\",\"DocNo\":\"\",\"DocDt\":\"\",\"LocNm\":\"\","
                     "\"ChqNo\":\"\",\"Narr\":\"Opening Balance\",\"Amt\":70},"
                     "{\"DocYr\":2025,\"BrnCd\":\"02\",\"DocTy\":\"INV\",\"SerCd\":\"A\",\"DocNo\":\"7\",\"DocDt\":\"2025-06-15\","
                     "\"LocNm\":\"Pune Office\",\"ChqNo\":\"\",\"Narr\":\"\",\"Amt\":400},"
                     "{\"DocYr\":0,\"BrnCd\":\"\",\"DocTy\":\"\",\"SerCd\":\"\",\"DocNo\":\"\",\"DocDt\":\"\",\"LocNm\":\"\","
                     "\"ChqNo\":\"\",\"Narr\":\"Closing Balance\",\"Amt\":470}]}<EOF>"));
    }

    void accountLedgerLog()
    {
        Run(Request(QStringLiteral("AccountLedger"), QStringLiteral("ADMIN"),
                    Party(QStringLiteral("2025-05-15"), QStringLiteral("2025-06-30"), QStringLiteral("SD"), QStringLiteral("DEB1"))));
        const QStringList lines = m_inst->LogLines();
        const QString m = QStringLiteral("Mobile No.") + kMobile;
        const QStringList expected{m + " Getting Account Ledger/Transaction",
                                   m + " Opening Database LEDG",
                                   m + " Checking User",
                                   m + " Getting Company Info",
                                   m + " Calculating Company Year Start Date",
                                   m + " Checking for Valid Dates.",
                                   m + " Calculating Month Dates & No.",
                                   m + " Generating Balance Fields for Account Ledger",
                                   m + " Getting Account Info",
                                   m + " Generating Main Data for JSON Text",
                                   m + " Loading Main Data to JSON Object",
                                   m + " Adding Data Array to JSON",
                                   m + " Getting AccountLedger Data",
                                   m + " Generating Balance Field for Opening Balance of Account Ledger",
                                   m + " Generating SQL Query to Get Opening Balance of Account Ledger",
                                   m + " Unioning SQL Query to get opening balance of Account Ledger",
                                   m + " Generating Query for get Opening Balance of Account Ledger",
                                   m + " Getting Records for Opening Balance of Account Ledger",
                                   m + " Adding Opening Balance of Account Ledger Data to JSON",
                                   m + " Generating SQL Query to Get Transactions for Account Ledger",
                                   m + " Getting Records for Transaction of Account Ledger",
                                   m + " Adding Transaction of Account Ledger Data to JSON",
                                   m + " Generating Query for Closing Balance of Account Ledger",
                                   m + " Getting Records for Closing Balance of Account Ledger",
                                   m + " Adding Closing Balance of Account Ledger Data to JSON",
                                   m + " Returning Account Ledger from JSON Object to Text"};
        QCOMPARE(lines.mid(lines.size() - expected.size()), expected);
    }

    // --- Outstanding ---------------------------------------------------------------------------

    void outstanding_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<bool>("testing");
        QTest::addColumn<QString>("lastDate");
        QTest::addColumn<QStringList>("rows");

        const QString start = QStringLiteral("2025-04-01"), may31 = QStringLiteral("2025-05-31");
        const QString total = QStringLiteral("|Total Amount||1899-12-30|1899-12-30|0|0|");
        const QStringList debtor{QStringLiteral("CRE|22|Mumbai Depot|1899-12-30|1899-12-30|0|-75|-75"),
                                 QStringLiteral("INV|20|Pune Office|1899-12-30|2025-04-25|56|250|250"),
                                 QStringLiteral("INV|3|Mumbai Depot|1899-12-30|2025-06-19|1|1200|1200"), total + "1375"};
        QTest::newRow("debtor at a past date") << Request(QStringLiteral("Outstanding"), "ADMIN", Party(start, may31, QStringLiteral("SD"), QStringLiteral("DEB1"))) << false << may31 << debtor;
        QTest::newRow("test mode changes nothing for a date sent") << Request(QStringLiteral("Outstanding"), "ADMIN", Party(start, may31, QStringLiteral("sd"), QStringLiteral("DEB1"))) << true << may31 << debtor;
        QTest::newRow("one location")
            << Request(QStringLiteral("Outstanding"), "ADMIN", Party(start, may31, QStringLiteral("SD"), QStringLiteral("DEB1"), QStringLiteral("001"))) << false << may31
            << QStringList{QStringLiteral("INV|20||1899-12-30|2025-04-25|56|250|250"), total + "250"};
        QTest::newRow("creditor: bill date and document date")
            << Request(QStringLiteral("Outstanding"), "ADMIN", Party(start, may31, QStringLiteral("SC"), QStringLiteral("CRED1"))) << false << may31
            << QStringList{QStringLiteral("PUR|30|Main|2025-04-25|2025-05-05|46|600|400"),
                           QStringLiteral("PUR|32|Main|1899-12-30|2025-05-20|31|100|100"), total + "500"};
        QTest::newRow("due today")
            << Request(QStringLiteral("Outstanding"), "ADMIN", Party(start, may31, QStringLiteral("TR"), QStringLiteral("DEB1"))) << false << QStringLiteral("2025-06-20")
            << QStringList{QStringLiteral("INV|25|Mumbai Depot|1899-12-30|2025-06-20|0|300|300"), total + "300"};
        QTest::newRow("empty last date is today")
            << Request(QStringLiteral("Outstanding"), "ADMIN", Party(start, QStringLiteral("1899-12-30"), QStringLiteral("SD"), QStringLiteral("CRED1"), QString(), QStringLiteral("02")))
            << false << QStringLiteral("2025-06-20") << QStringList{total + "0"};
        const qint64 overdue = QDate(2005, 1, 1).daysTo(QDate(2025, 6, 20));
        QTest::newRow("test mode: New Year's Day 2005, overdue to the real day")
            << Request(QStringLiteral("Outstanding"), "ADMIN", Party(QStringLiteral("2004-04-01"), QStringLiteral("2005-03-31"), QStringLiteral("TR"), QStringLiteral("DEB1")), QStringLiteral("OLD"))
            << true << QStringLiteral("2005-01-01")
            << QStringList{QStringLiteral("INV|1||1899-12-30|2005-01-01|%1|90|90").arg(overdue), total + "90"};
        QTest::newRow("receipts: no rows") << Request(QStringLiteral("Outstanding"), "ADMIN", Party(start, may31, QStringLiteral("RT"), QStringLiteral("DEB1"))) << false << may31 << QStringList{};
        QTest::newRow("piece of a code: no rows") << Request(QStringLiteral("Outstanding"), "ADMIN", Party(start, may31, QStringLiteral("T"), QStringLiteral("DEB1"))) << false << may31 << QStringList{};
    }

    void outstanding()
    {
        QFETCH(QString, request);
        QFETCH(bool, testing);
        QFETCH(QString, lastDate);
        QFETCH(QStringList, rows);
        const platform::JsonObject reply = Reply(request, testing);
        QCOMPARE(reply.StringOf(QStringLiteral("Status")), QStringLiteral("1"));
        QCOMPARE(reply.StringOf(QStringLiteral("LtDt")), lastDate);
        QCOMPARE(Rows(reply, kOutstandingMembers), rows);
    }

    void outstandingReplyInFull()
    {
        const QString reply = Run(Request(QStringLiteral("Outstanding"), QStringLiteral("ADMIN"),
                                          Party(QStringLiteral("2025-04-01"), QStringLiteral("2025-05-31"), QStringLiteral("tr"),
                                                QStringLiteral("DEB1"), QStringLiteral("002"))));
        QCOMPARE(reply,
                 QStringLiteral(
                     "{\"Action\":\"Outstanding\",\"MobileNo\":\"9876543210\",\"Status\":1,\"Message\":\"Success\","
                     "\"StDt\":\"2025-04-01\",\"LtDt\":\"2025-06-20\",\"ActCd\":\"DEB1\",\"ActNm\":\"Debtor One\","
                     "\"LocCd\":\"002\",\"LocNm\":\"Mumbai Depot\",\"GrpTy\":\"tr\",\"IsLoc\":false,\"Data\":["
                     "{\"DocDt\":\"2025-06-10\",\"DocYr\":2025,\"BrnCd\":\"01\",\"DocTy\":\"INV\",\"SerCd\":\"A\",\"DocNo\":\"25\","
                     "\"LocNm\":\"\",\"BilNo\":\"B25\",\"BilDt\":\"1899-12-30\",\"Crp\":10,\"DueDt\":\"2025-06-20\",\"Odue\":0,"
                     "\"Amt\":300,\"PndAmt\":300},"
                     "{\"DocDt\":\"1899-12-30\",\"DocYr\":0,\"BrnCd\":\"\",\"DocTy\":\"\",\"SerCd\":\"\",\"DocNo\":\"Total Amount\","
                     "\"LocNm\":\"\",\"BilNo\":\"\",\"BilDt\":\"1899-12-30\",\"Crp\":0,\"DueDt\":\"1899-12-30\",\"Odue\":0,"
                     "\"Amt\":0,\"PndAmt\":300}]}<EOF>"));
    }

    // --- Order ---------------------------------------------------------------------------------

    void order_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QStringList>("rows");
        const QString june10 = QStringLiteral("2025-06-10"), june30 = QStringLiteral("2025-06-30");
        const QString deb = QStringLiteral("DEB1");
        const QString pune = QStringLiteral("Pune Office");
        const auto line = [](const QString& date, const QString& loc, const QString& ref, const QString& item,
                             const QString& name, const QString& delivery, const QString& values) {
            return QStringLiteral("1|") + date + QLatin1Char('|') + loc + QLatin1Char('|') + ref + QLatin1Char('|') + item
                   + QLatin1Char('|') + name + QLatin1Char('|') + delivery + QLatin1Char('|') + values;
        };
        const auto total = [](const QString& q, const QString& a) {
            return QStringLiteral("Total|1899-12-30|||||1899-12-30|") + q + QStringLiteral("|0|1|") + a;
        };
        QTest::newRow("orders received on the start date")
            << Request(QStringLiteral("Order"), "ADMIN", Party(june10, june30, QStringLiteral("OR"), deb))
            << QStringList{line(june10, pune, "PO-77", "IT1", "Item One", june10, "10|25|1|250"),
                           line(june10, pune, "PO-77", "IT1", "Item One", june10, "6|10|1|60"),
                           line(june10, pune, "PO-77", "GHOSTITEM", "", june10, "2|5|1|10"), total("18", "320")};
        QTest::newRow("pending, both rate forms")
            << Request(QStringLiteral("Order"), "ADMIN", Party(QStringLiteral("2025-04-01"), june30, QStringLiteral("OP"), deb))
            << QStringList{line(june10, pune, "PO-77", "IT1", "Item One", june10, "4|25|1|100"),
                           line(june10, pune, "PO-77", "IT1", "Item One", june10, "3|10|1|35"),
                           line(june10, pune, "PO-77", "GHOSTITEM", "", june10, "2|5|1|10"), total("9", "145")};
        const QStringList weekly{line(june10, pune, "PO-77", "IT1", "Item One", "2025-06-12", "2|25|1|50"),
                                 line(june10, pune, "PO-77", "IT1", "Item One", "2025-06-15", "3|10|1|35"), total("5", "85")};
        QTest::newRow("weekly deliveries from the schedules")
            << Request(QStringLiteral("Order"), "ADMIN", Party(QStringLiteral("2025-06-14"), QStringLiteral("2025-06-20"), QStringLiteral("WD"), deb)) << weekly;
        QTest::newRow("lower-case weekly")
            << Request(QStringLiteral("Order"), "ADMIN", Party(QStringLiteral("2025-06-14"), QStringLiteral("2025-06-20"), QStringLiteral("wd"), deb)) << weekly;
        QTest::newRow("weekly up to today when the last date is empty")
            << Request(QStringLiteral("Order"), "ADMIN", Party(QStringLiteral("2025-06-14"), QStringLiteral("1899-12-30"), QStringLiteral("WD"), deb)) << weekly;
        QTest::newRow("one location")
            << Request(QStringLiteral("Order"), "ADMIN", Party(QStringLiteral("2025-06-01"), june30, QStringLiteral("OR"), deb, QStringLiteral("002")))
            << QStringList{QStringLiteral("2|2025-06-01||PO-78|IT2|Item Two|2025-06-01|8|10|1|80"), total("8", "80")};
        QTest::newRow("a storeman's store")
            << Request(QStringLiteral("Order"), "STOREMAN", Party(QStringLiteral("2025-04-01"), june30, QStringLiteral("OP"), deb))
            << QStringList{line(june10, pune, "PO-77", "IT1", "Item One", june10, "3|10|1|35"), total("3", "35")};
        QTest::newRow("a store that is not the line's")
            << Request(QStringLiteral("Order"), "ADMIN", Party(QStringLiteral("2025-04-01"), june30, QStringLiteral("OP"), deb, QString(), QString(), QStringLiteral("S9")))
            << QStringList{total("0", "0")};
        QTest::newRow("orders issued")
            << Request(QStringLiteral("Order"), "ADMIN", Party(june10, june30, QStringLiteral("OI"), QStringLiteral("CRED1")))
            << QStringList{line(june10, "Main", "R-9", "IT1", "Item One", june10, "8|50|1|400"), total("8", "400")};
        QTest::newRow("empty code: no rows, no schedule")
            << Request(QStringLiteral("Order"), "ADMIN", Party(june10, june30, QString(), deb)) << QStringList{};
        QTest::newRow("piece of a code: no rows")
            << Request(QStringLiteral("Order"), "ADMIN", Party(june10, june30, QStringLiteral("W"), deb)) << QStringList{};
    }

    void order()
    {
        QFETCH(QString, request);
        QFETCH(QStringList, rows);
        const platform::JsonObject reply = Reply(request);
        QCOMPARE(reply.StringOf(QStringLiteral("Status")), QStringLiteral("1"));
        QCOMPARE(Rows(reply, kOrderMembers), rows);
    }

    void orderReplyInFull()
    {
        const QString reply = Run(Request(QStringLiteral("Order"), QStringLiteral("ADMIN"),
                                          Party(QStringLiteral("2025-06-10"), QStringLiteral("2025-06-30"), QStringLiteral("OI"),
                                                QStringLiteral("CRED1"), QStringLiteral("001"))));
        QCOMPARE(reply,
                 QStringLiteral(
                     "{\"Action\":\"Order\",\"MobileNo\":\"9876543210\",\"Status\":1,\"Message\":\"Success\","
                     "\"StDt\":\"2025-06-10\",\"LtDt\":\"2025-06-30\",\"ActCd\":\"CRED1\",\"ActNm\":\"Creditor One\","
                     "\"LocCd\":\"001\",\"LocNm\":\"Main\",\"GrpTy\":\"OI\",\"IsLoc\":false,\"Data\":["
                     "{\"DocYr\":2025,\"BrnCd\":\"01\",\"DocTy\":\"PUO\",\"SerCd\":\"A\",\"DocNo\":\"1\",\"DocDt\":\"2025-06-10\","
                     "\"LocNm\":\"\",\"RefNo\":\"R-9\",\"ItmCd\":\"IT1\",\"ItmNm\":\"Item One\",\"DlyDt\":\"2025-06-10\","
                     "\"Qty\":8,\"Rate\":50,\"Per\":1,\"Amt\":400},"
                     "{\"DocYr\":0,\"BrnCd\":\"\",\"DocTy\":\"\",\"SerCd\":\"\",\"DocNo\":\"Total\",\"DocDt\":\"1899-12-30\","
                     "\"LocNm\":\"\",\"RefNo\":\"\",\"ItmCd\":\"\",\"ItmNm\":\"\",\"DlyDt\":\"1899-12-30\","
                     "\"Qty\":8,\"Rate\":0,\"Per\":1,\"Amt\":400}]}<EOF>"));
    }

    // --- ItemStoreSummary and ItemLedger -------------------------------------------------------

    void itemStoreSummary_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QStringList>("rows");
        const QString action = QStringLiteral("ItemStoreSummary"), it1 = QStringLiteral("IT1");
        QTest::newRow("stock with a part month")
            << Request(action, "ADMIN", Item(QStringLiteral("2025-05-01"), QStringLiteral("2025-05-20"), QStringLiteral("ST"), it1))
            << QStringList{"S9||3", "S1|Main Store|17", "S2|Second Store|6"};
        QTest::newRow("stock at a month end")
            << Request(action, "ADMIN", Item(QStringLiteral("2025-05-10"), QStringLiteral("2025-05-31"), QStringLiteral("st"), it1))
            << QStringList{"S9||3", "S1|Main Store|13", "S2|Second Store|5"};
        QTest::newRow("a storeman's store")
            << Request(action, "STOREMAN", Item(QStringLiteral("2025-05-01"), QStringLiteral("2025-05-20"), QStringLiteral("ST"), it1))
            << QStringList{"S2|Second Store|6"};
        QTest::newRow("one store") << Request(action, "ADMIN", Item(QStringLiteral("2025-05-01"), QStringLiteral("2025-05-20"), QStringLiteral("ST"), it1, QStringLiteral("S1")))
                                   << QStringList{"S1|Main Store|17"};
        QTest::newRow("receipts of the start date")
            << Request(action, "ADMIN", Item(QStringLiteral("2025-05-10"), QStringLiteral("2025-05-31"), QStringLiteral("RQ"), it1))
            << QStringList{"S2|Second Store|2"};
        QTest::newRow("issues of the start date")
            << Request(action, "ADMIN", Item(QStringLiteral("2025-05-10"), QStringLiteral("2025-05-31"), QStringLiteral("iq"), it1))
            << QStringList{"S1|Main Store|3"};
        QTest::newRow("empty code") << Request(action, "ADMIN", Item(QStringLiteral("2025-05-10"), QStringLiteral("2025-05-31"), QString(), it1)) << QStringList{};
        QTest::newRow("unknown code") << Request(action, "ADMIN", Item(QStringLiteral("2025-05-10"), QStringLiteral("2025-05-31"), QStringLiteral("XX"), it1)) << QStringList{};
    }

    void itemStoreSummary()
    {
        QFETCH(QString, request);
        QFETCH(QStringList, rows);
        const platform::JsonObject reply = Reply(request);
        QCOMPARE(reply.StringOf(QStringLiteral("Status")), QStringLiteral("1"));
        QCOMPARE(Rows(reply, kStoreMembers), rows);
    }

    void itemStoreSummaryReplyInFull()
    {
        const QString reply = Run(Request(QStringLiteral("ItemStoreSummary"), QStringLiteral("ADMIN"),
                                          Item(QStringLiteral("2025-05-10"), QStringLiteral("2025-05-31"), QStringLiteral("rq"),
                                               QStringLiteral("IT1"))));
        QCOMPARE(reply,
                 QStringLiteral("{\"Action\":\"ItemStoreSummary\",\"MobileNo\":\"9876543210\",\"Status\":1,\"Message\":\"Success\","
                                "\"StDt\":\"2025-05-10\",\"LtDt\":\"2025-05-31\",\"ItmCd\":\"IT1\",\"ItmNm\":\"Item One\","
                                "\"Unit\":\"NOS\",\"GrpTy\":\"rq\",\"Data\":[{\"StoCd\":\"S2\",\"StoNm\":\"Second Store\",\"Qty\":2}]}<EOF>"));
    }

    void itemLedger_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QStringList>("rows");
        const QString action = QStringLiteral("ItemLedger"), it1 = QStringLiteral("IT1");
        const QString may5 = QStringLiteral("2025-05-05"), may25 = QStringLiteral("2025-05-25");
        const QString open = QStringLiteral("||1899-12-30||Opening Balance|%1|0|1|0");
        const QString close = QStringLiteral("||1899-12-30||Closing Balance|%1|0|1|0");
        QTest::newRow("stock ledger")
            << Request(action, "ADMIN", Item(may5, may25, QStringLiteral("ST"), it1))
            << QStringList{open.arg(28), "GIN|3|2025-05-10|S2||2|12|1|24", "ISU|2|2025-05-10|S1|issued|-3|10|1|30",
                           "INV|4|2025-05-20|S1|sold|-1|150|1|150", "GIN|5|2025-05-25|S1||4|11|1|44", close.arg(30)};
        QTest::newRow("a storeman's store")
            << Request(action, "STOREMAN", Item(may5, may25, QStringLiteral("ST"), it1))
            << QStringList{open.arg(4), "GIN|3|2025-05-10|S2||2|12|1|24", close.arg(6)};
        QTest::newRow("receipts")
            << Request(action, "ADMIN", Item(may5, may25, QStringLiteral("RQ"), it1))
            << QStringList{open.arg(0), "GIN|3|2025-05-10|S2||2|12|1|24", "GIN|5|2025-05-25|S1||4|11|1|44", close.arg(6)};
        QTest::newRow("issues, lower case")
            << Request(action, "ADMIN", Item(may5, may25, QStringLiteral("iq"), it1))
            << QStringList{open.arg(0), "ISU|2|2025-05-10|S1|issued|3|10|1|30", "INV|4|2025-05-20|S1|sold|1|150|1|150", close.arg(4)};
        QTest::newRow("no lines: opening and closing alike")
            << Request(action, "ADMIN", Item(QStringLiteral("2025-06-01"), QStringLiteral("2025-06-30"), QStringLiteral("ST"), it1))
            << QStringList{open.arg(21), close.arg(21)};
        QTest::newRow("empty code") << Request(action, "ADMIN", Item(may5, may25, QString(), it1)) << QStringList{};
    }

    void itemLedger()
    {
        QFETCH(QString, request);
        QFETCH(QStringList, rows);
        const platform::JsonObject reply = Reply(request);
        QCOMPARE(reply.StringOf(QStringLiteral("Status")), QStringLiteral("1"));
        QCOMPARE(Rows(reply, kItemLedgerMembers), rows);
    }

    void itemLedgerReplyInFull()
    {
        const QString reply = Run(Request(QStringLiteral("ItemLedger"), QStringLiteral("STOREMAN"),
                                          Item(QStringLiteral("2025-05-05"), QStringLiteral("2025-05-25"), QStringLiteral("RQ"),
                                               QStringLiteral("IT1"))));
        const QString balance = QStringLiteral("{\"DocYr\":0,\"BrnCd\":\"\",\"DocTy\":\"\",\"SerCd\":\"\",\"DocNo\":\"\","
                                               "\"DocDt\":\"1899-12-30\",\"StoCd\":\"\",\"Narr\":\"%1\",\"Qty\":%2,\"Rate\":0,"
                                               "\"Per\":1,\"Amt\":0}");
        QCOMPARE(reply,
                 QStringLiteral("{\"Action\":\"ItemLedger\",\"MobileNo\":\"9876543210\",\"Status\":1,\"Message\":\"Success\","
                                "\"StDt\":\"2025-05-05\",\"LtDt\":\"2025-05-25\",\"ItmCd\":\"IT1\",\"ItmNm\":\"Item One\","
                                "\"Unit\":\"NOS\",\"GrpTy\":\"RQ\",\"StoCd\":\"\",\"Data\":[")
                     + balance.arg(QStringLiteral("Opening Balance")).arg(0)
                     + QStringLiteral(",{\"DocYr\":2025,\"BrnCd\":\"01\",\"DocTy\":\"GIN\",\"SerCd\":\"A\",\"DocNo\":\"3\","
                                      "\"DocDt\":\"2025-05-10\",\"StoCd\":\"S2\",\"Narr\":\"\",\"Qty\":2,\"Rate\":12,"
                                      "\"Per\":1,\"Amt\":24},")
                     + balance.arg(QStringLiteral("Closing Balance")).arg(2) + QStringLiteral("]}<EOF>"));
    }

    void itemLedgerReplyHead()
    {
        const platform::JsonObject reply = Reply(Request(QStringLiteral("ItemLedger"), QStringLiteral("ADMIN"),
                                                         Item(QStringLiteral("2025-06-01"), QStringLiteral("2025-06-30"),
                                                              QStringLiteral("XX"), QStringLiteral("IT1"), QStringLiteral("S1"))));
        QCOMPARE(reply.Emit(), QStringLiteral("{\"Action\":\"ItemLedger\",\"MobileNo\":\"9876543210\",\"Status\":1,"
                                              "\"Message\":\"Success\",\"StDt\":\"2025-06-01\",\"LtDt\":\"2025-06-30\","
                                              "\"ItmCd\":\"IT1\",\"ItmNm\":\"Item One\",\"Unit\":\"NOS\",\"GrpTy\":\"XX\","
                                              "\"StoCd\":\"S1\",\"Data\":[]}"));
    }

    // --- failures ------------------------------------------------------------------------------

    void failures_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("message");  // "*" at the end: the rest is the database's own words
        const QString may15 = QStringLiteral("2025-05-15"), june30 = QStringLiteral("2025-06-30");
        const QString ledger = QStringLiteral("Error while getting Account Ledger.") + CRLF;
        const QString outstanding = QStringLiteral("Error while getting Outstanding/Todays Receivable/Payable.") + CRLF;
        QTest::newRow("locked user")
            << Request(QStringLiteral("AccountLedger"), "GONE", Party(may15, june30, QStringLiteral("SD"), QStringLiteral("DEB1")))
            << ledger + "User doesn't exist or Locked." + CRLF;
        QTest::newRow("no company row")
            << Request(QStringLiteral("Outstanding"), "ADMIN", Party(may15, june30, QStringLiteral("SD"), QStringLiteral("DEB1")), QStringLiteral("NOROW"))
            << outstanding + "Unable to Get company Info." + CRLF + "*";
        QTest::newRow("start before the company")
            << Request(QStringLiteral("AccountLedger"), "ADMIN", Party(QStringLiteral("2024-03-31"), june30, QStringLiteral("SD"), QStringLiteral("DEB1")))
            << ledger + "Start Date is before Company Start Date.";
        QTest::newRow("sales across two years, lower case")
            << Request(QStringLiteral("AccountLedger"), "ADMIN", Party(QStringLiteral("2025-03-01"), QStringLiteral("2025-04-30"), QStringLiteral("sa"), QStringLiteral("SALES")))
            << ledger + "Start & Last date must be from same financial year.";
        QTest::newRow("unknown account")
            << Request(QStringLiteral("AccountLedger"), "ACC", Party(may15, june30, QStringLiteral("SD"), QStringLiteral("NOPE")))
            << ledger + "Unable to Get Account Info." + CRLF + "*";
        QTest::newRow("account outside the user's groups")
            << Request(QStringLiteral("AccountLedger"), "ACC", Party(may15, june30, QStringLiteral("CH"), QStringLiteral("CASH")))
            << ledger + "User doesn't have right to access this option." + CRLF;
        QTest::newRow("outstanding outside the user's groups")
            << Request(QStringLiteral("Outstanding"), "ACC", Party(may15, june30, QStringLiteral("SC"), QStringLiteral("CRED1")))
            << outstanding + "User doesn't have right to access this option." + CRLF;
        QTest::newRow("order outside the user's groups")
            << Request(QStringLiteral("Order"), "ACC", Party(may15, june30, QStringLiteral("OI"), QStringLiteral("CRED1")))
            << QStringLiteral("Error while getting Order Issued") + CRLF + "User doesn't have right to access this option." + CRLF;
        QTest::newRow("a date in another form")
            << Request(QStringLiteral("Order"), "ADMIN", Party(QStringLiteral("06/10/2025"), june30, QStringLiteral("wd"), QStringLiteral("DEB1")))
            << QStringLiteral("Error while getting Weekly SO Delivery") + CRLF + CRLF + "Error 13-Type mismatch";
        QTest::newRow("no date")
            << Request(QStringLiteral("ItemLedger"), "ADMIN", Item(QString(), june30, QStringLiteral("ST"), QStringLiteral("IT1")))
            << QStringLiteral("Error while getting Item Ledger") + CRLF + CRLF + "Error 13-Type mismatch";
        QTest::newRow("unknown item")
            << Request(QStringLiteral("ItemStoreSummary"), "ADMIN", Item(may15, june30, QStringLiteral("ST"), QStringLiteral("NOPE")))
            << QStringLiteral("Error while getting Stock Balance Item Store Summary") + CRLF + "Unable to Get Item Info." + CRLF + "*";
        QTest::newRow("today outside a past company year, test mode off")
            << Request(QStringLiteral("Outstanding"), "ADMIN", Party(QStringLiteral("2004-04-01"), QStringLiteral("2005-03-31"), QStringLiteral("TR"), QStringLiteral("DEB1")), QStringLiteral("OLD"))
            << outstanding + "Last Date is After Company Last Date.";
        const QString broken = QStringLiteral("BROKEN");
        QTest::newRow("account ledger data")
            << Request(QStringLiteral("AccountLedger"), "ADMIN", Party(may15, june30, QStringLiteral("SD"), QStringLiteral("DEB1")), broken)
            << ledger + "Unable to get Account Ledger Data." + CRLF + "*";
        QTest::newRow("location ledger data")
            << Request(QStringLiteral("AccountLedger"), "ADMIN", Party(may15, june30, QStringLiteral("SD"), QStringLiteral("DEB1"), QStringLiteral("001")), broken)
            << ledger + "Unable to get Account Location Ledger Data." + CRLF + "*";
        QTest::newRow("outstanding data")
            << Request(QStringLiteral("Outstanding"), "ADMIN", Party(may15, june30, QStringLiteral("SD"), QStringLiteral("DEB1")), broken)
            << outstanding + "Unable to get Outstanding/Todays Receivable/Payable Data." + CRLF + "*";
        QTest::newRow("weekly delivery data")
            << Request(QStringLiteral("Order"), "ADMIN", Party(may15, june30, QStringLiteral("WD"), QStringLiteral("DEB1")), broken)
            << QStringLiteral("Error while getting Weekly SO Delivery") + CRLF + "Unable to get Weekly SO Delivery Data." + CRLF + "*";
        QTest::newRow("store summary data")
            << Request(QStringLiteral("ItemStoreSummary"), "ADMIN", Item(may15, june30, QStringLiteral("RQ"), QStringLiteral("IT1")), broken)
            << QStringLiteral("Error while getting Todays Receipt Item Store Summary") + CRLF
                   + "Unable to get Todays Receipt Item Store Summary Data." + CRLF + "*";
        QTest::newRow("item ledger data")
            << Request(QStringLiteral("ItemLedger"), "ADMIN", Item(may15, june30, QStringLiteral("ST"), QStringLiteral("IT1")), broken)
            << QStringLiteral("Error while getting Item Ledger") + CRLF + "Unable to get Item Ledger Data." + CRLF + "*";
        QTest::newRow("a rate per nothing")
            << Request(QStringLiteral("Order"), "ADMIN", Party(may15, june30, QStringLiteral("PP"), QStringLiteral("CRED1")))
            << QStringLiteral("Error while getting PO Pending") + CRLF + "Unable to get PO Pending Data." + CRLF + "*Divide by zero error encountered.";
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
        const qsizetype star = message.indexOf(QLatin1Char('*'));
        if (star < 0) {
            QCOMPARE(got, message);
        } else {
            QVERIFY2(got.startsWith(message.left(star)), qPrintable(got));
            QVERIFY2(got.endsWith(message.mid(star + 1)), qPrintable(got));
            QVERIFY2(got.size() > message.size() - 1, qPrintable(got));
        }
    }

    // A value that holds an "@" placeholder or a quote stays a value: no store has that code.
    void valuesStayValues()
    {
        const platform::JsonObject reply = Reply(Request(
            QStringLiteral("Order"), QStringLiteral("ADMIN"),
            Party(QStringLiteral("2025-06-10"), QStringLiteral("2025-06-30"), QStringLiteral("OR"), QStringLiteral("DEB1"),
                  QString(), QString(), QStringLiteral("@pQuantity' OR '1'='1"))));
        QCOMPARE(reply.StringOf(QStringLiteral("Status")), QStringLiteral("1"));
        QCOMPARE(Rows(reply, kOrderMembers), QStringList{QStringLiteral("Total|1899-12-30|||||1899-12-30|0|0|1|0")});
    }
};

QTEST_GUILESS_MAIN(TestLedgers)
#include "test_ledgers.moc"
