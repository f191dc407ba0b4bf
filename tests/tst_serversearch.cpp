#include "core/Connection.h"
#include "core/DataSource.h"
#include "core/Schema.h"
#include "core/SqlFilter.h"
#include "core/SqlListModel.h"
#include "register/SampleList.h"
#include "support/ListSettled.h"
#include "support/TestDatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

namespace {

const char *const kNames[] = {
    "深沟球轴承",
    "调心滚子轴承",
    "轴 承座",
    "AbC-钢管",
    "abc钢管",
    "ABCD",
    "100%纯铜",
    "100 纯铜",
    "a_b 接头",
    "axb 接头",
    "C:\\路径\\件",
    "O'Brien 阀",
    "双\"引号\"螺母",
    "Straße",
    "STRASSE",
    "ÀÉÎ 法兰",
    "àéî 法兰",
    "",
    "x",
    "钢",
};

void insertNames(TdmData *dm)
{
    int n = 0;
    for (const char *name : kNames) {
        ++n;
        QVERIFY(dm->ExecSql(QStringLiteral("insert into GoodMain(F_goodCode, F_goodName, "
                                           "F_editDate) values(?, ?, ?)"),
                            {QStringLiteral("Yp%1").arg(n, 3, 10, QLatin1Char('0')),
                             QString::fromUtf8(name), QDate(2024, 1, 1)}));
    }
    QVERIFY(dm->ExecSql(QStringLiteral("insert into GoodMain(F_goodCode, F_editDate) "
                                       "values('nul', '2024-01-01')")));
}

QList<qint64> keys(QSqlDatabase db, const QString &sql, const QVariantList &values)
{
    QSqlQuery q(db);
    if (!q.prepare(sql + QStringLiteral(" order by F_ID")))
        return {-1};
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        qWarning().noquote() << q.lastError().text() << sql;
        return {-1};
    }
    QList<qint64> found;
    while (q.next())
        found << q.value(0).toLongLong();
    return found;
}

// The rows `match` finds in `column` with the search indexes' help, as the lists run it, and
// with the like predicate alone.
void compareWithPlainScan(TdmData *dm, const SqlDialect &dialect, const QString &column,
                          const QString &term, SqlFilter::Match match)
{
    SqlFilter indexed(dialect, QStringLiteral("GoodMain"));
    indexed.addLike(column, term, match);
    SqlFilter plain(dialect);
    plain.addLike(column, term, match);
    const QString select = QStringLiteral("select F_ID from GoodMain ");
    const QList<qint64> expected = keys(dm->database(), select + plain.where(), plain.values());
    QVERIFY(!expected.contains(-1));
    QCOMPARE(keys(dm->database(), select + indexed.where(), indexed.values()), expected);
}

bool indexExists(TdmData *dm, const QString &name)
{
    return dm->GetIntValue(QStringLiteral("select count(*) from pg_indexes where indexname = '%1'")
                               .arg(name)) == 1;
}

} // namespace

class TestServerSearch : public QObject
{
    Q_OBJECT

private slots:
    void searchesFindWhatAPlainScanFinds_data()
    {
        QTest::addColumn<QString>("term");
        QTest::addColumn<bool>("trigrams");
        const char *const terms[] = {
            "轴",      "轴承", "深沟球轴承", "承座", "轴 承", "abc",        "ABC",  "bC-钢",
            "c钢",     "%",    "0%纯",       "a_b",  "_",     "\\路径\\",   "'Bri", "\"引号\"",
            "strasse", "ß",    "àé",         "ÉÎ",   "无此",  "不存在的词", "!"};
        for (const bool trigrams : {true, false}) {
            for (const char *term : terms) {
                QTest::addRow("%s %s", term, trigrams ? "trigrams" : "pairs")
                    << QString::fromUtf8(term) << trigrams;
            }
        }
    }

