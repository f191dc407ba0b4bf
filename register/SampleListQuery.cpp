#include "register/SampleListQuery.h"

#include "core/Money.h"
#include "masterdata/TreeCode.h"

namespace SampleListQuery {

namespace {

struct SearchField
{
    const char *caption;
    QStringList columns;
    SqlFilter::Match match;
};

const QList<SearchField> &searchFields()
{
    using M = SqlFilter::Match;
    static const QList<SearchField> fields = {
        {"样品编号", {QStringLiteral("F_goodCode")}, M::StartsWith},
        {"样品名称", {QStringLiteral("F_goodName")}, M::Contains},
        {"规格型号", {QStringLiteral("F_spec")}, M::Contains},
        {"体积", {QStringLiteral("F_tiji")}, M::StartsWith},
        {"仓库位置", {QStringLiteral("F_depotPos")}, M::StartsWith},
        {"货架", {QStringLiteral("F_huoJia")}, M::StartsWith},
        {"其他特性",
         {QStringLiteral("F_other1"), QStringLiteral("F_other2"), QStringLiteral("F_other3"),
          QStringLiteral("F_other4")},
         M::StartsWith},
        {"供 应 商", {QStringLiteral("F_CGsuppler")}, M::Contains},
        {"客    户", {QStringLiteral("F_XSclient")}, M::Contains},
        {"备注信息", {QStringLiteral("F_Memo1")}, M::Contains},
        {"条型码", {QStringLiteral("F_TMcode")}, M::StartsWith},
    };
    return fields;
}

struct ListType
{
    const char *caption;
    const char *column;
    const char *kind;
    const char *title;
};

const ListType kListTypes[] = {
    {"0 = 品    牌", "F_pinPai", "pinpai", "品    牌"},
    {"1 = 颜    色", "F_yanSE", "yanse", "颜    色"},
    {"2 = 材    料", "F_caiLiao", "cailiao", "材    料"},
    {"3 = 包    装", "F_baoZhuang", "baozhuang", "包    装"},
    {"4 = 单    位", "F_unit", "unit", "单    位"},
    {"5 = 保密级别", "F_BMjibie", "", "保密级别"},
    {"6 = 业 务 员", "F_EmpName", "empname", "业 务 员"},
};

} // namespace

QStringList searchFieldCaptions()
{
    QStringList captions;
    for (const SearchField &f : searchFields())
        captions << QString::fromUtf8(f.caption);
    return captions;
}

bool isScanField(int searchField)
{
    if (searchField < 0 || searchField >= searchFields().size())
        return false;
    const QStringList &columns = searchFields().at(searchField).columns;
    return columns == QStringList{QStringLiteral("F_goodCode")} ||
           columns == QStringList{QStringLiteral("F_TMcode")};
}

QStringList listTypeCaptions()
{
    QStringList captions;
    for (const ListType &t : kListTypes)
        captions << QString::fromUtf8(t.caption);
    return captions;
}

QString listTypeKind(int listType)
{
    return QString::fromLatin1(kListTypes[listType].kind);
}

QString listTypeTitle(int listType)
{
    return QString::fromUtf8(kListTypes[listType].title);
}

QStringList secrecyLevels()
{
    return {QStringLiteral("高"), QStringLiteral("中"), QStringLiteral("低")};
}

SqlFilter filter(const SampleListCriteria &c, const SqlDialect &dialect)
{
    SqlFilter f(dialect, QStringLiteral("GoodMain"));
    if (c.searchField >= 0 && c.searchField < searchFields().size()) {
        const SearchField &field = searchFields().at(c.searchField);
        const QString v = c.value.trimmed();
        if (field.columns.size() == 1 && c.pinyin)
            f.addNameLike(field.columns.first(), v, field.match);
        else if (field.columns.size() == 1)
            f.addLike(field.columns.first(), v, field.match);
        else
            f.addLikeAny(field.columns, v, field.match);
    }
    addTypeFilter(f, QStringLiteral("F_type"), c.typeLikeCode);
    if (!c.listValue.isEmpty())
        f.add(QString::fromLatin1(kListTypes[c.listType].column) + QStringLiteral(" = ?"),
              {c.listValue});
    // Last: a scan then reads the edit date, far back in the row, only of rows the search kept
    // (half the processor time of a one-character search over the whole register).
    f.addDateRange(QStringLiteral("F_editDate"), c.from, c.to);
    return f;
}

SampleListStatements build(const SampleListCriteria &criteria, const SqlDialect &dialect)
{
    return build(filter(criteria, dialect));
}

SampleListStatements build(const SqlFilter &f)
{
    const QString where = f.where();
    // Prices sum in 人民币; F_norate counts those left out for want of a rate.
    const QString table = QStringLiteral("GoodMain");
    QString sums;
    QString joins;
    QStringList leftOut;
    for (const QString &column : Money::priceColumns()) {
        const QString join = QStringLiteral("rates_") + column;
        joins += Money::Sql::rateJoin(table, Money::currencyColumnOf(column), join);
        sums += QStringLiteral("sum(%1) as %2,")
                    .arg(Money::Sql::homeAmount(table, column, join), column);
        leftOut << Money::Sql::leftOut(table, column, join);
    }
    sums += QStringLiteral("sum(%1) as F_norate,sum(F_amount) as F_amount from GoodMain")
                .arg(leftOut.join(u'+')) +
            joins + u' ';
    const QString with = Money::Sql::withRates();
    SampleListStatements s;
    s.listSql = QStringLiteral("select * from GoodMain ") + where;
    s.byClientSql = with + QStringLiteral("select F_XSclient,'' as F_CGsuppler,'' as F_type,") +
                    sums + where + QStringLiteral(" group by F_XSclient");
    s.bySupplierSql = with + QStringLiteral("select F_CGsuppler,'' as F_XSclient,'' as F_type,") +
                      sums + where + QStringLiteral(" group by F_CGsuppler");
    s.byTypeSql = with + QStringLiteral("select F_type,'' as F_CGsuppler,'' as F_XSclient,") +
                  sums + where + QStringLiteral(" group by F_type");
    s.values = f.values();
    s.plainScan = {table, f.plainWhere(), f.plainValues()};
    return s;
}

} // namespace SampleListQuery
