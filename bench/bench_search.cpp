// Times the sample register's searches on a database of demonstration records, against the
// sqlite3 command-line tool running the plain statement (a scan of the table, as a program
// without search indexes would run it) in the same run.
//
//   quorin_bench HOME   (HOME holds data/RevaZez.db, filled with quorin --demo-data N)

#include "BenchTools.h"
#include "app/uFrmMain.h"
#include "core/AppHome.h"
#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/SqlListModel.h"
#include "register/SampleList.h"
#include "register/SampleRecord.h"
#include "widgets/DBGridEh.h"
#include "widgets/DateBox.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTableView>
#include <algorithm>
#include <cstdio>

using namespace BenchTools;

namespace {

// The plain statement's conditions: the date bounds with `+` so that the tool scans the table
// rather than walking the date index for a range that holds every row.
const QString kPlainFrom = QStringLiteral(
    "from GoodMain where +F_editDate >= '1900-08-14' and +F_editDate <= '3000-08-14'");
const QString kPlainSums = QStringLiteral(
    "select count(*), sum(F_CGprice), sum(F_XSprice1), sum(F_XSprice2), sum(F_amount) ");

// Lets the window run for `ms`, as between two keystrokes of a typist.
void idle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorin_bench HOME\n");
        return 2;
    }
    QuietPrompt prompt;
    setPromptService(&prompt);
    AppHome::set(QString::fromLocal8Bit(argv[1]));

    QElapsedTimer startup;
    startup.start();
    TdmData dm(AppHome::path(QStringLiteral("config.ini")));
    if (!BenchTools::openHomeDatabase(dm))
        return 1;
    dmData = &dm;
    dm.setCurOperName(QStringLiteral("admin"));
    TFrmMain main;
    main.SetLimits();
    main.show();
    QApplication::processEvents();
    const double startupMs = startup.nsecsElapsed() / 1e6;
    const QString file = dm.source().sqliteFile;
    const int records = dm.GetIntValue(QStringLiteral("select count(*) from GoodMain"));
    SqlListModel *list = main.listModel();
    const auto settled = [list] { return !list->isPending() && list->isCountKnown(); };

    // The whole register: no date limits.
    main.findChild<DateBox *>(QStringLiteral("dtpFromDate"))->setChecked(false);
    main.findChild<DateBox *>(QStringLiteral("dtpToDate"))->setChecked(false);
    waitFor(settled);
    auto *field = main.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
    auto *value = main.findChild<QLineEdit *>(QStringLiteral("Edit1"));

    std::printf("\n%d records (%s); load: %s\n", records, qPrintable(file),
                qPrintable(loadAverage()));
    std::printf("%-26s %8s %7s %8s %8s %6s %8s %8s %6s %7s %6s\n", "search (typed)", "rows",
                "first", "count", "sqlite3", "ratio", "+sums", "sqlite3", "ratio", "pause", "idle");
    const struct
    {
        int field;
        const char *term;
        const char *column;
        const char *shape;
    } searches[] = {
        {1, "钢", "F_goodName", "%%%s%%"},     {1, "轴承", "F_goodName", "%%%s%%"},
        {1, "不存在", "F_goodName", "%%%s%%"}, {1, "深沟球轴承", "F_goodName", "%%%s%%"},
        {1, "无此", "F_goodName", "%%%s%%"},   {0, "YP00012", "F_goodCode", "%s%%"},
        {0, "YP", "F_goodCode", "%s%%"},       {0, "ZZ", "F_goodCode", "%s%%"},
    };
    struct CpuRow
    {
        QString search;
        double count, toolCount, sums, toolSums;
    };
    std::vector<CpuRow> cpuRows;
    for (const auto &s : searches) {
        field->setCurrentIndex(s.field);
        emit field->activated(s.field);
        std::vector<double> first;
        std::vector<double> counted;
        std::vector<double> summed;
        std::vector<double> countedCpu;
        std::vector<double> summedCpu;
        double pause = 0;
        double idlePause = 0;
        for (int i = 0; i < 3; ++i) {
            value->clear();
            waitFor(settled);
            // The longest pause of the window doing nothing as long: what the machine's load
            // alone gives.
            {
                LongestPause idling;
                idle(150 * int(QString::fromUtf8(s.term).size()) + 300);
                idlePause = std::max(idlePause, idling.ms());
            }
            LongestPause pauses;
            // Typed a character at a time, each keystroke asking for a new list, as a typist
            // does (a keystroke every 150 ms).
            const QString term = QString::fromUtf8(s.term);
            for (int c = 0; c + 1 < term.size(); ++c) {
                value->insert(term.mid(c, 1));
                idle(150);
            }
            QElapsedTimer keystroke;
            keystroke.start();
            const double cpu = processCpuMs();
            value->insert(term.right(1));
            waitFor([list] { return !list->isPending(); });
            main.grid()->view()->repaint();
            first.push_back(keystroke.nsecsElapsed() / 1e6);
            waitFor([list] { return list->isRowCountKnown(); });
            counted.push_back(keystroke.nsecsElapsed() / 1e6);
            countedCpu.push_back(processCpuMs() - cpu);
            waitFor(settled);
            summed.push_back(keystroke.nsecsElapsed() / 1e6);
            summedCpu.push_back(processCpuMs() - cpu);
            pause = std::max(pause, pauses.ms());
        }
        const QString where = QStringLiteral(" and +%1 like '%2'")
                                  .arg(QLatin1String(s.column), QString::asprintf(s.shape, s.term));
        const double toolCount =
            sqliteToolMs(file, QStringLiteral("select count(*) ") + kPlainFrom + where);
        const double toolSums = sqliteToolMs(file, kPlainSums + kPlainFrom + where);
        cpuRows.push_back(
            {QStringLiteral("%1 %2").arg(QLatin1String(s.column),
                                         QString::asprintf(s.shape, s.term)),
             median(countedCpu),
             sqliteToolCpuMs(file, QStringLiteral("select count(*) ") + kPlainFrom + where),
             median(summedCpu), sqliteToolCpuMs(file, kPlainSums + kPlainFrom + where)});
        const double count = median(counted);
        const double sums = median(summed);
        std::printf("%-26s %8d %7.1f %8.1f %8.1f %6.2f %8.1f %8.1f %6.2f %7.1f %6.1f\n",
                    qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(s.column),
                                                           QString::asprintf(s.shape, s.term))),
                    list->rowCount(), median(first), count, toolCount,
                    toolCount > 0 ? count / toolCount : 0.0, sums, toolSums,
                    toolSums > 0 ? sums / toolSums : 0.0, pause, idlePause);
    }

    std::printf("\nthe same searches in processor time (user + system ms; ours: the whole process "
                "from the last keystroke)\n%-26s %8s %8s %6s %8s %8s %6s\n",
                "search (typed)", "count", "sqlite3", "ratio", "+sums", "sqlite3", "ratio");
    for (const CpuRow &r : cpuRows)
        std::printf("%-26s %8.1f %8.1f %6.2f %8.1f %8.1f %6.2f\n", qPrintable(r.search), r.count,
                    r.toolCount, r.toolCount > 0 ? r.count / r.toolCount : 0.0, r.sums, r.toolSums,
                    r.toolSums > 0 ? r.sums / r.toolSums : 0.0);
    std::printf("\n");

    value->clear();
    field->setCurrentIndex(-1);
    QElapsedTimer all;
    all.start();
    main.RunListQuery();
    const double allFirst = all.nsecsElapsed() / 1e6;
    waitFor([list] { return list->isRowCountKnown(); });
    const double allCount = all.nsecsElapsed() / 1e6;
    waitFor(settled);
    const double allSums = all.nsecsElapsed() / 1e6;
    const double allTool = sqliteToolMs(file, QStringLiteral("select count(*) ") + kPlainFrom);
    const double allToolSums = sqliteToolMs(file, kPlainSums + kPlainFrom);
    const int rows = list->rowCount();
    std::printf("%-26s %8d %7.1f %8.1f %8.1f %6.2f %8.1f %8.1f %6.2f\n", "whole register", rows,
                allFirst, allCount, allTool, allTool > 0 ? allCount / allTool : 0.0, allSums,
                allToolSums, allToolSums > 0 ? allSums / allToolSums : 0.0);

    // Jumps as Ctrl+End and a drag of the scroll bar make them, from the top each time.
    QTableView *view = main.grid()->view();
    std::vector<double> placed;
    const auto jump = [&](int row) {
        std::vector<double> times;
        placed.clear();
        for (int i = 0; i < 3; ++i) {
            main.RunListQuery();
            waitFor(settled);
            QElapsedTimer timer;
            timer.start();
            view->scrollTo(view->model()->index(row, 0));
            view->repaint();
            times.push_back(timer.nsecsElapsed() / 1e6);
            // A far jump shows rows by a guessed key; the exact place follows.
            waitFor([&main] { return !main.listModel()->hasGuessedRows(); });
            view->repaint();
            placed.push_back(timer.nsecsElapsed() / 1e6);
        }
        return median(times);
    };
    const double lastMs = jump(rows - 1);
    const double lastTool = sqliteToolMs(
        file, QStringLiteral("select * %1 limit 200 offset %2").arg(kPlainFrom).arg(rows - 200));
    const double middleMs = jump(rows / 2);
    const double middleTool = sqliteToolMs(
        file, QStringLiteral("select * %1 limit 200 offset %2").arg(kPlainFrom).arg(rows / 2));
    std::printf("%-26s %8d %7.1f %8s %8.1f   (the tool: offset %d)\n", "jump to the last page",
                rows, lastMs, "", lastTool, rows - 200);
    std::printf("%-26s %8d %7.1f %8s %8.1f   (the tool: offset %d)\n", "jump to the middle", rows,
                middleMs, "", middleTool, rows / 2);
    std::printf("%-26s %8d %7.1f\n", "  rows at their exact place", rows, median(placed));
    // Scroll through the list end to end, as a user dragging the scroll bar would.
    for (int step = 0; step <= 20; ++step) {
        view->scrollTo(view->model()->index(rows * step / 20 - (step == 20 ? 1 : 0), 0));
        view->repaint();
    }

    // After a save the list is read again and moves to the new record, which the list shows
    // last: the worst case for finding it by reading.
    QString saveError;
    QVariantMap values;
    for (const QString &column : SampleRecord::columns())
        values.insert(column, QString());
    values.insert(QStringLiteral("F_editDate"), QDate::currentDate());
    const std::optional<qint64> saved = SampleRecord::save(dm, 0, values, &saveError);
    if (saved) {
        std::vector<double> times;
        int foundRow = -1;
        QObject::connect(list, &SqlListModel::located, [&foundRow](int row) { foundRow = row; });
        for (int i = 0; i < 3; ++i) {
            waitFor(settled);
            foundRow = -1;
            QElapsedTimer found;
            found.start();
            main.samples().showSaved(*saved);
            waitFor([&foundRow] { return foundRow >= 0; });
            times.push_back(found.nsecsElapsed() / 1e6);
        }
        const double foundMs = median(times);
        std::printf("%-26s %8d %7s %8.1f %8.1f %6.2f\n", "saved record found again", foundRow, "",
                    foundMs, allTool, allTool > 0 ? foundMs / allTool : 0.0);
        SampleRecord::removeGroup(dm, *saved, *saved, &saveError);
    }
    std::printf("start-up to a usable main window: %.0f ms\n", startupMs);
    std::printf("resident memory with the whole register listed and scrolled: %.0f MB\n",
                residentKb() / 1024.0);
    return 0;
}
