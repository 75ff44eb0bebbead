// The detail arrays of a document and a voucher: product lines with their delivery schedules,
// the calculation, and account lines with their bill adjustments. A procedure that runs a query
// for each record of another opens it on a recordset of its own on the request's connection,
// which reads all its rows when it opens, so the walk of the first is never disturbed.

#include "clsClient.h"

#include "ActionSkeleton.h"
#include "DocumentSupport.h"
#include "EngineSupport.h"
#include "core/WholeNumber.h"
#include "settings/GeneralFunction.h"

#include <cmath>

using platform::JsonWriter;
using platform::RuntimeError;
using platform::db::Recordset;
using platform::db::Value;
using engine::Column;
using engine::RowNumber;
using engine::RowText;
using engine::Rows;
using GeneralFunction::QuoteSQL;

namespace {

// A recordset of a procedure's own, closed when the procedure leaves it, also on an error.
class OwnRecordset {
public:
    OwnRecordset() = default;
    ~OwnRecordset() { Close(); }
    OwnRecordset(const OwnRecordset&) = delete;
    OwnRecordset& operator=(const OwnRecordset&) = delete;
    Recordset* operator->() { return &m_recordset; }
    Recordset& operator*() { return m_recordset; }
    void Close()
    {
        if (m_recordset.State() == 1)
            m_recordset.Close();
    }

private:
    Recordset m_recordset;
};

// A percentage as the reply shows it: the single-precision value rounded to 3 places, an exact
// half to the even digit.
double Percentage(double value)
{
    const float single = static_cast<float>(value);
    const double decimal = QString::number(single, 'g', 7).toDouble();
    return std::nearbyint(decimal * 1000.0) / 1000.0;
}

// A line's detail statement: the head, the line's code and number as literals, then the rest.
platform::db::Statement DetailStatement(const QString& head, const QString& code, const QString& between, const QString& sno,
                                        const QString& tail)
{
    platform::db::Statement sql(head);
    sql.Literal(QLatin1Char('\'') + QuoteSQL(code) + QLatin1Char('\'')).Text(between).Literal(sno).Text(tail);
    return sql;
}

}  // namespace

// ---- product lines and delivery schedules -----------------------------------------------------

bool clsClient::AddProductsData(const DocumentKey& key, JsonWriter& Products)
{
    const QString& m = key.MobileNo;
    return RunQuery([&] {
        Log(m, QStringLiteral(" Getting Product & Register Table Name for ") + key.Label);
        const QString productsTable = GetTableName(key.Type, QStringLiteral("P"));
        const QString registerTable = GetTableName(key.Type, QStringLiteral("D"));

        Log(m, QStringLiteral(" Generating SQL Query to Get Products Detail of ") + key.Label);
        QString sql;
        const QString& t = key.Type;
        if (engine::IsCodeInList(t, documents::kDocumentList))
            sql = QStringLiteral("SELECT Products.ItemCode, Products.ItemSno, ItemMaster.ItemName, ItemMaster.Unit ");
        if (engine::IsCodeInList(t, QStringLiteral("ISU,RET")))
            sql += QStringLiteral(", Products.Quantity, Products.CostRate AS Rate, Products.CostAmount AS Amount ");
        else if (t == QLatin1String("PRE"))
            sql += QStringLiteral(", Products.Quantity * CASE WHEN Products.ItemType = 'C' THEN -1 ELSE 1 END AS Quantity, "
                                  "Products.CostRate AS Rate, "
                                  "Products.CostAmount * CASE WHEN Products.ItemType = 'C' THEN -1 ELSE 1 END AS Amount ");
        else if (engine::IsCodeInList(t, QStringLiteral("EXC,SCR")))
            sql += QStringLiteral(", ABS(Products.Quantity) AS Quantity, Products.Rate, ABS(Products.Amount) AS Amount ");
        else
            sql += QStringLiteral(", Products.Quantity, Products.Rate, Products.Amount ");
        QString source = productsTable + QStringLiteral(" AS Products LEFT JOIN FaItemMaster AS ItemMaster ON "
                                                        "Products.ItemCode = ItemMaster.ItemCode ");
        const bool order = engine::IsCodeInList(t, QStringLiteral("SAO,PUO"));
        if (order) {
            sql += QStringLiteral(", Register.DeliverySchedule ");
            source = QLatin1Char('(') + source + QStringLiteral(") LEFT JOIN ") + registerTable
                     + QStringLiteral(" AS Register ON Products.DocumentYear = Register.DocumentYear AND "
                                      "Products.BranchCode = Register.BranchCode AND Products.DocumentType = Register.DocumentType AND "
                                      "Products.SeriesCode = Register.SeriesCode AND Products.DocumentNo = Register.DocumentNo ");
        } else {
            sql += QStringLiteral(", 'False' AS DeliverySchedule ");
        }
        sql += QStringLiteral("FROM ") + source + QStringLiteral("WHERE ") + DocumentKeyCondition(key, QStringLiteral("Products"))
               + QStringLiteral("ORDER BY Products.Sno ");

        static const DocumentLineKind kind{QStringLiteral("Product"), QStringLiteral("ItemCode"), QStringLiteral("ItmCd"),
                                           QStringLiteral("Schs"), QStringLiteral("DeliverySchedule"),
                                           QStringLiteral("ItemSno"), &clsClient::AddScheduleData};
        Column name(QStringLiteral("ItemName")), quantity(QStringLiteral("Quantity")), unit(QStringLiteral("Unit")),
            rate(QStringLiteral("Rate")), amount(QStringLiteral("Amount"));
        DocumentLines(key, sql, kind, Products, [&](JsonWriter& line, Rows& rs) {
            line.String("ItmNm", RowText(rs, name).View());
            line.Number("Qty", RowNumber(rs, quantity));
            line.String("Unit", RowText(rs, unit).View());
            line.Number("Rate", RowNumber(rs, rate));
            line.Number("Amt", RowNumber(rs, amount));
        });
        return true;
    });
}

