#pragma once

#include "input/SheetTable.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// A workbook opened for the import: its sheets by name, each read whole on demand. The kind of
// file (.xls, .xlsx, .ods, .csv) is told by its content, the name only where content cannot
// tell. A reader may be used from any one thread at a time.
class WorkbookReader
{
public:
    // Told the share read so far; returning false stops the reading.
    using Progress = std::function<bool(int percent)>;

    virtual ~WorkbookReader() = default;

    virtual QStringList sheetNames() const = 0;
    // Reads sheet `index`; false, with the reason in `error`, when the sheet is damaged or the
    // reading was stopped.
    virtual bool readSheet(int index, SheetTable *sheet, QString *error,
                           const Progress &progress) = 0;

    // Opens the workbook at `path` and lists its sheets; nothing, with the reason a user can
    // read in `error`, when the file is missing, damaged, protected by a password or of a
    // kind the import does not read.
    static std::unique_ptr<WorkbookReader> open(const QString &path, QString *error);
};

namespace WorkbookReasons {
inline const QString kDamaged = QStringLiteral("文件已损坏或不是有效的工作簿。");
inline const QString kPassword = QStringLiteral("工作簿设有密码保护，请先取消密码后再导入。");
inline const QString kUnsupported =
    QStringLiteral("不支持此文件格式，请选择 .xls、.xlsx、.ods 或 .csv 文件。");
inline const QString kMissing = QStringLiteral("文件不存在。");
inline const QString kStopped = QStringLiteral("读取已取消。");
} // namespace WorkbookReasons
