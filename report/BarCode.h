#pragma once

#include "report/ReportTemplate.h"

#include <QRectF>
#include <QString>

class QPainter;

// Bar codes of the report engine, encoded by zint and drawn as vectors: rectangles for the
// modules and text for the human-readable line, so a PDF and a printer stay sharp.
namespace Report {

// "Code 128", "EAN-13", "QR 码" …, as the designer and the messages name them.
QString symbologyName(Symbol::Symbology symbology);

// Why `value` cannot be a bar code of `symbol`'s symbology (letters in EAN-13, too long for
// it); empty when it can, and for an empty value, which prints nothing.
QString barCodeProblem(const Symbol &symbol, const QString &value);

// Draws `value` into `box` (device units, `perMm` of them to the millimetre) as `symbol` says,
// the human-readable text in `font`'s family. A value that cannot be encoded draws as an empty
// box crossed in red.
void drawBarCode(QPainter &painter, const Symbol &symbol, const QString &value, const Font &font,
                 const QColor &colour, const QRectF &box, double perMm);

} // namespace Report
