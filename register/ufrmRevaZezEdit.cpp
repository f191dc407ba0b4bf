#include "register/ufrmRevaZezEdit.h"

#include "core/DataDm.h"
#include "core/DisplayFormat.h"
#include "core/Prompt.h"
#include "core/ReadableColor.h"
#include "core/RecordList.h"
#include "core/Schema.h"
#include "masterdata/Pickers.h"
#include "masterdata/TypePicker.h"
#include "register/SampleFields.h"
#include "register/SampleListQuery.h"
#include "register/SampleRecord.h"
#include "register/uDLGchangeBZ.h"
#include "widgets/CodeCombo.h"
#include "widgets/DateBox.h"
#include "widgets/FieldWithButton.h"
#include "widgets/MemoBox.h"
#include "widgets/NumberBox.h"
#include "widgets/PlaceForm.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
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

TfrmRevaZezEdit::TfrmRevaZezEdit(RecordList &samples, QWidget *parent)
    : RecordEditor(samples, parent)
{
    setObjectName(QStringLiteral("frmRevaZezEdit"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(createRecordFields());
    layout->addWidget(createPriceTabs());
    setTabOrder();
    finishForm(layout);
    setFixedSize(sizeHint());
    PlaceForm(this, 0);
    showMode(RecordEditor::Mode::New);
}

QWidget *TfrmRevaZezEdit::createBox(const SampleField &d)
{
    const int width = Schema::width(kTable, d.column);
    switch (d.kind) {
    case SampleField::Text: {
        auto *box = new QLineEdit;
        limitText(d.column, box, width, d.caption);
        return box;
    }
    case SampleField::Code: {
        QComboBox *box = d.codeKind.isEmpty() ? new QComboBox : new CodeCombo(d.codeKind);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        limitText(d.column, box->lineEdit(), width, d.caption);
        if (d.codeKind.isEmpty())
            box->addItems(SampleListQuery::secrecyLevels());
        return box;
    }
    case SampleField::Number:
        return new NumberBox(4);
    case SampleField::Date: {
        auto *box = new DateBox;
        for (QWidget *part : box->findChildren<QWidget *>())
            part->setFocusPolicy(Qt::ClickFocus);
        return box;
    }
    case SampleField::Memo: {
        auto *box = new MemoBox;
        limitText(d.column, box, width, d.caption);
        box->setFixedHeight(box->fontMetrics().lineSpacing() * 3 + 10);
        box->setFocusPolicy(Qt::ClickFocus);
        return box;
    }
    case SampleField::EditDate: {
        auto *box = new QDateEdit;
        box->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        box->setCalendarPopup(true);
        QPalette colours = box->palette();
        const QColor fill = ReadableColor::tintOn(QColor(Qt::cyan), colours.color(QPalette::Base));
        colours.setColor(QPalette::Base, fill);
        colours.setColor(QPalette::Text, ReadableColor::textOn(fill));
        box->setPalette(colours);
        box->setFocusPolicy(Qt::ClickFocus);
        return box;
    }
    }
    return nullptr;
}

QWidget *TfrmRevaZezEdit::field(const QString &column)
{
    if (QWidget *box = m_boxes.value(column))
        return box;
    const SampleField *d = sampleField(column);
    Q_ASSERT(d);
    QWidget *box = createBox(*d);
    box->setObjectName(d->objectName);
    m_boxes.insert(d->column, box);
    return box;
}

QString TfrmRevaZezEdit::label(const QString &column) const
{
    return sampleField(column)->label;
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
    const auto place = [&](int row, int column, const char *name) {
        addRow(grid, row, column, label(QLatin1String(name)), field(QLatin1String(name)));
    };

    QToolButton *catalogue = pickerButton("btnPickGood", QStringLiteral("从样品资料中选择"));
    connect(catalogue, &QToolButton::clicked, this, &TfrmRevaZezEdit::pickCatalogueEntry);
    addRow(grid, 0, 0, label(QStringLiteral("F_goodCode")),
           withButton(field(QStringLiteral("F_goodCode")), catalogue));
    place(0, 1, "F_goodName");
    place(1, 0, "F_spec");
    QToolButton *type = pickerButton("btnPickType", QStringLiteral("选择样品类型"));
    connect(type, &QToolButton::clicked, this, &TfrmRevaZezEdit::pickType);
    addRow(grid, 1, 1, label(QStringLiteral("F_type")),
           withButton(field(QStringLiteral("F_type")), type));
    place(2, 0, "F_pinPai");
    place(2, 1, "F_yanSE");
    place(3, 0, "F_caiLiao");
    place(3, 1, "F_baoZhuang");
    place(4, 0, "F_tiji");
    place(4, 1, "F_TMcode");
    place(5, 0, "F_depotPos");
    place(5, 1, "F_huoJia");
    auto *others = new QWidget;
    auto *othersLayout = new QHBoxLayout(others);
    othersLayout->setContentsMargins(0, 0, 0, 0);
    for (const char *column : {"F_other1", "F_other2", "F_other3", "F_other4"})
        othersLayout->addWidget(field(QLatin1String(column)));
    addRow(grid, 6, 0, label(QStringLiteral("F_other1")), others, 3);
    place(7, 0, "F_amount");
    place(7, 1, "F_unit");
    place(8, 0, "F_BMjibie");
    place(8, 1, "F_EmpName");
    addRow(grid, 9, 0, label(QStringLiteral("F_memo1")), field(QStringLiteral("F_memo1")), 3);
    place(10, 0, "F_editDate");
    return panel;
}

QTabWidget *TfrmRevaZezEdit::createPriceTabs()
{
    PageControl1 = new QTabWidget;
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setDocumentMode(true);
    const auto price = [this](const char *column) {
        return static_cast<NumberBox *>(field(QLatin1String(column)));
    };
    const auto currency = [this](const char *column) {
        return static_cast<QComboBox *>(field(QLatin1String(column)));
    };

    auto *purchase = new QWidget;
    auto *cg = new QGridLayout(purchase);
    addRow(cg, 0, 0, label(QStringLiteral("F_CGdate")), field(QStringLiteral("F_CGdate")));
    QToolButton *supplier = pickerButton("btnPickSuppler", QStringLiteral("从供应商资料中选择"));
    connect(supplier, &QToolButton::clicked, this, [this] {
        setText(QStringLiteral("F_CGsuppler"),
                PickSupplier(this, text(QStringLiteral("F_CGsuppler"))));
    });
    addRow(cg, 0, 1, label(QStringLiteral("F_CGsuppler")),
           withButton(field(QStringLiteral("F_CGsuppler")), supplier));
    addRow(cg, 1, 0, label(QStringLiteral("F_CGunit")), field(QStringLiteral("F_CGunit")));
    addRow(cg, 1, 1, label(QStringLiteral("F_CGprice")), price("F_CGprice"));
    addRow(cg, 2, 0, label(QStringLiteral("F_CGtype")),
           withButton(currency("F_CGtype"),
                      conversionButton("btnChangeCG", price("F_CGprice"), currency("F_CGtype"))));
    cg->setRowStretch(3, 1);
    PageControl1->addTab(purchase, QStringLiteral("采购信息"));

    auto *sales = new QWidget;
    auto *xs = new QGridLayout(sales);
    addRow(xs, 0, 0, label(QStringLiteral("F_XSdate")), field(QStringLiteral("F_XSdate")));
    QToolButton *client = pickerButton("btnPickClient", QStringLiteral("从客户资料中选择"));
    connect(client, &QToolButton::clicked, this, [this] {
        setText(QStringLiteral("F_XSclient"), PickClient(this, text(QStringLiteral("F_XSclient"))));
    });
    addRow(xs, 0, 1, label(QStringLiteral("F_XSclient")),
           withButton(field(QStringLiteral("F_XSclient")), client));
    for (int line = 1; line <= 2; ++line) {
        const QByteArray n = QByteArray::number(line);
        const QByteArray unit = "F_XSunit" + n, priceColumn = "F_XSprice" + n,
                         type = "F_XStype" + n;
        for (const QByteArray &column : {unit, priceColumn, type}) {
            const int at = column == unit ? 0 : column == priceColumn ? 2 : 4;
            xs->addWidget(new QLabel(label(QLatin1String(column))), line, at);
        }
        xs->addWidget(field(QLatin1String(unit)), line, 1);
        xs->addWidget(price(priceColumn.constData()), line, 3);
        xs->addWidget(
            withButton(currency(type.constData()), conversionButton(("btnChangeXS" + n).constData(),
                                                                    price(priceColumn.constData()),
                                                                    currency(type.constData()))),
            line, 5);
    }
    PageControl1->addTab(sales, QStringLiteral("销售信息"));
    return PageControl1;
}

void TfrmRevaZezEdit::setTabOrder()
{
    QWidget *previous = nullptr;
    for (const SampleField &d : sampleFields()) {
        if (!d.isTabStop())
            continue;
        QWidget *next = m_boxes.value(d.column);
        if (previous)
            QWidget::setTabOrder(previous, next);
        previous = next;
    }
}

void TfrmRevaZezEdit::showMode(RecordEditor::Mode mode)
{
    setWindowTitle(mode == RecordEditor::Mode::Change ? QStringLiteral("样品档案 - 修改")
                                                      : QStringLiteral("样品档案 - 新增"));
}

void TfrmRevaZezEdit::openMode(int mode)
{
    start(mode == Edit   ? RecordEditor::Mode::Change
          : mode == Copy ? RecordEditor::Mode::Copy
                         : RecordEditor::Mode::New);
}

QWidget *TfrmRevaZezEdit::firstField(RecordEditor::Mode) const
{
    return m_boxes.value(QStringLiteral("F_goodCode"));
}

void TfrmRevaZezEdit::setText(const QString &column, const QString &text)
{
    QWidget *box = m_boxes.value(column);
    if (auto *edit = qobject_cast<QLineEdit *>(box))
        edit->setText(text);
    else if (auto *combo = qobject_cast<QComboBox *>(box))
        combo->setEditText(text);
}

QString TfrmRevaZezEdit::text(const QString &column) const
{
    QWidget *box = m_boxes.value(column);
    if (auto *edit = qobject_cast<QLineEdit *>(box))
        return edit->text();
    if (auto *combo = qobject_cast<QComboBox *>(box))
        return combo->currentText();
    return {};
}

void TfrmRevaZezEdit::clearRecord()
{
    for (const SampleField &d : sampleFields()) {
        QWidget *box = m_boxes.value(d.column);
        switch (d.kind) {
        case SampleField::Text:
        case SampleField::Code:
            setText(d.column, QString());
            break;
        case SampleField::Number:
            static_cast<NumberBox *>(box)->setValue(0);
            break;
        case SampleField::Date:
            static_cast<DateBox *>(box)->setDate(QDate::currentDate());
            static_cast<DateBox *>(box)->setChecked(false);
            break;
        case SampleField::Memo:
            static_cast<MemoBox *>(box)->clear();
            break;
        case SampleField::EditDate:
            static_cast<QDateEdit *>(box)->setDate(QDate::currentDate());
            break;
        }
    }
}

void TfrmRevaZezEdit::loadRecord()
{
    for (const SampleField &d : sampleFields()) {
        QWidget *box = m_boxes.value(d.column);
        const QVariant value = records().value(d.column);
        switch (d.kind) {
        case SampleField::Text:
        case SampleField::Code:
            setText(d.column, value.toString());
            break;
        case SampleField::Number:
            static_cast<NumberBox *>(box)->setValue(value.toDouble());
            break;
        case SampleField::Date: {
            const QDate date = storedDate(value);
            static_cast<DateBox *>(box)->setDate(date.isValid() ? date : QDate::currentDate());
            static_cast<DateBox *>(box)->setChecked(date.isValid());
            break;
        }
        case SampleField::Memo:
            static_cast<MemoBox *>(box)->setPlainText(value.toString());
            break;
        case SampleField::EditDate:
            static_cast<QDateEdit *>(box)->setDate(value.toDate());
            break;
        }
    }
}

QVariantMap TfrmRevaZezEdit::values() const
{
    QVariantMap values;
    for (const SampleField &d : sampleFields()) {
        QWidget *box = m_boxes.value(d.column);
        QVariant value;
        switch (d.kind) {
        case SampleField::Text:
        case SampleField::Code:
            value = text(d.column).trimmed();
            break;
        case SampleField::Number:
            value = static_cast<NumberBox *>(box)->value();
            break;
        case SampleField::Date:
            value = static_cast<DateBox *>(box)->dateOr(DisplayFormat::kNoDate);
            break;
        case SampleField::Memo:
            value = static_cast<MemoBox *>(box)->toPlainText().trimmed();
            break;
        case SampleField::EditDate:
            value = static_cast<QDateEdit *>(box)->date();
            break;
        }
        values.insert(d.column, value);
    }
    return values;
}

bool TfrmRevaZezEdit::validate()
{
    const struct
    {
        const char *column;
        const char *message;
    } required[] = {{"F_goodName", "当前样品名称不能为空！"},
                    {"F_goodCode", "当前样品编号不能为空！"}};
    for (const auto &r : required) {
        const QString column = QLatin1String(r.column);
        if (text(column).trimmed().isEmpty()) {
            ShowPrompt(QString::fromUtf8(r.message), Prompt::Information);
            m_boxes.value(column)->setFocus();
            return false;
        }
    }
    return true;
}

RecordEditor::Stored TfrmRevaZezEdit::store(qint64 id, const QVariantMap &values, qint64 *saved,
                                            QString *error)
{
    const std::optional<qint64> key = SampleRecord::save(*dmData, id, values, error);
    if (!key)
        return Stored::Failed;
    *saved = *key;
    return Stored::Saved;
}

void TfrmRevaZezEdit::pickCatalogueEntry()
{
    QVariantMap entry;
    PickCatalogueEntry(this, text(QStringLiteral("F_goodCode")), &entry);
    if (entry.isEmpty())
        return;
    // Remarks and everything the catalogue does not hold stay the record's own.
    for (const SampleField &d : sampleFields()) {
        if (!d.catalogueColumn.isEmpty())
            setText(d.column, entry.value(d.catalogueColumn).toString());
    }
}

void TfrmRevaZezEdit::pickType()
{
    const QString type = QStringLiteral("F_type");
    setText(type, PickType(this, QStringLiteral("type"), text(type)));
}

void runSampleEditor(RecordList &samples, QWidget *parent, int mode)
{
    TfrmRevaZezEdit editor(samples, parent);
    editor.openMode(mode);
    editor.exec();
}
