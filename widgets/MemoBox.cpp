#include "widgets/MemoBox.h"

MemoBox::MemoBox(int maxLength, QWidget *parent) : QPlainTextEdit(parent), m_maxLength(maxLength)
{
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, &MemoBox::cut);
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
