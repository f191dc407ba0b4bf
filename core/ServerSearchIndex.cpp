#include "core/ServerSearchIndex.h"

#include "core/Transaction.h"

#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>

namespace ServerSearchIndex {

namespace {

struct Searched
{
    const char *table;
    const char *column;
    SqlFilter::Match match;
    int since = 1; // the schema version whose column it is
};

// The columns the lists search: the main list's search fields and the register windows'.
const Searched kSearched[] = {
    {"GoodMain", "F_goodName", SqlFilter::Match::Contains},
    {"GoodMain", "F_spec", SqlFilter::Match::Contains},
    {"GoodMain", "F_CGsuppler", SqlFilter::Match::Contains},
    {"GoodMain", "F_XSclient", SqlFilter::Match::Contains},
    {"GoodMain", "F_Memo1", SqlFilter::Match::Contains},
    {"GoodMain", "F_goodCode", SqlFilter::Match::StartsWith},
    {"GoodMain", "F_TMcode", SqlFilter::Match::StartsWith},
    {"GoodMain", "F_tiji", SqlFilter::Match::StartsWith},
    {"GoodMain", "F_depotPos", SqlFilter::Match::StartsWith},
    {"GoodMain", "F_huoJia", SqlFilter::Match::StartsWith},
    {"GoodMain", "F_other1", SqlFilter::Match::StartsWith},
    {"GoodMain", "F_other2", SqlFilter::Match::StartsWith},
    {"GoodMain", "F_other3", SqlFilter::Match::StartsWith},
    {"GoodMain", "F_other4", SqlFilter::Match::StartsWith},
    {"T_client", "F_Code", SqlFilter::Match::StartsWith},
    {"T_client", "F_Name", SqlFilter::Match::Contains},
    {"T_client", "F_LinkMan", SqlFilter::Match::Contains},
    {"T_client", "F_Address", SqlFilter::Match::Contains},
    {"T_suppler", "F_Code", SqlFilter::Match::StartsWith},
    {"T_suppler", "F_Name", SqlFilter::Match::Contains},
    {"T_suppler", "F_LinkMan", SqlFilter::Match::Contains},
    {"T_suppler", "F_Address", SqlFilter::Match::Contains},
    {"T_goods", "F_Code", SqlFilter::Match::Contains},
    {"T_goods", "F_Name", SqlFilter::Match::Contains},
    {"T_goods", "F_TMcode", SqlFilter::Match::Contains},
    {"T_goods", "F_spec", SqlFilter::Match::Contains},
    // The names' pinyin keys, searched beside the names.
    {"GoodMain", "F_goodNamePY", SqlFilter::Match::Contains, 9},
    {"GoodMain", "F_CGsupplerPY", SqlFilter::Match::Contains, 9},
    {"GoodMain", "F_XSclientPY", SqlFilter::Match::Contains, 9},
    {"T_client", "F_NamePY", SqlFilter::Match::Contains, 9},
    {"T_suppler", "F_NamePY", SqlFilter::Match::Contains, 9},
    {"T_goods", "F_NamePY", SqlFilter::Match::Contains, 9},
};

// Every pair of neighbouring characters of the lower-cased text: a text contains a word only
// if it holds all of the word's pairs, lower-cased as ilike compares them.
const char *const kPairFunction =
    "create or replace function quorin_pairs(t text) returns text[] language plpgsql "
    "immutable strict parallel safe as $$ "
    "declare l text := lower(t); r text[] := '{}'; "
    "begin for i in 1 .. length(l) - 1 loop r := r || substr(l, i, 2); end loop; return r; "
    "end $$";

QString indexName(const Searched &s, const char *kind)
{
    return QStringLiteral("ix_%1_%2_%3")
        .arg(QLatin1String(s.table), QLatin1String(s.column), QLatin1String(kind))
        .toLower();
}

QString createIndex(const Searched &s, const char *kind, const QString &method)
{
    return QStringLiteral("create index if not exists %1 on %2 %3")
        .arg(indexName(s, kind), QLatin1String(s.table), method);
}

const Searched *searched(const QString &table, const QString &column)
{
    for (const Searched &s : kSearched) {
        if (table.compare(QLatin1String(s.table), Qt::CaseInsensitive) == 0 &&
            column.compare(QLatin1String(s.column), Qt::CaseInsensitive) == 0)
            return &s;
    }
    return nullptr;
}

QStringList trigramIndexNames()
{
    QStringList names;
    for (const Searched &s : kSearched) {
        if (s.match == SqlFilter::Match::Contains)
            names << u'\'' + indexName(s, "trgm") + u'\'';
    }
    return names;
}

bool hasTrigramIndexes(QSqlDatabase &db)
{
    const QStringList names = trigramIndexNames();
    QSqlQuery q(db);
    return q.exec(QStringLiteral("select count(*) from pg_indexes where schemaname = "
                                 "current_schema() and indexname in (%1)")
                      .arg(names.join(u','))) &&
           q.next() && q.value(0).toInt() == names.size();
}

// pg_trgm splits words at anything but letters and digits, and in a database whose character
// type is C it takes no Chinese character for a letter: only a run of three Latin letters or
// digits surely gives it a trigram to look up.
bool hasLatinTrigram(const QString &text)
{
    int run = 0;
    for (const QChar c : text) {
        run = c.isLetterOrNumber() && c.unicode() < 0x80 ? run + 1 : 0;
        if (run == 3)
            return true;
    }
    return false;
}

void logMissingOnce(const QString &reason)
{
    static bool told = false;
    if (told)
        return;
    told = true;
    qWarning().noquote() << "PostgreSQL search without trigram indexes (pg_trgm):" << reason
                         << "-- contains searches use the pair index only";
}

} // namespace

QStringList createStatements(int version)
{
    // Building GIN indexes over a large register takes less time with more memory.
    QStringList statements{QStringLiteral("set local maintenance_work_mem = '256MB'"),
                           QString::fromLatin1(kPairFunction)};
    for (const Searched &s : kSearched) {
        if (s.since > version)
            continue;
        const QString column = QString::fromLatin1(s.column);
        statements << (s.match == SqlFilter::Match::Contains
                           ? createIndex(s, "pairs",
                                         QStringLiteral("using gin (quorin_pairs(%1))").arg(column))
                           : createIndex(
                                 s, "prefix",
                                 QStringLiteral("(lower(%1) text_pattern_ops)").arg(column)));
    }
    return statements;
}

QStringList dropStatements()
{
    QStringList statements;
    const QString drop = QStringLiteral("drop index if exists ");
    for (const Searched &s : kSearched) {
        if (s.match == SqlFilter::Match::Contains)
            statements << drop + indexName(s, "pairs") << drop + indexName(s, "trgm");
        else
            statements << drop + indexName(s, "prefix");
    }
    return statements;
}

bool addTrigramIndexes(QSqlDatabase &db, int version)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("savepoint quorin_trigrams"))) {
        logMissingOnce(q.lastError().text());
        return false;
    }
    QStringList statements{QStringLiteral("create extension if not exists pg_trgm")};
    for (const Searched &s : kSearched) {
        if (s.match == SqlFilter::Match::Contains && s.since <= version)
            statements << createIndex(
                s, "trgm",
                QStringLiteral("using gin (lower(%1) gin_trgm_ops)").arg(QLatin1String(s.column)));
    }
    for (const QString &sql : std::as_const(statements)) {
        if (!q.exec(sql)) {
            logMissingOnce(q.lastError().text());
            q.exec(QStringLiteral("rollback to savepoint quorin_trigrams"));
            return false;
        }
    }
    return q.exec(QStringLiteral("release savepoint quorin_trigrams"));
}

