#include "register/SampleFields.h"

const QList<SampleField> &sampleFields()
{
    using K = SampleField::Kind;
    constexpr auto SW = SqlFilter::Match::StartsWith;
    constexpr auto C = SqlFilter::Match::Contains;
    const std::optional<SqlFilter::Match> none;
    const QString date = QStringLiteral("yyyy-MM-dd");
    const QString price = QStringLiteral("0.00");
    const auto s = [](const char *text) { return QString::fromUtf8(text); };
    // clang-format off
    static const QList<SampleField> fields = {
        {s("F_goodCode"), s("样品编号"), s("样品编号："), K::Text, {}, s("edtGoodcode"), {}, SW, s("f_code")},
        {s("F_goodName"), s("样品名称"), s("样品名称："), K::Text, {}, s("edtGoodName"), {}, C, s("f_name")},
        {s("F_spec"), s("规格型号"), s("规格型号："), K::Text, {}, s("edtSpec"), {}, SW, s("f_spec")},
        {s("F_type"), s("样品类型"), s("样品类型："), K::Text, {}, s("edtType"), {}, C, s("f_type")},
        {s("F_pinPai"), s("品牌"), s("品    牌："), K::Code, s("pinpai"), s("cbbPinpai"), {}, SW, s("f_pinpai")},
        {s("F_yanSE"), s("颜色"), s("颜    色："), K::Code, s("yanse"), s("cbbYanSE"), {}, SW, s("f_yanse")},
        {s("F_caiLiao"), s("材料"), s("材    料："), K::Code, s("cailiao"), s("cbbCaiLiao"), {}, C, s("f_cailiao")},
        {s("F_baoZhuang"), s("包装"), s("包    装："), K::Code, s("baozhuang"), s("cbbBaoZhuang"), {}, SW, s("f_baozhuang")},
        {s("F_tiji"), s("体积"), s("体    积："), K::Text, {}, s("edtTiji"), {}, C, s("f_tiji")},
        {s("F_TMcode"), s("条型码"), s("条 型 码："), K::Text, {}, s("edtTMcode"), {}, C, s("f_tmcode")},
        {s("F_depotPos"), s("仓库位置"), s("仓库位置："), K::Text, {}, s("edtDepotPos"), {}, C, {}},
        {s("F_huoJia"), s("货架"), s("货    架："), K::Text, {}, s("edtHuoJia"), {}, C, {}},
        {s("F_other1"), s("其他特性"), s("其他特性："), K::Text, {}, s("edtOther1"), {}, C, s("f_other1")},
        {s("F_other2"), s("其他特性"), s("其他特性："), K::Text, {}, s("edtOther2"), {}, C, s("f_other2")},
        {s("F_other3"), s("其他特性"), s("其他特性："), K::Text, {}, s("edtOther3"), {}, C, s("f_other3")},
        {s("F_other4"), s("其他特性"), s("其他特性："), K::Text, {}, s("edtOther4"), {}, C, s("f_other4")},
        {s("F_amount"), s("数量"), s("数    量："), K::Number, {}, s("rceAmount"), s("0.###"), none, {}},
        {s("F_unit"), s("单位"), s("单    位："), K::Code, s("unit"), s("cbbUnit"), {}, none, {}},
        {s("F_BMjibie"), s("保密级别"), s("保密级别："), K::Code, {}, s("cbbBMjibie"), {}, none, {}},
        {s("F_EmpName"), s("业务员"), s("业 务 员："), K::Code, s("empname"), s("cbbEmpName"), {}, none, {}},
        {s("F_CGdate"), s("采购日期"), s("采购日期："), K::Date, {}, s("dtpCGdate"), date, none, {}},
        {s("F_CGsuppler"), s("供应商"), s("供 应 商："), K::Text, {}, s("edtCGsuppler"), {}, none, {}},
        {s("F_CGunit"), s("计价单位"), s("计价单位："), K::Code, s("unit"), s("cbbCGunit"), {}, none, {}},
        {s("F_CGprice"), s("采购单价"), s("采购价格："), K::Number, {}, s("ceCGprice"), price, none, {}},
        {s("F_CGtype"), s("币种"), s("币    种："), K::Code, s("rate"), s("cbbCGtype"), {}, none, {}},
        {s("F_XSdate"), s("销售日期"), s("销售日期："), K::Date, {}, s("dtpXsDate"), date, none, {}},
        {s("F_XSclient"), s("客户"), s("客    户："), K::Text, {}, s("edtXSclient"), {}, none, {}},
        {s("F_XSunit1"), s("计价单位"), s("计价单位："), K::Code, s("unit"), s("cbbXSunit1"), {}, none, {}},
        {s("F_XSprice1"), s("销售单价"), s("销售价格："), K::Number, {}, s("ceXSprice1"), price, none, {}},
        {s("F_XStype1"), s("币种"), s("币    种："), K::Code, s("rate"), s("cbbXStype1"), {}, none, {}},
        {s("F_XSunit2"), s("计价单位"), s("计价单位："), K::Code, s("unit"), s("cbbXSunit2"), {}, none, {}},
        {s("F_XSprice2"), s("销售单价"), s("销售价格："), K::Number, {}, s("ceXSprice2"), price, none, {}},
        {s("F_XStype2"), s("币种"), s("币    种："), K::Code, s("rate"), s("cbbXStype2"), {}, none, {}},
        {s("F_memo1"), s("备注"), s("备注信息："), K::Memo, {}, s("Memo1"), {}, C, {}},
        {s("F_editDate"), s("编辑日期"), s("编辑日期："), K::EditDate, {}, s("dtpeditdate"), date, none, {}},
    };
    // clang-format on
    return fields;
}

const SampleField *sampleField(const QString &column)
{
    for (const SampleField &field : sampleFields()) {
        if (field.column.compare(column, Qt::CaseInsensitive) == 0)
            return &field;
    }
    return nullptr;
}

QString sampleCaption(const QString &column)
{
    const SampleField *field = sampleField(column);
    return field ? field->caption : column;
}
