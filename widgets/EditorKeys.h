#pragma once

#include <QObject>

class QPushButton;
class QWidget;

// The keys an editor window sees before its controls: Ctrl+S presses OK and Esc presses
// Cancel (each only while enabled and visible); Enter presses the focused button, or moves to
// the next control unless the focus is in a multi-line text, where it starts a new line.
// Install after the window's controls exist.
class EditorKeys : public QObject
{
    Q_OBJECT

public:
    EditorKeys(QWidget *window, QPushButton *ok, QPushButton *cancel);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
