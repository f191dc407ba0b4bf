#include "masterdata/RegisterDescription.h"

namespace {

QList<GridColumn> gridColumns(const QList<std::pair<const char *, const char *>> &columns)
{
    QList<GridColumn> list;
    for (const auto &[field, caption] : columns) {
        GridColumn column;
        column.field = QLatin1String(field);
        column.caption = QString::fromUtf8(caption);
        list << column;
    }
    return list;
}

QList<RegisterSearch> partnerSearches()
{
    return {{QStringLiteral("单位编号"), QStringLiteral("F_Code"), false, {}, true},
            {QStringLiteral("单位名称"), QStringLiteral("F_Name"), true, {}},
            {QStringLiteral("联 系 人"), QStringLiteral("F_LinkMan"), true, {}},
            {QStringLiteral("单位地址"), QStringLiteral("F_Address"), true, {}}};
}

QList<GridColumn> partnerColumns(const char *bankTitle)
{
    return gridColumns({{"F_code", "编号"},
                        {"F_name", "名称"},
                        {"F_type", "类型"},
                        {"F_linkman", "联系人"},
                        {"F_phone", "电话"},
                        {"F_HandPhone", "手机"},
                        {"F_Fax", "传真"},
                        {"F_email", "电子邮件"},
                        {"F_homepage", "公司主页"},
                        {"F_postcode", "邮编"},
                        {"F_address", "地址"},
                        {"F_bank", bankTitle},
                        {"F_account", "帐号"},
                        {"F_ratecode", "税号"},
                        {"F_Memo1", "备注"}});
}

QList<RegisterField> partnerFields()
{
    using K = RegisterField::Kind;
    // clang-format off
    return {{QStringLiteral("F_Code"), QStringLiteral("编    号："), K::Text, QStringLiteral("edtCode"), 0, {}},
            {QStringLiteral("F_Name"), QStringLiteral("名    称："), K::Text, QStringLiteral("edtName"), 0, {}},
            {QStringLiteral("F_Type"), QStringLiteral("类    型："), K::Type, QStringLiteral("edtType"), 0, {}},
            {QStringLiteral("F_LinkMan"), QStringLiteral("联 系 人："), K::Text, QStringLiteral("edtLinkMan"), 0, {}},
            {QStringLiteral("F_Phone"), QStringLiteral("电    话："), K::Text, QStringLiteral("edtPhone"), 0, {}},
            {QStringLiteral("F_handPhone"), QStringLiteral("手    机："), K::Text, QStringLiteral("edtHandPhone"), 0, {}},
            {QStringLiteral("F_fax"), QStringLiteral("传    真："), K::Text, QStringLiteral("edtFax"), 0, {}},
            {QStringLiteral("F_Postcode"), QStringLiteral("邮    编："), K::Text, QStringLiteral("edtPostcode"), 0, {}},
            {QStringLiteral("F_Address"), QStringLiteral("单位地址："), K::Text, QStringLiteral("edtAddress"), 0, {}},
            {QStringLiteral("F_bank"), QStringLiteral("开 户 行："), K::Text, QStringLiteral("edtBank"), 1, {}},
            {QStringLiteral("F_account"), QStringLiteral("银行帐号："), K::Text, QStringLiteral("edtAccount"), 1, {}},
            {QStringLiteral("F_ratecode"), QStringLiteral("纳 税 号："), K::Text, QStringLiteral("edtRatecode"), 1, {}},
            {QStringLiteral("F_homepage"), QStringLiteral("公司主页："), K::WebSite, QStringLiteral("edtHomepage"), 1, {}},
            {QStringLiteral("F_Email"), QStringLiteral("电子邮箱："), K::Email, QStringLiteral("edtEmail"), 1, {}},
            {QStringLiteral("F_Memo1"), QStringLiteral("备    注："), K::Memo, QStringLiteral("Memo1"), 1, {}},
            {QStringLiteral("F_useFlag"), QStringLiteral("停用"), K::UseFlag, QStringLiteral("chkUseFlag"), 1, {}}};
    // clang-format on
}

Labels::Kind registerLabels(const char *templatePrefix, const QString &table, const QString &noun)
{
    return {QString::fromUtf8(templatePrefix), QStringLiteral("frDBDataSet1"), table, noun};
}

} // namespace

