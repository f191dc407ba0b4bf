#pragma once

#include "core/DataSource.h"
#include "core/GridColumn.h"
#include "core/ListQuery.h"
#include "core/Work.h"
#include "spreadsheet/XlsxListWriter.h"

#include <QDateTime>
#include <QList>
#include <QString>

// A list written to a spreadsheet file: the list's own statement read forward on a connection
// of its own (never the grid's pages, never every row in memory), written with XlsxListWriter.
// Runs off the window's thread and shows nothing: failures come back as text.
namespace ListExport {

struct Job
{
    DataSource source;
    ListQuery query;
    QList<GridColumn> columns; // in grid order, hidden ones too
    QString title;
    // For the progress; when unknown (-1) the rows are counted first.
    qint64 expectedRows = -1;
    int rowsPerSheet = XlsxListWriter::kRowsPerSheet;
};

struct Summary
{
    qint64 rows = 0;
    int sheets = 0;
    int shortenedTexts = 0; // longer than a cell holds, cut
    // After a failure: the database refused (whose damage the data module tells in its words).
    bool failedInDatabase = false;
};

// Writes the list to `target`, replacing a file of that name only when the workbook is whole.
// Failed (the reason in the user's words) or cancelled, nothing is left at `target` but what
// was there.
WorkResult write(const Job &job, const QString &target, Summary *summary,
                 const WorkProgress &progress = {});

// "<title> yyyy-MM-dd HH-mm-ss.xlsx" in `folder`, with " (2)", " (3)" … before the extension
// when a file of that name exists. Characters that file names cannot hold become "_".
QString freeFileName(const QString &folder, const QString &title, const QDateTime &time);

} // namespace ListExport
