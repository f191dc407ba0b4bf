#pragma once

#include "spreadsheet/WorkbookReader.h"

class ZipPackage;

// OpenDocument spreadsheets (.ods), their content read as a stream through liborcus's zip reader
// and SAX parser. Numbers come from the value a cell holds, dates as "yyyy-MM-dd", everything
// else as the cell shows it.
class OdsReader : public WorkbookReader
{
public:
    static bool isOds(const QString &path);
    static std::unique_ptr<WorkbookReader> open(const QString &path, QString *error,
                                                const ReadBudget &budget);
    ~OdsReader() override;

    QStringList sheetNames() const override { return m_names; }
    WorkResult readSheet(int index, SheetTable *sheet, const WorkProgress &progress) override;

private:
    OdsReader() = default;

    ReadBudget m_budget;
    std::unique_ptr<ZipPackage> m_package;
    QStringList m_names;
};
