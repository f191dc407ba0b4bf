#pragma once

#include "core/DataSource.h"
#include "input/ImportStore.h"

#include <QString>
#include <QStringList>

class QSqlDatabase;

// An import a script runs without a window, through the wizard's own steps: the workbook's
// first sheet, the stored mapping of cfg_import, every value checked, then one store.
namespace ScriptImport {

// The register a list name stands for: clients, suppliers, catalogue; empty for another name.
QString tableOf(const QString &list);
const QStringList &lists();

// Imports `file` into `table` as the wizard's 完成 would with the stored mapping, all or
// nothing. False with the reason in `error` when the file is refused (unreadable, a value its
// column cannot hold) or the database refuses the rows; nothing is stored then.
bool run(const DataSource &source, const QSqlDatabase &db, const QString &table,
         const QString &file, ImportCodes::Duplicates duplicates, const QString &operatorName,
         ImportStore::Counts *counts, QString *error);

} // namespace ScriptImport
