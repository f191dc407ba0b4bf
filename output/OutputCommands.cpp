#include "output/OutputCommands.h"

#include "output/ExportGridToExcel.h"
#include "register/SampleList.h"
#include "widgets/CommandRegistry.h"
#include "widgets/MainHost.h"

void installOutputCommands(CommandRegistry &commands, MainHost &host)
{
    // The commands live as long as the window behind `host`.
    MainHost *const h = &host;
    commands.handle(301, [h] { ExportGridToExcel(h->sampleGrid(), kSampleListExportTitle, true); });
}
