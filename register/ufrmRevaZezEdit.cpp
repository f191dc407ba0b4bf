#include "register/ufrmRevaZezEdit.h"

#include "widgets/CodeCombo.h"
#include "widgets/DBGridEh.h"
#include "core/DataDm.h"
#include "widgets/DateBox.h"
#include "core/DisplayFormat.h"
#include "widgets/EditorBottomBar.h"
#include "widgets/EditorKeys.h"
#include "widgets/FieldWithButton.h"
#include "widgets/MemoBox.h"
#include "widgets/NumberBox.h"
#include "widgets/PlaceForm.h"
#include "core/Prompt.h"
#include "core/Schema.h"
#include "core/SqlListModel.h"
#include "masterdata/Registers.h"
#include "masterdata/TypePicker.h"
#include "register/SampleRecord.h"
#include "register/uDLGchangeBZ.h"
#include "register/uFrmMain.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kTable = QStringLiteral("GoodMain");

void addRow(QGridLayout *grid, int row, int column, const QString &label, QWidget *field,
            int span = 1)
{
    grid->addWidget(new QLabel(label), row, column * 2);
    grid->addWidget(field, row, column * 2 + 1, 1, span);
}

// A stored date, or nothing for the sentinel and anything before it.
QDate storedDate(const QVariant &value)
{
    const QDate date = value.toDate();
    return date.isValid() && date >= DisplayFormat::kNoDateBefore ? date : QDate();
}

} // namespace

