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

bool run(const QString &file, const DataSource &target, const QString &folder, QString *safety,
         Failure *failure, QString *error, const Backup::Progress &progress)
{
    const auto share = [&progress](int from) {
        return [&progress, from](int percent) { return !progress || progress(from + percent / 2); };
    };
    *safety = QDir(folder).filePath(Backup::safetyFileName(QDateTime::currentDateTime()));
    *failure = Failure::SafetyBackup;
    if (!OwnerOnly::makeFolder(folder)) {
        *error =
            QStringLiteral("cannot create the folder %1").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    if (!Backup::write(target, *safety, error, share(0)))
        return false;
    *failure = Failure::Restore;
    if (!Backup::restore(file, target, error, share(50), folder))
        return false;
    *failure = Failure::None;
    return true;
}

} // namespace RestoreJob
