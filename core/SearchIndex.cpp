#include "core/SearchIndex.h"

#include "core/ServerSearchIndex.h"
#include "core/SqliteStatement.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <sqlite3.h>

namespace SearchIndex {

namespace {

const QStringList kIndexedColumns = {
    QStringLiteral("F_goodName"),  QStringLiteral("F_spec"),       QStringLiteral("F_CGsuppler"),
    QStringLiteral("F_XSclient"),  QStringLiteral("F_goodNamePY"), QStringLiteral("F_CGsupplerPY"),
    QStringLiteral("F_XSclientPY")};

bool isIndexed(const QString &table, const QString &column)
{
    return table.compare(u"GoodMain", Qt::CaseInsensitive) == 0 &&
           std::any_of(kIndexedColumns.cbegin(), kIndexedColumns.cend(), [&](const QString &c) {
               return c.compare(column, Qt::CaseInsensitive) == 0;
           });
}

// An FTS5 phrase of `text` limited to `column`.
QString phrase(const QString &column, QString text)
{
    text.replace(u'"', QStringLiteral("\"\""));
    return QStringLiteral("{%1} : \"%2\"").arg(column, text);
}

// Length in bytes of the UTF-8 sequence starting with `lead`.
int sequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead >> 5) == 0x6)
        return 2;
    if ((lead >> 4) == 0xE)
        return 3;
    if ((lead >> 3) == 0x1E)
        return 4;
    return 1;
}

// Emits every pair of neighbouring characters, ASCII letters folded to lower case as the
// like operator folds them. Spaces and punctuation take part like any character, so a
// phrase of pairs matches exactly the texts that contain the searched text.
int tokenizePairs(Fts5Tokenizer *, void *context, int, const char *text, int length,
                  int (*token)(void *, int, const char *, int, int, int))
{
    std::vector<int> starts;
    for (int i = 0; i < length; i += sequenceLength(static_cast<unsigned char>(text[i])))
        starts.push_back(i);
    starts.push_back(length);
    std::string pair;
    for (size_t c = 0; c + 2 < starts.size(); ++c) {
        pair.assign(text + starts[c], size_t(starts[c + 2] - starts[c]));
        for (char &ch : pair) {
            if (ch >= 'A' && ch <= 'Z')
                ch = char(ch - 'A' + 'a');
        }
        const int rc = token(context, 0, pair.data(), int(pair.size()), starts[c], starts[c + 2]);
        if (rc != SQLITE_OK)
            return rc;
    }
    return SQLITE_OK;
}

int createTokenizer(void *, const char **, int, Fts5Tokenizer **out)
{
    // Stateless: any non-null handle will do.
    static int instance = 0;
    *out = reinterpret_cast<Fts5Tokenizer *>(&instance);
    return SQLITE_OK;
}

void deleteTokenizer(Fts5Tokenizer *) {}

fts5_api *ftsApi(sqlite3 *handle)
{
    fts5_api *api = nullptr;
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(handle, "select fts5(?1)", -1, &statement, nullptr) != SQLITE_OK)
        return nullptr;
    sqlite3_bind_pointer(statement, 1, &api, "fts5_api_ptr", nullptr);
    sqlite3_step(statement);
    sqlite3_finalize(statement);
    return api;
}

QString columnList(const QString &prefix)
{
    QStringList names;
    for (const QString &c : kIndexedColumns)
        names << prefix + c;
    return names.join(QStringLiteral(", "));
}

} // namespace

Narrowing narrowing(const SqlDialect &dialect, const QString &table, const QString &column,
                    const QString &text, SqlFilter::Match match)
{
    if (dialect.engine() == Engine::PostgreSQL)
        return ServerSearchIndex::narrowing(dialect, table, column, text, match);
    // Texts of two or more characters can be narrowed by the index of character pairs.
    if (!isIndexed(table, column) || match != SqlFilter::Match::Contains ||
        text.toUcs4().size() < 2)
        return {};
    return {QStringLiteral("F_ID in (select rowid from %1_fts where %1_fts match ?)").arg(table),
            {phrase(column, text)}};
}

