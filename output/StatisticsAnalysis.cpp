#include "output/StatisticsAnalysis.h"

#include "spreadsheet/ListReader.h"

#include <algorithm>
#include <numeric>

namespace StatisticsAnalysis {

namespace {

int fieldIndex(const QStringList &fields, const QString &name)
{
    for (int i = 0; i < fields.size(); ++i) {
        if (fields.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString text(const ListValue &v)
{
    switch (v.kind) {
    case ListValue::Text:
        return QString::fromUtf8(v.text, v.size);
    case ListValue::Integer:
    case ListValue::Bool:
        return QString::number(v.integer);
    case ListValue::Real:
        return QString::number(v.real);
    case ListValue::Date:
        return v.date.toString(Qt::ISODate);
    case ListValue::Null:
        break;
    }
    return {};
}

double number(const ListValue &v)
{
    switch (v.kind) {
    case ListValue::Integer:
    case ListValue::Bool:
        return double(v.integer);
    case ListValue::Real:
        return v.real;
    case ListValue::Text:
        return QString::fromUtf8(v.text, v.size).toDouble();
    default:
        return 0;
    }
}

} // namespace

QString chartTitle(const QString &name)
{
    return name + QStringLiteral("/样品统计分析图");
}

QString statementFor(const QString &name, const QString &stored)
{
    if (name == kBuiltInName) {
        return QStringLiteral("select F_goodname as F_name,count(*) as F_num from GoodMain "
                              "group by F_goodname");
    }
    return stored;
}

WorkResult run(const DataSource &source, const QString &sql, QList<Row> *rows)
{
    rows->clear();
    QString statement = sql.trimmed();
    while (statement.endsWith(u';'))
        statement.chop(1);
    if (statement.isEmpty())
        return WorkResult::failed(QStringLiteral("统计语句为空"));
    QString error;
    const std::unique_ptr<ListReader> reader = ListReader::open(source, &error);
    if (!reader)
        return WorkResult::failed(error);
    ListQuery query;
    query.select = statement;
    query.keyColumn.clear();
    if (!reader->start(query, &error))
        return WorkResult::failed(error);
    const int name = fieldIndex(reader->fields(), QStringLiteral("F_name"));
    const int num = fieldIndex(reader->fields(), QStringLiteral("F_num"));
    if (name < 0 || num < 0)
        return WorkResult::failed(QStringLiteral("统计语句的结果须有 F_name 和 F_num 两列"));
    while (reader->next())
        rows->append({text(reader->value(name)), number(reader->value(num))});
    if (!reader->error().isEmpty()) {
        rows->clear();
        return WorkResult::failed(reader->error());
    }
    return WorkResult::done();
}

QList<Slice> pieSlices(const QList<Row> &rows, int maxSlices)
{
    QList<Row> positive;
    for (const Row &row : rows) {
        if (row.num > 0)
            positive << row;
    }
    std::stable_sort(positive.begin(), positive.end(),
                     [](const Row &a, const Row &b) { return a.num > b.num; });
    const double total = std::accumulate(positive.cbegin(), positive.cend(), 0.0,
                                         [](double sum, const Row &row) { return sum + row.num; });
    const auto slice = [total](const QString &name, double value) {
        const QString label = name.isEmpty() ? QStringLiteral("（空）") : name;
        return Slice{label + QStringLiteral(" %1%").arg(value * 100 / total, 0, 'f', 1), value};
    };
    const qsizetype shown = positive.size() > maxSlices ? maxSlices - 1 : positive.size();
    QList<Slice> slices;
    for (qsizetype i = 0; i < shown; ++i)
        slices << slice(positive.at(i).name, positive.at(i).num);
    if (shown < positive.size()) {
        double rest = 0;
        for (qsizetype i = shown; i < positive.size(); ++i)
            rest += positive.at(i).num;
        slices << slice(QStringLiteral("其他"), rest);
    }
    return slices;
}

} // namespace StatisticsAnalysis
