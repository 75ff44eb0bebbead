// The rows of an "Order" reply: the order lines of a party, one row per product line or per
// delivery-schedule line, valued and totalled.

#include "LedgerSupport.h"

#include "settings/GeneralFunction.h"

using GeneralFunction::QuoteSQL;
using namespace engine::ledgers;

bool clsClient::AddOrderData(const LedgerRequest& r, const QString& label, JsonWriter& Data)
{
    double quantityTotal = 0;
    double amountTotal = 0;
    bool totalRow = false;
    DocumentColumns document;
    Column location{QStringLiteral("AccountLocationName")}, refNo{QStringLiteral("RefNo")}, item{QStringLiteral("ItemCode")},
        itemName{QStringLiteral("ItemName")}, delivery{QStringLiteral("DeliveryDate")}, quantityColumn{QStringLiteral("Quantity")},
        rate{QStringLiteral("Rate")}, per{QStringLiteral("Per")}, amountColumn{QStringLiteral("Amount")};
    const auto take = [&](Rows& rs) {
        return totalRow || RowNumber(rs, quantityColumn) != 0.0 || RowNumber(rs, amountColumn) != 0.0;
    };
    const auto fill = [&](JsonWriter& row, Rows& rs) {
        const double quantity = RowNumber(rs, quantityColumn);
        const double amount = RowNumber(rs, amountColumn);
        document.Write(row, rs);
        row.String("LocNm", RowText(rs, location).View());
        row.String("RefNo", RowText(rs, refNo).View());
        row.String("ItmCd", RowText(rs, item).View());
        row.String("ItmNm", RowText(rs, itemName).View());
        row.String("DlyDt", RowDate(rs, delivery).View());
        row.Number("Qty", quantity);
        row.Number("Rate", RowNumber(rs, rate));
        row.Number("Per", RowNumber(rs, per));
        row.Number("Amt", amount);
        quantityTotal = Rounded(quantityTotal + quantity, 3);
        amountTotal = Rounded(amountTotal + amount, 2);
    };
    return RunQuery([&] {
        const platform::db::Dialect& dialect = cnnCompany.dialect();
        // The sales or the purchase side.
        Log(r.MobileNo, QStringLiteral(" Generating SQL Query for ") + label);
        const bool sales = engine::IsCodeInList(r.Code, QStringLiteral("OR,WD,OP"));
        const QString side = sales ? QStringLiteral("Sales") : QStringLiteral("Purchase");
        const QString refNo = sales ? QStringLiteral("Register.OrderNo") : QStringLiteral("Register.RefNo");
        const bool weekly = r.Code == QLatin1String("WD") || r.Code == QLatin1String("WR");
        const bool pending = r.Code == QLatin1String("OP") || r.Code == QLatin1String("PP");

        // The value columns: what is still to be delivered, valued at the line's rate, or what
        // was ordered at its stored amount.
        QString quantity = QStringLiteral("Products.Quantity ");
        QString quantity1 = QStringLiteral("Products.Quantity1 ");
        QString deliveryDate = QStringLiteral("Register.DocumentDate ");
        QString productAmount = QStringLiteral("Products.Amount ");
        if (weekly) {
            quantity = QStringLiteral("Schedule.PendingQuantity ");
            quantity1 = QStringLiteral("Schedule.PendingQuantity1 ");
            deliveryDate = QStringLiteral("Schedule.DeliveryDate ");
        } else if (pending) {
            quantity = QStringLiteral("Products.PendingQuantity ");
            quantity1 = QStringLiteral("Products.PendingQuantity1 ");
        }
        if (weekly || pending)
            productAmount = engine::OrderProductAmount() + QStringLiteral(" ");

        // The statement. The joins are written one after the other rather than nested;
        // every inner condition is an equality on the joined table and the conditions below ask
        // for a register row and a product line, so the rows are those of the nested form, and
        // SQLite reads every table through its indexes. The weekly views start from the schedule:
        // one row per schedule line.
        Log(r.MobileNo, QStringLiteral(" Generating SQL Query to Get Transactions for ") + label);
        const QString registerKeys = QStringLiteral(
            "Products.DocumentYear = Register.DocumentYear AND Products.BranchCode = Register.BranchCode AND "
            "Products.DocumentType = Register.DocumentType AND Products.SeriesCode = Register.SeriesCode AND "
            "Products.DocumentNo = Register.DocumentNo ");
        QString from;
        if (weekly)
            from = QStringLiteral("@pScheduleTable AS Schedule INNER JOIN @pProductTable AS Products ON "
                                  "Products.DocumentYear = Schedule.DocumentYear AND "
                                  "Products.BranchCode = Schedule.BranchCode AND "
                                  "Products.DocumentType = Schedule.DocumentType AND "
                                  "Products.SeriesCode = Schedule.SeriesCode AND "
                                  "Products.DocumentNo = Schedule.DocumentNo AND "
                                  "Products.ItemCode = Schedule.ItemCode AND "
                                  "Products.ItemSno = Schedule.ItemSno ");
        else
            from = QStringLiteral("@pProductTable AS Products ");
        from += QStringLiteral("LEFT JOIN FaItemMaster AS ItemMaster ON Products.ItemCode = ItemMaster.ItemCode "
                               "INNER JOIN @pRegisterTable AS Register ON ")
                + registerKeys
                + QStringLiteral("LEFT JOIN FaAccountAddressMaster AS AccountAddress ON "
                                 "Register.AccountCode = AccountAddress.AccountCode AND "
                                 "Register.AccountLocationCode = AccountAddress.AccountLocationCode ");
        QString sql = QStringLiteral("SELECT Products.DocumentYear, Products.BranchCode, Products.DocumentType, "
                                     "Products.SeriesCode, Products.DocumentNo, Register.DocumentDate, ")
                      + (r.AccountLocationCode.isEmpty() ? QStringLiteral("IsNull(AccountAddress.AccountLocationName, '')")
                                                         : QStringLiteral("''"))
                      + QStringLiteral(" AS AccountLocationName, @pRefNo AS RefNo, Products.ItemCode, ItemMaster.ItemName, "
                                       "ItemMaster.Unit, @pDeliveryDate AS DeliveryDate, @pQuantity AS Quantity, "
                                       "Products.Rate, Products.Per, @pProductAmount AS Amount FROM ")
                      + from + QStringLiteral("WHERE Register.AccountCode = @pAccount AND Register.Passed = 'True' AND "
                                              "Products.Cancelled = 'False' ");
        if (!r.AccountLocationCode.isEmpty())
            sql += QStringLiteral("AND Register.AccountLocationCode = @pLocation ");
        if (weekly)
            sql += QStringLiteral("AND @pDeliveryDate <= ") + dialect.DateLiteral(r.LastDate)
                   + QStringLiteral(" AND @pQuantity > 0 ");
        else if (pending)
            sql += QStringLiteral("AND Register.DocumentDate <= ") + dialect.DateLiteral(r.LastDate)
                   + QStringLiteral(" AND @pQuantity > 0 ");
        else
            sql += QStringLiteral("AND Register.DocumentDate = ") + dialect.DateLiteral(r.StartDate) + QStringLiteral(" ");
        // By delivery date (the document date outside the weekly views), then document and line.
        const QString order = QStringLiteral("ORDER BY @pDeliveryDate, Products.BranchCode, Products.DocumentType, "
                                             "Products.SeriesCode, Products.DocumentNo, Products.Sno ");

        // The templates and table names are filled first; the request's values go in last, so
        // that a value holding "@p..." stays a value.
        QVariantList pairs = engine::OrderValuePairs(dialect, productAmount, quantity1, quantity);
        pairs << QStringLiteral("pDeliveryDate") << deliveryDate << QStringLiteral("pProductTable")
              << QStringLiteral("Fa") + side + QStringLiteral("OrderProducts") << QStringLiteral("pRegisterTable")
              << QStringLiteral("Fa") + side + QStringLiteral("OrderRegister") << QStringLiteral("pScheduleTable")
              << QStringLiteral("Fa") + side + QStringLiteral("OrderSchedule") << QStringLiteral("pRefNo") << refNo;
        sql = GeneralFunction::ReplaceParameters(sql, pairs);
        // The user's branches and stores, checked on the order line.
        const QString rights = r.Rights.BranchClauses(QStringLiteral("Products"))
                               + r.Rights.StoreClauses(QStringLiteral("Products"));
        const QString orderBy = GeneralFunction::ReplaceParameters(order, pairs);
        sql.replace(QStringLiteral("@pAccount"), QLatin1Char('\'') + QuoteSQL(r.AccountCode) + QLatin1Char('\''));
        sql.replace(QStringLiteral("@pLocation"), QLatin1Char('\'') + QuoteSQL(r.AccountLocationCode) + QLatin1Char('\''));
        sql += rights + orderBy;

        // The order lines.
        ActionRows(r.MobileNo, sql, QStringLiteral(" Getting Records for Transaction for ") + label,
                   QStringLiteral(" Adding Transaction of ") + label + QStringLiteral(" Data to JSON"), Data, take, fill);

        // The total row, always present.
        Log(r.MobileNo, QStringLiteral(" Generating Query for Total of ") + label);
        const QString empty = QStringLiteral("CONVERT(DATETIME, '12/30/1899', 101)");
        const QString totalQuery = QStringLiteral("SELECT 0 AS DocumentYear, '' AS BranchCode, '' AS DocumentType, "
                                                  "'' AS SeriesCode, 'Total' AS DocumentNo, ")
                                   + empty
                                   + QStringLiteral(" AS DocumentDate, '' AS AccountLocationName, '' AS RefNo, '' AS ItemCode, "
                                                    "'' AS ItemName, '' AS Unit, ")
                                   + empty + QStringLiteral(" AS DeliveryDate, ") + NumberLiteral(quantityTotal)
                                   + QStringLiteral(" AS Quantity, 0 AS Rate, 1 AS Per, ") + NumberLiteral(amountTotal)
                                   + QStringLiteral(" AS Amount ");
        totalRow = true;
        ActionRows(r.MobileNo, totalQuery, QStringLiteral(" Getting Records for Total of ") + label,
                   QStringLiteral(" Adding Total of ") + label + QStringLiteral(" Data to JSON"), Data, take, fill);
        return true;
    });
}
