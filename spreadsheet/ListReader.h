#pragma once

#include "core/DataSource.h"
#include "core/ListQuery.h"
#include "core/OwnConnection.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <memory>

// One value of a row as the database holds it.
struct ListValue
{
    enum Kind { Null, Integer, Real, Text, Date, Bool };

    Kind kind = Null;
    qint64 integer = 0; // Integer, Bool
    double real = 0;
    const char *text = nullptr; // UTF-8, NUL-terminated, valid until the next row
    qsizetype size = 0;
    QDate date;
};

// Reads a list's statement forward on a connection of its own, so that it can run off the
// window's thread while the window's connection goes on serving the window. Use it on one
// thread only.
class ListReader
{
public:
    // Null, with the reason in `error`, when the source cannot be opened.
    static std::unique_ptr<ListReader> open(const DataSource &source, QString *error);
    virtual ~ListReader();

    // The rows of the whole list; -1, with the reason in `error`, on a failure. Only before
    // start().
    qint64 count(const ListQuery &query, QString *error);
    // Runs the list's statement as its pages read it, without a limit, so the rows come in
    // the order the list shows them.
    virtual bool start(const ListQuery &query, QString *error) = 0;
    virtual QStringList fields() const = 0;
    // The next row; false at the end and on a failure, which error() then tells.
    virtual bool next() = 0;
    virtual ListValue value(int field) = 0;
    QString error() const { return m_error; }

protected:
    explicit ListReader(std::unique_ptr<OwnConnection> connection);

    std::unique_ptr<OwnConnection> m_connection;
    QSqlDatabase &m_db;
    QString m_error;
};
