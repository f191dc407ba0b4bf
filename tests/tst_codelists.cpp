#include "core/AppTitle.h"
#include "masterdata/uFrmCodeMan.h"
#include "masterdata/uFrmRateCodeGL.h"
#include "report/ReportPreview.h"
#include "support/Modal.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"
#include "widgets/CodeCombo.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>

namespace {

struct Code
{
    QString kind;
    QString name;
    QVariant rate;
};

// The codes every window test starts from; the shipped currencies are replaced.
const QList<Code> kCodes = {
    {"pinpai", "甲牌", {}}, {"pinpai", "乙牌", {}}, {"pinpai", "丙牌", {}}, {"yanse", "红", {}},
    {"cailiao", "钢", {}},  {"unit", "个", {}},     {"rate", "美元", 1.0},  {"rate", "欧元", 0.92},
};

void store(TdmData *dm, const QList<Code> &codes)
{
    QVERIFY(dm->ExecSql("delete from t_code"));
    for (const Code &c : codes) {
        QVERIFY(dm->ExecSql(
            "insert into t_code(F_Name, F_type, F_rate) values(?, ?, ?)",
            {c.name, c.kind, c.rate.isValid() ? c.rate : QVariant(QMetaType::fromType<double>())}));
    }
}

// Every stored row of a kind in key order: the name, NULL as "<null>", and a currency's rate
// if it has one.
QStringList stored(TdmData *dm, const QString &kind)
{
    QSqlQuery q(dm->database());
    q.prepare("select F_Name, F_rate from t_code where F_type = ? order by F_ID");
    q.addBindValue(kind);
    QStringList rows;
    if (!q.exec())
        return {"query failed"};
    while (q.next()) {
        QString row = q.value(0).isNull() ? QStringLiteral("<null>") : q.value(0).toString();
        if (kind == "rate" && !q.value(1).isNull())
            row += '=' + QString::number(q.value(1).toDouble());
        rows << row;
    }
    return rows;
}

QStringList storedElsewhere(TdmData *dm, const QString &kind)
{
    QStringList rows;
    for (const QString other : {"pinpai", "yanse", "cailiao", "baozhuang", "unit", "rate"}) {
        if (other != kind)
            rows << other + ':' + stored(dm, other).join(',');
    }
    return rows;
}

std::unique_ptr<CodeListWindow> makeWindow(bool rates, QWidget *owner = nullptr)
{
    if (rates)
        return std::make_unique<TfrmRateCodeGL>(owner);
    return std::make_unique<TFrmCodeMan>(owner);
}

QAction *command(QWidget *window, const char *name)
{
    return window->findChild<QAction *>(name);
}

QTableView *grid(QWidget *window)
{
    return window->findChild<QTableView *>("DBGrid1");
}

QTabBar *tabs(QWidget *window)
{
    return window->findChild<QTabBar *>("PageControl1");
}

QStringList column(QWidget *window, int c = 0)
{
    QStringList texts;
    const QAbstractItemModel *model = grid(window)->model();
    for (int r = 0; r < model->rowCount(); ++r)
        texts << model->index(r, c).data().toString();
    return texts;
}

QStringList enabledCommands(QWidget *window)
{
    QStringList names;
    for (const char *name :
         {"tbNew", "tbEdit", "tbDelete", "tbSave", "tbCancel", "tbPrint", "tbRefresh", "tbExit"}) {
        if (command(window, name)->isEnabled())
            names << name;
    }
    return names;
}

QLineEdit *openEditor(QTableView *view)
{
    for (QLineEdit *edit : view->viewport()->findChildren<QLineEdit *>()) {
        if (edit->isVisible())
            return edit;
    }
    return nullptr;
}

// Types into a cell as the operator does: F2 on the cell, the text, Enter.
void typeInto(QTableView *view, int row, int col, const QString &text)
{
    view->setCurrentIndex(view->model()->index(row, col));
    if (!openEditor(view))
        QTest::keyClick(view, Qt::Key_F2);
    QLineEdit *editor = openEditor(view);
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    // One key per character, as an input method hands Chinese text over.
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QTest::keyClick(editor, Qt::Key_Return);
}

// The next row, added by going down from the last one, typed into.
void typeBelow(QTableView *view, const QString &text)
{
    view->setCurrentIndex(view->model()->index(view->model()->rowCount() - 1, 0));
    QTest::keyClick(view, Qt::Key_Down);
    typeInto(view, view->model()->rowCount() - 1, 0, text);
}

void refuse(TdmData *dm, const QString &operation)
{
    if (dm->dialect().engine() == Engine::SQLite) {
        QVERIFY(dm->ExecSql(QString("create trigger refuse_%1 before %1 on t_code begin "
                                    "select raise(abort, 'refused by test'); end")
                                .arg(operation)));
        return;
    }
    QVERIFY(dm->ExecSql("create or replace function refuse() returns trigger language plpgsql "
                        "as $$ begin raise exception 'refused by test'; end $$"));
    QVERIFY(dm->ExecSql(QString("create trigger refuse_%1 before %1 on t_code for each row "
                                "execute function refuse()")
                            .arg(operation)));
}

void allow(TdmData *dm, const QString &operation)
{
    const QString drop = QString("drop trigger refuse_%1").arg(operation);
    QVERIFY(dm->ExecSql(dm->dialect().engine() == Engine::SQLite ? drop : drop + " on t_code"));
}

} // namespace

