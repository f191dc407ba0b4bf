// Exports the main list of a register of demonstration records (the whole register, every
// column of the main list) with `quorin --export samples`, against a plain program that reads
// the same statement with SQLite's C interface and writes the same cells with libxlsxwriter in
// constant-memory mode (quorin_export_reference), in the same run: wall time (best of three)
// and peak resident memory of each. Then exports the same list from the main window and
// reports the longest pause of the window's event loop meanwhile.
//
//   quorin_export_bench HOME   (HOME holds data/RevaZez.db, filled with quorin --demo-data N)

#include "BenchTools.h"
#include "app/uFrmMain.h"
#include "core/AppHome.h"
#include "core/DataDm.h"
#include "core/SqlDialect.h"
#include "core/SqlListModel.h"
#include "output/ExportLists.h"
#include "spreadsheet/ExportGridToExcel.h"
#include "spreadsheet/SpreadsheetFormat.h"
#include "widgets/DateBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

BenchTools::ProgramRun best(const QStringList &arguments)
{
    BenchTools::ProgramRun fastest;
    for (int i = 0; i < 3; ++i) {
        const BenchTools::ProgramRun run = BenchTools::runProgram(arguments);
        if (run.ms < 0)
            return run;
        if (fastest.ms < 0 || run.ms < fastest.ms)
            fastest.ms = run.ms;
        fastest.peakMb = std::max(fastest.peakMb, run.peakMb);
    }
    return fastest;
}

// The statement's values as the reference takes them.
QString referenceValues(const QVariantList &values)
{
    QStringList texts;
    for (const QVariant &v : values) {
        const bool number = v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong;
        texts << (number ? QStringLiteral("i:") : QStringLiteral("t:")) + v.toString();
    }
    return texts.join(u';');
}

QString referenceColumns(const QList<GridColumn> &columns)
{
    QStringList specs;
    for (const GridColumn &c : columns) {
        const SpreadsheetFormat::Kind kind = SpreadsheetFormat::kindOf(c.displayFormat);
        const char *kindName = kind == SpreadsheetFormat::Kind::Text     ? "text"
                               : kind == SpreadsheetFormat::Kind::Number ? "number"
                                                                         : "date";
        specs << QStringList{c.field, c.caption, QString::number(c.width),
                             QString::fromLatin1(kindName),
                             SpreadsheetFormat::numberFormat(c.displayFormat)}
                     .join(u';');
    }
    return specs.join(u'|');
}

// The longest pause of the window's event loop while the main window exports its whole list.
double longestPauseMs(TFrmMain &main, double *exportMs)
{
    main.show();
    main.findChild<DateBox *>(QStringLiteral("dtpFromDate"))->setChecked(false);
    while (!main.listModel()->isCountKnown())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QElapsedTimer sinceTick;
    double longest = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.restart();
    });
    ticks.start(5);
    sinceTick.start();
    QElapsedTimer timer;
    timer.start();
    const QString file =
        ExportGridToExcel(main.grid(), QStringLiteral("benchmark"), /*visible=*/false);
    *exportMs = timer.nsecsElapsed() / 1e6;
    ticks.stop();
    QFile::remove(file);
    return file.isEmpty() ? -1 : longest;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorin_export_bench HOME\n");
        return 2;
    }
    const QString home = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    AppHome::set(home);
    TdmData dm(AppHome::path(QStringLiteral("config.ini")));
    QString error;
    if (!dm.open(QString(), &error)) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(home), qPrintable(error));
        return 1;
    }
    dmData = &dm;
    const std::optional<ListExport::Job> job =
        ExportLists::job(dm, QStringLiteral("samples"), &error);
    const int rows = dm.GetIntValue(QStringLiteral("select count(*) from GoodMain"));
    const QString ours = QDir(home).filePath(QStringLiteral("export-bench-quorin.xlsx"));
    const QString plain = QDir(home).filePath(QStringLiteral("export-bench-reference.xlsx"));

    const BenchTools::ProgramRun quorin =
        best({QStringLiteral(QUORIN_BINARY), QStringLiteral("--home"), home,
              QStringLiteral("--export"), QStringLiteral("samples"), ours});
    const BenchTools::ProgramRun reference = best(
        {QStringLiteral(QUORIN_EXPORT_REFERENCE), AppHome::path(QStringLiteral("data/RevaZez.db")),
         plain, job->query.pagedSql(), referenceValues(job->query.unlimitedValues(dm.dialect())),
         referenceColumns(job->columns)});
    if (quorin.ms < 0 || reference.ms < 0) {
        std::fprintf(stderr, "an export failed\n");
        return 1;
    }
    std::printf("%d records x %lld columns\n", rows, qlonglong(job->columns.size()));
    std::printf("%-28s %10s %10s %10s\n", "", "ms", "peak MB", "file MB");
    std::printf("%-28s %10.0f %10.0f %10.1f\n", "quorin --export samples", quorin.ms, quorin.peakMb,
                QFile(ours).size() / 1e6);
    std::printf("%-28s %10.0f %10.0f %10.1f\n", "plain C (reference)", reference.ms,
                reference.peakMb, QFile(plain).size() / 1e6);
    std::printf("ratio %.2f\n", quorin.ms / reference.ms);
    QFile::remove(ours);
    QFile::remove(plain);

    TFrmMain main;
    double exportMs = 0;
    const double pause = longestPauseMs(main, &exportMs);
    std::printf("from the main window: %.0f ms, longest pause of the window %.1f ms\n", exportMs,
                pause);
    return 0;
}
