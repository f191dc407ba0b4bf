#include "designer/DesignReport.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "designer/ReportDesigner.h"
#include "report/DataSetFields.h"

#include <QFileInfo>
#include <algorithm>

void DesignReport(QWidget *parent, const Report::Job &job, const QString &title,
                  const QHash<QString, QString> &captions)
{
    const QString path = Report::templatePath(job.templateName);
    Report::Template report;
    QString error;
    if (QFileInfo::exists(path) && !Report::load(path, &report, &error)) {
        ShowPrompt(error, Prompt::Error);
        return;
    }
    QStringList names = job.dataSets.keys();
    std::sort(names.begin(), names.end());
    QList<BoundDataSet> sets;
    for (const QString &name : names) {
        BoundDataSet set{name, {}};
        // A statement that cannot run leaves its data set without fields here; the preview
        // tells why.
        if (!Report::fieldsOf(job.dataSets.value(name), dmData->database(), &set.fields, &error))
            set.fields.clear();
        sets << set;
    }
    ReportDesigner designer(std::move(report), path, job, title, sets, captions, parent);
    designer.exec();
}

QHash<QString, QString> fieldCaptions(const QList<GridColumn> &columns)
{
    QHash<QString, QString> captions;
    for (const GridColumn &column : columns)
        captions.insert(column.field.toLower(), column.caption);
    return captions;
}
