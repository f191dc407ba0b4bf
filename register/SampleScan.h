#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

// Finding a sample by a scanned code: its 样品编号 or its 条型码.
namespace SampleScan {

// The keys of the samples whose 样品编号 or 条型码 is `code` (spaces around it and letter case
// aside), at most `limit` of them, in key order; each code is looked up through its index.
// False with the reason when the statement fails.
bool find(const QSqlDatabase &db, const QString &code, int limit, QList<qint64> *ids,
          QString *error);

} // namespace SampleScan
