#include "core/AppHome.h"
#include "core/DataDm.h"
#include "core/OwnConnection.h"
#include "register/PictureStore.h"
#include "register/PictureUpload.h"
#include "register/SampleRecord.h"
#include "support/TestDatabase.h"
#include "support/TestImages.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
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

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

int count(TdmData *dm, const QString &table)
{
    return dm->GetIntValue(QStringLiteral("select count(*) from ") + table);
}

bool onServer(TdmData *dm)
{
    return dm->source().engine == Engine::PostgreSQL;
}

// What the store holds: on a server the contents in T_Picture, else the files in images/.
int contents(TdmData *dm)
{
    if (onServer(dm))
        return count(dm, QStringLiteral("T_Picture"));
    return int(QDir(AppHome::path(QStringLiteral("images"))).entryList(QDir::Files).size());
}

// The bytes of picture `id` as the store gives them.
QByteArray read(PictureStore &store, qint64 sampleId, qint64 id)
{
    QString error;
    for (const PictureRecord &p : store.picturesOf(sampleId, &error)) {
        if (p.id != id)
            continue;
        const std::unique_ptr<QIODevice> device = store.open(p, &error);
        return device ? device->readAll() : QByteArray();
    }
    return {};
}

PictureRecord record(PictureStore &store, qint64 sampleId, qint64 id)
{
    QString error;
    for (const PictureRecord &p : store.picturesOf(sampleId, &error)) {
        if (p.id == id)
            return p;
    }
    return {};
}

} // namespace

