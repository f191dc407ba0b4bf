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

WorkResult prepareJob(const Job &job, const DataSource &source, Prepared *prepared,
                      const PrepareProgress &progress)
{
    Template layout;
    QString error;
    if (!load(templatePath(job.templateName), &layout, &error))
        return WorkResult::failed(error);
    return prepareJob(job, std::move(layout), source, prepared, progress);
}

WorkResult prepareJob(const Job &job, Template layout, const DataSource &source, Prepared *prepared,
                      const PrepareProgress &progress)
{
    for (auto it = job.texts.cbegin(); it != job.texts.cend(); ++it) {
        if (Item *item = layout.findObject(it.key()))
            item->text = it.value();
    }
    SqlReportData data(source);
    for (auto it = job.dataSets.cbegin(); it != job.dataSets.cend(); ++it)
        data.set(it.key(), it.value());
    for (auto it = job.variables.cbegin(); it != job.variables.cend(); ++it)
        data.setVariable(it.key(), it.value());
    return prepare(layout, data, prepared, progress);
}

} // namespace Report
