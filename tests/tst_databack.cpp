#include "app/uFrmMain.h"
#include "core/DataDm.h"
#include "core/DemoData.h"
#include "maintenance/Backup.h"
#include "maintenance/uFrmDataBack.h"
#include "maintenance/uFrmDataClear.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"
#include "support/WorkDone.h"
#include "widgets/FileChooser.h"
#include "widgets/InputBox.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <functional>
#include <sys/stat.h>

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

int modeOf(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 0777)
                                                                     : -1;
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
        QCOMPARE(modeOf(file), 0600);
        QCOMPARE(modeOf(folder), 0700);
        QCOMPARE(modeOf(QDir(db.home()).filePath(QStringLiteral("b"))), 0700);

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
        QVERIFY2(done(Backup::write(db.dm()->source(), file), &error), qPrintable(error));
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
        QVERIFY2(done(Backup::check(before), &error), qPrintable(error));
        QCOMPARE(Backup::header(before, &error).value(QStringLiteral("rows.goodmain")),
                 QStringLiteral("5"));
        QVERIFY(window.restored());
        QCOMPARE(window.windowTitle(), QStringLiteral("数据备份及恢复"));
        QVERIFY(window.findChild<QPushButton *>(QStringLiteral("RecoverData"))->isEnabled());
    }

    // 取消 in the progress box: a backup says nothing and leaves no file, a restore says that
    // the data did not change, and it did not. Neither is told as a failure.
    void cancelledBackupAndRestoreChangeNothing()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        QString error;
        QVERIFY2(DemoData::fill(*db.dm(), 3000, &error), qPrintable(error));
        const QString file = QDir(db.home()).filePath(QStringLiteral("earlier.back"));
        QVERIFY2(done(Backup::write(db.dm()->source(), file), &error), qPrintable(error));
        QVERIFY(db.dm()->ExecSql(QStringLiteral("delete from GoodMain where F_ID > 100")));
        const int before = samples(db.dm());
        TFrmDataBack window;
        const QString folder = QDir(db.home()).filePath(QStringLiteral("b"));
        QVERIFY(QDir().mkpath(folder));
        window.findChild<QLineEdit *>(QStringLiteral("edtBackPath"))->setText(folder);
        // Presses 取消 in any progress box while `armed` says so.
        std::function<bool()> armed = [] { return true; };
        QTimer canceller;
        connect(&canceller, &QTimer::timeout, &window, [&] {
            if (auto *box = window.findChild<QProgressDialog *>(); box && armed())
                box->findChild<QPushButton *>()->click();
        });
        canceller.start(0);

        window.BackData();
        QCOMPARE(prompt.texts(), QStringList());
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList());

        // The check of the file goes through; the restore after the question is cancelled.
        const QString question = QStringLiteral("此操作将使上次备份以来的所有数据丢失，是否继续？");
        armed = [&] { return prompt.texts().contains(question); };
        prompt.answer({Prompt::Yes});
        InputBox::setNextAnswer(QStringLiteral("482913"));
        FileChooser::setNextAnswer(file);
        window.RecoverData();
        QCOMPARE(prompt.texts(),
                 (QStringList{question, QStringLiteral("恢复已取消，数据没有改变。")}));
        QCOMPARE(samples(db.dm()), before);
        QVERIFY(!window.restored());
        QCOMPARE(QDir(folder).entryList(QDir::Files).filter(QStringLiteral(".part")),
                 QStringList());
    }

    void hostileFilesAreRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("a link to a FIFO") << "link"
                                          << "不是普通文件";
        QTest::newRow("an endless view") << "view"
                                         << "数据表 GoodMain 与本程序的不符";
    }

    // The check runs off the window's thread and reads nothing that could hold it.
    void hostileFilesAreRefusedAtOnce()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, kind);
        QFETCH(QString, message);
        TestDatabase db(engine);
        ScriptedPrompt prompt;
        addSamples(db.dm(), 2);
        const QString file = QDir(db.home()).filePath(today());
        if (kind == u"link") {
            const QString fifo = QDir(db.home()).filePath(QStringLiteral("pipe"));
            QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
            QVERIFY(QFile::link(fifo, file));
        } else {
            QString error;
            QVERIFY2(done(Backup::write(db.dm()->source(), file), &error), qPrintable(error));
            const QString name = QStringLiteral("edit");
            {
                QSqlDatabase edit = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
                edit.setDatabaseName(file);
                QVERIFY(edit.open());
                QSqlQuery q(edit);
                QVERIFY(q.exec(QStringLiteral("drop table GoodMain")));
                QVERIFY(q.exec(QStringLiteral(
                    "create view GoodMain as with recursive r(n) as (select 1 union all "
                    "select n + 1 from r) select n as F_ID from r")));
                edit.close();
            }
            QSqlDatabase::removeDatabase(name);
        }
        TFrmDataBack window;
        InputBox::setNextAnswer(QStringLiteral("482913"));
        FileChooser::setNextAnswer(file);
        window.RecoverData();
        QCOMPARE(prompt.texts().size(), 1);
        QVERIFY2(prompt.texts().first().contains(message), qPrintable(prompt.texts().first()));
        QCOMPARE(samples(db.dm()), 2);
        QVERIFY(!window.restored());
        QVERIFY(window.findChild<QPushButton *>(QStringLiteral("RecoverData"))->isEnabled());
    }

    void windowsAreCentredOnTheirParent_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("数据备份恢复") << "back";
        QTest::newRow("系统数据清理") << "clear";
    }

    // Placed with the size they are shown with, not a size before their layout gave them one.
    void windowsAreCentredOnTheirParent()
    {
        QFETCH_GLOBAL(QString, engine);
        QFETCH(QString, window);
        TestDatabase db(engine);
        QWidget parent;
        // Inside the offscreen screen (800 × 600), where no title bar needs moving.
        parent.setGeometry(40, 30, 720, 540);
        parent.show();
        std::unique_ptr<QDialog> dialog;
        if (window == u"back")
            dialog = std::make_unique<TFrmDataBack>(&parent);
        else
            dialog = std::make_unique<TFrmDataClear>(&parent);
        dialog->show();
        const QPoint offset = dialog->frameGeometry().center() - parent.frameGeometry().center();
        // The frame is not known before the window is shown: a few pixels' play.
        QVERIFY2(qAbs(offset.x()) <= 4 && qAbs(offset.y()) <= 4,
                 qPrintable(QStringLiteral("%1, %2").arg(offset.x()).arg(offset.y())));
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
