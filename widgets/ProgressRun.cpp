#include "widgets/ProgressRun.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QProgressDialog>
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>
#include <atomic>

WorkOutcome runWithProgress(QWidget *parent, const QString &label,
                            const std::function<bool(const ProgressReport &report)> &work)
{
    std::atomic<int> percent{0};
    std::atomic<bool> cancelled{false};
    QProgressDialog box(label, QStringLiteral("取消"), 0, 100, parent);
    box.setWindowModality(Qt::WindowModal);
    // Quick work finishes before anything shows.
    box.setMinimumDuration(500);
    // A pool of its own: Qt paints large areas on the global pool and waits for it, so long work
    // there would stop the window from painting.
    QThreadPool pool;
    pool.setMaxThreadCount(1);
    QFutureWatcher<bool> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<bool>::finished, &loop, &QEventLoop::quit);
    QObject::connect(&box, &QProgressDialog::canceled, &box, [&cancelled] { cancelled = true; });
    // The work's thread only writes the share; the window reads it.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &box, [&] {
        if (!cancelled)
            box.setValue(percent.load());
    });
    poll.start(100);
    watcher.setFuture(QtConcurrent::run(&pool, [&] {
        return work([&](int done) {
            percent = qBound(0, done, 99);
            return !cancelled.load();
        });
    }));
    loop.exec();
    poll.stop();
    if (watcher.result())
        return WorkOutcome::Done;
    return cancelled ? WorkOutcome::Cancelled : WorkOutcome::Failed;
}
