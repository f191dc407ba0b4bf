#include "register/SampleScan.h"

#include "core/CodeLookup.h"

namespace SampleScan {

bool find(const QSqlDatabase &db, const QString &code, int limit, QList<qint64> *ids,
          QString *error)
{
    return CodeLookup::find(db, QStringLiteral("GoodMain"),
                            {QStringLiteral("F_goodCode"), QStringLiteral("F_TMcode")}, code, limit,
                            ids, error);
}

} // namespace SampleScan
