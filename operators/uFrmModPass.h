#pragma once

#include <QDialog>

class QLineEdit;

// The logged-in operator changes his own password. The window closes after 确定 whatever the
// checks said, unless the database refused the change.
class TfrmModPass : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmModPass(QWidget *parent = nullptr);

    void changePassword();

private:
    QLineEdit *edtOldPass;
    QLineEdit *edtNewPass;
    QLineEdit *edtAdjustPass;
};

void showModPass(QWidget *owner);
