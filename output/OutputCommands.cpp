#include "output/OutputCommands.h"

#include "output/ExportGridToExcel.h"
#include "output/StatisticsWindow.h"
#include "output/uFrmYanpinStatCX.h"
#include "register/SampleList.h"
#include "widgets/CommandRegistry.h"
#include "widgets/MainHost.h"

void installOutputCommands(CommandRegistry &commands, MainHost &host)
{
    // The commands live as long as the window behind `host`.
    MainHost *const h = &host;
    commands.handle(301, [h] { ExportGridToExcel(h->sampleGrid(), kSampleListExportTitle, true); });
    commands.handle(401, [h] { ShowStatisticsAnalysis(h->hostWindow()); });
    const struct
    {
        int id;
        const StatisticsDescription &(*description)();
    } lists[] = {{402, sampleRecordStatistics},
                 {403, catalogueStatistics},
                 {404, clientStatistics},
                 {405, supplierStatistics}};
    for (const auto &l : lists) {
        commands.handle(l.id, [h, description = l.description] {
            ShowStatistics(h->hostWindow(), description());
        });
    }
}
