#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QStorageInfo>
#include <QString>
#include <QStringList>

#include <memory>

// A small file-system service over Qt's file classes. Each user creates its own object. It
// shows nothing itself: a free-space warning or a failed CreateFile leaves it as the signal
// Message. Apart from CreateFile and the free-space warnings, a failure is a
// platform::RuntimeError for the caller (53 File not found, 76 Path not found, 58 File already
// exists, 70 Permission denied, 5 Invalid procedure call).
//
// Drives: Linux has no drive letters. A "drive" here is the mounted volume that holds a path
// (QStorageInfo): its root path stands where a drive letter stood, a volume whose device is
// marked removable in sysfs, or is an optical disc, is a removable drive, and a network mount
// (CIFS, SMB, NFS, SSHFS, ...) has its device text (//server/share, host:/export) as its share
// name.
class clsFileSystem : public QObject {
    Q_OBJECT
public:
    explicit clsFileSystem(QObject* parent = nullptr);
    ~clsFileSystem() override;

    // The objects the operations last looked up, in this order.
    QDir oFS;                   // the file system (its root)
    QFileInfo oFile;
    QFileInfoList oFiles;
    QStorageInfo oDrive;
    QList<QStorageInfo> oDrives;
    QFileInfo oFolder;
    QFileInfoList oFolders;
    QFileInfo oParentFolder;
    QFileInfoList oParentFolders;
    QFileInfo oSubFolder;
    QFileInfoList oSubFolders;
    std::unique_ptr<QFile> oTS;  // open only inside WriteTextFile and ReadTextFromFile

    // The root path of the first mounted removable or optical volume; "" when there is none.
    QString GetFirstRemovableDrive();
    // Whether the drive (pDriveName, else the one of the file) has 1.1 times the file's size free.
    bool CheckDiskSpace(const QString& pFilePathName, const QString& pDriveName);
    bool CheckSQLServerDiskSpace(const QString& pDatabaseFilePathName, const QString& pLogFilePathName, const QString& pDriveName);
    // Creates the folder with any missing parents; False for a root or a path without a parent.
    bool CreateFolder(const QString& pFolderName);
    // The folder of the file (or the folder itself), with the share name in place of the mount
    // point on a network mount.
    QString GetNetWorkLocation(const QString& pFilePathName, const QString& pFolderName);
    QString GetDrivePathLocation(const QString& pFilePathName);
    // The names of the folder's sub-folders: without hidden ones in directory order, and with
    // them in name order; empty when the folder does not exist.
    QStringList GetSubFoldersDirs(const QString& pFolderName);
    QStringList GetSubFolders(const QString& pFolderName);
    // Unicode is UTF-16 with its byte-order mark; ANSI is Windows-1252.
    void WriteTextFile(const QString& pFilePathName, const QString& pText, bool pUnicodeFormat);
    // pTristateFormat: 0 ANSI, -1 Unicode, -2 the system default (UTF-16 when the text starts
    // with its byte-order mark, else UTF-8 on Linux and ANSI on Windows).
    QString ReadTextFromFile(const QString& pFilePathName, int pTristateFormat);
    // The last-modified time of the file, else of the folder, else the empty date.
    QDateTime GetDateLastModified(const QString& pFolderName, const QString& pFileName);
    bool CreateFile(const QString& pFilePathName, const QByteArray& pFileDetails);

    // The mount point that holds the path ("" for a relative path).
    QString GetDriveName(const QString& pFilePathName);
    QString ParentFolderName(const QString& pFilePathName);
    QString GetFileName(const QString& pFilePathName);
    QString GetExtensionName(const QString& pFilePathName);
    QString GetBaseName(const QString& pFilePath);
    QString GetTempName();
    // 0 the operating system's folder, 1 its system-library folder, 2 the temporary folder.
    QString GetSpecialFolderName(int pSpecialFolderName);
    bool FileExists(const QString& pFilePathName);
    bool FolderExists(const QString& pFolderName);
    // Whether the folder is the root of its volume.
    bool IsRootFolder(const QString& pFolderName);
    // A source file name may hold the wildcards * and ?; a destination ending in "/" or naming
    // an existing folder receives the files under their own names.
    void CopyFile(const QString& pSource, const QString& pDestination, bool pOverWrite);
    void CopyFolder(const QString& pSource, const QString& pDestination, bool pOverWrite);
    void RenameFile(const QString& pFilePathName, const QString& pNewFileName);
    // A file without write permission counts as read-only: it is deleted only when forced.
    void DeleteFile(const QString& pFilePathName, bool pForceToDelete, bool pCheckExist);
    void DeleteFolder(const QString& pFolderName, bool pForceToDelete, bool pCheckExist);
    // Clears the read-only state: the owner may read and write the file again.
    void SetNormalAttribute(const QString& pFilePathName);

signals:
    void Message(const QString& pMsgSource, const QString& pMsgDataField, qint32 pMsgNumber, const QString& pMsgDescription,
                 qint32 pMsgButton, qint32 pCancelButton, bool* pCancel, bool pSetFocus);

private:
    void RaiseMessage(const QString& description, qint32 button);
    QStorageInfo DriveOf(const QString& path);
    QString NetworkForm(const QString& folderPath);
    bool EnoughSpace(double needed);
    void CopyOneFile(const QString& source, const QString& target, bool overwrite);
    void CopyTree(const QString& source, const QString& target, bool overwrite);
    bool m_cancel = false;
};
