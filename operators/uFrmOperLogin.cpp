#include "operators/uFrmOperLogin.h"

#include "core/DataDm.h"
#include "core/PassHash.h"
#include "core/Prompt.h"
#include "operators/PasswordBox.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The banner across the top of the window.
class LoginBanner : public QWidget
{
public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return {380, 64}; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QLinearGradient g(0, 0, width(), 0);
        g.setColorAt(0, QColor(0x1f, 0x4e, 0x79));
        g.setColorAt(1, QColor(0x3a, 0x7c, 0xb8));
        p.fillRect(rect(), g);
        p.setPen(Qt::white);
        QFont f = font();
        f.setPointSize(15);
        f.setBold(true);
        p.setFont(f);
        p.drawText(rect().adjusted(16, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   QStringLiteral("Quorin样品管理软件  操作员登录"));
    }
};

} // namespace

TfrmOperLogin::TfrmOperLogin(LoginMode mode, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_mode(mode)
{
    setObjectName(QStringLiteral("frmOperLogin"));
    setWindowTitle(QStringLiteral("登录窗口"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 12);
    layout->addWidget(new LoginBanner(this));

    auto *body = new QVBoxLayout;
    body->setContentsMargins(16, 8, 16, 0);
    auto *prompt = new QLabel(QStringLiteral("请输入正确的操作员编号及密码，系统管理员“admin”，"
                                             "系统初始密码为空："));
    prompt->setObjectName(QStringLiteral("lblPrompt"));
    prompt->setWordWrap(true);
    body->addWidget(prompt);

    auto *form = new QFormLayout;
    m_cbbOperName = new QComboBox;
    m_cbbOperName->setObjectName(QStringLiteral("cbbOperName"));
    m_cbbOperName->setEditable(true);
    m_cbbOperName->setInsertPolicy(QComboBox::NoInsert);
    m_edtPassWord = passwordBox("edtPassWord");
    form->addRow(QStringLiteral("姓  名："), m_cbbOperName);
    form->addRow(QStringLiteral("密  码："), m_edtPassWord);
    body->addLayout(form);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *ok = new QPushButton(QStringLiteral("确定"));
    ok->setObjectName(QStringLiteral("btnOK"));
    auto *cancel = new QPushButton(QStringLiteral("取消"));
    cancel->setObjectName(QStringLiteral("btnCancel"));
    // Enter moves between boxes; only a focused button is pressed by it.
    ok->setAutoDefault(false);
    cancel->setAutoDefault(false);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    body->addLayout(buttons);
    layout->addLayout(body);
    connect(ok, &QPushButton::clicked, this, &TfrmOperLogin::tryLogin);
    connect(cancel, &QPushButton::clicked, this, &TfrmOperLogin::reject);

    m_cbbOperName->addItems(
        dmData->FillCombo(QStringLiteral("select F_name from OperList where F_name <> '' "
                                         "order by F_ID")));
    m_cbbOperName->setEditText(dmData->config().curOperName());
    setFixedSize(sizeHint().expandedTo(QSize(400, 0)));
    if (!m_cbbOperName->currentText().isEmpty())
        m_edtPassWord->setFocus();
}

void TfrmOperLogin::tryLogin()
{
    const QString name = m_cbbOperName->currentText().trimmed();
    if (name.isEmpty()) {
        ShowPrompt(QStringLiteral("请选择用户！"), Prompt::Information);
        m_cbbOperName->setFocus();
        return;
    }
    // Operators log in without regard to the case of their names.
    const QVariantList byName{name};
    if (dmData->GetIntValue(
            QStringLiteral("select F_ID from OperList where lower(F_name) = lower(?)"), byName) <=
        0) {
        ShowPrompt(QStringLiteral("此操作员并不存在，请重新选择操作员！"), Prompt::Information);
        m_cbbOperName->setFocus();
        return;
    }
    const QString stored = dmData->GetStrValue(
        QStringLiteral("select F_PassWord from OperList where lower(F_name) = lower(?)"), byName);
    if (PassHash::verify(stored, m_edtPassWord->text())) {
        applyLogin(name);
        finish(LoginResult::LoggedIn);
        return;
    }
    ++m_failCount;
    if (m_failCount < 4) {
        ShowPrompt(QStringLiteral("用户名或密码不正确，请重新输入！"), Prompt::Information);
        m_edtPassWord->selectAll();
        m_edtPassWord->setFocus();
        return;
    }
    if (m_mode == LoginMode::ChangeOperator) {
        dmData->WriteLog(QStringLiteral("更换操作员失败！"));
        ShowPrompt(QStringLiteral("更换操作员失败!"), Prompt::Error);
        finish(LoginResult::Cancelled);
    } else {
        dmData->WriteLog(QStringLiteral("登录失败！"));
        ShowPrompt(QStringLiteral("非法操作员!"), Prompt::Error);
        finish(LoginResult::Terminate);
    }
}

void TfrmOperLogin::applyLogin(const QString &name)
{
    dmData->config().setCurOperName(name);
    // The session tells the main window: rights, status bar.
    dmData->session().logIn(m_cbbOperName->currentText(), dmData->rightsOf(name));
}

void TfrmOperLogin::finish(LoginResult result)
{
    m_result = result;
    m_closing = true;
    if (result == LoginResult::LoggedIn)
        QDialog::accept();
    else
        QDialog::reject();
}

void TfrmOperLogin::reject()
{
    finish(m_mode == LoginMode::StartUp ? LoginResult::Terminate : LoginResult::Cancelled);
}

void TfrmOperLogin::keyPressEvent(QKeyEvent *event)
{
    // The window closes only through its buttons.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier) {
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()))
            button->click();
        else
            focusNextChild();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmOperLogin::closeEvent(QCloseEvent *event)
{
    // The window closes only through its buttons (Alt+F4 and the close box do nothing).
    if (m_closing)
        event->accept();
    else
        event->ignore();
}

LoginResult ShowLogin(LoginMode mode, QWidget *owner)
{
    TfrmOperLogin login(mode, mode == LoginMode::ChangeOperator ? owner : nullptr);
    login.exec();
    return login.result();
}
