#include "operators/OperatorCommands.h"

#include "operators/uFrmOperLogin.h"
#include "widgets/CommandRegistry.h"
#include "widgets/MainHost.h"

void installOperatorCommands(CommandRegistry &commands, MainHost &host)
{
    commands.handle(QStringLiteral("actChangeOper"),
                    [&host] { ShowLogin(LoginMode::ChangeOperator, host.hostWindow()); });
}
