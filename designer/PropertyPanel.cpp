#include "designer/PropertyPanel.h"

#include "designer/DesignDocument.h"
#include "designer/PageScene.h"
#include "report/BarCode.h"
#include "report/ReportText.h"
#include "report/TemplateEdit.h"
#include "widgets/StyleChooser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

using namespace Report;

namespace {

QDoubleSpinBox *millimetres(const char *name, double minimum = 0)
{
    auto *box = new QDoubleSpinBox;
    box->setObjectName(QLatin1String(name));
    box->setRange(minimum, 2000);
    box->setDecimals(1);
    box->setSuffix(QStringLiteral(" mm"));
    box->setKeyboardTracking(false);
    return box;
}

QComboBox *choices(const char *name, const QStringList &texts)
{
    auto *box = new QComboBox;
    box->setObjectName(QLatin1String(name));
    box->addItems(texts);
    return box;
}

QCheckBox *check(const char *name, const QString &text)
{
    auto *box = new QCheckBox(text);
    box->setObjectName(QLatin1String(name));
    return box;
}

Font reportFont(const QFont &f)
{
    Font font;
    font.family = f.family() == qFont(Font{}).family() ? QString() : f.family();
    font.size = f.pointSizeF() > 0 ? f.pointSizeF() : 10;
    font.bold = f.bold();
    font.italic = f.italic();
    font.underline = f.underline();
    return font;
}

// A page's boxes, not their inner parts: a combo box whose model is silenced misses its items.
QList<QObject *> inputsOf(QWidget *page)
{
    QList<QObject *> inputs;
    for (QWidget *w : page->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        inputs << w;
    return inputs;
}

// Boxes filled from the template without their signals making steps.
class Quiet
{
public:
    explicit Quiet(QList<QObject *> objects) : m_objects(std::move(objects))
    {
        for (QObject *o : m_objects)
            o->blockSignals(true);
    }
    ~Quiet()
    {
        for (QObject *o : m_objects)
            o->blockSignals(false);
    }

private:
    QList<QObject *> m_objects;
};

} // namespace

PropertyPanel::PropertyPanel(DesignDocument *document, PageScene *scene, QList<BoundDataSet> sets,
                             QWidget *parent)
    : QTabWidget(parent), m_document(document), m_scene(scene), m_sets(std::move(sets))
{
    setObjectName(QStringLiteral("tabProperties"));
    addTab(m_itemPage = createItemPage(), QStringLiteral("对象"));
    addTab(m_bandPage = createBandPage(), QStringLiteral("栏目"));
    addTab(createPagePage(), QStringLiteral("页面"));
    connect(scene, &PageScene::selectedRefsChanged, this, &PropertyPanel::showItem);
    connect(scene, &PageScene::currentBandChanged, this, &PropertyPanel::showBand);
    connect(document, &DesignDocument::changed, this, &PropertyPanel::showPage);
    showItem();
    showBand();
    showPage();
}

QWidget *PropertyPanel::createItemPage()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    edtName = new QLineEdit;
    edtName->setObjectName(QStringLiteral("edtName"));
    form->addRow(QStringLiteral("名称："), edtName);
    edtText = new QLineEdit;
    edtText->setObjectName(QStringLiteral("edtText"));
    form->addRow(QStringLiteral("文字："), edtText);
    cbbField = choices("cbbField", {});
    cbbFormat = choices("cbbFormat", {QString(), QStringLiteral("0.00"), QStringLiteral("0.###"),
                                      QStringLiteral("#,##0.00"), QStringLiteral("yyyy-MM-dd"),
                                      QStringLiteral("yyyy年M月d日")});
    cbbFormat->setEditable(true);
    auto *insert = new QPushButton(QStringLiteral("插入"));
    insert->setObjectName(QStringLiteral("btnInsertField"));
    auto *fieldRow = new QHBoxLayout;
    fieldRow->addWidget(cbbField, 2);
    fieldRow->addWidget(cbbFormat, 1);
    fieldRow->addWidget(insert);
    form->addRow(QStringLiteral("字段："), fieldRow);
    btnFont = new QPushButton;
    btnFont->setObjectName(QStringLiteral("btnFont"));
    form->addRow(QStringLiteral("字体："), btnFont);
    auto *color = new QPushButton(QStringLiteral("文字/线条..."));
    color->setObjectName(QStringLiteral("btnColor"));
    auto *background = new QPushButton(QStringLiteral("背景..."));
    background->setObjectName(QStringLiteral("btnBackground"));
    auto *noBackground = new QPushButton(QStringLiteral("无背景"));
    noBackground->setObjectName(QStringLiteral("btnNoBackground"));
    auto *colours = new QHBoxLayout;
    colours->addWidget(color);
    colours->addWidget(background);
    colours->addWidget(noBackground);
    form->addRow(QStringLiteral("颜色："), colours);
    cbbAlign =
        choices("cbbAlign", {QStringLiteral("左"), QStringLiteral("居中"), QStringLiteral("右")});
    cbbVAlign =
        choices("cbbVAlign", {QStringLiteral("上"), QStringLiteral("中"), QStringLiteral("下")});
    auto *aligns = new QHBoxLayout;
    aligns->addWidget(cbbAlign);
    aligns->addWidget(cbbVAlign);
    form->addRow(QStringLiteral("对齐："), aligns);
    auto *frame = new QHBoxLayout;
    const char *sides[] = {"chkFrameL", "chkFrameT", "chkFrameR", "chkFrameB"};
    const QString sideNames[] = {QStringLiteral("左"), QStringLiteral("上"), QStringLiteral("右"),
                                 QStringLiteral("下")};
    for (int i = 0; i < 4; ++i) {
        m_frame << check(sides[i], sideNames[i]);
        frame->addWidget(m_frame.last());
    }
    spnFrameWidth = millimetres("spnFrameWidth");
    spnFrameWidth->setDecimals(2);
    spnFrameWidth->setSingleStep(0.1);
    frame->addWidget(spnFrameWidth);
    form->addRow(QStringLiteral("边框："), frame);
    chkWrap = check("chkWrap", QStringLiteral("自动换行"));
    chkGrow = check("chkGrow", QStringLiteral("随内容伸展"));
    auto *flags = new QHBoxLayout;
    flags->addWidget(chkWrap);
    flags->addWidget(chkGrow);
    form->addRow(QString(), flags);
    edtSource = new QLineEdit;
    edtSource->setObjectName(QStringLiteral("edtSource"));
    edtSource->setPlaceholderText(QStringLiteral("file:logo.png 或 [F_imagePath]"));
    form->addRow(QStringLiteral("图片/字段："), edtSource);
    QStringList setNames;
    for (const BoundDataSet &set : m_sets)
        setNames << set.dataSet;
    cbbChartSet = choices("cbbChartSet", setNames);
    cbbChartSet->setEditable(true);
    edtLabelField = new QLineEdit;
    edtLabelField->setObjectName(QStringLiteral("edtLabelField"));
    edtValueField = new QLineEdit;
    edtValueField->setObjectName(QStringLiteral("edtValueField"));
    auto *chart = new QHBoxLayout;
    chart->addWidget(cbbChartSet);
    chart->addWidget(edtLabelField);
    chart->addWidget(edtValueField);
    form->addRow(QStringLiteral("饼图："), chart);
    auto *geometry = new QHBoxLayout;
    for (const char *name : {"spnLeft", "spnTop", "spnWidth", "spnHeight"}) {
        m_geometry << millimetres(name, QLatin1String(name).startsWith(QLatin1String("spnL")) ||
                                                QLatin1String(name) == QLatin1String("spnTop")
                                            ? -2000
                                            : 0);
        geometry->addWidget(m_geometry.last());
    }
    form->addRow(QStringLiteral("位置/大小："), geometry);
    QStringList symbologies;
    for (int s = Symbol::Code128; s <= Symbol::DataMatrix; ++s)
        symbologies << symbologyName(Symbol::Symbology(s));
    cbbSymbology = choices("cbbSymbology", symbologies);
    chkShowText = check("chkShowText", QStringLiteral("显示文字"));
    chkQuietZone = check("chkQuietZone", QStringLiteral("留静区"));
    spnModule = millimetres("spnModule");
    spnModule->setRange(0, 10);
    spnModule->setDecimals(2);
    spnModule->setSingleStep(0.05);
    spnModule->setSpecialValueText(QStringLiteral("适应框"));
    spnModule->setToolTip(QStringLiteral("每个模块（最窄的条）的宽度；“适应框”：条码充满其框"));
    cbbErrorLevel =
        choices("cbbErrorLevel", {QStringLiteral("L（7%）"), QStringLiteral("M（15%）"),
                                  QStringLiteral("Q（25%）"), QStringLiteral("H（30%）")});
    cbbErrorLevel->setToolTip(QStringLiteral("QR 码的纠错等级"));
    m_symbolBoxes = new QWidget;
    auto *symbolRows = new QFormLayout(m_symbolBoxes);
    symbolRows->setContentsMargins(0, 0, 0, 0);
    auto *symbolFlags = new QHBoxLayout;
    symbolFlags->addWidget(cbbSymbology, 1);
    symbolFlags->addWidget(chkShowText);
    symbolFlags->addWidget(chkQuietZone);
    symbolRows->addRow(QStringLiteral("条码："), symbolFlags);
    auto *symbolSizes = new QHBoxLayout;
    symbolSizes->addWidget(spnModule);
    symbolSizes->addWidget(new QLabel(QStringLiteral("纠错：")));
    symbolSizes->addWidget(cbbErrorLevel);
    symbolRows->addRow(QStringLiteral("模块宽："), symbolSizes);
    form->addRow(m_symbolBoxes);

