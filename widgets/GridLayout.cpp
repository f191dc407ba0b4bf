#include "widgets/GridLayout.h"

#include "core/DataDm.h"
#include "core/GridLayoutStore.h"
#include "core/Prompt.h"
#include "widgets/DBGridEh.h"
#include "widgets/uFrmDispFieldXz.h"

#include <QAction>
#include <QTableView>

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

void addLayoutMenu(DBGridEh *grid, const QString &key)
{
    QTableView *view = grid->view();
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *chooseColumns = new QAction(QStringLiteral("显示字段列表"), view);
    QObject::connect(chooseColumns, &QAction::triggered, grid, [grid] { ChooseColumns(grid); });
    auto *saveLayout = new QAction(QStringLiteral("保存当前设置"), view);
    QObject::connect(saveLayout, &QAction::triggered, grid,
                     [grid, key] { AskSaveGridLayout(grid, key); });
    view->addActions({chooseColumns, saveLayout});
}
