#include "spreadsheet/ExportGridToExcel.h"

#include "core/AppHome.h"
#include "core/DataDm.h"
#include "core/OwnerOnly.h"
#include "core/Prompt.h"
#include "core/RecordList.h"
#include "core/Shell.h"
#include "core/SqlListModel.h"
#include "spreadsheet/ListExport.h"
#include "widgets/DBGridEh.h"
#include "widgets/ProgressRun.h"

#include <QDateTime>
#include <QDir>
#include <QScopedValueRollback>
#include <QUrl>

QString ExportGridToExcel(DBGridEh *grid, const QString &title, bool visible)
{
    // The window stays alive during an export: a second 导出 meanwhile starts nothing.
    static bool running = false;
    if (running)
        return {};
    const QScopedValueRollback busy(running, true);

    const QString folder = AppHome::path(QStringLiteral("export"));
    if (!OwnerOnly::makeFolder(folder)) {
        ShowPrompt(QStringLiteral("无法建立导出文件夹“%1”。").arg(QDir::toNativeSeparators(folder)),
                   Prompt::Error);
        return {};
    }
    ListExport::Job job;
    job.source = dmData->source();
    job.columns = grid->columns();
    job.title = title;
    if (const RecordList *list = grid->list()) {
        const SqlListModel *model = list->model();
        job.query = model->query();
        if (model->isOpen() && model->isCountKnown())
            job.expectedRows = model->rowCount();
    }
    const QString target = ListExport::freeFileName(folder, title, QDateTime::currentDateTime());

    ListExport::Summary summary;
    const WorkResult written =
        runWithProgress(grid->window(), QStringLiteral("正在导出“%1”...").arg(title),
                        [&](const WorkProgress &progress) {
                            return ListExport::write(job, target, &summary, progress);
                        });
    if (written.isCancelled()) {
        ShowPrompt(QStringLiteral("导出已取消，没有保存文件。"), Prompt::Information);
        return {};
    }
    if (written.isFailed()) {
        qWarning("export failed: %s", qPrintable(written.reason()));
        const QString message = QStringLiteral("导出失败：") + written.reason();
        ShowPrompt(summary.failedInDatabase ? dmData->failureMessage(written.reason(), message)
                                            : message,
                   Prompt::Error);
        return {};
    }
    if (summary.shortenedTexts > 0)
        ShowPrompt(QStringLiteral("有 %1 个单元格的文字超过电子表格每格 %2 个字符的上限，"
                                  "导出时已截断。")
                       .arg(summary.shortenedTexts)
                       .arg(XlsxListWriter::kMaxText),
                   Prompt::Information);
    if (visible && !Shell::openUrl(QUrl::fromLocalFile(target)))
        ShowPrompt(QStringLiteral("没有可以打开电子表格的程序。导出的文件保存在：\n") +
                       QDir::toNativeSeparators(target),
                   Prompt::Information);
    return target;
}
