#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <optional>

// The 80 × 80 cells of the picture list: a raised button-face tile with the picture scaled
// so that its longer side is 64 pixels, centred in a sunken frame.
namespace ThumbnailTile {

inline constexpr int kSide = 80;

// The tile without a picture: what a GIF shows, and every item until its picture is read.
QImage blank(const QColor &face);
// Where a picture of `size` is drawn in the tile.
QRect pictureRect(const QSize &size);
// Reads the file at the size the tile needs and draws it; nothing when it cannot be read.
std::optional<QImage> fromFile(const QString &path, const QColor &face);

} // namespace ThumbnailTile
