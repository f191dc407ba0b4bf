#include "register/PictureReader.h"

#include <QImageReader>
#include <cmath>

namespace PictureReader {

namespace {

// What decoding `size` at `target` holds at its peak. libjpeg scales by eighths, so a scaled
// JPEG may come out up to an eighth of the original larger than asked before Qt shrinks it.
qint64 peakPixels(const QImageReader &reader, const QSize &size, const QSize &target)
{
    if (target == size || !reader.supportsOption(QImageIOHandler::ScaledSize))
        return qint64(size.width()) * size.height();
    return (qint64(target.width()) + size.width() / 8 + 1) *
           (qint64(target.height()) + size.height() / 8 + 1);
}

bool fits(const QImageReader &reader, const QSize &size, const QSize &target)
{
    return size.isValid() && !size.isEmpty() && target.isValid() && !target.isEmpty() &&
           peakPixels(reader, size, target) <= kMaxDecodedPixels;
}

} // namespace

std::optional<Picture> read(const QString &path,
                            const std::function<QSize(const QSize &)> &decodedSize)
{
    QImageReader reader(path);
    const QSize size = reader.size();
    const QSize target = size.isValid() ? decodedSize(size) : QSize();
    if (!fits(reader, size, target))
        return std::nullopt;
    if (target != size)
        reader.setScaledSize(target);
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return Picture{std::move(image), size};
}

std::optional<QSize> checkedSize(const QString &path, const QSize &decodedSize)
{
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!fits(reader, size, decodedSize.isValid() ? decodedSize : size))
        return std::nullopt;
    return size;
}

QSize fitPixels(const QSize &size, qint64 maxPixels)
{
    const qint64 pixels = qint64(size.width()) * size.height();
    if (pixels <= maxPixels)
        return size;
    const double factor = std::sqrt(double(maxPixels) / double(pixels));
    return QSize(qMax(1, int(size.width() * factor)), qMax(1, int(size.height() * factor)));
}

} // namespace PictureReader
