#include "widgets/ShortcutsFirst.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

ShortcutsFirst::ShortcutsFirst(QWidget *window, const QList<QKeySequence> &keys)
    : QObject(window), m_window(window), m_keys(keys)
{
    // Boxes created later (pages built on demand) are covered too.
    qApp->installEventFilter(this);
}

bool ShortcutsFirst::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != m_window)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const QKeySequence pressed(key->keyCombination());
    // Left unaccepted, the override falls through to the window's shortcut.
    return m_keys.contains(pressed);
}
