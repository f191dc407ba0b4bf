#pragma once

#include "core/Journal.h"
#include "core/SqlDialect.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <optional>

// A stored row that differs from what an editor read: the columns that differ, the row as
// stored now (none: deleted meanwhile) and who changed it last, when the journal knows.
struct StaleRecord
{
    bool gone = false;
    QStringList columns;
    QVariantMap stored;
    QString operatorName;
    QString stamp;

    bool isStale() const { return gone || !columns.isEmpty(); }
};

// The one way rows of the registers are written. Runs inside the caller's transaction and
// records each insert, update and delete in the change journal in that same transaction, so
// a write that fails or is rolled back leaves neither the row nor its journal. The change set
// (operator, workstation, time, kind, summary) is made with the first row it records.
class RecordWriter
{
public:
    RecordWriter(QSqlDatabase db, const QString &operatorName, const QString &kind,
                 const QString &summary = {});

    void setSummary(const QString &summary) { m_summary = summary; }
    // The change set takes back change set `changeSet`.
    void setUndoes(qint64 changeSet) { m_undoes = changeSet; }

    // Inserts a row (`id` 0: the database gives the key; else under that key, bringing a
    // deleted row back) and returns its key.
    std::optional<qint64> insert(const QString &table, const QVariantMap &values, QString *error,
                                 qint64 id = 0);
    // Sets `values` (column → value) in row `id`; a row gone meanwhile is an error.
    bool update(const QString &table, qint64 id, const QVariantMap &values, QString *error);
    bool remove(const QString &table, qint64 id, QString *error);
    // Removes each row of `table` that `where` ("F_cltID = ?") selects.
    bool removeWhere(const QString &table, const QString &where, const QVariantList &values,
                     QString *error);
    // Gives `column` of each row of `table` that `where` selects the value `change` makes of
    // what it holds.
    bool updateEach(const QString &table, const QString &where, const QVariantList &values,
                    const QString &column, const std::function<QVariant(const QVariant &)> &change,
                    QString *error);
    // A change set without rows, for work on whole tables (clearing, a restore): its summary
    // says what it did.
    bool recordSet(QString *error);

    // The change set made so far, 0 before the first row.
    qint64 changeSet() const { return m_set; }

    // Row `id` as stored (column → value, under the schema's names), read for writing: no
    // other transaction changes it before this one ends. Empty when there is no such row.
    std::optional<QVariantMap> readRow(const QString &table, qint64 id, QString *error);
    // Compares `asRead` (column → value, as an editor read them) with the stored row, inside
    // this transaction, and says what differs.
    bool checkUnchanged(const QString &table, qint64 id, const QVariantMap &asRead,
                        StaleRecord *stale, QString *error);

private:
    bool ensureSet(QString *error);
    bool journal(const QString &table, qint64 id, Journal::Action action, const QJsonObject &before,
                 const QJsonObject &after, QString *error);
    QString schemaName(const QString &table, QString *error) const;

    QSqlDatabase m_db;
    SqlDialect m_dialect;
    QString m_operator;
    QString m_kind;
    QString m_summary;
    qint64 m_set = 0;
    qint64 m_undoes = 0;
    std::optional<QSqlQuery> m_journalRow;
    // The journal row written last, which a second write of the same row amends.
    struct Written
    {
        QString table;
        qint64 rowId;
        qint64 id;
        Journal::Action action;
        QJsonObject before;
        QJsonObject after;
    };
    std::optional<Written> m_last;
};
