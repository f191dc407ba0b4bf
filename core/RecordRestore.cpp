#include "core/RecordRestore.h"

#include "core/RecordWriter.h"
#include "core/Transaction.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

namespace RecordRestore {

namespace {

const QString kPictures = QStringLiteral("T_ImageREC");

bool codeTaken(QSqlDatabase db, const QString &table, const QString &code, bool *taken,
               QString *error)
{
    const QString column = codeColumn(table);
    *taken = false;
    if (column.isEmpty() || code.trimmed().isEmpty())
        return true;
    QSqlQuery q(db);
    q.prepare(
        QStringLiteral("select count(*) from %1 where lower(%2) = lower(?)").arg(table, column));
    q.addBindValue(code.trimmed());
    if (!q.exec() || !q.next()) {
        *error = q.lastError().text();
        return false;
    }
    *taken = q.value(0).toLongLong() > 0;
    return true;
}

} // namespace

QString codeColumn(const QString &table)
{
    if (table.compare(u"GoodMain", Qt::CaseInsensitive) == 0)
        return QStringLiteral("F_goodCode");
    for (const char *name : {"T_client", "T_suppler", "T_goods"}) {
        if (table.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return QStringLiteral("F_Code");
    }
    return {};
}

bool revertTo(QSqlDatabase db, const QString &operatorName, const QString &table, qint64 rowId,
              qint64 changeId, QString *error)
{
    Transaction transaction(db);
    if (!transaction.began(error))
        return false;
    RecordWriter writer(db, operatorName, Journal::kRestored);
    const std::optional<QVariantMap> current = writer.readRow(table, rowId, error);
    if (!current)
        return false;
    if (current->isEmpty()) {
        *error = QStringLiteral("the record has been deleted");
        return false;
    }
    const std::optional<QList<Journal::Change>> history =
        Journal::historyOf(db, table, rowId, error);
    if (!history)
        return false;
    QVariantMap version = Journal::versionAfter(*current, *history, changeId);
    version.remove(QStringLiteral("F_ID"));
    const QString code = codeColumn(table);
    writer.setSummary(code.isEmpty() ? QString() : version.value(code).toString());
    return writer.update(table, rowId, version, error) && transaction.commit(error);
}

Undeleted undelete(QSqlDatabase db, const QString &operatorName, const Journal::Change &deletion,
                   const QString &newCode, QString *error)
{
    Transaction transaction(db);
    if (!transaction.began(error))
        return Undeleted::Failed;
    QVariantMap row = Journal::decoded(deletion.table, deletion.before);
    const qint64 id = row.take(QStringLiteral("F_ID")).toLongLong();
    const QString column = codeColumn(deletion.table);
    if (!column.isEmpty() && !newCode.trimmed().isEmpty())
        row.insert(column, newCode.trimmed());
    bool taken = false;
    if (!codeTaken(db, deletion.table, row.value(column).toString(), &taken, error))
        return Undeleted::Failed;
    if (taken)
        return Undeleted::CodeTaken;
    RecordWriter writer(db, operatorName, Journal::kRestored,
                        column.isEmpty() ? QString() : row.value(column).toString());
    if (!writer.insert(deletion.table, row, error, id))
        return Undeleted::Failed;
    if (deletion.table.compare(u"GoodMain", Qt::CaseInsensitive) == 0) {
        const std::optional<QList<Journal::Change>> pictures = Journal::deletedWith(
            db, deletion.changeSet, kPictures, QStringLiteral("F_mainID"), id, error);
        if (!pictures)
            return Undeleted::Failed;
        for (const Journal::Change &picture : *pictures) {
            QVariantMap values = Journal::decoded(kPictures, picture.before);
            const qint64 pictureId = values.take(QStringLiteral("F_ID")).toLongLong();
            if (!writer.insert(kPictures, values, error, pictureId))
                return Undeleted::Failed;
        }
    }
    return transaction.commit(error) ? Undeleted::Done : Undeleted::Failed;
}

std::optional<QList<Journal::Change>> changedSince(QSqlDatabase db, qint64 changeSet,
                                                   QString *error)
{
    std::optional<QList<Journal::Change>> rows = Journal::rowsOf(db, changeSet, error);
    if (!rows)
        return std::nullopt;
    QSqlQuery later(db);
    later.prepare(QStringLiteral("select count(*) from cfg_changerow where F_tablename = ? and "
                                 "F_rowID = ? and F_ID > ?"));
    QList<Journal::Change> touched;
    for (const Journal::Change &row : std::as_const(*rows)) {
        later.addBindValue(row.table);
        later.addBindValue(row.rowId);
        later.addBindValue(row.id);
        if (!later.exec() || !later.next()) {
            *error = later.lastError().text();
            return std::nullopt;
        }
        if (later.value(0).toLongLong() > 0)
            touched << row;
    }
    return touched;
}

bool undoSet(QSqlDatabase db, const QString &operatorName, qint64 changeSet, bool evenChanged,
             QString *error)
{
    Transaction transaction(db);
    if (!transaction.began(error))
        return false;
    const std::optional<QList<Journal::Change>> rows = Journal::rowsOf(db, changeSet, error);
    const std::optional<QList<Journal::Change>> touched =
        rows ? changedSince(db, changeSet, error) : std::nullopt;
    if (!touched)
        return false;
    QSet<qint64> skipped;
    if (!evenChanged) {
        for (const Journal::Change &c : *touched)
            skipped.insert(c.id);
    }
    RecordWriter writer(
        db, operatorName, Journal::kRestored,
        QStringLiteral("撤销 %1 %2").arg(rows->value(0).kind, rows->value(0).summary));
    writer.setUndoes(changeSet);
    // Newest first, so that a row written twice in the set ends as it was before it.
    for (auto it = rows->crbegin(); it != rows->crend(); ++it) {
        const Journal::Change &c = *it;
        if (skipped.contains(c.id))
            continue;
        bool ok = true;
        switch (c.action) {
        case Journal::Action::Insert:
            ok = writer.remove(c.table, c.rowId, error);
            break;
        case Journal::Action::Update: {
            const std::optional<QVariantMap> current = writer.readRow(c.table, c.rowId, error);
            ok = current.has_value();
            // A row deleted since stays deleted.
            if (ok && !current->isEmpty())
                ok = writer.update(c.table, c.rowId, Journal::decoded(c.table, c.before), error);
            break;
        }
        case Journal::Action::Delete: {
            QVariantMap row = Journal::decoded(c.table, c.before);
            row.remove(QStringLiteral("F_ID"));
            const std::optional<QVariantMap> current = writer.readRow(c.table, c.rowId, error);
            ok = current.has_value() &&
                 (!current->isEmpty() || writer.insert(c.table, row, error, c.rowId));
            break;
        }
        }
        if (!ok)
            return false;
    }
    return transaction.commit(error);
}

std::optional<qint64> lastOpenSet(QSqlDatabase db, const QString &kind, QString *error)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("select coalesce(max(F_ID), 0) from cfg_changeset s where F_kind = ? "
                             "and not exists (select 1 from cfg_changeset u where "
                             "u.F_undoes = s.F_ID)"));
    q.addBindValue(kind);
    if (!q.exec() || !q.next()) {
        *error = q.lastError().text();
        return std::nullopt;
    }
    return q.value(0).toLongLong();
}

} // namespace RecordRestore
