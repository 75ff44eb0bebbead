// Text encoding, SQL quoting, "@" parameters, the platform name and the disk identity.
#include "CredentialNames.h"
#include "Declares.h"
#include "GeneralFunction.h"
#include "core/RuntimeError.h"
#include "disk/DiskIdentity.h"
#include "text/Ansi.h"

#include <QTemporaryDir>
#include <QtTest>

using platform::RuntimeError;

namespace {
// The shifted form of a hex text: each character raised by 173.
QString Shifted(const QString& hex)
{
    QString out;
    for (QChar c : hex)
        out += platform::ansi::CharOf(c.unicode() + 173);
    return out;
}

QString Repeat(QChar c, int n)
{
    return QString(n, c);
}

void WriteFile(const QString& path, const QString& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toLatin1());
}
}  // namespace

class TestGeneral : public QObject {
    Q_OBJECT

private slots:
    void encodeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("plainHex");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty plain") << "" << true << "";
        QTest::newRow("empty shifted") << "" << false << "";
        QTest::newRow("abc") << "abc" << true << "616263";
        QTest::newRow("AB") << "AB" << true << "4142";
        QTest::newRow("AB shifted") << "AB" << false << Shifted("4142");
        QTest::newRow("tab one digit") << "\t" << true << "9";
        QTest::newRow("code 1 shifted") << QString(QChar(1)) << false << Shifted("1");
        QTest::newRow("capital hex") << QString(QChar(0xFF)) << true << "FF";
        QTest::newRow("euro is 80") << QString(QChar(0x20AC)) << true << "80";
        QTest::newRow("outside the code page is ?") << QString(QChar(0x0100)) << true << "3F";
        QTest::newRow("password") << "SECRET" << false << Shifted("534543524554");
    }
    void encodeText()
    {
        QFETCH(QString, text);
        QFETCH(bool, plainHex);
        QFETCH(QString, expected);
        QCOMPARE(GeneralFunction::EncodeText(text, plainHex, 173), expected);
    }

    void decodeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("plainHex");
        QTest::addColumn<QString>("expected");
        QTest::newRow("616263") << "616263" << true << "abc";
        QTest::newRow("odd length") << "414" << true << "A@";
        QTest::newRow("00 is the digit 0") << "00" << true << "0";
        QTest::newRow("0000") << "0000" << true << "00";
        QTest::newRow("empty") << "" << true << "";
        QTest::newRow("line feed") << "0A" << true << "\n";
        QTest::newRow("letter after 9 counts by code") << "4g" << true << "p";
        QTest::newRow("non-digit below 9 counts 0") << "-1" << true << QString(QChar(1));
        QTest::newRow("shifted") << Shifted("4142") << false << "AB";
        QTest::newRow("euro") << "80" << true << QString(QChar(0x20AC));
    }
    void decodeText()
    {
        QFETCH(QString, text);
        QFETCH(bool, plainHex);
        QFETCH(QString, expected);
        QCOMPARE(GeneralFunction::DecodeText(text, plainHex, 173), expected);
    }

    // Every single-byte code from 16 to 255 gives two hex digits and comes back unchanged,
    // alone and all in one text.
    void everyCodeRoundTrips()
    {
        QString all;
        for (int code = 16; code <= 255; ++code) {
            const QString text(platform::ansi::CharOf(code));
            all += text;
            const QString hex = GeneralFunction::EncodeText(text, true, 173);
            QCOMPARE(hex, QString::number(code, 16).toUpper());
            QCOMPARE(GeneralFunction::DecodeText(hex, true, 173), text);
            const QString encoded = GeneralFunction::EncodeText(text, false, 173);
            QCOMPARE(encoded, Shifted(hex));
            QCOMPARE(GeneralFunction::DecodeText(encoded, false, 173), text);
        }
        QCOMPARE(GeneralFunction::DecodeText(GeneralFunction::EncodeText(all, false, 173), false, 173), all);
        for (int code = 0; code < 16; ++code)
            QCOMPARE(GeneralFunction::EncodeText(QString(platform::ansi::CharOf(code)), true, 173).size(), 1);
    }

    void runTimeErrors_data()
    {
        QTest::addColumn<int>("call");  // 0 encode, 1 decode
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("plainHex");
        QTest::addColumn<int>("shift");
        QTest::addColumn<long>("number");
        QTest::newRow("encode 32767 characters") << 0 << Repeat('a', 32767) << true << 173 << 6L;
        QTest::newRow("encode shifted 16384 characters") << 0 << Repeat('a', 16384) << false << 173 << 6L;
        QTest::newRow("encode shift above 255") << 0 << "O" << false << 200 << 5L;
        QTest::newRow("decode 32767 characters") << 1 << Repeat('4', 32767) << true << 173 << 6L;
        QTest::newRow("decode ZZ") << 1 << "ZZ" << true << 173 << 5L;
        QTest::newRow("decode a1") << 1 << "a1" << true << 173 << 5L;
        QTest::newRow("decode unshifted text") << 1 << "AB" << false << 173 << 5L;
    }
    void runTimeErrors()
    {
        QFETCH(int, call);
        QFETCH(QString, text);
        QFETCH(bool, plainHex);
        QFETCH(int, shift);
        QFETCH(long, number);
        try {
            if (call == 0)
                GeneralFunction::EncodeText(text, plainHex, static_cast<qint16>(shift));
            else
                GeneralFunction::DecodeText(text, plainHex, static_cast<qint16>(shift));
            QFAIL("no run-time error");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.Number(), number);
        }
    }

    void lengthsBelowTheLimits()
    {
        QCOMPARE(GeneralFunction::EncodeText(Repeat('a', 32766), true, 173).size(), 65532);
        QCOMPARE(GeneralFunction::EncodeText(Repeat('a', 16383), false, 173).size(), 32766);
        QCOMPARE(GeneralFunction::DecodeText(Repeat('4', 32766), true, 173).size(), 16383);
    }

    void quoteSQL_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two quotes") << "O'Brien's" << "O''Brien''s";
        QTest::newRow("no quotes") << "plain text" << "plain text";
        QTest::newRow("only quotes") << "''" << "''''";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("double quote untouched") << "a\"b" << "a\"b";
    }
    void quoteSQL()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(GeneralFunction::QuoteSQL(text), expected);
    }

    void replaceParameters_data()
    {
        QTest::addColumn<QString>("tpl");
        QTest::addColumn<QVariantList>("pairs");
        QTest::addColumn<QString>("expected");
        QTest::newRow("any case") << "@pCode-@PCODE" << QVariantList{"pCode", "X"} << "X-X";
        QTest::newRow("shorter name first") << "@pAmount1" << QVariantList{"pAmount", "A", "pAmount1", "B"} << "A1";
        QTest::newRow("longer name first") << "@pAmount1" << QVariantList{"pAmount1", "B", "pAmount", "A"} << "B";
        QTest::newRow("unnamed stays") << "@pOther = @pCode" << QVariantList{"pCode", "1"} << "@pOther = 1";
        QTest::newRow("value filled by a later pair") << "@pA" << QVariantList{"pA", "@pB", "pB", "Z"} << "Z";
        QTest::newRow("value unquoted") << "'@pName'" << QVariantList{"pName", "O'Brien"} << "'O'Brien'";
        QTest::newRow("numbers and flags") << "@pN @pF" << QVariantList{"pN", 12.5, "pF", true} << "12.5 True";
        QTest::newRow("no pairs") << "@pA" << QVariantList{} << "@pA";
    }
    void replaceParameters()
    {
        QFETCH(QString, tpl);
        QFETCH(QVariantList, pairs);
        QFETCH(QString, expected);
        QCOMPARE(GeneralFunction::ReplaceParameters(tpl, pairs), expected);
    }

    void replaceParametersOddPairs()
    {
        QVERIFY_THROWS_EXCEPTION(RuntimeError, GeneralFunction::ReplaceParameters("@pA", {"pA"}));
        try {
            GeneralFunction::ReplaceParameters("@pA @pB", {"pA", "1", "pB"});
            QFAIL("no run-time error");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.Number(), 9L);
        }
    }

    void platformAndDiskKinds()
    {
        QCOMPARE(Declares::GetPlatform(), QStringLiteral("LNX"));
        QCOMPARE(Declares::PlatformText(), QStringLiteral("LNX"));
        for (int kind : {-1, 3}) {
            try {
                Declares::GetHardDiskInfo(0, kind);
                QFAIL("no run-time error");
            } catch (const RuntimeError& e) {
                QCOMPARE(e.Number(), 10001L);
                QCOMPARE(e.Description(), QStringLiteral("Illegal HD Data type"));
            }
        }
    }

    // The machine key comes from the first disk that tells both its model and its serial
    // number; without one it is made of the two unknown texts.
    void machineKey()
    {
        QTemporaryDir root;
        const QString sys = root.path() + "/sys";
        WriteFile(sys + "/block/sda/device/model", "DiskA  \n");           // no serial number
        WriteFile(sys + "/block/sdb/device/model", "  Model B\n");
        WriteFile(sys + "/block/sdb/device/serial", "SER-B \n");
        WriteFile(sys + "/block/sdb/device/firmware_rev", "1.0\n");
        platform::disk::SetRoots(sys, root.path() + "/udev");

        QCOMPARE(Declares::GetHardDiskInfo(0, 0), QStringLiteral("DiskA"));
        QCOMPARE(Declares::GetHardDiskInfo(0, 1), QString());
        QCOMPARE(Declares::GetHardDiskInfo(1, 0), QStringLiteral("Model B"));
        QCOMPARE(Declares::GetHardDiskInfo(1, 2), QStringLiteral("1.0"));
        QCOMPARE(Declares::GetHardDiskInfo(3, 0), QString());
        QString model, serial;
        CredentialNames::MachineDisk(model, serial);
        QCOMPARE(model, QStringLiteral("Model B"));
        QCOMPARE(serial, QStringLiteral("SER-B"));
        QCOMPARE(CredentialNames::MachineKey(), GeneralFunction::EncodeText("Model BSER-B", false, 173));
        QCOMPARE(CredentialNames::ValueName("K", "ODBC"), "K" + GeneralFunction::EncodeText("ODBC", false, 173));

        platform::disk::SetRoots(root.path() + "/none", root.path() + "/none");
        QCOMPARE(CredentialNames::MachineKey(), GeneralFunction::EncodeText("UnKnownModalUnKnownSerial", false, 173));
        platform::disk::SetRoots("/sys", "/run/udev/data");
    }
};

QTEST_GUILESS_MAIN(TestGeneral)
#include "test_general.moc"
