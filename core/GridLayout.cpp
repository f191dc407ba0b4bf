#include "core/GridLayout.h"

#include "core/DBGridEh.h"
#include "core/DataDm.h"
#include "core/uFrmDispFieldXz.h"

#include <QSqlQuery>

void LoadGridLayout(DBGridEh *grid, const QString &key)
{
    QSqlQuery q(dmData->database());
    if (!dmData->OpenSql(q,
                         QStringLiteral("select F_fieldname, F_Caption, F_Width, F_Visible, "
                                        "F_ReadOnly, F_Alignment, F_DisplayFormat, F_FooterType, "
                                        "F_FooterValue from cfg_Grid where F_name = ? and "
                                        "F_fieldname <> '' order by F_Order"),
                         {key.toLower()}))
        return;
    const QList<GridColumn> builtIn = grid->columns();
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
            // An unknown code keeps the column's built-in alignment.
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
    if (!columns.isEmpty())
        grid->setColumns(columns);
}

void SaveGridLayout(DBGridEh *grid, const QString &key)
{
    const QList<GridColumn> columns = grid->columns();
    for (int i = 0; i < columns.size(); ++i) {
        const GridColumn &c = columns[i];
        dmData->ExecSql(QStringLiteral("update cfg_Grid set F_Caption = ?, F_Width = ?, "
                                       "F_ReadOnly = ?, F_Visible = ?, F_Order = ?, "
                                       "F_Alignment = ?, F_DisplayFormat = ?, F_FooterValue = ?, "
                                       "F_FooterType = ? where F_name = ? and "
                                       "lower(F_fieldname) = lower(?)"),
                        {c.caption, c.width, c.readOnly, c.visible, i, c.alignment,
                         c.displayFormat, c.footerValue, c.footerType, key.toLower(), c.field});
    }
}

void ChooseColumns(DBGridEh *grid)
{
    const QList<GridColumn> columns = grid->columns();
    QStringList captions;
    QList<bool> visible;
    for (const GridColumn &c : columns) {
        captions << c.caption;
        visible << c.visible;
    }
    TFrmDispFieldXZ chooser(captions, visible, grid->window());
    if (chooser.exec() != QDialog::Accepted)
        return;
    const QStringList result = chooser.result();
    for (int i = 0; i < result.size(); ++i)
        grid->setColumnVisible(i, result[i] != u"0");
}
