#pragma once

#include <QString>
#include <QStringList>

// Where the SQL Server credentials are kept: the per-user settings store of the runtime,
// application "Tessarin", section "ServerInfo". Every value name is the machine key followed by
// a suffix; each suffix is the encoded text (GeneralFunction::EncodeText, key 173) of a plain
// name below. Every value is stored encoded the same way. clsSetup reads these values and the
// corvantis-credentials command writes them, both through this one list.
namespace CredentialNames {

inline const QString kApplication = QStringLiteral("Tessarin");
inline const QString kSection = QStringLiteral("ServerInfo");

// The ODBC flag: encoded "True" or "False".
inline const QString kOdbc = QStringLiteral("ODBC");

// The eight credential values, in the order they are read: the primary server, user,
// password and time-out, then the secondary ones. The first must be present for any to count.
enum Index { PrimaryServer, PrimaryUserID, PrimaryPassword, PrimaryTimeOut,
             SecondaryServer, SecondaryUserID, SecondaryPassword, SecondaryTimeOut, Count };
inline const QStringList kSuffixNames = {
    QStringLiteral("PRIMARYSERVER"),   QStringLiteral("PRIMARYUSERID"),   QStringLiteral("PRIMARYPASSWORD"),   QStringLiteral("PRIMARYTIMEOUT"),
    QStringLiteral("SECONDARYSERVER"), QStringLiteral("SECONDARYUSERID"), QStringLiteral("SECONDARYPASSWORD"), QStringLiteral("SECONDARYTIMEOUT"),
};

// Used for the machine key when no fixed disk among the first four gives both its model
// and its serial number.
inline const QString kUnknownModel = QStringLiteral("UnKnownModal");
inline const QString kUnknownSerial = QStringLiteral("UnKnownSerial");

// The model and serial number of the first of the fixed disks 0-3 that gives both, or the
// two unknown texts.
void MachineDisk(QString& pModel, QString& pSerial);
// The encoded text of model & serial.
QString MachineKey();
// The value name: machine key & the encoded suffix name.
QString ValueName(const QString& pMachineKey, const QString& pSuffixName);

}  // namespace CredentialNames
