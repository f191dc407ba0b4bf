#pragma once

#include "report/SqlReportData.h"

#include <QSqlDatabase>
#include <QStringList>

namespace Report {

// The fields a data set's statement gives, in its order and spelled as the schema spells them,
// read without reading a row; false with the database's reason.
bool fieldsOf(const Statement &statement, const QSqlDatabase &db, QStringList *fields,
              QString *error);

} // namespace Report
