#include "operators/PasswordBox.h"

#include <QLineEdit>

QLineEdit *passwordBox(const char *objectName)
{
    auto *box = new QLineEdit;
    box->setObjectName(QLatin1String(objectName));
    box->setEchoMode(QLineEdit::Password);
    // The style's own mask is a dot; operators are used to asterisks.
    box->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    return box;
}
