#include "output/StatisticsList.h"

#include "masterdata/RegisterDescription.h"
#include "masterdata/TreeCode.h"
#include "register/SampleList.h"

namespace {

using K = StatisticsCriterion::Kind;
constexpr auto kStartsWith = SqlFilter::Match::StartsWith;
constexpr auto kContains = SqlFilter::Match::Contains;

StatisticsCriterion criterion(const char *label, const char *objectName, const char *column,
                              K kind = K::Text, SqlFilter::Match match = kContains,
                              const char *codeKind = "")
{
    return {QString::fromUtf8(label),
            QString::fromLatin1(objectName),
            QString::fromLatin1(column),
            kind,
            match,
            QString::fromLatin1(codeKind)};
}

// Brand, colour, material and packing: chosen from their code lists, matched from the start.
QList<StatisticsCriterion> codeListCriteria()
{
    return {criterion("品    牌：", "cbbPinpai", "F_pinPai", K::CodeList, kStartsWith, "pinpai"),
            criterion("颜    色：", "cbbYanSE", "F_yanSE", K::CodeList, kStartsWith, "yanse"),
            criterion("材    料：", "cbbCaiLiao", "F_caiLiao", K::CodeList, kStartsWith, "cailiao"),
            criterion("包    装：", "cbbBaoZhuang", "F_baoZhuang", K::CodeList, kStartsWith,
                      "baozhuang")};
}

QList<StatisticsCriterion> partnerCriteria(const char *typeLabel, const char *nameLabel)
{
    return {criterion(typeLabel, "edtType", "F_type", K::Type, kStartsWith),
            criterion(nameLabel, "edtName", "F_Name"),
            criterion("联 系 人：", "edtLinkman", "F_LinkMan"),
            criterion("电    话：", "edtPhone", "F_phone"),
            criterion("手    机：", "edtHandPhone", "F_HandPhone"),
            criterion("邮    编：", "edtPostcode", "F_PostCode", K::Text, kStartsWith),
            criterion("开 户 行：", "edtBank", "F_bank"),
            criterion("单位地址：", "edtAddress", "F_Address"),
            criterion("备    注：", "edtMemo1", "F_memo1")};
}

QList<GridColumn> sampleRecordColumns()
{
    const std::pair<const char *, const char *> columns[] = {
        {"F_goodcode", "样品编号"}, {"F_goodname", "样品名称"}, {"F_spec", "规格型号"},
        {"F_type", "样品类型"},     {"F_PinPai", "品牌"},       {"F_yanSE", "颜色"},
        {"F_cailiao", "材料"},      {"F_tiji", "体积"},         {"F_baozhuang", "包装"},
        {"F_cgDate", "采购日期"},   {"F_cgSuppler", "供应商"},  {"F_cgUnit", "计价单位"},
        {"F_cgPrice", "采购单价"},  {"F_cgType", "币种"},       {"F_xsDate", "销售日期"},
        {"F_xsClient", "客户"},     {"F_xsUnit1", "计价单位"},  {"F_xsPrice1", "销售单价"},
        {"F_xsType1", "币种"},      {"F_xsUnit2", "计价单位"},  {"F_xsPrice2", "销售单价"},
        {"F_xsType2", "币种"},      {"F_Memo2", "备注"}};
    QList<GridColumn> list;
    for (const auto &[field, caption] : columns)
        list << sampleColumn(QLatin1String(field), QString::fromUtf8(caption));
    list.first().footerType = GridColumn::StaticText;
    list.first().footerValue = QStringLiteral("合计");
    return list;
}

} // namespace

const StatisticsDescription &sampleRecordStatistics()
{
    static const StatisticsDescription d = [] {
        StatisticsDescription s;
        s.objectName = QStringLiteral("TFrmYPdetailTJ");
        s.caption = QStringLiteral("样品记录统计列表");
        s.table = QStringLiteral("GoodMain");
        s.layoutKey = QStringLiteral("ypdetailtj");
        s.orderBy = QStringLiteral("order by F_editDate");
        s.exportTitle = QStringLiteral("样品记录统计列表");
        s.reportTemplate = QStringLiteral("frYPdetailTj.frf");
        s.hasDateRange = true;
        s.typeTree = QStringLiteral("type");
        s.columns = sampleRecordColumns();
        s.criteria = {criterion("样品类型：", "edtType", "F_type", K::Type, kStartsWith),
                      criterion("样品名称：", "edtGoodName", "F_goodName")};
        s.criteria << codeListCriteria();
        s.criteria << criterion("供 应 商：", "edtCGsuppler", "F_CGsuppler", K::Supplier)
                   << criterion("客    户：", "edtXSclient", "F_XSclient", K::Client)
                   << criterion("备    注：", "edtMemo1", "F_memo1");
        return s;
    }();
    return d;
}

