#include "designer/PageItems.h"

#include "designer/PageScene.h"
#include "report/PreparedReport.h"

#include <QApplication>
#include <QCursor>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <cmath>

namespace {

constexpr double kHandle = 6; // pixels
constexpr double kCaptionHeight = 4.5 * kPixelsPerMm;

PageScene *pageScene(const QGraphicsItem *item)
{
    return static_cast<PageScene *>(item->scene());
}

// What a bar code shows while designing: its text, or for a field an example its symbology
// takes.
QString sampleValue(const Report::Item &item)
{
    if (!item.text.contains(u'['))
        return item.text;
    switch (item.symbol.symbology) {
    case Report::Symbol::Ean13:
        return QStringLiteral("690123456789");
    case Report::Symbol::Ean8:
        return QStringLiteral("6901234");
    default:
        return QStringLiteral("YP2026-0001");
    }
}

// The item as the engine draws it: one element on a page of its own.
Report::Prepared asDrawn(const Report::Item &item, const QSizeF &sizeMm)
{
    Report::Prepared p;
    // The page count is not known while designing: "[PageCount]" shows as "…", not as 1.
    p.complete = false;
    p.styles << Report::styleOf(item);
    Report::Element e;
    e.kind = Report::Element::Kind(item.kind);
    e.rect = QRectF(QPointF(), sizeMm);
    e.text = item.kind == Report::Item::BarCode ? sampleValue(item) : item.text;
    Report::Page page;
    page.elements << e;
    p.pages.append(page);
    return p;
}

// Shift adds to the selection as Ctrl does.
QGraphicsSceneMouseEvent *withShiftAsControl(QGraphicsSceneMouseEvent *event)
{
    if (event->modifiers() & Qt::ShiftModifier)
        event->setModifiers(event->modifiers() | Qt::ControlModifier);
    return event;
}

} // namespace

double snapped(double mm)
{
    if (QApplication::keyboardModifiers() & Qt::AltModifier)
        return std::round(mm * 10) / 10;
    return std::round(mm);
}

DesignItem::DesignItem(const Report::Item &item, const Report::ItemRef &ref, const QPointF &at,
                       QGraphicsItem *band)
    : QGraphicsItem(band), m_item(item), m_ref(ref), m_origin(at),
      m_size(item.rect.width() * kPixelsPerMm, item.rect.height() * kPixelsPerMm)
{
    setPos(at);
    setFlags(ItemIsSelectable | ItemIsMovable);
    setAcceptHoverEvents(true);
    setToolTip(item.text);
}

QRectF DesignItem::boundingRect() const
{
    // A line without height still has room to be grabbed.
    return QRectF(QPointF(), m_size).normalized().adjusted(-3, -3, kHandle, kHandle);
}

void DesignItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const QRectF box(QPointF(), m_size);
    const QSizeF mm = m_size / kPixelsPerMm;
    switch (m_item.kind) {
    case Report::Item::Picture:
    case Report::Item::PieChart: {
        painter->setPen(QPen(Qt::gray, 0, Qt::DashLine));
        painter->drawRect(box);
        const QString what = m_item.kind == Report::Item::Picture
                                 ? QStringLiteral("图片 %1").arg(m_item.source)
                                 : QStringLiteral("饼图 %1").arg(m_item.dataSet);
        painter->drawText(box, Qt::AlignCenter | Qt::TextWordWrap, what);
        break;
    }
    default:
        Report::drawPage(*painter, asDrawn(m_item, mm), 0, kPixelsPerMm);
        break;
    }
    if (isSelected()) {
        painter->setPen(QPen(QColor(0, 90, 220), 0, Qt::DashLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(box);
        painter->fillRect(
            QRectF(box.bottomRight() - QPointF(kHandle / 2, kHandle / 2), QSizeF(kHandle, kHandle)),
            QColor(0, 90, 220));
    } else if (m_item.kind == Report::Item::Text && m_item.frame.isEmpty()) {
        // Unframed texts show where they are.
        painter->setPen(QPen(QColor(200, 200, 200), 0, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(box);
    }
}

bool DesignItem::onHandle(const QPointF &pos) const
{
    const QPointF corner(m_size.width(), m_size.height());
    return isSelected() && qAbs(pos.x() - corner.x()) <= kHandle &&
           qAbs(pos.y() - corner.y()) <= kHandle;
}

void DesignItem::hoverMoveEvent(QGraphicsSceneHoverEvent *event)
{
    setCursor(onHandle(event->pos()) ? Qt::SizeFDiagCursor : Qt::SizeAllCursor);
}

void DesignItem::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && onHandle(event->pos())) {
        m_resizing = true;
        event->accept();
        return;
    }
    QGraphicsItem::mousePressEvent(withShiftAsControl(event));
}

void DesignItem::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (!m_resizing) {
        QGraphicsItem::mouseMoveEvent(event);
        return;
    }
    prepareGeometryChange();
    m_size = QSizeF(qMax(0.0, event->pos().x()), qMax(0.0, event->pos().y()));
}

void DesignItem::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (!m_resizing) {
        QGraphicsItem::mouseReleaseEvent(withShiftAsControl(event));
        return;
    }
    m_resizing = false;
    const QSizeF mm(snapped(m_size.width() / kPixelsPerMm),
                    snapped(m_size.height() / kPixelsPerMm));
    pageScene(this)->resizeLater(m_ref, mm);
}

BandStrip::BandStrip(const Report::BandRef &ref, const QRectF &rect, const QString &caption)
    : QGraphicsRectItem(rect), m_ref(ref), m_caption(caption)
{
    setAcceptHoverEvents(true);
    setZValue(-1);
}

void BandStrip::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const QRectF room = rect();
    const QRectF caption(room.left(), room.top() - kCaptionHeight, room.width(), kCaptionHeight);
    const bool current = pageScene(this)->currentBand() == m_ref;
    painter->fillRect(caption, current ? QColor(255, 214, 140) : QColor(225, 230, 240));
    painter->setPen(QColor(80, 80, 80));
    QFont f = painter->font();
    f.setPixelSize(int(kCaptionHeight * 0.7));
    painter->setFont(f);
    painter->drawText(caption.adjusted(4, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, m_caption);
    painter->setPen(QPen(QColor(150, 160, 180), 0, Qt::DashLine));
    painter->drawLine(room.bottomLeft(), room.bottomRight());
}

bool BandStrip::onEdge(const QPointF &pos) const
{
    return qAbs(pos.y() - rect().bottom()) <= 3;
}

void BandStrip::hoverMoveEvent(QGraphicsSceneHoverEvent *event)
{
    setCursor(onEdge(event->pos()) ? Qt::SizeVerCursor : Qt::ArrowCursor);
}

void BandStrip::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    pageScene(this)->setCurrentBand(m_ref);
    if (event->button() == Qt::LeftButton && onEdge(event->pos())) {
        m_resizing = true;
        event->accept();
        return;
    }
    // Elsewhere the view starts a rubber band.
    event->ignore();
}

void BandStrip::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (!m_resizing)
        return;
    QRectF r = rect();
    r.setBottom(qMax(r.top(), event->pos().y()));
    setRect(r);
}

void BandStrip::mouseReleaseEvent(QGraphicsSceneMouseEvent *)
{
    if (!m_resizing)
        return;
    m_resizing = false;
    pageScene(this)->resizeBandLater(m_ref, snapped(rect().height() / kPixelsPerMm));
}
