#include "operators/OperatorCommands.h"

#include "operators/uFrmOperLogin.h"
#include "widgets/CommandRegistry.h"
#include "widgets/MainHost.h"

void installOperatorCommands(CommandRegistry &commands, MainHost &host)
{
    commands.addNamed(QStringLiteral("actChangeOper"), QStringLiteral("重新登录"),
                      "system-switch-user");
    commands.handle(QStringLiteral("actChangeOper"),
                    [&host] { ShowLogin(LoginMode::ChangeOperator, host.hostWindow()); });
}
