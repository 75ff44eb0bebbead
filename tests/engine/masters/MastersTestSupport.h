#pragma once

// The company the master-list tests ask, and how they ask it.
//
// Company "MAST": state code 27 (so "027"), no SEZ unit.
// Branches: 01 Pune Head Office (027), 02 Nashik Branch (027), 03 Pune SEZ Unit (027, SEZ),
//   04 Delhi Depot (007, a union territory), 05 Goa Office (030).
// Stores: MG Main Godown, NG Nashik Godown, SR Showroom.
// Users (password "pw"): ADMIN supervisor with lists; CLERK branches "01, 02" and stores "MG , SR"
//   (blanks around the codes); NOLIST no lists; LOCKED locked.
// Salesmen SM01 Amit Deshpande, SM02 Rahul Kale, SM03 O'Neil Dsouza; agents AG01 Om Agency,
//   AG02 Shubham Associates.
// Series: INV A Alpha Series, INV B Bravo Series, PUR P Purchase Series, '' X No Type Series.
// Groups: GSD (SD), GSC (SC), GSX (SD, outside the books), GSA (SA).
// Parties:
//   D1 Acme Traders (GSD): 001 Head Office, Pune, 027, price list PL1, C9/S9/I18, 2.5 %, 30 days,
//      SM01, AG01, Fast Roadways; 002 Acme Site, Nashik, no price list, 0 %; 003 Acme Old (locked);
//      004 NULL name. Contacts at 001: 01 Anil Joshi, 02 Meena Shah, 03 Zed Locked (locked);
//      at '' : 04 No Location.
//   D2 Bharat Agencies (GSD): 001 place "", 029, SM99 (no such salesman), AG77 (no such agent);
//      branch rights only for 03.
//   D3 Coastal SEZ Ltd (GSD): 001 Vapi, 027, GST party type SEZ.
//   D4 Global Imports (GSD): 001 Dubai, country AE.
//   D5 Dormant Traders (GSD, not passed); D6 Far Away (GSD) with location 002 only.
//   C1 Deccan Polymers (GSC): 001 Thane, 027, country IN; rights for 01.
//   X1 Xeno Stockists (GSX): 001 Pune.   S1 Sales Local (GSA): 001.
// Items: I1 Bolt 10mm (100 per 1, IC9/IS9/II18; rights MG), I2 Bolt 12mm (120 per 10, IC6/IS6/II12;
//   rights NG), I3 Brush (50, no codes, no rights), I4 Bucket (not passed), I5 ABC Pipe, I6 AXC Pipe,
//   I7 A_C Tape, I8 O'Ring.
// Price list PL1: I1 90 per 1, PC9/PS9/PI18, 5 %; I2 80 per 10, no codes, 0 %.
// GST: C9 CGST 9% (SGST S9), S9 SGST 9%, U9 UGST 9%, I18 IGST 18%, C25 CGST 2.5% (SGST S25),
//   S25 SGST 2.5%, I5 IGST 5%.
// Calculation: INV rows Sno 2 (off, off) stored before Sno 1 (on, on); PUR Sno 1 (off, off);
//   SNT Sno 1 (on, off).

#include "../CoreTestSupport.h"

#include <QtTest>

