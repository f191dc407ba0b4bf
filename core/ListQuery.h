#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

class SqlDialect;

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

    bool isEmpty() const { return select.isEmpty(); }
    QString orderClause() const;
    // The statement every page reads: the values, then limit and offset.
    QString pagedSql() const;
    // The values with which pagedSql() reads every row of the list, in the order the pages
    // show them.
    QVariantList unlimitedValues(const SqlDialect &dialect) const;
    // count(*), then sum() of each of `sumColumns`, over the whole list.
    QString aggregateSql(const QStringList &sumColumns = {}) const;
};
