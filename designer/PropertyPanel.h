#pragma once

#include "designer/DataTree.h"

#include <QTabWidget>

class DesignDocument;
class PageScene;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace Report {
struct Item;
struct Template;
} // namespace Report

// The properties of the selected items, of the current band and of the page; every change is
// one step of the document, made to all selected items at once.
class PropertyPanel : public QTabWidget
{
    Q_OBJECT

public:
    PropertyPanel(DesignDocument *document, PageScene *scene, QList<BoundDataSet> sets,
                  QWidget *parent = nullptr);

private:
    QWidget *createItemPage();
    QWidget *createBandPage();
    QWidget *createPagePage();
    void showItem();
    void showBand();
    void showPage();
    void editItems(const QString &text, const std::function<void(Report::Item &)> &edit);
    void editPage(const QString &text, const std::function<void(Report::Template &)> &edit);
    void insertField();
    QStringList fieldChoices() const;

    DesignDocument *m_document;
    PageScene *m_scene;
    QList<BoundDataSet> m_sets;

    QWidget *m_itemPage;
    QLineEdit *edtName;
    QLineEdit *edtText;
    QComboBox *cbbField;
    QComboBox *cbbFormat;
    QPushButton *btnFont;
    QComboBox *cbbAlign;
    QComboBox *cbbVAlign;
    QList<QCheckBox *> m_frame; // L, T, R, B
    QDoubleSpinBox *spnFrameWidth;
    QCheckBox *chkWrap;
    QCheckBox *chkGrow;
    QLineEdit *edtSource;
    QComboBox *cbbChartSet;
    QLineEdit *edtLabelField;
    QLineEdit *edtValueField;
    QList<QDoubleSpinBox *> m_geometry; // x, y, width, height
    QWidget *m_symbolBoxes;
    QComboBox *cbbSymbology;
    QCheckBox *chkShowText;
    QCheckBox *chkQuietZone;
    QDoubleSpinBox *spnModule;
    QComboBox *cbbErrorLevel;

    QWidget *m_bandPage;
    QDoubleSpinBox *spnBandHeight;
    QComboBox *cbbDataSet;
    QComboBox *cbbGroupField;
    QCheckBox *chkRepeatHeader;
    QCheckBox *chkNewPage;
    QSpinBox *spnColumns;
    QDoubleSpinBox *spnColumnGap;
    QDoubleSpinBox *spnRowGap;

    QComboBox *cbbPaper;
    QComboBox *cbbOrientation;
    QDoubleSpinBox *spnPageWidth;
    QDoubleSpinBox *spnPageHeight;
    QList<QDoubleSpinBox *> m_margins; // left, top, right, bottom
};
