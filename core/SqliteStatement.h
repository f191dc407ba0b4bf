#pragma once

#include <QString>
#include <QVariantList>

class QSqlDatabase;
struct sqlite3;
struct sqlite3_stmt;

// A statement run straight through SQLite's C interface, for reading many rows where a query
// object would convert every column of every row into a QVariant.
class SqliteStatement
{
public:
    // The SQLite connection behind an open Qt connection; null for another engine.
    static sqlite3 *connectionOf(const QSqlDatabase &db);

    // Prepares `sql` and binds `values` to its placeholders in order, as the Qt driver binds
    // them (dates as "yyyy-MM-dd").
    SqliteStatement(sqlite3 *db, const QString &sql, const QVariantList &values);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    bool isValid() const { return m_statement != nullptr && m_error.isEmpty(); }
    QString error() const { return m_error; }
    sqlite3_stmt *handle() const { return m_statement; }
    // The next row; false at the end and on a failure, which error() then tells.
    bool step();

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_statement = nullptr;
    QString m_error;
};
