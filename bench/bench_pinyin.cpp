// Times the pinyin searches and the pinyin order of the sample list on a database of
// demonstration records, each against the plain statement in the same run: the first rows and
// the count of initials searches (against a scan counting the same union), the first rows
// sorted by 样品名称, the upgrade step that fills every key, and a save with its keys against
// the same save without them.
//
//   quorin_pinyin_bench HOME [URL]
//   HOME holds data/RevaZez.db, filled with quorin --demo-data N; with URL, a database on a
//   PostgreSQL server loaded from HOME (as quorin_server_bench does) is measured instead.

#include "BenchTools.h"
#include "core/AppHome.h"
#include "core/DataDm.h"
#include "core/Schema.h"
#include "core/SortText.h"
#include "core/SqlListModel.h"
#include "core/Transaction.h"
#include "register/SampleList.h"
#include "register/SampleRecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cstdio>

using namespace BenchTools;

namespace {

double msSince(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// The plain statement's count, as a program without the keys' index would run it.
double plainCountMs(TdmData &dm, const PlainScan &scan, qint64 *rows)
{
    std::vector<double> times;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        QSqlQuery q(dm.database());
        q.prepare(QStringLiteral("select count(*) from %1 %2").arg(scan.table, scan.where));
        for (const QVariant &v : scan.values)
            q.addBindValue(v);
        if (q.exec() && q.next())
            *rows = q.value(0).toLongLong();
        times.push_back(msSince(timer));
    }
    return median(times);
}

// A record as the editor saves it, its names keyed or not (the writer before the keys).
double saveMs(TdmData &dm, bool keyed, QList<qint64> *saved)
{
    const QVariantMap values{
        {QStringLiteral("F_goodCode"), QStringLiteral("BENCH")},
        {QStringLiteral("F_goodName"), QStringLiteral("深沟球轴承6204")},
        {QStringLiteral("F_CGsuppler"), QStringLiteral("深圳市恒达轴承有限公司")},
        {QStringLiteral("F_XSclient"), QStringLiteral("上海长城机电有限公司")},
        {QStringLiteral("F_editDate"), QDate::currentDate()}};
    QElapsedTimer timer;
    timer.start();
    QString error;
    if (keyed) {
        if (const std::optional<qint64> id = SampleRecord::save(dm, 0, values, &error))
            *saved << *id;
        return msSince(timer);
    }
    Transaction transaction(dm.database());
    const QString insert = QStringLiteral("insert into GoodMain(%1) values(?, ?, ?, ?, ?)")
                               .arg(values.keys().join(QStringLiteral(", ")));
    const std::optional<qint64> id =
        transaction.began(&error) ? dm.insertQuiet(insert, values.values(), &error) : std::nullopt;
    if (id &&
        dm.runQuiet(QStringLiteral("update GoodMain set F_cltID = ? where F_ID = ?"), {*id, *id},
                    &error)
            .isActive() &&
        transaction.commit(&error))
        *saved << *id;
    return msSince(timer);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorin_pinyin_bench HOME [URL]\n");
        return 2;
    }
    QuietPrompt prompt;
    setPromptService(&prompt);
    const QString home = QString::fromLocal8Bit(argv[1]);
    const QString url = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const QString work = url.isEmpty() ? home : QDir(home).filePath(QStringLiteral("server-bench"));
    QDir().mkpath(work);
    AppHome::set(work);
    QString error;
    TdmData dm(QDir(work).filePath(QStringLiteral("config.ini")));
    if (url.isEmpty()
            ? !openHomeDatabase(dm)
            : !dm.open(url, &error) ||
                  !loadServer(dm, home, url,
                              sqliteRecords(QDir(home).filePath(QStringLiteral("data/RevaZez.db"))),
                              &error)) {
        std::fprintf(stderr, "cannot open: %s\n", qPrintable(error));
        return 1;
    }
    dmData = &dm;
    const int records = dm.GetIntValue(QStringLiteral("select count(*) from GoodMain"));
    std::printf("\n%d records on %s; load: %s\n", records,
                url.isEmpty() ? qPrintable(dm.source().sqliteFile) : qPrintable(url),
                qPrintable(loadAverage()));

