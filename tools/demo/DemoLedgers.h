#pragma once

#include <QString>

#include <functional>

namespace demo {

// What the ledgers, outstanding and order views need of the demo company beyond the generated
// trade: sales bills without a bill date of their own (they fall due by their document date), and
// sales orders taken without a delivery schedule (those wholly delivered with an even number).
// `exec` runs one statement on the company being built.
void AddLedgerDemo(const std::function<void(const QString&)>& exec);

}  // namespace demo
