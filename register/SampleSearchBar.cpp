#include "register/SampleSearchBar.h"

#include "masterdata/Pickers.h"
#include "register/SampleListQuery.h"
#include "widgets/DateBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

// The search fields whose value the picker fills.
constexpr int kSupplierField = 7;
constexpr int kClientField = 8;

} // namespace

SampleSearchBar::SampleSearchBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlSearch"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);

    ComboBox1 = new QComboBox;
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems(SampleListQuery::searchFieldCaptions());
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setMinimumContentsLength(6);
    auto *searchLabel = new QLabel(QStringLiteral("搜索(&R)"));
    searchLabel->setBuddy(ComboBox1);
    layout->addWidget(searchLabel);
    layout->addWidget(ComboBox1);

    Edit1 = new QLineEdit;
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setClearButtonEnabled(true);
    auto *valueLabel = new QLabel(QStringLiteral("值(&L)"));
    valueLabel->setBuddy(Edit1);
    layout->addWidget(valueLabel);
    layout->addWidget(Edit1, 1);
    m_btnPick = new QToolButton;
    m_btnPick->setObjectName(QStringLiteral("btnPick"));
    m_btnPick->setText(QStringLiteral("..."));
    m_btnPick->setVisible(false);
    connect(m_btnPick, &QToolButton::clicked, this, [this] {
        const bool supplier = ComboBox1->currentIndex() == kSupplierField;
        Edit1->setText(supplier ? PickSupplier(window(), Edit1->text())
                                : PickClient(window(), Edit1->text()));
    });
    layout->addWidget(m_btnPick);
    chkPinyin = new QCheckBox(QStringLiteral("拼音"));
    chkPinyin->setObjectName(QStringLiteral("chkPinyin"));
    chkPinyin->setChecked(true);
    chkPinyin->setToolTip(QStringLiteral("输入字母时也按拼音或拼音首字母查找名称、供应商和客户"));
    connect(chkPinyin, &QCheckBox::clicked, this, [this](bool on) {
        emit pinyinToggled(on);
        emit changed();
    });
    layout->addWidget(chkPinyin);

    auto *find = new QPushButton(QStringLiteral("查找(F3)"));
    find->setObjectName(QStringLiteral("btnFind"));
    find->setShortcut(QKeySequence(Qt::Key_F3));
    layout->addWidget(find);

    dtpFromDate = new DateBox;
    dtpFromDate->setObjectName(QStringLiteral("dtpFromDate"));
    dtpToDate = new DateBox;
    dtpToDate->setObjectName(QStringLiteral("dtpToDate"));
    layout->addWidget(new QLabel(QStringLiteral("日期：自")));
    layout->addWidget(dtpFromDate);
    layout->addWidget(new QLabel(QStringLiteral("至")));
    layout->addWidget(dtpToDate);

    auto *navigator = new QToolButton;
    navigator->setObjectName(QStringLiteral("btnNavigator"));
    navigator->setIcon(QIcon::fromTheme(QStringLiteral("view-split-left-right")));
    navigator->setToolTip(QStringLiteral("显示或隐藏导航树"));
    layout->addWidget(navigator);
    connect(navigator, &QToolButton::clicked, this, &SampleSearchBar::navigatorToggled);

    m_btnAdvanced = new QPushButton(QStringLiteral("高级查找..."));
    m_btnAdvanced->setObjectName(QStringLiteral("btnAdvanced"));
    m_btnAdvanced->setCheckable(true);
    layout->addWidget(m_btnAdvanced);
    connect(m_btnAdvanced, &QPushButton::clicked, this, &SampleSearchBar::advancedToggled);

    connect(ComboBox1, &QComboBox::activated, this, &SampleSearchBar::chooseSearchField);
    connect(Edit1, &QLineEdit::textChanged, this, &SampleSearchBar::changed);
    connect(Edit1, &QLineEdit::returnPressed, this, [this] {
        const QString code = Edit1->text().trimmed();
        if (!SampleListQuery::isScanField(ComboBox1->currentIndex()) || code.isEmpty())
            return;
        // The list shows what starts with the code; the next scan replaces it.
        if (Edit1->text() != code)
            Edit1->setText(code);
        Edit1->selectAll();
        emit codeEntered(code);
    });
    connect(find, &QPushButton::clicked, this, &SampleSearchBar::changed);
    connect(dtpFromDate, &DateBox::changed, this, &SampleSearchBar::changed);
    connect(dtpToDate, &DateBox::changed, this, &SampleSearchBar::changed);

    m_criteria.add(
        std::make_unique<TextMatchCriterion>(QStringLiteral("search"), Edit1, ComboBox1));
    m_criteria.add(
        std::make_unique<DateRangeCriterion>(QStringLiteral("dates"), dtpFromDate, dtpToDate));
}

QJsonObject SampleSearchBar::saveCriteria() const
{
    return m_criteria.save();
}

void SampleSearchBar::restoreCriteria(const QJsonObject &saved, QStringList *notes)
{
    const QSignalBlocker quiet(this);
    m_criteria.restore(saved, notes);
    const int field = ComboBox1->currentIndex();
    m_btnPick->setVisible(field == kSupplierField || field == kClientField);
}

void SampleSearchBar::fillCriteria(SampleListCriteria *criteria) const
{
    if (dtpFromDate->isChecked())
        criteria->from = dtpFromDate->date();
    if (dtpToDate->isChecked())
        criteria->to = dtpToDate->date();
    criteria->searchField = ComboBox1->currentIndex();
    criteria->value = Edit1->text();
    criteria->pinyin = chkPinyin->isChecked();
}

bool SampleSearchBar::isPinyinOn() const
{
    return chkPinyin->isChecked();
}

void SampleSearchBar::setPinyinOn(bool on)
{
    chkPinyin->setChecked(on);
}

void SampleSearchBar::startWithThisMonth()
{
    const QDate today = QDate::currentDate();
    const QSignalBlocker fromBlocker(dtpFromDate);
    const QSignalBlocker toBlocker(dtpToDate);
    dtpFromDate->setDate(QDate(today.year(), today.month(), 1));
    dtpToDate->setDate(today);
}

bool SampleSearchBar::isAdvancedDown() const
{
    return m_btnAdvanced->isChecked();
}

void SampleSearchBar::setAdvancedDown(bool down)
{
    m_btnAdvanced->setChecked(down);
    m_btnAdvanced->setStyleSheet(down ? QStringLiteral("color: red;") : QString());
}

void SampleSearchBar::chooseSearchField(int index)
{
    m_btnPick->setVisible(index == kSupplierField || index == kClientField);
    if (Edit1->text().isEmpty())
        emit changed();
    else
        Edit1->clear();
}
