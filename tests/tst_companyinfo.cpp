#include "operators/CompanyLinks.h"
#include "operators/uFrmUserInfo.h"
#include "support/ScriptedPrompt.h"
#include "support/ShellRecorder.h"
#include "support/TestDatabase.h"
#include "widgets/MemoBox.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

QLineEdit *box(TFrmUserInfo &window, const char *name)
{
    return window.findChild<QLineEdit *>(QLatin1String(name));
}

void press(TFrmUserInfo &window, const char *name)
{
    window.findChild<QPushButton *>(QLatin1String(name))->click();
}

QString stored(TdmData *dm, const QString &column)
{
    return dm->GetStrValue(QStringLiteral("select %1 from SysInfo").arg(column));
}

void storeCompany(TdmData *dm, const QString &backupFolder)
{
    QVERIFY(dm->ExecSql(QStringLiteral("update SysInfo set F_Code = ?, F_Name = ?, F_Email = ?, "
                                       "F_Homepage = ?, F_BakPath = ?, F_Enroler = ?, F_Mem = ?"),
                        {QStringLiteral("甲公司"), QStringLiteral("北京"),
                         QStringLiteral("info@jia.com"), QStringLiteral("www.jia.com"),
                         backupFolder, QStringLiteral("王五"), QStringLiteral("简介")}));
}

} // namespace

