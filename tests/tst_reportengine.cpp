#include "core/RegularFile.h"
#include "report/GridPrint.h"
#include "report/ReportEngine.h"
#include "support/WorkDone.h"

#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <limits>
#include <sys/stat.h>

using namespace Report;

Q_DECLARE_METATYPE(Report::Template)

namespace {

// Rows given in the test: "group|name|amount" each.
class ListedRows : public RowSource
{
public:
    explicit ListedRows(QList<Row> rows) : m_rows(std::move(rows)) {}
    bool next(Row *row) override
    {
        if (m_at >= m_rows.size())
            return false;
        *row = m_rows.at(m_at++);
        return true;
    }

private:
    QList<Row> m_rows;
    qsizetype m_at = 0;
};

class ListedData : public DataProvider
{
public:
    QHash<QString, QList<Row>> sets;
    // Detail rows are those whose "master" field equals the master row's "name".
    std::unique_ptr<RowSource> open(const QString &dataSet, const Row *master,
                                    QString *error) override
    {
        if (!sets.contains(dataSet)) {
            *error = QStringLiteral("no data set %1").arg(dataSet);
            return nullptr;
        }
        QList<Row> rows;
        for (const Row &row : sets.value(dataSet)) {
            if (!master ||
                row.value(QStringLiteral("master")) == master->value(QStringLiteral("name")))
                rows << row;
        }
        return std::make_unique<ListedRows>(rows);
    }
};

QList<Row> rows(const QStringList &specs)
{
    QList<Row> list;
    for (const QString &spec : specs) {
        const QStringList parts = spec.split(u'|');
        list << Row{{QStringLiteral("group"), QStringLiteral("name"), QStringLiteral("amount"),
                     QStringLiteral("master")},
                    {parts.value(0), parts.value(1), parts.value(2).toDouble(), parts.value(3)}};
    }
    return list;
}

Band band(double height, const QString &text)
{
    Item item;
    item.rect = QRectF(0, 0, 100, height);
    item.text = text;
    return Band{height, {item}};
}

// A page of 100 mm without margins: 90 mm for bands above a 10 mm footer.
Template page()
{
    Template t;
    t.page.paper = QStringLiteral("custom");
    t.page.width = 120;
    t.page.height = 100;
    t.page.margins = QMarginsF(0, 0, 0, 0);
    t.pageFooter = band(10, QStringLiteral("F[Page]/[PageCount]"));
    return t;
}

QStringList pages(const Prepared &prepared)
{
    QStringList list;
    for (const Page &p : prepared.pages) {
        QStringList texts;
        for (const Element &e : p.elements)
            texts << prepared.textOf(e);
        list << texts.join(u' ');
    }
    return list;
}

QStringList names(int count)
{
    QStringList list;
    for (int i = 1; i <= count; ++i)
        list << QStringLiteral("g|r%1|1").arg(i);
    return list;
}

} // namespace

