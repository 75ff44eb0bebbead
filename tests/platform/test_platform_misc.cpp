// The small stand-ins of the platform: in-memory table, ANSI codec, clock, per-user settings
// store, disk identity, the runtime's value conversions and its 16-bit whole numbers.
#include "clock/Clock.h"
#include "core/RuntimeError.h"
#include "core/WholeNumber.h"
#include "database/Value.h"
#include "disk/DiskIdentity.h"
#include "disk/NameWatch.h"
#include "store/UserSettings.h"
#include "table/XArrayDB.h"
#include "table/XArrayDBModel.h"
#include "text/Ansi.h"

#include <QProcess>
#include <QtTest>
#include <cstdio>
#include <limits>

using platform::RuntimeError;
using platform::XArrayDB;
namespace db = platform::db;

class TestPlatformMisc : public QObject {
    Q_OBJECT

    static XArrayDB Table(const QList<QVariantList>& rows)
    {
        XArrayDB t(0, static_cast<int>(rows.size()) - 1, 0, static_cast<int>(rows.value(0).size()) - 1);
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows[r].size(); ++c)
                t.SetValue(r, c, rows[r][c]);
        return t;
    }
    static QStringList Column(const XArrayDB& t, int col)
    {
        QStringList out;
        for (int r = t.LowerBound(1); r <= t.UpperBound(1); ++r)
            out << t.Value(r, col).toString();
        return out;
    }

