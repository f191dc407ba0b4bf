#include "support/TestImages.h"

#include "register/GifWriter.h"

#include <QFile>
#include <QImage>
#include <QtEndian>
#include <gif_lib.h>
#include <vector>

namespace TestImages {

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qWarning("cannot write %s", qPrintable(path));
    return path;
}

} // namespace

QString write(const QString &path, const QSize &size, const QColor &colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString lower = path.toLower();
    bool ok = false;
    if (lower.endsWith(u".gif")) {
        QString error;
        ok = GifWriter::write(image, path, &error);
    } else if (lower.endsWith(u".bmp")) {
        ok = image.save(path, "BMP");
    } else if (lower.endsWith(u".png")) {
        ok = image.save(path, "PNG");
    } else {
        ok = image.save(path, "JPEG", 95);
    }
    if (!ok)
        qWarning("cannot write %s", qPrintable(path));
    return path;
}

QString writeLyingJpeg(const QString &path, const QSize &claimed)
{
    write(path, QSize(16, 16), Qt::red);
    QByteArray bytes = bytesOf(path);
    // Baseline frame header: FF C0, length (2), precision (1), height (2), width (2).
    const qsizetype sof = bytes.indexOf(QByteArray::fromHex("ffc0"));
    if (sof < 0)
        qWarning("no frame header in %s", qPrintable(path));
    qToBigEndian<quint16>(quint16(claimed.height()), bytes.data() + sof + 5);
    qToBigEndian<quint16>(quint16(claimed.width()), bytes.data() + sof + 7);
    return writeBytes(path, bytes);
}

QString writeLyingBmp(const QString &path, const QSize &claimed)
{
    write(path, QSize(2, 2), Qt::red);
    QByteArray bytes = bytesOf(path);
    // BITMAPINFOHEADER: width at 18, height at 22, little-endian.
    qToLittleEndian<qint32>(claimed.width(), bytes.data() + 18);
    qToLittleEndian<qint32>(claimed.height(), bytes.data() + 22);
    return writeBytes(path, bytes);
}

QString writeTruncatedJpeg(const QString &path, const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    }
    image.save(path, "JPEG", 90);
    const QByteArray bytes = bytesOf(path);
    return writeBytes(path, bytes.left(bytes.size() / 2));
}

QString writeAnimatedGif(const QString &path, const QSize &size, const QList<QColor> &frames)
{
    std::vector<GifColorType> palette(256, GifColorType{0, 0, 0});
    for (int i = 0; i < frames.size(); ++i)
        palette[size_t(i)] =
            GifColorType{GifByteType(frames[i].red()), GifByteType(frames[i].green()),
                         GifByteType(frames[i].blue())};
    ColorMapObject *map = GifMakeMapObject(256, palette.data());
    int error = 0;
    GifFileType *gif = EGifOpenFileName(QFile::encodeName(path).constData(), false, &error);
    bool ok = gif && EGifPutScreenDesc(gif, size.width(), size.height(), 8, 0, map) == GIF_OK;
    unsigned char loop[] = {1, 0, 0};
    ok = ok && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK &&
         EGifPutExtensionBlock(gif, 3, loop) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK;
    std::vector<GifByteType> line(size_t(size.width()));
    for (int i = 0; ok && i < frames.size(); ++i) {
        unsigned char control[] = {0, 10, 0, 0}; // delay in hundredths of a second
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control) == GIF_OK &&
             EGifPutImageDesc(gif, 0, 0, size.width(), size.height(), false, nullptr) == GIF_OK;
        std::fill(line.begin(), line.end(), GifByteType(i));
        for (int y = 0; ok && y < size.height(); ++y)
            ok = EGifPutLine(gif, line.data(), size.width()) == GIF_OK;
    }
    if (gif)
        EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    if (!ok)
        qWarning("cannot write %s", qPrintable(path));
    return path;
}

QString writeGarbage(const QString &path)
{
    return writeBytes(path, QByteArray("this is not a picture, only some text", 37));
}

QColor centreColour(const QString &path)
{
    const QImage image(path);
    return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace TestImages
