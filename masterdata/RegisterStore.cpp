#include "masterdata/RegisterStore.h"

#include "core/DataDm.h"
#include "core/Transaction.h"
#include "masterdata/RegisterDescription.h"
#include "masterdata/TreeCode.h"

#include <QSqlQuery>

namespace RegisterStore {

namespace {

QString summaryOf(const RegisterDescription &register_, const QString &code,
                  const QVariantMap &values)
{
    return QStringLiteral("%1 %2 %3")
        .arg(register_.noun, code, values.value(QStringLiteral("F_Name")).toString())
        .trimmed();
}

} // namespace

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
        filter.addLike(search.column,
                       (search.codeKind.isEmpty() ? query.text : query.value).trimmed(),
                       search.contains ? SqlFilter::Match::Contains : SqlFilter::Match::StartsWith);
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
                const QVariantMap &values, qint64 *savedId, QString *error,
                const QVariantMap &asRead, StaleRecord *stale)
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

    QVariantMap written;
    for (const RegisterField &field : register_.fields) {
        if ((field.column == u"F_Code" && id > 0) || !values.contains(field.column))
            continue;
        written.insert(field.column, values.value(field.column));
    }
    Transaction transaction(dm.database());
    if (!transaction.began(error))
        return SaveResult::Failed;
    RecordWriter writer =
        dm.writer(id > 0 ? Journal::kChanged : Journal::kAdded, summaryOf(register_, code, values));
    if (id > 0 && stale) {
        if (!writer.checkUnchanged(register_.table, id, asRead, stale, error))
            return SaveResult::Failed;
        if (stale->isStale())
            return SaveResult::Stale;
    }
    std::optional<qint64> key = id;
    if (id > 0 ? !writer.update(register_.table, id, written, error)
               : !(key = writer.insert(register_.table, written, error)))
        return SaveResult::Failed;
    if (!transaction.commit(error))
        return SaveResult::Failed;
    *savedId = *key;
    return SaveResult::Saved;
}

bool remove(TdmData &dm, const RegisterDescription &register_, qint64 id, QString *error)
{
    Transaction transaction(dm.database());
    if (!transaction.began(error))
        return false;
    QSqlQuery named = dm.runQuiet(
        QStringLiteral("select F_Code, F_Name from %1 where F_ID = ?").arg(register_.table), {id},
        error);
    if (!named.isActive())
        return false;
    const QString code = named.next() ? named.value(0).toString() : QString();
    const QVariantMap values{{QStringLiteral("F_Name"), named.value(1)}};
    named.finish();
    RecordWriter writer = dm.writer(Journal::kDeleted, summaryOf(register_, code, values));
    return writer.remove(register_.table, id, error) && transaction.commit(error);
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
