// The documents of the demo company: the registers and product lines of the sales invoices, cash
// memos and purchase bills that the year's trade posted, with their GST lines; the registers of
// the store transfers; the figures of the orders; the calculation of the sales and purchase
// documents; and one production entry, one stock excess and one scrap of today, posted to the
// item ledger and the stock master like every other movement.

#include "DemoDocuments.h"

#include <QStringList>
#include <QVariant>

#include <sqlite3.h>

#include <cmath>
#include <stdexcept>

namespace demo {

namespace {

[[noreturn]] void Fail(const QString& what)
{
    throw std::runtime_error(what.toStdString());
}

void Exec(sqlite3* db, const QString& sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message ? message : "error");
        sqlite3_free(message);
        Fail(text + QStringLiteral(" in: ") + sql.left(200));
    }
}

// The rows of a query, each as its column texts.
QList<QStringList> Rows(sqlite3* db, const QString& sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        Fail(QString::fromUtf8(sqlite3_errmsg(db)) + QStringLiteral(" in: ") + sql.left(200));
    QList<QStringList> rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        QStringList row;
        for (int i = 0; i < sqlite3_column_count(statement); ++i)
            row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, i)));
        rows << row;
    }
    sqlite3_finalize(statement);
    return rows;
}

QString Quoted(const QString& text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

const char* const kKey = "DocumentYear, BranchCode, DocumentType, SeriesCode, DocumentNo";

// "<a>.DocumentYear = <b>.DocumentYear AND ..." for the five key columns.
QString SameKey(const QString& a, const QString& b)
{
    QStringList parts;
    for (const QString& column : QString::fromLatin1(kKey).split(QStringLiteral(", ")))
        parts << a + QLatin1Char('.') + column + QStringLiteral(" = ") + b + QLatin1Char('.') + column;
    return parts.join(QStringLiteral(" AND "));
}

// The register and product lines of the trading documents of `types` posted to the ledgers. A
// sale's first ledger line is the party (or the cash), its second the sales account, then its
// taxes; a purchase's the same with the signs turned. A document is within the state when it has
// a state-tax line.
void TradingDocuments(sqlite3* db, const QString& registerTable, const QString& productsTable, const QString& types, bool sale,
                      const QString& central, const QString& state, const QString& integrated)
{
    const QString sign = sale ? QStringLiteral("-") : QString();
    auto taxSum = [&](const QString& accounts) {
        return QStringLiteral("IFNULL((SELECT ") + sign + QStringLiteral("SUM(T.Amount) FROM FaAccountLedger AS T WHERE ") + SameKey(QStringLiteral("T"), QStringLiteral("P"))
               + QStringLiteral(" AND T.AccountCode IN (") + accounts + QStringLiteral(")), 0)");
    };
    const QString local = QStringLiteral("EXISTS (SELECT 1 FROM FaAccountLedger AS T WHERE ") + SameKey(QStringLiteral("T"), QStringLiteral("P"))
                          + QStringLiteral(" AND T.AccountCode = ") + Quoted(state) + QLatin1Char(')');
    Exec(db, QStringLiteral("INSERT INTO ") + registerTable + QStringLiteral(" (") + QString::fromLatin1(kKey)
                 + QStringLiteral(", DocumentDate, AccountCode, AccountLocationCode, BillNo, BillDate, CreditPeriod, SalesmanCode, AgentCode, "
                                  "GSTSupplyType, GSTPlaceOfSupply, Narration, GrossAmount, GSTAmount, SGSTAmount, NetAmount, Passed) "
                                  "SELECT P.DocumentYear, P.BranchCode, P.DocumentType, P.SeriesCode, P.DocumentNo, P.DocumentDate, "
                                  "P.AccountCode, P.AccountLocationCode, IFNULL(B.BillNo, ''), IFNULL(B.BillDate, P.DocumentDate), "
                                  "IFNULL(B.CreditPeriod, 0), IFNULL(A.SalesmanCode, ''), IFNULL(A.AgentCode, ''), CASE WHEN ")
                 + local + QStringLiteral(" THEN 'IS' ELSE 'OS' END, IFNULL(A.StateCode, ''), P.Narration, ") + sign
                 + QStringLiteral("S.Amount, ") + taxSum(Quoted(central) + QStringLiteral(", ") + Quoted(integrated)) + QStringLiteral(", ")
                 + taxSum(Quoted(state)) + QStringLiteral(", ") + (sale ? QString() : QStringLiteral("-"))
                 + QStringLiteral("P.Amount, P.Passed FROM FaAccountLedger AS P "
                                  "JOIN FaAccountLedger AS S ON ")
                 + SameKey(QStringLiteral("S"), QStringLiteral("P"))
                 + QStringLiteral(" AND S.Sno = 2 LEFT JOIN FaOSReg AS B ON ") + SameKey(QStringLiteral("B"), QStringLiteral("P"))
                 + QStringLiteral(" AND B.Sno = 1 LEFT JOIN FaAccountAddressMaster AS A ON P.AccountCode = A.AccountCode AND "
                                  "P.AccountLocationCode = A.AccountLocationCode WHERE P.DocumentType IN (")
                 + types + QStringLiteral(") AND P.Sno = 1"));

    // Each item ledger line is a product line, at the rate and amount it was entered with, taxed
    // at its item's GST codes: the central and state halves within the state, else the whole.
    const QString isLocal = QStringLiteral("R.GSTSupplyType = 'IS'");
    Exec(db, QStringLiteral("INSERT INTO ") + productsTable + QStringLiteral(" (") + QString::fromLatin1(kKey)
                 + QStringLiteral(", Sno, ItemSno, ItemCode, StoreCode, Quantity, Rate, Per, Amount, GSTCode, SGSTCode, GSTAmount, SGSTAmount) "
                                  "SELECT I.DocumentYear, I.BranchCode, I.DocumentType, I.SeriesCode, I.DocumentNo, I.Sno, I.ItemSno, "
                                  "I.ItemCode, I.StoreCode, ABS(I.Quantity), I.EntryRate, 1, I.EntryAmount, CASE WHEN ")
                 + isLocal + QStringLiteral(" THEN M.SalesCGSTCode ELSE M.SalesIGSTCode END, CASE WHEN ") + isLocal
                 + QStringLiteral(" THEN M.SalesSGSTCode ELSE '' END, ROUND(I.EntryAmount * IFNULL(CASE WHEN ") + isLocal
                 + QStringLiteral(" THEN C.GSTPercentage ELSE G.GSTPercentage END, 0) / 100, 2), CASE WHEN ") + isLocal
                 + QStringLiteral(" THEN ROUND(I.EntryAmount * IFNULL(C.GSTPercentage, 0) / 100, 2) ELSE 0 END "
                                  "FROM FaItemLedger AS I JOIN ")
                 + registerTable + QStringLiteral(" AS R ON ") + SameKey(QStringLiteral("R"), QStringLiteral("I"))
                 + QStringLiteral(" LEFT JOIN FaItemMaster AS M ON I.ItemCode = M.ItemCode "
                                  "LEFT JOIN FaGSTMaster AS C ON M.SalesCGSTCode = C.GSTCode "
                                  "LEFT JOIN FaGSTMaster AS G ON M.SalesIGSTCode = G.GSTCode WHERE I.DocumentType IN (")
                 + types + QLatin1Char(')'));

    // The GST lines of a bill: one per code of its product lines.
    Exec(db, QStringLiteral("INSERT INTO FaGSTRegister (") + QString::fromLatin1(kKey)
                 + QStringLiteral(", Sno, GSTCode, TaxableAmount, GSTAmount) SELECT DocumentYear, BranchCode, DocumentType, SeriesCode, "
                                  "DocumentNo, ROW_NUMBER() OVER (PARTITION BY DocumentYear, BranchCode, DocumentType, SeriesCode, DocumentNo "
                                  "ORDER BY Code), Code, SUM(Taxable), ROUND(SUM(Tax), 2) FROM ("
                                  "SELECT DocumentYear, BranchCode, DocumentType, SeriesCode, DocumentNo, GSTCode AS Code, Amount AS Taxable, "
                                  "GSTAmount AS Tax FROM ")
                 + productsTable
                 + QStringLiteral(" WHERE GSTCode <> '' UNION ALL SELECT DocumentYear, BranchCode, DocumentType, SeriesCode, DocumentNo, "
                                  "SGSTCode, Amount, SGSTAmount FROM ")
                 + productsTable + QStringLiteral(" WHERE SGSTCode <> '' AND DocumentType IN (") + types
                 + QStringLiteral(")) AS Lines WHERE DocumentType IN (") + types
                 + QStringLiteral(") GROUP BY DocumentYear, BranchCode, DocumentType, SeriesCode, DocumentNo, Code"));
}

// One line of the item ledger, with the stock master's month total moved by the same quantity.
void PostStock(sqlite3* db, const QStringList& key, int sno, const QString& item, const QString& store, const QDate& date, double quantity,
               double rate, int monthNo)
{
    QStringList values;
    for (const QString& k : key)
        values << Quoted(k);
    Exec(db, QStringLiteral("INSERT INTO FaItemLedger (") + QString::fromLatin1(kKey)
                 + QStringLiteral(", Sno, ItemSno, ItemCode, StoreCode, DocumentDate, Quantity, Rate, EntryRate, EntryPer, Amount, "
                                  "EntryAmount, Narration, Passed) VALUES (")
                 + values.join(QStringLiteral(", ")) + QStringLiteral(", %1, %1, ").arg(sno) + Quoted(item) + QStringLiteral(", ")
                 + Quoted(store) + QStringLiteral(", ") + Quoted(date.toString(QStringLiteral("yyyy-MM-dd 00:00:00")))
                 + QStringLiteral(", %1, %2, %2, 1, %3, %3, '', 'True')").arg(quantity).arg(rate).arg(quantity * rate));
    Exec(db, QStringLiteral("UPDATE FaStockMaster SET Month%1TotalQuantity = Month%1TotalQuantity + %2 WHERE ItemCode = ")
                 .arg(monthNo)
                 .arg(quantity)
                 + Quoted(item) + QStringLiteral(" AND StoreCode = ") + Quoted(store));
}

}  // namespace

