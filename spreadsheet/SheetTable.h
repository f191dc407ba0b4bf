#pragma once

#include <QStringList>
#include <vector>

// One worksheet as the import sees it: the first row's texts name the columns, and every
// further row holds, column by column, the texts a user sees in its cells.
struct SheetTable
{
    QStringList headings;
    std::vector<QStringList> rows;
    // What the reader changed or left out, for the user to read beside the sheet.
    QStringList notes;

    // The first column headed `name`, -1 when none is.
    int columnOf(const QString &name) const { return headings.indexOf(name); }
};

// Gathers the cells of a sheet in any order into a table: cells a file leaves out are empty,
// empty rows after the last filled one are dropped, and a column without a heading is named
// "F" + its number, as spreadsheet drivers name it. It holds the sheet's limits and its memory
// budget, counting the table as it will be once every row has every column.
class SheetCollector
{
public:
    // `budget` in bytes, for the table once finished.
    explicit SheetCollector(qint64 budget);

    // `row` and `column` from 0; row 0 holds the headings. False, with the reason in
    // failure(), when the cell lies beyond the sheet's limits, its text is longer than a cell
    // holds or the table outgrows the budget; nothing is set then.
    bool setCell(int row, int column, QString text);
    // Counts `bytes` held elsewhere for this sheet (a workbook's shared strings); false when
    // they leave no room.
    bool charge(qint64 bytes);
    // Refuses the sheet for `reason` (the first reason given stays); returns false.
    bool fail(const QString &reason);
    const QString &failure() const { return m_failure; }
    void addNote(const QString &note);
    SheetTable finish();

    // The bytes a text of `chars` characters takes in the table.
    static qint64 textCost(qsizetype chars) { return 32 + 2 * qint64(chars); }

private:
    std::vector<QStringList> m_rows;
    QStringList m_notes;
    QString m_failure;
    qint64 m_budget;
    qint64 m_textBytes = 0;
    qsizetype m_columns = 0;
};
