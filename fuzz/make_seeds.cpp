// Writes the fuzzers' seed corpus into DIR/xlsx, DIR/ods, DIR/xls and DIR/csv: the workbooks the
// tests make and keep, and a few small hostile ones.
//
//   make_seeds DIR

#include "support/WorkbookFiles.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <cstdio>

using namespace WorkbookFiles;

namespace {

QByteArray fixture(const QString &root, const char *name)
{
    QFile file(root + QStringLiteral("/tests/fixtures/import/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

Part part(const QByteArray &text)
{
    return {{}, {{text}}};
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_seeds SOURCE_ROOT DIR\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QDir dir(QString::fromLocal8Bit(argv[2]));
    for (const char *kind : {"xlsx", "ods", "xls", "csv"})
        dir.mkpath(QLatin1String(kind));
    const auto seed = [&](const char *kind, const char *name, const QByteArray &bytes) {
        write(dir.filePath(QLatin1String(kind) + u'/' + QLatin1String(name)), bytes);
    };

    writeClientsXlsx(dir.filePath("xlsx/clients.xlsx"), false);
    writeClientsXlsx(dir.filePath("xlsx/clients-inline.xlsx"), true);
    seed("xlsx", "shared.xlsx",
         xlsx(part(worksheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" s=\"1\">"
                             "<v>45356</v></c></row><row r=\"3\"><c r=\"C3\" t=\"b\"><v>1</v>"
                             "</c></row>")),
              "<si><t>编号</t><rPh><t>ふりがな</t></rPh></si>"));
    seed("xlsx", "limits.xlsx",
         xlsx(part(worksheet("<row r=\"1048576\"><c r=\"XFD1048576\" t=\"inlineStr\"><is><t>x"
                             "</t></is></c></row>"))));

    // References past the sheet's limits and beyond any integer.
    seed("xlsx", "references.xlsx",
         xlsx(part(worksheet("<row r=\"-2147483648\"><c t=\"inlineStr\"><is><t>x</t></is></c>"
                             "</row><row r=\"2147483648\"/><row><c r=\"AAAAAAAAAAAAAA1\"/>"
                             "<c r=\"A99999999999999999999\"/></row>"))));

    seed("ods", "clients.ods", fixture(root, "clients.ods"));
    seed("ods", "repeats.ods",
         ods(part(odsContent(
             "<table:table-row table:number-rows-repeated=\"3\"><table:table-cell "
             "table:number-columns-repeated=\"2\" office:value-type=\"float\" office:value=\"1.5\">"
             "<text:p>1.5</text:p></table:table-cell><table:table-cell><text:p>a<text:s "
             "text:c=\"3\"/>b<text:tab/></text:p><text:p>c</text:p></table:table-cell>"
             "</table:table-row>"))));

    seed("xls", "clients.xls", fixture(root, "clients.xls"));

    const QByteArray text = QStringLiteral("编号,名称,地址\r\n00123,华东贸易,\"上海市, 南京路\"\r\n"
                                           "00124,\"北方\n公司\",\r\n")
                                .toUtf8();
    QStringEncoder gb18030("GB18030");
    seed("csv", "utf8.csv", "\xEF\xBB\xBF" + text);
    seed("csv", "gb18030.csv", gb18030(QString::fromUtf8(text)));
    seed("csv", "mixed.csv", QByteArray(text).replace("00124", "001\xff"));
    seed("csv", "tabs.csv", QByteArray(text).replace(',', '\t'));
    return 0;
}
