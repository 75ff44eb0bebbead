#pragma once

#include <QDate>

struct sqlite3;

namespace demo {

// Adds the documents of the demo company to its new database, after the year's trade is written:
// registers and product lines of the posted bills and transfers, the calculation definitions, and
// today's production, excess and scrap. Throws std::runtime_error.
void AddDemoDocuments(sqlite3* db, const QDate& start, const QDate& today);

}  // namespace demo