bool clsClient::AddScheduleData(const DocumentKey& key, const QString& itemCode, qint16 itemSno, JsonWriter& Schs)
{
    // Errors go to the caller, which reports them for the whole product list.
    const QString& m = key.MobileNo;
    Log(m, u" Getting Schedule Table Name for ", key.Label);
    if (key.ScheduleHead.isNull())
        key.ScheduleHead = QStringLiteral("SELECT Schedule.DeliveryDate, Schedule.Quantity FROM ") + GetTableName(key.Type, QStringLiteral("S"))
                           + QStringLiteral(" AS Schedule WHERE ") + DocumentKeyCondition(key, QStringLiteral("Schedule"))
                           + QStringLiteral("AND Schedule.ItemCode = ");
    const QString sno = QString::number(itemSno);
    Log(m, u" Generating SQL Query to Get Schedule Detail of ", key.Label, u" Item Code ", itemCode, u" ItemSno ", sno);
    const platform::db::Statement sql = DetailStatement(key.ScheduleHead, itemCode, QStringLiteral(" AND Schedule.ItemSno = "), sno,
                                                         QStringLiteral(" ORDER BY Schedule.DeliveryDate "));
    Log(m, u" Getting Records of Schedule Detail for ", key.Label, u" Item Code ", itemCode, u" ItemSno ", sno);
    Column date(QStringLiteral("DeliveryDate")), quantity(QStringLiteral("Quantity"));
    ReadRows(m, sql, {u" Getting data of Product Detail for ", key.Label, u" Item Code ", itemCode, u" ItemSno ", sno, u" to JSON "},
             [&](Rows& rows) {
                 const int day = rows.Index(date);
                 const engine::Utf8Text text = rows.IsNull(day) ? engine::Utf8Text() : rows.ToDateText(day);
                 Schs.BeginObject();
                 Schs.String("DlyDt", text.View());
                 Schs.Number("Qty", RowNumber(rows, quantity));
                 Schs.EndObject();
             });
    return true;
}

// ---- calculation ------------------------------------------------------------------------------

