#pragma once

#include "spreadsheet/SheetTable.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QSqlDatabase;

// One mapping row of cfg_import: the register column, its caption, and the sheet column that
// feeds it (empty: not imported).
struct ImportField
{
    QString field;
    QString caption;
    QString sheetColumn;
};

// The mapping rows in use for `table`, in their stored order; false with the database's reason.
bool loadImportFields(const QSqlDatabase &db, const QString &table, QList<ImportField> *fields,
                      QString *error);

// Why a value cannot go into `field` of `table` as it is: too long, not a number, not a date;
// empty when it can. The database is never given a value it would cut or half convert.
QString checkImportValue(const QString &table, const QString &field, const QString &text);
namespace Schema {
struct Column;
}
// The same for a column already looked up.
QString checkImportValue(const Schema::Column &column, const QString &text);

// Where building a preview stopped.
struct PreviewFault
{
    QString sheetColumn; // the mapping's sheet column, as the message names it
    int sheetRow = 0;    // the row's number in the sheet, the headings being row 1
    QString reason;

    // "字段“…”出错，导入失败！", with the sheet row and the reason on a line of their own.
    QString message() const;
};

// The rows an import is about to store: one text per field for every kept row.
struct ImportPreview
{
    QList<ImportField> fields;
    std::vector<QStringList> rows;
    std::vector<int> sheetRows;

    // Fills the preview from `sheet` as the mapping says, every sheet row in order; a row is kept
    // when at least one field is mapped. False at the first value that cannot be stored, with
    // the rows before it kept. `progress` is told each sheet row's index now and then.
    bool build(const SheetTable &sheet, const QString &table, const QList<ImportField> &mapping,
               PreviewFault *fault, const std::function<void(int row)> &progress = {});
};