namespace masterstest {

inline const QString kMobile = QStringLiteral("9822012345");
inline const QString kCompany = QStringLiteral("MAST");

inline void AddCompanyMasters(fixtures::CompanyDatabase& db)
{
    db.AddUser({.UserID = QStringLiteral("ADMIN"), .Password = QStringLiteral("pw"), .IsSupervisor = true,
                .BranchCodes = QStringLiteral("01"), .StoreCodes = QStringLiteral("MG")});
    db.AddUser({.UserID = QStringLiteral("CLERK"), .Password = QStringLiteral("pw"), .BranchCodes = QStringLiteral("01, 02"),
                .StoreCodes = QStringLiteral("MG , SR")});
    db.AddUser({.UserID = QStringLiteral("NOLIST"), .Password = QStringLiteral("pw")});
    db.AddUser({.UserID = QStringLiteral("LOCKED"), .Password = QStringLiteral("pw"), .Locked = true});

    db.AddBranch({QStringLiteral("01"), QStringLiteral("Pune Head Office"), false, QStringLiteral("027")});
    db.AddBranch({QStringLiteral("02"), QStringLiteral("Nashik Branch"), false, QStringLiteral("027")});
    db.AddBranch({QStringLiteral("03"), QStringLiteral("Pune SEZ Unit"), true, QStringLiteral("027")});
    db.AddBranch({QStringLiteral("04"), QStringLiteral("Delhi Depot"), false, QStringLiteral("007")});
    db.AddBranch({QStringLiteral("05"), QStringLiteral("Goa Office"), false, QStringLiteral("030")});
    db.AddStore({QStringLiteral("MG"), QStringLiteral("Main Godown")});
    db.AddStore({QStringLiteral("NG"), QStringLiteral("Nashik Godown")});
    db.AddStore({QStringLiteral("SR"), QStringLiteral("Showroom")});

    const char* const salesmen[][2] = {{"SM01", "Amit Deshpande"}, {"SM02", "Rahul Kale"}, {"SM03", "O'Neil Dsouza"}};
    for (const auto& s : salesmen)
        db.Insert(QStringLiteral("FaSalesmanMaster"), {QStringLiteral("SalesmanCode"), QString::fromLatin1(s[0]),
                                                       QStringLiteral("SalesmanName"), QString::fromLatin1(s[1])});
    const char* const agents[][2] = {{"AG01", "Om Agency"}, {"AG02", "Shubham Associates"}};
    for (const auto& a : agents)
        db.Insert(QStringLiteral("FaAgentMaster"),
                  {QStringLiteral("AgentCode"), QString::fromLatin1(a[0]), QStringLiteral("AgentName"), QString::fromLatin1(a[1])});
    const char* const series[][3] = {
        {"INV", "A", "Alpha Series"}, {"INV", "B", "Bravo Series"}, {"PUR", "P", "Purchase Series"}, {"", "X", "No Type Series"}};
    for (const auto& s : series)
        db.Insert(QStringLiteral("FaSeriesMaster"), {QStringLiteral("DocumentType"), QString::fromLatin1(s[0]),
                                                     QStringLiteral("SeriesCode"), QString::fromLatin1(s[1]),
                                                     QStringLiteral("SeriesName"), QString::fromLatin1(s[2])});

    db.AddAccountGroup({QStringLiteral("GSD"), QStringLiteral("Sundry Debtors"), QStringLiteral("SD"), 1, false});
    db.AddAccountGroup({QStringLiteral("GSC"), QStringLiteral("Sundry Creditors"), QStringLiteral("SC"), 2, false});
    db.AddAccountGroup({QStringLiteral("GSX"), QStringLiteral("Stockists"), QStringLiteral("SD"), 1, true});
    db.AddAccountGroup({QStringLiteral("GSA"), QStringLiteral("Sales"), QStringLiteral("SA"), 4, false});

    const auto account = [&](const char* code, const char* name, const char* group, bool passed = true) {
        db.AddAccount({QString::fromLatin1(code), QString::fromLatin1(name), QString::fromLatin1(group), passed});
    };
    account("D1", "Acme Traders", "GSD");
    account("D2", "Bharat Agencies", "GSD");
    account("D3", "Coastal SEZ Ltd", "GSD");
    account("D4", "Global Imports", "GSD");
    account("D5", "Dormant Traders", "GSD", false);
    account("D6", "Far Away", "GSD");
    account("C1", "Deccan Polymers", "GSC");
    account("X1", "Xeno Stockists", "GSX");
    account("S1", "Sales Local", "GSA");

    db.AddAccountAddress({.AccountCode = QStringLiteral("D1"), .AccountLocationName = QStringLiteral("Head Office"),
                          .Place = QStringLiteral("Pune"), .PriceListCode = QStringLiteral("PL1"), .CGSTCode = QStringLiteral("C9"),
                          .SGSTCode = QStringLiteral("S9"), .IGSTCode = QStringLiteral("I18"), .DiscPercentage = 2.5,
                          .GSTPartyType = QStringLiteral("REG"), .CountryCode = QStringLiteral("IN"), .StateCode = QStringLiteral("027"),
                          .CreditPeriod = 30, .SalesmanCode = QStringLiteral("SM01"), .AgentCode = QStringLiteral("AG01"),
                          .TransporterName = QStringLiteral("Fast Roadways")});
    db.AddAccountAddress({.AccountCode = QStringLiteral("D1"), .AccountLocationCode = QStringLiteral("002"),
                          .AccountLocationName = QStringLiteral("Acme Site"), .Place = QStringLiteral("Nashik"),
                          .CGSTCode = QStringLiteral("C9"), .SGSTCode = QStringLiteral("S9"), .IGSTCode = QStringLiteral("I18"),
                          .StateCode = QStringLiteral("027"), .CreditPeriod = 15});
    db.AddAccountAddress({.AccountCode = QStringLiteral("D1"), .AccountLocationCode = QStringLiteral("003"),
                          .AccountLocationName = QStringLiteral("Acme Old"), .Locked = true});
    db.Insert(QStringLiteral("FaAccountAddressMaster"), {QStringLiteral("AccountCode"), QStringLiteral("D1"),
                                                         QStringLiteral("AccountLocationCode"), QStringLiteral("004"),
                                                         QStringLiteral("AccountLocationName"), QVariant()});
    db.AddAccountAddress({.AccountCode = QStringLiteral("D2"), .AccountLocationName = QStringLiteral("Main"),
                          .StateCode = QStringLiteral("029"), .CreditPeriod = 45, .SalesmanCode = QStringLiteral("SM99"),
                          .AgentCode = QStringLiteral("AG77")});
    db.AddAccountAddress({.AccountCode = QStringLiteral("D3"), .AccountLocationName = QStringLiteral("Main"),
                          .Place = QStringLiteral("Vapi"), .GSTPartyType = QStringLiteral("SEZ"), .StateCode = QStringLiteral("027")});
    db.AddAccountAddress({.AccountCode = QStringLiteral("D4"), .AccountLocationName = QStringLiteral("Main"),
                          .Place = QStringLiteral("Dubai"), .CountryCode = QStringLiteral("AE")});
    db.AddAccountAddress({.AccountCode = QStringLiteral("D5"), .AccountLocationName = QStringLiteral("Main")});
    db.AddAccountAddress({.AccountCode = QStringLiteral("D6"), .AccountLocationCode = QStringLiteral("002"),
                          .AccountLocationName = QStringLiteral("Far Site")});
    db.AddAccountAddress({.AccountCode = QStringLiteral("C1"), .AccountLocationName = QStringLiteral("Main"),
                          .Place = QStringLiteral("Thane"), .CountryCode = QStringLiteral("IN"), .StateCode = QStringLiteral("027")});
    db.AddAccountAddress({.AccountCode = QStringLiteral("X1"), .AccountLocationName = QStringLiteral("Main"),
                          .Place = QStringLiteral("Pune")});
    db.AddAccountAddress({.AccountCode = QStringLiteral("S1"), .AccountLocationName = QStringLiteral("Main")});
    const auto rights = [&](const char* account, const char* branch) {
        db.Insert(QStringLiteral("FaAccountBranchRights"),
                  {QStringLiteral("AccountCode"), QString::fromLatin1(account), QStringLiteral("BranchCode"), QString::fromLatin1(branch)});
    };
    rights("D2", "03");
    rights("C1", "01");

    const auto contact = [&](const char* location, const char* code, const char* person, bool locked) {
        db.Insert(QStringLiteral("FaAccountContacts"),
                  {QStringLiteral("AccountCode"), QStringLiteral("D1"), QStringLiteral("AccountLocationCode"),
                   QString::fromLatin1(location), QStringLiteral("AccountContactCode"), QString::fromLatin1(code),
                   QStringLiteral("ContactPerson"), QString::fromLatin1(person), QStringLiteral("Locked"), locked});
    };
    contact("001", "02", "Meena Shah", false);
    contact("001", "01", " Anil Joshi ", false);
    contact("001", "03", "Zed Locked", true);
    contact("", "04", "No Location", false);

    const auto item = [&](const char* code, const char* name, double rate, double per, const char* c, const char* s,
                          const char* i, bool passed = true) {
        db.AddItem({.ItemCode = QString::fromLatin1(code), .ItemName = QString::fromLatin1(name), .Unit = QStringLiteral("NOS"),
                    .Passed = passed, .SalesRate = rate, .SalesRatePer = per, .SalesCGSTCode = QString::fromLatin1(c),
                    .SalesSGSTCode = QString::fromLatin1(s), .SalesIGSTCode = QString::fromLatin1(i)});
    };
    item("I1", "Bolt 10mm", 100, 1, "IC9", "IS9", "II18");
    item("I2", "Bolt 12mm", 120, 10, "IC6", "IS6", "II12");
    item("I3", "Brush", 50, 1, "", "", "");
    item("I4", "Bucket", 70, 1, "", "", "", false);
    item("I5", "ABC Pipe", 10, 1, "", "", "");
    item("I6", "AXC Pipe", 10, 1, "", "", "");
    item("I7", "A_C Tape", 10, 1, "", "", "");
    item("I8", "O'Ring", 10, 1, "", "", "");
    const auto storeRight = [&](const char* item, const char* store) {
        db.Insert(QStringLiteral("FaItemStoreRights"),
                  {QStringLiteral("ItemCode"), QString::fromLatin1(item), QStringLiteral("StoreCode"), QString::fromLatin1(store)});
    };
    storeRight("I1", "MG");
    storeRight("I2", "NG");

    const auto price = [&](const char* item, double rate, double per, const char* c, const char* s, const char* i, double disc) {
        db.Insert(QStringLiteral("FaPriceListMaster"),
                  {QStringLiteral("PriceListCode"), QStringLiteral("PL1"), QStringLiteral("ItemCode"), QString::fromLatin1(item),
                   QStringLiteral("Rate"), rate, QStringLiteral("Per"), per, QStringLiteral("CGSTCode"), QString::fromLatin1(c),
                   QStringLiteral("SGSTCode"), QString::fromLatin1(s), QStringLiteral("IGSTCode"), QString::fromLatin1(i),
                   QStringLiteral("DiscPercentage"), disc});
    };
    price("I1", 90, 1, "PC9", "PS9", "PI18", 5);
    price("I2", 80, 10, "", "", "", 0);

    const auto gst = [&](const char* code, const char* description, const char* category, double percentage, const char* sgst) {
        db.Insert(QStringLiteral("FaGSTMaster"),
                  {QStringLiteral("GSTCode"), QString::fromLatin1(code), QStringLiteral("GSTDescription"),
                   QString::fromLatin1(description), QStringLiteral("GSTCategory"), QString::fromLatin1(category),
                   QStringLiteral("GSTPercentage"), percentage, QStringLiteral("SGSTCode"), QString::fromLatin1(sgst)});
    };
    gst("C9", "CGST 9%", "CGST Central", 9, "S9");
    gst("S9", "SGST 9%", "SGST State", 9, "");
    gst("U9", "UGST 9%", "UGST Union", 9, "");
    gst("I18", "IGST 18%", "IGST Integrated", 18, "");
    gst("C25", "CGST 2.5%", "CGST", 2.5, "S25");
    gst("S25", "SGST 2.5%", "SGST", 2.5, "");
    gst("I5", "IGST 5%", "IGST", 5, "");

    const auto calculation = [&](const char* type, int sno, bool itemWiseGST, bool itemWiseDiscount) {
        db.Insert(QStringLiteral("FaCalculationDef"),
                  {QStringLiteral("SetupDocumentType"), QString::fromLatin1(type), QStringLiteral("Sno"), sno,
                   QStringLiteral("ItemWiseGST"), itemWiseGST, QStringLiteral("ItemWiseDiscount"), itemWiseDiscount});
    };
    calculation("INV", 2, false, false);
    calculation("INV", 1, true, true);
    calculation("PUR", 1, false, false);
    calculation("SNT", 1, true, false);
}

// An installation with the company above.
struct MastersCompany {
    coretest::Installation installation;
    std::unique_ptr<fixtures::CompanyDatabase> db;

