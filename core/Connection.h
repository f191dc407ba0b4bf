#pragma once

#include "core/DataSource.h"

#include <QSqlDatabase>
#include <QString>

// Opening a data source on either engine, shared by the data module and the connect dialog.
namespace Connection {

// Opens a named Qt SQL connection. A new SQLite file is made only on a first start (the
// program's own data/ folder does not exist yet); a missing or empty file anywhere else is an
// error, so a moved file or a mistyped folder never turns into a new empty register. A file
// the user may not write is opened read-only. A damaged, locked or foreign file is refused
// unchanged, with the reason in `error`.
bool open(const DataSource &source, const QString &connectionName, QSqlDatabase *db,
          QString *error);

// Whether open() gave a read-only connection to a SQLite file.
bool isReadOnly(const QSqlDatabase &db);

// Makes a new register at the SQLite source, also where a file was expected: the user said yes.
bool createDatabase(const DataSource &source, QString *error);

// Opens the source on a connection of its own, says what it holds, and closes it again.
// True when the program can use it (ours, or empty and ready for a new schema).
bool probe(const DataSource &source, QString *report);

// Checks a SQLite file's structure on a connection of its own: what is damaged, or nothing.
// A value that breaks a column's check (a long text another program wrote) is no damage.
QString findDamage(const DataSource &source);

} // namespace Connection
