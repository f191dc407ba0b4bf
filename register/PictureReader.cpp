#include "register/PictureReader.h"

#include "core/RegularFile.h"

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

// Qt refuses any image over 128 MB by itself, which would make a picture within the budget
// look damaged; the budget, checked before decoding, takes its place. Eight bytes a pixel
// hold the 16-bit colour of scans.
void allowTheBudget()
{
    static const bool allowed = [] {
        QImageReader::setAllocationLimit(int(kMaxDecodedPixels * 8 / (1024 * 1024)) + 1);
        return true;
    }();
    Q_UNUSED(allowed);
}

// The size in the file of a regular file's picture; empty for anything else (a FIFO in the
// picture folder must not hold the window).
QSize sizeOf(QFile &file, QImageReader &reader, const QString &path)
{
    if (!openRegularFile(file, path))
        return {};
    reader.setDevice(&file);
    return reader.size();
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

Picture refused(Picture::Outcome outcome, const QSize &size = {})
{
    return Picture{outcome, QImage(), size};
}

Picture decode(QImageReader &reader, const QSize &size, const QSize &target)
{
    if (!isPicture(target))
        return refused(Picture::Unreadable);
    if (peakPixels(reader, size, target) > kMaxDecodedPixels)
        return refused(Picture::TooLarge, size);
    allowTheBudget();
    if (target != size)
        reader.setScaledSize(target);
    // Camera pictures are stored sideways with a note of how to turn them.
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull())
        return refused(Picture::Unreadable);
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    return Picture{Picture::Read, std::move(image), turned ? size.transposed() : size};
}

} // namespace

Picture read(const QString &path, const std::function<QSize(const QSize &)> &decodedSize)
{
    QFile file;
    if (!openRegularFile(file, path))
        return refused(Picture::Unreadable);
    return read(&file, decodedSize);
}

Picture read(QIODevice *device, const std::function<QSize(const QSize &)> &decodedSize)
{
    QImageReader reader(device);
    const QSize size = reader.size();
    if (!isPicture(size))
        return refused(Picture::Unreadable);
    return decode(reader, size, decodedSize(size));
}

Picture readWithin(const QString &path, qint64 maxPixels)
{
    QFile file;
    QImageReader reader;
    const QSize size = sizeOf(file, reader, path);
    if (!isPicture(size))
        return refused(Picture::Unreadable);
    if (pixels(size) <= maxPixels)
        return decode(reader, size, size);
    if (!scalesWhileDecoding(reader))
        return refused(Picture::TooLarge, size);
    // An exact eighth needs no second pass to shrink it.
    for (int m = 7; m >= 1; --m) {
        const QSize reduced = eighths(size, m);
        if (pixels(reduced) <= maxPixels)
            return decode(reader, size, reduced);
    }
    return refused(Picture::TooLarge, size);
}

bool fitsWhole(const QString &path, qint64 maxPixels)
{
    allowTheBudget();
    QFile file;
    QImageReader reader;
    const QSize size = sizeOf(file, reader, path);
    return isPicture(size) && pixels(size) <= qMin(maxPixels, kMaxDecodedPixels);
}

} // namespace PictureReader
