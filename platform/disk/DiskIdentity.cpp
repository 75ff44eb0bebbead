#include "DiskIdentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace platform::disk {

namespace {
QString g_sysRoot = QStringLiteral("/sys");
QString g_udevRoot = QStringLiteral("/run/udev/data");

QString ReadText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).trimmed();
}

// The unit serial number page of a SCSI or SATA disk: a 4-byte header, then the number.
QString SerialFromVpd(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray page = file.readAll();
    if (page.size() <= 4)
        return {};
    return QString::fromLatin1(page.mid(4)).remove(QChar(0)).trimmed();
}

QString UdevProperty(const QString& device, const QString& name)
{
    const QString dev = ReadText(g_sysRoot + QStringLiteral("/block/") + device + QStringLiteral("/dev"));
    if (dev.isEmpty())
        return {};
    QFile file(g_udevRoot + QStringLiteral("/b") + dev);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString prefix = QStringLiteral("E:") + name + QLatin1Char('=');
    while (!file.atEnd()) {
        const QString line = QString::fromLatin1(file.readLine()).trimmed();
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed();
    }
    return {};
}

bool IsDiskName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^(sd[a-z]+|hd[a-z]+|vd[a-z]+|xvd[a-z]+|nvme\\d+n\\d+|mmcblk\\d+)$"));
    return pattern.match(name).hasMatch();
}
}  // namespace

void SetRoots(const QString& sysRoot, const QString& udevRoot)
{
    g_sysRoot = sysRoot;
    g_udevRoot = udevRoot;
}

QStringList FixedDisks()
{
    QDir block(g_sysRoot + QStringLiteral("/block"));
    QStringList disks;
    for (const QString& name : block.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name)) {
        if (!IsDiskName(name))
            continue;
        if (ReadText(block.filePath(name) + QStringLiteral("/removable")) == QLatin1String("1"))
            continue;
        disks << name;
    }
    return disks;
}

QString Info(int drive, InfoKind kind)
{
    const QStringList disks = FixedDisks();
    if (drive < 0 || drive >= disks.size())
        return {};
    const QString name = disks.at(drive);
    const QString base = g_sysRoot + QStringLiteral("/block/") + name;
    QString value;
    switch (kind) {
    case InfoKind::Model:
        value = ReadText(base + QStringLiteral("/device/model"));
        if (value.isEmpty())
            value = UdevProperty(name, QStringLiteral("ID_MODEL"));
        break;
    case InfoKind::Serial:
        value = ReadText(base + QStringLiteral("/device/serial"));
        if (value.isEmpty())
            value = ReadText(base + QStringLiteral("/serial"));
        if (value.isEmpty())
            value = SerialFromVpd(base + QStringLiteral("/device/vpd_pg80"));
        if (value.isEmpty())
            value = UdevProperty(name, QStringLiteral("ID_SERIAL_SHORT"));
        break;
    case InfoKind::Firmware:
        value = ReadText(base + QStringLiteral("/device/firmware_rev"));
        if (value.isEmpty())
            value = ReadText(base + QStringLiteral("/device/rev"));
        break;
    }
    return value.trimmed();
}

QString PlatformName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("WNT");
#else
    return QStringLiteral("LNX");
#endif
}

}  // namespace platform::disk
