#pragma once

#include "register/ThumbnailTile.h"

#include <QColor>
#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>

// Reads and draws thumbnail tiles on worker threads, so the window stays responsive while a
// sample's pictures are read. Starting again voids the earlier work: only the latest
// request reports.
class ThumbnailLoader : public QObject
{
    Q_OBJECT

public:
    struct Job
    {
        qint64 key; // the picture record the tile belongs to
        QString path;
    };
    struct Result
    {
        qint64 key;
        ThumbnailTile::Thumbnail thumbnail;
    };

    explicit ThumbnailLoader(QObject *parent = nullptr);
    ~ThumbnailLoader() override;

    void start(const QList<Job> &jobs, const QColor &face);
    void cancel();
    bool isBusy() const { return m_watcher != nullptr; }

signals:
    void tileReady(qint64 key, const ThumbnailTile::Thumbnail &thumbnail);
    // Every tile of the latest request is reported.
    void finished();

private:
    QThreadPool m_pool;
    QFutureWatcher<Result> *m_watcher = nullptr;
};