bool clsClient::AddCalculationData(const DocumentKey& key, JsonWriter& Calculation)
{
    const QString& m = key.MobileNo;
    OwnRecordset definitions;
    OwnRecordset gstLines;
    try {
        Log(m, QStringLiteral(" Getting Table Name for ") + key.Label);
        const QString registerTable = GetTableName(key.Type, QStringLiteral("D"));
        const QString productsTable = GetTableName(key.Type, QStringLiteral("P"));
        QString setupType;
        if (engine::IsCodeInList(key.Type, QStringLiteral("INV,CMO,CDN,CCN,SQT,SAO,SOA,PRI,SDO,CLN")))
            setupType = QStringLiteral("INV");
        else if (engine::IsCodeInList(key.Type, QStringLiteral("PUR,CPU,SCN,SDN,PQT,PUO,POA,GIN")))
            setupType = QStringLiteral("PUR");
        else if (key.Type == QLatin1String("SNT"))
            setupType = QStringLiteral("SNT");

        Log(m, QStringLiteral(" Generating SQL Query to Get Calculation Information of ") + setupType);
        const QString definitionSql =
            QStringLiteral("SELECT Calculation.Description, Calculation.NickName, Calculation.AmountNo, Calculation.ItemWiseGST "
                           "FROM FaCalculationDef AS Calculation WHERE Calculation.SetupDocumentType = '")
            + QuoteSQL(setupType)
            + QStringLiteral("' AND Calculation.ApplicableWhenGST = 'True' AND "
                             "Calculation.NickName NOT IN ('ExciseAmount','CessAmount','TaxAmount') ORDER BY Calculation.Sno ");
        Log(m, QStringLiteral(" Getting Records of Calculation Information for ") + key.DocumentType);
        definitions->Open(definitionSql, cnnCompany);

        Log(m, QStringLiteral(" Generating SQL Query to Get Calculation Data of ") + key.Label);
        QString amounts;
        QString percentages;
        for (int n = 1; n <= 20; ++n) {
            amounts += QStringLiteral("Register.Amount%1, ").arg(n);
            percentages += QStringLiteral("Register.Percentage%1").arg(n) + (n < 20 ? QStringLiteral(", ") : QStringLiteral(" "));
        }
        const QString registerSql =
            QStringLiteral("SELECT Register.NetAmount, Register.DiscPercentage, Register.DiscountAmount, Register.GSTCode, "
                           "IsNull(GSTMaster.GSTDescription, '') AS GSTDescription, IsNull(GSTMaster.GSTPercentage, 0) AS GSTPercentage, "
                           "Register.GSTAmount, Register.SGSTCode, IsNull(SGSTMaster.GSTDescription, '') AS SGSTDescription, "
                           "IsNull(SGSTMaster.GSTPercentage, 0) AS SGSTPercentage, Register.SGSTAmount, Register.GSTCessPercentage, "
                           "Register.GSTCessAmount, Register.SGSTCessPercentage, Register.SGSTCessAmount, ")
            + amounts + QStringLiteral("Register.GrossAmount, ") + percentages + QStringLiteral("FROM (") + registerTable
            + QStringLiteral(" AS Register LEFT JOIN FaGSTMaster AS GSTMaster ON Register.GSTCode = GSTMaster.GSTCode) "
                             "LEFT JOIN FaGSTMaster AS SGSTMaster ON Register.SGSTCode = SGSTMaster.GSTCode WHERE ")
            + DocumentKeyCondition(key, QStringLiteral("Register"));
        Log(m, QStringLiteral(" Getting Records of Calculation Data for ") + key.Label);
        oRecordset.Open(registerSql, cnnCompany);

        auto registerNumber = [&](const QString& column) { return engine::ValueNumber(oRecordset.Field(column)); };
        auto registerText = [&](const QString& column) { return engine::ValueText(oRecordset.Field(column)); };

        for (; !definitions->IsEOF(); definitions->MoveNext()) {
            const QString nickName = engine::ValueText(definitions->Field(QStringLiteral("NickName")));
            const Value& amountNoValue = definitions->Field(QStringLiteral("AmountNo"));
            // A number beyond 16 bits is an overflow, never another step's amount column.
            const qint16 amountNo = amountNoValue.IsNull() ? 0 : platform::Integer16(amountNoValue.ToDouble());
            const Value& itemWiseValue = definitions->Field(QStringLiteral("ItemWiseGST"));
            const bool itemWise = !itemWiseValue.IsNull() && itemWiseValue.ToBool();
            // A zero step is left out, except the GST and SGST steps.
            const bool gstStep = engine::IsCodeInList(nickName, QStringLiteral("GSTAmount,SGSTAmount"));
            auto addRow = [&](const QString& caption, double percentage, double amount, bool bold) {
                if (amount == 0 && !gstStep)
                    return;
                Calculation.BeginObject();
                Calculation.String("Descr", caption);
                Calculation.Number("Perc", Percentage(percentage));
                Calculation.Number("Amt", amount);
                Calculation.Bool("Bold", bold);
                Calculation.EndObject();
            };
            const QString description = engine::ValueText(definitions->Field(QStringLiteral("Description")));
            if (amountNo != 0) {
                const QString n = QString::number(amountNo);
                addRow(description, registerNumber(QStringLiteral("Percentage") + n), registerNumber(QStringLiteral("Amount") + n), false);
            } else if (nickName == QLatin1String("NetAmount")) {
                addRow(description, 0, registerNumber(QStringLiteral("NetAmount")), true);
            } else if (nickName == QLatin1String("DiscountAmount")) {
                addRow(description, registerNumber(QStringLiteral("DiscPercentage")), registerNumber(QStringLiteral("DiscountAmount")), true);
            } else if (!itemWise && nickName == QLatin1String("GSTAmount")) {
                addRow(registerText(QStringLiteral("GSTDescription")), registerNumber(QStringLiteral("GSTPercentage")),
                     registerNumber(QStringLiteral("GSTAmount")), true);
            } else if (!itemWise && nickName == QLatin1String("SGSTAmount")) {
                addRow(registerText(QStringLiteral("SGSTDescription")), registerNumber(QStringLiteral("SGSTPercentage")),
                     registerNumber(QStringLiteral("SGSTAmount")), true);
            } else if (nickName == QLatin1String("GSTCessAmount")) {
                addRow(description, registerNumber(QStringLiteral("GSTCessPercentage")), registerNumber(QStringLiteral("GSTCessAmount")), true);
            } else if (nickName == QLatin1String("SGSTCessAmount")) {
                addRow(description, registerNumber(QStringLiteral("SGSTCessPercentage")),
                     registerNumber(QStringLiteral("SGSTCessAmount")), true);
            } else if (itemWise && gstStep) {
                Log(m, QStringLiteral(" Generating SQL Query to Get GST Data of ") + key.Label);
                const bool central = nickName.compare(QLatin1String("GSTAmount"), Qt::CaseInsensitive) == 0;
                QString gstSql;
                if (engine::IsCodeInList(key.Type, QStringLiteral("INV,CMO,CDN,CCN,PUR,CPU,SCN,SDN,SNT"))) {
                    gstSql = QStringLiteral("SELECT GSTMaster.GSTDescription, GSTMaster.GSTPercentage, GSTRegister.GSTAmount "
                                            "FROM FaGSTRegister AS GSTRegister LEFT JOIN FaGSTMaster AS GSTMaster ON "
                                            "GSTRegister.GSTCode = GSTMaster.GSTCode WHERE ")
                             + DocumentKeyCondition(key, QStringLiteral("GSTRegister")) + QStringLiteral("AND LEFT(GSTMaster.GSTCategory, 4) IN ")
                             + (central ? QStringLiteral("('CGST','IGST')") : QStringLiteral("('SGST','UGST')"))
                             + QStringLiteral(" ORDER BY GSTRegister.Sno ");
                } else if (engine::IsCodeInList(key.Type, QStringLiteral("GIN,CLN,SAO,PUO"))) {
                    const QString codeColumn = central ? QStringLiteral("Products.GSTCode") : QStringLiteral("Products.SGSTCode");
                    const QString amountColumn = central ? QStringLiteral("Products.GSTAmount") : QStringLiteral("Products.SGSTAmount");
                    const QString inner = QStringLiteral("SELECT ") + codeColumn + QStringLiteral(" AS GSTCode, ROUND(SUM(")
                                          + amountColumn + QStringLiteral("), 2) AS GSTAmount FROM ") + productsTable
                                          + QStringLiteral(" AS Products WHERE ") + DocumentKeyCondition(key, QStringLiteral("Products"))
                                          + QStringLiteral("AND ") + codeColumn + QStringLiteral(" <> '' GROUP BY ") + codeColumn;
                    gstSql = QStringLiteral("SELECT GSTMaster.GSTDescription, GSTMaster.GSTPercentage, Summary.GSTAmount FROM (") + inner
                             + QStringLiteral(") AS Summary LEFT JOIN FaGSTMaster AS GSTMaster ON Summary.GSTCode = GSTMaster.GSTCode "
                                              "ORDER BY GSTMaster.GSTPercentage ");
                }
                // A type with neither source of GST lines has none to show.
                if (!gstSql.isEmpty()) {
                    Log(m, QStringLiteral(" Getting Records of GST Data for ") + key.Label);
                    gstLines->Open(gstSql, cnnCompany);
                    for (; !gstLines->IsEOF(); gstLines->MoveNext())
                        addRow(engine::ValueText(gstLines->Field(QStringLiteral("GSTDescription"))),
                             engine::ValueNumber(gstLines->Field(QStringLiteral("GSTPercentage"))),
                             engine::ValueNumber(gstLines->Field(QStringLiteral("GSTAmount"))), true);
                    gstLines.Close();
                }
            } else if (nickName == QLatin1String("GrossAmount")) {
                addRow(description, 0, registerNumber(QStringLiteral("GrossAmount")), true);
            }
        }
        CloseRecordset();
        definitions.Close();
        return true;
    } catch (const RuntimeError& error) {
        CloseRecordset();
        ErrorText = engine::ErrorLine(error);
        return false;
    }
}

