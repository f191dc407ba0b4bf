#include "operators/OperatorStore.h"

#include "core/DataDm.h"
#include "core/PassHash.h"
#include "core/Session.h"
#include "core/SqlFilter.h"
#include "core/Transaction.h"

#include <QSqlQuery>

namespace OperatorStore {

namespace {

const QString kNoHash = QStringLiteral("the password could not be hashed");

bool run(TdmData &dm, const QString &sql, const QVariantList &values, QString *error)
{
    return dm.runQuiet(sql, values, error).isActive();
}

} // namespace

bool isAdmin(const QString &name)
{
    return Session::isAdminName(name);
}

QString listSql(const SqlDialect &dialect, bool includeDisabled)
{
    SqlFilter filter(dialect, QStringLiteral("OperList"));
    if (!includeDisabled)
        filter.add(QStringLiteral("coalesce(F_Flag, %1) = %1").arg(dialect.falseLiteral()));
    return QStringLiteral("select * from OperList ") + filter.where();
}

QStringList offeredRights(TdmData &dm)
{
    return dm.FillCombo(QStringLiteral("select F_name from Limits where F_flag = ? order by F_ID"),
                        {true});
}

QStringList grantedRights(TdmData &dm, const QString &name)
{
    return dm.FillCombo(QStringLiteral("select F_lmtName from OperLimit "
                                       "where lower(F_OperName) = lower(?) order by F_ID"),
                        {name.trimmed()});
}

SaveResult save(TdmData &dm, const OperatorEntry &entry, qint64 *savedId, QString *error)
{
    const QString name = entry.name.trimmed();
    if (name.isEmpty())
        return SaveResult::EmptyName;
    QVariantMap values{{QStringLiteral("F_Name"), name},
                       {QStringLiteral("F_Mem"), entry.memo},
                       {QStringLiteral("F_Flag"), entry.disabled},
                       {QStringLiteral("F_xtFlag"), entry.ownRecordsOnly}};
    if (entry.password) {
        const QString hash = PassHash::hash(*entry.password);
        if (hash.isEmpty()) {
            *error = kNoHash;
            return SaveResult::Failed;
        }
        values.insert(QStringLiteral("F_PassWord"), hash);
    }

    Transaction transaction(dm.database());
    // Two workstations adding one name at once: the second waits and finds it taken.
    if (!transaction.began(error) ||
        !run(dm, dm.dialect().lockForWriting(QStringLiteral("OperList")), {}, error))
        return SaveResult::Failed;
    // Names compare as the login compares them: "Bob" and "bob" are one operator.
    QSqlQuery same = dm.runQuiet(
        QStringLiteral("select F_ID from OperList where lower(F_Name) = lower(?)"), {name}, error);
    if (!same.isActive())
        return SaveResult::Failed;
    while (same.next()) {
        if (same.value(0).toLongLong() != entry.id)
            return SaveResult::DuplicateName;
    }
    QString oldName = name;
    if (entry.id > 0) {
        QSqlQuery old = dm.runQuiet(QStringLiteral("select F_Name from OperList where F_ID = ?"),
                                    {entry.id}, error);
        if (!old.isActive())
            return SaveResult::Failed;
        if (!old.next()) {
            *error = QStringLiteral("the operator has been deleted meanwhile");
            return SaveResult::Failed;
        }
        oldName = old.value(0).toString().trimmed();
    }
    // The journal keeps the descriptive fields; a password never enters it.
    RecordWriter writer = dm.writer(entry.id > 0 ? Journal::kChanged : Journal::kAdded,
                                    QStringLiteral("操作员 ") + name);
    std::optional<qint64> key = entry.id;
    if (entry.id > 0 ? !writer.update(QStringLiteral("OperList"), entry.id, values, error)
                     : !(key = writer.insert(QStringLiteral("OperList"), values, error)))
        return SaveResult::Failed;
    // Rows left under either name would hand rights to whoever is named so next.
    if (!run(dm,
             QStringLiteral("delete from OperLimit where lower(F_OperName) = lower(?) "
                            "or lower(F_OperName) = lower(?)"),
             {name, oldName}, error))
        return SaveResult::Failed;
    for (const QString &right : entry.rights) {
        if (!run(dm, QStringLiteral("insert into OperLimit(F_OperName, F_lmtName) values(?, ?)"),
                 {name, right}, error))
            return SaveResult::Failed;
    }
    if (!transaction.commit(error))
        return SaveResult::Failed;
    *savedId = *key;
    return SaveResult::Saved;
}

bool remove(TdmData &dm, qint64 id, QString *error)
{
    Transaction transaction(dm.database());
    if (!transaction.began(error))
        return false;
    QSqlQuery row =
        dm.runQuiet(QStringLiteral("select F_Name from OperList where F_ID = ?"), {id}, error);
    if (!row.isActive())
        return false;
    if (row.next()) {
        const QString name = row.value(0).toString().trimmed();
        if (!run(dm, QStringLiteral("delete from OperLimit where lower(F_OperName) = lower(?)"),
                 {name}, error) ||
            !dm.writer(Journal::kDeleted, QStringLiteral("操作员 ") + name)
                 .remove(QStringLiteral("OperList"), id, error))
            return false;
    }
    return transaction.commit(error);
}

PasswordChange changePassword(TdmData &dm, const QString &name, const QString &oldPassword,
                              const QString &newPassword, const QString &repeated, QString *error)
{
    QSqlQuery row = dm.runQuiet(
        QStringLiteral("select F_ID, F_PassWord from OperList where lower(F_Name) = lower(?)"),
        {name.trimmed()}, error);
    if (!row.isActive())
        return PasswordChange::Failed;
    if (!row.next())
        return PasswordChange::NoOperator;
    const qint64 id = row.value(0).toLongLong();
    if (!PassHash::verify(row.value(1).toString(), oldPassword))
        return PasswordChange::WrongOldPassword;
    if (newPassword.trimmed() != repeated.trimmed())
        return PasswordChange::NewPasswordsDiffer;
    const QString hash = PassHash::hash(newPassword);
    if (hash.isEmpty()) {
        *error = kNoHash;
        return PasswordChange::Failed;
    }
    Transaction transaction(dm.database());
    if (!transaction.began(error) ||
        !run(dm, QStringLiteral("update OperList set F_PassWord = ? where F_ID = ?"), {hash, id},
             error) ||
        !transaction.commit(error))
        return PasswordChange::Failed;
    return PasswordChange::Changed;
}

void followChange(TdmData &dm, const QString &oldName, const QString &newName)
{
    Session &session = dm.session();
    if (session.operatorName().compare(oldName.trimmed(), Qt::CaseInsensitive) != 0)
        return;
    const QString name = newName.trimmed();
    const bool renamed = name != oldName.trimmed();
    if (renamed && dm.config().curOperName().compare(oldName.trimmed(), Qt::CaseInsensitive) == 0)
        dm.config().setCurOperName(name);
    session.logIn(renamed ? name : session.typedName(), dm.rightsOf(name));
}

} // namespace OperatorStore
