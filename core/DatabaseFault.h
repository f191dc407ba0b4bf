#pragma once

#include "core/DataSource.h"

#include <QString>

// What went wrong with the database, told apart so that the user learns what to do: a damaged
// file wants a backup restored, a read-only one other permissions, a busy one patience, and a
// text longer than its column a shorter text (the database itself is fine).
namespace DatabaseFault {

enum class Kind { None, Damaged, ReadOnly, Busy, TooLong, Other };

// Reads the engine's own words in an error text (Qt passes them through unchanged).
Kind classify(const QString &errorText);

// The user's message for a damaged, read-only or busy database; empty for the other kinds.
// `atOpen` words a busy or read-only file as one that could not be opened.
QString message(Kind kind, const DataSource &source, bool atOpen = false);

// A refused text longer than its column, as both engines' errors are classified: SQLite names
// the column, a server only the width, so a writer that knows the column says it this way.
QString tooLongError(const QString &column, int width);
// The user's message for a TooLong error: the column and its width where the error names them.
QString tooLongMessage(const QString &errorText);

} // namespace DatabaseFault
