#pragma once

#include "register/PictureReader.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

// The 80 × 80 cells of the picture list: a raised button-face tile with the picture scaled
// so that its longer side is 64 pixels, centred in a sunken frame.
namespace ThumbnailTile {

inline constexpr int kSide = 80;

// A picture's tile and what reading its file gave.
struct Thumbnail
{
    QImage tile;
    PictureReader::Picture::Outcome outcome;
    QSize size; // as stored in the file; unknown when unreadable
};

// The tile without a picture: what a GIF shows, and every item until its picture is read.
QImage blank(const QColor &face);
// The marked tile of a file that is no picture or is damaged.
QImage unreadable(const QColor &face);
// The marked tile of a picture whose bytes are gone, with its name.
QImage missing(const QString &name, const QColor &face);
// The tile of a picture too large to read, with its size in pixels.
QImage tooLarge(const QSize &size, const QColor &face);
// Where a picture of `size` is drawn in the tile.
QRect pictureRect(const QSize &size);
// The size a picture of `size` is read at for its tile.
QSize tileSize(const QSize &size);
// Reads the file at the size the tile needs and draws it, or the tile saying why not.
Thumbnail fromFile(const QString &path, const QColor &face);
// The same from a picture's bytes.
Thumbnail fromDevice(QIODevice *device, const QColor &face);
// The tile of a reading of a picture at the size pictureRect() gives.
Thumbnail fromPicture(const PictureReader::Picture &picture, const QColor &face);

} // namespace ThumbnailTile
