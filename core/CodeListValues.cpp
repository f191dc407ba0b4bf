#include "core/CodeListValues.h"

#include "core/DataDm.h"

QStringList codeListValues(const QString &kind)
{
    return dmData->FillCombo(QStringLiteral("select F_name from t_code where (F_name <> '') and "
                                            "F_type = ? group by F_name order by min(F_ID)"),
                             {kind});
}
