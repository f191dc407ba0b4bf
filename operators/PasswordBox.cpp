#include "operators/PasswordBox.h"

#include <QLineEdit>

QLineEdit *passwordBox(const char *objectName)
{
    auto *box = new QLineEdit;
    box->setObjectName(QLatin1String(objectName));
    box->setEchoMode(QLineEdit::Password);
    return box;
}
