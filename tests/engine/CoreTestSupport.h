#pragma once

// What the engine-core tests share: a throw-away installation (program folder, embedded database
// folder, a clsSetup pointed at it with its text log started), access to the engine's private
// services, and the reading of reply texts.

#include "Fixtures.h"
#include "core/RuntimeError.h"
#include "clsClient.h"
#include "clsSetup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

class EngineTestAccess {
public:
    static QString& ErrorText(clsClient& c) { return c.ErrorText; }
    static void OpenCompanyDatabase(clsClient& c, const QString& folder) { c.OpenCompanyDatabase(folder); }
    static void CloseCompanyDatabase(clsClient& c) { c.CloseCompanyDatabase(); }
    static bool IsOpen(clsClient& c) { return c.cnnCompany.State() == platform::db::adStateOpen; }
    static platform::db::Connection& Company(clsClient& c) { return c.cnnCompany; }
    static bool RecordsetOpen(clsClient& c) { return c.oRecordset.State() == 1; }

    static bool CheckUser(clsClient& c, const QString& userID, const QString& password, bool& isSupervisor,
                          QString& branchCodes, QString& storeCodes, QString& accountGroupCodes)
    {
        return c.CheckUser(userID, password, isSupervisor, branchCodes, storeCodes, accountGroupCodes);
    }
    static bool GetBranchInfo(clsClient& c, const QString& branchCode, bool& sezUnit, QString& stateCode, bool& unionTerritory)
    {
        return c.GetBranchInfo(branchCode, sezUnit, stateCode, unionTerritory);
    }
    static bool CheckValidDates(clsClient& c, const QDate& cs, const QDate& cl, const QDate& s, const QDate& l, bool sameYear)
    {
        return c.CheckValidDates(cs, cl, s, l, sameYear);
    }
    static bool GetCompanyYearDates(clsClient& c, const QDate& today, QDate& s, QDate& l)
    {
        return c.GetCompanyYearDates(today, s, l);
    }
    static bool GetAccountInfo(clsClient& c, const QString& accountCode, const QString& locationCode, QString& accountName,
                               QString& accountLocationName, QString& priceListCode, QString& gstCode, QString& sgstCode,
                               QString& igstCode, double& discPercentage, QString& gstPartyType, QString& countryCode)
    {
        return c.GetAccountInfo(accountCode, locationCode, accountName, accountLocationName, priceListCode, gstCode,
                                sgstCode, igstCode, discPercentage, gstPartyType, countryCode);
    }
    static bool GetItemInfo(clsClient& c, const QString& itemCode, QString& itemName, QString& unit)
    {
        return c.GetItemInfo(itemCode, itemName, unit);
    }
    static bool CheckUserOptionRight(clsClient& c, const QString& userID, const QString& documentType)
    {
        return c.CheckUserOptionRight(userID, documentType);
    }
    static QString GetTableName(const QString& documentType, const QString& kind)
    {
        return clsClient::GetTableName(documentType, kind);
    }
    static void ReadRows(clsClient& c, const QString& mobileNo, const QString& sql, const QString& readWords,
                         const std::function<void(platform::db::Rows&)>& row)
    {
        c.ReadRows(mobileNo, sql, {readWords}, row);
    }
};

namespace coretest {

inline const QString CRLF = QStringLiteral("\r\n");

// The per-user settings store must never be the real one: point it at a folder of the test's
// own before anything reads it.
inline void IsolateUserSettings(const QTemporaryDir& dir)
{
    fixtures::IsolateUserSettings(dir.filePath(QStringLiteral("config")));
}

inline QDateTime Midnight(int y, int m, int d)
{
    return QDateTime(QDate(y, m, d), QTime(0, 0));
}

// The JSON object of a reply text ending in "<EOF>" (an empty object for any other text).
inline platform::JsonObject ParsedReply(const QString& reply)
{
    platform::JsonObject object;
    if (reply.endsWith(QLatin1String("<EOF>")))
        object.Load(reply.left(reply.size() - 5));
    return object;
}

class Installation {
public:
    Installation()
    {
        QDir().mkpath(ProgramFolder());
        QDir().mkpath(DatabaseFolder());
        setup = std::make_unique<clsSetup>(ProgramFolder());
        fixtures::PointSetupAt(*setup, DatabaseFolder());
        setup->LogEvents();
    }

    QString ProgramFolder() const { return m_dir.filePath(QStringLiteral("CALDERWICK/Corvantis")); }
    QString DatabaseFolder() const { return m_dir.filePath(QStringLiteral("databases")); }

    // A company database in the folder, with its Company row unless told otherwise.
    std::unique_ptr<fixtures::CompanyDatabase> CreateCompany(const QString& name, const fixtures::CompanyRow& row,
                                                             bool withCompanyRow = true)
    {
        auto db = std::make_unique<fixtures::CompanyDatabase>(DatabaseFolder(), name);
        if (withCompanyRow)
            db->AddCompany(row);
        return db;
    }

    // One row of the server's company list, as the company discovery fills it.
    void ListCompany(const QString& databaseName, const QString& companyName, const QDateTime& start, const QDateTime& last)
    {
        fixtures::ListCompany(setup->xCompanies, databaseName, companyName, start, last);
    }

    // The texts of the log lines written so far (without their time), the log's start line left out.
    QStringList LogLines() const
    {
        QFile file(setup->CurrentLogFile());
        QStringList lines;
        if (!file.open(QIODevice::ReadOnly))
            return lines;
        const QStringList raw = QString::fromLocal8Bit(file.readAll()).split(CRLF, Qt::SkipEmptyParts);
        for (const QString& line : raw) {
            const QString text = line.mid(line.indexOf(QLatin1Char('|')) + 1);
            if (text != QLatin1String("Start Logging"))
                lines << text;
        }
        return lines;
    }

    std::unique_ptr<clsSetup> setup;

private:
    QTemporaryDir m_dir;
};

}  // namespace coretest
