// The "Document" and "Voucher" actions: one stored document or voucher of the product, its header
// as caption and value pairs described by the document field list, and its detail arrays.

#include "clsClient.h"

#include "ActionSkeleton.h"
#include "DocumentSupport.h"
#include "FamilySupport.h"
#include "core/WholeNumber.h"
#include "settings/GeneralFunction.h"

using platform::JsonObject;
using platform::JsonWriter;
using platform::RuntimeError;
using platform::db::Recordset;
using platform::db::Value;
using platform::db::ValueType;
using GeneralFunction::QuoteSQL;

namespace {

// DocumentYear as the request gives it: a whole number of 16 bits, rounded as the runtime rounds
// (half to even). Text that is no number (an empty text, or "nan") is a type mismatch, a number
// out of range an overflow.
qint16 DocumentYearOf(const JsonObject& request)
{
    return platform::Integer16(platform::NumberFromText(request.StringOf(QStringLiteral("DocumentYear"))));
}

// The plain codes of a rights list as the user check gives it ("'01','02'").
QString PlainList(const QString& quoted)
{
    if (quoted.size() < 2)
        return QString();
    QString inner = quoted.mid(1, quoted.size() - 2);
    inner.replace(QStringLiteral("','"), QStringLiteral(","));
    inner.replace(QStringLiteral("''"), QStringLiteral("'"));
    return inner;
}

}  // namespace

