#pragma once

#include <QString>

// How a grid column's display format ("yyyy-MM-dd", "0.00", ",0.000", empty) becomes a cell
// of a spreadsheet: text in the text format "@", or a number or date under the equivalent
// number format.
namespace SpreadsheetFormat {

enum class Kind { Text, Number, Date };

Kind kindOf(const QString &displayFormat);
// The spreadsheet number format that shows values as the grid does: "@" for text columns.
QString numberFormat(const QString &displayFormat);

} // namespace SpreadsheetFormat
