#include "operators/OperatorCommands.h"

#include "operators/uFrmModPass.h"
#include "operators/uFrmOperGl.h"
#include "operators/uFrmOperLogin.h"
#include "operators/uFrmUserInfo.h"
#include "widgets/CommandRegistry.h"
#include "widgets/MainHost.h"

void installOperatorCommands(CommandRegistry &commands, MainHost &host)
{
    // The commands live as long as the window behind `host`.
    MainHost *const h = &host;
    commands.handle(101, [h] { showUserInfo(h->hostWindow()); });
    commands.handle(102, [h] { showModPass(h->hostWindow()); });
    commands.handle(103, [h] { showOperGl(h->hostWindow()); });
    commands.addNamed(QStringLiteral("actChangeOper"), QStringLiteral("重新登录"),
                      "system-switch-user");
    commands.handle(QStringLiteral("actChangeOper"),
                    [h] { ShowLogin(LoginMode::ChangeOperator, h->hostWindow()); });
}
