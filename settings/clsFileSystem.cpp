#include "clsFileSystem.h"

#include "core/RuntimeError.h"
#include "database/Value.h"
#include "text/Ansi.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>

#include <cmath>

using platform::RuntimeError;

namespace {
const QString kSource = QStringLiteral("FileSystem");

[[noreturn]] void Fail(long number)
{
    switch (number) {
    case platform::err::FileNotFound: throw RuntimeError(number, QStringLiteral("File not found"), kSource);
    case platform::err::PathNotFound: throw RuntimeError(number, QStringLiteral("Path not found"), kSource);
    case platform::err::FileAlreadyExists: throw RuntimeError(number, QStringLiteral("File already exists"), kSource);
    case platform::err::PermissionDenied: throw RuntimeError(number, QStringLiteral("Permission denied"), kSource);
    case platform::err::InvalidProcedureCall:
        throw RuntimeError(number, QStringLiteral("Invalid procedure call or argument"), kSource);
    default: throw RuntimeError(number, QStringLiteral("Path/File access error"), kSource);
    }
}

QString Clean(const QString& path)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(path));
}

// The file that must exist; its absence is error 53.
QFileInfo ExistingFile(const QString& path)
{
    const QFileInfo info(Clean(path));
    if (path.isEmpty() || !info.exists() || info.isDir())
        Fail(platform::err::FileNotFound);
    return info;
}

QFileInfo ExistingFolder(const QString& path)
{
    const QFileInfo info(Clean(path));
    if (path.isEmpty() || !info.isDir())
        Fail(platform::err::PathNotFound);
    return info;
}

// The error of a file that cannot be opened: its folder is missing, or access is refused.
[[noreturn]] void OpenFailure(const QString& path, bool forWriting)
{
    const QFileInfo info(Clean(path));
    if (!info.dir().exists())
        Fail(platform::err::PathNotFound);
    if (!forWriting && !info.exists())
        Fail(platform::err::FileNotFound);
    Fail(platform::err::PermissionDenied);
}

// Whether the block device of a mounted volume is removable or an optical drive.
bool IsRemovableDevice(const QStorageInfo& volume)
{
    const QString type = QString::fromLatin1(volume.fileSystemType());
    if (type == QLatin1String("iso9660") || type == QLatin1String("udf"))
        return true;
    const QString device = QString::fromLatin1(volume.device());
    if (!device.startsWith(QLatin1String("/dev/")))
        return false;
    const QString name = QFileInfo(device).canonicalFilePath().section(QLatin1Char('/'), -1);
    if (name.startsWith(QLatin1String("sr")))
        return true;
    QString dir = QFileInfo(QStringLiteral("/sys/class/block/") + name).canonicalFilePath();
    if (dir.isEmpty())
        return false;
    if (QFileInfo::exists(dir + QStringLiteral("/partition")))
        dir = QFileInfo(dir).absolutePath();
    QFile removable(dir + QStringLiteral("/removable"));
    return removable.open(QIODevice::ReadOnly) && removable.readAll().trimmed() == "1";
}

bool IsNetworkVolume(const QStorageInfo& volume)
{
    static const QRegularExpression network(QStringLiteral("^(cifs|smb3?|smbfs|nfs4?|afs|ceph|glusterfs|9p|fuse\\.sshfs|fuse\\.rclone|davfs)$"));
    return network.match(QString::fromLatin1(volume.fileSystemType())).hasMatch();
}

// Megabytes to two places, halves to even, in the runtime's number text.
QString Megabytes(double bytes)
{
    const double value = std::nearbyint(bytes / 1048576.0 * 100.0) / 100.0;
    return platform::db::convert::NumberText(value);
}
}  // namespace

clsFileSystem::clsFileSystem(QObject* parent) : QObject(parent), oFS(QDir::root()) {}

clsFileSystem::~clsFileSystem() = default;

