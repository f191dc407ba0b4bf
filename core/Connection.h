#pragma once

#include "core/DataSource.h"

#include <QSqlDatabase>
#include <QString>

// Opening a data source on either engine, shared by the data module and the connect dialog.
namespace Connection {

// Opens a named Qt SQL connection. A missing SQLite file is created only in the program's own
// data/ folder; anywhere else it is an error, so a mistyped folder never grows a stray database.
bool open(const DataSource &source, const QString &connectionName, QSqlDatabase *db,
          QString *error);

// Opens the source on a connection of its own, says what it holds, and closes it again.
// True when the program can use it (ours, or empty and ready for a new schema).
bool probe(const DataSource &source, QString *report);

} // namespace Connection
