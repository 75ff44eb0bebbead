#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// The demo company: a small trading company (building hardware, electricals and paints) with two
// branches and three stores, trading over one company year from 1 April up to today. Its data
// is made by a fixed sequence of pseudo-random choices, so the same day always gives the same
// database; and it is made to be consistent as the product keeps it: every voucher balances,
// the month totals of the balance masters are the sums of the passed ledger lines, the stock
// master's month totals are the sums of the item ledger, stock never goes below zero, a bill's
// pending amount is its amount less the settlements that name it, and an order line's pending
// quantity is the sum of its schedule's.
namespace demo {

inline const QString kCompanyName = QStringLiteral("Calder Demo Traders");

struct DemoUser {
    QString UserID;
    QString Password;
    QString Rights;  // what the user may see, in words
};

// What was made, for the command's summary.
struct DemoSummary {
    QString DatabaseName;
    QString FilePath;
    QString CompanyName;
    QDate StartDate;
    QDate LastDate;
    QList<DemoUser> Users;
    int Branches = 0;
    int Stores = 0;
    int Accounts = 0;
    int Items = 0;
    int Vouchers = 0;
    int LedgerLines = 0;
    int SalesOrders = 0;
    int PurchaseOrders = 0;
    int StockMovements = 0;
    int OpenBills = 0;
};

// The first day of the company year that holds `today`: the 1 April on or before it.
QDate YearStartFor(const QDate& today);
// The company's database name for that year ("DEMO" and the year it starts in).
QString DatabaseNameFor(const QDate& today);

// Creates <databaseFolder>/<DatabaseNameFor(today)>.sqlite (and the folder when missing) with
// the product's schema and the demo data of the year up to `today`. The file is built under
// another name and moved into place when complete, so a failure leaves no half-made company;
// an existing file of that name is never replaced. Throws std::runtime_error.
DemoSummary CreateDemoCompany(const QString& databaseFolder, const QDate& today);

}  // namespace demo
