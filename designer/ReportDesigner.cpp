#include "designer/ReportDesigner.h"

#include "core/Prompt.h"
#include "designer/DesignDocument.h"
#include "designer/PageItems.h"
#include "designer/PageScene.h"
#include "designer/PropertyPanel.h"
#include "report/PrintReport.h"
#include "widgets/CommandBar.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGraphicsView>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Report;

namespace {

const QString kItemsMime = QStringLiteral("application/x-quorin-report-items");

// Bands the 栏目 menu adds, beside the kinds of BandRef.
enum AddedBand { NewDataBand = 100, NewDetailBand, NewGroup };

} // namespace

ReportDesigner::ReportDesigner(Template report, const QString &path, Job job, const QString &title,
                               const QList<BoundDataSet> &sets,
                               const QHash<QString, QString> &captions, QWidget *parent)
    : QDialog(parent), m_document(new DesignDocument(std::move(report), path, this)),
      m_scene(new PageScene(m_document, this)), m_job(std::move(job)), m_title(title), m_sets(sets)
{
    setObjectName(QStringLiteral("ReportDesigner"));
    setWindowTitle(QStringLiteral("报表设计 - %1").arg(title));
    m_view = new QGraphicsView(m_scene);
    m_view->setObjectName(QStringLiteral("gvPage"));
    m_view->setDragMode(QGraphicsView::RubberBandDrag);
    m_view->setRubberBandSelectionMode(Qt::IntersectsItemShape);
    m_view->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_view->setBackgroundBrush(QColor(160, 160, 160));
    m_view->setAcceptDrops(true);
    m_panel = new PropertyPanel(m_document, m_scene, sets, this);
    auto *tree = new DataTree(sets, captions);
    auto *side = new QSplitter(Qt::Vertical);
    side->addWidget(tree);
    side->addWidget(m_panel);
    side->setSizes({330, 420});
    auto *split = new QSplitter;
    split->addWidget(m_view);
    split->addWidget(side);
    split->setStretchFactor(0, 1);
    split->setSizes({820, 380});
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(createToolBars());
    layout->addWidget(split, 1);

    QUndoStack *undo = m_document->undoStack();
    connect(undo, &QUndoStack::canUndoChanged, this, &ReportDesigner::updateActions);
    connect(undo, &QUndoStack::canRedoChanged, this, &ReportDesigner::updateActions);
    connect(undo, &QUndoStack::cleanChanged, this, &ReportDesigner::updateActions);
    connect(m_scene, &PageScene::selectedRefsChanged, this, &ReportDesigner::updateActions);
    connect(m_scene, &PageScene::currentBandChanged, this, &ReportDesigner::updateActions);
    setZoom(1);
    updateActions();
    m_view->setFocus();
    resize(1240, 820);
}

ReportDesigner::~ReportDesigner()
{
    // The undo stack tells of its clearing as it goes, after the actions.
    m_document->undoStack()->disconnect(this);
}

