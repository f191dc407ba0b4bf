#include "app/uFrmMain.h"
#include "core/ReadableColor.h"
#include "core/SqlListModel.h"
#include "masterdata/RegisterEditor.h"
#include "masterdata/Registers.h"
#include "register/SampleList.h"
#include "register/ufrmRevaZezEdit.h"
#include "support/ScriptedPrompt.h"
#include "support/ShellRecorder.h"
#include "support/TestDatabase.h"
#include "widgets/DBGridEh.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace {

const RegisterDescription &registerNamed(const QString &name)
{
    if (name == u"client")
        return clientRegister();
    if (name == u"supplier")
        return supplierRegister();
    return catalogueRegister();
}

// A two-level type tree and five entries, one disabled, one with a quote in its code.
void fillRegister(TdmData *dm, const RegisterDescription &d)
{
    const QList<QStringList> nodes = {
        {"001", "甲", "\\\\甲"}, {"001001", "子", "\\\\甲\\子"}, {"002", "乙", "\\\\乙"}};
    for (const QStringList &n : nodes)
        QVERIFY(dm->ExecSql(QStringLiteral("insert into t_treecode(F_code, F_name, F_likecode, "
                                           "F_flag) values(?, ?, ?, ?)"),
                            {n[0], n[1], n[2], d.treeKind}));
    const QList<QVariantList> entries = {{"A2", "阿尔法", "\\\\甲", false, "华为"},
                                         {"A1", "贝塔", "\\\\甲\\子", false, "美的"},
                                         {"B1", "伽马", "\\\\乙", false, "华为"},
                                         {"C1", "停用的", "\\\\乙", true, ""},
                                         {"X'1", "O'Brien", "", false, ""}};
    const bool catalogue = d.table == u"T_goods";
    for (const QVariantList &e : entries)
        QVERIFY(dm->ExecSql(QStringLiteral("insert into %1(F_Code, F_Name, F_Type, F_useFlag%2) "
                                           "values(?, ?, ?, ?%3)")
                                .arg(d.table, catalogue ? QStringLiteral(", F_pinPai") : QString(),
                                     catalogue ? QStringLiteral(", ?") : QString()),
                            catalogue ? e : e.mid(0, 4)));
}

QStringList listedCodes(RegisterWindow &window)
{
    QStringList codes;
    for (int row = 0; row < window.list()->rowCount(); ++row)
        codes << window.list()->value(row, QStringLiteral("F_Code")).toString();
    return codes;
}

void selectNode(RegisterWindow &window, const QString &caption)
{
    const QList<QTreeWidgetItem *> found =
        window.tree()->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
    QVERIFY(!found.isEmpty());
    window.tree()->setCurrentItem(found.first());
    window.RefreshList();
}

template <typename T> T *child(QWidget *parent, const char *name)
{
    T *found = parent->findChild<T *>(QLatin1String(name));
    if (!found)
        qWarning("no %s", name);
    return found;
}

void addRegisterRows()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"client", "supplier", "catalogue"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

} // namespace

