#include "app/uFrmMain.h"
#include "core/AppHome.h"
#include "core/SqlListModel.h"
#include "register/PicturePage.h"
#include "register/PictureStore.h"
#include "register/SampleRecord.h"
#include "register/ThumbnailTile.h"
#include "register/uDLGeditCurList.h"
#include "register/ufrmImageDisp.h"
#include "support/Modal.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"
#include "support/TestImages.h"
#include "widgets/DBGridEh.h"
#include "widgets/FileChooser.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>
#include <functional>

namespace {

using Row = QStringList; // F_imagePath, F_fileName, F_fileExt

const QString kUnreadable = QStringLiteral(
    "时发生错误！\n该文件不是标准格式的文件，或者该文件已经被损坏！\n是否删除当前图片文件?");

qint64 addSample(TdmData *dm, const QString &code)
{
    QVariantMap values;
    values.insert(QStringLiteral("F_goodCode"), code);
    values.insert(QStringLiteral("F_goodName"), code);
    values.insert(QStringLiteral("F_editDate"), QDate::currentDate());
    QString error;
    const std::optional<qint64> id = SampleRecord::save(*dm, 0, values, &error);
    if (!id)
        qWarning("sample not saved: %s", qPrintable(error));
    return id.value_or(0);
}

QString images(const TestDatabase &db, const QString &file = {})
{
    return QDir(db.home()).filePath(QStringLiteral("images/") + file);
}

bool onServer(const TestDatabase &db)
{
    return db.dm()->source().engine == Engine::PostgreSQL;
}

// Where the page shows a picture's file: in images/, or the copy fetched from a server.
QString shownFile(const TestDatabase &db, const QString &file)
{
    return onServer(db) ? AppHome::cachePath(QStringLiteral("viewing/") + file) : images(db, file);
}

// A picture of sample `sampleId` stored as the program stores it, from a file that `write`
// makes at the path it is given; nothing written: a row whose picture is missing.
qint64 addPictureFrom(const TestDatabase &db, qint64 sampleId, const QString &name,
                      const QString &extension, const std::function<void(const QString &)> &write)
{
    const QString source = QDir(db.home()).filePath(QStringLiteral("sources/") + name + extension);
    QDir().mkpath(QFileInfo(source).path());
    QFile::remove(source);
    write(source);
    QString error;
    std::optional<qint64> id;
    if (QFileInfo::exists(source))
        id = PictureStore::of(db.dm()->database())->add(sampleId, name, source, true, &error);
    else
        id = db.dm()->insertQuiet(
            QStringLiteral("insert into T_ImageREC(F_mainID, F_imagePath, "
                           "F_fileName, F_fileExt) values(?, ?, ?, ?)"),
            {sampleId, QStringLiteral("images/") + name + extension, name, extension}, &error);
    if (!id)
        qWarning("picture not stored: %s", qPrintable(error));
    return id.value_or(0);
}

// A picture of one colour; an invalid colour: a row whose picture is missing.
qint64 addPicture(const TestDatabase &db, qint64 sampleId, const QString &name,
                  const QString &extension, const QColor &colour = Qt::red)
{
    return addPictureFrom(db, sampleId, name, extension, [colour](const QString &path) {
        if (colour.isValid())
            TestImages::write(path, {120, 90}, colour);
    });
}

// A file that is no picture ("broken"), a 72-megapixel scan ("scan") and a JPEG too large
// even at an eighth ("huge"), stored for `sampleId` in that order.
void addUnreadableAndTooLarge(const TestDatabase &db, qint64 sampleId)
{
    addPictureFrom(db, sampleId, QStringLiteral("broken"), QStringLiteral(".jpg"),
                   [](const QString &path) { TestImages::writeGarbage(path); });
    addPictureFrom(db, sampleId, QStringLiteral("scan"), QStringLiteral(".bmp"),
                   [](const QString &path) {
                       TestImages::writeLyingBmp(path, {9000, 8000});
                   });
    addPictureFrom(db, sampleId, QStringLiteral("huge"), QStringLiteral(".jpg"),
                   [](const QString &path) {
                       TestImages::writeLyingJpeg(path, {65500, 65500});
                   });
}

// What the store holds, by the name a picture has: the files in images/, or on a server the
// names of the rows whose bytes it holds.
QStringList stored(const TestDatabase &db)
{
    if (!onServer(db))
        return QDir(images(db)).entryList(QDir::Files);
    QSqlQuery q(db.dm()->database());
    q.exec(QStringLiteral("select distinct r.F_fileName || r.F_fileExt from T_ImageREC r "
                          "join T_Picture p on p.F_hash = r.F_hash order by 1"));
    QStringList names;
    while (q.next())
        names << q.value(0).toString();
    return names;
}

// The colour at the centre of the stored picture of row `id`.
QColor storedColour(const TestDatabase &db, qint64 id)
{
    const std::unique_ptr<PictureStore> store = PictureStore::of(db.dm()->database());
    QString error;
    for (const PictureRecord &p : store->picturesOf(
             db.dm()->GetIntValue(QStringLiteral("select F_mainID from T_ImageREC where F_ID = ?"),
                                  {id}),
             &error)) {
        if (p.id != id)
            continue;
        const std::unique_ptr<QIODevice> bytes = store->open(p, &error);
        const QImage image = bytes ? QImage::fromData(bytes->readAll()) : QImage();
        return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
    }
    return {};
}

QList<qint64> pictureIds(TdmData *dm, qint64 sampleId)
{
    QSqlQuery q(dm->database());
    q.prepare(QStringLiteral("select F_ID from T_ImageREC where F_mainID = ? order by F_ID"));
    q.addBindValue(sampleId);
    q.exec();
    QList<qint64> ids;
    while (q.next())
        ids << q.value(0).toLongLong();
    return ids;
}

QList<Row> rows(TdmData *dm, qint64 sampleId)
{
    QSqlQuery q(dm->database());
    q.prepare(QStringLiteral("select F_imagePath, F_fileName, F_fileExt from T_ImageREC "
                             "where F_mainID = ? order by F_ID"));
    q.addBindValue(sampleId);
    q.exec();
    QList<Row> list;
    while (q.next())
        list << Row{q.value(0).toString(), q.value(1).toString(), q.value(2).toString()};
    return list;
}

PicturePage *pictures(TFrmMain &main)
{
    return main.findChild<PicturePage *>(QStringLiteral("pnlPictures"));
}

QStringList captions(PicturePage *page)
{
    QStringList list;
    for (int i = 0; i < page->list()->count(); ++i)
        list << page->list()->item(i)->text();
    return list;
}

QColor tileCentre(PicturePage *page, int item)
{
    return page->list()->item(item)->icon().pixmap(80, 80).toImage().pixelColor(40, 40);
}

bool isRed(const QColor &c)
{
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}

bool isBlue(const QColor &c)
{
    return c.blue() > 200 && c.red() < 60 && c.green() < 60;
}

void selectItem(PicturePage *page, int item)
{
    page->list()->setCurrentRow(item);
}

QImage tile(PicturePage *page, int item)
{
    return page->list()->item(item)->icon().pixmap(80, 80).toImage().convertToFormat(
        QImage::Format_RGB32);
}

QStringList toolTips(PicturePage *page)
{
    QStringList list;
    for (int i = 0; i < page->list()->count(); ++i)
        list << page->list()->item(i)->toolTip();
    return list;
}

// Answers the picture-name dialog with each text in turn until it closes; cancels it when
// every answer was refused. The first text offered lands in `offered`.
void answerName(QObject *scope, const QStringList &answers, QString *offered = nullptr)
{
    whenModal<TDLGeditCurList>(scope, [=](TDLGeditCurList *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("edtCurValue"));
        if (offered)
            *offered = edit->text();
        for (const QString &answer : answers) {
            edit->setText(answer);
            dialog->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
            if (!dialog->isVisible())
                return;
        }
        dialog->findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
    });
}

