#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

enum class LoginMode { StartUp = 0, ChangeOperator = 1 };
enum class LoginResult { LoggedIn, Cancelled, Terminate };

// The login window: an operator name and password, checked against the stored hash. At start-up
// a cancel or the fourth wrong password ends the program; when changing operator they leave the
// previous operator logged in.
class TfrmOperLogin : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmOperLogin(LoginMode mode, QWidget *parent = nullptr);

    LoginMode loginMode() const { return m_mode; }
    int FailCount() const { return m_failCount; }
    LoginResult result() const { return m_result; }

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void tryLogin();
    void applyLogin(const QString &name);
    void finish(LoginResult result);

    LoginMode m_mode;
    int m_failCount = 0;
    LoginResult m_result = LoginResult::Cancelled;
    bool m_closing = false;
    QComboBox *m_cbbOperName;
    QLineEdit *m_edtPassWord;
};

// Runs the login window modally (over `owner` when changing operator) and applies its outcome
// to the session.
LoginResult ShowLogin(LoginMode mode, QWidget *owner = nullptr);
