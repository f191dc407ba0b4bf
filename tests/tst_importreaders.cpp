#include "input/CsvReader.h"
#include "input/SampleWorkbooks.h"
#include "input/WorkbookReader.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <xlsxwriter.h>

namespace {

// A workbook as spreadsheet programs write one: a text code with leading zeros, numbers, dates
// under a date format, and a second sheet. `constantMemory` writes the strings into the cells
// themselves, as streaming writers (our export among them) do.
QString writeXlsx(const QString &path, bool constantMemory)
{
    lxw_workbook_options options = {};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    lxw_workbook *wb = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_format *date = workbook_add_format(wb);
    format_set_num_format(date, "yyyy-mm-dd");
    lxw_format *chineseDate = workbook_add_format(wb);
    format_set_num_format(chineseDate, "yyyy\"年\"m\"月\"d\"日\"");
    lxw_format *money = workbook_add_format(wb);
    format_set_num_format(money, "#,##0.00");
    lxw_worksheet *ws = workbook_add_worksheet(wb, "客户");
    const char *titles[] = {"编号", "名称", "数量", "日期", "单价", "", "签约"};
    for (int c = 0; c < 7; ++c)
        worksheet_write_string(ws, 0, lxw_col_t(c), titles[c], nullptr);
    worksheet_write_string(ws, 1, 0, "00123", nullptr);
    worksheet_write_string(ws, 1, 1, "华东 \"贸易\" & <公司>", nullptr);
    worksheet_write_number(ws, 1, 2, 12345, nullptr);
    worksheet_write_number(ws, 1, 3, 45356, date); // 2024-03-05
    worksheet_write_number(ws, 1, 4, 0.1 + 0.2, money);
    worksheet_write_string(ws, 1, 5, "无标题列", nullptr);
    worksheet_write_number(ws, 1, 6, 36525, chineseDate); // 1999-12-31
    worksheet_write_string(ws, 3, 0, "00125", nullptr);   // row 3 left empty
    worksheet_write_number(ws, 3, 2, 1234567890123.0, nullptr);
    worksheet_write_number(ws, 3, 4, 1.5e-3, nullptr);
    lxw_worksheet *second = workbook_add_worksheet(wb, "第二页");
    worksheet_write_string(second, 0, 0, "甲", nullptr);
    worksheet_write_string(second, 1, 0, "乙", nullptr);
    workbook_close(wb);
    return path;
}

SheetTable read(const QString &path, int sheet, QStringList *names = nullptr)
{
    QString error;
    const std::unique_ptr<WorkbookReader> reader = WorkbookReader::open(path, &error);
    if (!reader)
        qWarning("%s: %s", qPrintable(path), qPrintable(error));
    if (!reader)
        return {};
    if (names)
        *names = reader->sheetNames();
    SheetTable table;
    if (!reader->readSheet(sheet, &table, &error, [](int) { return true; }))
        qWarning("%s: %s", qPrintable(path), qPrintable(error));
    return table;
}

QString write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

QString fixture(const char *name)
{
    return QStringLiteral(QUORIN_IMPORT_FIXTURES "/") + QLatin1String(name);
}

} // namespace

// The readers behind the import: each kind of workbook gives the same sheets, headings and
// cell texts a user sees.
class TestImportReaders : public QObject
{
    Q_OBJECT

private slots:
    void xlsx_data()
    {
        QTest::addColumn<bool>("constantMemory");
        QTest::newRow("shared strings") << false;
        QTest::newRow("inline strings") << true;
    }

    void xlsx()
    {
        QFETCH(bool, constantMemory);
        QTemporaryDir dir;
        QStringList names;
        const SheetTable sheet =
            read(writeXlsx(dir.filePath("clients.xlsx"), constantMemory), 0, &names);
        QCOMPARE(names, (QStringList{"客户", "第二页"}));
        QCOMPARE(sheet.headings,
                 (QStringList{"编号", "名称", "数量", "日期", "单价", "F6", "签约"}));
        QCOMPARE(sheet.rows.size(), size_t(3));
        QCOMPARE(sheet.rows.at(0), (QStringList{"00123", "华东 \"贸易\" & <公司>", "12345",
                                                "2024-03-05", "0.3", "无标题列", "1999-12-31"}));
        QCOMPARE(sheet.rows.at(1), QStringList(7));
        QCOMPARE(sheet.rows.at(2),
                 (QStringList{"00125", "", "1234567890123", "", "0.0015", "", ""}));
        QCOMPARE(read(dir.filePath("clients.xlsx"), 1).rows.at(0), QStringList{"乙"});
    }

