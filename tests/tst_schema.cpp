#include "core/Connection.h"
#include "core/PassHash.h"
#include "core/Schema.h"
#include "core/ViewStore.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"

#include <QSqlQuery>
#include <QTest>
#include <atomic>
#include <thread>

namespace {

// The main list's layout as the first version shipped it, and that version's number.
void makeFirstVersion(TdmData *dm)
{
    QVERIFY(dm->ExecSql(QStringLiteral("delete from cfg_Grid where F_name = 'revazezmain' "
                                       "and F_fieldname = 'F_amount'")));
    QVERIFY(dm->ExecSql(QStringLiteral("update cfg_Grid set F_FooterType = 0, "
                                       "F_FooterValue = '' where F_name = 'revazezmain'")));
    QVERIFY(dm->ExecSql(QStringLiteral("update cfg_Grid set F_FooterType = 0, "
                                       "F_FooterValue = '' where F_name = 'ypdetailtj'")));
    QVERIFY(dm->ExecSql(QStringLiteral("drop index ix_goodmain_editdate")));
    QVERIFY(dm->ExecSql(QStringLiteral("drop table cfg_importrow")));
    QVERIFY(dm->ExecSql(QStringLiteral("drop table cfg_importbatch")));
    QVERIFY(dm->ExecSql(QStringLiteral("drop table cfg_view")));
    QVERIFY(dm->ExecSql(QStringLiteral("drop table T_Picture")));
    QVERIFY(dm->ExecSql(QStringLiteral("drop index ix_imagerec_hash")));
    QVERIFY(dm->ExecSql(QStringLiteral("alter table T_ImageREC drop column F_hash")));
    QVERIFY(dm->ExecSql(QStringLiteral("delete from cfg_schema")));
    QVERIFY(dm->ExecSql(QStringLiteral("insert into cfg_schema(F_version) values(1)")));
}

bool hasIndex(TdmData *dm, const QString &name)
{
    const QString sql = dm->dialect().engine() == Engine::SQLite
                            ? QStringLiteral("select count(*) from sqlite_master where "
                                             "type = 'index' and name = ?")
                            : QStringLiteral("select count(*) from pg_indexes where indexname = ?");
    return dm->GetIntValue(sql, {name}) == 1;
}

} // namespace

