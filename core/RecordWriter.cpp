#include "core/RecordWriter.h"

#include "core/DatabaseFault.h"
#include "core/Schema.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlRecord>
#include <QSysInfo>

namespace {

QString jsonText(const QJsonObject &image)
{
    return image.isEmpty() ? QString()
                           : QString::fromUtf8(QJsonDocument(image).toJson(QJsonDocument::Compact));
}

bool exec(QSqlQuery &q, const QString &sql, const QVariantList &values, QString *error)
{
    bool ok = q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    ok = ok && q.exec();
    if (!ok && error)
        *error = q.lastError().text();
    return ok;
}

// A server names the width of a text too long for its column, not the column.
QString named(const QString &reason, const QString &table, const QVariantMap &values)
{
    if (DatabaseFault::classify(reason) != DatabaseFault::Kind::TooLong)
        return reason;
    for (auto it = values.begin(); it != values.end(); ++it) {
        const int width = Schema::width(table, it.key());
        if (width > 0 && it.value().toString().toUcs4().size() > width)
            return DatabaseFault::tooLongError(it.key(), width);
    }
    return reason;
}

// A column under the schema's spelling, which stored rows are keyed by; empty when unknown.
QString canonical(const QString &table, const QString &column)
{
    const Schema::Column *c = Schema::column(table, column);
    return c ? QString::fromLatin1(c->name) : QString();
}

} // namespace

RecordWriter::RecordWriter(QSqlDatabase db, const QString &operatorName, const QString &kind,
                           const QString &summary)
    : m_db(std::move(db)), m_dialect(SqlDialect::of(m_db)), m_operator(operatorName), m_kind(kind),
      m_summary(summary)
{
}

QString RecordWriter::schemaName(const QString &table, QString *error) const
{
    const Schema::Table *t = Schema::table(table);
    if (!t && error)
        *error = QStringLiteral("unknown table %1").arg(table);
    return t ? QString::fromLatin1(t->name) : QString();
}

bool RecordWriter::ensureSet(QString *error)
{
    if (m_set > 0)
        return true;
    QSqlQuery q(m_db);
    if (!exec(q,
              m_dialect.insertReturningKey(
                  QStringLiteral("insert into cfg_changeset(F_OperName, F_station, F_stamp, "
                                 "F_kind, F_summary, F_undoes) values(?, ?, ?, ?, ?, ?)")),
              {m_operator.left(50), QSysInfo::machineHostName().left(100),
               QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
               m_kind.left(20), m_summary.left(255), m_undoes},
              error))
        return false;
    const QVariant key =
        m_dialect.returnsInsertedKey() ? (q.next() ? q.value(0) : QVariant()) : q.lastInsertId();
    m_set = key.toLongLong();
    return m_set > 0;
}

bool RecordWriter::recordSet(QString *error)
{
    return ensureSet(error);
}

bool RecordWriter::journal(const QString &table, qint64 id, Journal::Action action,
                           const QJsonObject &before, const QJsonObject &after, QString *error)
{
    if (!Journal::isJournaled(table))
        return true;
    if (!ensureSet(error))
        return false;
    // A row written twice in one change set (a new sample given its group number) is one
    // change: the first before-image and the last after-image.
    if (m_last && m_last->table == table && m_last->rowId == id &&
        action == Journal::Action::Update && m_last->action != Journal::Action::Delete) {
        for (auto it = before.begin(); it != before.end(); ++it) {
            if (m_last->action == Journal::Action::Update && !m_last->before.contains(it.key()))
                m_last->before.insert(it.key(), it.value());
        }
        for (auto it = after.begin(); it != after.end(); ++it)
            m_last->after.insert(it.key(), it.value());
        QSqlQuery q(m_db);
        return exec(q,
                    QStringLiteral("update cfg_changerow set F_before = ?, F_after = ? "
                                   "where F_ID = ?"),
                    {jsonText(m_last->before), jsonText(m_last->after), m_last->id}, error);
    }
    if (!m_journalRow) {
        m_journalRow.emplace(m_db);
        if (!m_journalRow->prepare(m_dialect.insertReturningKey(
                QStringLiteral("insert into cfg_changerow(F_set, F_tablename, F_rowID, F_action, "
                               "F_before, F_after) values(?, ?, ?, ?, ?, ?)")))) {
            *error = m_journalRow->lastError().text();
            m_journalRow.reset();
            return false;
        }
    }
    QSqlQuery &q = *m_journalRow;
    q.addBindValue(m_set);
    q.addBindValue(table);
    q.addBindValue(id);
    q.addBindValue(int(action));
    q.addBindValue(jsonText(before));
    q.addBindValue(jsonText(after));
    if (!q.exec()) {
        *error = q.lastError().text();
        return false;
    }
    const QVariant key =
        m_dialect.returnsInsertedKey() ? (q.next() ? q.value(0) : QVariant()) : q.lastInsertId();
    m_last = Written{table, id, key.toLongLong(), action, before, after};
    return true;
}

