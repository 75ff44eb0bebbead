// The rows of an "AccountLedger" reply: the ledger of an account from its balance rows and its
// ledger lines, or the ledger of one location of a party from the outstanding register. Each runs
// its opening, transaction and closing statements in turn and keeps the running total from which
// the closing row is written.

#include "LedgerSupport.h"

#include "settings/GeneralFunction.h"

#include <algorithm>
#include <iterator>

using GeneralFunction::QuoteSQL;
using namespace engine::ledgers;

namespace {

const QString kAccountLedger = QStringLiteral("Account Ledger");
const QString kLocationLedger = QStringLiteral("Account Location Ledger");

// The leading columns of an opening or closing row.
QString BalanceColumns(const char* narration)
{
    return QStringLiteral("SELECT 0 AS DocumentYear, '' AS BranchCode, '' AS DocumentType, '' AS SeriesCode, "
                          "'' AS DocumentNo, '' AS DocumentDate, '' AS ChequeNo, '")
           + QString::fromLatin1(narration) + QStringLiteral("' AS Narration, '' AS AccountLocationName, ");
}

// The document types of a day's receipts or payments.
QString DayTypes(const QString& code)
{
    return code == QLatin1String("RT") ? QStringLiteral("('BRE','CRE','CMO')") : QStringLiteral("('BPA','CPA','PTY','CPU')");
}

// The row routine of both ledgers: the members of an AccountLedgerRow, and the running total.
struct LedgerRowWriter {
    explicit LedgerRowWriter(const clsClient::LedgerRequest& request)
        : partyLedger(engine::IsCodeInList(request.Code, QStringLiteral("SD,SC,RT,PT")))
    {
    }

    // A party's ledger names the location of its bills (the types of a bill, compared as codes).
    const bool partyLedger;
    double total = 0;
    bool balanceRow = false;  // the opening and closing records are taken whatever their amount

    DocumentColumns document;
    Column location{QStringLiteral("AccountLocationName")}, cheque{QStringLiteral("ChequeNo")}, narration{QStringLiteral("Narration")},
        amountColumn{QStringLiteral("Amount")};

    static bool BillType(const Utf8Text& documentType)
    {
        static const char* const types[] = {"INV", "CDN", "CCN", "PUR", "SCN", "SDN", "SNT", "EXP"};
        if (!documentType.ascii) {
            const QString code = engine::TrimBlanks(QString::fromUtf8(documentType.data, documentType.size)).toUpper();
            return std::any_of(std::begin(types), std::end(types), [&](const char* t) { return code == QLatin1String(t); });
        }
        const Utf8Text code = TrimmedBlanks(documentType);
        return code.size == 3 && std::any_of(std::begin(types), std::end(types), [&](const char* t) {
                   return qstrnicmp(code.data, t, 3) == 0;
               });
    }

    bool Take(Rows& rs)
    {
        if (balanceRow)
            return true;
        const int amount = rs.Index(amountColumn);
        return !rs.IsNull(amount) && rs.ToDouble(amount) != 0.0;
    }

    void Fill(JsonWriter& row, Rows& rs)
    {
        const bool showLocation = partyLedger && BillType(RowText(rs, document.type));
        const double amount = RowNumber(rs, amountColumn);
        document.Write(row, rs);
        row.String("LocNm", showLocation ? TrimmedBlanks(RowText(rs, location)).View() : std::string_view());
        row.String("ChqNo", RowText(rs, cheque).View());
        row.String("Narr", RowNarration(rs, narration).View());
        row.Number("Amt", amount);
        total = Rounded(total + amount, 2);
    }
};

}  // namespace

