#pragma once

#include "core/DataSource.h"
#include "report/ReportEngine.h"
#include "report/SqlReportData.h"

#include <QHash>
#include <QString>

// One report to prepare: its template in Qr/ of the program's folder, the texts set before
// showing, the statements of its data sets and the values it is given.
namespace Report {

struct Job
{
    QString templateName;               // e.g. "frClientList.frf", matched without regard to case
    QHash<QString, QString> texts;      // item name → its whole text
    QHash<QString, Statement> dataSets; // data set name → statement
    QHash<QString, QVariant> variables; // "CompanyName" …
};

// The template's file in Qr/, found without regard to letter case; the plain path when none.
QString templatePath(const QString &templateName);
// Loads the template and fills it on connections of its own, so it may run off the window's
// thread; failed with the reason (a missing or damaged template, a failing statement) or
// cancelled, as prepare() ends.
WorkResult prepareJob(const Job &job, const DataSource &source, Prepared *prepared,
                      const PrepareProgress &progress = {});
// The same with the job's template already read.
WorkResult prepareJob(const Job &job, Template layout, const DataSource &source, Prepared *prepared,
                      const PrepareProgress &progress = {});

} // namespace Report
