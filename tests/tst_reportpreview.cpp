#include "core/AppHome.h"
#include "core/SqlListModel.h"
#include "output/uFrmReportGl.h"
#include "register/SampleList.h"
#include "report/PrintReport.h"
#include "report/ReportPreview.h"
#include "support/Modal.h"
#include "support/ScriptedPrompt.h"
#include "support/ShellRecorder.h"
#include "support/TestDatabase.h"
#include "widgets/FileChooser.h"

#include <QAction>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A report of `count` pages whose page n says "行n"; pages beyond `elementsInMemory` elements
// are kept on disk.
Report::Prepared numberedPages(int count, qsizetype elementsInMemory)
{
    Report::Prepared report;
    report.styles << Report::Style{};
    report.pages = Report::PageList(elementsInMemory);
    for (int n = 1; n <= count; ++n) {
        Report::Element text;
        text.text = QStringLiteral("行%1").arg(n);
        text.rect = QRectF(10, 10, 50, 6);
        report.pages.append(Report::Page{{text}});
    }
    return report;
}

void addSamples(TdmData *dm)
{
    const QList<QVariantList> samples = {
        {"S1", "轴承", "A客户"}, {"S2", "弹簧", "B客户"}, {"S3", "螺丝", "A客户"}};
    for (const QVariantList &s : samples)
        QVERIFY(dm->ExecSql(QStringLiteral("insert into GoodMain(F_goodCode, F_goodName, "
                                           "F_XSclient, F_editDate) values(?, ?, ?, ?)"),
                            s + QVariantList{QDate::currentDate()}));
}

QStringList texts(const Report::Prepared &report)
{
    QStringList all;
    for (const Report::Page &page : report.pages) {
        for (const Report::Element &e : page.elements)
            all << report.textOf(e);
    }
    return all;
}

} // namespace

