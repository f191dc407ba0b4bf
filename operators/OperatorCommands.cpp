#include "operators/OperatorCommands.h"

#include "operators/uFrmOperLogin.h"
#include "widgets/CommandRegistry.h"
#include "widgets/MainHost.h"

void installOperatorCommands(CommandRegistry &commands, MainHost &host)
{
    // The commands live as long as the window behind `host`.
    MainHost *const h = &host;
    commands.addNamed(QStringLiteral("actChangeOper"), QStringLiteral("重新登录"),
                      "system-switch-user");
    commands.handle(QStringLiteral("actChangeOper"),
                    [h] { ShowLogin(LoginMode::ChangeOperator, h->hostWindow()); });
}