// Filling a template and breaking it into pages.
class TestReportEngine : public QObject
{
    Q_OBJECT

private slots:
    void pageBreaking_data()
    {
        QTest::addColumn<Template>("report");
        QTest::addColumn<QStringList>("data");
        QTest::addColumn<QStringList>("expected");

        Template rows9 = page();
        rows9.data << DataBand{
            QStringLiteral("d"), {}, {}, {}, band(10, QStringLiteral("[name]")), {}};
        QTest::newRow("exact fit")
            << rows9 << names(9) << QStringList{"r1 r2 r3 r4 r5 r6 r7 r8 r9 F1/1"};

        Template tooTall = rows9;
        tooTall.title = band(0.1, QStringLiteral("T"));
        QTest::newRow("0.1 mm too tall")
            << tooTall << names(9) << QStringList{"T r1 r2 r3 r4 r5 r6 r7 r8 F1/2", "r9 F2/2"};

        Template headed = rows9;
        headed.data[0].header = band(10, QStringLiteral("H"));
        headed.data[0].footer = band(10, QStringLiteral("S[SUM(amount)]"));
        QTest::newRow("data header repeats, footer moves")
            << headed << names(8) << QStringList{"H r1 r2 r3 r4 r5 r6 r7 r8 F1/2", "H S8 F2/2"};

        Template grouped = rows9;
        grouped.data[0].groups << Group{QStringLiteral("group"),
                                        band(10, QStringLiteral("G[group]")),
                                        band(10, QStringLiteral("E[group]:[COUNT]")), true, false};
        QTest::newRow("group header never alone at the bottom")
            << grouped
            << QStringList{"a|r1|1", "a|r2|1", "a|r3|1", "a|r4|1", "a|r5|1", "a|r6|1", "b|r7|1"}
            << QStringList{"Ga r1 r2 r3 r4 r5 r6 Ea:6 F1/2", "Gb r7 Eb:1 F2/2"};
        QTest::newRow("group header repeats on the next page")
            << grouped << QStringList{"a|r1|1", "a|r2|1", "a|r3|1", "a|r4|1", "a|r5|1",
                                      "a|r6|1", "a|r7|1", "a|r8|1", "a|r9|1"}
            << QStringList{"Ga r1 r2 r3 r4 r5 r6 r7 r8 F1/2", "Ga r9 Ea:9 F2/2"};

        Template summed = rows9;
        summed.title = band(10, QStringLiteral("T"));
        summed.summary = band(20, QStringLiteral("Z[SUM(amount)]"));
        QTest::newRow("summary overflowing")
            << summed << names(7) << QStringList{"T r1 r2 r3 r4 r5 r6 r7 F1/2", "Z7 F2/2"};
        QTest::newRow("empty data: title and summary")
            << summed << QStringList{} << QStringList{"T Z0 F1/1"};

        Template giant = rows9;
        giant.data[0].row = band(500, QStringLiteral("[name]"));
        QTest::newRow("band taller than a page is clipped")
            << giant << names(2) << QStringList{"r1 F1/2", "r2 F2/2"};

        Template tallTitle = rows9;
        tallTitle.title = band(500, QStringLiteral("T"));
        QTest::newRow("title taller than a page: the rows follow")
            << tallTitle << names(2) << QStringList{"T F1/2", "r1 r2 F2/2"};
        tallTitle.pageHeader = band(10, QStringLiteral("H"));
        QTest::newRow("title taller than a page: the page header follows")
            << tallTitle << names(2) << QStringList{"T F1/2", "H r1 r2 F2/2"};
    }

    void pageBreaking()
    {
        QFETCH(Template, report);
        QFETCH(QStringList, data);
        QFETCH(QStringList, expected);
        ListedData provider;
        provider.sets.insert(QStringLiteral("d"), rows(data));
        Prepared prepared;
        QString error;
        QVERIFY2(done(prepare(report, provider, &prepared), &error), qPrintable(error));
        QCOMPARE(pages(prepared), expected);
        // The page footer always stands at the bottom.
        for (const Page &p : prepared.pages)
            QCOMPARE(p.elements.last().rect.top(), 90.0);
    }

    void pageCountInFooters_data()
    {
        QTest::addColumn<int>("count");
        for (int n : {9, 10, 11})
            QTest::newRow(qPrintable(QString::number(n))) << n;
    }

    void pageCountInFooters()
    {
        QFETCH(int, count);
        Template report = page();
        report.pageFooter = band(10, QStringLiteral("第 [Page] 页 / 共 [PageCount] 页"));
        report.data << DataBand{
            QStringLiteral("d"), {}, {}, {}, band(10, QStringLiteral("[name]")), {}};
        ListedData provider;
        provider.sets.insert(QStringLiteral("d"), rows(names(9 * count)));
        Prepared prepared;
        QString error;
        QVERIFY2(done(prepare(report, provider, &prepared), &error), qPrintable(error));
        const QStringList texts = pages(prepared);
        QCOMPARE(texts.size(), count);
        for (int p = 1; p <= count; ++p)
            QVERIFY2(
                texts.at(p - 1).endsWith(QStringLiteral(" 第 %1 页 / 共 %2 页").arg(p).arg(count)),
                qPrintable(texts.at(p - 1)));
    }

    void masterAndDetail()
    {
        Template report = page();
        DataBand master{QStringLiteral("m"), {}, {}, {}, band(10, QStringLiteral("M[name]")), {}};
        master.details << DataBand{QStringLiteral("d"),
                                   {},
                                   band(10, QStringLiteral("S[SUM(amount)]")),
                                   {},
                                   band(10, QStringLiteral("[m.name]:[name]")),
                                   {}};
        report.data << master;
        ListedData provider;
        provider.sets.insert(QStringLiteral("m"), rows({"|A", "|B", "|C"}));
        provider.sets.insert(QStringLiteral("d"), rows({"|x|1|A", "|y|2|B", "|z|3|A", "|w|4|X"}));
        Prepared prepared;
        QString error;
        QVERIFY2(done(prepare(report, provider, &prepared), &error), qPrintable(error));
        QCOMPARE(pages(prepared), QStringList{"MA A:x A:z S4 MB B:y S2 MC F1/1"});
    }

