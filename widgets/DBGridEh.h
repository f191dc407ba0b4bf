#pragma once

#include "core/GridColumn.h"
#include "core/SortText.h"

#include <QHash>
#include <QList>
#include <QWidget>

class QTableView;
class RecordList;
class SqlListModel;
class GridModel;
class GridFooter;

// The caption under which a footer's sums stand.
inline const QString kSumCaption = QStringLiteral("合计");

// The list grid every list window uses: a table over a record list with whole-row selection,
// centred titles with sort markers, and a footer row of static texts and column sums.
class DBGridEh : public QWidget
{
    Q_OBJECT

public:
    explicit DBGridEh(QWidget *parent = nullptr);

    // Shows `list`'s rows, its current row as the grid's and the grid's as the list's.
    void setList(RecordList *list);
    RecordList *list() const { return m_list; }

    // Replaces every column; `columns` in display order.
    void setColumns(const QList<GridColumn> &columns);
    // The columns in their current display order, with current widths and visibility.
    QList<GridColumn> columns() const;
    void setColumnVisible(int displayIndex, bool visible);
    void moveColumn(int fromDisplayIndex, int toDisplayIndex);

    // Rows whose value in this field is true are drawn red (disabled register entries).
    void setDisabledFlagField(const QString &field);

    int currentRow() const;
    void setCurrentRow(int row);
    // The rows selected (several with Ctrl or Shift where the view allows), in the list's order.
    QList<int> selectedRows() const;
    QTableView *view() const { return m_view; }

    // Title clicks sort the list by that column, ascending then descending; with
    // `keepMemoOrder` memo columns only change their marker.
    void setSortOnTitleClick(bool keepMemoOrder);

    // Title sort markers: none, ascending or descending per column.
    using Marker = SortText::Marker;
    Marker marker(const QString &field) const
    {
        return m_markers.value(field.toLower(), Marker::None);
    }
    void setMarker(const QString &field, Marker marker);
    // The footer's caption "合计" reads "合计(人民币)" while the footer sums prices in 人民币.
    QString footerText(int displayIndex) const;
    // What a sum in 人民币 stands for, and how many rows it leaves out for want of a rate.
    QString footerToolTip(int displayIndex) const;

signals:
    void currentRowChanged(int row);
    void rowDoubleClicked(int row);

private:
    void refreshSums();
    void followList();
    void sortByTitle(const QString &field);

    SqlListModel *m_source = nullptr;
    RecordList *m_list = nullptr;
    bool m_sourceChanging = false; // between a change of the source's rows and its end
    GridModel *m_model;
    QTableView *m_view;
    GridFooter *m_footer;
    QHash<QString, Marker> m_markers;
    bool m_sortOnTitleClick = false;
    bool m_keepMemoOrder = false;
    QHash<QString, QString> m_sums; // field (lower case) → formatted sum
    bool m_homeSums = false;        // some sums are prices in 人民币
    friend class GridFooter;
};
