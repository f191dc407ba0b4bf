#include "output/ExportLists.h"

#include "core/DataDm.h"
#include "core/GridLayoutStore.h"
#include "masterdata/RegisterDescription.h"
#include "masterdata/RegisterStore.h"
#include "register/SampleList.h"

#include <QStringList>

namespace ExportLists {

namespace {

// The window's columns: its stored layout, else the built-in ones.
QList<GridColumn> columnsOf(TdmData &dm, const QString &layoutKey, const QList<GridColumn> &builtIn)
{
    const QList<GridColumn> stored = GridLayoutStore::load(dm, layoutKey, builtIn);
    return stored.isEmpty() ? builtIn : stored;
}

ListExport::Job registerJob(TdmData &dm, const RegisterDescription &description)
{
    ListExport::Job job;
    job.source = dm.source();
    job.query = RegisterStore::wholeList(description, dm.dialect());
    job.columns = columnsOf(dm, description.layoutKey, description.columns);
    job.title = description.exportTitle;
    return job;
}

const QStringList kNames = {QStringLiteral("samples"), QStringLiteral("clients"),
                            QStringLiteral("suppliers"), QStringLiteral("catalogue")};

} // namespace

std::optional<ListExport::Job> job(TdmData &dm, const QString &name, QString *error)
{
    if (name == u"samples") {
        ListExport::Job job;
        job.source = dm.source();
        job.query = SampleList::wholeRegister(dm.dialect());
        job.columns = columnsOf(dm, kSampleListLayoutKey, sampleListColumns());
        job.title = kSampleListExportTitle;
        return job;
    }
    if (name == u"clients")
        return registerJob(dm, clientRegister());
    if (name == u"suppliers")
        return registerJob(dm, supplierRegister());
    if (name == u"catalogue")
        return registerJob(dm, catalogueRegister());
    *error = QStringLiteral("unknown list \"%1\" for --export (one of: %2)")
                 .arg(name, kNames.join(QStringLiteral(", ")));
    return std::nullopt;
}

} // namespace ExportLists
