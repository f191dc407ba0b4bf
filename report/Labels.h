#pragma once

#include "core/ListQuery.h"
#include "report/ReportRun.h"

#include <QList>
#include <QStringList>
#include <optional>

// Label templates in Qr/ and the report over the entries to label, for every register that
// prints labels (samples, clients, suppliers, the catalogue).
namespace Labels {

// What one register's labels are.
struct Kind
{
    QString templatePrefix; // what its templates' file names start with
    QString dataSet;        // the data set its templates read
    QString table;          // the register's table, keyed by F_ID
    QString noun;           // what one entry is called: 样品, 客户 …
};

bool isTemplateOf(const Kind &kind, const QString &templateName);
// The label templates of `kind` in Qr/ of the program's folder, by name.
QStringList templates(const Kind &kind);

// How many labels one sheet of `layout` holds: its columns times the rows a page has room for.
int labelsPerSheet(const Report::Template &layout);

// The labels of the entries `list` selects, in its order.
Report::Job job(const Kind &kind, const QString &templateName, const ListQuery &list);
// The entries whose keys are `ids`, in the order of `list`. Nothing for more than
// kMostSelected keys, which a statement cannot bind.
std::optional<ListQuery> selected(const Kind &kind, const ListQuery &list,
                                  const QList<qint64> &ids);
inline constexpr qsizetype kMostSelected = 30000;

} // namespace Labels