    connect(edtName, &QLineEdit::editingFinished, this, [this] {
        editItems(QStringLiteral("名称"), [t = edtName->text()](Item &i) { i.name = t; });
    });
    connect(edtText, &QLineEdit::editingFinished, this, [this] {
        editItems(QStringLiteral("文字"), [t = edtText->text()](Item &i) { i.text = t; });
    });
    connect(insert, &QPushButton::clicked, this, &PropertyPanel::insertField);
    connect(btnFont, &QPushButton::clicked, this, [this] {
        const QList<ItemRef> refs = m_scene->selectedRefs();
        const Item *first = refs.isEmpty() ? nullptr : itemAt(m_document->report(), refs.first());
        QFont chosen;
        if (!first || !StyleChooser::font(this, qFont(first->font), &chosen))
            return;
        editItems(QStringLiteral("字体"), [f = reportFont(chosen)](Item &i) { i.font = f; });
    });
    const auto pickColour = [this](const QString &text, QColor Item::*member) {
        const QList<ItemRef> refs = m_scene->selectedRefs();
        const Item *first = refs.isEmpty() ? nullptr : itemAt(m_document->report(), refs.first());
        QColor chosen;
        if (first && StyleChooser::color(this, first->*member, &chosen))
            editItems(text, [chosen, member](Item &i) { i.*member = chosen; });
    };
    connect(color, &QPushButton::clicked, this,
            [pickColour] { pickColour(QStringLiteral("颜色"), &Item::color); });
    connect(background, &QPushButton::clicked, this,
            [pickColour] { pickColour(QStringLiteral("背景"), &Item::background); });
    connect(noBackground, &QPushButton::clicked, this, [this] {
        editItems(QStringLiteral("背景"), [](Item &i) { i.background = QColor(); });
    });
    connect(cbbAlign, &QComboBox::activated, this, [this](int index) {
        editItems(QStringLiteral("对齐"), [index](Item &i) { i.align = Item::Align(index); });
    });
    connect(cbbVAlign, &QComboBox::activated, this, [this](int index) {
        editItems(QStringLiteral("对齐"), [index](Item &i) { i.valign = Item::VAlign(index); });
    });
    for (QCheckBox *side : m_frame) {
        connect(side, &QCheckBox::clicked, this, [this] {
            QString frame;
            for (int i = 0; i < 4; ++i) {
                if (m_frame.at(i)->isChecked())
                    frame += QStringLiteral("LTRB").at(i);
            }
            editItems(QStringLiteral("边框"), [frame](Item &i) { i.frame = frame; });
        });
    }
    connect(spnFrameWidth, &QDoubleSpinBox::valueChanged, this, [this](double width) {
        editItems(QStringLiteral("线宽"), [width](Item &i) { i.frameWidth = width; });
    });
    connect(chkWrap, &QCheckBox::clicked, this, [this](bool on) {
        editItems(QStringLiteral("自动换行"), [on](Item &i) { i.wrap = on; });
    });
    connect(chkGrow, &QCheckBox::clicked, this, [this](bool on) {
        editItems(QStringLiteral("随内容伸展"), [on](Item &i) { i.grow = on; });
    });
    connect(edtSource, &QLineEdit::editingFinished, this, [this] {
        editItems(QStringLiteral("来源"), [t = edtSource->text()](Item &i) { i.source = t; });
    });
    connect(cbbChartSet, &QComboBox::currentTextChanged, this, [this](const QString &set) {
        editItems(QStringLiteral("饼图"), [set](Item &i) { i.dataSet = set; });
    });
    connect(edtLabelField, &QLineEdit::editingFinished, this, [this] {
        editItems(QStringLiteral("饼图"),
                  [t = edtLabelField->text()](Item &i) { i.labelField = t; });
    });
    connect(edtValueField, &QLineEdit::editingFinished, this, [this] {
        editItems(QStringLiteral("饼图"),
                  [t = edtValueField->text()](Item &i) { i.valueField = t; });
    });
    connect(cbbSymbology, &QComboBox::activated, this, [this](int index) {
        editItems(QStringLiteral("码制"),
                  [index](Item &i) { i.symbol.symbology = Symbol::Symbology(index); });
    });
    connect(chkShowText, &QCheckBox::clicked, this, [this](bool on) {
        editItems(QStringLiteral("显示文字"), [on](Item &i) { i.symbol.showText = on; });
    });
    connect(chkQuietZone, &QCheckBox::clicked, this, [this](bool on) {
        editItems(QStringLiteral("留静区"), [on](Item &i) { i.symbol.quietZone = on; });
    });
    connect(spnModule, &QDoubleSpinBox::valueChanged, this, [this](double v) {
        editItems(QStringLiteral("模块宽"), [v](Item &i) { i.symbol.module = v; });
    });
    connect(cbbErrorLevel, &QComboBox::activated, this, [this](int index) {
        editItems(QStringLiteral("纠错等级"), [index](Item &i) { i.symbol.errorLevel = index; });
    });
    for (int g = 0; g < 4; ++g) {
        connect(m_geometry.at(g), &QDoubleSpinBox::valueChanged, this, [this, g](double v) {
            editItems(g < 2 ? QStringLiteral("移动") : QStringLiteral("改变大小"), [g, v](Item &i) {
                switch (g) {
                case 0:
                    i.rect.moveLeft(v);
                    break;
                case 1:
                    i.rect.moveTop(v);
                    break;
                case 2:
                    i.rect.setWidth(v);
                    break;
                default:
                    i.rect.setHeight(v);
                    break;
                }
            });
        });
    }
    return page;
}

