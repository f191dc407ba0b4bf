// Jumps to the middle of a register's whole list, as dragging the scroll bar half way does,
// with the list sorted by its key and by column titles (an indexed column, its reverse, a
// column with many ties, one without an index): the time the window's thread takes to show
// rows (by guessed order values) and the time until they are the rows at their exact place,
// against the sqlite3 tool reading the same page by offset. Best of three; every run checks
// the rows it lands on against the plain ordered statement.
//
//   quorin_jump_bench HOME   (a home holding a SQLite register, e.g. of 1 000 000 records)

#include "BenchTools.h"
#include "core/AppHome.h"
#include "core/DataDm.h"
#include "core/SqlListModel.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorin_jump_bench HOME\n");
        return 2;
    }
    const QString home = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    AppHome::set(home);
    TdmData dm(AppHome::path(QStringLiteral("config.ini")));
    if (!BenchTools::openHomeDatabase(dm))
        return 1;
    const QString file = home + QStringLiteral("/data/RevaZez.db");
    const char *const orders[] = {"", "order by F_goodCode", "order by F_goodCode desc",
                                  "order by F_pinPai", "order by F_goodName"};
    std::printf("\njump to the middle of the whole list (best of 3; load %s)\n",
                qPrintable(BenchTools::loadAverage()));
    std::printf("%-28s %8s %10s %10s %10s\n", "sorted", "rows", "window ms", "placed ms",
                "sqlite3 ms");
    for (const char *order : orders) {
        const QString orderBy = QString::fromLatin1(order);
        double window = -1;
        double placed = -1;
        int rows = 0;
        bool right = true;
        for (int run = 0; run < 3; ++run) {
            SqlListModel model;
            model.setCountInBackground(dm.source());
            if (!model.setQuery(dm.database(), QStringLiteral("select * from GoodMain"), {},
                                orderBy)) {
                std::fprintf(stderr, "%s\n", qPrintable(model.lastError()));
                return 1;
            }
            BenchTools::waitFor([&model] { return model.isRowCountKnown(); });
            rows = model.rowCount();
            const int middle = rows / 2;
            QElapsedTimer timer;
            timer.start();
            for (int row = middle; row < middle + 40; ++row)
                model.value(row, 0);
            const double shown = timer.nsecsElapsed() / 1e6;
            BenchTools::waitFor([&model] { return !model.hasGuessedRows(); });
            const qint64 key = model.value(middle, QStringLiteral("F_ID")).toLongLong();
            const double exact = timer.nsecsElapsed() / 1e6;
            window = window < 0 ? shown : std::min(window, shown);
            placed = placed < 0 ? exact : std::min(placed, exact);
            QSqlQuery q(dm.database());
            q.exec(QStringLiteral("select F_ID from GoodMain %1%2 F_ID limit 1 offset %3")
                       .arg(orderBy,
                            orderBy.isEmpty() ? QStringLiteral("order by") : QStringLiteral(","))
                       .arg(middle));
            right = right && q.next() && q.value(0).toLongLong() == key;
        }
        const double tool = BenchTools::sqliteToolMs(
            file,
            QStringLiteral("select * from GoodMain %1%2 F_ID limit 200 offset %3")
                .arg(orderBy, orderBy.isEmpty() ? QStringLiteral("order by") : QStringLiteral(","))
                .arg(rows / 2));
        std::printf("%-28s %8d %10.1f %10.1f %10.1f%s\n",
                    orderBy.isEmpty() ? "key (F_ID)" : order + 9, rows, window, placed, tool,
                    right ? "" : "   WRONG ROWS");
    }
    return 0;
}
