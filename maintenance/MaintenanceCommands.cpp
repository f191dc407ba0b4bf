#include "maintenance/MaintenanceCommands.h"

#include "core/DataDm.h"
#include "core/OwnConnection.h"
#include "core/OwnerOnly.h"
#include "core/Prompt.h"
#include "maintenance/Backup.h"
#include "maintenance/BackupPrune.h"
#include "maintenance/DataClear.h"
#include "maintenance/uFrmDataBack.h"
#include "maintenance/uFrmDataClear.h"
#include "register/PictureName.h"
#include "register/PictureUpload.h"
#include "widgets/CommandRegistry.h"
#include "widgets/MainHost.h"
#include "widgets/ProgressRun.h"
#include "widgets/uDlgConnectDb.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace {

void compactDatabase()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = dmData->CompactDataFile();
    QApplication::restoreOverrideCursor();
    if (ok)
        ShowPrompt(QStringLiteral("压缩数据库成功！"), Prompt::Information);
    else
        ShowPrompt(QStringLiteral("压缩数据库失败！"), Prompt::Error);
}

void connectNetworkDatabase(QWidget *parent)
{
    TDlgConnectDb dialog(dmData->config().ds(), QString(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    dmData->config().setDs(dialog.ds());
    ShowPrompt(QStringLiteral("新的数据库连接已保存，下次启动程序时生效。"), Prompt::Information);
}

// Only once the day's file is there, so failing backups never thin out the good ones.
void removeOldBackups(const QString &folder, const QDate &today)
{
    BackupPrune::removeOld(folder, dmData->config().backupKeepDays(), today);
}

// At the first start of a due day, into the stored folder: never asking, never replacing the
// day's file.
void automaticBackup(QWidget *parent)
{
    const QDate today = QDate::currentDate();
    if (!Backup::isDue(dmData->config().ibak(), today))
        return;
    const QString folder = Backup::storedFolder(*dmData);
    const QString target = QDir(folder).filePath(Backup::fileName(today));
    if (QFileInfo::exists(target)) {
        removeOldBackups(folder, today);
        return;
    }
    const DataSource source = dmData->source();
    if (!OwnerOnly::makeFolder(folder)) {
        qWarning("automatic backup failed: cannot create %s", qPrintable(folder));
        ShowPrompt(QStringLiteral("数据备份失败！"), Prompt::Error);
        return;
    }
    const WorkResult written = runWithProgress(
        parent, QStringLiteral("正在备份数据..."),
        [&](const WorkProgress &progress) { return Backup::write(source, target, progress); });
    if (written.isFailed()) {
        qWarning("automatic backup failed: %s", qPrintable(written.reason()));
        ShowPrompt(QStringLiteral("数据备份失败！"), Prompt::Error);
    }
    if (written.isDone())
        removeOldBackups(folder, today);
}

// A server's rows whose pictures still sit in this workstation's images/ get them uploaded.
void uploadPictures(QWidget *parent)
{
    const DataSource source = dmData->source();
    if (source.engine != Engine::PostgreSQL) {
        ShowPrompt(QStringLiteral("本地数据库的图片就在本机的 images 文件夹中，无需上传。"),
                   Prompt::Information);
        return;
    }
    PictureUpload::Counts counts;
    const WorkResult uploaded = runWithProgress(
        parent, QStringLiteral("正在上传本机图片..."), [&](const WorkProgress &progress) {
            OwnConnection connection(source, QStringLiteral("upload"));
            if (!connection.isOpen())
                return WorkResult::failed(connection.error());
            return PictureUpload::run(connection.db(), PictureName::folder(), &counts, progress);
        });
    if (uploaded.isFailed()) {
        qWarning("pictures not uploaded: %s", qPrintable(uploaded.reason()));
        dmData->showFailure(kMsgOperationFailed, uploaded.reason());
    }
    ShowPrompt(PictureUpload::report(counts), Prompt::Information);
}

// Quietly on success, as the other cleanups of a list are.
void removeBlankRows(DataClear::Register which)
{
    QString error;
    if (!DataClear::removeBlankRows(*dmData, which, &error)) {
        qWarning("blank rows not removed: %s", qPrintable(error));
        dmData->showFailure(kMsgOperationFailed, error);
    }
}

} // namespace

void installMaintenanceCommands(CommandRegistry &commands, MainHost &host)
{
    // The commands live as long as the window behind `host`.
    MainHost *const h = &host;
    const struct
    {
        const char *name;
        const char *caption;
        DataClear::Register which;
    } cleanups[] = {{"actClearGoodsBlank", "清除样品空行", DataClear::Register::Catalogue},
                    {"actClearClientBlank", "清除客户空行", DataClear::Register::Clients},
                    {"actClearSupplerBlank", "清除供应商空行", DataClear::Register::Suppliers}};
    for (const auto &c : cleanups) {
        const QString name = QLatin1String(c.name);
        commands.addNamed(name, QString::fromUtf8(c.caption), "");
        commands.handle(name, [which = c.which] { removeBlankRows(which); });
    }
    commands.addNamed(QStringLiteral("actUploadPictures"), QStringLiteral("上传本机图片"), "go-up");
    commands.handle(QStringLiteral("actUploadPictures"), [h] { uploadPictures(h->hostWindow()); });
    commands.addNamed(QStringLiteral("actAutoBackup"), QStringLiteral("自动备份"), "");
    commands.handle(QStringLiteral("actAutoBackup"), [h] { automaticBackup(h->hostWindow()); });
    commands.handle(505, [h] {
        TFrmDataBack window(h->hostWindow());
        window.exec();
        if (!window.restored())
            return;
        h->sampleTypesChanged();
        h->codeListsChanged();
    });
    commands.handle(504, [h] {
        TFrmDataClear window(h->hostWindow());
        window.exec();
        if (!window.clearedAnything())
            return;
        // The type tree, the value list and the list itself may have lost their rows.
        h->sampleTypesChanged();
        h->codeListsChanged();
    });
    commands.handle(506, compactDatabase);
    commands.handle(507, [h] { connectNetworkDatabase(h->hostWindow()); });
}