QWidget *PropertyPanel::createBandPage()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    spnBandHeight = millimetres("spnBandHeight");
    form->addRow(QStringLiteral("高度："), spnBandHeight);
    QStringList setNames;
    for (const BoundDataSet &set : m_sets)
        setNames << set.dataSet;
    cbbDataSet = choices("cbbDataSet", setNames);
    cbbDataSet->setEditable(true);
    form->addRow(QStringLiteral("数据集："), cbbDataSet);
    cbbGroupField = choices("cbbGroupField", {});
    cbbGroupField->setEditable(true);
    form->addRow(QStringLiteral("分组字段："), cbbGroupField);
    chkRepeatHeader = check("chkRepeatHeader", QStringLiteral("每页重复分组头"));
    chkNewPage = check("chkNewPage", QStringLiteral("每组另起一页"));
    form->addRow(QString(), chkRepeatHeader);
    form->addRow(QString(), chkNewPage);
    spnColumns = new QSpinBox;
    spnColumns->setObjectName(QStringLiteral("spnColumns"));
    spnColumns->setRange(1, 100);
    spnColumns->setKeyboardTracking(false);
    spnColumns->setToolTip(QStringLiteral("多于一列时每行数据是一张标签：先横排，再往下"));
    spnColumnGap = millimetres("spnColumnGap");
    spnRowGap = millimetres("spnRowGap");
    auto *labels = new QHBoxLayout;
    labels->addWidget(spnColumns);
    labels->addWidget(new QLabel(QStringLiteral("列距：")));
    labels->addWidget(spnColumnGap);
    labels->addWidget(new QLabel(QStringLiteral("行距：")));
    labels->addWidget(spnRowGap);
    form->addRow(QStringLiteral("标签列数："), labels);

    const auto editBand = [this](const QString &text,
                                 const std::function<void(Template &, const BandRef &)> &edit) {
        Template after = m_document->report();
        if (!bandAt(after, m_scene->currentBand()))
            return;
        edit(after, m_scene->currentBand());
        m_document->change(text, after);
    };
    connect(spnBandHeight, &QDoubleSpinBox::valueChanged, this, [editBand](double height) {
        editBand(QStringLiteral("改变栏目高度"),
                 [height](Template &t, const BandRef &ref) { bandAt(t, ref)->height = height; });
    });
    connect(cbbDataSet, &QComboBox::currentTextChanged, this, [editBand](const QString &set) {
        editBand(QStringLiteral("数据集"), [set](Template &t, const BandRef &ref) {
            if (DataBand *data = dataBandAt(t, ref.data))
                data->dataSet = set;
        });
    });
    const auto editData = [editBand](const QString &text,
                                     const std::function<void(DataBand &)> &edit) {
        editBand(text, [edit](Template &t, const BandRef &ref) {
            if (DataBand *data = dataBandAt(t, ref.data))
                edit(*data);
        });
    };
    connect(spnColumns, &QSpinBox::valueChanged, this, [editData](int columns) {
        editData(QStringLiteral("标签列数"), [columns](DataBand &d) { d.columns = columns; });
    });
    connect(spnColumnGap, &QDoubleSpinBox::valueChanged, this, [editData](double gap) {
        editData(QStringLiteral("列距"), [gap](DataBand &d) { d.columnGap = gap; });
    });
    connect(spnRowGap, &QDoubleSpinBox::valueChanged, this, [editData](double gap) {
        editData(QStringLiteral("行距"), [gap](DataBand &d) { d.rowGap = gap; });
    });
    const auto editGroup = [editBand](const QString &text,
                                      const std::function<void(Group &)> &edit) {
        editBand(text, [edit](Template &t, const BandRef &ref) {
            DataBand *data = dataBandAt(t, ref.data);
            if (data && ref.group >= 0 && ref.group < data->groups.size())
                edit(data->groups[ref.group]);
        });
    };
    connect(cbbGroupField, &QComboBox::currentTextChanged, this, [editGroup](const QString &f) {
        editGroup(QStringLiteral("分组字段"), [f](Group &g) { g.field = f; });
    });
    connect(chkRepeatHeader, &QCheckBox::clicked, this, [editGroup](bool on) {
        editGroup(QStringLiteral("每页重复分组头"), [on](Group &g) { g.repeatHeader = on; });
    });
    connect(chkNewPage, &QCheckBox::clicked, this, [editGroup](bool on) {
        editGroup(QStringLiteral("每组另起一页"), [on](Group &g) { g.newPage = on; });
    });
    return page;
}

