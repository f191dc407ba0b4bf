#include "masterdata/RegisterStore.h"

#include "core/DataDm.h"
#include "core/Transaction.h"
#include "masterdata/RegisterDescription.h"
#include "masterdata/TreeCode.h"

#include <QSqlQuery>

namespace RegisterStore {

QString listSql(const RegisterDescription &register_, const SqlFilter &filter)
{
    return QStringLiteral("select * from ") + register_.table + u' ' + filter.where();
}

SqlFilter listFilter(const RegisterDescription &register_, const RegisterQuery &query,
                     const SqlDialect &dialect)
{
    SqlFilter filter(dialect, register_.table);
    if (query.search >= 0 && query.search < register_.searches.size()) {
        const RegisterSearch &search = register_.searches.at(query.search);
        // A search chosen with nothing typed still leaves out entries without that column.
        const SqlFilter::Match match =
            search.contains ? SqlFilter::Match::Contains : SqlFilter::Match::StartsWith;
        if (search.codeKind.isEmpty())
            // Names are found by their pinyin too, so the pickers take initials.
            filter.addNameLike(search.column, query.text.trimmed(), match);
        else
            filter.addLike(search.column, query.value.trimmed(), match);
    }
    addTypeFilter(filter, QStringLiteral("F_Type"), query.typeLikeCode);
    if (!query.includeDisabled)
        filter.add(QStringLiteral("coalesce(F_useFlag, %1) = %1").arg(dialect.falseLiteral()));
    return filter;
}

ListQuery wholeList(const RegisterDescription &register_, const SqlDialect &dialect)
{
    const SqlFilter filter = listFilter(register_, RegisterQuery{}, dialect);
    ListQuery query;
    query.select = listSql(register_, filter);
    query.values = filter.values();
    query.orderBy = kListOrder;
    return query;
}

SaveResult save(TdmData &dm, const RegisterDescription &register_, qint64 id,
                const QVariantMap &values, qint64 *savedId, QString *error)
{
    const QString code = values.value(QStringLiteral("F_Code")).toString().trimmed();
    if (code.isEmpty())
        return SaveResult::EmptyCode;
    // Codes compare as the user reads them: "a1" and "A1" are one code.
    QSqlQuery same = dm.runQuiet(
        QStringLiteral("select F_ID from %1 where lower(F_Code) = lower(?)").arg(register_.table),
        {code}, error);
    if (!same.isActive())
        return SaveResult::Failed;
    while (same.next()) {
        if (same.value(0).toLongLong() != id)
            return SaveResult::DuplicateCode;
    }

    QStringList columns;
    QVariantList bound;
    for (const RegisterField &field : register_.fields) {
        if ((field.column == u"F_Code" && id > 0) || !values.contains(field.column))
            continue;
        columns << field.column;
        bound << values.value(field.column);
    }
    Transaction transaction(dm.database());
    if (!transaction.began(error))
        return SaveResult::Failed;
    const std::optional<qint64> key = dm.writeRowQuiet(register_.table, id, columns, bound, error);
    if (!key)
        return SaveResult::Failed;
    if (!transaction.commit(error))
        return SaveResult::Failed;
    *savedId = *key;
    return SaveResult::Saved;
}

bool hasNameLike(TdmData &dm, const RegisterDescription &register_, const QString &text,
                 SqlFilter::Match match)
{
    SqlFilter filter(dm.dialect());
    filter.addLike(QStringLiteral("F_Name"), text, match);
    return dm.GetIntValue(QStringLiteral("select count(*) from ") + register_.table + u' ' +
                              filter.where(),
                          filter.values()) > 0;
}

} // namespace RegisterStore
