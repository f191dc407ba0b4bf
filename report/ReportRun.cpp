#include "report/ReportRun.h"

#include "core/AppHome.h"

#include <QDir>

namespace Report {

QString templatePath(const QString &templateName)
{
    const QDir folder(AppHome::path(QStringLiteral("Qr")));
    for (const QString &file : folder.entryList(QDir::Files)) {
        if (file.compare(templateName, Qt::CaseInsensitive) == 0)
            return folder.filePath(file);
    }
    return folder.filePath(templateName);
}

bool prepareJob(const Job &job, const DataSource &source, Prepared *prepared, QString *error,
                const PrepareProgress &progress)
{
    Template report;
    if (!load(templatePath(job.templateName), &report, error))
        return false;
    for (auto it = job.texts.cbegin(); it != job.texts.cend(); ++it) {
        if (Item *item = report.findObject(it.key()))
            item->text = it.value();
    }
    SqlReportData data(source);
    for (auto it = job.dataSets.cbegin(); it != job.dataSets.cend(); ++it)
        data.set(it.key(), it.value());
    for (auto it = job.variables.cbegin(); it != job.variables.cend(); ++it)
        data.setVariable(it.key(), it.value());
    return prepare(report, data, prepared, error, progress);
}

} // namespace Report
