#include "core/Connection.h"
#include "core/DataDm.h"
#include "core/Schema.h"
#include "core/SearchIndex.h"
#include "maintenance/Backup.h"
#include "support/TestDatabase.h"
#include "support/WorkDone.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QUuid>
#include <atomic>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// Every row of every table of the schema as text, the same whichever engine holds it.
QStringList dump(const QSqlDatabase &db)
{
    QStringList rows;
    for (const Schema::Table &t : Schema::tables()) {
        QStringList columns;
        for (const Schema::Column &c : t.columns)
            columns << QLatin1String(c.name);
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("select %1 from %2")
                        .arg(columns.join(u','), QLatin1String(t.name)))) {
            rows << q.lastError().text();
            continue;
        }
        while (q.next()) {
            QStringList cells{QLatin1String(t.name)};
            for (size_t i = 0; i < t.columns.size(); ++i) {
                const QVariant v = q.value(int(i));
                const Schema::ColumnType type = t.columns[i].type;
                cells << (v.isNull()                         ? QStringLiteral("∅")
                          : type == Schema::ColumnType::Bool ? QString::number(v.toBool())
                          : type == Schema::ColumnType::Date ? v.toDate().toString(Qt::ISODate)
                          : type == Schema::ColumnType::Float
                              ? QString::number(v.toDouble(), 'g', 17)
                              : v.toString());
            }
            rows << cells.join(u'|');
        }
    }
    rows.sort();
    return rows;
}

void fill(TdmData *dm)
{
    QVERIFY(dm->ExecSql(QStringLiteral("insert into GoodMain(F_goodCode, F_goodName, F_editDate, "
                                       "F_CGprice, F_amount, F_memo1, F_useFlag) "
                                       "values(?, ?, ?, ?, ?, ?, ?)"),
                        {QStringLiteral("O'Brien 100%_"), QStringLiteral("深沟球轴承"),
                         QDate(2026, 2, 28), 12.345, 3.0, QStringLiteral("\\\\五金\\螺丝"), true}));
    QVERIFY(dm->ExecSql(QStringLiteral("insert into GoodMain(F_goodCode, F_goodName) "
                                       "values('B2', null)")));
    // What the servers' bulk text format escapes, and a text that reads as its null.
    QVERIFY(dm->ExecSql(QStringLiteral("insert into GoodMain(F_goodCode, F_goodName, F_memo1, "
                                       "F_CGprice, F_amount) values(?, ?, ?, ?, ?)"),
                        {QStringLiteral("\\N"), QString(""), QStringLiteral("行一\n行二\t列\r尾\\"),
                         0.1 + 0.2, 1e-7}));
    QVERIFY(dm->ExecSql(QStringLiteral("insert into T_client(F_Code, F_Name, F_useFlag) "
                                       "values('K1', '客户', ?)"),
                        {false}));
}

// The search index answers for the rows it holds.
void verifySearchIndex(const QSqlDatabase &db)
{
    QSqlQuery q(db);
    QVERIFY2(q.exec(QStringLiteral("insert into GoodMain_fts(GoodMain_fts) "
                                   "values('integrity-check')")),
             qPrintable(q.lastError().text()));
    QVERIFY(q.exec(QStringLiteral("select count(*) from GoodMain_fts where GoodMain_fts "
                                  "match '{F_goodName} : \"轴承\"'")) &&
            q.next());
    QCOMPARE(q.value(0).toInt(), 1);
}

