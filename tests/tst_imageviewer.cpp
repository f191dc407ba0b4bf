#include "register/PictureCanvas.h"
#include "register/ufrmImageDisp.h"
#include "support/Modal.h"
#include "support/ScriptedPrompt.h"
#include "support/TestImages.h"
#include "widgets/FileChooser.h"

#include <QAction>
#include <QImageReader>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

namespace {

QAction *act(TfrmImageDisp &viewer, const char *name)
{
    return viewer.findChild<QAction *>(QLatin1String(name));
}

QWidget *panel(TfrmImageDisp &viewer)
{
    return viewer.findChild<QWidget *>(QStringLiteral("Panel1"));
}

QImage shown(TfrmImageDisp &viewer)
{
    return viewer.findChild<PictureCanvas *>(QStringLiteral("Image1"))->image();
}

QString readError(const QString &path)
{
    return QStringLiteral("读取文件：") + path +
           QStringLiteral("时发生错误！\n该文件不是标准格式的文件，或者该文件已经被损坏！");
}

} // namespace

// The picture viewer on real files: zoom steps, placement, keys, full screen, load, export.
class TestImageViewer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void zoomStepsAndTheirLimits_data()
    {
        QTest::addColumn<int>("in");
        QTest::addColumn<int>("out");
        QTest::addColumn<QString>("zoom");
        QTest::addColumn<QSize>("panel");
        QTest::newRow("one up") << 1 << 0 << "150%" << QSize(300, 150);
        QTest::newRow("six up") << 6 << 0 << "1000%" << QSize(2000, 1000);
        QTest::newRow("seven up stays") << 7 << 0 << "1000%" << QSize(2000, 1000);
        QTest::newRow("three down") << 0 << 3 << "30%" << QSize(60, 30);
        QTest::newRow("eight down") << 0 << 8 << "5%" << QSize(10, 5);
        QTest::newRow("nine down stays") << 0 << 9 << "5%" << QSize(10, 5);
    }

    void zoomStepsAndTheirLimits()
    {
        QFETCH(int, in);
        QFETCH(int, out);
        QFETCH(QString, zoom);
        QFETCH(QSize, panel);
        const QString file = TestImages::write(m_dir.filePath("wide.jpg"), {200, 100}, Qt::red);
        TfrmImageDisp viewer;
        viewer.setFile(file);
        QCOMPARE(viewer.statusPanel(1), file);
        QCOMPARE(viewer.statusPanel(2), QStringLiteral("200x100"));
        QCOMPARE(viewer.statusPanel(3), QStringLiteral("100%"));
        for (int i = 0; i < in; ++i)
            act(viewer, "ActMax")->trigger();
        for (int i = 0; i < out; ++i)
            act(viewer, "ActMin")->trigger();
        QCOMPARE(viewer.statusPanel(3), zoom);
        QCOMPARE(::panel(viewer)->size(), panel);
        QCOMPARE(act(viewer, "ActMax")->isEnabled(), in < 6);
        QCOMPARE(act(viewer, "ActMin")->isEnabled(), out < 8);
        act(viewer, "ActOld")->trigger();
        QCOMPARE(viewer.zoomIndex(), TfrmImageDisp::kOriginalZoom);
        QCOMPARE(::panel(viewer)->size(), QSize(200, 100));
        QVERIFY(act(viewer, "ActMax")->isEnabled() && act(viewer, "ActMin")->isEnabled());
    }

    void whatTheCallerGetsBack_data()
    {
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("returned");
        QTest::newRow("missing file saved")
            << "missing.jpg" << QStringList{"ActSave"} << "missing.jpg";
        QTest::newRow("another file loaded, cancelled")
            << "wide.jpg" << QStringList{"ActAdd", "ActCancel"} << "wide.jpg";
        QTest::newRow("another file loaded, saved")
            << "wide.jpg" << QStringList{"ActAdd", "ActSave"} << "other.bmp";
        QTest::newRow("cleared and saved")
            << "wide.jpg" << QStringList{"ActClear", "ActSave"} << "";
    }

    void whatTheCallerGetsBack()
    {
        QFETCH(QString, opened);
        QFETCH(QStringList, actions);
        QFETCH(QString, returned);
        ScriptedPrompt prompt;
        TestImages::write(m_dir.filePath("wide.jpg"), {200, 100}, Qt::red);
        FileChooser::setNextAnswer(
            TestImages::write(m_dir.filePath("other.bmp"), {30, 40}, Qt::blue));
        QSize sizeOnOpen;
        whenModal<TfrmImageDisp>(this, [&sizeOnOpen, actions](TfrmImageDisp *viewer) {
            sizeOnOpen = viewer->pictureSize();
            for (const QString &name : actions)
                viewer->findChild<QAction *>(name)->trigger();
        });
        const QString result = TfrmImageDisp::openForEdit(nullptr, m_dir.filePath(opened));
        QCOMPARE(result, returned.isEmpty() ? QString() : m_dir.filePath(returned));
        QCOMPARE(sizeOnOpen, opened == u"missing.jpg" ? QSize() : QSize(200, 100));
        QVERIFY(prompt.shown.isEmpty());
        FileChooser::setNextAnswer(QString());
    }

    void filesItCannotShow_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("claimed");
        QTest::addColumn<int>("reported"); // the kind of box, -1 for none
        QTest::addColumn<QString>("size");
        QTest::newRow("no picture") << "garbage.jpg" << QSize() << int(Prompt::Error) << "0x0";
        QTest::newRow("72-megapixel bitmap")
            << "lying.bmp" << QSize(9000, 8000) << int(Prompt::Warning) << "9000x8000";
        QTest::newRow("jpeg too large even at an eighth")
            << "lying.jpg" << QSize(65500, 65500) << int(Prompt::Warning) << "65500x65500";
        QTest::newRow("jpeg claiming 30000 x 30000")
            << "lying.jpg" << QSize(30000, 30000) << -1 << "30000x30000";
        QTest::newRow("truncated jpeg") << "truncated.jpg" << QSize(640, 480) << -1 << "640x480";
    }

    void filesItCannotShow()
    {
        QFETCH(QString, name);
        QFETCH(QSize, claimed);
        QFETCH(int, reported);
        QFETCH(QString, size);
        ScriptedPrompt prompt;
        const QString path = m_dir.filePath(name);
        if (name == u"garbage.jpg")
            TestImages::writeGarbage(path);
        else if (name == u"lying.bmp")
            TestImages::writeLyingBmp(path, claimed);
        else if (name == u"lying.jpg")
            TestImages::writeLyingJpeg(path, claimed);
        else
            TestImages::writeTruncatedJpeg(path, claimed);
        TfrmImageDisp viewer;
        viewer.setFile(path);
        const QString tooLarge = QStringLiteral("图片文件：%1\n图片过大（%2×%3 像素），无法显示！")
                                     .arg(path)
                                     .arg(claimed.width())
                                     .arg(claimed.height());
        QCOMPARE(prompt.texts(), reported == Prompt::Error     ? QStringList{readError(path)}
                                 : reported == Prompt::Warning ? QStringList{tooLarge}
                                                               : QStringList());
        if (reported >= 0)
            QCOMPARE(prompt.shown.first().kind, reported);
        QCOMPARE(viewer.statusPanel(2), size);
        QCOMPARE(viewer.currentFile(), path);
        const QImage image = shown(viewer);
        QCOMPARE(image.isNull(), reported >= 0);
        // A huge picture is held scaled, within the viewer's share of memory; one it cannot
        // show leaves nothing to scroll.
        QVERIFY(qint64(image.width()) * image.height() <= 40'000'000);
        if (image.isNull())
            QCOMPARE(panel(viewer)->size(), QSize(0, 0));
    }

    void exportWritesTheFormatOfTheFilter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("jpeg") << "Bitmap Files (*.jpg *.jpeg)"
                              << "out.png"
                              << "out.jpg" << QByteArray("jpeg");
        QTest::newRow("gif") << "Bitmap Files (*.gif)"
                             << "out"
                             << "out.gif" << QByteArray("gif");
        QTest::newRow("bitmap") << "Bitmap Files (*.bmp)"
                                << "a.b.tif"
                                << "a.b.bmp" << QByteArray("bmp");
        QTest::newRow("no filter named: by extension") << ""
                                                       << "by.gif"
                                                       << "by.gif" << QByteArray("gif");
    }

    void exportWritesTheFormatOfTheFilter()
    {
        QFETCH(QString, filter);
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        QFETCH(QByteArray, format);
        ScriptedPrompt prompt;
        QTemporaryDir out;
        // Four quadrants of their own colour: a GIF palette must keep each exactly.
        QImage quadrants(64, 48, QImage::Format_RGB32);
        const QList<QColor> colours = {Qt::red, QColor(0, 128, 0), Qt::blue, QColor(250, 200, 20)};
        for (int i = 0; i < 4; ++i) {
            QImage part(32, 24, QImage::Format_RGB32);
            part.fill(colours[i]);
            for (int y = 0; y < 24; ++y)
                for (int x = 0; x < 32; ++x)
                    quadrants.setPixel((i % 2) * 32 + x, (i / 2) * 24 + y, part.pixel(x, y));
        }
        const QString source = m_dir.filePath("quadrants.png");
        QVERIFY(quadrants.save(source, "PNG"));
        TfrmImageDisp viewer;
        viewer.setFile(source);
        FileChooser::setNextAnswer(out.filePath(chosen), filter);
        act(viewer, "ActExport")->trigger();
        QVERIFY(prompt.shown.isEmpty());
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{written});
        QImageReader reader(out.filePath(written));
        QCOMPARE(reader.format(), format);
        const QImage back = reader.read();
        QCOMPARE(back.size(), QSize(64, 48));
        QCOMPARE(viewer.currentFile(), source);
        for (int i = 0; i < 4; ++i) {
            const QColor c = back.pixelColor((i % 2) * 32 + 16, (i / 2) * 24 + 12);
            const int tolerance = format == "jpeg" ? 12 : 0;
            QVERIFY2(qAbs(c.red() - colours[i].red()) <= tolerance &&
                         qAbs(c.green() - colours[i].green()) <= tolerance &&
                         qAbs(c.blue() - colours[i].blue()) <= tolerance,
                     qPrintable(c.name()));
        }
    }

    void exportOfAnEmptyViewerSaysSo()
    {
        ScriptedPrompt prompt;
        QTemporaryDir out;
        TfrmImageDisp viewer;
        viewer.setFile(m_dir.filePath("missing.jpg"));
        QVERIFY(act(viewer, "ActExport")->isEnabled());
        FileChooser::setNextAnswer(out.filePath("empty.jpg"), {});
        act(viewer, "ActExport")->trigger();
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("没有可输出的图片！")});
        QVERIFY(QDir(out.path()).entryList(QDir::Files).isEmpty());
    }

    void anAnimatedGifPlaysAndExportsWhole()
    {
        ScriptedPrompt prompt;
        QTemporaryDir out;
        const QString gif = TestImages::writeAnimatedGif(m_dir.filePath("moving.gif"), {40, 30},
                                                         {Qt::red, Qt::blue, Qt::green});
        TfrmImageDisp viewer;
        viewer.setFile(gif);
        QVERIFY(prompt.shown.isEmpty());
        QCOMPARE(viewer.pictureSize(), QSize(40, 30));
        QVERIFY(!shown(viewer).isNull());
        FileChooser::setNextAnswer(out.filePath("copy"), QStringLiteral("Bitmap Files (*.gif)"));
        act(viewer, "ActExport")->trigger();
        QImageReader back(out.filePath("copy.gif"));
        QCOMPARE(back.imageCount(), 3);
    }

    void placementAndKeys()
    {
        const QString small = TestImages::write(m_dir.filePath("small.bmp"), {100, 80}, Qt::red);
        const QString large = TestImages::write(m_dir.filePath("large.jpg"), {3000, 2000}, Qt::red);
        TfrmImageDisp viewer;
        viewer.setFile(small);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        QCOMPARE(viewer.width(), viewer.screen()->geometry().width());
        QCOMPARE(viewer.height(), viewer.screen()->geometry().height() - 30);
        auto *box = viewer.findChild<QScrollArea *>(QStringLiteral("ScrollBox1"));
        const QSize room = box->viewport()->size();
        QCOMPARE(panel(viewer)->pos(), QPoint((room.width() - 100) / 2, (room.height() - 80) / 2));

        viewer.setFile(large);
        QTRY_COMPARE(panel(viewer)->pos(), QPoint(0, 0));
        QScrollBar *across = box->horizontalScrollBar();
        QScrollBar *down = box->verticalScrollBar();
        QTest::keyClick(&viewer, Qt::Key_Right);
        QTest::keyClick(&viewer, Qt::Key_Right);
        QCOMPARE(across->value(), 2 * across->singleStep());
        QTest::keyClick(&viewer, Qt::Key_Left);
        QCOMPARE(across->value(), across->singleStep());
        QTest::keyClick(&viewer, Qt::Key_Down);
        QCOMPARE(down->value(), down->singleStep());
        QTest::keyClick(&viewer, Qt::Key_PageDown);
        QCOMPARE(down->value(), down->singleStep() + down->pageStep());
        QTest::keyClick(&viewer, Qt::Key_PageUp);
        QTest::keyClick(&viewer, Qt::Key_Up);
        QCOMPARE(down->value(), 0);
    }

    void keysForOriginalSize_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("space") << int(Qt::Key_Space);
        QTest::newRow("backspace") << int(Qt::Key_Backspace);
        QTest::newRow("slash") << int(Qt::Key_Slash);
    }

    void keysForOriginalSize()
    {
        QFETCH(int, key);
        TfrmImageDisp viewer;
        viewer.setFile(TestImages::write(m_dir.filePath("wide.jpg"), {200, 100}, Qt::red));
        viewer.show();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        act(viewer, "ActMax")->trigger();
        act(viewer, "ActMax")->trigger();
        QTest::keyClick(&viewer, Qt::Key(key));
        QCOMPARE(viewer.zoomIndex(), TfrmImageDisp::kOriginalZoom);
        QCOMPARE(panel(viewer)->size(), QSize(200, 100));
    }

    void fullScreenAndBack()
    {
        TfrmImageDisp viewer;
        viewer.setFile(TestImages::write(m_dir.filePath("wide.jpg"), {200, 100}, Qt::red));
        viewer.show();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        auto *tools = viewer.findChild<QToolBar *>(QStringLiteral("ToolBar1"));
        auto *status = viewer.findChild<QStatusBar *>(QStringLiteral("StatusBar1"));
        // Outside full screen Esc does nothing, not even close the window.
        QTest::keyClick(&viewer, Qt::Key_Escape);
        QVERIFY(viewer.isVisible());
        act(viewer, "ActMax")->trigger();
        act(viewer, "ActFull")->trigger();
        QVERIFY(viewer.isFullScreenMode());
        QVERIFY(!tools->isVisible() && !status->isVisible());
        QVERIFY(!viewer.findChild<QMenuBar *>()->isVisible());
        QCOMPARE(viewer.zoomIndex(), TfrmImageDisp::kOriginalZoom);
        QTest::keyClick(&viewer, Qt::Key_Escape);
        QVERIFY(!viewer.isFullScreenMode());
        QVERIFY(tools->isVisible() && status->isVisible() && viewer.isVisible());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestImageViewer)
#include "tst_imageviewer.moc"
