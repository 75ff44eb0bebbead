#include "Declares.h"

#include "core/RuntimeError.h"
#include "disk/DiskIdentity.h"

namespace Declares {

namespace {
QString g_platform;
}

QString GetPlatform()
{
    const QString name = platform::disk::PlatformName();
    g_platform = (name == QLatin1String("WNT") || name == QLatin1String("LNX")) ? name : QStringLiteral("Unk");
    return g_platform;
}

QString PlatformText()
{
    return g_platform;
}

QString GetHardDiskInfo(int pDrive, int pKind)
{
    if (g_platform.isEmpty())
        GetPlatform();
    if (pKind < 0 || pKind > 2)
        throw platform::RuntimeError(10001, QStringLiteral("Illegal HD Data type"), QStringLiteral("Declares"));
    if (g_platform != QLatin1String("WNT") && g_platform != QLatin1String("LNX"))
        throw platform::RuntimeError(10002, QStringLiteral("Illegal platform (only WNT or LNX)"), QStringLiteral("Declares"));
    return platform::disk::Info(pDrive, static_cast<platform::disk::InfoKind>(pKind)).trimmed();
}

}  // namespace Declares
