#pragma once

#include <QString>

class QImage;

// Writes a picture as a GIF file through giflib, its colours reduced to a palette of at most
// 256 by median cut (Qt has no GIF writer).
namespace GifWriter {

bool write(const QImage &image, const QString &path, QString *error);

} // namespace GifWriter
