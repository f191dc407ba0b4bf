#pragma once

#include <QImage>
#include <QSize>
#include <functional>
#include <optional>

// Decodes picture files within a memory budget, so that a huge or hostile file is refused or
// read scaled instead of exhausting memory. JPEGs are decoded scaled by libjpeg itself.
namespace PictureReader {

// The most pixels one reading may hold at its peak (about 256 MB as 32-bit pixels).
inline constexpr qint64 kMaxDecodedPixels = 64'000'000;

struct Picture
{
    QImage image;
    QSize size; // as stored in the file; the image may be smaller
};

// Reads the file at `decodedSize(size in the file)`; nothing when it is no picture that can be
// read, is damaged, or would need more than the budget.
std::optional<Picture> read(const QString &path,
                            const std::function<QSize(const QSize &)> &decodedSize);

// Reads the whole picture or, when it has more than `maxPixels`, the largest reduction that
// libjpeg decodes directly within them; nothing when neither fits.
std::optional<Picture> readWithin(const QString &path, qint64 maxPixels);

// Whether the whole picture can be decoded within `maxPixels`.
bool fitsWhole(const QString &path, qint64 maxPixels);

} // namespace PictureReader
