#include "core/ListQuery.h"

#include "core/Money.h"
#include "core/SqlDialect.h"

#include <QRegularExpression>

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

namespace {

// `first` (if any), then the sums over the list, a price's in 人民币 with the number of rows
// its currency's missing rate leaves out.
QString aggregateOver(const QString &select, const QString &first, const QList<SumColumn> &sums)
{
    const QString row = QStringLiteral("listed");
    QStringList columns;
    if (!first.isEmpty())
        columns << first;
    QString joins;
    int joined = 0;
    for (const SumColumn &s : sums) {
        if (s.currency.isEmpty()) {
            columns << QStringLiteral("sum(%1.%2)").arg(row, s.column);
            continue;
        }
        const QString join = QStringLiteral("rates%1").arg(++joined);
        joins += Money::Sql::rateJoin(row, s.currency, join);
        columns << QStringLiteral("sum(%1)").arg(Money::Sql::homeAmount(row, s.column, join))
                << QStringLiteral("sum(%1)").arg(Money::Sql::leftOut(row, s.column, join));
    }
    return (joined > 0 ? Money::Sql::withRates() : QString()) + QStringLiteral("select ") +
           columns.join(QStringLiteral(", ")) + QStringLiteral(" from (") + select +
           QStringLiteral(") ") + row + joins;
}

} // namespace

QString ListQuery::aggregateSql(const QList<SumColumn> &sums) const
{
    return aggregateOver(select, QStringLiteral("count(*)"), sums);
}

QString ListQuery::sumsSql(const QList<SumColumn> &sums) const
{
    return aggregateOver(select, QString(), sums);
}

