#include "input/SampleWorkbooks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <xlsxwriter.h>

namespace SampleWorkbooks {

namespace {

constexpr int kBuiltInTextFormat = 49; // "@": codes keep their leading zeros

struct MappingLine
{
    QString field;
    QString heading;
};

QList<MappingLine> shippedMapping(const QString &table)
{
    QList<MappingLine> lines;
    QFile seed(QStringLiteral(":/seed/cfg_import.tsv"));
    if (!seed.open(QIODevice::ReadOnly))
        return lines;
    const QStringList rows = QString::fromUtf8(seed.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const QStringList cells = rows.at(i).split(u'\t');
        if (cells.size() >= 5 && cells.at(0).compare(table, Qt::CaseInsensitive) == 0 &&
            cells.at(1).trimmed() == u"1" && !cells.at(4).trimmed().isEmpty())
            lines.append({cells.at(2).trimmed(), cells.at(4).trimmed()});
    }
    return lines;
}

// Two example rows by register column; columns not named here stay empty.
QHash<QString, QStringList> examples(const QString &table)
{
    if (fileName(table) == u"sample1.xlsx")
        return {
            {QStringLiteral("F_Code"), {QStringLiteral("00123"), QStringLiteral("00124")}},
            {QStringLiteral("F_Name"), {QStringLiteral("不锈钢螺丝"), QStringLiteral("铜垫片")}},
            {QStringLiteral("F_spec"), {QStringLiteral("M4×20"), QStringLiteral("Φ8")}},
            {QStringLiteral("F_pinPai"), {QStringLiteral("永固"), QStringLiteral("永固")}},
            {QStringLiteral("F_yanSE"), {QStringLiteral("银色"), QStringLiteral("黄色")}},
            {QStringLiteral("F_caiLiao"), {QStringLiteral("304不锈钢"), QStringLiteral("黄铜")}},
            {QStringLiteral("F_baoZhuang"), {QStringLiteral("盒装"), QStringLiteral("袋装")}},
            {QStringLiteral("F_Memo1"), {QStringLiteral("常用件"), QString()}}};
    const bool clients = fileName(table) == u"sample2.xlsx";
    return {{QStringLiteral("F_Code"), {QStringLiteral("0001"), QStringLiteral("0002")}},
            {QStringLiteral("F_Name"),
             clients
                 ? QStringList{QStringLiteral("华东贸易有限公司"), QStringLiteral("北方进出口公司")}
                 : QStringList{QStringLiteral("宏达五金厂"), QStringLiteral("新光包装材料厂")}},
            {QStringLiteral("F_LinkMan"), {QStringLiteral("王经理"), QStringLiteral("李小姐")}},
            {QStringLiteral("F_Phone"),
             {QStringLiteral("021-62345678"), QStringLiteral("010-81234567")}},
            {QStringLiteral("F_handPhone"),
             {QStringLiteral("13800138000"), QStringLiteral("13900139000")}},
            {QStringLiteral("F_Postcode"), {QStringLiteral("200001"), QStringLiteral("100010")}},
            {QStringLiteral("F_Address"),
             {QStringLiteral("上海市南京路100号"), QStringLiteral("北京市长安街8号")}},
            {QStringLiteral("F_Email"),
             {QStringLiteral("sales@example.com"), QStringLiteral("info@example.com")}}};
}

} // namespace

QString fileName(const QString &table)
{
    const QString lower = table.toLower();
    if (lower.contains(u"good"))
        return QStringLiteral("sample1.xlsx");
    if (lower.contains(u"client"))
        return QStringLiteral("sample2.xlsx");
    return QStringLiteral("sample3.xlsx");
}

QStringList headings(const QString &table)
{
    QStringList list;
    for (const MappingLine &line : shippedMapping(table))
        list << line.heading;
    return list;
}

bool write(const QString &table, const QString &path, QString *error)
{
    const QList<MappingLine> mapping = shippedMapping(table);
    const QHash<QString, QStringList> rows = examples(table);
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook *workbook = workbook_new(file.constData());
    if (!workbook) {
        *error = QStringLiteral("cannot create %1").arg(path);
        return false;
    }
    lxw_format *text = workbook_add_format(workbook);
    format_set_num_format_index(text, kBuiltInTextFormat);
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, "Sheet1");
    for (int c = 0; c < mapping.size(); ++c) {
        const MappingLine &line = mapping.at(c);
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), 14, text);
        worksheet_write_string(sheet, 0, lxw_col_t(c), line.heading.toUtf8().constData(), text);
        const QStringList values = rows.value(line.field, {QString(), QString()});
        for (int r = 0; r < 2; ++r) {
            if (!values.value(r).isEmpty())
                worksheet_write_string(sheet, lxw_row_t(r + 1), lxw_col_t(c),
                                       values.value(r).toUtf8().constData(), text);
        }
    }
    const lxw_error closed = workbook_close(workbook);
    if (closed != LXW_NO_ERROR) {
        *error = QString::fromUtf8(lxw_strerror(closed));
        return false;
    }
    return true;
}

void install(const QString &folder)
{
    for (const char *table : {"T_goods", "T_client", "T_suppler"}) {
        const QString path = QDir(folder).filePath(fileName(QLatin1String(table)));
        QString error;
        if (!QFileInfo::exists(path) && !write(QLatin1String(table), path, &error))
            qWarning("sample workbook not written: %s", qPrintable(error));
    }
}

} // namespace SampleWorkbooks
