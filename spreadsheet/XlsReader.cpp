#include "spreadsheet/XlsReader.h"

#include "spreadsheet/BiffRecords.h"
#include "spreadsheet/CellText.h"
#include "spreadsheet/CompoundFile.h"

#include <QFile>
#include <freexl.h>

namespace {

// What FreeXL holds for each cell of a sheet's declared grid, with room to spare.
constexpr qint64 kFreeXlCellBytes = 24;

QString reasonOf(int code)
{
    return code == FREEXL_UNSUPPORTED_CHARSET ? WorkbookReasons::kUnsupported
                                              : WorkbookReasons::kDamaged;
}

QString textOf(const FreeXL_CellValue &cell)
{
    switch (cell.type) {
    case FREEXL_CELL_INT:
        return QString::number(cell.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return CellText::number(cell.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        return QString::fromUtf8(cell.value.text_value);
    default:
        return {};
    }
}

} // namespace

std::unique_ptr<WorkbookReader> XlsReader::open(const QString &path, QString *error,
                                                const ReadBudget &budget)
{
    QFile file;
    if (!openWholeFile(file, path, budget.partBytes, error))
        return nullptr;
    QByteArray stream;
    if (!CompoundFile::workbookStream(file.readAll(), &stream, error))
        return nullptr;
    if (!BiffRecords::sound(stream)) {
        *error = WorkbookReasons::kDamaged;
        return nullptr;
    }
    // FreeXL reads every sheet's cells at once, into the grids the sheets declare.
    if (BiffRecords::declaredCellBytes(stream, kFreeXlCellBytes) > budget.cellBytes) {
        *error = WorkbookReasons::kTooLarge.arg(budget.cellBytes >> 20);
        return nullptr;
    }
    file.close();
    stream.clear();
    std::unique_ptr<XlsReader> reader(new XlsReader);
    reader->m_budget = budget;
    const int opened = freexl_open(QFile::encodeName(path).constData(), &reader->m_handle);
    if (opened != FREEXL_OK) {
        *error = reasonOf(opened);
        return nullptr;
    }
    unsigned int password = 0;
    unsigned int sheets = 0;
    if (freexl_get_info(reader->m_handle, FREEXL_BIFF_PASSWORD, &password) != FREEXL_OK ||
        freexl_get_info(reader->m_handle, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK) {
        *error = WorkbookReasons::kDamaged;
        return nullptr;
    }
    if (password == FREEXL_BIFF_OBFUSCATED) {
        *error = WorkbookReasons::kPassword;
        return nullptr;
    }
    for (unsigned int i = 0; i < sheets; ++i) {
        const char *name = nullptr;
        if (freexl_get_worksheet_name(reader->m_handle, (unsigned short)i, &name) != FREEXL_OK) {
            *error = WorkbookReasons::kDamaged;
            return nullptr;
        }
        reader->m_names << QString::fromUtf8(name);
    }
    return reader;
}

XlsReader::~XlsReader()
{
    if (m_handle)
        freexl_close(m_handle);
}

WorkResult XlsReader::readSheet(int index, SheetTable *sheet, const WorkProgress &progress)
{
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(m_handle, (unsigned short)index) != FREEXL_OK ||
        freexl_worksheet_dimensions(m_handle, &rows, &columns) != FREEXL_OK) {
        return WorkResult::failed(WorkbookReasons::kDamaged);
    }
    SheetCollector collector(m_budget.cellBytes);
    for (unsigned int r = 0; r < rows; ++r) {
        if (r % 1000 == 0 && progress && !progress(int(qint64(r) * 100 / rows))) {
            return WorkResult::cancelled();
        }
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue cell;
            const int read = freexl_get_cell_value(m_handle, r, c, &cell);
            if (read != FREEXL_OK) {
                return WorkResult::failed(reasonOf(read));
            }
            if (!collector.setCell(int(r), c, textOf(cell))) {
                return WorkResult::failed(collector.failure());
            }
        }
    }
    *sheet = collector.finish();
    return WorkResult::done();
}
