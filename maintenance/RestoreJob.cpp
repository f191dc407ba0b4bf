#include "maintenance/RestoreJob.h"

#include "core/OwnConnection.h"
#include "core/OwnerOnly.h"
#include "core/PassHash.h"
#include "core/RecordWriter.h"
#include "core/SystemConfig.h"
#include "core/Transaction.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

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

namespace {

// The restored journal gains one change set saying what replaced the data and where the data
// as it was went. The data is restored whether or not this is recorded.
void recordRestore(const DataSource &target, const QString &operatorName, const QString &file,
                   const QString &safety)
{
    OwnConnection connection(target, QStringLiteral("restore-journal"));
    QString error;
    if (connection.isOpen()) {
        QSqlQuery count(connection.db());
        const qint64 samples =
            count.exec(QStringLiteral("select count(*) from GoodMain")) && count.next()
                ? count.value(0).toLongLong()
                : 0;
        count.finish();
        Transaction transaction(connection.db());
        RecordWriter writer(connection.db(), operatorName, Journal::kRestored,
                            QStringLiteral("从 %1 恢复（样品记录 %2 行），恢复前备份 %3")
                                .arg(QFileInfo(file).fileName())
                                .arg(samples)
                                .arg(QFileInfo(safety).fileName()));
        if (transaction.began(&error) && writer.recordSet(&error) && transaction.commit(&error))
            return;
    } else {
        error = connection.error();
    }
    qWarning("restore not recorded in the journal: %s", qPrintable(error));
}

} // namespace

WorkResult run(const QString &file, const DataSource &target, const QString &folder,
               const QString &operatorName, QString *safety, Failure *failure,
               const WorkProgress &progress)
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
    recordRestore(target, operatorName, file, *safety);
    return WorkResult::done();
}

} // namespace RestoreJob
