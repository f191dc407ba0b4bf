#include "register/uDLGrevazezCX.h"

#include "widgets/CodeCombo.h"

#include "core/DataDm.h"
#include "masterdata/TypePicker.h"
#include "register/SampleFields.h"
#include "widgets/DateBox.h"
#include "widgets/EditorKeys.h"
#include "widgets/PlaceForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

DateBox *dateBox(const char *name, const QDate &date, QWidget *parent)
{
    auto *box = new DateBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setDate(date);
    box->setChecked(true);
    return box;
}

} // namespace

TDLGrevazezCX::TDLGrevazezCX(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("样品记录查询对话框"));

    // Created in the order Enter and Tab walk through them.
    auto *criteria = new QGroupBox(this);
    auto *grid = new QGridLayout(criteria);
    // The box of a described column: a code-list box, a memo or a line, matched as described.
    const auto criterion = [&](const char *name, QWidget *parent) -> QWidget * {
        const SampleField *field = sampleField(QLatin1String(name));
        QWidget *box = nullptr;
        if (field->kind == SampleField::Code)
            box = new CodeCombo(field->codeKind, parent);
        else if (field->kind == SampleField::Memo)
            box = new QPlainTextEdit(parent);
        else
            box = new QLineEdit(parent);
        box->setObjectName(field->objectName);
        m_criteria.append({box, field->column, *field->advancedMatch});
        return box;
    };
    const auto place = [&](const char *name, QWidget *box, int row, int column) {
        auto *caption = new QLabel(sampleField(QLatin1String(name))->label, criteria);
        caption->setBuddy(box);
        grid->addWidget(caption, row, column);
        grid->addWidget(box, row, column + 1);
    };
    const auto placeCriterion = [&](const char *name, int row, int column) {
        place(name, criterion(name, criteria), row, column);
    };

    placeCriterion("F_goodCode", 0, 0);
    placeCriterion("F_goodName", 0, 2);
    placeCriterion("F_spec", 1, 0);
    m_edtType = static_cast<QLineEdit *>(criterion("F_type", criteria));
    auto *btnType = new QPushButton(QStringLiteral("..."), criteria);
    btnType->setObjectName(QStringLiteral("btnType"));
    btnType->setFixedWidth(btnType->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 12);
    connect(btnType, &QPushButton::clicked, this, &TDLGrevazezCX::pickType);
    auto *typeRow = new QWidget(criteria);
    auto *typeLayout = new QHBoxLayout(typeRow);
    typeLayout->setContentsMargins(0, 0, 0, 0);
    typeLayout->setSpacing(2);
    typeLayout->addWidget(m_edtType, 1);
    typeLayout->addWidget(btnType);
    place("F_type", typeRow, 1, 2);
    placeCriterion("F_pinPai", 2, 0);
    placeCriterion("F_yanSE", 2, 2);
    placeCriterion("F_caiLiao", 3, 0);
    placeCriterion("F_baoZhuang", 3, 2);
    placeCriterion("F_tiji", 4, 0);
    placeCriterion("F_TMcode", 4, 2);
    placeCriterion("F_depotPos", 5, 0);
    placeCriterion("F_huoJia", 5, 2);

    auto *others = new QWidget(criteria);
    auto *othersLayout = new QHBoxLayout(others);
    othersLayout->setContentsMargins(0, 0, 0, 0);
    for (const char *name : {"F_other1", "F_other2", "F_other3", "F_other4"})
        othersLayout->addWidget(criterion(name, others));
    auto *othersCaption = new QLabel(sampleField(QStringLiteral("F_other1"))->label, criteria);
    othersCaption->setBuddy(m_criteria[m_criteria.size() - 4].box);
    grid->addWidget(othersCaption, 6, 0);
    grid->addWidget(others, 6, 1, 1, 3);

    m_memo = static_cast<QPlainTextEdit *>(criterion("F_memo1", criteria));
    m_memo->setTabChangesFocus(true);
    m_memo->setFixedHeight(m_memo->fontMetrics().lineSpacing() * 3 + 12);
    auto *memoCaption = new QLabel(sampleField(QStringLiteral("F_memo1"))->label, criteria);
    memoCaption->setBuddy(m_memo);
    grid->addWidget(memoCaption, 7, 0, Qt::AlignTop);
    grid->addWidget(m_memo, 7, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    // Each range: from the first of this month to today, both pickers ticked, off until its
    // check box is ticked.
    const QDate today = QDate::currentDate();
    const QDate monthStart(today.year(), today.month(), 1);
    auto *dates = new QGroupBox(this);
    auto *dateGrid = new QGridLayout(dates);
    const auto range = [&](const char *checkName, const QString &caption, const char *fromName,
                           const char *toName, const char *column) {
        const int row = int(m_ranges.size());
        auto *check = new QCheckBox(caption, dates);
        check->setObjectName(QString::fromLatin1(checkName));
        DateBox *from = dateBox(fromName, monthStart, dates);
        DateBox *to = dateBox(toName, today, dates);
        from->setEnabled(false);
        to->setEnabled(false);
        connect(check, &QCheckBox::toggled, from, &QWidget::setEnabled);
        connect(check, &QCheckBox::toggled, to, &QWidget::setEnabled);
        dateGrid->addWidget(check, row, 0);
        dateGrid->addWidget(from, row, 1);
        dateGrid->addWidget(new QLabel(QStringLiteral("至"), dates), row, 2);
        dateGrid->addWidget(to, row, 3);
        m_ranges.append({check, from, to, column});
    };
    range("CheckBox1", QStringLiteral("日    期：自"), "dtpfromDate", "dtptoDate", "F_editDate");
    range("CheckBox2", QStringLiteral("采购日期：自"), "dtpfromDate1", "dtptoDate1", "F_CGdate");
    range("CheckBox3", QStringLiteral("销售日期：自"), "dtpfromDate2", "dtptoDate2", "F_XSdate");
    dateGrid->setColumnStretch(1, 1);
    dateGrid->setColumnStretch(3, 1);

    m_btnQuery = new QPushButton(QStringLiteral("查询(&P)"), this);
    m_btnQuery->setObjectName(QStringLiteral("Button1"));
    m_btnClose = new QPushButton(QStringLiteral("关闭(&C)"), this);
    m_btnClose->setObjectName(QStringLiteral("Button2"));
    connect(m_btnQuery, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_btnClose, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_btnQuery);
    buttons->addWidget(m_btnClose);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(criteria);
    layout->addWidget(dates);
    layout->addLayout(buttons);

    new EditorKeys(this, m_btnQuery, m_btnClose);
}

