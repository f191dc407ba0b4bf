#include "core/DemoData.h"

#include "core/DataDm.h"
#include "core/Pinyin.h"
#include "core/Transaction.h"

#include <QDate>
#include <QHash>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>

namespace DemoData {

namespace {

const QStringList kBrands = {"华为", "美的", "格力", "海尔", "联想",   "小米",   "正泰", "德力西",
                             "公牛", "福耀", "三一", "九阳", "飞利浦", "西门子", "博世", "松下"};
const QStringList kColours = {"红色", "蓝色", "黑色", "白色",   "银灰", "金色",
                              "绿色", "黄色", "透明", "咖啡色", "橙色", "紫色"};
const QStringList kMaterials = {"不锈钢", "铝合金", "碳钢",   "黄铜", "ABS塑料",  "尼龙", "橡胶",
                                "玻璃",   "陶瓷",   "牛皮纸", "纯棉", "聚酯纤维", "硅胶", "实木"};
const QStringList kPackings = {"纸箱", "木箱", "塑料袋", "泡沫盒",
                               "吸塑", "托盘", "彩盒",   "编织袋"};
const QStringList kUnits = {"个", "件", "套", "箱", "米", "千克", "卷", "对", "包", "张"};
const QStringList kSales = {"张伟", "王芳", "李娜", "刘洋", "陈静", "杨磊", "赵敏", "黄强"};
const QStringList kPlaces = {"深圳", "东莞", "广州", "佛山", "宁波", "温州", "苏州", "无锡",
                             "厦门", "青岛", "天津", "义乌", "中山", "惠州", "昆山", "台州"};
const QStringList kTrades = {"电子", "五金", "塑胶", "包装", "纺织", "机电",
                             "家居", "灯饰", "精密", "模具", "贸易", "实业"};
const QStringList kWords = {"华", "盛", "达", "鑫", "源", "泰", "宏", "远", "恒", "通",
                            "利", "兴", "嘉", "信", "隆", "昌", "丰", "德", "美", "新"};

// Sample types: first level, second level, and the third level under each second.
const QList<QPair<QString, QList<QPair<QString, QStringList>>>> kTypes = {
    {"五金",
     {{"螺丝", {"自攻螺丝", "机械螺丝", "膨胀螺丝"}},
      {"轴承", {"深沟球轴承", "圆锥滚子轴承", "滚针轴承"}},
      {"弹簧", {"压缩弹簧", "拉伸弹簧"}}}},
    {"电子元件",
     {{"连接器", {"端子", "排针", "USB插座"}},
      {"开关", {"按键开关", "拨动开关", "微动开关"}},
      {"电阻", {"贴片电阻", "绕线电阻"}}}},
    {"塑料制品", {{"外壳", {"仪表外壳", "电源外壳"}}, {"容器", {"收纳盒", "密封罐", "水杯"}}}},
    {"纺织品", {{"面料", {"帆布", "牛津布", "雪纺"}}, {"辅料", {"拉链", "纽扣", "织带"}}}},
    {"包装材料", {{"纸品", {"瓦楞纸箱", "礼品盒"}}, {"薄膜", {"缠绕膜", "气泡膜"}}}},
};

QString code3(int n)
{
    return QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
}

class Filler
{
public:
    Filler(TdmData &dm, QString *error) : m_dm(dm), m_error(error), m_random(20261210) {}

    bool exec(const QString &sql, const QVariantList &values = {})
    {
        QSqlQuery q(m_dm.database());
        if (!q.prepare(sql)) {
            *m_error = q.lastError().text();
            return false;
        }
        for (const QVariant &v : values)
            q.addBindValue(v);
        if (!q.exec()) {
            *m_error = q.lastError().text();
            return false;
        }
        return true;
    }