// A new database holds every table and the rows the program expects, on both engines.
class TestSchema : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void everyTableAndColumnExists()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        for (const Schema::Table &t : Schema::tables()) {
            QStringList columns;
            for (const Schema::Column &c : t.columns)
                columns << QString::fromLatin1(c.name).toUpper();
            QSqlQuery q(db.dm()->database());
            // Upper case on purpose: names match without regard to case.
            QVERIFY2(q.exec(QStringLiteral("select %1 from %2 where 1 = 0")
                                .arg(columns.join(u','), QString::fromLatin1(t.name).toUpper())),
                     t.name);
        }
    }

    void requiredRows()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        TdmData *dm = db.dm();

        const QString adminHash =
            dm->GetStrValue(QStringLiteral("select F_PassWord from OperList where F_Name = ?"),
                            {QStringLiteral("admin")});
        QVERIFY(adminHash.startsWith(u"$argon2id$"));
        QVERIFY(PassHash::verify(adminHash, QString()));
        QVERIFY(!PassHash::verify(adminHash, QStringLiteral(" ")));

        QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from Limits where F_flag = true")),
                 35);
        QCOMPARE(dm->GetStrValue(QStringLiteral("select F_name from Limits where F_code = '104'")),
                 QStringLiteral("选项..."));
        QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from SysInfo")), 1);
        QCOMPARE(dm->GetIntValue(QStringLiteral("select count(distinct F_name) from cfg_Grid")), 8);
        QCOMPARE(dm->GetIntValue(
                     QStringLiteral("select count(*) from cfg_Grid where F_name = 'revazezmain'")),
                 24);
        QCOMPARE(
            dm->GetIntValue(QStringLiteral("select count(distinct F_tablename) from cfg_import")),
            3);
        QCOMPARE(dm->GetFloatValue(QStringLiteral(
                     "select F_rate from t_code where F_type = 'rate' and F_Name = '美元'")),
                 1.0);
        QVERIFY(dm->GetIntValue(
                    QStringLiteral("select count(*) from t_code where F_type = 'rate'")) >= 8);
        QCOMPARE(dm->GetIntValue(QStringLiteral("select F_version from cfg_schema")),
                 Schema::kVersion);
    }

    // Every shipped analysis must run on the engine as it stands, with the columns the
    // analysis window reads.
    void shippedAnalysesRun()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        QVERIFY(db.dm()->ExecSql(QStringLiteral("insert into GoodMain(F_goodCode, F_goodName, "
                                                "F_pinPai) values('A1', '螺丝', '华为')")));
        QSqlQuery stats(db.dm()->database());
        QVERIFY(stats.exec(QStringLiteral("select F_name, F_SQLtext from cfg_stat order by F_ID")));
        QStringList names;
        while (stats.next()) {
            names << stats.value(0).toString();
            QSqlQuery q(db.dm()->database());
            QVERIFY2(q.exec(stats.value(1).toString()), qPrintable(stats.value(0).toString()));
            QVERIFY(q.next());
            QCOMPARE(q.value(QStringLiteral("F_num")).toInt(), 1);
        }
        QVERIFY(names.contains(QStringLiteral("样品名称")));
        QCOMPARE(names.size(), 9);
    }

    // SQLite would keep any length; the schema makes it refuse like PostgreSQL does, so a
    // length fault shows on both engines alike.
    void textWidthsAreEnforced()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        const QString sql = QStringLiteral("insert into GoodMain(F_goodCode) values(?)");
        QVERIFY(db.dm()->ExecSql(sql, {QString(50, u'码')}));
        QVERIFY(!db.dm()->ExecSql(sql, {QString(51, u'码')}));
        QCOMPARE(Schema::width(QStringLiteral("goodmain"), QStringLiteral("F_GOODCODE")), 50);
        QCOMPARE(Schema::width(QStringLiteral("SysInfo"), QStringLiteral("F_Name")), 10);
    }

    void reopeningKeepsDataAndAddsNothing()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QVERIFY(db.dm()->ExecSql(QStringLiteral("delete from t_code")));
        auto again = db.openAnother();
        QVERIFY(again->isConnected());
        QCOMPARE(again->GetIntValue(QStringLiteral("select count(*) from t_code")), 0);
        QCOMPARE(again->GetIntValue(QStringLiteral("select count(*) from OperList")), 1);
    }

    // A database of the first version gains the footer sums of the lists and the index of the
    // edit date, and keeps the columns its operators arranged.
    void upgradesAnOlderDatabase()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TdmData *dm = db.dm();
        makeFirstVersion(dm);
        QVERIFY(dm->ExecSql(QStringLiteral("update cfg_Grid set F_FooterType = 1, F_FooterValue "
                                           "= '小计' where F_fieldname = 'F_xsPrice2'")));
        QVERIFY(dm->ExecSql(QStringLiteral("update cfg_Grid set F_Visible = ? where "
                                           "F_fieldname = 'F_spec'"),
                            {false}));

        auto upgraded = db.openAnother();
        QVERIFY(upgraded->isConnected());
        QCOMPARE(upgraded->GetIntValue(QStringLiteral("select max(F_version) from cfg_schema")),
                 Schema::kVersion);
        const auto footer = [&](const char *field, const char *key = "revazezmain") {
            return upgraded->GetStrValue(
                QStringLiteral("select F_FooterType || ':' || F_FooterValue from cfg_Grid "
                               "where F_name = ? and F_fieldname = ?"),
                {QString::fromLatin1(key), QString::fromLatin1(field)});
        };
        // The sample-record statistics list is ordered by an index and sums its prices.
        QVERIFY(hasIndex(upgraded.get(), QStringLiteral("ix_goodmain_editdate")));
        // A server's pictures are kept by their content.
        QVERIFY(hasIndex(upgraded.get(), QStringLiteral("ix_imagerec_hash")));
        QVERIFY(hasIndex(upgraded.get(), QStringLiteral("ix_picture_hash")));
        QCOMPARE(footer("F_goodcode", "ypdetailtj"), QStringLiteral("1:合计"));
        QCOMPARE(footer("F_cgPrice", "ypdetailtj"), QStringLiteral("2:"));
        QCOMPARE(footer("F_goodcode"), QStringLiteral("1:合计"));
        QCOMPARE(footer("F_cgPrice"), QStringLiteral("2:"));
        QCOMPARE(footer("F_amount"), QStringLiteral("2:"));
        QCOMPARE(footer("F_xsPrice2"), QStringLiteral("1:小计"));
        QVERIFY(!upgraded->GetBoolValue(
            QStringLiteral("select F_Visible from cfg_Grid where F_fieldname = 'F_spec'")));
        QCOMPARE(upgraded->GetIntValue(
                     QStringLiteral("select F_Order from cfg_Grid where F_fieldname = 'F_amount'")),
                 24);
        // A second start finds nothing more to do.
        QVERIFY(db.openAnother()->isConnected());
        QCOMPARE(upgraded->GetIntValue(
                     QStringLiteral("select count(*) from cfg_Grid where F_name = 'revazezmain'")),
                 24);
    }

    // A database of version 6 gains the bar-code index and the table of named views.
    void upgradesVersion6WithViews()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TdmData *dm = db.dm();
        QVERIFY(dm->ExecSql(QStringLiteral("drop table cfg_view")));
        QVERIFY(dm->ExecSql(QStringLiteral("update cfg_schema set F_version = 6")));

        auto upgraded = db.openAnother();
        QVERIFY(upgraded->isConnected());
        QCOMPARE(upgraded->GetIntValue(QStringLiteral("select max(F_version) from cfg_schema")),
                 Schema::kVersion);
        QVERIFY(hasIndex(upgraded.get(), QStringLiteral("ix_view_name")));
        SavedView view;
        view.owner = QStringLiteral("张三");
        view.window = QStringLiteral("FrmMain");
        view.name = QStringLiteral("本月");
        view.value = QStringLiteral("{}");
        QString error;
        QVERIFY2(ViewStore::save(upgraded->database(), view, &error), qPrintable(error));
        QCOMPARE(ViewStore::list(upgraded->database(), view.window, view.owner, &error)->size(), 1);
    }

    // Workstations started together upgrade once between them, and none fails.
    void workstationsUpgradingTogether()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TdmData *dm = db.dm();
        for (int round = 0; round < 5; ++round) {
            makeFirstVersion(dm);
            std::atomic<int> ready{0};
            QString errors[3];
            const auto start = [&](int i) {
                const QString name = QStringLiteral("workstation%1_%2").arg(round).arg(i);
                {
                    QSqlDatabase connection;
                    QString error;
                    const bool opened = Connection::open(dm->source(), name, &connection, &error);
                    ++ready;
                    while (ready.load() < 3)
                        std::this_thread::yield();
                    if (!opened || !Schema::ensure(connection, SqlDialect::of(connection), &error))
                        errors[i] = error;
                    connection.close();
                }
                QSqlDatabase::removeDatabase(name);
            };
            std::thread a(start, 0), b(start, 1), c(start, 2);
            a.join();
            b.join();
            c.join();
            for (const QString &error : errors)
                QVERIFY2(error.isEmpty(), qPrintable(error));
            QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from cfg_Grid where "
                                                    "F_name = 'revazezmain' and "
                                                    "F_fieldname = 'F_amount'")),
                     1);
            // One row for the first version and one for each step after it.
            QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from cfg_schema")),
                     Schema::kVersion);
        }
    }

    void refusesForeignAndNewerDatabases()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QVERIFY(db.dm()->ExecSql(QStringLiteral("update cfg_schema set F_version = 99")));
        QString error;
        QVERIFY(!db.openAnother()->isConnected());
        QVERIFY(db.dm()->ExecSql(QStringLiteral("drop table cfg_schema")));
        QVERIFY(!db.openAnother()->isConnected());
    }
};

QTEST_MAIN(TestSchema)
#include "tst_schema.moc"
