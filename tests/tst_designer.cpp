#include "core/AppHome.h"
#include "core/SqlListModel.h"
#include "designer/DataTree.h"
#include "designer/DesignDocument.h"
#include "designer/PageItems.h"
#include "designer/PageScene.h"
#include "designer/ReportDesigner.h"
#include "masterdata/RegisterDescription.h"
#include "masterdata/RegisterWindow.h"
#include "output/MainReports.h"
#include "output/StatisticsList.h"
#include "output/StatisticsWindow.h"
#include "output/uFrmReportGl.h"
#include "register/SampleList.h"
#include "report/ReportPreview.h"
#include "report/ReportRun.h"
#include "report/TemplateEdit.h"
#include "support/Modal.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"
#include "support/WorkDone.h"
#include "widgets/StyleChooser.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QGraphicsView>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

using namespace Report;

namespace {

const QString kListTemplate = QStringLiteral("frRevaZezList.frf");

QByteArray fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void trigger(ReportDesigner *designer, const char *action)
{
    QAction *a = designer->action(QLatin1String(action));
    QVERIFY2(a, action);
    a->trigger();
}

// The first item of the template whose text is `text`.
ItemRef itemWithText(const Template &report, const QString &text)
{
    for (const BandRef &band : bandsOf(report)) {
        const QList<Item> &items = bandAt(report, band)->items;
        for (int i = 0; i < items.size(); ++i) {
            if (items.at(i).text == text)
                return {band, i};
        }
    }
    return {};
}

// Where a point `mm` of a band is on the designer's screen, scrolled into view.
QPoint onScreen(ReportDesigner *designer, const BandRef &band, const QPointF &mm)
{
    const QPointF scene = designer->scene()->bandOrigin(band) + mm * kPixelsPerMm;
    designer->view()->ensureVisible(QRectF(scene, QSizeF(1, 1)), 80, 80);
    return designer->view()->mapFromScene(scene);
}

void click(ReportDesigner *designer, const ItemRef &ref,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const Item *item = itemAt(designer->document()->report(), ref);
    QVERIFY(item);
    const QPoint at = onScreen(designer, ref.band, item->rect.center());
    QTest::mouseClick(designer->view()->viewport(), Qt::LeftButton, modifiers, at);
}

// A field dragged from the data tree and dropped at `mm` in `band`.
void dropField(ReportDesigner *designer, const QString &dataSet, const QString &field,
               const BandRef &band, const QPointF &mm)
{
    auto *tree = designer->findChild<DataTree *>(QStringLiteral("tvData"));
    QModelIndex index;
    for (QTreeWidgetItem *item : tree->findItems(field, Qt::MatchExactly | Qt::MatchRecursive, 0)) {
        if (item->parent() && item->parent()->text(0) == dataSet)
            index = tree->model()->index(
                item->parent()->indexOfChild(item), 0,
                tree->model()->index(tree->indexOfTopLevelItem(item->parent()), 0));
    }
    QVERIFY2(index.isValid(), qPrintable(field));
    std::unique_ptr<QMimeData> mime(tree->model()->mimeData({index}));
    QVERIFY(mime);
    const QPoint at = onScreen(designer, band, mm);
    QWidget *viewport = designer->view()->viewport();
    QDragEnterEvent enter(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QVERIFY(move.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
}

// The texts of a prepared report with their places and whether they print bold.
struct Printed
{
    QString text;
    QRectF rect;
    bool bold;
    bool operator==(const Printed &) const = default;
};

QList<Printed> printedOf(const Prepared &prepared)
{
    QList<Printed> printed;
    for (const Page &page : prepared.pages) {
        for (const Element &e : page.elements) {
            if (e.kind == Element::Text && !e.text.contains(QStringLiteral("打印日期")))
                printed.append({prepared.textOf(e), e.rect, prepared.styleOf(e).font.bold});
        }
    }
    return printed;
}

using Edit = std::function<void(ReportDesigner *)>;

} // namespace

Q_DECLARE_METATYPE(Edit)

// The report designer, driven as a user drives it, over the shipped templates.
class TestDesigner : public QObject
{
    Q_OBJECT

private:
    // Opens the main list's report `kind` from the report manager, runs `act` in the designer
    // and closes it (answering a question about changes with No).
    void design(SampleList &samples, MainReports::Kind kind,
                const std::function<void(ReportDesigner *)> &act)
    {
        TFrmReportGl manager(samples);
        manager.show();
        manager.reports()->setCurrentRow(kind);
        bool opened = false;
        whenModal<ReportDesigner>(this, [&](ReportDesigner *designer) {
            opened = true;
            designer->resize(1240, 820);
            act(designer);
            if (designer->isVisible())
                designer->done(QDialog::Rejected);
        });
        manager.findChild<QPushButton *>(QStringLiteral("Button3"))->click();
        QVERIFY(opened);
    }

    void addSamples(TdmData *dm)
    {
        const QList<QVariantList> samples = {
            {"S1", "轴承", "红色"}, {"S2", "弹簧", "蓝色"}, {"S3", "螺丝", "黄色"}};
        for (const QVariantList &s : samples)
            QVERIFY(dm->ExecSql(QStringLiteral("insert into GoodMain(F_goodCode, F_goodName, "
                                               "F_yanSE, F_editDate) values(?, ?, ?, ?)"),
                                s + QVariantList{QDate::currentDate()}));
    }

    Prepared prepared(SampleList &samples, TdmData *dm)
    {
        Prepared p;
        QString error;
        const bool ok =
            done(prepareJob(MainReports::job(MainReports::List, samples.model()->query(),
                                             samples.statements()),
                            dm->source(), &p),
                 &error);
        if (!ok)
            qWarning() << error;
        return p;
    }

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void editThenUndoRestoresTemplate_data()
    {
        QTest::addColumn<Edit>("edit");
        const auto first = [](ReportDesigner *d, const char *text) {
            return itemWithText(d->document()->report(), QString::fromUtf8(text));
        };
        QTest::newRow("arrow keys") << Edit([first](ReportDesigner *d) {
            click(d, first(d, "[F_goodName]"));
            QApplication::setActiveWindow(d);
            d->view()->setFocus();
            QTRY_VERIFY(d->view()->hasFocus());
            QTest::keyClick(d->view(), Qt::Key_Right);
            QTest::keyClick(d->view(), Qt::Key_Down, Qt::ShiftModifier);
        });
        QTest::newRow("mouse move of two") << Edit([first](ReportDesigner *d) {
            const ItemRef a = first(d, "样品编号");
            const ItemRef b = first(d, "样品名称");
            click(d, a);
            click(d, b, Qt::ControlModifier);
            QCOMPARE(d->scene()->selectedRefs().size(), 2);
            const QPoint from = onScreen(d, a.band, QPointF(5, 3));
            QWidget *viewport = d->view()->viewport();
            QTest::mousePress(viewport, Qt::LeftButton, {}, from);
            QTest::mouseMove(viewport, from + QPoint(20, 2));
            QTest::mouseMove(viewport, from + QPoint(40, 4));
            QTest::mouseRelease(viewport, Qt::LeftButton, {}, from + QPoint(40, 4));
            QCOMPARE(d->document()->undoStack()->count(), 1);
        });
        QTest::newRow("font, frame, alignment") << Edit([first](ReportDesigner *d) {
            click(d, first(d, "[F_spec]"));
            QFont bold(QStringLiteral("WenQuanYi Micro Hei"), 12);
            bold.setBold(true);
            StyleChooser::setNextFont(bold);
            d->findChild<QPushButton *>(QStringLiteral("btnFont"))->click();
            d->findChild<QCheckBox *>(QStringLiteral("chkFrameT"))->click();
            auto *align = d->findChild<QComboBox *>(QStringLiteral("cbbAlign"));
            align->activated(2);
            auto *field = d->findChild<QComboBox *>(QStringLiteral("cbbField"));
            field->setCurrentIndex(field->findText(QStringLiteral("F_CGprice")));
            QVERIFY(field->currentIndex() >= 0);
            d->findChild<QComboBox *>(QStringLiteral("cbbFormat"))->setCurrentText("0.00");
            d->findChild<QPushButton *>(QStringLiteral("btnInsertField"))->click();
            QCOMPARE(itemAt(d->document()->report(), d->scene()->selectedRefs().value(0))->text,
                     QStringLiteral("[F_spec][F_CGprice:0.00]"));
        });
        QTest::newRow("align and same size") << Edit([first](ReportDesigner *d) {
            click(d, first(d, "样品编号"));
            click(d, first(d, "记录数：[COUNT]"), Qt::ShiftModifier);
            trigger(d, "actAlignRight");
            trigger(d, "actSameSize");
        });
        QTest::newRow("copy, delete, paste") << Edit([first](ReportDesigner *d) {
            click(d, first(d, "[F_CGsuppler]"));
            trigger(d, "actCopy");
            trigger(d, "actDelete");
            trigger(d, "actPaste");
            trigger(d, "actAddPie");
            trigger(d, "actAddCheckBox");
        });
        QTest::newRow("bands") << Edit([first](ReportDesigner *d) {
            click(d, first(d, "[F_goodName]"));
            trigger(d, "actAddGroup");
            trigger(d, "actAddText");
            trigger(d, "actAddPageHeader");
            click(d, first(d, "记录数：[COUNT]"));
            trigger(d, "actRemoveBand");
        });
        QTest::newRow("page setup") << Edit([](ReportDesigner *d) {
            d->findChild<QComboBox *>(QStringLiteral("cbbOrientation"))->activated(0);
            d->findChild<QComboBox *>(QStringLiteral("cbbPaper"))->activated(0);
            auto *left = d->findChild<QDoubleSpinBox *>(QStringLiteral("spnMarginLeft"));
            left->setValue(25);
        });
        QTest::newRow("field dropped") << Edit([first](ReportDesigner *d) {
            const BandRef row = first(d, "[F_goodName]").band;
            dropField(d, QStringLiteral("frMain"), QStringLiteral("F_yanSE"), row, {30, 1});
        });
    }

    // Each edit changes the template, and undoing it all gives back the template as loaded.
    void editThenUndoRestoresTemplate()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(Edit, edit);
        TestDatabase db(engine);
        AppHome::installShippedFiles();
        SampleList samples(*db.dm());
        QVERIFY(samples.reload());
        const QString path = templatePath(kListTemplate);
        Template loaded;
        QString error;
        QVERIFY2(load(path, &loaded, &error), qPrintable(error));
        design(samples, MainReports::List, [&](ReportDesigner *d) {
            edit(d);
            QVERIFY(d->document()->isModified());
            QVERIFY(toJson(d->document()->report()) != toJson(loaded));
            while (d->action(QStringLiteral("actUndo"))->isEnabled())
                trigger(d, "actUndo");
            QVERIFY(!d->document()->isModified());
            QVERIFY(d->document()->report() == loaded);
            QVERIFY(d->save());
            trigger(d, "actRedo");
            QVERIFY(d->document()->isModified());
        });
        QCOMPARE(fileText(path), toJson(loaded));
    }

    // The user's road: the colour dropped beside the name, widened, bold, saved and previewed;
    // the change stays when the designer opens again; undoing all of it prints as before.
    void fieldPrintsWithEveryRecord()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        AppHome::installShippedFiles();
        addSamples(db.dm());
        SampleList samples(*db.dm());
        QVERIFY(samples.reload());
        const QString path = templatePath(kListTemplate);
        const QByteArray original = fileText(path);
        const QList<Printed> before = printedOf(prepared(samples, db.dm()));
        QVERIFY(!before.isEmpty());
        ScriptedPrompt prompt;
        QStringList previewed;
        design(samples, MainReports::List, [&](ReportDesigner *d) {
            const Template &report = d->document()->report();
            const ItemRef name = itemWithText(report, QStringLiteral("[F_goodName]"));
            const QRectF nameRect = itemAt(report, name)->rect;
            dropField(d, QStringLiteral("frMain"), QStringLiteral("F_yanSE"), name.band,
                      {nameRect.right() + 1, 0.5});
            QCOMPARE(d->scene()->selectedRefs().size(), 1);
            const ItemRef colour = d->scene()->selectedRefs().first();
            QCOMPARE(itemAt(report, colour)->text, QStringLiteral("[F_yanSE]"));
            // On the 1 mm grid.
            QCOMPARE(itemAt(report, colour)->rect.topLeft(),
                     QPointF(std::round(nameRect.right() + 1), 0));
            trigger(d, "actWider");
            QFont bold(QStringLiteral("WenQuanYi Micro Hei"), 9);
            bold.setBold(true);
            StyleChooser::setNextFont(bold);
            d->findChild<QPushButton *>(QStringLiteral("btnFont"))->click();
            trigger(d, "actSave");
            QVERIFY(!d->document()->isModified());
            whenModal<ReportPreview>(this, [&](ReportPreview *preview) {
                QTRY_VERIFY(preview->isComplete());
                for (const Printed &p : printedOf(preview->report()))
                    previewed << p.text;
                preview->accept();
            });
            trigger(d, "actPreview");
        });
        QVERIFY2(prompt.texts().isEmpty(), qPrintable(prompt.texts().join(u'\n')));
        for (const char *colour : {"红色", "蓝色", "黄色"})
            QCOMPARE(previewed.count(QString::fromUtf8(colour)), 2); // the old column and the new
        const QList<Printed> after = printedOf(prepared(samples, db.dm()));
        QList<Printed> newColumn;
        for (const Printed &p : after) {
            if (p.bold && QStringList{"红色", "蓝色", "黄色"}.contains(p.text))
                newColumn << p;
        }
        QCOMPARE(newColumn.size(), 3);
        for (const Printed &p : newColumn)
            QCOMPARE(p.rect.width(), 26.0);
        QCOMPARE(fileText(path + QStringLiteral(".bak")), original);

        design(samples, MainReports::List, [&](ReportDesigner *d) {
            const Template &report = d->document()->report();
            const ItemRef name = itemWithText(report, QStringLiteral("[F_goodName]"));
            const QList<Item> &row = bandAt(report, name.band)->items;
            QVERIFY(std::any_of(row.cbegin(), row.cend(), [](const Item &item) {
                return item.text == QStringLiteral("[F_yanSE]") && item.font.bold;
            }));
        });

        // Undoing all in one sitting and saving prints as before.
        design(samples, MainReports::List, [&](ReportDesigner *d) {
            const BandRef row =
                itemWithText(d->document()->report(), QStringLiteral("[F_goodName]")).band;
            dropField(d, QStringLiteral("frMain"), QStringLiteral("F_yanSE"), row, {60, 0});
            trigger(d, "actWider");
            trigger(d, "actUndo");
            trigger(d, "actUndo");
            QVERIFY(!d->document()->isModified());
        });
        QCOMPARE(printedOf(prepared(samples, db.dm())), after);
    }

