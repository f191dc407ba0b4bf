#pragma once

#include "core/OwnConnection.h"
#include "core/Schema.h"
#include "core/Work.h"

#include <QMap>
#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <optional>

struct sqlite3;

// A backup file from outside, read without trusting it. Only a regular file is read, into a
// private copy in a folder of ours (so nothing can swap the file under SQLite), opened
// read-only with triggers, views and the file's own functions and checks switched off; of it
// only the program's own tables of the file's schema version, and their columns, are read.
class BackupReader
{
public:
    // The private copy goes into `workFolder`, made owner-only when missing.
    explicit BackupReader(const QString &workFolder);
    ~BackupReader();
    BackupReader(const BackupReader &) = delete;
    BackupReader &operator=(const BackupReader &) = delete;

    // Copies `file` and checks the copy: a SQLite database, whole, with our header, of a
    // version not newer than ours, each of our tables of that version a real table with all
    // our columns and as many rows as the header says. Failed with the reason in the user's
    // words, or cancelled; everything else in the file is left alone and logged.
    WorkResult open(const QString &file, const WorkProgress &progress = {});

    int version() const { return m_version; }
    const QMap<QString, QString> &header() const { return m_header; }
    // Our tables as the file's version had them.
    const std::vector<Schema::Table> &tables() const { return m_tables; }

    // Appends the rows of tables() to `into`, a database of ours holding those tables.
    bool copyTables(QSqlDatabase &into, QString *error, const WorkProgress &progress = {});

private:
    // What the file's schema says of one of its objects.
    struct Object
    {
        QString type;
        QString name;
        QString sql;
    };

    bool copyFile(const QString &file, QString *error, WorkTracker &work);
    bool openCopy(QString *error);
    bool readObjects(QString *error);
    bool isPlainTable(const QString &name) const;
    bool readHeader(QString *error);
    bool matchTables(QString *error);
    void logForeignObjects() const;
    void close();

    QString m_workFolder;
    QString m_file;
    QString m_copy;
    std::optional<OwnConnection> m_connection;
    QMap<QString, Object> m_objects; // by lower-case name
    int m_version = 0;
    QMap<QString, QString> m_header;
    std::vector<Schema::Table> m_tables;
};

// While it lives, long statements on a SQLite connection ask `keepGoing` now and then and
// stop with an interrupt when it answers false.
class SqliteWatch
{
public:
    SqliteWatch(const QSqlDatabase &db, std::function<bool()> keepGoing);
    ~SqliteWatch();
    SqliteWatch(const SqliteWatch &) = delete;
    SqliteWatch &operator=(const SqliteWatch &) = delete;

private:
    sqlite3 *m_handle;
    std::function<bool()> m_keepGoing;
};
