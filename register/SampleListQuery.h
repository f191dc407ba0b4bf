#pragma once

#include "core/ListQuery.h"
#include "core/SqlDialect.h"
#include "core/SqlFilter.h"

#include <QDate>
#include <QString>
#include <QStringList>

// What the main window's filters say: edit-date range, search field and value, type node and
// list value. Builds the sample list statement and the three grouped statements of the reports.
struct SampleListCriteria
{
    QDate from;           // invalid: open
    QDate to;             // invalid: open
    int searchField = -1; // index into searchFieldCaptions(); -1: none
    QString value;
    bool pinyin = true;   // a Latin value also finds names by their pinyin (zc: 轴承)
    QString typeLikeCode; // empty: the root, no type filter
    int listType = 0;     // index into listTypeCaptions()
    QString listValue;    // empty: 全部
};

struct SampleListStatements
{
    QString listSql;
    QString byClientSql;
    QString bySupplierSql;
    QString byTypeSql;
    QVariantList values; // shared by all four
    PlainScan plainScan; // the list's rows without the search indexes' conditions
};

namespace SampleListQuery {

QStringList searchFieldCaptions();
// The search fields a scanner types into: 样品编号 and 条型码, the codes SampleScan finds.
bool isScanField(int searchField);
QStringList listTypeCaptions();
// t_code kind of each list type; the secrecy level has fixed values instead.
QString listTypeKind(int listType);
// Column titles of the value list for each list type.
QString listTypeTitle(int listType);
QStringList secrecyLevels();

SqlFilter filter(const SampleListCriteria &criteria, const SqlDialect &dialect);
SampleListStatements build(const SampleListCriteria &criteria, const SqlDialect &dialect);
// The statements of the records `filter` selects (the advanced query's).
SampleListStatements build(const SqlFilter &filter);

} // namespace SampleListQuery
