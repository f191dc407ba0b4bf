#pragma once

#include "core/GridColumn.h"
#include "spreadsheet/ListReader.h"
#include "spreadsheet/SpreadsheetFormat.h"

#include <QList>
#include <QString>
#include <locale.h>
#include <vector>

struct lxw_format;
struct lxw_workbook;
struct lxw_worksheet;

// One list as a workbook, written row by row with libxlsxwriter in its constant-memory mode, so
// memory stays the same however long the list is: the column titles in row 1, the worksheet
// named after the title, and a further worksheet "title (2)", "title (3)" … each time one is
// full. Text columns hold text cells in the text format "@" (codes keep their leading zeros,
// a leading "=" stays text); number and date columns hold numbers under the equivalent number
// format. The date 1900-08-14 that stands for "no date" is an empty cell in every column.
// Use it on one thread only.
class XlsxListWriter
{
public:
    // Spreadsheets hold 1 048 576 rows; the first one of a worksheet holds the titles.
    static constexpr int kRowsPerSheet = 1048575;
    static constexpr int kMaxColumns = 16384;
    // Spreadsheets hold at most this many characters in a cell.
    static constexpr qsizetype kMaxText = 32767;

    // The name of worksheet `part` (1, 2 …) of a list titled `title`, as spreadsheets allow
    // names: at most 31 characters, none of []:*?/\.
    static QString sheetName(const QString &title, int part);

    // The library's temporary files go to the folder of `file`, where the workbook is
    // assembled, not to a /tmp that may live in memory.
    XlsxListWriter(const QString &file, const QString &title, const QList<GridColumn> &columns,
                   int rowsPerSheet = kRowsPerSheet);
    ~XlsxListWriter();
    XlsxListWriter(const XlsxListWriter &) = delete;
    XlsxListWriter &operator=(const XlsxListWriter &) = delete;

    // False, with the reason in error(), when the workbook could not be started.
    bool isOpen() const { return m_workbook != nullptr && m_error.isEmpty(); }
    QString error() const { return m_error; }

    // Starts the next row, on a new worksheet when this one is full.
    bool newRow();
    void setCell(int column, const ListValue &value);
    // Whether everything written so far reached the disk.
    bool checkWritten();
    // Writes the workbook; false, with the reason in error(), when it is not whole.
    bool close();

    int sheets() const { return int(m_sheets.size()); }
    // Texts longer than a cell holds, cut to kMaxText characters.
    int shortenedTexts() const { return m_shortened; }

private:
    struct Column
    {
        SpreadsheetFormat::Kind kind;
        lxw_format *format;
    };

    bool addSheet();
    void writeText(int column, const char *text, qsizetype size);
    void writeNumber(int column, double number);
    bool ensureRoomToAssemble();

    QString m_file;
    QString m_title;
    QList<GridColumn> m_gridColumns;
    int m_rowsPerSheet;
    QByteArray m_folder;
    locale_t m_cNumbers = nullptr;
    locale_t m_previousLocale = nullptr;
    lxw_workbook *m_workbook = nullptr;
    lxw_format *m_textFormat = nullptr;
    std::vector<Column> m_columns;
    std::vector<lxw_worksheet *> m_sheets;
    int m_row = 0; // in the current worksheet, 0 = the titles
    int m_shortened = 0;
    QString m_error;
};
