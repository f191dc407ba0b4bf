#pragma once

#include "output/StatisticsList.h"
#include "widgets/Criteria.h"
#include "widgets/ListWindow.h"

#include <QJsonObject>
#include <QList>

class DateBox;
class ViewBox;

// A statistics list by its description: a form of criteria, 查询, a grid with footer sums and
// the moves, print, design and export of the list, and named views. Nothing is read before 查询.
class StatisticsWindow : public ListWindow
{
    Q_OBJECT

public:
    explicit StatisticsWindow(const StatisticsDescription &description, QWidget *parent = nullptr);

    const StatisticsDescription &description() const { return m_description; }

    // Lists what the criteria select; false when the statement failed (the box was shown).
    bool query();
    StatisticsCriteria criteria() const;
    // The criteria form as one value, and back; what no longer exists is said in `notes`.
    QJsonObject saveCriteria() const;
    void restoreCriteria(const QJsonObject &saved, QStringList *notes);
    ViewBox *views() const { return m_views; }

    // 打印: the list through the window's template; nothing while it is empty.
    void print();
    // 设置: the window's template in the designer, whether or not the list was read.
    void design();

    void first();
    void prior();
    void next();
    void last();

protected:
    void shownFirst() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectCommands();
    QWidget *createCriteriaForm();
    QWidget *criterionBox(const StatisticsCriterion &criterion);
    void showRecordCount();
    void enableMoves(bool first, bool prior, bool next, bool last);
    void nextGridColumn();

    const StatisticsDescription &m_description;
    DateBox *m_from = nullptr;
    DateBox *m_to = nullptr;
    QList<QWidget *> m_criteriaBoxes; // QLineEdit or QComboBox, in the description's order
    CriteriaSet m_criteria;
    ViewBox *m_views;
};

// Runs a statistics list modally over the window it belongs to.
void showStatistics(QWidget *owner, const StatisticsDescription &description);
