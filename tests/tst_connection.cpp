#include "app/uFrmMain.h"
#include "core/AppHome.h"
#include "core/Connection.h"
#include "core/PgPass.h"
#include "support/ScriptedPrompt.h"
#include "support/TestDatabase.h"
#include "widgets/FileChooser.h"
#include "widgets/uDlgConnectDb.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>

namespace {

// Records what the connection procedure shows and answers its recovery questions in turn.
class RecordingUi : public ConnectionUi
{
public:
    QStringList statuses;
    QStringList reasons;
    QList<std::optional<QString>> answers;

    void showStatus(const QString &text) override { statuses << text; }
    std::optional<QString> recover(const QString &reason) override
    {
        reasons << reason;
        return answers.isEmpty() ? std::nullopt : answers.takeFirst();
    }
};

int modeOf(const QString &path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Points PGPASSFILE at a file in a folder of the test's own while it lives.
class PasswordFile
{
public:
    PasswordFile() : m_previous(qgetenv("PGPASSFILE"))
    {
        qputenv("PGPASSFILE", QFile::encodeName(path()));
    }
    ~PasswordFile() { qputenv("PGPASSFILE", m_previous); }
    QString path() const { return m_folder.filePath(QStringLiteral("pgpass")); }

private:
    QTemporaryDir m_folder;
    QByteArray m_previous;
};

// Fills the dialog's server boxes from `ds` with `password` typed.
void enterServer(TDlgConnectDb &dialog, const DataSource &source, const QString &password)
{
    dialog.findChild<QRadioButton *>(QStringLiteral("rbServer"))->setChecked(true);
    dialog.findChild<QLineEdit *>(QStringLiteral("edtHost"))->setText(source.host);
    dialog.findChild<QSpinBox *>(QStringLiteral("spnPort"))->setValue(source.port);
    dialog.findChild<QLineEdit *>(QStringLiteral("edtDatabase"))->setText(source.database);
    dialog.findChild<QLineEdit *>(QStringLiteral("edtUser"))->setText(source.user);
    dialog.findChild<QLineEdit *>(QStringLiteral("edtPassword"))->setText(password);
}

QString makeDatabaseIn(const QString &home)
{
    TdmData dm(QDir(home).filePath(QStringLiteral("config.ini")));
    QString error;
    if (!dm.open(QString(), &error))
        qWarning() << error;
    return QDir(home).filePath(QStringLiteral("data"));
}

} // namespace

// Start-up's connection procedure, its recovery, and the connect dialog.
class TestConnection : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        AppHome::set(m_home->path());
    }

    void withoutConfigurationTheDataFolderIsCreated()
    {
        ScriptedPrompt prompt;
        TdmData dm(m_home->filePath(QStringLiteral("config.ini")));
        RecordingUi ui;
        QVERIFY(dm.DataModuleCreate(ui));
        QVERIFY(dm.isConnected());
        QVERIFY(QFile::exists(m_home->filePath(QStringLiteral("data/RevaZez.db"))));
        QCOMPARE(ui.statuses, QStringList({QStringLiteral("正在连接数据库 ....."),
                                           QStringLiteral("连接成功，正在登录 ...")}));
        QVERIFY(ui.reasons.isEmpty());
        QVERIFY(prompt.shown.isEmpty());
    }

    // What the program makes is its owner's alone: the data folder, the database, config.ini
    // (also one an older version left readable by everyone).
    void filesAreTheOwnersOnly()
    {
        const QString ini = m_home->filePath(QStringLiteral("config.ini"));
        QFile old(ini);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("[config]\nibak=0\n");
        old.close();
        QVERIFY(::chmod(QFile::encodeName(ini).constData(), 0644) == 0);
        TdmData dm(ini);
        QCOMPARE(modeOf(ini), 0600);
        QFile::remove(ini);
        RecordingUi ui;
        QVERIFY(dm.DataModuleCreate(ui));
        dm.config().setCurOperName(QStringLiteral("admin"));
        QCOMPARE(modeOf(ini), 0600);
        QCOMPARE(modeOf(m_home->filePath(QStringLiteral("data"))), 0700);
        QCOMPARE(modeOf(m_home->filePath(QStringLiteral("data/RevaZez.db"))), 0600);
        QVERIFY(dm.ExecSql(QStringLiteral("insert into T_goods(F_Code) values('x')")));
        QCOMPARE(modeOf(m_home->filePath(QStringLiteral("data/RevaZez.db-wal"))), 0600);

        QTemporaryDir elsewhere;
        const QString nested = elsewhere.filePath(QStringLiteral("a/b"));
        QString error;
        QVERIFY2(Connection::createDatabase(DataSource::fromDs(nested, QString()), &error),
                 qPrintable(error));
        QCOMPARE(modeOf(elsewhere.filePath(QStringLiteral("a"))), 0700);
        QCOMPARE(modeOf(nested), 0700);
        QCOMPARE(modeOf(nested + QStringLiteral("/RevaZez.db")), 0600);
    }

    // The password file's own format: fields joined by ':', with ':' and '\' escaped; a second
    // password for the same server, database and user replaces the first, other lines stay.
    void passwordFileLines()
    {
        PasswordFile file;
        QString error;
        QVERIFY2(PgPass::store(QStringLiteral("db.example"), 5433, QStringLiteral("样品"),
                               QStringLiteral("u:1"), QStringLiteral("p:w\\d"), &error),
                 qPrintable(error));
        QCOMPARE(modeOf(file.path()), 0600);
        QVERIFY(PgPass::store(QStringLiteral("other"), 5432, QStringLiteral("d"),
                              QStringLiteral("u"), QStringLiteral("x"), &error));
        QVERIFY(PgPass::store(QStringLiteral("db.example"), 5433, QStringLiteral("样品"),
                              QStringLiteral("u:1"), QStringLiteral("new"), &error));
        QCOMPARE(readAll(file.path()),
                 QStringLiteral("db.example:5433:样品:u\\:1:new\nother:5432:d:u:x\n"));
        QCOMPARE(modeOf(file.path()), 0600);
        QCOMPARE(PgPass::escaped(QStringLiteral("a:b\\c")), QStringLiteral("a\\:b\\\\c"));
    }

    // A typed server password goes to the password file, never into `ds`; one an old `ds`
    // holds keeps working, and the dialog offers to move it.
    void serverPasswordGoesToThePasswordFile_data()
    {
        QTest::addColumn<bool>("inOldDs");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("moved");
        QTest::newRow("typed") << false << 0 << true;
        QTest::newRow("old ds, moved") << true << int(Prompt::Yes) << true;
        QTest::newRow("old ds, kept") << true << int(Prompt::No) << false;
    }

    void serverPasswordGoesToThePasswordFile()
    {
        QFETCH(bool, inOldDs);
        QFETCH(int, answer);
        QFETCH(bool, moved);
        TestDatabase server(QStringLiteral("postgresql"));
        if (!server.ok())
            QSKIP("no PostgreSQL server (QUORIN_TEST_PG)");
        PasswordFile file;
        ScriptedPrompt prompt;
        const DataSource source = DataSource::fromDs(server.ds(), QString());
        const QString password = QStringLiteral("s3cret:x");
        const QString withPassword =
            DataSource::serverUrl(source.host, source.port, source.database, source.user, password);
        TDlgConnectDb dialog{inOldDs ? withPassword : QString()};
        if (!inOldDs)
            enterServer(dialog, source, password);
        if (answer)
            prompt.answer({answer});
        dialog.findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(prompt.shown.size(), answer ? 1 : 0);
        if (answer) {
            QCOMPARE(prompt.shown[0].kind, int(Prompt::Question));
            QVERIFY(prompt.shown[0].text.contains(QDir::toNativeSeparators(file.path())));
        }
        const DataSource chosen = DataSource::fromDs(dialog.ds(), QString());
        QCOMPARE(chosen.database, source.database);
        QCOMPARE(chosen.password, moved ? QString() : password);
        if (moved) {
            QCOMPARE(readAll(file.path()), QStringLiteral("%1:%2:%3:%4:s3cret\\:x\n")
                                               .arg(source.host)
                                               .arg(source.port)
                                               .arg(source.database, source.user));
            QCOMPARE(modeOf(file.path()), 0600);
        } else {
            QVERIFY(!QFileInfo::exists(file.path()));
        }
        TdmData dm(m_home->filePath(QStringLiteral("config.ini")));
        dm.config().setDs(dialog.ds());
        QCOMPARE(readAll(m_home->filePath(QStringLiteral("config.ini"))).contains(u"s3cret"),
                 !moved);
    }

    void wrongFolderAsksAndCancelEndsSilently()
    {
        ScriptedPrompt prompt;
        const QString missing = m_home->filePath(QStringLiteral("elsewhere"));
        TdmData dm(m_home->filePath(QStringLiteral("config.ini")));
        dm.config().setDs(missing);
        RecordingUi ui;
        QVERIFY(!dm.DataModuleCreate(ui));
        QVERIFY(!dm.isConnected());
        QCOMPARE(ui.reasons.size(), 1);
        QVERIFY(ui.reasons[0].contains(u"RevaZez.db"));
        QVERIFY(prompt.shown.isEmpty());
        QVERIFY(!QFileInfo::exists(missing));
        QCOMPARE(dm.config().ds(), missing);
    }

    // The dialog keeps coming back until the chosen folder holds a database; that folder is
    // stored for the next start.
    void recoveryLoopsUntilADatabaseIsChosen()
    {
        QTemporaryDir other;
        const QString goodFolder = makeDatabaseIn(other.path());
        TdmData dm(m_home->filePath(QStringLiteral("config.ini")));
        dm.config().setDs(QStringLiteral("/nonexistent/folder/"));
        RecordingUi ui;
        ui.answers = {other.path(), goodFolder};
        QVERIFY(dm.DataModuleCreate(ui));
        QCOMPARE(ui.reasons.size(), 2);
        QCOMPARE(dm.config().ds(), goodFolder);
        QCOMPARE(dm.source().sqliteFile, goodFolder + QStringLiteral("/RevaZez.db"));
    }

    void damagedFileIsReportedToTheDialog()
    {
        QDir(m_home->path()).mkpath(QStringLiteral("bad"));
        QFile junk(m_home->filePath(QStringLiteral("bad/RevaZez.db")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        TdmData dm(m_home->filePath(QStringLiteral("config.ini")));
        dm.config().setDs(m_home->filePath(QStringLiteral("bad")));
        RecordingUi ui;
        QVERIFY(!dm.DataModuleCreate(ui));
        QCOMPARE(ui.reasons.size(), 1);
        QVERIFY(ui.reasons[0].contains(u"不是有效的数据库文件"));
    }

    void unreachableServerAsks()
    {
        TdmData dm(m_home->filePath(QStringLiteral("config.ini")));
        dm.config().setDs(QStringLiteral("postgresql://nobody@127.0.0.1:1/none"));
        RecordingUi ui;
        QVERIFY(!dm.DataModuleCreate(ui));
        QCOMPARE(ui.reasons.size(), 1);
    }

    void dialogPicksAFolderThroughTheFileChooser()
    {
        QTemporaryDir other;
        const QString folder = makeDatabaseIn(other.path());
        TDlgConnectDb dialog{QString()};
        QCOMPARE(dialog.windowTitle(), QStringLiteral("连接网络数据库"));
        QVERIFY(dialog.findChild<QRadioButton *>(QStringLiteral("rbLocal"))->isChecked());
        FileChooser::setNextAnswer(folder + QStringLiteral("/RevaZez.db"));
        dialog.findChild<QPushButton *>(QStringLiteral("btnBrowse"))->click();
        dialog.findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.ds(), folder + u'/');
    }

    // A new empty folder is meant for a new register; a folder with other files, or an empty
    // database file left by a failed copy, gets a new register only after a yes.
    void dialogMakesANewDatabase_data()
    {
        QTest::addColumn<QString>("present");
        QTest::addColumn<bool>("expected");
        QTest::addColumn<bool>("asks");
        QTest::newRow("new empty folder") << QString() << false << false;
        QTest::newRow("empty folder where it was") << QString() << true << true;
        QTest::newRow("other files") << QStringLiteral("notes.txt") << false << true;
        QTest::newRow("zero-byte database") << QStringLiteral("RevaZez.db") << true << true;
    }

    void dialogMakesANewDatabase()
    {
        QFETCH(QString, present);
        QFETCH(bool, expected);
        QFETCH(bool, asks);
        QTemporaryDir folder;
        if (!present.isEmpty()) {
            QFile file(folder.filePath(present));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString database = folder.filePath(QStringLiteral("RevaZez.db"));
        ScriptedPrompt prompt;
        TDlgConnectDb dialog{expected ? folder.path() : QString()};
        dialog.findChild<QLineEdit *>(QStringLiteral("edtFolder"))->setText(folder.path());
        auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("btnOK"));
        if (asks) {
            prompt.answer({Prompt::No});
            ok->click();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QCOMPARE(QFileInfo(database).size(), 0);
            QCOMPARE(prompt.shown.size(), 1);
            QCOMPARE(prompt.shown[0].kind, int(Prompt::Question));
            prompt.answer({Prompt::Yes});
        }
        ok->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(prompt.shown.size(), asks ? 2 : 0);
        TdmData dm(m_home->filePath(QStringLiteral("config.ini")));
        QString error;
        QVERIFY2(dm.open(dialog.ds(), &error), qPrintable(error));
        QCOMPARE(dm.GetIntValue(QStringLiteral("select count(*) from Limits")), 35);
    }

    void dialogTestsAndChoosesAServer()
    {
        TestDatabase server(QStringLiteral("postgresql"));
        if (!server.ok())
            QSKIP("no PostgreSQL server (QUORIN_TEST_PG)");
        const DataSource source = DataSource::fromDs(server.ds(), QString());
        TDlgConnectDb dialog{QString()};
        dialog.findChild<QRadioButton *>(QStringLiteral("rbServer"))->setChecked(true);
        dialog.findChild<QLineEdit *>(QStringLiteral("edtHost"))->setText(source.host);
        dialog.findChild<QSpinBox *>(QStringLiteral("spnPort"))->setValue(source.port);
        dialog.findChild<QLineEdit *>(QStringLiteral("edtDatabase"))->setText(source.database);
        dialog.findChild<QLineEdit *>(QStringLiteral("edtUser"))->setText(source.user);
        dialog.findChild<QPushButton *>(QStringLiteral("btnTest"))->click();
        QVERIFY(dialog.findChild<QLabel *>(QStringLiteral("lblResult"))
                    ->text()
                    .startsWith(u"连接成功"));
        dialog.findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(DataSource::fromDs(dialog.ds(), QString()).database, source.database);

        TDlgConnectDb refused{QString()};
        refused.findChild<QRadioButton *>(QStringLiteral("rbServer"))->setChecked(true);
        refused.findChild<QLineEdit *>(QStringLiteral("edtHost"))->setText(source.host);
        refused.findChild<QSpinBox *>(QStringLiteral("spnPort"))->setValue(source.port);
        refused.findChild<QLineEdit *>(QStringLiteral("edtDatabase"))
            ->setText(QStringLiteral("no_such_database"));
        refused.findChild<QLineEdit *>(QStringLiteral("edtUser"))->setText(source.user);
        refused.findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        QCOMPARE(refused.result(), int(QDialog::Rejected));
        QVERIFY(refused.findChild<QLabel *>(QStringLiteral("lblResult"))
                    ->text()
                    .startsWith(u"连接失败"));
    }

    // The connect command stores the new folder for the next start and leaves the running
    // program on its database.
    void connectCommandTakesEffectAtNextStart()
    {
        TestDatabase db(QStringLiteral("sqlite"));
        QTemporaryDir other;
        const QString folder = makeDatabaseIn(other.path());
        const QString before = db.dm()->source().sqliteFile;
        ScriptedPrompt prompt;
        TFrmMain main;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<TDlgConnectDb *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->findChild<QLineEdit *>(QStringLiteral("edtFolder"))->setText(folder);
            dialog->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        });
        main.action(507)->trigger();
        QCOMPARE(db.dm()->config().ds(), folder + u'/');
        QCOMPARE(db.dm()->source().sqliteFile, before);
        QCOMPARE(prompt.shown.size(), 1);
        QCOMPARE(prompt.shown[0].kind, int(Prompt::Information));
    }

    void longTextsKeepTheDialogOnTheScreen_data()
    {
        QTest::addColumn<QString>("ds");
        QTest::addColumn<QString>("folder"); // as the folder box holds it; empty for a server
        QTest::addColumn<QString>("database");
        const QString megabyte(1024 * 1024, u'd');
        QTest::newRow("ordinary folder") << "/srv/quorin"
                                         << "/srv/quorin" << QString();
        QTest::newRow("1 MB folder") << "/srv/" + megabyte << "/srv/" + megabyte << QString();
        QTest::newRow("1 MB server database")
            << "postgresql://user@host:5432/" + megabyte << QString() << megabyte;
    }

    void longTextsKeepTheDialogOnTheScreen()
    {
        QFETCH(QString, ds);
        QFETCH(QString, folder);
        QFETCH(QString, database);
        const QString reason =
            QStringLiteral("找不到数据库文件：%1。请选择数据库所在的文件夹。").arg(ds);
        TDlgConnectDb dialog(ds, reason);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QRect screen = dialog.screen()->availableGeometry();
        QVERIFY2(screen.contains(dialog.frameGeometry()),
                 qPrintable(QStringLiteral("%1 x %2")
                                .arg(dialog.frameGeometry().width())
                                .arg(dialog.frameGeometry().height())));
        for (const char *button : {"btnOK", "btnCancel", "btnBrowse", "btnTest"}) {
            auto *b = dialog.findChild<QPushButton *>(QLatin1String(button));
            QVERIFY2(screen.contains(QRect(b->mapToGlobal(QPoint(0, 0)), b->size())), button);
        }
        // The boxes hold the whole value, so what is accepted is what was there.
        QCOMPARE(dialog.findChild<QLineEdit *>(QStringLiteral("edtFolder"))->text(), folder);
        QCOMPARE(dialog.findChild<QLineEdit *>(QStringLiteral("edtDatabase"))->text(), database);
        const QString shown = dialog.findChild<QLabel *>(QStringLiteral("lblReason"))->text();
        const QString whole = QStringLiteral("无法打开数据库：") + reason;
        if (whole.size() < 100) {
            QCOMPARE(shown, whole);
        } else {
            QVERIFY(shown.size() < 1000);
            QVERIFY(shown.startsWith(QStringLiteral("无法打开数据库：找不到数据库文件：") +
                                     ds.left(4)));
            QVERIFY(shown.endsWith(QStringLiteral("ddd。请选择数据库所在的文件夹。")));
        }
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

QTEST_MAIN(TestConnection)
#include "tst_connection.moc"
