#pragma once

#include "core/ListQuery.h"
#include "register/SampleListQuery.h"
#include "report/ReportRun.h"

#include <QList>
#include <QString>

// The reports of the main sample list: the detail sheet, the list, and the samples by client,
// by supplier and by type (commands 303–307 and the report manager's items, in this order).
namespace MainReports {

enum Kind { DetailSheet, List, ByClient, BySupplier, ByType };

struct Info
{
    Kind kind;
    QString caption;
    QString templateName;
};

const QList<Info> &all();

// The report over what the list shows: `list` is the list as it reads (its order included),
// `statements` its grouped statements under the same filter.
Report::Job job(Kind kind, const ListQuery &list, const SampleListStatements &statements);

} // namespace MainReports
