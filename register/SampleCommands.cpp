#include "register/SampleCommands.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/RecordRestore.h"
#include "core/SortText.h"
#include "core/SqlListModel.h"
#include "register/BulkEditDialog.h"
#include "register/SampleFields.h"
#include "register/SampleList.h"
#include "register/SampleRecord.h"
#include "register/ufrmRevaZezEdit.h"
#include "register/ufrmRowArrangeGl.h"
#include "widgets/ChangeHistoryDialog.h"
#include "widgets/CommandRegistry.h"
#include "widgets/DBGridEh.h"
#include "widgets/DeletedRecordsDialog.h"
#include "widgets/GridLayout.h"
#include "widgets/MainHost.h"

#include <QAction>

namespace {

void editCurrent(MainHost &host, int mode, const QString &emptyText)
{
    if (!host.samples().hasCurrent()) {
        ShowPrompt(emptyText, Prompt::Information);
        return;
    }
    runSampleEditor(host.samples(), host.hostWindow(), mode);
}

void deleteCurrent(MainHost &host)
{
    SampleList &samples = host.samples();
    if (!samples.hasCurrent())
        return;
    const QString question =
        QStringLiteral("删除当前样品资料，将删除当前样品所有的相关记录，\n真的要删除当前样品“") +
        samples.value(QStringLiteral("F_goodName")).toString() + QStringLiteral("”的相关资料吗？");
    if (ShowPrompt(question, Prompt::Question) != Prompt::Yes)
        return;
    QString error;
    if (!SampleRecord::removeGroup(*dmData, samples.value(QStringLiteral("F_ID")).toLongLong(),
                                   samples.value(QStringLiteral("F_cltID")).toLongLong(), &error)) {
        qWarning("sample not deleted: %s", qPrintable(error));
        ShowPrompt(QStringLiteral("操作失败，请检查连接..."), Prompt::Error);
        return;
    }
    // After a delete the list is the filters' again, also where an advanced query was shown.
    if (samples.isAdvanced())
        host.rerunListQuery();
    else if (!samples.reloadAfterDelete())
        dmData->showFailure(kMsgOpenFailed);
}

void showHistory(MainHost &host)
{
    SampleList &samples = host.samples();
    if (!samples.hasCurrent()) {
        ShowPrompt(QStringLiteral("样品记录是空，没有修改历史！"), Prompt::Information);
        return;
    }
    const qint64 id = samples.value(QStringLiteral("F_ID")).toLongLong();
    ChangeHistoryDialog history(
        QStringLiteral("GoodMain"), id, samples.value(QStringLiteral("F_goodName")).toString(),
        [](const QString &column) {
            const SampleField *field = sampleField(column);
            return field ? field->caption : QString();
        },
        host.hostWindow());
    history.exec();
    if (history.hasReverted() && !samples.showSaved(id))
        dmData->showFailure(kMsgOpenFailed);
}

void showDeleted(MainHost &host)
{
    DeletedRecordsDialog deleted(QStringLiteral("GoodMain"), QStringLiteral("F_goodName"),
                                 QStringLiteral("样品"), host.hostWindow());
    deleted.exec();
    if (deleted.restored().isEmpty())
        return;
    // The list shows the filters' records; one brought back outside them is not sought.
    if (!host.samples().showSaved(deleted.restored().last()))
        dmData->showFailure(kMsgOpenFailed);
}

void bulkEdit(MainHost &host)
{
    QList<qint64> ids;
    for (int row : host.sampleGrid()->selectedRows())
        ids << host.samples().value(row, QStringLiteral("F_ID")).toLongLong();
    BulkEditDialog dialog(host.samples(), ids, host.hostWindow());
    if (dialog.exec() == QDialog::Accepted && !host.samples().reload())
        dmData->showFailure(kMsgOpenFailed);
}

// "样品 <code>" of up to ten changed rows, one a line.
QString changedLines(const QList<Journal::Change> &changed)
{
    constexpr int kShown = 10;
    QStringList lines;
    for (const Journal::Change &c : changed.mid(0, kShown))
        lines << QStringLiteral("样品 ") +
                     dmData->GetStrValue(
                         QStringLiteral("select F_goodCode from GoodMain where F_ID = ?"),
                         {c.rowId});
    if (changed.size() > kShown)
        lines << QStringLiteral("……");
    return lines.join(u'\n');
}

void undoBulkEdit(MainHost &host)
{
    QString error;
    const QSqlDatabase db = dmData->database();
    const std::optional<qint64> set = RecordRestore::lastOpenSet(db, Journal::kBulkEdit, &error);
    const std::optional<QList<Journal::Change>> rows =
        set ? Journal::rowsOf(db, *set, &error) : std::nullopt;
    const std::optional<QList<Journal::Change>> changed =
        rows ? RecordRestore::changedSince(db, *set, &error) : std::nullopt;
    if (!changed) {
        dmData->showFailure(kMsgOpenFailed, error);
        return;
    }
    if (rows->isEmpty()) {
        ShowPrompt(QStringLiteral("没有可以撤销的批量修改。"), Prompt::Information);
        return;
    }
    const Journal::Change &first = rows->first();
    if (ShowPrompt(QStringLiteral("撤销 %1 %2 的批量修改（%3）吗？")
                       .arg(first.stamp, first.operatorName, first.summary),
                   Prompt::Question, Prompt::No) != Prompt::Yes)
        return;
    const bool evenChanged =
        !changed->isEmpty() &&
        ShowPrompt(
            QStringLiteral("其中 %1 行在批量修改后已被修改：\n%2\n是否也撤销这些修改过的行？")
                .arg(changed->size())
                .arg(changedLines(*changed)),
            Prompt::Question, Prompt::No) == Prompt::Yes;
    if (!RecordRestore::undoSet(db, dmData->CurOperName(), *set, evenChanged, &error)) {
        dmData->showFailure(kMsgOperationFailed, error);
        return;
    }
    const qsizetype undone = evenChanged ? rows->size() : rows->size() - changed->size();
    ShowPrompt(QStringLiteral("已撤销批量修改，恢复了 %1 行。").arg(undone), Prompt::Information);
    if (!host.samples().reload())
        dmData->showFailure(kMsgOpenFailed);
}

void sortByDialog(MainHost &host)
{
    QList<QPair<QString, QString>> columns;
    for (const GridColumn &c : host.sampleGrid()->columns())
        columns << qMakePair(c.field, c.caption);
    const QString text = TfrmRowArrangeGl::ask(host.hostWindow(), columns);
    // An empty answer returns the list to the order of its query.
    SqlListModel *model = host.samples().model();
    model->setOrderBy(SortText::orderBy(text, model->fieldNames()));
}

} // namespace

