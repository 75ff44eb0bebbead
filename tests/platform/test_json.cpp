#include "json/Json.h"
#include "json/JsonWriter.h"

#include <QtTest>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <cstring>
#include <functional>
#include <random>

using platform::JsonArray;
using platform::JsonObject;
using platform::JsonType;
using platform::JsonWriter;

namespace {

// What the document writes for one member, and what the writer writes for the same member.
QByteArray DocumentText(const std::function<void(JsonObject&)>& add)
{
    JsonObject o;
    add(o);
    return o.Emit().toUtf8();
}

QByteArray WriterText(const std::function<void(JsonWriter&)>& add)
{
    JsonWriter w;
    w.BeginObject();
    add(w);
    w.EndObject();
    return w.Text();
}

// The rounding to 15 significant digits through the number's text, as the system always did it.
double SignificantByText(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return std::strtod(buffer, nullptr);
}

}  // namespace

class TestJson : public QObject {
    Q_OBJECT
private slots:
    void loadVariants_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("size");
        QTest::newRow("object") << "{\"Action\":\"Login\",\"MobileNo\":\"98\"}" << true << 2;
        QTest::newRow("with marker") << "{\"Action\":\"Login\"}<EOF>" << true << 1;
        QTest::newRow("lower-case marker") << "{\"Action\":\"Login\"}<eof>" << true << 1;
        QTest::newRow("array") << "[1,2]" << false << 0;
        QTest::newRow("not json") << "hello" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("truncated") << "{\"Action\":\"Lo" << false << 0;
    }
    void loadVariants()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, size);
        JsonObject o;
        o.AddString("old", "x");
        QCOMPARE(o.Load(text), ok);
        QCOMPARE(o.Size(), size);
        QCOMPARE(o.Emit(), size == 0 ? QString("{}") : o.Emit());
    }

    void stringOfGivesTextOfScalars()
    {
        JsonObject o;
        QVERIFY(o.Load("{\"s\":\"abc\",\"i\":42,\"d\":12.5,\"t\":true,\"f\":false,\"n\":null,\"o\":{},\"a\":[]}"));
        QCOMPARE(o.StringOf("s"), QString("abc"));
        QCOMPARE(o.StringOf("i"), QString("42"));
        QCOMPARE(o.StringOf("d"), QString("12.5"));
        QCOMPARE(o.StringOf("t"), QString("true"));
        QCOMPARE(o.StringOf("f"), QString("false"));
        QCOMPARE(o.StringOf("n"), QString());
        QCOMPARE(o.StringOf("missing"), QString());
        QCOMPARE(o.TypeOf("s"), JsonType::String);
        QCOMPARE(o.TypeOf("i"), JsonType::Number);
        QCOMPARE(o.TypeOf("t"), JsonType::Boolean);
        QCOMPARE(o.TypeOf("n"), JsonType::Null);
        QCOMPARE(o.TypeOf("o"), JsonType::Object);
        QCOMPARE(o.TypeOf("a"), JsonType::Array);
        QCOMPARE(o.TypeOf("missing"), JsonType::Missing);
        QVERIFY(!o.HasMember("STATUS"));
    }

    void membersKeepOrderAndNumbersHaveNoSpuriousFraction()
    {
        JsonObject o;
        o.AddString("Action", "DashBoard");
        o.AddString("MobileNo", "9876");
        o.AddNumber("Status", 1);
        o.AddString("Message", "Success");
        o.AddNumber("Amt", 1300.0);
        o.AddNumber("Rate", 0.1 + 0.2);
        o.AddNumber("Neg", -2.5);
        o.AddBool("Flag", true);
        o.AddNull("Schs");
        QCOMPARE(o.Emit(), QString("{\"Action\":\"DashBoard\",\"MobileNo\":\"9876\",\"Status\":1,\"Message\":\"Success\",\"Amt\":1300,\"Rate\":0.3,\"Neg\":-2.5,\"Flag\":true,\"Schs\":null}"));
        QCOMPARE(o.NameAt(0), QString("Action"));
        QCOMPARE(o.NameAt(8), QString("Schs"));
    }

    void handlesStayValidWhileTheDocumentGrows()
    {
        JsonObject reply;
        JsonArray data = reply.AddArray("Data");
        for (int i = 0; i < 50; ++i) {
            JsonObject row = data.AddObject();
            row.AddString("Cd", QString::number(i));
        }
        JsonObject first = data.ObjectAt(0);
        for (int i = 0; i < 50; ++i)
            data.AddObject().AddNumber("n", i);
        first.AddNumber("Amt", 7);
        QCOMPARE(data.Size(), 100);
        QCOMPARE(reply.ArrayOf("Data").ObjectAt(0).StringOf("Amt"), QString("7"));
        QCOMPARE(reply.ArrayOf("Data").ObjectAt(99).StringOf("n"), QString("49"));
    }

    void arraysOfStringsAndCopies()
    {
        JsonArray pieces;
        for (const char* s : {"A", "B", "C"})
            pieces.InsertString(0, s);
        QCOMPARE(pieces.Emit(), QString("[\"C\",\"B\",\"A\"]"));
        JsonObject settings;
        settings.AddBool("StaticIP", false);
        settings.AddArrayCopy("Locations", pieces);
        pieces.AddString("D");  // the copy is independent
        QCOMPARE(settings.ArrayOf("Locations").Size(), 3);
        QCOMPARE(settings.ArrayOf("Locations").StringAt(0), QString("C"));
        QVERIFY(!settings.ArrayOf("StaticIP").IsValid());
        QCOMPARE(settings.ArrayOf("Nothing").Size(), 0);
    }

    void indentedEmitReloads()
    {
        JsonObject o;
        o.AddString("LocalPort", "1175");
        JsonArray mobiles = o.AddArray("Mobiles");
        JsonArray m = mobiles.AddArray();
        m.AddString("98");
        m.AddBool(false);
        const QString text = o.Emit(false);
        QVERIFY(text.contains('\n'));
        JsonObject back;
        QVERIFY(back.Load(text));
        QCOMPARE(back.Emit(), o.Emit());
        QCOMPARE(back.ArrayOf("Mobiles").ArrayAt(0).StringAt(1), QString("false"));
    }

    // Loading keeps the members in order; a repeated name keeps its first place and takes the
    // later value; nested objects and arrays load whole. Many members load in one pass.
    void loadKeepsOrderAndRepeatedNames()
    {
        JsonObject o;
        QVERIFY(o.Load(QStringLiteral("{\"b\":1,\"a\":{\"x\":[1,{\"y\":null}],\"x\":[2]},\"b\":\"two\",\"c\":[[],{}]}")));
        QCOMPARE(o.Emit(), QStringLiteral("{\"b\":\"two\",\"a\":{\"x\":[2]},\"c\":[[],{}]}"));
        QVERIFY(!o.Load(QStringLiteral("{\"a\":1,}")));
        QCOMPARE(o.Size(), 0);

        QString many = QStringLiteral("{\"Action\":\"Login\"");
        for (int i = 0; i < 200000; ++i)
            many += QStringLiteral(",\"m%1\":%1").arg(i);
        many += QLatin1Char('}');
        QVERIFY(o.Load(many));
        QCOMPARE(o.Size(), 200001);
        QCOMPARE(o.NameAt(200000), QStringLiteral("m199999"));
        QCOMPARE(o.StringOf(QStringLiteral("m123456")), QStringLiteral("123456"));
    }

    void nonAsciiTextSurvives()
    {
        JsonObject o;
        o.AddString("Nm", QString::fromUtf8("Café – ₹"));
        JsonObject back;
        QVERIFY(back.Load(o.Emit()));
        QCOMPARE(back.StringOf("Nm"), QString::fromUtf8("Café – ₹"));
    }

    // The appending writer writes a member as the document does: texts with every escape,
    // characters beyond ASCII, lone surrogates; numbers whole or not, huge, tiny, negative zero,
    // not finite.
    void writerWritesAsTheDocument_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("plain") << QStringLiteral("Journal 123");
        QTest::newRow("quote and backslash") << QStringLiteral("a\"b\\c\"");
        QTest::newRow("line breaks and tab") << QStringLiteral("one\r\ntwo\tthree\n");
        QString controls;
        for (int c = 0; c < 0x20; ++c)
            controls += QChar(c);
        controls += QChar(0x7F);
        QTest::newRow("every control") << controls;
        QTest::newRow("latin and rupee") << QString::fromUtf8("Café – ₹ 1.000");
        QTest::newRow("beyond the plane") << QString::fromUtf8("\xF0\x9F\x98\x80 smile");
        QTest::newRow("lone surrogate") << (QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y"));
        QTest::newRow("slash and angle") << QStringLiteral("</script> a/b <EOF>");
    }
    void writerWritesAsTheDocument()
    {
        QFETCH(QString, text);
        QCOMPARE(WriterText([&](JsonWriter& w) { w.String("Nm", text); }),
                 DocumentText([&](JsonObject& o) { o.AddString("Nm", text); }));
        // The name is escaped as a text is.
        QCOMPARE(WriterText([&](JsonWriter& w) { w.Name(text); w.Bool(true); }),
                 DocumentText([&](JsonObject& o) { o.AddBool(text, true); }));
    }

    void writerNumbersAsTheDocument_data()
    {
        QTest::addColumn<double>("value");
        const double values[] = {0.0, -0.0, 1.0, -1.0, 0.1, 0.1 + 0.2, 2.675, 1.005, -2.5, 1300.0, 1e15, 1e15 + 0.5, 999999999999999.9,
                                 123456789012345678.0, 9e18, 8.99e18, -9e18, 1e19, 1e21, -1e21, 1e-5, 1.5e-7, 12345678.905, 1.0 / 3,
                                 2.0 / 3 * 1000, DBL_MAX, -DBL_MAX, DBL_MIN, DBL_MIN / 8, 4503599627370497.0, 0.000999, 99.995,
                                 std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                                 -std::numeric_limits<double>::infinity()};
        for (double v : values)
            QTest::newRow(qPrintable(QString::number(v, 'g', 17))) << v;
    }
    void writerNumbersAsTheDocument()
    {
        QFETCH(double, value);
        QCOMPARE(WriterText([&](JsonWriter& w) { w.Number("Amt", value); }),
                 DocumentText([&](JsonObject& o) { o.AddNumber("Amt", value); }));
    }

    // Many numbers of the shapes replies carry (amounts with cents, quantities with three places,
    // sums gone a little off, any double at all): the quick rounding gives the text's, and the
    // writer the document's digits.
    void writerNumbersOfEveryShape()
    {
        std::mt19937_64 random(20260401);
        std::uniform_int_distribution<qint64> whole(-1000000000000000LL, 1000000000000000LL);
        std::uniform_int_distribution<int> places(0, 6);
        std::uniform_int_distribution<quint64> bits;
        QByteArray written;
        JsonObject document;
        JsonArray numbers = document.AddArray("n");
        JsonWriter w;
        w.BeginObject();
        w.Name("n");
        w.BeginArray();
        for (int i = 0; i < 200000; ++i) {
            double value;
            switch (i % 4) {
            case 0: value = static_cast<double>(whole(random) / 1000) / 100.0; break;
            case 1: value = static_cast<double>(whole(random)) / std::pow(10.0, places(random)); break;
            case 2: value = static_cast<double>(whole(random) % 100000) / 100.0 + static_cast<double>(whole(random) % 1000) / 1000.0; break;
            default: {
                const quint64 b = bits(random);
                std::memcpy(&value, &b, sizeof value);
                break;
            }
            }
            if (std::isfinite(value))
                QCOMPARE(platform::json::Significant(value), SignificantByText(value));
            numbers.AddNumber(value);
            w.Number(value);
        }
        w.EndArray();
        w.EndObject();
        QCOMPARE(w.Text(), document.Emit().toUtf8());
    }

    void writerNestsAndSeparates()
    {
        JsonObject reply;
        reply.AddString("Action", "Document");
        reply.AddInteger("Status", 1);
        JsonArray lines = reply.AddArray("Products");
        for (int i = 0; i < 3; ++i) {
            JsonObject line = lines.AddObject();
            line.AddString("ItmCd", QString::number(i));
            line.AddNumber("Qty", i * 1.5);
            JsonArray schedules = line.AddArray("Schs");
            for (int d = 0; d < i; ++d) {
                JsonObject s = schedules.AddObject();
                s.AddString("DlyDt", "2025-06-08");
                s.AddNull("Qty");
            }
        }
        reply.AddArray("Calculation");
        reply.AddObject("Empty");

        JsonWriter w;
        w.BeginObject();
        w.String("Action", "Document");
        w.Integer("Status", 1);
        w.Name("Products");
        w.BeginArray();
        for (int i = 0; i < 3; ++i) {
            w.BeginObject();
            w.String("ItmCd", QString::number(i));
            w.Number("Qty", i * 1.5);
            w.Name("Schs");
            w.BeginArray();
            for (int d = 0; d < i; ++d) {
                w.BeginObject();
                w.String("DlyDt", "2025-06-08");
                w.Name("Qty");
                w.Null();
                w.EndObject();
            }
            w.EndArray();
            w.EndObject();
        }
        w.EndArray();
        w.Name("Calculation");
        w.BeginArray();
        w.EndArray();
        w.Name("Empty");
        w.BeginObject();
        w.EndObject();
        w.EndObject();
        QCOMPARE(w.Text(), reply.Emit().toUtf8());
    }
};

QTEST_APPLESS_MAIN(TestJson)
#include "test_json.moc"
