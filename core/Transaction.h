#pragma once

#include <QSqlDatabase>
#include <QString>

// Rolls back on scope exit unless commit() succeeded, so an early return never leaves
// half a record behind. On SQLite it begins as a writer, waiting for other writers first.
// A transaction that could not begin keeps nothing either: its statements are never kept,
// whether or not the caller looked at began().
class Transaction
{
public:
    explicit Transaction(QSqlDatabase db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool isActive() const { return m_active; }
    // Whether the transaction began; if not, the database's reason goes to `error`. Check it
    // before writing: a caller that goes on would only see its statements fail or vanish.
    [[nodiscard]] bool began(QString *error) const;
    // Refused, with the reason the transaction did not begin, unless it began.
    bool commit(QString *error = nullptr);

private:
    QSqlDatabase m_db;
    bool m_active = false;
    // Began only to hold the statements of a caller that went on after a failed begin.
    bool m_holding = false;
    QString m_error;
};
