#pragma once

#include "core/Work.h"
#include "report/PreparedPages.h"
#include "report/ReportTemplate.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>

class QPainter;

// A report filled from its data and broken into pages: simple drawing elements in millimetres
// on each page, ready for the preview and every output.
namespace Report {

// How a text or shape is drawn; a prepared report keeps each look once.
struct Style
{
    Font font;
    int align = Item::Left;
    int valign = Item::Middle;
    bool wrap = true;
    QString frame;
    double frameWidth = 0.2;
    QColor color = Qt::black;
    QColor background;
    Symbol symbol; // bar codes

    bool operator==(const Style &) const = default;
};

// The look of `item` as it prints.
Style styleOf(const Item &item);

using Chart = QList<QPair<QString, double>>;

struct Prepared
{
    PageSetup page;
    QList<Style> styles;
    QList<Chart> charts;
    PageList pages;

    const Style &styleOf(const Element &element) const { return styles.at(element.style); }
    // False while pages are still being made: the page count is not known yet.
    bool complete = true;
    // Values that printed as a marked empty box, each with its record and the reason ("第 3 条
    // 记录：条码“12AB”不能编为 EAN-13：只能是数字").
    QStringList problems;

    // The text of a text element as drawn, with the page count in place.
    QString textOf(const Element &element) const;
};

// What the preview tells of `problems`: how many, and the first of them; empty for none.
QString problemSummary(const QStringList &problems);

// A prepared report kept in a file of its own ("*.qrp") to be opened in the preview again
// later, as it was; failed with the reason for a file that is not one or is damaged. The
// progress is told the share of the pages.
WorkResult savePrepared(const Prepared &report, const QString &path,
                        const WorkProgress &progress = {});
WorkResult loadPrepared(const QString &path, Prepared *report, const WorkProgress &progress = {});

// The first page from `from` on (wrapping round to the first) holding `text` in a text, in
// `found`; -1 when none does.
WorkResult findText(const Prepared &report, const QString &text, int from, int *found,
                    const WorkProgress &progress = {});

// Draws page `index` with `pixelsPerMm` device pixels to the millimetre, from the painter's
// origin.
void drawPage(QPainter &painter, const Prepared &report, int index, double pixelsPerMm);

} // namespace Report
