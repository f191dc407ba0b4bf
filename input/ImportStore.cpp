#include "input/ImportStore.h"

#include "core/Connection.h"
#include "core/Schema.h"
#include "core/SqlDialect.h"
#include "core/SqliteStatement.h"
#include "core/Transaction.h"

#include <QDate>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <sqlite3.h>

namespace ImportStore {

namespace {

const QDate kNoDate(1900, 8, 14);

// A connection of the work's own, closed and forgotten when the work ends.
class OwnConnection
{
public:
    OwnConnection(const DataSource &source, QString *error)
        : m_name(QStringLiteral("import-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        m_open = Connection::open(source, m_name, &m_db, error);
    }
    ~OwnConnection()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    bool isOpen() const { return m_open; }
    QSqlDatabase &db() { return m_db; }

private:
    QString m_name;
    QSqlDatabase m_db;
    bool m_open = false;
};

// The value a checked text becomes in a column of `type`.
QVariant valueFor(Schema::ColumnType type, const QString &text)
{
    if (type == Schema::ColumnType::Text || type == Schema::ColumnType::Memo)
        // An empty cell is an empty text, not a missing value.
        return text.isNull() ? QStringLiteral("") : text;
    const QString trimmed = text.trimmed();
    switch (type) {
    case Schema::ColumnType::Integer:
        return trimmed.isEmpty() ? 0 : qint64(QLocale::c().toDouble(trimmed));
    case Schema::ColumnType::Float:
        return trimmed.isEmpty() ? 0.0 : QLocale::c().toDouble(trimmed);
    case Schema::ColumnType::Date:
        return trimmed.isEmpty() ? kNoDate : QDate::fromString(trimmed, u"yyyy-MM-dd");
    case Schema::ColumnType::Bool: {
        const QString t = trimmed.toLower();
        return t == u"1" || t == u"true" || t == u"是";
    }
    default:
        return text;
    }
}

// One text per value, the same whether the value was bound or read back from either engine.
QString canonical(Schema::ColumnType type, const QVariant &value)
{
    switch (type) {
    case Schema::ColumnType::Integer:
    case Schema::ColumnType::Float:
        return QString::number(value.toDouble(), 'g', 15);
    case Schema::ColumnType::Date:
        return value.toDate().toString(u"yyyy-MM-dd");
    case Schema::ColumnType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return value.toString();
    }
}

// FNV-1a over the values' texts: cheap enough to take for every row of a large import, and the
// same on every machine and in every version.
QString digestOf(const QList<Schema::ColumnType> &types, const QVariantList &values)
{
    quint64 hash = 14695981039346656037ULL;
    const auto add = [&hash](char16_t c) {
        hash = (hash ^ (c & 0xff)) * 1099511628211ULL;
        hash = (hash ^ (c >> 8)) * 1099511628211ULL;
    };
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QVariant &v = values.at(i);
        const bool text = v.typeId() == QMetaType::QString;
        const QString owned = text ? QString() : canonical(types.at(i), v);
        const QString &shown = text ? *static_cast<const QString *>(v.constData()) : owned;
        for (const QChar c : shown)
            add(c.unicode());
        add(0x1f);
    }
    return QString::number(hash, 16);
}

// Inserts rows through one prepared statement and hands back each new key: straight through
// SQLite's C interface on a file, where a query object would cost more than the insert itself.
class Inserter
{
public:
    Inserter(QSqlDatabase &db, const QString &insert) : m_sqlite(SqliteStatement::connectionOf(db))
    {
        if (m_sqlite)
            m_statement = std::make_unique<SqliteStatement>(m_sqlite, insert, QVariantList());
        else {
            m_query = QSqlQuery(db);
            m_query.prepare(SqlDialect::of(db).insertReturningKey(insert));
        }
    }

