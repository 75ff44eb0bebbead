#pragma once

#include <QFileInfo>
#include <QtGlobal>

namespace platform {

// With TZ unset, the C library reads the time-zone file again for every local date-time it turns
// into an instant or back: the request log's reader turns two of them per row (100,000 rows:
// seconds), and the server one for every clock reading and every date it reads from a database.
// Naming the same zone file in TZ lets it be read once. Called at the start of each program,
// before anything reads a time.
inline void KeepTimeZoneLoaded()
{
#if defined(Q_OS_UNIX)
    if (!qEnvironmentVariableIsSet("TZ") && QFileInfo::exists(QStringLiteral("/etc/localtime")))
        qputenv("TZ", ":/etc/localtime");
#endif
}

}  // namespace platform
