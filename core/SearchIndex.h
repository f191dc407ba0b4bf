#pragma once

#include "core/SqlFilter.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

// Indexes that make the register's searches fast without changing what they find.
// On a server, ServerSearchIndex. On SQLite, a full-text index of overlapping character pairs
// serves "contains" searches of two or more characters (Chinese search words are mostly two
// characters, which a trigram index cannot serve), and case-insensitive indexes serve "starts with"
// searches. The like predicate always stays in the statement, so results equal a plain scan's.
namespace SearchIndex {

inline constexpr auto kTokenizer = "quorin_pairs";

// The SQL piece, with its values, that lets an index of either engine narrow `column` like
// `text` (as typed); empty when no index serves that search.
struct Narrowing
{
    QString piece;
    QVariantList values;
};
Narrowing narrowing(const SqlDialect &dialect, const QString &table, const QString &column,
                    const QString &text, SqlFilter::Match match);

// The piece that narrows "`column` like `text` or `keyColumn` like `term`" (both contains):
// on SQLite one look into the full-text index, on a server the union of each side's index;
// empty when the indexes do not serve both.
Narrowing eitherNarrowing(const SqlDialect &dialect, const QString &table, const QString &column,
                          const QString &text, const QString &keyColumn, const QString &term);

QStringList createStatements(const SqlDialect &dialect);
// SQLite's full-text index and its triggers gone, so that a bulk write is not indexed row by
// row; rebuildStatements() makes it again over the columns it covers now, filled from the rows.
QStringList dropStatements();
QStringList rebuildStatements();
// SQLite's index of the bar codes (条型码) that ignores case, for scanning and the main list's
// search; part of createStatements().
QString barCodeIndexStatement();

// Builds the indexes over the rows of a SQLite database that has none yet (a backup taken
// from a server carries none); true when they are there.
bool ensureBuilt(QSqlDatabase &db, QString *error);

// Every SQLite connection needs the tokenizer before it writes a sample record.
bool registerTokenizer(const QSqlDatabase &db, QString *error);

} // namespace SearchIndex
