#include "DemoLedgers.h"

namespace demo {

void AddLedgerDemo(const std::function<void(const QString&)>& exec)
{
    // A sales invoice or cash memo carries no bill date; a purchase bill keeps the supplier's.
    exec(QStringLiteral("UPDATE FaOSReg SET BillDate = '1899-12-30 00:00:00' "
                        "WHERE DocumentType IN ('INV','CMO') AND Amount > 0"));

    // Orders taken without a schedule: nothing of them is pending, so the pending quantities and
    // the weekly deliveries stay as they were.
    const QString delivered = QStringLiteral(
        "SELECT R.DocumentYear, R.BranchCode, R.DocumentType, R.SeriesCode, R.DocumentNo FROM FaSalesOrderRegister AS R "
        "WHERE CAST(R.DocumentNo AS INTEGER) % 2 = 0 AND NOT EXISTS (SELECT 1 FROM FaSalesOrderProducts AS P "
        "WHERE P.DocumentYear = R.DocumentYear AND P.BranchCode = R.BranchCode AND P.DocumentType = R.DocumentType "
        "AND P.SeriesCode = R.SeriesCode AND P.DocumentNo = R.DocumentNo AND P.PendingQuantity <> 0)");
    exec(QStringLiteral("CREATE TEMP TABLE DemoUnscheduled AS ") + delivered);
    exec(QStringLiteral(
        "DELETE FROM FaSalesOrderSchedule WHERE EXISTS (SELECT 1 FROM DemoUnscheduled AS U "
        "WHERE U.DocumentYear = FaSalesOrderSchedule.DocumentYear AND U.BranchCode = FaSalesOrderSchedule.BranchCode "
        "AND U.DocumentType = FaSalesOrderSchedule.DocumentType AND U.SeriesCode = FaSalesOrderSchedule.SeriesCode "
        "AND U.DocumentNo = FaSalesOrderSchedule.DocumentNo)"));
    exec(QStringLiteral(
        "UPDATE FaSalesOrderRegister SET DeliverySchedule = 'False' WHERE EXISTS (SELECT 1 FROM DemoUnscheduled AS U "
        "WHERE U.DocumentYear = FaSalesOrderRegister.DocumentYear AND U.BranchCode = FaSalesOrderRegister.BranchCode "
        "AND U.DocumentType = FaSalesOrderRegister.DocumentType AND U.SeriesCode = FaSalesOrderRegister.SeriesCode "
        "AND U.DocumentNo = FaSalesOrderRegister.DocumentNo)"));
    exec(QStringLiteral("DROP TABLE DemoUnscheduled"));
}

}  // namespace demo
