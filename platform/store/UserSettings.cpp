#include "UserSettings.h"

#include "core/RuntimeError.h"

#include <QFile>
#include <QSettings>
#include <memory>

namespace platform::store {

namespace {
const QString kOrganisation = QStringLiteral("VB and VBA Program Settings");

std::unique_ptr<QSettings> Open(const QString& application)
{
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") + application,
        QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kOrganisation, application);
#endif
}

// A value the store could not write is a run-time error, so no caller reports as saved what
// never reached the disk or the registry.
void Commit(QSettings& settings)
{
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw RuntimeError(err::PermissionDenied,
                           QStringLiteral("Permission denied: the settings could not be written to ") + settings.fileName(),
                           QStringLiteral("UserSettings"));
    // The store holds the database credentials: readable by its owner only, whatever the umask.
    if (settings.format() != QSettings::NativeFormat || QFile::exists(settings.fileName()))
        QFile::setPermissions(settings.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QString Path(const QString& section, const QString& key)
{
    return section + QLatin1Char('/') + key;
}
}  // namespace

QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue)
{
    auto settings = Open(application);
    return settings->value(Path(section, key), defaultValue).toString();
}

void SaveSetting(const QString& application, const QString& section, const QString& key, const QString& value)
{
    auto settings = Open(application);
    settings->setValue(Path(section, key), value);
    Commit(*settings);
}

void DeleteSetting(const QString& application, const QString& section, const QString& key)
{
    auto settings = Open(application);
    settings->remove(Path(section, key));
    Commit(*settings);
}

QStringList Keys(const QString& application, const QString& section)
{
    auto settings = Open(application);
    settings->beginGroup(section);
    return settings->childKeys();
}

QString Location(const QString& application)
{
    return Open(application)->fileName();
}

}  // namespace platform::store
