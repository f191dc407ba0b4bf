#pragma once

#include <QString>

enum class Engine { SQLite, PostgreSQL };

// Where the database lives, read from the `ds` configuration value: a folder holding
// RevaZez.db (empty: data/ in the program's folder) or postgresql://user:pw@host:port/db.
struct DataSource
{
    Engine engine = Engine::SQLite;
    QString sqliteFile;           // absolute path of RevaZez.db
    bool isDefaultFolder = false; // the program's own data/ folder, created on first start
    QString host;
    int port = 5432;
    QString database;
    QString user;
    QString password;

    static DataSource fromDs(const QString &ds, const QString &homeDir);
    static bool isServerUrl(const QString &ds);

    // Builds the `ds` text for a server; the password stays out when it is empty.
    static QString serverUrl(const QString &host, int port, const QString &database,
                             const QString &user, const QString &password);

    // For messages: never shows the password.
    QString describe() const;
};

inline constexpr auto kDatabaseFileName = "RevaZez.db";