QWidget *PropertyPanel::createPagePage()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    QStringList papers = paperNames();
    papers.last() = QStringLiteral("自定义");
    cbbPaper = choices("cbbPaper", papers);
    form->addRow(QStringLiteral("纸张："), cbbPaper);
    cbbOrientation = choices("cbbOrientation", {QStringLiteral("纵向"), QStringLiteral("横向")});
    form->addRow(QStringLiteral("方向："), cbbOrientation);
    spnPageWidth = millimetres("spnPageWidth", 20);
    spnPageHeight = millimetres("spnPageHeight", 20);
    form->addRow(QStringLiteral("宽度："), spnPageWidth);
    form->addRow(QStringLiteral("高度："), spnPageHeight);
    const QString marginNames[] = {QStringLiteral("左边距："), QStringLiteral("上边距："),
                                   QStringLiteral("右边距："), QStringLiteral("下边距：")};
    const char *names[] = {"spnMarginLeft", "spnMarginTop", "spnMarginRight", "spnMarginBottom"};
    for (int i = 0; i < 4; ++i) {
        m_margins << millimetres(names[i]);
        form->addRow(marginNames[i], m_margins.last());
    }

    connect(cbbPaper, &QComboBox::activated, this, [this](int index) {
        const QString paper = paperNames().at(index);
        editPage(QStringLiteral("纸张"), [paper](Template &t) {
            t.page.paper = paper;
            const QSizeF size = paperSize(paper);
            if (size.isValid()) {
                t.page.width = t.page.landscape ? size.height() : size.width();
                t.page.height = t.page.landscape ? size.width() : size.height();
            }
        });
    });
    connect(cbbOrientation, &QComboBox::activated, this, [this](int index) {
        editPage(QStringLiteral("方向"), [landscape = index == 1](Template &t) {
            if (t.page.landscape != landscape)
                std::swap(t.page.width, t.page.height);
            t.page.landscape = landscape;
        });
    });
    connect(spnPageWidth, &QDoubleSpinBox::valueChanged, this, [this](double v) {
        editPage(QStringLiteral("纸张"), [v](Template &t) {
            t.page.paper = QStringLiteral("custom");
            t.page.width = v;
        });
    });
    connect(spnPageHeight, &QDoubleSpinBox::valueChanged, this, [this](double v) {
        editPage(QStringLiteral("纸张"), [v](Template &t) {
            t.page.paper = QStringLiteral("custom");
            t.page.height = v;
        });
    });
    for (int i = 0; i < 4; ++i) {
        connect(m_margins.at(i), &QDoubleSpinBox::valueChanged, this, [this, i](double v) {
            editPage(QStringLiteral("页边距"), [i, v](Template &t) {
                QMarginsF &m = t.page.margins;
                switch (i) {
                case 0:
                    m.setLeft(v);
                    break;
                case 1:
                    m.setTop(v);
                    break;
                case 2:
                    m.setRight(v);
                    break;
                default:
                    m.setBottom(v);
                    break;
                }
            });
        });
    }
    return page;
}

