#pragma once

#include <QString>

class QSqlDatabase;

// The rows a new database starts with: the administrator, the catalogue of rights, the company
// row, grid layouts, import mappings, analyses and currencies.
namespace SchemaSeed {

bool insertRequiredRows(QSqlDatabase &db, QString *error);

} // namespace SchemaSeed
