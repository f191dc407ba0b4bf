#include "core/BackgroundListReader.h"

#include "core/Connection.h"
#include "core/FirstPageReader.h"
#include "core/ServerHandle.h"
#include "core/SqliteStatement.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <sqlite3.h>

BackgroundListReader::BackgroundListReader(const DataSource &source)
    : m_source(source),
      m_connectionName(QStringLiteral("list-reader-") + QUuid::createUuid().toString(QUuid::Id128))
{
}

BackgroundListReader::~BackgroundListReader()
{
    if (m_serverCancel)
        PQfreeCancel(static_cast<PGcancel *>(m_serverCancel));
    m_handle = nullptr;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

void BackgroundListReader::abandonBefore(quint64 generation)
{
    m_wanted = generation;
    if (m_running == 0 || m_running >= generation)
        return;
    if (void *handle = m_handle.load())
        sqlite3_interrupt(static_cast<sqlite3 *>(handle));
    else if (m_serverCancel) {
        // Made for another thread to use; a cancel that comes too late does nothing.
        char reason[256];
        PQcancel(static_cast<PGcancel *>(m_serverCancel), reason, sizeof reason);
    }
}

bool BackgroundListReader::ensureOpen(QString *error)
{
    if (m_db.isOpen())
        return true;
    if (!Connection::open(m_source, m_connectionName, &m_db, error))
        return false;
    m_handle = SqliteStatement::connectionOf(m_db);
    if (PGconn *server = serverHandle(m_db))
        m_serverCancel = PQgetCancel(server);
    return true;
}

bool BackgroundListReader::execute(QSqlQuery &q, quint64 generation, const QString &sql,
                                   const QVariantList &values)
{
    q.setForwardOnly(true);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!q.prepare(sql))
            return false;
        for (const QVariant &v : values)
            q.addBindValue(v);
        if (q.exec())
            return true;
        // A cancel meant for the statement before may reach this one instead.
        const bool cancelled = q.lastError().nativeErrorCode() == u"57014";
        if (!cancelled || generation < m_wanted)
            return false;
    }
    return false;
}

void BackgroundListReader::aggregate(quint64 generation, const QString &sql,
                                     const QVariantList &values)
{
    queue([this, generation, sql, values] {
        if (generation < m_wanted)
            return;
        QString error;
        if (!ensureOpen(&error)) {
            emit aggregated(generation, {}, error);
            return;
        }
        m_running = generation;
        QSqlQuery q(m_db);
        const bool ok = execute(q, generation, sql, values) && q.next();
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
        emit aggregated(generation, results, error);
    });
}

bool BackgroundListReader::readInto(quint64 generation, const PageStatement &statement,
                                    QStringList *fields, QVariantList *rows, QString *error)
{
    QSqlQuery q(m_db);
    const bool ok = execute(q, generation, statement.sql, statement.values);
    const QSqlRecord record = q.record();
    fields->clear();
    rows->clear();
    for (int i = 0; i < record.count(); ++i)
        *fields << record.fieldName(i);
    while (ok && q.next()) {
        QVariantList row;
        row.reserve(fields->size());
        for (int i = 0; i < fields->size(); ++i)
            row << q.value(i);
        rows->append(QVariant(row));
    }
    if (generation < m_wanted)
        return false;
    if (!ok || q.lastError().isValid())
        *error = q.lastError().text();
    return error->isEmpty();
}

void BackgroundListReader::readFirstPage(quint64 generation, const ListQuery &query,
                                         const SqlDialect &dialect, int limit)
{
    queue([this, generation, query, dialect, limit] {
        if (generation < m_wanted)
            return;
        QString error;
        if (!ensureOpen(&error)) {
            emit firstPageRead(generation, {}, {}, error);
            return;
        }
        QStringList fields;
        QVariantList rows;
        m_running = generation;
        FirstPageReader reader(query, dialect, limit);
        reader.read(
            [this, generation](const PageStatement &statement, QStringList *f, QVariantList *r,
                               QString *e) { return readInto(generation, statement, f, r, e); },
            &fields, &rows, &error);
        m_running = 0;
        if (generation >= m_wanted)
            emit firstPageRead(generation, fields, rows, error);
    });
}

void BackgroundListReader::locate(quint64 generation, const QString &sql,
                                  const QVariantList &values, qint64 key)
{
    queue([this, generation, sql, values, key] {
        QString error;
        if (generation < m_wanted || !ensureOpen(&error))
            return;
        m_running = generation;
        QSqlQuery q(m_db);
        const int found = execute(q, generation, sql, values + QVariantList{key}) && q.next()
                              ? q.value(0).toInt() - 1
                              : -1;
        m_running = 0;
        if (generation >= m_wanted)
            emit located(generation, found);
    });
}

void BackgroundListReader::countRowsAfter(quint64 generation, const ListQuery &query,
                                          const SqlDialect &dialect, qint64 key)
{
    queue([this, generation, query, dialect, key] {
        QString error;
        if (generation < m_wanted || !ensureOpen(&error))
            return;
        m_running = generation;
        const int after = rowsAfter(m_db, query, dialect, key);
        m_running = 0;
        if (generation >= m_wanted)
            emit rowsAfterCounted(generation, after);
    });
}

void BackgroundListReader::placeRow(quint64 generation, const ListQuery &query,
                                    const SqlDialect &dialect, const QVariantList &guess,
                                    int position, int rowCount)
{
    queue([this, generation, query, dialect, guess, position, rowCount] {
        QString error;
        if (generation < m_wanted || !ensureOpen(&error))
            return;
        m_running = generation;
        const QVariantList row = rowAt(query, dialect, guess, position, rowCount);
        m_running = 0;
        if (generation >= m_wanted)
            emit rowPlaced(generation, guess, position, row);
    });
}

QVariantList BackgroundListReader::rowAt(const ListQuery &query, const SqlDialect &dialect,
                                         const QVariantList &guess, int position, int rowCount)
{
    const auto run = [this](QSqlQuery &q, const PageStatement &statement) {
        return execute(q, m_running, statement.sql, statement.values) && q.next();
    };
    QSqlQuery count(m_db);
    // The rows from the guess on, through the order's index.
    if (!run(count, query.countAfter(guess, dialect, true)))
        return {};
    const int before = rowCount - count.value(0).toInt();
    if (before == position)
        return guess;
    const PageStart start = before < position ? PageStart{guess, false, position - before, true}
                                              : PageStart{guess, true, before - 1 - position};
    QSqlQuery row(m_db);
    if (!run(row, query.page(start, 1, dialect)))
        return {};
    QVariantList values;
    for (const OrderColumn &c : query.orderColumns())
        values << row.value(c.column);
    return values;
}

int BackgroundListReader::rowsAfter(const QSqlDatabase &db, const ListQuery &query,
                                    const SqlDialect &dialect, qint64 key)
{
    const auto run = [](QSqlQuery &q, const PageStatement &statement) {
        q.setForwardOnly(true);
        if (!q.prepare(statement.sql))
            return false;
        for (const QVariant &v : statement.values)
            q.addBindValue(v);
        return q.exec() && q.next();
    };
    QSqlQuery row(db);
    if (!run(row, query.orderValuesOf(key)))
        return -1;
    QVariantList values;
    for (int i = 0; i < row.record().count(); ++i)
        values << row.value(i);
    QSqlQuery count(db);
    return run(count, query.countAfter(values, dialect)) ? count.value(0).toInt() : -1;
}
