#include "register/PictureReader.h"

#include <QImageReader>
#include <QtMath>

namespace PictureReader {

namespace {

qint64 pixels(const QSize &size)
{
    return qint64(size.width()) * size.height();
}

bool scalesWhileDecoding(const QImageReader &reader)
{
    return reader.supportsOption(QImageIOHandler::ScaledSize);
}

// `size` at m eighths, rounded up as libjpeg rounds.
QSize eighths(const QSize &size, int m)
{
    return QSize(int((qint64(size.width()) * m + 7) / 8), int((qint64(size.height()) * m + 7) / 8));
}

// The size libjpeg decodes at when Qt asks for `target`: the nearest eighth of the picture
// at or above it, which Qt then shrinks to `target`.
QSize eighthsFor(const QSize &size, const QSize &target)
{
    const double f =
        qMin(double(size.width()) / target.width(), double(size.height()) / target.height());
    const int m = qBound(1, qCeil(8 / f), 8);
    return eighths(size, m);
}

// The pixels held at once while `size` is read at `target`.
qint64 peakPixels(const QImageReader &reader, const QSize &size, const QSize &target)
{
    const QSize decoded =
        target != size && scalesWhileDecoding(reader) ? eighthsFor(size, target) : size;
    return pixels(decoded) + (decoded != target ? pixels(target) : 0);
}

bool isPicture(const QSize &size)
{
    return size.isValid() && !size.isEmpty();
}

std::optional<Picture> decode(QImageReader &reader, const QSize &size, const QSize &target)
{
    if (!isPicture(target) || peakPixels(reader, size, target) > kMaxDecodedPixels)
        return std::nullopt;
    if (target != size)
        reader.setScaledSize(target);
    // Camera pictures are stored sideways with a note of how to turn them.
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    return Picture{std::move(image), turned ? size.transposed() : size};
}

} // namespace

std::optional<Picture> read(const QString &path,
                            const std::function<QSize(const QSize &)> &decodedSize)
{
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!isPicture(size))
        return std::nullopt;
    return decode(reader, size, decodedSize(size));
}

std::optional<Picture> readWithin(const QString &path, qint64 maxPixels)
{
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!isPicture(size))
        return std::nullopt;
    if (pixels(size) <= maxPixels)
        return decode(reader, size, size);
    if (!scalesWhileDecoding(reader))
        return std::nullopt;
    // An exact eighth needs no second pass to shrink it.
    for (int m = 7; m >= 1; --m) {
        const QSize reduced = eighths(size, m);
        if (pixels(reduced) <= maxPixels)
            return decode(reader, size, reduced);
    }
    return std::nullopt;
}

bool fitsWhole(const QString &path, qint64 maxPixels)
{
    const QSize size = QImageReader(path).size();
    return isPicture(size) && pixels(size) <= qMin(maxPixels, kMaxDecodedPixels);
}

} // namespace PictureReader