// ---- voucher account lines and bill adjustments -----------------------------------------------

bool clsClient::AddAccountsData(const DocumentKey& key, JsonWriter& Accounts)
{
    const QString& m = key.MobileNo;
    return RunQuery([&] {
        Log(m, QStringLiteral(" Getting Product & Register Table Name for ") + key.Label);
        Log(m, QStringLiteral(" Generating SQL Query to Get Products Detail of ") + key.Label);
        QString sql = QStringLiteral("SELECT Ledger.AccountCode, Ledger.AccountSno, AccountMaster.AccountName, Ledger.Amount, "
                                     "LEFT(Ledger.Narration, 250) AS Narration ");
        if (engine::IsCodeInList(key.Type, QStringLiteral("BRE,BPA,CRE,CPA,JOV")))
            sql += QStringLiteral(", CAST(CASE WHEN (SELECT TOP 1 OSReg.DocumentNo FROM FaOSReg AS OSReg WHERE ")
                   + DocumentKeyCondition(key, QStringLiteral("OSReg"))
                   + QStringLiteral("AND OSReg.AccountCode = Ledger.AccountCode AND OSReg.AccountSno = Ledger.AccountSno AND "
                                    "OSReg.Amount < 0) IS NOT NULL THEN 1 ELSE 0 END AS BIT) AS AdjustmentDetails ");
        else
            sql += QStringLiteral(", CAST(0 AS BIT) AS AdjustmentDetails ");
        sql += QStringLiteral("FROM FaAccountLedger AS Ledger LEFT JOIN FaAccountMaster AS AccountMaster ON "
                              "Ledger.AccountCode = AccountMaster.AccountCode WHERE ")
               + DocumentKeyCondition(key, QStringLiteral("Ledger")) + QStringLiteral("ORDER BY Ledger.Sno ");

        static const DocumentLineKind kind{QStringLiteral("Account"), QStringLiteral("AccountCode"), QStringLiteral("ActCd"),
                                           QStringLiteral("Adjs"), QStringLiteral("AdjustmentDetails"),
                                           QStringLiteral("AccountSno"), &clsClient::AddAdjustmentData};
        Column name(QStringLiteral("AccountName")), amount(QStringLiteral("Amount")), narration(QStringLiteral("Narration"));
        DocumentLines(key, sql, kind, Accounts, [&](JsonWriter& line, Rows& rs) {
            // An account missing from the master shows without a name.
            line.String("ActNm", RowText(rs, name).View());
            line.Number("Amt", RowNumber(rs, amount));
            const int text = rs.Index(narration);
            if (rs.IsNull(text) || rs.Type(text) == platform::db::ValueType::Text)
                line.String("Narr", engine::NarrationText(RowText(rs, narration)).View());
            else
                line.String("Narr", VariantToText(rs.At(text)));
        });
        return true;
    });
}