const StatisticsDescription &catalogueStatistics()
{
    static const StatisticsDescription d = [] {
        StatisticsDescription s;
        s.objectName = QStringLiteral("TfrmRevazezTJ");
        s.caption = QStringLiteral("样品档案统计列表");
        s.table = QStringLiteral("T_goods");
        s.layoutKey = QStringLiteral("revazeztj");
        s.orderBy = QStringLiteral("order by F_code");
        s.exportTitle = QStringLiteral("样品档案统计列表");
        s.reportTemplate = QStringLiteral("frRevazezTj.frf");
        s.typeTree = QStringLiteral("type");
        s.columns = catalogueRegister().columns;
        s.criteria = {criterion("样品类型：", "edtType", "F_type", K::Type, kStartsWith),
                      criterion("样品名称：", "edtName", "F_Name")};
        s.criteria << codeListCriteria();
        s.criteria << criterion("备    注：", "edtMemo1", "F_memo1");
        return s;
    }();
    return d;
}

const StatisticsDescription &clientStatistics()
{
    static const StatisticsDescription d = [] {
        StatisticsDescription s;
        s.objectName = QStringLiteral("TfrmClientTJ");
        s.caption = QStringLiteral("客户档案统计列表");
        s.table = QStringLiteral("T_client");
        s.layoutKey = QStringLiteral("clienttj");
        s.orderBy = QStringLiteral("order by F_code");
        s.exportTitle = QStringLiteral("客户档案统计列表");
        s.reportTemplate = QStringLiteral("frClientTj.frf");
        s.typeTree = QStringLiteral("clttype");
        s.columns = clientRegister().columns;
        s.criteria = partnerCriteria("客户类型：", "客户名称：");
        return s;
    }();
    return d;
}

const StatisticsDescription &supplierStatistics()
{
    static const StatisticsDescription d = [] {
        StatisticsDescription s = clientStatistics();
        s.objectName = QStringLiteral("TfrmSupplerTJ");
        s.caption = QStringLiteral("供应商档案统计列表");
        s.table = QStringLiteral("T_suppler");
        s.layoutKey = QStringLiteral("supplertj");
        s.exportTitle = QStringLiteral("供应商档案统计列表");
        s.reportTemplate = QStringLiteral("frSupplerTj.frf");
        s.typeTree = QStringLiteral("suptype");
        s.criteria = partnerCriteria("类    型：", "供应商名称：");
        return s;
    }();
    return d;
}

namespace StatisticsQuery {

SqlFilter filter(const StatisticsDescription &description, const StatisticsCriteria &criteria,
                 const SqlDialect &dialect)
{
    SqlFilter f(dialect, description.table);
    if (description.hasDateRange)
        f.addDateRange(QStringLiteral("F_editDate"), criteria.from, criteria.to);
    for (qsizetype i = 0; i < description.criteria.size(); ++i) {
        const StatisticsCriterion &c = description.criteria.at(i);
        const QString text = criteria.texts.value(i).trimmed();
        if (text.isEmpty())
            continue;
        if (c.kind == StatisticsCriterion::Type) {
            // A type typed without its path is a type of the first level.
            addTypeFilter(f, c.column,
                          text.startsWith(u'\\') ? text : childPath(kRootLikeCode, text));
        } else {
            f.addLike(c.column, text, c.match);
        }
    }
    return f;
}

QString select(const StatisticsDescription &description, const SqlFilter &filter)
{
    return QStringLiteral("select * from ") + description.table + u' ' + filter.where();
}

QString dateMemo(const StatisticsCriteria &criteria)
{
    const QString format = QStringLiteral("yyyy-MM-dd");
    return QStringLiteral("日    期：自 ") +
           (criteria.from.isValid() ? criteria.from.toString(format) : QStringLiteral("启用系统")) +
           QStringLiteral(" 至 ") +
           (criteria.to.isValid() ? criteria.to.toString(format) : QStringLiteral("记帐最后一天"));
}

} // namespace StatisticsQuery
