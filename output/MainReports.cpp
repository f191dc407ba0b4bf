#include "output/MainReports.h"

namespace MainReports {

const QList<Info> &all()
{
    static const QList<Info> reports = {
        {DetailSheet, QStringLiteral("样品详单"), QStringLiteral("frRevaZezXD.frf")},
        {List, QStringLiteral("样品档案统计表"), QStringLiteral("frRevaZezList.frf")},
        {ByClient, QStringLiteral("样品客户统计表"), QStringLiteral("frXScltlist.frf")},
        {BySupplier, QStringLiteral("样品供应商统计表"), QStringLiteral("frCGsuplist.frf")},
        {ByType, QStringLiteral("样品分类统计表"), QStringLiteral("frtypelist.frf")}};
    return reports;
}

Report::Job job(Kind kind, const ListQuery &list, const SampleListStatements &statements)
{
    Report::Job job;
    job.templateName = all().at(kind).templateName;
    job.dataSets.insert(QStringLiteral("frMain"),
                        {list.select + list.orderClause(), list.values, {}});
    job.dataSets.insert(
        QStringLiteral("frDetail1"),
        {QStringLiteral("select * from T_ImageREC where F_mainID = ? order by F_ID"),
         {},
         {QStringLiteral("F_ID")}});
    const struct
    {
        Kind kind;
        const QString *summary;
        const char *field;
    } grouped[] = {{ByClient, &statements.byClientSql, "F_XSclient"},
                   {BySupplier, &statements.bySupplierSql, "F_CGsuppler"},
                   {ByType, &statements.byTypeSql, "F_type"}};
    for (const auto &g : grouped) {
        if (g.kind != kind)
            continue;
        const QString field = QLatin1String(g.field);
        job.dataSets.insert(
            QStringLiteral("frDBDataSet1"),
            {*g.summary + QStringLiteral(" order by coalesce(") + field + QStringLiteral(", '')"),
             statements.values,
             {}});
        // The samples of the summary's current group, under the list's own filter; samples
        // without a client (supplier, type) form a group of their own as well.
        job.dataSets.insert(QStringLiteral("frDBDataSet2"),
                            {statements.listSql + QStringLiteral("and(coalesce(") + field +
                                 QStringLiteral(", '') = coalesce(?, '')) order by F_goodCode"),
                             statements.values,
                             {field}});
    }
    return job;
}

} // namespace MainReports
