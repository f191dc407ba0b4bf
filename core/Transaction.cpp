#include "core/Transaction.h"

#include <QSqlError>

Transaction::Transaction(QSqlDatabase db) : m_db(std::move(db))
{
    m_active = m_db.transaction();
}

Transaction::~Transaction()
{
    if (m_active)
        m_db.rollback();
}

bool Transaction::began(QString *error) const
{
    if (!m_active && error)
        *error = m_db.lastError().text();
    return m_active;
}

bool Transaction::commit(QString *error)
{
    if (!m_active) {
        if (error)
            *error = m_db.lastError().text();
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
