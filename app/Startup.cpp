#include "app/Startup.h"

#include "app/uFrmMain.h"
#include "app/uFrmSplash.h"
#include "core/AppHome.h"
#include "core/DataDm.h"
#include "core/MessageLog.h"
#include "input/SampleWorkbooks.h"
#include "maintenance/Backup.h"
#include "operators/uFrmOperLogin.h"
#include "widgets/MessageBoxPrompt.h"
#include "widgets/uDlgConnectDb.h"

#include <QApplication>
#include <QThread>
#include <memory>

namespace {

// Shows the connection's progress on the splash window; on failure takes the splash away so
// nothing covers the connect dialog, and brings a new one back if the user chose a database.
class SplashConnectionUi : public ConnectionUi
{
public:
    explicit SplashConnectionUi(std::unique_ptr<TfrmSplash> &splash) : m_splash(splash) {}

    void showStatus(const QString &text) override
    {
        if (m_splash)
            m_splash->setStatus(text);
    }

    std::optional<QString> recover(const QString &reason) override
    {
        m_splash.reset();
        TDlgConnectDb dialog(dmData->config().ds(), reason);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        m_splash = std::make_unique<TfrmSplash>();
        m_splash->show();
        m_splash->repaint();
        return dialog.ds();
    }

private:
    std::unique_ptr<TfrmSplash> &m_splash;
};

} // namespace

int runStartup()
{
    MessageBoxPrompt prompt;
    setPromptService(&prompt);

    auto splash = std::make_unique<TfrmSplash>();
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    AppHome::installShippedFiles();
    SampleWorkbooks::install(AppHome::dir());
    TdmData data(AppHome::path(QStringLiteral("config.ini")));
    dmData = &data;
    QObject::connect(&data.session(), &Session::changed, &data,
                     [&data] { MessageLog::setOperator(data.session().operatorName()); });
    SplashConnectionUi ui(splash);
    if (!data.DataModuleCreate(ui))
        return 0;
    Backup::removeStaleFiles(data);

    splash->setStatus(QStringLiteral("连接成功，正在登录 ....."));
    TFrmMain main;
    splash->setStatus(QStringLiteral("连接成功，正在登录 ..."));
    QThread::msleep(20);
    splash->setStatus(QStringLiteral("连接成功，正在登录 ....."));
    splash.reset();

    if (ShowLogin(LoginMode::StartUp, &main) != LoginResult::LoggedIn)
        return 0;
    main.show();
    return QApplication::exec();
}
