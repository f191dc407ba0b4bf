#include "core/AppHome.h"
#include "register/PictureName.h"
#include "register/PictureReader.h"
#include "register/PictureStore.h"
#include "register/ThumbnailCache.h"
#include "register/ThumbnailTile.h"
#include "support/TestImages.h"

#include <QDateTime>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using PictureReader::Picture;

// Picture names, thumbnail tiles and decoding within the memory budget, on real files.
class TestPictureFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        AppHome::set(m_dir.path());
    }

    void namesThatStayInTheFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("plain") << "front"
                               << ".jpg" << true;
        QTest::newRow("chinese and blanks") << "正面 视图"
                                            << ".JPG" << true;
        QTest::newRow("inner dot") << "v1.2"
                                   << ".bmp" << true;
        QTest::newRow("no extension") << "front"
                                      << "" << true;
        QTest::newRow("parent") << ".."
                                << ".jpg" << false;
        QTest::newRow("climbing") << "../../etc/passwd"
                                  << "" << false;
        QTest::newRow("slash") << "a/b"
                               << ".jpg" << false;
        QTest::newRow("backslash") << "..\\x"
                                   << ".jpg" << false;
        QTest::newRow("dots inside") << "a..b"
                                     << ".jpg" << false;
        QTest::newRow("colon") << "c:x"
                               << ".jpg" << false;
        QTest::newRow("star") << "a*"
                              << ".jpg" << false;
        QTest::newRow("control") << QStringLiteral("a\tb") << ".jpg" << false;
        QTest::newRow("dot") << "."
                             << ".jpg" << false;
        QTest::newRow("extension climbing") << "a"
                                            << "./../x" << false;
        QTest::newRow("extension without dot") << "a"
                                               << "jpg" << false;
        QTest::newRow("255 bytes") << QString(251, u'a') << ".jpg" << true;
        QTest::newRow("256 bytes") << QString(252, u'a') << ".jpg" << false;
        QTest::newRow("chinese too long") << QString(85, u'图') << ".jpg" << false;
    }

    void namesThatStayInTheFolder()
    {
        QFETCH(QString, name);
        QFETCH(QString, extension);
        QFETCH(bool, accepted);
        QCOMPARE(PictureName::problem(name, extension).isEmpty(), accepted);
        const QString file = PictureName::filePath(name, extension);
        QCOMPARE(file.isEmpty(), !accepted);
        if (accepted)
            QCOMPARE(QFileInfo(file).absolutePath(), QDir(m_dir.path()).filePath("images"));
    }

    void offeredNameAndExtension_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("offered");
        QTest::addColumn<QString>("extension");
        QTest::newRow("one dot") << "/tmp/x.y/front.JPG"
                                 << "front"
                                 << ".JPG";
        QTest::newRow("several dots") << "/tmp/front.view.jpeg"
                                      << "front"
                                      << ".jpeg";
        QTest::newRow("no dot") << "/tmp/x.y/picture"
                                << ""
                                << "";
        QTest::newRow("leading dot") << "/tmp/.hidden.bmp"
                                     << ""
                                     << ".bmp";
    }

    void offeredNameAndExtension()
    {
        QFETCH(QString, file);
        QFETCH(QString, offered);
        QFETCH(QString, extension);
        QCOMPARE(PictureName::offeredFor(file), offered);
        QCOMPARE(PictureName::extensionOf(file), extension);
    }

    void pictureSitsCentredWithItsLongerSideAt64_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("landscape") << QSize(400, 300) << QRect(8, 16, 63, 48);
        QTest::newRow("portrait") << QSize(300, 400) << QRect(16, 8, 48, 63);
        QTest::newRow("square") << QSize(10, 10) << QRect(8, 8, 64, 63);
        QTest::newRow("share rounded down") << QSize(700, 100) << QRect(8, 35, 63, 9);
        QTest::newRow("a line") << QSize(5000, 1) << QRect(8, 39, 63, 1);
    }

    void pictureSitsCentredWithItsLongerSideAt64()
    {
        QFETCH(QSize, size);
        QFETCH(QRect, rect);
        QCOMPARE(ThumbnailTile::pictureRect(size), rect);
    }

    void tileHasRaisedAndSunkenFrames()
    {
        const QColor face(212, 208, 200);
        const QString file = TestImages::write(m_dir.filePath("wide.jpg"), {400, 300}, Qt::red);
        const ThumbnailTile::Thumbnail thumbnail = ThumbnailTile::fromFile(file, face);
        QCOMPARE(thumbnail.outcome, Picture::Read);
        QCOMPARE(thumbnail.size, QSize(400, 300));
        const QImage &tile = thumbnail.tile;
        QCOMPARE(tile.size(), QSize(80, 80));
        const QColor grey(128, 128, 128);
        QCOMPARE(tile.pixelColor(0, 0), QColor(Qt::white));
        QCOMPARE(tile.pixelColor(79, 40), grey);
        QCOMPARE(tile.pixelColor(40, 79), grey);
        QCOMPARE(tile.pixelColor(40, 8), face);               // above the picture
        QCOMPARE(tile.pixelColor(40, 15), grey);              // sunken top edge
        QCOMPARE(tile.pixelColor(7, 40), grey);               // sunken left edge
        QCOMPARE(tile.pixelColor(40, 64), QColor(Qt::white)); // sunken bottom edge
        QCOMPARE(tile.pixelColor(71, 40), QColor(Qt::white)); // sunken right edge
        const QColor centre = tile.pixelColor(40, 40);
        QVERIFY2(centre.red() > 200 && centre.green() < 60 && centre.blue() < 60,
                 qPrintable(centre.name()));
    }

    void hostileFilesAreRefusedOrReadScaled_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QSize>("claimed");
        QTest::addColumn<int>("outcome");
        QTest::newRow("jpeg claiming 30000 x 30000")
            << "lying.jpg" << QSize(30000, 30000) << int(Picture::Read);
        // Even an eighth of it is over the budget.
        QTest::newRow("jpeg claiming 65500 x 65500")
            << "lying.jpg" << QSize(65500, 65500) << int(Picture::TooLarge);
        QTest::newRow("bitmap claiming 9000 x 8000")
            << "lying.bmp" << QSize(9000, 8000) << int(Picture::TooLarge);
        QTest::newRow("truncated jpeg") << "truncated.jpg" << QSize(640, 480) << int(Picture::Read);
        QTest::newRow("no picture") << "garbage.jpg" << QSize() << int(Picture::Unreadable);
        QTest::newRow("empty file") << "empty.bmp" << QSize() << int(Picture::Unreadable);
        // Waiting for a writer would hold the window for ever.
        QTest::newRow("fifo") << "fifo.jpg" << QSize() << int(Picture::Unreadable);
    }

    void hostileFilesAreRefusedOrReadScaled()
    {
        QFETCH(QString, kind);
        QFETCH(QSize, claimed);
        QFETCH(int, outcome);
        const QString path = m_dir.filePath(kind);
        if (kind == u"lying.jpg")
            TestImages::writeLyingJpeg(path, claimed);
        else if (kind == u"lying.bmp")
            TestImages::writeLyingBmp(path, claimed);
        else if (kind == u"truncated.jpg")
            TestImages::writeTruncatedJpeg(path, claimed);
        else if (kind == u"garbage.jpg")
            TestImages::writeGarbage(path);
        else if (kind == u"fifo.jpg")
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        else
            QFile(path).open(QIODevice::WriteOnly);
        const QColor face(212, 208, 200);
        const ThumbnailTile::Thumbnail thumbnail = ThumbnailTile::fromFile(path, face);
        QCOMPARE(int(thumbnail.outcome), outcome);
        // Refused for its size, a picture is not called damaged: its tile says how large it is.
        if (outcome == Picture::TooLarge) {
            QCOMPARE(thumbnail.size, claimed);
            QCOMPARE(thumbnail.tile, ThumbnailTile::tooLarge(claimed, face));
        } else if (outcome == Picture::Unreadable) {
            QCOMPARE(thumbnail.tile, ThumbnailTile::unreadable(face));
        }

        // Asked for the whole picture, the reader never holds more than its budget.
        const Picture whole = PictureReader::read(path, [](const QSize &size) { return size; });
        if (whole.isRead())
            QVERIFY(qint64(whole.image.width()) * whole.image.height() <=
                    PictureReader::kMaxDecodedPixels);
        const Picture fitted = PictureReader::readWithin(path, 16'000'000);
        QCOMPARE(int(fitted.outcome), outcome);
        QCOMPARE(fitted.size, claimed);
        if (fitted.isRead() && kind == u"lying.jpg")
            QCOMPARE(fitted.image.size(), QSize(3750, 3750));
    }

    void marksDifferFromEachOtherAndFromAPicture()
    {
        const QColor face(212, 208, 200);
        const QImage damaged = ThumbnailTile::unreadable(face);
        const QImage large = ThumbnailTile::tooLarge({9000, 8000}, face);
        QVERIFY(damaged != ThumbnailTile::blank(face));
        QVERIFY(large != ThumbnailTile::blank(face));
        QVERIFY(damaged != large);
        QVERIFY(large != ThumbnailTile::tooLarge({8000, 9000}, face));
    }

    void aPictureOverQtsOwnLimitButWithinTheBudgetIsRead()
    {
        // 36 million pixels: 145 MB decoded, over the 128 MB Qt allows by itself.
        const QString path =
            TestImages::writeLyingJpeg(m_dir.filePath("36mp.jpg"), QSize(7360, 4912));
        const Picture picture = PictureReader::readWithin(path, 40'000'000);
        QCOMPARE(picture.outcome, Picture::Read);
        QCOMPARE(picture.image.size(), QSize(7360, 4912));
    }

    void cameraPicturesStoredSidewaysAreTurned()
    {
        const QString path = m_dir.filePath("sideways.jpg");
        QImage landscape(40, 20, QImage::Format_RGB32);
        landscape.fill(Qt::blue);
        QImageWriter writer(path);
        writer.setTransformation(QImageIOHandler::TransformationRotate90);
        QVERIFY(writer.write(landscape));
        const Picture whole = PictureReader::read(path, [](const QSize &size) { return size; });
        QVERIFY(whole.isRead());
        QCOMPARE(whole.image.size(), QSize(20, 40));
        QCOMPARE(whole.size, QSize(20, 40));
    }

    void failedCopyLeavesTheTargetAsItWas()
    {
        const QString target = TestImages::write(m_dir.filePath("kept.jpg"), {40, 30}, Qt::green);
        const QByteArray before = [&] {
            QFile f(target);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        QString error;
        QVERIFY(!copyPictureFile(m_dir.filePath("no such file.jpg"), target, &error));
        QVERIFY(!error.isEmpty());
        QFile after(target);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), before);
        QVERIFY(copyPictureFile(target, target, &error));
    }

    // The thumbnails of a server's pictures: found again by hash and side, and past the limit
    // the ones used longest ago go first.
    void thumbnailCacheKeepsTheRecentlyUsed()
    {
        const QString folder = m_dir.filePath("thumbnails");
        const auto hash = [](char c) { return QString(64, QLatin1Char(c)); };
        QImage image(63, 47, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        ThumbnailCache unbounded(folder, qint64(1) << 30);
        for (const char c : {'a', 'b', 'c'})
            unbounded.put(hash(c), 80, {image, QSize(4000, 3000)});
        const std::optional<ThumbnailCache::Entry> found = unbounded.find(hash('b'), 80);
        QVERIFY(found);
        QCOMPARE(found->size, QSize(4000, 3000));
        QCOMPARE(found->image.convertToFormat(QImage::Format_RGB32), image);
        QVERIFY(!unbounded.find(hash('b'), 160));
        QVERIFY(!unbounded.find(QStringLiteral("../../etc/passwd"), 80));

        // a was used longest ago, then c; b was just found.
        const QDateTime now = QDateTime::currentDateTime();
        const auto age = [&](char c, int seconds) {
            QFile f(QStringLiteral("%1/%2-80.png").arg(folder, hash(c)));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(now.addSecs(-seconds), QFileDevice::FileModificationTime));
        };
        age('a', 300);
        age('c', 200);
        const qint64 one = QFileInfo(QStringLiteral("%1/%2-80.png").arg(folder, hash('a'))).size();
        ThumbnailCache(folder, one * 2).trim();
        QVERIFY(!unbounded.find(hash('a'), 80));
        QVERIFY(unbounded.find(hash('b'), 80));
        QVERIFY(unbounded.find(hash('c'), 80));
        ThumbnailCache(folder, one).trim();
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestPictureFiles)
#include "tst_picturefiles.moc"
