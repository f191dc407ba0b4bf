#include "register/uDLGeditCurList.h"

#include "core/Prompt.h"
#include "widgets/DialogButtons.h"
#include "widgets/PlaceForm.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TDLGeditCurList::TDLGeditCurList(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("DLGeditCurList"));
    setWindowTitle(QStringLiteral("批量修改当前列"));
    m_label = new QLabel(QStringLiteral("请输入要填写的字段值："));
    m_label->setObjectName(QStringLiteral("Label1"));
    m_edit = new QLineEdit;
    m_edit->setObjectName(QStringLiteral("edtCurValue"));
    m_edit->setMinimumWidth(260);
    m_label->setBuddy(m_edit);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_edit);
    layout->addLayout(okCancelButtons(this));
    setFixedSize(sizeHint());
}

QString TDLGeditCurList::askPictureName(QWidget *parent, const QString &prompt,
                                        const QString &defaultText, const Check &check)
{
    TDLGeditCurList dialog(parent);
    dialog.setWindowTitle(QStringLiteral("提示 "));
    dialog.m_label->setText(prompt);
    dialog.m_check = check;
    return dialog.run(defaultText);
}

QString TDLGeditCurList::askColumnValue(QWidget *parent, const QString &defaultText)
{
    TDLGeditCurList dialog(parent);
    return dialog.run(defaultText);
}

QString TDLGeditCurList::run(const QString &defaultText)
{
    m_edit->setText(defaultText);
    m_edit->selectAll();
    m_edit->setFocus();
    PlaceForm(this, 1);
    return exec() == QDialog::Accepted ? m_edit->text() : QString();
}

void TDLGeditCurList::accept()
{
    const QString text = m_edit->text().trimmed();
    QString refusal = text.isEmpty() ? QStringLiteral("当前输入不能为空！") : QString();
    if (refusal.isEmpty() && m_check)
        refusal = m_check(text);
    if (!refusal.isEmpty()) {
        ShowPrompt(refusal, Prompt::Information);
        m_edit->setFocus();
        return;
    }
    QDialog::accept();
}
