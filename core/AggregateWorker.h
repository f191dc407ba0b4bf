#pragma once

#include "core/DataSource.h"
#include "core/ListQuery.h"
#include "core/SqlDialect.h"

#include <QObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>
#include <atomic>

// Counts and sums a list's statement, or reads its first page, on a connection of its own, off
// the window's thread, so typing never waits for the database. A newer request makes older
// ones void: they are skipped, and a statement already running is interrupted (SQLite) or
// cancelled (PostgreSQL).
class AggregateWorker : public QObject
{
    Q_OBJECT

public:
    explicit AggregateWorker(const DataSource &source);
    ~AggregateWorker() override;

    // Any thread: voids every request up to `generation`.
    void abandonBefore(quint64 generation);

public slots:
    void run(quint64 generation, const QString &sql, const QVariantList &values);
    // Every row of `sql`, each a QVariantList, with the statement's field names.
    void readRows(quint64 generation, const QString &sql, const QVariantList &values);
    // The rows of `firstTry` when it gives `enough` of them, else those of `sql`.
    void readRowsTryingFirst(quint64 generation, const QString &firstTry,
                             const QVariantList &firstTryValues, int enough, const QString &sql,
                             const QVariantList &values);
    // The row of the list whose key is `key`, -1 when it is not listed: `sql` numbers the rows
    // in the list's order and takes the key as its last value.
    void locate(quint64 generation, const QString &sql, const QVariantList &values, qint64 key);

public:
    // Reports with rowsAfter() how many rows of `query` come after the one whose key is `key`.
    void countRowsAfter(quint64 generation, const ListQuery &query, const SqlDialect &dialect,
                        qint64 key);
    // The same on `db`: -1 when the row is not listed or a statement failed.
    static int rowsAfter(const QSqlDatabase &db, const ListQuery &query, const SqlDialect &dialect,
                         qint64 key);

signals:
    void finished(quint64 generation, const QVariantList &results, const QString &error);
    void located(quint64 generation, int row);
    void rowsAfterCounted(quint64 generation, int rowsAfter);
    void rowsRead(quint64 generation, const QStringList &fields, const QVariantList &rows,
                  const QString &error);

private:
    bool ensureOpen(QString *error);
    // False when the request was voided meanwhile; else the rows, or the error.
    bool readInto(quint64 generation, const QString &sql, const QVariantList &values,
                  QStringList *fields, QVariantList *rows, QString *error);
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
