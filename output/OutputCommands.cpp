#include "output/OutputCommands.h"

#include "output/SampleLabels.h"
#include "output/StatisticsWindow.h"
#include "output/uFrmReportGl.h"
#include "output/uFrmYanpinStatCX.h"
#include "register/SampleList.h"
#include "report/uFrmPrintLabels.h"
#include "spreadsheet/ExportGridToExcel.h"
#include "widgets/CommandRegistry.h"
#include "widgets/DBGridEh.h"
#include "widgets/MainHost.h"
#include "widgets/PlaceForm.h"

#include <QAction>

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
            showMainReport(h->hostWindow(), h->samples(), kind);
        });
    }
    const QString labels = QStringLiteral("actPrintLabels");
    QAction *labelsAction =
        commands.addNamed(labels, QStringLiteral("打印标签"), "view-barcode-qr");
    commands.handle(labels, [h] {
        QList<qint64> ids;
        for (int row : h->sampleGrid()->selectedRows())
            ids << h->samples().value(row, QStringLiteral("F_ID")).toLongLong();
        PrintLabels(h->hostWindow(), SampleLabels::kind(), *h->samples().model(), ids);
    });
    // Shown to whoever may print any of the main list's reports.
    CommandRegistry *const registry = &commands;
    const auto follow = [registry, labelsAction] {
        bool any = false;
        for (const MainReports::Info &report : MainReports::all())
            any = any || registry->action(303 + report.kind)->isVisible();
        labelsAction->setVisible(any);
    };
    for (const MainReports::Info &report : MainReports::all())
        QObject::connect(registry->action(303 + report.kind), &QAction::visibleChanged,
                         labelsAction, follow);
    commands.handle(401, [h] { showStatisticsAnalysis(h->hostWindow()); });
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
            showStatistics(h->hostWindow(), description());
        });
    }
}
