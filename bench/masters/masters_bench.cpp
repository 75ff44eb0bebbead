// Times the master lists and look-ups on the benchmark company (see BenchCompany.h) in the embedded
// database, and the same statements run straight on SQLite: "ItemList" and "PartyList" with empty
// initials (every passed item; every debtor and creditor) and with a two-letter prefix,
// "PartyDetail" and "ItemDetail".
//
// The benchmark company is made for the ledgers: its accounts and items all begin with the same
// words and it has no party addresses, price list, GST codes or calculation setup. This program
// adds them to its own copy before it measures: a main location (and a second one for every tenth
// account) with a place, GST codes and a price list for every account, names whose first two
// letters spread over 676 pairs, a price list of every other item, store rights for every third
// item, branch rights for every fifth account, the GST master and the calculation setup.
//
// Usage: corvantis-bench-masters [--runs N] [--keep FOLDER] [--no-analyze] [--plans] [--only TEXT]
// (--only: just the cases whose name, such as "PartyList", holds the text)

#include "BenchCompany.h"
#include "clsSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <stdexcept>

using namespace bench;

namespace {

// Two letters that spread the names over 676 prefixes, then a word and the number.
QString Spread(int n, const char* word)
{
    const QChar first(QLatin1Char(static_cast<char>('A' + n % 26)));
    const QChar second(QLatin1Char(static_cast<char>('a' + (n / 26) % 26)));
    return QString(first) + second + QLatin1Char(' ') + QString::fromLatin1(word) + QLatin1Char(' ') + QString::number(n);
}

void Prepare(sqlite3* db, const char* sql, sqlite3_stmt** statement)
{
    if (sqlite3_prepare_v2(db, sql, -1, statement, nullptr) != SQLITE_OK)
        Fail(db, QString::fromUtf8(sql));
}

void Step(sqlite3* db, sqlite3_stmt* statement)
{
    if (sqlite3_step(statement) != SQLITE_DONE)
        Fail(db, QStringLiteral("insert"));
    sqlite3_reset(statement);
}

void BindText(sqlite3_stmt* statement, int index, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    sqlite3_bind_text(statement, index, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

void AddMasters(const QString& folder, bool analyze)
{
    sqlite3* db = nullptr;
    const QByteArray path = QFile::encodeName(QDir(folder).filePath(kCompany + QStringLiteral(".sqlite")));
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        Fail(db, QStringLiteral("open"));
    Exec(db, "PRAGMA journal_mode = OFF");
    Exec(db, "PRAGMA synchronous = OFF");
    Exec(db, "BEGIN");

    sqlite3_stmt* rename = nullptr;
    Prepare(db, "UPDATE FaAccountMaster SET AccountName = ?1 WHERE AccountCode = ?2", &rename);
    sqlite3_stmt* address = nullptr;
    Prepare(db,
            "INSERT INTO FaAccountAddressMaster (AccountCode, AccountLocationCode, AccountLocationName, Place, PriceListCode, "
            "CGSTCode, SGSTCode, IGSTCode, DiscPercentage, GSTPartyType, CountryCode, StateCode, CreditPeriod, SalesmanCode, "
            "AgentCode, TransporterName, Locked) VALUES (?1, ?2, ?3, ?4, ?5, 'C9', 'S9', 'I18', ?6, 'REG', 'IN', ?7, 30, ?8, ?9, "
            "'Bench Roadways', 'False')",
            &address);
    sqlite3_stmt* rights = nullptr;
    Prepare(db, "INSERT INTO FaAccountBranchRights (AccountCode, BranchCode) VALUES (?1, ?2)", &rights);
    static const char* const places[] = {"Pune", "Nashik", "Mumbai", "", "Nagpur", "Surat", "Belagavi", "Indore"};
    static const char* const states[] = {"027", "027", "027", "027", "027", "024", "029", "023"};
    for (int i = 0; i < kAccounts; ++i) {
        const QString code = Code("A", i, 5);
        BindText(rename, 1, Spread(i, "Traders"));
        BindText(rename, 2, code);
        Step(db, rename);
        for (int location = 1; location <= (i % 10 == 0 ? 2 : 1); ++location) {
            BindText(address, 1, code);
            BindText(address, 2, Code("", location, 3));
            BindText(address, 3, location == 1 ? QStringLiteral("Main") : QStringLiteral("Site"));
            BindText(address, 4, QString::fromLatin1(places[i % 8]));
            BindText(address, 5, i % 2 == 0 ? QStringLiteral("PL1") : QString());
            sqlite3_bind_double(address, 6, (i % 4) * 1.5);
            BindText(address, 7, QString::fromLatin1(states[i % 8]));
            BindText(address, 8, QStringLiteral("SM%1").arg(i % 5 + 1));
            BindText(address, 9, i % 3 == 0 ? QStringLiteral("AG1") : QString());
            Step(db, address);
        }
        if (i % 5 == 0) {
            BindText(rights, 1, code);
            BindText(rights, 2, kBranches[i % 3]);
            Step(db, rights);
        }
    }
    sqlite3_finalize(rename);
    sqlite3_finalize(address);
    sqlite3_finalize(rights);

    sqlite3_stmt* item = nullptr;
    Prepare(db, "UPDATE FaItemMaster SET ItemName = ?1, SalesCGSTCode = 'C9', SalesSGSTCode = 'S9', SalesIGSTCode = 'I18' "
                "WHERE ItemCode = ?2", &item);
    sqlite3_stmt* price = nullptr;
    Prepare(db, "INSERT INTO FaPriceListMaster (PriceListCode, ItemCode, Rate, Per, CGSTCode, SGSTCode, IGSTCode, DiscPercentage) "
                "VALUES ('PL1', ?1, ?2, 1, '', '', '', ?3)", &price);
    sqlite3_stmt* storeRight = nullptr;
    Prepare(db, "INSERT INTO FaItemStoreRights (ItemCode, StoreCode) VALUES (?1, ?2)", &storeRight);
    for (int i = 0; i < kItems; ++i) {
        const QString code = Code("I", i, 4);
        BindText(item, 1, Spread(i * 7, "Item"));
        BindText(item, 2, code);
        Step(db, item);
        if (i % 2 == 0) {
            BindText(price, 1, code);
            sqlite3_bind_double(price, 2, 50 + i % 500);
            sqlite3_bind_double(price, 3, i % 4 == 0 ? 5 : 0);
            Step(db, price);
        }
        if (i % 3 == 0) {
            BindText(storeRight, 1, code);
            BindText(storeRight, 2, kStores[i % 4]);
            Step(db, storeRight);
        }
    }
    sqlite3_finalize(item);
    sqlite3_finalize(price);
    sqlite3_finalize(storeRight);

    Exec(db, "INSERT INTO FaGSTMaster (GSTCode, GSTDescription, GSTCategory, GSTPercentage, SGSTCode) VALUES "
             "('C9', 'CGST 9%', 'CGST', 9, 'S9'), ('S9', 'SGST 9%', 'SGST', 9, ''), ('I18', 'IGST 18%', 'IGST', 18, '')");
    Exec(db, "INSERT INTO FaCalculationDef (SetupDocumentType, Sno, ItemWiseGST, ItemWiseDiscount) VALUES "
             "('INV', 1, 'True', 'True'), ('INV', 2, 'False', 'False'), ('PUR', 1, 'False', 'False')");
    for (int s = 1; s <= 5; ++s)
        Exec(db, QStringLiteral("INSERT INTO FaSalesmanMaster (SalesmanCode, SalesmanName) VALUES ('SM%1', 'Salesman %1')")
                     .arg(s).toUtf8().constData());
    Exec(db, "INSERT INTO FaAgentMaster (AgentCode, AgentName) VALUES ('AG1', 'Agent One')");
    Exec(db, "COMMIT");
    if (analyze)
        Exec(db, "ANALYZE");
    sqlite3_close(db);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const Start start(argc, argv, "[--runs N] [--keep FOLDER] [--no-analyze] [--plans] [--only TEXT]");
    if (start.exitCode != 0)
        return start.exitCode;
    const Options& options = start.options;
    const QString& programFolder = start.programFolder;
    const QString& databaseFolder = start.databaseFolder;

    try {
        QElapsedTimer timer;
        timer.start();
        GenerateCompany(databaseFolder, false);
        AddMasters(databaseFolder, options.analyze);
        std::printf("company generated in %.1f s%s: %d accounts with their addresses, %d items with a price list\n",
                    timer.elapsed() / 1000.0, options.analyze ? " (with ANALYZE)" : " (no ANALYZE)", kAccounts, kItems);

        StartTracing();

        clsSetup setup(programFolder);
        PointSetup(setup, databaseFolder, true);
        // Company discovery opens the company once, as the server does at start-up, so that what
        // the first opening sets up is not counted as a statement of the first request.
        if (!DiscoverCompanies(setup))
            std::fprintf(stderr, "company discovery failed\n");

        sqlite3* straight = OpenStraight(databaseFolder);
        std::printf("times are medians of %d runs after one warm-up run\n\n", options.runs);
        const QString folder = kCompany;
        const auto ask = [&](const char* what, const QString& action, const QString& user,
                             const std::vector<std::pair<QString, QString>>& members, double goal) {
            if (!options.only.isEmpty() && !QString::fromLatin1(what).contains(options.only, Qt::CaseInsensitive))
                return true;
            std::vector<std::pair<QString, QString>> all{{QStringLiteral("FolderName"), folder}};
            all.insert(all.end(), members.begin(), members.end());
            const Timing t = Measure(setup, Request(action, user, user.toLower(), all), options.runs, straight);
            Report(what, t, options.plans, straight);
            const bool met = t.request < goal && t.ratio < 1.5;
            std::printf("    %s (under %.0f ms, ratio under 1.5)\n", met ? "goal met" : "goal MISSED", goal);
            return met;
        };
        const QString admin = QStringLiteral("ADMIN");
        const QString clerk = QStringLiteral("CLERK");
        bool all = true;
        all &= ask("ItemList, all items", QStringLiteral("ItemList"), admin, {{QStringLiteral("Initials"), QString()}}, 200);
        all &= ask("ItemList, all items, store rights", QStringLiteral("ItemList"), clerk,
                   {{QStringLiteral("Initials"), QString()}, {QStringLiteral("StoreCode"), QStringLiteral("S1")}}, 200);
        all &= ask("ItemList, prefix \"Ka\"", QStringLiteral("ItemList"), admin, {{QStringLiteral("Initials"), QStringLiteral("Ka")}}, 20);
        const std::vector<std::pair<QString, QString>> consignees{{QStringLiteral("FieldName"), QStringLiteral("ConsigneeCode")},
                                                                  {QStringLiteral("Initials"), QString()}};
        all &= ask("PartyList, all debtors and creditors", QStringLiteral("PartyList"), admin, consignees, 200);
        all &= ask("PartyList, all, branch rights", QStringLiteral("PartyList"), clerk, consignees, 200);
        all &= ask("PartyList, prefix \"Ka\"", QStringLiteral("PartyList"), admin,
                   {{QStringLiteral("FieldName"), QStringLiteral("AccountCode")}, {QStringLiteral("GroupType"), QStringLiteral("SD")},
                    {QStringLiteral("Initials"), QStringLiteral("Ka")}},
                   20);
        all &= ask("PartyDetail", QStringLiteral("PartyDetail"), admin,
                   {{QStringLiteral("AccountCode"), QStringLiteral("A06006")}, {QStringLiteral("BranchCode"), QStringLiteral("02")}}, 20);
        all &= ask("ItemDetail, from the price list", QStringLiteral("ItemDetail"), admin,
                   {{QStringLiteral("AccountCode"), QStringLiteral("A00010")}, {QStringLiteral("GSTSupplyType"), QStringLiteral("IS")},
                    {QStringLiteral("ItemCode"), QStringLiteral("I2468")}, {QStringLiteral("DocumentType"), QStringLiteral("INV")}},
                   20);
        all &= ask("ItemDetail, from the item master", QStringLiteral("ItemDetail"), admin,
                   {{QStringLiteral("AccountCode"), QStringLiteral("A00011")}, {QStringLiteral("GSTSupplyType"), QStringLiteral("OS")},
                    {QStringLiteral("ItemCode"), QStringLiteral("I2469")}, {QStringLiteral("DocumentType"), QStringLiteral("SAO")}},
                   20);
        sqlite3_close(straight);
        std::printf("\ngoals (full lists under 200 ms, look-ups under 20 ms, ratio under 1.5): %s\n", all ? "met" : "missed");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
