#pragma once

#include <QString>

// The platform name and the identity of the machine's fixed disks, from which the value
// names of the stored SQL Server credentials are made.
namespace Declares {

// Sets the module's platform text and returns it: "WNT" on Windows, "LNX" on Linux (where
// the disk identity is read from sysfs and udev); "Unk" when neither.
QString GetPlatform();
// The platform text as last set ("" until GetPlatform has run).
QString PlatformText();

// Kind 0 the model number, 1 the serial number, 2 the firmware revision of fixed disk
// number pDrive (0 first), with outer blanks removed; "" when the disk does not exist or does
// not tell. Another kind is error 10001 "Illegal HD Data type"; a platform other than "WNT"
// and "LNX" is error 10002.
QString GetHardDiskInfo(int pDrive, int pKind);

}  // namespace Declares
