#pragma once

#include "report/ReportRun.h"

#include <QHash>
#include <QString>

struct ListQuery;
class QTableView;
class QWidget;
class SqlListModel;

// The report component `TfrReport` for the windows: prepares `job` off the window's thread, with
// progress and 取消, and shows it in the preview titled `title`; a failure (a missing or damaged
// template) is told in a box. A statement that fails is told too, and the report is shown with the
// rows that could be read.
void showReport(QWidget *parent, const Report::Job &job, const QString &title);
// The same with the job's template as given (the designer's, unsaved).
void showReport(QWidget *parent, const Report::Job &job, const Report::Template &layout,
                const QString &title);

// The job of a list window's template over the whole list as it is listed (frDBDataSet1).
Report::Job ListJob(const QString &templateName, const ListQuery &query,
                    const QHash<QString, QString> &texts = {});

// 打印 of a list window: nothing while the list is empty or not read yet; else the template
// `templateName` over the whole list as it is listed (frDBDataSet1), with `texts` set.
void printList(QWidget *parent, const QString &templateName, const SqlListModel &list,
               const QString &title, const QHash<QString, QString> &texts = {});

// The plain grid print: the grid's visible columns in their order and every row as shown, under
// `title`, in the preview.
void PrintGrid(QWidget *parent, const QTableView *grid, const QString &title,
               const QString &pageHeader = {}, const QString &pageFooter = {});
