#pragma once

#include "core/DataSource.h"
#include "register/PictureStore.h"
#include "register/ThumbnailTile.h"

#include <QColor>
#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>

// Reads and draws thumbnail tiles on worker threads, so the window stays responsive while a
// sample's pictures are read: a register file's from images/, a server's through connections
// of the workers' own. Starting again voids the earlier work: only the latest request
// reports.
class ThumbnailLoader : public QObject
{
    Q_OBJECT

public:
    struct Job
    {
        PictureRecord picture;
        bool draw = true; // false: only whether the picture is there (a GIF keeps a blank tile)
    };
    struct Result
    {
        qint64 key; // the picture record the tile belongs to
        ThumbnailTile::Thumbnail thumbnail;
        QString error; // why the bytes could not be read, when they could not
    };

    explicit ThumbnailLoader(QObject *parent = nullptr);
    ~ThumbnailLoader() override;

    void start(const QList<Job> &jobs, const QColor &face, const DataSource &source);
    void cancel();
    bool isBusy() const { return m_watcher != nullptr; }

    // One tile as a worker makes it.
    static Result load(const Job &job, const QColor &face, const DataSource &source);

signals:
    void tileReady(const ThumbnailLoader::Result &result);
    // Every tile of the latest request is reported.
    void finished();

private:
    QThreadPool m_pool;
    QFutureWatcher<Result> *m_watcher = nullptr;
};
