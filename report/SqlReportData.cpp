#include "report/SqlReportData.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace Report {

namespace {

class QueryRows : public RowSource
{
public:
    QueryRows(QSqlQuery query, std::shared_ptr<int> reading)
        : m_query(std::move(query)), m_reading(std::move(reading))
    {
        ++*m_reading;
        const QSqlRecord record = m_query.record();
        for (int i = 0; i < record.count(); ++i)
            m_fields << record.fieldName(i);
    }

    bool next(Row *row) override
    {
        if (!m_query.next()) {
            if (m_query.lastError().isValid())
                m_error = m_query.lastError().text();
            return false;
        }
        row->fields = m_fields;
        row->values.resize(m_fields.size());
        for (int i = 0; i < m_fields.size(); ++i)
            row->values[i] = m_query.value(i);
        return true;
    }

    ~QueryRows() override { --*m_reading; }

    QString error() const override { return m_error; }

private:
    QSqlQuery m_query;
    std::shared_ptr<int> m_reading;
    QStringList m_fields;
    QString m_error;
};

} // namespace

SqlReportData::SqlReportData(const DataSource &source)
    : m_source(source), m_reading(std::make_shared<int>(0))
{
}

SqlReportData::~SqlReportData() = default;

void SqlReportData::set(const QString &dataSet, const Statement &statement)
{
    m_sets.insert(dataSet.toLower(), statement);
}

void SqlReportData::setVariable(const QString &name, const QVariant &value)
{
    m_variables.insert(name.toLower(), value);
}

QVariant SqlReportData::variable(const QString &name) const
{
    return m_variables.value(name.toLower());
}

bool SqlReportData::connectionAt(int level, QString *error)
{
    if (size_t(level) < m_connections.size())
        return true;
    auto connection = std::make_unique<OwnConnection>(m_source, QStringLiteral("report"));
    if (!connection->isOpen()) {
        *error = connection->error();
        return false;
    }
    m_connections.push_back(std::move(connection));
    return true;
}

bool SqlReportData::readRates(Money::Rates *rates, QString *error)
{
    return connectionAt(0, error) && rates->read(m_connections.front()->db(), error);
}

std::unique_ptr<RowSource> SqlReportData::open(const QString &dataSet, const Row *master,
                                               QString *error)
{
    const auto it = m_sets.constFind(dataSet.toLower());
    if (it == m_sets.cend()) {
        *error = QStringLiteral("报表用到的数据集 %1 不存在").arg(dataSet);
        return nullptr;
    }
    const int level = *m_reading;
    if (!connectionAt(level, error))
        return nullptr;
    QSqlQuery query(m_connections.at(level)->db());
    query.setForwardOnly(true);
    if (!query.prepare(it->sql)) {
        *error = query.lastError().text();
        return nullptr;
    }
    for (const QVariant &v : it->values)
        query.addBindValue(v);
    for (const QString &field : it->masterFields)
        query.addBindValue(master ? master->value(field) : QVariant());
    if (!query.exec()) {
        *error = query.lastError().text();
        return nullptr;
    }
    return std::make_unique<QueryRows>(std::move(query), m_reading);
}

} // namespace Report
