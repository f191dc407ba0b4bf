#pragma once

#include <QSqlDatabase>
#include <QString>

// Rolls back on scope exit unless commit() succeeded, so an early return never leaves
// half a record behind. On SQLite it begins as a writer, waiting for other writers first.
class Transaction
{
public:
    explicit Transaction(QSqlDatabase db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool isActive() const { return m_active; }
    // Whether the transaction began; if not, the database's reason goes to `error`. Check it
    // before writing: statements outside a transaction could not be rolled back.
    bool began(QString *error) const;
    bool commit(QString *error = nullptr);

private:
    QSqlDatabase m_db;
    bool m_active = false;
    QString m_error;
};
