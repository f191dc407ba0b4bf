#include "register/ThumbnailCache.h"

#include "core/AppHome.h"
#include "core/OwnerOnly.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <atomic>

namespace {

// Trimming lists the folder: once in a while is enough.
constexpr int kPutsPerTrim = 32;
std::atomic<int> g_puts{0};

const char *const kSizeKey = "QuorinSize";

bool isHash(const QString &hash)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{64}$"));
    return hex.match(hash).hasMatch();
}

} // namespace

ThumbnailCache::ThumbnailCache(const QString &folder, qint64 limit)
    : m_folder(folder), m_limit(limit)
{
}

ThumbnailCache ThumbnailCache::standard()
{
    return ThumbnailCache(AppHome::cachePath(QStringLiteral("thumbnails")));
}

QString ThumbnailCache::fileOf(const QString &hash, int side) const
{
    return QDir(m_folder).filePath(QStringLiteral("%1-%2.png").arg(hash).arg(side));
}

std::optional<ThumbnailCache::Entry> ThumbnailCache::find(const QString &hash, int side) const
{
    if (!isHash(hash))
        return std::nullopt;
    const QString path = fileOf(hash, side);
    QImageReader reader(path, "png");
    const QStringList sides = reader.text(QLatin1String(kSizeKey)).split(u'x');
    const QSize size(sides.value(0).toInt(), sides.value(1).toInt());
    QImage image = reader.read();
    if (image.isNull() || size.isEmpty())
        return std::nullopt;
    // Used now: the last to go.
    QFile file(path);
    if (file.open(QIODevice::ReadWrite))
        file.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
    return Entry{std::move(image), size};
}

void ThumbnailCache::put(const QString &hash, int side, const Entry &entry) const
{
    if (!isHash(hash) || entry.image.isNull() || !OwnerOnly::makeFolder(m_folder))
        return;
    QSaveFile file(fileOf(hash, side));
    if (!file.open(QIODevice::WriteOnly))
        return;
    QImageWriter writer(&file, "png");
    writer.setText(QLatin1String(kSizeKey),
                   QStringLiteral("%1x%2").arg(entry.size.width()).arg(entry.size.height()));
    if (!writer.write(entry.image)) {
        file.cancelWriting();
        return;
    }
    file.commit();
    if (++g_puts % kPutsPerTrim == 1)
        trim();
}

void ThumbnailCache::trim() const
{
    QFileInfoList files =
        QDir(m_folder).entryInfoList({QStringLiteral("*.png")}, QDir::Files, QDir::Time);
    qint64 total = 0;
    for (const QFileInfo &f : std::as_const(files))
        total += f.size();
    // Newest first: the oldest are at the end.
    while (total > m_limit && !files.isEmpty()) {
        const QFileInfo oldest = files.takeLast();
        if (QFile::remove(oldest.filePath()))
            total -= oldest.size();
    }
}
