#include "register/uDLGchangeBZ.h"

#include "core/DataDm.h"
#include "core/Money.h"
#include "core/Prompt.h"
#include "widgets/CodeCombo.h"
#include "widgets/NumberBox.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Money shows with two decimals; the amounts themselves keep every decimal they have.
constexpr int kMoneyDecimals = 2;

QGroupBox *amountGroup(QWidget *amount, QWidget *currency)
{
    auto *group = new QGroupBox;
    auto *form = new QFormLayout(group);
    form->addRow(QStringLiteral("金    额："), amount);
    form->addRow(QStringLiteral("币    种："), currency);
    return group;
}

QString noRateMessage(const QString &currency)
{
    return QStringLiteral("币种“%1”没有汇率，不能换算！请先在“汇率设置...”中填写它的汇率。")
        .arg(currency);
}

} // namespace

TDLGchangeBZ::TDLGchangeBZ(double amount, const QString &currency, QWidget *parent)
    : QDialog(parent), m_currency(currency)
{
    setObjectName(QStringLiteral("DLGchangeBZ"));
    setWindowTitle(QStringLiteral("汇率换算"));

    cePrice1 = new NumberBox(kMoneyDecimals);
    cePrice1->setObjectName(QStringLiteral("cePrice1"));
    cePrice1->setPrefix(Money::symbolOf(currency));
    cePrice1->setValue(amount);
    m_sourceAmount = amount;
    edtType1 = new QLineEdit(currency);
    edtType1->setObjectName(QStringLiteral("edtType1"));
    edtType1->setReadOnly(true);
    cePrice2 = new NumberBox(kMoneyDecimals);
    cePrice2->setObjectName(QStringLiteral("cePrice2"));
    cePrice2->setReadOnly(true);
    cbbType2 = new CodeCombo(QStringLiteral("rate"));
    cbbType2->setObjectName(QStringLiteral("cbbType2"));
    Memo1 = new QLineEdit;
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setAlignment(Qt::AlignCenter);

    auto *groups = new QHBoxLayout;
    groups->addWidget(amountGroup(cePrice1, edtType1));
    groups->addWidget(amountGroup(cePrice2, cbbType2));
    auto *rate = new QFormLayout;
    rate->addRow(QStringLiteral("汇    率："), Memo1);
    auto *convert = new QPushButton(QStringLiteral("转换"));
    convert->setObjectName(QStringLiteral("btnConvert"));
    convert->setAutoDefault(false);
    auto *close = new QPushButton(QStringLiteral("关闭"));
    close->setObjectName(QStringLiteral("btnClose"));
    close->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(convert);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(rate);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
    // The amount is given; what the user comes to choose is the target.
    cbbType2->setFocus();

    m_sourceRate = rateOf(currency);
    connect(cbbType2, &QComboBox::currentTextChanged, this, [this](const QString &text) {
        m_targetRate = rateOf(text.trimmed());
        recalculate();
    });
    connect(cePrice1, &QDoubleSpinBox::valueChanged, this, [this](double typed) {
        m_sourceAmount = typed;
        recalculate();
    });
    connect(convert, &QPushButton::clicked, this, &TDLGchangeBZ::convert);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

bool TDLGchangeBZ::Convert(QWidget *parent, double &amount, QString &currency)
{
    TDLGchangeBZ dialog(amount, currency, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    amount = dialog.targetAmount();
    currency = dialog.targetCurrency();
    return true;
}

double TDLGchangeBZ::targetAmount() const
{
    return m_targetAmount;
}

QString TDLGchangeBZ::targetCurrency() const
{
    return cbbType2->currentText().trimmed();
}

QString TDLGchangeBZ::rateLine() const
{
    return Memo1->text();
}

double TDLGchangeBZ::rateOf(const QString &currency)
{
    return dmData->GetFloatValue(Money::rateLookupSql(), {currency});
}

void TDLGchangeBZ::recalculate()
{
    const QString target = targetCurrency();
    cePrice2->setPrefix(Money::symbolOf(target));
    // Without a rate for the source there is nothing to convert by.
    if (target.isEmpty() || m_sourceRate <= 0) {
        Memo1->clear();
        m_targetAmount = 0;
        cePrice2->setValue(0);
        return;
    }
    const double factor = m_targetRate / m_sourceRate;
    Memo1->setText(u'1' + m_currency + QStringLiteral(" = ") + QString::number(factor, 'f', 3) +
                   target);
    m_targetAmount = m_sourceAmount * factor;
    cePrice2->setValue(m_targetAmount);
}

void TDLGchangeBZ::convert()
{
    if (m_sourceRate <= 0) {
        ShowPrompt(noRateMessage(m_currency), Prompt::Information);
        return;
    }
    if (targetCurrency().isEmpty()) {
        ShowPrompt(QStringLiteral("请先选择要转换成的币种！"), Prompt::Information);
        cbbType2->setFocus();
        return;
    }
    if (m_targetRate <= 0) {
        ShowPrompt(noRateMessage(targetCurrency()), Prompt::Information);
        cbbType2->setFocus();
        return;
    }
    if (ShowPrompt(QStringLiteral("真的要转换当前币种吗？"), Prompt::Question) == Prompt::Yes)
        accept();
}
