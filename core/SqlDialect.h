#pragma once

#include "core/DataSource.h"

#include <QString>
#include <QVariant>

class QSqlDatabase;

// The few places where SQLite and PostgreSQL need different SQL text.
class SqlDialect
{
public:
    explicit SqlDialect(Engine engine) : m_engine(engine) {}

    // The dialect of an open connection's engine.
    static SqlDialect of(const QSqlDatabase &db);

    Engine engine() const { return m_engine; }

    // Whether the server holds the trigram indexes (pg_trgm), which serve contains searches of
    // Latin words better than the pair index; known once the database is open.
    bool hasTrigramIndexes() const { return m_trigramIndexes; }
    void setTrigramIndexes(bool present) { m_trigramIndexes = present; }

    QString keyColumn() const;
    QString falseLiteral() const;
    // A column of bytes: SQLite blob, PostgreSQL bytea.
    QString blobType() const;
    // SQLite keeps any length in a varchar: a check makes it refuse as PostgreSQL does.
    QString lengthCheck(const QString &column, int width) const;
    QString compactStatement() const;

    // The key that ends the order of a paged list that may be long, so pages read one after
    // another stay in step. None on SQLite, which returns one statement's rows in the same
    // order every time: they then come in the order of the index that serves the search.
    QString pagingKeyColumn() const;
    // Whether an ascending order puts NULLs after every value (PostgreSQL) or before (SQLite);
    // a descending order does the opposite on both.
    bool nullsOrderLast() const { return m_engine == Engine::PostgreSQL; }
    // The value of "limit ?" that means no limit.
    QVariant noLimit() const;
    // `insert` made to return the new row's key where the engine can say it no other way
    // (PostgreSQL); returnsInsertedKey() tells whether it does.
    QString insertReturningKey(const QString &insert) const;
    bool returnsInsertedKey() const { return m_engine == Engine::PostgreSQL; }
    // A statement that makes the current transaction the only writer of `table` until it
    // ends, waiting for another writer first (SQLite: of the whole file).
    QString lockForWriting(const QString &table) const;

    // "column = ?" without regard to letter case, served by the column's case-blind index
    // (SQLite: collate nocase; PostgreSQL: lower() with text_pattern_ops).
    QString equalsIgnoringCase(const QString &column) const;
    // Case-insensitive pattern match, as every list search is.
    QString likeOperator() const;
    // " escape '!'": typed `%` and `_` are data, and PostgreSQL's default escape, the
    // backslash, is what every type path is made of.
    QString likeEscapeClause() const;
    // The pattern for `text` as typed: starts with, or contains when `contains` is set.
    QString likePattern(const QString &text, bool contains) const;
    // `condition` with the hint that it holds for nearly every row, so that SQLite, which has
    // no statistics of ranges, scans rather than walks an index for it. PostgreSQL knows.
    QString nearlyAlways(const QString &condition) const;

private:
    Engine m_engine;
    bool m_trigramIndexes = false;
};
