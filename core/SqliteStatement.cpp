#include "core/SqliteStatement.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <sqlite3.h>

sqlite3 *SqliteStatement::connectionOf(const QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.data());
}

SqliteStatement::SqliteStatement(sqlite3 *db, const QString &sql, const QVariantList &values)
    : m_db(db)
{
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_statement, nullptr) !=
        SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(db));
        return;
    }
    for (int i = 0; i < values.size() && m_error.isEmpty(); ++i) {
        const QVariant &v = values.at(i);
        const int index = i + 1;
        int result = SQLITE_OK;
        switch (v.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
            result = sqlite3_bind_int64(m_statement, index, v.toLongLong());
            break;
        case QMetaType::Double:
            result = sqlite3_bind_double(m_statement, index, v.toDouble());
            break;
        default:
            if (v.isNull()) {
                result = sqlite3_bind_null(m_statement, index);
            } else {
                const QByteArray value = v.toString().toUtf8();
                result = sqlite3_bind_text(m_statement, index, value.constData(), int(value.size()),
                                           SQLITE_TRANSIENT);
            }
        }
        if (result != SQLITE_OK)
            m_error = QString::fromUtf8(sqlite3_errmsg(db));
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

bool SqliteStatement::step()
{
    if (!isValid())
        return false;
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW)
        return true;
    if (result != SQLITE_DONE)
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
    return false;
}
