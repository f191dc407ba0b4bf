#include "register/SampleRecord.h"

#include "core/DataDm.h"
#include "core/Transaction.h"
#include "register/PictureStore.h"
#include "register/SampleFields.h"

#include <QSqlQuery>

namespace SampleRecord {

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

std::optional<qint64> save(TdmData &dm, qint64 id, const QVariantMap &values, QString *error)
{
    QStringList written;
    QVariantList bound;
    for (const QString &column : columns()) {
        if (values.contains(column)) {
            written << column;
            bound << values.value(column);
        }
    }
    Transaction transaction(dm.database());
    if (!transaction.began(error))
        return std::nullopt;
    const std::optional<qint64> key =
        dm.writeRowQuiet(QStringLiteral("GoodMain"), id, written, bound, error);
    if (!key)
        return std::nullopt;
    id = *key;
    // The group number is the key the row really has, known only now.
    if (!dm.runQuiet(QStringLiteral("update GoodMain set F_cltID = ? where F_ID = ?"), {id, id},
                     error)
             .isActive())
        return std::nullopt;
    if (!transaction.commit(error))
        return std::nullopt;
    return id;
}

bool removeGroup(TdmData &dm, qint64 id, qint64 cltId, QString *error)
{
    const QString rows = cltId > 0 ? QStringLiteral("F_cltID = ?") : QStringLiteral("F_ID = ?");
    const QVariant which = cltId > 0 ? cltId : id;
    QSqlDatabase db = dm.database();
    Transaction transaction(db);
    return transaction.began(error) &&
           dm.runQuiet(QStringLiteral("delete from T_ImageREC where F_mainID in "
                                      "(select F_ID from GoodMain where %1)")
                           .arg(rows),
                       {which}, error)
               .isActive() &&
           dm.runQuiet(QStringLiteral("delete from GoodMain where %1").arg(rows), {which}, error)
               .isActive() &&
           PictureStore::dropUnnamed(db, error) && transaction.commit(error);
}

} // namespace SampleRecord
