#include "app/uFrmMain.h"
#include "core/SqlListModel.h"
#include "masterdata/TreeCodeView.h"
#include "masterdata/uFrmTreeCodeMan.h"
#include "register/SampleList.h"
#include "register/uDLGrevazezCX.h"
#include "support/Modal.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"
#include "widgets/DateBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

using Row = QList<QPair<const char *, QVariant>>;

const QDate kNoDate{1900, 8, 14};

// Each text criterion is met by A100; XA1 contains most of the same texts but does not start
// with them; the last two carry the characters a like pattern would otherwise swallow.
const QList<Row> kTextRows = {
    {{"F_goodCode", "A100"},
     {"F_goodName", "螺丝A1"},
     {"F_spec", "M3x10"},
     {"F_type", "\\\\金属\\螺丝"},
     {"F_pinPai", "华为"},
     {"F_yanSE", "红色"},
     {"F_caiLiao", "不锈钢"},
     {"F_baoZhuang", "纸盒"},
     {"F_tiji", "10ml"},
     {"F_TMcode", "6901234"},
     {"F_depotPos", "一号库"},
     {"F_huoJia", "A-01"},
     {"F_other1", "耐热"},
     {"F_other2", "防水"},
     {"F_other3", "轻便"},
     {"F_other4", "进口"},
     {"F_Memo1", "加急样品"}},
    {{"F_goodCode", "XA1"},
     {"F_goodName", "a1垫片"},
     {"F_spec", "ZM3"},
     {"F_type", "\\\\塑料\\垫片"},
     {"F_pinPai", "小米华为"},
     {"F_yanSE", "深红色"},
     {"F_caiLiao", "塑料"},
     {"F_baoZhuang", "木纸盒"}},
    {{"F_goodCode", "5'%_A"}, {"F_goodName", "100%_棉 O'Brien"}},
    {{"F_goodCode", "5'xyA"}, {"F_goodName", "100xy棉 OBrien"}},
};

void insert(TdmData *dm, const Row &row)
{
    QStringList columns, marks;
    QVariantList values;
    for (const auto &[column, value] : row) {
        columns << QString::fromLatin1(column);
        marks << QStringLiteral("?");
        values << value;
    }
    QVERIFY(dm->ExecSql(QStringLiteral("insert into GoodMain(%1) values(%2)")
                            .arg(columns.join(u','), marks.join(u',')),
                        values));
}

QStringList codesFound(TdmData *dm, const SqlFilter &filter)
{
    QStringList codes = dm->FillCombo(
        QStringLiteral("select F_goodCode from GoodMain ") + filter.where(), filter.values());
    codes.sort();
    return codes;
}

void type(QWidget *box, const QString &text)
{
    if (auto *edit = qobject_cast<QLineEdit *>(box))
        edit->setText(text);
    else if (auto *combo = qobject_cast<QComboBox *>(box))
        combo->setEditText(text);
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(box))
        memo->setPlainText(text);
}

template <typename T> T *child(QWidget *window, const char *name)
{
    auto *widget = window->findChild<T *>(QString::fromLatin1(name));
    if (!widget)
        qWarning("no %s", name);
    return widget;
}

void enterFocus(QWidget *widget)
{
    QFocusEvent event(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(widget, &event);
}

QStringList items(QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    // The order is the server's collation.
    texts.sort();
    return texts;
}

} // namespace