    // The index only narrows: the like predicate decides, so the rows are those of a plain
    // scan, for every kind of term, also where the server is made to use the indexes.
    void searchesFindWhatAPlainScanFinds()
    {
        if (qEnvironmentVariableIsEmpty("QUORIN_TEST_PG"))
            QSKIP("the server's search indexes need a PostgreSQL server (QUORIN_TEST_PG)");
        QFETCH(QString, term);
        QFETCH(bool, trigrams);
        TestDatabase db(QStringLiteral("postgresql"));
        QVERIFY2(db.ok(), qPrintable(db.error()));
        QVERIFY(db.dm()->dialect().hasTrigramIndexes());
        insertNames(db.dm());
        QVERIFY(db.dm()->ExecSql(QStringLiteral("analyze GoodMain")));
        QVERIFY(db.dm()->ExecSql(QStringLiteral("set enable_seqscan = off")));
        SqlDialect dialect = db.dm()->dialect();
        dialect.setTrigramIndexes(trigrams);
        compareWithPlainScan(db.dm(), dialect, QStringLiteral("F_goodName"), term,
                             SqlFilter::Match::Contains);
        compareWithPlainScan(db.dm(), dialect, QStringLiteral("F_goodCode"), term,
                             SqlFilter::Match::StartsWith);
        compareWithPlainScan(db.dm(), dialect, QStringLiteral("F_goodName"), term,
                             SqlFilter::Match::StartsWith);
    }

    // A database of the previous version gains the indexes by the upgrade step, once.
    void upgradeAddsTheIndexesOnce()
    {
        if (qEnvironmentVariableIsEmpty("QUORIN_TEST_PG"))
            QSKIP("the server's search indexes need a PostgreSQL server (QUORIN_TEST_PG)");
        TestDatabase db(QStringLiteral("postgresql"));
        QVERIFY2(db.ok(), qPrintable(db.error()));
        const QString pairs = QStringLiteral("ix_goodmain_f_goodname_pairs");
        const QString trigrams = QStringLiteral("ix_t_client_f_name_trgm");
        const QString prefix = QStringLiteral("ix_goodmain_f_goodcode_prefix");
        QVERIFY(indexExists(db.dm(), pairs) && indexExists(db.dm(), trigrams) &&
                indexExists(db.dm(), prefix));
        // What version 4 made: none of them.
        QVERIFY(db.dm()->ExecSql(QStringLiteral("drop extension pg_trgm cascade")));
        QVERIFY(db.dm()->ExecSql(QStringLiteral("drop function quorin_pairs cascade")));
        QVERIFY(db.dm()->ExecSql(QStringLiteral("drop index %1").arg(prefix)));
        QVERIFY(db.dm()->ExecSql(QStringLiteral("update cfg_schema set F_version = 4")));
        QVERIFY(!indexExists(db.dm(), pairs) && !indexExists(db.dm(), trigrams));

        QString error;
        QSqlDatabase connection = db.dm()->database();
        // The row of version 4 and one row for each step after it.
        const int stepsAfter4 = 1 + Schema::kVersion - 4;
        QVERIFY2(Schema::ensure(connection, db.dm()->dialect(), &error), qPrintable(error));
        QVERIFY(indexExists(db.dm(), pairs) && indexExists(db.dm(), trigrams) &&
                indexExists(db.dm(), prefix));
        QCOMPARE(db.dm()->GetIntValue(QStringLiteral("select count(*) from cfg_schema")),
                 stepsAfter4);
        QVERIFY2(Schema::ensure(connection, db.dm()->dialect(), &error), qPrintable(error));
        QCOMPARE(db.dm()->GetIntValue(QStringLiteral("select count(*) from cfg_schema")),
                 stepsAfter4);
    }

    // A typed search's first page is tried within the register's first keys, walking the key:
    // what it shows equals the list's first rows whether the window holds a page of matches,
    // some, or none.
    void firstPageWithinTheFirstKeys_data()
    {
        QTest::addColumn<QString>("term");
        QTest::newRow("a page in the window") << QStringLiteral("前段件");
        QTest::newRow("only past the window") << QStringLiteral("后段件");
        QTest::newRow("in and past the window") << QStringLiteral("段件");
        QTest::newRow("one character") << QStringLiteral("件");
        QTest::newRow("absent") << QStringLiteral("无此件");
    }

