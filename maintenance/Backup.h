#pragma once

#include "core/DataSource.h"
#include "core/Work.h"

#include <QDate>
#include <QDateTime>
#include <QMap>
#include <QString>

class TdmData;

// Backups of the whole register as one file: a SQLite database holding every table of the
// schema, the pictures its rows name (T_Picture, once per content; unless left out) and a
// header (table backup_header) that says what it is. A backup is taken on its own connection,
// consistent while other workstations write, and appears under its name only when it is
// complete.
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

// Writes a backup of `source` to `target` (owner-only), replacing a file of that name only on
// success; with the pictures unless `withPictures` is false (the header says "pictures": yes
// or no). Failed or cancelled, nothing is left at `target` but what was there, and no part
// file.
WorkResult write(const DataSource &source, const QString &target, const WorkProgress &progress = {},
                 bool withPictures = true);

// Whether `file` is a backup this program can restore: a regular file, a SQLite database,
// whole, with a header, of a schema version not newer than this program's, holding each of
// the program's tables of that version with its columns and the rows the header counts. The
// file is read through a private copy in `workFolder` (empty: back/ in the program's folder),
// removed again. Failed with the reason in the user's words when not.
WorkResult check(const QString &file, const WorkProgress &progress = {},
                 const QString &workFolder = {});

// Replaces every table of `target` by the backup's, all or nothing. Only the program's own
// tables and columns are taken from the file: they are loaded into a new database of the
// program's schema of the file's version, which is then upgraded, and that replaces the data
// (a file through the online backup interface, a server in one transaction with the key
// sequences set past the restored keys). The backup's pictures go into the target's store
// (images/ for a file, T_Picture for a server); a backup without pictures keeps the ones the
// target has. Anything else in the file is ignored and logged; nothing in it runs. A backup of
// either engine restores into either. The work is done in `workFolder` (empty: workFolder(target)),
// never in the system's temporary folder. Failed or cancelled, the data is as it was.
WorkResult restore(const QString &file, const DataSource &target, const WorkProgress &progress = {},
                   const QString &workFolder = {});

// Where a restore into `target` prepares its copies when not told: beside a register file,
// else back/ in the program's folder.
QString workFolder(const DataSource &target);

// What a backup file's header says, key → value: format, schema, program, engine, taken, and
// rows.<table> for every table; empty, with the reason, when the file does not pass check().
QMap<QString, QString> header(const QString &file, QString *error);

// A new name beside `target` to write it aside: target + "." + a UUID + ".part".
QString partName(const QString &target);

// Removes a part file and what SQLite may have left beside it.
void removePart(const QString &part);

// Removes part files of this program's own naming (see partName) older than a day, left by
// work that was killed, from export/, the backup folders and the register's folder.
void removeStaleFiles(TdmData &dm);

} // namespace Backup
