#include "core/CodeLookup.h"

#include "core/SqlDialect.h"

#include <QSqlError>
#include <QSqlQuery>

namespace CodeLookup {

bool find(const QSqlDatabase &db, const QString &table, const QStringList &columns,
          const QString &code, int limit, QList<qint64> *ids, QString *error)
{
    ids->clear();
    const QString value = code.trimmed();
    if (value.isEmpty() || columns.isEmpty())
        return true;
    const SqlDialect dialect = SqlDialect::of(db);
    QStringList selects;
    for (const QString &column : columns)
        selects << QStringLiteral("select F_ID from %1 where %2")
                       .arg(table, dialect.equalsIgnoringCase(column));
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(selects.join(QStringLiteral(" union ")) + QStringLiteral(" order by 1 limit ?"));
    for (qsizetype i = 0; i < columns.size(); ++i)
        q.addBindValue(value);
    q.addBindValue(limit);
    if (!q.exec()) {
        *error = q.lastError().text();
        return false;
    }
    while (q.next())
        ids->append(q.value(0).toLongLong());
    return true;
}

} // namespace CodeLookup
