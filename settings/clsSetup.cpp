#include "clsSetup.h"

#include "CredentialNames.h"
#include "GeneralFunction.h"
#include "clock/Clock.h"
#include "core/RuntimeError.h"
#include "core/WholeNumber.h"
#include "database/Value.h"
#include "store/UserSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#include <unistd.h>
#endif

using platform::RuntimeError;
namespace convert = platform::db::convert;

namespace {
const QString kSettingsFileName = QStringLiteral("TessarinMobileClientSettings.json");
const QString kMessageSource = QStringLiteral("MobileClientSetup");
const QString kCrLf = QStringLiteral("\r\n");

// The error a failed open of a text file is: a missing file, a missing folder, or no access.
[[noreturn]] void ThrowFileError(const QString& path, bool forWriting)
{
    const QFileInfo info(path);
    if (!info.dir().exists())
        throw RuntimeError(platform::err::PathNotFound, QStringLiteral("Path not found"), QStringLiteral("clsSetup"));
    if (!forWriting && !info.exists())
        throw RuntimeError(platform::err::FileNotFound, QStringLiteral("File not found"), QStringLiteral("clsSetup"));
    throw RuntimeError(platform::err::PermissionDenied, QStringLiteral("Permission denied"), QStringLiteral("clsSetup"));
}
}  // namespace

clsSetup::clsSetup(const QString& programFolder, QObject* parent)
    : QObject(parent),
      m_programFolder(programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder)
{
    xMobiles.ReDim(0, -1, 0, 4);
    xCompanies.ReDim(0, -1, 0, 4);
    xLocations.ReDim(0, -1, 0, 1);
    xLogData.ReDim(0, -1, 0, 8);
    xFilteredLogData.ReDim(0, -1, 0, 8);
    // The recordset reads all rows when it opens, so the cursor settings of a client-side,
    // optimistic, dynamic cursor need no counterpart.
    try {
        GetSQLServerDatabasePassword();
    } catch (const RuntimeError& e) {
        // A damaged stored value must not keep the program from starting; the connections
        // report it instead.
        DB_SERVER.clear();
        DB_USERID.clear();
        DB_PASSWORD.clear();
        DB_TIMEOUT.clear();
        m_credentialsError = platform::ErrorLine(e);
    }
    cLogDatabaseFilePathName = m_programFolder + QStringLiteral("/Data/LogData.mdb");
    cLogDatabaseName = QStringLiteral("master");
    cLogTableName = QStringLiteral("TessarinMobileLog");
}

clsSetup::~clsSetup() = default;

QString clsSetup::SettingsFilePath() const
{
    return m_programFolder + QLatin1Char('/') + kSettingsFileName;
}

void clsSetup::RaiseMessage(const QString& description, qint32 number, qint32 button, qint32 cancelButton)
{
    emit Message(kMessageSource, QString(), number, description, button, cancelButton, &m_cancel, false);
}

// --- settings file -------------------------------------------------------------------------

void clsSetup::SetDefaultSettings()
{
    lStaticIP = false;
    cLocalPort = QStringLiteral("1175");
    cRemoteIP = QStringLiteral("192.168.1.200");
    cRemotePort = QStringLiteral("3175");
    cDongleNo.clear();
    lCurrentYearOnly = true;
    lAutoStart = false;
    cBlockIPs.clear();
    for (int row = xLocations.LowerBound(1); row <= xLocations.UpperBound(1); ++row)
        xLocations.SetValue(row, 0, false);
    xMobiles.Clear();
    lConnectionParemeterChanged = false;
    lSettingChanged = false;
    lSettingFound = false;
}

