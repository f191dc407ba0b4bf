#include "core/PassHash.h"
#include "operators/uFrmModPass.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

void addOperator(TdmData *dm, const QString &name, const QString &password)
{
    QVERIFY(dm->ExecSql(QStringLiteral("insert into OperList(F_Name, F_PassWord) values(?, ?)"),
                        {name, PassHash::hash(password)}));
}

QString storedHash(TdmData *dm, const QString &name)
{
    return dm->GetStrValue(QStringLiteral("select F_PassWord from OperList where F_Name = ?"),
                           {name});
}

QLineEdit *box(TfrmModPass &window, const char *name)
{
    return window.findChild<QLineEdit *>(QLatin1String(name));
}

void type(TfrmModPass &window, const QString &old, const QString &fresh, const QString &again)
{
    box(window, "edtOldPass")->setText(old);
    box(window, "edtNewPass")->setText(fresh);
    box(window, "edtAdjustPass")->setText(again);
}

} // namespace

// The logged-in operator changes his own password.
class TestChangePassword : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void outcomes_data()
    {
        QTest::addColumn<QString>("old");
        QTest::addColumn<QString>("fresh");
        QTest::addColumn<QString>("again");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("stored"); // the password that logs in afterwards
        QTest::newRow("wrong old password")
            << QStringLiteral("o'ld ") << QStringLiteral("n") << QStringLiteral("n")
            << QStringLiteral("旧口令输入错误，不能更改！") << int(Prompt::Warning)
            << QStringLiteral("o'ld");
        QTest::newRow("repetition differs")
            << QStringLiteral("o'ld") << QStringLiteral("new1") << QStringLiteral("new2")
            << QStringLiteral("新口令错误，不能更改！") << int(Prompt::Information)
            << QStringLiteral("o'ld");
        QTest::newRow("repetition differs only by blanks")
            << QStringLiteral("o'ld") << QStringLiteral(" n\"w ") << QStringLiteral("n\"w")
            << QStringLiteral("更改口令成功！") << int(Prompt::Information)
            << QStringLiteral(" n\"w ");
        QTest::newRow("to empty") << QStringLiteral("o'ld") << QString() << QStringLiteral("  ")
                                  << QStringLiteral("更改口令成功！") << int(Prompt::Information)
                                  << QString();
    }

    void outcomes()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, old);
        QFETCH(QString, fresh);
        QFETCH(QString, again);
        QFETCH(QString, message);
        QFETCH(int, kind);
        QFETCH(QString, stored);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        addOperator(db.dm(), QStringLiteral("张三"), QStringLiteral("o'ld"));
        addOperator(db.dm(), QStringLiteral("李四"), QStringLiteral("o'ld"));
        const QString other = storedHash(db.dm(), QStringLiteral("李四"));
        db.dm()->session().logIn(QStringLiteral(" 张三"), {});
        TfrmModPass window;
        window.show();
        QCOMPARE(window.windowTitle(), QStringLiteral("更改密码"));
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lblOperator"))->text(),
                 QStringLiteral("当前操作员：张三 "));
        type(window, old, fresh, again);
        window.findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        QCOMPARE(prompt.texts(), QStringList{message});
        QCOMPARE(prompt.shown[0].kind, kind);
        QVERIFY(!window.isVisible());
        QVERIFY(PassHash::verify(storedHash(db.dm(), QStringLiteral("张三")), stored));
        if (stored != old.trimmed())
            QVERIFY(!PassHash::verify(storedHash(db.dm(), QStringLiteral("张三")), old));
        QCOMPARE(storedHash(db.dm(), QStringLiteral("李四")), other);
        if (message == u"新口令错误，不能更改！") {
            QVERIFY(box(window, "edtNewPass")->text().isEmpty());
            QVERIFY(box(window, "edtAdjustPass")->text().isEmpty());
        }
    }

    void unknownOperatorChangesNothing()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        db.dm()->session().logIn(QStringLiteral("ghost"), {});
        TfrmModPass window;
        window.show();
        type(window, QString(), QStringLiteral("x"), QStringLiteral("x"));
        window.findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        QCOMPARE(prompt.texts(), QStringList());
        QVERIFY(!window.isVisible());
    }

    void aRefusedWriteKeepsTheWindow()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        const QStringList trigger =
            engine == u"sqlite"
                ? QStringList{QStringLiteral("create trigger refuse before update on OperList "
                                             "begin select raise(abort, 'refused'); end")}
                : QStringList{
                      QStringLiteral("create function refuse() returns trigger language "
                                     "plpgsql as $$ begin raise exception 'refused'; end $$"),
                      QStringLiteral("create trigger refuse before update on OperList "
                                     "for each row execute function refuse()")};
        for (const QString &sql : trigger)
            QVERIFY(db.dm()->ExecSql(sql));
        db.dm()->setCurOperName(QStringLiteral("admin"));
        TfrmModPass window;
        window.show();
        type(window, QString(), QStringLiteral("x"), QStringLiteral("x"));
        window.findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        QCOMPARE(prompt.texts(), QStringList{QStringLiteral("保存失败，请检测数据库连接！")});
        QVERIFY(window.isVisible());
        QCOMPARE(box(window, "edtNewPass")->text(), QStringLiteral("x"));
        QVERIFY(PassHash::verify(storedHash(db.dm(), QStringLiteral("admin")), QString()));
    }
};

QTEST_MAIN(TestChangePassword)
#include "tst_changepassword.moc"
