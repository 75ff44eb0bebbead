// The request engine without a database: dispatch, the reply builder, the failure replies of
// the families not built yet, and the rules the handlers share (period checks, table names, code
// lists, quoted lists, request dates).

#include "CoreTestSupport.h"
#include "EngineSupport.h"

#include <QtTest>

using coretest::CRLF;
using coretest::ParsedReply;

namespace {

QString Reply(const QString& requestJson)
{
    platform::JsonObject request;
    request.Load(requestJson);
    clsClient client;
    return client.GetData(request);
}

QString Request(const QString& action, const QString& extra = QString())
{
    platform::JsonObject request;
    request.AddString(QStringLiteral("Action"), action);
    request.AddString(QStringLiteral("MobileNo"), QStringLiteral("9876543210"));
    request.AddString(QStringLiteral("UserID"), QStringLiteral("ADMIN"));
    request.AddString(QStringLiteral("Password"), QStringLiteral("pw"));
    request.AddString(QStringLiteral("FolderName"), QStringLiteral("ALPHA"));
    QString text = request.Emit();
    if (!extra.isEmpty())
        text = text.left(text.size() - 1) + QLatin1Char(',') + extra + QLatin1Char('}');
    return text;
}


}  // namespace

class TestEngineCore : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        coretest::IsolateUserSettings(m_dir);
    }

    // --- dispatch ---------------------------------------------------------------------------

    void failureReplyText()
    {
        // A request without its dates fails on the first date, before anything else is done.
        QCOMPARE(Reply(QStringLiteral("{\"Action\":\"AccountSummary\",\"MobileNo\":\"98\"}")),
                 QStringLiteral("{\"Action\":\"AccountSummary\",\"MobileNo\":\"98\",\"Status\":0,"
                                "\"Message\":\"Error while getting Account Summary.\\r\\n\\r\\nError 13-Type mismatch\"}<EOF>"));
    }

    // The two handlers of this subsystem are reached in any case; without a settings object they
    // fail inside their own trap.
    void coreActionsReachTheirHandlers_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("failureLine");
        QTest::newRow("CompanyList") << QStringLiteral("CompanyList") << QStringLiteral("Error while getting Company List.");
        QTest::newRow("companylist") << QStringLiteral("companylist") << QStringLiteral("Error while getting Company List.");
        QTest::newRow("DASHBOARD") << QStringLiteral("DASHBOARD") << QStringLiteral("Error while getting dashboard.");
        QTest::newRow("dashboard") << QStringLiteral("dashboard") << QStringLiteral("Error while getting dashboard.");
    }
    void coreActionsReachTheirHandlers()
    {
        QFETCH(QString, action);
        QFETCH(QString, failureLine);
        const platform::JsonObject object = ParsedReply(Reply(Request(action)));
        QCOMPARE(object.StringOf(QStringLiteral("Action")), action);
        QCOMPARE(object.StringOf(QStringLiteral("Status")), QStringLiteral("0"));
        QVERIFY2(object.StringOf(QStringLiteral("Message")).startsWith(failureLine + CRLF),
                 qPrintable(object.StringOf(QStringLiteral("Message"))));
    }

    void improperAction_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("reply");
        const QString tail = QStringLiteral(",\"Status\":0,\"Message\":\"Improper Action.\"}<EOF>");
        QTest::newRow("leading blank") << QStringLiteral("{\"Action\":\" DashBoard\",\"MobileNo\":\"98\"}")
                                       << QStringLiteral("{\"Action\":\" DashBoard\",\"MobileNo\":\"98\"") + tail;
        QTest::newRow("inner blank") << QStringLiteral("{\"Action\":\"Company List\",\"MobileNo\":\"98\"}")
                                     << QStringLiteral("{\"Action\":\"Company List\",\"MobileNo\":\"98\"") + tail;
        QTest::newRow("trailing blank") << QStringLiteral("{\"Action\":\"Voucher \",\"MobileNo\":\"98\"}")
                                        << QStringLiteral("{\"Action\":\"Voucher \",\"MobileNo\":\"98\"") + tail;
        QTest::newRow("unknown") << QStringLiteral("{\"Action\":\"Login2\",\"MobileNo\":\"98\"}")
                                 << QStringLiteral("{\"Action\":\"Login2\",\"MobileNo\":\"98\"") + tail;
        QTest::newRow("no action") << QStringLiteral("{\"MobileNo\":\"98\"}")
                                   << QStringLiteral("{\"Action\":\"\",\"MobileNo\":\"98\"") + tail;
        QTest::newRow("not an object") << QStringLiteral("[1,2]")
                                       << QStringLiteral("{\"Action\":\"\",\"MobileNo\":\"\"") + tail;
    }
    void improperAction()
    {
        QFETCH(QString, request);
        QFETCH(QString, reply);
        QCOMPARE(Reply(request), reply);
    }

    // --- reply builder ----------------------------------------------------------------------

    void makeJsonText_data()
    {
        QTest::addColumn<QVariantList>("pairs");
        QTest::addColumn<QString>("text");
        QTest::newRow("head") << QVariantList{QStringLiteral("Status"), 1, QStringLiteral("Message"), QStringLiteral("Success")}
                              << QStringLiteral("{\"Status\":1,\"Message\":\"Success\"}<EOF>");
        QTest::newRow("date with time") << QVariantList{QStringLiteral("D"), QDateTime(QDate(2025, 4, 1), QTime(10, 5, 0))}
                                        << QStringLiteral("{\"D\":\"2025-04-01 10:05:00\"}<EOF>");
        QTest::newRow("date at midnight") << QVariantList{QStringLiteral("D"), coretest::Midnight(2025, 4, 1)}
                                          << QStringLiteral("{\"D\":\"2025-04-01\"}<EOF>");
        QTest::newRow("date") << QVariantList{QStringLiteral("D"), QDate(2024, 12, 31)}
                              << QStringLiteral("{\"D\":\"2024-12-31\"}<EOF>");
        QTest::newRow("booleans") << QVariantList{QStringLiteral("T"), true, QStringLiteral("F"), false}
                                  << QStringLiteral("{\"T\":true,\"F\":false}<EOF>");
        QTest::newRow("numbers") << QVariantList{QStringLiteral("A"), 1300.0, QStringLiteral("B"), -12.5,
                                                 QStringLiteral("C"), qint64(5000000000)}
                                 << QStringLiteral("{\"A\":1300,\"B\":-12.5,\"C\":5000000000}<EOF>");
        QTest::newRow("16-bit and single") << QVariantList{QStringLiteral("W"), QVariant::fromValue(qint16(-5)),
                                                           QStringLiteral("F"), QVariant::fromValue(0.1f)}
                                           << QStringLiteral("{\"W\":-5,\"F\":0.1}<EOF>");
        // A byte is no number of the reply: it becomes its text.
        QTest::newRow("byte") << QVariantList{QStringLiteral("B"), QVariant::fromValue(uchar(7))}
                              << QStringLiteral("{\"B\":\"7\"}<EOF>");
        QTest::newRow("empty text") << QVariantList{QStringLiteral("E"), QString()} << QStringLiteral("{\"E\":\"\"}<EOF>");
        QTest::newRow("odd count") << QVariantList{QStringLiteral("Status"), 0, QStringLiteral("Message")}
                                   << QStringLiteral("{\"Status\":0}<EOF>");
        QTest::newRow("nothing") << QVariantList{} << QStringLiteral("{}<EOF>");
        QTest::newRow("order kept") << QVariantList{QStringLiteral("Z"), 1, QStringLiteral("A"), 2}
                                    << QStringLiteral("{\"Z\":1,\"A\":2}<EOF>");
    }
    void makeJsonText()
    {
        QFETCH(QVariantList, pairs);
        QFETCH(QString, text);
        QCOMPARE(clsClient::MakeJsonText(pairs), text);
    }

    void makeJsonTextRefusesNull()
    {
        try {
            clsClient::MakeJsonText({QStringLiteral("Message"), QVariant()});
            QFAIL("a null value was accepted");
        } catch (const platform::RuntimeError& e) {
            QCOMPARE(e.Number(), platform::err::InvalidUseOfNull);
        }
    }

    // --- shared rules -----------------------------------------------------------------------

    void checkValidDates_data()
    {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("last");
        QTest::addColumn<bool>("sameYear");
        QTest::addColumn<QString>("message");  // empty: valid
        const QDate empty(1899, 12, 30);
        QTest::newRow("both blank") << empty << empty << false << QStringLiteral("Start Date is Blank.");
        QTest::newRow("start blank") << empty << QDate(2024, 5, 1) << false << QStringLiteral("Start Date is Blank.");
        QTest::newRow("last blank") << QDate(2024, 5, 1) << empty << false << QStringLiteral("Last Date is Blank.");
        QTest::newRow("before company") << QDate(2024, 3, 31) << QDate(2024, 5, 1) << false
                                        << QStringLiteral("Start Date is before Company Start Date.");
        QTest::newRow("after company") << QDate(2024, 5, 1) << QDate(2026, 4, 1) << false
                                       << QStringLiteral("Last Date is After Company Last Date.");
        QTest::newRow("reversed") << QDate(2024, 6, 1) << QDate(2024, 5, 1) << false
                                  << QStringLiteral("Start Date is After Last Date.");
        QTest::newRow("across years") << QDate(2025, 3, 15) << QDate(2025, 4, 10) << true
                                      << QStringLiteral("Start & Last date must be from same financial year.");
        QTest::newRow("anniversary is the second year") << QDate(2025, 3, 31) << QDate(2025, 4, 1) << true
                                                        << QStringLiteral("Start & Last date must be from same financial year.");
        QTest::newRow("across years allowed") << QDate(2025, 3, 15) << QDate(2025, 4, 10) << false << QString();
        QTest::newRow("second year") << QDate(2025, 4, 1) << QDate(2025, 4, 30) << true << QString();
        QTest::newRow("first year whole") << QDate(2024, 4, 1) << QDate(2025, 3, 31) << true << QString();
    }
    void checkValidDates()
    {
        QFETCH(QDate, start);
        QFETCH(QDate, last);
        QFETCH(bool, sameYear);
        QFETCH(QString, message);
        clsClient client;
        EngineTestAccess::ErrorText(client) = QStringLiteral("earlier text") + CRLF;
        const bool valid = EngineTestAccess::CheckValidDates(client, QDate(2024, 4, 1), QDate(2026, 3, 31), start, last, sameYear);
        QCOMPARE(valid, message.isEmpty());
        QCOMPARE(EngineTestAccess::ErrorText(client), message.isEmpty() ? QStringLiteral("earlier text") + CRLF : message);
    }

    void getTableName_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("table");
        const auto row = [](const char* type, const char* kind, const char* table) {
            QTest::addRow("%s %s", type, kind) << QString::fromLatin1(type) << QString::fromLatin1(kind) << QString::fromLatin1(table);
        };
        row("INV", "D", "FaSalesInvoiceRegister");
        row("CCN", "A", "FaSalesInvoiceProducts");
        row("INV", "d", "FaSalesInvoiceProducts");
        row("SDN", "D", "FaPurchaseBillRegister");
        row("SNT", "P", "FaSaleNoteProducts");
        row("SAO", "D", "FaSalesOrderRegister");
        row("SAO", "P", "FaSalesOrderProducts");
        row("SAO", "X", "FaSalesOrderSchedule");
        row("PUO", "S", "FaPurchaseOrderSchedule");
        row("GIN", "D", "FaGoodsInwardRegister");
        row("CLN", "S", "FaDeliveryChallanProducts");
        row("RET", "D", "FaIssueRegister");
        row("PRE", "P", "FaProductionProducts");
        row("SCR", "D", "FaItemLedger");
        row("JOV", "A", "FaOSReg");
        row("EXP", "D", "FaAccountLedger");
        row("PTY", "X", "FaAccountLedger");
        row("sao", "D", "");
        row("SQT", "D", "");
        row("IN", "D", "");
        row("", "D", "");
    }
    void getTableName()
    {
        QFETCH(QString, type);
        QFETCH(QString, kind);
        QFETCH(QString, table);
        QCOMPARE(EngineTestAccess::GetTableName(type, kind), table);
    }

    void codeInList_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("list");
        QTest::addColumn<bool>("found");
        QTest::newRow("entry") << QStringLiteral("07") << QStringLiteral("01,06,07,08") << true;
        QTest::newRow("other case") << QStringLiteral("sd") << QStringLiteral("SA,PU,SD") << true;
        QTest::newRow("blanks around") << QStringLiteral(" 07 ") << QStringLiteral("01, 07") << true;
        QTest::newRow("first") << QStringLiteral("001") << QStringLiteral("001,006") << true;
        QTest::newRow("piece of an entry") << QStringLiteral("0") << QStringLiteral("01,06,07") << false;
        QTest::newRow("piece of a code") << QStringLiteral("S") << QStringLiteral("SA,PU") << false;
        QTest::newRow("digit") << QStringLiteral("1") << QStringLiteral("01,06") << false;
        QTest::newRow("longer code") << QStringLiteral("007") << QStringLiteral("01,06,07") << false;
        QTest::newRow("empty") << QString() << QStringLiteral("01,06,07") << false;
        QTest::newRow("across entries") << QStringLiteral("1,0") << QStringLiteral("01,06") << false;
        QTest::newRow("empty list") << QStringLiteral("SA") << QString() << false;
    }
    void codeInList()
    {
        QFETCH(QString, code);
        QFETCH(QString, list);
        QFETCH(bool, found);
        QCOMPARE(engine::IsCodeInList(code, list), found);
    }

    void quotedList_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("outer blanks") << QStringLiteral(" 01,02 ") << QStringLiteral("'01','02'");
        QTest::newRow("inner blanks go") << QStringLiteral("01 , 02") << QStringLiteral("'01','02'");
        QTest::newRow("one") << QStringLiteral("01") << QStringLiteral("'01'");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("blank") << QStringLiteral("   ") << QString();
        QTest::newRow("quote") << QStringLiteral("0'1,02") << QStringLiteral("'0''1','02'");
    }
    void quotedList()
    {
        QFETCH(QString, stored);
        QFETCH(QString, quoted);
        QCOMPARE(engine::QuotedList(stored), quoted);
    }

    void requestDate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");  // invalid: error 13
        QTest::newRow("date") << QStringLiteral("2025-04-01") << QDate(2025, 4, 1);
        QTest::newRow("empty date") << QStringLiteral("1899-12-30") << QDate(1899, 12, 30);
        QTest::newRow("with time") << QStringLiteral("2025-04-01 10:30:00") << QDate(2025, 4, 1);
        QTest::newRow("empty text") << QString() << QDate();
        QTest::newRow("words") << QStringLiteral("today") << QDate();
        QTest::newRow("no such month") << QStringLiteral("2025-13-01") << QDate();
        QTest::newRow("with T") << QStringLiteral("2025-04-01T10:30:00") << QDate(2025, 4, 1);
        QTest::newRow("month first") << QStringLiteral("04/01/2025") << QDate();
        QTest::newRow("no such time") << QStringLiteral("2025-04-01 25:00:00") << QDate();
        QTest::newRow("short year") << QStringLiteral("25-04-01") << QDate();
    }
    void requestDate()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        if (date.isValid()) {
            QCOMPARE(engine::RequestDate(text), date);
            return;
        }
        try {
            engine::RequestDate(text);
            QFAIL("no error for a text that is no date");
        } catch (const platform::RuntimeError& e) {
            QCOMPARE(e.Number(), platform::err::TypeMismatch);
            QCOMPARE(e.Description(), QStringLiteral("Type mismatch"));
        }
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestEngineCore)
#include "test_engine_core.moc"
