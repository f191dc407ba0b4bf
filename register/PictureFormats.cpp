#include "register/PictureFormats.h"

#include <QImageReader>
#include <QStringList>

namespace PictureFormats {

QString openFilter()
{
    static const struct
    {
        const char *format; // as QImageReader names it
        const char *caption;
        const char *patterns;
    } known[] = {
        {"png", "PNG Files", "*.png"},    {"jpeg", "JPEG Files", "*.jpg *.jpeg"},
        {"bmp", "Bitmap Files", "*.bmp"}, {"gif", "GIF Files", "*.gif"},
        {"webp", "WebP Files", "*.webp"}, {"tiff", "TIFF Files", "*.tif *.tiff"},
    };
    const QList<QByteArray> readable = QImageReader::supportedImageFormats();
    QStringList all;
    QStringList each;
    for (const auto &f : known) {
        if (!readable.contains(QByteArray(f.format)))
            continue;
        const QString patterns = QLatin1String(f.patterns);
        all << patterns;
        each << QStringLiteral("%1 (%2)").arg(QLatin1String(f.caption), patterns);
    }
    return QStringLiteral("Image Files (%1);;").arg(all.join(u' ')) +
           each.join(QStringLiteral(";;"));
}

} // namespace PictureFormats
