#include "core/TableCopy.h"

#include "core/CopyIn.h"
#include "core/ServerHandle.h"
#include "core/SqliteStatement.h"

#include <QSqlDriver>
#include <QStringList>
#include <charconv>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <string>

namespace TableCopy {

namespace {

using Schema::ColumnType;

constexpr qint64 kRowsPerReport = 8192;

QString columnList(const Schema::Table &table)
{
    QStringList names;
    for (const Schema::Column &c : table.columns)
        names << QLatin1String(c.name);
    return names.join(u',');
}

// An insert of one row of `table` into a SQLite file, its values bound by position.
QString fileInsertSql(const Schema::Table &table)
{
    QStringList marks;
    for (size_t i = 0; i < table.columns.size(); ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("insert into %1(%2) values(%3)")
        .arg(QLatin1String(table.name), columnList(table), marks.join(u','));
}

QString serverError(PGconn *conn)
{
    return QString::fromUtf8(PQerrorMessage(conn)).trimmed();
}

// Reads what is left of a COPY and its final result; the first failure wins.
bool finishCommand(PGconn *conn, QString *error)
{
    bool ok = true;
    while (PGresult *result = PQgetResult(conn)) {
        if (ok && PQresultStatus(result) != PGRES_COMMAND_OK) {
            *error = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
            ok = false;
        }
        PQclear(result);
    }
    return ok;
}

bool startCopy(PGconn *conn, const QString &sql, ExecStatusType expected, QString *error)
{
    PGresult *result = PQexec(conn, sql.toUtf8().constData());
    const bool ok = PQresultStatus(result) == expected;
    if (!ok)
        *error = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
    PQclear(result);
    return ok;
}

// One field of COPY's text format, its escapes undone, into `out`.
void unescape(const char *begin, const char *end, std::string &out)
{
    out.clear();
    for (const char *p = begin; p < end; ++p) {
        if (*p != '\\' || p + 1 == end) {
            out += *p;
            continue;
        }
        switch (*++p) {
        case 'b':
            out += '\b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'v':
            out += '\v';
            break;
        default:
            out += *p;
            break;
        }
    }
}

void bindField(sqlite3_stmt *insert, int index, ColumnType type, const std::string &text)
{
    switch (type) {
    case ColumnType::Key:
    case ColumnType::Integer: {
        qint64 value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        sqlite3_bind_int64(insert, index, value);
        break;
    }
    case ColumnType::Float: {
        double value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        sqlite3_bind_double(insert, index, value);
        break;
    }
    case ColumnType::Bool:
        sqlite3_bind_int(insert, index, text == "t" ? 1 : 0);
        break;
    case ColumnType::Blob: {
        // bytea in the text form the session writes, hex or escaped.
        size_t size = 0;
        unsigned char *bytes =
            PQunescapeBytea(reinterpret_cast<const unsigned char *>(text.c_str()), &size);
        sqlite3_bind_blob64(insert, index, bytes, sqlite3_uint64(size), SQLITE_TRANSIENT);
        PQfreemem(bytes);
        break;
    }
    default:
        sqlite3_bind_text(insert, index, text.data(), int(text.size()), SQLITE_TRANSIENT);
        break;
    }
}

// One value of the file as COPY text. Other tools leave empty text in number, date and yes/no
// columns, which the server would refuse: that is no value.
void appendField(sqlite3_stmt *select, int index, ColumnType type, std::string &out)
{
    const int stored = sqlite3_column_type(select, index);
    if (type == ColumnType::Bool && stored != SQLITE_NULL && stored != SQLITE_TEXT) {
        out += sqlite3_column_double(select, index) != 0 ? 't' : 'f';
        return;
    }
    if (type == ColumnType::Blob && stored != SQLITE_NULL) {
        // bytea in hex, its backslash doubled as COPY's text format wants.
        const QByteArray bytes =
            QByteArray::fromRawData(static_cast<const char *>(sqlite3_column_blob(select, index)),
                                    sqlite3_column_bytes(select, index));
        out += "\\\\x";
        out += bytes.toHex().toStdString();
        return;
    }
    switch (stored) {
    case SQLITE_NULL:
        out += "\\N";
        break;
    case SQLITE_INTEGER:
        CopyIn::appendNumber(qint64(sqlite3_column_int64(select, index)), out);
        break;
    case SQLITE_FLOAT:
        CopyIn::appendNumber(sqlite3_column_double(select, index), out);
        break;
    default: {
        const int size = sqlite3_column_bytes(select, index);
        const bool textColumn =
            type == ColumnType::Text || type == ColumnType::Memo || type == ColumnType::PinyinKey;
        if (size == 0 && !textColumn)
            out += "\\N";
        else
            CopyIn::appendEscaped(
                reinterpret_cast<const char *>(sqlite3_column_text(select, index)), size, out);
        break;
    }
    }
}

} // namespace

bool serverToFile(QSqlDatabase &server, QSqlDatabase &file, const Schema::Table &table,
                  QString *error, const RowsDone &rowsDone)
{
    PGconn *conn = serverHandle(server);
    sqlite3 *db = SqliteStatement::connectionOf(file);
    if (!conn || !db) {
        *error = QStringLiteral("bulk copy needs a server and a SQLite file");
        return false;
    }
    const QString columns = columnList(table);
    const QString name = QLatin1String(table.name);
    sqlite3_stmt *insert = nullptr;
    const QByteArray insertSql = fileInsertSql(table).toUtf8();
    if (sqlite3_prepare_v2(db, insertSql.constData(), -1, &insert, nullptr) != SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(db));
        return false;
    }
    if (!startCopy(conn, QStringLiteral("copy (select %1 from %2) to stdout").arg(columns, name),
                   PGRES_COPY_OUT, error)) {
        sqlite3_finalize(insert);
        return false;
    }
    bool ok = true;
    qint64 rows = 0;
    std::string field;
    char *line = nullptr;
    int size = 0;
    while ((size = PQgetCopyData(conn, &line, 0)) > 0) {
        if (ok) {
            const char *p = line;
            const char *end = line + size - (line[size - 1] == '\n' ? 1 : 0);
            for (size_t i = 0; i < table.columns.size() && p <= end; ++i) {
                const char *stop = p;
                while (stop < end && *stop != '\t')
                    ++stop;
                if (stop - p == 2 && p[0] == '\\' && p[1] == 'N') {
                    sqlite3_bind_null(insert, int(i) + 1);
                } else {
                    unescape(p, stop, field);
                    bindField(insert, int(i) + 1, table.columns[i].type, field);
                }
                p = stop + 1;
            }
            if (sqlite3_step(insert) != SQLITE_DONE) {
                *error = QString::fromUtf8(sqlite3_errmsg(db));
                ok = false;
            }
            sqlite3_reset(insert);
            if (ok && ++rows % kRowsPerReport == 0 && rowsDone && !rowsDone(rows)) {
                *error = QStringLiteral("stopped");
                ok = false;
            }
            // The rest of the table is not wanted: the server stops sending it.
            if (!ok) {
                if (PGcancel *cancel = PQgetCancel(conn)) {
                    char reason[256];
                    PQcancel(cancel, reason, sizeof reason);
                    PQfreeCancel(cancel);
                }
            }
        }
        PQfreemem(line);
    }
    sqlite3_finalize(insert);
    if (size == -2 && ok) {
        *error = serverError(conn);
        ok = false;
    }
    QString finished;
    if (!finishCommand(conn, &finished) && ok) {
        *error = finished;
        ok = false;
    }
    if (ok && rowsDone && !rowsDone(rows)) {
        *error = QStringLiteral("stopped");
        ok = false;
    }
    return ok;
}

bool fileToServer(QSqlDatabase &file, QSqlDatabase &server, const Schema::Table &table,
                  QString *error, const RowsDone &rowsDone)
{
    PGconn *conn = serverHandle(server);
    sqlite3 *db = SqliteStatement::connectionOf(file);
    if (!conn || !db) {
        *error = QStringLiteral("bulk copy needs a SQLite file and a server");
        return false;
    }
    const QString columns = columnList(table);
    const QString name = QLatin1String(table.name);
    SqliteStatement source(db, QStringLiteral("select %1 from %2").arg(columns, name), {});
    if (!source.isValid()) {
        *error = source.error();
        return false;
    }
    CopyIn copy(conn);
    if (!copy.start(name, columns, error))
        return false;
    const int count = int(table.columns.size());
    qint64 rows = 0;
    sqlite3_stmt *select = source.handle();
    while (source.step()) {
        for (int i = 0; i < count; ++i) {
            if (i > 0)
                copy.tab();
            appendField(select, i, table.columns[size_t(i)].type, copy.row());
        }
        if (!copy.endRow(error))
            return false;
        if (++rows % kRowsPerReport == 0 && rowsDone && !rowsDone(rows)) {
            *error = QStringLiteral("stopped");
            return false;
        }
    }
    if (!source.error().isEmpty()) {
        *error = source.error();
        return false;
    }
    if (!copy.finish(error))
        return false;
    if (rowsDone && !rowsDone(rows)) {
        *error = QStringLiteral("stopped");
        return false;
    }
    return true;
}

bool fileToFile(QSqlDatabase &from, QSqlDatabase &to, const Schema::Table &table, QString *error,
                const RowsDone &rowsDone)
{
    sqlite3 *source = SqliteStatement::connectionOf(from);
    sqlite3 *target = SqliteStatement::connectionOf(to);
    if (!source || !target) {
        *error = QStringLiteral("a file copy needs two SQLite files");
        return false;
    }
    SqliteStatement select(
        source,
        QStringLiteral("select %1 from %2").arg(columnList(table), QLatin1String(table.name)), {});
    SqliteStatement insert(target, fileInsertSql(table), {});
    if (!select.isValid() || !insert.isValid()) {
        *error = select.isValid() ? insert.error() : select.error();
        return false;
    }
    const int count = int(table.columns.size());
    qint64 rows = 0;
    while (select.step()) {
        for (int i = 0; i < count; ++i)
            sqlite3_bind_value(insert.handle(), i + 1, sqlite3_column_value(select.handle(), i));
        if (sqlite3_step(insert.handle()) != SQLITE_DONE) {
            *error = QString::fromUtf8(sqlite3_errmsg(target));
            return false;
        }
        sqlite3_reset(insert.handle());
        if (++rows % kRowsPerReport == 0 && rowsDone && !rowsDone(rows)) {
            *error = QStringLiteral("stopped");
            return false;
        }
    }
    if (!select.error().isEmpty()) {
        *error = select.error();
        return false;
    }
    if (rowsDone && !rowsDone(rows)) {
        *error = QStringLiteral("stopped");
        return false;
    }
    return true;
}

} // namespace TableCopy
