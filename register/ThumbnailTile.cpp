#include "register/ThumbnailTile.h"

#include "register/PictureReader.h"

#include <QPainter>

namespace ThumbnailTile {

namespace {

const QColor kShadow(128, 128, 128);
constexpr int kBox = 64; // the longer side of the picture
constexpr int kInset = 8;

// The tile of `picture`, stretched into pictureRect(`size`).
QImage draw(const QImage &picture, const QSize &size, const QColor &face)
{
    QImage tile = blank(face);
    const QRect r = pictureRect(size);
    QPainter p(&tile);
    // The sunken frame runs one pixel outside the picture on every side.
    const QRect frame = r.adjusted(-1, -1, 1, 1);
    p.setPen(kShadow);
    p.drawLine(frame.left(), frame.top(), frame.right() - 1, frame.top());
    p.drawLine(frame.left(), frame.top(), frame.left(), frame.bottom() - 1);
    p.setPen(Qt::white);
    p.drawLine(frame.left(), frame.bottom(), frame.right(), frame.bottom());
    p.drawLine(frame.right(), frame.top(), frame.right(), frame.bottom());
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(r, picture);
    return tile;
}

} // namespace

QImage blank(const QColor &face)
{
    QImage tile(kSide, kSide, QImage::Format_RGB32);
    tile.fill(face);
    QPainter p(&tile);
    p.setPen(Qt::white);
    p.drawLine(0, 0, kSide - 1, 0);
    p.drawLine(0, 0, 0, kSide - 1);
    p.setPen(kShadow);
    p.drawLine(1, kSide - 1, kSide - 1, kSide - 1);
    p.drawLine(kSide - 1, 1, kSide - 1, kSide - 1);
    return tile;
}

QRect pictureRect(const QSize &size)
{
    // The shorter side as the integer share of 64, never less than a pixel.
    if (size.width() > size.height()) {
        const int h = qMax(1, int(qint64(size.height()) * kBox / size.width()));
        return QRect(kInset, kInset + (kBox - h) / 2, kBox - 1, h);
    }
    const int w = qMax(1, int(qint64(size.width()) * kBox / qMax(1, size.height())));
    return QRect(kInset + (kBox - w) / 2, kInset, w, kBox - 1);
}

std::optional<QImage> fromFile(const QString &path, const QColor &face)
{
    const std::optional<PictureReader::Picture> picture =
        PictureReader::read(path, [](const QSize &size) { return pictureRect(size).size(); });
    if (!picture)
        return std::nullopt;
    return draw(picture->image, picture->size, face);
}

} // namespace ThumbnailTile
