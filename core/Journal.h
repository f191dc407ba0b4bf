#pragma once

#include <QJsonObject>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariantMap>
#include <optional>

// The change journal: every write of a register row leaves a change set (who, where, when,
// what kind of work) and, per row, the columns it changed as they were before and after.
// This reads it and turns its stored values back into the register's.
namespace Journal {

inline const QString kAdded = QStringLiteral("新增");
inline const QString kChanged = QStringLiteral("修改");
inline const QString kDeleted = QStringLiteral("删除");
inline const QString kImported = QStringLiteral("导入");
inline const QString kBulkEdit = QStringLiteral("批量修改");
inline const QString kRenamed = QStringLiteral("改名");
inline const QString kCleared = QStringLiteral("清理");
inline const QString kRestored = QStringLiteral("恢复");

enum class Action { Insert = 0, Update = 1, Delete = 2 };

// Whether writes of `table` are journaled: the registers, their pictures, code lists, type
// nodes and operators.
bool isJournaled(const QString &table);
// Columns never journaled (passwords).
bool isSecret(const QString &table, const QString &column);

// A value as the journal keeps it, and back: equal values of one column encode equally
// whichever engine or model read them (a date as text or as a date, 0/1 or a boolean).
QJsonValue encode(const QString &table, const QString &column, const QVariant &value);
QVariant decode(const QString &table, const QString &column, const QJsonValue &value);
// The encoded columns of `row` (secret ones left out).
QJsonObject image(const QString &table, const QVariantMap &row);
QVariantMap decoded(const QString &table, const QJsonObject &image);

// One row's change.
struct Change
{
    qint64 id = 0; // of its journal row
    qint64 changeSet = 0;
    QString stamp;
    QString operatorName;
    QString station;
    QString kind;
    QString summary;
    QString table;
    qint64 rowId = 0;
    Action action = Action::Update;
    QJsonObject before;
    QJsonObject after;
};

// The changes of row `rowId` of `table`, newest first.
std::optional<QList<Change>> historyOf(QSqlDatabase db, const QString &table, qint64 rowId,
                                       QString *error);
// The row's columns as they stood right after `change` (one of historyOf's): the current row
// with every later change taken back.
QVariantMap versionAfter(const QVariantMap &current, const QList<Change> &history, qint64 changeId);

// The deletions of rows of `table` that are not in it now, newest first; each `before` holds
// the whole row.
std::optional<QList<Change>> deletedRows(QSqlDatabase db, const QString &table, QString *error);
// The rows of `table` deleted in change set `changeSet` whose `column` held `value`.
std::optional<QList<Change>> deletedWith(QSqlDatabase db, qint64 changeSet, const QString &table,
                                         const QString &column, const QVariant &value,
                                         QString *error);

// The rows of change set `changeSet`, in the order they were written.
std::optional<QList<Change>> rowsOf(QSqlDatabase db, qint64 changeSet, QString *error);

// The latest change of a row: who and when, for telling that someone else changed it.
std::optional<Change> latestChange(QSqlDatabase db, const QString &table, qint64 rowId,
                                   QString *error);

} // namespace Journal
