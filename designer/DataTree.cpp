#include "designer/DataTree.h"

#include "designer/PageScene.h"

#include <QHeaderView>
#include <QMimeData>

DataTree::DataTree(const QList<BoundDataSet> &sets, const QHash<QString, QString> &captions,
                   QWidget *parent)
    : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("tvData"));
    setHeaderLabels({QStringLiteral("数据"), QStringLiteral("名称")});
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setSelectionMode(QAbstractItemView::SingleSelection);
    for (const BoundDataSet &set : sets) {
        auto *top = new QTreeWidgetItem(this, {set.dataSet});
        top->setFlags(Qt::ItemIsEnabled);
        for (const QString &field : set.fields) {
            auto *item = new QTreeWidgetItem(top, {field, captions.value(field.toLower())});
            item->setData(0, Qt::UserRole, set.dataSet);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
        }
    }
    expandAll();
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

QMimeData *DataTree::mimeData(const QList<QTreeWidgetItem *> &items) const
{
    if (items.isEmpty() || !items.first()->parent())
        return nullptr;
    auto *data = new QMimeData;
    const QTreeWidgetItem *item = items.first();
    data->setData(PageScene::kFieldMime,
                  (item->data(0, Qt::UserRole).toString() + u'\n' + item->text(0)).toUtf8());
    data->setText(QStringLiteral("[%1]").arg(item->text(0)));
    return data;
}