void clsFileSystem::RaiseMessage(const QString& description, qint32 button)
{
    emit Message(kSource, QString(), -1, description, button, 2, &m_cancel, false);
}

QStorageInfo clsFileSystem::DriveOf(const QString& path)
{
    QStorageInfo volume(Clean(path));
    if (!volume.isValid())
        Fail(platform::err::PathNotFound);
    return volume;
}

QString clsFileSystem::GetFirstRemovableDrive()
{
    oDrives = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& volume : oDrives) {
        oDrive = volume;
        if (volume.isValid() && volume.isReady() && IsRemovableDevice(volume))
            return volume.rootPath();
    }
    return QString();
}

bool clsFileSystem::EnoughSpace(double needed)
{
    if (static_cast<double>(oDrive.bytesAvailable()) < needed) {
        RaiseMessage(QStringLiteral("Minimum Diskspace Required ") + Megabytes(needed) + QStringLiteral(" MB"), 48);
        return false;
    }
    return true;
}

bool clsFileSystem::CheckDiskSpace(const QString& pFilePathName, const QString& pDriveName)
{
    oFile = ExistingFile(pFilePathName);
    const double needed = static_cast<double>(oFile.size()) * 1.1;
    oDrive = DriveOf(pDriveName.isEmpty() ? oFile.absoluteFilePath() : pDriveName);
    return EnoughSpace(needed);
}

bool clsFileSystem::CheckSQLServerDiskSpace(const QString& pDatabaseFilePathName, const QString& pLogFilePathName,
                                            const QString& pDriveName)
{
    oFile = ExistingFile(pDatabaseFilePathName);
    double size = static_cast<double>(oFile.size());
    oFile = ExistingFile(pLogFilePathName);
    size += static_cast<double>(oFile.size());
    const double needed = size * 1.1;
    oDrive = DriveOf(pDriveName.isEmpty() ? oFile.absoluteFilePath() : pDriveName);
    return EnoughSpace(needed);
}

bool clsFileSystem::CreateFolder(const QString& pFolderName)
{
    const QString parent = ParentFolderName(pFolderName);
    if (parent.isEmpty())
        return false;
    if (QFileInfo(parent).isDir() || CreateFolder(parent)) {
        const QString folder = Clean(pFolderName);
        if (QFileInfo::exists(folder))
            Fail(platform::err::FileAlreadyExists);
        if (!QDir().mkdir(folder))
            Fail(platform::err::PermissionDenied);
        return true;
    }
    return false;
}

QString clsFileSystem::NetworkForm(const QString& folderPath)
{
    oDrive = DriveOf(folderPath);
    const QString share = QString::fromLocal8Bit(oDrive.device());
    if (!IsNetworkVolume(oDrive) || share.isEmpty())
        return folderPath;
    const QString root = oDrive.rootPath();
    QString rest = folderPath.mid(root.size());
    if (!rest.isEmpty() && !rest.startsWith(QLatin1Char('/')) && !share.endsWith(QLatin1Char('/')))
        rest.prepend(QLatin1Char('/'));
    return share + rest;
}

QString clsFileSystem::GetNetWorkLocation(const QString& pFilePathName, const QString& pFolderName)
{
    QString path;
    if (!pFilePathName.isEmpty()) {
        oFile = ExistingFile(pFilePathName);
        oParentFolder = QFileInfo(oFile.absolutePath());
        path = oParentFolder.absoluteFilePath();
    } else if (!pFolderName.isEmpty()) {
        oFolder = ExistingFolder(pFolderName);
        path = oFolder.absoluteFilePath();
    } else {
        return QString();
    }
    return NetworkForm(path);
}

QString clsFileSystem::GetDrivePathLocation(const QString& pFilePathName)
{
    if (pFilePathName.isEmpty())
        return QString();
    oFile = ExistingFile(pFilePathName);
    oParentFolder = QFileInfo(oFile.absolutePath());
    return NetworkForm(oParentFolder.absoluteFilePath());
}