bool clsSetup::GetSettings()
{
    DropCompanyConnections();
    const QString path = SettingsFilePath();
    SetDefaultSettings();
    if (!QFileInfo::exists(path)) {
        RaiseMessage(kSettingsFileName + QStringLiteral(" file not found."), -1, 48, 2);
        return true;
    }
    try {
        platform::JsonObject settings;
        settings.Load(ReadFromTextFile(path));
        lStaticIP = convert::TextToBool(settings.StringOf(QStringLiteral("StaticIP")));
        cLocalPort = settings.StringOf(QStringLiteral("LocalPort"));
        cRemoteIP = settings.StringOf(QStringLiteral("RemoteIP"));
        cRemotePort = settings.StringOf(QStringLiteral("RemotePort"));
        cDongleNo = settings.StringOf(QStringLiteral("DongleNo"));
        lCurrentYearOnly = convert::TextToBool(settings.StringOf(QStringLiteral("CurrentYearOnly")));
        SetSelectedLocations(settings.ArrayOf(QStringLiteral("Locations")));
        SetAllowedMobiles(settings.ArrayOf(QStringLiteral("Mobiles")));
        if (settings.HasMember(QStringLiteral("AutoStart")))
            lAutoStart = convert::TextToBool(settings.StringOf(QStringLiteral("AutoStart")));
        if (settings.HasMember(QStringLiteral("BlockIPs")))
            cBlockIPs = settings.StringOf(QStringLiteral("BlockIPs"));
        lConnectionParemeterChanged = false;
        lSettingChanged = false;
        lSettingFound = true;
        return true;
    } catch (const RuntimeError& e) {
        RaiseMessage(QStringLiteral("Error while getting settings from ") + kSettingsFileName + QLatin1Char('.') + kCrLf
                         + QStringLiteral("Error ") + platform::ErrorLine(e),
                     -1, 16, 2);
        return false;
    }
}

bool clsSetup::SaveSettings()
{
    DropCompanyConnections();
    try {
        platform::JsonObject settings;
        settings.AddBool(QStringLiteral("StaticIP"), lStaticIP);
        settings.AddString(QStringLiteral("LocalPort"), cLocalPort);
        settings.AddString(QStringLiteral("RemoteIP"), cRemoteIP);
        settings.AddString(QStringLiteral("RemotePort"), cRemotePort);
        settings.AddString(QStringLiteral("DongleNo"), cDongleNo);
        settings.AddBool(QStringLiteral("CurrentYearOnly"), lCurrentYearOnly);
        settings.AddBool(QStringLiteral("AutoStart"), lAutoStart);
        settings.AddString(QStringLiteral("BlockIPs"), cBlockIPs.trimmed());
        settings.AddArrayCopy(QStringLiteral("Locations"), SelectedLocations());
        settings.AddArrayCopy(QStringLiteral("Mobiles"), AllowedMobiles());
        WriteTextFile(SettingsFilePath(), settings.Emit(false));
        RaiseMessage(QStringLiteral("Settings saved successfully."), -1, 64, 1);
        lSettingChanged = false;
        lSettingFound = true;
        return true;
    } catch (const RuntimeError& e) {
        RaiseMessage(QStringLiteral("Error while saving setting.") + kCrLf + QStringLiteral("Error ") + platform::ErrorLine(e), -1, 16, 1);
        return false;
    }
}

// Text files are in the system's default format: the ANSI code page on Windows, UTF-8 on Linux.
QString clsSetup::ReadFromTextFile(const QString& pFilePathName)
{
    QFile file(pFilePathName);
    if (!file.open(QIODevice::ReadOnly))
        ThrowFileError(pFilePathName, false);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw RuntimeError(57, QStringLiteral("Device I/O error"), QStringLiteral("clsSetup"));
    return QString::fromLocal8Bit(bytes);
}

// Written to a new file that then replaces the old one, so that a failure on the way (a full
// disk, a killed process) leaves the old file whole rather than a truncated one.
QString clsSetup::WriteTextFile(const QString& pFilePathName, const QString& pText)
{
    QSaveFile file(pFilePathName);
    if (!file.open(QIODevice::WriteOnly))
        ThrowFileError(pFilePathName, true);
    const QByteArray bytes = pText.toLocal8Bit();
    // Nobody but its owner may change the file, whatever the umask.
    file.setPermissions(file.permissions() & ~(QFileDevice::WriteGroup | QFileDevice::WriteOther));
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        file.cancelWriting();
        throw RuntimeError(57, QStringLiteral("Device I/O error"), QStringLiteral("clsSetup"));
    }
    return QString();
}

