#pragma once

#include <QList>

class QDialog;
class QHBoxLayout;
class QPushButton;

// The 确定 (btnOK, the default) and 取消 (btnCancel) pair at the bottom right of a small
// dialog, wired to its accept() and reject().
QHBoxLayout *okCancelButtons(QDialog *dialog);

// A button of a window's button row, found by `objectName`; Enter never presses it unfocused.
QPushButton *windowButton(const char *objectName, const char *caption);
// A window's row of buttons: `left` at the left, `right` at the right.
QHBoxLayout *buttonRow(const QList<QPushButton *> &left, const QList<QPushButton *> &right);