TfrmRevaZezEdit::TfrmRevaZezEdit(TFrmMain *main) : QDialog(main), m_main(main)
{
    setObjectName(QStringLiteral("frmRevaZezEdit"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(createRecordFields());
    layout->addWidget(createPriceTabs());
    m_bottom = new EditorBottomBar;
    layout->addWidget(m_bottom);
    connect(m_bottom->okButton(), &QPushButton::clicked, this, &TfrmRevaZezEdit::save);
    connect(m_bottom->cancelButton(), &QPushButton::clicked, this, &QDialog::reject);
    connect(m_bottom, &EditorBottomBar::moveRequested, this, [this](EditorBottomBar::Move move) {
        moveTo(EditorBottomBar::rowAfter(move, m_main->grid()->currentRow(),
                                         m_main->listModel()->rowCount()));
    });
    setTabOrder();
    new EditorKeys(this, m_bottom->okButton(), m_bottom->cancelButton());
    setFixedSize(sizeHint());
    PlaceForm(this, 0);
    setMode(false);
}

QLineEdit *TfrmRevaZezEdit::addText(const char *name, const char *column)
{
    auto *box = new QLineEdit;
    box->setObjectName(QLatin1String(name));
    const QString field = QLatin1String(column);
    box->setMaxLength(Schema::width(kTable, field));
    m_texts.insert(field, box);
    return box;
}

QComboBox *TfrmRevaZezEdit::addCode(const char *name, const char *column, const char *kind)
{
    QComboBox *box = kind ? new CodeCombo(QLatin1String(kind)) : new QComboBox;
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    const QString field = QLatin1String(column);
    box->lineEdit()->setMaxLength(Schema::width(kTable, field));
    m_combos.insert(field, box);
    return box;
}

NumberBox *TfrmRevaZezEdit::addNumber(const char *name, const char *column)
{
    auto *box = new NumberBox(4);
    box->setObjectName(QLatin1String(name));
    m_numbers.insert(QLatin1String(column), box);
    return box;
}

QToolButton *TfrmRevaZezEdit::pickerButton(const char *name, const QString &hint)
{
    auto *button = new QToolButton;
    button->setObjectName(QLatin1String(name));
    button->setText(QStringLiteral("..."));
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QToolButton *TfrmRevaZezEdit::conversionButton(const char *name, NumberBox *price,
                                               QComboBox *currency)
{
    QToolButton *button = pickerButton(name, QStringLiteral("换算汇率"));
    button->setIcon(QIcon::fromTheme(QStringLiteral("view-currency-list")));
    connect(button, &QToolButton::clicked, this, [this, price, currency] {
        double amount = price->value();
        QString name = currency->currentText().trimmed();
        if (amount <= 0 || name.isEmpty())
            return;
        if (TDLGchangeBZ::Convert(this, amount, name)) {
            price->setValue(amount);
            currency->setEditText(name);
        }
    });
    return button;
}

QWidget *TfrmRevaZezEdit::createRecordFields()
{
    auto *panel = new QWidget;
    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);

    QToolButton *catalogue = pickerButton("btnPickGood", QStringLiteral("从样品资料中选择"));
    connect(catalogue, &QToolButton::clicked, this, &TfrmRevaZezEdit::pickCatalogueEntry);
    addRow(grid, 0, 0, QStringLiteral("样品编号："),
           withButton(addText("edtGoodcode", "F_goodCode"), catalogue));
    addRow(grid, 0, 1, QStringLiteral("样品名称："), addText("edtGoodName", "F_goodName"));
    addRow(grid, 1, 0, QStringLiteral("规格型号："), addText("edtSpec", "F_spec"));
    QToolButton *type = pickerButton("btnPickType", QStringLiteral("选择样品类型"));
    connect(type, &QToolButton::clicked, this, &TfrmRevaZezEdit::pickType);
    addRow(grid, 1, 1, QStringLiteral("样品类型："), withButton(addText("edtType", "F_type"), type));
    addRow(grid, 2, 0, QStringLiteral("品    牌："), addCode("cbbPinpai", "F_pinPai", "pinpai"));
    addRow(grid, 2, 1, QStringLiteral("颜    色："), addCode("cbbYanSE", "F_yanSE", "yanse"));
    addRow(grid, 3, 0, QStringLiteral("材    料："), addCode("cbbCaiLiao", "F_caiLiao", "cailiao"));
    addRow(grid, 3, 1, QStringLiteral("包    装："),
           addCode("cbbBaoZhuang", "F_baoZhuang", "baozhuang"));
    addRow(grid, 4, 0, QStringLiteral("体    积："), addText("edtTiji", "F_tiji"));
    addRow(grid, 4, 1, QStringLiteral("条 型 码："), addText("edtTMcode", "F_TMcode"));
    addRow(grid, 5, 0, QStringLiteral("仓库位置："), addText("edtDepotPos", "F_depotPos"));
    addRow(grid, 5, 1, QStringLiteral("货    架："), addText("edtHuoJia", "F_huoJia"));
    auto *others = new QWidget;
    auto *othersLayout = new QHBoxLayout(others);
    othersLayout->setContentsMargins(0, 0, 0, 0);
    othersLayout->addWidget(addText("edtOther1", "F_other1"));
    othersLayout->addWidget(addText("edtOther2", "F_other2"));
    othersLayout->addWidget(addText("edtOther3", "F_other3"));
    othersLayout->addWidget(addText("edtOther4", "F_other4"));
    addRow(grid, 6, 0, QStringLiteral("其他特性："), others, 3);
    addRow(grid, 7, 0, QStringLiteral("数    量："), addNumber("rceAmount", "F_amount"));
    addRow(grid, 7, 1, QStringLiteral("单    位："), addCode("cbbUnit", "F_unit", "unit"));
    QComboBox *secrecy = addCode("cbbBMjibie", "F_BMjibie", nullptr);
    secrecy->addItems({QStringLiteral("高"), QStringLiteral("中"), QStringLiteral("低")});
    addRow(grid, 8, 0, QStringLiteral("保密级别："), secrecy);
    addRow(grid, 8, 1, QStringLiteral("业 务 员："), addCode("cbbEmpName", "F_EmpName", "empname"));
    Memo1 = new MemoBox(Schema::width(kTable, QStringLiteral("F_memo1")));
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFixedHeight(Memo1->fontMetrics().lineSpacing() * 3 + 10);
    addRow(grid, 9, 0, QStringLiteral("备注信息："), Memo1, 3);
    dtpeditdate = new QDateEdit;
    dtpeditdate->setObjectName(QStringLiteral("dtpeditdate"));
    dtpeditdate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    dtpeditdate->setCalendarPopup(true);
    dtpeditdate->setStyleSheet(QStringLiteral("QDateEdit { background: aqua; }"));
    addRow(grid, 10, 0, QStringLiteral("编辑日期："), dtpeditdate);
    return panel;
}

QTabWidget *TfrmRevaZezEdit::createPriceTabs()
{
    PageControl1 = new QTabWidget;
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setDocumentMode(true);

    auto *purchase = new QWidget;
    auto *cg = new QGridLayout(purchase);
    dtpCGdate = new DateBox;
    dtpCGdate->setObjectName(QStringLiteral("dtpCGdate"));
    addRow(cg, 0, 0, QStringLiteral("采购日期："), dtpCGdate);
    QToolButton *supplier = pickerButton("btnPickSuppler", QStringLiteral("从供应商资料中选择"));
    connect(supplier, &QToolButton::clicked, this, [this] {
        QLineEdit *box = m_texts.value(QStringLiteral("F_CGsuppler"));
        box->setText(PickSupplier(this, box->text()));
    });
    addRow(cg, 0, 1, QStringLiteral("供 应 商："),
           withButton(addText("edtCGsuppler", "F_CGsuppler"), supplier));
    addRow(cg, 1, 0, QStringLiteral("计价单位："), addCode("cbbCGunit", "F_CGunit", "unit"));
    NumberBox *cgPrice = addNumber("ceCGprice", "F_CGprice");
    addRow(cg, 1, 1, QStringLiteral("采购价格："), cgPrice);
    QComboBox *cgType = addCode("cbbCGtype", "F_CGtype", "rate");
    addRow(cg, 2, 0, QStringLiteral("币    种："),
           withButton(cgType, conversionButton("btnChangeCG", cgPrice, cgType)));
    cg->setRowStretch(3, 1);
    PageControl1->addTab(purchase, QStringLiteral("采购信息"));

    auto *sales = new QWidget;
    auto *xs = new QGridLayout(sales);
    dtpXsDate = new DateBox;
    dtpXsDate->setObjectName(QStringLiteral("dtpXsDate"));
    addRow(xs, 0, 0, QStringLiteral("销售日期："), dtpXsDate);
    QToolButton *client = pickerButton("btnPickClient", QStringLiteral("从客户资料中选择"));
    connect(client, &QToolButton::clicked, this, [this] {
        QLineEdit *box = m_texts.value(QStringLiteral("F_XSclient"));
        box->setText(PickClient(this, box->text()));
    });
    addRow(xs, 0, 1, QStringLiteral("客    户："),
           withButton(addText("edtXSclient", "F_XSclient"), client));
    for (int line = 1; line <= 2; ++line) {
        const QByteArray n = QByteArray::number(line);
        xs->addWidget(new QLabel(QStringLiteral("计价单位：")), line, 0);
        xs->addWidget(addCode(("cbbXSunit" + n).constData(), ("F_XSunit" + n).constData(), "unit"),
                      line, 1);
        xs->addWidget(new QLabel(QStringLiteral("销售价格：")), line, 2);
        NumberBox *price = addNumber(("ceXSprice" + n).constData(), ("F_XSprice" + n).constData());
        xs->addWidget(price, line, 3);
        xs->addWidget(new QLabel(QStringLiteral("币    种：")), line, 4);
        QComboBox *currency =
            addCode(("cbbXStype" + n).constData(), ("F_XStype" + n).constData(), "rate");
        xs->addWidget(withButton(currency, conversionButton(("btnChangeXS" + n).constData(),
                                                            price, currency)),
                      line, 5);
    }
    PageControl1->addTab(sales, QStringLiteral("销售信息"));

    for (DateBox *date : {dtpCGdate, dtpXsDate}) {
        for (QWidget *part : date->findChildren<QWidget *>())
            part->setFocusPolicy(Qt::ClickFocus);
    }
    Memo1->setFocusPolicy(Qt::ClickFocus);
    dtpeditdate->setFocusPolicy(Qt::ClickFocus);
    return PageControl1;
}

void TfrmRevaZezEdit::setTabOrder()
{
    const QStringList order = {
        "F_goodCode", "F_goodName", "F_spec",    "F_type",     "F_pinPai",  "F_yanSE",
        "F_caiLiao",  "F_baoZhuang", "F_tiji",   "F_TMcode",   "F_depotPos", "F_huoJia",
        "F_other1",   "F_other2",   "F_other3",  "F_other4",   "F_amount",  "F_unit",
        "F_BMjibie",  "F_EmpName",  "F_CGsuppler", "F_CGunit", "F_CGprice", "F_CGtype",
        "F_XSclient", "F_XSunit1",  "F_XSprice1", "F_XStype1", "F_XSunit2", "F_XSprice2",
        "F_XStype2"};
    QWidget *previous = nullptr;
    for (const QString &column : order) {
        QWidget *next = m_texts.value(column);
        if (!next)
            next = m_combos.value(column);
        if (!next)
            next = m_numbers.value(column);
        if (previous)
            QWidget::setTabOrder(previous, next);
        previous = next;
    }
}

void TfrmRevaZezEdit::setMode(bool edit)
{
    m_edit = edit;
    setWindowTitle(edit ? QStringLiteral("样品档案 - 修改") : QStringLiteral("样品档案 - 新增"));
    m_bottom->setChanging(edit);
}

void TfrmRevaZezEdit::OpenMode(int mode)
{
    setMode(mode == Edit);
    m_target = 0;
    if (mode == New)
        clearFields();
    else
        loadCurrentRecord();
    m_texts.value(QStringLiteral("F_goodCode"))->setFocus();
}

void TfrmRevaZezEdit::clearFields()
{
    for (QLineEdit *box : std::as_const(m_texts))
        box->clear();
    for (QComboBox *box : std::as_const(m_combos))
        box->setEditText(QString());
    for (NumberBox *box : std::as_const(m_numbers))
        box->setValue(0);
    for (DateBox *date : {dtpCGdate, dtpXsDate}) {
        date->setDate(QDate::currentDate());
        date->setChecked(false);
    }
    Memo1->clear();
    dtpeditdate->setDate(QDate::currentDate());
}

void TfrmRevaZezEdit::loadCurrentRecord()
{
    const SqlListModel *list = m_main->listModel();
    const int row = m_main->grid()->currentRow();
    const auto value = [&](const QString &column) { return list->value(row, column); };
    for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it)
        it.value()->setText(value(it.key()).toString());
    for (auto it = m_combos.cbegin(); it != m_combos.cend(); ++it)
        it.value()->setEditText(value(it.key()).toString());
    for (auto it = m_numbers.cbegin(); it != m_numbers.cend(); ++it)
        it.value()->setValue(value(it.key()).toDouble());
    const struct
    {
        DateBox *box;
        const char *column;
    } dates[] = {{dtpCGdate, "F_CGdate"}, {dtpXsDate, "F_XSdate"}};
    for (const auto &d : dates) {
        const QDate date = storedDate(value(QLatin1String(d.column)));
        d.box->setDate(date.isValid() ? date : QDate::currentDate());
        d.box->setChecked(date.isValid());
    }
    Memo1->setPlainText(value(QStringLiteral("F_memo1")).toString());
    dtpeditdate->setDate(value(QStringLiteral("F_editDate")).toDate());
    if (m_edit)
        m_target = value(QStringLiteral("F_ID")).toLongLong();
}

void TfrmRevaZezEdit::moveTo(int row)
{
    if (row < 0 || row >= m_main->listModel()->rowCount())
        return;
    m_main->grid()->setCurrentRow(row);
    loadCurrentRecord();
}

void TfrmRevaZezEdit::pickCatalogueEntry()
{
    QVariantMap entry;
    QLineEdit *code = m_texts.value(QStringLiteral("F_goodCode"));
    PickCatalogueEntry(this, code->text(), &entry);
    if (entry.isEmpty())
        return;
    // Catalogue column → the editor's column; remarks stay the record's own.
    const struct
    {
        const char *from;
        const char *to;
    } copies[] = {{"f_code", "F_goodCode"}, {"f_name", "F_goodName"}, {"f_spec", "F_spec"},
                  {"f_type", "F_type"},     {"f_pinpai", "F_pinPai"},  {"f_yanse", "F_yanSE"},
                  {"f_cailiao", "F_caiLiao"}, {"f_baozhuang", "F_baoZhuang"},
                  {"f_tiji", "F_tiji"},     {"f_tmcode", "F_TMcode"},  {"f_other1", "F_other1"},
                  {"f_other2", "F_other2"}, {"f_other3", "F_other3"},  {"f_other4", "F_other4"}};
    for (const auto &c : copies) {
        const QString value = entry.value(QLatin1String(c.from)).toString();
        const QString column = QLatin1String(c.to);
        if (QLineEdit *box = m_texts.value(column))
            box->setText(value);
        else
            m_combos.value(column)->setEditText(value);
    }
}

void TfrmRevaZezEdit::pickType()
{
    QLineEdit *type = m_texts.value(QStringLiteral("F_type"));
    type->setText(PickType(this, QStringLiteral("type"), type->text()));
}

QVariantMap TfrmRevaZezEdit::values() const
{
    QVariantMap values;
    for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it)
        values.insert(it.key(), it.value()->text().trimmed());
    for (auto it = m_combos.cbegin(); it != m_combos.cend(); ++it)
        values.insert(it.key(), it.value()->currentText().trimmed());
    for (auto it = m_numbers.cbegin(); it != m_numbers.cend(); ++it)
        values.insert(it.key(), it.value()->value());
    values.insert(QStringLiteral("F_CGdate"), dtpCGdate->dateOr(DisplayFormat::kNoDate));
    values.insert(QStringLiteral("F_XSdate"), dtpXsDate->dateOr(DisplayFormat::kNoDate));
    values.insert(QStringLiteral("F_memo1"), Memo1->toPlainText().trimmed());
    values.insert(QStringLiteral("F_editDate"), dtpeditdate->date());
    return values;
}