QStringList clsFileSystem::GetSubFoldersDirs(const QString& pFolderName)
{
    QStringList names;
    if (!FolderExists(pFolderName))
        return names;
    QDirIterator it(Clean(pFolderName), QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        names << it.fileName();
    }
    return names;
}

QStringList clsFileSystem::GetSubFolders(const QString& pFolderName)
{
    QStringList names;
    if (!FolderExists(pFolderName))
        return names;
    oFolder = QFileInfo(Clean(pFolderName));
    oSubFolders = QDir(oFolder.absoluteFilePath()).entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                                                                  QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& folder : oSubFolders) {
        oSubFolder = folder;
        names << folder.fileName();
    }
    return names;
}

void clsFileSystem::WriteTextFile(const QString& pFilePathName, const QString& pText, bool pUnicodeFormat)
{
    oTS = std::make_unique<QFile>(Clean(pFilePathName));
    const bool opened = oTS->open(QIODevice::WriteOnly | QIODevice::Truncate);
    if (!opened) {
        oTS.reset();
        OpenFailure(pFilePathName, true);
    }
    QByteArray bytes;
    if (pUnicodeFormat) {
        bytes = QByteArray("\xFF\xFE", 2);
        bytes.append(reinterpret_cast<const char*>(pText.utf16()), pText.size() * 2);
    } else {
        bytes = platform::ansi::Encode(pText);
    }
    const bool written = oTS->write(bytes) == bytes.size();
    oTS->close();
    oTS.reset();
    if (!written)
        Fail(57);
}

QString clsFileSystem::ReadTextFromFile(const QString& pFilePathName, int pTristateFormat)
{
    if (pTristateFormat != 0 && pTristateFormat != -1 && pTristateFormat != -2)
        Fail(platform::err::InvalidProcedureCall);
    oTS = std::make_unique<QFile>(Clean(pFilePathName));
    if (!QFileInfo(Clean(pFilePathName)).isFile() || !oTS->open(QIODevice::ReadOnly)) {
        oTS.reset();
        OpenFailure(pFilePathName, false);
    }
    QByteArray bytes = oTS->readAll();
    oTS->close();
    oTS.reset();
    const bool hasBom = bytes.startsWith("\xFF\xFE");
    if (pTristateFormat == -1 || (pTristateFormat == -2 && hasBom)) {
        if (hasBom)
            bytes.remove(0, 2);
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    }
    if (pTristateFormat == -2)
        return QString::fromLocal8Bit(bytes);
    return platform::ansi::Decode(bytes);
}

QDateTime clsFileSystem::GetDateLastModified(const QString& pFolderName, const QString& pFileName)
{
    if (!pFileName.isEmpty()) {
        oFile = ExistingFile(pFileName);
        return oFile.lastModified();
    }
    if (!pFolderName.isEmpty()) {
        oFolder = ExistingFolder(pFolderName);
        return oFolder.lastModified();
    }
    return platform::db::convert::EmptyDate();
}

bool clsFileSystem::CreateFile(const QString& pFilePathName, const QByteArray& pFileDetails)
{
    bool result = false;
    QString failure;
    QSaveFile stream(Clean(pFilePathName));
    if (!stream.open(QIODevice::WriteOnly)) {
        try {
            OpenFailure(pFilePathName, true);
        } catch (const RuntimeError& e) {
            failure = QString::number(e.Number()) + QStringLiteral(" - ") + e.Description();
        }
    } else if (stream.write(pFileDetails) != pFileDetails.size() || !stream.commit()) {
        failure = QStringLiteral("57 - Device I/O error");
    } else {
        result = true;
    }
    if (!result)
        RaiseMessage(failure, 16);
    return result;
}

QString clsFileSystem::GetDriveName(const QString& pFilePathName)
{
    const QString path = Clean(pFilePathName);
    if (pFilePathName.isEmpty() || QDir::isRelativePath(path))
        return QString();
    // The nearest folder that exists tells the volume.
    QString existing = path;
    while (!QFileInfo::exists(existing) && existing != QLatin1String("/"))
        existing = QFileInfo(existing).absolutePath();
    return QStorageInfo(existing).rootPath();
}

