#pragma once

#include "core/SqlDialect.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// Indexes that make the register's searches fast without changing what they find.
// On SQLite, a full-text index of overlapping character pairs serves "contains" searches of
// two or more characters (Chinese search words are mostly two characters, which a trigram
// index cannot serve), and case-insensitive indexes serve "starts with" searches. The like
// predicate always stays in the statement, so results equal a plain scan's.
namespace SearchIndex {

inline constexpr auto kTokenizer = "quorin_pairs";

// True when a contains-search on this column can be narrowed by the pair index.
bool covers(const SqlDialect &dialect, const QString &table, const QString &column);
// The SQL piece that narrows `column` to rows containing `text` (one `?` for matchValue()).
QString narrowingPiece(const QString &table, const QString &column);
QString matchValue(const QString &column, const QString &text);

QStringList createStatements(const SqlDialect &dialect);

// Builds the indexes over the rows of a SQLite database that has none yet (a backup taken
// from a server carries none); true when they are there.
bool ensureBuilt(QSqlDatabase &db, QString *error);

// Every SQLite connection needs the tokenizer before it writes a sample record.
bool registerTokenizer(const QSqlDatabase &db, QString *error);

} // namespace SearchIndex
