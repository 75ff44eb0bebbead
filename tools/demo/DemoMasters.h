#pragma once

struct sqlite3;

namespace demo {

// The masters that the app's entry screens pick from, beyond what the trading needs: a branch in a
// special economic zone and one in a union territory, the series of the documents, the
// calculation setup of the document types, the union-territory GST codes, and two parties whose
// supply is an export (an SEZ developer and a party abroad), each with two locations and their
// contacts. Rows another part of the demo already wrote are left as they are. Gives the number of
// branches it adds.
int AddDemoMasters(sqlite3* db);

}  // namespace demo
