#pragma once

#include "output/StatisticsList.h"

#include <QDialog>
#include <QHash>
#include <QList>

class DBGridEh;
class DateBox;
class QAction;
class QLabel;
class RecordList;
class SqlListModel;

// A statistics list by its description: a form of criteria, 查询, a grid with footer sums and
// the moves, print, design and export of the list. Nothing is read before 查询.
class StatisticsWindow : public QDialog
{
    Q_OBJECT

public:
    explicit StatisticsWindow(const StatisticsDescription &description, QWidget *parent = nullptr);

    const StatisticsDescription &description() const { return m_description; }

    // Lists what the criteria select; false when the statement failed (the box was shown).
    bool query();
    StatisticsCriteria criteria() const;

    // 打印: the list through the window's template; nothing while it is empty.
    void print();
    // 设置: the window's template in the designer, whether or not the list was read.
    void design();

    void first();
    void prior();
    void next();
    void last();

    DBGridEh *grid() const { return DBGridEh1; }
    RecordList &records() const { return *m_records; }
    SqlListModel *list() const;
    QAction *action(const QString &objectName) const { return m_actions.value(objectName); }
    QString statusPanel(int panel) const;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *createToolBar();
    QWidget *createCriteriaForm();
    QWidget *criterionBox(const StatisticsCriterion &criterion);
    void showRecordCount();
    void enableMoves(bool first, bool prior, bool next, bool last);
    bool runIfEnabled(const QString &actionName);
    void nextGridColumn();

    const StatisticsDescription &m_description;
    bool m_shownOnce = false;
    DateBox *m_from = nullptr;
    DateBox *m_to = nullptr;
    QList<QWidget *> m_criteriaBoxes; // QLineEdit or QComboBox, in the description's order
    DBGridEh *DBGridEh1;
    RecordList *m_records;
    QList<QLabel *> m_panels;
    QHash<QString, QAction *> m_actions; // by object name
};

// Runs a statistics list modally over the window it belongs to.
void ShowStatistics(QWidget *owner, const StatisticsDescription &description);
