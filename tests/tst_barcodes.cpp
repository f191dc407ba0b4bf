#include "core/AppHome.h"
#include "masterdata/RegisterDescription.h"
#include "output/SampleLabels.h"
#include "report/BarCode.h"
#include "report/GridPrint.h"
#include "report/ReportEngine.h"
#include "report/ReportOutputs.h"
#include "support/BarCodeReader.h"
#include "support/WorkDone.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Report;

namespace {

Item barCode(Symbol::Symbology symbology, const QRectF &rect, const QString &text = "[c0]")
{
    Item item;
    item.kind = Item::BarCode;
    item.rect = rect;
    item.text = text;
    item.symbol.symbology = symbology;
    return item;
}

// A sheet of labels `height` high over the rows "grid" (fields c0, c1 …), on A4 without margins.
Template sheet(const QList<Item> &items, double height, int columns)
{
    Template t;
    t.page.margins = QMarginsF(0, 0, 0, 0);
    DataBand data;
    data.dataSet = QStringLiteral("grid");
    data.columns = columns;
    data.row.height = height;
    data.row.items = items;
    t.data << data;
    return t;
}

bool prepareRows(const Template &t, const QList<QStringList> &rows, Prepared *prepared)
{
    GridRows data(rows);
    QString error;
    const bool ok = done(prepare(t, data, prepared), &error);
    if (!ok)
        qWarning() << error;
    return ok;
}

QList<QRectF> rectsOf(const Prepared &report, Element::Kind kind, int page)
{
    QList<QRectF> rects;
    for (const Element &e : report.pages.at(page).elements) {
        if (e.kind == kind)
            rects << e.rect;
    }
    return rects;
}

} // namespace

