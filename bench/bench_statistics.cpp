// Times the sample-record statistics list and every shipped analysis on a database of
// demonstration records, against the sqlite3 command-line tool running the same plain
// statement in the same run.
//
//   quorin_statistics_bench HOME   (HOME holds data/RevaZez.db, filled with quorin --demo-data N)

#include "BenchTools.h"
#include "core/AppHome.h"
#include "core/DataDm.h"
#include "core/ListQuery.h"
#include "core/Money.h"
#include "core/Prompt.h"
#include "core/SqlListModel.h"
#include "output/StatisticsAnalysis.h"
#include "output/StatisticsWindow.h"
#include "output/uFrmYanpinStatCX.h"
#include "widgets/DBGridEh.h"
#include "widgets/DateBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTableView>
#include <algorithm>
#include <cstdio>

namespace {

void printRow(const QString &what, double ours, double tool)
{
    std::printf("%-46s %10.1f %10.1f %7.2f\n", qPrintable(what), ours, tool,
                tool > 0 ? ours / tool : 0.0);
}

} // namespace

using namespace BenchTools;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorin_statistics_bench HOME\n");
        return 2;
    }
    QuietPrompt prompt;
    setPromptService(&prompt);
    AppHome::set(QString::fromLocal8Bit(argv[1]));
    TdmData dm(AppHome::path(QStringLiteral("config.ini")));
    if (!BenchTools::openHomeDatabase(dm))
        return 1;
    dmData = &dm;
    const QString file = dm.source().sqliteFile;
    const int records = dm.GetIntValue(QStringLiteral("select count(*) from GoodMain"));
    std::printf("\n%d records (%s)\n", records, qPrintable(file));
    std::printf("%-46s %10s %10s %7s\n", "statistics list", "ms", "sqlite3 ms", "ratio");

    StatisticsWindow window(sampleRecordStatistics());
    window.show();
    QApplication::processEvents();
    auto *from = window.findChild<DateBox *>(QStringLiteral("dtpFromDate"));
    auto *to = window.findChild<DateBox *>(QStringLiteral("dtpToDate"));
    auto *name = window.findChild<QLineEdit *>(QStringLiteral("edtGoodName"));
    const QDate today = QDate::currentDate();
    const struct
    {
        const char *what;
        bool allDates;
        const char *name;
    } queries[] = {{"this month (as the window opens)", false, ""},
                   {"every date", true, ""},
                   {"every date, name contains 轴承", true, "轴承"},
                   {"every date, name contains 不存在", true, "不存在"}};
    for (const auto &q : queries) {
        from->setChecked(!q.allDates);
        to->setChecked(!q.allDates);
        from->setDate(QDate(today.year(), today.month(), 1));
        to->setDate(today);
        name->setText(QString::fromUtf8(q.name));
        std::vector<double> first;
        std::vector<double> counted;
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer timer;
            timer.start();
            window.query();
            window.grid()->view()->repaint();
            first.push_back(timer.nsecsElapsed() / 1e6);
            while (!window.list()->isCountKnown())
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            counted.push_back(timer.nsecsElapsed() / 1e6);
        }
        // The tool runs the statement as the list does, dates and order included; a name is
        // matched by a plain like, since the tool lacks the program's search index.
        QString where =
            q.allDates
                ? QStringLiteral("likelihood(F_editDate >= '1900-08-14', 1.0) and "
                                 "likelihood(F_editDate <= '3000-08-14', 1.0)")
                : QStringLiteral("F_editDate >= '%1' and F_editDate <= '%2'")
                      .arg(from->date().toString(Qt::ISODate), to->date().toString(Qt::ISODate));
        if (*q.name)
            where += QStringLiteral(" and F_goodName like '%%1%'").arg(QString::fromUtf8(q.name));
        const double firstTool = sqliteToolMs(
            file, QStringLiteral("select * from GoodMain where %1 order by F_editDate, F_ID "
                                 "limit 200")
                      .arg(where));
        // The prices are summed in 人民币, as the footer sums them.
        ListQuery listed;
        listed.select = QStringLiteral("select * from GoodMain where ") + where;
        QList<SumColumn> sums;
        for (const QString &price : Money::priceColumns())
            sums << SumColumn{price, Money::currencyColumnOf(price)};
        const double sumsTool = sqliteToolMs(file, listed.aggregateSql(sums));
        const QString label =
            QString::fromUtf8(q.what) + QStringLiteral(" (%1 rows)").arg(window.list()->rowCount());
        printRow(label + QStringLiteral(": first rows"), median(first), firstTool);
        printRow(label + QStringLiteral(": count and sums"), median(counted), sumsTool);
    }

    std::printf("\n%-46s %10s %10s %7s\n", "analysis (time to chart)", "ms", "sqlite3 ms", "ratio");
    TfrmYanpinStatCX analysis;
    analysis.show();
    QApplication::processEvents();
    QSqlQuery stored(dm.database());
    stored.exec(QStringLiteral("select F_name, F_SQLtext from cfg_stat order by F_ID"));
    while (stored.next()) {
        const QString analysisName = stored.value(0).toString();
        std::vector<double> times;
        for (int i = 0; i < 3; ++i) {
            QSignalSpy finished(&analysis, &TfrmYanpinStatCX::analysisFinished);
            QElapsedTimer timer;
            timer.start();
            analysis.showAnalysis(analysisName);
            finished.wait(600000);
            analysis.repaint();
            times.push_back(timer.nsecsElapsed() / 1e6);
        }
        const QString sql =
            StatisticsAnalysis::statementFor(analysisName, stored.value(1).toString());
        printRow(analysisName +
                     QStringLiteral(" (%1 groups)").arg(analysis.grid()->model()->rowCount()),
                 median(times), sqliteToolMs(file, sql));
    }
    return 0;
}
