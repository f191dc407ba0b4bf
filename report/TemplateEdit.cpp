#include "report/TemplateEdit.h"

#include <algorithm>

namespace Report {

namespace {

void addDataBands(const QList<DataBand> &data, const QList<int> &parent, QList<BandRef> *bands)
{
    for (int i = 0; i < data.size(); ++i) {
        const DataBand &d = data.at(i);
        QList<int> path = parent;
        path << i;
        if (d.header)
            bands->append({BandRef::DataHeader, path, -1});
        for (int g = 0; g < d.groups.size(); ++g) {
            if (d.groups.at(g).header)
                bands->append({BandRef::GroupHeader, path, g});
        }
        bands->append({BandRef::Row, path, -1});
        addDataBands(d.details, path, bands);
        for (int g = int(d.groups.size()) - 1; g >= 0; --g) {
            if (d.groups.at(g).footer)
                bands->append({BandRef::GroupFooter, path, g});
        }
        if (d.footer)
            bands->append({BandRef::DataFooter, path, -1});
    }
}

std::optional<Band> *optionalBand(Template &report, const BandRef &ref)
{
    switch (ref.kind) {
    case BandRef::Title:
        return &report.title;
    case BandRef::PageHeader:
        return &report.pageHeader;
    case BandRef::PageFooter:
        return &report.pageFooter;
    case BandRef::Summary:
        return &report.summary;
    default:
        break;
    }
    DataBand *data = dataBandAt(report, ref.data);
    if (!data)
        return nullptr;
    switch (ref.kind) {
    case BandRef::DataHeader:
        return &data->header;
    case BandRef::DataFooter:
        return &data->footer;
    case BandRef::GroupHeader:
    case BandRef::GroupFooter:
        if (ref.group < 0 || ref.group >= data->groups.size())
            return nullptr;
        return ref.kind == BandRef::GroupHeader ? &data->groups[ref.group].header
                                                : &data->groups[ref.group].footer;
    default:
        return nullptr;
    }
}

// Items of each band from the last place to the first, so removing one leaves the others' places.
QList<ItemRef> lastFirst(QList<ItemRef> refs)
{
    std::sort(refs.begin(), refs.end(),
              [](const ItemRef &a, const ItemRef &b) { return a.index > b.index; });
    return refs;
}

} // namespace

QList<BandRef> bandsOf(const Template &report)
{
    QList<BandRef> bands;
    if (report.title)
        bands.append(BandRef{BandRef::Title, {}, -1});
    if (report.pageHeader)
        bands.append(BandRef{BandRef::PageHeader, {}, -1});
    addDataBands(report.data, {}, &bands);
    if (report.summary)
        bands.append(BandRef{BandRef::Summary, {}, -1});
    if (report.pageFooter)
        bands.append(BandRef{BandRef::PageFooter, {}, -1});
    return bands;
}

DataBand *dataBandAt(Template &report, const QList<int> &path)
{
    QList<DataBand> *level = &report.data;
    DataBand *found = nullptr;
    for (int i : path) {
        if (i < 0 || i >= level->size())
            return nullptr;
        found = &(*level)[i];
        level = &found->details;
    }
    return found;
}

const DataBand *dataBandAt(const Template &report, const QList<int> &path)
{
    return dataBandAt(const_cast<Template &>(report), path);
}

Band *bandAt(Template &report, const BandRef &ref)
{
    if (ref.kind == BandRef::Row) {
        DataBand *data = dataBandAt(report, ref.data);
        return data ? &data->row : nullptr;
    }
    std::optional<Band> *band = optionalBand(report, ref);
    return band && *band ? &**band : nullptr;
}

const Band *bandAt(const Template &report, const BandRef &ref)
{
    return bandAt(const_cast<Template &>(report), ref);
}

Item *itemAt(Template &report, const ItemRef &ref)
{
    Band *band = bandAt(report, ref.band);
    if (!band || ref.index < 0 || ref.index >= band->items.size())
        return nullptr;
    return &band->items[ref.index];
}

const Item *itemAt(const Template &report, const ItemRef &ref)
{
    return itemAt(const_cast<Template &>(report), ref);
}

QString bandCaption(const Template &report, const BandRef &ref)
{
    const DataBand *data = dataBandAt(report, ref.data);
    const QString dataSet = data ? data->dataSet : QString();
    const QString field = data && ref.group >= 0 && ref.group < data->groups.size()
                              ? data->groups.at(ref.group).field
                              : QString();
    switch (ref.kind) {
    case BandRef::Title:
        return QStringLiteral("报表标题");
    case BandRef::PageHeader:
        return QStringLiteral("页眉");
    case BandRef::DataHeader:
        return QStringLiteral("数据头 %1").arg(dataSet);
    case BandRef::GroupHeader:
        return QStringLiteral("分组头 %1").arg(field);
    case BandRef::Row:
        return QStringLiteral("%1 %2").arg(
            ref.data.size() > 1 ? QStringLiteral("明细") : QStringLiteral("数据"), dataSet);
    case BandRef::GroupFooter:
        return QStringLiteral("分组脚 %1").arg(field);
    case BandRef::DataFooter:
        return QStringLiteral("数据脚 %1").arg(dataSet);
    case BandRef::Summary:
        return QStringLiteral("报表合计");
    case BandRef::PageFooter:
        return QStringLiteral("页脚");
    }
    return {};
}

QStringList dataSetsOf(const Template &report, const BandRef &ref)
{
    QStringList sets;
    for (qsizetype depth = ref.data.size(); depth > 0; --depth) {
        if (const DataBand *data = dataBandAt(report, ref.data.first(depth)))
            sets << data->dataSet;
    }
    return sets;
}

bool addBand(Template &report, BandRef::Kind kind, const QList<int> &data, int group)
{
    std::optional<Band> *band = optionalBand(report, {kind, data, group});
    if (!band || *band)
        return false;
    const bool tall = kind == BandRef::Title || kind == BandRef::Summary;
    band->emplace(Band{tall ? 15.0 : 8.0, {}});
    return true;
}

BandRef addDataBand(Template &report, const QString &dataSet, const QList<int> &master)
{
    DataBand band;
    band.dataSet = dataSet;
    band.row.height = 6;
    QList<DataBand> *level = &report.data;
    if (!master.isEmpty()) {
        DataBand *m = dataBandAt(report, master);
        if (!m)
            return {};
        level = &m->details;
    }
    level->append(band);
    QList<int> path = master;
    path << int(level->size()) - 1;
    return {BandRef::Row, path, -1};
}

BandRef addGroup(Template &report, const QList<int> &data, const QString &field)
{
    DataBand *d = dataBandAt(report, data);
    if (!d)
        return {};
    Group group;
    group.field = field;
    group.header = Band{8, {}};
    d->groups.append(group);
    return {BandRef::GroupHeader, data, int(d->groups.size()) - 1};
}

void removeBand(Template &report, const BandRef &ref)
{
    if (ref.kind == BandRef::Row) {
        QList<int> master = ref.data;
        const int index = master.takeLast();
        QList<DataBand> *level = &report.data;
        if (!master.isEmpty()) {
            DataBand *m = dataBandAt(report, master);
            if (!m)
                return;
            level = &m->details;
        }
        if (index >= 0 && index < level->size())
            level->removeAt(index);
        return;
    }
    std::optional<Band> *band = optionalBand(report, ref);
    if (!band)
        return;
    band->reset();
    if (ref.kind == BandRef::GroupHeader || ref.kind == BandRef::GroupFooter) {
        DataBand *data = dataBandAt(report, ref.data);
        const Group &g = data->groups.at(ref.group);
        if (!g.header && !g.footer)
            data->groups.removeAt(ref.group);
    }
}

QList<ItemRef> addItems(Template &report, const BandRef &ref, const QList<Item> &items)
{
    QList<ItemRef> refs;
    Band *band = bandAt(report, ref);
    if (!band)
        return refs;
    for (const Item &item : items) {
        band->items.append(item);
        refs.append({ref, int(band->items.size()) - 1});
    }
    return refs;
}

void removeItems(Template &report, const QList<ItemRef> &refs)
{
    for (const ItemRef &ref : lastFirst(refs)) {
        if (Band *band = bandAt(report, ref.band); band && ref.index < band->items.size())
            band->items.removeAt(ref.index);
    }
}

QList<ItemRef> placeItems(Template &report, const QList<ItemRef> &refs,
                          const QList<BandRef> &targets, const QList<QPointF> &topLefts)
{
    QList<ItemRef> placed = refs;
    QList<int> leaving;
    for (int i = 0; i < refs.size(); ++i) {
        if (Item *item = itemAt(report, refs.at(i)))
            item->rect.moveTopLeft(topLefts.at(i));
        if (!(targets.at(i) == refs.at(i).band))
            leaving << i;
    }
    if (leaving.isEmpty())
        return placed;
    QList<ItemRef> moved;
    QList<Item> items;
    for (int i : leaving) {
        moved << refs.at(i);
        items << *itemAt(report, refs.at(i));
    }
    removeItems(report, moved);
    // Items that stay in a band from which others left move up in it.
    for (int i = 0; i < refs.size(); ++i) {
        if (leaving.contains(i))
            continue;
        for (const ItemRef &gone : moved) {
            if (gone.band == refs.at(i).band && gone.index < refs.at(i).index)
                --placed[i].index;
        }
    }
    for (int k = 0; k < leaving.size(); ++k)
        placed[leaving.at(k)] = addItems(report, targets.at(leaving.at(k)), {items.at(k)}).value(0);
    return placed;
}

void alignItems(Template &report, const QList<ItemRef> &refs, Alignment alignment)
{
    const Item *first = refs.isEmpty() ? nullptr : itemAt(report, refs.first());
    if (!first)
        return;
    const QRectF to = first->rect;
    for (const ItemRef &ref : refs) {
        Item *item = itemAt(report, ref);
        if (!item)
            continue;
        QRectF &r = item->rect;
        switch (alignment) {
        case Alignment::Left:
            r.moveLeft(to.left());
            break;
        case Alignment::HCentre:
            r.moveLeft(to.center().x() - r.width() / 2);
            break;
        case Alignment::Right:
            r.moveRight(to.right());
            break;
        case Alignment::Top:
            r.moveTop(to.top());
            break;
        case Alignment::VCentre:
            r.moveTop(to.center().y() - r.height() / 2);
            break;
        case Alignment::Bottom:
            r.moveBottom(to.bottom());
            break;
        }
    }
}

void sameSize(Template &report, const QList<ItemRef> &refs, bool width, bool height)
{
    const Item *first = refs.isEmpty() ? nullptr : itemAt(report, refs.first());
    if (!first)
        return;
    const QSizeF size = first->rect.size();
    for (const ItemRef &ref : refs) {
        if (Item *item = itemAt(report, ref)) {
            if (width)
                item->rect.setWidth(size.width());
            if (height)
                item->rect.setHeight(size.height());
        }
    }
}

namespace {
struct Paper
{
    const char *name;
    double width;
    double height;
};
constexpr Paper kPapers[] = {{"A3", 297, 420},
                             {"A4", 210, 297},
                             {"A5", 148, 210},
                             {"B5", 176, 250},
                             {"Letter", 215.9, 279.4}};
} // namespace

QSizeF paperSize(const QString &paper)
{
    for (const Paper &p : kPapers) {
        if (paper.compare(QLatin1String(p.name), Qt::CaseInsensitive) == 0)
            return {p.width, p.height};
    }
    return {};
}

QStringList paperNames()
{
    QStringList names;
    for (const Paper &p : kPapers)
        names << QLatin1String(p.name);
    names << QStringLiteral("custom");
    return names;
}

} // namespace Report
