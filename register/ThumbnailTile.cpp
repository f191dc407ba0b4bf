#include "register/ThumbnailTile.h"

#include <QPainter>

namespace ThumbnailTile {

namespace {

const QColor kShadow(128, 128, 128);
const QColor kMark(192, 0, 0);
constexpr int kBox = 64; // the longer side of the picture
constexpr int kInset = 8;

// The sunken frame one pixel outside `r` on every side.
void drawSunkenFrame(QPainter &p, const QRect &r)
{
    const QRect frame = r.adjusted(-1, -1, 1, 1);
    p.setPen(kShadow);
    p.drawLine(frame.left(), frame.top(), frame.right() - 1, frame.top());
    p.drawLine(frame.left(), frame.top(), frame.left(), frame.bottom() - 1);
    p.setPen(Qt::white);
    p.drawLine(frame.left(), frame.bottom(), frame.right(), frame.bottom());
    p.drawLine(frame.right(), frame.top(), frame.right(), frame.bottom());
}

// The tile of `picture`, stretched into pictureRect(`size`).
QImage draw(const QImage &picture, const QSize &size, const QColor &face)
{
    QImage tile = blank(face);
    const QRect r = pictureRect(size);
    QPainter p(&tile);
    drawSunkenFrame(p, r);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(r, picture);
    return tile;
}

// Where a square picture would be.
QRect square()
{
    return pictureRect(QSize(1, 1));
}

// The tile with a white square in place of the picture.
QImage emptySquare(const QColor &face)
{
    QImage tile = blank(face);
    QPainter p(&tile);
    drawSunkenFrame(p, square());
    p.fillRect(square(), Qt::white);
    return tile;
}

// `lines` centred one under the other from `top`, the first one larger.
void drawLines(QPainter &p, int top, const QColor &colour, const QStringList &lines)
{
    QFont font = p.font();
    font.setPixelSize(11);
    p.setPen(colour);
    QRect line(square().left(), top, square().width(), 14);
    for (const QString &text : lines) {
        p.setFont(font);
        p.drawText(line, Qt::AlignCenter, text);
        line.translate(0, 14);
        font.setPixelSize(9);
    }
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

QImage unreadable(const QColor &face)
{
    QImage tile = emptySquare(face);
    QPainter p(&tile);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kMark, 3, Qt::SolidLine, Qt::RoundCap));
    const QRect cross(square().center().x() - 10, square().top() + 8, 20, 20);
    p.drawLine(cross.topLeft(), cross.bottomRight());
    p.drawLine(cross.topRight(), cross.bottomLeft());
    drawLines(p, square().top() + 38, kMark, {QStringLiteral("无法读取")});
    return tile;
}

QImage missing(const QString &name, const QColor &face)
{
    QImage tile = emptySquare(face);
    QPainter p(&tile);
    QFont font = p.font();
    font.setPixelSize(9);
    const QString shown = QFontMetrics(font).elidedText(name, Qt::ElideMiddle, square().width());
    drawLines(p, square().top() + 18, kMark, {QStringLiteral("图片不存在"), shown});
    return tile;
}

QImage tooLarge(const QSize &size, const QColor &face)
{
    QImage tile = emptySquare(face);
    QPainter p(&tile);
    drawLines(
        p, square().top() + 18, Qt::black,
        {QStringLiteral("图片过大"), QStringLiteral("%1×%2").arg(size.width()).arg(size.height())});
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

QSize tileSize(const QSize &size)
{
    return pictureRect(size).size();
}

Thumbnail fromPicture(const PictureReader::Picture &picture, const QColor &face)
{
    using PictureReader::Picture;
    switch (picture.outcome) {
    case Picture::Read:
        return {draw(picture.image, picture.size, face), picture.outcome, picture.size};
    case Picture::TooLarge:
        return {tooLarge(picture.size, face), picture.outcome, picture.size};
    case Picture::Unreadable:
    case Picture::Missing:
        break;
    }
    return {unreadable(face), Picture::Unreadable, QSize()};
}

Thumbnail fromFile(const QString &path, const QColor &face)
{
    return fromPicture(PictureReader::read(path, tileSize), face);
}

Thumbnail fromDevice(QIODevice *device, const QColor &face)
{
    return fromPicture(PictureReader::read(device, tileSize), face);
}

} // namespace ThumbnailTile
