#include "app/uFrmMain.h"
#include "core/SqlListModel.h"
#include "maintenance/uFrmDataClear.h"
#include "support/Modal.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>

namespace {

const QStringList kTables = {"GoodMain",  "T_ImageREC",   "T_goods",      "T_client", "T_suppler",
                             "tree:type", "tree:clttype", "tree:suptype", "t_code"};

// One or two rows in every table the window clears.
void fill(TdmData *dm)
{
    const QStringList statements = {
        "insert into GoodMain(F_goodCode, F_goodName, F_editDate) values('A1', '甲', ?)",
        "insert into T_ImageREC(F_mainID, F_fileName, F_fileExt) values(1, 'p', '.jpg')",
        "insert into T_goods(F_Code, F_Name) values('G1', '件')",
        "insert into T_client(F_Code, F_Name) values('K1', '客')",
        "insert into T_suppler(F_Code, F_Name) values('S1', '供')",
        "insert into t_treecode(F_code, F_name, F_likecode, F_flag) values('001', 'a', "
        "'\\\\a', 'type')",
        "insert into t_treecode(F_code, F_name, F_likecode, F_flag) values('001', 'b', "
        "'\\\\b', 'clttype')",
        "insert into t_treecode(F_code, F_name, F_likecode, F_flag) values('001', 'c', "
        "'\\\\c', 'suptype')",
        "insert into t_code(F_Name, F_type) values('华为', 'pinpai')"};
    for (const QString &sql : statements)
        QVERIFY2(dm->ExecSql(sql, sql.contains(u'?') ? QVariantList{QDate::currentDate()}
                                                     : QVariantList{}),
                 qPrintable(sql));
}

// Which of kTables hold rows.
QStringList filled(TdmData *dm)
{
    QStringList names;
    for (const QString &table : kTables) {
        const QString sql = table.startsWith(u"tree:")
                                ? QStringLiteral("select count(*) from t_treecode where F_flag = ?")
                                : QStringLiteral("select count(*) from ") + table;
        const QVariantList values =
            table.startsWith(u"tree:") ? QVariantList{table.mid(5)} : QVariantList{};
        if (dm->GetIntValue(sql, values) > 0)
            names << table;
    }
    return names;
}

QCheckBox *box(QWidget *window, int number)
{
    return window->findChild<QCheckBox *>(QStringLiteral("CheckBox%1").arg(number));
}

void press(QWidget *window, const char *name)
{
    window->findChild<QPushButton *>(QLatin1String(name))->click();
}

const QString kQuestion = QStringLiteral("数据清理，将删除所有列表框所选中的所有数据表的数据，\n"
                                         "建议您在清理之前，备份当前数据，真的要清除当前数据吗？");

} // namespace

// Clearing chosen tables in one step, and the blank-row cleanups.
class TestDataClear : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    // Ticking the sample records ticks what belongs to them; the main window's list follows.
    void sampleRecordsTakeTheirCompanions()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        fill(db.dm());
        TFrmMain main;
        main.show();
        QCOMPARE(main.listModel()->rowCount(), 1);
        QObject scope;
        whenModal<TFrmDataClear>(&scope, [&prompt](TFrmDataClear *window) {
            QCOMPARE(window->windowTitle(), QStringLiteral("数据清理"));
            box(window, 1)->setChecked(true);
            for (int i = 1; i <= 9; ++i)
                QCOMPARE(box(window, i)->isChecked(), i <= 4);
            box(window, 1)->setChecked(false);
            QVERIFY(box(window, 2)->isChecked());
            box(window, 1)->setChecked(true);
            prompt.answer({Prompt::Yes});
            press(window, "Button1");
            // The window stays with its ticks until it is closed.
            QVERIFY(window->isVisible() && box(window, 4)->isChecked());
            press(window, "Button2");
        });
        main.action(504)->trigger();
        QCOMPARE(prompt.texts(), (QStringList{kQuestion, QStringLiteral("数据清理成功！")}));
        QCOMPARE(filled(db.dm()),
                 (QStringList{"T_suppler", "tree:type", "tree:clttype", "tree:suptype", "t_code"}));
        QCOMPARE(main.listModel()->rowCount(), 0);
    }

    void eachTypeTreeAlone_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("gone");
        QTest::newRow("样品类型") << 6 << "tree:type";
        QTest::newRow("客户类型") << 7 << "tree:clttype";
        QTest::newRow("供应商类型") << 8 << "tree:suptype";
    }

    void eachTypeTreeAlone()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(int, number);
        QFETCH(QString, gone);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        fill(db.dm());
        TFrmDataClear window;
        box(&window, number)->setChecked(true);
        prompt.answer({Prompt::Yes});
        press(&window, "Button1");
        QStringList expected = kTables;
        expected.removeOne(gone);
        QCOMPARE(filled(db.dm()), expected);
    }

    void declinedOrFailedChangesNothing()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        fill(db.dm());
        TFrmDataClear window;
        press(&window, "Button3");
        for (int i = 1; i <= 9; ++i)
            QVERIFY(box(&window, i)->isChecked());
        press(&window, "Button1");
        QCOMPARE(filled(db.dm()), kTables);

        // The suppliers refuse to go, after four tables were already emptied.
        const QStringList refuse =
            engine == u"sqlite"
                ? QStringList{QStringLiteral("create trigger refuse before delete on T_suppler "
                                             "begin select raise(abort, 'refused'); end")}
                : QStringList{
                      QStringLiteral("create function refuse() returns trigger language "
                                     "plpgsql as $$ begin raise exception 'refused'; end $$"),
                      QStringLiteral("create trigger refuse before delete on T_suppler "
                                     "for each row execute function refuse()")};
        for (const QString &sql : refuse)
            QVERIFY(db.dm()->ExecSql(sql));
        prompt.clear();
        prompt.answer({Prompt::Yes});
        press(&window, "Button1");
        QCOMPARE(prompt.texts(),
                 (QStringList{kQuestion, QStringLiteral("操作失败，请检查连接...")}));
        QCOMPARE(prompt.shown.last().kind, int(Prompt::Error));
        QCOMPARE(filled(db.dm()), kTables);

        press(&window, "Button4");
        for (int i = 1; i <= 9; ++i)
            QVERIFY(!box(&window, i)->isChecked());
    }

    void blankRows_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("table");
        QTest::newRow("catalogue") << "actClearGoodsBlank"
                                   << "T_goods";
        QTest::newRow("clients") << "actClearClientBlank"
                                 << "T_client";
        QTest::newRow("suppliers") << "actClearSupplerBlank"
                                   << "T_suppler";
    }

    // Rows without code and name go, empty or missing alike; a row with either stays.
    void blankRows()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, command);
        QFETCH(QString, table);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        const QList<QVariantList> rows = {{QString(), QString()},
                                          {QVariant(), QVariant()},
                                          {QString(), QStringLiteral("有名")},
                                          {QStringLiteral("C1"), QString()}};
        for (const QVariantList &row : rows)
            QVERIFY(db.dm()->ExecSql(
                QStringLiteral("insert into %1(F_Code, F_Name) values(?, ?)").arg(table), row));
        TFrmMain main;
        main.findChild<QAction *>(command)->trigger();
        QVERIFY(prompt.shown.isEmpty());
        QCOMPARE(db.dm()->FillCombo(QStringLiteral("select coalesce(F_Name, '') || '/' || "
                                                   "coalesce(F_Code, '') from %1 order by F_ID")
                                        .arg(table)),
                 (QStringList{"有名/", "/C1"}));
    }
};

QTEST_MAIN(TestDataClear)
#include "tst_dataclear.moc"
