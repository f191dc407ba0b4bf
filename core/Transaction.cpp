#include "core/Transaction.h"

#include <QSqlError>
#include <QSqlQuery>

Transaction::Transaction(QSqlDatabase db) : m_db(std::move(db))
{
    if (m_db.driverName() != u"QSQLITE") {
        m_active = m_db.transaction();
        if (!m_active)
            m_error = m_db.lastError().text();
        return;
    }
    // Taking the write lock at the start makes a busy file wait out its timeout here; a
    // transaction that read first could only fail once another writer had begun.
    QSqlQuery begin(m_db);
    m_active = begin.exec(QStringLiteral("begin immediate"));
    if (m_active)
        return;
    m_error = begin.lastError().text();
    // Never autocommit, where each statement would be kept: a deferred transaction, which
    // takes no lock to begin, keeps them until the destructor throws them away.
    m_holding = QSqlQuery(m_db).exec(QStringLiteral("begin"));
}

Transaction::~Transaction()
{
    if (m_active || m_holding)
        m_db.rollback();
}

bool Transaction::began(QString *error) const
{
    if (!m_active && error)
        *error = m_error.isEmpty() ? m_db.lastError().text() : m_error;
    return m_active;
}

bool Transaction::commit(QString *error)
{
    if (!m_active) {
        if (error)
            *error = m_error.isEmpty() ? m_db.lastError().text() : m_error;
        return false;
    }
    m_active = false;
    if (m_db.commit())
        return true;
    if (error)
        *error = m_db.lastError().text();
    m_db.rollback();
    return false;
}