    // Files saved by a spreadsheet program in the two older kinds.
    void xlsAndOds_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("xls") << fixture("clients.xls");
        QTest::newRow("ods") << fixture("clients.ods");
    }

    void xlsAndOds()
    {
        QFETCH(QString, file);
        QStringList names;
        const SheetTable sheet = read(file, 0, &names);
        QCOMPARE(names, (QStringList{"客户", "第二页"}));
        QCOMPARE(sheet.headings, (QStringList{"编号", "名称", "电话", "数量", "日期", "单价"}));
        QCOMPARE(sheet.rows.size(), size_t(2));
        QCOMPARE(sheet.rows.at(0),
                 (QStringList{"00123", "华东贸易", "021-62345678", "12345", "2024-03-05", "0.5"}));
        QCOMPARE(sheet.rows.at(1),
                 (QStringList{"00124", "北方公司", "", "7", "1999-12-31", "1234567.25"}));
        QCOMPARE(read(file, 1).rows.at(0), QStringList{"乙"});
    }

    void csv_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QString text =
            QStringLiteral("编号,名称,地址\r\n00123,华东贸易,\"上海市, 南京路\"\r\n"
                           "00124,\"北方\n公司\",\r\n");
        QStringEncoder gb18030("GB18030");
        QTest::newRow("UTF-8 with BOM, comma") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
        QTest::newRow("UTF-8, semicolon") << QString(text).replace(u',', u';').toUtf8();
        QTest::newRow("GB18030, tab") << QByteArray(gb18030(QString(text).replace(u',', u'\t')));
    }

    void csv()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        QStringList names;
        const SheetTable sheet = read(write(dir.filePath("客户资料.csv"), bytes), 0, &names);
        QCOMPARE(names, QStringList{"客户资料"});
        QCOMPARE(sheet.headings, (QStringList{"编号", "名称", "地址"}));
        QCOMPARE(sheet.rows.size(), size_t(2));
        const QString separator = bytes.contains('\t') ? "\t" : bytes.contains(';') ? ";" : ",";
        QCOMPARE(sheet.rows.at(0),
                 (QStringList{"00123", "华东贸易", "上海市" + separator + " 南京路"}));
        QCOMPARE(sheet.rows.at(1), (QStringList{"00124", "北方\n公司", ""}));
    }

    // Refused with a reason a user can act on, never a crash.
    void refused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not a zip") << "a.xlsx" << QByteArray(300, 'x') << WorkbookReasons::kDamaged;
        QTest::newRow("cut zip") << "b.xlsx" << QByteArray("PK\x03\x04\x14\x00\x00\x00", 8)
                                 << WorkbookReasons::kDamaged;
        QTest::newRow("encrypted xlsx")
            << "c.xlsx" << QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(600, '\0')
            << WorkbookReasons::kPassword;
        QTest::newRow("broken xls")
            << "d.xls" << QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(600, '\x7f')
            << WorkbookReasons::kDamaged;
        QTest::newRow("encrypted ods")
            << ":protected.ods" << QByteArray() << WorkbookReasons::kPassword;
        QTest::newRow("text document")
            << "e.doc" << QByteArray("hello") << WorkbookReasons::kUnsupported;
        QTest::newRow("missing") << "" << QByteArray() << WorkbookReasons::kMissing;
    }

    void refused()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = name.startsWith(u':') ? fixture(qPrintable(name.mid(1)))
                             : name.isEmpty()      ? dir.filePath("none.xlsx")
                                                   : write(dir.filePath(name), bytes);
        QString error;
        QVERIFY(!WorkbookReader::open(path, &error));
        QCOMPARE(error, reason);
    }

    // A zip whose sheet is cut short reads as damaged, not as fewer rows.
    void damagedSheet()
    {
        QTemporaryDir dir;
        const QString path = writeXlsx(dir.filePath("cut.xlsx"), false);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QByteArray whole = file.readAll();
        file.resize(whole.size() * 2 / 3);
        file.close();
        QString error;
        const std::unique_ptr<WorkbookReader> reader = WorkbookReader::open(path, &error);
        SheetTable table;
        QVERIFY(!reader || !reader->readSheet(0, &table, &error, [](int) { return true; }));
        QCOMPARE(error, WorkbookReasons::kDamaged);
    }

    // The samples head their columns as the shipped mapping names them.
    void sampleWorkbooks_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("firstHeading");
        QTest::newRow("catalogue") << "T_goods"
                                   << "sample1.xlsx"
                                   << "样品编号";
        QTest::newRow("clients") << "T_client"
                                 << "sample2.xlsx"
                                 << "编号";
        QTest::newRow("suppliers") << "T_suppler"
                                   << "sample3.xlsx"
                                   << "编号";
        QTest::newRow("any other") << "T_other"
                                   << "sample3.xlsx"
                                   << "";
    }

    void sampleWorkbooks()
    {
        QFETCH(QString, table);
        QFETCH(QString, file);
        QFETCH(QString, firstHeading);
        QCOMPARE(SampleWorkbooks::fileName(table), file);
        if (firstHeading.isEmpty())
            return;
        QTemporaryDir dir;
        SampleWorkbooks::install(dir.path());
        const SheetTable sheet = read(dir.filePath(file), 0);
        QCOMPARE(sheet.headings, SampleWorkbooks::headings(table));
        QCOMPARE(sheet.headings.value(0), firstHeading);
        QCOMPARE(sheet.rows.size(), size_t(2));
        QVERIFY(sheet.rows.at(0).at(0).startsWith(u'0'));
    }
};

QTEST_GUILESS_MAIN(TestImportReaders)
#include "tst_importreaders.moc"