QWidget *ReportDesigner::createToolBars()
{
    QToolBar *file = createCommandBar({{"actSave", "保存", "document-save", "Ctrl+S"},
                                       {"actPreview", "预览", "document-print-preview"},
                                       {},
                                       {"actUndo", "撤销", "edit-undo", "Ctrl+Z"},
                                       {"actRedo", "重做", "edit-redo", "Ctrl+Y"},
                                       {},
                                       {"actCopy", "复制", "edit-copy", "Ctrl+C"},
                                       {"actPaste", "粘贴", "edit-paste", "Ctrl+V"},
                                       {"actDelete", "删除", "edit-delete", "Del"},
                                       {},
                                       {"actClose", "关闭", "window-close"}},
                                      this, &m_actions);
    m_zoom = new QComboBox;
    m_zoom->setObjectName(QStringLiteral("cbbZoom"));
    for (int percent : {50, 75, 100, 125, 150, 200, 300})
        m_zoom->addItem(QStringLiteral("%1%").arg(percent), percent / 100.0);
    file->addSeparator();
    file->addWidget(new QLabel(QStringLiteral("缩放：")));
    file->addWidget(m_zoom);
    connect(m_zoom, &QComboBox::activated, this,
            [this](int index) { setZoom(m_zoom->itemData(index).toDouble()); });

    QToolBar *items = createCommandBar({{"actAddText", "文本", "insert-text"},
                                        {"actAddLine", "线条", "draw-line"},
                                        {"actAddRect", "矩形", "draw-rectangle"},
                                        {"actAddEllipse", "椭圆", "draw-ellipse"},
                                        {"actAddPicture", "图片", "insert-image"},
                                        {"actAddCheckBox", "复选框", "checkbox"},
                                        {"actAddPie", "饼图", "office-chart-pie"},
                                        {"actAddBarCode", "条码", "view-barcode-qr"},
                                        {},
                                        {"actAlignLeft", "左对齐", "align-horizontal-left"},
                                        {"actAlignHCentre", "水平居中", "align-horizontal-center"},
                                        {"actAlignRight", "右对齐", "align-horizontal-right"},
                                        {"actAlignTop", "顶端对齐", "align-vertical-top"},
                                        {"actAlignVCentre", "垂直居中", "align-vertical-center"},
                                        {"actAlignBottom", "底端对齐", "align-vertical-bottom"},
                                        {"actSameWidth", "同宽", "zoom-fit-width"},
                                        {"actSameHeight", "同高", "zoom-fit-height"},
                                        {"actSameSize", "同大小", "zoom-fit-best"}},
                                       this, &m_actions);
    items->setObjectName(QStringLiteral("ToolBar2"));
    items->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    auto *bands = new QMenu(this);
    const struct
    {
        const char *name;
        const char *caption;
        int kind;
    } bandCommands[] = {{"actAddTitle", "报表标题", BandRef::Title},
                        {"actAddPageHeader", "页眉", BandRef::PageHeader},
                        {"actAddDataBand", "数据栏", NewDataBand},
                        {"actAddDetail", "明细栏", NewDetailBand},
                        {"actAddDataHeader", "数据头", BandRef::DataHeader},
                        {"actAddDataFooter", "数据脚", BandRef::DataFooter},
                        {"actAddGroup", "分组", NewGroup},
                        {"actAddGroupFooter", "分组脚", BandRef::GroupFooter},
                        {"actAddSummary", "报表合计", BandRef::Summary},
                        {"actAddPageFooter", "页脚", BandRef::PageFooter}};
    for (const auto &c : bandCommands) {
        QAction *a = bands->addAction(QString::fromUtf8(c.caption));
        a->setObjectName(QLatin1String(c.name));
        m_actions.insert(a->objectName(), a);
        connect(a, &QAction::triggered, this, [this, kind = c.kind] { addBand(kind); });
    }
    bands->addSeparator();
    QAction *remove = bands->addAction(QStringLiteral("删除当前栏目"));
    remove->setObjectName(QStringLiteral("actRemoveBand"));
    m_actions.insert(remove->objectName(), remove);
    connect(remove, &QAction::triggered, this, &ReportDesigner::removeBand);
    auto *bandButton = new QToolButton;
    bandButton->setObjectName(QStringLiteral("btnBands"));
    bandButton->setText(QStringLiteral("栏目"));
    bandButton->setMenu(bands);
    bandButton->setPopupMode(QToolButton::InstantPopup);
    items->addSeparator();
    items->addWidget(bandButton);

    // The arrows move (with Shift: resize) the selection while the page has the focus.
    const struct
    {
        const char *name;
        QKeySequence key;
        double dx, dy, dw, dh;
    } nudges[] = {{"actMoveLeft", QKeySequence(Qt::Key_Left), -1, 0, 0, 0},
                  {"actMoveRight", QKeySequence(Qt::Key_Right), 1, 0, 0, 0},
                  {"actMoveUp", QKeySequence(Qt::Key_Up), 0, -1, 0, 0},
                  {"actMoveDown", QKeySequence(Qt::Key_Down), 0, 1, 0, 0},
                  {"actNarrower", QKeySequence(Qt::SHIFT | Qt::Key_Left), 0, 0, -1, 0},
                  {"actWider", QKeySequence(Qt::SHIFT | Qt::Key_Right), 0, 0, 1, 0},
                  {"actShorter", QKeySequence(Qt::SHIFT | Qt::Key_Up), 0, 0, 0, -1},
                  {"actTaller", QKeySequence(Qt::SHIFT | Qt::Key_Down), 0, 0, 0, 1}};
    for (const auto &n : nudges) {
        auto *a = new QAction(this);
        a->setObjectName(QLatin1String(n.name));
        a->setShortcut(n.key);
        a->setShortcutContext(Qt::WidgetShortcut);
        m_view->addAction(a);
        m_actions.insert(a->objectName(), a);
        connect(a, &QAction::triggered, this, [this, n] { nudge(n.dx, n.dy, n.dw, n.dh); });
    }

    const auto on = [this](const char *name, auto slot) {
        connect(m_actions.value(QLatin1String(name)), &QAction::triggered, this, slot);
    };
    on("actSave", [this] { save(); });
    on("actPreview", [this] { preview(); });
    on("actUndo", [this] { m_document->undoStack()->undo(); });
    on("actRedo", [this] { m_document->undoStack()->redo(); });
    on("actCopy", [this] { copySelected(); });
    on("actPaste", [this] { paste(); });
    on("actDelete", [this] { removeSelected(); });
    on("actClose", [this] { reject(); });
    const struct
    {
        const char *name;
        Item::Kind kind;
    } kinds[] = {{"actAddText", Item::Text},       {"actAddLine", Item::Line},
                 {"actAddRect", Item::Rect},       {"actAddEllipse", Item::Ellipse},
                 {"actAddPicture", Item::Picture}, {"actAddCheckBox", Item::CheckBox},
                 {"actAddPie", Item::PieChart},    {"actAddBarCode", Item::BarCode}};
    for (const auto &k : kinds)
        on(k.name, [this, kind = k.kind] { addItem(kind); });
    const struct
    {
        const char *name;
        Alignment alignment;
    } aligns[] = {{"actAlignLeft", Alignment::Left},       {"actAlignHCentre", Alignment::HCentre},
                  {"actAlignRight", Alignment::Right},     {"actAlignTop", Alignment::Top},
                  {"actAlignVCentre", Alignment::VCentre}, {"actAlignBottom", Alignment::Bottom}};
    for (const auto &a : aligns)
        on(a.name, [this, alignment = a.alignment] { align(alignment); });
    on("actSameWidth", [this] { sameSize(true, false); });
    on("actSameHeight", [this] { sameSize(false, true); });
    on("actSameSize", [this] { sameSize(true, true); });

    auto *bars = new QWidget;
    auto *layout = new QVBoxLayout(bars);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(file);
    layout->addWidget(items);
    return bars;
}

