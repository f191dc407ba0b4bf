#pragma once

#include "report/ReportEngine.h"

#include <QList>
#include <QStringList>

// The plain grid print: the rows of a grid as the user sees them, under a title, the column
// titles white on navy and repeated on every page, every cell framed.
namespace Report {

struct GridColumnPrint
{
    QString caption;
    double width = 85; // on screen, in pixels
    int align = Item::Left;
};

// The layout on A4 (across when the columns need it), widths in proportion to the grid's.
Template gridTemplate(const QString &title, const QString &pageHeader, const QString &pageFooter,
                      const QList<GridColumnPrint> &columns);

// Rows held in memory, the data set "grid" of gridTemplate(): fields c0, c1, …
class GridRows : public DataProvider
{
public:
    explicit GridRows(QList<QStringList> rows) : m_rows(std::move(rows)) {}
    std::unique_ptr<RowSource> open(const QString &dataSet, const Row *master,
                                    QString *error) override;

private:
    QList<QStringList> m_rows;
};

} // namespace Report
