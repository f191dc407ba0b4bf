#include "maintenance/Backup.h"
#include "maintenance/RestoreJob.h"
#include "support/TestDatabase.h"
#include "support/WorkDone.h"

#include <QDir>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>

namespace {

QStringList clientCodes(TdmData *dm)
{
    QStringList codes;
    QSqlQuery q(dm->database());
    q.exec(QStringLiteral("select F_Code from T_client order by F_Code"));
    while (q.next())
        codes << q.value(0).toString();
    return codes;
}

} // namespace

// quorin --restore FILE --code CODE: the restore window's code, checks and safety backup,
// without its questions.
class TestRestoreCommand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    void restoreCommand()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        TdmData *dm = db.dm();
        QVERIFY(
            dm->ExecSql(QStringLiteral("insert into T_client(F_Code, F_Name) values('K1', 'a')")));
        const QString backup = QDir(db.home()).filePath(QStringLiteral("kept.back"));
        QString error;
        QVERIFY2(done(Backup::write(dm->source(), backup), &error), qPrintable(error));
        QVERIFY(
            dm->ExecSql(QStringLiteral("insert into T_client(F_Code, F_Name) values('K2', 'b')")));
        QFile text(QDir(db.home()).filePath(QStringLiteral("notes.back")));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a backup");
        text.close();

        QByteArray out;
        QByteArray errors;
        const auto run = [&](const QStringList &arguments) {
            QProcess quorin;
            quorin.start(QStringLiteral(QUORIN_BINARY),
                         QStringList{QStringLiteral("--home"), db.home()} + arguments);
            if (!quorin.waitForFinished(120000))
                return -1;
            out = quorin.readAllStandardOutput();
            errors = quorin.readAllStandardError();
            return quorin.exitStatus() == QProcess::NormalExit ? quorin.exitCode() : -1;
        };
        // Refused: the data stays as it is.
        QCOMPARE(run({"--restore", backup, "--code", "48291"}), 1);
        QCOMPARE(QString::fromUtf8(errors).trimmed(), RestoreJob::kWrongCode);
        QCOMPARE(run({"--restore", backup}), 2);
        QCOMPARE(run({"--code", "482913"}), 2);
        QCOMPARE(run({"--restore", text.fileName(), "--code", "482913"}), 1);
        QVERIFY2(errors.contains("不是本程序的备份文件"), errors.constData());
        // A safety backup that cannot be written stops the restore before it changes anything.
        QVERIFY(dm->ExecSql(QStringLiteral("update SysInfo set F_BakPath = ?"),
                            {text.fileName() + QStringLiteral("/inside")}));
        QCOMPARE(run({"--restore", backup, "--code", "482913"}), 1);
        QVERIFY2(errors.contains("恢复前无法备份当前数据"), errors.constData());
        QCOMPARE(clientCodes(dm), (QStringList{"K1", "K2"}));

        const QString folder = QDir(db.home()).filePath(QStringLiteral("safe"));
        QVERIFY(dm->ExecSql(QStringLiteral("update SysInfo set F_BakPath = ?"), {folder}));
        QVERIFY2(run({"--restore", backup, "--code", "482913"}) == 0, errors.constData());
        const QStringList safety = QDir(folder).entryList({QStringLiteral("恢复前备份 *.back")});
        QCOMPARE(safety.size(), 1);
        QCOMPARE(QString::fromUtf8(out).trimmed(),
                 QStringLiteral("恢复前的数据已备份到：") +
                     QDir::toNativeSeparators(QDir(folder).filePath(safety.first())));
        QCOMPARE(Backup::header(QDir(folder).filePath(safety.first()), &error)
                     .value(QStringLiteral("rows.t_client")),
                 QStringLiteral("2"));
        QCOMPARE(clientCodes(dm), QStringList{"K1"});
    }
};

QTEST_MAIN(TestRestoreCommand)
#include "tst_restorecommand.moc"
