#pragma once

#include "core/GridColumn.h"
#include "report/ReportRun.h"

#include <QHash>
#include <QList>

class QWidget;

// Opens the template of `job` in the modal report designer, with the job's data sets and their
// fields in its data tree and its preview filled from them. A missing template opens empty and
// is written on saving; a damaged one is told in a box and not opened, so that nothing
// overwrites it. `captions`: the titles lists give fields, by lower-cased field name.
void DesignReport(QWidget *parent, const Report::Job &job, const QString &title,
                  const QHash<QString, QString> &captions = {});

// The titles of a list's columns by lower-cased field name, for the designer's data tree.
QHash<QString, QString> fieldCaptions(const QList<GridColumn> &columns);
