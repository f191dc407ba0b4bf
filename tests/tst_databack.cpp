#include "core/DataDm.h"
#include "maintenance/Backup.h"
#include "maintenance/uFrmDataBack.h"
#include "register/uFrmMain.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"
#include "widgets/FileChooser.h"
#include "widgets/InputBox.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

int samples(TdmData *dm)
{
    return dm->GetIntValue(QStringLiteral("select count(*) from GoodMain"));
}

void addSamples(TdmData *dm, int count)
{
    for (int i = 0; i < count; ++i)
        QVERIFY(dm->ExecSql(QStringLiteral("insert into GoodMain(F_goodCode, F_goodName, "
                                           "F_editDate) values(?, '件', ?)"),
                            {QStringLiteral("S%1").arg(i), QDate::currentDate()}));
}

QString today()
{
    return Backup::fileName(QDate::currentDate());
}

} // namespace

// The backup window, the restore behind its code, the settings and the automatic backup.
class TestDataBack : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void backupCreatesTheFolderAndAsksBeforeReplacing()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        addSamples(db.dm(), 3);
        TFrmDataBack window;
        const QString folder = QDir(db.home()).filePath(QStringLiteral("b/c"));
        window.findChild<QLineEdit *>(QStringLiteral("edtBackPath"))->setText(folder);
        prompt.answer({Prompt::Yes, Prompt::No});
        window.BackData();
        QCOMPARE(prompt.texts(), (QStringList{QStringLiteral("当前目录") + folder +
                                                  QStringLiteral(" 不存在，是否创建！"),
                                              QStringLiteral("是否需要压缩当前数据库！"),
                                              QStringLiteral("数据备份成功！")}));
        const QString file = QDir(folder).filePath(today());
        QString error;
        QCOMPARE(Backup::header(file, &error).value(QStringLiteral("rows.goodmain")),
                 QStringLiteral("3"));

        addSamples(db.dm(), 1);
        prompt.clear();
        prompt.answer({Prompt::No});
        window.BackData();
        QCOMPARE(prompt.texts().size(), 1);
        QVERIFY(
            prompt.texts().first().endsWith(QStringLiteral("已经存在，\n真的要复盖当前备份吗？")));
        QCOMPARE(Backup::header(file, &error).value(QStringLiteral("rows.goodmain")),
                 QStringLiteral("3"));
        prompt.answer({Prompt::Yes, Prompt::Yes});
        window.BackData();
        QCOMPARE(prompt.texts().last(), QStringLiteral("数据备份成功！"));
        QCOMPARE(Backup::header(file, &error).value(QStringLiteral("rows.goodmain")),
                 QStringLiteral("4"));
    }

    // The code, a whole backup and a yes, or nothing changes; then the register is whole again.
    void restoreNeedsTheCodeAndAWholeFile()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        addSamples(db.dm(), 10);
        const QString file = QDir(db.home()).filePath(today());
        QString error;
        QVERIFY2(Backup::write(db.dm()->source(), file, &error), qPrintable(error));
        QVERIFY(db.dm()->ExecSql(QStringLiteral("delete from GoodMain where F_ID > 5")));
        TFrmDataBack window;

        InputBox::setNextAnswer(std::nullopt);
        window.RecoverData();
        InputBox::setNextAnswer(QStringLiteral("48291"));
        window.RecoverData();
        QCOMPARE(prompt.texts(),
                 QStringList{QStringLiteral("对不起,恢复密码错误，你没有恢复数据的权限！")});

        const QString text = QDir(db.home()).filePath(QStringLiteral("notes.back"));
        QFile notes(text);
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("not a backup");
        notes.close();
        prompt.clear();
        InputBox::setNextAnswer(QStringLiteral("482913"));
        FileChooser::setNextAnswer(text);
        window.RecoverData();
        QCOMPARE(prompt.shown.size(), 1);
        QVERIFY(prompt.texts().first().contains(QStringLiteral("不是本程序的备份文件")));

        prompt.clear();
        prompt.answer({Prompt::No});
        InputBox::setNextAnswer(QStringLiteral("482913"));
        FileChooser::setNextAnswer(file);
        window.RecoverData();
        QCOMPARE(prompt.texts(),
                 QStringList{QStringLiteral("此操作将使上次备份以来的所有数据丢失，是否继续？")});
        QCOMPARE(samples(db.dm()), 5);
        QVERIFY(!window.restored());

        prompt.clear();
        prompt.answer({Prompt::Yes, Prompt::No});
        InputBox::setNextAnswer(QStringLiteral("482913"));
        FileChooser::setNextAnswer(file);
        window.RecoverData();
        QCOMPARE(prompt.texts().last(), QStringLiteral("数据恢复成功,重新启动当前程序吗？"));
        QCOMPARE(samples(db.dm()), 10);
        // The data as it was before, kept aside and restorable.
        const QStringList safety =
            QDir(Backup::storedFolder(*db.dm())).entryList({QStringLiteral("恢复前备份 *.back")});
        QCOMPARE(safety.size(), 1);
        QVERIFY(prompt.texts().at(1).contains(safety.first()));
        const QString before = QDir(Backup::storedFolder(*db.dm())).filePath(safety.first());
        QVERIFY2(Backup::check(before, &error), qPrintable(error));
        QCOMPARE(Backup::header(before, &error).value(QStringLiteral("rows.goodmain")),
                 QStringLiteral("5"));
        QVERIFY(window.restored());
        QCOMPARE(window.windowTitle(), QStringLiteral("数据备份及恢复"));
        QVERIFY(window.findChild<QPushButton *>(QStringLiteral("RecoverData"))->isEnabled());
    }

    void settingsAreKept()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        const QString folder = QDir(db.home()).filePath(QStringLiteral("nightly"));
        {
            TFrmDataBack window;
            window.findChild<QLineEdit *>(QStringLiteral("edtBackPath"))->setText(folder);
            window.findChildren<QRadioButton *>().at(2)->setChecked(true);
            prompt.answer({Prompt::Yes});
            window.findChild<QPushButton *>(QStringLiteral("Button1"))->click();
            QCOMPARE(window.result(), int(QDialog::Accepted));
        }
        QCOMPARE(prompt.texts().last(), QStringLiteral("当前软件设置更改成功！"));
        QCOMPARE(db.dm()->config().ibak(), 2);
        QCOMPARE(Backup::storedFolder(*db.dm()), folder);
        QVERIFY(QFileInfo(folder).isDir());
        TFrmDataBack again;
        QVERIFY(again.findChildren<QRadioButton *>().at(2)->isChecked());
        QCOMPARE(again.findChild<QLineEdit *>(QStringLiteral("edtBackPath"))->text(), folder);
    }

    // At every start in mode 1: the day's file once, never replaced, never a question.
    void automaticBackupAtStart()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        addSamples(db.dm(), 2);
        const QString file = QDir(db.home()).filePath(QStringLiteral("back/") + today());
        {
            TFrmMain main;
            main.show();
            QVERIFY(!QFile::exists(file));
        }
        db.dm()->config().setIbak(1);
        {
            TFrmMain main;
            main.show();
        }
        QString error;
        QCOMPARE(Backup::header(file, &error).value(QStringLiteral("rows.goodmain")),
                 QStringLiteral("2"));
        addSamples(db.dm(), 1);
        {
            TFrmMain main;
            main.show();
        }
        QCOMPARE(Backup::header(file, &error).value(QStringLiteral("rows.goodmain")),
                 QStringLiteral("2"));
        QVERIFY(prompt.shown.isEmpty());
    }
};

QTEST_MAIN(TestDataBack)
#include "tst_databack.moc"