std::optional<QVariantMap> RecordWriter::readRow(const QString &table, qint64 id, QString *error)
{
    const QString name = schemaName(table, error);
    if (name.isEmpty())
        return std::nullopt;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    const QString lock =
        m_dialect.engine() == Engine::PostgreSQL ? QStringLiteral(" for update") : QString();
    if (!exec(q, QStringLiteral("select * from %1 where F_ID = ?").arg(name) + lock, {id}, error))
        return std::nullopt;
    QVariantMap row;
    if (!q.next())
        return row;
    const QSqlRecord record = q.record();
    for (const Schema::Column &c : Schema::table(name)->columns) {
        const int at = record.indexOf(QLatin1String(c.name));
        if (at >= 0)
            row.insert(QLatin1String(c.name), q.value(at));
    }
    return row;
}

bool RecordWriter::checkUnchanged(const QString &table, qint64 id, const QVariantMap &asRead,
                                  StaleRecord *stale, QString *error)
{
    *stale = StaleRecord();
    const std::optional<QVariantMap> stored = readRow(table, id, error);
    if (!stored)
        return false;
    stale->stored = *stored;
    stale->gone = stored->isEmpty();
    if (!stale->gone) {
        for (auto it = asRead.begin(); it != asRead.end(); ++it) {
            const QString column = canonical(table, it.key());
            if (Journal::encode(table, it.key(), it.value()) !=
                Journal::encode(table, it.key(), stored->value(column))) {
                stale->columns << it.key();
                stale->stored.insert(it.key(), stored->value(column));
            }
        }
    }
    if (!stale->isStale())
        return true;
    const std::optional<Journal::Change> last = Journal::latestChange(m_db, table, id, error);
    if (!last)
        return false;
    stale->operatorName = last->operatorName;
    stale->stamp = last->stamp;
    return true;
}