// Runs `statements` on a backup file as someone who edits it by hand.
void editFile(const QString &file, const QStringList &statements)
{
    const QString name = QStringLiteral("edit");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        QVERIFY(db.open());
        QString error;
        QVERIFY(SearchIndex::registerTokenizer(db, &error));
        QSqlQuery q(db);
        for (const QString &sql : statements)
            QVERIFY2(q.exec(sql), qPrintable(sql + u' ' + q.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// Every table, column, index and trigger of a database, as its engine describes them.
QStringList schemaOf(const QSqlDatabase &db)
{
    QStringList objects;
    QSqlQuery q(db);
    if (db.driverName() == u"QSQLITE") {
        q.exec(QStringLiteral("select type, name, tbl_name, sql from sqlite_master "
                              "where name not like 'sqlite_%'"));
    } else {
        q.exec(QStringLiteral(
            "select 'column', table_name, column_name, data_type || coalesce(column_default, '') "
            "from information_schema.columns where table_schema = current_schema() union all "
            "select 'index', tablename, indexname, indexdef from pg_indexes "
            "where schemaname = current_schema() union all "
            "select 'trigger', tgrelid::regclass::text, tgname, '' from pg_trigger "
            "where not tgisinternal"));
    }
    while (q.next()) {
        objects << QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                               q.value(3).toString()}
                       .join(u'|');
    }
    objects.sort();
    return objects;
}

QString adminHash(TdmData *dm)
{
    return dm->GetStrValue(
        QStringLiteral("select F_PassWord from OperList where F_Name = 'admin'"));
}

// The columns of a table as a list for hand-written statements.
QString columnsOf(const char *table)
{
    QStringList names;
    for (const Schema::Column &c : Schema::table(QLatin1String(table))->columns)
        names << QLatin1String(c.name);
    return names.join(u',');
}

// Files in `folder`, hidden ones too.
QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

int modeOf(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 0777)
                                                                     : -1;
}

// While it lives, this process may write no file past `bytes`; writes beyond fail instead of
// ending the process, as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_before);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_before;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_before);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_before = {};
    void (*m_handler)(int) = nullptr;
};

} // namespace

