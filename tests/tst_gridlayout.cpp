#include "core/RecordList.h"
#include "core/SqlListModel.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"
#include "widgets/DBGridEh.h"
#include "widgets/GridLayout.h"
#include "widgets/uFrmDispFieldXz.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

QList<GridColumn> builtIn()
{
    QList<GridColumn> columns;
    for (const char *field : {"F_goodcode", "F_goodname", "F_spec", "F_cgPrice"}) {
        GridColumn c;
        c.field = QString::fromLatin1(field);
        c.caption = c.field.mid(2);
        c.alignment = c.field == u"F_cgPrice" ? GridColumn::Right : GridColumn::Left;
        columns << c;
    }
    return columns;
}

QStringList fields(const DBGridEh &grid)
{
    QStringList list;
    for (const GridColumn &c : grid.columns())
        list << c.field;
    return list;
}

} // namespace

// Saved grid layouts, the column chooser and the footer of the shared list grid.
class TestGridLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void savedLayoutComesBack()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        DBGridEh grid;
        grid.setColumns(builtIn());
        LoadGridLayout(&grid, QStringLiteral("revazezmain"));
        QCOMPARE(grid.columns().size(), 24);
        grid.moveColumn(2, 0);
        grid.setColumnVisible(1, false);
        QList<GridColumn> before = grid.columns();
        SaveGridLayout(&grid, QStringLiteral("RevazezMain"));
        QVERIFY(prompt.shown.isEmpty());

        DBGridEh again;
        again.setColumns(builtIn());
        LoadGridLayout(&again, QStringLiteral("revazezmain"));
        QCOMPARE(fields(again), fields(grid));
        QCOMPARE(again.columns().first().field, QStringLiteral("F_spec"));
        QCOMPARE(again.columns().at(1).visible, false);
        QCOMPARE(again.columns().at(0).visible, true);
    }

    void unknownKeyAndAlignmentKeepBuiltIns()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        DBGridEh grid;
        grid.setColumns(builtIn());
        LoadGridLayout(&grid, QStringLiteral("nosuchkey"));
        const QStringList builtInFields{"F_goodcode", "F_goodname", "F_spec", "F_cgPrice"};
        QCOMPARE(fields(grid), builtInFields);
        SaveGridLayout(&grid, QStringLiteral("nosuchkey"));
        QCOMPARE(db.dm()->GetIntValue(
                     QStringLiteral("select count(*) from cfg_Grid where F_name = 'nosuchkey'")),
                 0);

        QVERIFY(
            db.dm()->ExecSql(QStringLiteral("insert into cfg_Grid(F_name, F_fieldname, F_Caption, "
                                            "F_Width, F_Visible, F_Alignment, F_Order) "
                                            "values('k', 'F_cgPrice', 'P''s', 50, true, 5, 0)")));
        LoadGridLayout(&grid, QStringLiteral("k"));
        QCOMPARE(grid.columns().size(), 1);
        QCOMPARE(grid.columns().first().alignment, int(GridColumn::Right));
        // A caption with a quote is stored like any other text.
        SaveGridLayout(&grid, QStringLiteral("k"));
        QCOMPARE(db.dm()->GetStrValue(
                     QStringLiteral("select F_Caption from cfg_Grid where F_name = 'k'")),
                 QStringLiteral("P's"));
    }

    void chooserAppliesOnlyOnOk()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        DBGridEh grid;
        grid.setColumns(builtIn());
        const auto answer = [](bool ok) {
            QTimer::singleShot(0, [ok] {
                auto *chooser = qobject_cast<TFrmDispFieldXZ *>(QApplication::activeModalWidget());
                QVERIFY(chooser);
                QCOMPARE(chooser->windowTitle(), QStringLiteral("字段列表"));
                chooser->findChild<QListWidget *>()->item(1)->setCheckState(Qt::Unchecked);
                chooser
                    ->findChild<QPushButton *>(ok ? QStringLiteral("btnOK")
                                                  : QStringLiteral("btnCancel"))
                    ->click();
            });
        };
        answer(false);
        ChooseColumns(&grid);
        QVERIFY(grid.columns().at(1).visible);
        answer(true);
        ChooseColumns(&grid);
        QVERIFY(!grid.columns().at(1).visible);
        QVERIFY(grid.columns().at(0).visible);
    }

    // Rows are read in pages; the footer sums every row of the list, not the rows read.
    void pagesAndFooterSumCoverTheWholeList()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        for (int i = 1; i <= 450; ++i)
            QVERIFY(db.dm()->ExecSql(QStringLiteral("insert into GoodMain(F_goodCode, F_cgPrice, "
                                                    "F_cgType) values(?, ?, '人民币')"),
                                     {QStringLiteral("G%1").arg(i, 3, 10, QLatin1Char('0')), 1.5}));
        RecordList records;
        SqlListModel &list = *records.model();
        DBGridEh grid;
        QList<GridColumn> columns = builtIn();
        columns[3].footerType = GridColumn::Sum;
        columns[3].displayFormat = QStringLiteral("0.00");
        columns[0].footerType = GridColumn::StaticText;
        columns[0].footerValue = QStringLiteral("合计");
        grid.setColumns(columns);
        grid.setList(&records);
        QVERIFY(list.setQuery(db.dm()->database(),
                              QStringLiteral("select * from GoodMain where F_cgPrice > ?"), {1.0},
                              QStringLiteral("order by F_goodCode desc")));
        QCOMPARE(list.rowCount(), 450);
        QCOMPARE(list.value(0, QStringLiteral("f_goodcode")).toString(), QStringLiteral("G450"));
        QCOMPARE(list.value(449, QStringLiteral("F_GOODCODE")).toString(), QStringLiteral("G001"));
        QCOMPARE(list.value(250, QStringLiteral("F_goodCode")).toString(), QStringLiteral("G200"));
        QCOMPARE(grid.footerText(3), QStringLiteral("675.00"));
        QCOMPARE(grid.footerText(0), QStringLiteral("合计(人民币)"));
        QCOMPARE(grid.currentRow(), 0);

        QVERIFY(
            !list.setQuery(db.dm()->database(), QStringLiteral("select * from NoSuchTable"), {}));
        QCOMPARE(list.rowCount(), 0);
        QVERIFY(!list.lastError().isEmpty());
    }
};

QTEST_MAIN(TestGridLayout)
#include "tst_gridlayout.moc"
