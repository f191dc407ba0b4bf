#pragma once

#include "core/DataSource.h"
#include "core/ListQuery.h"
#include "core/SqlDialect.h"

#include <QObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>
#include <atomic>

// Reads what a list needs beside its pages in hand — a typed search's first page, the count
// and sums, where a row is — on a connection of its own and a thread of its own, so typing
// never waits for the database. The window's thread asks by plain calls, which queue the work;
// the answers come by signal. A newer request makes older ones void: they are skipped, and a
// statement already running is interrupted (SQLite) or cancelled (PostgreSQL).
class BackgroundListReader : public QObject
{
    Q_OBJECT

public:
    explicit BackgroundListReader(const DataSource &source);
    ~BackgroundListReader() override;

    // Any thread: voids every request up to `generation`.
    void abandonBefore(quint64 generation);

    // Asked from any thread, answered by the signal named beside each.
    // The one row of `sql` (a count, sums): aggregated().
    void aggregate(quint64 generation, const QString &sql, const QVariantList &values);
    // The first `limit` rows of `query` (FirstPageReader): firstPageRead().
    void readFirstPage(quint64 generation, const ListQuery &query, const SqlDialect &dialect,
                       int limit);
    // The row of the list whose key is `key`, -1 when it is not listed: `sql` numbers the rows
    // in the list's order and takes the key as its last value. located().
    void locate(quint64 generation, const QString &sql, const QVariantList &values, qint64 key);
    // How many rows of `query` come after the one whose key is `key`: rowsAfterCounted().
    void countRowsAfter(quint64 generation, const ListQuery &query, const SqlDialect &dialect,
                        qint64 key);

    // The order values of the row at `position` of `query`, `rowCount` rows long, found from
    // `guess` (order values that need not be a row's): the rows before the guess counted, then
    // those between skipped. rowPlaced(), with no values when a statement failed.
    void placeRow(quint64 generation, const ListQuery &query, const SqlDialect &dialect,
                  const QVariantList &guess, int position, int rowCount);

    // countRowsAfter() on `db`, here: -1 when the row is not listed or a statement failed.
    static int rowsAfter(const QSqlDatabase &db, const ListQuery &query, const SqlDialect &dialect,
                         qint64 key);

signals:
    void aggregated(quint64 generation, const QVariantList &results, const QString &error);
    void firstPageRead(quint64 generation, const QStringList &fields, const QVariantList &rows,
                       const QString &error);
    void located(quint64 generation, int row);
    void rowsAfterCounted(quint64 generation, int rowsAfter);
    void rowPlaced(quint64 generation, const QVariantList &guess, int position,
                   const QVariantList &row);

private:
    // Runs `work` on the reader's thread, after what was asked before.
    template <typename Work> void queue(Work work)
    {
        QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
    }
    bool ensureOpen(QString *error);
    QVariantList rowAt(const ListQuery &query, const SqlDialect &dialect, const QVariantList &guess,
                       int position, int rowCount);
    // The rows of `statement`; false when it failed (`error` says why) or the request was
    // voided meanwhile (no error).
    bool readInto(quint64 generation, const PageStatement &statement, QStringList *fields,
                  QVariantList *rows, QString *error);
    // Prepares, binds and runs `sql`; a statement cancelled by mistake runs once more.
    bool execute(QSqlQuery &q, quint64 generation, const QString &sql, const QVariantList &values);

    DataSource m_source;
    QString m_connectionName;
    QSqlDatabase m_db;
    std::atomic<quint64> m_wanted{0};
    std::atomic<quint64> m_running{0};
    std::atomic<void *> m_handle{nullptr};
    void *m_serverCancel = nullptr; // libpq's PGcancel
};
