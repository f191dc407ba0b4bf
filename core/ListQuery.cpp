#include "core/ListQuery.h"

#include "core/SqlDialect.h"

QString ListQuery::orderClause() const
{
    if (keyColumn.isEmpty())
        return u' ' + orderBy;
    if (orderBy.isEmpty())
        return QStringLiteral(" order by ") + keyColumn;
    return u' ' + orderBy + QStringLiteral(", ") + keyColumn;
}

QString ListQuery::pagedSql() const
{
    return select + orderClause() + QStringLiteral(" limit ? offset ?");
}

QVariantList ListQuery::unlimitedValues(const SqlDialect &dialect) const
{
    // The very statement of the pages, so the rows come in the same order, without a limit.
    QVariantList all = values;
    all << dialect.noLimit() << 0;
    return all;
}

QString ListQuery::aggregateSql(const QStringList &sumColumns) const
{
    QString sql = QStringLiteral("select count(*)");
    for (const QString &column : sumColumns)
        sql += QStringLiteral(", sum(%1)").arg(column);
    return sql + QStringLiteral(" from (") + select + QStringLiteral(") listed");
}
