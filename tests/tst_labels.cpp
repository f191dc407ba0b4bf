#include "app/uFrmMain.h"
#include "core/AppHome.h"
#include "output/uFrmPrintLabels.h"
#include "register/SampleList.h"
#include "register/SampleScanBox.h"
#include "report/ReportOutputs.h"
#include "report/ReportPreview.h"
#include "support/BarCodeReader.h"
#include "support/ListSettled.h"
#include "support/Modal.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"
#include "support/WorkDone.h"
#include "widgets/DBGridEh.h"
#include "widgets/DateBox.h"

#include <QAction>
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
};

QTEST_MAIN(TestLabels)
#include "tst_labels.moc"
