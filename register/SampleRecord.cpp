#include "register/SampleRecord.h"

#include "core/DataDm.h"
#include "core/Transaction.h"
#include "register/SampleFields.h"

#include <QSqlQuery>

namespace SampleRecord {

namespace {

QString summaryOf(const QVariantMap &values)
{
    return QStringLiteral("样品 %1 %2")
        .arg(values.value(QStringLiteral("F_goodCode")).toString(),
             values.value(QStringLiteral("F_goodName")).toString())
        .trimmed();
}

} // namespace

const QStringList &columns()
{
    static const QStringList list = [] {
        QStringList columns;
        for (const SampleField &field : sampleFields())
            columns << field.column;
        return columns;
    }();
    return list;
}

std::optional<qint64> save(TdmData &dm, qint64 id, const QVariantMap &values, QString *error,
                           const QVariantMap &asRead, StaleRecord *stale)
{
    QVariantMap written;
    for (const QString &column : columns()) {
        if (values.contains(column))
            written.insert(column, values.value(column));
    }
    Transaction transaction(dm.database());
    if (!transaction.began(error))
        return std::nullopt;
    RecordWriter writer =
        dm.writer(id > 0 ? Journal::kChanged : Journal::kAdded, summaryOf(values));
    if (id > 0 && stale) {
        if (!writer.checkUnchanged(QStringLiteral("GoodMain"), id, asRead, stale, error) ||
            stale->isStale())
            return std::nullopt;
    }
    if (id > 0) {
        if (!writer.update(QStringLiteral("GoodMain"), id, written, error))
            return std::nullopt;
    } else {
        const std::optional<qint64> key = writer.insert(QStringLiteral("GoodMain"), written, error);
        if (!key)
            return std::nullopt;
        id = *key;
    }
    // The group number is the key the row really has, known only now for a new one.
    if (!writer.update(QStringLiteral("GoodMain"), id, {{QStringLiteral("F_cltID"), id}}, error))
        return std::nullopt;
    if (!transaction.commit(error))
        return std::nullopt;
    return id;
}

bool removeGroup(TdmData &dm, qint64 id, qint64 cltId, QString *error)
{
    const QString rows = cltId > 0 ? QStringLiteral("F_cltID = ?") : QStringLiteral("F_ID = ?");
    const QVariant which = cltId > 0 ? cltId : id;
    Transaction transaction(dm.database());
    if (!transaction.began(error))
        return false;
    QSqlQuery named = dm.runQuiet(
        QStringLiteral("select F_goodCode, F_goodName from GoodMain where F_ID = ?"), {id}, error);
    if (!named.isActive())
        return false;
    const QVariantMap summary = named.next()
                                    ? QVariantMap{{QStringLiteral("F_goodCode"), named.value(0)},
                                                  {QStringLiteral("F_goodName"), named.value(1)}}
                                    : QVariantMap();
    named.finish();
    RecordWriter writer = dm.writer(Journal::kDeleted, summaryOf(summary));
    return writer.removeWhere(
               QStringLiteral("T_ImageREC"),
               QStringLiteral("F_mainID in (select F_ID from GoodMain where %1)").arg(rows),
               {which}, error) &&
           writer.removeWhere(QStringLiteral("GoodMain"), rows, {which}, error) &&
           transaction.commit(error);
}

std::optional<qint64> bulkEdit(TdmData &dm, const QList<qint64> &ids, const QString &column,
                               const QVariant &value, QString *error)
{
    if (!columns().contains(column)) {
        *error = QStringLiteral("%1 is not a column of the sample editor").arg(column);
        return std::nullopt;
    }
    Transaction transaction(dm.database());
    if (!transaction.began(error))
        return std::nullopt;
    RecordWriter writer =
        dm.writer(Journal::kBulkEdit, QStringLiteral("%1 个样品的%2 = %3")
                                          .arg(ids.size())
                                          .arg(sampleField(column)->caption, value.toString()));
    for (qint64 id : ids) {
        if (!writer.update(QStringLiteral("GoodMain"), id, {{column, value}}, error))
            return std::nullopt;
    }
    if (!transaction.commit(error))
        return std::nullopt;
    return writer.changeSet();
}

} // namespace SampleRecord
