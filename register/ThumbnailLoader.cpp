#include "register/ThumbnailLoader.h"

#include <QtConcurrent/QtConcurrentMap>

ThumbnailLoader::ThumbnailLoader(QObject *parent) : QObject(parent)
{
    m_pool.setMaxThreadCount(QThread::idealThreadCount());
}

ThumbnailLoader::~ThumbnailLoader()
{
    cancel();
    m_pool.waitForDone();
}

void ThumbnailLoader::start(const QList<Job> &jobs, const QColor &face)
{
    cancel();
    if (jobs.isEmpty()) {
        emit finished();
        return;
    }
    auto *watcher = new QFutureWatcher<Result>(this);
    m_watcher = watcher;
    connect(watcher, &QFutureWatcher<Result>::resultReadyAt, this, [this, watcher](int index) {
        const Result result = watcher->resultAt(index);
        emit tileReady(result.key, result.thumbnail);
    });
    connect(watcher, &QFutureWatcher<Result>::finished, this, [this, watcher] {
        watcher->deleteLater();
        m_watcher = nullptr;
        emit finished();
    });
    watcher->setFuture(QtConcurrent::mapped(&m_pool, jobs, [face](const Job &job) {
        return Result{job.key, ThumbnailTile::fromFile(job.path, face)};
    }));
}

void ThumbnailLoader::cancel()
{
    if (!m_watcher)
        return;
    m_watcher->disconnect(this);
    m_watcher->cancel();
    m_watcher->deleteLater();
    m_watcher = nullptr;
}
