#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

class SqlDialect;

// Where a page of a list starts: after the row whose order values are `after` (none: at the
// list's first row, or at its last when `reversed`), then `skip` rows further.
struct PageStart
{
    QVariantList after;
    bool reversed = false; // the rows are read from the end of the list towards its start
    int skip = 0;
    bool including = false; // the rows start at `after` itself rather than after it
};

struct PageStatement
{
    QString sql;
    QVariantList values;
};

// One of the columns a list is ordered by.
struct OrderColumn
{
    QString column;
    bool descending = false;
};

// The rows of a list's statement as a scan of `table` finds them: `where` and its values
// without the conditions that let search indexes narrow the likes (SqlFilter::plainWhere).
// A reader of the first page walks the key over these instead of sorting what the index gives
// (FirstPageReader).
struct PlainScan
{
    QString table;
    QString where;
    QVariantList values;

    bool isEmpty() const { return table.isEmpty(); }
};

// A column summed over a list. A price with its currency column is summed in 人民币 and followed
// by the number of rows it leaves out for want of a rate.
struct SumColumn
{
    QString column;
    QString currency; // empty: a plain sum
};

// What a paged list reads: a statement without order and limit ("select * from T where …"), its
// bound values, its order, and the key that ends the order so that pages read one after another
// stay in step.
struct ListQuery
{
    QString select;
    QVariantList values;
    QString orderBy; // empty or "order by …"
    // Empty where the engine returns one statement's rows in the same order every time
    // (SQLite): the rows then come in the order of the index that serves the search.
    QString keyColumn = QStringLiteral("F_ID");
    PlainScan plainScan = {};

    bool isEmpty() const { return select.isEmpty(); }
    QString orderClause() const;
    // The statement every page reads: the values, then limit and offset.
    QString pagedSql() const;
    // The values with which pagedSql() reads every row of the list, in the order the pages
    // show them.
    QVariantList unlimitedValues(const SqlDialect &dialect) const;
    // count(*), then the sum of each of `sums` over the whole list (a price's: two values).
    QString aggregateSql(const QList<SumColumn> &sums = {}) const;
    // The sum of each of `sums` over the whole list (a price's: two values), without the count.
    QString sumsSql(const QList<SumColumn> &sums) const;

    // The order as plain columns that end with the key, so that a page can continue from the
    // row before it (keyset) instead of skipping rows; empty when the order is anything else.
    QList<OrderColumn> orderColumns() const;
    // `limit` rows from `start`. `start.after` and `start.reversed` need orderColumns(); the
    // values of `after` follow their order.
    PageStatement page(const PageStart &start, int limit, const SqlDialect &dialect) const;
    // The values of orderColumns() of the listed row whose key is `key`; no row when it is not
    // listed.
    PageStatement orderValuesOf(qint64 key) const;
    // count(*) of the rows that come after the row whose order values are `row` (`including`:
    // and that row): through the order's index, without reading the rows before it.
    PageStatement countAfter(const QVariantList &row, const SqlDialect &dialect,
                             bool including = false) const;
    // The list's first key in key order, or its last when `last`.
    PageStatement keyAtEnd(bool last) const;
    // The values of orderColumns() of the listed rows among `keys`, in the list's order.
    PageStatement orderValuesAmong(const QList<qint64> &keys) const;
};