Narrowing eitherNarrowing(const SqlDialect &dialect, const QString &table, const QString &column,
                          const QString &text, const QString &keyColumn, const QString &term)
{
    if (dialect.engine() == Engine::PostgreSQL) {
        // Each side through its own index, so that no row is tested against the other's.
        const Narrowing name = narrowing(dialect, table, column, text, SqlFilter::Match::Contains);
        const Narrowing key =
            narrowing(dialect, table, keyColumn, term, SqlFilter::Match::Contains);
        if (name.piece.isEmpty() || key.piece.isEmpty())
            return {};
        return {QStringLiteral("F_ID in (select F_ID from %1 where %2 union select F_ID from %1 "
                               "where %3)")
                    .arg(table, name.piece, key.piece),
                name.values + key.values};
    }
    if (!isIndexed(table, column) || !isIndexed(table, keyColumn) || text.toUcs4().size() < 2 ||
        term.size() < 2)
        return {};
    return {QStringLiteral("F_ID in (select rowid from %1_fts where %1_fts match ?)").arg(table),
            {phrase(column, text) + QStringLiteral(" OR ") + phrase(keyColumn, term)}};
}

namespace {

QStringList fullTextStatements()
{
    const QString columns = columnList(QString());
    const QString newValues = columnList(QStringLiteral("new."));
    const QString oldValues = columnList(QStringLiteral("old."));
    return {
        QStringLiteral("create virtual table GoodMain_fts using fts5(%1, content='GoodMain', "
                       "content_rowid='F_ID', tokenize='%2')")
            .arg(columns, QLatin1String(kTokenizer)),
        QStringLiteral("create trigger GoodMain_fts_insert after insert on GoodMain begin "
                       "insert into GoodMain_fts(rowid, %1) values(new.F_ID, %2); end")
            .arg(columns, newValues),
        QStringLiteral("create trigger GoodMain_fts_delete after delete on GoodMain begin "
                       "insert into GoodMain_fts(GoodMain_fts, rowid, %1) "
                       "values('delete', old.F_ID, %2); end")
            .arg(columns, oldValues),
        QStringLiteral("create trigger GoodMain_fts_update after update of F_ID, %1 on GoodMain "
                       "begin insert into GoodMain_fts(GoodMain_fts, rowid, %1) "
                       "values('delete', old.F_ID, %2); insert into GoodMain_fts(rowid, %1) "
                       "values(new.F_ID, %3); end")
            .arg(columns, oldValues, newValues),
    };
}

} // namespace

QStringList createStatements(const SqlDialect &dialect)
{
    if (dialect.engine() != Engine::SQLite)
        return ServerSearchIndex::createStatements();
    return fullTextStatements() +
           QStringList{
               // The like operator ignores case, so only an index that ignores case serves it; the
               // edit date rides along so a count never has to visit the rows.
               QStringLiteral(
                   "create index ix_goodmain_goodcode_nocase on GoodMain(F_goodCode collate "
                   "nocase, F_editDate)"),
               barCodeIndexStatement(),
           };
}

QString barCodeIndexStatement()
{
    return QStringLiteral("create index if not exists ix_goodmain_tmcode_nocase on "
                          "GoodMain(F_TMcode collate nocase)");
}

bool registerTokenizer(const QSqlDatabase &db, QString *error)
{
    sqlite3 *connection = SqliteStatement::connectionOf(db);
    fts5_api *api = connection ? ftsApi(connection) : nullptr;
    if (!api) {
        *error = QStringLiteral("SQLite without full-text search (FTS5)");
        return false;
    }
    fts5_tokenizer tokenizer{createTokenizer, deleteTokenizer, tokenizePairs};
    if (api->xCreateTokenizer(api, kTokenizer, nullptr, &tokenizer, nullptr) != SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(connection));
        return false;
    }
    return true;
}

QStringList dropStatements()
{
    return {QStringLiteral("drop trigger if exists GoodMain_fts_insert"),
            QStringLiteral("drop trigger if exists GoodMain_fts_delete"),
            QStringLiteral("drop trigger if exists GoodMain_fts_update"),
            QStringLiteral("drop table if exists GoodMain_fts")};
}

QStringList rebuildStatements()
{
    return dropStatements() + fullTextStatements() +
           QStringList{QStringLiteral("insert into GoodMain_fts(GoodMain_fts) values('rebuild')")};
}

bool ensureBuilt(QSqlDatabase &db, QString *error)
{
    if (db.tables().contains(QStringLiteral("GoodMain_fts"), Qt::CaseInsensitive))
        return true;
    QSqlQuery q(db);
    for (const QString &sql :
         createStatements(SqlDialect(Engine::SQLite)) +
             QStringList{QStringLiteral("insert into GoodMain_fts(GoodMain_fts) "
                                        "values('rebuild')")}) {
        if (!q.exec(sql)) {
            *error = q.lastError().text();
            return false;
        }
    }
    return true;
}

} // namespace SearchIndex
