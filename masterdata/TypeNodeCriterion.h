#pragma once

#include "widgets/Criteria.h"

class QTreeWidget;

// The node chosen in a type tree, saved as its path; a path the tree no longer holds is dropped
// and the root chosen instead.
class TypeNodeCriterion : public Criterion
{
public:
    TypeNodeCriterion(const QString &key, QTreeWidget *tree);

    QJsonValue save() const override;
    void restore(const QJsonValue &value, QStringList *notes) override;

private:
    QTreeWidget *m_tree;
};