void PropertyPanel::editItems(const QString &text, const std::function<void(Item &)> &edit)
{
    Template after = m_document->report();
    for (const ItemRef &ref : m_scene->selectedRefs()) {
        if (Item *item = itemAt(after, ref))
            edit(*item);
    }
    m_document->change(text, after);
}

void PropertyPanel::editPage(const QString &text, const std::function<void(Template &)> &edit)
{
    Template after = m_document->report();
    edit(after);
    // A page too small for its margins is not a page: the same check as loading makes.
    if (!pageProblem(after.page).isEmpty()) {
        showPage();
        return;
    }
    m_document->change(text, after);
}

QStringList PropertyPanel::fieldChoices() const
{
    const QStringList own = dataSetsOf(m_document->report(), m_scene->currentBand());
    QStringList fields;
    for (const BoundDataSet &set : m_sets) {
        const bool plain = own.contains(set.dataSet, Qt::CaseInsensitive);
        for (const QString &field : set.fields)
            fields << (plain ? field : set.dataSet + u'.' + field);
    }
    for (const char *function : {"SUM()", "COUNT", "Page", "PageCount", "Date", "CompanyName"})
        fields << QLatin1String(function);
    return fields;
}

void PropertyPanel::insertField()
{
    QString field = cbbField->currentText();
    if (field.isEmpty())
        return;
    if (!cbbFormat->currentText().isEmpty())
        field += u':' + cbbFormat->currentText();
    edtText->insert(QStringLiteral("[%1]").arg(field));
    editItems(QStringLiteral("插入字段"), [t = edtText->text()](Item &i) { i.text = t; });
}

