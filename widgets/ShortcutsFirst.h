#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

class QWidget;

// Lets a window's own shortcuts win over its text boxes for `keys`: a text box takes Ctrl+A
// as select-all, but in a list window Ctrl+A adds a record.
class ShortcutsFirst : public QObject
{
    Q_OBJECT

public:
    ShortcutsFirst(QWidget *window, const QList<QKeySequence> &keys);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QList<QKeySequence> m_keys;
};
