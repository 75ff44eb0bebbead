#include "CredentialNames.h"

#include "Declares.h"
#include "GeneralFunction.h"

namespace CredentialNames {

void MachineDisk(QString& pModel, QString& pSerial)
{
    for (int drive = 0; drive <= 3; ++drive) {
        const QString model = Declares::GetHardDiskInfo(drive, 0);
        const QString serial = Declares::GetHardDiskInfo(drive, 1);
        if (!model.isEmpty() && !serial.isEmpty()) {
            pModel = model;
            pSerial = serial;
            return;
        }
    }
    pModel = kUnknownModel;
    pSerial = kUnknownSerial;
}

QString MachineKey()
{
    QString model, serial;
    MachineDisk(model, serial);
    return GeneralFunction::EncodeText(model + serial, false, GeneralFunction::kShiftKey);
}

QString ValueName(const QString& pMachineKey, const QString& pSuffixName)
{
    return pMachineKey + GeneralFunction::EncodeText(pSuffixName, false, GeneralFunction::kShiftKey);
}

}  // namespace CredentialNames
