// The "Document" and "Voucher" actions on the company "DOCS" (DocumentsFixture.h): the header of
// every document family, product lines with and without delivery schedules, calculations with
// GST per code and in one line, vouchers with bill adjustments, the rights of a limited user,
// missing documents, the failure messages, and nested recordsets on both database backends.

#include "../CoreTestSupport.h"
#include "DocumentsFixture.h"
#include "database/Connection.h"
#include "database/Recordset.h"

#include <QProcess>
#include <QtTest>

using coretest::CRLF;
using coretest::ParsedReply;
using platform::JsonArray;
using platform::JsonObject;

Q_DECLARE_METATYPE(platform::db::Value)

namespace {

const QString kMobile = QStringLiteral("9876543210");

QString Request(const QString& action, const QString& user, const QString& year, const QString& branch, const QString& type,
                const QString& series, const QString& number, const QString& folder = QStringLiteral("DOCS"))
{
    JsonObject request;
    request.AddString(QStringLiteral("Action"), action);
    request.AddString(QStringLiteral("MobileNo"), kMobile);
    request.AddString(QStringLiteral("UserID"), user);
    request.AddString(QStringLiteral("Password"), QStringLiteral("pw"));
    request.AddString(QStringLiteral("FolderName"), folder);
    request.AddString(QStringLiteral("DocumentYear"), year);
    request.AddString(QStringLiteral("BranchCode"), branch);
    request.AddString(QStringLiteral("DocumentType"), type);
    request.AddString(QStringLiteral("SeriesCode"), series);
    request.AddString(QStringLiteral("DocumentNo"), number);
    return request.Emit();
}

QString Document(const QString& type, const QString& series, const QString& number, const QString& user = QStringLiteral("ADMIN"),
                 const QString& branch = QStringLiteral("01"))
{
    return Request(QStringLiteral("Document"), user, QStringLiteral("2024"), branch, type, series, number);
}

QString Voucher(const QString& type, const QString& number, const QString& user = QStringLiteral("ADMIN"),
                const QString& branch = QStringLiteral("01"))
{
    return Request(QStringLiteral("Voucher"), user, QStringLiteral("2024"), branch, type, QString(), number);
}

// "caption=value" of each row of the "Document" array.
QStringList FieldRows(const JsonObject& reply)
{
    QStringList rows;
    const JsonArray document = reply.ArrayOf(QStringLiteral("Document"));
    for (int i = 0; i < document.Size(); ++i) {
        const JsonObject row = document.ObjectAt(i);
        rows << row.StringOf(QStringLiteral("FldNm")) + QLatin1Char('=') + row.StringOf(QStringLiteral("FldVl"));
    }
    return rows;
}

// Line numbers at and beyond the 16-bit range: for each, a sales order 2024 01 SAO <n> whose one
// line has ItemSno <n> and a delivery row of it, and a bank receipt 2024 01 BRE <n> whose one line
// has AccountSno <n> and a bill it settles.
const int kLineNumbers[] = {40000, 32767, -32768, -32769};

void AddLineNumbers(fixtures::CompanyDatabase& db)
{
    for (const int n : kLineNumbers) {
        const QVariantList key = {QStringLiteral("DocumentYear"), 2024, QStringLiteral("BranchCode"), QStringLiteral("01"),
                                  QStringLiteral("SeriesCode"), QString(), QStringLiteral("DocumentNo"), QString::number(n)};
        const QVariantList order = key + QVariantList{QStringLiteral("DocumentType"), QStringLiteral("SAO")};
        db.Insert(QStringLiteral("FaSalesOrderRegister"),
                  order + QVariantList{QStringLiteral("DocumentDate"), QDate(2024, 6, 5), QStringLiteral("AccountCode"), QStringLiteral("P1"),
                                       QStringLiteral("DeliverySchedule"), true});
        db.Insert(QStringLiteral("FaSalesOrderProducts"),
                  order + QVariantList{QStringLiteral("Sno"), 1, QStringLiteral("ItemSno"), n, QStringLiteral("ItemCode"), QStringLiteral("IT1"),
                                       QStringLiteral("Quantity"), 10, QStringLiteral("Rate"), 40, QStringLiteral("Amount"), 400});
        db.Insert(QStringLiteral("FaSalesOrderSchedule"),
                  order + QVariantList{QStringLiteral("Sno"), 1, QStringLiteral("ItemSno"), n, QStringLiteral("ItemCode"), QStringLiteral("IT1"),
                                       QStringLiteral("DeliveryDate"), QDate(2024, 7, 1), QStringLiteral("Quantity"), 10});
        const QVariantList receipt = key + QVariantList{QStringLiteral("DocumentType"), QStringLiteral("BRE")};
        db.Insert(QStringLiteral("FaAccountLedger"),
                  receipt + QVariantList{QStringLiteral("Sno"), 1, QStringLiteral("AccountSno"), n, QStringLiteral("AccountCode"),
                                         QStringLiteral("P1"), QStringLiteral("DocumentDate"), QDate(2024, 6, 12), QStringLiteral("Amount"), -100});
        db.Insert(QStringLiteral("FaOSReg"),
                  receipt + QVariantList{QStringLiteral("Sno"), 1, QStringLiteral("AccountSno"), n, QStringLiteral("AccountCode"),
                                         QStringLiteral("P1"), QStringLiteral("Amount"), -100, QStringLiteral("RDocumentYear"), 2024,
                                         QStringLiteral("RBranchCode"), QStringLiteral("01"), QStringLiteral("RDocumentType"),
                                         QStringLiteral("INV"), QStringLiteral("RSeriesCode"), QStringLiteral("A"),
                                         QStringLiteral("RDocumentNo"), QStringLiteral("1"), QStringLiteral("BillNo"), QStringLiteral("B-17"),
                                         QStringLiteral("AdjustedAmount"), 100, QStringLiteral("AdjustmentAmount"), 0});
    }
}

// Each element of an array as its compact JSON text.
QStringList Elements(const JsonArray& array)
{
    QStringList texts;
    for (int i = 0; i < array.Size(); ++i)
        texts << QString::fromStdString(array.json().at(static_cast<size_t>(i)).dump());
    return texts;
}

}  // namespace