bool clsClient::AddAccountLedgerData(const LedgerRequest& r, JsonWriter& Data)
{
    LedgerRowWriter writer(r);
    const auto take = [&](Rows& rs) { return writer.Take(rs); };
    const auto fill = [&](JsonWriter& row, Rows& rs) { writer.Fill(row, rs); };
    return RunQuery([&] {
        const platform::db::Dialect& dialect = cnnCompany.dialect();
        const QString account = QuoteSQL(r.AccountCode);
        const engine::Period& p = r.Period;
        // The financial year of StartDate: only the company's first and second years are told apart.
        const QDate yearStart = r.StartDate < r.CompanyStart.addYears(1) ? r.CompanyStart : r.CompanyStart.addYears(1);

        // The balance of the whole months before StartDate's month.
        QString expression = QStringLiteral("0");
        if (engine::IsCodeInList(r.Code, QStringLiteral("CH,BK,SD,SC"))) {
            Log(r.MobileNo, QStringLiteral(" Generating Balance Field for Opening Balance of Account Ledger"));
            expression = p.OpeningBalanceField();
        } else if (engine::IsCodeInList(r.Code, QStringLiteral("SA,PU")) && r.StartDate != yearStart) {
            // Sales and purchase start again at each financial year.
            Log(r.MobileNo, QStringLiteral(" Generating Balance Field for Opening Balance of Account Ledger"));
            expression = engine::Period::MonthTotalsField(QStringLiteral("0"), engine::Period::MonthNumber(r.CompanyStart, yearStart),
                                          p.StartMonthNo - 1, false);
        }

        // The balance rows, and the days of the start month before StartDate.
        Log(r.MobileNo, QStringLiteral(" Generating SQL Query to Get Opening Balance of Account Ledger"));
        QString opening = QStringLiteral("SELECT FaAccountBalanceMaster.AccountCode, ") + expression
                          + QStringLiteral(" AS Amount FROM FaAccountBalanceMaster WHERE FaAccountBalanceMaster.AccountCode = '")
                          + account + QStringLiteral("' ") + r.Rights.BranchClauses(QStringLiteral("FaAccountBalanceMaster"))
                          + QStringLiteral("GROUP BY FaAccountBalanceMaster.AccountCode ");
        if (engine::IsCodeInList(r.Code, QStringLiteral("SA,PU,CH,BK,SD,SC")) && !p.StartIsFirst) {
            Log(r.MobileNo, QStringLiteral(" Unioning SQL Query to get opening balance of Account Ledger"));
            opening += UnionAll()
                       + QStringLiteral("SELECT FaAccountLedger.AccountCode, ROUND(SUM(FaAccountLedger.Amount), 2) As Amount "
                                        "FROM FaAccountLedger WHERE FaAccountLedger.AccountCode = '")
                       + account + QStringLiteral("' AND FaAccountLedger.Passed = 'True' AND FaAccountLedger.DocumentDate >= ")
                       + dialect.DateLiteral(p.StartOfStartMonth) + QStringLiteral(" AND FaAccountLedger.DocumentDate < ")
                       + dialect.DateLiteral(r.StartDate) + QStringLiteral(" ")
                       + r.Rights.BranchClauses(QStringLiteral("FaAccountLedger"), QStringLiteral("AccountBranchCode"))
                       + QStringLiteral("GROUP BY FaAccountLedger.AccountCode ");
            opening = QStringLiteral("SELECT Summary.AccountCode, ROUND(SUM(Summary.Amount), 2) AS Amount FROM (") + opening
                      + QStringLiteral(") AS Summary GROUP BY Summary.AccountCode ");
        }

        // The opening row: none when neither the balance rows nor the part month know the account.
        Log(r.MobileNo, QStringLiteral(" Generating Query for get Opening Balance of Account Ledger"));
        const QString openingQuery = BalanceColumns("Opening Balance") + QStringLiteral("AccountSummary.Amount FROM (")
                                     + opening + QStringLiteral(") AS AccountSummary ");
        writer.balanceRow = true;
        ActionRows(r.MobileNo, openingQuery, QStringLiteral(" Getting Records for Opening Balance of Account Ledger"),
                   QStringLiteral(" Adding Opening Balance of Account Ledger Data to JSON"), Data, take, fill);
        writer.balanceRow = false;

        // The transactions. The joins are written one after the other rather than nested; every
        // inner condition is an equality on the joined table, so the rows are the same, and SQLite
        // then reads the tables through their indexes.
        Log(r.MobileNo, QStringLiteral(" Generating SQL Query to Get Transactions for Account Ledger"));
        const bool cashBank = engine::IsCodeInList(r.Code, QStringLiteral("CH,BK"));
        QString sql = QStringLiteral("SELECT AccountLedger.DocumentYear, AccountLedger.BranchCode, AccountLedger.DocumentType, "
                                     "AccountLedger.SeriesCode, AccountLedger.DocumentNo, AccountLedger.DocumentDate , ");
        const QString accountJoins = QStringLiteral(
            "LEFT JOIN FaAccountMaster AS AccountMaster ON AccountLedger.AccountCode = AccountMaster.AccountCode "
            "LEFT JOIN FaAccountGroupMaster AS AccountGroupMaster ON "
            "AccountMaster.ParentGroupCode = AccountGroupMaster.AccountGroupCode ");
        if (cashBank) {
            // One row for each other line of a voucher with a line of the account: the other
            // account's name and the narration, the amount as the cash or bank side sees it.
            const QString narration = QStringLiteral("IsNull(Ledger.Narration, '')");
            sql += QStringLiteral("Ledger.ChequeNo, CASE WHEN LedgerAccountMaster.AccountName <> '' AND "
                                  "LedgerAccountMaster.AccountName IS NOT NULL THEN ")
                   + dialect.Concat({QStringLiteral("LedgerAccountMaster.AccountName"),
                                     QStringLiteral("CASE WHEN ") + narration
                                         + QStringLiteral(" <> '' THEN ") + dialect.Concat({QStringLiteral("CHAR(13)"), QStringLiteral("CHAR(10)")})
                                         + QStringLiteral(" ELSE '' END")})
                   + QStringLiteral(" ELSE '' END") + dialect.Concat() + narration
                   + QStringLiteral(" AS Narration, '' AS AccountLocationName, Ledger.Amount * -1 AS Amount "
                                    "FROM FaAccountLedger AS AccountLedger "
                                    "INNER JOIN FaAccountLedger AS Ledger ON "
                                    "Ledger.DocumentYear = AccountLedger.DocumentYear AND "
                                    "Ledger.BranchCode = AccountLedger.BranchCode AND "
                                    "Ledger.DocumentType = AccountLedger.DocumentType AND "
                                    "Ledger.SeriesCode = AccountLedger.SeriesCode AND "
                                    "Ledger.DocumentNo = AccountLedger.DocumentNo AND "
                                    "Ledger.AccountSno <> AccountLedger.AccountSno "
                                    "LEFT JOIN FaAccountMaster AS LedgerAccountMaster ON "
                                    "Ledger.AccountCode = LedgerAccountMaster.AccountCode ")
                   + accountJoins;
        } else {
            sql += QStringLiteral("AccountLedger.ChequeNo, AccountLedger.Narration, "
                                  "IsNull(AccountAddress.AccountLocationName, '') AS AccountLocationName, "
                                  "AccountLedger.Amount AS Amount FROM FaAccountLedger AS AccountLedger ")
                   + accountJoins
                   + QStringLiteral("LEFT JOIN FaAccountAddressMaster AS AccountAddress ON "
                                    "AccountLedger.AccountCode = AccountAddress.AccountCode AND "
                                    "AccountLedger.AccountLocationCode = AccountAddress.AccountLocationCode ");
        }
        sql += QStringLiteral("WHERE AccountLedger.AccountCode = '") + account
               + QStringLiteral("' AND AccountLedger.Passed = 'True' AND ");
        if (engine::IsCodeInList(r.Code, QStringLiteral("RT,PT")))
            sql += QStringLiteral("AccountLedger.DocumentDate = ") + dialect.DateLiteral(r.StartDate)
                   + QStringLiteral(" AND AccountLedger.DocumentType IN ") + DayTypes(r.Code)
                   + QStringLiteral(" AND AccountLedger.Amount <> 0 ");
        else
            sql += QStringLiteral("AccountLedger.DocumentDate >= ") + dialect.DateLiteral(r.StartDate)
                   + QStringLiteral(" AND AccountLedger.DocumentDate <= ") + dialect.DateLiteral(r.LastDate)
                   + QStringLiteral(" AND AccountLedger.Amount <> 0 ");
        sql += r.Rights.BranchClauses(QStringLiteral("AccountLedger"), QStringLiteral("AccountBranchCode"))
               + QStringLiteral("ORDER BY AccountLedger.DocumentDate, CASE WHEN (AccountGroupMaster.AccountHead IN (2,4) AND "
                                "AccountLedger.Amount < 0) OR (AccountGroupMaster.AccountHead IN (1,3) AND "
                                "AccountLedger.Amount > 0) OR (")
               + dialect.Concat({QStringLiteral("AccountLedger.DocumentType"), QStringLiteral("AccountLedger.DocumentClassCode")})
               + QStringLiteral(") = 'JOV07' THEN 2 ELSE 1 END,  AccountLedger.BranchCode, AccountLedger.DocumentType, "
                                "AccountLedger.SeriesCode, AccountLedger.DocumentNo ");
        if (cashBank)
            sql += QStringLiteral(", Ledger.Sno ");
        ActionRows(r.MobileNo, sql, QStringLiteral(" Getting Records for Transaction of Account Ledger"),
                   QStringLiteral(" Adding Transaction of Account Ledger Data to JSON"), Data, take, fill);

        // The closing row, from the running total.
        Log(r.MobileNo, QStringLiteral(" Generating Query for Closing Balance of Account Ledger"));
        const QString closing = BalanceColumns("Closing Balance") + NumberLiteral(Rounded(writer.total, 2))
                                + QStringLiteral(" AS Amount ");
        writer.balanceRow = true;
        ActionRows(r.MobileNo, closing, QStringLiteral(" Getting Records for Closing Balance of Account Ledger"),
                   QStringLiteral(" Adding Closing Balance of Account Ledger Data to JSON"), Data, take, fill);
        return true;
    });
}

