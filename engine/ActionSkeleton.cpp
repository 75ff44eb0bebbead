// The handler skeleton, the reply head and the row writer the engine's handlers share.

#include "ActionSkeleton.h"

#include "EngineSupport.h"
#include "clsClient.h"
#include "database/Value.h"

using platform::JsonArray;
using platform::JsonObject;
using platform::RuntimeError;
using platform::db::Recordset;

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

void clsClient::LoadReplyHead(JsonObject& reply, const QString& action, const QString& mobileNo,
                              const QVariantList& more)
{
    Log(mobileNo, QStringLiteral(" Generating Main Data for JSON Text"));
    QString head = ReplyText(action, mobileNo, 1, QStringLiteral("Success"), more);
    head.chop(5);  // the "<EOF>": the arrays are still to be added
    Log(mobileNo, QStringLiteral(" Loading Main Data to JSON Object"));
    reply.Load(head);
}

QString clsClient::ActionReply(const JsonObject& request, engine::ActionRequest& r, engine::Rights& rights,
                               engine::Period& period, const engine::ActionCourse& course)
{
    ErrorText.clear();
    r.Action = request.StringOf(QStringLiteral("Action"));
    r.MobileNo = request.StringOf(QStringLiteral("MobileNo"));
    auto failed = [&] { return HandlerFailure(course.FailureLine, r.Action, r.MobileNo, nullptr); };
    try {
        JsonObject reply;
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
        JsonArray data = reply.AddArray(QStringLiteral("Data"));

        if (!course.Fill(data))
            return failed();

        Log(r.MobileNo, course.ReturningWords);
        return reply.Emit(true) + QStringLiteral("<EOF>");
    } catch (const RuntimeError& error) {
        // The row procedures close the recordset themselves; a step that opened it directly may not.
        CloseRecordset();
        return HandlerFailure(course.FailureLine, r.Action, r.MobileNo, &error);
    }
}

void clsClient::ActionRows(const QString& mobileNo, const QString& sql, const QString& recordsWords,
                           const QString& addingWords, JsonArray& Data, const std::function<bool(const Recordset&)>& take,
                           const std::function<void(JsonObject&, const Recordset&)>& fill)
{
    Log(mobileNo, recordsWords);
    oRecordset.Open(sql, cnnCompany);
    Log(mobileNo, addingWords);
    // Each row is filled in a document of its own and copied to the end of "Data" whole: a member
    // added to a row inside the reply would look its row up from the reply's root every time.
    // Every row of a statement has the same members in the same order, so the scratch row's values
    // are replaced in place from one row to the next.
    JsonObject row;
    while (!oRecordset.IsEOF()) {
        if (take(oRecordset)) {
            fill(row, oRecordset);
            Data.AddObjectCopy(row);
        }
        oRecordset.MoveNext();
    }
    CloseRecordset();
}