QString clsClient::VariantToText(const Value& value)
{
    switch (value.Type()) {
    case ValueType::Null: return QString();
    case ValueType::Boolean: return value.ToBool() ? QStringLiteral("True") : QStringLiteral("False");
    case ValueType::Integer: {
        const qint64 number = value.ToInteger();
        return number == 0 ? QString() : QString::number(number);
    }
    case ValueType::Decimal: {
        const double number = value.ToDouble();
        return number == 0 ? QString() : platform::db::convert::NumberText(number);
    }
    case ValueType::DateTime: {
        const QDateTime moment = value.ToDateTime();
        const bool midnight = moment.time() == QTime(0, 0);
        if (moment.date() == engine::EmptyDate())
            return midnight ? QString() : moment.time().toString(QStringLiteral("HH:mm:ss"));
        return midnight ? moment.date().toString(QStringLiteral("yyyy-MM-dd"))
                        : moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case ValueType::Text: {
        QString text = engine::TrimBlanks(value.ToText());
        if (text.endsWith(engine::CRLF))
            text.chop(2);
        return text;
    }
    }
    return QString();
}

QString clsClient::DocumentKeyCondition(const DocumentKey& key, const QString& alias)
{
    return alias + QStringLiteral(".DocumentYear = ") + QString::number(key.DocumentYear) + QStringLiteral(" AND ") + alias
           + QStringLiteral(".BranchCode = '") + QuoteSQL(key.BranchCode) + QStringLiteral("' AND ") + alias
           + QStringLiteral(".DocumentType = '") + QuoteSQL(key.DocumentType) + QStringLiteral("' AND ") + alias
           + QStringLiteral(".SeriesCode = '") + QuoteSQL(key.SeriesCode) + QStringLiteral("' AND ") + alias
           + QStringLiteral(".DocumentNo = '") + QuoteSQL(key.DocumentNo) + QStringLiteral("' ");
}

QByteArray clsClient::GetDocument(const JsonObject& request)
{
    return DocumentRequest(request, false);
}

QByteArray clsClient::GetVoucher(const JsonObject& request)
{
    return DocumentRequest(request, true);
}

// The two requests run the same steps; a voucher fills "Document" and "Accounts", a document
// "Document", "Products" and "Calculation".
QByteArray clsClient::DocumentRequest(const JsonObject& request, bool voucher)
{
    ErrorText.clear();
    JsonWriter reply;
    QString action;
    QString mobileNo;
    DocumentKey key;
    try {
        action = request.StringOf(QStringLiteral("Action"));
        mobileNo = request.StringOf(QStringLiteral("MobileNo"));
        const QString userID = request.StringOf(QStringLiteral("UserID"));
        const QString password = request.StringOf(QStringLiteral("Password"));
        const QString folderName = request.StringOf(QStringLiteral("FolderName"));
        key.MobileNo = mobileNo;
        key.DocumentYear = DocumentYearOf(request);
        key.BranchCode = request.StringOf(QStringLiteral("BranchCode"));
        key.DocumentType = request.StringOf(QStringLiteral("DocumentType"));
        key.SeriesCode = request.StringOf(QStringLiteral("SeriesCode"));
        key.DocumentNo = request.StringOf(QStringLiteral("DocumentNo"));
        key.Type = engine::TrimBlanks(key.DocumentType).toUpper();
        key.Label = QStringLiteral("Document No. ") + QString::number(key.DocumentYear) + key.BranchCode + key.DocumentType
                    + key.SeriesCode + key.DocumentNo;

        Log(mobileNo, QStringLiteral(" Getting ") + key.Label);
        engine::Rights rights;
        if (!OpenForUser(mobileNo, folderName, userID, password, rights))
            return HandlerFailure(engine::BuiltSubject(key.Label), action, mobileNo, nullptr);
        if (!rights.IsSupervisor) {
            Log(mobileNo, QStringLiteral(" Checking User Option Rights"));
            // A user limited to some branches sees no document of another branch either.
            const QString branches = PlainList(rights.BranchCodes);
            if (!CheckUserOptionRight(userID, key.DocumentType)
                || (!branches.isEmpty() && !engine::IsCodeInList(key.BranchCode, branches))) {
                ErrorText = QStringLiteral("User doesn't have right to access this option.") + engine::CRLF + ErrorText;
                return HandlerFailure(engine::BuiltSubject(key.Label), action, mobileNo, nullptr);
            }
        }

        LoadReplyHead(reply, action, mobileNo);

        // One array after the other; the first that fails ends the request with its message.
        // Each array is opened before its procedure writes its rows, and closed after it.
        auto fill = [&](const QString& words, bool (clsClient::*procedure)(const DocumentKey&, JsonWriter&)) {
            Log(mobileNo, QStringLiteral(" Getting ") + key.Label + QLatin1Char(' ') + words);
            if ((this->*procedure)(key, reply))
                return true;
            ErrorText = QStringLiteral("Unable to get ") + key.Label + QLatin1Char(' ') + words + QLatin1Char('.') + engine::CRLF
                        + ErrorText;
            return false;
        };
        auto failed = [&] { return HandlerFailure(engine::BuiltSubject(key.Label), action, mobileNo, nullptr); };

        const auto array = [&](std::string_view name, bool filled, const QString& words,
                               bool (clsClient::*procedure)(const DocumentKey&, JsonWriter&)) {
            reply.Name(name);
            reply.BeginArray();
            if (filled && !fill(words, procedure))
                return false;
            reply.EndArray();
            return true;
        };
        Log(mobileNo, QStringLiteral(" Adding Document Data Array to JSON"));
        if (voucher) {
            const bool listed = engine::IsCodeInList(key.Type, documents::kVoucherList);
            if (!array("Document", listed, QStringLiteral("Document Data"), &clsClient::AddVoucherDocumentData)
                || !array("Accounts", listed, QStringLiteral("Accounts Data"), &clsClient::AddAccountsData))
                return failed();
        } else {
            const bool listed = engine::IsCodeInList(key.Type, documents::kDocumentList);
            // Without a calculation the member is an empty array, as an empty "Schs" or "Adjs" is.
            if (!array("Document", listed, QStringLiteral("Document Data"), &clsClient::AddDocumentData)
                || !array("Products", listed, QStringLiteral("Products Data"), &clsClient::AddProductsData)
                || !array("Calculation", engine::IsCodeInList(key.Type, documents::kCalculationList), QStringLiteral("Calculation Data"),
                          &clsClient::AddCalculationData))
                return failed();
        }
        reply.EndObject();

        Log(mobileNo, QStringLiteral(" Returning ") + key.Label + QStringLiteral(" from JSON Object to Text"));
        return engine::FinishedReply(reply);
    } catch (const RuntimeError& error) {
        // The array procedures close the request's recordset themselves.
        return HandlerFailure(engine::BuiltSubject(key.Label), action, mobileNo, &error);
    }
}

// ---- the document field list ------------------------------------------------------------------

QList<clsClient::DocumentField> clsClient::GetDocumentFieldList(const QString& mobileNo, const QString& documentType)
{
    using documents::FieldRow;
    QList<DocumentField> list;
    Log(mobileNo, QStringLiteral(" Appending Document Fields to xArray"));
    const QString type = documentType.toUpper();
    auto append = [&](const FieldRow* rows, size_t count) {
        for (size_t i = 0; i < count; ++i)
            list.append({QString::fromLatin1(rows[i].name), QString::fromLatin1(rows[i].caption), QString::fromLatin1(rows[i].type)});
    };

    const bool cash = engine::IsCodeInList(type, QStringLiteral("CMO,CPU"));
    list.append({QStringLiteral("DocumentDescription"), QStringLiteral("Document"), QStringLiteral("S")});
    list.append({QStringLiteral("BranchName"), QStringLiteral("Branch"), QStringLiteral("S")});
    list.append({QStringLiteral("SeriesName"), QStringLiteral("Series"), QStringLiteral("S")});
    list.append({QStringLiteral("DocumentNo"), QStringLiteral("Document No."), QStringLiteral("S")});
    list.append({QStringLiteral("DocumentDate"), QStringLiteral("Date"), QStringLiteral("D")});
    list.append({QStringLiteral("AccountName"), cash ? QStringLiteral("Account") : QStringLiteral("Party"), QStringLiteral("S")});
    if (!cash) {
        list.append({QStringLiteral("AccountLocationName"), QStringLiteral("Party Location"), QStringLiteral("S")});
        list.append({QStringLiteral("AccountContactPerson"), QStringLiteral("Party Contact"), QStringLiteral("S")});
    }
    list.append({QStringLiteral("RefNo"), QStringLiteral("Ref.No."), QStringLiteral("S")});
    list.append({QStringLiteral("RefDate"), QStringLiteral("Ref.Date"), QStringLiteral("D")});
    list.append({QStringLiteral("ChequeNo"), QStringLiteral("Cheque No."), QStringLiteral("S")});
    list.append({QStringLiteral("ChequeDate"), QStringLiteral("Cheque Dt."), QStringLiteral("D")});

    if (type == QLatin1String("EXP")) {
        append(documents::kExpenseFields, std::size(documents::kExpenseFields));
    } else if (engine::IsCodeInList(type, documents::kTradingList)) {
        for (const FieldRow& row : documents::kTradingFields) {
            if (QLatin1String(row.name) == QLatin1String("CrpDueDate") && engine::IsCodeInList(type, QStringLiteral("CMO,CPU,CCN,SDN")))
                continue;
            list.append({QString::fromLatin1(row.name), QString::fromLatin1(row.caption), QString::fromLatin1(row.type)});
        }
    } else if (engine::IsCodeInList(type, QStringLiteral("PRE,ISU,RET"))) {
        append(documents::kProductionFields, std::size(documents::kProductionFields));
    }
    append(documents::kClosingFields, std::size(documents::kClosingFields));

    if (engine::IsCodeInList(type, documents::kUserFieldList))
        AppendUserFieldDefs(mobileNo, list, type, QStringLiteral("D"));
    return list;
}

void clsClient::AppendUserFieldDefs(const QString& mobileNo, QList<DocumentField>& list, const QString& documentType,
                                    const QString& kind)
{
    Log(mobileNo, QStringLiteral(" Appending Document Fields to xArray"));
    const QString table = GetTableName(documentType, kind);
    try {
        oRecordset.Open(QStringLiteral("SELECT FieldName, FieldDescription, FieldType FROM stdFieldDef WHERE TableName = '")
                            + QuoteSQL(table) + QStringLiteral("' ORDER BY FieldNo "),
                        cnnCompany);
        for (; !oRecordset.IsEOF(); oRecordset.MoveNext())
            list.append({engine::ValueText(oRecordset.Field(QStringLiteral("FieldName"))),
                         engine::ValueText(oRecordset.Field(QStringLiteral("FieldDescription"))),
                         engine::ValueText(oRecordset.Field(QStringLiteral("FieldType")))});
        CloseRecordset();
    } catch (const RuntimeError&) {
        CloseRecordset();
        throw;
    }
}

bool clsClient::IsInArray(const QSet<QString>& upperValues, const QString& value)
{
    return upperValues.contains(value.toUpper());
}

QSet<QString> clsClient::GetFieldNames(const Recordset& recordset)
{
    // Upper-cased once: a header has a hundred columns and its field list fifty fields.
    QSet<QString> names;
    for (int i = 0; i < recordset.FieldCount(); ++i)
        names.insert(recordset.FieldName(i).toUpper());
    return names;
}

// ---- header rows ------------------------------------------------------------------------------

bool clsClient::AddDocumentData(const DocumentKey& key, JsonWriter& Document)
{
    return AddFieldRows(key, [&] {
        Log(key.MobileNo, QStringLiteral(" Getting Table Name for ") + key.Label);
        const QString table = GetTableName(key.Type, QStringLiteral("D"));
        Log(key.MobileNo, QStringLiteral(" Generating SQL Query to Get Document Detail of ") + key.Label);
        QString sql = documents::HeaderStatement(key.Type, table, cnnCompany.dialect()) + QStringLiteral("WHERE ")
                      + DocumentKeyCondition(key, QStringLiteral("Register"));
        // The item ledger holds one row per line: the first stands for the document.
        if (engine::IsCodeInList(key.Type, QStringLiteral("EXC,SCR")))
            sql += QStringLiteral("AND Register.Sno = 1 ");
        return sql;
    }, Document);
}

bool clsClient::AddVoucherDocumentData(const DocumentKey& key, JsonWriter& Document)
{
    return AddFieldRows(key, [&] {
        Log(key.MobileNo, QStringLiteral(" Getting Table Name for ") + key.Label);
        Log(key.MobileNo, QStringLiteral(" Generating SQL Query to Get Document Detail of ") + key.Label);
        return documents::VoucherHeaderStatement(key.Type, cnnCompany.dialect()) + QStringLiteral("WHERE ")
               + DocumentKeyCondition(key, QStringLiteral("Ledger")) + QStringLiteral("AND Ledger.Sno = 1 ");
    }, Document);
}

// The field walk: one caption and value pair for each field of the list that the statement has
// a column for and whose value shows as text.
bool clsClient::AddFieldRows(const DocumentKey& key, const std::function<QString()>& statement, JsonWriter& Document)
{
    const QString& m = key.MobileNo;
    try {
        const QList<DocumentField> fields = GetDocumentFieldList(m, key.DocumentType);
        const QString sql = statement();
        Log(m, QStringLiteral(" Getting Records of Document Detail for ") + key.Label);
        oRecordset.Open(sql, cnnCompany);
        Log(m, QStringLiteral(" Getting Record Fields of Document Detail for ") + key.Label);
        const QSet<QString> names = GetFieldNames(oRecordset);
        Log(m, QStringLiteral(" Getting Fields data of Document Detail for ") + key.Label + QStringLiteral(" to JSON "));
        // A document that does not exist has no record to read: the reading error fails it.
        oRecordset.Field(0);
        for (const DocumentField& field : fields) {
            if (!IsInArray(names, field.FieldName))
                continue;
            const QString text = VariantToText(oRecordset.Field(field.FieldName));
            if (text.isEmpty())
                continue;
            Document.BeginObject();
            Document.String("FldNm", field.Caption);
            Document.String("FldVl", text);
            Document.EndObject();
        }
        CloseRecordset();
        return true;
    } catch (const RuntimeError& error) {
        CloseRecordset();
        ErrorText = engine::ErrorLine(error);
        return false;
    }
}
