#include "widgets/CodeCombo.h"

#include "core/CodeListValues.h"

#include <QFocusEvent>

CodeCombo::CodeCombo(const QString &kind, QWidget *parent) : QComboBox(parent), m_kind(kind)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void CodeCombo::showPopup()
{
    refill();
    QComboBox::showPopup();
}

void CodeCombo::focusInEvent(QFocusEvent *event)
{
    // Coming back from the list just shown needs no second reading.
    if (event->reason() != Qt::PopupFocusReason)
        refill();
    QComboBox::focusInEvent(event);
}

void CodeCombo::refill()
{
    const QString text = currentText();
    const QSignalBlocker quiet(this);
    clear();
    addItems(codeListValues(m_kind));
    setCurrentIndex(findText(text));
    setEditText(text);
}
