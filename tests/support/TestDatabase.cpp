#include "support/TestDatabase.h"

#include "core/AppHome.h"
#include "core/Connection.h"
#include "core/DataSource.h"
#include "core/SqlDialect.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

namespace {

QString serverUrl()
{
    return qEnvironmentVariable("QUORIN_TEST_PG");
}

// Runs one statement on the server's maintenance database.
bool onServer(const QString &sql, QString *error)
{
    const DataSource source = DataSource::fromDs(serverUrl(), QString());
    const QString name = QStringLiteral("test-admin");
    bool ok = false;
    {
        QSqlDatabase db;
        if (Connection::open(source, name, &db, error)) {
            QSqlQuery q(db);
            ok = q.exec(sql);
            if (!ok)
                *error = q.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

void TestDatabase::addEngineRows()
{
    QTest::addColumn<QString>("engine");
    QTest::newRow("sqlite") << QStringLiteral("sqlite");
    if (!serverUrl().isEmpty())
        QTest::newRow("postgresql") << QStringLiteral("postgresql");
}

QString TestDatabase::createEmptyServerDatabase()
{
    const QString name =
        QStringLiteral("quorin_t_") + QUuid::createUuid().toString(QUuid::Id128).left(16);
    if (!onServer(QStringLiteral("create database %1").arg(name), &m_error))
        return {};
    m_serverDatabases << name;
    const DataSource server = DataSource::fromDs(serverUrl(), QString());
    return DataSource::serverUrl(server.host, server.port, name, server.user, server.password);
}

TestDatabase::TestDatabase(const QString &engine) : m_previous(dmData)
{
    AppHome::set(m_home.path());
    if (engine == u"postgresql") {
        m_ds = createEmptyServerDatabase();
        if (m_ds.isEmpty())
            return;
    }
    m_dm = std::make_unique<TdmData>(m_home.filePath(QStringLiteral("config.ini")));
    m_dm->config().setDs(m_ds);
    m_ok = m_dm->open(m_ds, &m_error);
    dmData = m_dm.get();
}

std::unique_ptr<TdmData> TestDatabase::openAnother() const
{
    auto other = std::make_unique<TdmData>(m_home.filePath(QStringLiteral("config.ini")));
    QString error;
    if (!other->open(m_ds, &error))
        qWarning().noquote() << "second connection failed:" << error;
    return other;
}

bool TestDatabase::writeAsAnotherProgram(const QString &table, qint64 id, const QString &column,
                                         const QString &text) const
{
    const std::unique_ptr<TdmData> other = openAnother();
    QSqlQuery q(other->database());
    const bool widened =
        SqlDialect::of(other->database()).engine() == Engine::SQLite
            ? q.exec(QStringLiteral("pragma ignore_check_constraints = on"))
            : q.exec(QStringLiteral("alter table %1 alter column %2 type text").arg(table, column));
    const bool ok =
        widened &&
        q.prepare(QStringLiteral("update %1 set %2 = ? where F_ID = ?").arg(table, column));
    q.addBindValue(text);
    q.addBindValue(id);
    if (!ok || !q.exec() || q.numRowsAffected() != 1) {
        qWarning().noquote() << "another program could not write" << column << q.lastError().text();
        return false;
    }
    return true;
}

TestDatabase::~TestDatabase()
{
    dmData = m_previous;
    m_dm.reset();
    for (const QString &name : std::as_const(m_serverDatabases)) {
        QString error;
        if (!onServer(QStringLiteral("drop database if exists %1 with (force)").arg(name), &error))
            qWarning().noquote() << "could not drop" << name << error;
    }
}
