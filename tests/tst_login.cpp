#include "app/uFrmMain.h"
#include "core/PassHash.h"
#include "operators/uFrmOperLogin.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

void addOperator(TdmData *dm, const QString &name, const QString &password,
                 const QStringList &rightCodes = {})
{
    QVERIFY(dm->ExecSql(QStringLiteral("insert into OperList(F_Name, F_PassWord) values(?, ?)"),
                        {name, PassHash::hash(password)}));
    for (const QString &code : rightCodes)
        QVERIFY(dm->ExecSql(QStringLiteral("insert into OperLimit(F_OperName, F_lmtName) "
                                           "select ?, F_name from Limits where F_code = ?"),
                            {name, code}));
}

void attempt(TfrmOperLogin &login, const QString &name, const QString &password)
{
    login.findChild<QComboBox *>(QStringLiteral("cbbOperName"))->setEditText(name);
    login.findChild<QLineEdit *>(QStringLiteral("edtPassWord"))->setText(password);
    login.findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
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

int logRows(TdmData *dm, const QString &operType)
{
    return dm->GetIntValue(QStringLiteral("select count(*) from LogRec where F_OperType = ?"),
                           {operType});
}

} // namespace

// The login window, its failure counting and the rights it applies to the main window.
class TestLogin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void adminInCapitalsWithBlanksSeesEverything()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        TFrmMain main;
        TfrmOperLogin login(LoginMode::StartUp, &main);
        QCOMPARE(login.windowTitle(), QStringLiteral("登录窗口"));
        QCOMPARE(login.findChild<QComboBox *>(QStringLiteral("cbbOperName"))->count(), 1);
        attempt(login, QStringLiteral("  ADMIN "), QString());
        QCOMPARE(login.result(), LoginResult::LoggedIn);
        QVERIFY(prompt.shown.isEmpty());
        QCOMPARE(db.dm()->CurOperName(), QStringLiteral("ADMIN"));
        QCOMPARE(db.dm()->config().curOperName(), QStringLiteral("ADMIN"));
        for (int id = 101; id <= 505; ++id) {
            if (QAction *a = main.action(id))
                QVERIFY2(a->isVisible(), qPrintable(a->objectName()));
        }
        QCOMPARE(visibleTopMenus(main).size(), 8);
        QCOMPARE(main.statusPanel(1), QStringLiteral("  ADMIN "));
    }

    void remembersTheLastOperatorOnlyAfterSuccess()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        addOperator(db.dm(), QStringLiteral("O'Brien"), QStringLiteral("p'w%\\"));
        db.dm()->config().setCurOperName(QStringLiteral("admin"));
        TFrmMain main;
        TfrmOperLogin login(LoginMode::StartUp, &main);
        QCOMPARE(login.findChild<QComboBox *>(QStringLiteral("cbbOperName"))->currentText(),
                 QStringLiteral("admin"));
        attempt(login, QStringLiteral("O'Brien"), QStringLiteral("wrong"));
        QCOMPARE(db.dm()->config().curOperName(), QStringLiteral("admin"));
        attempt(login, QStringLiteral("O'Brien"), QStringLiteral("p'w%\\"));
        QCOMPARE(login.result(), LoginResult::LoggedIn);
        QCOMPARE(db.dm()->config().curOperName(), QStringLiteral("O'Brien"));
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("用户名或密码不正确，请重新输入！")});
    }

    void fourthWrongPassword_data()
    {
        QTest::addColumn<LoginMode>("mode");
        QTest::addColumn<QString>("logText");
        QTest::addColumn<QString>("box");
        QTest::addColumn<LoginResult>("result");
        QTest::newRow("start-up") << LoginMode::StartUp << QStringLiteral("登录失败！")
                                  << QStringLiteral("非法操作员!") << LoginResult::Terminate;
        QTest::newRow("change operator")
            << LoginMode::ChangeOperator << QStringLiteral("更换操作员失败！")
            << QStringLiteral("更换操作员失败!") << LoginResult::Cancelled;
    }

    void fourthWrongPassword()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(LoginMode, mode);
        QFETCH(QString, logText);
        QFETCH(QString, box);
        QFETCH(LoginResult, result);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        db.dm()->setCurOperName(QStringLiteral("previous"));
        TFrmMain main;
        TfrmOperLogin login(mode, &main);
        login.show();
        for (int i = 0; i < 3; ++i)
            attempt(login, QStringLiteral("admin"), QStringLiteral("x"));
        QCOMPARE(login.FailCount(), 3);
        QVERIFY(login.isVisible());
        QCOMPARE(prompt.texts(),
                 QStringList(3, QStringLiteral("用户名或密码不正确，请重新输入！")));
        QCOMPARE(logRows(db.dm(), logText), 0);

        prompt.clear();
        attempt(login, QStringLiteral("admin"), QStringLiteral("x"));
        QCOMPARE(prompt.texts(), QStringList{box});
        QCOMPARE(prompt.shown[0].kind, int(Prompt::Error));
        QCOMPARE(login.result(), result);
        QVERIFY(!login.isVisible());
        QCOMPARE(logRows(db.dm(), logText), 1);
        QCOMPARE(db.dm()->CurOperName(), QStringLiteral("previous"));
    }

    void unknownOrEmptyNamesNeverCount()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        TfrmOperLogin login(LoginMode::StartUp, nullptr);
        for (int i = 0; i < 5; ++i)
            attempt(login, QStringLiteral("ghost'; --"), QString());
        attempt(login, QStringLiteral("   "), QString());
        QCOMPARE(login.FailCount(), 0);
        QStringList expected(5, QStringLiteral("此操作员并不存在，请重新选择操作员！"));
        expected << QStringLiteral("请选择用户！");
        QCOMPARE(prompt.texts(), expected);
        QCOMPARE(db.dm()->GetIntValue(QStringLiteral("select count(*) from LogRec")), 0);
    }

    void cancelDependsOnMode()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TfrmOperLogin atStart(LoginMode::StartUp, nullptr);
        atStart.findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
        QCOMPARE(atStart.result(), LoginResult::Terminate);
        TfrmOperLogin changing(LoginMode::ChangeOperator, nullptr);
        changing.findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
        QCOMPARE(changing.result(), LoginResult::Cancelled);
    }

    void escapeNeverClosesTheLogin_data()
    {
        QTest::addColumn<LoginMode>("mode");
        QTest::newRow("start-up") << LoginMode::StartUp;
        QTest::newRow("change operator") << LoginMode::ChangeOperator;
    }

    void escapeNeverClosesTheLogin()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(LoginMode, mode);
        TestDatabase db(engine);
        TfrmOperLogin login(mode, nullptr);
        login.show();
        QVERIFY(QTest::qWaitForWindowActive(&login));
        for (const char *name : {"edtPassWord", "cbbOperName"}) {
            auto *box = login.findChild<QWidget *>(QLatin1String(name));
            box->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            QVERIFY2(login.isVisible(), name);
            QCOMPARE(login.result(), LoginResult::Cancelled);
        }
    }

    // The main window follows the session, whoever logs in: its rights and the status bar.
    void mainWindowFollowsTheSession()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        TFrmMain main;
        main.show();
        db.dm()->session().logIn(QStringLiteral(" clerk "), {QStringLiteral("401")});
        QCOMPARE(db.dm()->CurOperName(), QStringLiteral("clerk"));
        QCOMPARE(main.statusPanel(1), QStringLiteral(" clerk "));
        for (int id = 101; id <= 505; ++id) {
            if (QAction *a = main.action(id))
                QCOMPARE(a->isVisible(), id == 401);
        }
        QCOMPARE(visibleTopMenus(main).first(), QStringLiteral("mnuStat"));
        QTRY_VERIFY(!main.findChild<QToolButton *>(QStringLiteral("tbPrint"))->isVisible());
        db.dm()->setCurOperName(QStringLiteral("admin"));
        QVERIFY(main.action(101)->isVisible() && main.action(505)->isVisible());
        QTRY_VERIFY(main.findChild<QToolButton *>(QStringLiteral("tbPrint"))->isVisible());
    }

    void rightsShowCommandsAndTheirMenus_data()
    {
        QTest::addColumn<QStringList>("rights");
        QTest::addColumn<QStringList>("menus");
        const QStringList always{QStringLiteral("mnuView"), QStringLiteral("mnuTools"),
                                 QStringLiteral("mnuHelp")};
        QTest::newRow("none") << QStringList() << always;
        QTest::newRow("new and export")
            << QStringList{QStringLiteral("201"), QStringLiteral("301")}
            << QStringList{QStringLiteral("mnuEdit"), QStringLiteral("mnuOutput")} + always;
        QTest::newRow("backup") << QStringList{QStringLiteral("505")}
                                << QStringList{QStringLiteral("mnuData")} + always;
    }

    void rightsShowCommandsAndTheirMenus()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QStringList, rights);
        QFETCH(QStringList, menus);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        addOperator(db.dm(), QStringLiteral("clerk"), QStringLiteral("1"), rights);
        TFrmMain main;
        TfrmOperLogin login(LoginMode::StartUp, &main);
        attempt(login, QStringLiteral("Clerk"), QStringLiteral("1"));
        QCOMPARE(login.result(), LoginResult::LoggedIn);
        for (int id = 101; id <= 505; ++id) {
            if (QAction *a = main.action(id))
                QCOMPARE(a->isVisible(), rights.contains(QString::number(id)));
        }
        QCOMPARE(visibleTopMenus(main), menus);
        // Commands outside the rights stay whatever their own state is.
        QVERIFY(main.action(507)->isVisible());
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
