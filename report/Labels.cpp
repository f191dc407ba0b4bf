#include "report/Labels.h"

#include "core/AppHome.h"

#include <QDir>
#include <cmath>

namespace Labels {

bool isTemplateOf(const Kind &kind, const QString &templateName)
{
    return templateName.startsWith(kind.templatePrefix, Qt::CaseInsensitive);
}

QStringList templates(const Kind &kind)
{
    const QDir folder(AppHome::path(QStringLiteral("Qr")));
    return folder.entryList({kind.templatePrefix + QStringLiteral("*.frf")}, QDir::Files,
                            QDir::Name);
}

int labelsPerSheet(const Report::Template &layout)
{
    if (layout.data.isEmpty())
        return 1;
    const Report::DataBand &data = layout.data.first();
    const auto height = [](const std::optional<Report::Band> &band) {
        return band ? band->height : 0.0;
    };
    const double room = layout.page.height - layout.page.margins.top() -
                        layout.page.margins.bottom() - height(layout.title) -
                        height(layout.pageHeader) - height(layout.pageFooter) - height(data.header);
    const double pitch = data.row.height + data.rowGap;
    // What fits exactly, fits, as the engine places it.
    const int rows = pitch > 0 ? int(std::floor((room + data.rowGap) / pitch + 0.001)) : 1;
    return qMax(1, rows) * qMax(1, data.columns);
}

Report::Job job(const Kind &kind, const QString &templateName, const ListQuery &list)
{
    Report::Job job;
    job.templateName = templateName;
    job.dataSets.insert(kind.dataSet, {list.select + list.orderClause(), list.values, {}});
    return job;
}

std::optional<ListQuery> selected(const Kind &kind, const ListQuery &list, const QList<qint64> &ids)
{
    if (ids.isEmpty() || ids.size() > kMostSelected)
        return std::nullopt;
    ListQuery query = list;
    QStringList marks;
    query.values.clear();
    for (qint64 id : ids) {
        marks << QStringLiteral("?");
        query.values << id;
    }
    query.select =
        QStringLiteral("select * from %1 where F_ID in (%2)").arg(kind.table, marks.join(u','));
    return query;
}

} // namespace Labels