// The picture store's two homes through one interface: files in images/ for a register file,
// the bytes on the server (each content once) for a server, on real databases and files.
class TestPictureStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void addReplaceRenameRemove()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        const std::unique_ptr<PictureStore> store = PictureStore::of(db.dm()->database());
        QCOMPARE(store->keepsFiles(), !onServer(db.dm()));
        const qint64 sample = addSample(db.dm(), QStringLiteral("A"));
        const QString red = TestImages::write(m_dir.filePath("red.png"), {30, 20}, Qt::red);
        const QString blue = TestImages::write(m_dir.filePath("blue.jpg"), {30, 20}, Qt::blue);
        QString error;
        const std::optional<qint64> id =
            store->add(sample, QStringLiteral("正面"), red, true, &error);
        QVERIFY2(id, qPrintable(error));
        QCOMPARE(read(*store, sample, *id), bytesOf(red));
        PictureRecord picture = record(*store, sample, *id);
        QCOMPARE(picture.fileExt, QStringLiteral(".png"));
        QCOMPARE(picture.hash.isEmpty(), !onServer(db.dm()));

        QVERIFY2(store->replace(picture, blue, &error), qPrintable(error));
        picture = record(*store, sample, *id);
        QCOMPARE(picture.fileExt, QStringLiteral(".jpg"));
        QCOMPARE(read(*store, sample, *id), bytesOf(blue));
        QCOMPARE(contents(db.dm()), 1);

        QVERIFY2(store->rename(picture, QStringLiteral("侧面"), &error), qPrintable(error));
        picture = record(*store, sample, *id);
        QCOMPARE(picture.fileName, QStringLiteral("侧面"));
        QCOMPARE(db.dm()->GetStrValue(QStringLiteral("select F_imagePath from T_ImageREC")),
                 QStringLiteral("images/侧面.jpg"));
        QCOMPARE(read(*store, sample, *id), bytesOf(blue));

        QVERIFY2(store->remove(picture, &error), qPrintable(error));
        QCOMPARE(count(db.dm(), QStringLiteral("T_ImageREC")), 0);
        QCOMPARE(contents(db.dm()), 0);
    }

    void oneContentStoredOnceAndRemovedWithItsLastRow()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        const std::unique_ptr<PictureStore> store = PictureStore::of(db.dm()->database());
        const qint64 first = addSample(db.dm(), QStringLiteral("A"));
        const qint64 second = addSample(db.dm(), QStringLiteral("B"));
        const qint64 third = addSample(db.dm(), QStringLiteral("C"));
        const QString logo = TestImages::write(m_dir.filePath("logo.jpg"), {40, 40}, Qt::green);
        QString error;
        const qint64 a = store->add(first, QStringLiteral("logo"), logo, true, &error).value_or(0);
        const qint64 b = store->add(second, QStringLiteral("logo"), logo, true, &error).value_or(0);
        // On a server the name does not matter: the same bytes are the same content.
        store->add(third, QStringLiteral("商标"), logo, true, &error);
        QVERIFY(a && b);
        QCOMPARE(contents(db.dm()), onServer(db.dm()) ? 1 : 2);

        QVERIFY(store->remove(record(*store, first, a), &error));
        QCOMPARE(read(*store, second, b), bytesOf(logo));
        QVERIFY(store->remove(record(*store, second, b), &error));
        QCOMPARE(contents(db.dm()), 1);
        // Deleting the sample takes its rows, and the content they alone named.
        QVERIFY2(SampleRecord::removeGroup(*db.dm(), third, third, &error), qPrintable(error));
        QCOMPARE(count(db.dm(), QStringLiteral("T_ImageREC")), 0);
        if (onServer(db.dm()))
            QCOMPARE(contents(db.dm()), 0);
    }

    void twoWorkstationsSeeEachOthersPictures()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        const std::unique_ptr<TdmData> other = db.openAnother();
        const std::unique_ptr<PictureStore> here = PictureStore::of(db.dm()->database());
        const std::unique_ptr<PictureStore> there = PictureStore::of(other->database());
        const qint64 sample = addSample(db.dm(), QStringLiteral("A"));
        const QString png = TestImages::write(m_dir.filePath("shot.png"), {64, 48}, Qt::magenta);
        QString error;
        const qint64 id = here->add(sample, QStringLiteral("shot"), png, true, &error).value_or(0);
        QVERIFY2(id, qPrintable(error));
        QCOMPARE(read(*there, sample, id), bytesOf(png));
        QVERIFY(there->remove(record(*there, sample, id), &error));
        QVERIFY(here->picturesOf(sample, &error).isEmpty());
    }

    void aPictureOverTheLimitIsRefusedWithItsSize()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        const std::unique_ptr<PictureStore> store = PictureStore::of(db.dm()->database());
        const qint64 sample = addSample(db.dm(), QStringLiteral("A"));
        const QString big = m_dir.filePath("big.jpg");
        QFile file(big);
        QVERIFY(file.open(QIODevice::WriteOnly));
        // Sparse: no disk is spent on it.
        QVERIFY(file.resize(PictureStore::kMaxBytes + (1 << 20)));
        file.close();
        const QString refusal = PictureStore::refusal(big);
        QVERIFY(refusal.contains(QStringLiteral("257.0 MB")));
        QString error;
        QVERIFY(!store->add(sample, QStringLiteral("big"), big, true, &error));
        QCOMPARE(error, refusal);
        QCOMPARE(count(db.dm(), QStringLiteral("T_ImageREC")), 0);
        QCOMPARE(contents(db.dm()), 0);
        QFile::remove(big);
    }

    // 上传本机图片: rows whose pictures the server lacks take them from images/.
    void uploadTakesThisWorkstationsFiles()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        if (!onServer(db.dm()))
            QSKIP("a register file's pictures are files already");
        const std::unique_ptr<PictureStore> store = PictureStore::of(db.dm()->database());
        const qint64 sample = addSample(db.dm(), QStringLiteral("A"));
        const QString images = AppHome::path(QStringLiteral("images"));
        QVERIFY(QDir().mkpath(images + QStringLiteral("/folder.jpg")));
        const QString local =
            TestImages::write(images + QStringLiteral("/local.png"), {30, 30}, Qt::cyan);
        QString error;
        QVERIFY(store->add(sample, QStringLiteral("there"),
                           TestImages::write(m_dir.filePath("there.jpg"), {20, 20}, Qt::red), true,
                           &error));
        // Rows as a server kept them before it held pictures: names only.
        for (const char *name : {"local", "local", "absent", "folder"}) {
            const QString extension = QString::fromLatin1(name) == u"local"
                                          ? QStringLiteral(".png")
                                          : QStringLiteral(".jpg");
            QVERIFY(db.dm()->ExecSql(QStringLiteral("insert into T_ImageREC(F_mainID, "
                                                    "F_imagePath, F_fileName, F_fileExt) "
                                                    "values(?, ?, ?, ?)"),
                                     {sample, QStringLiteral("images/") + name + extension,
                                      QString::fromLatin1(name), extension}));
        }
        PictureUpload::Counts counts;
        QSqlDatabase server = db.dm()->database();
        QVERIFY(PictureUpload::run(server, images, &counts).isDone());
        QCOMPARE(counts.uploaded, 1);
        QCOMPARE(counts.present, 1);
        QCOMPARE(counts.absent, 1);
        QCOMPARE(counts.unreadable, 1);
        QCOMPARE(
            PictureUpload::report(counts),
            QStringLiteral("已上传 1 张图片，服务器上已有 1 张，本机没有 1 张，无法读取 1 张。"));
        QCOMPARE(count(db.dm(), QStringLiteral("T_Picture")), 2);
        int read = 0;
        for (const PictureRecord &p : store->picturesOf(sample, &error)) {
            if (p.fileName != u"local")
                continue;
            QCOMPARE(PictureStore::of(db.dm()->database())->open(p, &error)->readAll(),
                     bytesOf(local));
            ++read;
        }
        QCOMPARE(read, 2);
        // Again: nothing more to do.
        QVERIFY(PictureUpload::run(server, images, &counts).isDone());
        QCOMPARE(counts.uploaded, 0);
        QCOMPARE(counts.present, 2);
    }

    // Run by killAfterThePictureBytesLeaveNothingHalfStored in a process of its own.
    void uploadInAChildProcess()
    {
        const QString ds = qEnvironmentVariable("QUORIN_UPLOAD_DS");
        if (ds.isEmpty())
            QSKIP("only as the child of the kill test");
        OwnConnection connection(DataSource::fromDs(ds, QString()), QStringLiteral("child"));
        QVERIFY2(connection.isOpen(), qPrintable(connection.error()));
        QString error;
        PictureStore::of(connection.db())
            ->add(qEnvironmentVariable("QUORIN_UPLOAD_SAMPLE").toLongLong(),
                  QStringLiteral("upload"), qEnvironmentVariable("QUORIN_UPLOAD_FILE"), true,
                  &error);
    }

    void killAfterThePictureBytesLeaveNothingHalfStored()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        if (!onServer(db.dm()))
            QSKIP("a register file's picture is a file written whole before its row");
        const qint64 sample = addSample(db.dm(), QStringLiteral("A"));
        const QString picture = TestImages::write(m_dir.filePath("up.jpg"), {200, 100}, Qt::red);
        // Holding the rows' table makes the upload wait after it has sent the bytes.
        const std::unique_ptr<TdmData> holder = db.openAnother();
        QSqlQuery hold(holder->database());
        QVERIFY(hold.exec(QStringLiteral("begin")));
        QVERIFY(hold.exec(QStringLiteral("lock table T_ImageREC in exclusive mode")));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUORIN_UPLOAD_DS"), db.ds());
        env.insert(QStringLiteral("QUORIN_UPLOAD_SAMPLE"), QString::number(sample));
        env.insert(QStringLiteral("QUORIN_UPLOAD_FILE"), picture);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("uploadInAChildProcess")});
        QVERIFY(child.waitForStarted());
        const QString waiting =
            QStringLiteral("select count(*) from pg_stat_activity where datname = "
                           "current_database() and wait_event_type = 'Lock'");
        QTRY_COMPARE_WITH_TIMEOUT(db.dm()->GetIntValue(waiting), 1, 20000);
        child.kill();
        child.waitForFinished();
        QVERIFY(hold.exec(QStringLiteral("rollback")));
        // The killed upload's session ends and takes its transaction with it: only the holder
        // and this connection are left.
        QTRY_COMPARE_WITH_TIMEOUT(
            db.dm()->GetIntValue(QStringLiteral("select count(*) from pg_stat_activity where "
                                                "datname = current_database()")),
            2, 20000);
        QCOMPARE(count(db.dm(), QStringLiteral("T_ImageREC")), 0);
        QCOMPARE(count(db.dm(), QStringLiteral("T_Picture")), 0);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestPictureStore)
#include "tst_picturestore.moc"
