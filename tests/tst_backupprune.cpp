#include "app/uFrmMain.h"
#include "core/DataDm.h"
#include "maintenance/Backup.h"
#include "maintenance/BackupPrune.h"
#include "maintenance/uFrmDataBack.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {

// A small SQLite file, as a backup starts.
void writeDatabase(const QString &path)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("b"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("create table backup_header(k, v)")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("b"));
}

void writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QString daily(int daysAgo, const QDate &today = QDate::currentDate())
{
    return Backup::fileName(today.addDays(-daysAgo));
}

QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

} // namespace

// The daily backups kept to a number of days, and never a file the backups did not make.
class TestBackupPrune : public QObject
{
    Q_OBJECT

private slots:
    void onlyOldDailyBackupsGo_data()
    {
        QTest::addColumn<int>("keepDays");
        QTest::addColumn<QStringList>("removed");
        const QDate today(2026, 12, 11);
        QTest::newRow("30 days") << 30 << QStringList{daily(31, today), daily(400, today)};
        QTest::newRow("one day") << 1
                                 << QStringList{daily(2, today), daily(30, today), daily(31, today),
                                                daily(400, today)};
        QTest::newRow("0 keeps all") << 0 << QStringList();
    }

    void onlyOldDailyBackupsGo()
    {
        QFETCH(int, keepDays);
        QFETCH(QStringList, removed);
        const QDate today(2026, 12, 11);
        QTemporaryDir dir;
        const QString folder = dir.path();
        const auto at = [&](const QString &name) { return QDir(folder).filePath(name); };
        for (int age : {0, 1, 2, 30, 31, 400, -3})
            writeDatabase(at(daily(age, today)));
        // Old, but not the daily files of the backup.
        writeDatabase(at(Backup::safetyFileName(QDateTime(today.addYears(-1), QTime(9, 0)))));
        writeDatabase(at(daily(500, today) + QStringLiteral(".copy")));
        writeDatabase(at(daily(500, today).toUpper()));
        writeDatabase(at(QStringLiteral("dp20251301.back")));
        writeText(at(daily(501, today)), "a file of the user's own under the backup's name");
        writeText(at(QStringLiteral("notes.txt")), "notes");
        QVERIFY(QDir(folder).mkdir(daily(502, today)));
        QVERIFY(::mkfifo(QFile::encodeName(at(daily(503, today))).constData(), 0600) == 0);
        QTemporaryDir elsewhere;
        const QString linked = QDir(elsewhere.path()).filePath(daily(504, today));
        writeDatabase(linked);
        QVERIFY(QFile::link(linked, at(daily(504, today))));
        const QStringList before = namesIn(folder);

        const QStringList gone = BackupPrune::removeOld(folder, keepDays, today);
        QStringList goneNames;
        for (const QString &path : gone)
            goneNames << QFileInfo(path).fileName();
        goneNames.sort();
        QStringList expected = removed;
        expected.sort();
        QCOMPARE(goneNames, expected);
        QStringList left = before;
        for (const QString &name : removed)
            left.removeOne(name);
        QCOMPARE(namesIn(folder), left);
        QVERIFY(QFile::exists(linked));
    }

    void initTestCase_data() { TestDatabase::addEngineRows(); }

    // The window keeps the days; the automatic backup at start removes what is older.
    void automaticBackupRemovesOldDailyFiles()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        {
            TFrmDataBack window;
            auto *days = window.findChild<QSpinBox *>(QStringLiteral("spnKeepDays"));
            QVERIFY(days);
            QCOMPARE(days->value(), 30);
            days->setValue(10);
            prompt.answer({Prompt::Yes}); // make the backup folder
            window.findChild<QPushButton *>(QStringLiteral("Button1"))->click();
        }
        QCOMPARE(db.dm()->config().backupKeepDays(), 10);
        db.dm()->config().setIbak(1);
        const QString folder = QDir(db.home()).filePath(QStringLiteral("back"));
        QVERIFY(QDir().mkpath(folder));
        for (int age : {10, 11})
            writeDatabase(QDir(folder).filePath(daily(age)));
        writeText(QDir(folder).filePath(QStringLiteral("keep.txt")), "mine");
        {
            TFrmMain main;
            main.show();
        }
        QCOMPARE(namesIn(folder), QStringList({daily(10), daily(0), QStringLiteral("keep.txt")}));
        QVERIFY(!prompt.texts().contains(QStringLiteral("数据备份失败！")));
    }

    // The nightly timer's backup does the same after writing the day's file.
    void commandLineBackupRemovesOldDailyFiles()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        db.dm()->config().setBackupKeepDays(5);
        QTemporaryDir dir;
        writeDatabase(QDir(dir.path()).filePath(daily(5)));
        writeDatabase(QDir(dir.path()).filePath(daily(6)));
        QProcess quorin;
        quorin.start(QStringLiteral(QUORIN_BINARY),
                     {QStringLiteral("--home"), db.home(), QStringLiteral("--backup"), dir.path()});
        QVERIFY(quorin.waitForFinished(120000));
        QCOMPARE(quorin.exitCode(), 0);
        QCOMPARE(namesIn(dir.path()), QStringList({daily(5), daily(0)}));
    }
};

QTEST_MAIN(TestBackupPrune)
#include "tst_backupprune.moc"
