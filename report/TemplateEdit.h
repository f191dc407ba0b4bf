#pragma once

#include "report/ReportTemplate.h"

#include <QList>
#include <QPointF>
#include <QSizeF>
#include <QString>

// Edits of a template as the designer makes them: bands addressed by where they sit, items by
// their band and place in it, and the changes a selection of items undergoes.
namespace Report {

struct BandRef
{
    enum Kind {
        Title,
        PageHeader,
        DataHeader,
        GroupHeader,
        Row,
        GroupFooter,
        DataFooter,
        Summary,
        PageFooter
    };

    Kind kind = Title;
    QList<int> data; // the data band: its index in the template, then down through details
    int group = -1;  // GroupHeader, GroupFooter

    bool operator==(const BandRef &) const = default;
};

struct ItemRef
{
    BandRef band;
    int index = -1;

    bool operator==(const ItemRef &) const = default;
};

// Every band of the template, in the order they are stacked down the page in the designer.
QList<BandRef> bandsOf(const Template &report);
Band *bandAt(Template &report, const BandRef &ref);
const Band *bandAt(const Template &report, const BandRef &ref);
DataBand *dataBandAt(Template &report, const QList<int> &path);
const DataBand *dataBandAt(const Template &report, const QList<int> &path);
Item *itemAt(Template &report, const ItemRef &ref);
const Item *itemAt(const Template &report, const ItemRef &ref);
// "报表标题", "页眉", "数据 frMain", "分组头 F_type" …
QString bandCaption(const Template &report, const BandRef &ref);
// The data sets whose fields a band's texts read unqualified: its data band's and its masters'.
QStringList dataSetsOf(const Template &report, const BandRef &ref);

// Adds an optional band of the template or of data band `data` (a group's bands: to `group`);
// false when it is there already.
bool addBand(Template &report, BandRef::Kind kind, const QList<int> &data = {}, int group = -1);
// A new data band over `dataSet`, at the end of the template or as a detail of `master`.
BandRef addDataBand(Template &report, const QString &dataSet, const QList<int> &master = {});
// A new innermost group of data band `data`, with a header.
BandRef addGroup(Template &report, const QList<int> &data, const QString &field);
// Removing a data band's row removes the data band with its details; a group's last band, the
// group.
void removeBand(Template &report, const BandRef &ref);

// The new items' places.
QList<ItemRef> addItems(Template &report, const BandRef &band, const QList<Item> &items);
void removeItems(Template &report, const QList<ItemRef> &refs);
// Puts each item at `topLefts[i]` in band `targets[i]`; an item that changes band goes to the
// end of its new band. The items' new places, in the order given.
QList<ItemRef> placeItems(Template &report, const QList<ItemRef> &refs,
                          const QList<BandRef> &targets, const QList<QPointF> &topLefts);

enum class Alignment { Left, HCentre, Right, Top, VCentre, Bottom };
// Lines the items up with the first of them.
void alignItems(Template &report, const QList<ItemRef> &refs, Alignment alignment);
// Gives the items the first one's width, height or both.
void sameSize(Template &report, const QList<ItemRef> &refs, bool width, bool height);

// A paper's size in millimetres, portrait; invalid for "custom" or a name not known.
QSizeF paperSize(const QString &paper);
QStringList paperNames();

} // namespace Report
