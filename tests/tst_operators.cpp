#include "app/uFrmMain.h"
#include "core/PassHash.h"
#include "core/ReadableColor.h"
#include "core/RecordList.h"
#include "operators/OperatorStore.h"
#include "operators/uFrmLimitGl.h"
#include "operators/uFrmModPass.h"
#include "operators/uFrmOperGl.h"
#include "operators/uFrmOperLogin.h"
#include "support/Modal.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"
#include "widgets/DBGridEh.h"
#include "widgets/MemoBox.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

qint64 addOperator(TdmData *dm, const QString &name, const QString &password,
                   const QStringList &rightCodes = {}, bool disabled = false,
                   const QString &memo = {})
{
    if (!dm->ExecSql(QStringLiteral("insert into OperList(F_Name, F_PassWord, F_Mem, F_Flag, "
                                    "F_xtFlag) values(?, ?, ?, ?, ?)"),
                     {name, PassHash::hash(password), memo, disabled, false}))
        return 0;
    for (const QString &code : rightCodes)
        dm->ExecSql(QStringLiteral("insert into OperLimit(F_OperName, F_lmtName) "
                                   "select ?, F_name from Limits where F_code = ?"),
                    {name, code});
    return dm->GetIntValue(QStringLiteral("select F_ID from OperList where F_Name = ?"), {name});
}

// The rights rows stored under `name`, as codes.
QStringList storedCodes(TdmData *dm, const QString &name)
{
    QStringList codes = dm->FillCombo(QStringLiteral("select l.F_code from OperLimit o join "
                                                     "Limits l on o.F_lmtName = l.F_name "
                                                     "where o.F_OperName = ?"),
                                      {name});
    codes.sort();
    return codes;
}

int rightsRows(TdmData *dm)
{
    return dm->GetIntValue(QStringLiteral("select count(*) from OperLimit"));
}

QStringList listedNames(TfrmOperGl &window)
{
    QStringList names;
    for (int row = 0; row < window.operators().rowCount(); ++row)
        names << window.operators().value(row, QStringLiteral("F_Name")).toString();
    return names;
}

template <typename T> T *child(QWidget *parent, const char *name)
{
    T *found = parent->findChild<T *>(QLatin1String(name));
    if (!found)
        qWarning("no %s", name);
    return found;
}

void selectOperator(TfrmOperGl &window, const QString &name)
{
    const int row = listedNames(window).indexOf(name);
    QVERIFY2(row >= 0, qPrintable(name));
    window.operators().setCurrentRow(row);
}

void fill(TFrmLimitGl &editor, const QString &name, const QString &password,
          const QString &repeated)
{
    child<QComboBox>(&editor, "cbbName")->setEditText(name);
    child<QLineEdit>(&editor, "edtPassWord")->setText(password);
    child<QLineEdit>(&editor, "edtRepPass")->setText(repeated);
}

void tick(TFrmLimitGl &editor, const QStringList &rightNames)
{
    auto *rights = child<QListWidget>(&editor, "clbOperLimt");
    for (int i = 0; i < rights->count(); ++i)
        rights->item(i)->setCheckState(
            rightNames.contains(rights->item(i)->text()) ? Qt::Checked : Qt::Unchecked);
}

QStringList ticked(TFrmLimitGl &editor)
{
    QStringList names;
    auto *rights = child<QListWidget>(&editor, "clbOperLimt");
    for (int i = 0; i < rights->count(); ++i) {
        if (rights->item(i)->checkState() == Qt::Checked)
            names << rights->item(i)->text();
    }
    return names;
}

QString storedHash(TdmData *dm, const QString &name)
{
    return dm->GetStrValue(QStringLiteral("select F_PassWord from OperList where F_Name = ?"),
                           {name});
}

QStringList visibleTopMenus(TFrmMain &main)
{
    QStringList names;
    for (QAction *a : main.menuBar()->actions()) {
        if (a->menu() && a->isVisible())
            names << a->menu()->objectName();
    }
    return names;
}

