// Jumps to the middle of a register's whole list, as dragging the scroll bar half way does,
// with the list sorted by its key and by column titles (an indexed column, its reverse, a
// column with many ties, one without an index): the time the window's thread takes to show
// rows (by guessed order values) and the time until they are the rows at their exact place,
// against the sqlite3 tool reading the same page by offset. Best of three; every run checks
// the rows it lands on against the plain ordered statement. With a server, the same on a
// database of its own there, filled once with as many generated records, against psql.
//
//   quorin_jump_bench HOME [SERVER_URL]   (HOME holding a SQLite register of 1 000 000 records)

#include "BenchTools.h"
#include "core/AppHome.h"
#include "core/Connection.h"
#include "core/DataDm.h"
#include "core/SqlListModel.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <cstdio>
#include <functional>

namespace {

const char *const kOrders[] = {"", "order by F_goodCode", "order by F_goodCode desc",
                               "order by F_pinPai", "order by F_goodName"};

QString plainOrder(const QString &orderBy)
{
    return orderBy.isEmpty() ? QStringLiteral("order by F_ID") : orderBy + QStringLiteral(", F_ID");
}

// The jumps on `dm`'s register; `reference` times the plain statement's page at `offset`.
void jumps(TdmData &dm, const QString &engine,
           const std::function<double(const QString &statement)> &reference)
{
    std::printf("\njump to the middle of the whole list, %s (best of 3; load %s)\n",
                qPrintable(engine), qPrintable(BenchTools::loadAverage()));
    std::printf("%-28s %8s %10s %10s %12s\n", "sorted", "rows", "window ms", "placed ms",
                "offset ms");
    for (const char *order : kOrders) {
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
                return;
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
            q.exec(QStringLiteral("select F_ID from GoodMain %1 limit 1 offset %2")
                       .arg(plainOrder(orderBy))
                       .arg(middle));
            right = right && q.next() && q.value(0).toLongLong() == key;
        }
        const double offset =
            reference(QStringLiteral("select * from GoodMain %1 limit 200 offset %2")
                          .arg(plainOrder(orderBy))
                          .arg(rows / 2));
        std::printf("%-28s %8d %10.1f %10.1f %12.1f%s\n",
                    orderBy.isEmpty() ? "key (F_ID)" : order + 9, rows, window, placed, offset,
                    right ? "" : "   WRONG ROWS");
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorin_jump_bench HOME [SERVER_URL]\n");
        return 2;
    }
    const QString home = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    AppHome::set(home);
    int rows = 0;
    {
        TdmData dm(AppHome::path(QStringLiteral("config.ini")));
        if (!BenchTools::openHomeDatabase(dm))
            return 1;
        const QString file = home + QStringLiteral("/data/RevaZez.db");
        rows = dm.GetIntValue(QStringLiteral("select count(*) from GoodMain"));
        jumps(dm, QStringLiteral("SQLite"), [&file](const QString &statement) {
            return BenchTools::sqliteToolMs(file, statement);
        });
    }
    if (argc < 3)
        return 0;
    const DataSource server = DataSource::fromDs(QString::fromLocal8Bit(argv[2]), QString());
    const QString name = QStringLiteral("quorin_jump_bench");
    const QString url =
        DataSource::serverUrl(server.host, server.port, name, server.user, server.password);
    {
        QSqlDatabase maintenance;
        QString error;
        if (Connection::open(server, QStringLiteral("bench-admin"), &maintenance, &error))
            QSqlQuery(maintenance).exec(QStringLiteral("create database ") + name);
        maintenance.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-admin"));
    TdmData dm(AppHome::path(QStringLiteral("server.ini")));
    QString error;
    if (!dm.open(url, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    if (dm.GetIntValue(QStringLiteral("select count(*) from GoodMain")) < rows) {
        std::printf("generating %d records on the server ...\n", rows);
        // Codes in order of the key, brands with many ties and empty values, names at random.
        if (!dm.ExecSql(
                QStringLiteral(
                    "insert into GoodMain(F_goodCode, F_goodName, F_pinPai, F_editDate) "
                    "select 'YP' || lpad(i::text, 7, '0'), '样品' || (i::bigint * 7919 % 1000003), "
                    "case i "
                    "% 5 when 0 then '' "
                    "when 1 then null else 'brand' || (i % 7) end, date '2024-01-01' + i % 900 "
                    "from generate_series(1, %1) as g(i)")
                    .arg(rows)) ||
            !QSqlQuery(dm.database()).exec(QStringLiteral("analyze GoodMain")))
            return 1;
    }
    jumps(dm, QStringLiteral("PostgreSQL"),
          [&url](const QString &statement) { return BenchTools::psqlMs(url, statement); });
    return 0;
}