    // A bar code added from the palette, set up in the property panel and saved, reads back
    // from the file as set and prints each row's code; the rows become labels in two columns.
    void barCodeEditedAndSaved()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        AppHome::installShippedFiles();
        addSamples(db.dm());
        SampleList samples(*db.dm());
        QVERIFY(samples.reload());
        ScriptedPrompt prompt;
        QStringList codes;
        design(samples, MainReports::List, [&](ReportDesigner *d) {
            const BandRef row =
                itemWithText(d->document()->report(), QStringLiteral("[F_goodName]")).band;
            d->scene()->setCurrentBand(row);
            trigger(d, "actAddBarCode");
            QCOMPARE(d->scene()->selectedRefs().size(), 1);
            auto *symbology = d->findChild<QComboBox *>(QStringLiteral("cbbSymbology"));
            symbology->setCurrentIndex(Symbol::QrCode);
            emit symbology->activated(Symbol::QrCode);
            d->findChild<QCheckBox *>(QStringLiteral("chkShowText"))->click();
            d->findChild<QDoubleSpinBox *>(QStringLiteral("spnModule"))->setValue(0.5);
            auto *level = d->findChild<QComboBox *>(QStringLiteral("cbbErrorLevel"));
            QVERIFY(level->isEnabled());
            level->setCurrentIndex(3);
            emit level->activated(3);
            d->findChild<QSpinBox *>(QStringLiteral("spnColumns"))->setValue(2);
            trigger(d, "actSave");
            whenModal<ReportPreview>(this, [&](ReportPreview *preview) {
                QTRY_VERIFY(preview->isComplete());
                for (const Page &page : preview->report().pages) {
                    for (const Element &e : page.elements) {
                        if (e.kind == Element::BarCode)
                            codes << e.text;
                    }
                }
                preview->accept();
            });
            trigger(d, "actPreview");
        });
        QCOMPARE(codes, (QStringList{"S1", "S2", "S3"}));
        Template saved;
        QString error;
        QVERIFY2(load(templatePath(kListTemplate), &saved, &error), qPrintable(error));
        const Item *code = nullptr;
        for (const BandRef &band : bandsOf(saved)) {
            for (const Item &item : bandAt(saved, band)->items) {
                if (item.kind == Item::BarCode)
                    code = &item;
            }
        }
        QVERIFY(code);
        QCOMPARE(code->text, QStringLiteral("[F_goodCode]"));
        QCOMPARE(code->symbol.symbology, Symbol::QrCode);
        QVERIFY(!code->symbol.showText);
        QCOMPARE(code->symbol.module, 0.5);
        QCOMPARE(code->symbol.errorLevel, 3);
        QCOMPARE(saved.data.first().columns, 2);
        QVERIFY2(prompt.texts().isEmpty(), qPrintable(prompt.texts().join(u'\n')));
    }

    // Closing with changes asks: 是 saves, 否 drops them, 取消 stays in the designer.
    void closeAsksAboutChanges_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("closed");
        QTest::newRow("yes") << int(Prompt::Yes) << true << true;
        QTest::newRow("no") << int(Prompt::No) << false << true;
        QTest::newRow("cancel") << int(Prompt::Cancel) << false << false;
    }

    void closeAsksAboutChanges()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(int, answer);
        QFETCH(bool, saved);
        QFETCH(bool, closed);
        TestDatabase db(engine);
        AppHome::installShippedFiles();
        SampleList samples(*db.dm());
        QVERIFY(samples.reload());
        const QString path = templatePath(kListTemplate);
        const QByteArray original = fileText(path);
        ScriptedPrompt prompt;
        design(samples, MainReports::List, [&](ReportDesigner *d) {
            trigger(d, "actClose");
            QVERIFY(!d->isVisible()); // nothing changed: no question
        });
        QVERIFY(prompt.shown.isEmpty());
        design(samples, MainReports::List, [&](ReportDesigner *d) {
            click(d, itemWithText(d->document()->report(), QStringLiteral("[F_spec]")));
            trigger(d, "actDelete");
            prompt.answer({answer});
            trigger(d, "actClose");
            QCOMPARE(!d->isVisible(), closed);
            QCOMPARE(d->document()->isModified(), !saved);
        });
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("报表模板已修改，是否保存？")});
        QCOMPARE(prompt.shown.first().kind, int(Prompt::QuestionCancel));
        QCOMPARE(fileText(path) != original, saved);
    }

    // 设计 and 设置 open the designer over an empty list, with the data sets bound and their
    // fields read from the statements.
    void opensOverEmptyLists()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        AppHome::installShippedFiles();
        SampleList samples(*db.dm());
        QVERIFY(samples.reload());
        QCOMPARE(samples.rowCount(), 0);
        const auto fieldsIn = [](ReportDesigner *d) {
            QStringList shown;
            auto *tree = d->findChild<DataTree *>(QStringLiteral("tvData"));
            for (int i = 0; i < tree->topLevelItemCount(); ++i) {
                const QTreeWidgetItem *set = tree->topLevelItem(i);
                for (int f = 0; f < set->childCount(); ++f)
                    shown << set->text(0) + u'.' + set->child(f)->text(0) + u' ' +
                                 set->child(f)->text(1);
            }
            return shown;
        };
        QStringList shown;
        design(samples, MainReports::ByClient, [&](ReportDesigner *d) { shown = fieldsIn(d); });
        for (const char *field :
             {"frDBDataSet1.F_XSclient 客户", "frDBDataSet2.F_goodCode 样品编号",
              "frMain.F_yanSE 颜色", "frDetail1.F_imagePath "})
            QVERIFY2(shown.contains(QString::fromUtf8(field), Qt::CaseInsensitive), field);

        bool opened = false;
        whenModal<ReportDesigner>(this, [&](ReportDesigner *d) {
            opened = true;
            shown = fieldsIn(d);
            d->done(QDialog::Rejected);
        });
        StatisticsWindow statistics(clientStatistics());
        statistics.action(QStringLiteral("tbSet"))->trigger();
        QVERIFY(opened);
        QVERIFY(shown.filter(QStringLiteral("frDBDataSet1.")).size() > 3);

        opened = false;
        whenModal<ReportDesigner>(this, [&](ReportDesigner *d) {
            opened = true;
            shown = fieldsIn(d);
            d->done(QDialog::Rejected);
        });
        RegisterWindow suppliers(supplierRegister());
        suppliers.show();
        suppliers.findChild<QAction *>(QStringLiteral("tbDesign"))->trigger();
        QVERIFY(opened);
        QVERIFY(shown.filter(QStringLiteral("frDBDataSet1.")).size() > 3);
    }

    // A template that cannot be written is told and nothing is lost: the old file stays whole,
    // the changes stay in the designer and can be saved once the folder is back.
    void failedSaveLosesNothing()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        AppHome::installShippedFiles();
        SampleList samples(*db.dm());
        QVERIFY(samples.reload());
        const QString path = templatePath(kListTemplate);
        const QByteArray original = fileText(path);
        const QDir folder = QFileInfo(path).dir();
        const QStringList filesBefore = folder.entryList(QDir::Files);
        ScriptedPrompt prompt;
        design(samples, MainReports::List, [&](ReportDesigner *d) {
            click(d, itemWithText(d->document()->report(), QStringLiteral("[F_spec]")));
            trigger(d, "actDelete");

            // A full disk: no file may grow past a few bytes.
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            const rlimit small{1024, limit.rlim_max};
            setrlimit(RLIMIT_FSIZE, &small);
            prompt.answer({Prompt::Yes});
            trigger(d, "actClose");
            setrlimit(RLIMIT_FSIZE, &limit);
            QVERIFY(d->isVisible());
            QCOMPARE(fileText(path), original);
            QCOMPARE(folder.entryList(QDir::Files), filesBefore);

            // The folder gone.
            const QString away = folder.path() + QStringLiteral(".away");
            QVERIFY(QDir().rename(folder.path(), away));
            QVERIFY(!d->save());
            QVERIFY(QDir().rename(away, folder.path()));
            if (geteuid() != 0) {
                QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
                QVERIFY(!d->save());
                QFile::setPermissions(folder.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            }
            QCOMPARE(fileText(path), original);
            QVERIFY(d->document()->isModified());
            QVERIFY(d->save());
        });
        QCOMPARE(prompt.shown.size(), geteuid() != 0 ? 4 : 3);
        for (int i = 1; i < prompt.shown.size(); ++i) {
            QCOMPARE(prompt.shown.at(i).kind, int(Prompt::Error));
            QVERIFY2(prompt.shown.at(i).text.startsWith(QStringLiteral("无法")),
                     qPrintable(prompt.shown.at(i).text));
        }
        Template saved;
        QString error;
        QVERIFY2(load(path, &saved, &error), qPrintable(error));
        QVERIFY(itemWithText(saved, QStringLiteral("[F_spec]")).index < 0);
        QCOMPARE(fileText(path + QStringLiteral(".bak")), original);
    }
};

QTEST_MAIN(TestDesigner)
#include "tst_designer.moc"