const RegisterDescription &clientRegister()
{
    static const RegisterDescription d = [] {
        RegisterDescription r;
        r.table = QStringLiteral("T_client");
        r.listTitle = QStringLiteral("客户资料");
        r.noun = QStringLiteral("客户");
        r.objectName = QStringLiteral("frmCltMan");
        r.editorObjectName = QStringLiteral("frmCltEdit");
        r.treeKind = QStringLiteral("clttype");
        r.treeRoot = QStringLiteral("客户类型");
        r.layoutKey = QStringLiteral("cltman");
        r.searches = partnerSearches();
        r.columns = partnerColumns("开户行");
        r.fields = partnerFields();
        r.editorTitleNew = QStringLiteral("客户档案 - 新增");
        r.editorTitleEdit = QStringLiteral("客户档案 - 修改");
        r.emptyCodeMessage = QStringLiteral("当前客户编号不能为空！");
        r.duplicateCodeMessage = QStringLiteral("客户编号重复，请重新输入！");
        r.deleteQuestion = QStringLiteral("真的要删除当前客户");
        r.reportTemplate = QStringLiteral("frClientList.frf");
        r.labels = registerLabels("客户标签", r.table, r.noun);
        r.exportTitle = QStringLiteral("客户资料");
        return r;
    }();
    return d;
}

const RegisterDescription &supplierRegister()
{
    static const RegisterDescription d = [] {
        RegisterDescription r = clientRegister();
        r.table = QStringLiteral("T_suppler");
        r.listTitle = QStringLiteral("供应商资料");
        r.noun = QStringLiteral("供应商");
        r.objectName = QStringLiteral("frmSupMan");
        r.editorObjectName = QStringLiteral("frmSupEdit");
        r.treeKind = QStringLiteral("suptype");
        r.treeRoot = QStringLiteral("供应商类型");
        r.layoutKey = QStringLiteral("supman");
        r.columns = partnerColumns("开户行：");
        r.editorTitleNew = QStringLiteral("供应商档案 - 新增");
        r.editorTitleEdit = QStringLiteral("供应商档案 - 修改");
        r.emptyCodeMessage = QStringLiteral("当前供应商编号不能为空！");
        r.duplicateCodeMessage = QStringLiteral("供应商编号重复，请重新输入！");
        r.deleteQuestion = QStringLiteral("真的要删除当前供应商");
        r.reportTemplate = QStringLiteral("frSupplerList.frf");
        r.labels = registerLabels("供应商标签", r.table, r.noun);
        r.exportTitle = QStringLiteral("供应商资料");
        return r;
    }();
    return d;
}

