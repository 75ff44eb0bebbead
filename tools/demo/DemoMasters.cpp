#include "DemoMasters.h"

#include <QString>
#include <QStringList>

#include <sqlite3.h>
#include <stdexcept>

namespace demo {

namespace {

void Run(sqlite3* db, const QString& sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message ? message : "error");
        sqlite3_free(message);
        throw std::runtime_error((text + QStringLiteral(" in: ") + sql.left(200)).toStdString());
    }
}

// One row; the values are SQL literals as written.
void Add(sqlite3* db, const char* table, const char* columns, const QStringList& values)
{
    Run(db, QStringLiteral("INSERT OR IGNORE INTO %1 (%2) VALUES (%3)")
                .arg(QString::fromLatin1(table), QString::fromLatin1(columns), values.join(QStringLiteral(", "))));
}

QString Text(const char* value)
{
    return QLatin1Char('\'') + QString::fromLatin1(value).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

}  // namespace

int AddDemoMasters(sqlite3* db)
{
    // A unit in the SEZ at Hinjawadi supplies without duty; the Delhi depot sits in a union
    // territory, where the state's half of GST is UGST.
    Add(db, "FaBranchMaster", "BranchCode, BranchName, SEZUnit, StateCode", {Text("03"), Text("Pune SEZ Unit"), Text("True"), Text("027")});
    Add(db, "FaBranchMaster", "BranchCode, BranchName, SEZUnit, StateCode",
        {Text("04"), Text("Delhi Sales Depot"), Text("False"), Text("007")});
    Add(db, "FaStateMaster", "StateCode, StateName", {Text("007"), Text("Delhi")});
    for (const char* rate : {"5", "12", "18", "28"}) {
        const double half = QString::fromLatin1(rate).toDouble() / 2;
        Add(db, "FaGSTMaster", "GSTCode, GSTDescription, GSTCategory, GSTPercentage, SGSTCode",
            {QStringLiteral("'U%1'").arg(QString::fromLatin1(rate)), QStringLiteral("'UGST %1%'").arg(half), Text("UGST"),
             QString::number(half), Text("")});
    }

    const char* const series[][3] = {
        {"INV", "", "Regular Invoices"}, {"INV", "EX", "Export Invoices"}, {"CMO", "", "Counter Cash Memos"},
        {"SAO", "", "Sales Orders"},     {"PUR", "", "Purchase Bills"},   {"PUO", "", "Purchase Orders"},
        {"SNT", "", "Sale Notes"},
    };
    for (const auto& s : series)
        Add(db, "FaSeriesMaster", "DocumentType, SeriesCode, SeriesName", {Text(s[0]), Text(s[1]), Text(s[2])});

    // Sale notes take GST and discount item by item (the sales and purchase calculations are
    // the documents' own).
    Add(db, "FaCalculationDef", "SetupDocumentType, Sno, Description, NickName, AmountNo, ItemWiseGST, ItemWiseDiscount",
        {Text("SNT"), QStringLiteral("1"), Text("Gross Amount"), Text("GROSS"), QStringLiteral("1"), Text("True"), Text("True")});

    const struct {
        const char* code;
        const char* name;
        const char* branch;
        const char* partyType;
        const char* country;
        const char* state;
        const char* locations[2][2];  // name, place
        const char* contacts[2];
    } parties[] = {
        {"D901", "Sahyadri SEZ Developers", "03", "SEZ", "IN", "027",
         {{"Hinjawadi SEZ Office", "Hinjawadi"}, {"Talegaon Plant", "Talegaon"}}, {"Rohit Bapat", "Swati Limaye"}},
        {"D902", "Gulf Hardware Trading LLC", "01", "", "AE", "",
         {{"Dubai Office", "Dubai"}, {"Sharjah Warehouse", "Sharjah"}}, {"Imran Sheikh", "Ravi Menon"}},
    };
    for (const auto& p : parties) {
        Add(db, "FaAccountMaster", "AccountCode, AccountName, ParentGroupCode, Passed", {Text(p.code), Text(p.name), Text("SDR"), Text("True")});
        Add(db, "FaAccountBranchRights", "AccountCode, BranchCode", {Text(p.code), Text(p.branch)});
        for (int l = 0; l < 2; ++l) {
            const QString location = QStringLiteral("'00%1'").arg(l + 1);
            Add(db, "FaAccountAddressMaster",
                "AccountCode, AccountLocationCode, AccountLocationName, Place, PriceListCode, CGSTCode, SGSTCode, IGSTCode, "
                "DiscPercentage, GSTPartyType, CountryCode, StateCode, CreditPeriod, SalesmanCode, AgentCode, TransporterName, Locked",
                {Text(p.code), location, Text(p.locations[l][0]), Text(p.locations[l][1]), Text(""), Text(""), Text(""), Text("I18"),
                 QStringLiteral("0"), Text(p.partyType), Text(p.country), Text(p.state), QStringLiteral("60"), Text("SM01"), Text(""),
                 Text(l == 0 ? "Sahyadri Roadways" : ""), Text("False")});
            for (int c = 0; c < 2; ++c)
                Add(db, "FaAccountContacts", "AccountCode, AccountLocationCode, AccountContactCode, ContactPerson, Locked",
                    {Text(p.code), location, QStringLiteral("'0%1'").arg(c + 1), Text(p.contacts[(c + l) % 2]), Text("False")});
        }
    }
    return 2;
}

}  // namespace demo
