#include "core/AggregateWorker.h"

#include "core/Connection.h"

#include <QSqlDriver>
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
    const QVariant handle = m_db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") == 0)
        m_handle = *static_cast<sqlite3 *const *>(handle.data());
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
                             int field, qint64 key)
{
    QString error;
    if (generation < m_wanted || !ensureOpen(&error))
        return;
    m_running = generation;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    int found = -1;
    if (q.prepare(sql)) {
        for (const QVariant &v : values)
            q.addBindValue(v);
        if (q.exec()) {
            for (int row = 0; found < 0 && q.next(); ++row) {
                if (q.value(field).toLongLong() == key)
                    found = row;
                else if (row % 4096 == 0 && generation < m_wanted)
                    break;
            }
        }
    }
    m_running = 0;
    if (generation >= m_wanted)
        emit located(generation, found);
}