QList<OrderColumn> ListQuery::orderColumns() const
{
    if (keyColumn.isEmpty())
        return {};
    static const QRegularExpression orderPrefix(QStringLiteral("^\\s*order\\s+by\\s+"),
                                                QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression plainKey(
        QStringLiteral("^\\s*([A-Za-z_][A-Za-z0-9_]*)(?:\\s+(asc|desc))?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    QList<OrderColumn> columns;
    const QRegularExpressionMatch prefix = orderPrefix.match(orderBy);
    if (!orderBy.trimmed().isEmpty()) {
        if (!prefix.hasMatch())
            return {};
        for (const QString &key : orderBy.mid(prefix.capturedLength()).split(u',')) {
            const QRegularExpressionMatch m = plainKey.match(key);
            if (!m.hasMatch())
                return {};
            columns.append(
                {m.captured(1), m.captured(2).compare(u"desc", Qt::CaseInsensitive) == 0});
        }
    }
    columns.append({keyColumn, false});
    return columns;
}

namespace {

// "column comes after value" in an order where NULLs come first or last.
QString beyond(const OrderColumn &c, bool valueIsNull, bool nullsFirst, QVariantList *values,
               const QVariant &value, bool orEqual = false)
{
    if (valueIsNull)
        return nullsFirst ? c.column + QStringLiteral(" is not null") : QString();
    values->append(value);
    const QString compared = c.column + QLatin1String(c.descending ? " <" : " >") +
                             QLatin1String(orEqual ? "= ?" : " ?");
    return nullsFirst
               ? compared
               : u'(' + compared + QStringLiteral(" or ") + c.column + QStringLiteral(" is null)");
}

// The rows after the one whose order values are `after` (`including`: and that row): beyond
// it on the first column, or equal there and beyond it on the next, and so on; the key makes
// every row distinct.
QString afterCondition(const QList<OrderColumn> &columns, const QVariantList &after,
                       const SqlDialect &dialect, QVariantList *values, bool including = false)
{
    QStringList alternatives;
    for (int i = 0; i < columns.size(); ++i) {
        QStringList terms;
        QVariantList termValues;
        for (int j = 0; j < i; ++j) {
            if (after.at(j).isNull()) {
                terms << columns.at(j).column + QStringLiteral(" is null");
            } else {
                terms << columns.at(j).column + QStringLiteral(" = ?");
                termValues << after.at(j);
            }
        }
        // Ascending orders put NULLs first on SQLite and last on PostgreSQL, descending ones
        // the other way round. The key, last, is never NULL: a bare comparison lets a server
        // start at the value in the key's index instead of filtering the index from its start.
        const bool nullsFirst =
            i == columns.size() - 1 || dialect.nullsOrderLast() == columns.at(i).descending;
        const bool last = i == columns.size() - 1;
        const QString next = beyond(columns.at(i), after.at(i).isNull(), nullsFirst, &termValues,
                                    after.at(i), last && including);
        if (next.isEmpty())
            continue;
        terms << next;
        alternatives << u'(' + terms.join(QStringLiteral(" and ")) + u')';
        *values << termValues;
    }
    return alternatives.isEmpty() ? QStringLiteral("1 = 0")
                                  : u'(' + alternatives.join(QStringLiteral(" or ")) + u')';
}

QList<OrderColumn> reversedOrder(QList<OrderColumn> columns)
{
    for (OrderColumn &c : columns)
        c.descending = !c.descending;
    return columns;
}

QString orderClauseOf(const QList<OrderColumn> &columns)
{
    QStringList keys;
    for (const OrderColumn &c : columns)
        keys << c.column + (c.descending ? QStringLiteral(" desc") : QString());
    return QStringLiteral(" order by ") + keys.join(QStringLiteral(", "));
}

} // namespace

PageStatement ListQuery::page(const PageStart &start, int limit, const SqlDialect &dialect) const
{
    PageStatement page{pagedSql(), values};
    if (!start.after.isEmpty() || start.reversed) {
        QList<OrderColumn> columns = orderColumns();
        if (start.reversed)
            columns = reversedOrder(columns);
        page.sql = QStringLiteral("select * from (") + select + QStringLiteral(") listed");
        if (!start.after.isEmpty())
            page.sql += QStringLiteral(" where ") + afterCondition(columns, start.after, dialect,
                                                                   &page.values, start.including);
        page.sql += orderClauseOf(columns) + QStringLiteral(" limit ? offset ?");
    }
    page.values << limit << start.skip;
    return page;
}

PageStatement ListQuery::orderValuesOf(qint64 key) const
{
    QStringList columns;
    for (const OrderColumn &c : orderColumns())
        columns << c.column;
    PageStatement row;
    row.sql = QStringLiteral("select %1 from (%2) listed where %3 = ?")
                  .arg(columns.join(QStringLiteral(", ")), select, keyColumn);
    row.values = values;
    row.values << key;
    return row;
}

PageStatement ListQuery::countAfter(const QVariantList &row, const SqlDialect &dialect,
                                    bool including) const
{
    PageStatement count{QStringLiteral("select count(*) from (") + select +
                            QStringLiteral(") listed where "),
                        values};
    count.sql += afterCondition(orderColumns(), row, dialect, &count.values, including);
    return count;
}

PageStatement ListQuery::keyAtEnd(bool last) const
{
    return {QStringLiteral("select %1 from (%2) listed order by %1%3 limit 1")
                .arg(keyColumn, select, last ? QStringLiteral(" desc") : QString()),
            values};
}

PageStatement ListQuery::orderValuesAmong(const QList<qint64> &keys) const
{
    QStringList columns;
    const QList<OrderColumn> order = orderColumns();
    for (const OrderColumn &c : order)
        columns << c.column;
    // The keys are the database's own numbers, written into the statement as such.
    QStringList listed;
    for (const qint64 key : keys)
        listed << QString::number(key);
    return {QStringLiteral("select %1 from (%2) listed where %3 in (%4)%5")
                .arg(columns.join(QStringLiteral(", ")), select, keyColumn, listed.join(u','),
                     orderClauseOf(order)),
            values};
}
