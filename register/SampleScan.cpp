#include "register/SampleScan.h"

#include "core/SqlDialect.h"

#include <QSqlError>
#include <QSqlQuery>

namespace SampleScan {

bool find(const QSqlDatabase &db, const QString &code, int limit, QList<qint64> *ids,
          QString *error)
{
    ids->clear();
    const QString value = code.trimmed();
    if (value.isEmpty())
        return true;
    const SqlDialect dialect = SqlDialect::of(db);
    // One select per column, so that each walks its own index.
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("select F_ID from GoodMain where %1 union select F_ID from GoodMain "
                             "where %2 order by 1 limit ?")
                  .arg(dialect.equalsIgnoringCase(QStringLiteral("F_goodCode")),
                       dialect.equalsIgnoringCase(QStringLiteral("F_TMcode"))));
    q.addBindValue(value);
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

} // namespace SampleScan
