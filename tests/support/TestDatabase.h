#pragma once

#include "core/DataDm.h"

#include <QTemporaryDir>
#include <memory>

// A fresh program folder with a fresh database on the engine a test row names ("sqlite" or
// "postgresql"), connected through a data module that is the program's dmData while it lives.
// PostgreSQL rows exist when QUORIN_TEST_PG names a server (postgresql://user@host:port/db).
class TestDatabase
{
public:
    explicit TestDatabase(const QString &engine);
    ~TestDatabase();

    // Adds one global data row per engine available: call from initTestCase_data().
    static void addEngineRows();

    bool ok() const { return m_ok; }
    QString error() const { return m_error; }
    TdmData *dm() const { return m_dm.get(); }
    QString home() const { return m_home.path(); }
    QString ds() const { return m_ds; }
    // A second, independent data module on the same database (another workstation).
    std::unique_ptr<TdmData> openAnother() const;
    // Writes `text` into `column` of row `id` of `table` as another program may, past the
    // width the schema gives the column (SQLite: its checks off; PostgreSQL: the column widened).
    bool writeAsAnotherProgram(const QString &table, qint64 id, const QString &column,
                               const QString &text) const;

    // A `ds` for a new empty database on the server (dropped with this object); empty for SQLite.
    QString createEmptyServerDatabase();

private:
    QTemporaryDir m_home;
    QString m_ds;
    QStringList m_serverDatabases;
    std::unique_ptr<TdmData> m_dm;
    TdmData *m_previous;
    bool m_ok = false;
    QString m_error;
};
