#include "core/SqlListModel.h"
#include "support/TestDatabase.h"

#include <QSqlQuery>
#include <QTest>

namespace {

constexpr int kRows = 1100; // five full pages and a part

QList<qint64> expectedKeys(TdmData *dm, const QString &orderBy)
{
    QSqlQuery q(dm->database());
    q.exec(QStringLiteral("select F_ID from GoodMain ") + orderBy +
           (orderBy.isEmpty() ? QStringLiteral("order by F_ID") : QStringLiteral(", F_ID")));
    QList<qint64> keys;
    while (q.next())
        keys << q.value(0).toLongLong();
    return keys;
}

} // namespace

// Pages that continue from a row in memory, or from the list's end, hold the rows that
// skipping by position would give: also where many rows share a sort value or have none.
class TestListPaging : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void pagesFollowTheOrder_data()
    {
        QTest::addColumn<QString>("orderBy");
        QTest::addColumn<QList<int>>("reads");
        QList<int> forward;
        QList<int> backward;
        for (int r = 0; r < kRows; ++r) {
            forward << r;
            backward.prepend(r);
        }
        const QList<int> jumps{0, kRows - 1, 650, 10, 1099, 420, 199, 200, 880, 401};
        const char *const orders[] = {"", "order by F_goodName", "order by F_goodName desc",
                                      "order by F_amount desc, F_goodName",
                                      "order by F_goodName, F_amount desc"};
        for (const char *order : orders) {
            QTest::addRow("%s forward", order) << QString::fromLatin1(order) << forward;
            QTest::addRow("%s backward", order) << QString::fromLatin1(order) << backward;
            QTest::addRow("%s jumps", order) << QString::fromLatin1(order) << jumps;
        }
    }

    void pagesFollowTheOrder()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, orderBy);
        QFETCH(QList<int>, reads);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        QVERIFY(db.dm()->ExecSql(
            QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where "
                           "i < %1) insert into GoodMain(F_goodName, F_amount) select case i %% 4 "
                           "when 0 then null when 1 then '' when 2 then 'a' else 'B' end, "
                           "case when i %% 7 = 0 then null else i %% 3 end from n")
                .arg(kRows)
                .replace(QStringLiteral("%%"), QStringLiteral("%"))));
        const QList<qint64> expected = expectedKeys(db.dm(), orderBy);
        QCOMPARE(expected.size(), kRows);
        SqlListModel model;
        QVERIFY(model.setQuery(db.dm()->database(), QStringLiteral("select * from GoodMain"), {},
                               orderBy));
        QCOMPARE(model.rowCount(), kRows);
        for (const int row : reads)
            QCOMPARE(model.value(row, QStringLiteral("F_ID")).toLongLong(), expected.at(row));
    }
};

QTEST_GUILESS_MAIN(TestListPaging)
#include "tst_listpaging.moc"
