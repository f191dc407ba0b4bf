#pragma once

#include "core/DataSource.h"

#include <QString>

// The few places where SQLite and PostgreSQL need different SQL text.
class SqlDialect
{
public:
    explicit SqlDialect(Engine engine) : m_engine(engine) {}

    Engine engine() const { return m_engine; }

    QString keyColumn() const;
    QString falseLiteral() const;
    // SQLite keeps any length in a varchar: a check makes it refuse as PostgreSQL does.
    QString lengthCheck(const QString &column, int width) const;
    QString compactStatement() const;

    // Case-insensitive pattern match, as every list search is.
    QString likeOperator() const;
    // " escape '!'": typed `%` and `_` are data, and PostgreSQL's default escape, the
    // backslash, is what every type path is made of.
    QString likeEscapeClause() const;
    // The pattern for `text` as typed: starts with, or contains when `contains` is set.
    QString likePattern(const QString &text, bool contains) const;

private:
    Engine m_engine;
};
