#include "widgets/MemoBox.h"

#include <limits>

MemoBox::MemoBox(QWidget *parent)
    : QPlainTextEdit(parent), m_maxLength(std::numeric_limits<int>::max())
{
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, &MemoBox::cut);
}

void MemoBox::setMaxLength(int maxLength)
{
    m_maxLength = maxLength;
    cut();
}

void MemoBox::cut()
{
    const QString text = toPlainText();
    if (text.size() <= m_maxLength)
        return;
    QTextCursor cursor = textCursor();
    const int position = qMin(cursor.position(), m_maxLength);
    setPlainText(text.left(m_maxLength));
    cursor = textCursor();
    cursor.setPosition(position);
    setTextCursor(cursor);
}