// The main window on the picture page of sample `sampleId`, thumbnails built.
struct PictureWindow
{
    explicit PictureWindow(qint64 sampleId)
    {
        main.show();
        selectSample(sampleId);
        main.findChild<QTabWidget *>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
        built();
    }

    void selectSample(qint64 sampleId)
    {
        SqlListModel *list = main.listModel();
        for (int row = 0; row < list->rowCount(); ++row) {
            if (list->value(row, QStringLiteral("F_ID")).toLongLong() == sampleId)
                main.grid()->setCurrentRow(row);
        }
    }

    void built() { QTRY_VERIFY(!page()->isBuilding()); }
    // Opens picture `item` as a user does: 修改 on the selected picture, or a double click.
    void open(int item, bool doubleClick)
    {
        QListWidget *list = page()->list();
        selectItem(page(), item);
        if (!doubleClick) {
            run(902);
            return;
        }
        const QPoint at = list->visualItemRect(list->item(item)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        built();
    }
    PicturePage *page() { return pictures(main); }
    void run(int command)
    {
        main.action(command)->trigger();
        built();
    }

    TFrmMain main;
};

} // namespace

// The picture page of the main window and its commands, on real files and both engines.
class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void addingWithoutASampleAsksForOne()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        PictureWindow w(0);
        QVERIFY(QTest::qWaitForWindowActive(&w.main));
        w.run(901);
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("请先选择要增加图片信息的样品！")});
        QCOMPARE(prompt.shown.first().kind, int(Prompt::Information));
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus == w.main.grid() || w.main.grid()->isAncestorOf(focus));
    }

    void commandsOnASampleWithoutPictures_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("message");
        QTest::newRow("modify") << 902 << QStringLiteral("此表为空，没有样品图片需要修改！");
        QTest::newRow("delete") << 903 << QStringLiteral("此表为空，没有图片信息记录需要删除！");
        QTest::newRow("rename") << 904 << QStringLiteral("此表为空，没有样品图片名称需要修改！");
    }

    void commandsOnASampleWithoutPictures()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(int, command);
        QFETCH(QString, message);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        PictureWindow w(addSample(db.dm(), QStringLiteral("A")));
        QCOMPARE(w.page()->list()->count(), 0);
        w.run(command);
        QCOMPARE(prompt.texts(), QStringList{message});
        QCOMPARE(prompt.shown.first().kind, int(Prompt::Error));
    }

    void commandsWithoutASelectedPicture_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("message");
        QTest::newRow("modify") << 902
                                << QStringLiteral("没有图片选择，请选择需要修改的样品图片！");
        QTest::newRow("delete") << 903
                                << QStringLiteral("没有图片选择，请选择需要删除的样品图片！");
        QTest::newRow("rename") << 904
                                << QStringLiteral("没有图片选择，请选择需要更名的样品图片！");
    }

    void commandsWithoutASelectedPicture()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(int, command);
        QFETCH(QString, message);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        const qint64 sample = addSample(db.dm(), QStringLiteral("A"));
        addPicture(db, sample, QStringLiteral("front"), QStringLiteral(".jpg"));
        PictureWindow w(sample);
        w.page()->list()->clearSelection();
        w.run(command);
        QCOMPARE(prompt.texts(), QStringList{message});
        QCOMPARE(prompt.shown.first().kind, int(Prompt::Information));
    }

    void addCopiesTheFileIntoImages_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("offered");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<Row>("row");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("name before the first dot")
            << "front.view.jpg"
            << "front" << QStringList{"front"} << Row{"images/front.jpg", "front", ".jpg"}
            << QStringList();
        QTest::newRow("no dot offers no name")
            << "picture"
            << "" << QStringList{"", "  ", " 侧面 "} << Row{"images/侧面", "侧面", ""}
            << QStringList{"当前输入不能为空！", "当前输入不能为空！"};
        QTest::newRow("extension case kept")
            << "BACK.JPEG"
            << "BACK" << QStringList{"BACK"} << Row{"images/BACK.JPEG", "BACK", ".JPEG"}
            << QStringList();
    }

    void addCopiesTheFileIntoImages()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, source);
        QFETCH(QString, offered);
        QFETCH(QStringList, typed);
        QFETCH(Row, row);
        QFETCH(QStringList, messages);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        QTemporaryDir sources;
        const qint64 sample = addSample(db.dm(), QStringLiteral("A"));
        PictureWindow w(sample);
        FileChooser::setNextAnswer(
            TestImages::write(sources.filePath(source), {400, 300}, Qt::red));
        QString shownDefault;
        answerName(this, typed, &shownDefault);
        w.run(901);
        QCOMPARE(shownDefault, offered);
        QCOMPARE(prompt.texts(), messages);
        QCOMPARE(rows(db.dm(), sample), QList<Row>{row});
        QVERIFY(isRed(storedColour(db, pictureIds(db.dm(), sample).value(0))));
        QCOMPARE(captions(w.page()), QStringList{row[1]});
        QVERIFY(isRed(tileCentre(w.page(), 0)));
    }

    void addingAnExistingNameAsksBeforeOverwriting_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("overwritten");
        QTest::newRow("yes") << int(Prompt::Yes) << true;
        QTest::newRow("no") << int(Prompt::No) << false;
    }

    void addingAnExistingNameAsksBeforeOverwriting()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(int, answer);
        QFETCH(bool, overwritten);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        QTemporaryDir sources;
        const qint64 sample = addSample(db.dm(), QStringLiteral("A"));
        addPicture(db, sample, QStringLiteral("front"), QStringLiteral(".jpg"), Qt::red);
        PictureWindow w(sample);
        FileChooser::setNextAnswer(
            TestImages::write(sources.filePath("new.jpg"), {400, 300}, Qt::blue));
        prompt.answer({answer});
        answerName(this, {QStringLiteral("front")});
        w.run(901);
        // The row is added either way; without overwriting it shows the file already there. On
        // a server each picture keeps its own bytes, so there is nothing to ask.
        QCOMPARE(prompt.texts(),
                 onServer(db)
                     ? QStringList()
                     : QStringList{QStringLiteral("此图片文件名已经存在，是否覆盖当前文件！")});
        const Row front{"images/front.jpg", "front", ".jpg"};
        QCOMPARE(rows(db.dm(), sample), (QList<Row>{front, front}));
        const QList<qint64> ids = pictureIds(db.dm(), sample);
        const QColor colour = storedColour(db, ids.value(1));
        QVERIFY(overwritten || onServer(db) ? isBlue(colour) : isRed(colour));
        QVERIFY(onServer(db) ? isRed(storedColour(db, ids.value(0)))
                             : colour == storedColour(db, ids.value(0)));
        QCOMPARE(captions(w.page()), (QStringList{"front", "front"}));
    }

    void namesThatAreNoFileNamesAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        const QString bad =
            QStringLiteral("图片名称不能包含 \\ / : * ? \" < > | 等字符，也不能包含“..”，"
                           "请更换图片名！");
        QTest::newRow("climbing out") << "../../escaped" << bad;
        QTest::newRow("into a folder") << "sub/front" << bad;
        QTest::newRow("parent") << ".." << bad;
        QTest::newRow("backslash") << "..\\escaped" << bad;
        QTest::newRow("colon") << "a:b" << bad;
        QTest::newRow("too long") << QString(300, u'x')
                                  << QStringLiteral("图片名称太长或扩展名不正确，请更换图片名！");
        QTest::newRow("file of that exact name")
            << "taken" << QStringLiteral("当前文件名已经存在，请更换图片名！");
    }

    void namesThatAreNoFileNamesAreRefused()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, name);
        QFETCH(QString, message);
        TestDatabase db(engine);
        if (onServer(db) && name == u"taken")
            QSKIP("a server's pictures are no files, whose names could collide");
        ScriptedPrompt prompt;
        QTemporaryDir sources;
        const qint64 sample = addSample(db.dm(), QStringLiteral("A"));
        QDir().mkpath(images(db));
        TestImages::write(images(db, "taken"), {10, 10}, Qt::red);
        const QStringList before =
            QDir(db.home()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        PictureWindow w(sample);
        FileChooser::setNextAnswer(
            TestImages::write(sources.filePath("new.jpg"), {40, 30}, Qt::blue));
        answerName(this, {name});
        w.run(901);
        QCOMPARE(prompt.texts(), QStringList{message});
        QVERIFY(rows(db.dm(), sample).isEmpty());
        QCOMPARE(QDir(db.home()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QCOMPARE(QDir(images(db)).entryList(QDir::Files), QStringList{"taken"});
    }

    void rename_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Row>("row");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("new name") << "back" << Row{"images/back.jpg", "back", ".jpg"}
                                  << QStringList{"back.jpg", "side.jpg"} << QStringList();
        QTest::newRow("same name in another case")
            << "FRONT" << Row{"images/front.jpg", "front", ".jpg"}
            << QStringList{"front.jpg", "side.jpg"} << QStringList();
        QTest::newRow("another picture's file")
            << "side" << Row{"images/front.jpg", "front", ".jpg"}
            << QStringList{"front.jpg", "side.jpg"}
            << QStringList{"当前文件名已经存在，请更换图片名！"};
        QTest::newRow("another picture's name, on a server")
            << "side" << Row{"images/side.jpg", "side", ".jpg"} << QStringList{"side.jpg"}
            << QStringList();
        QTest::newRow("out of the folder")
            << "../front" << Row{"images/front.jpg", "front", ".jpg"}
            << QStringList{"front.jpg", "side.jpg"}
            << QStringList{"图片名称不能包含 \\ / : * ? \" < > | 等字符，也不能包含“..”，"
                           "请更换图片名！"};
    }

    void rename()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, typed);
        QFETCH(Row, row);
        QFETCH(QStringList, files);
        QFETCH(QStringList, messages);
        TestDatabase db(engine);
        // A server's pictures have no files, so one may take another's name.
        const bool serverRow = QByteArray(QTest::currentDataTag()).endsWith("on a server");
        if (serverRow != (onServer(db) && typed == u"side"))
            QSKIP("not for this engine");
        ScriptedPrompt prompt;
        const qint64 sample = addSample(db.dm(), QStringLiteral("A"));
        const qint64 other = addSample(db.dm(), QStringLiteral("B"));
        addPicture(db, sample, QStringLiteral("front"), QStringLiteral(".jpg"));
        addPicture(db, other, QStringLiteral("side"), QStringLiteral(".jpg"));
        PictureWindow w(sample);
        selectItem(w.page(), 0);
        QString offered;
        answerName(this, {typed}, &offered);
        w.run(904);
        QCOMPARE(offered, QStringLiteral("front"));
        QCOMPARE(prompt.texts(), messages);
        QCOMPARE(rows(db.dm(), sample), QList<Row>{row});
        QCOMPARE(stored(db), files);
        QCOMPARE(captions(w.page()), QStringList{row[1]});
    }

    void modifyWithABitmapKeepsTheNameAndTakesItsExtension()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        QTemporaryDir sources;
        const qint64 sample = addSample(db.dm(), QStringLiteral("A"));
        addPicture(db, sample, QStringLiteral("side"), QStringLiteral(".jpg"));
        addPicture(db, sample, QStringLiteral("front"), QStringLiteral(".jpg"));
        PictureWindow w(sample);
        selectItem(w.page(), 1);
        const QString bitmap = TestImages::write(sources.filePath("blue.bmp"), {60, 80}, Qt::blue);
        QString opened;
        whenModal<TfrmImageDisp>(this, [&opened, bitmap](TfrmImageDisp *viewer) {
            opened = viewer->currentFile();
            FileChooser::setNextAnswer(bitmap);
            viewer->findChild<QAction *>(QStringLiteral("ActAdd"))->trigger();
            viewer->findChild<QAction *>(QStringLiteral("ActSave"))->trigger();
        });
        w.run(902);
        QCOMPARE(opened, shownFile(db, "front.jpg"));
        QVERIFY(prompt.shown.isEmpty());
        QCOMPARE(rows(db.dm(), sample), (QList<Row>{{"images/side.jpg", "side", ".jpg"},
                                                    {"images/front.bmp", "front", ".bmp"}}));
        QCOMPARE(stored(db), (QStringList{"front.bmp", "side.jpg"}));
        QCOMPARE(captions(w.page()), (QStringList{"side", "front"}));
        QVERIFY(isBlue(tileCentre(w.page(), 1)));
        QCOMPARE(w.page()->list()->currentRow(), 1);
    }

    void clearingAndSavingInTheViewerRemovesThePicture_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("left");
        QTest::newRow("yes") << int(Prompt::Yes) << 0;
        QTest::newRow("no") << int(Prompt::No) << 1;
    }

    void clearingAndSavingInTheViewerRemovesThePicture()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(int, answer);
        QFETCH(int, left);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        const qint64 sample = addSample(db.dm(), QStringLiteral("A"));
        addPicture(db, sample, QStringLiteral("front"), QStringLiteral(".jpg"));
        PictureWindow w(sample);
        selectItem(w.page(), 0);
        whenModal<TfrmImageDisp>(this, [](TfrmImageDisp *viewer) {
            viewer->findChild<QAction *>(QStringLiteral("ActClear"))->trigger();
            viewer->findChild<QAction *>(QStringLiteral("ActSave"))->trigger();
        });
        prompt.answer({answer});
        w.run(902);
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("真的要删除当前图片 “front”吗？")});
        QCOMPARE(rows(db.dm(), sample).size(), left);
        QCOMPARE(stored(db).contains("front.jpg"), left == 1);
        QCOMPARE(w.page()->list()->count(), left);
    }

    void aMissingPictureIsMarkedWithItsName()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        const qint64 sample = addSample(db.dm(), QStringLiteral("A"));
        addPicture(db, sample, QStringLiteral("a"), QStringLiteral(".jpg"));
        addPicture(db, sample, QStringLiteral("gone"), QStringLiteral(".jpg"), QColor());
        addPicture(db, sample, QStringLiteral("c"), QStringLiteral(".bmp"));
        PictureWindow w(sample);
        QCOMPARE(captions(w.page()), (QStringList{"a", "gone", "c"}));
        const QColor face = w.page()->palette().color(QPalette::Button);
        QCOMPARE(tile(w.page(), 1), ThumbnailTile::missing(QStringLiteral("gone.jpg"), face));
        QCOMPARE(w.page()->list()->item(1)->toolTip(), QStringLiteral("图片不存在"));
        QVERIFY(prompt.shown.isEmpty());
        selectItem(w.page(), 2);
        prompt.answer({Prompt::Yes});
        w.run(903);
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("真的要删除当前图片 “c”吗？")});
        QCOMPARE(rows(db.dm(), sample),
                 (QList<Row>{{"images/a.jpg", "a", ".jpg"}, {"images/gone.jpg", "gone", ".jpg"}}));
        QCOMPARE(stored(db), QStringList{"a.jpg"});
        QCOMPARE(captions(w.page()), (QStringList{"a", "gone"}));
    }

    void browsingShowsUnreadableAndTooLargePicturesAndAsksNothing()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        const qint64 sample = addSample(db.dm(), QStringLiteral("A"));
        const qint64 other = addSample(db.dm(), QStringLiteral("B"));
        addUnreadableAndTooLarge(db, sample);
        addPicture(db, sample, QStringLiteral("fine"), QStringLiteral(".jpg"), Qt::blue);
        PictureWindow w(sample);
        w.selectSample(other);
        w.built();
        w.selectSample(sample);
        w.built();
        QVERIFY(prompt.shown.isEmpty());
        QCOMPARE(captions(w.page()), (QStringList{"broken", "scan", "huge", "fine"}));
        const QColor face = w.page()->palette().color(QPalette::Button);
        QCOMPARE(tile(w.page(), 0), ThumbnailTile::unreadable(face));
        QCOMPARE(tile(w.page(), 1), ThumbnailTile::tooLarge({9000, 8000}, face));
        QCOMPARE(tile(w.page(), 2), ThumbnailTile::tooLarge({65500, 65500}, face));
        QVERIFY(isBlue(tileCentre(w.page(), 3)));
        QCOMPARE(toolTips(w.page()),
                 (QStringList{QStringLiteral("该文件不是标准格式的文件，或者该文件已经被损坏！"),
                              QStringLiteral("图片过大：9000×8000 像素"),
                              QStringLiteral("图片过大：65500×65500 像素"), QString()}));
        QCOMPARE(rows(db.dm(), sample).size(), 4);
        QCOMPARE(stored(db).size(), 4);
    }

    void openingAnUnreadablePictureAsksWhetherToDeleteIt_data()
    {
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<int>("answer");
        QTest::newRow("modify, yes") << false << int(Prompt::Yes);
        QTest::newRow("modify, no") << false << int(Prompt::No);
        QTest::newRow("double click, yes") << true << int(Prompt::Yes);
        QTest::newRow("double click, no") << true << int(Prompt::No);
    }

    void openingAnUnreadablePictureAsksWhetherToDeleteIt()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(bool, doubleClick);
        QFETCH(int, answer);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        const qint64 sample = addSample(db.dm(), QStringLiteral("A"));
        addUnreadableAndTooLarge(db, sample);
        PictureWindow w(sample);
        QVERIFY(prompt.shown.isEmpty());
        bool viewed = false;
        QObject viewerWatch;
        whenModal<TfrmImageDisp>(&viewerWatch, [&viewed](TfrmImageDisp *viewer) {
            viewed = true;
            viewer->reject();
        });
        prompt.answer({answer});
        w.open(0, doubleClick);
        // A file with nothing to show opens no viewer; deleting it is offered, No the default.
        const QString shown =
            onServer(db) ? QStringLiteral("broken.jpg") : images(db, "broken.jpg");
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("读取文件：") + shown + kUnreadable});
        QCOMPARE(prompt.shown.first().kind, int(Prompt::Question));
        QCOMPARE(prompt.shown.first().defaultAnswer, int(Prompt::No));
        QVERIFY(!viewed);
        const bool kept = answer == Prompt::No;
        QCOMPARE(rows(db.dm(), sample).size(), kept ? 3 : 2);
        QCOMPARE(stored(db).contains("broken.jpg"), kept);
        QCOMPARE(captions(w.page()),
                 kept ? (QStringList{"broken", "scan", "huge"}) : (QStringList{"scan", "huge"}));
    }

    void aPictureTooLargeOpensInTheViewerAndIsNeverOfferedForDeletion()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        const qint64 sample = addSample(db.dm(), QStringLiteral("A"));
        addUnreadableAndTooLarge(db, sample);
        PictureWindow w(sample);
        QString size;
        QObject viewerWatch;
        whenModal<TfrmImageDisp>(&viewerWatch, [&size](TfrmImageDisp *viewer) {
            size = viewer->statusPanel(2);
            viewer->reject();
        });
        w.open(1, true);
        QCOMPARE(size, QStringLiteral("9000x8000"));
        QCOMPARE(prompt.texts(),
                 QStringList{QStringLiteral("图片文件：") + shownFile(db, "scan.bmp") +
                             QStringLiteral("\n图片过大（9000×8000 像素），无法显示！")});
        QCOMPARE(prompt.shown.first().kind, int(Prompt::Warning));
        QCOMPARE(rows(db.dm(), sample).size(), 3);
        QVERIFY(stored(db).contains("scan.bmp"));
    }

    void thumbnailsFollowTheCurrentSample()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        const qint64 first = addSample(db.dm(), QStringLiteral("A"));
        const qint64 second = addSample(db.dm(), QStringLiteral("B"));
        addPicture(db, first, QStringLiteral("a"), QStringLiteral(".jpg"));
        addPicture(db, second, QStringLiteral("b"), QStringLiteral(".jpg"), Qt::blue);
        // Drawn as a blank tile, and still a picture of its own.
        addPicture(db, second, QStringLiteral("moving"), QStringLiteral(".gif"), Qt::red);
        PictureWindow w(first);
        QCOMPARE(captions(w.page()), QStringList{"a"});
        w.selectSample(second);
        w.built();
        QCOMPARE(captions(w.page()), (QStringList{"b", "moving"}));
        QVERIFY(isBlue(tileCentre(w.page(), 0)));
        QCOMPARE(tileCentre(w.page(), 1), w.page()->palette().color(QPalette::Button));

        // Off the page nothing is read; coming back shows the sample's pictures.
        auto *tabs = w.main.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
        tabs->setCurrentIndex(0);
        w.selectSample(first);
        QCOMPARE(w.page()->list()->count(), 0);
        tabs->setCurrentIndex(1);
        w.built();
        QCOMPARE(captions(w.page()), QStringList{"a"});
        QVERIFY(prompt.shown.isEmpty());
    }

    void aFileOfTwoPicturesStaysForTheOther()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        const qint64 first = addSample(db.dm(), QStringLiteral("A"));
        const qint64 second = addSample(db.dm(), QStringLiteral("B"));
        addPicture(db, first, QStringLiteral("logo"), QStringLiteral(".jpg"));
        addPicture(db, second, QStringLiteral("logo"), QStringLiteral(".jpg"));
        PictureWindow w(first);
        selectItem(w.page(), 0);
        prompt.answer({Prompt::Yes});
        w.run(903);
        QVERIFY(rows(db.dm(), first).isEmpty());
        QCOMPARE(stored(db), QStringList{"logo.jpg"});
        w.selectSample(second);
        w.built();
        QCOMPARE(captions(w.page()), QStringList{"logo"});
        selectItem(w.page(), 0);
        prompt.answer({Prompt::Yes});
        w.run(903);
        QVERIFY(stored(db).isEmpty());
        if (onServer(db))
            QCOMPARE(db.dm()->GetIntValue(QStringLiteral("select count(*) from T_Picture")), 0);
    }

    void aRecordNamingAFileOutsideTheFolderReadsNothingThere()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        const qint64 sample = addSample(db.dm(), QStringLiteral("A"));
        const QString outside =
            TestImages::write(QDir(db.home()).filePath("outside.jpg"), {40, 30}, Qt::red);
        QDir().mkpath(images(db));
        db.dm()->ExecSql(QStringLiteral("insert into T_ImageREC(F_mainID, F_imagePath, F_fileName, "
                                        "F_fileExt) values(?, ?, ?, ?)"),
                         {sample, QStringLiteral("images/../outside.jpg"),
                          QStringLiteral("../outside"), QStringLiteral(".jpg")});
        PictureWindow w(sample);
        const QColor face = w.page()->palette().color(QPalette::Button);
        QCOMPARE(tile(w.page(), 0), ThumbnailTile::missing(QStringLiteral("../outside.jpg"), face));
        QVERIFY(prompt.shown.isEmpty());
        QVERIFY(QFileInfo::exists(outside));
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
