#include "output/ReportPreview.h"
#include "support/ScriptedPrompt.h"
#include "widgets/FileChooser.h"

#include <QFile>
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

} // namespace

// The preview's own work on a prepared report: finding, keeping in a file, exporting, also of
// a report whose pages are on disk.
class TestReportPreview : public QObject
{
    Q_OBJECT

private slots:
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
};

QTEST_MAIN(TestReportPreview)
#include "tst_reportpreview.moc"
