#pragma once

#include "designer/DataTree.h"
#include "report/ReportRun.h"
#include "report/TemplateEdit.h"

#include <QDialog>
#include <QHash>

class DesignDocument;
class PageScene;
class PropertyPanel;
class QAction;
class QComboBox;
class QGraphicsView;

// The report designer `TfrDesigner`: the template's page with its bands and items at a zoom, the
// data sets bound to it, the properties of what is selected; every change can be undone, 预览 fills
// the template from the bound data and 保存 writes it back into its file.
class ReportDesigner : public QDialog
{
    Q_OBJECT

public:
    // `job`: the template's name and the data sets (and texts) the caller binds; `sets` their
    // fields; `captions` the lists' titles of fields, by lower-cased field name.
    ReportDesigner(Report::Template report, const QString &path, Report::Job job,
                   const QString &title, const QList<BoundDataSet> &sets,
                   const QHash<QString, QString> &captions, QWidget *parent = nullptr);
    ~ReportDesigner() override;

    DesignDocument *document() const { return m_document; }
    PageScene *scene() const { return m_scene; }
    QGraphicsView *view() const { return m_view; }
    QAction *action(const QString &name) const { return m_actions.value(name); }

    // False when writing failed (a box says why); the changes stay.
    bool save();
    void preview();
    void setZoom(double zoom);

public slots:
    // Asks first when there are unsaved changes: 是 saves, 否 drops them, 取消 stays.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *createToolBars();
    void addItem(Report::Item::Kind kind);
    void removeSelected();
    void copySelected();
    void paste();
    void nudge(double dx, double dy, double dw, double dh);
    void align(Report::Alignment alignment);
    void sameSize(bool width, bool height);
    void addBand(int kind);
    void removeBand();
    void updateActions();

    DesignDocument *m_document;
    PageScene *m_scene;
    QGraphicsView *m_view;
    PropertyPanel *m_panel;
    QComboBox *m_zoom;
    Report::Job m_job;
    QString m_title;
    QList<BoundDataSet> m_sets;
    QHash<QString, QAction *> m_actions;
};
