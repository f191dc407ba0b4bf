#include "designer/PageScene.h"

#include "designer/DesignDocument.h"
#include "designer/PageItems.h"

#include <QGraphicsLineItem>
#include <QGraphicsSceneDragDropEvent>
#include <QGraphicsSceneMouseEvent>
#include <QMimeData>
#include <QPen>
#include <cmath>

using namespace Report;

namespace {

constexpr double kCaptionMm = 4.5;

double rounded(double mm)
{
    return std::round(mm * 100) / 100;
}

} // namespace

PageScene::PageScene(DesignDocument *document, QObject *parent)
    : QGraphicsScene(parent), m_document(document)
{
    const QList<BandRef> bands = bandsOf(document->report());
    if (!bands.isEmpty())
        m_currentBand = bands.first();
    connect(document, &DesignDocument::changed, this, &PageScene::rebuild);
    connect(this, &QGraphicsScene::selectionChanged, this, [this] {
        if (m_rebuilding)
            return;
        const QList<ItemRef> refs = selectedRefs();
        if (!refs.isEmpty() && !(refs.first().band == m_currentBand)) {
            m_currentBand = refs.first().band;
            update();
            emit currentBandChanged();
        }
        emit selectedRefsChanged();
    });
    rebuild();
}

PageScene::~PageScene()
{
    // Items going with the scene are no change of selection to tell.
    blockSignals(true);
}

void PageScene::rebuild()
{
    const QList<ItemRef> keep = selectedRefs();
    m_rebuilding = true;
    clear();
    m_strips.clear();
    m_grabbed = nullptr;
    const Template &report = m_document->report();
    const PageSetup &page = report.page;
    const QList<BandRef> bands = bandsOf(report);
    if (!bands.contains(m_currentBand))
        m_currentBand = bands.value(0);
    const double left = page.margins.left();
    const double width = page.width - page.margins.left() - page.margins.right();
    double y = page.margins.top();
    for (const BandRef &ref : bands) {
        y += kCaptionMm;
        const Band *band = bandAt(report, ref);
        const QRectF room(left * kPixelsPerMm, y * kPixelsPerMm, width * kPixelsPerMm,
                          band->height * kPixelsPerMm);
        auto *strip = new BandStrip(ref, room, bandCaption(report, ref));
        addItem(strip);
        m_strips << strip;
        // A row of labels shows where each label ends.
        const DataBand *data = ref.kind == BandRef::Row ? dataBandAt(report, ref.data) : nullptr;
        for (int c = 1; data && c < data->columns; ++c) {
            const double labelWidth =
                (width - data->columnGap * (data->columns - 1)) / data->columns;
            for (const double x : {c * (labelWidth + data->columnGap) - data->columnGap,
                                   c * (labelWidth + data->columnGap)}) {
                auto *edge =
                    new QGraphicsLineItem(QLineF(room.left() + x * kPixelsPerMm, room.top(),
                                                 room.left() + x * kPixelsPerMm, room.bottom()),
                                          strip);
                edge->setPen(QPen(QColor(150, 160, 180), 0, Qt::DashLine));
                edge->setAcceptedMouseButtons(Qt::NoButton);
                edge->setZValue(-1);
            }
        }
        for (int i = 0; i < band->items.size(); ++i) {
            auto *item = new DesignItem(
                band->items.at(i), {ref, i},
                room.topLeft() + band->items.at(i).rect.topLeft() * kPixelsPerMm, strip);
            if (keep.contains(ItemRef{ref, i}))
                item->setSelected(true);
        }
        y += band->height + 1;
    }
    const double height = qMax(page.height, y + page.margins.bottom());
    auto *sheet = addRect(0, 0, page.width * kPixelsPerMm, height * kPixelsPerMm,
                          QPen(Qt::darkGray, 0), Qt::white);
    sheet->setZValue(-2);
    auto *margins =
        addRect(QRectF(left * kPixelsPerMm, page.margins.top() * kPixelsPerMm, width * kPixelsPerMm,
                       (page.height - page.margins.top() - page.margins.bottom()) * kPixelsPerMm),
                QPen(QColor(170, 190, 230), 0, Qt::DashLine));
    margins->setZValue(-1.5);
    setSceneRect(QRectF(-20, -20, page.width * kPixelsPerMm + 40, height * kPixelsPerMm + 40));
    m_rebuilding = false;
    emit selectedRefsChanged();
    emit currentBandChanged();
}

QList<ItemRef> PageScene::selectedRefs() const
{
    QList<ItemRef> refs;
    for (QGraphicsItem *item : selectedItems()) {
        if (auto *design = dynamic_cast<DesignItem *>(item))
            refs << design->ref();
    }
    std::sort(refs.begin(), refs.end(), [this](const ItemRef &a, const ItemRef &b) {
        const QList<BandRef> bands = bandsOf(m_document->report());
        const qsizetype ba = bands.indexOf(a.band);
        const qsizetype bb = bands.indexOf(b.band);
        return ba != bb ? ba < bb : a.index < b.index;
    });
    return refs;
}

void PageScene::selectRefs(const QList<ItemRef> &refs)
{
    m_rebuilding = true;
    for (QGraphicsItem *item : items()) {
        if (auto *design = dynamic_cast<DesignItem *>(item))
            design->setSelected(refs.contains(design->ref()));
    }
    m_rebuilding = false;
    if (!refs.isEmpty())
        m_currentBand = refs.first().band;
    update();
    emit currentBandChanged();
    emit selectedRefsChanged();
}