const RegisterDescription &catalogueRegister()
{
    static const RegisterDescription d = [] {
        using K = RegisterField::Kind;
        RegisterDescription r;
        r.table = QStringLiteral("T_goods");
        r.listTitle = QStringLiteral("样品资料");
        r.noun = QStringLiteral("样品");
        r.objectName = QStringLiteral("frmGoodMan");
        r.editorObjectName = QStringLiteral("frmGoodEdit");
        r.treeKind = QStringLiteral("type");
        r.treeRoot = QStringLiteral("样品类型");
        r.layoutKey = QStringLiteral("goodman");
        // clang-format off
        r.searches = {{QStringLiteral("编号"), QStringLiteral("F_Code"), true, {}, true},
                      {QStringLiteral("名称"), QStringLiteral("F_Name"), true, {}},
                      {QStringLiteral("条码"), QStringLiteral("F_TMcode"), true, {}, true},
                      {QStringLiteral("规格"), QStringLiteral("F_spec"), true, {}},
                      {QStringLiteral("品牌"), QStringLiteral("F_pinPai"), false, QStringLiteral("pinpai")},
                      {QStringLiteral("颜色"), QStringLiteral("F_yanSE"), false, QStringLiteral("yanse")},
                      {QStringLiteral("材料"), QStringLiteral("F_caiLiao"), false, QStringLiteral("cailiao")},
                      {QStringLiteral("包装"), QStringLiteral("F_baoZhuang"), false,
                       QStringLiteral("baozhuang")}};
        r.columns = gridColumns({{"F_code", "编号"},
                                 {"F_name", "名称"},
                                 {"F_tmcode", "条码"},
                                 {"F_spec", "规格"},
                                 {"F_type", "类型"},
                                 {"F_yanSE", "颜色"},
                                 {"F_cailiao", "材料"},
                                 {"F_tiji", "体积"},
                                 {"F_baozhuang", "包装"},
                                 {"F_other1", "其他物性A"},
                                 {"F_other2", "其他物性B"},
                                 {"F_other3", "其他物性C"},
                                 {"F_other4", "其他物性D"},
                                 {"F_memo1", "备注信息"}});
        r.fields = {
            {QStringLiteral("F_Code"), QStringLiteral("样品编号："), K::Text, QStringLiteral("edtCode"), 0, {}},
            {QStringLiteral("F_Name"), QStringLiteral("样品名称："), K::Text, QStringLiteral("edtName"), 0, {}},
            {QStringLiteral("F_spec"), QStringLiteral("规格型号："), K::Text, QStringLiteral("edtSpec"), 0, {}},
            {QStringLiteral("F_Type"), QStringLiteral("样品类型："), K::Type, QStringLiteral("edtType"), 0, {}},
            {QStringLiteral("F_pinPai"), QStringLiteral("品    牌："), K::Code, QStringLiteral("cbbPinpai"), 0,
             QStringLiteral("pinpai")},
            {QStringLiteral("F_yanSE"), QStringLiteral("颜    色："), K::Code, QStringLiteral("cbbYanSE"), 0,
             QStringLiteral("yanse")},
            {QStringLiteral("F_caiLiao"), QStringLiteral("材    料："), K::Code, QStringLiteral("cbbCaiLiao"), 0,
             QStringLiteral("cailiao")},
            {QStringLiteral("F_baoZhuang"), QStringLiteral("包    装："), K::Code,
             QStringLiteral("cbbBaoZhuang"), 0, QStringLiteral("baozhuang")},
            {QStringLiteral("F_tiji"), QStringLiteral("体    积："), K::Text, QStringLiteral("edtTiji"), 0, {}},
            {QStringLiteral("F_TMcode"), QStringLiteral("条 型 码："), K::Text, QStringLiteral("edtTMcode"), 0, {}},
            {QStringLiteral("F_other1"), QStringLiteral("其他特性："), K::Text, QStringLiteral("edtOther1"), 0, {}},
            {QStringLiteral("F_other2"), QString(), K::Text, QStringLiteral("edtOther2"), 0, {}},
            {QStringLiteral("F_other3"), QString(), K::Text, QStringLiteral("edtOther3"), 0, {}},
            {QStringLiteral("F_other4"), QString(), K::Text, QStringLiteral("edtOther4"), 0, {}},
            // The remarks are reached by the mouse only.
            {QStringLiteral("F_Memo1"), QStringLiteral("备注信息："), K::Memo, QStringLiteral("Memo1"), 0, {},
             false},
            {QStringLiteral("F_useFlag"), QStringLiteral("停用"), K::UseFlag, QStringLiteral("chkUseFlag"), 0, {}}};
        // clang-format on
        r.typeEditable = true;
        r.editorTitleNew = QStringLiteral("样品档案 - 新增");
        r.editorTitleEdit = QStringLiteral("样品档案 - 修改");
        r.emptyCodeMessage = QStringLiteral("当前样品编号不能为空！");
        r.duplicateCodeMessage = QStringLiteral("样品编号重复，请重新输入！");
        r.deleteQuestion = QStringLiteral("真的要删除当前样品");
        r.reportTemplate = QStringLiteral("frGoodList.frf");
        r.labels = registerLabels("标准样品标签", r.table, r.noun);
        r.exportTitle = QStringLiteral("样品资料");
        return r;
    }();
    return d;
}
