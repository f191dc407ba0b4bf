#pragma once

#include <QString>
#include <functional>

class TdmData;

// Fills a database with realistic sample records, so a new user can try the program and
// the benchmarks have a register of any size. The same count always gives the same data.
namespace DemoData {

// Adds code lists, three type trees, clients and suppliers (once), then `count` sample records.
// `progress` is told how many records are stored so far. One transaction: all or nothing.
bool fill(TdmData &dm, int count, QString *error, const std::function<void(int)> &progress = {});

} // namespace DemoData
