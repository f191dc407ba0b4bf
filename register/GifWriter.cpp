#include "register/GifWriter.h"

#include <QImage>
#include <QSaveFile>
#include <gif_lib.h>
#include <memory>
#include <vector>

namespace GifWriter {

namespace {

int writeToDevice(GifFileType *gif, const GifByteType *data, int length)
{
    return int(static_cast<QSaveFile *>(gif->UserData)
                   ->write(reinterpret_cast<const char *>(data), length));
}

QString gifError(int code)
{
    const char *text = GifErrorString(code);
    return text ? QString::fromLatin1(text) : QStringLiteral("GIF error %1").arg(code);
}

struct MapDeleter
{
    void operator()(ColorMapObject *map) const { GifFreeMapObject(map); }
};

} // namespace

bool write(const QImage &image, const QString &path, QString *error)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const int width = rgb.width();
    const int height = rgb.height();
    if (rgb.isNull() || width > 0xffff || height > 0xffff) {
        *error = QStringLiteral("picture too large for GIF");
        return false;
    }
    const size_t pixels = size_t(width) * size_t(height);
    std::vector<GifByteType> red(pixels), green(pixels), blue(pixels), indices(pixels);
    for (int y = 0; y < height; ++y) {
        const uchar *line = rgb.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            const size_t i = size_t(y) * size_t(width) + size_t(x);
            red[i] = line[3 * x];
            green[i] = line[3 * x + 1];
            blue[i] = line[3 * x + 2];
        }
    }
    int colours = 256;
    std::vector<GifColorType> palette(256);
    if (GifQuantizeBuffer(unsigned(width), unsigned(height), &colours, red.data(), green.data(),
                          blue.data(), indices.data(), palette.data()) == GIF_ERROR) {
        *error = QStringLiteral("cannot reduce the colours");
        return false;
    }
    // The quantizer keeps five bits a channel; each entry becomes the mean of the pixels it
    // stands for, so a picture of few colours keeps them exactly.
    std::vector<quint64> sums(256 * 4, 0);
    for (size_t i = 0; i < pixels; ++i) {
        quint64 *sum = &sums[size_t(indices[i]) * 4];
        sum[0] += red[i];
        sum[1] += green[i];
        sum[2] += blue[i];
        ++sum[3];
    }
    for (size_t c = 0; c < 256; ++c) {
        const quint64 *sum = &sums[c * 4];
        if (sum[3])
            palette[c] = GifColorType{GifByteType((sum[0] + sum[3] / 2) / sum[3]),
                                      GifByteType((sum[1] + sum[3] / 2) / sum[3]),
                                      GifByteType((sum[2] + sum[3] / 2) / sum[3])};
    }
    const int bits = qMax(1, GifBitSize(colours));
    palette.resize(size_t(1) << bits);
    std::unique_ptr<ColorMapObject, MapDeleter> map(GifMakeMapObject(1 << bits, palette.data()));

    QSaveFile file(path);
    if (!map || !file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    int code = 0;
    GifFileType *gif = EGifOpen(&file, writeToDevice, &code);
    if (!gif) {
        *error = gifError(code);
        return false;
    }
    bool ok = EGifPutScreenDesc(gif, width, height, bits, 0, map.get()) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < height; ++y)
        ok = EGifPutLine(gif, indices.data() + size_t(y) * size_t(width), width) == GIF_OK;
    if (!ok)
        *error = gifError(gif->Error);
    if (EGifCloseFile(gif, &code) != GIF_OK && ok) {
        ok = false;
        *error = gifError(code);
    }
    if (ok && !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return ok;
}

} // namespace GifWriter