// Bar codes on labels as the program prints them, read back from the PDF by zbarimg.
class TestBarCodes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!barCodeReaderFound())
            QSKIP("zbarimg (zbar-tools) and pdftoppm (poppler-utils) are needed");
    }

    // Every value of every symbology zbar reads decodes to itself; EAN gets its check digit.
    void symbologiesReadBack_data()
    {
        QTest::addColumn<int>("symbology");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QStringList>("expected");
        const QStringList codes = {QStringLiteral("YP0000123"), QStringLiteral("S2026-07/a"),
                                   QStringLiteral("Q-1")};
        QTest::newRow("Code 128") << int(Symbol::Code128) << codes << codes;
        QTest::newRow("Code 39") << int(Symbol::Code39)
                                 << QStringList{QStringLiteral("YP0000123"), QStringLiteral("AB-7")}
                                 << QStringList{QStringLiteral("YP0000123"),
                                                QStringLiteral("AB-7")};
        QTest::newRow("EAN-13") << int(Symbol::Ean13)
                                << QStringList{QStringLiteral("590123412345"),
                                               QStringLiteral("6901234567892")}
                                << QStringList{QStringLiteral("5901234123457"),
                                               QStringLiteral("6901234567892")};
        QTest::newRow("EAN-8") << int(Symbol::Ean8)
                               << QStringList{QStringLiteral("9638507"), QStringLiteral("40170725")}
                               << QStringList{QStringLiteral("96385074"),
                                              QStringLiteral("40170725")};
        QTest::newRow("QR") << int(Symbol::QrCode) << codes << codes;
    }
    void symbologiesReadBack()
    {
        QFETCH(int, symbology);
        QFETCH(QStringList, values);
        QFETCH(QStringList, expected);
        QList<QStringList> rows;
        for (const QString &v : values)
            rows << QStringList{v};
        const Template t =
            sheet({barCode(Symbol::Symbology(symbology), QRectF(8, 5, 54, 25))}, 37, 3);
        Prepared prepared;
        QVERIFY(prepareRows(t, rows, &prepared));
        QVERIFY2(prepared.problems.isEmpty(), qPrintable(prepared.problems.join(u'\n')));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
        QString error;
        QVERIFY2(done(writePdf(prepared, pdf), &error), qPrintable(error));
        // Vectors, not a picture: the PDF holds no image.
        QVERIFY(toolOutput(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                    .split(u'\n', Qt::SkipEmptyParts)
                    .size() <= 2);
        QCOMPARE(readBarCodes(pdf, prepared), expected);
    }

    // Data Matrix, which zbar does not read, is drawn as modules all the same.
    void dataMatrixIsDrawn()
    {
        QImage image(400, 400, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        Symbol symbol;
        symbol.symbology = Symbol::DataMatrix;
        drawBarCode(painter, symbol, QStringLiteral("YP0000123"), Font{}, Qt::black,
                    QRectF(0, 0, 400, 400), 10);
        painter.end();
        int dark = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        }
        QVERIFY2(dark > 400 * 400 / 5 && dark < 400 * 400 * 4 / 5,
                 qPrintable(QString::number(dark)));
    }

    // A value its symbology cannot take prints as a box crossed in red and is reported with its
    // record; the other labels print and the report goes on.
    void unencodableValuesAreMarkedAndReported()
    {
        const QList<QStringList> rows = {{QStringLiteral("590123412345")},
                                         {QStringLiteral("12AB56789012")},
                                         {QStringLiteral("5901234123458")},
                                         {QStringLiteral("123")},
                                         {QString()}};
        Template t = sheet({barCode(Symbol::Ean13, QRectF(8, 5, 54, 25))}, 37, 3);
        Prepared prepared;
        QVERIFY(prepareRows(t, rows, &prepared));
        QCOMPARE(prepared.problems.size(), 3);
        QCOMPARE(prepared.problems.at(0),
                 QStringLiteral("grid 第 2 条记录：条码“12AB56789012”不能编为 EAN-13：只能是数字"));
        QVERIFY2(prepared.problems.at(1).startsWith(QStringLiteral("grid 第 3 条记录：")) &&
                     prepared.problems.at(1).endsWith(QStringLiteral("校验位不对")),
                 qPrintable(prepared.problems.at(1)));
        QVERIFY2(prepared.problems.at(2).contains(QStringLiteral("须是 12 位数字")),
                 qPrintable(prepared.problems.at(2)));
        QVERIFY(problemSummary(prepared.problems).startsWith(QStringLiteral("3 个条码无法编码")));
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
        QString error;
        QVERIFY2(done(writePdf(prepared, pdf), &error), qPrintable(error));
        QCOMPARE(readBarCodes(pdf, prepared),
                 (QStringList{QStringLiteral("5901234123457"), {}, {}, {}, {}}));
        // The second label's box is marked red.
        toolOutput(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-singlefile"),
                    QStringLiteral("-png"), pdf, dir.filePath(QStringLiteral("page"))});
        QImage page(dir.filePath(QStringLiteral("page.png")));
        QVERIFY(!page.isNull());
        const double perMm = 300 / 25.4;
        const QRect second = QRectF((70 + 8) * perMm, 5 * perMm, 54 * perMm, 25 * perMm).toRect();
        int red = 0;
        for (int y = second.top(); y < second.bottom(); y += 2) {
            for (int x = second.left(); x < second.right(); x += 2) {
                const QColor c = page.pixelColor(x, y);
                red += c.red() > 150 && c.green() < 100 && c.blue() < 100;
            }
        }
        QVERIFY2(red > 50, qPrintable(QString::number(red)));
    }

    // Labels run across, then down; a partly used sheet starts at its first free label, and a
    // sheet that is full goes on on the next page.
    void labelsAcrossThenDownFromTheFirstFreeOne()
    {
        Template t = sheet({barCode(Symbol::Code128, QRectF(2, 2, 60, 20))}, 37, 3);
        t.page.margins = QMarginsF(0, 0.5, 0, 0.5);
        t.data[0].rowGap = 0;
        t.data[0].firstLabel = 5;
        QList<QStringList> rows;
        for (int i = 1; i <= 22; ++i)
            rows << QStringList{QStringLiteral("L%1").arg(i)};
        Prepared prepared;
        QVERIFY(prepareRows(t, rows, &prepared));
        QCOMPARE(prepared.pages.size(), 2);
        const QList<QRectF> first = rectsOf(prepared, Element::BarCode, 0);
        QCOMPARE(first.size(), 24 - 4);
        for (int i = 0; i < first.size(); ++i) {
            const int place = i + 4; // labels 1 to 4 are used
            QCOMPARE(first.at(i).topLeft(),
                     QPointF(2 + (place % 3) * 70.0, 0.5 + 2 + (place / 3) * 37.0));
        }
        const QList<QRectF> second = rectsOf(prepared, Element::BarCode, 1);
        QCOMPARE(second.size(), 2);
        QCOMPARE(second.at(1).topLeft(), QPointF(2 + 70, 0.5 + 2));
        // The texts of each label follow the label's value.
        QCOMPARE(prepared.pages.at(1).elements.at(1).text, QStringLiteral("L22"));

        // Gaps between the labels.
        t.data[0].columnGap = 3;
        t.data[0].rowGap = 2;
        t.data[0].firstLabel = 1;
        t.page.margins = QMarginsF(5, 5, 5, 5);
        QVERIFY(prepareRows(t, rows.first(4), &prepared));
        const QList<QRectF> gapped = rectsOf(prepared, Element::BarCode, 0);
        const double width = (200 - 2 * 3) / 3.0;
        QCOMPARE(gapped.at(1).left(), 5 + 2 + width + 3);
        QCOMPARE(gapped.at(3).topLeft(), QPointF(5 + 2, 5 + 2 + 37 + 2));
    }

    // The bar-code item and the label layout survive the template file; values out of range
    // are refused with their place.
    void templateFileKeepsBarCodesAndColumns()
    {
        Item code = barCode(Symbol::QrCode, QRectF(1, 2, 18, 18), QStringLiteral("[F_goodCode]"));
        code.symbol.showText = false;
        code.symbol.quietZone = false;
        code.symbol.module = 0.5;
        code.symbol.errorLevel = 3;
        Template t = sheet({code}, 37, 3);
        t.data[0].columnGap = 2.5;
        t.data[0].rowGap = 1;
        t.data[0].firstLabel = 7;
        Template back;
        QString error;
        QVERIFY2(fromJson(toJson(t), &back, &error), qPrintable(error));
        QVERIFY(back == t);
        QCOMPARE(back.data[0].row.items[0].symbol.errorLevel, 3);

        const struct
        {
            const char *from;
            const char *to;
            const char *says;
        } broken[] = {{"\"symbology\": \"qr\"", "\"symbology\": \"pdf417\"", "pdf417"},
                      {"\"module\": 0.5", "\"module\": 20", "module"},
                      {"\"columns\": 3", "\"columns\": 0", "columns"},
                      {"\"firstLabel\": 7", "\"firstLabel\": 2.5", "firstLabel"}};
        for (const auto &b : broken) {
            QByteArray json = toJson(t);
            QVERIFY2(json.contains(b.from), b.from);
            json.replace(b.from, b.to);
            QVERIFY(!fromJson(json, &back, &error));
            QVERIFY2(error.contains(QLatin1String(b.says)), qPrintable(error));
        }
    }

    // A prepared report kept in a file draws its bar codes as before.
    void preparedFileKeepsTheSymbols()
    {
        Item code = barCode(Symbol::Ean8, QRectF(0, 0, 40, 20));
        code.symbol.module = 0.4;
        Prepared prepared;
        QVERIFY(prepareRows(sheet({code}, 37, 1), {{QStringLiteral("9638507")}}, &prepared));
        QTemporaryDir dir;
        const QString kept = dir.filePath(QStringLiteral("kept.qrp"));
        QString error;
        QVERIFY2(done(savePrepared(prepared, kept), &error), qPrintable(error));
        Prepared back;
        QVERIFY2(done(loadPrepared(kept, &back), &error), qPrintable(error));
        QCOMPARE(back.styles, prepared.styles);
        QCOMPARE(back.pages, prepared.pages);
        QCOMPARE(back.styleOf(back.pages.at(0).elements.at(0)).symbol.module, 0.4);
    }

    // The shipped label templates of every register that prints labels: roll labels one a
    // page and 3 × 8 on an A4 sheet; no register's templates are taken for another's.
    void shippedLabelTemplates()
    {
        QTemporaryDir home;
        AppHome::set(home.path());
        AppHome::installShippedFiles();
        const struct
        {
            const Labels::Kind &kind;
            QStringList files;
            QList<int> perSheet;
        } shipped[] = {
            {SampleLabels::kind(), {"样品标签.frf", "样品标签（A4，3 × 8）.frf"}, {1, 24}},
            {clientRegister().labels, {"客户标签（A4，3 × 8）.frf"}, {24}},
            {supplierRegister().labels, {"供应商标签（A4，3 × 8）.frf"}, {24}},
            {catalogueRegister().labels, {"标准样品标签.frf"}, {1}},
        };
        for (const auto &s : shipped) {
            QCOMPARE(Labels::templates(s.kind), s.files);
            for (qsizetype i = 0; i < s.files.size(); ++i) {
                Template layout;
                QString error;
                QVERIFY2(load(templatePath(s.files.at(i)), &layout, &error), qPrintable(error));
                QCOMPARE(Labels::labelsPerSheet(layout), s.perSheet.at(i));
                QCOMPARE(layout.data.first().dataSet, s.kind.dataSet);
            }
        }
        Template roll;
        QString error;
        QVERIFY2(load(templatePath(QStringLiteral("样品标签.frf")), &roll, &error),
                 qPrintable(error));
        QCOMPARE(QSizeF(roll.page.width, roll.page.height), QSizeF(60, 40));
    }
};

QTEST_MAIN(TestBarCodes)
#include "tst_barcodes.moc"
