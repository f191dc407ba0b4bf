#include "core/Connection.h"
#include "core/DataDm.h"
#include "core/DatabaseFault.h"
#include "core/RecordList.h"
#include "core/Schema.h"
#include "core/SqlListModel.h"
#include "core/Transaction.h"
#include "masterdata/RegisterDescription.h"
#include "masterdata/RegisterStore.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <thread>
#include <unistd.h>

namespace {

// A register in `folder` with `rows` samples whose long names spread over many pages.
void makeRegister(const QString &folder, int rows)
{
    QString error;
    const DataSource source = DataSource::fromDs(folder, folder);
    QVERIFY2(Connection::createDatabase(source, &error), qPrintable(error));
    const QString name = QStringLiteral("fill");
    {
        QSqlDatabase db;
        QVERIFY2(Connection::open(source, name, &db, &error), qPrintable(error));
        Transaction tx(db);
        QSqlQuery q(db);
        q.prepare(QStringLiteral("insert into GoodMain(F_goodCode, F_goodName) values(?, ?)"));
        for (int i = 0; i < rows; ++i) {
            q.addBindValue(QStringLiteral("YP%1").arg(i, 6, 10, QLatin1Char('0')));
            q.addBindValue(QStringLiteral("样品%1").arg(i) + QString(200, u'长'));
            QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
        }
        QVERIFY(tx.commit(&error));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// Every file of a folder with its bytes: nothing may change when a file is refused.
QMap<QString, QByteArray> contents(const QString &folder)
{
    QMap<QString, QByteArray> files;
    for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::Files)) {
        QFile file(info.filePath());
        file.open(QIODevice::ReadOnly);
        files.insert(info.fileName(), file.readAll());
    }
    return files;
}

void overwrite(const QString &file, qint64 offset, int size)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadWrite));
    f.seek(offset);
    f.write(QByteArray(size, '\xA5'));
}

// A page in the middle of the sample table's leaves, as the file numbers them.
qint64 middleLeafOffset(const QString &file)
{
    const QString name = QStringLiteral("pages");
    qint64 offset = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("pragma page_size"));
        q.next();
        const qint64 pageSize = q.value(0).toLongLong();
        q.exec(QStringLiteral("select pageno from dbstat where name = 'GoodMain' and "
                              "pagetype = 'leaf' order by pageno"));
        QList<qint64> pages;
        while (q.next())
            pages << q.value(0).toLongLong();
        if (!pages.isEmpty())
            offset = (pages.at(pages.size() / 2) - 1) * pageSize;
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return offset;
}

} // namespace

