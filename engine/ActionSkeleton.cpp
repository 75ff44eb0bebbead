// The handler skeleton, the reply head and the row writer the engine's handlers share.

#include "ActionSkeleton.h"

#include "EngineSupport.h"
#include "clsClient.h"
#include "database/Value.h"

#include <algorithm>
#include <exception>

using platform::JsonObject;
using platform::JsonWriter;
using platform::RuntimeError;
using platform::db::Recordset;
using platform::db::Rows;

namespace engine {

QString ValueText(const platform::db::Value& value)
{
    return value.IsNull() ? QString() : value.ToText();
}

double ValueNumber(const platform::db::Value& value)
{
    return value.IsNull() ? 0.0 : value.ToDouble();
}

QString FieldText(const Recordset& rs, const QString& column)
{
    return ValueText(rs.Field(column));
}

QString FieldTrimmed(const Recordset& rs, const QString& column)
{
    return TrimBlanks(FieldText(rs, column));
}

double FieldNumber(const Recordset& rs, const QString& column)
{
    return ValueNumber(rs.Field(column));
}

qint64 FieldWhole(const Recordset& rs, const QString& column)
{
    const platform::db::Value& value = rs.Field(column);
    return value.IsNull() ? 0 : value.ToInteger();
}

bool FieldFlag(const Recordset& rs, const QString& column)
{
    const platform::db::Value& value = rs.Field(column);
    return !value.IsNull() && value.ToBool();
}

Utf8Text RowText(Rows& rows, Column& column)
{
    const int i = rows.Index(column);
    return rows.IsNull(i) ? Utf8Text() : rows.ToText(i);
}

double RowNumber(Rows& rows, Column& column)
{
    const int i = rows.Index(column);
    return rows.IsNull(i) ? 0.0 : rows.ToDouble(i);
}

qint64 RowWhole(Rows& rows, Column& column)
{
    const int i = rows.Index(column);
    return rows.IsNull(i) ? 0 : rows.ToInteger(i);
}

bool RowFlag(Rows& rows, Column& column)
{
    const int i = rows.Index(column);
    return !rows.IsNull(i) && rows.ToBool(i);
}

// A blank byte is the blank character in UTF-8 too, so the bytes are trimmed as the text is.
Utf8Text TrimmedBlanks(Utf8Text text)
{
    while (text.size > 0 && text.data[0] == ' ') {
        ++text.data;
        --text.size;
    }
    while (text.size > 0 && text.data[text.size - 1] == ' ')
        --text.size;
    return text;
}

Utf8Text NarrationText(Utf8Text text)
{
    text = TrimmedBlanks(text);
    if (text.size >= 2 && text.data[text.size - 2] == '\r' && text.data[text.size - 1] == '\n')
        text.size -= 2;
    return text;
}

void WriteTrimmed(JsonWriter& out, std::string_view name, const Utf8Text& text)
{
    out.Name(name);
    if (!text.ascii) {
        // White space beyond ASCII (a no-break space, say) is Qt's to tell.
        out.String(QString::fromUtf8(text.data, text.size).trimmed());
        return;
    }
    out.String(text.TrimmedSpace().View());
}

void WritePairs(JsonWriter& reply, const QVariantList& pairs)
{
    // The names in order of their first place, each with the index of its last value.
    std::vector<std::pair<QByteArray, qsizetype>> members;
    members.reserve(static_cast<size_t>(pairs.size() / 2));
    for (qsizetype i = 0; i + 1 < pairs.size(); i += 2) {
        const QByteArray name = VariantText(pairs.at(i)).toUtf8();
        if (!pairs.at(i + 1).isValid())
            throw RuntimeError(platform::err::InvalidUseOfNull, QStringLiteral("Invalid use of Null"));
        const auto same = std::find_if(members.begin(), members.end(), [&](const auto& m) { return m.first == name; });
        if (same != members.end())
            same->second = i + 1;
        else
            members.emplace_back(name, i + 1);
    }
    for (const auto& [name, at] : members) {
        const QVariant& value = pairs.at(at);
        reply.Name(JsonWriter::AsView(name));
        switch (value.typeId()) {
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
            reply.Integer(value.toLongLong());
            break;
        case QMetaType::ULong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
            reply.Number(value.toDouble());
            break;
        case QMetaType::Float:
            // A single carries about seven digits, and its decimal text has no more: the single
            // nearest 0.1 is written 0.1, never 0.100000001490116.
            reply.Number(QString::number(value.toFloat(), 'g', 7).toDouble());
            break;
        case QMetaType::Bool:
            reply.Bool(value.toBool());
            break;
        case QMetaType::QDate:
        case QMetaType::QDateTime:
            reply.String(VariantText(value));
            break;
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            // A byte is text in the reply, written as its number (Qt would make it a character).
            reply.String(QString::number(value.toInt()));
            break;
        default:
            // Text and anything else: the value's text.
            reply.String(value.toString());
            break;
        }
    }
}

QByteArray FinishedReply(JsonWriter& reply)
{
    reply.Raw("<EOF>");
    return reply.TakeText();
}

}  // namespace engine

