#pragma once

#include "core/DataSource.h"
#include "input/ImportPreview.h"

#include <QDateTime>
#include <QList>
#include <functional>
#include <optional>

class QSqlDatabase;

// Storing an import, and undoing the last one stored. Both run on a connection of their own,
// so they may run off the window's thread, and report failures as values.
namespace ImportStore {

// Told the share done; returning false stops the work, which then changes nothing.
using Progress = std::function<bool(int percent)>;

// Inserts every row of `preview` into `table` in one transaction: all of them or, with the
// database's reason in `error`, none. The new rows' keys replace the record of the last import.
bool store(const DataSource &source, const QString &table, const ImportPreview &preview,
           const QString &operatorName, QString *error, const Progress &progress = {});

// The last import as it stands now.
struct LastImport
{
    qint64 batch = 0;
    QString table;
    QString operatorName;
    QString stamp; // "yyyy-MM-dd hh:mm:ss"
    int rows = 0;  // rows it added that still exist
    // Rows it added whose values differ from what the import gave them, with a line each
    // (code and name) for the question.
    QList<qint64> editedKeys;
    QStringList editedLines;
};

// Nothing with an empty `error` when there is no import to undo.
std::optional<LastImport> lastImport(const QSqlDatabase &db, QString *error);

// Deletes the rows the last import (`batch`) added, in one transaction; rows changed since are
// kept unless `includingEdited`. `removed` receives how many rows went. The record of the import
// goes too, so it is undone once.
bool undo(const DataSource &source, qint64 batch, bool includingEdited, int *removed,
          QString *error);

} // namespace ImportStore