    std::optional<qint64> insert(const QVariantList &values, QString *error)
    {
        if (!m_sqlite)
            return insertWithQuery(values, error);
        if (!m_statement->isValid()) {
            *error = m_statement->error();
            return std::nullopt;
        }
        sqlite3_stmt *s = m_statement->handle();
        sqlite3_reset(s);
        for (int i = 0; i < values.size(); ++i) {
            const QVariant &v = values.at(i);
            switch (v.typeId()) {
            case QMetaType::Double:
                sqlite3_bind_double(s, i + 1, v.toDouble());
                break;
            case QMetaType::LongLong:
            case QMetaType::Int:
            case QMetaType::Bool:
                sqlite3_bind_int64(s, i + 1, v.toLongLong());
                break;
            case QMetaType::QDate: {
                const QByteArray day = v.toDate().toString(u"yyyy-MM-dd").toLatin1();
                sqlite3_bind_text(s, i + 1, day.constData(), int(day.size()), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QString &text = *static_cast<const QString *>(v.constData());
                sqlite3_bind_text16(s, i + 1, text.utf16(), int(text.size() * 2), SQLITE_STATIC);
                break;
            }
            }
        }
        if (sqlite3_step(s) != SQLITE_DONE) {
            *error = QString::fromUtf8(sqlite3_errmsg(m_sqlite));
            sqlite3_reset(s);
            return std::nullopt;
        }
        return qint64(sqlite3_last_insert_rowid(m_sqlite));
    }

private:
    std::optional<qint64> insertWithQuery(const QVariantList &values, QString *error)
    {
        for (int i = 0; i < values.size(); ++i)
            m_query.bindValue(i, values.at(i));
        if (!m_query.exec() || !m_query.next()) {
            *error = m_query.lastError().text();
            return std::nullopt;
        }
        return m_query.value(0).toLongLong();
    }

    sqlite3 *m_sqlite;
    std::unique_ptr<SqliteStatement> m_statement;
    QSqlQuery m_query;
};

bool exec(QSqlDatabase &db, const QString &sql, const QVariantList &values, QString *error,
          QSqlQuery *result = nullptr)
{
    QSqlQuery q(db);
    bool ok = q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    ok = ok && q.exec();
    if (!ok)
        *error = q.lastError().text();
    else if (result)
        *result = q;
    return ok;
}

QString placeholders(qsizetype count)
{
    return QStringList(count, QStringLiteral("?")).join(QStringLiteral(", "));
}

// The batch record and every row with its log entry; the statements are done with before the
// caller commits.
bool insertRows(QSqlDatabase &db, const QString &table, const QStringList &columns,
                const QList<Schema::ColumnType> &types, const QList<int> &fieldOf,
                const ImportPreview &preview, const QString &operatorName, const Progress &report,
                QString *error)
{
    Inserter batchInserter(db,
                           QStringLiteral("insert into cfg_importbatch(F_tablename, "
                                          "F_OperName, F_stamp, F_columns) values(?, ?, ?, ?)"));
    const std::optional<qint64> batch = batchInserter.insert(
        {table, operatorName, QDateTime::currentDateTime().toString(u"yyyy-MM-dd hh:mm:ss"),
         columns.join(u',')},
        error);
    if (!batch)
        return false;
    Inserter rows(
        db, QStringLiteral("insert into %1(%2) values(%3)")
                .arg(table, columns.join(QStringLiteral(", ")), placeholders(columns.size())));
    Inserter log(db, QStringLiteral("insert into cfg_importrow(F_batch, F_rowID, F_digest) "
                                    "values(?, ?, ?)"));
    const size_t total = preview.rows.size();
    QVariantList values;
    for (size_t r = 0; r < total; ++r) {
        if (r % 2000 == 0 && !report(int(qint64(r) * 100 / qint64(total)))) {
            *error = QStringLiteral("stopped");
            return false;
        }
        const QStringList &texts = preview.rows[r];
        values.clear();
        for (qsizetype c = 0; c < columns.size(); ++c)
            values << valueFor(types.at(c), texts.at(fieldOf.at(c)));
        const std::optional<qint64> key = rows.insert(values, error);
        if (!key || !log.insert({*batch, *key, digestOf(types, values)}, error))
            return false;
    }
    return true;
}

} // namespace

bool store(const DataSource &source, const QString &table, const ImportPreview &preview,
           const QString &operatorName, QString *error, const Progress &progress)
{
    const Progress report = progress ? progress : [](int) { return true; };
    QStringList columns;
    QList<Schema::ColumnType> types;
    QList<int> fieldOf;
    for (int f = 0; f < preview.fields.size(); ++f) {
        const Schema::Column *c = Schema::column(table, preview.fields.at(f).field);
        if (!c || c->type == Schema::ColumnType::Key) {
            *error = QStringLiteral("%1 has no column %2 to import into")
                         .arg(table, preview.fields.at(f).field);
            return false;
        }
        if (columns.contains(QLatin1String(c->name), Qt::CaseInsensitive))
            continue;
        columns << QLatin1String(c->name);
        types << c->type;
        fieldOf << f;
    }

    OwnConnection connection(source, error);
    if (!connection.isOpen())
        return false;
    QSqlDatabase &db = connection.db();
    Transaction transaction(db);
    if (!transaction.began(error) ||
        !exec(db, QStringLiteral("delete from cfg_importrow"), {}, error) ||
        !exec(db, QStringLiteral("delete from cfg_importbatch"), {}, error) ||
        !insertRows(db, table, columns, types, fieldOf, preview, operatorName, report, error))
        return false;
    return transaction.commit(error);
}

namespace {

struct BatchRows
{
    QString table;
    QStringList columns;
    QList<Schema::ColumnType> types;
    QList<qint64> kept;   // unchanged since the import
    QList<qint64> edited; // changed since
    QStringList editedLines;
};

// Sorts the rows of `batch` that still exist into unchanged and changed ones.
bool readBatchRows(QSqlDatabase &db, qint64 batch, const QString &table, const QString &columns,
                   BatchRows *out, QString *error)
{
    out->table = table;
    out->columns = columns.split(u',', Qt::SkipEmptyParts);
    for (const QString &c : std::as_const(out->columns)) {
        const Schema::Column *column = Schema::column(table, c);
        if (!column) {
            *error = QStringLiteral("%1 has no column %2").arg(table, c);
            return false;
        }
        out->types << column->type;
    }
    const bool named = Schema::column(table, QStringLiteral("F_Code")) &&
                       Schema::column(table, QStringLiteral("F_Name"));
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!exec(db,
              QStringLiteral("select r.F_rowID, r.F_digest, %1%2 from cfg_importrow r join %3 t "
                             "on t.F_ID = r.F_rowID where r.F_batch = ? order by r.F_rowID")
                  .arg(named ? QStringLiteral("t.F_Code, t.F_Name, ") : QString(),
                       QStringLiteral("t.") + out->columns.join(QStringLiteral(", t.")), table),
              {batch}, error, &q))
        return false;
    const int first = named ? 4 : 2;
    while (q.next()) {
        QVariantList values;
        for (qsizetype c = 0; c < out->columns.size(); ++c)
            values << q.value(first + int(c));
        const qint64 key = q.value(0).toLongLong();
        if (digestOf(out->types, values) == q.value(1).toString()) {
            out->kept << key;
        } else {
            out->edited << key;
            out->editedLines << (named ? q.value(2).toString() + u' ' + q.value(3).toString()
                                       : QString::number(key));
        }
    }
    return true;
}

bool readBatch(QSqlDatabase &db, qint64 *batch, QString *table, QString *operatorName,
               QString *stamp, QString *columns, QString *error)
{
    QSqlQuery q(db);
    if (!exec(db,
              QStringLiteral("select F_ID, F_tablename, F_OperName, F_stamp, F_columns from "
                             "cfg_importbatch order by F_ID desc"),
              {}, error, &q))
        return false;
    if (!q.next()) {
        *batch = 0;
        return true;
    }
    *batch = q.value(0).toLongLong();
    *table = q.value(1).toString();
    *operatorName = q.value(2).toString();
    *stamp = q.value(3).toString();
    *columns = q.value(4).toString();
    return true;
}

} // namespace

std::optional<LastImport> lastImport(const QSqlDatabase &database, QString *error)
{
    error->clear();
    QSqlDatabase db = database;
    LastImport last;
    QString columns;
    if (!readBatch(db, &last.batch, &last.table, &last.operatorName, &last.stamp, &columns,
                   error) ||
        last.batch == 0)
        return std::nullopt;
    BatchRows rows;
    if (!readBatchRows(db, last.batch, last.table, columns, &rows, error))
        return std::nullopt;
    last.rows = int(rows.kept.size() + rows.edited.size());
    last.editedKeys = rows.edited;
    last.editedLines = rows.editedLines;
    return last;
}

bool undo(const DataSource &source, qint64 batch, bool includingEdited, int *removed,
          QString *error)
{
    *removed = 0;
    OwnConnection connection(source, error);
    if (!connection.isOpen())
        return false;
    QSqlDatabase &db = connection.db();
    Transaction transaction(db);
    if (!transaction.began(error))
        return false;
    qint64 current = 0;
    QString table, operatorName, stamp, columns;
    if (!readBatch(db, &current, &table, &operatorName, &stamp, &columns, error))
        return false;
    if (current != batch) {
        *error = QStringLiteral("the last import changed meanwhile");
        return false;
    }
    // Read again inside the transaction: a row changed since the question was asked is kept.
    BatchRows rows;
    if (!readBatchRows(db, batch, table, columns, &rows, error))
        return false;
    QList<qint64> doomed = rows.kept;
    if (includingEdited)
        doomed << rows.edited;
    QSqlQuery remove(db);
    remove.prepare(QStringLiteral("delete from %1 where F_ID = ?").arg(table));
    for (const qint64 key : std::as_const(doomed)) {
        remove.bindValue(0, key);
        if (!remove.exec()) {
            *error = remove.lastError().text();
            return false;
        }
    }
    if (!exec(db, QStringLiteral("delete from cfg_importrow"), {}, error) ||
        !exec(db, QStringLiteral("delete from cfg_importbatch"), {}, error) ||
        !transaction.commit(error))
        return false;
    *removed = int(doomed.size());
    return true;
}

} // namespace ImportStore
