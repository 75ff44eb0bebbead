// The handler skeleton, the row writer and the small readers the ledgers family shares.

#include "LedgerSupport.h"

#include "FamilySupport.h"
#include "database/Value.h"
#include "settings/GeneralFunction.h"

#include <cmath>

using platform::JsonArray;
using platform::JsonObject;
using platform::RuntimeError;
using platform::db::Recordset;

namespace engine::ledgers {

QString Text(const Recordset& rs, const QString& column)
{
    const platform::db::Value& value = rs.Field(column);
    return value.IsNull() ? QString() : value.ToText();
}

QString Trimmed(const Recordset& rs, const QString& column)
{
    return TrimBlanks(Text(rs, column));
}

double Number(const Recordset& rs, const QString& column)
{
    const platform::db::Value& value = rs.Field(column);
    return value.IsNull() ? 0.0 : value.ToDouble();
}

qint64 Whole(const Recordset& rs, const QString& column)
{
    const platform::db::Value& value = rs.Field(column);
    return value.IsNull() ? 0 : value.ToInteger();
}

QString DateText(const Recordset& rs, const QString& column)
{
    const platform::db::Value& value = rs.Field(column);
    if (value.IsNull() || (value.Type() == platform::db::ValueType::Text && value.ToText().isEmpty()))
        return QString();
    return value.ToDate().toString(QStringLiteral("yyyy-MM-dd"));
}

QString Narration(const Recordset& rs, const QString& column)
{
    QString text = TrimBlanks(Text(rs, column));
    if (text.endsWith(CRLF))
        text.chop(2);
    return text;
}

double Rounded(double value, int places)
{
    const double scale = std::pow(10.0, places);
    return std::round(value * scale) / scale;
}

QString NumberLiteral(double value)
{
    return platform::db::convert::NumberText(value);
}

QString UnionAll()
{
    return CRLF + QStringLiteral("UNION ALL ") + CRLF;
}

}  // namespace engine::ledgers

