// The file-system service on real files and folders of a temporary folder.
#include "clsFileSystem.h"
#include "core/RuntimeError.h"
#include "database/Value.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using platform::RuntimeError;

namespace {
void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

template <typename F>
long ErrorOf(F&& call)
{
    try {
        call();
    } catch (const RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

struct Messages {
    explicit Messages(clsFileSystem& fs)
    {
        QObject::connect(&fs, &clsFileSystem::Message, &fs,
                         [this](const QString& source, const QString& field, qint32 number, const QString& description,
                                qint32 button, qint32 cancelButton, bool*, bool setFocus) {
                             QCOMPARE(source, QStringLiteral("FileSystem"));
                             QCOMPARE(field, QString());
                             QCOMPARE(number, -1);
                             QCOMPARE(cancelButton, 2);
                             QVERIFY(!setFocus);
                             list.append({description, button});
                         });
    }
    QList<QPair<QString, qint32>> list;
};
}  // namespace

class TestFileSystem : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString Path(const QString& relative) const { return m_dir->path() + QLatin1Char('/') + relative; }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void pathParts_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("base");
        QTest::newRow("file with two dots") << "/data/2024/report.tar.gz" << "/data/2024" << "report.tar.gz" << "gz" << "report.tar";
        QTest::newRow("folder with slash") << "/data/2024/" << "/data" << "2024" << "" << "2024";
        QTest::newRow("in the root") << "/notes.txt" << "/" << "notes.txt" << "txt" << "notes";
        QTest::newRow("root") << "/" << "" << "" << "" << "";
        QTest::newRow("empty") << "" << "" << "" << "" << "";
        QTest::newRow("bare name") << "noext" << "" << "noext" << "" << "noext";
        QTest::newRow("relative") << "a/b.c" << "a" << "b.c" << "c" << "b";
    }
    void pathParts()
    {
        QFETCH(QString, path);
        QFETCH(QString, parent);
        QFETCH(QString, file);
        QFETCH(QString, extension);
        QFETCH(QString, base);
        clsFileSystem fs;
        QCOMPARE(fs.ParentFolderName(path), parent);
        QCOMPARE(fs.GetFileName(path), file);
        QCOMPARE(fs.GetExtensionName(path), extension);
        QCOMPARE(fs.GetBaseName(path), base);
    }

    void createFolder()
    {
        clsFileSystem fs;
        QVERIFY(QDir().mkdir(Path("Data")));
        QVERIFY(fs.CreateFolder(Path("Data/2024/March")));
        QVERIFY(QFileInfo(Path("Data/2024/March")).isDir());
        QVERIFY(!fs.CreateFolder("/"));
        QVERIFY(!fs.CreateFolder("relative"));
        QCOMPARE(ErrorOf([&] { fs.CreateFolder(Path("Data/2024")); }), 58L);
        QVERIFY(fs.FolderExists(Path("Data/2024")));
        QVERIFY(!fs.FolderExists(Path("Data/none")));
        QVERIFY(!fs.FileExists(Path("Data/2024")));
    }

    void subFolders()
    {
        clsFileSystem fs;
        QDir().mkpath(Path("only-files"));
        Write(Path("only-files/a.txt"), "a");
        QVERIFY(fs.GetSubFoldersDirs(Path("only-files")).isEmpty());
        QVERIFY(fs.GetSubFolders(Path("only-files")).isEmpty());
        QVERIFY(fs.GetSubFoldersDirs(Path("missing")).isEmpty());
        QVERIFY(fs.GetSubFolders(Path("missing")).isEmpty());

        for (const char* name : {"Beta", "alpha", ".hidden"})
            QDir().mkpath(Path(QStringLiteral("tree/") + QLatin1String(name)));
        Write(Path("tree/file.txt"), "x");
        QStringList dirs = fs.GetSubFoldersDirs(Path("tree"));
        dirs.sort();
        QCOMPARE(dirs, QStringList({"Beta", "alpha"}));
        QCOMPARE(fs.GetSubFolders(Path("tree")), QStringList({".hidden", "alpha", "Beta"}));
    }

    void textFiles()
    {
        clsFileSystem fs;
        const QString text = QStringLiteral("caf\u00e9 \u20ac\r\nline");
        fs.WriteTextFile(Path("ansi.txt"), text, false);
        QCOMPARE(ReadAll(Path("ansi.txt")), QByteArray("caf\xE9 \x80\r\nline"));
        QCOMPARE(fs.ReadTextFromFile(Path("ansi.txt"), 0), text);
        fs.WriteTextFile(Path("unicode.txt"), text, true);
        QCOMPARE(ReadAll(Path("unicode.txt")).left(4), QByteArray("\xFF\xFE" "c\0", 4));
        QCOMPARE(fs.ReadTextFromFile(Path("unicode.txt"), -1), text);
        QCOMPARE(fs.ReadTextFromFile(Path("unicode.txt"), -2), text);
        QVERIFY(!fs.oTS);

        QCOMPARE(ErrorOf([&] { fs.ReadTextFromFile(Path("none.txt"), 0); }), 53L);
        QCOMPARE(ErrorOf([&] { fs.WriteTextFile(Path("none/x.txt"), "x", false); }), 76L);
        QVERIFY(!fs.oTS);
    }