std::optional<qint64> RecordWriter::insert(const QString &table, const QVariantMap &values,
                                           QString *error, qint64 id)
{
    const QString name = schemaName(table, error);
    if (name.isEmpty())
        return std::nullopt;
    QVariantMap row = values;
    if (id > 0)
        row.insert(QStringLiteral("F_ID"), id);
    QStringList columns;
    for (auto it = row.begin(); it != row.end(); ++it) {
        if (!Schema::column(name, it.key())) {
            *error = QStringLiteral("unknown column %1 of %2").arg(it.key(), name);
            return std::nullopt;
        }
        columns << it.key();
    }
    QSqlQuery q(m_db);
    const QString sql =
        QStringLiteral("insert into %1(%2) values(%3)")
            .arg(name, columns.join(QStringLiteral(", ")),
                 QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
    if (!exec(q, id > 0 ? sql : m_dialect.insertReturningKey(sql), row.values(), error)) {
        *error = named(*error, name, row);
        return std::nullopt;
    }
    if (id <= 0) {
        const QVariant key = m_dialect.returnsInsertedKey() ? (q.next() ? q.value(0) : QVariant())
                                                            : q.lastInsertId();
        if (!key.isValid()) {
            *error = QStringLiteral("no key for the inserted row");
            return std::nullopt;
        }
        id = key.toLongLong();
    }
    // The whole row as stored, defaults included, so that it can be brought back exactly.
    const std::optional<QVariantMap> stored = readRow(name, id, error);
    if (!stored ||
        !journal(name, id, Journal::Action::Insert, {}, Journal::image(name, *stored), error))
        return std::nullopt;
    return id;
}

bool RecordWriter::update(const QString &table, qint64 id, const QVariantMap &values,
                          QString *error)
{
    const QString name = schemaName(table, error);
    if (name.isEmpty())
        return false;
    const std::optional<QVariantMap> stored = readRow(name, id, error);
    if (!stored)
        return false;
    if (stored->isEmpty()) {
        *error = QStringLiteral("row %1 of %2 no longer exists").arg(id).arg(name);
        return false;
    }
    QStringList columns;
    QVariantList bound;
    QJsonObject before;
    QJsonObject after;
    for (auto it = values.begin(); it != values.end(); ++it) {
        const QString column = canonical(name, it.key());
        if (column.isEmpty()) {
            *error = QStringLiteral("unknown column %1 of %2").arg(it.key(), name);
            return false;
        }
        const QJsonValue was = Journal::encode(name, column, stored->value(column));
        const QJsonValue now = Journal::encode(name, column, it.value());
        if (was == now)
            continue;
        columns << column;
        bound << it.value();
        if (!Journal::isSecret(name, column)) {
            before.insert(column, was);
            after.insert(column, now);
        }
    }
    // Nothing differs: nothing is written, nothing recorded.
    if (columns.isEmpty())
        return true;
    QSqlQuery q(m_db);
    if (!exec(q,
              QStringLiteral("update %1 set %2 = ? where F_ID = ?")
                  .arg(name, columns.join(QStringLiteral(" = ?, "))),
              bound << id, error)) {
        *error = named(*error, name, values);
        return false;
    }
    return before.isEmpty() || journal(name, id, Journal::Action::Update, before, after, error);
}

bool RecordWriter::remove(const QString &table, qint64 id, QString *error)
{
    const QString name = schemaName(table, error);
    if (name.isEmpty())
        return false;
    const std::optional<QVariantMap> stored = readRow(name, id, error);
    if (!stored)
        return false;
    if (stored->isEmpty())
        return true;
    QSqlQuery q(m_db);
    return exec(q, QStringLiteral("delete from %1 where F_ID = ?").arg(name), {id}, error) &&
           journal(name, id, Journal::Action::Delete, Journal::image(name, *stored), {}, error);
}

bool RecordWriter::removeWhere(const QString &table, const QString &where,
                               const QVariantList &values, QString *error)
{
    const QString name = schemaName(table, error);
    if (name.isEmpty())
        return false;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!exec(q, QStringLiteral("select F_ID from %1 where %2 order by F_ID").arg(name, where),
              values, error))
        return false;
    QList<qint64> ids;
    while (q.next())
        ids << q.value(0).toLongLong();
    q.finish();
    for (qint64 id : ids) {
        if (!remove(name, id, error))
            return false;
    }
    return true;
}

bool RecordWriter::updateEach(const QString &table, const QString &where,
                              const QVariantList &values, const QString &column,
                              const std::function<QVariant(const QVariant &)> &change,
                              QString *error)
{
    const QString name = schemaName(table, error);
    if (name.isEmpty() || !Schema::column(name, column)) {
        if (error && !name.isEmpty())
            *error = QStringLiteral("unknown column %1 of %2").arg(column, name);
        return false;
    }
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!exec(q,
              QStringLiteral("select F_ID, %1 from %2 where %3 order by F_ID")
                  .arg(column, name, where),
              values, error))
        return false;
    QList<QPair<qint64, QVariant>> rows;
    while (q.next())
        rows.append({q.value(0).toLongLong(), q.value(1)});
    q.finish();
    for (const auto &[id, value] : std::as_const(rows)) {
        if (!update(name, id, {{column, change(value)}}, error))
            return false;
    }
    return true;
}