// 公司信息: the company's row, its home page and e-mail address.
class TestCompanyInfo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void loadSaveClearAndReload()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        storeCompany(db.dm(), db.home());
        TFrmUserInfo window;
        window.show();
        QCOMPARE(window.windowTitle(), QStringLiteral("公司信息"));
        const auto *pages = window.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
        QCOMPARE(pages->count(), 2);
        QCOMPARE(pages->tabText(0), QStringLiteral("主要资料"));
        QCOMPARE(pages->tabText(1), QStringLiteral("其他资料"));
        QCOMPARE(box(window, "edtCode")->text(), QStringLiteral("甲公司"));
        QCOMPARE(box(window, "edtEnroler")->text(), QStringLiteral("王五"));
        QCOMPARE(window.findChild<MemoBox *>(QStringLiteral("Mem"))->toPlainText(),
                 QStringLiteral("简介"));
        QVERIFY(box(window, "edtBakPath")->isHidden());

        box(window, "edtCode")->setText(QStringLiteral("  O'Neil \"&\" Co  "));
        box(window, "edtMovePhone")->setText(QStringLiteral("138'0000"));
        window.findChild<MemoBox *>(QStringLiteral("Mem"))->setPlainText(QStringLiteral("a'b\n"));
        press(window, "btnSave");
        QCOMPARE(prompt.texts(), QStringList());
        QCOMPARE(stored(db.dm(), QStringLiteral("F_Code")), QStringLiteral("O'Neil \"&\" Co"));
        QCOMPARE(stored(db.dm(), QStringLiteral("F_HandPhone")), QStringLiteral("138'0000"));
        QCOMPARE(stored(db.dm(), QStringLiteral("F_Mem")), QStringLiteral("a'b"));
        QCOMPARE(stored(db.dm(), QStringLiteral("F_BakPath")), db.home());

        // 重填 empties what the user sees; the hidden backup folder stays.
        press(window, "btnClear");
        QVERIFY(box(window, "edtCode")->text().isEmpty());
        QVERIFY(box(window, "edtEmail")->text().isEmpty());
        QVERIFY(window.findChild<MemoBox *>(QStringLiteral("Mem"))->toPlainText().isEmpty());
        QCOMPARE(box(window, "edtBakPath")->text(), db.home());
        // 修改 reads the row again, the cleared boxes too.
        press(window, "btnReload");
        QCOMPARE(box(window, "edtCode")->text(), QStringLiteral("O'Neil \"&\" Co"));
        QCOMPARE(box(window, "edtEmail")->text(), QStringLiteral("info@jia.com"));
        QCOMPARE(prompt.texts(), QStringList());
    }

    void backupFolder_data()
    {
        QTest::addColumn<QString>("folder"); // under the test's home; "-" for none
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saved");
        QTest::newRow("none means back/") << QStringLiteral("-") << 0 << true;
        QTest::newRow("missing, created") << QStringLiteral("a/b") << int(Prompt::Yes) << true;
        QTest::newRow("missing, refused") << QStringLiteral("a/b") << int(Prompt::No) << false;
    }

    void backupFolder()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, folder);
        QFETCH(int, answer);
        QFETCH(bool, saved);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        const QString path = folder == u"-" ? QString() : QDir(db.home()).filePath(folder);
        storeCompany(db.dm(), path);
        TFrmUserInfo window;
        window.show();
        box(window, "edtCode")->setText(QStringLiteral("乙公司"));
        if (answer)
            prompt.answer({answer});
        press(window, "btnSave");
        QCOMPARE(stored(db.dm(), QStringLiteral("F_Code")),
                 saved ? QStringLiteral("乙公司") : QStringLiteral("甲公司"));
        if (path.isEmpty()) {
            QCOMPARE(prompt.texts(), QStringList());
            return;
        }
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("当前目录") + path +
                                             QStringLiteral(" 不存在，是否创建！")});
        QCOMPARE(QFileInfo(path).isDir(), saved);
        QCOMPARE(box(window, "edtCode")->text(), QStringLiteral("乙公司"));
    }

    void aTableWithoutItsRowGetsOne()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        QVERIFY(db.dm()->ExecSql(QStringLiteral("delete from SysInfo")));
        TFrmUserInfo window;
        window.show();
        QVERIFY(box(window, "edtCode")->text().isEmpty());
        box(window, "edtCode")->setText(QStringLiteral("丙公司"));
        press(window, "btnSave");
        QCOMPARE(db.dm()->GetIntValue(QStringLiteral("select count(*) from SysInfo")), 1);
        QCOMPARE(stored(db.dm(), QStringLiteral("F_Code")), QStringLiteral("丙公司"));
        QCOMPARE(prompt.texts(), QStringList());
    }

    void aRefusedSaveKeepsWhatWasTyped()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        storeCompany(db.dm(), QString());
        const QStringList trigger =
            engine == u"sqlite"
                ? QStringList{QStringLiteral("create trigger refuse before update on SysInfo "
                                             "begin select raise(abort, 'refused'); end")}
                : QStringList{
                      QStringLiteral("create function refuse() returns trigger language "
                                     "plpgsql as $$ begin raise exception 'refused'; end $$"),
                      QStringLiteral("create trigger refuse before update on SysInfo "
                                     "for each row execute function refuse()")};
        for (const QString &sql : trigger)
            QVERIFY(db.dm()->ExecSql(sql));
        TFrmUserInfo window;
        window.show();
        box(window, "edtCode")->setText(QStringLiteral("乙公司"));
        QVERIFY(!window.saveInfo());
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("保存失败，请检测数据库连接！")});
        QCOMPARE(prompt.shown[0].kind, int(Prompt::Error));
        QCOMPARE(box(window, "edtCode")->text(), QStringLiteral("乙公司"));
        QCOMPARE(stored(db.dm(), QStringLiteral("F_Code")), QStringLiteral("甲公司"));
    }

    void mailAddressRule_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("valid");
        QTest::newRow("three after the only dot") << QStringLiteral("a@bc.com") << true;
        QTest::newRow("two after the only dot") << QStringLiteral("a@bcd.cn") << false;
        QTest::newRow("three after the first of two dots")
            << QStringLiteral("x_y-z@mail.abc.cn") << true;
        QTest::newRow("blank") << QStringLiteral("a b@bc.com") << false;
        QTest::newRow("plus") << QStringLiteral("a+b@bc.com") << false;
        QTest::newRow("two dots") << QStringLiteral("a..b@bc.com") << false;
        QTest::newRow("nothing before @") << QStringLiteral("@bcd.com") << false;
        QTest::newRow("no @") << QStringLiteral("abc.com") << false;
        QTest::newRow("short domain") << QStringLiteral("a@b.c") << false;
        QTest::newRow("no dot after @") << QStringLiteral("a@bcdef") << false;
        QTest::newRow("not Latin") << QStringLiteral("张@bc.com") << false;
    }

    void mailAddressRule()
    {
        QFETCH(QString, address);
        QFETCH(bool, valid);
        QCOMPARE(CompanyLinks::isMailAddress(address), valid);
    }

    void homePage_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("opened");
        QTest::newRow("bare host")
            << QStringLiteral(" www.jia.com ") << QStringLiteral("http://www.jia.com");
        QTest::newRow("http") << QStringLiteral("http://jia.com/a")
                              << QStringLiteral("http://jia.com/a");
        QTest::newRow("https") << QStringLiteral("https://jia.com")
                               << QStringLiteral("https://jia.com");
        QTest::newRow("capitals") << QStringLiteral("HTTP://jia.com")
                                  << QStringLiteral("http://jia.com");
        QTest::newRow("empty") << QStringLiteral("  ") << QString();
    }

    void homePage()
    {
        QFETCH(QString, typed);
        QFETCH(QString, opened);
        QCOMPARE(CompanyLinks::homePage(typed).toString(), opened);
    }

    // Double clicks on the two link boxes open them through the desktop.
    void linksOpenOnDoubleClick()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        ShellRecorder shell;
        storeCompany(db.dm(), QString());
        TFrmUserInfo window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseDClick(box(window, "edtHomepage"), Qt::LeftButton);
        QTest::mouseDClick(box(window, "edtEmail"), Qt::LeftButton);
        QCOMPARE(shell.opened, (QStringList{QStringLiteral("http://www.jia.com"),
                                            QStringLiteral("mailto:info@jia.com?subject")}));
        box(window, "edtEmail")->setText(QStringLiteral("info@jia.cn"));
        QTest::mouseDClick(box(window, "edtEmail"), Qt::LeftButton);
        QCOMPARE(shell.opened.size(), 2);
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("非法电子邮箱！")});
    }
};

QTEST_MAIN(TestCompanyInfo)
#include "tst_companyinfo.moc"