    explicit MastersCompany(bool withMasters = true)
    {
        db = installation.CreateCompany(kCompany, fixtures::CompanyRow());
        if (withMasters)
            AddCompanyMasters(*db);
    }

    // Asks one request of a new engine object, as the server does: "Action", "MobileNo",
    // "UserID", "Password", "FolderName", then the members given (text, or any JSON for the
    // members whose type matters).
    QString AskText(const QString& action, const QVariantList& members, const QString& user = QStringLiteral("ADMIN"))
    {
        platform::JsonObject request;
        request.AddString(QStringLiteral("Action"), action);
        request.AddString(QStringLiteral("MobileNo"), kMobile);
        request.AddString(QStringLiteral("UserID"), user);
        request.AddString(QStringLiteral("Password"), QStringLiteral("pw"));
        request.AddString(QStringLiteral("FolderName"), kCompany);
        for (qsizetype i = 0; i + 1 < members.size(); i += 2) {
            const QString name = members.at(i).toString();
            const QVariant& value = members.at(i + 1);
            if (value.typeId() == QMetaType::Bool)
                request.AddBool(name, value.toBool());
            else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::Double)
                request.AddNumber(name, value.toDouble());
            else
                request.AddString(name, value.toString());
        }
        clsClient client;
        client.Setup = installation.setup.get();
        return client.GetData(request);
    }
    platform::JsonObject Ask(const QString& action, const QVariantList& members, const QString& user = QStringLiteral("ADMIN"))
    {
        return coretest::ParsedReply(AskText(action, members, user));
    }
};

// The rows of "Data" as "code=name" texts of two members (or all members joined by "|").
inline QStringList Rows(const platform::JsonObject& reply)
{
    QStringList rows;
    const platform::JsonArray data = reply.ArrayOf(QStringLiteral("Data"));
    for (int i = 0; i < data.Size(); ++i) {
        const platform::JsonObject row = data.ObjectAt(i);
        QStringList values;
        for (int m = 0; m < row.Size(); ++m)
            values << row.StringOf(row.NameAt(m));
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

inline int Status(const platform::JsonObject& reply)
{
    return reply.StringOf(QStringLiteral("Status")).toInt();
}

inline QString Message(const platform::JsonObject& reply)
{
    return reply.StringOf(QStringLiteral("Message"));
}

}  // namespace masterstest
