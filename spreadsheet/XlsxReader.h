#pragma once

#include "spreadsheet/WorkbookReader.h"

#include <string>
#include <vector>

class ZipPackage;

// Office Open XML workbooks (.xlsx), read part by part as a stream through liborcus's zip
// reader and SAX parser: shared strings, the strings written into the cells themselves (as
// streaming writers, our export among them, write them), and dates told by their cell format.
class XlsxReader : public WorkbookReader
{
public:
    static std::unique_ptr<WorkbookReader> open(const QString &path, QString *error,
                                                const ReadBudget &budget);
    ~XlsxReader() override;

    QStringList sheetNames() const override { return m_names; }
    WorkResult readSheet(int index, SheetTable *sheet, const WorkProgress &progress) override;

private:
    XlsxReader() = default;
    bool readSharedParts(QString *error);

    ReadBudget m_budget;
    std::unique_ptr<ZipPackage> m_package;
    QStringList m_names;
    std::vector<std::string> m_sheetParts;
    bool m_sharedRead = false;
    std::vector<QString> m_strings;
    qint64 m_sharedBytes = 0;
    std::vector<bool> m_dateStyles;
    bool m_date1904 = false;
};
