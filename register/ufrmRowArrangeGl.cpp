#include "register/ufrmRowArrangeGl.h"

#include "widgets/PlaceForm.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString kAscending = QStringLiteral("升序");
const QString kDescending = QStringLiteral("降序");

// The value column's pick list: empty, 升序, 降序.
class DirectionDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &) const override
    {
        auto *box = new QComboBox(parent);
        box->addItems({QString(), kAscending, kDescending});
        return box;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *box = static_cast<QComboBox *>(editor);
        box->setCurrentIndex(std::max(0, box->findText(index.data().toString())));
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override
    {
        model->setData(index, static_cast<QComboBox *>(editor)->currentText());
    }
};

} // namespace

TfrmRowArrangeGl::TfrmRowArrangeGl(const QList<QPair<QString, QString>> &columns, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("排序对话框"));

    auto *tip = new QLabel(
        QStringLiteral("提示：双击空白处切换排序方式（升降无），单击上下移动键调整优先顺序"), this);
    tip->setObjectName(QStringLiteral("lblTip"));
    tip->setWordWrap(true);

    m_rows = new QTableWidget(int(columns.size()), 2, this);
    m_rows->setObjectName(QStringLiteral("vleSort"));
    m_rows->setHorizontalHeaderLabels({QStringLiteral("列"), QStringLiteral("排序方式")});
    m_rows->verticalHeader()->hide();
    m_rows->horizontalHeader()->setStretchLastSection(true);
    m_rows->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_rows->setSelectionMode(QAbstractItemView::SingleSelection);
    // A double-click cycles the value; the pick list opens on a click or a key instead.
    m_rows->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    m_rows->setItemDelegateForColumn(1, new DirectionDelegate(m_rows));
    for (int row = 0; row < columns.size(); ++row) {
        auto *key = new QTableWidgetItem(columns[row].second);
        key->setFlags(key->flags() & ~Qt::ItemIsEditable);
        // The row carries its own field, so columns sharing a caption keep apart.
        key->setData(Qt::UserRole, columns[row].first.toLower());
        m_rows->setItem(row, 0, key);
        m_rows->setItem(row, 1, new QTableWidgetItem(QString()));
    }
    m_rows->resizeColumnToContents(0);
    if (!columns.isEmpty())
        m_rows->setCurrentCell(0, 1);
    connect(m_rows, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { cycleRow(row); });

    m_btnUp = new QPushButton(QStringLiteral("上移"), this);
    m_btnUp->setObjectName(QStringLiteral("btnUp"));
    m_btnUp->setAutoDefault(false);
    m_btnDown = new QPushButton(QStringLiteral("下移"), this);
    m_btnDown->setObjectName(QStringLiteral("btnDown"));
    m_btnDown->setAutoDefault(false);
    m_btnOK = new QPushButton(QStringLiteral("确定"), this);
    m_btnOK->setObjectName(QStringLiteral("btnOK"));
    m_btnOK->setDefault(true);
    m_btnCancel = new QPushButton(QStringLiteral("取消"), this);
    m_btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(m_btnUp, &QPushButton::clicked, this, &TfrmRowArrangeGl::moveUp);
    connect(m_btnDown, &QPushButton::clicked, this, &TfrmRowArrangeGl::moveDown);
    connect(m_btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *side = new QVBoxLayout;
    side->addWidget(m_btnUp);
    side->addWidget(m_btnDown);
    side->addStretch(1);
    auto *middle = new QHBoxLayout;
    middle->addWidget(m_rows, 1);
    middle->addLayout(side);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_btnOK);
    buttons->addWidget(m_btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tip);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);
    resize(420, 380);
}

QString TfrmRowArrangeGl::ask(QWidget *parent, const QList<QPair<QString, QString>> &columns)
{
    TfrmRowArrangeGl dialog(columns, parent);
    PlaceForm(&dialog, 1);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.sortText();
}

QString TfrmRowArrangeGl::sortText() const
{
    QString text;
    for (int row = 0; row < m_rows->rowCount(); ++row) {
        const QString value = m_rows->item(row, 1)->text();
        if (value != kAscending && value != kDescending)
            continue;
        text += m_rows->item(row, 0)->data(Qt::UserRole).toString() +
                (value == kAscending ? QStringLiteral(" ASC,") : QStringLiteral(" DESC,"));
    }
    return text;
}

void TfrmRowArrangeGl::cycleRow(int row)
{
    QTableWidgetItem *value = m_rows->item(row, 1);
    if (!value)
        return;
    const QString text = value->text();
    value->setText(text.isEmpty() ? kAscending : text == kAscending ? kDescending : QString());
}

void TfrmRowArrangeGl::swapRows(int row, int other)
{
    m_rows->setFocus();
    if (row < 0 || other < 0 || other >= m_rows->rowCount())
        return;
    for (int column = 0; column < 2; ++column) {
        QTableWidgetItem *a = m_rows->takeItem(row, column);
        QTableWidgetItem *b = m_rows->takeItem(other, column);
        m_rows->setItem(row, column, b);
        m_rows->setItem(other, column, a);
    }
    m_rows->setCurrentCell(other, m_rows->currentColumn() < 0 ? 1 : m_rows->currentColumn());
}

void TfrmRowArrangeGl::moveUp()
{
    swapRows(m_rows->currentRow(), m_rows->currentRow() - 1);
}

void TfrmRowArrangeGl::moveDown()
{
    swapRows(m_rows->currentRow(), m_rows->currentRow() + 1);
}
