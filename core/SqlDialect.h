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

private:
    Engine m_engine;
};
