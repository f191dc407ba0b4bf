#pragma once

#include "maintenance/Backup.h"

#include <QString>

// A restore as the window and a script run it: the restore code, then the data as it is put
// aside as a safety backup, then the backup restored over it.
namespace RestoreJob {

// Whether `code` is the restore code: 482913, or the one whose hash an administrator set as
// restorehash in the system config.ini.
bool codeAccepted(const QString &code);

// What a wrong restore code is told.
inline const QString kWrongCode = QStringLiteral("对不起,恢复密码错误，你没有恢复数据的权限！");

// Where a failed restore stopped: before anything changed (the safety backup could not be
// written) or in the restore itself, which leaves the data as it was too.
enum class Failure { None, SafetyBackup, Restore };

// Whether a failed restore's `error` says another program holds the database.
bool databaseInUse(const QString &error);

// Writes the data of `target` into `folder` (made when missing) as a safety backup named by
// Backup::safetyFileName, its path in `safety`, then restores `file` (Backup::check it first)
// over `target`. Failed or cancelled with the stage in `failure`; `progress` is told the share
// of both steps.
WorkResult run(const QString &file, const DataSource &target, const QString &folder,
               const QString &operatorName, QString *safety, Failure *failure,
               const WorkProgress &progress = {});

} // namespace RestoreJob
