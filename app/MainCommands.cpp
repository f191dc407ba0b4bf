#include "app/MainCommands.h"

#include "input/InputCommands.h"
#include "maintenance/MaintenanceCommands.h"
#include "masterdata/MasterDataCommands.h"
#include "operators/OperatorCommands.h"
#include "output/OutputCommands.h"
#include "register/HelpCommands.h"
#include "register/SampleCommands.h"

void installMainCommands(CommandRegistry &commands, MainHost &host)
{
    installOperatorCommands(commands, host);
    installMasterDataCommands(commands, host);
    installSampleCommands(commands, host);
    installOutputCommands(commands, host);
    installInputCommands(commands, host);
    installMaintenanceCommands(commands, host);
    installHelpCommands(commands, host);
}