    const QString &pick(const QStringList &list)
    {
        return list.at(m_random.bounded(int(list.size())));
    }
    int between(int low, int high) { return low + int(m_random.bounded(high - low + 1)); }
    double price(double low, double high)
    {
        return std::round((low + m_random.generateDouble() * (high - low)) * 100) / 100;
    }

    bool isEmpty(const QString &table)
    {
        QSqlQuery q(m_dm.database());
        return q.exec(QStringLiteral("select count(*) from %1").arg(table)) && q.next() &&
               q.value(0).toInt() == 0;
    }

    bool codeLists()
    {
        const QList<QPair<QString, QStringList>> lists = {
            {"pinpai", kBrands},      {"yanse", kColours}, {"cailiao", kMaterials},
            {"baozhuang", kPackings}, {"unit", kUnits},    {"empname", kSales}};
        for (const auto &[kind, names] : lists) {
            for (const QString &name : names) {
                if (!exec(QStringLiteral("insert into t_code(F_Name, F_type) values(?, ?)"),
                          {name, kind}))
                    return false;
            }
        }
        return true;
    }

    bool tree(const QString &flag,
              const QList<QPair<QString, QList<QPair<QString, QStringList>>>> &nodes)
    {
        const QString insert =
            QStringLiteral("insert into t_treecode(F_code, F_name, F_namePY, F_likecode, F_flag) "
                           "values(?, ?, ?, ?, ?)");
        for (int a = 0; a < nodes.size(); ++a) {
            const QString codeA = code3(a + 1);
            const QString pathA = QStringLiteral("\\\\") + nodes[a].first;
            if (!exec(insert, {codeA, nodes[a].first, keyOf(nodes[a].first), pathA, flag}))
                return false;
            if (flag == u"type")
                m_leafPaths << pathA;
            for (int b = 0; b < nodes[a].second.size(); ++b) {
                const auto &[nameB, leaves] = nodes[a].second[b];
                const QString codeB = codeA + code3(b + 1);
                const QString pathB = pathA + u'\\' + nameB;
                if (!exec(insert, {codeB, nameB, keyOf(nameB), pathB, flag}))
                    return false;
                for (int c = 0; c < leaves.size(); ++c) {
                    const QString pathC = pathB + u'\\' + leaves[c];
                    if (!exec(insert,
                              {codeB + code3(c + 1), leaves[c], keyOf(leaves[c]), pathC, flag}))
                        return false;
                    if (flag == u"type")
                        m_leafPaths << pathC;
                }
            }
        }
        return true;
    }

    bool partners(const QString &table, const QString &flag, int count, QStringList *names)
    {
        const QList<QPair<QString, QList<QPair<QString, QStringList>>>> kinds = {
            {"华南", {{"广东", {}}, {"福建", {}}}},
            {"华东", {{"浙江", {}}, {"江苏", {}}}},
            {"华北", {{"山东", {}}, {"天津", {}}}}};
        if (!tree(flag, kinds))
            return false;
        for (int i = 0; i < count; ++i) {
            const QString name = pick(kPlaces) + QStringLiteral("市") + pick(kWords) +
                                 pick(kWords) + pick(kTrades) + QStringLiteral("有限公司");
            const auto &region = kinds.at(between(0, int(kinds.size()) - 1));
            const QString type = QStringLiteral("\\\\") + region.first + u'\\' +
                                 region.second.at(between(0, 1)).first;
            *names << name;
            if (!exec(QStringLiteral("insert into %1(F_Code, F_Name, F_NamePY, F_Type, F_LinkMan, "
                                     "F_Phone, F_handPhone, F_Address, F_useFlag) "
                                     "values(?, ?, ?, ?, ?, ?, ?, ?, ?)")
                          .arg(table),
                      {QStringLiteral("%1%2")
                           .arg(flag == u"clttype" ? u'C' : u'S')
                           .arg(i + 1, 4, 10, QLatin1Char('0')),
                       name, keyOf(name), type, pick(kSales).left(1) + QStringLiteral("经理"),
                       QStringLiteral("0755-%1").arg(between(20000000, 89999999)),
                       QStringLiteral("13%1").arg(between(100000000, 999999999)),
                       pick(kPlaces) + QStringLiteral("市工业区%1号").arg(between(1, 300)),
                       i % 25 == 24}))
                return false;
        }
        return true;
    }

