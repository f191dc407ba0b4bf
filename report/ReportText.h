#pragma once

#include "report/ReportTemplate.h"

#include <QFont>

class QPainter;

// How a report's texts are measured and drawn, the same way for every output.
namespace Report {

QFont qFont(const Font &font);
// The height a text needs in a box `widthMm` wide, in millimetres.
double textHeight(const QString &text, const Font &font, double widthMm, bool wrap);
// Qt text flags for an item's alignment.
int textFlags(int align, int valign, bool wrap);

} // namespace Report
