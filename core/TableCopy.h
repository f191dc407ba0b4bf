#pragma once

#include "core/Schema.h"

#include <QSqlDatabase>
#include <QString>
#include <functional>

// Whole tables moved in bulk between a SQLite database and a PostgreSQL server, or between two
// SQLite databases: the server side through COPY, the file side through one prepared statement.
// Values keep their meaning across the engines (yes/no as 0/1 and booleans, dates as yyyy-MM-dd).
// Both run inside the caller's transactions.
namespace TableCopy {

// Told how many rows have been copied so far; answering false stops the copy.
using RowsDone = std::function<bool(qint64 rows)>;

// The server's rows of `table`, appended to the same table of the SQLite database `file`.
bool serverToFile(QSqlDatabase &server, QSqlDatabase &file, const Schema::Table &table,
                  QString *error, const RowsDone &rowsDone = {});

// The SQLite database's rows of `table`, appended to the same table on the server.
bool fileToServer(QSqlDatabase &file, QSqlDatabase &server, const Schema::Table &table,
                  QString *error, const RowsDone &rowsDone = {});

// The columns of `table` read from the SQLite database `from`, appended to the same table of
// the SQLite database `to`; values keep their stored type. Nothing of `from` but the named
// columns of that table is read.
bool fileToFile(QSqlDatabase &from, QSqlDatabase &to, const Schema::Table &table, QString *error,
                const RowsDone &rowsDone = {});

} // namespace TableCopy
