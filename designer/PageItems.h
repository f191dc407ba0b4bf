#pragma once

#include "report/TemplateEdit.h"

#include <QGraphicsObject>
#include <QGraphicsRectItem>

// What the designer's page is drawn with: scene units are screen pixels at 100 %.
inline constexpr double kPixelsPerMm = 96 / 25.4;

// A report item on the page: drawn as the engine draws it, moved with the selection and
// resized by its bottom right handle.
class DesignItem : public QGraphicsItem
{
public:
    // `at`: the item's top left corner in the scene.
    DesignItem(const Report::Item &item, const Report::ItemRef &ref, const QPointF &at,
               QGraphicsItem *band);

    const Report::ItemRef &ref() const { return m_ref; }
    const Report::Item &item() const { return m_item; }
    // Where the item was when the page was drawn, in the scene.
    QPointF origin() const { return m_origin; }

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void hoverMoveEvent(QGraphicsSceneHoverEvent *event) override;

private:
    bool onHandle(const QPointF &pos) const;

    Report::Item m_item;
    Report::ItemRef m_ref;
    QPointF m_origin;
    QSizeF m_size; // pixels; changes while resizing
    bool m_resizing = false;
};

// A band's room on the page, below its caption; its bottom edge is dragged to change its height.
class BandStrip : public QGraphicsRectItem
{
public:
    BandStrip(const Report::BandRef &ref, const QRectF &rect, const QString &caption);

    const Report::BandRef &ref() const { return m_ref; }
    // The top left corner of the band's room in the scene: its items' origin.
    QPointF roomOrigin() const { return rect().topLeft(); }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void hoverMoveEvent(QGraphicsSceneHoverEvent *event) override;

private:
    bool onEdge(const QPointF &pos) const;

    Report::BandRef m_ref;
    QString m_caption;
    bool m_resizing = false;
};

// Millimetres on the grid of 1 mm, unless Alt is held.
double snapped(double mm);
