#include "core/Transaction.h"
#include "register/SampleRecord.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"

#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTest>

namespace {

// Another program holding the write lock of a SQLite register until it goes away.
class WriteLockHolder
{
public:
    explicit WriteLockHolder(const QString &file)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kName);
        db.setDatabaseName(file);
        m_holds = db.open() && QSqlQuery(db).exec(QStringLiteral("begin immediate"));
    }
    ~WriteLockHolder()
    {
        release();
        QSqlDatabase::removeDatabase(kName);
    }
    bool holds() const { return m_holds; }
    void release()
    {
        QSqlDatabase db = QSqlDatabase::database(kName, false);
        if (db.isOpen()) {
            QSqlQuery(db).exec(QStringLiteral("rollback"));
            db.close();
        }
    }

private:
    static inline const QString kName = QStringLiteral("write-lock-holder");
    bool m_holds = false;
};

int samples(TdmData *dm)
{
    return dm->GetIntValue(QStringLiteral("select count(*) from GoodMain"));
}

} // namespace

// The data module's services: neutral results, the fixed error boxes, bound values.
class TestDataServices : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void neutralResultsAndErrorBoxes_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("box"); // empty: no box expected
        const QString noRow = QStringLiteral("select F_Name from OperList where F_ID = -1");
        const QString missing = QStringLiteral("select F_Name from NoSuchTable");
        const QString failed = QStringLiteral("操作失败，请检查数据连接... ");
        for (const char *service : {"int", "str", "float", "bool", "combo"}) {
            QTest::addRow("%s no row", service) << service << noRow << QString();
            QTest::addRow("%s missing table", service) << service << missing << failed;
        }
        QTest::newRow("exec missing table")
            << "exec" << QStringLiteral("delete from NoSuchTable") << failed;
        QTest::newRow("open missing table")
            << "open" << missing << QStringLiteral("打开操作失败，请检查数据连接... ");
        QTest::newRow("open no row") << "open" << noRow << QString();
    }

    void neutralResultsAndErrorBoxes()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, service);
        QFETCH(QString, sql);
        QFETCH(QString, box);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        ScriptedPrompt prompt;
        TdmData *dm = db.dm();
        if (service == u"int")
            QCOMPARE(dm->GetIntValue(sql), 0);
        else if (service == u"str")
            QCOMPARE(dm->GetStrValue(sql), QString());
        else if (service == u"float")
            QCOMPARE(dm->GetFloatValue(sql), 0.0);
        else if (service == u"bool")
            QCOMPARE(dm->GetBoolValue(sql), false);
        else if (service == u"combo")
            QCOMPARE(dm->FillCombo(sql), QStringList());
        else if (service == u"exec")
            QCOMPARE(dm->ExecSql(sql), false);
        else if (service == u"open") {
            QSqlQuery q(dm->database());
            QCOMPARE(dm->OpenSql(q, sql), box.isEmpty());
            QCOMPARE(q.isActive(), box.isEmpty());
        }
        if (box.isEmpty()) {
            QVERIFY(prompt.shown.isEmpty());
        } else {
            QCOMPARE(prompt.shown.size(), 1);
            QCOMPARE(prompt.shown[0].text, box);
            QCOMPARE(prompt.shown[0].kind, int(Prompt::Error));
        }
    }

    void fillComboSkipsBlankValues()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TdmData *dm = db.dm();
        QVERIFY(dm->ExecSql(QStringLiteral("delete from t_code")));
        for (const QString &name :
             {QStringLiteral("A"), QString(), QStringLiteral(" "), QStringLiteral(" B ")})
            QVERIFY(dm->ExecSql(
                QStringLiteral("insert into t_code(F_Name, F_type) values(?, 'pinpai')"), {name}));
        QCOMPARE(dm->FillCombo(
                     QStringLiteral("select F_Name from t_code where F_type = ? order by F_ID"),
                     {QStringLiteral("pinpai")}),
                 QStringList({QStringLiteral("A"), QStringLiteral(" B ")}));
    }

    void deleteByID()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        TdmData *dm = db.dm();
        QVERIFY(dm->DeleteByID(QStringLiteral("GoodMain"), 0));
        const int before = dm->GetIntValue(QStringLiteral("select count(*) from t_code"));
        const int id = dm->GetIntValue(QStringLiteral("select min(F_ID) from t_code"));
        QVERIFY(dm->DeleteByID(QStringLiteral("t_code"), id));
        QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from t_code")), before - 1);
        QVERIFY(prompt.shown.isEmpty());

        QVERIFY(!dm->DeleteByID(QStringLiteral("NoSuchTable"), 1));
        QVERIFY(!dm->DeleteByID(QStringLiteral("t_code; drop table OperList"), 1));
        QCOMPARE(prompt.texts(),
                 QStringList(2, QStringLiteral("删除操作失败，请检查数据连接... ")));
        QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from OperList")), 1);
    }

    // Typed text is data: quotes, wildcards, backslashes and Chinese come back unchanged
    // through every service.
    void awkwardTextRoundTrips()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        TdmData *dm = db.dm();
        const QString text = QStringLiteral("O'Brien 100% \\\\金属\\螺丝 _x_ \"引号\"");
        QVERIFY(dm->ExecSql(
            QStringLiteral("insert into GoodMain(F_goodCode, F_goodName, F_amount, F_useFlag) "
                           "values(?, ?, ?, ?)"),
            {QStringLiteral("K1"), text, 2.5, true}));
        const QVariantList byName{text};
        const QString where = QStringLiteral(" from GoodMain where F_goodName = ?");
        QCOMPARE(dm->GetStrValue(QStringLiteral("select F_goodName") + where, byName), text);
        QCOMPARE(dm->GetFloatValue(QStringLiteral("select F_amount") + where, byName), 2.5);
        QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*)") + where, byName), 1);
        QCOMPARE(dm->GetBoolValue(QStringLiteral("select F_useFlag") + where, byName), true);
        QCOMPARE(dm->FillCombo(QStringLiteral("select F_goodName") + where, byName),
                 QStringList{text});
        QSqlQueryModel model;
        QVERIFY(dm->OpenSql(&model, QStringLiteral("select F_goodName") + where, byName));
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.data(model.index(0, 0)).toString(), text);
        QVERIFY(dm->ExecSql(QStringLiteral("delete") + where, byName));
        QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from GoodMain")), 0);
        QVERIFY(prompt.shown.isEmpty());
    }

    void writeLogRecordsAndNeverComplains()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        TdmData *dm = db.dm();
        dm->setCurOperName(QStringLiteral("张三"));
        dm->WriteLog(QStringLiteral("登录失败！"));
        QSqlQuery q(dm->database());
        QVERIFY(dm->OpenSql(q, QStringLiteral("select F_EmpName, F_OperType, F_OperDate, "
                                              "F_OperTime from LogRec")));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("张三"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("登录失败！"));
        QCOMPARE(q.value(2).toString(),
                 QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
        QVERIFY(QTime::fromString(q.value(3).toString(), QStringLiteral("hh:mm:ss")).isValid());
        q.finish();

        QVERIFY(dm->ExecSql(QStringLiteral("drop table LogRec")));
        dm->WriteLog(QStringLiteral("登录失败！"));
        QVERIFY(prompt.shown.isEmpty());
    }

    void rightsOfOperators()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TdmData *dm = db.dm();
        QVERIFY(dm->ExecSql(QStringLiteral("insert into OperLimit(F_OperName, F_lmtName) "
                                           "select ?, F_name from Limits where F_code = ?"),
                            {QStringLiteral("O'Neil"), QStringLiteral("201")}));
        dm->setCurOperName(QStringLiteral(" o'neil "));
        QVERIFY(dm->HasRight(QStringLiteral("201")));
        QVERIFY(!dm->HasRight(QStringLiteral("202")));
        QCOMPARE(dm->heldRights(), QSet<QString>{QStringLiteral("201")});
        dm->setCurOperName(QStringLiteral("Admin"));
        QVERIFY(dm->HasRight(QStringLiteral("505")));
        QCOMPARE(dm->heldRights().size(), 35);
        dm->setCurOperName(QStringLiteral("nobody"));
        QVERIFY(dm->heldRights().isEmpty());
    }

    void transactionRollsBackUnlessCommitted()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TdmData *dm = db.dm();
        const QString insert = QStringLiteral("insert into GoodMain(F_goodCode) values(?)");
        {
            Transaction tx(dm->database());
            QVERIFY(tx.isActive());
            QVERIFY(dm->ExecSql(insert, {QStringLiteral("lost")}));
        }
        {
            Transaction tx(dm->database());
            QVERIFY(dm->ExecSql(insert, {QStringLiteral("kept")}));
            QVERIFY(tx.commit());
        }
        QCOMPARE(dm->FillCombo(QStringLiteral("select F_goodCode from GoodMain")),
                 QStringList{QStringLiteral("kept")});
    }

    // Another program holds the write lock while a record is saved: the save waits, fails with
    // the reason, and stores nothing, also for a caller that goes on after a failed begin.
    void aTransactionThatDidNotBeginKeepsNothing()
    {
        QFETCH_GLOBAL(QString, engine);
        if (engine != u"sqlite")
            QSKIP("a server's begin takes no lock to wait for");
        TestDatabase db(engine);
        TdmData *dm = db.dm();
        QVERIFY(QSqlQuery(dm->database()).exec(QStringLiteral("pragma busy_timeout = 200")));
        WriteLockHolder holder(dm->source().sqliteFile);
        QVERIFY(holder.holds());
        QString error;
        QVERIFY(!SampleRecord::save(*dm, 0, {{QStringLiteral("F_goodCode"), "A1"}}, &error));
        QVERIFY2(error.contains(u"locked"), qPrintable(error));
        {
            Transaction tx(dm->database());
            QVERIFY(!tx.isActive());
            holder.release();
            // Runs now that the lock is free, but never outside a transaction.
            QVERIFY(dm->ExecSql(QStringLiteral("insert into GoodMain(F_goodCode) values('B1')")));
            QVERIFY(!tx.commit(&error));
            QVERIFY2(error.contains(u"locked"), qPrintable(error));
        }
        QCOMPARE(samples(dm), 0);
        QVERIFY(SampleRecord::save(*dm, 0, {{QStringLiteral("F_goodCode"), "C1"}}, &error));
        QCOMPARE(samples(dm), 1);
    }

    // --demo-data while another program writes: a clear failure, and not one row stored.
    void demoDataWaitsForAWriterAndStoresNothing()
    {
        QFETCH_GLOBAL(QString, engine);
        if (engine != u"sqlite")
            QSKIP("a server's begin takes no lock to wait for");
        TestDatabase db(engine);
        WriteLockHolder holder(db.dm()->source().sqliteFile);
        QVERIFY(holder.holds());
        QProcess demo;
        demo.start(QStringLiteral(QUORIN_BINARY),
                   {QStringLiteral("--home"), db.home(), QStringLiteral("--demo-data"),
                    QStringLiteral("200")});
        QVERIFY(demo.waitForFinished(60000));
        const QString said = QString::fromLocal8Bit(demo.readAllStandardError());
        QCOMPARE(demo.exitCode(), 1);
        QVERIFY2(said.contains(u"demonstration data not stored") && said.contains(u"locked"),
                 qPrintable(said));
        holder.release();
        QCOMPARE(samples(db.dm()), 0);
        QCOMPARE(db.dm()->GetIntValue(QStringLiteral("select count(*) from T_client")), 0);
    }

    void compaction()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QVERIFY(db.dm()->CompactDataFile());
        QCOMPARE(db.dm()->GetIntValue(QStringLiteral("select count(*) from Limits")), 35);
    }
};

QTEST_MAIN(TestDataServices)
#include "tst_dataservices.moc"
