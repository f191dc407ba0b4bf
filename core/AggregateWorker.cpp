#include "core/AggregateWorker.h"

#include "core/Connection.h"
#include "core/SqliteStatement.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <sqlite3.h>

AggregateWorker::AggregateWorker(const DataSource &source)
    : m_source(source),
      m_connectionName(QStringLiteral("aggregates-") + QUuid::createUuid().toString(QUuid::Id128))
{
}

AggregateWorker::~AggregateWorker()
{
    m_handle = nullptr;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

void AggregateWorker::abandonBefore(quint64 generation)
{
    m_wanted = generation;
    if (m_running != 0 && m_running < generation && m_source.engine == Engine::SQLite) {
        if (void *handle = m_handle.load())
            sqlite3_interrupt(static_cast<sqlite3 *>(handle));
    }
}

bool AggregateWorker::ensureOpen(QString *error)
{
    if (m_db.isOpen())
        return true;
    if (!Connection::open(m_source, m_connectionName, &m_db, error))
        return false;
    m_handle = SqliteStatement::connectionOf(m_db);
    return true;
}

void AggregateWorker::run(quint64 generation, const QString &sql, const QVariantList &values)
{
    if (generation < m_wanted)
        return;
    QString error;
    if (!ensureOpen(&error)) {
        emit finished(generation, {}, error);
        return;
    }
    m_running = generation;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    bool ok = q.prepare(sql);
    if (ok) {
        for (const QVariant &v : values)
            q.addBindValue(v);
        ok = q.exec() && q.next();
    }
    m_running = 0;
    if (generation < m_wanted)
        return;
    QVariantList results;
    if (ok) {
        for (int i = 0; i < q.record().count(); ++i)
            results << q.value(i);
    } else {
        error = q.lastError().text();
    }
    emit finished(generation, results, error);
}

void AggregateWorker::locate(quint64 generation, const QString &sql, const QVariantList &values,
                             int field, qint64 key, bool numbered)
{
    QString error;
    if (generation < m_wanted || !ensureOpen(&error))
        return;
    m_running = generation;
    const int found = numbered   ? numberedRow(sql, values, key)
                      : m_handle ? scanSqlite(generation, sql, values, field, key)
                                 : -1;
    m_running = 0;
    if (generation >= m_wanted)
        emit located(generation, found);
}

int AggregateWorker::numberedRow(const QString &sql, const QVariantList &values, qint64 key)
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        return -1;
    for (const QVariant &v : values)
        q.addBindValue(v);
    q.addBindValue(key);
    return q.exec() && q.next() ? q.value(0).toInt() - 1 : -1;
}

int AggregateWorker::scanSqlite(quint64 generation, const QString &sql, const QVariantList &values,
                                int field, qint64 key)
{
    // Straight through the C interface: only the key column of each row is read, where a
    // query object would convert every column of a million rows.
    SqliteStatement statement(static_cast<sqlite3 *>(m_handle.load()), sql, values);
    for (int row = 0; statement.step(); ++row) {
        if (sqlite3_column_int64(statement.handle(), field) == key)
            return row;
        if (row % 65536 == 0 && generation < m_wanted)
            break;
    }
    return -1;
}