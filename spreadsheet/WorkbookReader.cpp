#include "spreadsheet/WorkbookReader.h"

#include "spreadsheet/CsvReader.h"
#include "spreadsheet/OdsReader.h"
#include "spreadsheet/XlsReader.h"
#include "spreadsheet/XlsxReader.h"

#include "core/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <limits>

namespace {

enum class Container { Zip, Compound, Other };

Container containerOf(QFile &file)
{
    const QByteArray head = file.read(8);
    if (head.startsWith("PK\x03\x04"))
        return Container::Zip;
    if (head == QByteArray::fromHex("d0cf11e0a1b11ae1"))
        return Container::Compound;
    return Container::Other;
}

} // namespace

bool openWholeFile(QFile &file, const QString &path, qint64 limit, QString *error)
{
    if (path.isEmpty() || !openRegularFile(file, path)) {
        const QFileInfo info(path);
        *error = info.exists() && !info.isFile() ? WorkbookReasons::kNotRegular
                                                 : WorkbookReasons::kMissing;
        return false;
    }
    if (file.size() > limit) {
        *error = WorkbookReasons::kTooLarge.arg(limit >> 20);
        return false;
    }
    return true;
}

std::unique_ptr<WorkbookReader> WorkbookReader::open(const QString &path, QString *error,
                                                     const ReadBudget &budget)
{
    const QFileInfo info(path);
    QFile file;
    // The head alone is read here; a reader takes the file within its own budget.
    if (!openWholeFile(file, path, std::numeric_limits<qint64>::max(), error))
        return nullptr;
    const QString suffix = info.suffix().toLower();
    switch (containerOf(file)) {
    case Container::Zip:
        if (OdsReader::isOds(path))
            return OdsReader::open(path, error, budget);
        return XlsxReader::open(path, error, budget);
    case Container::Compound:
        // An .xlsx saved with a password is a compound file holding the encrypted package.
        if (suffix == u"xlsx" || suffix == u"xlsm") {
            *error = WorkbookReasons::kPassword;
            return nullptr;
        }
        return XlsReader::open(path, error, budget);
    case Container::Other:
        break;
    }
    if (suffix == u"csv" || suffix == u"txt")
        return CsvReader::open(path, error, budget);
    *error = suffix == u"xls" || suffix == u"xlsx" || suffix == u"ods"
                 ? WorkbookReasons::kDamaged
                 : WorkbookReasons::kUnsupported;
    return nullptr;
}
