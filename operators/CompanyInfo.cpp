#include "operators/CompanyInfo.h"

#include "core/DataDm.h"
#include "core/Transaction.h"

#include <QSqlQuery>

namespace CompanyInfo {

const QStringList &columns()
{
    static const QStringList names{QStringLiteral("F_Code"),      QStringLiteral("F_Name"),
                                   QStringLiteral("F_Manager"),   QStringLiteral("F_Phone"),
                                   QStringLiteral("F_HandPhone"), QStringLiteral("F_Homepage"),
                                   QStringLiteral("F_Email"),     QStringLiteral("F_BakPath"),
                                   QStringLiteral("F_Enroler"),   QStringLiteral("F_Mem")};
    return names;
}

std::optional<QVariantMap> load(TdmData &dm, QString *error)
{
    QSqlQuery row = dm.runQuiet(
        QStringLiteral("select %1 from SysInfo order by F_ID").arg(columns().join(u',')), {},
        error);
    if (!row.isActive())
        return std::nullopt;
    const bool found = row.next();
    QVariantMap values;
    for (int i = 0; i < columns().size(); ++i)
        values.insert(columns().at(i), found ? row.value(i).toString() : QString());
    return values;
}

bool save(TdmData &dm, const QVariantMap &values, QString *error)
{
    QStringList written;
    QVariantList bound;
    for (const QString &column : columns()) {
        if (values.contains(column)) {
            written << column;
            bound << values.value(column);
        }
    }
    if (written.isEmpty())
        return true;
    Transaction transaction(dm.database());
    if (!transaction.began(error))
        return false;
    // The table holds one row; every row there is says the same.
    QSqlQuery update = dm.runQuiet(
        QStringLiteral("update SysInfo set %1 = ?").arg(written.join(QStringLiteral(" = ?, "))),
        bound, error);
    if (!update.isActive())
        return false;
    if (update.numRowsAffected() == 0 &&
        !dm.insertQuiet(
            QStringLiteral("insert into SysInfo(%1) values(%2)")
                .arg(written.join(QStringLiteral(", ")),
                     QStringList(written.size(), QStringLiteral("?")).join(QStringLiteral(", "))),
            bound, error))
        return false;
    return transaction.commit(error);
}

} // namespace CompanyInfo
