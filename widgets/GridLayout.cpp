#include "widgets/GridLayout.h"

#include "core/DataDm.h"
#include "core/GridLayoutStore.h"
#include "core/Prompt.h"
#include "widgets/DBGridEh.h"
#include "widgets/uFrmDispFieldXz.h"

#include <QAction>
#include <QHeaderView>
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

void askSaveGridLayout(DBGridEh *grid, const QString &key)
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

void ChooseColumns(QTableView *view)
{
    QHeaderView *header = view->horizontalHeader();
    QStringList captions;
    QList<bool> visible;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        captions << view->model()->headerData(logical, Qt::Horizontal).toString();
        visible << !header->isSectionHidden(logical);
    }
    TFrmDispFieldXZ chooser(captions, visible, view->window());
    if (chooser.exec() != QDialog::Accepted)
        return;
    const QStringList result = chooser.result();
    for (int visual = 0; visual < result.size(); ++visual)
        header->setSectionHidden(header->logicalIndex(visual), result[visual] == u"0");
}

void addColumnChooserMenu(QTableView *view)
{
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *chooseColumns = new QAction(QStringLiteral("显示字段列表"), view);
    QObject::connect(chooseColumns, &QAction::triggered, view, [view] { ChooseColumns(view); });
    view->addAction(chooseColumns);
}

void addLayoutMenu(DBGridEh *grid, const QString &key)
{
    QTableView *view = grid->view();
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *chooseColumns = new QAction(QStringLiteral("显示字段列表"), view);
    QObject::connect(chooseColumns, &QAction::triggered, grid, [grid] { ChooseColumns(grid); });
    auto *saveLayout = new QAction(QStringLiteral("保存当前设置"), view);
    QObject::connect(saveLayout, &QAction::triggered, grid,
                     [grid, key] { askSaveGridLayout(grid, key); });
    view->addActions({chooseColumns, saveLayout});
}
