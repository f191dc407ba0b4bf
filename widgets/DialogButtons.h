#pragma once

class QDialog;
class QHBoxLayout;

// The 确定 (btnOK, the default) and 取消 (btnCancel) pair at the bottom right of a small
// dialog, wired to its accept() and reject().
QHBoxLayout *okCancelButtons(QDialog *dialog);
