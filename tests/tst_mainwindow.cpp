#include "app/uFrmMain.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"
#include "widgets/DBGridEh.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

// The main window's frame: commands, menus, status bar, exit question, compaction.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void everyNumberedCommandExistsWithItsCaption()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TFrmMain main;
        QCOMPARE(main.action(104)->text(), QStringLiteral("选项..."));
        QCOMPARE(main.action(307)->text(), QStringLiteral("样品分类统计表"));
        QCOMPARE(main.action(507)->text(), QStringLiteral("连接网络数据库"));
        int numbered = 0;
        for (QAction *a : main.findChildren<QAction *>()) {
            if (a->objectName().startsWith(u"Action"))
                ++numbered;
        }
        QCOMPARE(numbered, 35 + 2 + 4);
        QVERIFY(main.action(302)->isEnabled());
        QVERIFY(main.action(506)->isEnabled());
        QCOMPARE(main.findChild<QToolBar *>(QStringLiteral("ToolBar1"))->iconSize(), QSize(30, 30));
    }

    void statusBarAndTitleAfterShowing()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        db.dm()->setCurOperName(QStringLiteral("张三"));
        TFrmMain main;
        main.show();
        QCOMPARE(main.windowTitle(), QStringLiteral("Quorin样品管理软件 "));
        QCOMPARE(main.statusPanel(0), QStringLiteral(" 当前用户"));
        QCOMPARE(main.statusPanel(1), QStringLiteral(" 张三"));
        QCOMPARE(main.statusPanel(2), QStringLiteral("样品总数：0"));
        QVERIFY(main.statusPanel(4).startsWith(u"Quorin样品管理软件(企业版)"));
        const QString clock = main.statusPanel(3).trimmed();
        QVERIFY(QDateTime::fromString(clock, QStringLiteral("yyyy-MM-dd hh:mm:ss")).isValid());
        main.setStatusPanel(3, QString());
        QTRY_VERIFY_WITH_TIMEOUT(!main.statusPanel(3).isEmpty(), 2500);
    }

    void ctrlAAddsWhileTheSearchBoxHasTheFocus()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        TFrmMain main;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        auto *search = main.findChild<QLineEdit *>(QStringLiteral("Edit1"));
        search->setFocus();
        QString opened;
        QTimer::singleShot(0, this, [&opened] {
            auto *editor = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!editor)
                return;
            opened = editor->objectName();
            editor->reject();
        });
        QTest::keyClick(search, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(opened, QStringLiteral("frmRevaZezEdit"));
    }

    void footerSumsQuantityAndPrices()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        for (double price : {1.5, 2.25}) {
            QVERIFY(db.dm()->ExecSql(
                QStringLiteral("insert into GoodMain(F_goodCode, F_amount, F_CGprice, F_CGtype, "
                               "F_editDate) values('A', 2, ?, '人民币', ?)"),
                {price, QDate::currentDate()}));
        }
        TFrmMain main;
        main.show();
        const QList<GridColumn> columns = main.grid()->columns();
        const auto footer = [&](const QString &field) {
            for (int i = 0; i < columns.size(); ++i) {
                if (columns[i].field.compare(field, Qt::CaseInsensitive) == 0)
                    return main.grid()->footerText(i);
            }
            return QStringLiteral("no column");
        };
        QTRY_COMPARE(footer(QStringLiteral("F_CGprice")), QStringLiteral("3.75"));
        QCOMPARE(footer(QStringLiteral("F_goodCode")), QStringLiteral("合计(人民币)"));
        QCOMPARE(footer(QStringLiteral("F_amount")), QStringLiteral("4"));
        QCOMPARE(footer(QStringLiteral("F_XSprice1")), QStringLiteral("0.00"));
    }

    void viewMenuTogglesBars()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TFrmMain main;
        main.show();
        auto *statusToggle = main.findChild<QAction *>(QStringLiteral("actViewStatusBar"));
        auto *toolToggle = main.findChild<QAction *>(QStringLiteral("actViewToolBar"));
        QVERIFY(statusToggle->isChecked() && toolToggle->isChecked());
        statusToggle->trigger();
        toolToggle->trigger();
        QVERIFY(!main.statusBar()->isVisible());
        QVERIFY(!main.findChild<QToolBar *>(QStringLiteral("ToolBar1"))->isVisible());
        statusToggle->trigger();
        QVERIFY(main.statusBar()->isVisible());
    }

    // Alt and a letter reaches one thing: the window's menus, labels and buttons share the
    // letters, and each menu's items have their own.
    void everyMnemonicIsUnique()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        TFrmMain main;
        main.show();
        const auto mnemonic = [](const QString &text) -> QChar {
            const qsizetype at = text.indexOf(QRegularExpression(QStringLiteral("&[^&]")));
            return at < 0 ? QChar() : text.at(at + 1).toUpper();
        };
        const auto checkUnique = [&](const QString &where, const QStringList &texts) {
            QHash<QChar, QString> seen;
            for (const QString &text : texts) {
                const QChar letter = mnemonic(text);
                if (letter.isNull())
                    continue;
                QVERIFY2(!seen.contains(letter),
                         qPrintable(
                             QStringLiteral("%1: %2 and %3").arg(where, seen.value(letter), text)));
                seen.insert(letter, text);
            }
        };
        QStringList windowTexts;
        for (QAction *menu : main.menuBar()->actions())
            windowTexts << menu->text();
        for (QLabel *label : main.findChildren<QLabel *>()) {
            if (label->buddy())
                windowTexts << label->text();
        }
        for (QAbstractButton *button : main.findChildren<QAbstractButton *>())
            windowTexts << button->text();
        checkUnique(main.objectName(), windowTexts);
        for (QMenu *menu : main.findChildren<QMenu *>()) {
            QStringList items;
            for (QAction *a : menu->actions())
                items << a->text();
            checkUnique(menu->title(), items);
        }
    }

    void exitAsksFirst()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        TFrmMain main;
        main.show();
        prompt.answer({Prompt::No, Prompt::Yes});
        main.findChild<QAction *>(QStringLiteral("actExit"))->trigger();
        QVERIFY(main.isVisible());
        main.findChild<QAction *>(QStringLiteral("actClose"))->trigger();
        QVERIFY(!main.isVisible());
        QCOMPARE(prompt.texts(),
                 QStringList(2, QStringLiteral("真的要退出“Quorin样品管理软件 ”软件吗？")));
    }

    void compactionReportsItsResult()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        TFrmMain main;
        main.action(506)->trigger();
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("压缩数据库成功！")});
        QCOMPARE(prompt.shown[0].kind, int(Prompt::Information));
        // A compaction inside an open transaction is refused by both engines.
        prompt.clear();
        QVERIFY(db.dm()->database().transaction());
        main.action(506)->trigger();
        db.dm()->database().rollback();
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("压缩数据库失败！")});
        QCOMPARE(prompt.shown[0].kind, int(Prompt::Error));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
