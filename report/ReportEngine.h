#pragma once

#include "core/Money.h"
#include "report/PreparedReport.h"
#include "report/ReportTemplate.h"

#include <QStringList>
#include <QVariantList>
#include <functional>
#include <memory>

// Fills a template from its data sets and breaks it into pages.
namespace Report {

// One row of a data set; fields are named without regard to case.
struct Row
{
    QStringList fields;
    QVariantList values;

    int indexOf(const QString &field) const;
    QVariant value(const QString &field) const;
};

// The rows of one data set, read forward.
class RowSource
{
public:
    virtual ~RowSource() = default;
    // The next row into `row`; false at the end or on a failure (error() then says which).
    virtual bool next(Row *row) = 0;
    virtual QString error() const { return {}; }
};

// The data sets a report is given, by name.
class DataProvider
{
public:
    virtual ~DataProvider() = default;
    // The rows of `dataSet`: for a detail, those of the master row `master`. Null, with the
    // reason, for a data set the provider does not have or cannot read.
    virtual std::unique_ptr<RowSource> open(const QString &dataSet, const Row *master,
                                            QString *error) = 0;
    // The currency list's rates, by which sums of prices beside their currency are taken in
    // 人民币. Without them only prices in 人民币 are summed. False, with the reason, on a failure.
    virtual bool readRates(Money::Rates *rates, QString *error)
    {
        Q_UNUSED(rates);
        Q_UNUSED(error);
        return true;
    }
    // A value the report is given beside its data sets ("[CompanyName]"); null when none.
    virtual QVariant variable(const QString &name) const
    {
        Q_UNUSED(name);
        return {};
    }
};

// Told of each new page: every page of `soFar` but its last is finished (and the styles and
// charts they use are there). False cancels the preparation. Not a WorkProgress: the pages are
// counted as they come, with no whole to take a share of, and the preview shows them at once.
using PrepareProgress = std::function<bool(const Prepared &soFar)>;

// Failed, with the reason, when a data set failed or the report cannot be made; cancelled when
// the progress said stop. A data set that fails prints the rows it gave and the report goes
// on: `prepared` then holds the whole report as far as the data could be read. A report
// cancelled or not made (headers that leave no room for anything else) leaves `prepared` as it
// was. The pages keep as many elements in memory as the list in `prepared` allows.
WorkResult prepare(const Template &report, DataProvider &data, Prepared *prepared,
                   const PrepareProgress &progress = {});

} // namespace Report
