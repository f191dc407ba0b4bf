#include "report/PrintReport.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/SqlListModel.h"
#include "report/GridPrint.h"
#include "report/ReportPreview.h"

#include <QFuture>
#include <QHeaderView>
#include <QTableView>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <atomic>

void showReport(QWidget *parent, const Report::Job &job, const QString &title)
{
    // A missing or damaged template is told before any window opens.
    Report::Template layout;
    QString error;
    if (!Report::load(Report::templatePath(job.templateName), &layout, &error)) {
        ShowPrompt(QStringLiteral("无法生成报表：%1").arg(error), Prompt::Error);
        return;
    }
    showReport(parent, job, layout, title);
}

void showReport(QWidget *parent, const Report::Job &job, const Report::Template &layout,
                const QString &title)
{
    Report::Job withCompany = job;
    withCompany.variables.insert(QStringLiteral("CompanyName"),
                                 dmData->GetStrValue(QStringLiteral("select F_Code from SysInfo")));
    Report::Prepared nothingYet;
    nothingYet.page = layout.page;
    nothingYet.complete = false;
    ReportPreview preview(std::move(nothingYet), title, parent);

    // The pages are made off the window's thread and shown as each is finished; closing the
    // preview stops the making.
    std::atomic<bool> stop{false};
    QThreadPool pool;
    pool.setMaxThreadCount(1);
    const DataSource source = dmData->source();
    // The preview gets the finished pages as a list of its own that shares those on disk.
    const auto send = [&preview](const Report::Prepared &made, qsizetype finished) {
        QMetaObject::invokeMethod(
            &preview,
            [&preview, pages = made.pages.firstPages(finished), styles = made.styles,
             charts = made.charts] { preview.showPages(pages, styles, charts); },
            Qt::QueuedConnection);
    };
    QFuture<void> making = QtConcurrent::run(&pool, [&] {
        Report::Prepared made;
        qsizetype sent = 0;
        const WorkResult result = Report::prepareJob(
            withCompany, layout, source, &made, [&](const Report::Prepared &soFar) {
                const qsizetype finished = soFar.pages.size() - 1;
                if (finished > sent) {
                    send(soFar, finished);
                    sent = finished;
                }
                return !stop.load();
            });
        const QString failure = result.reason();
        // A data set that could not be read leaves a report of what could: it is shown, and
        // the reason told.
        if (result.isDone() || (result.isFailed() && !made.pages.isEmpty())) {
            send(made, made.pages.size());
            QMetaObject::invokeMethod(
                &preview,
                [&preview, failure, problems = Report::problemSummary(made.problems)] {
                    preview.finish();
                    if (!problems.isEmpty())
                        ShowPrompt(problems, Prompt::Warning);
                    if (!failure.isEmpty())
                        ShowPrompt(
                            QStringLiteral("报表的数据没有全部读出，预览中只有读出的部分：%1")
                                .arg(failure),
                            Prompt::Warning);
                },
                Qt::QueuedConnection);
        } else if (result.isFailed()) {
            QMetaObject::invokeMethod(
                &preview,
                [&preview, failure] {
                    ShowPrompt(QStringLiteral("无法生成报表：%1").arg(failure), Prompt::Error);
                    preview.reject();
                },
                Qt::QueuedConnection);
        }
    });
    preview.exec();
    stop = true;
    making.waitForFinished();
}

void printList(QWidget *parent, const QString &templateName, const SqlListModel &list,
               const QString &title, const QHash<QString, QString> &texts)
{
    if (!list.isOpen() || list.rowCount() == 0)
        return;
    showReport(parent, ListJob(templateName, list.query(), texts), title);
}

Report::Job ListJob(const QString &templateName, const ListQuery &query,
                    const QHash<QString, QString> &texts)
{
    Report::Job job;
    job.templateName = templateName;
    job.texts = texts;
    job.dataSets.insert(QStringLiteral("frDBDataSet1"),
                        {query.select + query.orderClause(), query.values, {}});
    return job;
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
    const WorkResult made = Report::prepare(
        Report::gridTemplate(title, pageHeader, pageFooter, columns), data, &prepared);
    if (!made.isDone()) {
        ShowPrompt(QStringLiteral("无法生成报表：%1").arg(made.reason()), Prompt::Error);
        return;
    }
    ReportPreview preview(std::move(prepared), title, parent);
    preview.exec();
}
