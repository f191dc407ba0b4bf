#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// Keeps the daily backups within a number of days, so an automatic backup that runs for years
// never fills its folder.
namespace BackupPrune {

// Removes from `folder` the daily backups (Backup::fileName) dated more than `keepDays` days
// before `today`: regular files of this user that hold a SQLite database. Anything else stays:
// other names, links, folders, safety backups, another user's files. 0 keeps everything.
// Returns the paths removed.
QStringList removeOld(const QString &folder, int keepDays, const QDate &today);

} // namespace BackupPrune
