#pragma once

// The company "LEDG" of the ledgers family's tests, whose figures are worked out by hand in
// test_ledgers.cpp, and the small builders of its rows.

#include "Fixtures.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

namespace ledgertest {

using fixtures::CompanyDatabase;

inline QDate D(int y, int m, int d)
{
    return QDate(y, m, d);
}

struct Line {
    QString account;
    double amount;
    QString narration = QString();  // a null QString is stored as NULL
    QString location = QStringLiteral("001");
    QString accountBranch = QString();  // the voucher's branch when empty
};

// A voucher of the account ledger; its lines get Sno and AccountSno 1, 2, ...
inline void Voucher(CompanyDatabase& db, const QString& type, const QString& branch, int no, const QDate& date,
                    const QList<Line>& lines, bool passed = true)
{
    int sno = 0;
    for (const Line& l : lines) {
        ++sno;
        db.Insert(QStringLiteral("FaAccountLedger"),
                  {QStringLiteral("DocumentYear"), 2025, QStringLiteral("BranchCode"), branch, QStringLiteral("DocumentType"),
                   type, QStringLiteral("SeriesCode"), QStringLiteral("A"), QStringLiteral("DocumentNo"), QString::number(no),
                   QStringLiteral("Sno"), sno, QStringLiteral("AccountSno"), sno, QStringLiteral("AccountCode"), l.account,
                   QStringLiteral("AccountBranchCode"), l.accountBranch.isEmpty() ? branch : l.accountBranch,
                   QStringLiteral("AccountLocationCode"), l.location, QStringLiteral("DocumentDate"), date,
                   QStringLiteral("ChequeNo"), type == QLatin1String("CRE") ? QStringLiteral("CH%1").arg(no) : QString(),
                   QStringLiteral("Narration"), l.narration.isNull() ? QVariant() : QVariant(l.narration),
                   QStringLiteral("Amount"), l.amount, QStringLiteral("Passed"), passed});
    }
}

inline void Balance(CompanyDatabase& db, const QString& account, const QString& branch, double opening,
                    const QList<QPair<int, double>>& months)
{
    QVariantList pairs{QStringLiteral("AccountCode"), account, QStringLiteral("BranchCode"), branch,
                       QStringLiteral("OpeningBalance"), opening};
    for (const auto& m : months)
        pairs << QStringLiteral("Month%1Total").arg(m.first) << m.second;
    db.Insert(QStringLiteral("FaAccountBalanceMaster"), pairs);
}

struct Entry {
    QString type;
    int no;
    QString account;
    QDate date;
    double amount;
    double pending;
    QString location = QStringLiteral("001");
    QString accountBranch = QStringLiteral("01");
    int creditPeriod = 0;
    QDate billDate = QDate(1899, 12, 30);
    QString rType = QString();  // the bill a settlement adjusts
    int rNo = 0;
    QDate rDate = QDate(1899, 12, 30);
    int accountSno = 1;
    bool passed = true;
};

inline void OSEntry(CompanyDatabase& db, const Entry& e)
{
    db.Insert(QStringLiteral("FaOSReg"),
              {QStringLiteral("DocumentYear"), 2025, QStringLiteral("BranchCode"), QStringLiteral("01"),
               QStringLiteral("DocumentType"), e.type, QStringLiteral("SeriesCode"), QStringLiteral("A"),
               QStringLiteral("DocumentNo"), QString::number(e.no), QStringLiteral("Sno"), 1, QStringLiteral("AccountCode"),
               e.account, QStringLiteral("AccountSno"), e.accountSno, QStringLiteral("AccountLocationCode"), e.location,
               QStringLiteral("AccountBranchCode"), e.accountBranch, QStringLiteral("DocumentDate"), e.date,
               QStringLiteral("BillNo"), QStringLiteral("B%1").arg(e.no), QStringLiteral("BillDate"), e.billDate,
               QStringLiteral("CreditPeriod"), e.creditPeriod, QStringLiteral("Amount"), e.amount,
               QStringLiteral("PendingAmount"), e.pending, QStringLiteral("Passed"), e.passed,
               QStringLiteral("RDocumentYear"), e.rType.isEmpty() ? 0 : 2025, QStringLiteral("RBranchCode"),
               e.rType.isEmpty() ? QString() : QStringLiteral("01"), QStringLiteral("RDocumentType"), e.rType,
               QStringLiteral("RSeriesCode"), e.rType.isEmpty() ? QString() : QStringLiteral("A"),
               QStringLiteral("RDocumentNo"), e.rType.isEmpty() ? QString() : QString::number(e.rNo),
               QStringLiteral("RDocumentDate"), e.rDate});
}

struct OrderLine {
    QString item;
    QString store;
    double quantity;
    double pending;
    double pending1;
    double rate;
    double per;
    QString rateOn;
    double amount;
    bool cancelled = false;
};

// An order of the sales ("Sales") or purchase ("Purchase") side; its lines get Sno and ItemSno 1, 2, ...
inline void Order(CompanyDatabase& db, const QString& side, const QString& branch, int no, const QDate& date,
                  const QString& account, const QString& location, const QString& ref, const QList<OrderLine>& lines,
                  bool passed = true)
{
    const QString type = side == QLatin1String("Sales") ? QStringLiteral("SAO") : QStringLiteral("PUO");
    const QVariantList key{QStringLiteral("DocumentYear"), 2025, QStringLiteral("BranchCode"), branch,
                           QStringLiteral("DocumentType"), type, QStringLiteral("SeriesCode"), QStringLiteral("A"),
                           QStringLiteral("DocumentNo"), QString::number(no)};
    db.Insert(QStringLiteral("Fa") + side + QStringLiteral("OrderRegister"),
              key + QVariantList{QStringLiteral("DocumentDate"), date, QStringLiteral("AccountCode"), account,
                                 QStringLiteral("AccountLocationCode"), location,
                                 side == QLatin1String("Sales") ? QStringLiteral("OrderNo") : QStringLiteral("RefNo"), ref,
                                 QStringLiteral("Passed"), passed});
    int sno = 0;
    for (const OrderLine& l : lines) {
        ++sno;
        db.Insert(QStringLiteral("Fa") + side + QStringLiteral("OrderProducts"),
                  key + QVariantList{QStringLiteral("Sno"), sno, QStringLiteral("ItemSno"), sno, QStringLiteral("ItemCode"),
                                     l.item, QStringLiteral("StoreCode"), l.store, QStringLiteral("Quantity"), l.quantity,
                                     QStringLiteral("PendingQuantity"), l.pending, QStringLiteral("PendingQuantity1"),
                                     l.pending1, QStringLiteral("Rate"), l.rate, QStringLiteral("Per"), l.per,
                                     QStringLiteral("RateOn"), l.rateOn, QStringLiteral("Amount"), l.amount,
                                     QStringLiteral("Cancelled"), l.cancelled});
    }
}

inline void Schedule(CompanyDatabase& db, const QString& side, const QString& branch, int no, const QString& item,
                     int itemSno, const QDate& delivery, double pending, double pending1 = 0)
{
    const QString type = side == QLatin1String("Sales") ? QStringLiteral("SAO") : QStringLiteral("PUO");
    db.Insert(QStringLiteral("Fa") + side + QStringLiteral("OrderSchedule"),
              {QStringLiteral("DocumentYear"), 2025, QStringLiteral("BranchCode"), branch, QStringLiteral("DocumentType"), type,
               QStringLiteral("SeriesCode"), QStringLiteral("A"), QStringLiteral("DocumentNo"), QString::number(no),
               QStringLiteral("ItemCode"), item, QStringLiteral("ItemSno"), itemSno, QStringLiteral("DeliveryDate"), delivery,
               QStringLiteral("Quantity"), pending + pending1, QStringLiteral("PendingQuantity"), pending,
               QStringLiteral("PendingQuantity1"), pending1});
}

inline void Stock(CompanyDatabase& db, const QString& item, const QString& store, double opening,
                  const QList<QPair<int, double>>& months)
{
    QVariantList pairs{QStringLiteral("ItemCode"), item, QStringLiteral("StoreCode"), store,
                       QStringLiteral("OpeningQuantity"), opening};
    for (const auto& m : months)
        pairs << QStringLiteral("Month%1TotalQuantity").arg(m.first) << m.second;
    db.Insert(QStringLiteral("FaStockMaster"), pairs);
}

struct ItemMove {
    QString type;
    int no;
    QString item;
    QString store;
    QDate date;
    double quantity;
    double rate = 0;
    double per = 1;
    double amount = 0;
    double entryAmount = 0;
    QString narration = QString();
    bool passed = true;
};

inline void ItemLine(CompanyDatabase& db, const ItemMove& m)
{
    db.Insert(QStringLiteral("FaItemLedger"),
              {QStringLiteral("DocumentYear"), 2025, QStringLiteral("BranchCode"), QStringLiteral("01"),
               QStringLiteral("DocumentType"), m.type, QStringLiteral("SeriesCode"), QStringLiteral("A"),
               QStringLiteral("DocumentNo"), QString::number(m.no), QStringLiteral("Sno"), 1, QStringLiteral("ItemSno"), 1,
               QStringLiteral("ItemCode"), m.item, QStringLiteral("StoreCode"), m.store, QStringLiteral("DocumentDate"),
               m.date, QStringLiteral("Quantity"), m.quantity, QStringLiteral("EntryRate"), m.rate,
               QStringLiteral("EntryPer"), m.per, QStringLiteral("Amount"), m.amount, QStringLiteral("EntryAmount"),
               m.entryAmount, QStringLiteral("Narration"), m.narration.isNull() ? QVariant() : QVariant(m.narration),
               QStringLiteral("Passed"), m.passed});
}

}  // namespace ledgertest
