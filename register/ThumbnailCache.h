#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

// The workstation's thumbnails of a server's pictures, under the cache folder, keyed by the
// content's hash and the side they were made for, so browsing does not fetch whole pictures
// again. Bounded: past its limit the files used longest ago go first. Only thumbnails come
// from it; a picture opened, backed up or uploaded is always read from the store.
class ThumbnailCache
{
public:
    // A scaled picture and the size of the picture it was made from.
    struct Entry
    {
        QImage image;
        QSize size;
    };

    static constexpr qint64 kDefaultLimit = qint64(64) << 20;

    // In `folder`, kept within `limit` bytes.
    explicit ThumbnailCache(const QString &folder, qint64 limit = kDefaultLimit);
    // The program's: thumbnails/ in the cache folder.
    static ThumbnailCache standard();

    // The thumbnail of `hash` made for `side`, when there is one; marks it as used.
    std::optional<Entry> find(const QString &hash, int side) const;
    // Keeps `entry` for `hash` and `side`, then trims the cache now and then.
    void put(const QString &hash, int side, const Entry &entry) const;
    // Removes the files used longest ago until the cache is within its limit.
    void trim() const;

private:
    QString fileOf(const QString &hash, int side) const;

    QString m_folder;
    qint64 m_limit;
};
