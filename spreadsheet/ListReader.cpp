#include "spreadsheet/ListReader.h"

#include "core/SqlDialect.h"
#include "core/SqliteStatement.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <optional>
#include <sqlite3.h>
#include <vector>

namespace {

// Straight through SQLite's C interface: the text of each value as stored, without a QVariant
// for every cell of a million rows.
class SqliteListReader : public ListReader
{
public:
    explicit SqliteListReader(std::unique_ptr<OwnConnection> connection)
        : ListReader(std::move(connection))
    {
    }

    bool start(const ListQuery &query, QString *error) override
    {
        m_statement.emplace(SqliteStatement::connectionOf(m_db), query.pagedSql(),
                            query.unlimitedValues(SqlDialect(Engine::SQLite)));
        if (!m_statement->isValid()) {
            *error = m_statement->error();
            return false;
        }
        sqlite3_stmt *statement = m_statement->handle();
        for (int i = 0; i < sqlite3_column_count(statement); ++i)
            m_fields << QString::fromUtf8(sqlite3_column_name(statement, i));
        return true;
    }

    QStringList fields() const override { return m_fields; }

    bool next() override
    {
        if (m_statement->step())
            return true;
        m_error = m_statement->error();
        return false;
    }

    ListValue value(int field) override
    {
        sqlite3_stmt *statement = m_statement->handle();
        ListValue v;
        switch (sqlite3_column_type(statement, field)) {
        case SQLITE_NULL:
            break;
        case SQLITE_INTEGER:
            v.kind = ListValue::Integer;
            v.integer = sqlite3_column_int64(statement, field);
            break;
        case SQLITE_FLOAT:
            v.kind = ListValue::Real;
            v.real = sqlite3_column_double(statement, field);
            break;
        default:
            v.kind = ListValue::Text;
            v.text = reinterpret_cast<const char *>(sqlite3_column_text(statement, field));
            v.size = sqlite3_column_bytes(statement, field);
        }
        return v;
    }

private:
    std::optional<SqliteStatement> m_statement;
    QStringList m_fields;
};

// A server through a forward-only query, which the driver reads a row at a time.
class ServerListReader : public ListReader
{
public:
    explicit ServerListReader(std::unique_ptr<OwnConnection> connection)
        : ListReader(std::move(connection))
    {
    }

    bool start(const ListQuery &query, QString *error) override
    {
        m_query.emplace(m_db);
        m_query->setForwardOnly(true);
        bool ok = m_query->prepare(query.pagedSql());
        if (ok) {
            for (const QVariant &v : query.unlimitedValues(SqlDialect(Engine::PostgreSQL)))
                m_query->addBindValue(v);
            ok = m_query->exec();
        }
        if (!ok) {
            *error = m_query->lastError().text();
            return false;
        }
        const QSqlRecord record = m_query->record();
        for (int i = 0; i < record.count(); ++i)
            m_fields << record.fieldName(i);
        m_text.resize(record.count());
        return true;
    }

    QStringList fields() const override { return m_fields; }

    bool next() override
    {
        if (m_query->next())
            return true;
        if (m_query->lastError().isValid())
            m_error = m_query->lastError().text();
        return false;
    }

    ListValue value(int field) override
    {
        const QVariant v = m_query->value(field);
        ListValue value;
        if (v.isNull())
            return value;
        switch (v.typeId()) {
        case QMetaType::Bool:
            value.kind = ListValue::Bool;
            value.integer = v.toBool();
            return value;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            value.kind = ListValue::Integer;
            value.integer = v.toLongLong();
            return value;
        case QMetaType::Double:
            value.kind = ListValue::Real;
            value.real = v.toDouble();
            return value;
        case QMetaType::QDate:
            value.kind = ListValue::Date;
            value.date = v.toDate();
            return value;
        default:
            QByteArray &text = m_text[field];
            text = v.toString().toUtf8();
            value.kind = ListValue::Text;
            value.text = text.constData();
            value.size = text.size();
            return value;
        }
    }

private:
    std::optional<QSqlQuery> m_query;
    QStringList m_fields;
    std::vector<QByteArray> m_text; // per field, for the text of the current row
};

} // namespace

std::unique_ptr<ListReader> ListReader::open(const DataSource &source, QString *error)
{
    auto connection = std::make_unique<OwnConnection>(source, QStringLiteral("list-reader"));
    if (!connection->isOpen()) {
        *error = connection->error();
        return nullptr;
    }
    if (source.engine == Engine::SQLite)
        return std::make_unique<SqliteListReader>(std::move(connection));
    return std::make_unique<ServerListReader>(std::move(connection));
}

ListReader::ListReader(std::unique_ptr<OwnConnection> connection)
    : m_connection(std::move(connection)), m_db(m_connection->db())
{
}

ListReader::~ListReader() = default;

qint64 ListReader::count(const ListQuery &query, QString *error)
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    bool ok = q.prepare(query.aggregateSql());
    if (ok) {
        for (const QVariant &v : query.values)
            q.addBindValue(v);
        ok = q.exec() && q.next();
    }
    if (!ok) {
        *error = q.lastError().text();
        return -1;
    }
    return q.value(0).toLongLong();
}
