#pragma once

#include <QImage>
#include <QSize>
#include <functional>
#include <optional>

// Decodes picture files within a memory budget, so that a huge or hostile file is refused or
// read scaled instead of exhausting memory. JPEGs are decoded scaled by libjpeg itself.
namespace PictureReader {

// The most pixels one decode may hold (about 256 MB as 32-bit pixels).
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

// The size in the file, when the file is a picture whose decoding at `decodedSize` fits the
// budget.
std::optional<QSize> checkedSize(const QString &path, const QSize &decodedSize = {});

// `size` reduced, keeping its shape, to at most `maxPixels`.
QSize fitPixels(const QSize &size, qint64 maxPixels);

} // namespace PictureReader
