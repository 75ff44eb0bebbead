// The rows of an "Outstanding" reply: a party's open bills from the outstanding register, with
// their due dates, days overdue and pending amounts, and the total row.

#include "LedgerSupport.h"

#include "clock/Clock.h"
#include "settings/GeneralFunction.h"

using GeneralFunction::QuoteSQL;
using namespace engine::ledgers;

bool clsClient::AddOutstandingData(const LedgerRequest& r, JsonWriter& Data)
{
    const QString subject = QStringLiteral("Outstanding/Todays Receivable/Payable");
    double total = 0;
    bool totalRow = false;
    DocumentColumns document;
    Column location{QStringLiteral("AccountLocationName")}, billNo{QStringLiteral("BillNo")}, billDate{QStringLiteral("BillDate")},
        credit{QStringLiteral("CreditPeriod")}, due{QStringLiteral("DueDate")}, overdue{QStringLiteral("OverDue")},
        amountColumn{QStringLiteral("Amount")}, pendingColumn{QStringLiteral("PendingAmount")};
    const auto take = [&](Rows& rs) { return totalRow || RowNumber(rs, amountColumn) != 0.0; };
    const auto fill = [&](JsonWriter& row, Rows& rs) {
        const double amount = RowNumber(rs, amountColumn);
        const double pending = RowNumber(rs, pendingColumn);
        // Here the date comes before the document's key.
        row.String("DocDt", RowDate(rs, document.date).View());
        document.WriteKey(row, rs);
        row.String("LocNm", RowText(rs, location).View());
        row.String("BilNo", RowText(rs, billNo).View());
        row.String("BilDt", RowDate(rs, billDate).View());
        row.Integer("Crp", RowWhole(rs, credit));
        row.String("DueDt", RowDate(rs, due).View());
        row.Integer("Odue", RowWhole(rs, overdue));
        row.Number("Amt", amount);
        row.Number("PndAmt", pending);
        // A credit counts in full, a bill with what is pending of it.
        total = Rounded(total + (amount < 0 ? amount : pending), 2);
    };
    return RunQuery([&] {
        const platform::db::Dialect& dialect = cnnCompany.dialect();
        const QString account = QuoteSQL(r.AccountCode);
        const QString lastDate = dialect.DateLiteral(r.LastDate);
        const QString emptyDate = dialect.DateLiteral(engine::EmptyDate());
        const bool today = engine::IsCodeInList(r.Code, QStringLiteral("TR,TP"));

        // The columns. A purchase bill, expense or sale note with a bill date falls due
        // its credit period after the bill date, every other entry after its document date.
        // OverDue counts to the machine's own date, whatever the period.
        Log(r.MobileNo, QStringLiteral(" Generating SQL Query to Get Transactions for ") + subject + QStringLiteral(" "));
        const QString dueDate = QStringLiteral("DATEADD(d, FaOSReg.CreditPeriod, CASE WHEN FaOSReg.DocumentType IN "
                                               "('PUR','EXP','SNT') AND FaOSReg.BillDate <> ")
                                + emptyDate + QStringLiteral(" THEN FaOSReg.BillDate ELSE FaOSReg.DocumentDate END)");
        QString columns =
            QStringLiteral("SELECT FaOSReg.DocumentYear, FaOSReg.DocumentDate, FaOSReg.BranchCode, FaOSReg.DocumentType, "
                           "FaOSReg.SeriesCode, FaOSReg.DocumentNo, FaOSReg.BillNo, FaOSReg.BillDate, FaOSReg.CreditPeriod, "
                           "CASE WHEN FaOSReg.Amount > 0 THEN @pDueDate ELSE ")
            + emptyDate
            + QStringLiteral(" END AS DueDate, CASE WHEN FaOSReg.Amount > 0 THEN DATEDIFF(d, @pDueDate, @pTodaysDate) "
                             "ELSE 0 END AS OverDue, FaOSReg.Amount, ")
            + (r.AccountLocationCode.isEmpty() ? QStringLiteral("IsNull(AccountAddress.AccountLocationName, '')")
                                               : QStringLiteral("''"))
            + QStringLiteral(" AS AccountLocationName ");
        // The templates are filled before any value enters the statement.
        columns = GeneralFunction::ReplaceParameters(
            columns, {QStringLiteral("pDueDate"), dueDate, QStringLiteral("pTodaysDate"),
                      dialect.DateLiteral(platform::Clock::Today())});

        // The party's location and the user's branches.
        QString filters;
        if (!r.AccountLocationCode.isEmpty())
            filters += QStringLiteral("AND FaOSReg.AccountLocationCode = '") + QuoteSQL(r.AccountLocationCode)
                       + QStringLiteral("' ");
        filters += r.Rights.BranchClauses(QStringLiteral("FaOSReg"), QStringLiteral("AccountBranchCode"));

        const QString addressJoin = QStringLiteral("LEFT JOIN FaAccountAddressMaster AS AccountAddress ON "
                                                   "FaOSReg.AccountCode = AccountAddress.AccountCode AND "
                                                   "FaOSReg.AccountLocationCode = AccountAddress.AccountLocationCode");
        // A credit that settles no bill, or settles a bill dated after the date, was open at the date.
        const QString openCredit = QStringLiteral("CASE WHEN (FaOSReg.Amount < 0 AND (FaOSReg.RDocumentNo = '' OR "
                                                  "FaOSReg.RDocumentDate > ")
                                   + lastDate + QStringLiteral(" )) THEN 'True' ELSE 'False' END ");
        QString sql;
        if (today) {
            // The passed entries with a pending amount that fall due on the date.
            sql = columns + QStringLiteral(", FaOSReg.PendingAmount FROM FaOSReg ") + addressJoin
                  + QStringLiteral(" WHERE FaOSReg.AccountCode = '") + account
                  + QStringLiteral("' AND FaOSReg.Passed = 'True' AND ") + dueDate + QStringLiteral(" = ") + lastDate
                  + QStringLiteral(" AND FaOSReg.PendingAmount > 0 ") + filters;
        } else {
            // What was pending at the date: the stored pending amount with the settlements made
            // after the date added back.
            const QString adjustments =
                QStringLiteral("SELECT FaOSReg.RDocumentYear, FaOSReg.RBranchCode, FaOSReg.RDocumentType, "
                               "FaOSReg.RSeriesCode, FaOSReg.RDocumentNo, ROUND(SUM(FaOSReg.Amount), 2) AS Amount "
                               "FROM FaOSReg WHERE FaOSReg.AccountCode = '")
                + account
                + QStringLiteral("' AND FaOSReg.Passed = 'True' AND FaOSReg.Amount < 0 AND FaOSReg.RDocumentNo <> '' AND "
                                 "FaOSReg.RDocumentDate <= ")
                + lastDate + QStringLiteral(" AND FaOSReg.DocumentDate > ") + lastDate + QStringLiteral(" ") + filters
                + QStringLiteral("GROUP BY FaOSReg.RDocumentYear, FaOSReg.RBranchCode, FaOSReg.RDocumentType, "
                                 "FaOSReg.RSeriesCode, FaOSReg.RDocumentNo ");
            const QString pending = QStringLiteral("ROUND(FaOSReg.PendingAmount - IsNull(OSAdj.Amount, 0), 2)");
            sql = columns + QStringLiteral(", ") + pending + QStringLiteral(" AS PendingAmount FROM (FaOSReg ") + addressJoin
                  + QStringLiteral(") LEFT JOIN (") + adjustments
                  + QStringLiteral(") AS OSAdj ON FaOSReg.DocumentYear = OSAdj.RDocumentYear AND "
                                   "FaOSReg.BranchCode = OSAdj.RBranchCode AND "
                                   "FaOSReg.DocumentType = OSAdj.RDocumentType AND "
                                   "FaOSReg.SeriesCode = OSAdj.RSeriesCode AND "
                                   "FaOSReg.DocumentNo = OSAdj.RDocumentNo WHERE FaOSReg.AccountCode = '")
                  + account + QStringLiteral("' AND FaOSReg.Passed = 'True' AND FaOSReg.DocumentDate <= ") + lastDate
                  + QStringLiteral(" AND (") + pending + QStringLiteral(" > 0 OR ") + openCredit + QStringLiteral(" = 'True') ")
                  + filters;
        }
        // Open credits before bills, then by date and document.
        sql += QStringLiteral("ORDER BY ");
        if (engine::IsCodeInList(r.Code, QStringLiteral("SD,SC")))
            sql += QStringLiteral("CASE WHEN ") + openCredit + QStringLiteral(" = 'True' THEN 1 ELSE 2 END, ");
        sql += QStringLiteral("FaOSReg.DocumentDate, FaOSReg.BranchCode, FaOSReg.DocumentType, FaOSReg.SeriesCode, "
                              "FaOSReg.DocumentNo ");

        // The open bills and credits.
        ActionRows(r.MobileNo, sql, QStringLiteral(" Getting Records for Transaction for ") + subject,
                   QStringLiteral(" Adding Transaction of ") + subject + QStringLiteral(" Data to JSON"), Data, take, fill);

        // The total row, always present.
        Log(r.MobileNo, QStringLiteral(" Generating Query for Net Pending Amount of ") + subject);
        const QString empty = QStringLiteral("CONVERT(DATETIME, '12/30/1899', 101)");
        const QString totalQuery = QStringLiteral("SELECT 0 AS DocumentYear, ") + empty
                                   + QStringLiteral(" AS DocumentDate, '' AS BranchCode, '' AS DocumentType, '' AS SeriesCode, "
                                                    "'Total Amount' AS DocumentNo, '' AS BillNo, ")
                                   + empty + QStringLiteral(" AS BillDate, 0 AS CreditPeriod, ") + empty
                                   + QStringLiteral(" AS DueDate, 0 AS OverDue, 0 AS Amount, ") + NumberLiteral(total)
                                   + QStringLiteral(" AS PendingAmount, '' AS AccountLocationName ");
        totalRow = true;
        ActionRows(r.MobileNo, totalQuery, QStringLiteral(" Getting Records for  Net Pending Amount of ") + subject,
                   QStringLiteral(" Adding  Net Pending Amount of ") + subject + QStringLiteral(" Data to JSON"), Data, take,
                   fill);
        return true;
    });
}
