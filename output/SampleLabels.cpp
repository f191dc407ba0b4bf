#include "output/SampleLabels.h"

#include "core/AppHome.h"

#include <QDir>
#include <cmath>

namespace SampleLabels {

bool isLabelTemplate(const QString &templateName)
{
    return templateName.startsWith(kTemplatePrefix, Qt::CaseInsensitive);
}

QStringList templates()
{
    const QDir folder(AppHome::path(QStringLiteral("Qr")));
    return folder.entryList({kTemplatePrefix + QStringLiteral("*.frf")}, QDir::Files, QDir::Name);
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

Report::Job job(const QString &templateName, const ListQuery &list)
{
    Report::Job job;
    job.templateName = templateName;
    job.dataSets.insert(QStringLiteral("frMain"),
                        {list.select + list.orderClause(), list.values, {}});
    return job;
}

std::optional<ListQuery> selected(const ListQuery &list, const QList<qint64> &ids)
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
        QStringLiteral("select * from GoodMain where F_ID in (%1)").arg(marks.join(u','));
    return query;
}

} // namespace SampleLabels
