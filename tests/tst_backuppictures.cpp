#include "core/AppHome.h"
#include "core/DataDm.h"
#include "maintenance/Backup.h"
#include "register/PictureStore.h"
#include "register/SampleRecord.h"
#include "support/TestDatabase.h"
#include "support/TestImages.h"
#include "support/WorkDone.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

qint64 addSample(TdmData *dm, const QString &code)
{
    QVariantMap values;
    values.insert(QStringLiteral("F_goodCode"), code);
    values.insert(QStringLiteral("F_editDate"), QDate::currentDate());
    QString error;
    return SampleRecord::save(*dm, 0, values, &error).value_or(0);
}

QString hashOfFile(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return PictureStore::hashOf(f.readAll());
}

// Picture name → the hash of its bytes as the register's store gives them ("" when missing).
QMap<QString, QString> pictureHashes(TdmData *dm)
{
    QMap<QString, QString> hashes;
    const std::unique_ptr<PictureStore> store = PictureStore::of(dm->database());
    QSqlQuery samples(dm->database());
    samples.exec(QStringLiteral("select F_ID from GoodMain"));
    while (samples.next()) {
        QString error;
        for (const PictureRecord &p : store->picturesOf(samples.value(0).toLongLong(), &error)) {
            const std::unique_ptr<QIODevice> bytes = store->open(p, &error);
            hashes.insert(p.fileName + p.fileExt,
                          bytes ? PictureStore::hashOf(bytes->readAll()) : QString());
        }
    }
    return hashes;
}

// Rows of T_Picture in a backup file.
int picturesIn(const QString &file)
{
    const QString name = QStringLiteral("backup-pictures");
    int count = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("select count(*) from T_Picture")) && q.next())
                count = q.value(0).toInt();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return count;
}

} // namespace

