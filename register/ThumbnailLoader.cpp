#include "register/ThumbnailLoader.h"

#include "core/OwnConnection.h"
#include "register/FolderPictureStore.h"
#include "register/ServerPictureStore.h"
#include "register/ThumbnailCache.h"

#include <QtConcurrent/QtConcurrentMap>
#include <optional>

ThumbnailLoader::ThumbnailLoader(QObject *parent) : QObject(parent)
{
    m_pool.setMaxThreadCount(QThread::idealThreadCount());
}

ThumbnailLoader::~ThumbnailLoader()
{
    cancel();
    m_pool.waitForDone();
}

namespace {

using PictureReader::Picture;

ThumbnailTile::Thumbnail missingTile(const PictureRecord &picture, const QColor &face)
{
    return {ThumbnailTile::missing(picture.fileName + picture.fileExt, face), Picture::Missing,
            QSize()};
}

// A register file's picture, read from its file in images/.
ThumbnailLoader::Result fromFolder(const ThumbnailLoader::Job &job, const QColor &face)
{
    const PictureRecord &picture = job.picture;
    ThumbnailLoader::Result result{picture.id, {}, {}};
    const std::unique_ptr<QIODevice> bytes =
        FolderPictureStore(QSqlDatabase()).open(picture, &result.error);
    if (!bytes)
        result.thumbnail = result.error.isEmpty()
                               ? missingTile(picture, face)
                               : ThumbnailTile::Thumbnail{ThumbnailTile::unreadable(face),
                                                          Picture::Unreadable, QSize()};
    else if (!job.draw)
        result.thumbnail = {ThumbnailTile::blank(face), Picture::Read, QSize()};
    else
        result.thumbnail = ThumbnailTile::fromDevice(bytes.get(), face);
    return result;
}

// A server's picture: from the workstation's thumbnails when they have it, else fetched on a
// connection of this worker's own and kept there.
ThumbnailLoader::Result fromServer(const ThumbnailLoader::Job &job, const QColor &face,
                                   const DataSource &source)
{
    const PictureRecord &picture = job.picture;
    ThumbnailLoader::Result result{picture.id, {}, {}};
    if (picture.hash.isEmpty()) {
        result.thumbnail = missingTile(picture, face);
        return result;
    }
    const ThumbnailCache cache = ThumbnailCache::standard();
    if (job.draw) {
        if (const std::optional<ThumbnailCache::Entry> kept =
                cache.find(picture.hash, ThumbnailTile::kSide)) {
            result.thumbnail =
                ThumbnailTile::fromPicture(Picture{Picture::Read, kept->image, kept->size}, face);
            return result;
        }
    }
    OwnConnection connection(source, QStringLiteral("thumbnail"));
    if (!connection.isOpen()) {
        result.error = connection.error();
        result.thumbnail = {ThumbnailTile::unreadable(face), Picture::Unreadable, QSize()};
        return result;
    }
    ServerPictureStore store(connection.db());
    if (!job.draw) {
        const bool held = store.holdsContent(picture.hash, &result.error);
        result.thumbnail =
            held ? ThumbnailTile::Thumbnail{ThumbnailTile::blank(face), Picture::Read, QSize()}
            : result.error.isEmpty() ? missingTile(picture, face)
                                     : ThumbnailTile::Thumbnail{ThumbnailTile::unreadable(face),
                                                                Picture::Unreadable, QSize()};
        return result;
    }
    const std::unique_ptr<QIODevice> bytes = store.open(picture, &result.error);
    if (!bytes) {
        result.thumbnail = result.error.isEmpty()
                               ? missingTile(picture, face)
                               : ThumbnailTile::Thumbnail{ThumbnailTile::unreadable(face),
                                                          Picture::Unreadable, QSize()};
        return result;
    }
    const Picture read = PictureReader::read(bytes.get(), ThumbnailTile::tileSize);
    if (read.isRead())
        cache.put(picture.hash, ThumbnailTile::kSide, {read.image, read.size});
    result.thumbnail = ThumbnailTile::fromPicture(read, face);
    return result;
}

} // namespace

ThumbnailLoader::Result ThumbnailLoader::load(const Job &job, const QColor &face,
                                              const DataSource &source)
{
    return source.engine == Engine::PostgreSQL ? fromServer(job, face, source)
                                               : fromFolder(job, face);
}

void ThumbnailLoader::start(const QList<Job> &jobs, const QColor &face, const DataSource &source)
{
    cancel();
    if (jobs.isEmpty()) {
        emit finished();
        return;
    }
    auto *watcher = new QFutureWatcher<Result>(this);
    m_watcher = watcher;
    connect(watcher, &QFutureWatcher<Result>::resultReadyAt, this,
            [this, watcher](int index) { emit tileReady(watcher->resultAt(index)); });
    connect(watcher, &QFutureWatcher<Result>::finished, this, [this, watcher] {
        watcher->deleteLater();
        m_watcher = nullptr;
        emit finished();
    });
    watcher->setFuture(QtConcurrent::mapped(
        &m_pool, jobs, [face, source](const Job &job) { return load(job, face, source); }));
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