    // Standard samples of the catalogue, one or two for each type.
    bool catalogue(int count)
    {
        for (int i = 0; i < count; ++i) {
            const QString path = m_leafPaths.at(i % m_leafPaths.size());
            const QString material = pick(kMaterials);
            const QString name = material + path.section(u'\\', -1);
            if (!exec(
                    QStringLiteral("insert into T_goods(F_Code, F_Name, F_NamePY, F_spec, F_Type, "
                                   "F_pinPai, F_yanSE, F_caiLiao, F_baoZhuang, F_tiji, "
                                   "F_TMcode, F_useFlag) "
                                   "values(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                    {QStringLiteral("BZ%1").arg(i + 1, 4, 10, QLatin1Char('0')), name, keyOf(name),
                     QStringLiteral("%1-%2").arg(QChar(u'A' + between(0, 25))).arg(between(2, 80)),
                     path, pick(kBrands), pick(kColours), material, pick(kPackings),
                     QStringLiteral("%1×%2×%3cm")
                         .arg(between(1, 60))
                         .arg(between(1, 60))
                         .arg(between(1, 60)),
                     QStringLiteral("69%1").arg(between(100000000, 999999999)), i % 25 == 24}))
                return false;
        }
        return true;
    }

    bool masterData()
    {
        if (!isEmpty(QStringLiteral("t_treecode"))) {
            QSqlQuery q(m_dm.database());
            q.exec(QStringLiteral("select F_likecode from t_treecode where F_flag = 'type'"));
            while (q.next())
                m_leafPaths << q.value(0).toString();
            q.exec(QStringLiteral("select F_Name from T_client"));
            while (q.next())
                m_clients << q.value(0).toString();
            q.exec(QStringLiteral("select F_Name from T_suppler"));
            while (q.next())
                m_suppliers << q.value(0).toString();
            return !m_leafPaths.isEmpty() && !m_clients.isEmpty() && !m_suppliers.isEmpty();
        }
        return codeLists() && tree(QStringLiteral("type"), kTypes) &&
               partners(QStringLiteral("T_client"), QStringLiteral("clttype"), 300, &m_clients) &&
               partners(QStringLiteral("T_suppler"), QStringLiteral("suptype"), 200,
                        &m_suppliers) &&
               catalogue(int(m_leafPaths.size()) * 2);
    }

