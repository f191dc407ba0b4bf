// One workbook reader fed with arbitrary bytes: it opens them as a file of its kind and reads
// every sheet, within a small budget so that the fuzzer's memory limit is never what stops it.

#include "spreadsheet/CsvReader.h"
#include "spreadsheet/OdsReader.h"
#include "spreadsheet/XlsReader.h"
#include "spreadsheet/XlsxReader.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <unistd.h>

namespace {

QString scratchFile()
{
    return QStringLiteral("/tmp/quorin-fuzz-%1." FUZZ_KIND).arg(getpid());
}

std::unique_ptr<WorkbookReader> open(const QString &path, QString *error)
{
    ReadBudget budget;
    budget.partBytes = 64 << 20;
    budget.cellBytes = 64 << 20;
    const QByteArray kind = FUZZ_KIND;
    if (kind == "xlsx")
        return XlsxReader::open(path, error, budget);
    if (kind == "ods")
        return OdsReader::open(path, error, budget);
    if (kind == "xls")
        return XlsReader::open(path, error, budget);
    return CsvReader::open(path, error, budget);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = scratchFile();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();
    QString error;
    if (const std::unique_ptr<WorkbookReader> reader = open(path, &error)) {
        for (int i = 0; i < reader->sheetNames().size(); ++i) {
            SheetTable sheet;
            reader->readSheet(i, &sheet, {});
        }
        if (!reader->encoding().isEmpty()) {
            reader->setEncoding(QStringLiteral("GB18030"));
            SheetTable sheet;
            reader->readSheet(0, &sheet, {});
        }
    }
    return 0;
}