// --- lists ---------------------------------------------------------------------------------

void clsSetup::SetSelectedLocations(const platform::JsonArray& pJSONArray)
{
    if (xLocations.RowCount() == 0)
        return;
    if (!pJSONArray.IsValid())
        throw platform::ObjectNotSet(QStringLiteral("clsSetup"));
    for (int row = xLocations.LowerBound(1); row <= xLocations.UpperBound(1); ++row)
        xLocations.SetValue(row, 0, false);
    for (int i = 0; i < pJSONArray.Size(); ++i) {
        const int row = xLocations.Find(xLocations.LowerBound(1), 1, pJSONArray.StringAt(i));
        if (row >= 0)
            xLocations.SetValue(row, 0, true);
    }
}

platform::JsonArray clsSetup::SelectedLocations() const
{
    platform::JsonArray result;
    for (int row = xLocations.LowerBound(1); row <= xLocations.UpperBound(1); ++row)
        if (xLocations.Value(row, 0).toBool())
            result.AddString(xLocations.Value(row, 1).toString());
    return result;
}

void clsSetup::SetAllowedMobiles(const platform::JsonArray& pJSONArray)
{
    if (!pJSONArray.IsValid())
        throw platform::ObjectNotSet(QStringLiteral("clsSetup"));
    xMobiles.ReDim(0, -1, 0, 4);
    for (int i = 0; i < pJSONArray.Size(); ++i) {
        const platform::JsonArray entry = pJSONArray.ArrayAt(i);
        if (!entry.IsValid())
            throw platform::ObjectNotSet(QStringLiteral("clsSetup"));
        const int row = xMobiles.AppendRow();
        xMobiles.SetValue(row, 0, entry.StringAt(0));
        xMobiles.SetValue(row, 1, entry.StringAt(1));
        xMobiles.SetValue(row, 2, ckArrayToString(entry.ArrayAt(2), QStringLiteral("|")));
        xMobiles.SetValue(row, 3, convert::TextToBool(entry.StringAt(3)));
        xMobiles.SetValue(row, 4, entry.StringAt(4));
    }
}

platform::JsonArray clsSetup::AllowedMobiles() const
{
    platform::JsonArray result;
    for (int row = xMobiles.LowerBound(1); row <= xMobiles.UpperBound(1); ++row) {
        platform::JsonArray entry = result.AddArray();
        entry.AddString(xMobiles.Value(row, 0).toString());
        entry.AddString(xMobiles.Value(row, 1).toString());
        platform::JsonArray companies = entry.AddArray();
        AppendStringTockArray(xMobiles.Value(row, 2).toString(), QStringLiteral("|"), companies);
        entry.AddBool(xMobiles.Value(row, 3).toBool());
        entry.AddString(xMobiles.Value(row, 4).toString());
    }
    return result;
}

QString clsSetup::ckArrayToString(const platform::JsonArray& pJSONArray, const QString& pDelimiter) const
{
    if (!pJSONArray.IsValid())
        throw platform::ObjectNotSet(QStringLiteral("clsSetup"));
    QStringList pieces;
    for (int i = 0; i < pJSONArray.Size(); ++i)
        pieces << pJSONArray.StringAt(i);
    return pieces.join(pDelimiter);
}

void clsSetup::AppendStringTockArray(const QString& pString, const QString& pDelimiter, platform::JsonArray& pJSONArray) const
{
    if (pString.isEmpty())
        return;
    for (const QString& piece : pString.split(pDelimiter))
        pJSONArray.InsertString(0, piece);
}

