// "CompanyList": the companies of the server's list that are current and in which the request's
// user exists with this password and is not locked.

#include "clsClient.h"

#include "ActionSkeleton.h"
#include "EngineSupport.h"
#include "clock/Clock.h"
#include "settings/clsSetup.h"

using platform::JsonObject;
using platform::JsonWriter;
using platform::RuntimeError;

namespace {
const QString kFailureLine = QStringLiteral("Error while getting Company List.");
}  // namespace

QByteArray clsClient::GetCompanies(const JsonObject& request)
{
    ErrorText.clear();
    JsonWriter reply;
    QString action;
    QString mobileNo;
    try {
        action = request.StringOf(QStringLiteral("Action"));
        mobileNo = request.StringOf(QStringLiteral("MobileNo"));
        if (!Setup)
            throw platform::ObjectNotSet();
        const platform::XArrayDB& companies = Setup->xCompanies;
        const QString userID = request.StringOf(QStringLiteral("UserID"));
        const QString password = request.StringOf(QStringLiteral("Password"));
        Log(mobileNo, QStringLiteral(" Generating Main Data JSON Text"));

        reply.BeginObject();
        engine::WritePairs(reply, {QStringLiteral("Action"), action, QStringLiteral("MobileNo"), mobileNo, QStringLiteral("Status"), 1,
                                   QStringLiteral("Message"), QStringLiteral("Success"), QStringLiteral("EnterpriseEdition"), true});
        Log(mobileNo, QStringLiteral(" Loading Main Data JSON Object"));
        Log(mobileNo, QStringLiteral(" Adding Data Array to JSON"));
        reply.Name("Data");
        reply.BeginArray();
        int listed = 0;

        const QDateTime today = platform::Clock::Today().startOfDay();
        for (int row = companies.LowerBound(1); row <= companies.UpperBound(1); ++row) {
            const QString databaseName = engine::VariantText(companies.Value(row, 4));
            Log(mobileNo, QStringLiteral(" Checking Companies Parameter for ") + databaseName);
            // A company whose year has ended is offered only when the installation allows it.
            const QDateTime lastDay = engine::VariantDateTime(companies.Value(row, 3));
            const bool taken = lastDay > today || !Setup->lCurrentYearOnly;
            if (!taken)
                continue;

            Log(mobileNo, QStringLiteral(" Opening Database ") + databaseName);
            OpenCompanyDatabase(databaseName);
            Log(mobileNo, QStringLiteral(" Checking user"));
            bool isSupervisor = false;
            QString branchCodes, storeCodes, accountGroupCodes;
            if (CheckUser(userID, password, isSupervisor, branchCodes, storeCodes, accountGroupCodes)) {
                Log(mobileNo, QStringLiteral(" Getting Company Info for Database ") + databaseName);
                bool branchRequired = false, seriesRequired = false, sezUnit = false, unionTerritory = false;
                QDate startDate, lastDate;
                QString stateCode;
                if (!GetCompanyInfo(branchRequired, seriesRequired, startDate, lastDate, sezUnit, stateCode,
                                    unionTerritory)) {
                    // One unreadable company fails the whole list.
                    return HandlerFailure(kFailureLine, action, mobileNo, nullptr);
                }
                Log(mobileNo, QStringLiteral(" Adding Company Data to JSON Array"));
                reply.BeginObject();
                reply.String("CmpNm", engine::VariantText(companies.Value(row, 1)));
                reply.String("StDt", engine::VariantDateTime(companies.Value(row, 2)).date().toString(QStringLiteral("yyyy-MM-dd")));
                reply.String("LtDt", lastDay.date().toString(QStringLiteral("yyyy-MM-dd")));
                reply.String("FldNm", databaseName);
                reply.Bool("IsBrn", branchRequired);
                reply.Bool("IsSer", seriesRequired);
                reply.EndObject();
                ++listed;
            } else {
                ErrorText = QStringLiteral("User Doesn't exist or locked for database ") + databaseName + engine::CRLF + ErrorText;
            }
            CloseCompanyDatabase();
        }

        if (listed > 0) {
            reply.EndArray();
            reply.EndObject();
            Log(mobileNo, QStringLiteral(" Returning Company List from JSON Object to Text"));
            return engine::FinishedReply(reply);
        }
        return ReplyText(action, mobileNo, 0, QStringLiteral("No Company found to work.")).toUtf8();
    } catch (const RuntimeError& error) {
        CloseRecordset();
        return HandlerFailure(kFailureLine, action, mobileNo, &error);
    }
}
