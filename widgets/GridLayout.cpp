#include "widgets/GridLayout.h"

#include "core/DataDm.h"
#include "core/GridLayoutStore.h"
#include "core/Prompt.h"
#include "widgets/DBGridEh.h"
#include "widgets/uFrmDispFieldXz.h"

void LoadGridLayout(DBGridEh *grid, const QString &key)
{
    const QList<GridColumn> columns = GridLayoutStore::load(*dmData, key, grid->columns());
    if (!columns.isEmpty())
        grid->setColumns(columns);
}

void SaveGridLayout(DBGridEh *grid, const QString &key)
{
    GridLayoutStore::save(*dmData, key, grid->columns());
}

void AskSaveGridLayout(DBGridEh *grid, const QString &key)
{
    if (ShowPrompt(QStringLiteral("真的要保存当前网格设置吗？"), Prompt::Question) == Prompt::Yes)
        SaveGridLayout(grid, key);
}

void ChooseColumns(DBGridEh *grid)
{
    const QList<GridColumn> columns = grid->columns();
    QStringList captions;
    QList<bool> visible;
    for (const GridColumn &c : columns) {
        captions << c.caption;
        visible << c.visible;
    }
    TFrmDispFieldXZ chooser(captions, visible, grid->window());
    if (chooser.exec() != QDialog::Accepted)
        return;
    const QStringList result = chooser.result();
    for (int i = 0; i < result.size(); ++i)
        grid->setColumnVisible(i, result[i] != u"0");
}