bool clsClient::OpenForUser(const QString& mobileNo, const QString& folderName, const QString& userID,
                            const QString& password, engine::Rights& rights)
{
    Log(mobileNo, QStringLiteral(" Opening Database ") + folderName);
    OpenCompanyDatabase(folderName);

    Log(mobileNo, QStringLiteral(" Checking User"));
    if (!CheckUser(userID, password, rights.IsSupervisor, rights.BranchCodes, rights.StoreCodes,
                   rights.AccountGroupCodes)) {
        ErrorText = QStringLiteral("User doesn't exist or Locked.") + engine::CRLF + ErrorText;
        return false;
    }
    return true;
}

void clsClient::LoadReplyHead(JsonWriter& reply, const QString& action, const QString& mobileNo, const QVariantList& more)
{
    Log(mobileNo, QStringLiteral(" Generating Main Data for JSON Text"));
    const QVariantList pairs = QVariantList{QStringLiteral("Action"), action, QStringLiteral("MobileNo"), mobileNo,
                                            QStringLiteral("Status"), 1, QStringLiteral("Message"), QStringLiteral("Success")}
                               + more;
    JsonWriter head;
    head.BeginObject();
    engine::WritePairs(head, pairs);  // a value that cannot be written fails before the next line
    Log(mobileNo, QStringLiteral(" Loading Main Data to JSON Object"));
    reply = std::move(head);
}

QByteArray clsClient::ActionReply(const JsonObject& request, engine::ActionRequest& r, engine::Rights& rights,
                               engine::Period& period, const engine::ActionCourse& course)
{
    ErrorText.clear();
    r.Action = request.StringOf(QStringLiteral("Action"));
    r.MobileNo = request.StringOf(QStringLiteral("MobileNo"));
    auto failed = [&] { return HandlerFailure(course.FailureLine, r.Action, r.MobileNo, nullptr); };
    try {
        JsonWriter reply;
        r.UserID = request.StringOf(QStringLiteral("UserID"));
        r.Password = request.StringOf(QStringLiteral("Password"));
        r.FolderName = request.StringOf(QStringLiteral("FolderName"));
        course.ReadKeys(request);

        Log(r.MobileNo, course.GettingWords);
        if (!OpenForUser(r.MobileNo, r.FolderName, r.UserID, r.Password, rights))
            return failed();

        Log(r.MobileNo, QStringLiteral(" Getting Company Info"));
        bool branchRequired = false, seriesRequired = false, sezUnit = false, unionTerritory = false;
        QString stateCode;
        if (!GetCompanyInfo(branchRequired, seriesRequired, r.CompanyStart, r.CompanyLast, sezUnit, stateCode,
                            unionTerritory)) {
            ErrorText = QStringLiteral("Unable to Get company Info.") + engine::CRLF + ErrorText;
            return failed();
        }

        if (course.BeforeDates && !course.BeforeDates())
            return failed();

        Log(r.MobileNo, QStringLiteral(" Checking for Valid Dates."));
        const bool sameYear = course.SameYear && course.SameYear();
        if (!CheckValidDates(r.CompanyStart, r.CompanyLast, r.StartDate, r.LastDate, sameYear))
            return failed();

        Log(r.MobileNo, QStringLiteral(" Calculating Month Dates & No."));
        period = engine::Period::Of(r.CompanyStart, r.StartDate, r.LastDate);
        // The queries build their balance expressions from the period values as they need them.
        if (!course.BalanceWords.isEmpty())
            Log(r.MobileNo, course.BalanceWords);

        if (course.LookUp && !course.LookUp())
            return failed();

        LoadReplyHead(reply, r.Action, r.MobileNo, course.Head());
        Log(r.MobileNo, QStringLiteral(" Adding Data Array to JSON"));
        reply.Name("Data");
        reply.BeginArray();
        if (!course.Fill(reply))
            return failed();
        reply.EndArray();
        reply.EndObject();

        Log(r.MobileNo, course.ReturningWords);
        return engine::FinishedReply(reply);
    } catch (const RuntimeError& error) {
        // The row procedures close the recordset themselves; a step that opened it directly may not.
        CloseRecordset();
        return HandlerFailure(course.FailureLine, r.Action, r.MobileNo, &error);
    }
}

void clsClient::ActionRows(const QString& mobileNo, const QString& sql, const QString& recordsWords,
                           const QString& addingWords, JsonWriter& Data, const std::function<bool(Rows&)>& take,
                           const std::function<void(JsonWriter&, Rows&)>& fill)
{
    Log(mobileNo, recordsWords);
    ReadRows(mobileNo, sql, {addingWords}, [&](Rows& rows) {
        if (!take(rows))
            return;
        Data.BeginObject();
        fill(Data, rows);
        Data.EndObject();
    });
}

// The rows are read as the statement steps, not first all into a recordset; what is seen stays
// what the recordset showed. The recordset met a failure of the statement in any row before its
// reading began: such a failure still ends the request before `readWords` and before the failure
// of a reading in an earlier row, which is held until the statement has run to its end. A row
// written to the reply before a failure does not matter: the failure replaces the reply.
void clsClient::ReadRows(const QString& mobileNo, const platform::db::Statement& sql, std::initializer_list<QStringView> readWords,
                         const std::function<void(Rows&)>& row)
{
    const std::unique_ptr<Rows> rows = cnnCompany.OpenRows(sql);
    std::exception_ptr failed;
    while (rows->Next()) {
        if (failed)
            continue;
        try {
            row(*rows);
        } catch (const RuntimeError&) {
            failed = std::current_exception();
        }
    }
    LogPieces(mobileNo, readWords.begin(), static_cast<qsizetype>(readWords.size()));
    if (failed)
        std::rethrow_exception(failed);
}