// The code-list and currency windows, and the combo boxes that offer their lists.
class TestCodeLists : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void frame_data()
    {
        QTest::addColumn<bool>("rates");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("headers");
        QTest::newRow("code lists") << false << "选项设置..." << QStringList{"品    牌"};
        QTest::newRow("currencies") << true << "汇率设置..." << QStringList{"币    种", "汇    率"};
    }

    void frame()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(bool, rates);
        QFETCH(QString, title);
        QFETCH(QStringList, headers);
        TestDatabase db(engine);
        store(db.dm(), kCodes);
        QWidget owner;
        owner.setGeometry(100, 50, 600, 500);
        owner.show();
        auto window = makeWindow(rates, &owner);
        window->show();

        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(
            (window->frameGeometry().center() - owner.frameGeometry().center()).manhattanLength() <=
            2);
        QStringList captions;
        for (QAction *a : window->findChild<QToolBar *>()->actions())
            captions << (a->isSeparator() ? "|" : a->text());
        QCOMPARE(captions, (QStringList{"新增", "修改", "删除", "|", "保存", "取消", "|", "打印",
                                        "刷新", "|", "退出"}));
        QCOMPARE(window->findChild<QToolBar *>()->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QCOMPARE(window->findChild<QLabel *>("StatusPanel3")->text(), AppTitle::full() + "  ");
        QCOMPARE(tabs(window.get()) != nullptr, !rates);
        QCOMPARE(window->findChild<QLabel *>("lblBase") != nullptr, rates);
        if (rates)
            QCOMPARE(window->findChild<QLabel *>("lblBase")->text(), "基准汇率：1美元");
        QStringList shownHeaders;
        for (int c = 0; c < grid(window.get())->model()->columnCount(); ++c)
            shownHeaders << grid(window.get())->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(shownHeaders, headers);
        QCOMPARE(window->kind(), rates ? "rate" : "pinpai");
        QCOMPARE(column(window.get()),
                 rates ? QStringList({"美元", "欧元"}) : QStringList({"甲牌", "乙牌", "丙牌"}));
    }

    void columnChooserHidesColumns_data()
    {
        QTest::addColumn<bool>("rates");
        QTest::newRow("code lists") << false;
        QTest::newRow("currencies") << true;
    }

    void columnChooserHidesColumns()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(bool, rates);
        TestDatabase db(engine);
        auto window = makeWindow(rates);
        window->show();
        QTableView *view = grid(window.get());
        QAction *choose = nullptr;
        for (QAction *a : view->actions()) {
            if (a->text() == u"显示字段列表")
                choose = a;
        }
        QVERIFY(choose);
        QCOMPARE(view->contextMenuPolicy(), Qt::ActionsContextMenu);
        const int last = view->model()->columnCount() - 1;
        const auto untickLast = [](QDialog *chooser, bool confirm) {
            auto *list = chooser->findChild<QListWidget *>();
            list->item(list->count() - 1)->setCheckState(Qt::Unchecked);
            for (auto *button : chooser->findChildren<QPushButton *>()) {
                if (button->text() == (confirm ? u"确定" : u"取消"))
                    button->click();
            }
        };
        QObject scope;
        whenModal<QDialog>(&scope, [&](QDialog *chooser) { untickLast(chooser, false); });
        choose->trigger();
        QVERIFY(!view->isColumnHidden(last));
        whenModal<QDialog>(&scope, [&](QDialog *chooser) { untickLast(chooser, true); });
        choose->trigger();
        QVERIFY(view->isColumnHidden(last));
    }

    void tabsListTheirKinds()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        store(db.dm(), kCodes);
        TFrmCodeMan window;
        QTabBar *bar = tabs(&window);
        const QList<QStringList> expected = {{"tpinpai", "品    牌", "pinpai", "甲牌,乙牌,丙牌"},
                                             {"tyanse", "颜    色", "yanse", "红"},
                                             {"tcailiao", "材    料", "cailiao", "钢"},
                                             {"tbaozhuang", "包    装", "baozhuang", ""},
                                             {"tunit", "单    位", "unit", "个"},
                                             {"tempname", "业 务 员", "empname", ""}};
        QCOMPARE(bar->count(), expected.size());
        QCOMPARE(bar->currentIndex(), 0);
        for (int i = 0; i < expected.size(); ++i) {
            bar->setCurrentIndex(i);
            QCOMPARE(bar->tabData(i).toString(), expected[i][0]);
            QCOMPARE(bar->tabText(i), expected[i][1]);
            QCOMPARE(window.kind(), expected[i][2]);
            QCOMPARE(grid(&window)->model()->headerData(0, Qt::Horizontal).toString(),
                     expected[i][1]);
            QCOMPARE(column(&window).join(','), expected[i][3]);
        }
    }

    void commandsFollowTheState_data()
    {
        QTest::addColumn<bool>("rates");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QStringList>("enabled");
        const QStringList browsing{"tbNew", "tbEdit", "tbDelete", "tbPrint", "tbRefresh", "tbExit"};
        const QStringList editing{"tbSave", "tbCancel"};
        for (bool rates : {false, true}) {
            const char *window = rates ? "currencies" : "code lists";
            QTest::addRow("%s, browsing", window) << rates << "" << browsing;
            QTest::addRow("%s, after new", window) << rates << "tbNew" << editing;
            QTest::addRow("%s, after edit", window) << rates << "tbEdit" << editing;
            QTest::addRow("%s, after save", window) << rates << "tbSave" << browsing;
            QTest::addRow("%s, after cancel", window) << rates << "tbCancel" << browsing;
        }
    }

    void commandsFollowTheState()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(bool, rates);
        QFETCH(QString, start);
        QFETCH(QStringList, enabled);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        store(db.dm(), kCodes);
        auto window = makeWindow(rates);
        window->show();
        if (start == "tbSave" || start == "tbCancel")
            command(window.get(), "tbEdit")->trigger();
        if (!start.isEmpty())
            command(window.get(), qPrintable(start))->trigger();

        QCOMPARE(enabledCommands(window.get()), enabled);
        const bool editing = enabled.contains("tbSave");
        QCOMPARE(window->isEditing(), editing);
        if (!rates)
            QCOMPARE(tabs(window.get())->isEnabled(), !editing);
        const QModelIndex cell = grid(window.get())->model()->index(0, 0);
        QCOMPARE(bool(cell.flags() & Qt::ItemIsEditable), editing);
        QVERIFY(prompt.shown.isEmpty());
    }

    void printsTheGridAsShown_data()
    {
        QTest::addColumn<bool>("rates");
        QTest::newRow("code lists") << false;
        QTest::newRow("currencies") << true;
    }

    void printsTheGridAsShown()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(bool, rates);
        TestDatabase db(engine);
        store(db.dm(), kCodes);
        auto window = makeWindow(rates);
        window->show();
        QStringList printed;
        whenModal<ReportPreview>(this, [&printed](ReportPreview *preview) {
            const Report::Prepared &report = preview->report();
            const Report::Page first = report.pages.at(0);
            for (const Report::Element &e : first.elements)
                printed << report.textOf(e);
            preview->accept();
        });
        command(window.get(), "tbPrint")->trigger();
        QVERIFY(printed.size() > 3);
        QCOMPARE(printed.first(), QStringLiteral("基本代码列表"));
        QAbstractItemModel *model = grid(window.get())->model();
        // The titles, then every cell as the grid shows it.
        QCOMPARE(printed.at(1), model->headerData(0, Qt::Horizontal).toString());
        QVERIFY(printed.contains(model->index(model->rowCount() - 1, 0).data().toString()));
        QCOMPARE(printed.last(), QStringLiteral("第 1 页 / 共 1 页"));
    }

    void appendedRowsTakeTheActiveKind()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        store(db.dm(), kCodes);
        const QStringList elsewhere = storedElsewhere(db.dm(), "yanse");
        TFrmCodeMan window;
        window.show();
        tabs(&window)->setCurrentIndex(1);
        command(&window, "tbNew")->trigger();
        typeInto(grid(&window), 1, 0, "绿");
        typeBelow(grid(&window), "O'Neil 5%_");
        typeBelow(grid(&window), "蓝");
        command(&window, "tbSave")->trigger();

        QVERIFY2(prompt.shown.isEmpty(), qPrintable(prompt.texts().join('|')));
        QVERIFY(!window.isEditing());
        QCOMPARE(stored(db.dm(), "yanse"), (QStringList{"红", "绿", "O'Neil 5%_", "蓝"}));
        QCOMPARE(column(&window), (QStringList{"红", "绿", "O'Neil 5%_", "蓝"}));
        QCOMPARE(storedElsewhere(db.dm(), "yanse"), elsewhere);
        // Pick lists offer the names in the order they were entered, as the window lists them.
        QCOMPARE(codeListValues("yanse"), (QStringList{"红", "绿", "O'Neil 5%_", "蓝"}));
    }

    void cancelRestoresEveryRow_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("取消") << false;
        QTest::newRow("Esc") << true;
    }

    void cancelRestoresEveryRow()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(bool, byKey);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        store(db.dm(), kCodes);
        TFrmCodeMan window;
        window.show();
        command(&window, "tbEdit")->trigger();
        typeInto(grid(&window), 0, 0, "改甲");
        typeInto(grid(&window), 2, 0, "");
        typeBelow(grid(&window), "新");
        typeBelow(grid(&window), "又新");
        QCOMPARE(column(&window), (QStringList{"改甲", "乙牌", "", "新", "又新"}));
        if (byKey)
            QTest::keyClick(grid(&window), Qt::Key_Escape);
        else
            command(&window, "tbCancel")->trigger();

        QVERIFY(window.isVisible());
        QVERIFY(!window.isEditing());
        QCOMPARE(column(&window), (QStringList{"甲牌", "乙牌", "丙牌"}));
        QCOMPARE(stored(db.dm(), "pinpai"), (QStringList{"甲牌", "乙牌", "丙牌"}));
        // Nothing comes back with the next save.
        command(&window, "tbEdit")->trigger();
        command(&window, "tbSave")->trigger();
        QCOMPARE(stored(db.dm(), "pinpai"), (QStringList{"甲牌", "乙牌", "丙牌"}));
        QVERIFY(prompt.shown.isEmpty());
    }

    void namesAsStoredAndOffered()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        store(db.dm(), {});
        TFrmCodeMan window;
        window.show();
        command(&window, "tbNew")->trigger();
        typeInto(grid(&window), 0, 0, "耐克");
        typeBelow(grid(&window), "耐克");
        command(&window, "tbSave")->trigger();
        // A new row saved without a name.
        command(&window, "tbNew")->trigger();
        command(&window, "tbSave")->trigger();

        QVERIFY(prompt.shown.isEmpty());
        QCOMPARE(stored(db.dm(), "pinpai"), (QStringList{"耐克", "耐克", ""}));
        QCOMPARE(codeListValues("pinpai"), QStringList{"耐克"});
        QCOMPARE(column(&window), (QStringList{"耐克", "耐克", ""}));
    }

    void emptyListRefusesEditAndDelete_data()
    {
        QTest::addColumn<bool>("rates");
        QTest::newRow("code lists") << false;
        QTest::newRow("currencies") << true;
    }

    void emptyListRefusesEditAndDelete()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(bool, rates);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        store(db.dm(), {});
        auto window = makeWindow(rates);
        window->show();
        command(window.get(), "tbEdit")->trigger();
        command(window.get(), "tbDelete")->trigger();

        QCOMPARE(prompt.texts(),
                 (QStringList{"此表为空，没有记录需要修改！", "此表是空表，不需要删除！"}));
        QCOMPARE(prompt.shown[0].kind, int(Prompt::Error));
        QCOMPARE(prompt.shown[1].kind, int(Prompt::Information));
        QVERIFY(!window->isEditing());
        command(window.get(), "tbNew")->trigger();
        QVERIFY(window->isEditing());
        QCOMPARE(grid(window.get())->model()->rowCount(), 1);
    }

    void deleteAsksFirst_data()
    {
        QTest::addColumn<bool>("rates");
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("brand") << false << 0 << 1 << "真的要删除 \"品    牌\"乙牌吗？"
                               << QStringList{"甲牌", "丙牌"};
        QTest::newRow("material") << false << 2 << 0 << "真的要删除 \"材    料\"钢吗？"
                                  << QStringList{};
        QTest::newRow("currency") << true << 0 << 1 << "真的要删除币种 “欧元”吗？"
                                  << QStringList{"美元=1"};
    }

    void deleteAsksFirst()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(bool, rates);
        QFETCH(int, tab);
        QFETCH(int, row);
        QFETCH(QString, question);
        QFETCH(QStringList, left);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        store(db.dm(), kCodes);
        auto window = makeWindow(rates);
        window->show();
        if (!rates)
            tabs(window.get())->setCurrentIndex(tab);
        const QStringList before = stored(db.dm(), window->kind());
        grid(window.get())->setCurrentIndex(grid(window.get())->model()->index(row, 0));
        prompt.answer({Prompt::No, Prompt::Yes});
        command(window.get(), "tbDelete")->trigger();
        QCOMPARE(stored(db.dm(), window->kind()), before);
        QCOMPARE(column(window.get()).size(), before.size());
        QTest::keyClick(grid(window.get()), Qt::Key_Delete);

        QCOMPARE(prompt.texts(), (QStringList{question, question}));
        QCOMPARE(prompt.shown[0].kind, int(Prompt::Question));
        QCOMPARE(stored(db.dm(), window->kind()), left);
        QCOMPARE(column(window.get()).size(), left.size());
        QVERIFY(!window->isEditing());
    }

    void keysRunEnabledCommands_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("editingAfter");
        QTest::addColumn<int>("rowsAfter");
        QTest::addColumn<bool>("openAfter");
        QTest::addColumn<int>("questions");
        const int ctrl = Qt::ControlModifier;
        const int none = Qt::NoModifier;
        QTest::newRow("Ctrl+A browsing")
            << false << int(Qt::Key_A) << ctrl << true << 4 << true << 0;
        QTest::newRow("Ctrl+E browsing")
            << false << int(Qt::Key_E) << ctrl << true << 3 << true << 0;
        QTest::newRow("Ctrl+S browsing")
            << false << int(Qt::Key_S) << ctrl << false << 3 << true << 0;
        QTest::newRow("Delete browsing")
            << false << int(Qt::Key_Delete) << none << false << 3 << true << 1;
        QTest::newRow("Esc browsing")
            << false << int(Qt::Key_Escape) << none << false << 3 << false << 0;
        QTest::newRow("Ctrl+A editing") << true << int(Qt::Key_A) << ctrl << true << 3 << true << 0;
        QTest::newRow("Ctrl+E editing") << true << int(Qt::Key_E) << ctrl << true << 3 << true << 0;
        QTest::newRow("Ctrl+S editing")
            << true << int(Qt::Key_S) << ctrl << false << 3 << true << 0;
        QTest::newRow("Delete editing")
            << true << int(Qt::Key_Delete) << none << true << 3 << true << 0;
        QTest::newRow("Esc editing")
            << true << int(Qt::Key_Escape) << none << false << 3 << true << 0;
    }

    void keysRunEnabledCommands()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(bool, editing);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, editingAfter);
        QFETCH(int, rowsAfter);
        QFETCH(bool, openAfter);
        QFETCH(int, questions);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        store(db.dm(), kCodes);
        TFrmCodeMan window;
        window.show();
        if (editing)
            command(&window, "tbEdit")->trigger();
        QTest::keyClick(grid(&window), Qt::Key(key), Qt::KeyboardModifiers(modifiers));

        QCOMPARE(window.isEditing(), editingAfter);
        QCOMPARE(grid(&window)->model()->rowCount(), rowsAfter);
        QCOMPARE(window.isVisible(), openAfter);
        QCOMPARE(prompt.shown.size(), questions);
        QCOMPARE(stored(db.dm(), "pinpai").size(), 3);
    }

    void doubleClickEdits()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        store(db.dm(), kCodes);
        TFrmCodeMan window;
        window.show();
        QTableView *view = grid(&window);
        const QPoint cell = view->visualRect(view->model()->index(1, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell);
        QVERIFY(window.isEditing());
        QCOMPARE(view->currentIndex().row(), 1);
    }

    void enterMovesAlongTheRow()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        store(db.dm(), kCodes);
        TfrmRateCodeGL window;
        window.show();
        QTableView *view = grid(&window);
        command(&window, "tbEdit")->trigger();
        typeInto(view, 1, 0, "英镑");
        QCOMPARE(view->currentIndex(), view->model()->index(1, 1));
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(view->currentIndex(), view->model()->index(1, 0));
        QCOMPARE(column(&window), (QStringList{"美元", "英镑"}));

        TFrmCodeMan single;
        single.show();
        QTest::keyClick(grid(&single), Qt::Key_Return);
        QCOMPARE(grid(&single)->currentIndex(), grid(&single)->model()->index(0, 0));

        // Away from the grid Enter goes on to the next control.
        single.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&single));
        tabs(&single)->setFocus();
        QVERIFY(tabs(&single)->hasFocus());
        QTest::keyClick(tabs(&single), Qt::Key_Return);
        QVERIFY(grid(&single)->hasFocus());
        QCOMPARE(tabs(&single)->currentIndex(), 0);
    }

    void ratesAsNumbers()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        store(db.dm(), {{"rate", "韩元", 1350.5}, {"rate", "负", -2.0}});
        TfrmRateCodeGL window;
        window.show();
        QCOMPARE(column(&window, 1), (QStringList{"1,350.500", "-2.000"}));
        QCOMPARE(grid(&window)->model()->index(0, 1).data(Qt::TextAlignmentRole).toInt() &
                     Qt::AlignRight,
                 Qt::AlignRight);

        command(&window, "tbEdit")->trigger();
        typeInto(grid(&window), 1, 1, "x7.125y");
        typeBelow(grid(&window), "卢布");
        command(&window, "tbSave")->trigger();

        QVERIFY2(prompt.shown.isEmpty(), qPrintable(prompt.texts().join('|')));
        QCOMPARE(stored(db.dm(), "rate"), (QStringList{"韩元=1350.5", "负=7.125", "卢布"}));
        QCOMPARE(column(&window, 1), (QStringList{"1,350.500", "7.125", ""}));
        QCOMPARE(db.dm()->GetFloatValue(
                     "select F_rate from t_code where F_type = 'rate' and F_name = ?", {"卢布"}),
                 0.0);
    }

    void refusedBatchStaysForAnotherTry_data()
    {
        QTest::addColumn<bool>("rates");
        QTest::newRow("code lists") << false;
        QTest::newRow("currencies") << true;
    }

    void refusedBatchStaysForAnotherTry()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(bool, rates);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        store(db.dm(), kCodes);
        auto window = makeWindow(rates);
        window->show();
        const QString kind = window->kind();
        const QStringList before = stored(db.dm(), kind);
        refuse(db.dm(), "insert");
        command(window.get(), "tbEdit")->trigger();
        // The change to a stored row goes first and must be undone with the refused insert.
        typeInto(grid(window.get()), 0, 0, "改");
        typeBelow(grid(window.get()), "加");
        const QStringList pending = column(window.get());
        command(window.get(), "tbSave")->trigger();

        QCOMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].kind, int(Prompt::Error));
        QVERIFY(prompt.shown[0].text.startsWith(kMsgOperationFailed));
        QVERIFY(prompt.shown[0].text.contains("refused by test"));
        QCOMPARE(stored(db.dm(), kind), before);
        QVERIFY(window->isEditing());
        QCOMPARE(column(window.get()), pending);

        allow(db.dm(), "insert");
        command(window.get(), "tbSave")->trigger();
        QCOMPARE(prompt.shown.size(), 1);
        QVERIFY(!window->isEditing());
        QCOMPARE(stored(db.dm(), kind).size(), before.size() + 1);
        QCOMPARE(stored(db.dm(), kind).first().section('=', 0, 0), "改");
        QCOMPARE(stored(db.dm(), kind).last(), "加");
    }

    void refusedDeleteKeepsTheRow()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        store(db.dm(), kCodes);
        TFrmCodeMan window;
        window.show();
        refuse(db.dm(), "delete");
        prompt.answer({Prompt::Yes});
        command(&window, "tbDelete")->trigger();

        QCOMPARE(prompt.texts().last(), kMsgDeleteFailed);
        QCOMPARE(prompt.shown.last().kind, int(Prompt::Error));
        QCOMPARE(stored(db.dm(), "pinpai"), (QStringList{"甲牌", "乙牌", "丙牌"}));
        QCOMPARE(column(&window), (QStringList{"甲牌", "乙牌", "丙牌"}));
    }

    void comboKeepsTextNotInTheList()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        store(db.dm(), kCodes);
        CodeCombo combo("pinpai");
        combo.setEditText("不在列表");
        QVERIFY(db.dm()->ExecSql("insert into t_code(F_Name, F_type) values(?, ?)",
                                 {"后加", "pinpai"}));
        QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(&combo, &focusIn);

        QCOMPARE(combo.currentText(), "不在列表");
        QStringList items;
        for (int i = 0; i < combo.count(); ++i)
            items << combo.itemText(i);
        QCOMPARE(items, codeListValues("pinpai"));
        QVERIFY(items.contains("后加"));
    }
};

QTEST_MAIN(TestCodeLists)
#include "tst_codelists.moc"
