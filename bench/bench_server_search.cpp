// Times the sample register's searches on a PostgreSQL server holding the demonstration records
// of a SQLite database, against psql running the same plain statement in the same run; and
// the longest pause of the main window's event loop while a search is typed.
//
//   quorin_server_bench HOME URL
//   HOME holds data/RevaZez.db, filled with quorin --demo-data N; URL names a database on the
//   server, loaded from HOME (by the program's own backup and restore) when it holds another
//   number of records.

#include "BenchTools.h"
#include "app/uFrmMain.h"
#include "core/AppHome.h"
#include "core/DataDm.h"
#include "core/SqlListModel.h"
#include "widgets/DBGridEh.h"
#include "widgets/DateBox.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTableView>
#include <cstdio>

using namespace BenchTools;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: quorin_server_bench HOME URL\n");
        return 2;
    }
    QuietPrompt prompt;
    setPromptService(&prompt);
    const QString home = QString::fromLocal8Bit(argv[1]);
    const QString url = QString::fromLocal8Bit(argv[2]);
    const QString work = QDir(home).filePath(QStringLiteral("server-bench"));
    QDir().mkpath(work);
    AppHome::set(work);
    const int records = sqliteRecords(QDir(home).filePath(QStringLiteral("data/RevaZez.db")));
    QString error;
    {
        TdmData loader(QDir(work).filePath(QStringLiteral("config.ini")));
        if (records < 0 || !loader.open(url, &error) ||
            !loadServer(loader, home, url, records, &error)) {
            std::fprintf(stderr, "cannot load the server: %s\n", qPrintable(error));
            return 1;
        }
    }
    TdmData dm(QDir(work).filePath(QStringLiteral("config.ini")));
    if (!dm.open(url, &error)) {
        std::fprintf(stderr, "cannot open: %s\n", qPrintable(error));
        return 1;
    }
    dmData = &dm;
    dm.setCurOperName(QStringLiteral("admin"));
    TFrmMain main;
    main.SetLimits();
    main.show();
    main.findChild<DateBox *>(QStringLiteral("dtpFromDate"))->setChecked(false);
    main.findChild<DateBox *>(QStringLiteral("dtpToDate"))->setChecked(false);
    auto *field = main.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
    auto *value = main.findChild<QLineEdit *>(QStringLiteral("Edit1"));
    SqlListModel *list = main.listModel();
    const auto settled = [list] { return !list->isPending() && list->isCountKnown(); };
    waitFor(settled);

    std::printf("\n%d records on %s (trigram indexes: %s)\n", records, qPrintable(url),
                dm.dialect().hasTrigramIndexes() ? "yes" : "no");
    std::printf("load: %s\n", qPrintable(loadAverage()));
    std::printf("%-30s %8s %7s %7s %7s %7s %6s %7s %7s %6s %7s\n", "search", "rows", "first",
                "psql", "count", "psql", "ratio", "+sums", "psql", "ratio", "pause");
    const struct
    {
        int field;
        const char *term;
        const char *column;
        const char *shape;
    } searches[] = {
        {1, "钢", "F_goodName", "%%%s%%"},     {1, "轴承", "F_goodName", "%%%s%%"},
        {1, "不存在", "F_goodName", "%%%s%%"}, {1, "深沟球轴承", "F_goodName", "%%%s%%"},
        {1, "无此", "F_goodName", "%%%s%%"},   {2, "X1", "F_spec", "%%%s%%"},
        {7, "模具", "F_CGsuppler", "%%%s%%"},  {0, "YP00012", "F_goodCode", "%s%%"},
        {0, "yp", "F_goodCode", "%s%%"},       {0, "ZZ", "F_goodCode", "%s%%"},
    };
    const QString dates = QStringLiteral(
        "from GoodMain where F_editDate >= '1900-08-14' and F_editDate <= '3000-08-14'");
    for (const auto &s : searches) {
        field->setCurrentIndex(s.field);
        emit field->activated(s.field);
        std::vector<double> first;
        std::vector<double> counted;
        std::vector<double> summed;
        double pause = 0;
        for (int i = 0; i < 3; ++i) {
            value->clear();
            waitFor(settled);
            LongestPause pauses;
            // Typed a character at a time, each keystroke asking for a new list.
            const QString term = QString::fromUtf8(s.term);
            for (int c = 0; c + 1 < term.size(); ++c) {
                value->insert(term.mid(c, 1));
                QApplication::processEvents();
            }
            QElapsedTimer keystroke;
            keystroke.start();
            value->insert(term.right(1));
            waitFor([list] { return !list->isPending(); });
            main.grid()->view()->repaint();
            first.push_back(keystroke.nsecsElapsed() / 1e6);
            waitFor([list] { return list->isRowCountKnown(); });
            counted.push_back(keystroke.nsecsElapsed() / 1e6);
            waitFor(settled);
            summed.push_back(keystroke.nsecsElapsed() / 1e6);
            pause = std::max(pause, pauses.ms());
        }
        // The plain statements the list ran before the server had search indexes.
        const QString where = QStringLiteral(" and %1 ilike '%2' escape '!'")
                                  .arg(QLatin1String(s.column), QString::asprintf(s.shape, s.term));
        const double psqlFirst = psqlMs(url, QStringLiteral("select * ") + dates + where +
                                                 QStringLiteral(" order by F_ID limit 200"));
        const double psqlCount = psqlMs(url, QStringLiteral("select count(*) ") + dates + where);
        const double psqlSums =
            psqlMs(url, QStringLiteral("select count(*), sum(F_CGprice), sum(F_XSprice1), "
                                       "sum(F_XSprice2), sum(F_amount) ") +
                            dates + where);
        const double count = median(counted);
        const double sums = median(summed);
        std::printf("%-30s %8d %7.1f %7.1f %7.1f %7.1f %6.2f %7.1f %7.1f %6.2f %7.1f\n",
                    qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(s.column),
                                                           QString::asprintf(s.shape, s.term))),
                    list->rowCount(), median(first), psqlFirst, count, psqlCount,
                    psqlCount > 0 ? count / psqlCount : 0.0, sums, psqlSums,
                    psqlSums > 0 ? sums / psqlSums : 0.0, pause);
    }

    value->clear();
    field->setCurrentIndex(-1);
    waitFor(settled);
    const int rows = list->rowCount();
    QTableView *view = main.grid()->view();
    const auto timeScroll = [&](int row) {
        QElapsedTimer timer;
        timer.start();
        view->scrollTo(view->model()->index(row, 0));
        view->repaint();
        return timer.nsecsElapsed() / 1e6;
    };
    const double lastMs = timeScroll(rows - 1);
    const double lastPsql =
        psqlMs(url, QStringLiteral("select * ") + dates +
                        QStringLiteral(" order by F_ID limit 200 offset %1").arg(rows - 200));
    const double backMs = timeScroll(rows - 2000);
    QElapsedTimer placing;
    placing.start();
    const double middleMs = timeScroll(rows / 2);
    waitFor([list] { return !list->hasGuessedRows(); });
    view->repaint();
    const double placedMs = placing.nsecsElapsed() / 1e6;
    const double middlePsql =
        psqlMs(url, QStringLiteral("select * ") + dates +
                        QStringLiteral(" order by F_ID limit 200 offset %1").arg(rows / 2));
    std::printf("%-30s %8d %9.1f %9.1f   (offset %d)\n", "whole register, last page", rows, lastMs,
                lastPsql, rows - 200);
    std::printf("%-30s %8d %9.1f\n", "then 2 000 rows back up", rows, backMs);
    std::printf("%-30s %8d %9.1f %9.1f   (offset %d)\n", "jump to the middle", rows, middleMs,
                middlePsql, rows / 2);
    std::printf("%-30s %8d %9.1f\n", "  rows at their exact place", rows, placedMs);
    return 0;
}
