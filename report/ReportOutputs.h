#pragma once

#include "report/PreparedReport.h"

#include <QString>

// A prepared report written to a file. Each writes a new, owner-only file and puts it in the
// path's place only when complete (a link there is replaced, never written through); failed,
// with the reason, when it cannot. `progress` is told the share done before each page and
// cancels the writing (the old file kept) when it returns false.
namespace Report {

// Every page as a PDF page of the report's paper, its fonts embedded, its text searchable.
WorkResult writePdf(const Prepared &report, const QString &path, const WorkProgress &progress = {});
// The texts of each line of each page, left to right, separated by ";" (UTF-8 with BOM, so
// spreadsheet programs read the Chinese right).
WorkResult writeCsv(const Prepared &report, const QString &path, const WorkProgress &progress = {});
// The same lines as plain UTF-8 text, the texts separated by tabs, pages by form feeds.
WorkResult writeText(const Prepared &report, const QString &path,
                     const WorkProgress &progress = {});
// The same lines as an HTML table per page.
WorkResult writeHtml(const Prepared &report, const QString &path,
                     const WorkProgress &progress = {});
// The same lines as RTF paragraphs, each text at a tab stop where it stands on the page, the
// page's width stretched by 1.3 as word processors lay such exports out; a page break per page.
WorkResult writeRtf(const Prepared &report, const QString &path, const WorkProgress &progress = {});

} // namespace Report
