#include "maintenance/RestoreJob.h"

#include "core/OwnerOnly.h"
#include "core/PassHash.h"
#include "core/SystemConfig.h"

#include <QDir>

namespace RestoreJob {

bool codeAccepted(const QString &code)
{
    // Only the administrator's file may change it: a user's own config.ini could otherwise
    // open a shared server's restore to himself.
    const QString hash = SystemConfig::value(QStringLiteral("restorehash")).trimmed();
    if (hash.isEmpty())
        return code == u"482913";
    if (!hash.startsWith(u"$argon2id$"))
        qWarning("restorehash in the system config.ini is no hash from --hash-restore-code");
    return PassHash::verify(hash, code);
}

bool databaseInUse(const QString &error)
{
    return error.contains(QStringLiteral("locked"), Qt::CaseInsensitive) ||
           error.contains(QStringLiteral("busy"), Qt::CaseInsensitive);
}

WorkResult run(const QString &file, const DataSource &target, const QString &folder,
               QString *safety, Failure *failure, const WorkProgress &progress)
{
    WorkTracker work(progress);
    *safety = QDir(folder).filePath(Backup::safetyFileName(QDateTime::currentDateTime()));
    *failure = Failure::SafetyBackup;
    if (!OwnerOnly::makeFolder(folder))
        return WorkResult::failed(
            QStringLiteral("cannot create the folder %1").arg(QDir::toNativeSeparators(folder)));
    if (const WorkResult written = Backup::write(target, *safety, work.part(0, 50));
        !written.isDone())
        return written;
    *failure = Failure::Restore;
    if (const WorkResult restored = Backup::restore(file, target, work.part(50, 100), folder);
        !restored.isDone())
        return restored;
    *failure = Failure::None;
    return WorkResult::done();
}

} // namespace RestoreJob
