// The rows of the "ItemStoreSummary" reply (an item's stock, receipts or issues by store) and of
// the "ItemLedger" reply (an item's movements framed by its opening and closing quantities).

#include "LedgerSupport.h"

#include "settings/GeneralFunction.h"

using GeneralFunction::QuoteSQL;
using namespace engine::ledgers;

namespace {

// The query of a store summary with each store's name; stores without a master row come first.
QString WithStoreNames(const QString& query)
{
    return QStringLiteral("SELECT ItemSummary.StoreCode, IsNull(FaStoreMaster.StoreName, '') AS StoreName, "
                          "ItemSummary.Quantity FROM (")
           + query
           + QStringLiteral(") AS ItemSummary LEFT JOIN FaStoreMaster ON ItemSummary.StoreCode = FaStoreMaster.StoreCode "
                            "ORDER BY FaStoreMaster.StoreName ");
}

// A store's row, written when its quantity is not zero (nor empty).
struct StoreRows {
    Column store{QStringLiteral("StoreCode")}, name{QStringLiteral("StoreName")}, quantity{QStringLiteral("Quantity")};

    bool Take(Rows& rs) { return RowNumber(rs, quantity) != 0.0; }
    void Fill(JsonWriter& row, Rows& rs)
    {
        row.String("StoCd", TrimmedBlanks(RowText(rs, store)).View());
        row.String("StoNm", TrimmedBlanks(RowText(rs, name)).View());
        row.Number("Qty", RowNumber(rs, quantity));
    }
};

}  // namespace

bool clsClient::AddItemStockByStore(const LedgerRequest& r, const QString& label, JsonWriter& Data)
{
    StoreRows stores;
    return RunQuery([&] {
        const platform::db::Dialect& dialect = cnnCompany.dialect();
        const QString item = QuoteSQL(r.ItemCode);
        const engine::Period& p = r.Period;
        // The stock of the whole months up to LastDate.
        Log(r.MobileNo, QStringLiteral(" Generating Balance Field for ") + label);
        const QString quantity = engine::Period::MonthTotalsField(QStringLiteral("OpeningQuantity"), 1, p.LastWhole, true);
        Log(r.MobileNo, QStringLiteral(" Generating SQL Query for ") + label);
        QString query = QStringLiteral("SELECT FaStockMaster.StoreCode, ") + quantity
                        + QStringLiteral(" AS Quantity FROM FaStockMaster WHERE FaStockMaster.ItemCode = '") + item
                        + QStringLiteral("' ") + r.Rights.StoreClauses(QStringLiteral("FaStockMaster"))
                        + QStringLiteral("GROUP BY FaStockMaster.StoreCode ");
        // The last, partial month from the ledger.
        if (!p.LastIsMonthEnd) {
            Log(r.MobileNo, QStringLiteral(" Unioning SQL Query for ") + label);
            query += UnionAll()
                     + QStringLiteral("SELECT FaItemLedger.StoreCode, ROUND(SUM(FaItemLedger.Quantity), 3) As Amount FROM "
                                      "FaItemLedger WHERE FaItemLedger.ItemCode = '")
                     + item + QStringLiteral("' AND FaItemLedger.Passed = 'True' AND FaItemLedger.DocumentDate >= ")
                     + dialect.DateLiteral(p.StartOfLastMonth) + QStringLiteral(" AND FaItemLedger.DocumentDate <= ")
                     + dialect.DateLiteral(r.LastDate) + QStringLiteral(" ")
                     + r.Rights.StoreClauses(QStringLiteral("FaItemLedger")) + QStringLiteral("GROUP BY FaItemLedger.StoreCode ");
            query = QStringLiteral("SELECT Summary.StoreCode, ROUND(SUM(Summary.Quantity), 3) AS Quantity FROM (") + query
                    + QStringLiteral(") AS Summary GROUP BY Summary.StoreCode ");
        }
        // Each store's quantity with the store's name; stores left at zero are not shown.
        Log(r.MobileNo, QStringLiteral(" Generating Query for Store Name of ") + label);
        ActionRows(
            r.MobileNo, WithStoreNames(query), QStringLiteral(" Getting Records for ") + label,
            QStringLiteral(" Adding ") + label + QStringLiteral(" Data to JSON"), Data,
            [&](Rows& rs) { return stores.Take(rs); }, [&](JsonWriter& row, Rows& rs) { stores.Fill(row, rs); });
        return true;
    });
}

