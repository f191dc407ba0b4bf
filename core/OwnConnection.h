#pragma once

#include "core/DataSource.h"

#include <QSqlDatabase>
#include <QString>

// A database connection of one piece of work's own, for the thread that makes it: opened under
// a name no other connection has, closed and taken out of Qt's list of connections when it
// goes, whether or not it opened. Work off the window's thread never touches the window's.
class OwnConnection
{
public:
    // A SQLite file of the program's own making (a backup, a copy being worked on), opened as
    // it is with `options` (Qt's connect options), without the checks a data source gets.
    struct SqliteFile
    {
        QString path;
        QString options;
    };

    // To the data source, as the data module opens it (see Connection::open).
    OwnConnection(const DataSource &source, const QString &purpose);
    OwnConnection(const SqliteFile &file, const QString &purpose);
    ~OwnConnection();
    OwnConnection(const OwnConnection &) = delete;
    OwnConnection &operator=(const OwnConnection &) = delete;

    bool isOpen() const { return m_open; }
    // Why it did not open.
    const QString &error() const { return m_error; }
    // Queries on it must be gone before the connection goes.
    QSqlDatabase &db() { return m_db; }
    const QString &name() const { return m_name; }

private:
    QString m_name;
    QSqlDatabase m_db;
    QString m_error;
    bool m_open = false;
};