LoginResult logIn(TFrmMain &main, const QString &name, const QString &password)
{
    TfrmOperLogin login(LoginMode::ChangeOperator, &main);
    login.findChild<QComboBox *>(QStringLiteral("cbbOperName"))->setEditText(name);
    login.findChild<QLineEdit *>(QStringLiteral("edtPassWord"))->setText(password);
    login.findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
    return login.result();
}

} // namespace

// Operator administration: the operator list and the operator window with his rights.
class TestOperators : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void listFollowsTheDisabledBox()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        addOperator(db.dm(), QStringLiteral("甲"), QString(), {}, false, QStringLiteral("会计"));
        addOperator(db.dm(), QStringLiteral("乙"), QString(), {}, true);
        TfrmOperGl window;
        window.show();
        QCOMPARE(window.windowTitle(), QStringLiteral("操作员权限管理"));
        QCOMPARE(listedNames(window), (QStringList{"admin", "甲"}));
        auto *description = child<QPlainTextEdit>(&window, "memDescription");
        QCOMPARE(description->toPlainText(), QStringLiteral("系统管理员"));
        window.operators().setCurrentRow(1);
        QCOMPARE(description->toPlainText(), QStringLiteral("会计"));

        child<QCheckBox>(&window, "chkShowDisabled")->click();
        QCOMPARE(listedNames(window), (QStringList{"admin", "甲", "乙"}));
        const QAbstractItemModel *shown = window.grid()->view()->model();
        QCOMPARE(
            shown->index(2, 0).data(Qt::ForegroundRole).value<QColor>(),
            ReadableColor::readableOn(Qt::red, QGuiApplication::palette().color(QPalette::Button)));
        QCOMPARE(shown->index(2, 0).data(Qt::BackgroundRole).value<QBrush>().color(),
                 QGuiApplication::palette().color(QPalette::Button));
        QVERIFY(!shown->index(1, 0).data(Qt::ForegroundRole).isValid());
        QVERIFY(!shown->index(1, 0).data(Qt::BackgroundRole).isValid());
        child<QCheckBox>(&window, "chkShowDisabled")->click();
        QCOMPARE(listedNames(window), (QStringList{"admin", "甲"}));
    }

    void passwordBoxesShowAsterisks()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TFrmMain main;
        TfrmOperLogin login(LoginMode::ChangeOperator, &main);
        TfrmOperGl window;
        TFrmLimitGl editor(window.operators(), &window);
        TfrmModPass change(&main);
        const QList<QLineEdit *> boxes = {
            child<QLineEdit>(&login, "edtPassWord"), child<QLineEdit>(&editor, "edtPassWord"),
            child<QLineEdit>(&editor, "edtRepPass"), child<QLineEdit>(&change, "edtOldPass"),
            child<QLineEdit>(&change, "edtNewPass"), child<QLineEdit>(&change, "edtAdjustPass")};
        for (QLineEdit *box : boxes) {
            box->setText(QStringLiteral("密码1"));
            QCOMPARE(box->displayText(), QStringLiteral("***"));
        }
    }

    void adminIsProtectedInAnyCase_data()
    {
        QTest::addColumn<QString>("storedName");
        QTest::newRow("as shipped") << QStringLiteral("admin");
        QTest::newRow("capitals") << QStringLiteral("ADMIN");
        QTest::newRow("mixed") << QStringLiteral("Admin");
    }

    void adminIsProtectedInAnyCase()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, storedName);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        prompt.answer({Prompt::Yes});
        QVERIFY(db.dm()->ExecSql(QStringLiteral("update OperList set F_Name = ?"), {storedName}));
        TfrmOperGl window;
        window.show();
        child<QPushButton>(&window, "btnEdit")->click();
        child<QPushButton>(&window, "btnDelete")->click();
        QCOMPARE(prompt.texts(),
                 (QStringList{QStringLiteral("此用户为系统默认用户，不能修改和编辑！"),
                              QStringLiteral("此用户为系统默认用户，不能删除！")}));
        QCOMPARE(prompt.shown[0].kind, int(Prompt::Error));
        QCOMPARE(prompt.shown[1].kind, int(Prompt::Error));
        QCOMPARE(listedNames(window), QStringList{storedName});
    }

    void emptyListHasNothingToChange()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        QVERIFY(db.dm()->ExecSql(QStringLiteral("update OperList set F_Flag = ?"), {true}));
        TfrmOperGl window;
        window.show();
        child<QPushButton>(&window, "btnEdit")->click();
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("此表为空，没有记录需要修改！")});
    }

    void listKeys()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        TfrmOperGl window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QWidget *grid = QApplication::focusWidget();
        QTest::keyClick(grid, Qt::Key_E, Qt::ControlModifier);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(prompt.texts(),
                 (QStringList{QStringLiteral("此用户为系统默认用户，不能修改和编辑！"),
                              QStringLiteral("此用户为系统默认用户，不能删除！")}));
        bool opened = false;
        whenModal<TFrmLimitGl>(&window, [&opened](TFrmLimitGl *editor) {
            opened = editor->mode() == TFrmLimitGl::Add;
            QTest::keyClick(editor, Qt::Key_Escape);
        });
        QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(opened);
        QVERIFY(window.isVisible());
        QTest::keyClick(grid, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
    }

    void saveRefusesBadInputAndKeepsIt_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("repeated");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("empty name")
            << QStringLiteral("   ") << QString() << QString()
            << QStringLiteral("操作员名称不能为空！") << QStringLiteral("cbbName");
        QTest::newRow("confirmation differs by a blank")
            << QStringLiteral("丙") << QStringLiteral("pw") << QStringLiteral("pw ")
            << QStringLiteral("验正码不正确，请重新确认输入！") << QStringLiteral("edtRepPass");
        QTest::newRow("name taken in another case")
            << QStringLiteral(" o'BRIEN ") << QString() << QString()
            << QStringLiteral("操作员名称重复，请重新输入！") << QStringLiteral("cbbName");
        QTest::newRow("admin in capitals")
            << QStringLiteral("ADMIN") << QString() << QString()
            << QStringLiteral("操作员名称重复，请重新输入！") << QStringLiteral("cbbName");
    }

    void saveRefusesBadInputAndKeepsIt()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, repeated);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        addOperator(db.dm(), QStringLiteral("O'Brien"), QString());
        TfrmOperGl window;
        window.show();
        TFrmLimitGl editor(window.operators(), &window);
        editor.OpenEditor(TFrmLimitGl::Add);
        editor.show();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        fill(editor, name, password, repeated);
        tick(editor, {QStringLiteral("新增")});
        QVERIFY(!editor.save());
        QCOMPARE(prompt.texts(), QStringList{message});
        QCOMPARE(prompt.shown[0].kind, int(Prompt::Information));
        QCOMPARE(QApplication::focusWidget()->objectName().isEmpty()
                     ? QApplication::focusWidget()->parentWidget()->objectName()
                     : QApplication::focusWidget()->objectName(),
                 focus);
        QVERIFY(editor.isVisible());
        QCOMPARE(child<QComboBox>(&editor, "cbbName")->currentText(), name);
        QCOMPARE(ticked(editor), QStringList{QStringLiteral("新增")});
        QCOMPARE(db.dm()->GetIntValue(QStringLiteral("select count(*) from OperList")), 2);
        QCOMPARE(rightsRows(db.dm()), 0);
    }

    void addingStaysOpenAndEmptyEditingCloses()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        TfrmOperGl window;
        window.show();
        TFrmLimitGl editor(window.operators(), &window);
        editor.OpenEditor(TFrmLimitGl::Add);
        editor.show();
        QVERIFY(!child<QLabel>(&editor, "lblPassHint")->isVisible());
        QVERIFY(child<QCheckBox>(&editor, "cbXtFlag")->isHidden());
        fill(editor, QStringLiteral("  O'Brien \"Jr\" "), QStringLiteral(" p'w "),
             QStringLiteral(" p'w "));
        child<MemoBox>(&editor, "Mem1")->setPlainText(QStringLiteral("说明 'a' \"b\""));
        child<QCheckBox>(&editor, "CheckBox1")->setChecked(true);
        child<QPushButton>(&editor, "btnAll")->click();
        QVERIFY(editor.save());
        QVERIFY(editor.isVisible());
        QCOMPARE(child<QComboBox>(&editor, "cbbName")->currentText(), QString());
        QVERIFY(child<QLineEdit>(&editor, "edtPassWord")->text().isEmpty());
        QVERIFY(child<MemoBox>(&editor, "Mem1")->toPlainText().isEmpty());
        QVERIFY(!child<QCheckBox>(&editor, "CheckBox1")->isChecked());
        QVERIFY(ticked(editor).isEmpty());
        QCOMPARE(prompt.texts(), QStringList());

        const QString name = QStringLiteral("O'Brien \"Jr\"");
        QCOMPARE(storedCodes(db.dm(), name).size(), 35);
        QVERIFY(PassHash::verify(storedHash(db.dm(), name), QStringLiteral(" p'w ")));
        QCOMPARE(db.dm()->GetStrValue(QStringLiteral("select F_Mem from OperList where F_Name = ?"),
                                      {name}),
                 QStringLiteral("说明 'a' \"b\""));
        // Disabled: listed only when asked for.
        QCOMPARE(listedNames(window), QStringList{"admin"});
        child<QCheckBox>(&window, "chkShowDisabled")->click();
        selectOperator(window, name);

        TFrmLimitGl change(window.operators(), &window);
        change.OpenEditor(TFrmLimitGl::Edit);
        change.show();
        QVERIFY(child<QLabel>(&change, "lblPassHint")->isVisible());
        QCOMPARE(child<QComboBox>(&change, "cbbName")->currentText(), name);
        QVERIFY(child<QLineEdit>(&change, "edtPassWord")->text().isEmpty());
        QVERIFY(child<QCheckBox>(&change, "CheckBox1")->isChecked());
        QCOMPARE(ticked(change).size(), 35);
        child<QPushButton>(&change, "btnNone")->click();
        // His own unchanged name is no clash.
        QVERIFY(change.save());
        QVERIFY(!change.isVisible());
        QCOMPARE(change.result(), int(QDialog::Accepted));
        QCOMPARE(storedCodes(db.dm(), name), QStringList());
        QCOMPARE(prompt.texts(), QStringList());
    }

    void passwordBoxesLeftEmptyKeepThePassword()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        addOperator(db.dm(), QStringLiteral("丁"), QStringLiteral("old"));
        const QString before = storedHash(db.dm(), QStringLiteral("丁"));
        TfrmOperGl window;
        window.show();
        selectOperator(window, QStringLiteral("丁"));
        {
            TFrmLimitGl editor(window.operators(), &window);
            editor.OpenEditor(TFrmLimitGl::Edit);
            QVERIFY(editor.save());
        }
        QCOMPARE(storedHash(db.dm(), QStringLiteral("丁")), before);
        selectOperator(window, QStringLiteral("丁"));
        {
            TFrmLimitGl editor(window.operators(), &window);
            editor.OpenEditor(TFrmLimitGl::Edit);
            fill(editor, QStringLiteral("丁"), QStringLiteral("new"), QStringLiteral("new"));
            QVERIFY(editor.save());
        }
        QVERIFY(PassHash::verify(storedHash(db.dm(), QStringLiteral("丁")), QStringLiteral("new")));
        QCOMPARE(prompt.texts(), QStringList());
    }

    void rightsAreSavedExactlyAsTicked()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        addOperator(db.dm(), QStringLiteral("戊"), QString(), {"201", "505"});
        // 505 is no longer offered; a row for it must not outlive the next save.
        QVERIFY(db.dm()->ExecSql(QStringLiteral("update Limits set F_flag = ? where F_code = ?"),
                                 {false, QStringLiteral("505")}));
        TfrmOperGl window;
        window.show();
        selectOperator(window, QStringLiteral("戊"));
        TFrmLimitGl editor(window.operators(), &window);
        editor.OpenEditor(TFrmLimitGl::Edit);
        const auto *rights = child<QListWidget>(&editor, "clbOperLimt");
        QCOMPARE(rights->count(), 34);
        QCOMPARE(rights->item(0)->text(), QStringLiteral("公司信息"));
        QVERIFY(rights->findItems(QStringLiteral("数据备份恢复"), Qt::MatchExactly).isEmpty());
        QCOMPARE(ticked(editor), QStringList{QStringLiteral("新增")});
        tick(editor, {QStringLiteral("修改"), QStringLiteral("导出"), QStringLiteral("选项...")});
        QVERIFY(editor.save());
        QCOMPARE(storedCodes(db.dm(), QStringLiteral("戊")), (QStringList{"104", "202", "301"}));
        QCOMPARE(rightsRows(db.dm()), 3);
    }

    void renameAndDeleteTakeTheRightsAlong()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        addOperator(db.dm(), QStringLiteral("张三"), QString(), {"201", "202"});
        // Rows someone left under the new name are no rights of his.
        QVERIFY(db.dm()->ExecSql(QStringLiteral("insert into OperLimit(F_OperName, F_lmtName) "
                                                "values(?, ?)"),
                                 {QStringLiteral("LI'SI"), QStringLiteral("删除")}));
        TfrmOperGl window;
        window.show();
        selectOperator(window, QStringLiteral("张三"));
        {
            TFrmLimitGl editor(window.operators(), &window);
            editor.OpenEditor(TFrmLimitGl::Edit);
            child<QComboBox>(&editor, "cbbName")->setEditText(QStringLiteral("li'si"));
            QVERIFY(editor.save());
        }
        QCOMPARE(storedCodes(db.dm(), QStringLiteral("张三")), QStringList());
        QCOMPARE(storedCodes(db.dm(), QStringLiteral("li'si")), (QStringList{"201", "202"}));
        QCOMPARE(rightsRows(db.dm()), 2);
        QCOMPARE(window.operators().value(QStringLiteral("F_Name")).toString(),
                 QStringLiteral("li'si"));

        prompt.answer({Prompt::No, Prompt::Yes});
        child<QPushButton>(&window, "btnDelete")->click();
        QCOMPARE(listedNames(window), (QStringList{"admin", "li'si"}));
        child<QPushButton>(&window, "btnDelete")->click();
        QCOMPARE(prompt.texts(),
                 QStringList(2, QStringLiteral("真的要删除当前操作员 \"li'si\" 吗？")));
        QCOMPARE(listedNames(window), QStringList{"admin"});
        QCOMPARE(rightsRows(db.dm()), 0);

        // A new operator of an old name starts with nothing.
        TFrmLimitGl editor(window.operators(), &window);
        editor.OpenEditor(TFrmLimitGl::Add);
        fill(editor, QStringLiteral("张三"), QString(), QString());
        QVERIFY(editor.save());
        QCOMPARE(storedCodes(db.dm(), QStringLiteral("张三")), QStringList());
    }

    void aFailingSaveRollsBackAndKeepsTheForm()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        // The rights rows come last: the operator row written before them must not stay.
        const QStringList trigger =
            engine == u"sqlite"
                ? QStringList{QStringLiteral("create trigger refuse before insert on OperLimit "
                                             "begin select raise(abort, 'refused'); end")}
                : QStringList{
                      QStringLiteral("create function refuse() returns trigger language "
                                     "plpgsql as $$ begin raise exception 'refused'; end $$"),
                      QStringLiteral("create trigger refuse before insert on OperLimit "
                                     "for each row execute function refuse()")};
        for (const QString &sql : trigger)
            QVERIFY(db.dm()->ExecSql(sql));
        TfrmOperGl window;
        window.show();
        TFrmLimitGl editor(window.operators(), &window);
        editor.OpenEditor(TFrmLimitGl::Add);
        editor.show();
        fill(editor, QStringLiteral("己"), QStringLiteral("x"), QStringLiteral("x"));
        tick(editor, {QStringLiteral("新增")});
        QVERIFY(!editor.save());
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("保存失败，请检测数据库连接！")});
        QCOMPARE(prompt.shown[0].kind, int(Prompt::Error));
        QCOMPARE(db.dm()->GetIntValue(QStringLiteral("select count(*) from OperList")), 1);
        QVERIFY(editor.isVisible());
        QCOMPARE(child<QComboBox>(&editor, "cbbName")->currentText(), QStringLiteral("己"));
        QCOMPARE(child<QLineEdit>(&editor, "edtPassWord")->text(), QStringLiteral("x"));
        QCOMPARE(ticked(editor), QStringList{QStringLiteral("新增")});
    }

    // 张三 gets only the sample-record rights, logs in and sees just those; without rights
    // only the view, tools and help menus are left.
    void aNewOperatorLogsInWithWhatWasTicked()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        TFrmMain main;
        db.dm()->setCurOperName(QStringLiteral("admin"));
        TfrmOperGl window(&main);
        window.show();
        TFrmLimitGl editor(window.operators(), &window);
        editor.OpenEditor(TFrmLimitGl::Add);
        fill(editor, QStringLiteral("张三"), QStringLiteral("z'3"), QStringLiteral("z'3"));
        tick(editor, {QStringLiteral("新增"), QStringLiteral("修改"), QStringLiteral("删除"),
                      QStringLiteral("复制")});
        QVERIFY(editor.save());
        fill(editor, QStringLiteral("李四"), QString(), QString());
        QVERIFY(editor.save());

        QCOMPARE(logIn(main, QStringLiteral("张三"), QStringLiteral("z'3")), LoginResult::LoggedIn);
        for (int id = 101; id <= 505; ++id) {
            if (QAction *a = main.action(id))
                QCOMPARE(a->isVisible(), QList<int>({201, 202, 203, 207}).contains(id));
        }
        QCOMPARE(logIn(main, QStringLiteral("李四"), QString()), LoginResult::LoggedIn);
        QCOMPARE(visibleTopMenus(main),
                 (QStringList{QStringLiteral("mnuView"), QStringLiteral("mnuTools"),
                              QStringLiteral("mnuHelp")}));
        QCOMPARE(prompt.texts(), QStringList());
    }

    // The menus follow at once when the operator logged in changes his own rights or name,
    // or deletes himself.
    void changingTheOperatorLoggedInFollowsTheSession()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        addOperator(db.dm(), QStringLiteral("clerk"), QString(), {"103"});
        TFrmMain main;
        QCOMPARE(logIn(main, QStringLiteral("Clerk"), QString()), LoginResult::LoggedIn);
        QVERIFY(main.action(103)->isVisible() && !main.action(201)->isVisible());

        TfrmOperGl window(&main);
        window.show();
        selectOperator(window, QStringLiteral("clerk"));
        {
            TFrmLimitGl editor(window.operators(), &window);
            editor.OpenEditor(TFrmLimitGl::Edit);
            tick(editor, {QStringLiteral("用户权限"), QStringLiteral("新增")});
            QVERIFY(editor.save());
        }
        QVERIFY(main.action(201)->isVisible());
        QCOMPARE(db.dm()->CurOperName(), QStringLiteral("Clerk"));

        selectOperator(window, QStringLiteral("clerk"));
        {
            TFrmLimitGl editor(window.operators(), &window);
            editor.OpenEditor(TFrmLimitGl::Edit);
            child<QComboBox>(&editor, "cbbName")->setEditText(QStringLiteral("cashier"));
            QVERIFY(editor.save());
        }
        QCOMPARE(db.dm()->CurOperName(), QStringLiteral("cashier"));
        QCOMPARE(db.dm()->config().curOperName(), QStringLiteral("cashier"));
        QCOMPARE(main.statusPanel(1), QStringLiteral("cashier"));
        QVERIFY(main.action(201)->isVisible());

        prompt.answer({Prompt::Yes});
        selectOperator(window, QStringLiteral("cashier"));
        child<QPushButton>(&window, "btnDelete")->click();
        QVERIFY(db.dm()->session().rights().isEmpty());
        QVERIFY(!main.action(103)->isVisible());
    }
};

QTEST_MAIN(TestOperators)
#include "tst_operators.moc"
