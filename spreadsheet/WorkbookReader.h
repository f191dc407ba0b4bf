#pragma once

#include "core/Work.h"
#include "spreadsheet/SheetTable.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <memory>

// The limits every reader honours: a sheet's size as spreadsheet programs allow it, a cell's
// text as they store it, and the memory one workbook may take while it is read.
namespace WorkbookLimits {
constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;
constexpr int kMaxCellChars = 32767;
} // namespace WorkbookLimits

// How much memory reading one sheet may take, in bytes.
struct ReadBudget
{
    // One inflated part of a zipped workbook, a whole .csv or .xls file. A part is copied once
    // for the parser, so it briefly takes twice this.
    qint64 partBytes = qint64(256) << 20;
    // The cells held for the preview (24 bytes a cell slot, the texts, and the shared strings).
    qint64 cellBytes = qint64(512) << 20;
};

// A workbook opened for the import: its sheets by name, each read whole on demand. The kind of
// file (.xls, .xlsx, .ods, .csv) is told by its content, the name only where content cannot
// tell. A reader may be used from any one thread at a time.
class WorkbookReader
{
public:
    virtual ~WorkbookReader() = default;

    virtual QStringList sheetNames() const = 0;
    // Reads sheet `index`: failed with the reason when the sheet is damaged, or cancelled.
    virtual WorkResult readSheet(int index, SheetTable *sheet, const WorkProgress &progress) = 0;

    // Text files only: the encoding the cells are decoded with, "UTF-8" or "GB18030".
    virtual QString encoding() const { return {}; }
    // Text files only: reads the next sheets in `name` instead of the one the bytes suggest.
    virtual void setEncoding(const QString &name) { Q_UNUSED(name); }

    // Opens the workbook at `path` and lists its sheets; nothing, with the reason a user can
    // read in `error`, when the file is missing, damaged, protected by a password or of a
    // kind the import does not read.
    static std::unique_ptr<WorkbookReader> open(const QString &path, QString *error,
                                                const ReadBudget &budget = {});
};

class QFile;

// Opens `path` into `file` for a reader that takes the file whole: a regular file (a FIFO or a
// device would hold the reader until someone writes to it) of at most `limit` bytes. False with
// the reason in `error` when not.
bool openWholeFile(QFile &file, const QString &path, qint64 limit, QString *error);

namespace WorkbookReasons {
inline const QString kDamaged = QStringLiteral("文件已损坏或不是有效的工作簿。");
inline const QString kPassword = QStringLiteral("工作簿设有密码保护，请先取消密码后再导入。");
inline const QString kUnsupported =
    QStringLiteral("不支持此文件格式，请选择 .xls、.xlsx、.ods 或 .csv 文件。");
inline const QString kMissing = QStringLiteral("文件不存在。");
inline const QString kNotRegular = QStringLiteral("不是普通文件，不能作为工作簿读取。");
inline const QString kTooLarge =
    QStringLiteral("工作簿太大，超出导入的内存上限（%1 MB），请把它拆成几个文件后再导入。");
inline const QString kBeyondLimits =
    QStringLiteral("工作表超出电子表格的上限（1048576 行 × 16384 列），文件已损坏。");
inline const QString kCellTooLong =
    QStringLiteral("第 %1 行第 %2 列的单元格超过 32767 个字符，文件已损坏。");
inline const QString kClipped =
    QStringLiteral("工作表中重复到第 1048576 行或第 16384 列之外的单元格未读入。");
inline const QString kReplacedBytes =
    QStringLiteral("文件中有不是 UTF-8 的字节（第 %1 行），已显示为“\uFFFD”；"
                   "若文字都不对，请改选编码。");
inline const QString kSharedTooLong =
    QStringLiteral("工作簿的第 %1 个共享文本超过 32767 个字符，文件已损坏。");
} // namespace WorkbookReasons
