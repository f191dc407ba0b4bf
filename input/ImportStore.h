#pragma once

#include "core/DataSource.h"
#include "core/Work.h"
#include "input/ImportCodes.h"
#include "input/ImportPreview.h"

#include <QDateTime>
#include <QList>
#include <optional>

class QSqlDatabase;

// Storing an import, and undoing the last one stored. Both run on a connection of their own,
// so they may run off the window's thread, and report failures as values.
namespace ImportStore {

// What a stored import did with the preview's rows.
struct Counts
{
    int added = 0;
    int updated = 0;
    int existing = 0; // skipped: the register held the code
    int repeated = 0; // skipped: an earlier row of the workbook held the code
    int skipped() const { return existing + repeated; }
};

// Stores the rows of `preview` into `table` in one transaction: a row whose code the register
// holds is skipped or, with Duplicates::Update, overwrites that row's mapped columns (the code
// stays); a row repeating an earlier row's code is skipped; every other row is inserted. All of
// it or, failed with the database's reason or cancelled, nothing. The rows added and the former
// values of the rows updated replace the record of the last import.
WorkResult store(const DataSource &source, const QString &table, const ImportPreview &preview,
                 const QString &operatorName, ImportCodes::Duplicates duplicates, Counts *counts,
                 const WorkProgress &progress = {});

// The register's codes as ImportCodes::readCodes reads them, on a connection of their own so the
// reading may run off the window's thread.
WorkResult registerCodes(const DataSource &source, const QString &table,
                         QHash<QString, qint64> *codes);

// The last import as it stands now.
struct LastImport
{
    qint64 batch = 0;
    QString table;
    QString operatorName;
    QString stamp;   // "yyyy-MM-dd hh:mm:ss"
    int rows = 0;    // rows it added that still exist
    int updated = 0; // rows it updated that still exist
    // Rows it added or updated whose values differ from what the import gave them, with a line
    // each (code and name) for the question.
    QList<qint64> editedKeys;
    QStringList editedLines;
};

// Nothing with an empty `error` when there is no import to undo.
std::optional<LastImport> lastImport(const QSqlDatabase &db, QString *error);

// Deletes the rows the last import (`batch`) added and gives the rows it updated their former
// values, in one transaction; rows changed since are left as they are unless `includingEdited`.
// `removed` and `restored` receive how many rows went and came back. The record of the import
// goes too, so it is undone once. It runs to its end once begun: it is never cancelled.
WorkResult undo(const DataSource &source, qint64 batch, bool includingEdited, int *removed,
                int *restored);

} // namespace ImportStore
