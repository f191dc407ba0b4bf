#pragma once

#include <QString>

// The PostgreSQL password file (`PGPASSFILE`, else ~/.pgpass), where a server password typed
// in the connect dialog is kept instead of config.ini; the server's own library reads it.
namespace PgPass {

QString filePath();

// One field as the file writes it: ':' and '\' escaped with '\'.
QString escaped(const QString &field);

// Stores `password` for host:port:database:user, replacing the line for the same four, in a
// file only its owner may read (the library ignores one that others can).
bool store(const QString &host, int port, const QString &database, const QString &user,
           const QString &password, QString *error);

} // namespace PgPass
