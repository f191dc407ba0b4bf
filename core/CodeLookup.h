#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// Finding entries by a scanned code: a code column compared whole, spaces around the code and
// letter case aside.
namespace CodeLookup {

// The keys (F_ID) of the rows of `table` whose column of `columns` holds `code`, at most `limit`
// of them, in key order; one select per column, so that each walks its own index. False with
// the reason when the statement fails.
bool find(const QSqlDatabase &db, const QString &table, const QStringList &columns,
          const QString &code, int limit, QList<qint64> *ids, QString *error);

} // namespace CodeLookup
