#include "input/SampleWorkbooks.h"
#include "spreadsheet/CsvReader.h"
#include "spreadsheet/WorkbookReader.h"
#include "support/WorkDone.h"
#include "support/WorkbookFiles.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <sys/stat.h>

using namespace WorkbookFiles;

namespace {

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
    if (!done(reader->readSheet(sheet, &table, [](int) { return true; }), &error))
        qWarning("%s: %s", qPrintable(path), qPrintable(error));
    return table;
}

QString fixture(const char *name)
{
    return QStringLiteral(QUORIN_IMPORT_FIXTURES "/") + QLatin1String(name);
}

QByteArray fixtureBytes(const char *name)
{
    QFile file(fixture(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The process's peak resident memory in MiB since the last resetPeak().
qint64 peakMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QRegularExpression hwm(QStringLiteral("VmHWM:\\s+(\\d+) kB"));
    return hwm.match(QString::fromLatin1(status.readAll())).captured(1).toLongLong() >> 10;
}

void resetPeak()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

// Opens `path` and reads its first sheet as the wizard does; the reason when either refuses.
QString readFirst(const QString &path, const ReadBudget &budget, SheetTable *sheet)
{
    QString error;
    const std::unique_ptr<WorkbookReader> reader = WorkbookReader::open(path, &error, budget);
    if (!reader)
        return error;
    if (reader->sheetNames().isEmpty())
        return WorkbookReasons::kDamaged;
    if (!done(reader->readSheet(0, sheet, [](int) { return true; }), &error))
        return error;
    return {};
}

Part sheetPart(const QByteArray &rows)
{
    return {{}, {{worksheet(rows)}}};
}

Part contentPart(const QByteArray &rows)
{
    return {{}, {{odsContent(rows)}}};
}

// A part whose `body` follows `head` `times` times, deflated in a few kilobytes.
Part repeated(const QByteArray &head, const QByteArray &body, qint64 times, const QByteArray &tail)
{
    QByteArray chunk;
    for (int i = 0; i < 4096; ++i)
        chunk += body;
    return {{}, {{head}, {chunk, times / 4096}, {body, times % 4096}, {tail}}};
}

const QByteArray kInlineRow = "<row><c t=\"inlineStr\"><is><t>x</t></is></c></row>";
const QByteArray kOdsCell = "<table:table-cell office:value-type=\"string\"><text:p>x</text:p>"
                            "</table:table-cell>";

QByteArray xlsWith(qsizetype at, const QByteArray &bytes)
{
    QByteArray file = fixtureBytes("clients.xls");
    file.replace(at, bytes.size(), bytes);
    return file;
}

QByteArray le32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
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
            read(writeClientsXlsx(dir.filePath("clients.xlsx"), constantMemory), 0, &names);
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

    // Refused with a reason a user can act on, never a crash. A name after ':' is a kept
    // fixture, after '|' a FIFO made here.
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
        // Waiting for a writer would hold the wizard for ever.
        QTest::newRow("fifo") << "|fifo.xlsx" << QByteArray() << WorkbookReasons::kNotRegular;
    }

    void refused()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = name.startsWith(u':')   ? fixture(qPrintable(name.mid(1)))
                             : name.startsWith(u'|') ? dir.filePath(name.mid(1))
                             : name.isEmpty()        ? dir.filePath("none.xlsx")
                                                     : write(dir.filePath(name), bytes);
        if (name.startsWith(u'|'))
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        QString error;
        QVERIFY(!WorkbookReader::open(path, &error));
        QCOMPARE(error, reason);
    }

    // A zip whose sheet is cut short reads as damaged, not as fewer rows.
    void damagedSheet()
    {
        QTemporaryDir dir;
        const QString path = writeClientsXlsx(dir.filePath("cut.xlsx"), false);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QByteArray whole = file.readAll();
        file.resize(whole.size() * 2 / 3);
        file.close();
        QString error;
        const std::unique_ptr<WorkbookReader> reader = WorkbookReader::open(path, &error);
        SheetTable table;
        QVERIFY(!reader || !done(reader->readSheet(0, &table, [](int) { return true; }), &error));
        QCOMPARE(error, WorkbookReasons::kDamaged);
    }

    // Hostile and damaged files are refused with their reason or clipped to the sheet's
    // limits, within the memory budget, as the wizard reads them.
    void hostile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason"); // empty: read
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("clipped");
        QTest::addColumn<qint64>("peakMiB");

        const QByteArray head = worksheet("").replace("</sheetData></worksheet>", "");
        const QByteArray tail = "</sheetData></worksheet>";
        const qint64 twoGiB = (qint64(2) << 30) / kInlineRow.size();
        const QString tooLarge = WorkbookReasons::kTooLarge.arg(512);
        QTest::newRow("xlsx: zip bomb of 2 GiB of rows")
            << "bomb.xlsx" << WorkbookFiles::xlsx(repeated(head, kInlineRow, twoGiB, tail))
            << WorkbookReasons::kTooLarge.arg(256) << 0 << false << qint64(64);
        Part lying = repeated(head, kInlineRow, twoGiB, tail);
        lying.declaredInflated = 1 << 20;
        QTest::newRow("xlsx: zip bomb declaring 1 MiB")
            << "lying.xlsx" << WorkbookFiles::xlsx(lying) << WorkbookReasons::kDamaged << 0 << false
            << qint64(64);
        Part packed = sheetPart(kInlineRow);
        packed.declaredPacked = 0xfffffff0;
        QTest::newRow("xlsx: packed size beyond the file")
            << "packed.xlsx" << WorkbookFiles::xlsx(packed) << WorkbookReasons::kDamaged << 0
            << false << qint64(64);
        QTest::newRow("xlsx: rows past the last")
            << "rows.xlsx" << WorkbookFiles::xlsx(repeated(head, kInlineRow, 1100000, tail))
            << WorkbookReasons::kBeyondLimits << 0 << false << qint64(400);
        QTest::newRow("xlsx: the last cell of the sheet")
            << "last.xlsx"
            << WorkbookFiles::xlsx(sheetPart(
                   "<row r=\"1048576\"><c r=\"XFD1048576\" t=\"inlineStr\"><is><t>x</t></is></c>"
                   "</row>"))
            << tooLarge << 0 << false << qint64(64);
        const auto sheetWith = [](const QByteArray &row) {
            return WorkbookFiles::xlsx(sheetPart(row));
        };
        QTest::newRow("xlsx: row 2^31")
            << "r1.xlsx" << sheetWith("<row r=\"2147483648\"/>") << WorkbookReasons::kBeyondLimits
            << 0 << false << qint64(64);
        QTest::newRow("xlsx: row -2^31")
            << "r2.xlsx" << sheetWith("<row r=\"-2147483648\"><c t=\"b\"><v>1</v></c></row>")
            << WorkbookReasons::kBeyondLimits << 0 << false << qint64(64);
        QTest::newRow("xlsx: column of 26 letters")
            << "r3.xlsx" << sheetWith("<row><c r=\"AAAAAAAAAAAAAAAAAAAAAAAAAA1\"/></row>")
            << WorkbookReasons::kBeyondLimits << 0 << false << qint64(64);
        QTest::newRow("xlsx: column XFE")
            << "r4.xlsx" << sheetWith("<row><c r=\"XFE1\"/></row>")
            << WorkbookReasons::kBeyondLimits << 0 << false << qint64(64);
        QTest::newRow("xlsx: row of 20 digits")
            << "r5.xlsx" << sheetWith("<row><c r=\"A99999999999999999999\"/></row>")
            << WorkbookReasons::kBeyondLimits << 0 << false << qint64(64);
        QTest::newRow("xlsx: a reference that names no cell")
            << "r6.xlsx" << sheetWith("<row><c r=\"a1\"/></row>") << WorkbookReasons::kDamaged << 0
            << false << qint64(64);
        QTest::newRow("xlsx: a cell of 40 000 characters")
            << "cell.xlsx"
            << WorkbookFiles::xlsx(sheetPart("<row><c t=\"inlineStr\"><is><t>" +
                                             QByteArray(40000, 'x') + "</t></is></c></row>"))
            << WorkbookReasons::kCellTooLong.arg(1).arg(1) << 0 << false << qint64(64);
        QTest::newRow("xlsx: a shared string of 40 000 characters")
            << "shared.xlsx"
            << WorkbookFiles::xlsx(sheetPart("<row><c t=\"s\"><v>0</v></c></row>"),
                                   "<si><t>" + QByteArray(40000, 'x') + "</t></si>")
            << WorkbookReasons::kSharedTooLong.arg(1) << 0 << false << qint64(64);
        QTest::newRow("xlsx: 32 767 Chinese characters, whole")
            << "chinese.xlsx"
            << WorkbookFiles::xlsx(sheetPart("<row><c t=\"inlineStr\"><is><t>" +
                                             QString(32767, u'字').toUtf8() +
                                             "</t></is></c></row>" + kInlineRow))
            << QString() << 1 << false << qint64(64);

        const QByteArray emptyRows = "<table:table-row table:number-rows-repeated=\"100000000\">"
                                     "<table:table-cell table:number-columns-repeated="
                                     "\"100000000\"/></table:table-row>";
        QTest::newRow("ods: 10^8 empty rows of 10^8 empty cells")
            << "empty.ods"
            << WorkbookFiles::ods(contentPart("<table:table-row>" + kOdsCell + kOdsCell +
                                              "</table:table-row>" + emptyRows))
            << QString() << 0 << false << qint64(64);
        QTest::newRow("ods: a filled row repeated 10^10 times")
            << "rows.ods"
            << WorkbookFiles::ods(
                   contentPart("<table:table-row table:number-rows-repeated=\"10000000000\">" +
                               kOdsCell + "</table:table-row>"))
            << QString() << WorkbookLimits::kMaxRows - 1 << true << qint64(400);
        QTest::newRow("ods: a filled cell repeated 10^8 times in 10^8 rows")
            << "cells.ods"
            << WorkbookFiles::ods(contentPart(
                   "<table:table-row table:number-rows-repeated=\"100000000\">" +
                   QByteArray(kOdsCell).replace(
                       "<table:table-cell",
                       "<table:table-cell table:number-columns-repeated=\"100000000\"") +
                   "</table:table-row>"))
            << tooLarge << 0 << false << qint64(700);
        QTest::newRow("ods: 2*10^9 spaces in a cell")
            << "spaces.ods"
            << WorkbookFiles::ods(contentPart("<table:table-row><table:table-cell><text:p>a<text:s "
                                              "text:c=\"2000000000\"/>b</text:p></table:table-cell>"
                                              "</table:table-row>"))
            << WorkbookReasons::kCellTooLong.arg(1).arg(1) << 0 << false << qint64(64);
        QTest::newRow("ods: a repeat beyond any number")
            << "repeat.ods"
            << WorkbookFiles::ods(contentPart("<table:table-row>" + kOdsCell +
                                              "<table:table-cell table:number-columns-repeated="
                                              "\"99999999999999999999999\"/>" +
                                              kOdsCell + "</table:table-row>"))
            << QString() << 0 << true << qint64(64);

        QTest::newRow("csv: a cell of 40 000 characters")
            << "cell.csv"
            << "a,b\n1," + QByteArray(40000, 'x') + "\n"
            << WorkbookReasons::kCellTooLong.arg(2).arg(2) << 0 << false << qint64(64);
        QByteArray lines;
        for (int i = 0; i <= WorkbookLimits::kMaxRows; ++i)
            lines += "x\n";
        QTest::newRow("csv: rows past the last")
            << "rows.csv" << lines << WorkbookReasons::kBeyondLimits << 0 << false << qint64(400);

        // The compound file garbled where FreeXL trusts it.
        QTest::newRow("xls: sector size") << "a.xls" << xlsWith(0x1e, "\x10\x00")
                                          << WorkbookReasons::kDamaged << 0 << false << qint64(64);
        QTest::newRow("xls: FAT sectors") << "b.xls" << xlsWith(0x2c, le32(0x7fffffff))
                                          << WorkbookReasons::kDamaged << 0 << false << qint64(64);
        QTest::newRow("xls: FAT sector beyond the file")
            << "c.xls" << xlsWith(0x4c, le32(0x10000)) << WorkbookReasons::kDamaged << 0 << false
            << qint64(64);
        QTest::newRow("xls: directory beyond the file")
            << "d.xls" << xlsWith(0x30, le32(0xfffff)) << WorkbookReasons::kDamaged << 0 << false
            << qint64(64);
        QTest::newRow("xls: an unused entry's name past the directory")
            << "f.xls" << xlsWith(0x1780 + 0x40, QByteArray("\xff\xff\x00", 3)) << QString() << 2
            << false << qint64(64);
        const QByteArray xls = fixtureBytes("clients.xls");
        const qsizetype format = xls.indexOf(QByteArray("\x1e\x04", 2));
        QTest::newRow("xls: a number format longer than its record")
            << "g.xls" << xlsWith(format + 6, QByteArray("\xff\xff\x01", 3))
            << WorkbookReasons::kDamaged << 0 << false << qint64(64);
        const qsizetype label = xls.indexOf(QByteArray("\x85\x00", 2));
        QTest::newRow("xls: a sheet name longer than its record")
            << "h.xls" << xlsWith(label + 10, QByteArray("\xff\x01", 2))
            << WorkbookReasons::kDamaged << 0 << false << qint64(64);
        // Every sheet's DIMENSIONS record (rows to, columns to) made 65 536 × 256.
        QByteArray wide = xls;
        const QByteArray dimensions("\x00\x02\x0e\x00", 4);
        for (qsizetype at = wide.indexOf(dimensions); at >= 0;
             at = wide.indexOf(dimensions, at + 4)) {
            wide.replace(at + 8, 4, le32(65536));
            wide.replace(at + 14, 2, QByteArray("\x00\x01", 2));
        }
        QTest::newRow("xls: sheets declaring 65 536 × 256 cells each")
            << "i.xls" << wide << tooLarge << 0 << false << qint64(64);
        QTest::newRow("xls: 2^32 shared strings announced")
            << "j.xls" << xlsWith(xls.indexOf(QByteArray("\xfc\x00", 2)) + 8, le32(0xffffffff))
            << tooLarge << 0 << false << qint64(64);
        QTest::newRow("xls: DIFAT chain looping")
            << "e.xls" << xlsWith(0x2c, le32(200) + le32(0) + le32(0)) << WorkbookReasons::kDamaged
            << 0 << false << qint64(64);
    }

    void hostile()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QFETCH(int, rows);
        QFETCH(bool, clipped);
        QFETCH(qint64, peakMiB);
        QTemporaryDir dir;
        const QString path = write(dir.filePath(name), bytes);
        bytes.clear();
        bytes.squeeze();
        resetPeak();
        const qint64 before = ::peakMiB();
        SheetTable sheet;
        QCOMPARE(readFirst(path, {}, &sheet), reason);
        QCOMPARE(int(sheet.rows.size()), rows);
        QCOMPARE(sheet.notes.contains(WorkbookReasons::kClipped), clipped);
        const qint64 used = ::peakMiB() - before;
        qInfo("%s: peak %lld MiB above the start", qPrintable(name), used);
        QVERIFY2(used < peakMiB, qPrintable(QString::number(used)));
    }

    // Parts that end inside a token: the parser must stop at their end.
    void unterminatedParts_data()
    {
        QTest::addColumn<QByteArray>("sheet");
        QTest::newRow("in a text") << QByteArray("<worksheet><sheetData><row><c t=\"inlineStr\">"
                                                 "<is><t>abc");
        QTest::newRow("in an attribute") << QByteArray("<worksheet><sheetData><row r=\"1");
        QTest::newRow("in a name") << QByteArray("<worksheet><sheetDa");
        QTest::newRow("in a comment") << QByteArray("<worksheet><!-- ");
        QTest::newRow("in a CDATA") << QByteArray("<worksheet><![CDATA[ab");
        QTest::newRow("in a declaration") << QByteArray("<?xml version=\"1.0");
        QTest::newRow("in an entity") << QByteArray("<worksheet>&am");
        QTest::newRow("after a lone <") << QByteArray("<worksheet><");
        QTest::newRow("in an attribute with an entity") << QByteArray("<t s=\"&t;");
        QTest::newRow("with 0 bytes inside") << QByteArray(
            "<worksheet><sheetData><row><c \0\0\0\0</row></sheetData></worksheet>", 64);
    }

    void unterminatedParts()
    {
        QFETCH(QByteArray, sheet);
        QTemporaryDir dir;
        Part part{{}, {{sheet}}, true};
        SheetTable table;
        QCOMPARE(readFirst(write(dir.filePath("cut.xlsx"), WorkbookFiles::xlsx(part)), {}, &table),
                 WorkbookReasons::kDamaged);
        part.pieces = {{odsContent("").left(odsContent("").indexOf("<table:table ")) + sheet}};
        QCOMPARE(readFirst(write(dir.filePath("cut.ods"), WorkbookFiles::ods(part)), {}, &table),
                 WorkbookReasons::kDamaged);
    }

    // Too large a file is refused before it is read whole.
    void tooLargeFile()
    {
        QTemporaryDir dir;
        ReadBudget budget;
        budget.partBytes = 1 << 20;
        SheetTable sheet;
        QCOMPARE(
            readFirst(write(dir.filePath("big.csv"), QByteArray(2 << 20, 'x')), budget, &sheet),
            WorkbookReasons::kTooLarge.arg(1));
        QCOMPARE(
            readFirst(write(dir.filePath("big.xls"), fixtureBytes("clients.xls")), budget, &sheet),
            QString());
        budget.partBytes = 4096;
        QCOMPARE(
            readFirst(write(dir.filePath("big.xls"), fixtureBytes("clients.xls")), budget, &sheet),
            WorkbookReasons::kTooLarge.arg(0));
    }

    // The encoding is told from the whole text; a few stray bytes keep it UTF-8 and are named.
    void csvEncoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("note");
        const QByteArray text = QStringLiteral("编号,名称\n00123,华东贸易\n00124,北方公司\n"
                                               "00125,南方公司\n00126,西部公司\n")
                                    .toUtf8();
        QStringEncoder gb18030("GB18030");
        const QByteArray gb = gb18030(QString::fromUtf8(text));
        QByteArray mixed = text;
        mixed.insert(mixed.indexOf("00124") + 5, "\xff");
        mixed.insert(mixed.indexOf("00126") + 5, "\xc3\x28");
        QTest::newRow("UTF-8") << text << ""
                               << "UTF-8"
                               << "";
        QTest::newRow("GB18030") << gb << ""
                                 << "GB18030"
                                 << "";
        QTest::newRow("UTF-8 with stray bytes")
            << mixed << ""
            << "UTF-8" << WorkbookReasons::kReplacedBytes.arg("3、5");
        QTest::newRow("GB18030 chosen") << mixed << "GB18030"
                                        << "GB18030"
                                        << "";
        QTest::newRow("UTF-8 chosen")
            << gb << "UTF-8"
            << "UTF-8" << WorkbookReasons::kReplacedBytes.arg("1、2、3、4、5");
    }

    void csvEncoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, chosen);
        QFETCH(QString, encoding);
        QFETCH(QString, note);
        QTemporaryDir dir;
        QString error;
        const std::unique_ptr<WorkbookReader> reader =
            WorkbookReader::open(write(dir.filePath("a.csv"), bytes), &error);
        QVERIFY(reader);
        reader->setEncoding(chosen);
        SheetTable sheet;
        QVERIFY(done(reader->readSheet(0, &sheet, [](int) { return true; }), &error));
        QCOMPARE(reader->encoding(), encoding);
        QCOMPARE(sheet.notes.join(u'\n'), note);
        QCOMPARE(sheet.rows.size(), size_t(4));
        if (chosen.isEmpty()) {
            QCOMPARE(sheet.headings, (QStringList{"编号", "名称"}));
            QCOMPARE(sheet.rows.at(3).at(1), QStringLiteral("西部公司"));
            QCOMPARE(sheet.rows.at(1).at(0),
                     note.isEmpty() ? QStringLiteral("00124") : QStringLiteral("00124\uFFFD"));
        }
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
