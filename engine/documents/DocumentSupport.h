#pragma once

#include "database/Dialect.h"
#include "database/Value.h"

#include <QString>

// The fixed parts of the documents and vouchers: the type lists, the header field blocks of each
// family and the header statements of each family.
namespace documents {

// Types whose header and product lines are shown, types with a calculation, voucher types.
inline const QString kDocumentList = QStringLiteral("INV,CMO,CDN,CCN,PUR,CPU,SCN,SDN,SNT,SAO,PUO,GIN,CLN,ISU,RET,PRE,EXC,SCR");
inline const QString kCalculationList = QStringLiteral("INV,CMO,CDN,CCN,PUR,CPU,SCN,SDN,SNT,SAO,PUO,GIN,CLN");
inline const QString kVoucherList = QStringLiteral("BRE,BPA,CRE,CPA,PTY,EXP,JOV");
// The trading documents (a register with a party), and the types with user-defined fields.
inline const QString kTradingList = QStringLiteral("INV,CMO,CDN,CCN,PUR,CPU,SCN,SDN,SNT,GIN,CLN,SAO,PUO");
inline const QString kUserFieldList = QStringLiteral("INV,CMO,CDN,CCN,PUR,CPU,SCN,SDN,SNT,SAO,PUO,GIN,CLN,ISU,RET,PRE");

struct FieldRow {
    const char* name;
    const char* caption;
    const char* type;
};

extern const FieldRow kExpenseFields[6];
extern const FieldRow kTradingFields[18];
extern const FieldRow kProductionFields[36];
extern const FieldRow kClosingFields[9];

// "SELECT <columns> FROM <source> " of the header of a document of the family of `type` (an
// upper-cased code) read from `table`; a type of no family gives a statement without columns
// or source, which the database refuses.
QString HeaderStatement(const QString& type, const QString& table, const platform::db::Dialect& dialect);
// The same for a voucher: its first ledger line, and the expense bill of an expense voucher.
QString VoucherHeaderStatement(const QString& type, const platform::db::Dialect& dialect);


}  // namespace documents