void ReportDesigner::updateActions()
{
    const bool selected = !m_scene->selectedRefs().isEmpty();
    const bool several = m_scene->selectedRefs().size() > 1;
    const bool inBand = bandAt(m_document->report(), m_scene->currentBand());
    m_actions.value(QStringLiteral("actUndo"))->setEnabled(m_document->undoStack()->canUndo());
    m_actions.value(QStringLiteral("actRedo"))->setEnabled(m_document->undoStack()->canRedo());
    m_actions.value(QStringLiteral("actSave"))->setEnabled(m_document->isModified());
    for (const char *name : {"actCopy", "actDelete"})
        m_actions.value(QLatin1String(name))->setEnabled(selected);
    for (const char *name :
         {"actAlignLeft", "actAlignHCentre", "actAlignRight", "actAlignTop", "actAlignVCentre",
          "actAlignBottom", "actSameWidth", "actSameHeight", "actSameSize"})
        m_actions.value(QLatin1String(name))->setEnabled(several);
    for (const char *name :
         {"actAddText", "actAddLine", "actAddRect", "actAddEllipse", "actAddPicture",
          "actAddCheckBox", "actAddPie", "actAddBarCode", "actPaste", "actRemoveBand"})
        m_actions.value(QLatin1String(name))->setEnabled(inBand);
    const bool inData = inBand && !m_scene->currentBand().data.isEmpty();
    for (const char *name : {"actAddDetail", "actAddDataHeader", "actAddDataFooter", "actAddGroup"})
        m_actions.value(QLatin1String(name))->setEnabled(inData);
    m_actions.value(QStringLiteral("actAddGroupFooter"))
        ->setEnabled(inData && m_scene->currentBand().group >= 0);
}

