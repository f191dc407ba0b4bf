#pragma once

#include "core/ListQuery.h"
#include "report/ReportRun.h"

#include <QList>
#include <QStringList>
#include <optional>

// Labels for sample boxes: the label templates in Qr/ and the report over the samples to
// label.
namespace SampleLabels {

// What every label template's file name starts with ("样品标签.frf", "样品标签（A4，3 × 8）.frf"
// and the user's own copies).
inline const QString kTemplatePrefix = QStringLiteral("样品标签");

bool isLabelTemplate(const QString &templateName);
// The label templates in Qr/ of the program's folder, by name.
QStringList templates();

// How many labels one sheet of `layout` holds: its columns times the rows a page has room for.
int labelsPerSheet(const Report::Template &layout);

// The labels of the samples `list` selects, in its order (data set frMain).
Report::Job job(const QString &templateName, const ListQuery &list);
// The samples whose keys are `ids`, in the order of `list`. Nothing for more than
// kMostSelected keys, which a statement cannot bind.
std::optional<ListQuery> selected(const ListQuery &list, const QList<qint64> &ids);
inline constexpr qsizetype kMostSelected = 30000;

} // namespace SampleLabels
