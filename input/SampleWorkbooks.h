#pragma once

#include <QString>
#include <QStringList>

// The sample workbooks that show the layout an import expects: one per target table, headed
// with the sheet columns of the shipped mapping, with two example rows.
namespace SampleWorkbooks {

// "sample1.xlsx" for the catalogue (a name containing "good"), "sample2.xlsx" for clients
// ("client"), "sample3.xlsx" for anything else.
QString fileName(const QString &table);

// The headings of the shipped mapping of `table`, in their order.
QStringList headings(const QString &table);

// Writes the sample workbook of `table` to `path` (in the normal, not the constant-memory, mode
// of the export library, so every reader finds its texts); false with the reason in `error`.
bool write(const QString &table, const QString &path, QString *error);

// Puts the three sample workbooks into `folder` where they are missing; the user's own stay.
void install(const QString &folder);

} // namespace SampleWorkbooks