void ReportDesigner::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The page opens at its top.
    m_view->ensureVisible(m_scene->sceneRect().topLeft().x(), m_scene->sceneRect().top(), 1, 1);
}

void ReportDesigner::setZoom(double zoom)
{
    m_view->setTransform(QTransform::fromScale(zoom, zoom));
    const int index = m_zoom->findData(zoom);
    if (index >= 0)
        m_zoom->setCurrentIndex(index);
}

bool ReportDesigner::save()
{
    QString error;
    if (!m_document->save(&error)) {
        ShowPrompt(error, Prompt::Error);
        return false;
    }
    return true;
}

void ReportDesigner::preview()
{
    showReport(this, m_job, m_document->report(), m_title);
}

void ReportDesigner::reject()
{
    if (m_document->isModified()) {
        switch (ShowPrompt(QStringLiteral("报表模板已修改，是否保存？"), Prompt::QuestionCancel)) {
        case Prompt::Yes:
            if (!save())
                return;
            break;
        case Prompt::No:
            break;
        default:
            return;
        }
    }
    QDialog::reject();
}

void ReportDesigner::addItem(Item::Kind kind)
{
    Template after = m_document->report();
    const BandRef band = m_scene->currentBand();
    const Band *target = bandAt(after, band);
    if (!target)
        return;
    Item item;
    item.kind = kind;
    const QSizeF sizes[] = {{30, 6},  {40, 0}, {20, 10}, {20, 10},
                            {30, 20}, {5, 5},  {80, 50}, {40, 15}};
    QSizeF size = sizes[kind];
    if (kind != Item::Line && target->height > 0)
        size.setHeight(qMin(size.height(), target->height));
    item.rect = QRectF(QPointF(0, 0), size);
    if (kind == Item::Text)
        item.text = QStringLiteral("文本");
    if (kind == Item::PieChart && !m_sets.isEmpty()) {
        item.dataSet = m_sets.first().dataSet;
        item.labelField = m_sets.first().fields.value(0);
        item.valueField = m_sets.first().fields.value(1);
    }
    if (kind == Item::Rect || kind == Item::Ellipse)
        item.frame.clear();
    if (kind == Item::BarCode) {
        // Bound to the sample's code, else to the first code field of the data, as labels
        // mostly are.
        QString field = QStringLiteral("F_goodCode");
        const auto bound = [this](const auto &matches) {
            for (const BoundDataSet &set : std::as_const(m_sets)) {
                for (const QString &f : set.fields) {
                    if (matches(f))
                        return f;
                }
            }
            return QString();
        };
        const QString sampleCode = bound(
            [](const QString &f) { return f.compare(u"F_goodCode", Qt::CaseInsensitive) == 0; });
        const QString anyCode =
            bound([](const QString &f) { return f.endsWith(u"code", Qt::CaseInsensitive); });
        if (sampleCode.isEmpty() && !anyCode.isEmpty())
            field = anyCode;
        item.text = u'[' + field + u']';
        item.font.size = 8;
    }
    const QList<ItemRef> added = addItems(after, band, {item});
    m_document->change(QStringLiteral("插入"), after);
    m_scene->selectRefs(added);
}

void ReportDesigner::removeSelected()
{
    const QList<ItemRef> refs = m_scene->selectedRefs();
    if (refs.isEmpty())
        return;
    Template after = m_document->report();
    removeItems(after, refs);
    m_scene->clearSelection();
    m_document->change(QStringLiteral("删除"), after);
}