    // The upgrade step on a register whose keys and their indexes are gone, as an older
    // version left it.
    {
        const bool server = dm.dialect().engine() == Engine::PostgreSQL;
        QSqlQuery indexes(dm.database());
        indexes.exec(server ? QStringLiteral("select indexname from pg_indexes where indexname "
                                             "like '%py%'")
                            : QStringLiteral("select name from sqlite_master where type = "
                                             "'index' and name like '%py%'"));
        QStringList dropped;
        while (indexes.next())
            dropped << indexes.value(0).toString();
        for (const QString &index : std::as_const(dropped))
            dm.ExecSql(QStringLiteral("drop index ") + index);
        dm.ExecSql(QStringLiteral("update GoodMain set F_goodNamePY = '', F_CGsupplerPY = '', "
                                  "F_XSclientPY = ''"));
        dm.ExecSql(QStringLiteral("update cfg_schema set F_version = 8"));
        int reports = 0;
        QElapsedTimer timer;
        timer.start();
        QSqlDatabase connection = dm.database();
        const bool ok = Schema::ensure(connection, dm.dialect(), &error, [&reports](int) {
            ++reports;
            return true;
        });
        std::printf("upgrade step filling every key: %.1f s (%d progress reports)%s%s\n",
                    msSince(timer) / 1000, reports, ok ? "" : " FAILED: ", qPrintable(error));
        if (dm.dialect().engine() == Engine::PostgreSQL)
            dm.ExecSql(QStringLiteral("vacuum analyze GoodMain"));
    }

    SampleList list(dm);
    SqlListModel *model = list.model();
    std::printf("%-22s %9s %8s %8s %9s %6s\n", "样品名称 contains", "rows", "first", "count",
                "scan", "ratio");
    for (const char *term : {"zc", "bxg", "bxgzc", "lsd", "lm"}) {
        SampleListCriteria criteria;
        criteria.searchField = 1;
        criteria.value = QString::fromLatin1(term);
        std::vector<double> first;
        std::vector<double> counted;
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer timer;
            timer.start();
            list.runCriteria(criteria);
            first.push_back(msSince(timer));
            waitFor([model] { return model->isRowCountKnown(); });
            counted.push_back(msSince(timer));
        }
        qint64 rows = 0;
        const double scan = plainCountMs(dm, list.statements().plainScan, &rows);
        const double count = median(counted);
        std::printf("%-22s %9lld %8.1f %8.1f %9.1f %6.2f\n", term, rows, median(first), count, scan,
                    scan > 0 ? count / scan : 0.0);
    }

    list.runCriteria(SampleListCriteria{});
    waitFor([model] { return model->isRowCountKnown(); });
    QStringList fields;
    QSqlQuery none(dm.database());
    none.exec(QStringLiteral("select * from GoodMain where 1 = 0"));
    const QSqlRecord record = none.record();
    for (int i = 0; i < record.count(); ++i)
        fields << record.fieldName(i);
    for (const char *sort : {"F_goodName ASC", "F_goodName DESC", "F_CGsuppler ASC"}) {
        std::vector<double> first;
        QString shown;
        for (int i = 0; i < 3; ++i) {
            model->setOrderBy({});
            QElapsedTimer timer;
            timer.start();
            model->setOrderBy(SortText::orderBy(QLatin1String(sort), fields));
            shown = model->value(0, QStringLiteral("F_goodName")).toString();
            first.push_back(msSince(timer));
        }
        std::printf("whole register by %-16s first rows %7.1f ms (first: %s)\n", sort,
                    median(first), qPrintable(shown));
    }

    QList<qint64> saved;
    std::vector<double> keyed;
    std::vector<double> plain;
    for (int i = 0; i < 100; ++i) {
        keyed.push_back(saveMs(dm, true, &saved));
        plain.push_back(saveMs(dm, false, &saved));
    }
    std::printf("save a record: %.2f ms with its keys, %.2f ms without (ratio %.2f)\n",
                median(keyed), median(plain), median(keyed) / median(plain));
    for (const qint64 id : std::as_const(saved))
        SampleRecord::removeGroup(dm, id, id, &error);
    return 0;
}
