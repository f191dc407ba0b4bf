#pragma once

#include "core/SearchIndex.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <limits>

// The indexes that serve the lists' searches on a PostgreSQL server, where the like predicate
// (ilike) always stays and the index only narrows:
// - contains: a GIN index over the character pairs of the lower-cased text (quorin_pairs),
//   which serves the two-character words most Chinese searches are; and, where the server has
//   pg_trgm, a trigram index that serves Latin words of three or more letters better;
// - starts with: a b-tree over lower(column) with text_pattern_ops.
namespace ServerSearchIndex {

// The statements that make the pair function and the indexes that need no extension (those
// over the columns of schema `version`, by default every one). Each can run again without harm.
QStringList createStatements(int version = std::numeric_limits<int>::max());

// Drops every index createStatements() and addTrigramIndexes() make, for a bulk load.
QStringList dropStatements();

// Inside the caller's transaction: adds the trigram indexes when the server has pg_trgm or
// lets this user create it. Whether they are there afterwards; what is missing goes to the
// log, once per program run. Never fails the caller's transaction.
bool addTrigramIndexes(QSqlDatabase &db, int version = std::numeric_limits<int>::max());
// Whether the trigram indexes are there; where not, tries once more to add them (the
// extension may have been installed since).
bool ensureTrigramIndexes(QSqlDatabase &db);

// SearchIndex::narrowing() on a server.
SearchIndex::Narrowing narrowing(const SqlDialect &dialect, const QString &table,
                                 const QString &column, const QString &text,
                                 SqlFilter::Match match);

} // namespace ServerSearchIndex
