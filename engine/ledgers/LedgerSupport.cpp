// What the ledgers family hands the engine's handler skeleton, and its small readers.

#include "LedgerSupport.h"

#include "FamilySupport.h"
#include "database/Value.h"
#include "settings/GeneralFunction.h"

#include <cmath>

using platform::JsonObject;
using platform::JsonWriter;

namespace engine::ledgers {

Utf8Text RowDate(Rows& rows, Column& column)
{
    const int i = rows.Index(column);
    if (rows.IsNull(i) || (rows.Type(i) == platform::db::ValueType::Text && rows.ToText(i).IsEmpty()))
        return Utf8Text();
    return rows.ToDateText(i);
}

Utf8Text RowNarration(Rows& rows, Column& column)
{
    return engine::NarrationText(RowText(rows, column));
}

void DocumentColumns::WriteKey(JsonWriter& row, Rows& rs)
{
    row.Integer("DocYr", RowWhole(rs, year));
    row.String("BrnCd", TrimmedBlanks(RowText(rs, branch)).View());
    row.String("DocTy", RowText(rs, type).View());
    row.String("SerCd", RowText(rs, series).View());
    row.String("DocNo", RowText(rs, number).View());
}

void DocumentColumns::Write(JsonWriter& row, Rows& rs)
{
    WriteKey(row, rs);
    row.String("DocDt", RowDate(rs, date).View());
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

QByteArray clsClient::LedgerHandler(const JsonObject& request, const LedgerAction& a)
{
    LedgerRequest r;
    engine::ActionCourse course;
    course.FailureLine = a.FailureLine;
    course.GettingWords = a.GettingWords;
    course.ReadKeys = [&](const JsonObject& keys) {
        a.ReadKeys(keys, r);
        r.Code = r.GroupType.toUpper();
    };
    if (a.YearStartStep)
        course.BeforeDates = [&] {
            Log(r.MobileNo, QStringLiteral(" Calculating Company Year Start Date"));
            return true;
        };
    course.SameYear = [&] { return a.SameYear && engine::IsCodeInList(r.Code, QStringLiteral("SA,PU")); };
    course.BalanceWords = a.BalanceWords;
    course.LookUp = [&] {
        if (a.LookUp == LedgerAction::Lookup::Account) {
            Log(r.MobileNo, QStringLiteral(" Getting Account Info"));
            QString priceList, gst, sgst, igst, partyType, country;
            double discount = 0;
            bool inUserGroups = true;
            if (!GetAccountInfo(r.AccountCode, r.AccountLocationCode, r.AccountName, r.LocationName, priceList, gst, sgst,
                                igst, discount, partyType, country)
                || !GetAccountGroup(r, inUserGroups)) {
                ErrorText = QStringLiteral("Unable to Get Account Info.") + engine::CRLF + ErrorText;
                return false;
            }
            // Without this a user limited to some account groups could read any account by its code.
            if (a.GroupRight && !inUserGroups) {
                ErrorText = QStringLiteral("User doesn't have right to access this option.") + engine::CRLF + ErrorText;
                return false;
            }
            return true;
        }
        Log(r.MobileNo, QStringLiteral(" Getting Item Info"));
        if (!GetItemInfo(r.ItemCode, r.ItemName, r.Unit)) {
            ErrorText = QStringLiteral("Unable to Get Item Info.") + engine::CRLF + ErrorText;
            return false;
        }
        return true;
    };
    course.Head = [&] { return a.Head(r); };
    course.Fill = [&](JsonWriter& data) { return a.Fill(r, data); };
    course.ReturningWords = a.ReturningWords;
    return ActionReply(request, r, r.Rights, r.Period, course);
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
        r.AccountGroupType = engine::FieldText(oRecordset, QStringLiteral("GroupType"));
        inUserGroups = engine::FieldWhole(oRecordset, QStringLiteral("InGroups")) != 0;
        return true;
    });
}
