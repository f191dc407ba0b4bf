#pragma once

#include "core/SqlDialect.h"

#include <QString>
#include <QStringList>
#include <optional>

class TdmData;

// One operator as the operator window saves him.
struct OperatorEntry
{
    qint64 id = 0; // 0: a new operator
    QString name;
    // Nothing: the stored password stays.
    std::optional<QString> password;
    QString memo;
    bool disabled = false;
    bool ownRecordsOnly = false; // F_xtFlag, carried along
    // The names (Limits.F_name) of the rights he holds.
    QStringList rights;
};

// Operators, their rights and passwords. Rights rows belong to an operator's name without
// regard to case, as the login reads them.
namespace OperatorStore {

// The system's default operator, in any letter case and with blanks around.
bool isAdmin(const QString &name);

// "select * from OperList where (1=1) … ", disabled operators left out unless asked for.
QString listSql(const SqlDialect &dialect, bool includeDisabled);
inline const QString kListOrder = QStringLiteral("order by F_ID");

// The rights offered for ticking: the active rows of the catalogue, in its order.
QStringList offeredRights(TdmData &dm);
// The names of the rights granted to operator `name`.
QStringList grantedRights(TdmData &dm, const QString &name);

enum class SaveResult { Saved, EmptyName, DuplicateName, Failed };

// Adds (`entry.id` 0) or changes an operator together with his rights, all or nothing. The
// name is stored trimmed; a rename takes his rights rows along. On Saved, `*savedId` is his key.
SaveResult save(TdmData &dm, const OperatorEntry &entry, qint64 *savedId, QString *error);
// Deletes operator `id` together with his rights rows.
bool remove(TdmData &dm, qint64 id, QString *error);

enum class PasswordChange { Changed, NoOperator, WrongOldPassword, NewPasswordsDiffer, Failed };

// Operator `name` replaces his password: `oldPassword` must match the stored one exactly;
// the new one and its repetition compare trimmed, and the new one is stored as typed.
PasswordChange changePassword(TdmData &dm, const QString &name, const QString &oldPassword,
                              const QString &newPassword, const QString &repeated, QString *error);

// After operator `oldName` was changed into `newName` (or deleted: the same name): when he is
// the one logged in, the session reads his name and rights again, so the menus follow.
void followChange(TdmData &dm, const QString &oldName, const QString &newName);

} // namespace OperatorStore
