#pragma once

#include "report/ReportTemplate.h"

#include <QList>
#include <QPair>
#include <QString>

class QPainter;

// A report filled from its data and broken into pages: simple drawing elements in millimetres
// on each page, ready for the preview and every output.
namespace Report {

struct Element
{
    enum Kind { Text, Line, Rect, Ellipse, Picture, CheckBox, PieChart };

    Kind kind = Text;
    QRectF rect; // on the page
    QString text; // Text: "[PageCount]" is left to drawing time; Picture: the file
    Font font;
    int align = Item::Left;
    int valign = Item::Middle;
    bool wrap = true;
    QString frame;
    double frameWidth = 0.2;
    QColor color = Qt::black;
    QColor background;
    bool checked = false;
    QList<QPair<QString, double>> slices; // PieChart

    bool operator==(const Element &) const = default;
};

struct Page
{
    QList<Element> elements;

    bool operator==(const Page &) const = default;
};

struct Prepared
{
    PageSetup page;
    QList<Page> pages;

    // The text of a text element as drawn, with the page count in place.
    QString textOf(const Element &element) const;
};

// A prepared report kept in a file of its own ("*.qrp") to be opened in the preview again
// later, as it was; false with the reason for a file that is not one or is damaged.
bool savePrepared(const Prepared &report, const QString &path, QString *error);
bool loadPrepared(const QString &path, Prepared *report, QString *error);

// Draws page `index` with `pixelsPerMm` device pixels to the millimetre, from the painter's
// origin.
void drawPage(QPainter &painter, const Prepared &report, int index, double pixelsPerMm);

} // namespace Report
