#include "output/PrintReport.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/SqlListModel.h"
#include "output/ReportPreview.h"
#include "report/GridPrint.h"
#include "widgets/ProgressRun.h"

#include <QHeaderView>
#include <QTableView>

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

void PrintGrid(QWidget *parent, const QTableView *grid, const QString &title,
               const QString &pageHeader, const QString &pageFooter)
{
    const QAbstractItemModel *model = grid->model();
    const QHeaderView *header = grid->horizontalHeader();
    QList<int> shown; // logical columns in their visual order
    QList<Report::GridColumnPrint> columns;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (header->isSectionHidden(logical))
            continue;
        shown << logical;
        const int alignment = model->rowCount() > 0
                                  ? model->index(0, logical).data(Qt::TextAlignmentRole).toInt()
                                  : 0;
        columns.append({model->headerData(logical, Qt::Horizontal).toString(),
                        double(grid->columnWidth(logical)),
                        (alignment & Qt::AlignRight)     ? Report::Item::Right
                        : (alignment & Qt::AlignHCenter) ? Report::Item::Centre
                                                         : Report::Item::Left});
    }
    QList<QStringList> rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column : shown)
            cells << model->index(row, column).data().toString();
        rows << cells;
    }
    Report::GridRows data(std::move(rows));
    Report::Prepared prepared;
    QString error;
    if (!Report::prepare(Report::gridTemplate(title, pageHeader, pageFooter, columns), data,
                         &prepared, &error)) {
        ShowPrompt(QStringLiteral("无法生成报表：%1").arg(error), Prompt::Error);
        return;
    }
    ReportPreview preview(std::move(prepared), title, parent);
    preview.exec();
}
