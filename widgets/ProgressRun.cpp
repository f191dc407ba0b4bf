#include "widgets/ProgressRun.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QProgressDialog>
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>
#include <atomic>
#include <optional>

WorkResult runWithProgress(QWidget *parent, const QString &label,
                           const std::function<WorkResult(const WorkProgress &progress)> &work)
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
    QFutureWatcher<void> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<void>::finished, &loop, &QEventLoop::quit);
    QObject::connect(&box, &QProgressDialog::canceled, &box, [&cancelled] { cancelled = true; });
    // The work's thread only writes the share; the window reads it.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &box, [&] {
        if (!cancelled)
            box.setValue(percent.load());
    });
    poll.start(100);
    std::optional<WorkResult> result;
    watcher.setFuture(QtConcurrent::run(&pool, [&] {
        result = work([&](int done) {
            percent = qBound(0, done, 99);
            return !cancelled.load();
        });
    }));
    loop.exec();
    poll.stop();
    return *result;
}
