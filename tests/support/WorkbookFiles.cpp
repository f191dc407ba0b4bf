#include "support/WorkbookFiles.h"

#include <QFile>
#include <QtEndian>
#include <xlsxwriter.h>
#include <zlib.h>

namespace WorkbookFiles {

namespace {

void put16(QByteArray *out, quint32 value)
{
    char bytes[2];
    qToLittleEndian<quint16>(quint16(value), bytes);
    out->append(bytes, 2);
}

void put32(QByteArray *out, quint64 value)
{
    char bytes[4];
    qToLittleEndian<quint32>(quint32(value), bytes);
    out->append(bytes, 4);
}

// Raw deflate of `text` ending on a byte boundary without closing the stream, so that copies of
// it follow one another as one stream.
QByteArray deflateFlushed(const QByteArray &text)
{
    z_stream zs = {};
    deflateInit2(&zs, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&zs, uLong(text.size())) + 16), '\0');
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(text.constData()));
    zs.avail_in = uInt(text.size());
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = uInt(out.size());
    deflate(&zs, Z_FULL_FLUSH);
    out.truncate(qsizetype(zs.total_out));
    deflateEnd(&zs);
    return out;
}

} // namespace

QByteArray zip(const QList<Part> &parts)
{
    QByteArray body;
    QByteArray directory;
    for (const Part &part : parts) {
        QByteArray data;
        qint64 inflated = 0;
        quint32 crc = 0;
        if (part.stored) {
            data = part.pieces.value(0).text;
            inflated = data.size();
            crc = quint32(
                crc32(0, reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size())));
        } else {
            for (const Piece &piece : part.pieces) {
                const QByteArray packed = deflateFlushed(piece.text);
                for (qint64 i = 0; i < piece.times; ++i)
                    data += packed;
                inflated += piece.text.size() * piece.times;
                if (piece.times == 1)
                    crc =
                        quint32(crc32(crc, reinterpret_cast<const Bytef *>(piece.text.constData()),
                                      uInt(piece.text.size())));
            }
            data += QByteArray::fromHex("010000ffff"); // the last, empty block
        }
        const qint64 declaredInflated =
            part.declaredInflated >= 0 ? part.declaredInflated : inflated;
        const qint64 declaredPacked = part.declaredPacked >= 0 ? part.declaredPacked : data.size();
        const quint32 offset = quint32(body.size());
        QByteArray common;
        put16(&common, 20);                  // version needed
        put16(&common, 0);                   // flags
        put16(&common, part.stored ? 0 : 8); // method
        put32(&common, 0);                   // time and date
        put32(&common, crc);                 // (repeated pieces keep no checksum)
        put32(&common, quint64(declaredPacked));
        put32(&common, quint64(declaredInflated));
        put16(&common, quint32(part.name.size()));
        put16(&common, 0); // extra field
        body += QByteArray("PK\x03\x04", 4) + common + part.name + data;
        directory += QByteArray("PK\x01\x02", 4);
        put16(&directory, 20); // made by
        directory += common;
        put16(&directory, 0); // comment
        put16(&directory, 0); // disk
        put16(&directory, 0); // internal attributes
        put32(&directory, 0); // external attributes
        put32(&directory, offset);
        directory += part.name;
    }
    QByteArray end("PK\x05\x06", 4);
    put16(&end, 0);
    put16(&end, 0);
    put16(&end, quint32(parts.size()));
    put16(&end, quint32(parts.size()));
    put32(&end, quint64(directory.size()));
    put32(&end, quint64(body.size()));
    put16(&end, 0);
    return body + directory + end;
}

QByteArray worksheet(const QByteArray &rows)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
           "<sheetData>" +
           rows + "</sheetData></worksheet>";
}

QByteArray xlsx(const Part &sheet, const QByteArray &sharedStrings)
{
    const auto part = [](const char *name, const QByteArray &text) { return Part{name, {{text}}}; };
    Part worksheetPart = sheet;
    worksheetPart.name = "xl/worksheets/sheet1.xml";
    QList<Part> parts = {
        part("xl/workbook.xml",
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
             "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
             "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
             "<sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"),
        part(
            "xl/_rels/workbook.xml.rels",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
            "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
            "2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>"),
        worksheetPart};
    if (!sharedStrings.isEmpty())
        parts << part("xl/sharedStrings.xml",
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst xmlns=\"http://schemas."
                      "openxmlformats.org/spreadsheetml/2006/main\">" +
                          sharedStrings + "</sst>");
    return zip(parts);
}

QByteArray odsContent(const QByteArray &rows)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<office:document-content "
           "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
           "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
           "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\">"
           "<office:body><office:spreadsheet><table:table table:name=\"S\">" +
           rows + "</table:table></office:spreadsheet></office:body></office:document-content>";
}

QByteArray ods(const Part &content)
{
    Part contentPart = content;
    contentPart.name = "content.xml";
    return zip(
        {{"mimetype", {{"application/vnd.oasis.opendocument.spreadsheet"}}, true}, contentPart});
}

QString writeClientsXlsx(const QString &path, bool constantMemory)
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

QString write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

} // namespace WorkbookFiles