// The client, supplier and catalogue registers: one window and editor, three descriptions.
class TestRegisters : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void listing_data() { addRegisterRows(); }

    void listing()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, name);
        TestDatabase db(engine);
        const RegisterDescription &d = registerNamed(name);
        fillRegister(db.dm(), d);
        RegisterWindow window(d);
        window.show();
        QCOMPARE(window.windowTitle(), d.listTitle);
        QCOMPARE(listedCodes(window), (QStringList{"A1", "A2", "B1", "X'1"}));
        QCOMPARE(window.statusPanel(2), QStringLiteral("记录数：4"));

        child<QCheckBox>(&window, "chkDisabled")->setChecked(true);
        QCOMPARE(listedCodes(window), (QStringList{"A1", "A2", "B1", "C1", "X'1"}));
        const QModelIndex disabled = window.grid()->view()->model()->index(3, 1);
        // A red that reads on the row's background.
        const QColor red = disabled.data(Qt::ForegroundRole).value<QColor>();
        QCOMPARE(red.hslHue(), 0);
        QCOMPARE(disabled.data(Qt::BackgroundRole).value<QBrush>().color(),
                 QGuiApplication::palette().color(QPalette::Button));
        QVERIFY(ReadableColor::contrast(red, QGuiApplication::palette().color(QPalette::Button)) >=
                4.5);
        QVERIFY(!window.grid()->view()->model()->index(2, 1).data(Qt::ForegroundRole).isValid());
        QVERIFY(!window.grid()->view()->model()->index(2, 1).data(Qt::BackgroundRole).isValid());

        selectNode(window, QStringLiteral("甲"));
        QCOMPARE(listedCodes(window), (QStringList{"A1", "A2"}));
        selectNode(window, d.treeRoot);

        // Codes: from the start in the client and supplier lists, anywhere in the catalogue.
        auto *searchType = child<QComboBox>(&window, "cbbSearchType");
        searchType->setCurrentIndex(0);
        emit searchType->activated(0);
        child<QLineEdit>(&window, "edtSearch")->setText(QStringLiteral("1"));
        const QStringList containing{"A1", "B1", "C1", "X'1"};
        QCOMPARE(listedCodes(window), d.table == u"T_goods" ? containing : QStringList());
        child<QLineEdit>(&window, "edtSearch")->setText(QStringLiteral("x'"));
        QCOMPARE(listedCodes(window), QStringList{"X'1"});
        searchType->setCurrentIndex(1);
        emit searchType->activated(1);
        QCOMPARE(child<QLineEdit>(&window, "edtSearch")->text(), QString());
        child<QLineEdit>(&window, "edtSearch")->setText(QStringLiteral("'bri"));
        QCOMPARE(listedCodes(window), QStringList{"X'1"});
    }

    void catalogueSearchesByBrandFromTheCodeList()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        fillRegister(db.dm(), catalogueRegister());
        for (const char *brand : {"华为", "美的", "华为"})
            QVERIFY(db.dm()->ExecSql(QStringLiteral("insert into t_code(F_Name, F_type) "
                                                    "values(?, 'pinpai')"),
                                     {QString::fromUtf8(brand)}));
        TfrmGoodMan window;
        window.show();
        auto *searchType = child<QComboBox>(&window, "cbbSearchType");
        auto *value = child<QComboBox>(&window, "cbbSearchValue");
        auto *text = child<QLineEdit>(&window, "edtSearch");
        const int brand = searchType->findText(QStringLiteral("品牌"));
        searchType->setCurrentIndex(brand);
        emit searchType->activated(brand);
        QVERIFY(value->isVisible());
        QVERIFY(!text->isVisible());
        QCOMPARE(value->count(), 2);
        value->setCurrentText(QStringLiteral("华为"));
        QCOMPARE(listedCodes(window), (QStringList{"A2", "B1"}));
        searchType->setCurrentIndex(0);
        emit searchType->activated(0);
        QVERIFY(text->isVisible());
        QCOMPARE(text->text(), QString());
        QCOMPARE(listedCodes(window), (QStringList{"A1", "A2", "B1", "X'1"}));
    }

    void editorSavesAndChecksCodes_data() { addRegisterRows(); }

    void editorSavesAndChecksCodes()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, name);
        TestDatabase db(engine);
        const RegisterDescription &d = registerNamed(name);
        fillRegister(db.dm(), d);
        ScriptedPrompt prompt;
        RegisterWindow window(d);
        window.show();

        RegisterEditor editor(window.description(), window.records(), &window);
        editor.show();
        editor.OpenEditor(RegisterEditor::New);
        QCOMPARE(editor.windowTitle(), d.editorTitleNew);
        auto *code = child<QLineEdit>(&editor, "edtCode");
        auto *entryName = child<QLineEdit>(&editor, "edtName");
        QVERIFY(!editor.save());
        code->setText(QStringLiteral(" x'1 "));
        QVERIFY(!editor.save());
        QCOMPARE(prompt.texts(), (QStringList{d.emptyCodeMessage, d.duplicateCodeMessage}));
        QCOMPARE(editor.focusWidget(), code);

        // Continuous add: saved, listed, and the editor empty for the next one.
        code->setText(QStringLiteral("N1"));
        entryName->setText(QStringLiteral("新的"));
        QVERIFY(editor.save());
        QCOMPARE(code->text(), QString());
        QCOMPARE(editor.focusWidget(), code);
        QTRY_COMPARE(window.current(QStringLiteral("F_Code")).toString(), QStringLiteral("N1"));
        QCOMPARE(
            db.dm()->GetIntValue(
                QStringLiteral("select count(*) from %1 where F_Code = 'N1' and F_useFlag = %2")
                    .arg(d.table, db.dm()->dialect().falseLiteral())),
            1);

        // Changing keeps the code, and its own code is no duplicate.
        RegisterEditor change(window.description(), window.records(), &window);
        change.show();
        change.OpenEditor(RegisterEditor::Change);
        QCOMPARE(change.windowTitle(), d.editorTitleEdit);
        QVERIFY(child<QLineEdit>(&change, "edtCode")->isReadOnly());
        child<QLineEdit>(&change, "edtCode")->setText(QStringLiteral("Z9"));
        child<QLineEdit>(&change, "edtName")->setText(QStringLiteral("改名"));
        child<QCheckBox>(&change, "chkUseFlag")->setChecked(true);
        prompt.clear();
        QVERIFY(change.save());
        QVERIFY(prompt.shown.isEmpty());
        QVERIFY(!change.isVisible());
        QCOMPARE(db.dm()->GetStrValue(
                     QStringLiteral("select F_Name from %1 where F_Code = 'N1'").arg(d.table)),
                 QStringLiteral("改名"));
        QVERIFY(db.dm()->GetBoolValue(
            QStringLiteral("select F_useFlag from %1 where F_Code = 'N1'").arg(d.table)));
        QCOMPARE(db.dm()->GetIntValue(QStringLiteral("select count(*) from %1").arg(d.table)), 6);
    }

    void longTextsOfAnotherProgramSurviveAChange_data() { addRegisterRows(); }

    void longTextsOfAnotherProgramSurviveAChange()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, name);
        TestDatabase db(engine);
        const RegisterDescription &d = registerNamed(name);
        fillRegister(db.dm(), d);
        ScriptedPrompt prompt;
        RegisterWindow window(d);
        window.show();
        const qint64 id = window.current(QStringLiteral("F_ID")).toLongLong();
        QVERIFY(id > 0);
        const QString longName = QStringLiteral("长名称 long name ").repeated(500);
        const QString remarks = QStringLiteral("第一行\n第二行 ").repeated(100);
        QVERIFY(db.writeAsAnotherProgram(d.table, id, QStringLiteral("F_Name"), longName));
        QVERIFY(db.writeAsAnotherProgram(d.table, id, QStringLiteral("F_Memo1"), remarks));
        QVERIFY(window.records().reload());

        RegisterEditor change(window.description(), window.records(), &window);
        change.OpenEditor(RegisterEditor::Change);
        QCOMPARE(child<QLineEdit>(&change, "edtName")->text(), longName);
        child<QCheckBox>(&change, "chkUseFlag")->setChecked(true);
        QVERIFY(change.save());
        QVERIFY(prompt.shown.isEmpty());
        const QString where = QStringLiteral(" from %1 where F_ID = ?").arg(d.table);
        QCOMPARE(db.dm()->GetStrValue(QStringLiteral("select F_Name") + where, {id}), longName);
        QCOMPARE(db.dm()->GetStrValue(QStringLiteral("select F_Memo1") + where, {id}), remarks);
        QVERIFY(db.dm()->GetBoolValue(QStringLiteral("select F_useFlag") + where, {id}));
    }

    void deleteAsksWithTheRegistersQuestion_data() { addRegisterRows(); }

    void deleteAsksWithTheRegistersQuestion()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, name);
        TestDatabase db(engine);
        const RegisterDescription &d = registerNamed(name);
        fillRegister(db.dm(), d);
        ScriptedPrompt prompt;
        RegisterWindow window(d);
        window.show();
        window.setCurrentRow(3);
        prompt.answer({Prompt::No});
        window.deleteEntry();
        QCOMPARE(listedCodes(window).size(), 4);
        prompt.answer({Prompt::Yes});
        window.deleteEntry();
        QCOMPARE(prompt.texts(), QStringList(2, d.deleteQuestion + QStringLiteral("O'Brien吗？")));
        QCOMPARE(listedCodes(window), (QStringList{"A1", "A2", "B1"}));
    }

    void pickerReturnsTheChosenOrTheGivenName()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        fillRegister(db.dm(), clientRegister());
        fillRegister(db.dm(), supplierRegister());
        const auto choose = [this](int row, const char *button) {
            QTimer::singleShot(0, this, [row, button] {
                auto *window = qobject_cast<RegisterWindow *>(QApplication::activeModalWidget());
                QVERIFY(window);
                window->setCurrentRow(row);
                child<QPushButton>(window, button)->click();
            });
        };
        choose(1, "btnOK");
        QCOMPARE(PickClient(nullptr, QStringLiteral("旧名")), QStringLiteral("阿尔法"));
        choose(1, "btnCancel");
        QCOMPARE(PickSupplier(nullptr, QStringLiteral("旧名")), QStringLiteral("旧名"));
        choose(2, "btnOK");
        QCOMPARE(PickSupplier(nullptr, QString()), QStringLiteral("伽马"));
    }

    void searchBarPicksASupplierOrAClient_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("title");
        QTest::newRow("supplier") << 7 << "供应商资料";
        QTest::newRow("client") << 8 << "客户资料";
    }

    void searchBarPicksASupplierOrAClient()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(int, field);
        QFETCH(QString, title);
        TestDatabase db(engine);
        fillRegister(db.dm(), clientRegister());
        fillRegister(db.dm(), supplierRegister());
        TFrmMain main;
        main.show();
        auto *fields = child<QComboBox>(&main, "ComboBox1");
        fields->setCurrentIndex(field);
        emit fields->activated(field);
        auto *pick = child<QToolButton>(&main, "btnPick");
        QVERIFY(pick->isVisible());
        QString seen;
        QTimer::singleShot(0, this, [&seen] {
            auto *window = qobject_cast<RegisterWindow *>(QApplication::activeModalWidget());
            QVERIFY(window);
            seen = window->windowTitle();
            window->setCurrentRow(2);
            child<QPushButton>(window, "btnOK")->click();
        });
        pick->click();
        QCOMPARE(seen, title);
        QCOMPARE(child<QLineEdit>(&main, "Edit1")->text(), QStringLiteral("伽马"));
    }

    // The window sees keys first: Ctrl+A adds from the search box, where a text box would
    // select all; Enter on the grid moves on as in the other windows.
    void keysOfTheListWindow()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        fillRegister(db.dm(), clientRegister());
        TfrmCltMan window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *search = child<QLineEdit>(&window, "edtSearch");
        QCOMPARE(QApplication::focusWidget(), search);
        QString opened;
        QTimer::singleShot(0, this, [&opened] {
            auto *editor = qobject_cast<RegisterEditor *>(QApplication::activeModalWidget());
            if (!editor)
                return;
            opened = editor->windowTitle();
            editor->reject();
        });
        QTest::keyClick(search, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(opened, clientRegister().editorTitleNew);

        QTableView *grid = window.grid()->view();
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Return);
        QVERIFY(window.isVisible());
        QVERIFY(QApplication::focusWidget() != grid);
    }

    void scannedCodeIsLocated_data() { addRegisterRows(); }

    // A code search takes a scanned code and Enter: the entry of that code is selected, the
    // list widened when its node or the disabled check hides it; an unknown code is told in
    // the status bar, without a box. Enter in another search moves on as before.
    void scannedCodeIsLocated()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, name);
        TestDatabase db(engine);
        const RegisterDescription &d = registerNamed(name);
        fillRegister(db.dm(), d);
        // Another entry of B1's code, written by another program (the editor refuses it).
        QVERIFY(db.dm()->ExecSql(
            QStringLiteral("insert into %1(F_Code, F_Name, F_Type, F_useFlag) values(?, ?, ?, ?)")
                .arg(d.table),
            {QStringLiteral("b1"), QStringLiteral("德尔塔"), QStringLiteral("\\\\乙"), false}));
        ScriptedPrompt prompt;
        RegisterWindow window(d);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *searchType = child<QComboBox>(&window, "cbbSearchType");
        auto *search = child<QLineEdit>(&window, "edtSearch");
        searchType->setCurrentIndex(0);
        emit searchType->activated(0);
        search->setFocus();
        const auto scan = [&](const QString &code) {
            search->selectAll();
            QTest::keyClicks(search, code);
            QTest::keyClick(search, Qt::Key_Return);
        };
        const auto current = [&window] {
            return window.current(QStringLiteral("F_Name")).toString();
        };

        scan(QStringLiteral("a2 "));
        QTRY_COMPARE(current(), QStringLiteral("阿尔法"));
        QCOMPARE(window.statusPanel(0), QStringLiteral("已选中%1：a2").arg(d.noun));
        QCOMPARE(window.grid()->currentRow(), window.currentRow());
        // The next scan replaces this one.
        QCOMPARE(search->selectedText(), QStringLiteral("a2"));
        QCOMPARE(QApplication::focusWidget(), search);

        // Disabled, under another node.
        selectNode(window, QStringLiteral("甲"));
        scan(QStringLiteral("C1"));
        QTRY_COMPARE(current(), QStringLiteral("停用的"));
        QCOMPARE(window.statusPanel(0),
                 QStringLiteral("%1 C1 不在当前筛选的列表中：已列出全部%1并选中它").arg(d.noun));
        QVERIFY(child<QCheckBox>(&window, "chkDisabled")->isChecked());
        QCOMPARE(window.tree()->currentItem()->text(0), d.treeRoot);

        scan(QStringLiteral("B1"));
        QTRY_COMPARE(current(), QStringLiteral("伽马"));
        QCOMPARE(window.statusPanel(0),
                 QStringLiteral("已选中%1：B1（%2相同的%1有 2 个）")
                     .arg(d.noun, QString(d.searches.at(0).caption).remove(u' ')));

        scan(QStringLiteral("ZZ9"));
        QCOMPARE(window.statusPanel(0), QStringLiteral("未找到%1：ZZ9").arg(d.noun));
        QCOMPARE(QApplication::focusWidget(), search);
        QVERIFY2(prompt.texts().isEmpty(), qPrintable(prompt.texts().join(u'\n')));

        // A name is searched, not scanned: Enter moves on.
        searchType->setCurrentIndex(1);
        emit searchType->activated(1);
        search->setFocus();
        search->setText(QStringLiteral("伽马"));
        QTest::keyClick(search, Qt::Key_Return);
        QVERIFY(QApplication::focusWidget() != search);
        QCOMPARE(window.statusPanel(0), QStringLiteral("未找到%1：ZZ9").arg(d.noun));
    }

    // The catalogue's 条码 search finds an entry by its bar code.
    void catalogueScansItsBarCode()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        fillRegister(db.dm(), catalogueRegister());
        QVERIFY(db.dm()->ExecSql(
            QStringLiteral("update T_goods set F_TMcode = '6901234567892' where F_Code = 'B1'")));
        TfrmGoodMan window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *searchType = child<QComboBox>(&window, "cbbSearchType");
        const int barCode = searchType->findText(QStringLiteral("条码"));
        searchType->setCurrentIndex(barCode);
        emit searchType->activated(barCode);
        auto *search = child<QLineEdit>(&window, "edtSearch");
        search->setFocus();
        QTest::keyClicks(search, QStringLiteral("6901234567892"));
        QTest::keyClick(search, Qt::Key_Return);
        QTRY_COMPARE(window.current(QStringLiteral("F_Code")).toString(), QStringLiteral("B1"));
        QCOMPARE(window.statusPanel(0), QStringLiteral("已选中样品：6901234567892"));
    }

    void catalogueEntryFillsTheSampleEditor()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QVERIFY(db.dm()->ExecSql(
            QStringLiteral(
                "insert into T_goods(F_Code, F_Name, F_spec, F_Type, F_pinPai, F_yanSE, F_caiLiao, "
                "F_baoZhuang, F_tiji, F_TMcode, F_other1, F_other2, F_other3, F_other4, F_Memo1, "
                "F_useFlag) values('G1', '螺丝', 'M3', '\\\\五金', '华为', '红', '钢', '盒', '1L', "
                "'690', 'o1', 'o2', 'o3', 'o4', '目录备注', ?)"),
            {false}));
        TFrmMain main;
        TfrmRevaZezEdit editor(main.samples(), &main);
        editor.show();
        editor.openMode(TfrmRevaZezEdit::New);
        auto *memo = child<QPlainTextEdit>(&editor, "Memo1");
        memo->setPlainText(QStringLiteral("自己的备注"));
        child<QLineEdit>(&editor, "edtDepotPos")->setText(QStringLiteral("A区"));
        QTimer::singleShot(0, this, [] {
            auto *window = qobject_cast<RegisterWindow *>(QApplication::activeModalWidget());
            QVERIFY(window);
            window->setCurrentRow(0);
            child<QPushButton>(window, "btnOK")->click();
        });
        child<QToolButton>(&editor, "btnPickGood")->click();
        const QVariantMap values = editor.values();
        const QVariantMap expected = {
            {"F_goodCode", "G1"},      {"F_goodName", "螺丝"}, {"F_spec", "M3"},
            {"F_type", "\\\\五金"},    {"F_pinPai", "华为"},   {"F_yanSE", "红"},
            {"F_caiLiao", "钢"},       {"F_baoZhuang", "盒"},  {"F_tiji", "1L"},
            {"F_TMcode", "690"},       {"F_other1", "o1"},     {"F_other4", "o4"},
            {"F_memo1", "自己的备注"}, {"F_depotPos", "A区"}};
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(values.value(it.key()).toString(), it.value().toString());
    }

    void clientsAndSuppliersMayShareACode()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        fillRegister(db.dm(), supplierRegister());
        qint64 id = 0;
        QString error;
        const QVariantMap values = {{"F_Code", "A1"}, {"F_Name", "客户甲"}, {"F_useFlag", false}};
        QCOMPARE(RegisterStore::save(*db.dm(), clientRegister(), 0, values, &id, &error),
                 RegisterStore::SaveResult::Saved);
        QCOMPARE(RegisterStore::save(*db.dm(), supplierRegister(), 0, values, &id, &error),
                 RegisterStore::SaveResult::DuplicateCode);
    }

    void mailAndWebSiteGoThroughTheDesktop()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        ShellRecorder shell;
        TfrmCltMan window;
        window.show();
        RegisterEditor editor(window.description(), window.records(), &window);
        editor.show();
        editor.OpenEditor(RegisterEditor::New);
        auto *mail = child<QLineEdit>(&editor, "edtEmail");
        mail->setText(QStringLiteral(" sales.example.com "));
        child<QPushButton>(&editor, "btnMail")->click();
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("非法电子邮箱！")});
        QCOMPARE(editor.focusWidget(), mail);
        mail->setText(QStringLiteral(" sales@example.com "));
        QTest::mouseDClick(mail, Qt::LeftButton);
        child<QLineEdit>(&editor, "edtHomepage")->setText(QStringLiteral(" www.example.com "));
        child<QPushButton>(&editor, "btnWebSite")->click();
        QCOMPARE(shell.opened, (QStringList{QStringLiteral("mailto:sales@example.com?subject"),
                                            QStringLiteral("http://www.example.com")}));
    }
};

QTEST_MAIN(TestRegisters)
#include "tst_registers.moc"
