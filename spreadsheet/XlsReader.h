#pragma once

#include "spreadsheet/WorkbookReader.h"

// Excel 97-2003 workbooks, through FreeXL, once their compound file has passed our own check.
class XlsReader : public WorkbookReader
{
public:
    static std::unique_ptr<WorkbookReader> open(const QString &path, QString *error,
                                                const ReadBudget &budget);
    ~XlsReader() override;

    QStringList sheetNames() const override { return m_names; }
    WorkResult readSheet(int index, SheetTable *sheet, const WorkProgress &progress) override;

private:
    XlsReader() = default;

    ReadBudget m_budget;
    const void *m_handle = nullptr;
    QStringList m_names;
};
