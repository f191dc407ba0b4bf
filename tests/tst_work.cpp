#include "core/OwnConnection.h"
#include "core/Work.h"
#include "support/TestDatabase.h"
#include "widgets/ProgressRun.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

// The words of background work: a connection of one's own, a job's progress and its end.
class TestWork : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { TestDatabase::addEngineRows(); }

    // Opened under a name of its own, and gone from Qt's list with it, on the thread that used
    // it, without a connection "still in use".
    void ownConnectionGoesWithIt()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        QTest::failOnWarning(QRegularExpression(QStringLiteral("still in use|duplicate")));
        const QStringList before = QSqlDatabase::connectionNames();
        const auto use = [&db] {
            OwnConnection first(db.dm()->source(), QStringLiteral("test"));
            OwnConnection second(db.dm()->source(), QStringLiteral("test"));
            if (!first.isOpen() || !second.isOpen() || first.name() == second.name())
                return QStringLiteral("not two connections: ") + first.error() + second.error();
            if (!QSqlDatabase::connectionNames().contains(first.name()))
                return QStringLiteral("not registered");
            QSqlQuery q(first.db());
            if (!q.exec(QStringLiteral("select count(*) from GoodMain")) || !q.next())
                return QStringLiteral("no query");
            return QString();
        };
        QCOMPARE(use(), QString());
        QCOMPARE(QSqlDatabase::connectionNames(), before);
        // Off the window's thread, as the jobs use it.
        QCOMPARE(QtConcurrent::run(use).result(), QString());
        QCOMPARE(QSqlDatabase::connectionNames(), before);
    }

    // A connection that did not open says why and leaves nothing behind either.
    void failedOpenLeavesNothing()
    {
        QFETCH_GLOBAL(QString, engine);
        TestDatabase db(engine);
        DataSource nowhere = db.dm()->source();
        if (engine == u"sqlite") {
            nowhere.sqliteFile = db.home() + QStringLiteral("/missing/quorin.db");
            nowhere.isDefaultFolder = false;
        } else {
            nowhere.database = QStringLiteral("no_such_database");
        }
        const QStringList before = QSqlDatabase::connectionNames();
        {
            OwnConnection connection(nowhere, QStringLiteral("test"));
            QVERIFY(!connection.isOpen());
            QVERIFY(!connection.error().isEmpty());
        }
        {
            OwnConnection file(OwnConnection::SqliteFile{db.home() + QStringLiteral("/no/x.db"),
                                                         QStringLiteral("QSQLITE_OPEN_READONLY")},
                               QStringLiteral("test"));
            QVERIFY(!file.isOpen());
            QVERIFY(!file.error().isEmpty());
        }
        QCOMPARE(QSqlDatabase::connectionNames(), before);
    }

    // A step that gives up after a stop ends the job cancelled, whatever it says; a job that
    // finished is done even if a stop came late.
    void trackerTellsACancelFromAFailure()
    {
        QList<int> told;
        bool go = true;
        WorkTracker work([&](int percent) {
            told << percent;
            return go;
        });
        const WorkProgress second = work.part(50, 100);
        QVERIFY(work.part(0, 50)(40));
        QVERIFY(second(50));
        QCOMPARE(told, (QList<int>{20, 75}));
        QVERIFY(work.result(false, QStringLiteral("disk full")).isFailed());
        QCOMPARE(work.result(false, QStringLiteral("disk full")).reason(),
                 QStringLiteral("disk full"));
        go = false;
        QVERIFY(!second(100));
        QVERIFY(!work.report(10));
        QCOMPARE(told.size(), 3); // asked once, then remembered
        QVERIFY(work.result(false, QStringLiteral("interrupted")).isCancelled());
        QVERIFY(work.result(false, QStringLiteral("interrupted")).reason().isEmpty());
        QVERIFY(work.result(true, {}).isDone());
        QVERIFY(WorkTracker().report(50));
    }

    // The box hands back what the work says; 取消 reaches the work through its progress.
    void runWithProgressHandsBackTheWorksEnd()
    {
        QWidget window;
        QCOMPARE(runWithProgress(&window, QStringLiteral("x"),
                                 [](const WorkProgress &) {
                                     return WorkResult::failed(QStringLiteral("为何"));
                                 })
                     .reason(),
                 QStringLiteral("为何"));
        QTimer::singleShot(0, &window, [&window] {
            window.findChild<QProgressDialog *>()->findChild<QPushButton *>()->click();
        });
        const WorkResult stopped =
            runWithProgress(&window, QStringLiteral("x"), [](const WorkProgress &progress) {
                while (progress(1))
                    QThread::msleep(5);
                return WorkResult::cancelled();
            });
        QVERIFY(stopped.isCancelled());
    }
};

QTEST_MAIN(TestWork)
#include "tst_work.moc"
