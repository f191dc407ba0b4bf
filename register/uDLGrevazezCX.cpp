#include "register/uDLGrevazezCX.h"

#include "widgets/CodeCombo.h"

#include "core/DataDm.h"
#include "widgets/DateBox.h"
#include "core/DisplayFormat.h"
#include "widgets/EditorKeys.h"
#include "widgets/PlaceForm.h"
#include "masterdata/TypePicker.h"

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

const QDate kOpenEnd{3000, 8, 14};

// A code-list box that reads its list again each time the operator enters it, so codes added
// meanwhile are offered; what was typed stays.
QLineEdit *lineEdit(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

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
    using M = SqlFilter::Match;

    // Created in the order Enter and Tab walk through them.
    auto *criteria = new QGroupBox(this);
    auto *grid = new QGridLayout(criteria);
    const auto place = [&](const QString &label, QWidget *box, int row, int column) {
        auto *caption = new QLabel(label, criteria);
        caption->setBuddy(box);
        grid->addWidget(caption, row, column);
        grid->addWidget(box, row, column + 1);
    };
    const auto criterion = [&](QWidget *box, const char *column, M match) {
        m_criteria.append({box, column, match});
        return box;
    };

    place(QStringLiteral("样品编号："),
          criterion(lineEdit("edtGoodcode", criteria), "F_goodCode", M::StartsWith), 0, 0);
    place(QStringLiteral("样品名称："),
          criterion(lineEdit("edtGoodName", criteria), "F_goodName", M::Contains), 0, 2);
    place(QStringLiteral("规格型号："),
          criterion(lineEdit("edtSpec", criteria), "F_spec", M::StartsWith), 1, 0);
    m_edtType = lineEdit("edtType", criteria);
    criterion(m_edtType, "F_type", M::Contains);
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
    place(QStringLiteral("样品类型："), typeRow, 1, 2);

    const auto combo = [&](const char *name, const char *kind) {
        auto *box = new CodeCombo(QString::fromLatin1(kind), criteria);
        box->setObjectName(QString::fromLatin1(name));
        return box;
    };
    place(QStringLiteral("品    牌："),
          criterion(combo("cbbPinpai", "pinpai"), "F_pinPai", M::StartsWith), 2, 0);
    place(QStringLiteral("颜    色："),
          criterion(combo("cbbYanSE", "yanse"), "F_yanSE", M::StartsWith), 2, 2);
    place(QStringLiteral("材    料："),
          criterion(combo("cbbCaiLiao", "cailiao"), "F_caiLiao", M::Contains), 3, 0);
    place(QStringLiteral("包    装："),
          criterion(combo("cbbBaoZhuang", "baozhuang"), "F_baoZhuang", M::StartsWith), 3, 2);
    place(QStringLiteral("体    积："),
          criterion(lineEdit("edtTiji", criteria), "F_tiji", M::Contains), 4, 0);
    place(QStringLiteral("条 型 码："),
          criterion(lineEdit("edtTMcode", criteria), "F_TMcode", M::Contains), 4, 2);
    place(QStringLiteral("仓库位置："),
          criterion(lineEdit("edtDepotPos", criteria), "F_depotPos", M::Contains), 5, 0);
    place(QStringLiteral("货    架："),
          criterion(lineEdit("edtHuoJia", criteria), "F_huoJia", M::Contains), 5, 2);

    auto *others = new QWidget(criteria);
    auto *othersLayout = new QHBoxLayout(others);
    othersLayout->setContentsMargins(0, 0, 0, 0);
    const char *otherNames[] = {"edtOther1", "edtOther2", "edtOther3", "edtOther4"};
    const char *otherColumns[] = {"F_other1", "F_other2", "F_other3", "F_other4"};
    for (int i = 0; i < 4; ++i)
        othersLayout->addWidget(
            criterion(lineEdit(otherNames[i], others), otherColumns[i], M::Contains));
    auto *othersCaption = new QLabel(QStringLiteral("其他特性："), criteria);
    othersCaption->setBuddy(m_criteria[m_criteria.size() - 4].box);
    grid->addWidget(othersCaption, 6, 0);
    grid->addWidget(others, 6, 1, 1, 3);

    m_memo = new QPlainTextEdit(criteria);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setTabChangesFocus(true);
    m_memo->setFixedHeight(m_memo->fontMetrics().lineSpacing() * 3 + 12);
    criterion(m_memo, "F_Memo1", M::Contains);
    auto *memoCaption = new QLabel(QStringLiteral("备注信息："), criteria);
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
            f.addLike(QString::fromLatin1(c.column), v, c.match);
    }
    for (const Range &r : m_ranges) {
        if (!r.check->isChecked())
            continue;
        const QString column = QString::fromLatin1(r.column);
        f.add(u'(' + column + QStringLiteral(" >= ? and ") + column + QStringLiteral(" <= ?)"),
              {r.from->dateOr(DisplayFormat::kNoDate), r.to->dateOr(kOpenEnd)});
    }
    return f;
}

void TDLGrevazezCX::pickType()
{
    m_edtType->setText(PickType(this, QStringLiteral("type"), m_edtType->text()));
    m_edtType->setFocus();
}

