#pragma once

#include <QIODevice>
#include <QImage>
#include <QSize>
#include <functional>

// Decodes picture files within a memory budget, so that a huge or hostile file is refused or
// read scaled instead of exhausting memory. JPEGs are decoded scaled by libjpeg itself.
namespace PictureReader {

// The most pixels one reading may hold at its peak (about 256 MB as 32-bit pixels).
inline constexpr qint64 kMaxDecodedPixels = 64'000'000;

// What reading a file gave: the picture, or why there is none.
struct Picture
{
    // Missing: the picture has no bytes at all (its file or its stored content is gone).
    enum Outcome { Read, Unreadable, TooLarge, Missing };

    Outcome outcome = Unreadable;
    QImage image; // when Read
    QSize size;   // as stored in the file, when Read or TooLarge; the image may be smaller

    bool isRead() const { return outcome == Read; }
};

// Reads the file at `decodedSize(size in the file)`. Unreadable: no picture that can be read,
// or damaged; TooLarge: it would need more than the budget.
Picture read(const QString &path, const std::function<QSize(const QSize &)> &decodedSize);
// The same from an open device (a picture's bytes from a server).
Picture read(QIODevice *device, const std::function<QSize(const QSize &)> &decodedSize);

// Reads the whole picture or, when it has more than `maxPixels`, the largest reduction that
// libjpeg decodes directly within them; TooLarge when neither fits.
Picture readWithin(const QString &path, qint64 maxPixels);

// Whether the whole picture can be decoded within `maxPixels`; then Qt's own readers (a
// QMovie) decode it too.
bool fitsWhole(const QString &path, qint64 maxPixels);

} // namespace PictureReader
