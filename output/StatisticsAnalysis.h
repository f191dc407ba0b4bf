#pragma once

#include "core/DataSource.h"
#include "core/Work.h"

#include <QList>
#include <QString>

// The analyses of the register kept in cfg_stat: each a named statement whose rows are a
// group label F_name and its count F_num, shown as a pie and as a list.
namespace StatisticsAnalysis {

// This analysis always counts the samples of each name, whatever its stored statement says.
inline const QString kBuiltInName = QStringLiteral("样品名称");
// What the chart says of the analysis `name`.
QString chartTitle(const QString &name);

struct Row
{
    QString name;
    double num = 0;
};

struct Slice
{
    QString label; // the group and its share, "品牌A 12.5%"
    double value = 0;
};

// The statement the analysis `name` runs, given its stored one.
QString statementFor(const QString &name, const QString &stored);
// Runs `sql` on a connection of its own, so it may run off the window's thread; its groups in
// `rows`, none when it failed.
WorkResult run(const DataSource &source, const QString &sql, QList<Row> *rows);
// The pie of `rows`: the largest groups in falling order and, beyond `maxSlices`, the rest as
// one slice "其他", so that a pie of thousands of groups stays readable. Groups of no positive
// count have no slice.
QList<Slice> pieSlices(const QList<Row> &rows, int maxSlices = 15);

} // namespace StatisticsAnalysis