// A damaged, missing, empty, locked, read-only or foreign database file is named for what it
// is, and nothing is created in its place or written into it.
class TestDatabaseFaults : public QObject
{
    Q_OBJECT

private slots:
    void startRefusesBadFilesUnchanged_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("told");
        QTest::newRow("damaged schema page") << "schema"
                                             << "已损坏";
        QTest::newRow("zero-byte file") << "empty"
                                        << "是空的（0 字节）";
        QTest::newRow("file gone beside its data folder") << "deleted"
                                                          << "不存在";
        QTest::newRow("text file") << "text"
                                   << "不是有效的数据库文件";
        QTest::newRow("another program's database") << "foreign"
                                                    << "不是样品数据库";
        QTest::newRow("locked by another program") << "locked"
                                                   << "被另一个程序锁定";
    }

    void startRefusesBadFilesUnchanged()
    {
        QFETCH(QString, fault);
        QFETCH(QString, told);
        QTemporaryDir home;
        const QString folder = home.filePath(QStringLiteral("data"));
        const QString file = folder + QStringLiteral("/RevaZez.db");
        QDir().mkpath(folder);
        if (fault == u"schema" || fault == u"deleted" || fault == u"locked")
            makeRegister(folder, 10);
        if (fault == u"schema")
            overwrite(file, 100, 3000);
        if (fault == u"deleted")
            QFile::remove(file);
        if (fault == u"empty" || fault == u"text") {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            if (fault == u"text")
                f.write("样品编号,样品名称\n");
        }
        if (fault == u"foreign") {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), fault);
            db.setDatabaseName(file);
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(QStringLiteral("create table accounts(id, name)")));
            db.close();
        }
        QSqlDatabase::removeDatabase(fault);
        // Another program holding the file for itself.
        QSqlDatabase holder;
        if (fault == u"locked") {
            holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), fault);
            holder.setDatabaseName(file);
            QVERIFY(holder.open());
            QSqlQuery q(holder);
            QVERIFY(q.exec(QStringLiteral("pragma locking_mode = exclusive")));
            QVERIFY(q.exec(QStringLiteral("pragma journal_mode = delete")));
            QVERIFY(q.exec(QStringLiteral("begin exclusive")));
        }
        const QMap<QString, QByteArray> before = contents(folder);

        TdmData dm(home.filePath(QStringLiteral("config.ini")));
        QString error;
        QVERIFY(!dm.open(QString(), &error));
        QVERIFY2(error.contains(told), qPrintable(error));
        if (fault != u"text" && fault != u"foreign")
            QVERIFY2(error.contains(QDir::toNativeSeparators(file)), qPrintable(error));
        QCOMPARE(contents(folder), before);
        if (holder.isOpen()) {
            QSqlQuery(holder).exec(QStringLiteral("rollback"));
            holder.close();
        }
        holder = QSqlDatabase();
        QSqlDatabase::removeDatabase(fault);
    }

    // Damage in a table shows when the list reaches it: told once, and no write goes in.
    void damageMetInTheListStopsWrites()
    {
        QTemporaryDir home;
        const QString folder = home.filePath(QStringLiteral("data"));
        makeRegister(folder, 3000);
        const QString file = folder + QStringLiteral("/RevaZez.db");
        const qint64 offset = middleLeafOffset(file);
        QVERIFY(offset > 0);
        overwrite(file, offset, 4096);

        ScriptedPrompt prompt;
        TdmData dm(home.filePath(QStringLiteral("config.ini")));
        TdmData *previous = std::exchange(dmData, &dm);
        QString error;
        QVERIFY2(dm.open(QString(), &error), qPrintable(error));
        QVERIFY(!dm.isDamaged());
        {
            RecordList list;
            QVERIFY(list.model()->setQuery(dm.database(),
                                           QStringLiteral("select F_ID, F_goodName from GoodMain"),
                                           {}, QStringLiteral("order by F_ID")));
            QTRY_VERIFY(list.model()->isCountKnown());
            for (int row = 0; row < list.model()->rowCount(); row += 50)
                list.model()->value(row, 1);
        }
        QVERIFY(dm.isDamaged());
        QTRY_COMPARE(prompt.shown.size(), 1);
        QVERIFY2(prompt.shown[0].text.contains(u"已损坏"), qPrintable(prompt.shown[0].text));
        QVERIFY(prompt.shown[0].text.contains(u"数据备份恢复"));

        const QByteArray bytes = contents(folder).value(QStringLiteral("RevaZez.db"));
        QVERIFY(!dm.ExecSql(QStringLiteral("insert into GoodMain(F_goodCode) values('new')")));
        QCOMPARE(prompt.shown.size(), 2);
        QVERIFY(prompt.shown[1].text.contains(u"已损坏"));
        dm.database().close();
        QCOMPARE(contents(folder).value(QStringLiteral("RevaZez.db")), bytes);
        dmData = previous;
    }

    // The check after start finds damage that no list has met.
    void backgroundCheckFindsDamage()
    {
        QTemporaryDir home;
        const QString folder = home.filePath(QStringLiteral("data"));
        makeRegister(folder, 3000);
        overwrite(folder + QStringLiteral("/RevaZez.db"),
                  middleLeafOffset(folder + QStringLiteral("/RevaZez.db")), 4096);
        ScriptedPrompt prompt;
        TdmData dm(home.filePath(QStringLiteral("config.ini")));
        QString error;
        QVERIFY2(dm.open(QString(), &error), qPrintable(error));
        dm.checkInBackground();
        QTRY_VERIFY(dm.isDamaged());
        QTRY_COMPARE(prompt.shown.size(), 1);
        QVERIFY(prompt.shown[0].text.contains(u"已损坏"));
    }

    // The engine's own answers, as a failed save meets them.
    void realErrorsAreToldApart()
    {
        QTemporaryDir home;
        const QString folder = home.filePath(QStringLiteral("data"));
        makeRegister(folder, 1);
        const QString file = folder + QStringLiteral("/RevaZez.db");
        const auto failure = [&file](const QString &options, const QString &sql) {
            QString text;
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "probe");
                db.setDatabaseName(file);
                db.setConnectOptions(options);
                db.open();
                QSqlQuery q(db);
                if (!q.exec(sql))
                    text = q.lastError().text();
                db.close();
            }
            QSqlDatabase::removeDatabase(QStringLiteral("probe"));
            return text;
        };
        const QString insert = QStringLiteral("insert into T_goods(F_Code) values('x')");
        QCOMPARE(DatabaseFault::classify(failure(QStringLiteral("QSQLITE_OPEN_READONLY"), insert)),
                 DatabaseFault::Kind::ReadOnly);
        QCOMPARE(DatabaseFault::classify(failure({}, QStringLiteral("select nothing from none"))),
                 DatabaseFault::Kind::Other);

        QSqlDatabase writer = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "writer");
        writer.setDatabaseName(file);
        QVERIFY(writer.open());
        QVERIFY(QSqlQuery(writer).exec(QStringLiteral("begin immediate")));
        QCOMPARE(DatabaseFault::classify(failure(QStringLiteral("QSQLITE_BUSY_TIMEOUT=100"),
                                                 QStringLiteral("begin immediate"))),
                 DatabaseFault::Kind::Busy);
        QSqlQuery(writer).exec(QStringLiteral("rollback"));
        writer.close();
        writer = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("writer"));
    }

    // A file the user may not write opens for reading and says so.
    void readOnlyFileOpensReadOnly()
    {
        if (geteuid() == 0)
            QSKIP("root may write any file");
        QTemporaryDir home;
        const QString folder = home.filePath(QStringLiteral("data"));
        makeRegister(folder, 5);
        const QString file = folder + QStringLiteral("/RevaZez.db");
        QFile(file).setPermissions(QFileDevice::ReadOwner);
        const QMap<QString, QByteArray> before = contents(folder);
        ScriptedPrompt prompt;
        TdmData dm(home.filePath(QStringLiteral("config.ini")));
        QString error;
        QVERIFY2(dm.open(QString(), &error), qPrintable(error));
        QVERIFY(dm.isReadOnly());
        QCOMPARE(dm.GetIntValue(QStringLiteral("select count(*) from GoodMain")), 5);
        QVERIFY(!dm.ExecSql(QStringLiteral("insert into T_goods(F_Code) values('x')")));
        QCOMPARE(prompt.shown.size(), 1);
        QVERIFY2(prompt.shown[0].text.contains(u"只读"), qPrintable(prompt.shown[0].text));
        dm.database().close();
        QCOMPARE(contents(folder), before);
    }

    // A home, data folder and file that the user may only read: named as read-only at the
    // start, not as "not a database" (root writes anywhere, so the program runs as nobody).
    void readOnlyHomeIsToldAsReadOnly()
    {
        if (geteuid() != 0)
            QSKIP("needs root to run the program as another user");
        QTemporaryDir home;
        const QString folder = home.filePath(QStringLiteral("data"));
        makeRegister(folder, 1);
        QFile(folder + QStringLiteral("/RevaZez.db"))
            .setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadOther);
        const auto readable = QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                              QFileDevice::ReadOther | QFileDevice::ExeOther;
        QFile::setPermissions(folder, readable);
        QFile::setPermissions(home.path(), readable);
        QProcess start;
        start.start(QStringLiteral("runuser"),
                    {QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"),
                     QStringLiteral(QUORIN_BINARY), QStringLiteral("--home"), home.path(),
                     QStringLiteral("--demo-data"), QStringLiteral("1")});
        QVERIFY(start.waitForFinished(60000));
        const QString said = QString::fromLocal8Bit(start.readAllStandardError());
        if (said.contains(u"Permission denied") && !said.contains(u"RevaZez.db"))
            QSKIP("nobody may not run the program from this folder");
        QCOMPARE(start.exitCode(), 1);
        QVERIFY2(said.contains(u"是只读的") && !said.contains(u"不是有效的数据库文件"),
                 qPrintable(said));
    }

    // A text longer than its column, written by another program, is kept and is no damage:
    // the register stays writable, that row saves unchanged, and a write that is too long
    // fails alone, naming the column and its width.
    void aLongTextOfAnotherProgramIsNoDamage_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::newRow("sqlite") << QStringLiteral("sqlite");
        QTest::newRow("postgresql") << QStringLiteral("postgresql");
    }

    void aLongTextOfAnotherProgramIsNoDamage()
    {
        QFETCH(QString, engine);
        TestDatabase db(engine);
        if (!db.ok() && engine == u"postgresql")
            QSKIP("no PostgreSQL server (QUORIN_TEST_PG)");
        const RegisterDescription &clients = clientRegister();
        const auto save = [&clients](TdmData *dm, qint64 id, const QVariantMap &values,
                                     QString *error) {
            qint64 saved = 0;
            return RegisterStore::save(*dm, clients, id, values, &saved, error) ==
                   RegisterStore::SaveResult::Saved;
        };
        QString error;
        QVERIFY(save(db.dm(), 0, {{"F_Code", "K1"}, {"F_Name", "客户"}}, &error));
        const qint64 id = db.dm()->GetIntValue(QStringLiteral("select F_ID from T_client"));
        const QString longName(300, u'名');
        QVERIFY(db.writeAsAnotherProgram(QStringLiteral("T_client"), id, QStringLiteral("F_Name"),
                                         longName));

        ScriptedPrompt prompt;
        const std::unique_ptr<TdmData> dm = db.openAnother();
        QCOMPARE(Connection::findDamage(dm->source()), QString());
        QVERIFY2(save(dm.get(), 0, {{"F_Code", "K2"}, {"F_Name", "另一个客户"}}, &error),
                 qPrintable(error));
        QVERIFY2(save(dm.get(), id, {{"F_Code", "K1"}, {"F_Phone", "123"}}, &error),
                 qPrintable(error));
        const QString where = QStringLiteral(" from T_client where F_ID = ?");
        QCOMPARE(dm->GetStrValue(QStringLiteral("select F_Name") + where, {id}), longName);
        QCOMPARE(dm->GetStrValue(QStringLiteral("select F_Phone") + where, {id}), u"123");

        QVERIFY(!save(dm.get(), id, {{"F_Code", "K1"}, {"F_LinkMan", QString(60, u'联')}}, &error));
        dm->showFailure(QStringLiteral("保存失败，请检测数据库连接！"), error);
        QCOMPARE(prompt.texts(),
                 QStringList{QStringLiteral("“F_LinkMan”一栏最多只能保存 50 个字符，要保存的文字"
                                            "比这更长。没有保存，其余数据不受影响，数据库可以照常"
                                            "使用。")});
        QVERIFY(!dm->isDamaged());
        QVERIFY(save(dm.get(), 0, {{"F_Code", "K3"}}, &error));
        QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from T_client")), 3);
    }

    // Two workstations starting on a new file, then writing after a read, both succeed.
    void writersWaitForEachOther()
    {
        QTemporaryDir home;
        const DataSource source = DataSource::fromDs(QString(), home.path());
        std::atomic<int> succeeded{0};
        const auto workstation = [&](int n) {
            const QString name = QStringLiteral("workstation-%1").arg(n);
            {
                QSqlDatabase db;
                QString error;
                bool ok = Connection::open(source, name, &db, &error) &&
                          Schema::ensure(db, SqlDialect(Engine::SQLite), &error);
                for (int i = 0; ok && i < 5; ++i) {
                    Transaction tx(db);
                    QSqlQuery q(db);
                    ok = tx.began(&error) &&
                         q.exec(QStringLiteral("select count(*) from T_goods")) && q.next();
                    const int count = ok ? q.value(0).toInt() : 0;
                    q.finish();
                    QThread::msleep(20);
                    ok = ok && q.prepare(QStringLiteral("insert into T_goods(F_Code) values(?)"));
                    q.addBindValue(QStringLiteral("%1-%2").arg(n).arg(count));
                    ok = ok && q.exec() && tx.commit(&error);
                }
                if (ok)
                    ++succeeded;
                else
                    qWarning("%s: %s", qPrintable(name), qPrintable(error));
                db.close();
            }
            QSqlDatabase::removeDatabase(name);
        };
        std::thread first(workstation, 1);
        std::thread second(workstation, 2);
        first.join();
        second.join();
        QCOMPARE(succeeded.load(), 2);
    }

    // Opening a second connection must leave the locks of the first in place: another program
    // may not write while this one holds the write lock.
    void anotherConnectionKeepsTheLocks()
    {
        QTemporaryDir home;
        const DataSource source = DataSource::fromDs(QString(), home.path());
        QSqlDatabase first;
        QString error;
        QVERIFY2(Connection::open(source, QStringLiteral("first"), &first, &error),
                 qPrintable(error));
        QVERIFY(QSqlQuery(first).exec(QStringLiteral("create table t(x)")));
        QSqlQuery lock(first);
        QVERIFY(lock.exec(QStringLiteral("begin immediate")));
        {
            QSqlDatabase second;
            QVERIFY2(Connection::open(source, QStringLiteral("second"), &second, &error),
                     qPrintable(error));
            second.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("second"));
        const int status =
            QProcess::execute(QStringLiteral("/usr/bin/python3"),
                              {QStringLiteral("-c"),
                               QStringLiteral("import sqlite3,sys\n"
                                              "c = sqlite3.connect(sys.argv[1], timeout=0)\n"
                                              "try:\n c.execute('begin immediate'); sys.exit(0)\n"
                                              "except sqlite3.OperationalError: sys.exit(3)"),
                               source.sqliteFile});
        QCOMPARE(status, 3);
        QVERIFY(lock.exec(QStringLiteral("rollback")));
        lock.finish();
        first.close();
        first = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("first"));
    }
};

QTEST_MAIN(TestDatabaseFaults)
#include "tst_databasefaults.moc"
