#include "output/PrintReport.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/SqlListModel.h"
#include "output/ReportPreview.h"
#include "widgets/ProgressRun.h"

void ShowReport(QWidget *parent, const Report::Job &job, const QString &title)
{
    Report::Job withCompany = job;
    withCompany.variables.insert(QStringLiteral("CompanyName"),
                                 dmData->GetStrValue(QStringLiteral("select F_Code from SysInfo")));
    Report::Prepared prepared;
    QString error;
    const DataSource source = dmData->source();
    const bool ok =
        runWithProgress(parent, QStringLiteral("正在准备报表…"), [&](const ProgressReport &report) {
            // The share done is unknown until the end: the bar moves a step per page.
            return Report::prepareJob(withCompany, source, &prepared, &error,
                                      [&report](int pages) { return report(pages % 100); });
        });
    if (!ok) {
        if (error != QStringLiteral("已取消"))
            ShowPrompt(QStringLiteral("无法生成报表：%1").arg(error), Prompt::Error);
        return;
    }
    ReportPreview preview(std::move(prepared), title, parent);
    preview.exec();
}

void PrintList(QWidget *parent, const QString &templateName, const SqlListModel &list,
               const QString &title, const QHash<QString, QString> &texts)
{
    if (!list.isOpen() || list.rowCount() == 0)
        return;
    const ListQuery &query = list.query();
    Report::Job job;
    job.templateName = templateName;
    job.texts = texts;
    job.dataSets.insert(QStringLiteral("frDBDataSet1"),
                        {query.select + query.orderClause(), query.values, {}});
    ShowReport(parent, job, title);
}
