#pragma once

#include "core/DataSource.h"
#include "core/OwnConnection.h"
#include "report/ReportEngine.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <memory>
#include <vector>

// A report's data sets as statements with bound values, read forward on connections of the
// report's own (so a report may be prepared off the window's thread). A detail read while its
// master is still being read gets a connection of its own: a server connection serves one
// forward reading at a time. Use it on one thread.
namespace Report {

struct Statement
{
    QString sql;
    QVariantList values;
    // A detail's statement takes these fields of its master row as its last values.
    QStringList masterFields;
};

// The data-set adaptor `TfrDBDataSet`: a report's data sets read from statements on a
// connection of the report's own.
class SqlReportData : public DataProvider
{
public:
    explicit SqlReportData(const DataSource &source);
    ~SqlReportData() override;

    void set(const QString &dataSet, const Statement &statement);
    void setVariable(const QString &name, const QVariant &value);
    QVariant variable(const QString &name) const override;

    std::unique_ptr<RowSource> open(const QString &dataSet, const Row *master,
                                    QString *error) override;
    bool readRates(Money::Rates *rates, QString *error) override;

private:
    // The connection of `level`, opened when first asked for; false, with the reason, when it
    // cannot be.
    bool connectionAt(int level, QString *error);

    DataSource m_source;
    // One per level of data sets being read at once.
    std::vector<std::unique_ptr<OwnConnection>> m_connections;
    std::shared_ptr<int> m_reading;       // data sets being read now
    QHash<QString, Statement> m_sets;     // lower-cased name
    QHash<QString, QVariant> m_variables; // lower-cased name
};

} // namespace Report