QString clsSetup::GetAllowedLocations() const
{
    return ckArrayToString(SelectedLocations(), QStringLiteral("|"));
}

QString clsSetup::GetAllowedCompanies(const QString& pMobileNo) const
{
    QString allowed;
    for (int row = xMobiles.LowerBound(1); row <= xMobiles.UpperBound(1); ++row)
        if (xMobiles.Value(row, 0).toString() == pMobileNo)
            allowed = xMobiles.Value(row, 2).toString();
    return allowed;
}

// --- rules ---------------------------------------------------------------------------------

// Entries are trimmed and empty ones skipped: an empty entry would be a prefix of every address.
bool clsSetup::IsIPBlocked(const QString& pIPAddress) const
{
    const QStringList entries = cBlockIPs.trimmed().split(QLatin1Char(','));
    for (const QString& raw : entries) {
        const QString entry = raw.trimmed();
        if (!entry.isEmpty() && pIPAddress.startsWith(entry, Qt::CaseSensitive))
            return true;
    }
    return false;
}

bool clsSetup::IsFolderAllowed(const platform::JsonObject& pJSONObject)
{
    const QString mobileNo = pJSONObject.StringOf(QStringLiteral("MobileNo"));
    const QString folderName = pJSONObject.StringOf(QStringLiteral("FolderName"));
    AppendLog(QStringLiteral("Mobile No.") + GeneralFunction::VisibleText(mobileNo) + QStringLiteral(" Checking is Folder Allowed"));
    const QString allowed = GetAllowedCompanies(mobileNo);
    if (allowed.isEmpty() && !lCurrentYearOnly)
        return true;
    if (!allowed.isEmpty()) {
        // The folder must be one of the mobile's companies, whole: a piece of a name, or no
        // name at all, is not one of them.
        bool listed = false;
        if (!folderName.isEmpty())
            for (const QString& company : allowed.split(QLatin1Char('|')))
                if (company.compare(folderName, Qt::CaseInsensitive) == 0)
                    listed = true;
        if (!listed)
            return false;
    }
    if (lCurrentYearOnly) {
        if (xCompanies.RowCount() == 0)
            GetCompanyList();
        for (int row = xCompanies.LowerBound(1); row <= xCompanies.UpperBound(1); ++row) {
            if (xCompanies.Value(row, 4).toString().toUpper() == folderName.toUpper()) {
                const QDateTime lastDate = platform::db::Value::FromVariant(xCompanies.Value(row, 3)).ToDateTime();
                return lastDate > platform::Clock::Today().startOfDay();
            }
        }
        return true;
    }
    return true;
}

// --- text log ------------------------------------------------------------------------------

void clsSetup::LogEvents()
{
    try {
        const QString folder = m_programFolder + QStringLiteral("/LogFiles");
        m_logFilePath = folder + QStringLiteral("/Log_")
                      + platform::Clock::Now().toString(QStringLiteral("yyyy-MM-dd-HH-mm-ss")) + QStringLiteral(".txt");
        if (!QFileInfo(folder).isDir() && !QDir().mkdir(folder))
            throw RuntimeError(platform::err::PathNotFound, QStringLiteral("Path not found"), QStringLiteral("clsSetup"));
        AppendLog(QStringLiteral("Start Logging"));
    } catch (const RuntimeError& e) {
        RaiseMessage(QStringLiteral("Error while creating log file.") + kCrLf + platform::ErrorLine(e), -1, 16, 1);
    }
}

