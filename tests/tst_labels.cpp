#include "app/uFrmMain.h"
#include "core/AppHome.h"
#include "core/SqlListModel.h"
#include "masterdata/Registers.h"
#include "register/SampleList.h"
#include "register/SampleScanBox.h"
#include "report/ReportOutputs.h"
#include "report/ReportPreview.h"
#include "report/uFrmPrintLabels.h"
#include "support/BarCodeReader.h"
#include "support/ListSettled.h"
#include "support/Modal.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"
#include "support/WorkDone.h"
#include "widgets/DBGridEh.h"
#include "widgets/DateBox.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

void addSample(TdmData *dm, const QString &code, const QString &barCode, const QDate &edited)
{
    QVERIFY(dm->ExecSql(
        QStringLiteral("insert into GoodMain(F_goodCode, F_goodName, F_TMcode, F_spec, "
                       "F_depotPos, F_huoJia, F_editDate) values(?, ?, ?, ?, ?, ?, ?)"),
        {code, QStringLiteral("不锈钢轴承") + code.right(2), barCode, QStringLiteral("M8×40"),
         QStringLiteral("二号库"), QStringLiteral("B-03"), edited}));
}

// The main window over the whole register, shown and listed.
void showWholeRegister(TFrmMain &main)
{
    main.show();
    main.findChild<DateBox *>(QStringLiteral("dtpFromDate"))->setChecked(false);
    main.findChild<DateBox *>(QStringLiteral("dtpToDate"))->setChecked(false);
    QTRY_VERIFY(listSettled(main.listModel()));
}

} // namespace