// The preview's own work on a prepared report: finding, keeping in a file, exporting, also of
// a report whose pages are on disk.
class TestReportPreview : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void pagesWhere_data()
    {
        QTest::addColumn<qsizetype>("elementsInMemory");
        QTest::newRow("in memory") << Report::PageList::kDefaultElementsInMemory;
        QTest::newRow("on disk") << qsizetype(4);
    }

    void findsFromTheCurrentPageRound_data() { pagesWhere_data(); }
    void findsFromTheCurrentPageRound()
    {
        QFETCH(qsizetype, elementsInMemory);
        ScriptedPrompt prompt;
        ReportPreview preview(numberedPages(30, elementsInMemory), QStringLiteral("清单"));
        preview.showPage(20);
        QVERIFY(preview.find(QStringLiteral("行25")));
        QCOMPARE(preview.currentPage(), 24);
        QVERIFY(preview.find(QStringLiteral("行5")));
        QCOMPARE(preview.currentPage(), 4);
        QVERIFY(prompt.texts().isEmpty());
        QVERIFY(!preview.find(QStringLiteral("无此文字")));
        QCOMPARE(preview.currentPage(), 4);
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("找不到“无此文字”。")});
    }

    void keptInAFileAndOpenedAgain_data() { pagesWhere_data(); }
    void keptInAFileAndOpenedAgain()
    {
        QFETCH(qsizetype, elementsInMemory);
        ScriptedPrompt prompt;
        const Report::Prepared made = numberedPages(30, elementsInMemory);
        QTemporaryDir dir;
        const QString kept = dir.filePath(QStringLiteral("kept"));
        {
            ReportPreview preview(made, QStringLiteral("清单"));
            FileChooser::setNextAnswer(kept);
            QVERIFY(preview.savePrepared());
        }
        ReportPreview other(numberedPages(2, elementsInMemory), QStringLiteral("另一个"));
        FileChooser::setNextAnswer(kept + QStringLiteral(".qrp"));
        QVERIFY(other.openPrepared());
        QCOMPARE(other.report().pages, made.pages);
        QVERIFY(other.isComplete());

        // Every page exported, in order.
        const QString csv = dir.filePath(QStringLiteral("pages.csv"));
        FileChooser::setNextAnswer(csv);
        QVERIFY(other.exportReport());
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 31);
        QCOMPARE(lines.at(0), QStringLiteral("行1"));
        QCOMPARE(lines.at(29), QStringLiteral("行30"));
        QVERIFY(prompt.texts().isEmpty());
    }

    // 帮助 opens the help file at its part on reports, through the desktop.
    void helpOpensTheReportsPart()
    {
        ShellRecorder shell;
        ReportPreview preview(numberedPages(1, Report::PageList::kDefaultElementsInMemory),
                              QStringLiteral("清单"));
        preview.findChild<QAction *>(QStringLiteral("tbHelp"))->trigger();
        QUrl help = QUrl::fromLocalFile(AppHome::path(QStringLiteral("help.html")));
        help.setFragment(QStringLiteral("reports"));
        QCOMPARE(shell.opened, QStringList{help.toString()});
    }

    // The list makes its first report current without selecting it: 设计 and 预览 then do
    // nothing; a selected report previews.
    void managerActsOnTheSelectedReportOnly()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        AppHome::installShippedFiles();
        addSamples(db.dm());
        SampleList samples(*db.dm());
        QVERIFY(samples.reload());
        ScriptedPrompt prompt;
        TFrmReportGl manager(samples);
        manager.show();
        QListWidget *list = manager.reports();
        list->selectionModel()->setCurrentIndex(list->model()->index(0, 0),
                                                QItemSelectionModel::NoUpdate);
        QCOMPARE(list->currentRow(), 0);
        QVERIFY(list->selectedItems().isEmpty());
        {
            QObject watch;
            QString opened;
            whenModal<QDialog>(&watch, [&opened](QDialog *window) {
                opened = window->windowTitle();
                window->reject();
            });
            manager.findChild<QPushButton *>(QStringLiteral("Button3"))->click();
            manager.findChild<QPushButton *>(QStringLiteral("Button4"))->click();
            QVERIFY2(opened.isEmpty(), qPrintable(opened));
        }
        list->item(1)->setSelected(true);
        QString title;
        whenModal<ReportPreview>(this, [&title](ReportPreview *preview) {
            title = preview->windowTitle();
            preview->accept();
        });
        manager.findChild<QPushButton *>(QStringLiteral("Button4"))->click();
        QCOMPARE(title, QStringLiteral("打印预览 - 样品档案统计表"));
        QVERIFY2(prompt.texts().isEmpty(), qPrintable(prompt.texts().join(u'\n')));
    }

    // A detail statement that fails is told, and the report still shows what was read.
    void failingDetailShowsWhatWasRead()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        AppHome::installShippedFiles();
        addSamples(db.dm());
        SampleList samples(*db.dm());
        QVERIFY(samples.reload());
        Report::Job job =
            MainReports::job(MainReports::ByClient, samples.model()->query(), samples.statements());
        job.dataSets[QStringLiteral("frDBDataSet2")].sql =
            QStringLiteral("select * from no_such_table where F_XSclient = ?");
        job.dataSets[QStringLiteral("frDBDataSet2")].values.clear();
        ScriptedPrompt prompt;
        QStringList shown;
        whenModal<ReportPreview>(this, [&shown](ReportPreview *preview) {
            QTRY_VERIFY(preview->isComplete());
            shown = texts(preview->report());
            preview->accept();
        });
        showReport(nullptr, job, QStringLiteral("样品客户统计表"));
        QVERIFY2(shown.contains(QStringLiteral("A客户")), qPrintable(shown.join(u' ')));
        QVERIFY(shown.contains(QStringLiteral("B客户")));
        QVERIFY(!shown.contains(QStringLiteral("S1")));
        QCOMPARE(prompt.texts().size(), 1);
        QVERIFY2(prompt.texts().first().startsWith(QStringLiteral("报表的数据没有全部读出")),
                 qPrintable(prompt.texts().first()));
        QVERIFY(
            prompt.texts().first().contains(QStringLiteral("no_such_table"), Qt::CaseInsensitive));
    }
};

QTEST_MAIN(TestReportPreview)
#include "tst_reportpreview.moc"
