#pragma once

#include <QSqlDatabase>
#include <libpq-fe.h>

// libpq's connection under a Qt PostgreSQL connection; null for any other.
PGconn *serverHandle(const QSqlDatabase &db);
