#include "json/Json.h"

#include <QtTest>

using platform::JsonArray;
using platform::JsonObject;
using platform::JsonType;

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
};

QTEST_APPLESS_MAIN(TestJson)
#include "test_json.moc"
