#include "operators/uFrmModPass.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "operators/OperatorStore.h"
#include "operators/PasswordBox.h"
#include "widgets/DialogButtons.h"
#include "widgets/EditorKeys.h"
#include "widgets/PlaceForm.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmModPass::TfrmModPass(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmModPass"));
    setWindowTitle(QStringLiteral("更改密码"));

    auto *banner = new QLabel(QStringLiteral("更改登录密码"));
    banner->setObjectName(QStringLiteral("lblBanner"));
    QFont bannerFont = banner->font();
    bannerFont.setPointSize(bannerFont.pointSize() + 4);
    bannerFont.setBold(true);
    banner->setFont(bannerFont);
    auto *operatorLine = new QLabel(QStringLiteral("当前操作员：") + dmData->CurOperName() + u' ');
    operatorLine->setObjectName(QStringLiteral("lblOperator"));

    edtOldPass = passwordBox("edtOldPass");
    edtNewPass = passwordBox("edtNewPass");
    edtAdjustPass = passwordBox("edtAdjustPass");
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("旧密码："), edtOldPass);
    form->addRow(QStringLiteral("新密码："), edtNewPass);
    form->addRow(QStringLiteral("再输一遍："), edtAdjustPass);

    QPushButton *ok = windowButton("btnOK", "确定(&O)");
    QPushButton *cancel = windowButton("btnCancel", "取消(&C)");
    connect(ok, &QPushButton::clicked, this, &TfrmModPass::changePassword);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(banner);
    layout->addWidget(operatorLine);
    layout->addLayout(form);
    layout->addLayout(buttonRow({}, {ok, cancel}));
    new EditorKeys(this, ok, cancel);
    setFixedSize(sizeHint().expandedTo(QSize(340, 0)));
    edtOldPass->setFocus();
}

void TfrmModPass::changePassword()
{
    QString error;
    switch (OperatorStore::changePassword(*dmData, dmData->CurOperName(), edtOldPass->text(),
                                          edtNewPass->text(), edtAdjustPass->text(), &error)) {
    case OperatorStore::PasswordChange::Changed:
        ShowPrompt(QStringLiteral("更改口令成功！"), Prompt::Information);
        break;
    case OperatorStore::PasswordChange::WrongOldPassword:
        ShowPrompt(QStringLiteral("旧口令输入错误，不能更改！"), Prompt::Warning);
        break;
    case OperatorStore::PasswordChange::NewPasswordsDiffer:
        ShowPrompt(QStringLiteral("新口令错误，不能更改！"), Prompt::Information);
        edtNewPass->clear();
        edtAdjustPass->clear();
        break;
    case OperatorStore::PasswordChange::NoOperator:
        break;
    case OperatorStore::PasswordChange::Failed:
        // What was typed stays for another try.
        dmData->showFailure(QStringLiteral("保存失败，请检测数据库连接！"), error);
        return;
    }
    accept();
}

void showModPass(QWidget *owner)
{
    TfrmModPass window(owner);
    PlaceForm(&window, 0);
    window.exec();
}
