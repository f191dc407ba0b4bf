#include "masterdata/TreeCodeView.h"

#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeWidget>

namespace {

bool isCodeAncestor(const QString &ancestor, const QString &code)
{
    return code.size() > ancestor.size() && code.startsWith(ancestor);
}

// Picks the node's image each time it is drawn, so a first-level node changes its image as
// soon as it gains or loses its last child.
class NodeImageDelegate : public QStyledItemDelegate
{
public:
    explicit NodeImageDelegate(QWidget *view) : QStyledItemDelegate(view)
    {
        QStyle *style = view->style();
        m_images[0] = QIcon::fromTheme(QStringLiteral("folder-open"),
                                       style->standardIcon(QStyle::SP_DirOpenIcon));
        m_images[1] =
            QIcon::fromTheme(QStringLiteral("folder"), style->standardIcon(QStyle::SP_DirIcon));
        m_images[2] = QIcon::fromTheme(QStringLiteral("text-x-generic"),
                                       style->standardIcon(QStyle::SP_FileIcon));
        m_images[3] =
            QIcon::fromTheme(QStringLiteral("go-next"), style->standardIcon(QStyle::SP_ArrowRight));
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->features |= QStyleOptionViewItem::HasDecoration;
        option->icon = m_images[nodeImageIndex(index, option->state & QStyle::State_Selected)];
    }

private:
    QIcon m_images[4];
};

} // namespace

tNodeData nodeData(const QTreeWidgetItem *node)
{
    if (!node)
        return {};
    return {node->data(0, CodeLenRole).toInt(), node->data(0, CodeRole).toString(),
            node->data(0, NameRole).toString(), node->data(0, LikeCodeRole).toString()};
}

void setNodeData(QTreeWidgetItem *node, const tNodeData &data)
{
    node->setText(0, data.Name);
    node->setData(0, CodeLenRole, data.CodeLen);
    node->setData(0, CodeRole, data.Code);
    node->setData(0, NameRole, data.Name);
    node->setData(0, LikeCodeRole, data.LikeCode);
}

QString nodeCode(const QTreeWidgetItem *node)
{
    return node ? node->data(0, CodeRole).toString() : QString();
}

QString nodeLikeCode(const QTreeWidgetItem *node)
{
    return node ? node->data(0, LikeCodeRole).toString() : QString();
}

bool isRootNode(const QTreeWidgetItem *node)
{
    return node && !node->parent();
}

int nodeLevel(const QTreeWidgetItem *node)
{
    int level = 0;
    for (; node && node->parent(); node = node->parent())
        ++level;
    return level;
}

QTreeWidgetItem *LoadTreeCode(QTreeWidget *tree, const QString &rootCaption, const QString &kind)
{
    if (!dynamic_cast<NodeImageDelegate *>(tree->itemDelegate()))
        tree->setItemDelegate(new NodeImageDelegate(tree));
    tree->clear();

    // The whole tree is built off the view and handed over at once: thousands of nodes
    // inserted one by one into a live view would each cost a model update.
    auto *root = new QTreeWidgetItem;
    setNodeData(root, {0, kRootCode, rootCaption, kRootLikeCode});
    struct Open
    {
        QTreeWidgetItem *node;
        QString code;
    };
    // The nodes from the root down to the last one placed. Codes sort parents first, so a
    // row belongs under the nearest of them whose code begins its own; a row whose parent
    // is missing lands under its nearest present ancestor, the root at worst.
    QList<Open> open{{root, QString()}};
    for (const tNodeData &data : treeNodes(kind)) {
        while (open.size() > 1 && !isCodeAncestor(open.last().code, data.Code))
            open.removeLast();
        auto *node = new QTreeWidgetItem(open.last().node);
        setNodeData(node, data);
        open.append({node, data.Code});
    }
    tree->addTopLevelItem(root);
    for (int i = 0; i < root->childCount(); ++i)
        root->child(i)->setExpanded(true);
    return root;
}

QString GetNodePath(QTreeWidgetItem *node, int mode)
{
    QTreeWidgetItem *start = mode == 1 || !node ? node : node->parent();
    if (!start)
        return {};
    if (isRootNode(start))
        return kRootLikeCode;
    QString path = u'\\' + start->text(0);
    for (QTreeWidgetItem *n = start; !isRootNode(n->parent());) {
        n = n->parent();
        path.prepend(u'\\' + n->text(0));
    }
    return u'\\' + path;
}

int nodeImageIndex(const QModelIndex &index, bool selected)
{
    const QModelIndex parent = index.parent();
    if (!parent.isValid())
        return 0;
    if (!parent.parent().isValid() && index.model()->hasChildren(index))
        return 1;
    return selected ? 3 : 2;
}
