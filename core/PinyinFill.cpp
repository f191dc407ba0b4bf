#include "core/PinyinFill.h"

#include "core/CopyIn.h"
#include "core/Pinyin.h"
#include "core/ServerHandle.h"
#include "core/SqlDialect.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace Pinyin {

namespace {

// Rows given their keys by one statement, between two reports of progress.
constexpr qint64 kChunk = 50000;

struct Table
{
    QString name;
    QStringList columns;
    QStringList keyColumns;
    qint64 first = 0;
    qint64 last = 0;
    qint64 rows = 0;
};

QList<Table> keyedTables()
{
    QList<Table> tables;
    for (const KeyedColumn &k : keyedColumns()) {
        const QString name = QString::fromLatin1(k.table);
        if (tables.isEmpty() || tables.last().name != name)
            tables.append({name, {}, {}});
        tables.last().columns << QString::fromLatin1(k.column);
        tables.last().keyColumns << QString::fromLatin1(k.keyColumn);
    }
    return tables;
}

bool run(QSqlQuery &q, const QString &sql, QString *error)
{
    if (q.exec(sql))
        return true;
    *error = q.lastError().text();
    return false;
}

QString lookupTable(int column)
{
    return QStringLiteral("pinyin_fill_%1").arg(column);
}

// The table's distinct names of `column` with their keys, in a temporary table.
bool keyNames(QSqlDatabase &db, const Table &t, int column, QString *error)
{
    const bool server = SqlDialect::of(db).engine() == Engine::PostgreSQL;
    const QString lookup = lookupTable(column);
    QSqlQuery q(db);
    if (!run(q,
             QStringLiteral("create temp table %1 (F_text text primary key, F_key text)")
                 .arg(lookup),
             error) ||
        !run(q,
             QStringLiteral("select distinct coalesce(%1, '') from %2")
                 .arg(t.columns.at(column), t.name),
             error))
        return false;
    QStringList names;
    while (q.next())
        names << q.value(0).toString();
    q.finish();
    if (server) {
        CopyIn copy(serverHandle(db));
        if (!copy.start(lookup, QStringLiteral("F_text, F_key"), error))
            return false;
        for (const QString &name : std::as_const(names)) {
            const QByteArray text = name.toUtf8();
            CopyIn::appendEscaped(text.constData(), text.size(), copy.row());
            copy.tab();
            const QByteArray key = Pinyin::key(name).toLatin1();
            CopyIn::appendEscaped(key.constData(), key.size(), copy.row());
            if (!copy.endRow(error))
                return false;
        }
        return copy.finish(error) && run(q, QStringLiteral("analyze ") + lookup, error);
    }
    QSqlQuery insert(db);
    if (!insert.prepare(QStringLiteral("insert into %1(F_text, F_key) values(?, ?)").arg(lookup))) {
        *error = insert.lastError().text();
        return false;
    }
    for (const QString &name : std::as_const(names)) {
        insert.addBindValue(name);
        insert.addBindValue(Pinyin::key(name));
        if (!insert.exec()) {
            *error = insert.lastError().text();
            return false;
        }
    }
    return true;
}

bool dropLookups(QSqlDatabase &db, const Table &t, QString *error)
{
    QSqlQuery q(db);
    for (int c = 0; c < t.columns.size(); ++c) {
        if (!run(q, QStringLiteral("drop table if exists ") + lookupTable(c), error))
            return false;
    }
    return true;
}

} // namespace

bool fillKeys(QSqlDatabase &db, const WorkProgress &progress, QString *error)
{
    QList<Table> tables = keyedTables();
    qint64 total = 0;
    QSqlQuery q(db);
    for (Table &t : tables) {
        if (!run(q, QStringLiteral("select min(F_ID), max(F_ID), count(*) from ") + t.name,
                 error) ||
            !q.next())
            return false;
        t.first = q.value(0).toLongLong();
        t.last = q.value(1).toLongLong();
        t.rows = q.value(2).toLongLong();
        total += t.rows;
    }
    q.finish();
    qint64 done = 0;
    for (const Table &t : std::as_const(tables)) {
        if (t.rows == 0)
            continue;
        QStringList assignments;
        for (int c = 0; c < t.columns.size(); ++c) {
            if (!keyNames(db, t, c, error))
                return false;
            assignments << QStringLiteral("%1 = (select F_key from %2 where F_text = "
                                          "coalesce(%3.%4, ''))")
                               .arg(t.keyColumns.at(c), lookupTable(c), t.name, t.columns.at(c));
        }
        QSqlQuery update(db);
        if (!update.prepare(QStringLiteral("update %1 set %2 where F_ID >= ? and F_ID < ?")
                                .arg(t.name, assignments.join(QStringLiteral(", "))))) {
            *error = update.lastError().text();
            return false;
        }
        for (qint64 from = t.first; from <= t.last; from += kChunk) {
            update.addBindValue(from);
            update.addBindValue(from + kChunk);
            if (!update.exec()) {
                *error = update.lastError().text();
                return false;
            }
            done += update.numRowsAffected();
            if (progress && !progress(int(done * 100 / std::max<qint64>(total, 1))))
                return false;
        }
        if (!dropLookups(db, t, error))
            return false;
    }
    return true;
}

} // namespace Pinyin
