#pragma once

#include <QString>
#include <QStringView>

// Cell values as a spreadsheet shows them in its general format, for the import.
namespace CellText {

// 12345 as "12345" (never "12345.0" or "1.2345E4"), 0.1 + 0.2 as "0.3".
QString number(double value);
// A date number of the 1900 date system as "yyyy-MM-dd" ("yyyy-MM-dd hh:mm:ss" when it holds
// a time of day, "hh:mm:ss" for a time alone).
QString serialDate(double serial);
// Whether a number format code shows its number as a date or time ("yyyy-mm-dd", "m/d/yy h:mm",
// "yyyy\"年\"m\"月\"d\"日\"").
bool isDateFormat(QStringView code);
// Whether a built-in number format (those a workbook names by number only) is a date or time.
bool isBuiltInDateFormat(int id);

} // namespace CellText
