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

void AggregateWorker::run(quint64 generation, const QString &sql, const QVariantList &values)
{
    if (generation < m_wanted)
        return;
    QString error;
    if (!m_db.isOpen()) {
        if (!Connection::open(m_source, m_connectionName, &m_db, &error)) {
            emit finished(generation, {}, error);
            return;
        }
        const QVariant handle = m_db.driver()->handle();
        if (qstrcmp(handle.typeName(), "sqlite3*") == 0)
            m_handle = *static_cast<sqlite3 *const *>(handle.data());
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
