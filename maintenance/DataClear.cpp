#include "maintenance/DataClear.h"

#include "core/DataDm.h"
#include "core/Transaction.h"
#include "register/PictureStore.h"

#include <QSqlQuery>

namespace DataClear {

const QList<Choice> &choices()
{
    const auto tree = [](const char *caption, const char *flag) {
        return Choice{QString::fromUtf8(caption),
                      QStringLiteral("delete from t_treecode where F_flag = ?"),
                      {QString::fromLatin1(flag)}};
    };
    const auto table = [](const char *caption, const char *name) {
        return Choice{QString::fromUtf8(caption),
                      QStringLiteral("delete from ") + QString::fromLatin1(name),
                      {}};
    };
    static const QList<Choice> list = {
        table("样品记录", "GoodMain"),    table("图片信息", "T_ImageREC"),
        table("样品档案", "T_goods"),     table("客户档案", "T_client"),
        table("供应商档案", "T_suppler"), tree("样品类型", "type"),
        tree("客户类型", "clttype"),      tree("供应商类型", "suptype"),
        table("选项编码", "t_code"),
    };
    return list;
}

bool clear(TdmData &dm, const QList<int> &chosen, QString *error)
{
    Transaction transaction(dm.database());
    if (!transaction.began(error))
        return false;
    for (int i = 0; i < choices().size(); ++i) {
        if (!chosen.contains(i))
            continue;
        const Choice &c = choices().at(i);
        if (!dm.runQuiet(c.statement, c.values, error).isActive())
            return false;
    }
    QSqlDatabase db = dm.database();
    return PictureStore::dropUnnamed(db, error) && transaction.commit(error);
}

bool removeBlankRows(TdmData &dm, Register which, QString *error)
{
    const QString table = which == Register::Catalogue ? QStringLiteral("T_goods")
                          : which == Register::Clients ? QStringLiteral("T_client")
                                                       : QStringLiteral("T_suppler");
    return dm
        .runQuiet(QStringLiteral("delete from %1 where coalesce(F_code, '') = '' and "
                                 "coalesce(F_name, '') = ''")
                      .arg(table),
                  {}, error)
        .isActive();
}

} // namespace DataClear