private slots:
    void tableBoundsInsertDelete()
    {
        XArrayDB t(0, -1, 0, 4);
        QCOMPARE(t.UpperBound(1), -1);
        QCOMPARE(t.UpperBound(2), 4);
        const int r = t.AppendRow();
        QCOMPARE(r, 0);
        t.SetValue(0, 0, "98");
        t.Insert(1, 0);
        QCOMPARE(t.Value(1, 0).toString(), QString("98"));
        QVERIFY(t.Value(0, 0).isNull());
        t.Delete(1, 0);
        QCOMPARE(t.RowCount(), 1);
        t.ReDim(0, 2, 0, 4);  // grows, keeps the values inside both bounds
        QCOMPARE(t.Value(0, 0).toString(), QString("98"));
        QCOMPARE(t.RowCount(), 3);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, t.Value(3, 0));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, t.SetValue(0, 5, 1));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, t.Delete(1, 2, 2));
        t.Clear();
        QCOMPARE(t.UpperBound(1), -1);
        QCOMPARE(t.ColumnCount(), 5);
    }

    void tableFind()
    {
        XArrayDB t = Table({{"ABC2024", 1}, {"xyz", 2}, {"abc2024", 3}});
        QCOMPARE(t.Find(0, 0, "abc2024"), 0);
        QCOMPARE(t.Find(1, 0, "ABC2024"), 2);
        QCOMPARE(t.Find(0, 0, "abc2024", true), 2);
        QCOMPARE(t.Find(0, 1, 2), 1);
        QCOMPARE(t.Find(0, 0, "abc"), -1);
    }

    void tableSort_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("order");
        QTest::addColumn<int>("col");
        QTest::addColumn<QStringList>("expected");  // column 0 after the sort
        QTest::newRow("numbers by value, not text") << 0 << 0 << 1 << QStringList{"b", "c", "a"};
        QTest::newRow("numbers descending") << 0 << 1 << 1 << QStringList{"a", "c", "b"};
        QTest::newRow("text ignores case") << 9 << 0 << 2 << QStringList{"b", "a", "c"};
        QTest::newRow("default text is case-sensitive") << 0 << 0 << 2 << QStringList{"a", "c", "b"};
        QTest::newRow("dates") << 4 << 0 << 3 << QStringList{"c", "a", "b"};
        QTest::newRow("dates descending") << 4 << 1 << 3 << QStringList{"b", "a", "c"};
    }
    void tableSort()
    {
        QFETCH(int, type);
        QFETCH(int, order);
        QFETCH(int, col);
        QFETCH(QStringList, expected);
        XArrayDB t = Table({
            {"a", 100, "Beta", QDateTime(QDate(2024, 5, 2), QTime(9, 0))},
            {"b", 9, "alpha", QDateTime(QDate(2024, 12, 1), QTime(0, 0))},
            {"c", 20, "Gamma", QDateTime(QDate(2023, 12, 31), QTime(23, 59))},
        });
        t.QuickSort(0, 2, col, XArrayDB::SortOrder(order), XArrayDB::SortType(type));
        QCOMPARE(Column(t, 0), expected);
    }

    void tableSortKeepsTiesAndSortsARange()
    {
        const QDateTime noon(QDate(2024, 3, 1), QTime(12, 0));
        XArrayDB t = Table({
            {"head", 0, "x", noon},
            {"a", 1, "dash", noon},
            {"b", 2, "DASH", QVariant()},
            {"c", 3, "Dash", noon.addSecs(-1)},
            {"d", 4, "alpha", noon},
            {"tail", 5, "a", QVariant()},
        });
        // Rows 1..4 only; equal keys keep their order in either direction.
        t.QuickSort(1, 4, 2, XArrayDB::XORDER_DESCEND, XArrayDB::XTYPE_STRING);
        QCOMPARE(Column(t, 0), QStringList({"head", "a", "b", "c", "d", "tail"}));
        // Values that are not dates come before every date.
        t.QuickSort(1, 4, 3, XArrayDB::XORDER_ASCEND, XArrayDB::XTYPE_DATE);
        QCOMPARE(Column(t, 0), QStringList({"head", "b", "c", "a", "d", "tail"}));
        t.QuickSort(1, 4, 3, XArrayDB::XORDER_DESCEND, XArrayDB::XTYPE_DATE);
        QCOMPARE(Column(t, 0), QStringList({"head", "a", "d", "c", "b", "tail"}));
    }

    void modelShowsAndEditsTheTable()
    {
        XArrayDB t = Table({{false, "98", QDateTime(QDate(2024, 3, 31), QTime(0, 0))}});
        platform::XArrayDBModel model;
        model.SetTable(&t);
        model.SetBooleanColumns({0});
        model.SetEditableColumns({0, 1});
        model.SetHeaders({"Selected", "MobileNo", "LastDate"});
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.columnCount(), 3);
        QCOMPARE(model.data(model.index(0, 2)).toString(), QString("2024-03-31"));
        QCOMPARE(model.data(model.index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QVERIFY(model.setData(model.index(0, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(t.Value(0, 0).toBool(), true);
        QVERIFY(model.setData(model.index(0, 1), "99", Qt::EditRole));
        QCOMPARE(t.Value(0, 1).toString(), QString("99"));
        QVERIFY(!model.setData(model.index(0, 2), "x", Qt::EditRole));
        t.AppendRow();
        model.Rebind();
        QCOMPARE(model.rowCount(), 2);
    }

    void ansiCodecRoundTripsEveryCode()
    {
        QByteArray all;
        for (int c = 0; c < 256; ++c)
            all.append(static_cast<char>(c));
        QCOMPARE(platform::ansi::Encode(platform::ansi::Decode(all)), all);
        QCOMPARE(platform::ansi::Decode(QByteArray("\x80\x93\xE9", 3)), QString::fromUtf8("€“é"));
        QCOMPARE(platform::ansi::Encode(QString::fromUtf8("₹ ok ✓")), QByteArray("? ok ?"));
        QCOMPARE(platform::ansi::Encode(QString::fromUtf8("😀")), QByteArray("?"));
        QCOMPARE(platform::ansi::CodeOf(QChar(0x20AC)), 0x80);
        // From UTF-8: as from the text; ASCII passes as it is, without a copy.
        for (const QByteArray& utf8 : {QByteArray(), QByteArray("{\"Nm\":\"plain text of some length\"}<EOF>"),
                                       QByteArray("Caf\xC3\xA9 \xE2\x82\xB9 \xF0\x9F\x98\x80 and more text"), QByteArray("bad \xC3( \xFF"),
                                       QByteArray("seven\xC3\xA9"), QByteArray("eight by\xE2\x80\x9C")})
            QCOMPARE(platform::ansi::EncodeUtf8(utf8), platform::ansi::Encode(QString::fromUtf8(utf8)));
        const QByteArray ascii = QByteArray("{\"Status\":1}").repeated(100);
        QCOMPARE(platform::ansi::EncodeUtf8(ascii).constData(), ascii.constData());
        QCOMPARE(platform::ansi::CodeOf(QChar(0x0100)), -1);
    }

    void clockCanBeSet()
    {
        const QDateTime fixed(QDate(2005, 1, 1), QTime(10, 30));
        platform::Clock::Set(fixed);
        QCOMPARE(platform::Clock::Now(), fixed);
        QCOMPARE(platform::Clock::Today(), QDate(2005, 1, 1));
        platform::Clock::Reset();
        QVERIFY(qAbs(platform::Clock::Now().secsTo(QDateTime::currentDateTime())) < 5);
    }

    void settingsStoreRoundTrip()
    {
        QTemporaryDir home;
        qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
        QStandardPaths::setTestModeEnabled(false);
        namespace store = platform::store;
        const QString key = QString::fromLatin1("\xE0\xF3\xDD key");  // encoded machine keys are Latin-1
        QCOMPARE(store::GetSetting("Tessarin", "ServerInfo", key, "dflt"), QString("dflt"));
        store::SaveSetting("Tessarin", "ServerInfo", key, "value/with;odd=chars");
        QCOMPARE(store::GetSetting("Tessarin", "ServerInfo", key), QString("value/with;odd=chars"));
        QVERIFY(store::Keys("Tessarin", "ServerInfo").contains(key));
        QVERIFY(store::Location("Tessarin").startsWith(home.path()));
        store::DeleteSetting("Tessarin", "ServerInfo", key);
        QCOMPARE(store::GetSetting("Tessarin", "ServerInfo", key, "gone"), QString("gone"));
    }

    void settingsStoreReportsAFailedWrite()
    {
        // A configuration "folder" that is a plain file: nothing can be written below it.
        QTemporaryDir home;
        QFile blocker(home.filePath("config"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        // QSettings keeps the configuration path it found first, so point it here directly.
        const QString before = QFileInfo(platform::store::Location("Tessarin")).path();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, blocker.fileName());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, platform::store::SaveSetting("Tessarin", "ServerInfo", "k", "v"));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QFileInfo(before).path());
    }

    void diskIdentityFromSysfs()
    {
        QTemporaryDir root;
        auto write = [&](const QString& rel, const QByteArray& data) {
            QDir().mkpath(QFileInfo(root.filePath(rel)).path());
            QFile f(root.filePath(rel));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(data);
        };
        write("sys/block/loop0/removable", "0\n");
        write("sys/block/sdb/removable", "1\n");  // a USB stick is no fixed disk
        write("sys/block/sdb/device/model", "Stick\n");
        write("sys/block/sda/removable", "0\n");
        write("sys/block/sda/device/model", "  WDC WD10EZEX  \n");
        write("sys/block/sda/device/vpd_pg80", QByteArray("\x00\x80\x00\x08WD-12345", 12));
        write("sys/block/sda/device/rev", "01.0\n");
        write("sys/block/vda/removable", "0\n");
        write("sys/block/vda/dev", "254:0\n");
        write("udev/b254:0", "E:ID_MODEL=Virtual\nE:ID_SERIAL_SHORT=VSER9\n");
        platform::disk::SetRoots(root.filePath("sys"), root.filePath("udev"));
        using K = platform::disk::InfoKind;
        QCOMPARE(platform::disk::FixedDisks(), QStringList({"sda", "vda"}));
        QCOMPARE(platform::disk::Info(0, K::Model), QString("WDC WD10EZEX"));
        QCOMPARE(platform::disk::Info(0, K::Serial), QString("WD-12345"));
        QCOMPARE(platform::disk::Info(0, K::Firmware), QString("01.0"));
        QCOMPARE(platform::disk::Info(1, K::Model), QString("Virtual"));
        QCOMPARE(platform::disk::Info(1, K::Serial), QString("VSER9"));
        QCOMPARE(platform::disk::Info(2, K::Model), QString());
        platform::disk::SetRoots("/sys", "/run/udev/data");
    }

    // What may have taken a file away from its name stirs the watch; using the file does not.
    void nameWatchIsStirredByWhatMovesAName_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("stirred");
        QTest::newRow("nothing") << "" << false;
        QTest::newRow("written") << "write" << false;
        QTest::newRow("read") << "read" << false;
        QTest::newRow("renamed") << "rename" << true;
        QTest::newRow("removed") << "remove" << true;
        QTest::newRow("replaced by a rename") << "replace" << true;
        QTest::newRow("folder renamed") << "folder" << true;
        QTest::newRow("folder above renamed") << "above" << true;
        QTest::newRow("permissions changed") << "chmod" << true;
        QTest::newRow("renamed by another program") << "mv" << true;
        QTest::newRow("folder above renamed by another program") << "mv above" << true;
    }

    void nameWatchIsStirredByWhatMovesAName()
    {
        QFETCH(QString, change);
        QFETCH(bool, stirred);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("above/folder"));
        const QString path = dir.filePath("above/folder/log.txt");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.write("first\n");
        file.flush();

        platform::disk::NameWatch watch;
        watch.Watch(path);
        QVERIFY(!watch.Stirred());
        if (change == "write") {
            file.write("more\n");
            file.flush();
        } else if (change == "read") {
            QFile other(path);
            QVERIFY(other.open(QIODevice::ReadOnly));
            QCOMPARE(other.readAll(), QByteArray("first\n"));
        } else if (change == "rename") {
            QVERIFY(QFile::rename(path, dir.filePath("above/folder/old.txt")));
        } else if (change == "remove") {
            QVERIFY(QFile::remove(path));
        } else if (change == "replace") {
            QFile other(dir.filePath("above/folder/new.txt"));
            QVERIFY(other.open(QIODevice::WriteOnly));
            other.close();
            QVERIFY(::rename(QFile::encodeName(other.fileName()).constData(), QFile::encodeName(path).constData()) == 0);
        } else if (change == "folder") {
            QVERIFY(QDir(dir.path()).rename("above/folder", "above/moved"));
        } else if (change == "above") {
            QVERIFY(QDir(dir.path()).rename("above", "moved"));
        } else if (change == "chmod") {
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        } else if (change == "mv") {
            QCOMPARE(QProcess::execute("mv", {path, dir.filePath("above/folder/old.txt")}), 0);
        } else if (change == "mv above") {
            QCOMPARE(QProcess::execute("mv", {dir.filePath("above"), dir.filePath("moved")}), 0);
        }
        QCOMPARE(watch.Stirred(), stirred);
        QVERIFY(!watch.Stirred());  // told once
    }

    // Each change is told, once, also when another watch of the program had one in between.
    void nameWatchToldOfEachChange()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("log.txt");
        const QString otherPath = dir.filePath("other.txt");
        for (const QString& p : {path, otherPath}) {
            QFile file(p);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        platform::disk::NameWatch watch, other;
        watch.Watch(path);
        other.Watch(otherPath);
        QVERIFY(!watch.Stirred());
        QVERIFY(!other.Stirred());
        for (int round = 0; round < 3; ++round) {
            const auto mode = round % 2 ? QFileDevice::ReadOwner | QFileDevice::WriteOwner : QFileDevice::ReadOwner;
            QVERIFY(QFile::setPermissions(otherPath, mode));
            QVERIFY(!watch.Stirred());
            QVERIFY(other.Stirred());
            QVERIFY(QFile::setPermissions(path, mode));
            QVERIFY(watch.Stirred());
            QVERIFY(!watch.Stirred());
            QVERIFY(!other.Stirred());
        }
    }

    // Nothing watched: every question is answered "stirred", so the caller looks the name up.
    void nameWatchWithoutAWatchIsAlwaysStirred()
    {
        QTemporaryDir dir;
        platform::disk::NameWatch watch;
        QVERIFY(watch.Stirred());
        watch.Watch(dir.filePath("no such file"));
        QVERIFY(watch.Stirred());
        QVERIFY(watch.Stirred());
    }

    void valueConversions_data()
    {
        QTest::addColumn<QVariant>("input");
        QTest::addColumn<QString>("text");
        QTest::newRow("bool") << QVariant(true) << "True";
        QTest::newRow("whole") << QVariant(qint64(1300)) << "1300";
        QTest::newRow("decimal") << QVariant(1234.5) << "1234.5";
        QTest::newRow("sum error hidden") << QVariant(0.1 + 0.2) << "0.3";
        QTest::newRow("negative") << QVariant(-0.25) << "-0.25";
        QTest::newRow("date") << QVariant(QDateTime(QDate(2024, 4, 1), QTime(0, 0))) << "2024-04-01";
        QTest::newRow("date time") << QVariant(QDateTime(QDate(2024, 4, 1), QTime(13, 5, 9))) << "2024-04-01 13:05:09";
        QTest::newRow("text") << QVariant(QString("O'Brien")) << "O'Brien";
    }
    void valueConversions()
    {
        QFETCH(QVariant, input);
        QFETCH(QString, text);
        QCOMPARE(db::Value::FromVariant(input).ToText(), text);
    }

    void valueErrors()
    {
        const db::Value null;
        for (auto read : {+[](const db::Value& v) { (void)v.ToText(); }, +[](const db::Value& v) { (void)v.ToBool(); },
                          +[](const db::Value& v) { (void)v.ToDouble(); }, +[](const db::Value& v) { (void)v.ToDateTime(); }}) {
            try {
                read(null);
                QFAIL("a null read must fail");
            } catch (const RuntimeError& e) {
                QCOMPARE(e.Number(), 94L);
            }
        }
        QCOMPARE(db::Value("true").ToBool(), true);
        QCOMPARE(db::Value("FALSE").ToBool(), false);
        QCOMPARE(db::Value("-1").ToBool(), true);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, db::Value("yes").ToBool());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, db::Value("12a").ToDouble());
        QCOMPARE(db::Value("03/31/2024").ToDate(), QDate(2024, 3, 31));
        QCOMPARE(db::Value(2.5).ToInteger(), qint64(2));  // halves to even
        QCOMPARE(db::Value(3.5).ToInteger(), qint64(4));
    }

    // A number becomes a 16-bit whole number rounded half to even; one that does not fit, or no
    // number at all, is run-time error 6, never a wrapped value.
    void integer16_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("whole");  // what an overflow row holds there is not read
        QTest::addColumn<bool>("overflow");
        QTest::newRow("largest") << 32767.0 << 32767 << false;
        QTest::newRow("smallest") << -32768.0 << -32768 << false;
        QTest::newRow("half to even below the top") << 32766.5 << 32766 << false;
        QTest::newRow("half to even at the bottom") << -32768.5 << -32768 << false;
        QTest::newRow("half to even past the top") << 32767.5 << -1 << true;
        QTest::newRow("one past the top") << 32768.0 << -1 << true;
        QTest::newRow("one below the bottom") << -32769.0 << -1 << true;
        QTest::newRow("would wrap to 5") << 65541.0 << -1 << true;
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << -1 << true;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << -1 << true;
    }
    void integer16()
    {
        QFETCH(double, value);
        QFETCH(int, whole);
        QFETCH(bool, overflow);
        try {
            const qint16 got = platform::Integer16(value, QStringLiteral("test"));
            QVERIFY2(!overflow, qPrintable(QString::number(got)));
            QCOMPARE(int(got), whole);
        } catch (const RuntimeError& e) {
            QVERIFY(overflow);
            QCOMPARE(e.Number(), platform::err::Overflow);
            QCOMPARE(e.Description(), QStringLiteral("Overflow"));
            QCOMPARE(e.Source(), QStringLiteral("test"));
        }
    }

    // A text where a number is wanted: blanks around it aside, a number's text gives the
    // number; any other text, the empty one and those of no finite number included, is
    // run-time error 13, never a NaN or an infinity that would pass on (or be refused later as
    // an Overflow).
    void numberFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number");  // what a mismatch row holds there is not read
        QTest::addColumn<bool>("mismatch");
        QTest::newRow("whole") << "2024" << 2024.0 << false;
        QTest::newRow("blanks around") << " -7.5 " << -7.5 << false;
        QTest::newRow("exponent") << "1e3" << 1000.0 << false;
        QTest::newRow("beyond 16 bits") << "99999" << 99999.0 << false;
        QTest::newRow("empty") << "" << 0.0 << true;
        QTest::newRow("blanks only") << "   " << 0.0 << true;
        QTest::newRow("word") << "one" << 0.0 << true;
        QTest::newRow("trailing letters") << "12a" << 0.0 << true;
        QTest::newRow("nan") << "nan" << 0.0 << true;
        QTest::newRow("NaN") << "NaN" << 0.0 << true;
        QTest::newRow("inf") << "inf" << 0.0 << true;
        QTest::newRow("-inf") << "-inf" << 0.0 << true;
        QTest::newRow("+INF") << "+INF" << 0.0 << true;
        QTest::newRow("infinity") << "infinity" << 0.0 << true;
        QTest::newRow("past the largest double") << "1e999" << 0.0 << true;
    }
    void numberFromText()
    {
        QFETCH(QString, text);
        QFETCH(double, number);
        QFETCH(bool, mismatch);
        try {
            const double got = platform::NumberFromText(text, QStringLiteral("test"));
            QVERIFY2(!mismatch, qPrintable(QString::number(got)));
            QCOMPARE(got, number);
        } catch (const RuntimeError& e) {
            QVERIFY2(mismatch, qPrintable(e.Description()));
            QCOMPARE(e.Number(), platform::err::TypeMismatch);
            QCOMPARE(e.Description(), QStringLiteral("Type mismatch"));
            QCOMPARE(e.Source(), QStringLiteral("test"));
        }
        // The relay's login Status and a DocumentYear read it so: "nan" is no Overflow.
        if (mismatch)
            QVERIFY_THROWS_EXCEPTION(RuntimeError, platform::Integer16(platform::NumberFromText(text)));
    }
};

QTEST_MAIN(TestPlatformMisc)
#include "test_platform_misc.moc"
