#include "core/OwnConnection.h"

#include "core/Connection.h"

#include <QSqlError>
#include <QUuid>

namespace {

QString uniqueName(const QString &purpose)
{
    return purpose + u'-' + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

} // namespace

OwnConnection::OwnConnection(const DataSource &source, const QString &purpose)
    : m_name(uniqueName(purpose))
{
    m_open = Connection::open(source, m_name, &m_db, &m_error);
}

OwnConnection::OwnConnection(const SqliteFile &file, const QString &purpose)
    : m_name(uniqueName(purpose))
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    m_db.setConnectOptions(file.options);
    m_db.setDatabaseName(file.path);
    m_open = m_db.open();
    if (!m_open)
        m_error = m_db.lastError().text();
}

OwnConnection::~OwnConnection()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}