bool clsClient::AddAccountLocationLedgerData(const LedgerRequest& r, JsonWriter& Data)
{
    LedgerRowWriter writer(r);
    const auto take = [&](Rows& rs) { return writer.Take(rs); };
    const auto fill = [&](JsonWriter& row, Rows& rs) { writer.Fill(row, rs); };
    return RunQuery([&] {
        const platform::db::Dialect& dialect = cnnCompany.dialect();
        const QString account = QuoteSQL(r.AccountCode);
        const QString location = QuoteSQL(r.AccountLocationCode);
        // One source for the sign of the opening and of every line: the account's own group, so
        // that the closing balance never mixes two conventions.
        const QString sign = r.AccountGroupType.toUpper() == QLatin1String("SC") ? QStringLiteral("-1") : QStringLiteral("1");
        const QString branches = r.Rights.BranchClauses(QStringLiteral("OSReg"), QStringLiteral("AccountBranchCode"));

        // The opening: the party's register at this location before StartDate.
        QString inner = QStringLiteral("SELECT 0 AS Amount");
        if (engine::IsCodeInList(r.Code, QStringLiteral("SD,SC"))) {
            Log(r.MobileNo, QStringLiteral(" Generating SQL Query to Get Opening Balance of Account Location Ledger"));
            inner = QStringLiteral("SELECT ROUND(SUM(OSReg.Amount * ") + sign
                    + QStringLiteral("), 2) AS Amount FROM FaOSReg AS OSReg WHERE OSReg.AccountCode = '") + account
                    + QStringLiteral("' AND OSReg.AccountLocationCode = '") + location
                    + QStringLiteral("' AND OSReg.Passed = 'True' AND OSReg.DocumentDate < ") + dialect.DateLiteral(r.StartDate)
                    + QStringLiteral(" ") + branches;
            Log(r.MobileNo, QStringLiteral(" Generating Query for get Opening Balance of Account Location Ledger"));
        }
        const QString openingQuery = BalanceColumns("Opening Balance")
                                     + QStringLiteral("IsNull(AccountSummary.Amount, 0) AS Amount FROM (") + inner
                                     + QStringLiteral(") AS AccountSummary ");
        writer.balanceRow = true;
        ActionRows(r.MobileNo, openingQuery, QStringLiteral(" Getting Records for Opening Balance of Account Location Ledger"),
                   QStringLiteral(" Adding Opening Balance of Account Location Ledger Data to JSON"), Data, take, fill);
        writer.balanceRow = false;

        // The register's lines, with cheque number and narration from the matching
        // ledger line ("" when there is none).
        Log(r.MobileNo, QStringLiteral(" Generating SQL Query to Get Transactions for Account Location Ledger"));
        QString sql = QStringLiteral(
                          "SELECT OSReg.DocumentYear, OSReg.BranchCode, OSReg.DocumentType, OSReg.SeriesCode, "
                          "OSReg.DocumentNo, OSReg.DocumentDate , AccountLedger.ChequeNo, AccountLedger.Narration, "
                          "'' AS AccountLocationName, OSReg.Amount * ")
                      + sign
                      + QStringLiteral(" AS Amount FROM FaOSReg AS OSReg LEFT JOIN FaAccountLedger AS AccountLedger ON "
                                       "OSReg.DocumentYear = AccountLedger.DocumentYear AND "
                                       "OSReg.BranchCode = AccountLedger.BranchCode AND "
                                       "OSReg.DocumentType = AccountLedger.DocumentType AND "
                                       "OSReg.SeriesCode = AccountLedger.SeriesCode AND "
                                       "OSReg.DocumentNo = AccountLedger.DocumentNo AND "
                                       "OSReg.AccountCode = AccountLedger.AccountCode AND "
                                       "OSReg.AccountSno = AccountLedger.AccountSno "
                                       "WHERE OSReg.AccountCode = '")
                      + account + QStringLiteral("' AND OSReg.AccountLocationCode = '") + location
                      + QStringLiteral("' AND OSReg.Passed = 'True' AND ");
        if (engine::IsCodeInList(r.Code, QStringLiteral("RT,PT")))
            sql += QStringLiteral("OSReg.DocumentDate = ") + dialect.DateLiteral(r.StartDate)
                   + QStringLiteral(" AND OSReg.DocumentType IN ") + DayTypes(r.Code) + QStringLiteral(" AND OSReg.Amount <> 0 ");
        else
            sql += QStringLiteral("OSReg.DocumentDate >= ") + dialect.DateLiteral(r.StartDate)
                   + QStringLiteral(" AND OSReg.DocumentDate <= ") + dialect.DateLiteral(r.LastDate)
                   + QStringLiteral(" AND OSReg.Amount <> 0 ");
        sql += branches
               + QStringLiteral("ORDER BY OSReg.DocumentDate, CASE WHEN OSReg.Amount > 0 THEN 1 ELSE 2 END,  OSReg.BranchCode, "
                                "OSReg.DocumentType, OSReg.SeriesCode, OSReg.DocumentNo ");
        ActionRows(r.MobileNo, sql, QStringLiteral(" Getting Records for Transaction of Account Location Ledger"),
                   QStringLiteral(" Adding Transaction of Account Location Ledger Data to JSON"), Data, take, fill);

        // The closing row, from the running total.
        Log(r.MobileNo, QStringLiteral(" Generating Query for Closing Balance of Account Location Ledger"));
        const QString closing = BalanceColumns("Closing Balance") + NumberLiteral(Rounded(writer.total, 2))
                                + QStringLiteral(" AS Amount ");
        writer.balanceRow = true;
        ActionRows(r.MobileNo, closing, QStringLiteral(" Getting Records for Closing Balance of Account Location Ledger"),
                   QStringLiteral(" Adding Closing Balance of Account Location Ledger Data to JSON"), Data, take, fill);
        return true;
    });
}
