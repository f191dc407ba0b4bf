#pragma once

#include "widgets/Criteria.h"

#include <QJsonObject>
#include <QPoint>
#include <QTabWidget>

class QComboBox;
class QTableWidget;
class QTreeWidget;
struct SampleListCriteria;

// The navigator left of the main list: the value list of a code list (or the secrecy
// levels) and the sample type tree; choosing a value or a node narrows the list.
class SampleNavigator : public QTabWidget
{
    Q_OBJECT

public:
    explicit SampleNavigator(QWidget *parent = nullptr);

    // Adds the navigator's part of the list's criteria: type node and list value.
    void fillCriteria(SampleListCriteria *criteria) const;
    // Refills the value list for a list type (0 brand … 6 salesperson) with "全部" first.
    void FillValueList(int listType);
    int listType() const;
    void loadTypeTree();
    // The type node and the value list's choice as one value, and back; what no longer exists
    // is said in `notes`.
    QJsonObject saveCriteria() const;
    void restoreCriteria(const QJsonObject &saved, QStringList *notes);

signals:
    // The criteria changed: the list is to be read again.
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTableWidget *vleList;
    QComboBox *cbbListType;
    QTreeWidget *tvTree;
    bool m_filling = false;
    QPoint m_cellBeforePress; // row, column of the value list's current cell
    CriteriaSet m_criteria;
};
