#pragma once

#include "core/Journal.h"

#include <QSqlDatabase>
#include <QString>

// Bringing records back from the change journal, each as a new change (kind 恢复) in one
// transaction: a former version of a row, or a deleted row under its own key.
namespace RecordRestore {

// Writes row `rowId` of `table` back as it stood right after journal row `changeId`.
bool revertTo(QSqlDatabase db, const QString &operatorName, const QString &table, qint64 rowId,
              qint64 changeId, QString *error);

// The column that holds a table's code, which a restored row must not share with another row;
// empty for tables without one.
QString codeColumn(const QString &table);

enum class Undeleted { Done, CodeTaken, Failed };

// Inserts the row that `deletion` removed under its own key, with the picture rows its change
// set removed with a sample. CodeTaken, with nothing written, when another row holds its code
// now; `newCode` (when not empty) replaces the code.
Undeleted undelete(QSqlDatabase db, const QString &operatorName, const Journal::Change &deletion,
                   const QString &newCode, QString *error);

// The rows of change set `changeSet` that a later change has touched since.
std::optional<QList<Journal::Change>> changedSince(QSqlDatabase db, qint64 changeSet,
                                                   QString *error);

// Takes change set `changeSet` back as a new change: rows it added are deleted, rows it changed
// get their former values, rows it deleted come back. Rows changed since are left as they are
// unless `evenChanged`.
bool undoSet(QSqlDatabase db, const QString &operatorName, qint64 changeSet, bool evenChanged,
             QString *error);

// The latest change set of `kind` not taken back yet; 0 when there is none.
std::optional<qint64> lastOpenSet(QSqlDatabase db, const QString &kind, QString *error);

} // namespace RecordRestore