// Backups carry the pictures their rows name, once per content, from and into either store.
class TestBackupPictures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    // A register file's pictures, backed up, restored into this engine, backed up there and
    // restored into a new register file: every picture byte for byte.
    void picturesTravelBothWays()
    {
        QFETCH_GLOBAL(QString, engine);
        QTemporaryDir sources;
        const QString red = TestImages::write(sources.filePath("red.png"), {80, 60}, Qt::red);
        const QString blue = TestImages::write(sources.filePath("blue.jpg"), {60, 80}, Qt::blue);
        TestDatabase first(QStringLiteral("sqlite"));
        const std::unique_ptr<PictureStore> files = PictureStore::of(first.dm()->database());
        const qint64 a = addSample(first.dm(), QStringLiteral("A"));
        const qint64 b = addSample(first.dm(), QStringLiteral("B"));
        QString error;
        QVERIFY(files->add(a, QStringLiteral("正面"), red, true, &error));
        QVERIFY(files->add(a, QStringLiteral("侧面"), blue, true, &error));
        // Another name, the same bytes: one content in the backup.
        QVERIFY(files->add(b, QStringLiteral("copy"), red, true, &error));
        QVERIFY(first.dm()->ExecSql(QStringLiteral("insert into T_ImageREC(F_mainID, F_imagePath, "
                                                   "F_fileName, F_fileExt) values(?, "
                                                   "'images/gone.jpg', 'gone', '.jpg')"),
                                    {b}));
        const QMap<QString, QString> expected{{QStringLiteral("正面.png"), hashOfFile(red)},
                                              {QStringLiteral("侧面.jpg"), hashOfFile(blue)},
                                              {QStringLiteral("copy.png"), hashOfFile(red)},
                                              {QStringLiteral("gone.jpg"), QString()}};
        QCOMPARE(pictureHashes(first.dm()), expected);
        const QString fromFile = QDir(first.home()).filePath(QStringLiteral("file.back"));
        QVERIFY2(done(Backup::write(first.dm()->source(), fromFile), &error), qPrintable(error));
        QCOMPARE(picturesIn(fromFile), 2);
        QCOMPARE(Backup::header(fromFile, &error).value(QStringLiteral("pictures")),
                 QStringLiteral("yes"));

        TestDatabase middle(engine);
        QVERIFY2(done(Backup::restore(fromFile, middle.dm()->source()), &error), qPrintable(error));
        QCOMPARE(pictureHashes(middle.dm()), expected);
        const QString fromMiddle = QDir(middle.home()).filePath(QStringLiteral("middle.back"));
        QVERIFY2(done(Backup::write(middle.dm()->source(), fromMiddle), &error), qPrintable(error));
        QCOMPARE(picturesIn(fromMiddle), 2);

        TestDatabase last(QStringLiteral("sqlite"));
        QVERIFY2(done(Backup::restore(fromMiddle, last.dm()->source()), &error), qPrintable(error));
        QCOMPARE(pictureHashes(last.dm()), expected);
        QCOMPARE(QDir(AppHome::path(QStringLiteral("images")))
                     .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden),
                 (QStringList{"copy.png", "侧面.jpg", "正面.png"}));
        // A register file keeps no bytes in its tables.
        QCOMPARE(last.dm()->GetIntValue(QStringLiteral("select count(*) from T_Picture")), 0);
    }

    // "不含图片": the header says so, the file holds no picture, and restoring it keeps the
    // pictures the register has.
    void aBackupWithoutPicturesKeepsTheTargets()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QTemporaryDir sources;
        const QString red = TestImages::write(sources.filePath("red.png"), {80, 60}, Qt::red);
        const std::unique_ptr<PictureStore> store = PictureStore::of(db.dm()->database());
        const qint64 a = addSample(db.dm(), QStringLiteral("A"));
        QString error;
        QVERIFY(store->add(a, QStringLiteral("front"), red, true, &error));
        const QString file = QDir(db.home()).filePath(QStringLiteral("quick.back"));
        QVERIFY2(done(Backup::write(db.dm()->source(), file, {}, false), &error),
                 qPrintable(error));
        QCOMPARE(Backup::header(file, &error).value(QStringLiteral("pictures")),
                 QStringLiteral("no"));
        QCOMPARE(picturesIn(file), 0);
        QVERIFY(
            db.dm()->ExecSql(QStringLiteral("insert into GoodMain(F_goodCode) values('later')")));
        QVERIFY2(done(Backup::restore(file, db.dm()->source()), &error), qPrintable(error));
        QCOMPARE(db.dm()->GetIntValue(QStringLiteral("select count(*) from GoodMain")), 1);
        QCOMPARE(pictureHashes(db.dm()),
                 (QMap<QString, QString>{{QStringLiteral("front.png"), hashOfFile(red)}}));
    }

    // A picture whose bytes do not match its hash makes the file damaged, as a missing row does.
    void aChangedPictureIsRefusedAtRestore()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QTemporaryDir sources;
        const QString red = TestImages::write(sources.filePath("red.png"), {80, 60}, Qt::red);
        const qint64 a = addSample(db.dm(), QStringLiteral("A"));
        QString error;
        QVERIFY(PictureStore::of(db.dm()->database())
                    ->add(a, QStringLiteral("front"), red, true, &error));
        const QString file = QDir(db.home()).filePath(QStringLiteral("edited.back"));
        QVERIFY2(done(Backup::write(db.dm()->source(), file), &error), qPrintable(error));
        {
            QSqlDatabase edit = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "edit");
            edit.setDatabaseName(file);
            QVERIFY(edit.open());
            QSqlQuery q(edit);
            QVERIFY2(q.exec(QStringLiteral("update T_Picture set F_data = x'00' || F_data")),
                     qPrintable(q.lastError().text()));
            edit.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("edit"));
        QVERIFY(!done(Backup::check(file), &error));
        QVERIFY2(error.startsWith(QStringLiteral("备份文件已损坏：图片 ")), qPrintable(error));
        QVERIFY(!done(Backup::restore(file, db.dm()->source()), &error));
        QCOMPARE(pictureHashes(db.dm()),
                 (QMap<QString, QString>{{QStringLiteral("front.png"), hashOfFile(red)}}));
    }
};

QTEST_MAIN(TestBackupPictures)
#include "tst_backuppictures.moc"
