#include "core/ServerHandle.h"

#include <QSqlDriver>
#include <QVariant>

PGconn *serverHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    // libpq's PGconn is its struct pg_conn, the name the driver registers.
    return qstrcmp(handle.typeName(), "pg_conn*") == 0
               ? *static_cast<PGconn *const *>(handle.data())
               : nullptr;
}
