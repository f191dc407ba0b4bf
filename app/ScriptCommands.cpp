#include "app/ScriptCommands.h"

#include "core/AppHome.h"
#include "core/DataDm.h"
#include "input/ScriptImport.h"
#include "maintenance/Backup.h"
#include "maintenance/RestoreJob.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

bool openForTool(TdmData &dm)
{
    QString error;
    if (dm.open(dm.config().ds(), &error))
        return true;
    std::fprintf(stderr, "cannot open the database: %s\n", qPrintable(error));
    return false;
}

int importWorkbook(const QString &list, const QString &file, const QString &duplicates)
{
    const QString table = ScriptImport::tableOf(list);
    if (table.isEmpty()) {
        std::fprintf(stderr, "--import needs one of %s, not %s\n",
                     qPrintable(ScriptImport::lists().join(QStringLiteral(", "))),
                     qPrintable(list));
        return 2;
    }
    if (file.isEmpty()) {
        std::fprintf(stderr, "--import needs the workbook to import, a FILE\n");
        return 2;
    }
    if (duplicates != u"skip" && duplicates != u"update") {
        std::fprintf(stderr, "--duplicates is skip or update, not %s\n", qPrintable(duplicates));
        return 2;
    }
    TdmData dm(AppHome::path(QStringLiteral("config.ini")));
    if (!openForTool(dm))
        return 1;
    ImportStore::Counts counts;
    QString error;
    const QString operatorName =
        QStringLiteral("--import %1").arg(qEnvironmentVariable("USER")).trimmed().left(50);
    if (!ScriptImport::run(dm.source(), dm.database(), table, QFileInfo(file).absoluteFilePath(),
                           duplicates == u"update" ? ImportCodes::Duplicates::Update
                                                   : ImportCodes::Duplicates::Skip,
                           operatorName, &counts, &error)) {
        std::fprintf(stderr, "import refused, nothing stored: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("added=%d updated=%d skipped=%d\n", counts.added, counts.updated, counts.skipped());
    return 0;
}

int restoreBackup(const QString &file, const QString &code)
{
    if (file.isEmpty() || code.isEmpty()) {
        std::fprintf(stderr, "--restore needs the backup FILE and --code CODE\n");
        return 2;
    }
    if (!RestoreJob::codeAccepted(code)) {
        std::fprintf(stderr, "%s\n", qPrintable(RestoreJob::kWrongCode));
        return 1;
    }
    const QString backup = QFileInfo(file).absoluteFilePath();
    if (const WorkResult checked = Backup::check(backup); !checked.isDone()) {
        std::fprintf(stderr, "restore refused, nothing changed: %s\n",
                     qPrintable(checked.reason()));
        return 1;
    }
    TdmData dm(AppHome::path(QStringLiteral("config.ini")));
    if (!openForTool(dm))
        return 1;
    QString safety;
    RestoreJob::Failure failure = RestoreJob::Failure::None;
    const WorkResult restored = RestoreJob::run(backup, dm.source(), Backup::storedFolder(dm),
                                                QStringLiteral("--restore"), &safety, &failure);
    if (!restored.isDone()) {
        const QString &error = restored.reason();
        if (failure == RestoreJob::Failure::SafetyBackup)
            std::fprintf(stderr, "restore failed, nothing changed: 恢复前无法备份当前数据：%s\n",
                         qPrintable(error));
        else
            std::fprintf(stderr, "restore failed, nothing changed: %s%s\n",
                         RestoreJob::databaseInUse(error)
                             ? "数据库正在被使用！请确定已关闭其它使用该数据库程序！ "
                             : "",
                         qPrintable(error));
        return 1;
    }
    std::printf("%s\n", qPrintable(QStringLiteral("恢复前的数据已备份到：") +
                                   QDir::toNativeSeparators(safety)));
    return 0;
}