    // A footer sums the rows of its own band: a master's footer never adds its details' rows.
    void sumsStayWithTheirBand()
    {
        Template report = page();
        DataBand master{QStringLiteral("m"),
                        {},
                        band(10, QStringLiteral("T[SUM(amount)]")),
                        {},
                        band(10, QStringLiteral("M[name]")),
                        {}};
        master.details << DataBand{QStringLiteral("d"),
                                   {},
                                   band(10, QStringLiteral("S[SUM(amount)]")),
                                   {},
                                   band(10, QStringLiteral("[name]")),
                                   {}};
        report.data << master;
        report.summary = band(10, QStringLiteral("Z[SUM(amount)] [COUNT]"));
        ListedData provider;
        provider.sets.insert(QStringLiteral("m"), rows({"|A|10", "|B|20"}));
        provider.sets.insert(QStringLiteral("d"), rows({"|x|1|A", "|y|2|B", "|z|3|A"}));
        Prepared prepared;
        QString error;
        QVERIFY2(done(prepare(report, provider, &prepared), &error), qPrintable(error));
        QCOMPARE(pages(prepared), QStringList{"MA x z S4 MB y S2 T30 Z30 2 F1/1"});
    }

    void growingTextMovesWhatIsBelow()
    {
        Template report = page();
        Band row;
        Item grows;
        grows.rect = QRectF(0, 0, 20, 6);
        grows.grow = true;
        grows.text = QStringLiteral("[name]");
        Item below;
        below.rect = QRectF(0, 6, 20, 4);
        below.text = QStringLiteral("below");
        Item beside;
        beside.rect = QRectF(30, 0, 20, 5);
        beside.text = QStringLiteral("beside");
        row.height = 10;
        row.items = {grows, below, beside};
        report.data << DataBand{QStringLiteral("d"), {}, {}, {}, row, {}};
        ListedData provider;
        provider.sets.insert(QStringLiteral("d"),
                             rows({QStringLiteral("|") + QString(60, QChar(u'字')), "|短"}));
        Prepared prepared;
        QString error;
        QVERIFY2(done(prepare(report, provider, &prepared), &error), qPrintable(error));
        const QList<Element> e = prepared.pages.at(0).elements;
        const double growth = e[0].rect.height() - 6;
        QVERIFY(growth > 10);
        QCOMPARE(e[1].rect.top(), 6 + growth);
        QCOMPARE(e[2].rect.top(), 0.0);
        // The next row starts below the grown one; a short text does not shrink its row.
        QCOMPARE(e[3].rect.top(), 10 + growth);
        QCOMPARE(e[4].rect.top(), 16 + growth);
    }

