#include "output/ScriptReports.h"

#include "core/DataDm.h"
#include "masterdata/RegisterDescription.h"
#include "masterdata/RegisterStore.h"
#include "output/MainReports.h"
#include "output/SampleLabels.h"
#include "output/StatisticsList.h"
#include "register/SampleList.h"

namespace ScriptReports {

std::optional<Report::Job> job(TdmData &dm, const QString &templateName, QString *error)
{
    const auto named = [&templateName](const QString &name) {
        return templateName.compare(name, Qt::CaseInsensitive) == 0;
    };
    for (const MainReports::Info &report : MainReports::all()) {
        if (named(report.templateName)) {
            return MainReports::job(report.kind, SampleList::wholeRegister(dm.dialect()),
                                    SampleListQuery::build(SampleListCriteria{}, dm.dialect()));
        }
    }
    if (Labels::isTemplateOf(SampleLabels::kind(), templateName))
        return Labels::job(SampleLabels::kind(), templateName,
                           SampleList::wholeRegister(dm.dialect()));
    for (const RegisterDescription *r :
         {&clientRegister(), &supplierRegister(), &catalogueRegister()}) {
        if (Labels::isTemplateOf(r->labels, templateName))
            return Labels::job(r->labels, templateName, RegisterStore::wholeList(*r, dm.dialect()));
    }
    const struct
    {
        const char *templateName;
        const char *statement;
    } lists[] = {{"frClientList.frf", "select * from T_client order by F_Code, F_ID"},
                 {"frClientTj.frf", "select * from T_client order by F_Code, F_ID"},
                 {"frSupplerList.frf", "select * from T_suppler order by F_Code, F_ID"},
                 {"frSupplerTj.frf", "select * from T_suppler order by F_Code, F_ID"},
                 {"frGoodList.frf", "select * from T_goods order by F_Code, F_ID"},
                 {"frRevazezTj.frf", "select * from T_goods order by F_Code, F_ID"},
                 {"frYPdetailTj.frf", "select * from GoodMain order by F_editDate, F_ID"}};
    for (const auto &l : lists) {
        if (!named(QLatin1String(l.templateName)))
            continue;
        Report::Job job;
        job.templateName = QLatin1String(l.templateName);
        job.dataSets.insert(QStringLiteral("frDBDataSet1"), {QLatin1String(l.statement), {}, {}});
        job.texts.insert(QStringLiteral("MemoDate"),
                         StatisticsQuery::dateMemo(StatisticsCriteria{}));
        return job;
    }
    *error = QStringLiteral("模板 %1 不能在窗口之外生成（可用：frRevaZezXD.frf、frRevaZezList.frf、"
                            "frXScltlist.frf、frCGsuplist.frf、frtypelist.frf、frClientList.frf、"
                            "frSupplerList.frf、frGoodList.frf、frYPdetailTj.frf、frRevazezTj.frf、"
                            "frClientTj.frf、frSupplerTj.frf、样品标签*.frf、客户标签*.frf、"
                            "供应商标签*.frf 和 标准样品标签*.frf）")
                 .arg(templateName);
    return std::nullopt;
}

} // namespace ScriptReports