#if defined(Q_OS_UNIX)
namespace {
// Writes all the bytes, as QFile::write goes on until all is written or the system fails it.
bool WriteAll(int fd, const char* bytes, size_t count)
{
    while (count > 0) {
        const ssize_t written = ::write(fd, bytes, count);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}
}  // namespace
#endif

void clsSetup::AppendLog(const QString& pText)
{
    AppendLog({QStringView(pText)});
}

// The file stays open while it is the current log, and each line goes to it in one unbuffered
// write, so each line is on disk when this returns. A file removed or renamed while open is
// noticed (its name no longer leads to it) and made again; a line that cannot be written is
// dropped without a word. The name is looked up again only when the file or a folder above it
// was touched, which the watch tells without walking the path for every line.
void clsSetup::AppendLog(const QStringView* pieces, qsizetype count)
{
    const QStringView* const end = pieces + count;
    if (m_logFilePath.isEmpty())
        return;
    if (m_logFile && (m_logFile->fileName() != m_logFilePath || (m_logFileWatch.Stirred() && !LogFileStillNamed())))
        m_logFile.reset();
    if (!m_logFile) {
        auto file = std::make_unique<QFile>(m_logFilePath);
        if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return;
        if (file->size() == 0)  // new: nobody but its owner may change it, whatever the umask
            file->setPermissions(file->permissions() & ~(QFileDevice::WriteGroup | QFileDevice::WriteOther));
#if defined(Q_OS_UNIX)
        // What the name must still lead to for the open file to be the log (one look-up a line).
        struct stat opened {};
        if (::fstat(file->handle(), &opened) == 0) {
            m_logFileDevice = quint64(opened.st_dev);
            m_logFileNode = quint64(opened.st_ino);
        }
#endif
        m_logFile = std::move(file);
        m_logFileWatch.Watch(m_logFilePath);
        // Moved in the moment before the watch began: no watch, every line looks the name up.
        if (!LogFileStillNamed())
            m_logFileWatch.Clear();
    }
    const QDateTime now = platform::Clock::Now();
    if (now != m_logStampTime || m_logStamp.isEmpty()) {
        m_logStampTime = now;
        m_logStamp = (now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QLatin1Char('|')).toLocal8Bit();
    }
    // The line's bytes: the time, the text in the local 8-bit encoding and the line's end. Plain
    // ASCII (nearly every line) is the same in that encoding and is narrowed as it is copied;
    // a line with any other character is converted whole.
    qsizetype length = 0;
    for (const QStringView* piece = pieces; piece != end; ++piece)
        length += piece->size();
    const qsizetype stamp = m_logStamp.size();
    m_logLine.resize(stamp + length + 2);
    char* at = m_logLine.data();
    std::memcpy(at, m_logStamp.constData(), static_cast<size_t>(stamp));
    at += stamp;
    bool ascii = true;
    for (const QStringView* piece = pieces; piece != end; ++piece) {
        for (const QChar c : *piece) {
            const char16_t u = c.unicode();
            if (u >= 0x80) {
                ascii = false;
                break;
            }
            *at++ = static_cast<char>(u);
        }
        if (!ascii)
            break;
    }
    if (!ascii) {
        QString text;
        text.reserve(length);
        for (const QStringView* piece = pieces; piece != end; ++piece)
            text += *piece;
        const QByteArray local = text.toLocal8Bit();
        m_logLine.resize(stamp + local.size() + 2);
        at = m_logLine.data() + stamp;
        std::memcpy(at, local.constData(), static_cast<size_t>(local.size()));
        at += local.size();
    }
    *at++ = '\r';
    *at++ = '\n';
#if defined(Q_OS_UNIX)
    if (!WriteAll(m_logFile->handle(), m_logLine.constData(), static_cast<size_t>(at - m_logLine.constData())))
        m_logFile.reset();
#else
    if (m_logFile->write(m_logLine.constData(), at - m_logLine.constData()) < 0)
        m_logFile.reset();
#endif
    if (m_logLine.capacity() > 64 * 1024)  // a long line's room is not kept
        m_logLine = QByteArray();
}

bool clsSetup::LogFileStillNamed() const
{
#if defined(Q_OS_UNIX)
    struct stat named {};
    if (::stat(QFile::encodeName(m_logFilePath).constData(), &named) != 0)
        return false;
    return quint64(named.st_dev) == m_logFileDevice && quint64(named.st_ino) == m_logFileNode;
#else
    return QFileInfo::exists(m_logFilePath);
#endif
}

// --- credentials ---------------------------------------------------------------------------

bool clsSetup::GetSQLServerDatabasePassword()
{
    DropCompanyConnections();
    using namespace CredentialNames;
    const QString machineKey = MachineKey();
    const QString odbc = GetSaveSetting(2, kSection, ValueName(machineKey, kOdbc),
                                        GeneralFunction::EncodeText(QStringLiteral("False"), false, GeneralFunction::kShiftKey))
                             .toString();
    DB_ODBC = convert::TextToBool(GeneralFunction::DecodeText(odbc, false, GeneralFunction::kShiftKey));
    if (DB_ODBC)
        return true;

    const auto read = [&](int index) {
        return GetSaveSetting(2, kSection, ValueName(machineKey, kSuffixNames.at(index)), QString()).toString();
    };
    if (read(PrimaryServer).isEmpty())
        return false;
    DB_PRIMARYSERVER = read(PrimaryServer);
    DB_PRIMARYUSERID = read(PrimaryUserID);
    DB_PRIMARYPASSWORD = read(PrimaryPassword);
    DB_PRIMARYTIMEOUT = read(PrimaryTimeOut);
    DB_SECONDARYSERVER = read(SecondaryServer);
    DB_SECONDARYUSERID = read(SecondaryUserID);
    DB_SECONDARYPASSWORD = read(SecondaryPassword);
    DB_SECONDARYTIMEOUT = read(SecondaryTimeOut);
    DB_SERVER = DB_PRIMARYSERVER;
    DB_USERID = DB_PRIMARYUSERID;
    DB_PASSWORD = DB_PRIMARYPASSWORD;
    DB_TIMEOUT = DB_PRIMARYTIMEOUT;
    return false;
}

QVariant clsSetup::GetSaveSetting(qint32 pCallType, const QString& pSection, const QString& pKey, const QVariant& pDefaultValue)
{
    const QString application = CredentialNames::kApplication;
    if (pCallType == 4 || pCallType == 8) {
        platform::store::SaveSetting(application, pSection, pKey, GeneralFunction::VariantText(pDefaultValue));
        return QVariant();
    }
    if (pCallType != 2)
        return QVariant();
    const QString text = platform::store::GetSetting(application, pSection, pKey, GeneralFunction::VariantText(pDefaultValue));
    const auto number = [&]() { return platform::NumberFromText(text, QStringLiteral("clsSetup")); };
    const auto whole = [&](double low, double high) {
        return static_cast<qint64>(platform::WholeNumber(number(), low, high, QStringLiteral("clsSetup")));
    };
    switch (pDefaultValue.typeId()) {
    case QMetaType::Short: return QVariant::fromValue(platform::Integer16(number(), QStringLiteral("clsSetup")));
    case QMetaType::Int: return QVariant::fromValue(static_cast<qint32>(whole(-2147483648.0, 2147483647.0)));
    case QMetaType::LongLong: return QVariant::fromValue(static_cast<qint64>(whole(-9.2e18, 9.2e18)));
    case QMetaType::UChar: return QVariant::fromValue(static_cast<uchar>(whole(0, 255)));
    case QMetaType::Float: return QVariant::fromValue(static_cast<float>(number()));
    case QMetaType::Double: return QVariant::fromValue(number());
    case QMetaType::Bool: return QVariant::fromValue(convert::TextToBool(text));
    case QMetaType::QString: return QVariant::fromValue(text);
    case QMetaType::QDate:
    case QMetaType::QDateTime: {
        bool ok = false;
        const QDateTime value = convert::ParseDateTime(text, &ok);
        if (!ok)
            throw RuntimeError(platform::err::TypeMismatch, QStringLiteral("Type mismatch"), QStringLiteral("clsSetup"));
        return pDefaultValue.typeId() == QMetaType::QDate ? QVariant(value.date()) : QVariant(value);
    }
    default:
        return QVariant();
    }
}