    // A long report's pages go to a temporary file; they read back as they were made, also in
    // a list given away before the report was done, and also saved and loaded.
    void longReportsKeepPagesOnDisk()
    {
        Template report = page();
        report.data << DataBand{
            QStringLiteral("d"), {}, {}, {}, band(10, QStringLiteral("[name]")), {}};
        ListedData provider;
        provider.sets.insert(QStringLiteral("d"), rows(names(200)));
        QString error;
        Prepared inMemory;
        QVERIFY(done(prepare(report, provider, &inMemory), &error));
        QCOMPARE(inMemory.pages.pagesOnDisk(), 0);

        PageList early;
        Prepared onDisk;
        onDisk.pages = PageList(20);
        QVERIFY(done(prepare(report, provider, &onDisk,
                             [&early](const Prepared &soFar) {
                                 if (soFar.pages.size() == 10)
                                     early = soFar.pages.firstPages(9);
                                 return true;
                             }),
                     &error));
        QVERIFY(onDisk.pages.pagesOnDisk() > onDisk.pages.size() / 2);
        QCOMPARE(onDisk.pages, inMemory.pages);
        QVERIFY(early.pagesOnDisk() > 0);
        QCOMPARE(early, inMemory.pages.firstPages(9));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("long.qrp"));
        QVERIFY2(done(savePrepared(onDisk, path), &error), qPrintable(error));
        onDisk = Prepared{};
        QCOMPARE(early.at(8), inMemory.pages.at(8));
        Prepared back;
        QVERIFY2(done(loadPrepared(path, &back), &error), qPrintable(error));
        QCOMPARE(back.pages, inMemory.pages);
    }

    void preparedReportsKeptInFiles()
    {
        Template report = page();
        report.data << DataBand{
            QStringLiteral("d"), {}, {}, {}, band(10, QStringLiteral("[name]")), {}};
        ListedData provider;
        provider.sets.insert(QStringLiteral("d"), rows(names(12)));
        Prepared prepared;
        QString error;
        QVERIFY(done(prepare(report, provider, &prepared), &error));
        prepared.charts = {{{QStringLiteral("甲"), 2.5}}};
        prepared.pages.last().elements[0].kind = Element::PieChart;
        prepared.pages.last().elements[0].chart = 0;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kept.qrp"));
        QVERIFY2(done(savePrepared(prepared, path), &error), qPrintable(error));
        Prepared back;
        QVERIFY2(done(loadPrepared(path, &back), &error), qPrintable(error));
        QCOMPARE(back.pages, prepared.pages);
        QCOMPARE(back.styles, prepared.styles);
        QCOMPARE(back.charts, prepared.charts);
        QCOMPARE(back.page.height, prepared.page.height);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        file.close();
        // A count made enormous, the file cut short, and something else altogether.
        QByteArray huge = bytes;
        huge.replace(6 + 4 + 8 + 8 + 1, 4, QByteArray("\x7f\xff\xff\xff", 4)); // the styles
        const QList<QByteArray> damaged = {huge, bytes.left(bytes.size() / 2),
                                           QByteArray("PK\x03\x04 not a report")};
        for (const QByteArray &d : damaged) {
            QFile bad(path);
            QVERIFY(bad.open(QIODevice::WriteOnly));
            bad.write(d);
            bad.close();
            Prepared none;
            QVERIFY(!done(loadPrepared(path, &none), &error));
            QVERIFY(!error.isEmpty());
        }
    }

    // A data set that cannot be read is told, and the report goes on with what could be.
    // A saved report whose paper is not a number, negative or absurd opens nothing and says
    // why.
    void preparedReportWithBadPaperRefused_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::newRow("NaN") << std::nan("") << 297.0;
        QTest::newRow("infinite") << 210.0 << std::numeric_limits<double>::infinity();
        QTest::newRow("negative") << -210.0 << 297.0;
        QTest::newRow("absurd") << 210.0 << 1e12;
        QTest::newRow("tiny") << 1.0 << 1.0;
    }

    void preparedReportWithBadPaperRefused()
    {
        QFETCH(double, width);
        QFETCH(double, height);
        Template report = page();
        report.data << DataBand{
            QStringLiteral("d"), {}, {}, {}, band(10, QStringLiteral("[name]")), {}};
        ListedData provider;
        provider.sets.insert(QStringLiteral("d"), rows(names(3)));
        Prepared prepared;
        QString error;
        QVERIFY(done(prepare(report, provider, &prepared), &error));
        prepared.page.width = width;
        prepared.page.height = height;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.qrp"));
        QVERIFY2(done(savePrepared(prepared, path), &error), qPrintable(error));
        Prepared back;
        QVERIFY(!done(loadPrepared(path, &back), &error));
        QVERIFY2(error.contains(QStringLiteral("纸张尺寸无效")), qPrintable(error));
        QVERIFY(back.pages.isEmpty());
    }

    // Margins are checked as the paper is: numbers, not negative, leaving room to print.
    void templateMarginsChecked_data()
    {
        QTest::addColumn<QByteArray>("margins");
        QTest::addColumn<QString>("message");
        QTest::newRow("negative") << QByteArray("[-5, 10, 10, 10]") << "页边距无效";
        QTest::newRow("wider than the page") << QByteArray("[100, 10, 100, 10]") << "页边距无效";
        QTest::newRow("taller than the page") << QByteArray("[10, 150, 10, 150]") << "页边距无效";
        QTest::newRow("absurd") << QByteArray("[1e300, 10, 10, 10]") << "页边距无效";
        QTest::newRow("not numbers") << QByteArray("[\"a\", 10, 10, 10]") << "margins 须是四个数值";
        QTest::newRow("three") << QByteArray("[10, 10, 10]") << "margins 须是四个数值";
    }

    void templateMarginsChecked()
    {
        QFETCH(QByteArray, margins);
        QFETCH(QString, message);
        Template report = page();
        report.page.margins = QMarginsF(1, 2, 3, 4);
        Template back;
        QString error;
        QVERIFY2(fromJson(toJson(report), &back, &error), qPrintable(error));
        QCOMPARE(back.page.margins, report.page.margins);
        QJsonObject json = QJsonDocument::fromJson(toJson(report)).object();
        QJsonObject paper = json.value(QStringLiteral("page")).toObject();
        paper.insert(QStringLiteral("margins"),
                     QJsonDocument::fromJson("{\"m\": " + margins + "}").object().value("m"));
        json.insert(QStringLiteral("page"), paper);
        QVERIFY(!fromJson(QJsonDocument(json).toJson(), &back, &error));
        QVERIFY2(error.contains(message), qPrintable(error));
    }

    // A picture naming a FIFO is not waited on: only regular files are read (the test ending
    // is the proof); the report's other items are drawn.
    void pictureNamingAFifoRefused()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("picture.jpg"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        Template report = page();
        Item picture;
        picture.kind = Item::Picture;
        picture.rect = QRectF(0, 0, 40, 40);
        picture.source = QStringLiteral("file:") + fifo;
        report.title = Band{40, {picture}};
        ListedData provider;
        Prepared prepared;
        QString error;
        QVERIFY2(done(prepare(report, provider, &prepared), &error), qPrintable(error));
        QImage image(120, 100, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        drawPage(painter, prepared, 0, 1);
        painter.end();
        QFile file;
        QString why;
        QVERIFY(!openRegularFile(file, fifo, &why));
        QCOMPARE(why, QStringLiteral("不是普通文件"));
        QVERIFY(!openRegularFile(file, dir.path(), &why));

        // A template or a saved report that is a FIFO is refused the same way.
        Template notRead;
        QVERIFY(!load(fifo, &notRead, &error));
        QVERIFY2(error.contains(QStringLiteral("不是普通文件")), qPrintable(error));
        Prepared none;
        QVERIFY(!done(loadPrepared(fifo, &none), &error));
        QVERIFY2(error.contains(QStringLiteral("不是普通文件")), qPrintable(error));
    }

    void failingDataSetIsReported()
    {
        Template report = page();
        report.title = band(10, QStringLiteral("T"));
        DataBand master{QStringLiteral("m"), {}, {}, {}, band(10, QStringLiteral("M[name]")), {}};
        master.details << DataBand{QStringLiteral("missing"),          {}, {}, {},
                                   band(10, QStringLiteral("[name]")), {}};
        report.data << master;
        report.summary = band(10, QStringLiteral("Z[COUNT]"));
        ListedData provider;
        provider.sets.insert(QStringLiteral("m"), rows({"|A", "|B"}));
        Prepared prepared;
        QString error;
        QVERIFY(!done(prepare(report, provider, &prepared), &error));
        QCOMPARE(error, QStringLiteral("no data set missing"));
        QCOMPARE(pages(prepared), QStringList{"T MA MB Z2 F1/1"});
    }

    // Headers that fill every page leave the rows nowhere: the report stops and says so.
    void headersFillingThePageStop()
    {
        Template report = page();
        report.pageHeader = band(95, QStringLiteral("H"));
        report.data << DataBand{
            QStringLiteral("d"), {}, {}, {}, band(10, QStringLiteral("[name]")), {}};
        ListedData provider;
        provider.sets.insert(QStringLiteral("d"), rows(names(3)));
        Prepared prepared;
        QString error;
        QVERIFY(!done(prepare(report, provider, &prepared), &error));
        QVERIFY2(error.contains(QStringLiteral("占满了整页")), qPrintable(error));
        QVERIFY(prepared.pages.isEmpty());
        // Told the same way when the report has nothing but its header to make a page of.
        QVERIFY(!done(prepare(report, provider, &prepared,
                              [](const Prepared &soFar) { return soFar.pages.size() < 2; }),
                      &error));
        QVERIFY2(error.contains(QStringLiteral("占满了整页")), qPrintable(error));
    }

    // The grid print keeps 10 mm margins (printers cannot print to the paper's edge), turns
    // the paper across for wide grids and numbers its pages when given no footer text.
    void gridPrintLayout()
    {
        const QList<GridColumnPrint> narrow(3, GridColumnPrint{QStringLiteral("名称"), 85});
        const Template portrait = gridTemplate(QStringLiteral("基本代码列表"), {}, {}, narrow);
        QVERIFY(!portrait.page.landscape);
        QCOMPARE(portrait.page.width, 210.0);
        QCOMPARE(portrait.page.margins, QMarginsF(10, 10, 10, 10));
        QVERIFY(pageProblem(portrait.page).isEmpty());

        const QList<GridColumnPrint> wide(10, GridColumnPrint{QStringLiteral("名称"), 85});
        const Template across = gridTemplate(QStringLiteral("基本代码列表"), {}, {}, wide);
        QVERIFY(across.page.landscape);
        QCOMPARE(across.page.width, 297.0);
        double right = 0;
        for (const Item &cell : across.data.first().row.items)
            right = qMax(right, cell.rect.right());
        QVERIFY(right <= 297 - 20 + 0.001);

        QList<QStringList> rows;
        for (int i = 0; i < 100; ++i)
            rows << QStringList{QString::number(i), QStringLiteral("甲"), QStringLiteral("乙")};
        GridRows data(rows);
        Prepared prepared;
        QString error;
        QVERIFY2(done(prepare(portrait, data, &prepared), &error), qPrintable(error));
        QVERIFY(prepared.pages.size() > 1);
        const QStringList first = pages(prepared).first().split(u' ');
        QCOMPARE(first.first(), QStringLiteral("基本代码列表"));
        QVERIFY2(pages(prepared).last().endsWith(
                     QStringLiteral("第 %1 页 / 共 %1 页").arg(prepared.pages.size())),
                 qPrintable(pages(prepared).last()));
        const Template footed =
            gridTemplate(QStringLiteral("基本代码列表"), {}, QStringLiteral("自备脚注"), narrow);
        QCOMPARE(footed.pageFooter->items.first().text, QStringLiteral("自备脚注"));
    }

    void shippedTemplatesLoadAndSaveBackIdentical()
    {
        QTemporaryDir dir;
        QDirIterator shipped(QStringLiteral(":/home/Qr"));
        int count = 0;
        while (shipped.hasNext()) {
            const QString file = shipped.next();
            Template report;
            QString error;
            QVERIFY2(load(file, &report, &error), qPrintable(error));
            const QString copy = dir.filePath(shipped.fileName());
            QVERIFY2(save(copy, report, &error), qPrintable(error));
            Template back;
            QVERIFY2(load(copy, &back, &error), qPrintable(error));
            QVERIFY2(back == report, qPrintable(file));
            ++count;
        }
        QVERIFY(count >= 8);
    }

    void templateFiles()
    {
        Template report = page();
        report.title = band(12, QStringLiteral("样品清单"));
        report.title->items[0].name = QStringLiteral("MemoDate");
        report.title->items[0].font =
            Font{QStringLiteral("Noto Serif CJK SC"), 14, true, false, false};
        report.title->items[0].background = QColor(255, 205, 155);
        DataBand data{QStringLiteral("frDBDataSet1"),
                      band(8, QStringLiteral("编号")),
                      {},
                      {},
                      band(6, QStringLiteral("[F_code]")),
                      {}};
        data.groups << Group{
            QStringLiteral("F_type"), band(6, QStringLiteral("[F_type]")), {}, false, true};
        report.data << data;
        QVERIFY(report.findObject(QStringLiteral("memodate")));
        QVERIFY(!report.findObject(QStringLiteral("nothing")));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("frTest.frf"));
        QString error;
        QVERIFY2(save(path, report, &error), qPrintable(error));
        Template back;
        QVERIFY2(load(path, &back, &error), qPrintable(error));
        QVERIFY(back == report);
        // Saving again keeps the previous file beside the new one.
        QVERIFY(save(path, back, &error));
        QVERIFY(QFile::exists(path + QStringLiteral(".bak")));

        const QByteArray json = toJson(report);
        const struct
        {
            QByteArray text;
            const char *message;
        } refused[] = {
            {"\x01\x02 old binary template", "不是本程序的报表模板"},
            {QByteArray(json).replace("\"version\": 1", "\"version\": 9"),
             "版本（9）比本程序（1）新"},
            {QByteArray(json).replace("\"height\": 12", "\"height\": \"tall\""), "已损坏"},
            {json.left(json.size() / 2), "不是本程序的报表模板"},
        };
        for (const auto &r : refused) {
            Template t;
            QVERIFY(!fromJson(r.text, &t, &error));
            QVERIFY2(error.contains(QString::fromUtf8(r.message)), qPrintable(error));
        }
    }
};

QTEST_MAIN(TestReportEngine)
#include "tst_reportengine.moc"
