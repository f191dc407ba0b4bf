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

void fillRows(TdmData *dm)
{
    QVERIFY(dm->ExecSql(
        QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where "
                       "i < %1) insert into GoodMain(F_goodName, F_amount) select case i %% 4 "
                       "when 0 then null when 1 then '' when 2 then 'a' else 'B' end, "
                       "case when i %% 7 = 0 then null else i %% 3 end from n")
            .arg(kRows)
            .replace(QStringLiteral("%%"), QStringLiteral("%"))));
}

const char *const kOrders[] = {"", "order by F_goodName", "order by F_goodName desc",
                               "order by F_amount desc, F_goodName",
                               "order by F_goodName, F_amount desc"};

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
        for (const char *order : kOrders) {
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
        fillRows(db.dm());
        const QList<qint64> expected = expectedKeys(db.dm(), orderBy);
        QCOMPARE(expected.size(), kRows);
        SqlListModel model;
        QVERIFY(model.setQuery(db.dm()->database(), QStringLiteral("select * from GoodMain"), {},
                               orderBy));
        QCOMPARE(model.rowCount(), kRows);
        for (const int row : reads)
            QCOMPARE(model.value(row, QStringLiteral("F_ID")).toLongLong(), expected.at(row));
    }

    // A row not in memory is found by counting the rows after it in the list's order, here or
    // on the counting connection; a key the list does not hold is not found.
    void locateCountsTheRowsAfter_data()
    {
        QTest::addColumn<QString>("orderBy");
        QTest::addColumn<bool>("inBackground");
        for (const char *order : kOrders) {
            QTest::addRow("%s here", order) << QString::fromLatin1(order) << false;
            QTest::addRow("%s in the background", order) << QString::fromLatin1(order) << true;
        }
    }

    void locateCountsTheRowsAfter()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, orderBy);
        QFETCH(bool, inBackground);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        fillRows(db.dm());
        const QList<qint64> expected = expectedKeys(db.dm(), orderBy);
        SqlListModel model;
        if (inBackground)
            model.setCountInBackground(db.dm()->source());
        int found = -2;
        connect(&model, &SqlListModel::located, this, [&found](int row) { found = row; });
        QList<qint64> listed;
        for (const qint64 key : expected) {
            if (key % 2 == 0)
                listed << key;
        }
        // Every other row, so that a's and B's alternate with the rows left out.
        QVERIFY(model.setQuery(db.dm()->database(),
                               QStringLiteral("select * from GoodMain where F_ID % 2 = 0"), {},
                               orderBy));
        // Asked for before the count is known, as after a save.
        model.locate(QStringLiteral("F_ID"), listed.last());
        QTRY_COMPARE(found, int(listed.size()) - 1);
        QVERIFY(model.isRowCountKnown());
        QCOMPARE(model.rowCount(), int(listed.size()));
        for (const int row : {int(listed.size()) - 1, 0, 277, 401, 402}) {
            found = -2;
            model.locate(QStringLiteral("F_ID"), listed.at(row));
            QTRY_VERIFY(found != -2);
            QCOMPARE(found, row);
        }
        found = -2;
        model.locate(QStringLiteral("F_ID"), listed.first() + 1);
        QTRY_VERIFY(found != -2);
        QCOMPARE(found, -1);
    }

    // A jump far into a list shows rows by guessed order values at once (a guessed key, or a
    // sample's values of the sorted column); once the guess is placed, the rows shown are those
    // the plain statement has at that place, also where deleted keys made the guess miss and
    // where many rows share a sort value or have none.
    void farJumpLandsOnThePlainStatementsRows_data()
    {
        QTest::addColumn<QString>("orderBy");
        QTest::addColumn<QString>("deleted");
        for (const char *order : kOrders) {
            QTest::addRow("%s, keys without gaps", order)
                << QString::fromLatin1(order) << QString();
            QTest::addRow("%s, keys deleted before the middle", order)
                << QString::fromLatin1(order) << QStringLiteral("F_ID between 1000 and 5000");
            QTest::addRow("%s, keys deleted after the middle", order)
                << QString::fromLatin1(order) << QStringLiteral("F_ID between 8000 and 11000");
        }
    }

    void farJumpLandsOnThePlainStatementsRows()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, orderBy);
        QFETCH(QString, deleted);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        for (int i = 0; i < 12; ++i)
            fillRows(db.dm());
        if (!deleted.isEmpty())
            QVERIFY(db.dm()->ExecSql(QStringLiteral("delete from GoodMain where ") + deleted));
        const QString select = QStringLiteral("select * from GoodMain where F_ID % 3 <> 0");
        QSqlQuery q(db.dm()->database());
        QVERIFY(q.exec(select + u' ' +
                       (orderBy.isEmpty() ? QStringLiteral("order by F_ID") : orderBy + ", F_ID")));
        QList<qint64> expected;
        while (q.next())
            expected << q.value(QStringLiteral("F_ID")).toLongLong();
        SqlListModel model;
        model.setCountInBackground(db.dm()->source());
        QVERIFY(model.setQuery(db.dm()->database(), select, {}, orderBy));
        QTRY_VERIFY(model.isRowCountKnown());
        QCOMPARE(model.rowCount(), int(expected.size()));
        const int middle = model.rowCount() / 2;
        QVERIFY(model.value(middle, QStringLiteral("F_ID")).isValid());
        QVERIFY(model.hasGuessedRows());
        QTRY_VERIFY(!model.hasGuessedRows());
        for (int row = middle - 450; row < middle + 450; row += 7)
            QCOMPARE(model.value(row, QStringLiteral("F_ID")).toLongLong(), expected.at(row));
        // Another jump, far from both the first and the placed ones.
        const int later = model.rowCount() - 3 * SqlListModel::kFarRows;
        QVERIFY(model.value(later, QStringLiteral("F_ID")).isValid());
        QTRY_VERIFY(!model.hasGuessedRows());
        QCOMPARE(model.value(later, QStringLiteral("F_ID")).toLongLong(), expected.at(later));
    }
};

QTEST_GUILESS_MAIN(TestListPaging)
#include "tst_listpaging.moc"