void PropertyPanel::showItem()
{
    const QList<ItemRef> refs = m_scene->selectedRefs();
    const Item *item = refs.isEmpty() ? nullptr : itemAt(m_document->report(), refs.first());
    m_itemPage->setEnabled(item);
    if (item && currentWidget() != m_itemPage)
        setCurrentWidget(m_itemPage);
    const Item shown = item ? *item : Item{};
    const Quiet quiet(inputsOf(m_itemPage));
    edtName->setText(shown.name);
    edtText->setText(shown.text);
    cbbField->clear();
    cbbField->addItems(fieldChoices());
    const QFont font = qFont(shown.font);
    btnFont->setText(QStringLiteral("%1，%2 磅%3")
                         .arg(font.family())
                         .arg(shown.font.size)
                         .arg(shown.font.bold ? QStringLiteral("，粗体") : QString()));
    cbbAlign->setCurrentIndex(shown.align);
    cbbVAlign->setCurrentIndex(shown.valign);
    for (int i = 0; i < 4; ++i)
        m_frame.at(i)->setChecked(shown.frame.contains(QStringLiteral("LTRB").at(i)));
    spnFrameWidth->setValue(shown.frameWidth);
    chkWrap->setChecked(shown.wrap);
    chkGrow->setChecked(shown.grow);
    edtSource->setText(shown.source);
    cbbChartSet->setCurrentText(shown.dataSet);
    edtLabelField->setText(shown.labelField);
    edtValueField->setText(shown.valueField);
    const double geometry[] = {shown.rect.x(), shown.rect.y(), shown.rect.width(),
                               shown.rect.height()};
    for (int i = 0; i < 4; ++i)
        m_geometry.at(i)->setValue(geometry[i]);
    const Quiet quietSymbol(inputsOf(m_symbolBoxes));
    m_symbolBoxes->setEnabled(shown.kind == Item::BarCode);
    cbbSymbology->setCurrentIndex(shown.symbol.symbology);
    chkShowText->setChecked(shown.symbol.showText);
    chkQuietZone->setChecked(shown.symbol.quietZone);
    spnModule->setValue(shown.symbol.module);
    cbbErrorLevel->setCurrentIndex(shown.symbol.errorLevel);
    cbbErrorLevel->setEnabled(shown.symbol.symbology == Symbol::QrCode);
}