// The lines of a document or voucher on the request's recordset, each with the sub-list of its
// own that the kind's detail procedure fills when the line's flag is set.
void clsClient::DocumentLines(const DocumentKey& key, const QString& sql, const DocumentLineKind& kind, JsonWriter& lines,
                              const std::function<void(JsonWriter&, Rows&)>& fill)
{
    const QString& m = key.MobileNo;
    Log(m, QStringLiteral(" Getting Records of ") + kind.Words + QStringLiteral(" Detail for ") + key.Label);
    // Read whole before the first line is written, as each line runs statements and logs lines
    // of its own: a failure of this statement comes before all of them.
    const std::unique_ptr<Rows> read = cnnCompany.OpenRows(sql, platform::db::RowsRead::Whole);
    Rows& rows = *read;
    Log(m, QStringLiteral(" Getting data of ") + kind.Words + QStringLiteral(" Detail for ") + key.Label
               + QStringLiteral(" to JSON "));
    Column codeColumn(kind.CodeColumn), flag(kind.FlagColumn), sno(kind.SnoColumn);
    const QByteArray codeMember = kind.CodeMember.toUtf8(), details = kind.Details.toUtf8();
    while (rows.Next()) {
        lines.BeginObject();
        lines.Name(JsonWriter::AsView(codeMember));
        lines.String(RowText(rows, codeColumn).View());
        fill(lines, rows);
        lines.Name(JsonWriter::AsView(details));
        lines.BeginArray();
        if (engine::RowFlag(rows, flag)) {
            // The code as the value's text goes into the detail's statement. The line number is
            // held in 16 bits: one beyond them fails the lines with an overflow rather than
            // reading the detail rows of another number.
            const QString code = engine::ValueText(rows.At(rows.Index(codeColumn)));
            (this->*kind.Detail)(key, code, platform::Integer16(engine::RowNumber(rows, sno)), lines);
        }
        lines.EndArray();
        lines.EndObject();
    }
}

