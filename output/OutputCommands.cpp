#include "output/OutputCommands.h"

#include "output/StatisticsWindow.h"
#include "output/uFrmReportGl.h"
#include "output/uFrmYanpinStatCX.h"
#include "register/SampleList.h"
#include "spreadsheet/ExportGridToExcel.h"
#include "widgets/CommandRegistry.h"
#include "widgets/MainHost.h"
#include "widgets/PlaceForm.h"

void installOutputCommands(CommandRegistry &commands, MainHost &host)
{
    // The commands live as long as the window behind `host`.
    MainHost *const h = &host;
    commands.handle(301, [h] { ExportGridToExcel(h->sampleGrid(), kSampleListExportTitle, true); });
    commands.handle(302, [h] {
        TFrmReportGl manager(h->samples(), h->hostWindow());
        PlaceForm(&manager, 0);
        manager.exec();
    });
    for (const MainReports::Info &report : MainReports::all()) {
        commands.handle(303 + report.kind, [h, kind = report.kind] {
            ShowMainReport(h->hostWindow(), h->samples(), kind);
        });
    }
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