QString clsClient::LedgerHandler(const JsonObject& request, const LedgerAction& a)
{
    ErrorText.clear();
    LedgerRequest r;
    r.Action = engine::ActionOf(request);
    r.MobileNo = engine::MobileOf(request);
    try {
        JsonObject reply;
        r.UserID = request.StringOf(QStringLiteral("UserID"));
        r.Password = request.StringOf(QStringLiteral("Password"));
        r.FolderName = request.StringOf(QStringLiteral("FolderName"));
        a.ReadKeys(request, r);
        r.Code = r.GroupType.toUpper();

        Log(r.MobileNo, a.GettingWords);
        Log(r.MobileNo, QStringLiteral(" Opening Database ") + r.FolderName);
        OpenCompanyDatabase(r.FolderName);

        Log(r.MobileNo, QStringLiteral(" Checking User"));
        if (!CheckUser(r.UserID, r.Password, r.Rights.IsSupervisor, r.Rights.BranchCodes, r.Rights.StoreCodes,
                       r.Rights.AccountGroupCodes)) {
            ErrorText = QStringLiteral("User doesn't exist or Locked.") + engine::CRLF + ErrorText;
            return HandlerFailure(a.FailureLine, r.Action, r.MobileNo, nullptr);
        }

        Log(r.MobileNo, QStringLiteral(" Getting Company Info"));
        bool branchRequired = false, seriesRequired = false, sezUnit = false, unionTerritory = false;
        QString stateCode;
        if (!GetCompanyInfo(branchRequired, seriesRequired, r.CompanyStart, r.CompanyLast, sezUnit, stateCode,
                            unionTerritory)) {
            ErrorText = QStringLiteral("Unable to Get company Info.") + engine::CRLF + ErrorText;
            return HandlerFailure(a.FailureLine, r.Action, r.MobileNo, nullptr);
        }

        if (a.YearStartStep)
            Log(r.MobileNo, QStringLiteral(" Calculating Company Year Start Date"));
        Log(r.MobileNo, QStringLiteral(" Checking for Valid Dates."));
        if (!CheckValidDates(r.CompanyStart, r.CompanyLast, r.StartDate, r.LastDate, a.SameYear && engine::IsCodeInList(r.Code, QStringLiteral("SA,PU"))))
            return HandlerFailure(a.FailureLine, r.Action, r.MobileNo, nullptr);

        Log(r.MobileNo, QStringLiteral(" Calculating Month Dates & No."));
        r.Period = engine::Period::Of(r.CompanyStart, r.StartDate, r.LastDate);
        if (!a.BalanceWords.isEmpty())
            Log(r.MobileNo, a.BalanceWords);

        if (a.LookUp == LedgerAction::Lookup::Account) {
            Log(r.MobileNo, QStringLiteral(" Getting Account Info"));
            QString priceList, gst, sgst, igst, partyType, country;
            double discount = 0;
            bool inUserGroups = true;
            if (!GetAccountInfo(r.AccountCode, r.AccountLocationCode, r.AccountName, r.LocationName, priceList, gst, sgst,
                                igst, discount, partyType, country)
                || !GetAccountGroup(r, inUserGroups)) {
                ErrorText = QStringLiteral("Unable to Get Account Info.") + engine::CRLF + ErrorText;
                return HandlerFailure(a.FailureLine, r.Action, r.MobileNo, nullptr);
            }
            // Without this a user limited to some account groups could read any account by its code.
            if (a.GroupRight && !inUserGroups) {
                ErrorText = QStringLiteral("User doesn't have right to access this option.") + engine::CRLF + ErrorText;
                return HandlerFailure(a.FailureLine, r.Action, r.MobileNo, nullptr);
            }
        } else {
            Log(r.MobileNo, QStringLiteral(" Getting Item Info"));
            if (!GetItemInfo(r.ItemCode, r.ItemName, r.Unit)) {
                ErrorText = QStringLiteral("Unable to Get Item Info.") + engine::CRLF + ErrorText;
                return HandlerFailure(a.FailureLine, r.Action, r.MobileNo, nullptr);
            }
        }

        Log(r.MobileNo, QStringLiteral(" Generating Main Data for JSON Text"));
        QString head = ReplyText(r.Action, r.MobileNo, 1, QStringLiteral("Success"), a.Head(r));
        head.chop(5);  // the "<EOF>": the Data array is still to be added
        Log(r.MobileNo, QStringLiteral(" Loading Main Data to JSON Object"));
        reply.Load(head);
        Log(r.MobileNo, QStringLiteral(" Adding Data Array to JSON"));
        JsonArray data = reply.AddArray(QStringLiteral("Data"));

        if (!a.Fill(r, data))
            return HandlerFailure(a.FailureLine, r.Action, r.MobileNo, nullptr);

        Log(r.MobileNo, a.ReturningWords);
        return reply.Emit(true) + QStringLiteral("<EOF>");
    } catch (const RuntimeError& error) {
        // The row procedures close the recordset themselves.
        return HandlerFailure(a.FailureLine, r.Action, r.MobileNo, &error);
    }
}

// The group type of the account's own group (for the sign of a location ledger) and whether its
// group is one the user may see.
bool clsClient::GetAccountGroup(LedgerRequest& r, bool& inUserGroups)
{
    return RunQuery([&] {
        const bool limited = !r.Rights.IsSupervisor && !r.Rights.AccountGroupCodes.isEmpty();
        const QString inGroups = limited ? QStringLiteral("CASE WHEN AccountMaster.ParentGroupCode IN (")
                                               + r.Rights.AccountGroupCodes + QStringLiteral(") THEN 1 ELSE 0 END")
                                         : QStringLiteral("1");
        const QString sql = QStringLiteral("SELECT IsNull(AccountGroupMaster.GroupType, '') AS GroupType, ") + inGroups
                            + QStringLiteral(" AS InGroups FROM FaAccountMaster AS AccountMaster "
                                             "LEFT JOIN FaAccountGroupMaster AS AccountGroupMaster ON "
                                             "AccountMaster.ParentGroupCode = AccountGroupMaster.AccountGroupCode "
                                             "WHERE AccountMaster.AccountCode = '")
                            + GeneralFunction::QuoteSQL(r.AccountCode) + QStringLiteral("' ");
        oRecordset.Open(sql, cnnCompany);
        r.AccountGroupType = engine::ledgers::Text(oRecordset, QStringLiteral("GroupType"));
        inUserGroups = engine::ledgers::Whole(oRecordset, QStringLiteral("InGroups")) != 0;
        return true;
    });
}

void clsClient::LedgerRows(const QString& mobileNo, const QString& sql, const QString& recordsWords,
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
