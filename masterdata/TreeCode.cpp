#include "masterdata/TreeCode.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/SqlFilter.h"
#include "core/Transaction.h"

#include <algorithm>

#include <QSqlQuery>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeWidget>

namespace {

// SQL counts characters; QString counts UTF-16 units.
int sqlLength(const QString &text)
{
    return int(text.toUcs4().size());
}

// "substr(column, 1, ?) = ?" with its values: the column starts with `prefix`, exactly.
QString startsWith(const QString &column)
{
    return QStringLiteral("substr(%1, 1, ?) = ?").arg(column);
}

bool isCodeAncestor(const QString &ancestor, const QString &code)
{
    return code.size() > ancestor.size() && code.startsWith(ancestor);
}

bool isSegment(const QString &text)
{
    return text.size() == 3 &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
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

const QList<TreeKind> &treeKinds()
{
    static const QList<TreeKind> kinds{
        {QStringLiteral("type"),
         QStringLiteral("样品类型"),
         1,
         2,
         {QStringLiteral("GoodMain"), QStringLiteral("T_goods")}},
        {QStringLiteral("clttype"), QStringLiteral("客户类型"), 3, 4, {QStringLiteral("T_client")}},
        {QStringLiteral("suptype"),
         QStringLiteral("供应商类型"),
         5,
         6,
         {QStringLiteral("T_suppler")}},
    };
    return kinds;
}

const TreeKind *treeKindByMode(int mode)
{
    for (const TreeKind &kind : treeKinds()) {
        if (kind.maintenanceMode == mode || kind.pickerMode == mode)
            return &kind;
    }
    return nullptr;
}

const TreeKind *treeKindByFlag(const QString &flag)
{
    for (const TreeKind &kind : treeKinds()) {
        if (kind.flag == flag)
            return &kind;
    }
    return nullptr;
}

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

QString childPath(const QString &parentPath, const QString &name)
{
    return QString(parentPath + u'\\' + name).replace(QStringLiteral("\\\\\\"), kRootLikeCode);
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
    QSqlQuery q(dmData->database());
    if (dmData->OpenSql(q,
                        QStringLiteral("select F_code, F_name, F_likecode from t_treecode "
                                       "where F_flag = ? order by F_code"),
                        {kind})) {
        struct Open
        {
            QTreeWidgetItem *node;
            QString code;
        };
        // The nodes from the root down to the last one placed. Codes sort parents first, so a
        // row belongs under the nearest of them whose code begins its own; a row whose parent
        // is missing lands under its nearest present ancestor, the root at worst.
        QList<Open> open{{root, QString()}};
        while (q.next()) {
            const QString code = q.value(0).toString();
            while (open.size() > 1 && !isCodeAncestor(open.last().code, code))
                open.removeLast();
            auto *node = new QTreeWidgetItem(open.last().node);
            setNodeData(node,
                        {int(code.size()), code, q.value(1).toString(), q.value(2).toString()});
            open.append({node, code});
        }
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

QString GetNextTreeCode(const QString &code, const QString &kind, int mode)
{
    // The root's code stands for no parent at all.
    const QString own = code == kRootCode ? QString() : code;
    const QString prefix = mode == 1 ? own.left(qMax(0, own.size() - 3)) : own;
    const int width = int(prefix.size()) + 3;
    QString greatest =
        prefix.isEmpty()
            ? dmData->GetStrValue(QStringLiteral("select max(F_code) from t_treecode "
                                                 "where length(F_code) = 3 and F_flag = ?"),
                                  {kind})
            : dmData->GetStrValue(QStringLiteral("select max(F_code) from t_treecode "
                                                 "where F_flag = ? and ") +
                                      startsWith(QStringLiteral("F_code")),
                                  {kind, sqlLength(prefix), prefix});
    // The greatest code may lie under the last node of the level.
    if (greatest.size() > width)
        greatest.truncate(width);
    // Nothing on that level yet (or the parent's row is gone): start it.
    if (greatest.size() < width)
        return prefix + QStringLiteral("001");
    const QString last = greatest.right(3);
    if (!isSegment(last) || last == u"999")
        return {};
    return prefix + QStringLiteral("%1").arg(last.toInt() + 1, 3, 10, QLatin1Char('0'));
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

namespace {

bool run(const QString &sql, const QVariantList &values)
{
    QString error;
    const bool ok = dmData->runQuiet(sql, values, &error).isActive();
    if (!ok)
        qWarning("type tree not changed: %s", qPrintable(error));
    return ok;
}

// Tree changes report their failure in the tree's own words.
bool reported(bool ok)
{
    if (!ok)
        ShowPrompt(kMsgTreeFailed, Prompt::Error);
    return ok;
}

} // namespace

bool InsertTreeNode(const QString &kind, const QString &code, const QString &name,
                    const QString &path)
{
    return reported(run(QStringLiteral("insert into t_treecode(F_code, F_name, F_likecode, "
                                       "F_flag) values(?, ?, ?, ?)"),
                        {code, name, path, kind}));
}

bool RenameTreeNode(const QString &kind, const QString &code, const QString &name,
                    const QString &oldPath, const QString &newPath)
{
    Transaction transaction(dmData->database());
    if (!transaction.isActive())
        return reported(false);
    bool ok = run(QStringLiteral("update t_treecode set F_name = ?, F_likecode = ? "
                                 "where F_code = ? and F_flag = ?"),
                  {name, newPath, code, kind});
    // A path that is not below the root would match far more than the node's own subtree.
    const bool cascade = ok && oldPath != newPath && oldPath.size() > kRootLikeCode.size() &&
                         oldPath.startsWith(kRootLikeCode);
    if (cascade) {
        // The path itself or the path and "\": "\\A" must not take in "\\AB". The rest of a
        // path after the old one is kept, which is empty for the node's own path.
        const QString below = oldPath + u'\\';
        const QVariantList move{newPath, sqlLength(oldPath) + 1};
        ok = run(
            QStringLiteral("update t_treecode set F_likecode = ? || "
                           "substr(F_likecode, ?) where F_flag = ? and ") +
                startsWith(QStringLiteral("F_code")) + QStringLiteral(" and F_code <> ? and ") +
                startsWith(QStringLiteral("F_likecode")),
            move + QVariantList{kind, sqlLength(code), code, code, sqlLength(below), below});
        const TreeKind *tree = treeKindByFlag(kind);
        for (const QString &table : tree ? tree->recordTables : QStringList()) {
            ok = ok && run(QStringLiteral("update %1 set F_type = ? || substr(F_type, ?) where "
                                          "F_type = ? or ")
                                   .arg(table) +
                               startsWith(QStringLiteral("F_type")),
                           move + QVariantList{oldPath, sqlLength(below), below});
        }
    }
    return reported(ok && transaction.commit());
}

bool DeleteTreeNode(const QString &kind, const QString &code)
{
    // An empty prefix would match the whole tree.
    if (code.isEmpty() || code == kRootCode)
        return false;
    return reported(run(QStringLiteral("delete from t_treecode where F_flag = ? and ") +
                            startsWith(QStringLiteral("F_code")),
                        {kind, sqlLength(code), code}));
}

bool TreePathTaken(const QString &kind, const QString &path, const QString &exceptCode)
{
    QString sql = QStringLiteral("select count(*) from t_treecode where F_flag = ? and "
                                 "F_likecode = ?");
    QVariantList values{kind, path};
    if (!exceptCode.isEmpty()) {
        sql += QStringLiteral(" and F_code <> ?");
        values << exceptCode;
    }
    return dmData->GetIntValue(sql, values) > 0;
}

void AddTypeFilter(SqlFilter &filter, const QString &column, const QString &likeCode)
{
    if (likeCode.isEmpty() || likeCode == kRootLikeCode)
        return;
    const QString below = likeCode + u'\\';
    filter.add(u'(' + column + QStringLiteral(" = ? or ") + startsWith(column) + u')',
               {likeCode, sqlLength(below), below});
}
