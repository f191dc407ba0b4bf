#pragma once

#include "core/DataSource.h"

#include <QDate>
#include <QMap>
#include <QString>
#include <functional>

// Backups of the whole register as one file: a SQLite database holding every table of the
// schema and a header (table backup_header) that says what it is. A backup is taken on its own
// connection, consistent while other workstations write, and appears under its name only when
// it is complete.
namespace Backup {

// "dp" + the day as yyyymmdd + ".back": one file a day.
QString fileName(const QDate &day);

// Told the share done so far (0–100); answering false stops the work.
using Progress = std::function<bool(int percent)>;

// Writes a backup of `source` to `target`, replacing a file of that name only on success.
// False with the reason in `error`; nothing is left at `target` then but what was there.
bool write(const DataSource &source, const QString &target, QString *error,
           const Progress &progress = {});

// What a backup file's header says, key → value: format, schema, program, engine, taken, and
// rows.<table> for every table.
QMap<QString, QString> header(const QString &file, QString *error);

} // namespace Backup