bool clsClient::AddItemMovementByStore(const LedgerRequest& r, const QString& label, JsonWriter& Data)
{
    StoreRows stores;
    return RunQuery([&] {
        const platform::db::Dialect& dialect = cnnCompany.dialect();
        Log(r.MobileNo, QStringLiteral(" Generating SQL Query for ") + label);
        // Receipts are the positive quantities; issues the negative ones, turned positive.
        const QString factor = r.Code == QLatin1String("IQ") ? QStringLiteral("-1") : QStringLiteral("1");
        const QString sign = r.Code == QLatin1String("RQ") ? QStringLiteral(" > ") : QStringLiteral(" < ");
        const QString query = QStringLiteral("SELECT ItemLedger.StoreCode, ROUND(SUM(ItemLedger.Quantity * ") + factor
                              + QStringLiteral("), 3) AS Quantity FROM FaItemLedger AS ItemLedger WHERE ItemLedger.ItemCode = '")
                              + QuoteSQL(r.ItemCode) + QStringLiteral("' AND ItemLedger.Passed = 'True' AND ItemLedger.DocumentDate = ")
                              + dialect.DateLiteral(r.StartDate) + QStringLiteral(" AND ItemLedger.Quantity") + sign
                              + QStringLiteral("0 ") + r.Rights.StoreClauses(QStringLiteral("ItemLedger"))
                              + QStringLiteral("GROUP BY ItemLedger.StoreCode ");
        Log(r.MobileNo, QStringLiteral(" Generating Query for Store Name for ") + label);
        ActionRows(
            r.MobileNo, WithStoreNames(query), QStringLiteral(" Getting Records for ") + label,
            QStringLiteral(" Adding ") + label + QStringLiteral(" Data to JSON"), Data,
            [&](Rows& rs) { return stores.Take(rs); }, [&](JsonWriter& row, Rows& rs) { stores.Fill(row, rs); });
        return true;
    });
}

