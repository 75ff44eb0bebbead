#pragma once

#include <QFileInfo>
#include <QtGlobal>

namespace logviewer {

// With TZ unset, the C library reads the time-zone file again for every local date-time it turns
// into an instant, and reading the request log turns two of them per row (100,000 rows: seconds).
// Naming the same zone file in TZ lets it be read once. Called before anything reads a time.
inline void KeepTimeZoneLoaded()
{
#if defined(Q_OS_UNIX)
    if (!qEnvironmentVariableIsSet("TZ") && QFileInfo::exists(QStringLiteral("/etc/localtime")))
        qputenv("TZ", ":/etc/localtime");
#endif
}

}  // namespace logviewer