void PropertyPanel::showBand()
{
    const Template &report = m_document->report();
    const BandRef ref = m_scene->currentBand();
    const Band *band = bandAt(report, ref);
    const DataBand *data = dataBandAt(report, ref.data);
    const bool isData = band && data;
    const bool isGroup =
        isData && (ref.kind == BandRef::GroupHeader || ref.kind == BandRef::GroupFooter);
    m_bandPage->setEnabled(band);
    const Quiet quiet(inputsOf(m_bandPage));
    spnBandHeight->setValue(band ? band->height : 0);
    cbbDataSet->setEnabled(isData);
    cbbDataSet->setCurrentText(isData ? data->dataSet : QString());
    const bool isRow = isData && ref.kind == BandRef::Row;
    for (QWidget *box : std::initializer_list<QWidget *>{spnColumns, spnColumnGap, spnRowGap})
        box->setEnabled(isRow);
    spnColumns->setValue(isRow ? data->columns : 1);
    spnColumnGap->setValue(isRow ? data->columnGap : 0);
    spnRowGap->setValue(isRow ? data->rowGap : 0);
    cbbGroupField->setEnabled(isGroup);
    chkRepeatHeader->setEnabled(isGroup);
    chkNewPage->setEnabled(isGroup);
    cbbGroupField->clear();
    for (const BoundDataSet &set : m_sets) {
        if (isData && set.dataSet.compare(data->dataSet, Qt::CaseInsensitive) == 0)
            cbbGroupField->addItems(set.fields);
    }
    const Group group = isGroup ? data->groups.at(ref.group) : Group{};
    cbbGroupField->setCurrentText(group.field);
    chkRepeatHeader->setChecked(group.repeatHeader);
    chkNewPage->setChecked(group.newPage);
    if (!m_scene->selectedRefs().isEmpty())
        return;
    cbbField->clear();
    cbbField->addItems(fieldChoices());
}

void PropertyPanel::showPage()
{
    const PageSetup &page = m_document->report().page;
    QList<QObject *> boxes = {cbbPaper, cbbOrientation, spnPageWidth, spnPageHeight};
    for (QDoubleSpinBox *m : m_margins)
        boxes << m;
    const Quiet quiet(boxes);
    const qsizetype paper = paperNames().indexOf(page.paper);
    cbbPaper->setCurrentIndex(paper < 0 ? int(paperNames().size()) - 1 : int(paper));
    cbbOrientation->setCurrentIndex(page.landscape ? 1 : 0);
    spnPageWidth->setValue(page.width);
    spnPageHeight->setValue(page.height);
    const double margins[] = {page.margins.left(), page.margins.top(), page.margins.right(),
                              page.margins.bottom()};
    for (int i = 0; i < 4; ++i)
        m_margins.at(i)->setValue(margins[i]);
}
