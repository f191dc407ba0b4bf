#include "core/ReadableColor.h"

#include <QtMath>

namespace ReadableColor {

namespace {

constexpr double kReadable = 4.5;

double linear(double channel)
{
    return channel <= 0.03928 ? channel / 12.92 : qPow((channel + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &c)
{
    const QColor rgb = c.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

bool isLight(const QColor &c)
{
    return luminance(c) > 0.18; // the luminance at which black and white text read equally
}

} // namespace

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

QColor tintOn(const QColor &accent, const QColor &base)
{
    if (isLight(base))
        return accent;
    constexpr double kShare = 0.3;
    const QColor a = accent.toRgb();
    const QColor b = base.toRgb();
    return QColor::fromRgbF(float(b.redF() + (a.redF() - b.redF()) * kShare),
                            float(b.greenF() + (a.greenF() - b.greenF()) * kShare),
                            float(b.blueF() + (a.blueF() - b.blueF()) * kShare));
}

QColor textOn(const QColor &background)
{
    return isLight(background) ? QColor(Qt::black) : QColor(Qt::white);
}

QColor readableOn(const QColor &accent, const QColor &background)
{
    const bool darken = isLight(background);
    QColor c = accent.toHsl();
    for (int step = 0; step < 20 && contrast(c, background) < kReadable; ++step) {
        const float lightness = float(c.lightnessF());
        c.setHslF(c.hslHueF(), c.hslSaturationF(),
                  darken ? qMax(0.0f, lightness - 0.05f) : qMin(1.0f, lightness + 0.05f));
    }
    return contrast(c, background) >= kReadable ? c.toRgb() : textOn(background);
}

} // namespace ReadableColor
