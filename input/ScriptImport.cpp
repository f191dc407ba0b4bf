#include "input/ScriptImport.h"

#include "input/ImportPreview.h"
#include "spreadsheet/WorkbookReader.h"

namespace ScriptImport {

namespace {

struct List
{
    const char *name;
    const char *table;
};

const List kLists[] = {
    {"clients", "T_client"}, {"suppliers", "T_suppler"}, {"catalogue", "T_goods"}};

} // namespace

QString tableOf(const QString &list)
{
    for (const List &l : kLists) {
        if (list == QLatin1String(l.name))
            return QLatin1String(l.table);
    }
    return {};
}

const QStringList &lists()
{
    static const QStringList names = [] {
        QStringList n;
        for (const List &l : kLists)
            n << QLatin1String(l.name);
        return n;
    }();
    return names;
}

bool run(const DataSource &source, const QSqlDatabase &db, const QString &table,
         const QString &file, ImportCodes::Duplicates duplicates, const QString &operatorName,
         ImportStore::Counts *counts, QString *error)
{
    *counts = {};
    const std::unique_ptr<WorkbookReader> workbook = WorkbookReader::open(file, error);
    if (!workbook)
        return false;
    if (workbook->sheetNames().isEmpty()) {
        *error = WorkbookReasons::kDamaged;
        return false;
    }
    SheetTable sheet;
    if (const WorkResult read = workbook->readSheet(0, &sheet, {}); !read.isDone()) {
        *error = read.reason();
        return false;
    }
    QList<ImportField> mapping;
    if (!loadImportFields(db, table, &mapping, error))
        return false;
    ImportPreview preview;
    PreviewFault fault;
    if (!preview.build(sheet, table, mapping, &fault)) {
        *error = fault.message();
        return false;
    }
    if (preview.rows.empty())
        return true;
    const WorkResult stored =
        ImportStore::store(source, table, preview, operatorName, duplicates, counts);
    *error = stored.reason();
    return stored.isDone();
}

} // namespace ScriptImport
