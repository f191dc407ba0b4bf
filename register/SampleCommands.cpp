#include "register/SampleCommands.h"

#include "widgets/DBGridEh.h"
#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/SqlListModel.h"
#include "register/SampleRecord.h"
#include "register/uFrmMain.h"
#include "register/ufrmRevaZezEdit.h"

namespace {

bool hasCurrentRecord(TFrmMain *main)
{
    return main->listModel()->rowCount() > 0 && main->grid()->currentRow() >= 0;
}

QVariant current(TFrmMain *main, const QString &field)
{
    return main->listModel()->value(main->grid()->currentRow(), field);
}

} // namespace

void NewSampleCommand(TFrmMain *main)
{
    RunSampleEditor(main, TfrmRevaZezEdit::New);
}

void EditSampleCommand(TFrmMain *main)
{
    if (!hasCurrentRecord(main)) {
        ShowPrompt(QStringLiteral("样品记录是空，不能修改！"), Prompt::Information);
        return;
    }
    RunSampleEditor(main, TfrmRevaZezEdit::Edit);
}

void CopySampleCommand(TFrmMain *main)
{
    if (!hasCurrentRecord(main)) {
        ShowPrompt(QStringLiteral("样品记录是空，不能复制！"), Prompt::Information);
        return;
    }
    RunSampleEditor(main, TfrmRevaZezEdit::Copy);
}

void DeleteSampleCommand(TFrmMain *main)
{
    if (!hasCurrentRecord(main))
        return;
    const QString question =
        QStringLiteral("删除当前样品资料，将删除当前样品所有的相关记录，\n真的要删除当前样品“") +
        current(main, QStringLiteral("F_goodName")).toString() + QStringLiteral("”的相关资料吗？");
    if (ShowPrompt(question, Prompt::Question) != Prompt::Yes)
        return;
    const int row = main->grid()->currentRow();
    QString error;
    if (!SampleRecord::removeGroup(*dmData, current(main, QStringLiteral("F_ID")).toLongLong(),
                                   current(main, QStringLiteral("F_cltID")).toLongLong(), &error)) {
        qWarning("sample not deleted: %s", qPrintable(error));
        ShowPrompt(QStringLiteral("操作失败，请检查连接..."), Prompt::Error);
        return;
    }
    main->ReloadList();
    // The record that takes the deleted one's place becomes current.
    main->grid()->setCurrentRow(qMin(row, main->listModel()->rowCount() - 1));
}
