#pragma once

#include <QColor>
#include <QList>
#include <QSize>
#include <QString>

// Real picture files for the tests, written with the program's own encoders.
namespace TestImages {

// A picture of one colour; the format follows the extension (.jpg/.jpeg, .bmp, .gif, .png).
// Returns `path`.
QString write(const QString &path, const QSize &size, const QColor &colour);
// A JPEG whose header claims `claimed` pixels while it holds the data of a tiny picture.
QString writeLyingJpeg(const QString &path, const QSize &claimed);
// A bitmap whose header claims `claimed` pixels while it holds two by two.
QString writeLyingBmp(const QString &path, const QSize &claimed);
// The first half of a JPEG of `size`.
QString writeTruncatedJpeg(const QString &path, const QSize &size);
// A GIF of one frame per colour, each shown for a tenth of a second, looping.
QString writeAnimatedGif(const QString &path, const QSize &size, const QList<QColor> &frames);
// Bytes that are no picture at all.
QString writeGarbage(const QString &path);

// The colour at the centre of the picture in `path`, read back.
QColor centreColour(const QString &path);

} // namespace TestImages