    void firstPageWithinTheFirstKeys()
    {
        if (qEnvironmentVariableIsEmpty("QUORIN_TEST_PG"))
            QSKIP("the key window serves a PostgreSQL server (QUORIN_TEST_PG)");
        QFETCH(QString, term);
        TestDatabase db(QStringLiteral("postgresql"));
        QVERIFY(db.dm()->ExecSql(QStringLiteral(
            "insert into GoodMain(F_goodCode, F_goodName, F_editDate) "
            "select 'R' || i, case when i <= 300 then '前段件' "
            "when i between 20500 and 20800 then '后段件' else '其他' end, '2024-01-01' "
            "from generate_series(1, 21000) i")));
        QVERIFY(db.dm()->ExecSql(QStringLiteral("analyze GoodMain")));
        SampleList list(*db.dm());
        SampleListCriteria criteria;
        criteria.searchField = 1; // 样品名称
        criteria.value = term;
        QVERIFY(list.runCriteria(criteria, SqlListModel::FirstPage::InBackground));
        QTRY_VERIFY(listSettled(list.model()));
        const QList<qint64> expected =
            keys(db.dm()->database(),
                 QStringLiteral("select F_ID from GoodMain where F_goodName like ?"),
                 {u'%' + term + u'%'})
                .mid(0, SqlListModel::kPageSize);
        QList<qint64> shown;
        for (int row = 0; row < qMin(list.model()->rowCount(), SqlListModel::kPageSize); ++row)
            shown << list.model()->value(row, QStringLiteral("F_ID")).toLongLong();
        QCOMPARE(shown, expected);
    }

    // A user who may not create pg_trgm still gets a working register: the pair and prefix
    // indexes need no extension, and searches find what they should.
    void worksWithoutTrigrams()
    {
        if (qEnvironmentVariableIsEmpty("QUORIN_TEST_PG"))
            QSKIP("the server's search indexes need a PostgreSQL server (QUORIN_TEST_PG)");
        TestDatabase admin(QStringLiteral("sqlite"));
        const QString adminDs = admin.createEmptyServerDatabase();
        QVERIFY(!adminDs.isEmpty());
        const DataSource server = DataSource::fromDs(adminDs, {});
        const QString role = QStringLiteral("quorin_t_") + server.database.right(8);
        {
            QSqlDatabase owner;
            QString error;
            QVERIFY2(Connection::open(server, QStringLiteral("owner"), &owner, &error),
                     qPrintable(error));
            QSqlQuery q(owner);
            QVERIFY2(q.exec(QStringLiteral("create role %1 login").arg(role)) &&
                         q.exec(QStringLiteral("grant create on schema public to %1").arg(role)),
                     qPrintable(q.lastError().text()));
            owner.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("owner"));
        const QString ds =
            DataSource::serverUrl(server.host, server.port, server.database, role, QString());
        {
            TdmData dm(admin.home() + QStringLiteral("/other.ini"));
            QString error;
            QVERIFY2(dm.open(ds, &error), qPrintable(error));
            QVERIFY(!dm.dialect().hasTrigramIndexes());
            QCOMPARE(dm.GetIntValue(QStringLiteral("select count(*) from pg_indexes where "
                                                   "indexname like 'ix_%_pairs'")),
                     21);
            insertNames(&dm);
            QVERIFY(dm.ExecSql(QStringLiteral("set enable_seqscan = off")));
            for (const char *term : {"abc", "轴承", "深沟球轴承", "a_b"})
                compareWithPlainScan(&dm, dm.dialect(), QStringLiteral("F_goodName"),
                                     QString::fromUtf8(term), SqlFilter::Match::Contains);
        }
    }
};

QTEST_GUILESS_MAIN(TestServerSearch)
#include "tst_serversearch.moc"
