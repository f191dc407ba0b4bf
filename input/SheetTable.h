#pragma once

#include <QStringList>
#include <vector>

// One worksheet as the import sees it: the first row's texts name the columns, and every
// further row holds, column by column, the texts a user sees in its cells.
struct SheetTable
{
    QStringList headings;
    std::vector<QStringList> rows;

    // The first column headed `name`, -1 when none is.
    int columnOf(const QString &name) const { return headings.indexOf(name); }
};

// Gathers the cells of a sheet in any order into a table: cells a file leaves out are empty,
// empty rows after the last filled one are dropped, and a column without a heading is named
// "F" + its number, as spreadsheet drivers name it.
class SheetCollector
{
public:
    // `row` and `column` from 0; row 0 holds the headings.
    void setCell(int row, int column, QString text);
    SheetTable finish();

private:
    std::vector<QStringList> m_rows;
    qsizetype m_columns = 0;
};
