#include "input/ImportStore.h"

#include "core/CopyIn.h"
#include "core/OwnConnection.h"
#include "core/Pinyin.h"
#include "core/Schema.h"
#include "core/ServerHandle.h"
#include "core/SqlDialect.h"
#include "core/SqliteStatement.h"
#include "core/Transaction.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <sqlite3.h>

namespace ImportStore {

namespace {

const QDate kNoDate(1900, 8, 14);

// The value a checked text becomes in a column of `type`.
QVariant valueFor(Schema::ColumnType type, const QString &text)
{
    if (type == Schema::ColumnType::Text || type == Schema::ColumnType::Memo ||
        type == Schema::ColumnType::PinyinKey)
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

// Runs one prepared statement again and again, handing back the new key of an insert:
// straight through SQLite's C interface on a file, where a query object would cost more than
// the write itself.
class Statement
{
public:
    enum Kind { Insert, Write };

    Statement(QSqlDatabase &db, const QString &sql, Kind kind = Insert)
        : m_sqlite(SqliteStatement::connectionOf(db)), m_kind(kind)
    {
        if (m_sqlite)
            m_statement = std::make_unique<SqliteStatement>(m_sqlite, sql, QVariantList());
        else {
            m_query = QSqlQuery(db);
            m_query.prepare(kind == Insert ? SqlDialect::of(db).insertReturningKey(sql) : sql);
        }
    }

    // The new key of an insert, 0 for another write; nothing on a failure.
    std::optional<qint64> run(const QVariantList &values, QString *error)
    {
        if (!m_sqlite)
            return runQuery(values, error);
        if (!m_statement->isValid()) {
            *error = m_statement->error();
            return std::nullopt;
        }
        sqlite3_stmt *s = m_statement->handle();
        sqlite3_reset(s);
        for (int i = 0; i < values.size(); ++i) {
            const QVariant &v = values.at(i);
            if (v.isNull()) {
                sqlite3_bind_null(s, i + 1);
                continue;
            }
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
        return m_kind == Insert ? qint64(sqlite3_last_insert_rowid(m_sqlite)) : 0;
    }

private:
    std::optional<qint64> runQuery(const QVariantList &values, QString *error)
    {
        for (int i = 0; i < values.size(); ++i)
            m_query.bindValue(i, values.at(i));
        if (!m_query.exec() || (m_kind == Insert && !m_query.next())) {
            *error = m_query.lastError().text();
            return std::nullopt;
        }
        return m_kind == Insert ? m_query.value(0).toLongLong() : 0;
    }

    sqlite3 *m_sqlite;
    Kind m_kind;
    std::unique_ptr<SqliteStatement> m_statement;
    QSqlQuery m_query;
};

bool exec(QSqlDatabase &db, const QString &sql, const QVariantList &values, QString *error,
          QSqlQuery *result = nullptr)
{
    QSqlQuery q(db);
    // A server prepares only queries and row writes: a statement without values runs as it is.
    bool ok = values.isEmpty() ? q.exec(sql) : q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    ok = ok && (values.isEmpty() || q.exec());
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

// Former values as the undo record keeps them: a JSON array of texts, null for a missing value.
QString encodeValues(const QList<Schema::ColumnType> &types, const QVariantList &values)
{
    QJsonArray array;
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QVariant &v = values.at(i);
        array.append(v.isNull() ? QJsonValue() : QJsonValue(canonical(types.at(i), v)));
    }
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

QVariantList decodeValues(const QList<Schema::ColumnType> &types, const QString &json)
{
    const QJsonArray array = QJsonDocument::fromJson(json.toUtf8()).array();
    QVariantList values;
    for (qsizetype i = 0; i < types.size(); ++i) {
        const QJsonValue v = array.at(i);
        const Schema::ColumnType type = types.at(i);
        if (v.isNull() || v.isUndefined()) {
            values << (type == Schema::ColumnType::Date ? QVariant(QMetaType::fromType<QDate>())
                                                        : QVariant(QMetaType::fromType<QString>()));
            continue;
        }
        const QString text = v.toString();
        if (type == Schema::ColumnType::Date) {
            const QDate day = QDate::fromString(text, u"yyyy-MM-dd");
            values << (day.isValid() ? QVariant(day) : QVariant(QMetaType::fromType<QDate>()));
        } else {
            values << valueFor(type, text);
        }
    }
    return values;
}

// The values of `columns` of the rows `keys` of `table`, a thousand rows a statement. The keys
// are the database's own numbers, written into the statement: binding a thousand values costs
// more than reading the rows.
bool readRows(QSqlDatabase &db, const QString &table, const QStringList &columns,
              const QList<qint64> &keys, QHash<qint64, QVariantList> *rows, QString *error)
{
    constexpr qsizetype kChunk = 1000;
    rows->reserve(keys.size());
    for (qsizetype from = 0; from < keys.size(); from += kChunk) {
        QStringList chunk;
        for (qsizetype i = from; i < std::min(from + kChunk, keys.size()); ++i)
            chunk << QString::number(keys.at(i));
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("select F_ID, %1 from %2 where F_ID in (%3)")
                        .arg(columns.join(QStringLiteral(", ")), table, chunk.join(u',')))) {
            *error = q.lastError().text();
            return false;
        }
        while (q.next()) {
            QVariantList values;
            values.reserve(columns.size());
            for (qsizetype c = 0; c < columns.size(); ++c)
                values << q.value(int(c) + 1);
            rows->insert(q.value(0).toLongLong(), values);
        }
    }
    return true;
}

// What the import writes: the columns, and for each its type and the preview's field.
struct Target
{
    QString table;
    QStringList columns;
    QList<Schema::ColumnType> types;
    QList<int> fieldOf;
    // For a pinyin key column, the column of its name (written with it); -1 for the others.
    QList<int> keyOf;
    int codeColumn = -1;
};

// The values a preview row gives the columns. An update keeps what a column not mapped holds
// unless the row was given a value for it in the preview: null stands for "keep".
QVariantList rowValues(const Target &target, const ImportPreview &preview, size_t row, bool update)
{
    const QStringList &texts = preview.rows[row];
    QVariantList values;
    values.reserve(target.columns.size());
    for (qsizetype c = 0; c < target.columns.size(); ++c) {
        if (const int name = target.keyOf.at(c); name >= 0) {
            const QVariant &given = values.at(name);
            values << (given.isNull() ? QVariant() : QVariant(Pinyin::key(given.toString())));
            continue;
        }
        const int field = target.fieldOf.at(c);
        const QString &text = texts.at(field);
        if (update && preview.fields.at(field).sheetColumn.isEmpty() && text.isNull())
            values << QVariant();
        else
            values << valueFor(target.types.at(c), text);
    }
    return values;
}

// An update of an existing row by a preview row: the values it gives (null: keep what the row
// holds) and the values the row holds after it.
struct RowUpdate
{
    QVariantList given;
    QVariantList after;
};

RowUpdate updateOf(const Target &target, const ImportPreview &preview, size_t row,
                   const QVariantList &before)
{
    RowUpdate update{rowValues(target, preview, row, true), {}};
    update.after = update.given;
    for (qsizetype c = 0; c < update.after.size(); ++c) {
        // The code stays as the register holds it, as the register editor keeps it.
        if (update.after.at(c).isNull() || c == target.codeColumn)
            update.after[c] = before.value(c);
    }
    return update;
}

// "column = coalesce(<given>, column)" for every column an update writes (all but the code):
// the given value bound, or the column of the table `from` with the values.
QStringList updateAssignments(const Target &target, const QString &from = {})
{
    QStringList assignments;
    for (qsizetype c = 0; c < target.columns.size(); ++c) {
        if (c == target.codeColumn)
            continue;
        const QString &column = target.columns.at(c);
        assignments << (from.isEmpty() ? QStringLiteral("%1 = coalesce(?, %1)").arg(column)
                                       : QStringLiteral("%1 = coalesce(%2.%1, %3.%1)")
                                             .arg(column, from, target.table));
    }
    return assignments;
}

// Every row as `fates` says, with its log entry, one statement a row (SQLite, where a row costs
// less than a bulk path's set-up); the statements are done with before the caller commits.
bool writeRowByRow(QSqlDatabase &db, const Target &target, const ImportPreview &preview,
                   const std::vector<ImportCodes::Fate> &fates, const QHash<QString, qint64> &codes,
                   qint64 batch, const QHash<qint64, QVariantList> &former, WorkTracker &work,
                   Counts *counts, QString *error)
{
    using ImportCodes::Fate;
    Statement inserter(db, QStringLiteral("insert into %1(%2) values(%3)")
                               .arg(target.table, target.columns.join(QStringLiteral(", ")),
                                    placeholders(target.columns.size())));
    const QStringList assignments = updateAssignments(target);
    Statement updater(db,
                      QStringLiteral("update %1 set %2 where F_ID = ?")
                          .arg(target.table, assignments.join(QStringLiteral(", "))),
                      Statement::Write);
    Statement log(db, QStringLiteral("insert into cfg_importrow(F_batch, F_rowID, F_digest, "
                                     "F_kind, F_before) values(?, ?, ?, ?, ?)"));
    const size_t total = preview.rows.size();
    const QString noFormer = QStringLiteral("");
    for (size_t r = 0; r < total; ++r) {
        if (r % 2000 == 0 && !work.report(int(qint64(r) * 100 / qint64(total))))
            return false;
        switch (fates[r]) {
        case Fate::Existing:
            ++counts->existing;
            break;
        case Fate::Repeat:
            ++counts->repeated;
            break;
        case Fate::Add: {
            const QVariantList values = rowValues(target, preview, r, false);
            const std::optional<qint64> key = inserter.run(values, error);
            if (!key || !log.run({batch, *key, digestOf(target.types, values), 0, noFormer}, error))
                return false;
            ++counts->added;
            break;
        }
        case Fate::Update: {
            const qint64 key = codes.value(
                ImportCodes::key(preview.rows[r].at(target.fieldOf.at(target.codeColumn))));
            const QVariantList before = former.value(key);
            const RowUpdate update = updateOf(target, preview, r, before);
            QVariantList bound;
            for (qsizetype c = 0; c < update.given.size(); ++c) {
                if (c != target.codeColumn)
                    bound << update.given.at(c);
            }
            bound << key;
            if ((!assignments.isEmpty() && !updater.run(bound, error)) ||
                !log.run({batch, key, digestOf(target.types, update.after), 1,
                          encodeValues(target.types, before)},
                         error))
                return false;
            ++counts->updated;
            break;
        }
        }
    }
    return true;
}

// The keys the next `count` rows of `table` take, reserved from its key's sequence so that no
// other writer takes them.
bool reserveKeys(QSqlDatabase &db, const QString &table, qsizetype count, std::vector<qint64> *keys,
                 QString *error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // The column's name as the server folded it: this argument is taken literally.
    if (!exec(db,
              QStringLiteral("select nextval(pg_get_serial_sequence(?, 'f_id')) from "
                             "generate_series(1, ?)"),
              {table, count}, error, &q))
        return false;
    keys->reserve(size_t(count));
    while (q.next())
        keys->push_back(q.value(0).toLongLong());
    std::sort(keys->begin(), keys->end());
    if (qsizetype(keys->size()) != count) {
        *error = QStringLiteral("%1 keys reserved for %2 rows").arg(keys->size()).arg(count);
        return false;
    }
    return true;
}

// One row of COPY text: the values, tab-separated.
void appendRow(std::string &out, qint64 first, const QVariantList &values, int leaveOut = -1)
{
    CopyIn::appendNumber(first, out);
    for (qsizetype c = 0; c < values.size(); ++c) {
        if (c == leaveOut)
            continue;
        out += '\t';
        CopyIn::appendValue(values.at(c), out);
    }
}

void appendLog(std::string &log, qint64 batch, qint64 key, const QString &digest, int kind,
               const QString &before)
{
    CopyIn::appendNumber(batch, log);
    log += '\t';
    CopyIn::appendNumber(key, log);
    log += '\t';
    log += digest.toStdString();
    log += kind == 0 ? "\t0\t" : "\t1\t";
    const QByteArray text = before.toUtf8();
    CopyIn::appendEscaped(text.constData(), text.size(), log);
    log += '\n';
}

// The same rows and log as writeRowByRow, in bulk on a server: the added rows through COPY
// under keys reserved first, the updates as one statement over a temporary table of their
// values, and the log through COPY.
bool writeInBulk(QSqlDatabase &db, PGconn *server, const Target &target,
                 const ImportPreview &preview, const std::vector<ImportCodes::Fate> &fates,
                 const QHash<QString, qint64> &codes, qint64 batch,
                 const QHash<qint64, QVariantList> &former, WorkTracker &work, Counts *counts,
                 QString *error)
{
    using ImportCodes::Fate;
    const qsizetype adds = std::count(fates.begin(), fates.end(), Fate::Add);
    std::vector<qint64> keys;
    if (adds > 0 && !reserveKeys(db, target.table, adds, &keys, error))
        return false;
    const QString columns = target.columns.join(QStringLiteral(", "));
    CopyIn added(server);
    if (adds > 0 && !added.start(target.table, QStringLiteral("F_ID, ") + columns, error))
        return false;
    std::string updates;
    std::string log;
    const size_t total = preview.rows.size();
    size_t nextKey = 0;
    for (size_t r = 0; r < total; ++r) {
        if (r % 2000 == 0 && !work.report(int(qint64(r) * 90 / qint64(total))))
            return false;
        switch (fates[r]) {
        case Fate::Existing:
            ++counts->existing;
            break;
        case Fate::Repeat:
            ++counts->repeated;
            break;
        case Fate::Add: {
            const QVariantList values = rowValues(target, preview, r, false);
            const qint64 key = keys[nextKey++];
            appendRow(added.row(), key, values);
            if (!added.endRow(error))
                return false;
            appendLog(log, batch, key, digestOf(target.types, values), 0, QString());
            ++counts->added;
            break;
        }
        case Fate::Update: {
            const qint64 key = codes.value(
                ImportCodes::key(preview.rows[r].at(target.fieldOf.at(target.codeColumn))));
            const QVariantList before = former.value(key);
            const RowUpdate update = updateOf(target, preview, r, before);
            appendRow(updates, key, update.given, target.codeColumn);
            updates += '\n';
            appendLog(log, batch, key, digestOf(target.types, update.after), 1,
                      encodeValues(target.types, before));
            ++counts->updated;
            break;
        }
        }
    }
    if (adds > 0 && !added.finish(error))
        return false;
    if (!work.report(90))
        return false;
    const QStringList assignments = updateAssignments(target, QStringLiteral("import_update"));
    if (!updates.empty() && !assignments.isEmpty()) {
        QStringList written;
        for (qsizetype c = 0; c < target.columns.size(); ++c) {
            if (c != target.codeColumn)
                written << target.columns.at(c);
        }
        const QString given = written.join(QStringLiteral(", "));
        // A row the workbook gives the values it holds is left unwritten: the same rows result,
        // without a new version of each row and of every index entry.
        QStringList changes;
        for (const QString &column : std::as_const(written))
            changes << QStringLiteral("%1.%2 is distinct from coalesce(import_update.%2, %1.%2)")
                           .arg(target.table, column);
        CopyIn updated(server);
        if (!exec(db,
                  QStringLiteral("create temporary table import_update on commit drop as "
                                 "select F_ID, %1 from %2 where false")
                      .arg(given, target.table),
                  {}, error) ||
            !updated.start(QStringLiteral("import_update"), QStringLiteral("F_ID, ") + given,
                           error) ||
            !updated.sendRows(updates, error) || !updated.finish(error) ||
            !exec(db,
                  QStringLiteral("update %1 set %2 from import_update where %1.F_ID = "
                                 "import_update.F_ID and (%3)")
                      .arg(target.table, assignments.join(QStringLiteral(", ")),
                           changes.join(QStringLiteral(" or "))),
                  {}, error))
            return false;
    }
    if (!work.report(95))
        return false;
    CopyIn logged(server);
    return log.empty() ||
           (logged.start(QStringLiteral("cfg_importrow"),
                         QStringLiteral("F_batch, F_rowID, F_digest, F_kind, F_before"), error) &&
            logged.sendRows(log, error) && logged.finish(error));
}

// The batch record and every row with its log entry, each row as `fates` says.
bool writeRows(QSqlDatabase &db, const Target &target, const ImportPreview &preview,
               const std::vector<ImportCodes::Fate> &fates, const QHash<QString, qint64> &codes,
               const QString &operatorName, WorkTracker &work, Counts *counts, QString *error)
{
    using ImportCodes::Fate;
    // The rows an update overwrites, as they are now, for the undo.
    QList<qint64> updatedKeys;
    for (size_t r = 0; r < fates.size(); ++r) {
        if (fates[r] == Fate::Update)
            updatedKeys << codes.value(
                ImportCodes::key(preview.rows[r].at(target.fieldOf.at(target.codeColumn))));
    }
    QHash<qint64, QVariantList> former;
    if (!readRows(db, target.table, target.columns, updatedKeys, &former, error))
        return false;

    Statement batchInserter(db,
                            QStringLiteral("insert into cfg_importbatch(F_tablename, "
                                           "F_OperName, F_stamp, F_columns) values(?, ?, ?, ?)"));
    const std::optional<qint64> batch = batchInserter.run(
        {target.table, operatorName, QDateTime::currentDateTime().toString(u"yyyy-MM-dd hh:mm:ss"),
         target.columns.join(u',')},
        error);
    if (!batch)
        return false;
    if (PGconn *server = serverHandle(db))
        return writeInBulk(db, server, target, preview, fates, codes, *batch, former, work, counts,
                           error);
    return writeRowByRow(db, target, preview, fates, codes, *batch, former, work, counts, error);
}

} // namespace

WorkResult store(const DataSource &source, const QString &table, const ImportPreview &preview,
                 const QString &operatorName, ImportCodes::Duplicates duplicates, Counts *counts,
                 const WorkProgress &progress)
{
    *counts = {};
    Target target;
    target.table = table;
    const int codeField = ImportCodes::codeField(preview);
    for (int f = 0; f < preview.fields.size(); ++f) {
        const Schema::Column *c = Schema::column(table, preview.fields.at(f).field);
        if (!c || c->type == Schema::ColumnType::Key)
            return WorkResult::failed(QStringLiteral("%1 has no column %2 to import into")
                                          .arg(table, preview.fields.at(f).field));
        if (target.columns.contains(QLatin1String(c->name), Qt::CaseInsensitive))
            continue;
        if (f == codeField)
            target.codeColumn = int(target.columns.size());
        target.columns << QLatin1String(c->name);
        target.types << c->type;
        target.fieldOf << f;
        target.keyOf << -1;
    }
    for (qsizetype c = 0, named = target.columns.size(); c < named; ++c) {
        const QString key = Pinyin::keyColumn(table, target.columns.at(c));
        if (key.isEmpty())
            continue;
        target.columns << key;
        target.types << Schema::ColumnType::PinyinKey;
        target.fieldOf << -1;
        target.keyOf << int(c);
    }

    OwnConnection connection(source, QStringLiteral("import"));
    if (!connection.isOpen())
        return WorkResult::failed(connection.error());
    QSqlDatabase &db = connection.db();
    Transaction transaction(db);
    QHash<QString, qint64> codes;
    QString error;
    // The codes are read inside the transaction that writes, so the counts are the truth.
    if (!transaction.began(&error) ||
        !exec(db, QStringLiteral("delete from cfg_importrow"), {}, &error) ||
        !exec(db, QStringLiteral("delete from cfg_importbatch"), {}, &error) ||
        (codeField >= 0 && !ImportCodes::readCodes(db, table, &codes, &error)))
        return WorkResult::failed(error);
    const std::vector<ImportCodes::Fate> fates = ImportCodes::plan(preview, codes, duplicates);
    WorkTracker work(progress);
    if (!writeRows(db, target, preview, fates, codes, operatorName, work, counts, &error)) {
        *counts = {};
        return work.result(false, error);
    }
    // An import that changes nothing leaves the record of the last one that did, to undo.
    if (counts->added + counts->updated == 0)
        return WorkResult::done();
    if (!transaction.commit(&error)) {
        *counts = {};
        return WorkResult::failed(error);
    }
    return WorkResult::done();
}

WorkResult registerCodes(const DataSource &source, const QString &table,
                         QHash<QString, qint64> *codes)
{
    OwnConnection connection(source, QStringLiteral("import-codes"));
    QString error;
    if (!connection.isOpen())
        return WorkResult::failed(connection.error());
    if (!ImportCodes::readCodes(connection.db(), table, codes, &error))
        return WorkResult::failed(error);
    return WorkResult::done();
}

namespace {

// A row of the last import that still exists.
struct BatchRow
{
    qint64 key;
    bool updated;
    QString before; // an updated row's former values
};

struct BatchRows
{
    QString table;
    QStringList columns;
    QList<Schema::ColumnType> types;
    QList<BatchRow> kept;   // unchanged since the import
    QList<BatchRow> edited; // changed since
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
              QStringLiteral("select r.F_rowID, r.F_digest, r.F_kind, r.F_before, %1%2 from "
                             "cfg_importrow r join %3 t on t.F_ID = r.F_rowID where r.F_batch = ? "
                             "order by r.F_rowID")
                  .arg(named ? QStringLiteral("t.F_Code, t.F_Name, ") : QString(),
                       QStringLiteral("t.") + out->columns.join(QStringLiteral(", t.")), table),
              {batch}, error, &q))
        return false;
    const int first = named ? 6 : 4;
    while (q.next()) {
        QVariantList values;
        for (qsizetype c = 0; c < out->columns.size(); ++c)
            values << q.value(first + int(c));
        const bool updated = q.value(2).toInt() == 1;
        const BatchRow row{q.value(0).toLongLong(), updated,
                           updated ? q.value(3).toString() : QString()};
        if (digestOf(out->types, values) == q.value(1).toString()) {
            out->kept << row;
        } else {
            out->edited << row;
            out->editedLines << (named ? q.value(4).toString() + u' ' + q.value(5).toString()
                                       : QString::number(row.key));
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

// Deletes the added rows of `undone` and gives the updated ones their former values.
bool undoRows(QSqlDatabase &db, const BatchRows &rows, const QList<BatchRow> &undone, int *removed,
              int *restored, QString *error)
{
    QStringList assignments;
    for (const QString &c : rows.columns)
        assignments << c + QStringLiteral(" = ?");
    Statement remove(db, QStringLiteral("delete from %1 where F_ID = ?").arg(rows.table),
                     Statement::Write);
    Statement restore(db,
                      QStringLiteral("update %1 set %2 where F_ID = ?")
                          .arg(rows.table, assignments.join(QStringLiteral(", "))),
                      Statement::Write);
    for (const BatchRow &row : undone) {
        if (row.updated) {
            QVariantList values = decodeValues(rows.types, row.before);
            values << row.key;
            if (!restore.run(values, error))
                return false;
            ++*restored;
        } else {
            if (!remove.run({row.key}, error))
                return false;
            ++*removed;
        }
    }
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
    for (const QList<BatchRow> *list : {&rows.kept, &rows.edited}) {
        for (const BatchRow &row : *list)
            ++(row.updated ? last.updated : last.rows);
    }
    for (const BatchRow &row : std::as_const(rows.edited))
        last.editedKeys << row.key;
    last.editedLines = rows.editedLines;
    return last;
}

WorkResult undo(const DataSource &source, qint64 batch, bool includingEdited, int *removed,
                int *restored)
{
    *removed = 0;
    *restored = 0;
    OwnConnection connection(source, QStringLiteral("import-undo"));
    if (!connection.isOpen())
        return WorkResult::failed(connection.error());
    QSqlDatabase &db = connection.db();
    Transaction transaction(db);
    QString error;
    if (!transaction.began(&error))
        return WorkResult::failed(error);
    qint64 current = 0;
    QString table, operatorName, stamp, columns;
    if (!readBatch(db, &current, &table, &operatorName, &stamp, &columns, &error))
        return WorkResult::failed(error);
    if (current != batch)
        return WorkResult::failed(QStringLiteral("the last import changed meanwhile"));
    // Read again inside the transaction: a row changed since the question was asked is kept.
    BatchRows rows;
    if (!readBatchRows(db, batch, table, columns, &rows, &error))
        return WorkResult::failed(error);
    QList<BatchRow> undone = rows.kept;
    if (includingEdited)
        undone << rows.edited;
    if (!undoRows(db, rows, undone, removed, restored, &error) ||
        !exec(db, QStringLiteral("delete from cfg_importrow"), {}, &error) ||
        !exec(db, QStringLiteral("delete from cfg_importbatch"), {}, &error) ||
        !transaction.commit(&error)) {
        *removed = 0;
        *restored = 0;
        return WorkResult::failed(error);
    }
    return WorkResult::done();
}

} // namespace ImportStore
