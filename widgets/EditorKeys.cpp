#include "widgets/EditorKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

EditorKeys::EditorKeys(QWidget *window, QPushButton *ok, QPushButton *cancel)
    : QObject(window), m_window(window), m_ok(ok), m_cancel(cancel)
{
    window->installEventFilter(this);
    for (QWidget *child : window->findChildren<QWidget *>())
        child->installEventFilter(this);
}

bool EditorKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    const auto press = [](QPushButton *button) {
        if (button->isEnabled() && button->isVisible())
            button->click();
        return true;
    };
    if (key->key() == Qt::Key_S && modifiers == Qt::ControlModifier)
        return press(m_ok);
    if (key->key() == Qt::Key_Escape && modifiers == Qt::NoModifier)
        return press(m_cancel);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!enter || modifiers != Qt::NoModifier)
        return QObject::eventFilter(watched, event);
    QWidget *focus = m_window->focusWidget();
    if (qobject_cast<QPlainTextEdit *>(focus) || qobject_cast<QTextEdit *>(focus))
        return QObject::eventFilter(watched, event);
    if (auto *button = qobject_cast<QPushButton *>(focus))
        return press(button);
    // focusNextChild is protected; a Tab press does the same and honours the tab order.
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(focus ? focus : m_window, &tab);
    return true;
}