class TestDocuments : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<coretest::Installation> m_inst;
    QString m_companyFile;

    QString Run(const QString& request)
    {
        JsonObject object;
        object.Load(request);
        clsClient client;
        client.Setup = m_inst->setup.get();
        return client.GetData(object);
    }
    JsonObject Reply(const QString& request) { return ParsedReply(Run(request)); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        coretest::IsolateUserSettings(m_dir);
        m_inst = std::make_unique<coretest::Installation>();
        auto db = std::make_unique<fixtures::CompanyDatabase>(m_inst->DatabaseFolder(), QStringLiteral("DOCS"));
        docstest::AddDocsCompany(*db);
        AddLineNumbers(*db);
        m_companyFile = db->FilePath();
        m_inst->ListCompany(QStringLiteral("DOCS"), QStringLiteral("Docs"), coretest::Midnight(2024, 4, 1), coretest::Midnight(2025, 3, 31));
        // Companies whose freight step names an amount column by a number beyond 16 bits.
        for (const int amountNo : {65541, -65531}) {
            const QString name = QStringLiteral("AMOUNTNO") + QString::number(amountNo);
            fixtures::CompanyDatabase wide(m_inst->DatabaseFolder(), name);
            docstest::AddDocsCompany(wide);
            wide.Exec(QStringLiteral("UPDATE FaCalculationDef SET AmountNo = ") + QString::number(amountNo)
                      + QStringLiteral(" WHERE SetupDocumentType = 'INV' AND NickName = 'Freight'"));
            m_inst->ListCompany(name, name, coretest::Midnight(2024, 4, 1), coretest::Midnight(2025, 3, 31));
        }
        // Companies that lack the table one detail array reads.
        for (const char* table : {"FaSalesInvoiceProducts", "FaCalculationDef", "FaOSReg", "FaSalesOrderSchedule"}) {
            const QString name = QStringLiteral("NO") + QString::fromLatin1(table).toUpper();
            fixtures::CompanyDatabase broken(m_inst->DatabaseFolder(), name);
            docstest::AddDocsCompany(broken);
            broken.Exec(QStringLiteral("DROP TABLE ") + QString::fromLatin1(table));
            m_inst->ListCompany(name, name, coretest::Midnight(2024, 4, 1), coretest::Midnight(2025, 3, 31));
        }
    }

    // The header of a document of each family, in the order of the field list, empty values
    // left out; user-defined fields follow for the types that have them.
    void headerOfEveryFamily_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("sales invoice") << Document(QStringLiteral("INV"), QStringLiteral("A"), QStringLiteral("1"))
                                       << QStringList{QStringLiteral("Document=Sales Invoice"), QStringLiteral("Branch=Head Office"),
                                                      QStringLiteral("Series=Retail"), QStringLiteral("Document No.=1"),
                                                      QStringLiteral("Date=2024-05-10"), QStringLiteral("Party=Party One"),
                                                      QStringLiteral("Party Location=Pune"), QStringLiteral("Bill No.=B-17"),
                                                      QStringLiteral("Crp & DueDt=30 - 2024-06-09"), QStringLiteral("Salesman=Amit"),
                                                      QStringLiteral("GST SupplyType=Intra-State"),
                                                      QStringLiteral("GST PlaceOfSupply=Maharashtra"), QStringLiteral("eWayBill No.=EWB1"),
                                                      QStringLiteral("Remarks=Deliver before noon"), QStringLiteral("Urgent=False")};
        // The type code in another case chooses the same family, tables and fields.
        QTest::newRow("sales invoice in lower case")
            << Document(QStringLiteral("inv"), QStringLiteral("A"), QStringLiteral("1"))
            << QStringList{QStringLiteral("Document=Sales Invoice"), QStringLiteral("Branch=Head Office"), QStringLiteral("Series=Retail"),
                           QStringLiteral("Document No.=1"), QStringLiteral("Date=2024-05-10"), QStringLiteral("Party=Party One"),
                           QStringLiteral("Party Location=Pune"), QStringLiteral("Bill No.=B-17"),
                           QStringLiteral("Crp & DueDt=30 - 2024-06-09"), QStringLiteral("Salesman=Amit"),
                           QStringLiteral("GST SupplyType=Intra-State"), QStringLiteral("GST PlaceOfSupply=Maharashtra"),
                           QStringLiteral("eWayBill No.=EWB1"), QStringLiteral("Remarks=Deliver before noon"), QStringLiteral("Urgent=False")};
        // No credit days stored: they count as 0.
        QTest::newRow("purchase bill") << Document(QStringLiteral("PUR"), QString(), QStringLiteral("7"))
                                       << QStringList{QStringLiteral("Document=Purchase Bill"), QStringLiteral("Branch=Head Office"),
                                                      QStringLiteral("Document No.=7"), QStringLiteral("Date=2024-06-01"),
                                                      QStringLiteral("Party=Party One"), QStringLiteral("Party Location=Pune"),
                                                      QStringLiteral("Ref.No.=R-9"), QStringLiteral("Ref.Date=2024-05-30"),
                                                      QStringLiteral("Crp & DueDt=0 - 2024-06-01"),
                                                      QStringLiteral("GST SupplyType=Inter-State")};
        QTest::newRow("sales order") << Document(QStringLiteral("SAO"), QString(), QStringLiteral("3"))
                                     << QStringList{QStringLiteral("Document=Sales Order"), QStringLiteral("Branch=Head Office"),
                                                    QStringLiteral("Document No.=3"), QStringLiteral("Date=2024-06-05"),
                                                    QStringLiteral("Party=Party One"), QStringLiteral("Party Location=Pune"),
                                                    QStringLiteral("Crp & DueDt=0 - 2024-06-05")};
        // The stored job-work code shows, not its text; a time on the empty date is the time alone.
        QTest::newRow("production") << Document(QStringLiteral("PRE"), QString(), QStringLiteral("4"))
                                    << QStringList{QStringLiteral("Document=Production"), QStringLiteral("Branch=Head Office"),
                                                   QStringLiteral("Document No.=4"), QStringLiteral("Date=2024-06-07"),
                                                   QStringLiteral("Prod.Store=Shop Floor"), QStringLiteral("Prod.Item=Cement"),
                                                   QStringLiteral("Process=Mixing"), QStringLiteral("Prod.Qty=10"),
                                                   QStringLiteral("Employee=Ravi"), QStringLiteral("Prod.Start Tm.=09:30:00"),
                                                   QStringLiteral("GST Tran.Ty=PREJW"), QStringLiteral("Total Cost=420.5")};
        QTest::newRow("store issue") << Document(QStringLiteral("ISU"), QString(), QStringLiteral("2"))
                                     << QStringList{QStringLiteral("Document=Store Issue"), QStringLiteral("Branch=Head Office"),
                                                    QStringLiteral("Document No.=2"), QStringLiteral("Date=2024-06-08"),
                                                    QStringLiteral("Issue Store=Main Store"), QStringLiteral("Receive Store=Shop Floor"),
                                                    QStringLiteral("GST Tran.Ty=ISUST")};
        // The item ledger's first line stands for the document.
        QTest::newRow("stock excess") << Document(QStringLiteral("EXC"), QString(), QStringLiteral("6"))
                                      << QStringList{QStringLiteral("Document=Stock Excess"), QStringLiteral("Branch=Head Office"),
                                                     QStringLiteral("Document No.=6"), QStringLiteral("Date=2024-06-09")};
        QTest::newRow("bank receipt") << Voucher(QStringLiteral("BRE"), QStringLiteral("5"))
                                      << QStringList{QStringLiteral("Document=Bank Receipt"), QStringLiteral("Document No.=5"),
                                                     QStringLiteral("Date=2024-06-12"), QStringLiteral("Cheque No.=123456"),
                                                     QStringLiteral("Cheque Dt.=2024-06-11")};
        QTest::newRow("expense voucher") << Voucher(QStringLiteral("EXP"), QStringLiteral("9"))
                                         << QStringList{QStringLiteral("Document=Expense Voucher"), QStringLiteral("Document No.=9"),
                                                        QStringLiteral("Date=2024-06-12"), QStringLiteral("Bill No.=RB/6"),
                                                        QStringLiteral("Bill Date=2024-06-01"), QStringLiteral("Crp & DueDt=9 - 2024-06-21"),
                                                        QStringLiteral("Descr.=June rent"), QStringLiteral("Quantity=1"),
                                                        QStringLiteral("GST SupplyType=GST Not Applicable"),
                                                        QStringLiteral("GST PlaceOfSupply=Maharashtra")};
        QTest::newRow("petty cash") << Voucher(QStringLiteral("PTY"), QStringLiteral("8"))
                                    << QStringList{QStringLiteral("Document=Petty Cash"), QStringLiteral("Document No.=8"),
                                                   QStringLiteral("Date=2024-06-12")};
    }
    void headerOfEveryFamily()
    {
        QFETCH(QString, request);
        QFETCH(QStringList, rows);
        const JsonObject reply = Reply(request);
        QCOMPARE(reply.StringOf(QStringLiteral("Message")), QStringLiteral("Success"));
        QCOMPARE(FieldRows(reply), rows);
    }

    // Product lines: the value columns of each family, lines in Sno order, an item missing from
    // the master, and delivery schedules of an order, earliest first.
    void productLines_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("sales invoice") << Document(QStringLiteral("INV"), QStringLiteral("A"), QStringLiteral("1"))
                                       << QStringList{R"({"ItmCd":"IT1","ItmNm":"Cement","Qty":4,"Unit":"Bag","Rate":200,"Amt":800,"Schs":[]})",
                                                      R"({"ItmCd":"IT9","ItmNm":"","Qty":1,"Unit":"","Rate":200,"Amt":200,"Schs":[]})"};
        QTest::newRow("sales order with schedule")
            << Document(QStringLiteral("SAO"), QString(), QStringLiteral("3"))
            << QStringList{R"({"ItmCd":"IT1","ItmNm":"Cement","Qty":10,"Unit":"Bag","Rate":40,"Amt":400,"Schs":[{"DlyDt":"2024-07-01","Qty":4},{"DlyDt":"2024-07-20","Qty":6}]})",
                           R"({"ItmCd":"IT2","ItmNm":"Sand","Qty":1,"Unit":"Ton","Rate":100,"Amt":100,"Schs":[]})"};
        QTest::newRow("production") << Document(QStringLiteral("PRE"), QString(), QStringLiteral("4"))
                                    << QStringList{R"({"ItmCd":"IT2","ItmNm":"Sand","Qty":-3,"Unit":"Ton","Rate":20,"Amt":-60,"Schs":[]})",
                                                   R"({"ItmCd":"IT1","ItmNm":"Cement","Qty":10,"Unit":"Bag","Rate":42.05,"Amt":420.5,"Schs":[]})"};
        QTest::newRow("store issue at cost") << Document(QStringLiteral("ISU"), QString(), QStringLiteral("2"))
                                             << QStringList{R"({"ItmCd":"IT1","ItmNm":"Cement","Qty":5,"Unit":"Bag","Rate":40,"Amt":200,"Schs":[]})"};
        QTest::newRow("stock excess absolute") << Document(QStringLiteral("EXC"), QString(), QStringLiteral("6"))
                                               << QStringList{R"({"ItmCd":"IT1","ItmNm":"Cement","Qty":3,"Unit":"Bag","Rate":10,"Amt":30,"Schs":[]})",
                                                              R"({"ItmCd":"IT2","ItmNm":"Sand","Qty":2,"Unit":"Ton","Rate":10,"Amt":20,"Schs":[]})"};
    }
    void productLines()
    {
        QFETCH(QString, request);
        QFETCH(QStringList, lines);
        const JsonObject reply = Reply(request);
        QCOMPARE(reply.StringOf(QStringLiteral("Message")), QStringLiteral("Success"));
        QCOMPARE(Elements(reply.ArrayOf(QStringLiteral("Products"))), lines);
    }

    // Calculation rows: GST per code from the GST register (invoice) and from the product lines
    // (order, summed and rounded), GST in one line (purchase), zero steps left out except GST.
    void calculation_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("invoice, GST per code") << Document(QStringLiteral("INV"), QStringLiteral("A"), QStringLiteral("1"))
                                               << QStringList{R"({"Descr":"Gross Amount","Perc":0,"Amt":1000,"Bold":true})",
                                                              R"({"Descr":"CGST 9%","Perc":9,"Amt":90,"Bold":true})",
                                                              R"({"Descr":"SGST 9%","Perc":9,"Amt":90,"Bold":true})",
                                                              R"({"Descr":"Freight","Perc":5,"Amt":50,"Bold":false})",
                                                              R"({"Descr":"Net Amount","Perc":0,"Amt":1230,"Bold":true})"};
        QTest::newRow("order, GST per code of the lines") << Document(QStringLiteral("SAO"), QString(), QStringLiteral("3"))
                                                          << QStringList{R"({"Descr":"Gross Amount","Perc":0,"Amt":500,"Bold":true})",
                                                                         R"({"Descr":"CGST 2.5%","Perc":2.5,"Amt":12.5,"Bold":true})",
                                                                         R"({"Descr":"SGST 2.5%","Perc":2.5,"Amt":12.5,"Bold":true})",
                                                                         R"({"Descr":"Net Amount","Perc":0,"Amt":525,"Bold":true})"};
        QTest::newRow("purchase, GST in one line") << Document(QStringLiteral("PUR"), QString(), QStringLiteral("7"))
                                                   << QStringList{R"({"Descr":"Gross","Perc":0,"Amt":100,"Bold":true})",
                                                                  R"({"Descr":"IGST 18%","Perc":18,"Amt":18,"Bold":true})",
                                                                  R"({"Descr":"","Perc":0,"Amt":0,"Bold":true})",
                                                                  R"({"Descr":"Net","Perc":0,"Amt":118,"Bold":true})"};
        QTest::newRow("production has none") << Document(QStringLiteral("PRE"), QString(), QStringLiteral("4")) << QStringList();
    }
    void calculation()
    {
        QFETCH(QString, request);
        QFETCH(QStringList, rows);
        const JsonObject reply = Reply(request);
        QCOMPARE(reply.StringOf(QStringLiteral("Message")), QStringLiteral("Success"));
        QCOMPARE(reply.TypeOf(QStringLiteral("Calculation")), platform::JsonType::Array);
        QCOMPARE(Elements(reply.ArrayOf(QStringLiteral("Calculation"))), rows);
    }

    // Account lines with their adjustments; an account missing from the master shows without
    // a name; a petty cash voucher never reads adjustments.
    void accountLines_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("bank receipt")
            << Voucher(QStringLiteral("BRE"), QStringLiteral("5"))
            << QStringList{R"({"ActCd":"BANK","ActNm":"State Bank","Amt":1000,"Narr":"Received from Party One","Adjs":[]})",
                           R"({"ActCd":"P1","ActNm":"Party One","Amt":-990,"Narr":"","Adjs":[{"BrnCd":"01","DocTy":"INV","SerCd":"A","DocNo":"1","BilNo":"B-17","AdAmt":700,"AtAmt":0},{"BrnCd":"01","DocTy":"On","SerCd":"A","DocNo":"Account","BilNo":"","AdAmt":290,"AtAmt":0}]})",
                           R"({"ActCd":"GONE","ActNm":"","Amt":-10,"Narr":"Bank charges","Adjs":[]})"};
        QTest::newRow("petty cash") << Voucher(QStringLiteral("PTY"), QStringLiteral("8"))
                                    << QStringList{R"({"ActCd":"RENT","ActNm":"Rent","Amt":100,"Narr":"Rent for June","Adjs":[]})",
                                                   R"({"ActCd":"BANK","ActNm":"State Bank","Amt":-100,"Narr":"","Adjs":[]})"};
    }
    void accountLines()
    {
        QFETCH(QString, request);
        QFETCH(QStringList, lines);
        const JsonObject reply = Reply(request);
        QCOMPARE(reply.StringOf(QStringLiteral("Message")), QStringLiteral("Success"));
        QCOMPARE(Elements(reply.ArrayOf(QStringLiteral("Accounts"))), lines);
    }

    // One reply of each action compared in full, member by member and in order.
    void wholeReplies()
    {
        QCOMPARE(Run(Document(QStringLiteral("SAO"), QString(), QStringLiteral("3"))),
                 QStringLiteral(R"({"Action":"Document","MobileNo":"9876543210","Status":1,"Message":"Success","Document":[)"
                                R"({"FldNm":"Document","FldVl":"Sales Order"},{"FldNm":"Branch","FldVl":"Head Office"},)"
                                R"({"FldNm":"Document No.","FldVl":"3"},{"FldNm":"Date","FldVl":"2024-06-05"},)"
                                R"({"FldNm":"Party","FldVl":"Party One"},{"FldNm":"Party Location","FldVl":"Pune"},)"
                                R"({"FldNm":"Crp & DueDt","FldVl":"0 - 2024-06-05"}],"Products":[)"
                                R"({"ItmCd":"IT1","ItmNm":"Cement","Qty":10,"Unit":"Bag","Rate":40,"Amt":400,"Schs":[)"
                                R"({"DlyDt":"2024-07-01","Qty":4},{"DlyDt":"2024-07-20","Qty":6}]},)"
                                R"({"ItmCd":"IT2","ItmNm":"Sand","Qty":1,"Unit":"Ton","Rate":100,"Amt":100,"Schs":[]}],"Calculation":[)"
                                R"({"Descr":"Gross Amount","Perc":0,"Amt":500,"Bold":true},{"Descr":"CGST 2.5%","Perc":2.5,"Amt":12.5,"Bold":true},)"
                                R"({"Descr":"SGST 2.5%","Perc":2.5,"Amt":12.5,"Bold":true},{"Descr":"Net Amount","Perc":0,"Amt":525,"Bold":true}]}<EOF>)"));
        QCOMPARE(Run(Voucher(QStringLiteral("PTY"), QStringLiteral("8"))),
                 QStringLiteral(R"({"Action":"Voucher","MobileNo":"9876543210","Status":1,"Message":"Success","Document":[)"
                                R"({"FldNm":"Document","FldVl":"Petty Cash"},{"FldNm":"Document No.","FldVl":"8"},)"
                                R"({"FldNm":"Date","FldVl":"2024-06-12"}],"Accounts":[)"
                                R"({"ActCd":"RENT","ActNm":"Rent","Amt":100,"Narr":"Rent for June","Adjs":[]},)"
                                R"({"ActCd":"BANK","ActNm":"State Bank","Amt":-100,"Narr":"","Adjs":[]}]}<EOF>)"));
    }

    // Types outside an action's lists answer success with the arrays present and empty; a piece
    // of a code or an empty code is no type of any list.
    void typesOutsideTheLists_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QStringList>("members");
        const QStringList document = {QStringLiteral("Action"), QStringLiteral("MobileNo"), QStringLiteral("Status"),
                                      QStringLiteral("Message"), QStringLiteral("Document"), QStringLiteral("Products"),
                                      QStringLiteral("Calculation")};
        const QStringList voucher = {QStringLiteral("Action"), QStringLiteral("MobileNo"), QStringLiteral("Status"), QStringLiteral("Message"),
                                     QStringLiteral("Document"), QStringLiteral("Accounts")};
        QTest::newRow("voucher type as a document") << Document(QStringLiteral("BRE"), QString(), QStringLiteral("5")) << document;
        QTest::newRow("piece of a code") << Document(QStringLiteral("IN"), QStringLiteral("A"), QStringLiteral("1")) << document;
        QTest::newRow("two codes") << Document(QStringLiteral("INV,CMO"), QStringLiteral("A"), QStringLiteral("1")) << document;
        QTest::newRow("empty code") << Document(QString(), QStringLiteral("A"), QStringLiteral("1")) << document;
        QTest::newRow("document type as a voucher") << Voucher(QStringLiteral("INV"), QStringLiteral("1")) << voucher;
        QTest::newRow("piece of a voucher code") << Voucher(QStringLiteral("EX"), QStringLiteral("9")) << voucher;
    }
    void typesOutsideTheLists()
    {
        QFETCH(QString, request);
        QFETCH(QStringList, members);
        const JsonObject reply = Reply(request);
        QCOMPARE(reply.StringOf(QStringLiteral("Status")), QStringLiteral("1"));
        QStringList names;
        for (int i = 0; i < reply.Size(); ++i)
            names << reply.NameAt(i);
        QCOMPARE(names, members);
        for (int i = 4; i < reply.Size(); ++i) {
            QCOMPARE(reply.TypeOf(names.at(i)), platform::JsonType::Array);
            QCOMPARE(reply.ArrayOf(names.at(i)).Size(), 0);
        }
    }

    // Each failure message, in full.
    void failures_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("message");
        const QString invoice = QStringLiteral("Document No. 202401INVA1");
        QTest::newRow("unknown user") << Document(QStringLiteral("INV"), QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("NOBODY"))
                                      << QStringLiteral("Error while getting ") + invoice + CRLF + QStringLiteral("User doesn't exist or Locked.") + CRLF;
        QTest::newRow("no option right") << Document(QStringLiteral("PUR"), QString(), QStringLiteral("7"), QStringLiteral("CLERK"))
                                         << QStringLiteral("Error while getting Document No. 202401PUR7") + CRLF
                                                + QStringLiteral("User doesn't have right to access this option.") + CRLF;
        // The clerk holds the option of sales invoices but not branch 03.
        QTest::newRow("branch outside the user's list")
            << Document(QStringLiteral("INV"), QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("CLERK"), QStringLiteral("03"))
            << QStringLiteral("Error while getting Document No. 202403INVA1") + CRLF
                   + QStringLiteral("User doesn't have right to access this option.") + CRLF;
        QTest::newRow("voucher of a branch outside the user's list")
            << Voucher(QStringLiteral("BRE"), QStringLiteral("1"), QStringLiteral("CLERK"), QStringLiteral("03"))
            << QStringLiteral("Error while getting Document No. 202403BRE1") + CRLF
                   + QStringLiteral("User doesn't have right to access this option.") + CRLF;
        QTest::newRow("missing document") << Document(QStringLiteral("INV"), QStringLiteral("A"), QStringLiteral("99"))
                                          << QStringLiteral("Error while getting Document No. 202401INVA99") + CRLF
                                                 + QStringLiteral("Unable to get Document No. 202401INVA99 Document Data.") + CRLF
                                                 + QStringLiteral("3021-Either BOF or EOF is True, or the current record has been deleted. "
                                                                  "Requested operation requires a current record.");
        QTest::newRow("missing voucher") << Voucher(QStringLiteral("BRE"), QStringLiteral("99"))
                                         << QStringLiteral("Error while getting Document No. 202401BRE99") + CRLF
                                                + QStringLiteral("Unable to get Document No. 202401BRE99 Document Data.") + CRLF
                                                + QStringLiteral("3021-Either BOF or EOF is True, or the current record has been deleted. "
                                                                 "Requested operation requires a current record.");
        // Quotes and "@" names in a key are values only: the document is just not found.
        QTest::newRow("quote in a key") << Document(QStringLiteral("INV"), QStringLiteral("A"), QStringLiteral("1' OR '1'='1"))
                                        << QStringLiteral("Error while getting Document No. 202401INVA1' OR '1'='1") + CRLF
                                               + QStringLiteral("Unable to get Document No. 202401INVA1' OR '1'='1 Document Data.") + CRLF
                                               + QStringLiteral("3021-Either BOF or EOF is True, or the current record has been deleted. "
                                                                "Requested operation requires a current record.");
        QTest::newRow("year out of range") << Request(QStringLiteral("Document"), QStringLiteral("ADMIN"), QStringLiteral("40000"),
                                                      QStringLiteral("01"), QStringLiteral("INV"), QStringLiteral("A"), QStringLiteral("1"))
                                           << QStringLiteral("Error while getting ") + CRLF + CRLF + QStringLiteral("Error 6-Overflow");
        // A year that is no number, an empty one and one of no finite number alike.
        for (const char* year : {"twenty", "", "nan", "NaN", "inf"})
            QTest::newRow(qPrintable(QStringLiteral("year \"%1\"").arg(QLatin1String(year))))
                << Request(QStringLiteral("Document"), QStringLiteral("ADMIN"), QLatin1String(year), QStringLiteral("01"),
                           QStringLiteral("INV"), QStringLiteral("A"), QStringLiteral("1"))
                << QStringLiteral("Error while getting ") + CRLF + CRLF + QStringLiteral("Error 13-Type mismatch");
        QTest::newRow("unknown company") << Request(QStringLiteral("Voucher"), QStringLiteral("ADMIN"), QStringLiteral("2024"), QStringLiteral("01"),
                                                    QStringLiteral("BRE"), QString(), QStringLiteral("5"), QStringLiteral("NOSUCH"))
                                         << QStringLiteral("Error while getting Document No. 202401BRE5") + CRLF + CRLF
                                                + QStringLiteral("Error -2147467259-Unknown company database: NOSUCH");
    }
    void failures()
    {
        QFETCH(QString, request);
        QFETCH(QString, message);
        const JsonObject reply = Reply(request);
        QCOMPARE(reply.Size(), 4);
        QCOMPARE(reply.StringOf(QStringLiteral("Status")), QStringLiteral("0"));
        QCOMPARE(reply.StringOf(QStringLiteral("Message")), message);
    }

    // A detail array that cannot be read fails the request with its own message and the
    // database's error, written once.
    void detailFailures_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("message");
        const QString invoice = QStringLiteral("Document No. 202401INVA1");
        auto document = [](const char* company, const char* type, const char* series, const char* number) {
            return Request(QStringLiteral("Document"), QStringLiteral("ADMIN"), QStringLiteral("2024"), QStringLiteral("01"),
                           QString::fromLatin1(type), QString::fromLatin1(series), QString::fromLatin1(number), QString::fromLatin1(company));
        };
        QTest::newRow("products") << document("NOFASALESINVOICEPRODUCTS", "INV", "A", "1")
                                  << QStringLiteral("Error while getting ") + invoice + CRLF + QStringLiteral("Unable to get ") + invoice
                                         + QStringLiteral(" Products Data.") + CRLF;
        QTest::newRow("schedule") << document("NOFASALESORDERSCHEDULE", "SAO", "", "3")
                                  << QStringLiteral("Error while getting Document No. 202401SAO3") + CRLF
                                         + QStringLiteral("Unable to get Document No. 202401SAO3 Products Data.") + CRLF;
        QTest::newRow("calculation") << document("NOFACALCULATIONDEF", "INV", "A", "1")
                                     << QStringLiteral("Error while getting ") + invoice + CRLF + QStringLiteral("Unable to get ") + invoice
                                            + QStringLiteral(" Calculation Data.") + CRLF;
        QTest::newRow("accounts") << Request(QStringLiteral("Voucher"), QStringLiteral("ADMIN"), QStringLiteral("2024"), QStringLiteral("01"),
                                             QStringLiteral("BRE"), QString(), QStringLiteral("5"), QStringLiteral("NOFAOSREG"))
                                  << QStringLiteral("Error while getting Document No. 202401BRE5") + CRLF
                                         + QStringLiteral("Unable to get Document No. 202401BRE5 Accounts Data.") + CRLF;
    }
    void detailFailures()
    {
        QFETCH(QString, request);
        QFETCH(QString, message);
        const JsonObject reply = Reply(request);
        QCOMPARE(reply.Size(), 4);
        QCOMPARE(reply.StringOf(QStringLiteral("Status")), QStringLiteral("0"));
        const QString text = reply.StringOf(QStringLiteral("Message"));
        QVERIFY2(text.startsWith(message), qPrintable(text));
        const QString error = text.mid(message.size());
        QVERIFY2(error.contains(QLatin1String("no such table")), qPrintable(error));
        QVERIFY2(!error.contains(CRLF), qPrintable(error));
    }

    // A line number and a calculation step's amount number are held in 16 bits: a value that
    // does not fit fails the array that reads it with an overflow, never wraps to another line's
    // rows or another amount column.
    void sixteenBitNumbers_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("member");     // the array of a success
        QTest::addColumn<QStringList>("elements");
        auto order = [](int n) { return Document(QStringLiteral("SAO"), QString(), QString::number(n)); };
        auto receipt = [](int n) { return Voucher(QStringLiteral("BRE"), QString::number(n)); };
        auto overflow = [](const QString& label, const char* words) {
            return QStringLiteral("Error while getting ") + label + CRLF + QStringLiteral("Unable to get ") + label + QLatin1Char(' ')
                   + QString::fromLatin1(words) + QLatin1Char('.') + CRLF + QStringLiteral("6-Overflow");
        };
        const QStringList orderLine = {
            R"({"ItmCd":"IT1","ItmNm":"Cement","Qty":10,"Unit":"Bag","Rate":40,"Amt":400,"Schs":[{"DlyDt":"2024-07-01","Qty":10}]})"};
        const QStringList receiptLine = {
            R"({"ActCd":"P1","ActNm":"Party One","Amt":-100,"Narr":"","Adjs":[{"BrnCd":"01","DocTy":"INV","SerCd":"A","DocNo":"1","BilNo":"B-17","AdAmt":100,"AtAmt":0}]})"};
        const QString success = QStringLiteral("Success");
        for (const int n : {32767, -32768}) {
            QTest::addRow("order line %d", n) << order(n) << success << QStringLiteral("Products") << orderLine;
            QTest::addRow("receipt line %d", n) << receipt(n) << success << QStringLiteral("Accounts") << receiptLine;
        }
        for (const int n : {40000, -32769}) {
            QTest::addRow("order line %d", n) << order(n) << overflow(QStringLiteral("Document No. 202401SAO") + QString::number(n), "Products Data")
                                              << QString() << QStringList();
            QTest::addRow("receipt line %d", n) << receipt(n)
                                                << overflow(QStringLiteral("Document No. 202401BRE") + QString::number(n), "Accounts Data")
                                                << QString() << QStringList();
        }
        // Amount number 5 reads Amount5; 65541 and -65531 would wrap to it.
        QTest::newRow("amount number 5") << Document(QStringLiteral("INV"), QStringLiteral("A"), QStringLiteral("1")) << success
                                         << QStringLiteral("Calculation")
                                         << QStringList{R"({"Descr":"Gross Amount","Perc":0,"Amt":1000,"Bold":true})",
                                                        R"({"Descr":"CGST 9%","Perc":9,"Amt":90,"Bold":true})",
                                                        R"({"Descr":"SGST 9%","Perc":9,"Amt":90,"Bold":true})",
                                                        R"({"Descr":"Freight","Perc":5,"Amt":50,"Bold":false})",
                                                        R"({"Descr":"Net Amount","Perc":0,"Amt":1230,"Bold":true})"};
        for (const int amountNo : {65541, -65531})
            QTest::addRow("amount number %d", amountNo)
                << Request(QStringLiteral("Document"), QStringLiteral("ADMIN"), QStringLiteral("2024"), QStringLiteral("01"),
                           QStringLiteral("INV"), QStringLiteral("A"), QStringLiteral("1"),
                           QStringLiteral("AMOUNTNO") + QString::number(amountNo))
                << overflow(QStringLiteral("Document No. 202401INVA1"), "Calculation Data") << QString() << QStringList();
    }
    void sixteenBitNumbers()
    {
        QFETCH(QString, request);
        QFETCH(QString, message);
        QFETCH(QString, member);
        QFETCH(QStringList, elements);
        const JsonObject reply = Reply(request);
        QCOMPARE(reply.StringOf(QStringLiteral("Message")), message);
        if (member.isEmpty()) {
            QCOMPARE(reply.Size(), 4);
            QCOMPARE(reply.StringOf(QStringLiteral("Status")), QStringLiteral("0"));
        } else {
            QCOMPARE(reply.StringOf(QStringLiteral("Status")), QStringLiteral("1"));
            QCOMPARE(Elements(reply.ArrayOf(member)), elements);
        }
    }

    // A limited user reads the documents of the types and branches granted; a supervisor needs
    // no option right.
    void rightsGranted_data()
    {
        QTest::addColumn<QString>("request");
        QTest::newRow("clerk, own branch") << Document(QStringLiteral("INV"), QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("CLERK"));
        QTest::newRow("clerk, voucher") << Voucher(QStringLiteral("BRE"), QStringLiteral("5"), QStringLiteral("CLERK"));
        QTest::newRow("user of every branch") << Document(QStringLiteral("INV"), QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("ANYBRANCH"));
        QTest::newRow("supervisor without options") << Document(QStringLiteral("EXC"), QString(), QStringLiteral("6"));
    }
    void rightsGranted()
    {
        QFETCH(QString, request);
        QCOMPARE(Reply(request).StringOf(QStringLiteral("Message")), QStringLiteral("Success"));
    }

    // The log lines of a successful document request, in order.
    void logLines()
    {
        const int before = m_inst->LogLines().size();
        Run(Document(QStringLiteral("ISU"), QString(), QStringLiteral("2"), QStringLiteral("ADMIN")));
        QStringList lines = m_inst->LogLines().mid(before);
        const QString m = QStringLiteral("Mobile No.") + kMobile;
        const QString label = QStringLiteral("Document No. 202401ISU2");
        const QStringList expected = {m + QStringLiteral(" Getting ") + label,
                                      m + QStringLiteral(" Opening Database DOCS"),
                                      m + QStringLiteral(" Checking User"),
                                      m + QStringLiteral(" Generating Main Data for JSON Text"),
                                      m + QStringLiteral(" Loading Main Data to JSON Object"),
                                      m + QStringLiteral(" Adding Document Data Array to JSON"),
                                      m + QStringLiteral(" Getting ") + label + QStringLiteral(" Document Data"),
                                      m + QStringLiteral(" Appending Document Fields to xArray"),
                                      m + QStringLiteral(" Appending Document Fields to xArray"),
                                      m + QStringLiteral(" Getting Table Name for ") + label,
                                      m + QStringLiteral(" Generating SQL Query to Get Document Detail of ") + label,
                                      m + QStringLiteral(" Getting Records of Document Detail for ") + label,
                                      m + QStringLiteral(" Getting Record Fields of Document Detail for ") + label,
                                      m + QStringLiteral(" Getting Fields data of Document Detail for ") + label + QStringLiteral(" to JSON "),
                                      m + QStringLiteral(" Getting ") + label + QStringLiteral(" Products Data"),
                                      m + QStringLiteral(" Getting Product & Register Table Name for ") + label,
                                      m + QStringLiteral(" Generating SQL Query to Get Products Detail of ") + label,
                                      m + QStringLiteral(" Getting Records of Product Detail for ") + label,
                                      m + QStringLiteral(" Getting data of Product Detail for ") + label + QStringLiteral(" to JSON "),
                                      m + QStringLiteral(" Returning ") + label + QStringLiteral(" from JSON Object to Text")};
        QCOMPARE(lines, expected);
    }

    void variantToText_data()
    {
        using platform::db::Value;
        QTest::addColumn<Value>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("null") << Value() << QString();
        QTest::newRow("zero integer") << Value(qint64(0)) << QString();
        QTest::newRow("64-bit integer") << Value(qint64(5000000000)) << QStringLiteral("5000000000");
        QTest::newRow("zero decimal") << Value(0.0) << QString();
        QTest::newRow("decimal") << Value(-12.75) << QStringLiteral("-12.75");
        QTest::newRow("false flag") << Value(false) << QStringLiteral("False");
        QTest::newRow("true flag") << Value(true) << QStringLiteral("True");
        QTest::newRow("empty date") << Value(docstest::At(1899, 12, 30)) << QString();
        QTest::newRow("date") << Value(docstest::At(2024, 5, 10)) << QStringLiteral("2024-05-10");
        QTest::newRow("date and time") << Value(docstest::At(2024, 5, 10, 14, 5)) << QStringLiteral("2024-05-10 14:05:00");
        QTest::newRow("blanks") << Value(QStringLiteral("   ")) << QString();
        QTest::newRow("closing line break") << Value(QStringLiteral(" abc\r\n")) << QStringLiteral("abc");
        QTest::newRow("blank before the line break") << Value(QStringLiteral("abc \r\n")) << QStringLiteral("abc ");
        QTest::newRow("two line breaks") << Value(QStringLiteral("abc\r\n\r\n")) << QStringLiteral("abc\r\n");
    }
    void variantToText()
    {
        QFETCH(platform::db::Value, value);
        QFETCH(QString, text);
        QCOMPARE(clsClient::VariantToText(value), text);
    }

    // The detail procedures walk one recordset while they open another on the same connection:
    // both backends read all rows at open, so the walk sees every line.
    void nestedRecordsetsOnBothBackends_data()
    {
        QTest::addColumn<QString>("connection");
        QTest::newRow("embedded") << QStringLiteral("Server=sqlite:") + m_inst->DatabaseFolder() + QStringLiteral(";Database=DOCS");
        QProcess odbcinst;
        odbcinst.start(QStringLiteral("odbcinst"), {QStringLiteral("-q"), QStringLiteral("-d")});
        if (odbcinst.waitForFinished(10000) && QString::fromLocal8Bit(odbcinst.readAllStandardOutput()).contains(QLatin1String("[SQLite3]")))
            QTest::newRow("ODBC") << QStringLiteral("Driver={SQLite3};Database=") + m_companyFile + QLatin1Char(';');
    }
    void nestedRecordsetsOnBothBackends()
    {
        QFETCH(QString, connection);
        platform::db::Connection cn;
        cn.Open(connection);
        platform::db::Recordset lines, schedule;
        lines.Open(QStringLiteral("SELECT Products.ItemCode, Products.ItemSno FROM FaSalesOrderProducts AS Products "
                                  "WHERE Products.DocumentNo = '3' ORDER BY Products.Sno "),
                   cn);
        QStringList seen;
        for (; !lines.IsEOF(); lines.MoveNext()) {
            const QString item = lines.Field(QStringLiteral("ItemCode")).ToText();
            schedule.Open(QStringLiteral("SELECT Schedule.DeliveryDate, Schedule.Quantity FROM FaSalesOrderSchedule AS Schedule "
                                         "WHERE Schedule.DocumentNo = '3' AND Schedule.ItemCode = '")
                              + item + QStringLiteral("' ORDER BY Schedule.DeliveryDate "),
                          cn);
            QStringList dates;
            for (; !schedule.IsEOF(); schedule.MoveNext())
                dates << schedule.Field(QStringLiteral("DeliveryDate")).ToDate().toString(Qt::ISODate);
            schedule.Close();
            seen << item + QLatin1Char(':') + dates.join(QLatin1Char(','));
        }
        QCOMPARE(seen, (QStringList{QStringLiteral("IT1:2024-07-01,2024-07-20"), QStringLiteral("IT2:")}));
    }
};

QTEST_GUILESS_MAIN(TestDocuments)
#include "test_documents.moc"
