#pragma once

#include "core/DataSource.h"

#include <QDate>
#include <QDateTime>
#include <QMap>
#include <QString>
#include <functional>

class TdmData;

// Backups of the whole register as one file: a SQLite database holding every table of the
// schema and a header (table backup_header) that says what it is. A backup is taken on its own
// connection, consistent while other workstations write, and appears under its name only when
// it is complete.
namespace Backup {

// "dp" + the day as yyyymmdd + ".back": one file a day.
QString fileName(const QDate &day);

// "恢复前备份 yyyy-MM-dd HH-mm-ss.back": the data as it was just before a restore.
QString safetyFileName(const QDateTime &time);

// Whether the automatic backup of `mode` (0 off, 1 every start, 2 Mondays, 3 the first of a
// month) is due on `day`.
bool isDue(int mode, const QDate &day);

// The stored backup folder (SysInfo.F_BakPath), or back/ in the program's folder when none is
// stored.
QString storedFolder(TdmData &dm);

// Told the share done so far (0–100); answering false stops the work.
using Progress = std::function<bool(int percent)>;

// Writes a backup of `source` to `target`, replacing a file of that name only on success.
// False with the reason in `error`; nothing is left at `target` then but what was there.
bool write(const DataSource &source, const QString &target, QString *error,
           const Progress &progress = {});

// Whether `file` is a backup this program can restore: a SQLite database, whole
// (integrity check), with a header, of a schema version not newer than this program's. The
// reason, in the user's words, in `error` when not.
bool check(const QString &file, QString *error);

// Replaces every table of `target` by the backup's, all or nothing: on SQLite through the
// online backup interface, on a server in one transaction with the key sequences set past the
// restored keys. A backup of either engine restores into either. An older schema is upgraded
// after. Check the file first.
bool restore(const QString &file, const DataSource &target, QString *error,
             const Progress &progress = {});

// What a backup file's header says, key → value: format, schema, program, engine, taken, and
// rows.<table> for every table.
QMap<QString, QString> header(const QString &file, QString *error);

} // namespace Backup