void installSampleCommands(CommandRegistry &commands, MainHost &host)
{
    // The commands live as long as the window behind `host`.
    MainHost *const h = &host;
    commands.handle(201,
                    [h] { runSampleEditor(h->samples(), h->hostWindow(), TfrmRevaZezEdit::New); });
    commands.handle(202, [h] {
        editCurrent(*h, TfrmRevaZezEdit::Edit, QStringLiteral("样品记录是空，不能修改！"));
    });
    commands.handle(207, [h] {
        editCurrent(*h, TfrmRevaZezEdit::Copy, QStringLiteral("样品记录是空，不能复制！"));
    });
    commands.handle(203, [h] { deleteCurrent(*h); });
    commands.handle(204, [h] { sortByDialog(*h); });
    commands.handle(205, [h] { ChooseColumns(h->sampleGrid()); });
    commands.handle(206, [h] { askSaveGridLayout(h->sampleGrid(), kSampleListLayoutKey); });
    // Whoever may change samples reads their history; whoever may delete them brings them back.
    const struct
    {
        const char *name;
        const char *caption;
        const char *icon;
        int followed;
        void (*run)(MainHost &);
    } journalCommands[] = {
        {"actChangeHistory", "修改历史", "document-open-recent", 202, showHistory},
        {"actDeletedRecords", "已删除的记录", "edit-undo", 203, showDeleted},
        {"actBulkEdit", "批量修改", "document-edit", 202, bulkEdit},
        {"actUndoBulkEdit", "撤销批量修改", "edit-undo", 202, undoBulkEdit}};
    for (const auto &c : journalCommands) {
        const QString name = QLatin1String(c.name);
        QAction *action = commands.addNamed(name, QString::fromUtf8(c.caption), c.icon);
        commands.handle(name, [h, run = c.run] { run(*h); });
        QAction *followed = commands.action(c.followed);
        QObject::connect(followed, &QAction::visibleChanged, action,
                         [action, followed] { action->setVisible(followed->isVisible()); });
    }
}