void ReportDesigner::copySelected()
{
    const QList<ItemRef> refs = m_scene->selectedRefs();
    if (refs.isEmpty())
        return;
    // The items travel as the one band of a template of their own.
    Template copied;
    copied.summary = Band{};
    for (const ItemRef &ref : refs)
        copied.summary->items << *itemAt(m_document->report(), ref);
    auto *data = new QMimeData;
    data->setData(kItemsMime, toJson(copied));
    QApplication::clipboard()->setMimeData(data);
}

void ReportDesigner::paste()
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    Template copied;
    QString error;
    if (!data || !data->hasFormat(kItemsMime) ||
        !fromJson(data->data(kItemsMime), &copied, &error) || !copied.summary)
        return;
    QList<Item> items = copied.summary->items;
    // Beside the copied items, not over them.
    for (Item &item : items)
        item.rect.translate(2, 2);
    Template after = m_document->report();
    const QList<ItemRef> added = addItems(after, m_scene->currentBand(), items);
    if (added.isEmpty())
        return;
    m_document->change(QStringLiteral("粘贴"), after);
    m_scene->selectRefs(added);
}

void ReportDesigner::nudge(double dx, double dy, double dw, double dh)
{
    const QList<ItemRef> refs = m_scene->selectedRefs();
    if (refs.isEmpty())
        return;
    Template after = m_document->report();
    for (const ItemRef &ref : refs) {
        Item *item = itemAt(after, ref);
        item->rect.translate(dx, dy);
        item->rect.setWidth(qMax(0.0, item->rect.width() + dw));
        item->rect.setHeight(qMax(0.0, item->rect.height() + dh));
    }
    m_document->change(dw || dh ? QStringLiteral("改变大小") : QStringLiteral("移动"), after);
}

void ReportDesigner::align(Alignment alignment)
{
    Template after = m_document->report();
    alignItems(after, m_scene->selectedRefs(), alignment);
    m_document->change(QStringLiteral("对齐"), after);
}

void ReportDesigner::sameSize(bool width, bool height)
{
    Template after = m_document->report();
    Report::sameSize(after, m_scene->selectedRefs(), width, height);
    m_document->change(QStringLiteral("同大小"), after);
}

void ReportDesigner::addBand(int kind)
{
    Template after = m_document->report();
    const BandRef current = m_scene->currentBand();
    // A new data band takes the first bound data set no band reads yet.
    QStringList used;
    for (const BandRef &ref : bandsOf(after)) {
        if (ref.kind == BandRef::Row)
            used << dataBandAt(after, ref.data)->dataSet;
    }
    QString unused = m_sets.isEmpty() ? QStringLiteral("frDBDataSet1") : m_sets.first().dataSet;
    for (const BoundDataSet &set : m_sets) {
        if (!used.contains(set.dataSet, Qt::CaseInsensitive)) {
            unused = set.dataSet;
            break;
        }
    }
    BandRef added{BandRef::Kind(qMin(kind, int(BandRef::PageFooter))), current.data, current.group};
    switch (kind) {
    case NewDataBand:
        added = addDataBand(after, unused);
        break;
    case NewDetailBand:
        added = addDataBand(after, unused, current.data);
        break;
    case NewGroup: {
        const DataBand *data = dataBandAt(after, current.data);
        QString field;
        for (const BoundDataSet &set : m_sets) {
            if (data && set.dataSet.compare(data->dataSet, Qt::CaseInsensitive) == 0)
                field = set.fields.value(0);
        }
        added = addGroup(after, current.data, field);
        break;
    }
    default:
        if (!Report::addBand(after, BandRef::Kind(kind), current.data, current.group))
            return;
        break;
    }
    m_document->change(QStringLiteral("插入栏目"), after);
    m_scene->setCurrentBand(added);
}

void ReportDesigner::removeBand()
{
    Template after = m_document->report();
    Report::removeBand(after, m_scene->currentBand());
    m_scene->clearSelection();
    m_document->change(QStringLiteral("删除栏目"), after);
}