bool TfrmRevaZezEdit::save()
{
    QLineEdit *name = m_texts.value(QStringLiteral("F_goodName"));
    QLineEdit *code = m_texts.value(QStringLiteral("F_goodCode"));
    if (name->text().trimmed().isEmpty()) {
        ShowPrompt(QStringLiteral("当前样品名称不能为空！"), Prompt::Information);
        name->setFocus();
        return false;
    }
    if (code->text().trimmed().isEmpty()) {
        ShowPrompt(QStringLiteral("当前样品编号不能为空！"), Prompt::Information);
        code->setFocus();
        return false;
    }
    if (m_edit) {
        const int row = m_main->grid()->currentRow();
        m_target = m_main->listModel()->value(row, QStringLiteral("F_ID")).toLongLong();
    }
    QString error;
    const std::optional<qint64> saved =
        SampleRecord::save(*dmData, m_edit ? m_target : 0, values(), &error);
    if (!saved) {
        qWarning("sample not saved: %s", qPrintable(error));
        ShowPrompt(QStringLiteral("保存失败，请检测数据库连接！"), Prompt::Error);
        return false;
    }
    m_main->ShowSavedRecord(*saved);
    if (m_edit || !m_bottom->continuousAdd()) {
        m_target = *saved;
        accept();
    } else {
        clearFields();
        code->setFocus();
    }
    setMode(false);
    return true;
}

void RunSampleEditor(TFrmMain *main, int mode)
{
    TfrmRevaZezEdit editor(main);
    editor.OpenMode(mode);
    editor.exec();
}