// The advanced sample query: its controls, keys and code lists, and the filter it answers with.
class TestAdvancedQuery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void opensWithRangesOff()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TDLGrevazezCX dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("样品记录查询对话框"));
        QStringList labels;
        for (QLabel *label : dialog.findChildren<QLabel *>())
            labels << label->text();
        labels.sort();
        QStringList expected = {
            "样品编号：", "样品名称：", "规格型号：", "样品类型：", "品    牌：", "颜    色：",
            "材    料：", "包    装：", "体    积：", "条 型 码：", "仓库位置：", "货    架：",
            "其他特性：", "备注信息：", "至",         "至",         "至"};
        expected.sort();
        QCOMPARE(labels, expected);
        QCOMPARE(child<QPushButton>(&dialog, "Button1")->text(), QStringLiteral("查询(&P)"));
        QCOMPARE(child<QPushButton>(&dialog, "Button2")->text(), QStringLiteral("关闭(&C)"));
        QVERIFY(child<QPushButton>(&dialog, "btnType")->isEnabled());

        const QDate today = QDate::currentDate();
        const char *checks[] = {"CheckBox1", "CheckBox2", "CheckBox3"};
        const QStringList captions = {"日    期：自", "采购日期：自", "销售日期：自"};
        const char *froms[] = {"dtpfromDate", "dtpfromDate1", "dtpfromDate2"};
        const char *tos[] = {"dtptoDate", "dtptoDate1", "dtptoDate2"};
        for (int r = 0; r < 3; ++r) {
            auto *check = child<QCheckBox>(&dialog, checks[r]);
            auto *from = child<DateBox>(&dialog, froms[r]);
            auto *to = child<DateBox>(&dialog, tos[r]);
            QCOMPARE(check->text(), captions[r]);
            QVERIFY(!check->isChecked());
            QCOMPARE(from->date(), QDate(today.year(), today.month(), 1));
            QCOMPARE(to->date(), today);
            QVERIFY(from->isChecked() && to->isChecked());
            QVERIFY(!from->isEnabled() && !to->isEnabled());
            check->setChecked(true);
            QVERIFY(from->isEnabled() && to->isEnabled());
            check->setChecked(false);
            QVERIFY(!from->isEnabled() && !to->isEnabled());
        }
    }

    void textCriteria_data()
    {
        QTest::addColumn<QByteArray>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        const QStringList a100{"A100"};
        QTest::newRow("nothing typed")
            << QByteArray("edtGoodcode") << "   " << QStringList{"5'%_A", "5'xyA", "A100", "XA1"};
        QTest::newRow("code starts with") << QByteArray("edtGoodcode") << " A1 " << a100;
        QTest::newRow("name contains, any case")
            << QByteArray("edtGoodName") << "A1" << QStringList{"A100", "XA1"};
        QTest::newRow("spec starts with") << QByteArray("edtSpec") << "m3" << a100;
        QTest::newRow("type contains") << QByteArray("edtType") << "螺丝" << a100;
        QTest::newRow("type path") << QByteArray("edtType") << "\\\\金属\\" << a100;
        QTest::newRow("brand starts with") << QByteArray("cbbPinpai") << "华为" << a100;
        QTest::newRow("colour starts with") << QByteArray("cbbYanSE") << "红" << a100;
        QTest::newRow("material contains") << QByteArray("cbbCaiLiao") << "锈" << a100;
        QTest::newRow("packing starts with") << QByteArray("cbbBaoZhuang") << "纸盒" << a100;
        QTest::newRow("volume contains") << QByteArray("edtTiji") << "ML" << a100;
        QTest::newRow("bar code contains") << QByteArray("edtTMcode") << "123" << a100;
        QTest::newRow("store contains") << QByteArray("edtDepotPos") << "号" << a100;
        QTest::newRow("shelf contains") << QByteArray("edtHuoJia") << "-0" << a100;
        QTest::newRow("other 1") << QByteArray("edtOther1") << "热" << a100;
        QTest::newRow("other 2") << QByteArray("edtOther2") << "水" << a100;
        QTest::newRow("other 3") << QByteArray("edtOther3") << "便" << a100;
        QTest::newRow("other 4") << QByteArray("edtOther4") << "口" << a100;
        QTest::newRow("remarks contain, trimmed") << QByteArray("Memo1") << "\n 急样\n" << a100;
        QTest::newRow("quote, percent and underscore are text")
            << QByteArray("edtGoodcode") << "5'%_" << QStringList{"5'%_A"};
        QTest::newRow("the same inside a name")
            << QByteArray("edtGoodName") << "%_棉 O'" << QStringList{"5'%_A"};
    }

    void textCriteria()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QByteArray, box);
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        ScriptedPrompt prompt;
        for (const Row &row : kTextRows)
            insert(db.dm(), row);
        TDLGrevazezCX dialog;
        type(child<QWidget>(&dialog, box.constData()), text);
        QCOMPARE(codesFound(db.dm(), dialog.filter(db.dm()->dialect())), found);
        QVERIFY(prompt.shown.isEmpty());
    }

    void dateRanges_data()
    {
        QTest::addColumn<QList<int>>("ranges");
        QTest::addColumn<QList<QDate>>("bounds"); // from, to per range; invalid: picker unticked
        QTest::addColumn<QStringList>("found");
        const QDate m1(2024, 3, 1), m2(2024, 3, 2), m10(2024, 3, 10), m15(2024, 3, 15),
            m30(2024, 3, 30), m31(2024, 3, 31);
        QTest::newRow("edit date, both ends inclusive")
            << QList<int>{0} << QList<QDate>{m1, m31} << QStringList{"D0", "D1", "D2"};
        QTest::newRow("edit date inside")
            << QList<int>{0} << QList<QDate>{m2, m30} << QStringList{"D1"};
        QTest::newRow("purchase from unticked takes undated records")
            << QList<int>{1} << QList<QDate>{QDate(), m15} << QStringList{"D0", "D1"};
        QTest::newRow("purchase to unticked")
            << QList<int>{1} << QList<QDate>{m15, QDate()} << QStringList{"D1", "D2"};
        QTest::newRow("sales on one day")
            << QList<int>{2} << QList<QDate>{m10, m10} << QStringList{"D0"};
        QTest::newRow("two ranges together")
            << QList<int>{0, 2} << QList<QDate>{m1, m15, m15, m31} << QStringList{"D1"};
    }

    void dateRanges()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QList<int>, ranges);
        QFETCH(QList<QDate>, bounds);
        QFETCH(QStringList, found);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        ScriptedPrompt prompt;
        const QList<Row> rows = {
            {{"F_goodCode", "D0"},
             {"F_editDate", QDate(2024, 3, 1)},
             {"F_CGdate", kNoDate},
             {"F_XSdate", QDate(2024, 3, 10)}},
            {{"F_goodCode", "D1"},
             {"F_editDate", QDate(2024, 3, 15)},
             {"F_CGdate", QDate(2024, 3, 15)},
             {"F_XSdate", QDate(2024, 3, 20)}},
            {{"F_goodCode", "D2"},
             {"F_editDate", QDate(2024, 3, 31)},
             {"F_CGdate", QDate(2024, 4, 1)},
             {"F_XSdate", kNoDate}},
        };
        for (const Row &row : rows)
            insert(db.dm(), row);
        TDLGrevazezCX dialog;
        const char *checks[] = {"CheckBox1", "CheckBox2", "CheckBox3"};
        const char *froms[] = {"dtpfromDate", "dtpfromDate1", "dtpfromDate2"};
        const char *tos[] = {"dtptoDate", "dtptoDate1", "dtptoDate2"};
        for (int i = 0; i < ranges.size(); ++i) {
            const int r = ranges[i];
            child<QCheckBox>(&dialog, checks[r])->setChecked(true);
            const auto set = [&](const char *name, const QDate &date) {
                auto *box = child<DateBox>(&dialog, name);
                box->setChecked(date.isValid());
                if (date.isValid())
                    box->setDate(date);
            };
            set(froms[r], bounds[2 * i]);
            set(tos[r], bounds[2 * i + 1]);
        }
        QCOMPARE(codesFound(db.dm(), dialog.filter(db.dm()->dialect())), found);
    }

    void defaultRangeIsThisMonthToToday()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        ScriptedPrompt prompt;
        const QDate today = QDate::currentDate();
        const QDate first(today.year(), today.month(), 1);
        insert(db.dm(), {{"F_goodCode", "before"}, {"F_editDate", first.addDays(-1)}});
        insert(db.dm(), {{"F_goodCode", "first"}, {"F_editDate", first}});
        insert(db.dm(), {{"F_goodCode", "today"}, {"F_editDate", today}});
        insert(db.dm(), {{"F_goodCode", "tomorrow"}, {"F_editDate", today.addDays(1)}});
        TDLGrevazezCX dialog;
        child<QCheckBox>(&dialog, "CheckBox1")->setChecked(true);
        QCOMPARE(codesFound(db.dm(), dialog.filter(db.dm()->dialect())),
                 (QStringList{"first", "today"}));
    }

    void codeListsRefillOnEntry_data()
    {
        QTest::addColumn<QByteArray>("box");
        QTest::addColumn<QString>("kind");
        QTest::newRow("brand") << QByteArray("cbbPinpai") << "pinpai";
        QTest::newRow("colour") << QByteArray("cbbYanSE") << "yanse";
        QTest::newRow("material") << QByteArray("cbbCaiLiao") << "cailiao";
        QTest::newRow("packing") << QByteArray("cbbBaoZhuang") << "baozhuang";
    }

    void codeListsRefillOnEntry()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QByteArray, box);
        QFETCH(QString, kind);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        ScriptedPrompt prompt;
        const QString add = QStringLiteral("insert into t_code(F_Name, F_type) values(?, ?)");
        for (const QString &name : QStringList{"乙", "甲'", "", "乙"})
            QVERIFY(db.dm()->ExecSql(add, {name, kind}));
        QVERIFY(db.dm()->ExecSql(add, {"别的", kind == "unit" ? "rate" : "unit"}));
        TDLGrevazezCX dialog;
        auto *combo = child<QComboBox>(&dialog, box.constData());
        combo->setEditText(QStringLiteral("已输入"));
        enterFocus(combo);
        QCOMPARE(items(combo), (QStringList{"乙", "甲'"}));
        QCOMPARE(combo->currentText(), QStringLiteral("已输入"));

        QVERIFY(db.dm()->ExecSql(add, {"丙", kind}));
        combo->showPopup();
        QCOMPARE(items(combo), (QStringList{"丙", "乙", "甲'"}));
        combo->hidePopup();
        QCOMPARE(combo->currentText(), QStringLiteral("已输入"));
        QVERIFY(prompt.shown.isEmpty());
    }

    void keys()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TDLGrevazezCX dialog;
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto *code = child<QLineEdit>(&dialog, "edtGoodcode");
        code->setFocus();
        QTest::keyClick(code, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), child<QWidget>(&dialog, "edtGoodName"));
        auto *memo = child<QPlainTextEdit>(&dialog, "Memo1");
        memo->setFocus();
        QTest::keyClicks(memo, "a");
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, "b");
        QCOMPARE(memo->toPlainText(), QStringLiteral("a\nb"));
        QCOMPARE(QApplication::focusWidget(), memo);
        QVERIFY(dialog.isVisible());
    }

    void answer_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("answered");
        QTest::newRow("查询") << "Button1" << true;
        QTest::newRow("Ctrl+S") << "Ctrl+S" << true;
        QTest::newRow("关闭") << "Button2" << false;
        QTest::newRow("Esc") << "Esc" << false;
        QTest::newRow("close box") << "close" << false;
    }

    void answer()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, how);
        QFETCH(bool, answered);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        ScriptedPrompt prompt;
        for (const Row &row : kTextRows)
            insert(db.dm(), row);
        QObject scope;
        whenModal<TDLGrevazezCX>(&scope, [how](TDLGrevazezCX *dialog) {
            auto *code = child<QLineEdit>(dialog, "edtGoodcode");
            code->setText(QStringLiteral("A1"));
            if (how == u"Ctrl+S")
                QTest::keyClick(code, Qt::Key_S, Qt::ControlModifier);
            else if (how == u"Esc")
                QTest::keyClick(code, Qt::Key_Escape);
            else if (how == u"close")
                dialog->close();
            else
                child<QPushButton>(dialog, how.toLatin1().constData())->click();
            // A dialog left open would hang the test.
            if (dialog->isVisible())
                dialog->reject();
        });
        const std::optional<SqlFilter> filter = TDLGrevazezCX::ask(nullptr);
        QCOMPARE(filter.has_value(), answered);
        if (filter)
            QCOMPARE(codesFound(db.dm(), *filter), QStringList{"A100"});
    }

    // Reports print the grouped statements: after an advanced query they must select what the
    // list shows, not what the filters selected before.
    void groupedStatementsFollowTheAdvancedQuery()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        const QDate today = QDate::currentDate();
        insert(db.dm(), {{"F_goodCode", "A100"},
                         {"F_XSclient", "甲"},
                         {"F_CGprice", 5.0},
                         {"F_CGtype", "人民币"},
                         {"F_editDate", today}});
        insert(db.dm(), {{"F_goodCode", "A101"},
                         {"F_XSclient", "甲"},
                         {"F_CGprice", 2.5},
                         {"F_CGtype", "人民币"},
                         {"F_editDate", QDate(2001, 1, 1)}});
        insert(db.dm(), {{"F_goodCode", "XA1"},
                         {"F_XSclient", "乙"},
                         {"F_CGprice", 7.0},
                         {"F_CGtype", "人民币"},
                         {"F_editDate", today}});
        TFrmMain main;
        main.show();
        const auto byClient = [&] {
            const SampleListStatements &s = main.samples().statements();
            QSqlQuery q(db.dm()->database());
            QStringList rows;
            if (!db.dm()->OpenSql(q, s.byClientSql + QStringLiteral(" order by F_XSclient"),
                                  s.values))
                return QStringList{QStringLiteral("failed")};
            while (q.next())
                rows << q.value(0).toString() + u'=' + QString::number(q.value(3).toDouble());
            return rows;
        };
        QCOMPARE(main.listModel()->rowCount(), 2);
        QCOMPARE(byClient(), (QStringList{"乙=7", "甲=5"}));

        QObject scope;
        whenModal<TDLGrevazezCX>(&scope, [](TDLGrevazezCX *dialog) {
            child<QLineEdit>(dialog, "edtGoodcode")->setText(QStringLiteral("A1"));
            child<QPushButton>(dialog, "Button1")->click();
        });
        auto *advanced = main.findChild<QPushButton *>(QStringLiteral("btnAdvanced"));
        advanced->click();
        QVERIFY(main.samples().isAdvanced());
        QTRY_COMPARE(main.listModel()->rowCount(), 2);
        QCOMPARE(byClient(), QStringList{"甲=7.5"});

        // Back to the filters.
        advanced->click();
        QVERIFY(!main.samples().isAdvanced());
        QCOMPARE(byClient(), (QStringList{"乙=7", "甲=5"}));
    }

    void deleteReturnsToTheFilters()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        const QDate today = QDate::currentDate();
        for (const char *code : {"A100", "A101", "XA1"})
            insert(db.dm(), {{"F_goodCode", code}, {"F_editDate", today}});
        TFrmMain main;
        main.show();
        QCOMPARE(main.listModel()->rowCount(), 3);
        QObject scope;
        whenModal<TDLGrevazezCX>(&scope, [](TDLGrevazezCX *dialog) {
            child<QLineEdit>(dialog, "edtGoodcode")->setText(QStringLiteral("A1"));
            child<QPushButton>(dialog, "Button1")->click();
        });
        auto *advanced = main.findChild<QPushButton *>(QStringLiteral("btnAdvanced"));
        advanced->click();
        QTRY_COMPARE(main.listModel()->rowCount(), 2);
        QVERIFY(advanced->isChecked());

        prompt.answer({Prompt::Yes});
        main.action(203)->trigger();
        QVERIFY(!main.samples().isAdvanced());
        QVERIFY(!advanced->isChecked());
        QVERIFY(advanced->styleSheet().isEmpty());
        QTRY_COMPARE(main.listModel()->rowCount(), 2);
        QCOMPARE(db.dm()->GetIntValue(QStringLiteral("select count(*) from GoodMain")), 2);
    }

    void typePicker()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        ScriptedPrompt prompt;
        const QString metal = childPath(kRootLikeCode, QStringLiteral("金属"));
        const QString screws = childPath(metal, QStringLiteral("螺丝"));
        QVERIFY(insertTreeNode("type", "001", "金属", metal));
        QVERIFY(insertTreeNode("type", "001001", "螺丝", screws));
        QVERIFY(insertTreeNode("clttype", "001", "客户", childPath(kRootLikeCode, "客户")));
        TDLGrevazezCX dialog;
        child<QLineEdit>(&dialog, "edtType")->setText(metal);
        QObject scope;
        QString preselected;
        whenModal<TFrmTreeCodeMan>(&scope, [&](TFrmTreeCodeMan *picker) {
            QTreeWidget *tree = picker->tree();
            preselected = tree->currentItem() ? nodeCode(tree->currentItem()) : QString();
            for (QTreeWidgetItemIterator it(tree); *it; ++it) {
                if (nodeCode(*it) == u"001001")
                    tree->setCurrentItem(*it);
            }
            picker->chooseNode();
            if (picker->isVisible())
                picker->reject();
        });
        child<QPushButton>(&dialog, "btnType")->click();
        QCOMPARE(preselected, QStringLiteral("001"));
        QCOMPARE(child<QLineEdit>(&dialog, "edtType")->text(), screws);
        insert(db.dm(), {{"F_goodCode", "S1"}, {"F_type", screws}});
        insert(db.dm(), {{"F_goodCode", "M1"}, {"F_type", metal}});
        QCOMPARE(codesFound(db.dm(), dialog.filter(db.dm()->dialect())), QStringList{"S1"});
    }
};

QTEST_MAIN(TestAdvancedQuery)
#include "tst_advancedquery.moc"