void PageScene::setCurrentBand(const BandRef &band)
{
    if (m_currentBand == band)
        return;
    m_currentBand = band;
    update();
    emit currentBandChanged();
}

QPointF PageScene::bandOrigin(const BandRef &band) const
{
    for (BandStrip *strip : m_strips) {
        if (strip->ref() == band)
            return strip->roomOrigin();
    }
    return {};
}

BandStrip *PageScene::stripAt(const QPointF &scenePos) const
{
    // A place between two bands belongs to the band above it.
    BandStrip *found = nullptr;
    for (BandStrip *strip : m_strips) {
        if (strip->rect().top() - kCaptionMm * kPixelsPerMm <= scenePos.y() || !found)
            found = strip;
    }
    return found;
}

void PageScene::resizeLater(const ItemRef &ref, const QSizeF &sizeMm)
{
    m_pending = [this, ref, sizeMm] {
        Template after = m_document->report();
        if (Item *item = Report::itemAt(after, ref))
            item->rect.setSize(sizeMm);
        m_document->change(QStringLiteral("改变大小"), after);
    };
}

void PageScene::resizeBandLater(const BandRef &band, double heightMm)
{
    m_pending = [this, band, heightMm] {
        Template after = m_document->report();
        if (Band *b = bandAt(after, band))
            b->height = heightMm;
        m_document->change(QStringLiteral("改变栏目高度"), after);
        rebuild(); // a drag back to the same height still redraws the strip
    };
}

void PageScene::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    QGraphicsScene::mousePressEvent(event);
    m_grabbed = dynamic_cast<DesignItem *>(mouseGrabberItem());
}

void PageScene::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    QGraphicsScene::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    // The page is drawn anew only once the items have finished with the event.
    if (m_pending) {
        const std::function<void()> pending = std::move(m_pending);
        m_pending = nullptr;
        pending();
        return;
    }
    commitMoves();
}

void PageScene::commitMoves()
{
    QList<DesignItem *> moved;
    for (QGraphicsItem *item : selectedItems()) {
        auto *design = dynamic_cast<DesignItem *>(item);
        if (design && design->scenePos() != design->origin())
            moved << design;
    }
    if (moved.isEmpty())
        return;
    // The grabbed item lands on the grid; the others keep their distance to it.
    DesignItem *lead = moved.contains(m_grabbed) ? m_grabbed : moved.first();
    m_grabbed = nullptr;
    const QPointF leadRoom = bandOrigin(lead->ref().band);
    const QPointF leadMm = (lead->scenePos() - leadRoom) / kPixelsPerMm;
    const QPointF delta = QPointF(snapped(leadMm.x()), snapped(leadMm.y())) * kPixelsPerMm +
                          leadRoom - lead->origin();
    QList<ItemRef> refs;
    QList<BandRef> targets;
    QList<QPointF> topLefts;
    for (DesignItem *item : moved) {
        const QPointF at = item->origin() + delta;
        const BandStrip *strip = stripAt(at);
        refs << item->ref();
        targets << strip->ref();
        const QPointF mm = (at - strip->roomOrigin()) / kPixelsPerMm;
        topLefts << QPointF(rounded(mm.x()), rounded(mm.y()));
    }
    Template after = m_document->report();
    const QList<ItemRef> placed = placeItems(after, refs, targets, topLefts);
    m_rebuilding = true;
    clearSelection();
    m_rebuilding = false;
    m_document->change(QStringLiteral("移动"), after);
    selectRefs(placed);
}

void PageScene::dragEnterEvent(QGraphicsSceneDragDropEvent *event)
{
    event->setAccepted(event->mimeData()->hasFormat(kFieldMime) && !m_strips.isEmpty());
}

void PageScene::dragMoveEvent(QGraphicsSceneDragDropEvent *event)
{
    event->setAccepted(event->mimeData()->hasFormat(kFieldMime) && !m_strips.isEmpty());
}

void PageScene::dropEvent(QGraphicsSceneDragDropEvent *event)
{
    const QStringList field = QString::fromUtf8(event->mimeData()->data(kFieldMime)).split(u'\n');
    const BandStrip *strip = stripAt(event->scenePos());
    if (field.size() != 2 || !strip) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    const QPointF mm = (event->scenePos() - strip->roomOrigin()) / kPixelsPerMm;
    dropField(strip->ref(), QPointF(qMax(0.0, snapped(mm.x())), qMax(0.0, snapped(mm.y()))),
              field.at(0), field.at(1));
}

void PageScene::dropField(const BandRef &band, const QPointF &topLeftMm, const QString &dataSet,
                          const QString &field)
{
    Template after = m_document->report();
    const Band *target = bandAt(after, band);
    if (!target)
        return;
    Item item;
    for (const Item &other : target->items) {
        if (other.kind == Item::Text) {
            item = other;
            item.name.clear();
            break;
        }
    }
    item.kind = Item::Text;
    item.align = Item::Left;
    const bool own = dataSetsOf(after, band).contains(dataSet, Qt::CaseInsensitive);
    item.text =
        own ? QStringLiteral("[%1]").arg(field) : QStringLiteral("[%1.%2]").arg(dataSet, field);
    const double height = item.rect.height() > 0 ? item.rect.height() : qMin(6.0, target->height);
    item.rect = QRectF(topLeftMm, QSizeF(25, height > 0 ? height : 6));
    const QList<ItemRef> added = addItems(after, band, {item});
    m_document->change(QStringLiteral("插入字段 %1").arg(field), after);
    selectRefs(added);
}
