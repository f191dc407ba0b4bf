#include "register/SampleCommands.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/SortText.h"
#include "core/SqlListModel.h"
#include "register/SampleList.h"
#include "register/SampleRecord.h"
#include "register/ufrmRevaZezEdit.h"
#include "register/ufrmRowArrangeGl.h"
#include "widgets/CommandRegistry.h"
#include "widgets/DBGridEh.h"
#include "widgets/GridLayout.h"
#include "widgets/MainHost.h"

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
}