QString clsFileSystem::ParentFolderName(const QString& pFilePathName)
{
    if (pFilePathName.isEmpty())
        return QString();
    const QString path = Clean(pFilePathName);
    if (path == QLatin1String("/") || !path.contains(QLatin1Char('/')))
        return QString();
    const QString parent = path.left(path.lastIndexOf(QLatin1Char('/')));
    return parent.isEmpty() ? QStringLiteral("/") : parent;
}

QString clsFileSystem::GetFileName(const QString& pFilePathName)
{
    const QString path = Clean(pFilePathName);
    return path == QLatin1String("/") || pFilePathName.isEmpty() ? QString() : path.section(QLatin1Char('/'), -1);
}

QString clsFileSystem::GetExtensionName(const QString& pFilePathName)
{
    const QString name = GetFileName(pFilePathName);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString clsFileSystem::GetBaseName(const QString& pFilePath)
{
    const QString name = GetFileName(pFilePath);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString clsFileSystem::GetTempName()
{
    return QStringLiteral("rad") + QString::number(QRandomGenerator::global()->bounded(0x100000), 16).toUpper().rightJustified(5, QLatin1Char('0'))
         + QStringLiteral(".tmp");
}

QString clsFileSystem::GetSpecialFolderName(int pSpecialFolderName)
{
    switch (pSpecialFolderName) {
#ifdef Q_OS_WIN
    case 0: return QDir::fromNativeSeparators(qEnvironmentVariable("SystemRoot", QStringLiteral("C:/Windows")));
    case 1: return QDir::fromNativeSeparators(qEnvironmentVariable("SystemRoot", QStringLiteral("C:/Windows"))) + QStringLiteral("/System32");
#else
    // The operating system's own files, and its shared system libraries.
    case 0: return QStringLiteral("/usr");
    case 1: return QStringLiteral("/usr/lib");
#endif
    case 2: return QDir::tempPath();
    default: Fail(platform::err::InvalidProcedureCall);
    }
}

bool clsFileSystem::FileExists(const QString& pFilePathName)
{
    const QFileInfo info(Clean(pFilePathName));
    return !pFilePathName.isEmpty() && info.exists() && !info.isDir();
}

bool clsFileSystem::FolderExists(const QString& pFolderName)
{
    return !pFolderName.isEmpty() && QFileInfo(Clean(pFolderName)).isDir();
}

bool clsFileSystem::IsRootFolder(const QString& pFolderName)
{
    oFolder = ExistingFolder(pFolderName);
    return QStorageInfo(oFolder.absoluteFilePath()).rootPath() == oFolder.canonicalFilePath();
}

void clsFileSystem::CopyOneFile(const QString& source, const QString& target, bool overwrite)
{
    if (QFileInfo(target).isDir())
        Fail(platform::err::PermissionDenied);
    if (QFileInfo::exists(target)) {
        if (!overwrite)
            Fail(platform::err::FileAlreadyExists);
        QFile existing(target);
        if (!existing.remove())
            Fail(platform::err::PermissionDenied);
    }
    if (!QFile::copy(source, target)) {
        if (!QFileInfo(target).dir().exists())
            Fail(platform::err::PathNotFound);
        Fail(platform::err::PermissionDenied);
    }
}

void clsFileSystem::CopyFile(const QString& pSource, const QString& pDestination, bool pOverWrite)
{
    const QString source = Clean(pSource);
    const QString folder = QFileInfo(source).absolutePath();
    const QString pattern = QFileInfo(source).fileName();
    QStringList sources;
    if (pattern.contains(QLatin1Char('*')) || pattern.contains(QLatin1Char('?'))) {
        for (const QString& name : QDir(folder).entryList({pattern}, QDir::Files | QDir::Hidden, QDir::Name))
            sources << folder + QLatin1Char('/') + name;
    } else if (FileExists(source)) {
        sources << source;
    }
    if (sources.isEmpty())
        Fail(platform::err::FileNotFound);
    const bool intoFolder = pDestination.endsWith(QLatin1Char('/'))
                         || QFileInfo(Clean(pDestination)).isDir() || sources.size() > 1;
    for (const QString& file : sources) {
        const QString target = intoFolder ? Clean(pDestination) + QLatin1Char('/') + QFileInfo(file).fileName() : Clean(pDestination);
        CopyOneFile(file, target, pOverWrite);
    }
}

void clsFileSystem::CopyTree(const QString& source, const QString& target, bool overwrite)
{
    if (!QFileInfo(target).isDir() && !QDir().mkpath(target))
        Fail(platform::err::PathNotFound);
    const QDir dir(source);
    for (const QFileInfo& entry : dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString to = target + QLatin1Char('/') + entry.fileName();
        if (entry.isDir())
            CopyTree(entry.absoluteFilePath(), to, overwrite);
        else
            CopyOneFile(entry.absoluteFilePath(), to, overwrite);
    }
}

void clsFileSystem::CopyFolder(const QString& pSource, const QString& pDestination, bool pOverWrite)
{
    const QFileInfo source = ExistingFolder(pSource);
    const bool intoFolder = pDestination.endsWith(QLatin1Char('/'));
    const QString target = intoFolder ? Clean(pDestination) + QLatin1Char('/') + source.fileName() : Clean(pDestination);
    if (QFileInfo(target).exists() && !QFileInfo(target).isDir())
        Fail(platform::err::FileAlreadyExists);
    CopyTree(source.absoluteFilePath(), target, pOverWrite);
}

void clsFileSystem::RenameFile(const QString& pFilePathName, const QString& pNewFileName)
{
    oFile = ExistingFile(pFilePathName);
    if (pNewFileName.isEmpty() || pNewFileName.contains(QLatin1Char('/')))
        Fail(platform::err::InvalidProcedureCall);
    const QString target = oFile.absolutePath() + QLatin1Char('/') + pNewFileName;
    if (QFileInfo::exists(target))
        Fail(platform::err::FileAlreadyExists);
    if (!QFile::rename(oFile.absoluteFilePath(), target))
        Fail(platform::err::PermissionDenied);
}

void clsFileSystem::DeleteFile(const QString& pFilePathName, bool pForceToDelete, bool pCheckExist)
{
    if (pCheckExist && !FileExists(pFilePathName))
        return;
    const QFileInfo file = ExistingFile(pFilePathName);
    QFile target(file.absoluteFilePath());
    if (!(target.permissions() & QFileDevice::WriteOwner)) {
        if (!pForceToDelete)
            Fail(platform::err::PermissionDenied);
        target.setPermissions(target.permissions() | QFileDevice::WriteOwner);
    }
    if (!target.remove())
        Fail(platform::err::PermissionDenied);
}

void clsFileSystem::DeleteFolder(const QString& pFolderName, bool pForceToDelete, bool pCheckExist)
{
    if (pCheckExist && !FolderExists(pFolderName))
        return;
    const QFileInfo folder = ExistingFolder(pFolderName);
    if (!pForceToDelete) {
        QDirIterator it(folder.absoluteFilePath(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            if (!(it.fileInfo().permissions() & QFileDevice::WriteOwner))
                Fail(platform::err::PermissionDenied);
        }
    }
    if (!QDir(folder.absoluteFilePath()).removeRecursively())
        Fail(platform::err::PermissionDenied);
}

void clsFileSystem::SetNormalAttribute(const QString& pFilePathName)
{
    oFile = ExistingFile(pFilePathName);
    QFile file(oFile.absoluteFilePath());
    if (!file.setPermissions(file.permissions() | QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        Fail(platform::err::PermissionDenied);
}