std::optional<SqlFilter> TDLGrevazezCX::ask(QWidget *parent)
{
    TDLGrevazezCX dialog(parent);
    PlaceForm(&dialog, 1);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.filter(dmData->dialect());
}

QString TDLGrevazezCX::criterionText(QWidget *box) const
{
    if (auto *edit = qobject_cast<QLineEdit *>(box))
        return edit->text().trimmed();
    if (auto *combo = qobject_cast<QComboBox *>(box))
        return combo->currentText().trimmed();
    if (auto *memo = qobject_cast<QPlainTextEdit *>(box))
        return memo->toPlainText().trimmed();
    return {};
}

SqlFilter TDLGrevazezCX::filter(const SqlDialect &dialect) const
{
    SqlFilter f(dialect, QStringLiteral("GoodMain"));
    for (const Criterion &c : m_criteria) {
        const QString v = criterionText(c.box);
        if (!v.isEmpty())
            f.addLike(c.column, v, c.match);
    }
    for (const Range &r : m_ranges) {
        if (!r.check->isChecked())
            continue;
        f.addDateRange(QString::fromLatin1(r.column), r.from->dateOr({}), r.to->dateOr({}));
    }
    return f;
}

void TDLGrevazezCX::pickType()
{
    m_edtType->setText(PickType(this, QStringLiteral("type"), m_edtType->text()));
    m_edtType->setFocus();
}
