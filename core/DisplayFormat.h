#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

// How grids and reports turn a stored value into text by a column's display format:
// "yyyy-MM-dd" for dates, "0.00" / "0.###" / ",0.000" for numbers, empty for text as stored.
namespace DisplayFormat {

// Dates before this one stand for "no date" and show as empty text.
inline const QDate kNoDateBefore{1901, 8, 14};
inline const QDate kNoDate{1900, 8, 14};

bool isDateFormat(const QString &format);
QString format(const QVariant &value, const QString &format);

} // namespace DisplayFormat
