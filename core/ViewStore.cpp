#include "core/ViewStore.h"

#include "core/Session.h"
#include "core/Transaction.h"

#include <QObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace ViewStore {

namespace {

bool run(QSqlQuery &q, const QString &sql, const QVariantList &values, QString *error)
{
    bool ok = q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    ok = ok && q.exec();
    if (!ok)
        *error = q.lastError().text();
    return ok;
}

// A null text would be bound as null, which no comparison finds: no operator is "".
QString text(const QString &s)
{
    return s.isNull() ? QStringLiteral("") : s;
}

SavedView viewOf(const QSqlQuery &q)
{
    SavedView v;
    v.id = q.value(0).toLongLong();
    v.owner = q.value(1).toString();
    v.window = q.value(2).toString();
    v.name = q.value(3).toString();
    v.shared = q.value(4).toBool();
    v.value = q.value(5).toString();
    return v;
}

const QString kColumns =
    QStringLiteral("select F_ID, F_OperName, F_window, F_name, F_shared, F_value from cfg_view ");

} // namespace

std::optional<QList<SavedView>> list(const QSqlDatabase &db, const QString &window,
                                     const QString &operatorName, QString *error)
{
    QSqlQuery q(db);
    if (!run(q,
             kColumns + QStringLiteral("where F_window = ? and (F_OperName = ? or F_shared = ?) "
                                       "order by F_name, F_OperName"),
             {text(window), text(operatorName), true}, error))
        return std::nullopt;
    QList<SavedView> views;
    while (q.next())
        views << viewOf(q);
    return views;
}

std::optional<SavedView> find(const QSqlDatabase &db, const QString &window, const QString &owner,
                              const QString &name, QString *error)
{
    QSqlQuery q(db);
    if (!run(q, kColumns + QStringLiteral("where F_window = ? and F_OperName = ? and F_name = ?"),
             {text(window), text(owner), text(name)}, error) ||
        !q.next())
        return std::nullopt;
    return viewOf(q);
}

bool save(const QSqlDatabase &db, const SavedView &view, QString *error)
{
    Transaction tx(db);
    QSqlQuery q(db);
    return tx.began(error) &&
           run(q,
               QStringLiteral("delete from cfg_view where F_window = ? and F_OperName = ? and "
                              "F_name = ?"),
               {text(view.window), text(view.owner), text(view.name)}, error) &&
           run(q,
               QStringLiteral("insert into cfg_view(F_OperName, F_window, F_name, F_shared, "
                              "F_value) values(?, ?, ?, ?, ?)"),
               {text(view.owner), text(view.window), text(view.name), view.shared,
                text(view.value)},
               error) &&
           tx.commit(error);
}

bool remove(const QSqlDatabase &db, qint64 id, const QString &operatorName, QString *error)
{
    Transaction tx(db);
    QSqlQuery q(db);
    if (!tx.began(error) ||
        !run(q, QStringLiteral("select F_OperName from cfg_view where F_ID = ?"), {id}, error))
        return false;
    if (!q.next()) {
        *error = QObject::tr("这个视图已被删除。");
        return false;
    }
    if (q.value(0).toString() != operatorName && !Session::isAdminName(operatorName)) {
        *error = QObject::tr("只有视图的创建者或系统管理员才能删除它。");
        return false;
    }
    q.finish();
    return run(q, QStringLiteral("delete from cfg_view where F_ID = ?"), {id}, error) &&
           tx.commit(error);
}

} // namespace ViewStore
