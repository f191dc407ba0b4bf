#pragma once

#include "report/TemplateEdit.h"

#include <QGraphicsScene>
#include <functional>

class BandStrip;
class DesignItem;
class DesignDocument;

// The page of the template being designed: its bands stacked as captioned strips, its items on
// them. Moves, resizes and dropped fields become steps of the document; the page is drawn anew
// after each.
class PageScene : public QGraphicsScene
{
    Q_OBJECT

public:
    // Fields dragged from the data tree: "<data set>\n<field>".
    static inline const QString kFieldMime = QStringLiteral("application/x-quorin-report-field");

    explicit PageScene(DesignDocument *document, QObject *parent = nullptr);
    ~PageScene() override;

    QList<Report::ItemRef> selectedRefs() const;
    void selectRefs(const QList<Report::ItemRef> &refs);
    // The band new and pasted items go to: the one last clicked, else the first selected item's.
    const Report::BandRef &currentBand() const { return m_currentBand; }
    void setCurrentBand(const Report::BandRef &band);
    // The scene position of a band's top left corner; a null point for a band not on the page.
    QPointF bandOrigin(const Report::BandRef &band) const;

    // Called by items as a mouse gesture ends; done once the scene has finished with the event.
    void resizeLater(const Report::ItemRef &ref, const QSizeF &sizeMm);
    void resizeBandLater(const Report::BandRef &band, double heightMm);

    // A text item bound to `field` of `dataSet`, at `topLeftMm` in `band`, looking like the
    // band's other texts.
    void dropField(const Report::BandRef &band, const QPointF &topLeftMm, const QString &dataSet,
                   const QString &field);

signals:
    void currentBandChanged();
    void selectedRefsChanged();

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void dragEnterEvent(QGraphicsSceneDragDropEvent *event) override;
    void dragMoveEvent(QGraphicsSceneDragDropEvent *event) override;
    void dropEvent(QGraphicsSceneDragDropEvent *event) override;

private:
    void rebuild();
    void commitMoves();
    BandStrip *stripAt(const QPointF &scenePos) const;

    DesignDocument *m_document;
    QList<BandStrip *> m_strips;
    Report::BandRef m_currentBand;
    DesignItem *m_grabbed = nullptr; // the item the mouse moves
    std::function<void()> m_pending;
    bool m_rebuilding = false;
};