void AddDemoDocuments(sqlite3* db, const QDate& start, const QDate& today)
{
    // The calculation of the sales and of the purchase documents: GST per code.
    const char* const steps[][4] = {{"1", "Gross Amount", "GrossAmount", "0"}, {"2", "Discount", "DiscountAmount", "0"},
                                    {"3", "CGST / IGST", "GSTAmount", "0"},   {"4", "SGST", "SGSTAmount", "0"},
                                    {"5", "Freight", "Freight", "1"},         {"6", "Excise Duty", "ExciseAmount", "0"},
                                    {"7", "Net Amount", "NetAmount", "0"}};
    // Sales take GST item by item; purchases take the party's GST codes.
    const char* const setups[][2] = {{"INV", "True"}, {"PUR", "False"}};
    for (const auto& setup : setups)
        for (const auto& s : steps)
            Exec(db, QStringLiteral("INSERT INTO FaCalculationDef (SetupDocumentType, Sno, Description, NickName, AmountNo, ItemWiseGST, "
                                    "ItemWiseDiscount, ApplicableWhenGST) VALUES ('%1', %2, '%3', '%4', %5, '%6', 'False', 'True')")
                         .arg(QLatin1String(setup[0]), QLatin1String(s[0]), QLatin1String(s[1]), QLatin1String(s[2]), QLatin1String(s[3]),
                              QLatin1String(setup[1])));

    TradingDocuments(db, QStringLiteral("FaSalesInvoiceRegister"), QStringLiteral("FaSalesInvoiceProducts"), QStringLiteral("'INV', 'CMO'"),
                     true, QStringLiteral("TX01"), QStringLiteral("TX02"), QStringLiteral("TX03"));
    TradingDocuments(db, QStringLiteral("FaPurchaseBillRegister"), QStringLiteral("FaPurchaseBillProducts"), QStringLiteral("'PUR'"), false,
                     QStringLiteral("TX04"), QStringLiteral("TX05"), QStringLiteral("TX06"));

    // The orders' gross amounts and taxes, from their lines.
    for (const char* side : {"FaSalesOrder", "FaPurchaseOrder"}) {
        const QString products = QLatin1String(side) + QStringLiteral("Products");
        auto sum = [&](const char* column) {
            return QStringLiteral("IFNULL((SELECT SUM(P.%1) FROM ").arg(QLatin1String(column)) + products + QStringLiteral(" AS P WHERE ")
                   + SameKey(QStringLiteral("P"), QLatin1String(side) + QStringLiteral("Register")) + QStringLiteral("), 0)");
        };
        Exec(db, QStringLiteral("UPDATE ") + QLatin1String(side) + QStringLiteral("Register SET GrossAmount = ") + sum("Amount")
                     + QStringLiteral(", GSTAmount = ") + sum("GSTAmount") + QStringLiteral(", SGSTAmount = ") + sum("SGSTAmount"));
    }

    // The store transfers: out of one store (the negative line) into another.
    Exec(db, QStringLiteral("INSERT INTO FaIssueRegister (") + QString::fromLatin1(kKey)
                 + QStringLiteral(", DocumentDate, IssueStoreCode, ReceiveStoreCode, GSTTransactionType, Narration, Passed) "
                                  "SELECT O.DocumentYear, O.BranchCode, O.DocumentType, O.SeriesCode, O.DocumentNo, O.DocumentDate, "
                                  "O.StoreCode, I.StoreCode, 'ISUST', O.Narration, 'True' FROM FaItemLedger AS O JOIN FaItemLedger AS I ON ")
                 + SameKey(QStringLiteral("I"), QStringLiteral("O"))
                 + QStringLiteral(" AND I.Sno = 2 WHERE O.DocumentType = 'ISU' AND O.Sno = 1"));
    Exec(db, QStringLiteral("INSERT INTO FaIssueProducts (") + QString::fromLatin1(kKey)
                 + QStringLiteral(", Sno, ItemSno, ItemCode, StoreCode, Quantity, Rate, Per, Amount, CostRate, CostAmount) "
                                  "SELECT DocumentYear, BranchCode, DocumentType, SeriesCode, DocumentNo, ItemSno, ItemSno, ItemCode, StoreCode, "
                                  "-Quantity, Rate, 1, -Amount, Rate, -Amount FROM FaItemLedger WHERE DocumentType = 'ISU' AND Quantity < 0"));

    // Today's production, excess and scrap, of the items held most in their store.
    const int monthNo = (today.year() - start.year()) * 12 + today.month() - start.month() + 1;
    const QList<QStringList> held = Rows(
        db, QStringLiteral("SELECT S.ItemCode, S.StoreCode, M.SalesRate * 0.78 FROM FaStockMaster AS S JOIN FaItemMaster AS M ON "
                           "S.ItemCode = M.ItemCode ORDER BY S.OpeningQuantity + IFNULL((SELECT SUM(L.Quantity) FROM FaItemLedger AS L "
                           "WHERE L.ItemCode = S.ItemCode AND L.StoreCode = S.StoreCode), 0) DESC, S.ItemCode LIMIT 3"));
    const QList<QStringList> branch = Rows(db, QStringLiteral("SELECT BranchCode FROM FaBranchMaster ORDER BY BranchCode LIMIT 1"));
    if (held.size() < 3 || branch.isEmpty())
        Fail(QStringLiteral("no stock to make today's production from"));
    const QString year = QString::number(start.year());
    const QString b = branch.first().first();
    const QString date = today.toString(QStringLiteral("yyyy-MM-dd 00:00:00"));
    auto rate = [&](int i) { return std::round(held[i][2].toDouble() * 100) / 100; };

    // Two units of the first item and one of the second make one unit of the third.
    const QStringList pre = {year, b, QStringLiteral("PRE"), QString(), QStringLiteral("1")};
    const double cost = 2 * rate(0) + rate(1);
    PostStock(db, pre, 1, held[0][0], held[0][1], today, -2, rate(0), monthNo);
    PostStock(db, pre, 2, held[1][0], held[1][1], today, -1, rate(1), monthNo);
    PostStock(db, pre, 3, held[2][0], held[2][1], today, 1, cost, monthNo);
    Exec(db, QStringLiteral("INSERT INTO FaProductionRegister (") + QString::fromLatin1(kKey)
                 + QStringLiteral(", DocumentDate, ProductStoreCode, ProductCode, ProductQuantity, MaterialCost, TotalCost, CostRate, "
                                  "CostAmount, Narration, Passed) VALUES (%1, %2, 'PRE', '', '1', %3, %4, %5, 1, %6, %6, %6, %6, "
                                  "'Kit assembled for a customer', 'True')")
                 .arg(year, Quoted(b), Quoted(date), Quoted(held[2][1]), Quoted(held[2][0]))
                 .arg(cost));
    const struct {
        int sno;
        int item;
        double quantity;
        const char* type;
    } lines[] = {{1, 0, 2, "C"}, {2, 1, 1, "C"}, {3, 2, 1, "R"}};
    for (const auto& l : lines)
        Exec(db, QStringLiteral("INSERT INTO FaProductionProducts (") + QString::fromLatin1(kKey)
                     + QStringLiteral(", Sno, ItemSno, ItemCode, StoreCode, Quantity, Rate, Per, Amount, CostRate, CostAmount, ItemType) "
                                      "VALUES (%1, %2, 'PRE', '', '1', %3, %3, %4, %5, %6, %7, 1, %8, %7, %8, '%9')")
                         .arg(year, Quoted(b))
                         .arg(l.sno)
                         .arg(Quoted(held[l.item][0]), Quoted(held[l.item][1]))
                         .arg(l.quantity)
                         .arg(l.item == 2 ? cost : rate(l.item))
                         .arg(l.quantity * (l.item == 2 ? cost : rate(l.item)))
                         .arg(QLatin1String(l.type)));

    // A unit of the first item found in excess at the stock count, and one broken.
    PostStock(db, {year, b, QStringLiteral("EXC"), QString(), QStringLiteral("1")}, 1, held[0][0], held[0][1], today, 1, rate(0), monthNo);
    PostStock(db, {year, b, QStringLiteral("SCR"), QString(), QStringLiteral("1")}, 1, held[1][0], held[1][1], today, -1, rate(1), monthNo);
}

}  // namespace demo
