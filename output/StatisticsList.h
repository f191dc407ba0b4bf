#pragma once

#include "core/GridColumn.h"
#include "core/SqlFilter.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// One box of a statistics list's criteria form.
struct StatisticsCriterion
{
    enum Kind {
        Text,     // typed
        CodeList, // typed or chosen from the code list `codeKind`
        Type,     // a type path, typed or chosen in the type tree
        Supplier, // a supplier's name, typed or chosen in the supplier register
        Client,   // a client's name, typed or chosen in the client register
    };

    QString label;
    QString objectName;
    QString column;
    Kind kind = Text;
    SqlFilter::Match match = SqlFilter::Match::Contains;
    QString codeKind;
};

// What makes the four statistics lists differ: one window serves all of them.
struct StatisticsDescription
{
    QString objectName; // of the window
    QString caption;
    QString table;
    QString layoutKey;
    QString orderBy;
    QString exportTitle;
    QString reportTemplate;
    bool hasDateRange = false; // on the edit date, before the criteria
    QString typeTree;          // t_treecode kind the type box picks from
    QList<GridColumn> columns;
    QList<StatisticsCriterion> criteria;
};

const StatisticsDescription &sampleRecordStatistics();
const StatisticsDescription &catalogueStatistics();
const StatisticsDescription &clientStatistics();
const StatisticsDescription &supplierStatistics();

// What the criteria form holds when 查询 is pressed.
struct StatisticsCriteria
{
    QDate from; // invalid: the box is unticked
    QDate to;
    QStringList texts; // one per criterion of the description, as typed
};

namespace StatisticsQuery {

// Blank criteria add nothing; a type takes in its sub-types.
SqlFilter filter(const StatisticsDescription &description, const StatisticsCriteria &criteria,
                 const SqlDialect &dialect);
QString select(const StatisticsDescription &description, const SqlFilter &filter);
// The printed line of the date range: "日    期：自 2024-03-01 至 记帐最后一天".
QString dateMemo(const StatisticsCriteria &criteria);

} // namespace StatisticsQuery
