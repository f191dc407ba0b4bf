#include "masterdata/TypeNodeCriterion.h"

#include "masterdata/TreeCodeView.h"

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

TypeNodeCriterion::TypeNodeCriterion(const QString &key, QTreeWidget *tree)
    : Criterion(key), m_tree(tree)
{
}

QJsonValue TypeNodeCriterion::save() const
{
    const QTreeWidgetItem *node = m_tree->currentItem();
    return node && !isRootNode(node) ? nodeLikeCode(node) : QString();
}

void TypeNodeCriterion::restore(const QJsonValue &value, QStringList *notes)
{
    const QString path = value.toString();
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if (path.isEmpty() ? isRootNode(*it) : nodeLikeCode(*it) == path) {
            m_tree->setCurrentItem(*it);
            return;
        }
    }
    if (!path.isEmpty())
        *notes << goneNote(QStringLiteral("类型"), path);
    m_tree->setCurrentItem(m_tree->topLevelItem(0));
}
