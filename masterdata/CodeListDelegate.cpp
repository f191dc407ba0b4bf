#include "masterdata/CodeListDelegate.h"

#include <QDoubleValidator>
#include <QLineEdit>

namespace {

// t_code keeps names in varchar(50).
constexpr int kNameWidth = 50;
constexpr int kRateDecimals = 6;

} // namespace

CodeListDelegate::CodeListDelegate(const QList<bool> &numericColumns, QObject *parent)
    : QStyledItemDelegate(parent), m_numeric(numericColumns)
{
}

bool CodeListDelegate::isNumeric(const QModelIndex &index) const
{
    return m_numeric.value(index.column());
}

QWidget *CodeListDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                        const QModelIndex &index) const
{
    auto *edit = new QLineEdit(parent);
    edit->setFrame(false);
    if (isNumeric(index)) {
        auto *validator = new QDoubleValidator(edit);
        // The same decimal point whatever the desktop's language.
        validator->setLocale(QLocale::c());
        validator->setNotation(QDoubleValidator::StandardNotation);
        validator->setDecimals(kRateDecimals);
        edit->setValidator(validator);
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    } else {
        edit->setMaxLength(kNameWidth);
    }
    m_editor = edit;
    return edit;
}

void CodeListDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    if (editor == m_editor)
        m_editor = nullptr;
    QStyledItemDelegate::destroyEditor(editor, index);
}

void CodeListDelegate::finishEditing()
{
    if (!m_editor)
        return;
    emit commitData(m_editor);
    emit closeEditor(m_editor);
}

void CodeListDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *edit = static_cast<QLineEdit *>(editor);
    const QVariant value = index.data(Qt::EditRole);
    if (isNumeric(index))
        edit->setText(value.isNull() ? QString()
                                     : QLocale::c().toString(value.toDouble(), 'g', 15));
    else
        edit->setText(value.toString());
}

void CodeListDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                    const QModelIndex &index) const
{
    const QString text = static_cast<QLineEdit *>(editor)->text();
    if (!isNumeric(index)) {
        model->setData(index, text);
        return;
    }
    if (text.trimmed().isEmpty()) {
        model->setData(index, QVariant());
        return;
    }
    bool ok = false;
    const double number = QLocale::c().toDouble(text.trimmed(), &ok);
    // A half-typed number ("-", ".") keeps the value the cell had.
    if (ok)
        model->setData(index, number);
}
