#include "core/AppHome.h"
#include "core/RecordList.h"
#include "core/SqlListModel.h"
#include "output/StatisticsWindow.h"
#include "output/uFrmYanpinStatCX.h"
#include "report/ReportPreview.h"
#include "support/Modal.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"
#include "widgets/DBGridEh.h"
#include "widgets/DateBox.h"
#include "widgets/FileChooser.h"
#include "widgets/PrintChooser.h"

#include <QAction>
#include <QChart>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPieSeries>
#include <QPieSlice>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

using Criteria = QMap<QString, QString>; // box object name → text; "from"/"to": date or unticked

namespace {

const StatisticsDescription &statisticsNamed(const QString &name)
{
    if (name == u"sample")
        return sampleRecordStatistics();
    if (name == u"catalogue")
        return catalogueStatistics();
    if (name == u"client")
        return clientStatistics();
    return supplierStatistics();
}

// Four sample records: a type and its sub-type, a type whose name only begins like it, quotes,
// and the sentinel edit date itself.
void fillSamples(TdmData *dm)
{
    const QList<QVariantList> rows = {
        {"G1", "轴承A", "\\\\金属", "华为", "供应商甲", "客户'乙", "备注一", "2024-03-10", 1.5,
         2.25},
        {"G2", "大轴承", "\\\\金属\\钢", "美的华为", "甲供应商", "", "", "2024-03-01", 2.5, 0.75},
        {"G3", "螺丝", "\\\\金属制品", "华为X", "", "", "", "2001-01-01", 10.0, 0.0},
        {"G4", "O'Neil", "\\\\塑料", "", "", "", "", "1900-08-14", 0.0, 1.0}};
    for (const QVariantList &r : rows) {
        QVariantList values = r;
        values[7] = QDate::fromString(r[7].toString(), Qt::ISODate);
        QVERIFY(dm->ExecSql(
            QStringLiteral("insert into GoodMain(F_goodCode, F_goodName, F_type, F_pinPai, "
                           "F_CGsuppler, F_XSclient, F_memo1, F_editDate, F_CGprice, F_XSprice1, "
                           "F_CGtype, F_XStype1) values(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '人民币', "
                           "'人民币')"),
            values));
    }
}

// Three entries of a register: a type, its sub-type and a type whose name begins like it.
void fillRegister(TdmData *dm, const QString &table)
{
    const QList<QVariantList> rows = {
        {"K1", "阿尔法公司", "\\\\甲", "张三", "100080", "重要'客户", "华为"},
        {"K2", "贝塔", "\\\\甲\\子", "李张", "200100", "", "美的华为"},
        {"A0", "O'Brien", "\\\\甲乙", "", "100", "", ""}};
    const bool catalogue = table == u"T_goods";
    for (const QVariantList &r : rows) {
        QVERIFY(dm->ExecSql(
            catalogue ? QStringLiteral("insert into T_goods(F_code, F_name, F_type, F_memo1, "
                                       "F_pinPai) values(?, ?, ?, ?, ?)")
                      : QStringLiteral("insert into %1(F_code, F_name, F_type, F_LinkMan, "
                                       "F_PostCode, F_memo1) values(?, ?, ?, ?, ?, ?)")
                            .arg(table),
            catalogue ? QVariantList{r[0], r[1], r[2], r[5], r[6]} : r.mid(0, 6)));
    }
}

void fill(TdmData *dm, const StatisticsDescription &d)
{
    if (d.table == u"GoodMain")
        fillSamples(dm);
    else
        fillRegister(dm, d.table);
}

void setCriteria(StatisticsWindow &window, const Criteria &criteria)
{
    for (auto it = criteria.cbegin(); it != criteria.cend(); ++it) {
        if (it.key() == u"from" || it.key() == u"to") {
            auto *box =
                window.findChild<DateBox *>(it.key() == u"from" ? "dtpFromDate" : "dtpToDate");
            QVERIFY(box);
            box->setChecked(!it.value().isEmpty());
            if (!it.value().isEmpty())
                box->setDate(QDate::fromString(it.value(), Qt::ISODate));
        } else if (auto *edit = window.findChild<QLineEdit *>(it.key())) {
            edit->setText(it.value());
        } else {
            auto *combo = window.findChild<QComboBox *>(it.key());
            QVERIFY2(combo, qPrintable(it.key()));
            combo->setCurrentText(it.value());
        }
    }
}

QStringList listedCodes(StatisticsWindow &window)
{
    const QString field = window.description().table == u"GoodMain" ? QStringLiteral("F_goodCode")
                                                                    : QStringLiteral("F_code");
    QStringList codes;
    for (int row = 0; row < window.list()->rowCount(); ++row)
        codes << window.list()->value(row, field).toString();
    return codes;
}

int displayIndexOf(DBGridEh *grid, const QString &field)
{
    const QList<GridColumn> columns = grid->columns();
    for (int i = 0; i < columns.size(); ++i) {
        if (columns.at(i).field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void addStatisticsRow(TdmData *dm, const QString &name, const QString &sql)
{
    QVERIFY(dm->ExecSql(QStringLiteral("insert into cfg_stat(F_name, F_SQLtext) values(?, ?)"),
                        {name, sql}));
}

bool runAnalysis(TfrmYanpinStatCX &window, const QString &name)
{
    QSignalSpy finished(&window, &TfrmYanpinStatCX::analysisFinished);
    window.showAnalysis(name);
    return finished.wait(20000);
}

QStringList sliceLabels(const TfrmYanpinStatCX &window)
{
    QStringList labels;
    for (const QPieSlice *slice : window.series()->slices())
        labels << slice->label();
    return labels;
}

} // namespace

// The four statistics lists (one window, four descriptions) and the analysis with its pie.
class TestStatistics : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void criteriaSelectRecords_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<Criteria>("criteria");
        QTest::addColumn<QStringList>("codes");
        const Criteria open{{"from", ""}, {"to", ""}};
        const auto with = [&open](const Criteria &more) {
            Criteria c = open;
            c.insert(more);
            return c;
        };
        QTest::newRow("sample: unticked dates cover the sentinel range, in edit-date order")
            << "sample" << open << QStringList{"G4", "G3", "G2", "G1"};
        QTest::newRow("sample: both bounds included")
            << "sample" << Criteria{{"from", "2024-03-01"}, {"to", "2024-03-10"}}
            << QStringList{"G2", "G1"};
        QTest::newRow("sample: from only")
            << "sample" << Criteria{{"from", "2024-03-02"}, {"to", ""}} << QStringList{"G1"};
        QTest::newRow("sample: name contains")
            << "sample" << with({{"edtGoodName", " 轴承 "}}) << QStringList{"G2", "G1"};
        QTest::newRow("sample: brand starts with")
            << "sample" << with({{"cbbPinpai", "华为"}}) << QStringList{"G3", "G1"};
        QTest::newRow("sample: type takes in its sub-types only")
            << "sample" << with({{"edtType", "\\\\金属"}}) << QStringList{"G2", "G1"};
        QTest::newRow("sample: type typed without its path")
            << "sample" << with({{"edtType", "金属"}}) << QStringList{"G2", "G1"};
        QTest::newRow("sample: supplier contains")
            << "sample" << with({{"edtCGsuppler", "甲"}}) << QStringList{"G2", "G1"};
        QTest::newRow("sample: quote in the client")
            << "sample" << with({{"edtXSclient", "'乙"}}) << QStringList{"G1"};
        QTest::newRow("sample: quote in the name")
            << "sample" << with({{"edtGoodName", "o'n"}}) << QStringList{"G4"};
        QTest::newRow("sample: three criteria")
            << "sample"
            << with({{"edtType", "\\\\金属"}, {"cbbPinpai", "华为"}, {"edtMemo1", "备注"}})
            << QStringList{"G1"};
        for (const char *list : {"catalogue", "client", "supplier"}) {
            const auto row = [list](const char *what) -> QTestData & {
                return QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(
                           QLatin1String(list), QString::fromUtf8(what))))
                       << QString::fromLatin1(list);
            };
            const QString nameBox = QStringLiteral("edtName");
            row("blank criteria list everything by code")
                << Criteria{{nameBox, "  "}} << QStringList{"A0", "K1", "K2"};
            row("name contains") << Criteria{{nameBox, "尔法"}} << QStringList{"K1"};
            row("quote in the name") << Criteria{{nameBox, "O'B"}} << QStringList{"A0"};
            row("type takes in its sub-types only")
                << Criteria{{"edtType", "\\\\甲"}} << QStringList{"K1", "K2"};
            row("quote in the remark") << Criteria{{"edtMemo1", "'客户"}} << QStringList{"K1"};
        }
        QTest::newRow("catalogue: brand starts with")
            << "catalogue" << Criteria{{"cbbPinpai", "华为"}} << QStringList{"K1"};
        for (const char *list : {"client", "supplier"}) {
            QTest::newRow(qPrintable(QStringLiteral("%1: post code starts with").arg(list)))
                << QString::fromLatin1(list) << Criteria{{"edtPostcode", "100"}}
                << QStringList{"A0", "K1"};
            QTest::newRow(qPrintable(QStringLiteral("%1: contact contains").arg(list)))
                << QString::fromLatin1(list) << Criteria{{"edtLinkman", "张"}}
                << QStringList{"K1", "K2"};
        }
    }

    void criteriaSelectRecords()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, list);
        QFETCH(Criteria, criteria);
        QFETCH(QStringList, codes);
        TestDatabase db(engine);
        const StatisticsDescription &d = statisticsNamed(list);
        fill(db.dm(), d);
        StatisticsWindow window(d);
        window.show();
        QCOMPARE(window.objectName(), d.objectName);
        setCriteria(window, criteria);
        QVERIFY(window.query());
        QTRY_VERIFY(window.list()->isCountKnown());
        QCOMPARE(listedCodes(window), codes);
        QCOMPARE(window.statusPanel(2), QStringLiteral("记录数/%1").arg(codes.size()));
    }

    void nothingIsReadBeforeQuery()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        fillSamples(db.dm());
        StatisticsWindow window(sampleRecordStatistics());
        window.show();
        const QDate today = QDate::currentDate();
        auto *from = window.findChild<DateBox *>("dtpFromDate");
        auto *to = window.findChild<DateBox *>("dtpToDate");
        QVERIFY(from->isChecked() && to->isChecked());
        QCOMPARE(from->date(), QDate(today.year(), today.month(), 1));
        QCOMPARE(to->date(), today);
        QVERIFY(!window.list()->isOpen());
        QCOMPARE(window.list()->rowCount(), 0);
        QVERIFY(window.statusPanel(3).endsWith(QStringLiteral("  ")));
        // A title click sorts only a list that has been read.
        emit window.grid()->view()->horizontalHeader()->sectionClicked(0);
        QVERIFY(!window.list()->isOpen());
        QCOMPARE(window.grid()->marker(QStringLiteral("F_goodcode")), DBGridEh::Marker::None);
        QVERIFY(!window.action(QStringLiteral("tbExpert"))->isEnabled());
        // 设置 opens the designer whether or not the list was read.
        QVERIFY(window.action(QStringLiteral("tbSet"))->isEnabled());
        // 打印 of a list never read does nothing (no preview comes up to block the test).
        window.action(QStringLiteral("tbPrint"))->trigger();
        // Ctrl+Q from a criteria box runs the query.
        auto *name = window.findChild<QLineEdit *>("edtGoodName");
        name->setFocus();
        QTest::keyClick(name, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(window.list()->isOpen());
        QVERIFY(window.action(QStringLiteral("tbExpert"))->isEnabled());
    }

    // Each list's column titles stand on RGB FFCD9B.
    void titleBandInItsColour()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        for (const char *name : {"sample", "catalogue", "client", "supplier"}) {
            StatisticsWindow window(statisticsNamed(QLatin1String(name)));
            window.show();
            QHeaderView *header = window.grid()->view()->horizontalHeader();
            const QImage titles = header->grab().toImage();
            const QPoint beside(header->sectionViewportPosition(0) + 3, titles.height() / 2);
            QCOMPARE(titles.pixelColor(beside).name(), QStringLiteral("#ffcd9b"));
        }
    }

    void footerSumsMatchTheDatabase()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        fillSamples(db.dm());
        // Prices in 人民币 sum as they are (other currencies: tst_moneysums).
        StatisticsWindow window(sampleRecordStatistics());
        window.show();
        setCriteria(window, {{"from", ""}, {"to", "2024-03-01"}});
        QVERIFY(window.query());
        QTRY_VERIFY(window.list()->isCountKnown());
        DBGridEh *grid = window.grid();
        QCOMPARE(grid->footerText(0), QStringLiteral("合计(人民币)"));
        for (const char *field : {"F_CGprice", "F_XSprice1"}) {
            const double sum =
                db.dm()->GetFloatValue(QStringLiteral("select sum(%1) from GoodMain where "
                                                      "F_editDate <= ?")
                                           .arg(QLatin1String(field)),
                                       {QDate(2024, 3, 1)});
            QCOMPARE(window.list()->sum(QLatin1String(field)).toDouble(), sum);
            QCOMPARE(grid->footerText(displayIndexOf(grid, QLatin1String(field))),
                     QString::number(sum, 'f', 2));
        }
    }

    void movesFollowTheirButtons()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        fillSamples(db.dm());
        StatisticsWindow window(sampleRecordStatistics());
        window.show();
        setCriteria(window, {{"from", ""}, {"to", ""}});
        QVERIFY(window.query());
        QTRY_VERIFY(window.list()->isCountKnown());
        const auto enabled = [&window] {
            QString flags;
            for (const char *name : {"tbFirst", "tbPrior", "tbNext", "tbLast"})
                flags += window.action(QLatin1String(name))->isEnabled() ? u'1' : u'0';
            return flags;
        };
        QCOMPARE(enabled(), QStringLiteral("1111"));
        window.first();
        QCOMPARE(window.records().currentRow(), 0);
        QCOMPARE(enabled(), QStringLiteral("0011"));
        window.next();
        QCOMPARE(window.records().currentRow(), 1);
        QCOMPARE(enabled(), QStringLiteral("1111"));
        window.prior();
        QCOMPARE(window.records().currentRow(), 0);
        QCOMPARE(enabled(), QStringLiteral("1111"));
        // 前项 at the first record only disables; the record stays.
        window.prior();
        QCOMPARE(window.records().currentRow(), 0);
        QCOMPARE(enabled(), QStringLiteral("0011"));
        window.last();
        QCOMPARE(window.records().currentRow(), 3);
        QCOMPARE(enabled(), QStringLiteral("1100"));
        // Keys reach the moves from a criteria box, and only while their button is enabled.
        auto *name = window.findChild<QLineEdit *>("edtGoodName");
        name->setFocus();
        QTest::keyClick(name, Qt::Key_PageDown);
        QCOMPARE(window.records().currentRow(), 3);
        QTest::keyClick(name, Qt::Key_Home);
        QCOMPARE(window.records().currentRow(), 0);
        QTest::keyClick(name, Qt::Key_PageDown);
        QCOMPARE(window.records().currentRow(), 1);
        window.grid()->view()->setFocus();
        QTest::keyClick(window.grid()->view(), Qt::Key_End);
        QCOMPARE(window.records().currentRow(), 3);
    }

    void printsTheListWithItsDateRange()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        fillSamples(db.dm());
        AppHome::installShippedFiles();
        ScriptedPrompt prompt;
        StatisticsWindow window(sampleRecordStatistics());
        window.show();
        setCriteria(window, {{"from", ""}, {"to", ""}, {"edtGoodName", "轴承"}});
        QCOMPARE(StatisticsQuery::dateMemo(window.criteria()),
                 QStringLiteral("日    期：自 启用系统 至 记帐最后一天"));
        QVERIFY(window.query());
        QStringList printed;
        const QString pdf = QDir(db.home()).filePath(QStringLiteral("printed.pdf"));
        const QString csv = QDir(db.home()).filePath(QStringLiteral("exported.csv"));
        bool printedToPrinter = false;
        bool exported = false;
        whenModal<ReportPreview>(this, [&](ReportPreview *preview) {
            // The preview opens at once; its pages arrive as they are made.
            QTRY_VERIFY(preview->isComplete());
            const Report::Prepared &report = preview->report();
            const Report::Page first = report.pages.at(0);
            for (const Report::Element &e : first.elements)
                printed << report.textOf(e);
            PrintChooser::setNextAnswer("");
            QVERIFY(!preview->print());
            PrintChooser::setNextAnswer(qPrintable(pdf));
            printedToPrinter = preview->print();
            FileChooser::setNextAnswer(csv);
            exported = preview->exportReport();
            preview->accept();
        });
        window.action(QStringLiteral("tbPrint"))->trigger();
        QVERIFY(printedToPrinter && exported);
        QFile pdfFile(pdf);
        QVERIFY(pdfFile.open(QIODevice::ReadOnly) && pdfFile.read(5) == "%PDF-");
        QFile csvFile(csv);
        QVERIFY(csvFile.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(csvFile.readAll()).contains(QStringLiteral("\r\nG1;轴承A;")));
        QVERIFY2(prompt.texts().isEmpty(), qPrintable(prompt.texts().join(u'\n')));
        for (const char *text : {"样品记录统计列表", "日    期：自 启用系统 至 记帐最后一天", "G1",
                                 "G2", "4.00", "第 1 页 / 共 1 页"})
            QVERIFY2(printed.contains(QString::fromUtf8(text)), text);
        QVERIFY(!printed.contains(QStringLiteral("G3")));
    }

    // Pages shown while the rest is made: the count is not known and nothing prints yet.
    void previewFillsAsPagesArrive()
    {
        Report::Prepared nothingYet;
        nothingYet.complete = false;
        ReportPreview preview(nothingYet, QStringLiteral("清单"));
        preview.show();
        QAction *print = preview.findChild<QAction *>(QStringLiteral("tbPrint"));
        QVERIFY(!print->isEnabled());
        Report::Element footer;
        footer.text = QStringLiteral("第 1 页 / 共 [PageCount] 页");
        Report::PageList pages;
        pages.append(Report::Page{{footer}});
        preview.showPages(pages, {Report::Style{}}, {});
        QCOMPARE(preview.report().textOf(footer), QStringLiteral("第 1 页 / 共 … 页"));
        QCOMPARE(preview.findChild<QLabel *>(QStringLiteral("lblPage"))->text(),
                 QStringLiteral(" 第 1 页 / 共 1… 页 "));
        QSignalSpy completed(&preview, &ReportPreview::completed);
        pages.append(Report::Page{{footer}});
        preview.showPages(pages, {Report::Style{}}, {});
        preview.finish();
        QCOMPARE(completed.size(), 1);
        QVERIFY(print->isEnabled());
        QCOMPARE(preview.report().textOf(footer), QStringLiteral("第 1 页 / 共 2 页"));
    }

    void storedLayoutKeepsTheSums()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        StatisticsWindow window(sampleRecordStatistics());
        window.show();
        const QList<GridColumn> columns = window.grid()->columns();
        QCOMPARE(columns.size(), 23);
        QCOMPARE(columns.first().footerType, int(GridColumn::StaticText));
        QCOMPARE(columns.at(displayIndexOf(window.grid(), QStringLiteral("F_cgPrice"))).footerType,
                 int(GridColumn::Sum));
    }

    void analysisListsAndCharts()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        fillSamples(db.dm());
        addStatisticsRow(db.dm(), QStringLiteral("O'统计"),
                         QStringLiteral("select F_type as F_name, count(*) as F_num from GoodMain "
                                        "group by F_type order by F_type"));
        TfrmYanpinStatCX window;
        window.show();
        QCOMPARE(window.statusPanel(2), QStringLiteral("样式总数：4"));
        QListWidget *list = window.analyses();
        QCOMPARE(list->item(0)->text(), QStringLiteral("按品牌统计"));
        QCOMPARE(list->item(list->count() - 1)->text(), QStringLiteral("O'统计"));
        QVERIFY(window.series()->slices().isEmpty());

        QVERIFY(runAnalysis(window, QStringLiteral("按品牌统计")));
        QCOMPARE(window.chart()->title(), QStringLiteral("按品牌统计/样品统计分析图"));
        QStringList labels = sliceLabels(window);
        labels.sort();
        QCOMPARE(labels,
                 (QStringList{"华为 25.0%", "华为X 25.0%", "美的华为 25.0%", "（空） 25.0%"}));
        QCOMPARE(window.grid()->model()->rowCount(), 4);
        QCOMPARE(window.grid()->model()->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("按品牌统计"));
        QCOMPARE(window.grid()->model()->headerData(1, Qt::Horizontal).toString(),
                 QStringLiteral("数量"));

        // A quote in the name is looked up as it is.
        QVERIFY(runAnalysis(window, QStringLiteral("O'统计")));
        QCOMPARE(window.series()->slices().size(), 4);
        QCOMPARE(window.chart()->title(), QStringLiteral("O'统计/样品统计分析图"));
    }

    void analysisEdgeCases()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        fillSamples(db.dm());
        TdmData *dm = db.dm();
        QVERIFY(dm->ExecSql(
            QStringLiteral("update cfg_stat set F_SQLtext = '' where F_name = '样品名称'")));
        addStatisticsRow(dm, QStringLiteral("空的"),
                         QStringLiteral("select F_goodName as F_name, count(*) as F_num from "
                                        "GoodMain where 1 = 0 group by F_goodName"));
        addStatisticsRow(dm, QStringLiteral("坏的"), QStringLiteral("select nothing from nowhere"));
        addStatisticsRow(dm, QStringLiteral("缺列"),
                         QStringLiteral("select F_goodName from GoodMain"));
        addStatisticsRow(
            dm, QStringLiteral("同名"),
            QStringLiteral("select 'first' as F_name, count(*) as F_num from GoodMain"));
        addStatisticsRow(
            dm, QStringLiteral("同名"),
            QStringLiteral("select 'second' as F_name, count(*) as F_num from GoodMain"));
        ScriptedPrompt prompt;
        TfrmYanpinStatCX window;
        window.show();

        // The built-in analysis counts samples per name whatever its statement holds.
        QVERIFY(runAnalysis(window, QStringLiteral("样品名称")));
        QCOMPARE(window.series()->slices().size(), 4);
        const QString title = window.chart()->title();
        QCOMPARE(title, QStringLiteral("样品名称/样品统计分析图"));

        // An empty result empties the list page and keeps the chart.
        QVERIFY(runAnalysis(window, QStringLiteral("空的")));
        QCOMPARE(window.grid()->model()->rowCount(), 0);
        QCOMPARE(window.grid()->model()->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("空的"));
        QCOMPARE(window.chart()->title(), title);
        QCOMPARE(window.series()->slices().size(), 4);

        // Statements that fail or lack a column are reported; the chart stays.
        for (const char *name : {"坏的", "缺列"}) {
            prompt.clear();
            QVERIFY(runAnalysis(window, QString::fromUtf8(name)));
            QCOMPARE(prompt.shown.size(), 1);
            QCOMPARE(window.chart()->title(), title);
            QVERIFY(window.isVisible());
        }

        // Two analyses of one name run the first one's statement.
        QVERIFY(runAnalysis(window, QStringLiteral("同名")));
        QCOMPARE(sliceLabels(window), QStringList{"first 100.0%"});
    }

    void pieGathersSmallGroups_data()
    {
        QTest::addColumn<int>("groups");
        QTest::addColumn<QStringList>("expected"); // first and last label
        QTest::addColumn<int>("slices");
        QTest::newRow("few groups, each a slice") << 3 << QStringList{"g3 50.0%", "g1 16.7%"} << 3;
        QTest::newRow("exactly the most slices") << 15 << QStringList{"g15 12.5%", "g1 0.8%"} << 15;
        QTest::newRow("the rest as 其他") << 40 << QStringList{"g40 4.9%", "其他 42.8%"} << 15;
    }

    void pieGathersSmallGroups()
    {
        QFETCH(int, groups);
        QFETCH(QStringList, expected);
        QFETCH(int, slices);
        // Group i counts i; a group of nothing and a negative one get no slice.
        QList<StatisticsAnalysis::Row> rows{{QStringLiteral("none"), 0},
                                            {QStringLiteral("minus"), -5}};
        for (int i = 1; i <= groups; ++i)
            rows.append({QStringLiteral("g%1").arg(i), double(i)});
        const QList<StatisticsAnalysis::Slice> pie = StatisticsAnalysis::pieSlices(rows);
        QCOMPARE(pie.size(), slices);
        QCOMPARE(pie.first().label, expected.first());
        QCOMPARE(pie.last().label, expected.last());
        double total = 0;
        for (const auto &slice : pie)
            total += slice.value;
        QCOMPARE(total, groups * (groups + 1) / 2.0);
    }
};

QTEST_MAIN(TestStatistics)
#include "tst_statistics.moc"
