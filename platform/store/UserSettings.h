#pragma once

#include <QString>

namespace platform::store {

// The per-user settings of the runtime: a value by application, section and key.
// On Windows they live where the original runtime kept them, under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>; elsewhere in
// an INI file "<config>/VB and VBA Program Settings/<application>.ini", where <config> is
// $XDG_CONFIG_HOME (or ~/.config).
QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue = QString());
void SaveSetting(const QString& application, const QString& section, const QString& key, const QString& value);
void DeleteSetting(const QString& application, const QString& section, const QString& key);
// The keys of one section, in the store's order.
QStringList Keys(const QString& application, const QString& section);
// Where the store of an application is (a registry path or a file), for messages and docs.
QString Location(const QString& application);

}  // namespace platform::store
