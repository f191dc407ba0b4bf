#include "core/GridLayoutStore.h"

#include "core/DataDm.h"

#include <QSqlQuery>

namespace GridLayoutStore {

QList<GridColumn> load(TdmData &dm, const QString &key, const QList<GridColumn> &builtIn)
{
    QSqlQuery q(dm.database());
    if (!dm.OpenSql(q,
                    QStringLiteral("select F_fieldname, F_Caption, F_Width, F_Visible, "
                                   "F_ReadOnly, F_Alignment, F_DisplayFormat, F_FooterType, "
                                   "F_FooterValue from cfg_Grid where F_name = ? and "
                                   "F_fieldname <> '' order by F_Order"),
                    {key.toLower()}))
        return {};
    QList<GridColumn> columns;
    while (q.next()) {
        GridColumn c;
        c.field = q.value(0).toString();
        c.caption = q.value(1).toString();
        c.width = q.value(2).toInt();
        c.visible = q.value(3).toBool();
        c.readOnly = q.value(4).toBool();
        const int alignment = q.value(5).toInt();
        if (alignment >= GridColumn::Left && alignment <= GridColumn::Right) {
            c.alignment = alignment;
        } else {
            for (const GridColumn &b : builtIn) {
                if (b.field.compare(c.field, Qt::CaseInsensitive) == 0)
                    c.alignment = b.alignment;
            }
        }
        c.displayFormat = q.value(6).toString();
        const int footer = q.value(7).toInt();
        c.footerType = footer == GridColumn::StaticText || footer == GridColumn::Sum
                           ? footer
                           : int(GridColumn::NoFooter);
        c.footerValue = q.value(8).toString();
        columns << c;
    }
    return columns;
}

void save(TdmData &dm, const QString &key, const QList<GridColumn> &columns)
{
    for (int i = 0; i < columns.size(); ++i) {
        const GridColumn &c = columns[i];
        dm.ExecSql(QStringLiteral("update cfg_Grid set F_Caption = ?, F_Width = ?, "
                                  "F_ReadOnly = ?, F_Visible = ?, F_Order = ?, "
                                  "F_Alignment = ?, F_DisplayFormat = ?, F_FooterValue = ?, "
                                  "F_FooterType = ? where F_name = ? and "
                                  "lower(F_fieldname) = lower(?)"),
                   {c.caption, c.width, c.readOnly, c.visible, i, c.alignment, c.displayFormat,
                    c.footerValue, c.footerType, key.toLower(), c.field});
    }
}

} // namespace GridLayoutStore