bool clsClient::AddItemLedgerData(const LedgerRequest& r, const QString& label, JsonWriter& Data)
{
    double balance = 0;
    bool balanceRow = false;
    DocumentColumns document;
    Column store{QStringLiteral("StoreCode")}, narration{QStringLiteral("Narration")}, quantityColumn{QStringLiteral("Quantity")},
        rate{QStringLiteral("Rate")}, per{QStringLiteral("Per")}, amount{QStringLiteral("Amount")};
    const auto take = [&](Rows& rs) {
        if (balanceRow)
            return true;
        const int quantity = rs.Index(quantityColumn);
        return !rs.IsNull(quantity) && rs.ToDouble(quantity) != 0.0;
    };
    const auto fill = [&](JsonWriter& row, Rows& rs) {
        const double quantity = RowNumber(rs, quantityColumn);
        document.Write(row, rs);
        row.String("StoCd", RowText(rs, store).View());
        row.String("Narr", RowNarration(rs, narration).View());
        row.Number("Qty", quantity);
        row.Number("Rate", RowNumber(rs, rate));
        row.Number("Per", RowNumber(rs, per));
        row.Number("Amt", RowNumber(rs, amount));
        balance = Rounded(balance + quantity, 3);
    };
    return RunQuery([&] {
        const platform::db::Dialect& dialect = cnnCompany.dialect();
        const QString item = QuoteSQL(r.ItemCode);
        const engine::Period& p = r.Period;
        const bool stock = engine::IsCodeInList(r.Code, QStringLiteral("ST"));
        const QString balanceColumns = QStringLiteral(
            "SELECT 0 AS DocumentYear, '' AS BranchCode, '' AS DocumentType, '' AS SeriesCode, '' AS DocumentNo, "
            "CONVERT(DATETIME, '12/30/1899', 101) AS DocumentDate, '' AS StoreCode, '' AS StoreName, ");

        // The stock at StartDate: the whole months before its month, and the ledger from
        // the first of that month to the day before StartDate. Receipts and issues open at 0.
        QString expression = QStringLiteral("ROUND(SUM(ROUND(0, 3)), 3) ");
        if (stock) {
            Log(r.MobileNo, QStringLiteral(" Generating Balance Field for Opening Balance of ") + label);
            expression = p.OpeningQuantityField();
        }
        Log(r.MobileNo, QStringLiteral(" Generating SQL Query to Get Opening Balance of ") + label);
        const QString storeRights = r.Rights.StoreClauses(QStringLiteral("FaStockMaster"));
        QString opening = QStringLiteral("SELECT ") + expression
                          + QStringLiteral("AS Quantity FROM FaStockMaster WHERE FaStockMaster.ItemCode = '") + item
                          + QStringLiteral("' ") + storeRights;
        if (stock && !p.StartIsFirst) {
            Log(r.MobileNo, QStringLiteral(" Unioning SQL Query to get opening balance of ") + label);
            opening += UnionAll()
                       + QStringLiteral("SELECT ROUND(SUM(FaItemLedger.Quantity), 3) As Quantity FROM FaItemLedger WHERE "
                                        "FaItemLedger.ItemCode = '")
                       + item + QStringLiteral("' AND FaItemLedger.Passed = 'True' AND FaItemLedger.DocumentDate >= ")
                       + dialect.DateLiteral(p.StartOfStartMonth) + QStringLiteral(" AND FaItemLedger.DocumentDate < ")
                       + dialect.DateLiteral(r.StartDate) + QStringLiteral(" ")
                       + r.Rights.StoreClauses(QStringLiteral("FaItemLedger"));
            opening = QStringLiteral("SELECT ROUND(SUM(Summary.Quantity), 3) AS Quantity FROM (") + opening
                      + QStringLiteral(") AS Summary ");
        }
        // Exactly one opening record, 0 when the item has no stock rows.
        Log(r.MobileNo, QStringLiteral(" Generating Query for get Opening Balance of ") + label);
        const QString openingQuery = balanceColumns
                                     + QStringLiteral("'Opening Balance' AS Narration, IsNull(ItemSummary.Quantity, 0) AS "
                                                      "Quantity, 0 AS Rate, 1 AS Per, 0 AS Amount FROM (")
                                     + opening + QStringLiteral(") AS ItemSummary ");
        balanceRow = true;
        ActionRows(r.MobileNo, openingQuery, QStringLiteral(" Getting Records for Opening Balance of ") + label,
                   QStringLiteral(" Adding Opening Balance of ") + label + QStringLiteral(" Data to JSON"), Data, take, fill);
        balanceRow = false;

        // The lines of the period: signed in the stock ledger, otherwise only receipts
        // (positive) or issues (negative) shown without sign.
        Log(r.MobileNo, QStringLiteral(" Generating SQL Query to Get Transactions for ") + label);
        QString sql = QStringLiteral(
                          "SELECT ItemLedger.DocumentYear, ItemLedger.BranchCode, ItemLedger.DocumentType, "
                          "ItemLedger.SeriesCode, ItemLedger.DocumentNo, ItemLedger.DocumentDate, ItemLedger.StoreCode, "
                          "ItemLedger.Narration, ItemLedger.EntryRate AS Rate, ItemLedger.EntryPer AS Per, "
                          "ABS(CASE WHEN ItemLedger.DocumentType IN ('INV','CMO','CDN','CCN','PUR','CPU','SCN','SDN','SNT') "
                          "THEN ItemLedger.EntryAmount ELSE ItemLedger.Amount END) AS Amount , ")
                      + (stock ? QStringLiteral("ItemLedger.Quantity ") : QStringLiteral("ABS(ItemLedger.Quantity) AS Quantity "))
                      + QStringLiteral("FROM FaItemLedger AS ItemLedger WHERE ItemLedger.ItemCode = '") + item
                      + QStringLiteral("' AND ItemLedger.Passed = 'True' AND ItemLedger.DocumentDate >= ")
                      + dialect.DateLiteral(r.StartDate) + QStringLiteral(" AND ItemLedger.DocumentDate <= ")
                      + dialect.DateLiteral(r.LastDate) + QStringLiteral(" ");
        if (stock)
            sql += QStringLiteral("AND ItemLedger.Quantity <> 0 ");
        else
            sql += QStringLiteral("AND ItemLedger.Quantity ") + (r.Code == QLatin1String("RQ") ? QStringLiteral(">") : QStringLiteral("<"))
                   + QStringLiteral(" 0 ");
        sql += r.Rights.StoreClauses(QStringLiteral("ItemLedger"))
               + QStringLiteral("ORDER BY ItemLedger.DocumentDate, CASE WHEN ItemLedger.Quantity > 0 THEN 1 ELSE 2 END,  "
                                "ItemLedger.BranchCode, ItemLedger.DocumentType, ItemLedger.SeriesCode, ItemLedger.DocumentNo ");
        ActionRows(r.MobileNo, sql, QStringLiteral(" Getting Records for Transaction of ") + label,
                   QStringLiteral(" Adding Transaction of ") + label + QStringLiteral(" Data to JSON"), Data, take, fill);

        // The closing row from the running balance.
        Log(r.MobileNo, QStringLiteral(" Generating Query for Closing Balance of ") + label);
        const QString closing = balanceColumns + QStringLiteral("'Closing Balance' AS Narration, ") + NumberLiteral(balance)
                                + QStringLiteral(" AS Quantity, 0 AS Rate, 1 AS Per, 0 AS Amount ");
        balanceRow = true;
        ActionRows(r.MobileNo, closing, QStringLiteral(" Getting Records for Closing Balance of ") + label,
                   QStringLiteral(" Adding Closing Balance of ") + label + QStringLiteral(" Data to JSON"), Data, take, fill);
        return true;
    });
}