    void createFile()
    {
        clsFileSystem fs;
        Messages messages(fs);
        const QByteArray bytes("\x00\x01\xFFzip", 6);
        QVERIFY(fs.CreateFile(Path("blob.bin"), bytes));
        QCOMPARE(ReadAll(Path("blob.bin")), bytes);
        QVERIFY(fs.CreateFile(Path("blob.bin"), "new"));
        QCOMPARE(ReadAll(Path("blob.bin")), QByteArray("new"));
        QVERIFY(messages.list.isEmpty());
        QVERIFY(!fs.CreateFile(Path("none/blob.bin"), bytes));
        QCOMPARE(messages.list.size(), 1);
        QCOMPARE(messages.list[0].first, QStringLiteral("76 - Path not found"));
        QCOMPARE(messages.list[0].second, 16);
    }

    void diskSpace()
    {
        clsFileSystem fs;
        Messages messages(fs);
        Write(Path("small.db"), QByteArray(1000, 'x'));
        Write(Path("small.log"), QByteArray(500, 'x'));
        QVERIFY(fs.CheckDiskSpace(Path("small.db"), QString()));
        QVERIFY(fs.CheckDiskSpace(Path("small.db"), m_dir->path()));
        QVERIFY(fs.CheckSQLServerDiskSpace(Path("small.db"), Path("small.log"), QString()));
        QVERIFY(messages.list.isEmpty());
        QCOMPARE(fs.oDrive.rootPath(), QStorageInfo(m_dir->path()).rootPath());

        // A sparse file as large as the free space needs 10% more than there is.
        const qint64 free = QStorageInfo(m_dir->path()).bytesAvailable();
        QFile big(Path("big.db"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        if (!big.resize(free))
            QSKIP("the volume takes no sparse file of that size");
        big.close();
        QVERIFY(!fs.CheckDiskSpace(Path("big.db"), QString()));
        QVERIFY(!fs.CheckSQLServerDiskSpace(Path("small.db"), Path("big.db"), QString()));
        QCOMPARE(messages.list.size(), 2);
        const QRegularExpression format(QStringLiteral("^Minimum Diskspace Required (\\d+(\\.\\d{1,2})?) MB$"));
        const auto match = format.match(messages.list[0].first);
        QVERIFY2(match.hasMatch(), qPrintable(messages.list[0].first));
        QVERIFY(qAbs(match.captured(1).toDouble() - free * 1.1 / 1048576.0) <= 0.005 + 1e-9 + 0.01);
        QCOMPARE(messages.list[0].second, 48);
        QFile::remove(Path("big.db"));

        QCOMPARE(ErrorOf([&] { fs.CheckDiskSpace(Path("none.db"), QString()); }), 53L);
    }

    void locations()
    {
        clsFileSystem fs;
        Write(Path("file.txt"), "x");
        QCOMPARE(fs.GetNetWorkLocation(Path("file.txt"), QString()), QFileInfo(m_dir->path()).absoluteFilePath());
        QCOMPARE(fs.GetNetWorkLocation(QString(), m_dir->path()), QFileInfo(m_dir->path()).absoluteFilePath());
        QCOMPARE(fs.GetNetWorkLocation(QString(), QString()), QString());
        QCOMPARE(fs.GetDrivePathLocation(Path("file.txt")), QFileInfo(m_dir->path()).absoluteFilePath());
        QCOMPARE(fs.GetDrivePathLocation(QString()), QString());
        QCOMPARE(ErrorOf([&] { fs.GetNetWorkLocation(Path("none.txt"), QString()); }), 53L);
        QCOMPARE(fs.GetDriveName(Path("file.txt")), QStorageInfo(m_dir->path()).rootPath());
        QCOMPARE(fs.GetDriveName(Path("not/yet/there.txt")), QStorageInfo(m_dir->path()).rootPath());
        QCOMPARE(fs.GetDriveName("relative.txt"), QString());

        QVERIFY(fs.IsRootFolder("/"));
        QDir().mkdir(Path("sub"));
        QVERIFY(!fs.IsRootFolder(Path("sub")));
        QCOMPARE(ErrorOf([&] { fs.IsRootFolder(Path("none")); }), 76L);

        const QString removable = fs.GetFirstRemovableDrive();
        if (!removable.isEmpty())
            QCOMPARE(QStorageInfo(removable).rootPath(), removable);
    }

    void modifiedDates()
    {
        clsFileSystem fs;
        Write(Path("file.txt"), "x");
        QCOMPARE(fs.GetDateLastModified(QString(), QString()), platform::db::convert::EmptyDate());
        QCOMPARE(fs.GetDateLastModified(QString(), Path("file.txt")), QFileInfo(Path("file.txt")).lastModified());
        QCOMPARE(fs.GetDateLastModified(m_dir->path(), QString()), QFileInfo(m_dir->path()).lastModified());
        QCOMPARE(ErrorOf([&] { fs.GetDateLastModified(QString(), Path("none.txt")); }), 53L);
    }

    void copyRenameDelete()
    {
        clsFileSystem fs;
        Write(Path("a.txt"), "A");
        Write(Path("b.txt"), "B");
        Write(Path("c.csv"), "C");
        QDir().mkdir(Path("out"));
        fs.CopyFile(Path("a.txt"), Path("copy.txt"), false);
        QCOMPARE(ReadAll(Path("copy.txt")), QByteArray("A"));
        QCOMPARE(ErrorOf([&] { fs.CopyFile(Path("b.txt"), Path("copy.txt"), false); }), 58L);
        fs.CopyFile(Path("b.txt"), Path("copy.txt"), true);
        QCOMPARE(ReadAll(Path("copy.txt")), QByteArray("B"));
        fs.CopyFile(Path("*.txt"), Path("out/"), false);
        QStringList copied = QDir(Path("out")).entryList(QDir::Files);
        QCOMPARE(copied, QStringList({"a.txt", "b.txt", "copy.txt"}));
        QCOMPARE(ErrorOf([&] { fs.CopyFile(Path("*.none"), Path("out/"), false); }), 53L);

        Write(Path("out/deep.txt"), "D");
        QDir().mkpath(Path("out/inner"));
        Write(Path("out/inner/x.txt"), "X");
        fs.CopyFolder(Path("out"), Path("out2"), false);
        QCOMPARE(ReadAll(Path("out2/inner/x.txt")), QByteArray("X"));
        fs.CopyFolder(Path("out"), Path("holder/"), false);
        QCOMPARE(ReadAll(Path("holder/out/deep.txt")), QByteArray("D"));
        QCOMPARE(ErrorOf([&] { fs.CopyFolder(Path("out"), Path("out2"), false); }), 58L);
        fs.CopyFolder(Path("out"), Path("out2"), true);

        fs.RenameFile(Path("copy.txt"), "renamed.txt");
        QVERIFY(fs.FileExists(Path("renamed.txt")));
        QVERIFY(!fs.FileExists(Path("copy.txt")));
        QCOMPARE(ErrorOf([&] { fs.RenameFile(Path("renamed.txt"), "a.txt"); }), 58L);
        QCOMPARE(ErrorOf([&] { fs.RenameFile(Path("none.txt"), "z.txt"); }), 53L);

        fs.DeleteFile(Path("none.txt"), false, true);
        QCOMPARE(ErrorOf([&] { fs.DeleteFile(Path("none.txt"), false, false); }), 53L);
        QFile::setPermissions(Path("renamed.txt"), QFileDevice::ReadOwner);
        QCOMPARE(ErrorOf([&] { fs.DeleteFile(Path("renamed.txt"), false, false); }), 70L);
        fs.SetNormalAttribute(Path("renamed.txt"));
        QVERIFY(QFile::permissions(Path("renamed.txt")) & QFileDevice::WriteOwner);
        QFile::setPermissions(Path("renamed.txt"), QFileDevice::ReadOwner);
        fs.DeleteFile(Path("renamed.txt"), true, false);
        QVERIFY(!fs.FileExists(Path("renamed.txt")));

        QFile::setPermissions(Path("out2/inner/x.txt"), QFileDevice::ReadOwner);
        QCOMPARE(ErrorOf([&] { fs.DeleteFolder(Path("out2"), false, false); }), 70L);
        fs.DeleteFolder(Path("out2"), true, false);
        QVERIFY(!fs.FolderExists(Path("out2")));
        fs.DeleteFolder(Path("out2"), false, true);
        QCOMPARE(ErrorOf([&] { fs.DeleteFolder(Path("out2"), false, false); }), 76L);
    }

    void namesAndSpecialFolders()
    {
        clsFileSystem fs;
        QVERIFY(QRegularExpression(QStringLiteral("^rad[0-9A-F]{5}\\.tmp$")).match(fs.GetTempName()).hasMatch());
        QCOMPARE(fs.GetSpecialFolderName(2), QDir::tempPath());
        QVERIFY(QFileInfo(fs.GetSpecialFolderName(0)).isDir());
        QVERIFY(QFileInfo(fs.GetSpecialFolderName(1)).isDir());
        QCOMPARE(ErrorOf([&] { fs.GetSpecialFolderName(7); }), 5L);
    }
};

QTEST_GUILESS_MAIN(TestFileSystem)
#include "test_filesystem.moc"
