#include "widgets/DialogButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

QHBoxLayout *okCancelButtons(QDialog *dialog)
{
    auto *ok = new QPushButton(QStringLiteral("确定"));
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"));
    cancel->setObjectName(QStringLiteral("btnCancel"));
    cancel->setAutoDefault(false);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return buttonRow({}, {ok, cancel});
}

QPushButton *windowButton(const char *objectName, const char *caption)
{
    auto *button = new QPushButton(QString::fromUtf8(caption));
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(false);
    return button;
}

QHBoxLayout *buttonRow(const QList<QPushButton *> &left, const QList<QPushButton *> &right)
{
    auto *row = new QHBoxLayout;
    for (QPushButton *button : left)
        row->addWidget(button);
    row->addStretch(1);
    for (QPushButton *button : right)
        row->addWidget(button);
    return row;
}