// Backup files: whole, checked, the same from either engine; written aside until complete.
class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void backupHoldsEveryRowAndAHeader()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        fill(db.dm());
        const QString target = QDir(db.home()).filePath(Backup::fileName(QDate(2026, 12, 7)));
        QCOMPARE(QFileInfo(target).fileName(), QStringLiteral("dp20261207.back"));
        QList<int> seen;
        QString error;
        QVERIFY2(done(Backup::write(db.dm()->source(), target,
                                    [&seen](int percent) {
                                        seen << percent;
                                        return true;
                                    }),
                      &error),
                 qPrintable(error));
        QCOMPARE(seen.last(), 100);
        QVERIFY(std::is_sorted(seen.cbegin(), seen.cend()));
        QVERIFY(!QFile::exists(target + QStringLiteral(".part")));

        const QMap<QString, QString> header = Backup::header(target, &error);
        QCOMPARE(header.value(QStringLiteral("format")), QStringLiteral("1"));
        QCOMPARE(header.value(QStringLiteral("schema")), QString::number(Schema::kVersion));
        QCOMPARE(header.value(QStringLiteral("engine")), engine);
        QCOMPARE(header.value(QStringLiteral("rows.goodmain")), QStringLiteral("3"));
        QCOMPARE(header.value(QStringLiteral("rows.t_client")), QStringLiteral("1"));

        const QString name = QStringLiteral("check");
        {
            QSqlDatabase file = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            file.setDatabaseName(target);
            QVERIFY(file.open());
            QVERIFY(SearchIndex::registerTokenizer(file, &error));
            QCOMPARE(dump(file), dump(db.dm()->database()));
            QSqlQuery q(file);
            QVERIFY(q.exec(QStringLiteral("pragma integrity_check")) && q.next());
            QCOMPARE(q.value(0).toString(), QStringLiteral("ok"));
            q.finish();
            // A server's backup leaves the search index to a restore into a file.
            if (engine == u"sqlite")
                verifySearchIndex(file);
            file.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

    // Back up, change, restore: every table as it was backed up, and new rows after it.
    void restoreBringsBackEveryRow()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TdmData *dm = db.dm();
        fill(dm);
        const QStringList before = dump(dm->database());
        const QString file = QDir(db.home()).filePath(QStringLiteral("dp.back"));
        QString error;
        QVERIFY2(done(Backup::write(dm->source(), file), &error), qPrintable(error));
        QVERIFY2(done(Backup::check(file), &error), qPrintable(error));

        QVERIFY(dm->ExecSql(QStringLiteral("delete from GoodMain where F_goodCode = 'B2'")));
        QVERIFY(dm->ExecSql(QStringLiteral("insert into T_suppler(F_Code, F_Name) values('S', "
                                           "'新')")));
        QVERIFY(dm->ExecSql(QStringLiteral("update cfg_Grid set F_Width = 1")));
        QVERIFY(dm->ExecSql(QStringLiteral("insert into GoodMain(F_goodCode) values('C3')")));
        QVERIFY(dump(dm->database()) != before);

        QVERIFY2(done(Backup::restore(file, dm->source()), &error), qPrintable(error));
        QCOMPARE(dump(dm->database()), before);
        QVERIFY(!dm->database().tables().contains(QStringLiteral("backup_header"),
                                                  Qt::CaseInsensitive));
        QVERIFY(dm->ExecSql(QStringLiteral("insert into GoodMain(F_goodCode) values('D4')")));
        QVERIFY(dm->GetIntValue(QStringLiteral("select F_ID from GoodMain where F_goodCode = "
                                               "'D4'")) > 2);
    }

    // The way from a single file to a shared server and back.
    void restoreAcrossEngines()
    {
        if (qEnvironmentVariableIsEmpty("QUORIN_TEST_PG"))
            QSKIP("no PostgreSQL server");
        QFETCH_GLOBAL(QString, engine);
        if (engine != u"sqlite")
            QSKIP("one direction each way is enough");
        TestDatabase file(QStringLiteral("sqlite"));
        fill(file.dm());
        const QStringList data = dump(file.dm()->database());
        const QString fromFile = QDir(file.home()).filePath(QStringLiteral("file.back"));
        QString error;
        QVERIFY2(done(Backup::write(file.dm()->source(), fromFile), &error), qPrintable(error));
        TestDatabase server(QStringLiteral("postgresql"));
        QVERIFY2(done(Backup::restore(fromFile, server.dm()->source()), &error), qPrintable(error));
        QCOMPARE(dump(server.dm()->database()), data);

        QVERIFY(server.dm()->ExecSql(QStringLiteral("insert into T_goods(F_Code, F_Name) "
                                                    "values('G', '服务器上')")));
        const QStringList onServer = dump(server.dm()->database());
        const QString fromServer = QDir(server.home()).filePath(QStringLiteral("server.back"));
        QVERIFY2(done(Backup::write(server.dm()->source(), fromServer), &error), qPrintable(error));
        TestDatabase back(QStringLiteral("sqlite"));
        QVERIFY2(done(Backup::restore(fromServer, back.dm()->source()), &error), qPrintable(error));
        QCOMPARE(dump(back.dm()->database()), onServer);
        verifySearchIndex(back.dm()->database());
    }

    // A backup that defines more than the program's tables brings none of it along: the
    // register ends with exactly the program's schema, and nothing of the file ever ran.
    void hostileBackupRestoresToOurSchema()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TdmData *dm = db.dm();
        fill(dm);
        const QStringList data = dump(dm->database());
        const QString hash = adminHash(dm);
        const QString file = QDir(db.home()).filePath(QStringLiteral("planted.back"));
        QString error;
        QVERIFY2(done(Backup::write(dm->source(), file), &error), qPrintable(error));
        const QString goods = columnsOf("GoodMain");
        editFile(file,
                 {QStringLiteral("create table spy(what text)"),
                  QStringLiteral("create table gm_old as select * from GoodMain"),
                  QStringLiteral("drop table GoodMain"),
                  // No key, one column more.
                  QStringLiteral("create table GoodMain(%1, F_planted text)").arg(goods),
                  QStringLiteral("insert into GoodMain(%1, F_planted) select %1, 'x' from gm_old")
                      .arg(goods),
                  QStringLiteral("drop table gm_old"),
                  QStringLiteral("create trigger spy_goods after insert on GoodMain begin "
                                 "insert into spy values('goods'); end"),
                  QStringLiteral("create trigger spy_grid after update on cfg_Grid begin "
                                 "update OperList set F_PassWord = ''; end"),
                  QStringLiteral("create trigger spy_oper after insert on OperList begin "
                                 "update OperList set F_PassWord = ''; end"),
                  QStringLiteral("create view spy_view as with recursive r(n) as (select 1 "
                                 "union all select n + 1 from r) select n from r")});
        QVERIFY2(done(Backup::check(file), &error), qPrintable(error));
        QVERIFY2(done(Backup::restore(file, dm->source()), &error), qPrintable(error));

        TestDatabase fresh(engine);
        QCOMPARE(schemaOf(dm->database()), schemaOf(fresh.dm()->database()));
        QCOMPARE(dump(dm->database()), data);
        QCOMPARE(adminHash(dm), hash);
        // The saves that the planted triggers were waiting for.
        QVERIFY(dm->ExecSql(QStringLiteral("insert into GoodMain(F_goodCode) values('N')")));
        QVERIFY(dm->ExecSql(QStringLiteral("update cfg_Grid set F_Width = F_Width + 1")));
        QVERIFY(dm->ExecSql(QStringLiteral("insert into OperList(F_Name) values('new')")));
        QCOMPARE(adminHash(dm), hash);
        QVERIFY(dm->GetIntValue(QStringLiteral("select max(F_ID) from GoodMain")) > 3);
    }

    void olderBackupIsBuiltAndUpgraded_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("version 1") << 1;
        QTest::newRow("version 3") << 3;
    }

    // A backup of an older version is loaded into the program's schema of that version and
    // upgraded there; its triggers never see the upgrade's writes, its rows are counted all
    // the same, and a view where a later version has a table is ignored.
    void olderBackupIsBuiltAndUpgraded()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(int, version);
        TestDatabase db(engine);
        TdmData *dm = db.dm();
        fill(dm);
        const QString hash = adminHash(dm);
        const QString file = QDir(db.home()).filePath(QStringLiteral("old.back"));
        QString error;
        QVERIFY2(done(Backup::write(dm->source(), file), &error), qPrintable(error));
        QStringList older{
            QStringLiteral("delete from cfg_schema"),
            QStringLiteral("insert into cfg_schema values(%1)").arg(version),
            QStringLiteral("delete from cfg_Grid where F_name = 'revazezmain' and "
                           "F_fieldname = 'F_amount'"),
            QStringLiteral("create trigger spy_grid after update on cfg_Grid begin "
                           "update OperList set F_PassWord = ''; end"),
            QStringLiteral("update backup_header set F_value = '%1' where F_key = 'schema'")
                .arg(version)};
        for (const char *table : {"cfg_Grid", "cfg_schema"})
            older << QStringLiteral("update backup_header set F_value = (select count(*) from %1) "
                                    "where F_key = 'rows.%2'")
                         .arg(QLatin1String(table), QString::fromLatin1(table).toLower());
        older << QStringLiteral("drop table cfg_importrow")
              << QStringLiteral("drop table cfg_importbatch")
              << QStringLiteral("create view cfg_importrow as with recursive r(n) as (select 1 "
                                "union all select n + 1 from r) select n as F_ID from r");
        editFile(file, older);

        QVERIFY2(done(Backup::check(file), &error), qPrintable(error));
        QVERIFY2(done(Backup::restore(file, dm->source()), &error), qPrintable(error));
        QCOMPARE(dm->GetIntValue(QStringLiteral("select max(F_version) from cfg_schema")),
                 Schema::kVersion);
        QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from cfg_Grid where "
                                                "F_name = 'revazezmain' and F_fieldname = "
                                                "'F_amount'")),
                 version < 2 ? 1 : 0);
        QCOMPARE(adminHash(dm), hash);
        TestDatabase fresh(engine);
        QCOMPARE(schemaOf(dm->database()), schemaOf(fresh.dm()->database()));

        // The row count of an older header is checked as well.
        editFile(file, {QStringLiteral("delete from T_client")});
        QVERIFY(!done(Backup::check(file), &error));
        QVERIFY2(error.contains(QStringLiteral("数据表 T_client 不完整")), qPrintable(error));
    }

    void refusedFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("text") << "text"
                              << "不是本程序的备份文件";
        QTest::newRow("foreign database") << "foreign"
                                          << "不是本程序的备份文件";
        QTest::newRow("damaged") << "damaged"
                                 << "备份文件已损坏";
        QTest::newRow("newer") << "newer"
                               << QStringLiteral("比本程序（%1）新").arg(Schema::kVersion);
        QTest::newRow("a header alone") << "header"
                                        << "数据表 GoodMain 不完整";
        QTest::newRow("rows missing") << "rows"
                                      << "数据表 T_client 不完整";
        QTest::newRow("a view in place of a table") << "view"
                                                    << "数据表 GoodMain 与本程序的不符";
        QTest::newRow("an endless view in place of a table") << "endless view"
                                                             << "数据表 T_client 与本程序的不符";
        QTest::newRow("a column missing") << "missing column"
                                          << "数据表 T_goods 与本程序的不符";
        QTest::newRow("a computed column") << "computed column"
                                           << "数据表 T_suppler 与本程序的不符";
        QTest::newRow("a FIFO") << "fifo"
                                << "不是普通文件";
        QTest::newRow("a link to a FIFO") << "link"
                                          << "不是普通文件";
        QTest::newRow("a folder") << "folder"
                                  << "不是普通文件";
    }

    // A file that is not a whole backup of this or an older version is refused before
    // anything changes.
    void refusedFiles()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, kind);
        QFETCH(QString, message);
        TestDatabase db(engine);
        const QString file = QDir(db.home()).filePath(QStringLiteral("chosen.back"));
        QString error;
        const QMap<QString, QStringList> edits{
            {QStringLiteral("view"),
             {QStringLiteral("drop table GoodMain"),
              QStringLiteral("create view GoodMain as select * from T_goods")}},
            {QStringLiteral("endless view"),
             {QStringLiteral("drop table T_client"),
              QStringLiteral("create view T_client as with recursive r(n) as (select 1 union "
                             "all select n + 1 from r) select n as F_ID from r")}},
            {QStringLiteral("missing column"),
             {QStringLiteral("alter table T_goods drop column F_spec")}},
            {QStringLiteral("computed column"),
             {QStringLiteral("alter table T_suppler drop column F_Memo1"),
              QStringLiteral("alter table T_suppler add column F_Memo1 text generated always "
                             "as (F_Name) virtual")}}};
        const QString fifo = QDir(db.home()).filePath(QStringLiteral("pipe"));
        if (edits.contains(kind)) {
            QVERIFY2(done(Backup::write(db.dm()->source(), file), &error), qPrintable(error));
            editFile(file, edits.value(kind));
        } else if (kind == u"fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        } else if (kind == u"link") {
            QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
            QVERIFY(QFile::link(fifo, file));
        } else if (kind == u"folder") {
            QVERIFY(QDir().mkpath(file));
        } else if (kind == u"text") {
            QFile text(file);
            QVERIFY(text.open(QIODevice::WriteOnly));
            text.write("样品记录\n");
        } else if (kind == u"header") {
            const QString name = QStringLiteral("header");
            {
                QSqlDatabase only = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
                only.setDatabaseName(file);
                QVERIFY(only.open());
                QSqlQuery q(only);
                QVERIFY(q.exec(QStringLiteral("create table backup_header(F_key text, F_value "
                                              "text)")));
                QVERIFY(q.exec(QStringLiteral("insert into backup_header values('format', '1'), "
                                              "('schema', '%1')")
                                   .arg(Schema::kVersion)));
                only.close();
            }
            QSqlDatabase::removeDatabase(name);
        } else if (kind == u"foreign") {
            const QString name = QStringLiteral("foreign");
            {
                QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
                other.setDatabaseName(file);
                QVERIFY(other.open());
                QVERIFY(QSqlQuery(other).exec(QStringLiteral("create table notes(x)")));
                other.close();
            }
            QSqlDatabase::removeDatabase(name);
        } else {
            fill(db.dm());
            QVERIFY2(done(Backup::write(db.dm()->source(), file), &error), qPrintable(error));
            QFile bytes(file);
            QVERIFY(bytes.open(QIODevice::ReadWrite));
            if (kind == u"rows") {
                bytes.close();
                const QString name = QStringLiteral("rows");
                {
                    QSqlDatabase less = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
                    less.setDatabaseName(file);
                    QVERIFY(less.open());
                    QVERIFY(QSqlQuery(less).exec(QStringLiteral("delete from T_client")));
                    less.close();
                }
                QSqlDatabase::removeDatabase(name);
            } else if (kind == u"damaged") {
                // Pages in the middle overwritten.
                bytes.seek(bytes.size() / 2 / 4096 * 4096);
                bytes.write(QByteArray(3 * 4096, 'x'));
            } else {
                bytes.close();
                const QString name = QStringLiteral("newer");
                {
                    QSqlDatabase newer = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
                    newer.setDatabaseName(file);
                    QVERIFY(newer.open());
                    QVERIFY(QSqlQuery(newer).exec(QStringLiteral(
                        "update backup_header set F_value = '99' where F_key = 'schema'")));
                    newer.close();
                }
                QSqlDatabase::removeDatabase(name);
            }
        }
        // Refused, never waited on: nothing is read from a FIFO, nothing runs a view.
        error.clear();
        QVERIFY(!done(Backup::check(file), &error));
        QVERIFY2(error.contains(message), qPrintable(error));
        error.clear();
        QVERIFY(!done(Backup::restore(file, db.dm()->source()), &error));
        QVERIFY2(error.contains(message), qPrintable(error));
        QCOMPARE(filesIn(QDir(db.home()).filePath(QStringLiteral("back"))), QStringList());
        QCOMPARE(filesIn(QDir(db.home()).filePath(QStringLiteral("data"))).filter(u".part"),
                 QStringList());
    }

    void stoppedWorkLeavesNothing_data()
    {
        QTest::addColumn<int>("stopAt");
        QTest::newRow("while copying the file") << 0;
        QTest::newRow("while loading the rows") << 25;
        QTest::newRow("before the data is replaced") << 70;
    }

    // 取消 during a check or a restore: the data as it was, and no file of the work left.
    void stoppedWorkLeavesNothing()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(int, stopAt);
        TestDatabase db(engine);
        fill(db.dm());
        const QString file = QDir(db.home()).filePath(QStringLiteral("dp.back"));
        QString error;
        QVERIFY2(done(Backup::write(db.dm()->source(), file), &error), qPrintable(error));
        QVERIFY(db.dm()->ExecSql(QStringLiteral("delete from GoodMain")));
        const QStringList before = dump(db.dm()->database());
        const QString work = QDir(db.home()).filePath(QStringLiteral("work"));
        const auto stop = [stopAt](int percent) { return percent < stopAt; };
        QVERIFY(Backup::check(file, stop, work).isCancelled());
        QVERIFY(Backup::restore(file, db.dm()->source(), stop, work).isCancelled());
        QCOMPARE(dump(db.dm()->database()), before);
        QCOMPARE(filesIn(work), QStringList());
    }

    // A backup or a restore that cannot write its files fails and takes them away again.
    void failedWritesLeaveNoPartFiles()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        fill(db.dm());
        const QString good = QDir(db.home()).filePath(QStringLiteral("good.back"));
        QString error;
        QVERIFY2(done(Backup::write(db.dm()->source(), good), &error), qPrintable(error));
        const QString folder = QDir(db.home()).filePath(QStringLiteral("limited"));
        QVERIFY(QDir().mkpath(folder));
        const QStringList before = dump(db.dm()->database());
        bool written = false;
        bool restored = false;
        {
            FileSizeLimit limit(64 * 1024);
            written = done(
                Backup::write(db.dm()->source(), QDir(folder).filePath(QStringLiteral("dp.back"))),
                &error);
            restored = done(Backup::restore(good, db.dm()->source(), {}, folder), &error);
        }
        QVERIFY(!written);
        QVERIFY(!restored);
        QCOMPARE(filesIn(folder), QStringList());
        QCOMPARE(dump(db.dm()->database()), before);
    }

    // Part files of killed work are removed at the next start once they are a day old; a
    // younger one may be another copy's work under way, and files of other names stay.
    void staleFilesAreRemovedAtStart()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        const QDir home(db.home());
        const QString stored = home.filePath(QStringLiteral("stored"));
        QVERIFY(db.dm()->ExecSql(QStringLiteral("update SysInfo set F_BakPath = ?"), {stored}));
        QStringList folders{stored, home.filePath(QStringLiteral("back")),
                            home.filePath(QStringLiteral("export"))};
        if (engine == u"sqlite")
            folders << home.filePath(QStringLiteral("data"));
        const QString uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        const QStringList stale{
            QStringLiteral("dp20261201.back.") + uuid + QStringLiteral(".part"),
            QStringLiteral("restore.back.") + uuid + QStringLiteral(".part-journal"),
            QStringLiteral("样品 2026-12-01 10-00-00.xlsx.") + uuid + QStringLiteral(".part")};
        const QStringList kept{QStringLiteral("dp20261201.back"), QStringLiteral("notes.part"),
                               QStringLiteral("dp.back.1234.part"),
                               QStringLiteral("dp20261201.back.") + uuid};
        const QString fresh = QStringLiteral("dp20261202.back.") + uuid + QStringLiteral(".part");
        const QDateTime old = QDateTime::currentDateTime().addDays(-2);
        for (const QString &folder : std::as_const(folders)) {
            QVERIFY(QDir().mkpath(folder));
            for (const QString &name : stale + kept + QStringList{fresh}) {
                QFile f(QDir(folder).filePath(name));
                QVERIFY(f.open(QIODevice::WriteOnly));
                if (name != fresh)
                    QVERIFY(f.setFileTime(old, QFileDevice::FileModificationTime));
            }
        }
        Backup::removeStaleFiles(*db.dm());
        for (const QString &folder : std::as_const(folders)) {
            QStringList left = filesIn(folder);
            for (const QString &name : stale)
                QVERIFY2(!left.contains(name), qPrintable(folder + u'/' + name));
            for (const QString &name : kept + QStringList{fresh})
                QVERIFY2(left.contains(name), qPrintable(folder + u'/' + name));
        }
    }

    // Another workstation writing during the backup: the file is one consistent state, and
    // restores cleanly.
    void backupWhileAnotherWorkstationWrites()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        fill(db.dm());
        std::atomic<bool> stop{false};
        std::atomic<int> written{0};
        std::thread writer([&] {
            const QString name = QStringLiteral("writer");
            {
                QSqlDatabase other;
                QString error;
                if (Connection::open(db.dm()->source(), name, &other, &error)) {
                    QSqlQuery q(other);
                    q.prepare(QStringLiteral("insert into GoodMain(F_goodCode, F_goodName) "
                                             "values(?, '并发')"));
                    while (!stop) {
                        q.addBindValue(QStringLiteral("W%1").arg(written.load()));
                        if (q.exec())
                            ++written;
                    }
                    other.close();
                }
            }
            QSqlDatabase::removeDatabase(name);
        });
        QTRY_VERIFY(written > 20);
        const QString file = QDir(db.home()).filePath(QStringLiteral("busy.back"));
        QString error;
        const bool written_ = done(Backup::write(db.dm()->source(), file), &error);
        stop = true;
        writer.join();
        QVERIFY2(written_, qPrintable(error));
        QVERIFY2(done(Backup::check(file), &error), qPrintable(error));
        const int rows =
            Backup::header(file, &error).value(QStringLiteral("rows.goodmain")).toInt();
        QVERIFY(rows > 3 && rows <= 3 + written);
        QVERIFY2(done(Backup::restore(file, db.dm()->source()), &error), qPrintable(error));
        QCOMPARE(db.dm()->GetIntValue(QStringLiteral("select count(*) from GoodMain")), rows);
    }

    void automaticBackupIsDue_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<bool>("due");
        const QDate monday(2026, 12, 7), tuesday(2026, 12, 8), first(2026, 12, 1);
        QTest::newRow("off") << 0 << monday << false;
        QTest::newRow("every start") << 1 << tuesday << true;
        QTest::newRow("Monday on a Monday") << 2 << monday << true;
        QTest::newRow("Monday on a Tuesday (the 1st)") << 2 << first << false;
        QTest::newRow("the 1st on the 1st") << 3 << first << true;
        QTest::newRow("the 1st on a Monday") << 3 << monday << false;
        QTest::newRow("unknown mode") << 7 << monday << false;
    }

    void automaticBackupIsDue()
    {
        QFETCH(int, mode);
        QFETCH(QDate, day);
        QFETCH(bool, due);
        QCOMPARE(Backup::isDue(mode, day), due);
    }

    // A backup stopped or refused leaves the day's earlier file as it was, and no part file.
    void aFailedBackupLeavesTheDaysFile()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        const QString target = QDir(db.home()).filePath(QStringLiteral("dp20261207.back"));
        QFile earlier(target);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
        earlier.close();
        QString error;
        QVERIFY(Backup::write(db.dm()->source(), target, [](int) { return false; }).isCancelled());
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        QCOMPARE(earlier.readAll(), QByteArray("earlier"));
        QVERIFY(!QFile::exists(target + QStringLiteral(".part")));

        error.clear();
        const QString nowhere = QDir(db.home()).filePath(QStringLiteral("missing/dp.back"));
        QVERIFY(!done(Backup::write(db.dm()->source(), nowhere), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(nowhere));
    }

    // What a nightly timer runs: the same backup without a window, and a plain exit status.
    void commandLine()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        fill(db.dm());
        const QString folder = QDir(db.home()).filePath(QStringLiteral("nightly/backups"));
        QProcess quorin;
        quorin.start(QStringLiteral(QUORIN_BINARY),
                     {QStringLiteral("--home"), db.home(), QStringLiteral("--backup"), folder});
        QVERIFY(quorin.waitForFinished(120000));
        QCOMPARE(quorin.exitCode(), 0);
        QCOMPARE(quorin.readAllStandardOutput(), QByteArray());
        QString error;
        const QString file = QDir(folder).filePath(Backup::fileName(QDate::currentDate()));
        QCOMPARE(Backup::header(file, &error).value(QStringLiteral("rows.goodmain")),
                 QStringLiteral("3"));
        // The owner's alone: the folders it made and the backup.
        QCOMPARE(modeOf(file), 0600);
        QCOMPARE(modeOf(folder), 0700);
        QCOMPARE(modeOf(QDir(db.home()).filePath(QStringLiteral("nightly"))), 0700);

        QFile blocker(QDir(db.home()).filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        quorin.start(QStringLiteral(QUORIN_BINARY),
                     {QStringLiteral("--home"), db.home(), QStringLiteral("--backup"),
                      blocker.fileName() + QStringLiteral("/inside")});
        QVERIFY(quorin.waitForFinished(120000));
        QVERIFY(quorin.exitCode() != 0);
        QVERIFY(quorin.readAllStandardError().contains("backup folder"));
    }
};

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
