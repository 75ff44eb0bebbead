#pragma once

#include <QString>
#include <QStringList>

namespace platform::disk {

enum class InfoKind { Model = 0, Serial = 1, Firmware = 2 };

// The fixed (non-removable) disks of the machine, in the order the system numbers its physical
// drives (on Linux: the block devices of /sys/block that are disks, sorted by name).
QStringList FixedDisks();

// The model number, serial number or firmware revision of fixed disk number `drive` (0 first),
// with surrounding blanks removed; "" when there is no such disk or it does not tell.
QString Info(int drive, InfoKind kind);

// The name of the operating system family the identity was read on.
QString PlatformName();

// Tests point the reader at a tree shaped like /sys (block/<dev>/...) and /run/udev/data.
void SetRoots(const QString& sysRoot, const QString& udevRoot);

}  // namespace platform::disk