    bool samples(int count, const std::function<void(int)> &progress)
    {
        QSqlQuery q(m_dm.database());
        q.prepare(QStringLiteral(
            "insert into GoodMain(F_cltID, F_goodCode, F_goodName, F_TMcode, F_BMjibie, F_spec, "
            "F_type, F_pinPai, F_yanSE, F_caiLiao, F_tiji, F_baoZhuang, F_depotPos, F_huoJia, "
            "F_amount, F_unit, F_other1, F_other2, F_other3, F_other4, F_Memo1, F_CGdate, "
            "F_CGsuppler, F_CGunit, F_CGprice, F_CGtype, F_XSdate, F_XSclient, F_XSunit1, "
            "F_XSprice1, F_XStype1, F_XSunit2, F_XSprice2, F_XStype2, F_editDate, F_EmpName, "
            "F_useFlag, F_goodNamePY, F_CGsupplerPY, F_XSclientPY) values(0, ?, ?, ?, ?, ?, ?, ?, "
            "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
            "?, "
            "?, ?, ?)"));
        const QStringList currencies = {"人民币", "人民币", "人民币", "美元",
                                        "美元",   "欧元",   "港币",   "日元"};
        const QStringList secrecy = {"", "", "低", "中", "高"};
        const QStringList remarks = {"",           "",       "",     "客户指定",
                                     "样品待确认", "已寄样", "加急", "环保要求"};
        const QDate today = QDate::currentDate();
        int offset = 0;
        {
            QSqlQuery max(m_dm.database());
            if (max.exec(QStringLiteral("select count(*) from GoodMain")) && max.next())
                offset = max.value(0).toInt();
        }
        for (int i = 0; i < count; ++i) {
            const int n = offset + i + 1;
            const int leaf = between(0, int(m_leafPaths.size()) - 1);
            const QString path = m_leafPaths.at(leaf);
            const QString leafName = path.section(u'\\', -1);
            const QString material = pick(kMaterials);
            const QDate edited = today.addDays(-between(0, 3 * 365));
            const QDate bought = edited.addDays(-between(0, 60));
            const bool quoted = between(0, 3) > 0;
            const double cost = price(0.5, 500);
            const QString unit = pick(kUnits);
            QVariantList values = {
                QStringLiteral("YP%1").arg(n, 7, 10, QLatin1Char('0')),
                material + leafName,
                QStringLiteral("69%1").arg(qint64(between(100000000, 999999999)) * 100 + n % 100),
                pick(secrecy),
                QStringLiteral("%1-%2×%3")
                    .arg(QChar(u'A' + between(0, 25)))
                    .arg(between(2, 80))
                    .arg(between(5, 200)),
                path,
                pick(kBrands),
                pick(kColours),
                material,
                QStringLiteral("%1×%2×%3cm")
                    .arg(between(1, 60))
                    .arg(between(1, 60))
                    .arg(between(1, 60)),
                pick(kPackings),
                QStringLiteral("%1区%2排").arg(QChar(u'A' + between(0, 5))).arg(between(1, 30)),
                QStringLiteral("%1-%2").arg(between(1, 20)).arg(between(1, 8)),
                double(between(1, 500)),
                unit,
                pick(kColours),
                pick(kMaterials),
                QString(),
                QString(),
                pick(remarks),
                bought,
                pick(m_suppliers),
                unit,
                cost,
                pick(currencies),
                quoted ? edited.addDays(between(0, 30)) : QDate(1900, 8, 14),
                quoted ? pick(m_clients) : QString(),
                unit,
                quoted ? std::round(cost * (120 + between(0, 60))) / 100.0 : 0.0,
                quoted ? pick(currencies) : QString(),
                QString(),
                0.0,
                QString(),
                edited,
                pick(kSales),
                false};
            for (const int name : {1, 21, 26})
                values << keyOf(values.at(name).toString());
            for (int v = 0; v < values.size(); ++v)
                q.bindValue(v, values[v]);
            if (!q.exec()) {
                *m_error = q.lastError().text();
                return false;
            }
            if (progress && (i + 1) % 10000 == 0)
                progress(i + 1);
        }
        // Every record is its own group: its group number is its key.
        return exec(QStringLiteral("update GoodMain set F_cltID = F_ID where F_cltID = 0"));
    }

private:
    // Names repeat: each is keyed once.
    QString keyOf(const QString &name)
    {
        auto known = m_keys.find(name);
        if (known == m_keys.end())
            known = m_keys.insert(name, Pinyin::key(name));
        return *known;
    }

    TdmData &m_dm;
    QString *m_error;
    QHash<QString, QString> m_keys;
    QRandomGenerator m_random;
    QStringList m_leafPaths;
    QStringList m_clients;
    QStringList m_suppliers;
};

} // namespace

bool fill(TdmData &dm, int count, QString *error, const std::function<void(int)> &progress)
{
    Transaction tx(dm.database());
    if (!tx.began(error))
        return false;
    Filler filler(dm, error);
    if (!filler.masterData() || !filler.samples(count, progress))
        return false;
    return tx.commit(error);
}

} // namespace DemoData
