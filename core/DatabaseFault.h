#pragma once

#include "core/DataSource.h"

#include <QString>

// What went wrong with the database, told apart so that the user learns what to do: a damaged
// file wants a backup restored, a read-only one other permissions, a busy one patience.
namespace DatabaseFault {

enum class Kind { None, Damaged, ReadOnly, Busy, Other };

// Reads the engine's own words in an error text (Qt passes them through unchanged).
Kind classify(const QString &errorText);

// The user's message for a damaged, read-only or busy database; empty for the other kinds.
// `atOpen` words a busy file as held by another program rather than as a passing write.
QString message(Kind kind, const DataSource &source, bool atOpen = false);

} // namespace DatabaseFault
