#include "report/ReportText.h"

#include <QFontMetricsF>
#include <QImage>

namespace Report {

namespace {

constexpr double kMeasureDpi = 1200;

// A device of a fixed, fine resolution, so measuring does not depend on the screen.
const QImage &measureDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(kMeasureDpi / 0.0254));
        image.setDotsPerMeterY(qRound(kMeasureDpi / 0.0254));
        return image;
    }();
    return device;
}

} // namespace

QFont qFont(const Font &font)
{
    // WenQuanYi Micro Hei gives each character a glyph of its own: with Noto CJK, which shares
    // glyphs between 户 and the radical ⼾ (页 and ⻚, …), a PDF's text reads back wrong.
    QFont f(font.family.isEmpty() ? QStringLiteral("WenQuanYi Micro Hei") : font.family);
    f.setPointSizeF(font.size > 0 ? font.size : 10);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    return f;
}

double textHeight(const QString &text, const Font &font, double widthMm, bool wrap)
{
    const QFontMetricsF metrics(qFont(font), &measureDevice());
    const double perMm = kMeasureDpi / 25.4;
    const QRectF box(0, 0, qMax(1.0, widthMm * perMm), 1e9);
    return metrics.boundingRect(box, textFlags(Item::Left, Item::Top, wrap), text).height() / perMm;
}

int textFlags(int align, int valign, bool wrap)
{
    int flags = align == Item::Centre  ? Qt::AlignHCenter
                : align == Item::Right ? Qt::AlignRight
                                       : Qt::AlignLeft;
    flags |= valign == Item::Top      ? Qt::AlignTop
             : valign == Item::Bottom ? Qt::AlignBottom
                                      : Qt::AlignVCenter;
    if (wrap)
        flags |= Qt::TextWordWrap;
    return flags;
}

} // namespace Report