bool ensureTrigramIndexes(QSqlDatabase &db)
{
    if (hasTrigramIndexes(db))
        return true;
    Transaction transaction(db);
    QString error;
    if (!transaction.began(&error)) {
        logMissingOnce(error);
        return false;
    }
    return addTrigramIndexes(db) && transaction.commit(&error);
}

SearchIndex::Narrowing narrowing(const SqlDialect &dialect, const QString &table,
                                 const QString &column, const QString &text, SqlFilter::Match match)
{
    const Searched *s = searched(table, column);
    if (!s || s->match != match || text.isEmpty())
        return {};
    const QString lowerLike =
        QStringLiteral("lower(%1) like lower(?)").arg(column) + dialect.likeEscapeClause();
    const QString pattern = dialect.likePattern(text, match == SqlFilter::Match::Contains);
    if (match == SqlFilter::Match::StartsWith)
        return {lowerLike, {pattern}};
    // One character has no pair: a plain scan it is.
    if (text.toUcs4().size() < 2)
        return {};
    if (dialect.hasTrigramIndexes() && hasLatinTrigram(text))
        return {lowerLike, {pattern}};
    return {QStringLiteral("quorin_pairs(%1) @> quorin_pairs(?)").arg(column), {text}};
}

} // namespace ServerSearchIndex
