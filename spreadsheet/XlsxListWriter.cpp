#include "spreadsheet/XlsxListWriter.h"

#include "core/DisplayFormat.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QObject>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sys/statvfs.h>
#include <xlsxwriter.h>

namespace {

// Day 0 of the spreadsheet's date numbers, as the 1900 date system counts for every day after
// February 1900.
const QDate kDayZero(1899, 12, 30);
const QDate kLastDay(9999, 12, 31);
constexpr int kBuiltInTextFormat = 49; // "@"

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The stored text of "no date", trimmed, as the register writes it into any column.
bool isNoDate(const char *text, qsizetype size)
{
    while (size > 0 && isSpace(*text)) {
        ++text;
        --size;
    }
    while (size > 0 && isSpace(text[size - 1]))
        --size;
    return size == 10 && std::memcmp(text, "1900-08-14", 10) == 0;
}

int digits(const char *text, int count)
{
    int value = 0;
    for (int i = 0; i < count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// As the grid reads a date from text: "yyyy-MM-dd" at its start.
QDate dateOf(const char *text, qsizetype size)
{
    if (size < 10 || text[4] != '-' || text[7] != '-')
        return {};
    const int year = digits(text, 4);
    const int month = digits(text + 5, 2);
    const int day = digits(text + 8, 2);
    if (year < 0 || month < 0 || day < 0)
        return {};
    return QDate(year, month, day);
}

QByteArray textOf(const ListValue &value)
{
    switch (value.kind) {
    case ListValue::Integer:
        return QByteArray::number(value.integer);
    case ListValue::Real:
        return QLocale::c().toString(value.real, 'g', 15).toLatin1();
    case ListValue::Bool:
        return value.integer ? QByteArrayLiteral("true") : QByteArrayLiteral("false");
    case ListValue::Date:
        return value.date.toString(Qt::ISODate).toLatin1();
    default:
        return QByteArray(value.text, value.size);
    }
}

QString describe(lxw_error error)
{
    switch (error) {
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
        return QObject::tr("无法建立文件，请检查文件夹是否存在、是否可以写入。");
    case LXW_ERROR_ZIP_BAD_ZIP_FILE:
        return QObject::tr("工作表太大，超过了文件格式的上限。");
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
    case LXW_ERROR_READING_TMPFILE:
        return QObject::tr("写入文件失败，磁盘可能已满。");
    default:
        return QString::fromUtf8(lxw_strerror(error));
    }
}

} // namespace

QString XlsxListWriter::sheetName(const QString &title, int part)
{
    QString name = title;
    for (QChar &c : name) {
        if (QStringLiteral("[]:*?/\\").contains(c) || c.category() == QChar::Other_Control)
            c = u'_';
    }
    while (name.startsWith(u'\''))
        name.remove(0, 1);
    while (name.endsWith(u'\''))
        name.chop(1);
    if (name.trimmed().isEmpty())
        name = QStringLiteral("Sheet");
    const QString suffix = part > 1 ? QStringLiteral(" (%1)").arg(part) : QString();
    name.truncate(31 - suffix.size());
    if (name.endsWith(u'\'') || (!name.isEmpty() && name.back().isHighSurrogate()))
        name.chop(1);
    return name + suffix;
}

XlsxListWriter::XlsxListWriter(const QString &file, const QString &title,
                               const QList<GridColumn> &columns, int rowsPerSheet)
    : m_file(file), m_title(title), m_gridColumns(columns),
      m_rowsPerSheet(std::max(1, rowsPerSheet)),
      m_folder(QFile::encodeName(QFileInfo(file).absolutePath()))
{
    // The library prints numbers with the C library, which would follow the user's locale
    // to a decimal comma that no spreadsheet reads.
    m_cNumbers = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    if (m_cNumbers)
        m_previousLocale = uselocale(m_cNumbers);
    if (columns.size() > kMaxColumns) {
        m_error = QObject::tr("列表有 %1 列，电子表格最多只能容纳 %2 列。")
                      .arg(columns.size())
                      .arg(kMaxColumns);
        return;
    }
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = m_folder.data();
    m_workbook = workbook_new_opt(QFile::encodeName(file).constData(), &options);
    if (!m_workbook) {
        m_error = QObject::tr("内存不足，无法建立工作簿。");
        return;
    }
    m_textFormat = workbook_add_format(m_workbook);
    format_set_num_format_index(m_textFormat, kBuiltInTextFormat);
    for (const GridColumn &column : columns) {
        const SpreadsheetFormat::Kind kind = SpreadsheetFormat::kindOf(column.displayFormat);
        lxw_format *format = m_textFormat;
        if (kind != SpreadsheetFormat::Kind::Text) {
            format = workbook_add_format(m_workbook);
            format_set_num_format(
                format, SpreadsheetFormat::numberFormat(column.displayFormat).toUtf8().constData());
        }
        m_columns.push_back({kind, format});
    }
    addSheet();
}

XlsxListWriter::~XlsxListWriter()
{
    if (m_workbook) {
        // Freeing a workbook leaves its temporary files open, and with them their space.
        for (lxw_worksheet *sheet : m_sheets) {
            if (sheet->optimize_tmpfile)
                std::fclose(sheet->optimize_tmpfile);
            sheet->optimize_tmpfile = nullptr;
            sheet->file = nullptr;
        }
        lxw_workbook_free(m_workbook);
    }
    if (m_cNumbers) {
        uselocale(m_previousLocale);
        freelocale(m_cNumbers);
    }
}

bool XlsxListWriter::addSheet()
{
    const QByteArray name = sheetName(m_title, sheets() + 1).toUtf8();
    lxw_worksheet *sheet = workbook_add_worksheet(m_workbook, name.constData());
    if (!sheet) {
        m_error = describe(LXW_ERROR_CREATING_TMPFILE);
        return false;
    }
    m_sheets.push_back(sheet);
    for (int i = 0; i < int(m_columns.size()); ++i) {
        const GridColumn &column = m_gridColumns.at(i);
        worksheet_set_column_pixels(sheet, lxw_col_t(i), lxw_col_t(i),
                                    uint32_t(column.width > 0 ? column.width : GridColumn().width),
                                    m_columns[i].format);
        if (!column.caption.isEmpty())
            worksheet_write_string(sheet, 0, lxw_col_t(i), column.caption.toUtf8().constData(),
                                   nullptr);
    }
    worksheet_freeze_panes(sheet, 1, 0);
    m_row = 0;
    return true;
}

bool XlsxListWriter::newRow()
{
    if (!isOpen())
        return false;
    if (m_row == m_rowsPerSheet && !addSheet())
        return false;
    ++m_row;
    return true;
}

void XlsxListWriter::setCell(int column, const ListValue &value)
{
    using Kind = SpreadsheetFormat::Kind;
    const Kind kind = m_columns[column].kind;
    if (value.kind == ListValue::Null)
        return;
    if (value.kind == ListValue::Text) {
        if (isNoDate(value.text, value.size))
            return;
        if (kind == Kind::Number) {
            bool ok = false;
            const double number = QByteArray::fromRawData(value.text, value.size).toDouble(&ok);
            if (ok) {
                writeNumber(column, number);
                return;
            }
        }
    }
    if (kind == Kind::Date) {
        const QDate date = value.kind == ListValue::Date   ? value.date
                           : value.kind == ListValue::Text ? dateOf(value.text, value.size)
                                                           : QDate();
        if (date.isValid() && date < DisplayFormat::kNoDateBefore)
            return;
        if (date.isValid() && date <= kLastDay) {
            worksheet_write_number(m_sheets.back(), lxw_row_t(m_row), lxw_col_t(column),
                                   double(kDayZero.daysTo(date)), m_columns[column].format);
            return;
        }
    } else if (kind == Kind::Number && value.kind != ListValue::Text &&
               value.kind != ListValue::Date) {
        writeNumber(column, value.kind == ListValue::Real ? value.real : double(value.integer));
        return;
    }
    if (value.kind == ListValue::Text) {
        writeText(column, value.text, value.size);
        return;
    }
    const QByteArray text = textOf(value);
    if (!isNoDate(text.constData(), text.size()))
        writeText(column, text.constData(), text.size());
}

void XlsxListWriter::writeNumber(int column, double number)
{
    if (!std::isfinite(number)) {
        const QByteArray text = QLocale::c().toString(number, 'g', 15).toLatin1();
        writeText(column, text.constData(), text.size());
        return;
    }
    worksheet_write_number(m_sheets.back(), lxw_row_t(m_row), lxw_col_t(column), number,
                           m_columns[column].format);
}

void XlsxListWriter::writeText(int column, const char *text, qsizetype size)
{
    if (size == 0)
        return;
    // A character takes at least one byte: only a long text can be too long.
    if (size > kMaxText) {
        QString whole = QString::fromUtf8(text, size);
        if (whole.size() > kMaxText) {
            whole.truncate(kMaxText);
            if (whole.back().isHighSurrogate())
                whole.chop(1);
            ++m_shortened;
            worksheet_write_string(m_sheets.back(), lxw_row_t(m_row), lxw_col_t(column),
                                   whole.toUtf8().constData(), m_textFormat);
            return;
        }
    }
    worksheet_write_string(m_sheets.back(), lxw_row_t(m_row), lxw_col_t(column), text,
                           m_textFormat);
}

bool XlsxListWriter::checkWritten()
{
    if (!isOpen())
        return false;
    // The library ignores failed writes to its temporary files; their stream remembers them.
    for (lxw_worksheet *sheet : m_sheets) {
        if (std::fflush(sheet->optimize_tmpfile) != 0 || std::ferror(sheet->optimize_tmpfile)) {
            m_error = QObject::tr("写入临时文件失败，磁盘可能已满。");
            return false;
        }
    }
    return true;
}

bool XlsxListWriter::ensureRoomToAssemble()
{
    // Each worksheet is copied once more while the workbook is assembled, and a copy that does
    // not fit is cut short without a word: make sure the largest fits beside the workbook.
    qint64 total = 0;
    qint64 largest = 0;
    for (lxw_worksheet *sheet : m_sheets) {
        const qint64 size = ftello(sheet->optimize_tmpfile);
        total += size;
        largest = std::max(largest, size);
    }
    struct statvfs disk;
    if (statvfs(m_folder.constData(), &disk) != 0)
        return true;
    const qint64 available = qint64(disk.f_bavail) * qint64(disk.f_frsize);
    if (available >= largest + total / 4 + (1 << 20))
        return true;
    m_error = QObject::tr("磁盘空间不足：完成这个工作簿还需要约 %1 MB。")
                  .arg((largest + total / 4) / 1000000 + 1);
    return false;
}

bool XlsxListWriter::close()
{
    if (!checkWritten() || !ensureRoomToAssemble())
        return false;
    const lxw_error result = workbook_close(m_workbook);
    m_workbook = nullptr;
    m_sheets.clear();
    if (result != LXW_NO_ERROR) {
        m_error = describe(result);
        return false;
    }
    return true;
}