// 打印标签 from the main list and the 扫码 box, on both engines.
class TestLabels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    // Samples selected in the list print on the A4 sheet from its fifth label on; every code
    // decodes to its sample's code (Code 128 and QR), the Chinese texts are searchable.
    void selectedSamplesOnAPartlyUsedSheet()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        AppHome::installShippedFiles();
        for (int i = 1; i <= 12; ++i)
            addSample(db.dm(), QStringLiteral("YP%1").arg(i, 4, 10, QLatin1Char('0')), QString(),
                      QDate::currentDate());
        ScriptedPrompt prompt;
        TFrmMain main;
        showWholeRegister(main);
        QTRY_COMPARE(main.listModel()->rowCount(), 12);
        QTableView *view = main.grid()->view();
        view->clearSelection();
        QStringList chosen;
        for (int row : {2, 3, 5, 8, 9, 10, 11}) {
            view->selectionModel()->select(main.listModel()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
            chosen << main.listModel()->value(row, QStringLiteral("F_goodCode")).toString();
        }
        QString choice;
        whenModal<TFrmPrintLabels>(this, [&choice](TFrmPrintLabels *dialog) {
            auto *selected = dialog->findChild<QRadioButton *>(QStringLiteral("rbSelected"));
            choice = selected->text();
            QVERIFY(selected->isChecked());
            auto *templates = dialog->findChild<QComboBox *>(QStringLiteral("cbbTemplate"));
            templates->setCurrentIndex(
                templates->findText(QStringLiteral("样品标签（A4，3 × 8）")));
            auto *first = dialog->findChild<QSpinBox *>(QStringLiteral("spnFirstLabel"));
            QCOMPARE(first->maximum(), 24);
            first->setValue(5);
            dialog->accept();
        });
        Report::Prepared shown;
        whenModal<ReportPreview>(this, [&shown](ReportPreview *preview) {
            QTRY_VERIFY(preview->isComplete());
            shown = preview->report();
            preview->accept();
        });
        main.named("actPrintLabels")->trigger();
        QCOMPARE(choice, QStringLiteral("列表中选中的样品（7 个）"));
        QCOMPARE(shown.pages.size(), 1);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
        QString error;
        QVERIFY2(done(Report::writePdf(shown, pdf), &error), qPrintable(error));
        // Each label's Code 128 and QR code.
        QStringList twice;
        for (const QString &code : std::as_const(chosen))
            twice << code << code;
        QCOMPARE(readBarCodes(pdf, shown), twice);
        // The fifth label is the second of the second row.
        for (const Report::Element &e : shown.pages.at(0).elements) {
            if (e.kind == Report::Element::BarCode) {
                QCOMPARE(e.rect.topLeft(), QPointF(70 + 3, 0.5 + 37 + 11.5));
                break;
            }
        }
        const QString text = toolOutput(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY2(text.contains(QStringLiteral("不锈钢轴承03")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("二号库")));
        QVERIFY2(prompt.texts().isEmpty(), qPrintable(prompt.texts().join(u'\n')));
        // The current row stays one.
        QCOMPARE(main.grid()->selectedRows().size(), 7);
    }

    // Every sample of the list's filter, with their number in the question, on roll labels: one
    // label a page; `--report` prints the same for scripts.
    void everySampleOfTheFilterAndForScripts()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        AppHome::installShippedFiles();
        for (int i = 1; i <= 3; ++i)
            addSample(db.dm(), QStringLiteral("R%1").arg(i), QString(), QDate::currentDate());
        ScriptedPrompt prompt;
        TFrmMain main;
        showWholeRegister(main);
        QString choice;
        whenModal<TFrmPrintLabels>(this, [&choice](TFrmPrintLabels *dialog) {
            auto *all = dialog->findChild<QRadioButton *>(QStringLiteral("rbAll"));
            choice = all->text();
            QVERIFY(all->isChecked());
            auto *templates = dialog->findChild<QComboBox *>(QStringLiteral("cbbTemplate"));
            templates->setCurrentIndex(templates->findText(QStringLiteral("样品标签")));
            QVERIFY(!dialog->findChild<QSpinBox *>(QStringLiteral("spnFirstLabel"))->isEnabled());
            dialog->accept();
        });
        int pages = 0;
        whenModal<ReportPreview>(this, [&pages](ReportPreview *preview) {
            QTRY_VERIFY(preview->isComplete());
            pages = int(preview->report().pages.size());
            preview->accept();
        });
        main.named("actPrintLabels")->trigger();
        QCOMPARE(choice, QStringLiteral("当前筛选的全部样品（3 个）"));
        QCOMPARE(pages, 3);

        QProcess quorin;
        const QString pdf = QDir(db.home()).filePath(QStringLiteral("roll.pdf"));
        quorin.start(QStringLiteral(QUORIN_BINARY),
                     {QStringLiteral("--home"), db.home(), QStringLiteral("--report"),
                      QStringLiteral("样品标签.frf"), QStringLiteral("--pdf"), pdf});
        QVERIFY(quorin.waitForFinished(120000));
        QCOMPARE(quorin.exitCode(), 0);
        QCOMPARE(readAllBarCodes(pdf), (QStringList{"R1", "R1", "R2", "R2", "R3", "R3"}));
        QVERIFY2(prompt.texts().isEmpty(), qPrintable(prompt.texts().join(u'\n')));
    }

    // A scanner types the code and Enter: the sample is selected, the list widened when its
    // filter hides it; several of one code are listed; an unknown code is only told.
    void scannedCodesLocateTheSample()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        const QDate today = QDate::currentDate();
        addSample(db.dm(), QStringLiteral("YP0001"), QString(), today);
        addSample(db.dm(), QStringLiteral("YP0002"), QString(), QDate(2020, 3, 1));
        addSample(db.dm(), QStringLiteral("YP0003"), QStringLiteral("6901234567892"), today);
        addSample(db.dm(), QStringLiteral("YP0004"), QStringLiteral("DUP-1"), today);
        addSample(db.dm(), QStringLiteral("YP0005"), QStringLiteral("dup-1"), QDate(2021, 1, 1));
        for (int i = 6; i <= 80; ++i)
            addSample(db.dm(), QStringLiteral("YP%1").arg(i, 4, 10, QLatin1Char('0')), QString(),
                      today);
        ScriptedPrompt prompt;
        TFrmMain main;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTRY_VERIFY(listSettled(main.listModel()));
        QTRY_COMPARE(main.listModel()->rowCount(), 78); // this month's
        auto *scan = main.findChild<QLineEdit *>(QStringLiteral("edtScan"));
        QTest::keyClick(&main, Qt::Key_F4);
        QTRY_VERIFY(scan->hasFocus());
        const auto scanCode = [&](const QString &code) {
            QTest::keyClicks(scan, code);
            QTest::keyClick(scan, Qt::Key_Return);
            QVERIFY(scan->text().isEmpty());
        };
        const auto current = [&main] {
            return main.samples().value(QStringLiteral("F_goodCode")).toString();
        };
        auto *advanced = main.findChild<QPushButton *>(QStringLiteral("btnAdvanced"));

        scanCode(QStringLiteral("yp0070 "));
        QTRY_COMPARE(current(), QStringLiteral("YP0070"));
        QCOMPARE(main.grid()->currentRow(), main.samples().currentRow());
        QCOMPARE(main.statusBar()->currentMessage(), QStringLiteral("已选中样品：yp0070"));
        QVERIFY(!advanced->isChecked());

        scanCode(QStringLiteral("YP0002"));
        QTRY_COMPARE(current(), QStringLiteral("YP0002"));
        QTRY_VERIFY(main.statusBar()->currentMessage().contains(QStringLiteral("不在当前筛选")));
        QVERIFY(advanced->isChecked());
        QTRY_VERIFY(listSettled(main.listModel()));
        QCOMPARE(main.listModel()->rowCount(), 80);

        scanCode(QStringLiteral("6901234567892"));
        QTRY_COMPARE(current(), QStringLiteral("YP0003"));

        scanCode(QStringLiteral("NOPE-9"));
        QCOMPARE(main.statusBar()->currentMessage(), QStringLiteral("未找到样品：NOPE-9"));
        QCOMPARE(current(), QStringLiteral("YP0003"));

        scanCode(QStringLiteral("DUP-1"));
        QTRY_VERIFY(listSettled(main.listModel()));
        QTRY_COMPARE(main.listModel()->rowCount(), 2);
        QVERIFY(main.statusBar()->currentMessage().contains(QStringLiteral("有 2 个")));
        QVERIFY(scan->hasFocus());
        QVERIFY2(prompt.texts().isEmpty(), qPrintable(prompt.texts().join(u'\n')));

        // The search bar lists again by its own filter; 条型码 is one of its fields.
        advanced->click();
        QTRY_VERIFY(listSettled(main.listModel()));
        QTRY_COMPARE(main.listModel()->rowCount(), 78);
        auto *field = main.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
        const int barCodeField = field->findText(QStringLiteral("条型码"));
        QVERIFY(barCodeField >= 0);
        field->setCurrentIndex(barCodeField);
        emit field->activated(barCodeField);
        main.findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(QStringLiteral("690"));
        QTRY_VERIFY(listSettled(main.listModel()));
        QTRY_COMPARE(main.listModel()->rowCount(), 1);
        QCOMPARE(main.listModel()->value(0, QStringLiteral("F_goodCode")).toString(),
                 QStringLiteral("YP0003"));
    }

    // Enter in the search bar's value box takes a scan while 样品编号 or 条型码 is chosen, as
    // the 扫码 box does; another field's Enter only searches.
    void searchBarTakesScans()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        const QDate today = QDate::currentDate();
        addSample(db.dm(), QStringLiteral("YP0001"), QString(), today);
        addSample(db.dm(), QStringLiteral("YP0002"), QString(), QDate(2020, 3, 1));
        addSample(db.dm(), QStringLiteral("YP0003"), QStringLiteral("6901234567892"), today);
        addSample(db.dm(), QStringLiteral("YP00031"), QString(), today);
        ScriptedPrompt prompt;
        TFrmMain main;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTRY_VERIFY(listSettled(main.listModel()));
        auto *field = main.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
        auto *value = main.findChild<QLineEdit *>(QStringLiteral("Edit1"));
        auto *advanced = main.findChild<QPushButton *>(QStringLiteral("btnAdvanced"));
        const auto choose = [field](const QString &caption) {
            const int index = field->findText(caption);
            QVERIFY(index >= 0);
            field->setCurrentIndex(index);
            emit field->activated(index);
        };
        const auto scan = [value](const QString &code) {
            value->setFocus();
            value->selectAll();
            QTest::keyClicks(value, code);
            QTest::keyClick(value, Qt::Key_Return);
        };
        const auto current = [&main] {
            return main.samples().value(QStringLiteral("F_goodCode")).toString();
        };

        choose(QStringLiteral("样品编号"));
        // Two samples start with the code; the one of the code is selected.
        scan(QStringLiteral("yp0003 "));
        QTRY_COMPARE(current(), QStringLiteral("YP0003"));
        QCOMPARE(main.statusBar()->currentMessage(), QStringLiteral("已选中样品：yp0003"));
        QCOMPARE(value->selectedText(), QStringLiteral("yp0003"));
        QTRY_VERIFY(listSettled(main.listModel()));
        QCOMPARE(main.listModel()->rowCount(), 2);

        // Outside this month's dates: the list is widened.
        scan(QStringLiteral("YP0002"));
        QTRY_COMPARE(current(), QStringLiteral("YP0002"));
        QTRY_VERIFY(main.statusBar()->currentMessage().contains(QStringLiteral("不在当前筛选")));
        QVERIFY(advanced->isChecked());

        choose(QStringLiteral("条型码"));
        scan(QStringLiteral("6901234567892"));
        QTRY_COMPARE(current(), QStringLiteral("YP0003"));

        scan(QStringLiteral("NOPE-9"));
        QCOMPARE(main.statusBar()->currentMessage(), QStringLiteral("未找到样品：NOPE-9"));
        QCOMPARE(QApplication::focusWidget(), value);

        // 样品名称 is searched, not scanned.
        main.statusBar()->clearMessage();
        choose(QStringLiteral("样品名称"));
        value->setText(QStringLiteral("不锈钢轴承03"));
        QTest::keyClick(value, Qt::Key_Return);
        QTRY_VERIFY(listSettled(main.listModel()));
        QCOMPARE(main.statusBar()->currentMessage(), QString());
        QVERIFY2(prompt.texts().isEmpty(), qPrintable(prompt.texts().join(u'\n')));
    }

    // 打印标签 in a register's window: the clients selected in its grid on the A4 sheet from
    // the second label; every code decodes, the names are searchable; `--report` prints the
    // catalogue's labels for scripts.
    void registerLabels()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        AppHome::installShippedFiles();
        const QStringList names{"华东贸易", "南方轴承", "北方钢铁", "西部机械"};
        for (int i = 0; i < names.size(); ++i) {
            QVERIFY(db.dm()->ExecSql(
                QStringLiteral("insert into T_client(F_Code, F_Name, F_Address, F_Type, "
                               "F_useFlag) values(?, ?, ?, '', ?)"),
                {QStringLiteral("KH-%1").arg(i + 1), names.at(i), QStringLiteral("上海市浦东新区"),
                 false}));
            QVERIFY(db.dm()->ExecSql(
                QStringLiteral("insert into T_goods(F_Code, F_Name, F_spec, F_Type, F_useFlag) "
                               "values(?, ?, 'M8', '', ?)"),
                {QStringLiteral("BZ%1").arg(i + 1), names.at(i), false}));
        }
        ScriptedPrompt prompt;
        TfrmCltMan window;
        window.show();
        QTRY_COMPARE(window.list()->rowCount(), 4);
        QTableView *view = window.grid()->view();
        view->clearSelection();
        for (int row : {1, 3})
            view->selectionModel()->select(window.list()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QString choice;
        whenModal<TFrmPrintLabels>(this, [&choice](TFrmPrintLabels *dialog) {
            auto *selected = dialog->findChild<QRadioButton *>(QStringLiteral("rbSelected"));
            choice = selected->text();
            auto *templates = dialog->findChild<QComboBox *>(QStringLiteral("cbbTemplate"));
            QCOMPARE(templates->count(), 1);
            dialog->findChild<QSpinBox *>(QStringLiteral("spnFirstLabel"))->setValue(2);
            dialog->accept();
        });
        Report::Prepared shown;
        whenModal<ReportPreview>(this, [&shown](ReportPreview *preview) {
            QTRY_VERIFY(preview->isComplete());
            shown = preview->report();
            preview->accept();
        });
        QAction *labels = window.action(QStringLiteral("tbLabels"));
        QVERIFY(view->actions().contains(labels));
        labels->trigger();
        QCOMPARE(choice, QStringLiteral("列表中选中的客户（2 个）"));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("clients.pdf"));
        QString error;
        QVERIFY2(done(Report::writePdf(shown, pdf), &error), qPrintable(error));
        QCOMPARE(readBarCodes(pdf, shown), (QStringList{"KH-2", "KH-2", "KH-4", "KH-4"}));
        // The first label is the second of the first row.
        for (const Report::Element &e : shown.pages.at(0).elements) {
            if (e.kind == Report::Element::BarCode) {
                QCOMPARE(e.rect.left(), 70 + 3.0);
                break;
            }
        }
        const QString text = toolOutput(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY2(text.contains(QStringLiteral("南方轴承")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("西部机械")));
        QVERIFY(!text.contains(QStringLiteral("华东贸易")));
        QVERIFY2(prompt.texts().isEmpty(), qPrintable(prompt.texts().join(u'\n')));

        QProcess quorin;
        const QString roll = QDir(db.home()).filePath(QStringLiteral("catalogue.pdf"));
        quorin.start(QStringLiteral(QUORIN_BINARY),
                     {QStringLiteral("--home"), db.home(), QStringLiteral("--report"),
                      QStringLiteral("标准样品标签.frf"), QStringLiteral("--pdf"), roll});
        QVERIFY(quorin.waitForFinished(120000));
        QCOMPARE(quorin.exitCode(), 0);
        QCOMPARE(readAllBarCodes(roll),
                 (QStringList{"BZ1", "BZ1", "BZ2", "BZ2", "BZ3", "BZ3", "BZ4", "BZ4"}));
    }
};

QTEST_MAIN(TestLabels)
#include "tst_labels.moc"