bool clsClient::AddAdjustmentData(const DocumentKey& key, const QString& accountCode, qint16 accountSno, JsonWriter& Adjs)
{
    const QString& m = key.MobileNo;
    const QString sno = QString::number(accountSno);
    Log(m, u" Getting Adjustment Table Name for ", key.Label);
    Log(m, u" Generating SQL Query to Get Adjustment Detail of ", key.Label, u" Account Code ", accountCode, u" Sno ", sno);
    if (key.AdjustmentHead.isNull())
        key.AdjustmentHead = QStringLiteral("SELECT OSReg.RDocumentYear, OSReg.RBranchCode, OSReg.RDocumentType, OSReg.RSeriesCode, "
                                            "OSReg.RDocumentNo, OSReg.BillNo, OSReg.AdjustedAmount, OSReg.AdjustmentAmount "
                                            "FROM FaOSReg AS OSReg WHERE ")
                             + DocumentKeyCondition(key, QStringLiteral("OSReg")) + QStringLiteral("AND OSReg.AccountCode = ");
    const platform::db::Statement sql = DetailStatement(key.AdjustmentHead, accountCode, QStringLiteral(" AND OSReg.AccountSno = "), sno,
                                                         QStringLiteral(" ORDER BY OSReg.Sno "));
    Log(m, u" Getting Records of Adjustment Detail for ", key.Label, u" Account Code ", accountCode, u" AccountSno ", sno);
    Column typeColumn(QStringLiteral("RDocumentType")), numberColumn(QStringLiteral("RDocumentNo")), branch(QStringLiteral("RBranchCode")),
        series(QStringLiteral("RSeriesCode")), bill(QStringLiteral("BillNo")), adjusted(QStringLiteral("AdjustedAmount")),
        adjustment(QStringLiteral("AdjustmentAmount"));
    ReadRows(m, sql, {u" Getting data of Account Detail for ", key.Label, u" Account Code ", accountCode, u" AccountSno ", sno, u" to JSON "},
             [&](Rows& rows) {
        const engine::Utf8Text type = engine::TrimmedBlanks(RowText(rows, typeColumn));
        const engine::Utf8Text number = engine::TrimmedBlanks(RowText(rows, numberColumn));
        Adjs.BeginObject();
        Adjs.String("BrnCd", RowText(rows, branch).View());
        Adjs.String("DocTy", type.IsEmpty() ? std::string_view("On") : type.View());
        Adjs.String("SerCd", RowText(rows, series).View());
        Adjs.String("DocNo", number.IsEmpty() ? std::string_view("Account") : number.View());
        Adjs.String("BilNo", RowText(rows, bill).View());
        Adjs.Number("AdAmt", RowNumber(rows, adjusted));
        Adjs.Number("AtAmt", RowNumber(rows, adjustment));
        Adjs.EndObject();
    });
    return true;
}
