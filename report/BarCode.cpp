#include "report/BarCode.h"

#include "report/ReportText.h"

#include <QFontMetricsF>
#include <QList>
#include <QPainter>
#include <memory>
#include <zint.h>

namespace Report {

namespace {

// zint's vector output measures two units to the module.
constexpr double kUnitsPerModule = 2;

using ZintSymbol = std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)>;

bool isTwoD(Symbol::Symbology symbology)
{
    return symbology == Symbol::QrCode || symbology == Symbol::DataMatrix;
}

bool isEan(Symbol::Symbology symbology)
{
    return symbology == Symbol::Ean13 || symbology == Symbol::Ean8;
}

// zint pads a short EAN value with zeros and takes seven digits for an EAN-8 whatever was
// asked: the digits are counted here, so EAN-13 is always thirteen digits.
QString eanProblem(Symbol::Symbology symbology, const QString &value)
{
    for (const QChar c : value) {
        if (c < u'0' || c > u'9')
            return QStringLiteral("只能是数字");
    }
    const int digits = symbology == Symbol::Ean13 ? 12 : 7;
    if (value.size() != digits && value.size() != digits + 1)
        return QStringLiteral("须是 %1 位数字（或连校验位 %2 位）").arg(digits).arg(digits + 1);
    return {};
}

int zintSymbology(Symbol::Symbology symbology, const QString &value)
{
    switch (symbology) {
    case Symbol::Code128:
        return BARCODE_CODE128;
    case Symbol::Code39:
        return BARCODE_CODE39;
    case Symbol::Ean13:
        return value.size() == 13 ? BARCODE_EANX_CHK : BARCODE_EANX;
    case Symbol::Ean8:
        return value.size() == 8 ? BARCODE_EANX_CHK : BARCODE_EANX;
    case Symbol::QrCode:
        return BARCODE_QRCODE;
    case Symbol::DataMatrix:
        return BARCODE_DATAMATRIX;
    }
    return BARCODE_CODE128;
}

QString zintReason(int result, const char *text)
{
    switch (result) {
    case ZINT_ERROR_TOO_LONG:
        return QStringLiteral("太长");
    case ZINT_ERROR_INVALID_DATA:
        return QStringLiteral("含有此码制不能编码的字符");
    case ZINT_ERROR_INVALID_CHECK:
        return QStringLiteral("校验位不对");
    default:
        return QString::fromUtf8(text);
    }
}

// The symbol of `value`, with its vectors when `vectors`; null with the reason when it cannot
// be made.
ZintSymbol encode(const Symbol &symbol, const QString &value, bool vectors, QString *error)
{
    if (isEan(symbol.symbology)) {
        *error = eanProblem(symbol.symbology, value);
        if (!error->isEmpty())
            return {nullptr, ZBarcode_Delete};
    }
    ZintSymbol s(ZBarcode_Create(), ZBarcode_Delete);
    if (!s) {
        *error = QStringLiteral("内存不足");
        return {nullptr, ZBarcode_Delete};
    }
    s->symbology = zintSymbology(symbol.symbology, value);
    s->input_mode = UNICODE_MODE;
    // The text of a 2-D code is drawn here, below it, as zint has none.
    s->show_hrt = symbol.showText && !isTwoD(symbol.symbology) ? 1 : 0;
    if (symbol.quietZone)
        s->output_options |= BARCODE_QUIET_ZONES;
    if (symbol.symbology == Symbol::QrCode)
        s->option_1 = qBound(0, symbol.errorLevel, 3) + 1;
    const QByteArray data = value.toUtf8();
    const auto *bytes = reinterpret_cast<const unsigned char *>(data.constData());
    const int result = vectors
                           ? ZBarcode_Encode_and_Buffer_Vector(s.get(), bytes, int(data.size()), 0)
                           : ZBarcode_Encode(s.get(), bytes, int(data.size()));
    if (result >= ZINT_ERROR) {
        *error = zintReason(result, s->errtxt);
        return {nullptr, ZBarcode_Delete};
    }
    return s;
}

// A font of `heightMm` millimetres in `family`.
QFont sizedFont(const Font &font, double heightMm)
{
    Font sized = font;
    sized.size = qMax(1.0, heightMm * 72 / 25.4);
    sized.bold = false;
    sized.italic = false;
    sized.underline = false;
    return qFont(sized);
}

void drawUnencodable(QPainter &painter, const QRectF &box, double perMm)
{
    painter.setPen(QPen(QColor(200, 0, 0), 0.3 * perMm));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);
    painter.drawLine(box.topLeft(), box.bottomRight());
    painter.drawLine(box.bottomLeft(), box.topRight());
}

} // namespace

QString symbologyName(Symbol::Symbology symbology)
{
    switch (symbology) {
    case Symbol::Code128:
        return QStringLiteral("Code 128");
    case Symbol::Code39:
        return QStringLiteral("Code 39");
    case Symbol::Ean13:
        return QStringLiteral("EAN-13");
    case Symbol::Ean8:
        return QStringLiteral("EAN-8");
    case Symbol::QrCode:
        return QStringLiteral("QR 码");
    case Symbol::DataMatrix:
        return QStringLiteral("Data Matrix");
    }
    return {};
}

QString barCodeProblem(const Symbol &symbol, const QString &value)
{
    if (value.isEmpty())
        return {};
    // A 2-D code holds well over this at any error level: such values are let through without
    // the cost of encoding them twice.
    const qsizetype surelyFits = symbol.symbology == Symbol::QrCode       ? 1000
                                 : symbol.symbology == Symbol::DataMatrix ? 1500
                                                                          : 0;
    if (value.size() * 3 <= surelyFits)
        return {};
    QString error;
    encode(symbol, value, false, &error);
    return error;
}

void drawBarCode(QPainter &painter, const Symbol &symbol, const QString &value, const Font &font,
                 const QColor &colour, const QRectF &box, double perMm)
{
    if (value.isEmpty() || box.width() <= 0 || box.height() <= 0)
        return;
    QString error;
    const ZintSymbol s = encode(symbol, value, true, &error);
    if (!s) {
        drawUnencodable(painter, box, perMm);
        return;
    }
    const zint_vector &v = *s->vector;
    if (v.width <= 0 || v.height <= 0 || !v.rectangles)
        return;
    const bool twoD = isTwoD(symbol.symbology);
    const double fixed = symbol.module > 0 ? symbol.module * perMm / kUnitsPerModule : 0;
    // 2-D: the symbol square, its text in a line below. 1-D: the bars fill the height the text
    // leaves them.
    const QFont textFont = qFont(font);
    const double textLine =
        twoD && symbol.showText ? QFontMetricsF(textFont, painter.device()).height() : 0;
    double k = fixed;
    if (k <= 0)
        k = twoD ? qMin(box.width() / v.width, (box.height() - textLine) / v.height)
                 : box.width() / v.width;
    if (k <= 0)
        return;
    double barsBottom = v.height;
    for (const zint_vector_rect *r = v.rectangles; r; r = r->next)
        barsBottom = qMin(barsBottom, double(r->y + r->height));
    const double textPart = (v.height - barsBottom) * k;
    const double yScale = twoD ? k : qMax(0.0, (box.height() - textPart) / barsBottom);
    const double width = v.width * k;
    const double height = twoD ? v.height * k + textLine : barsBottom * yScale + textPart;
    const QPointF origin(box.left() + qMax(0.0, (box.width() - width) / 2),
                         box.top() + (twoD ? qMax(0.0, (box.height() - height) / 2) : 0));
    const auto mapY = [&](double y) {
        return origin.y() +
               (y <= barsBottom ? y * yScale : barsBottom * yScale + (y - barsBottom) * k);
    };

    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QList<QRectF> bars;
    for (const zint_vector_rect *r = v.rectangles; r; r = r->next) {
        const double top = mapY(r->y);
        bars << QRectF(origin.x() + r->x * k, top, r->width * k, mapY(r->y + r->height) - top);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRects(bars.constData(), int(bars.size()));
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(colour);
    for (const zint_vector_string *t = v.strings; t; t = t->next) {
        const QFont f = sizedFont(font, t->fsize * k / perMm);
        painter.setFont(f);
        const QString text = QString::fromUtf8(reinterpret_cast<const char *>(t->text));
        const double advance = QFontMetricsF(f, painter.device()).horizontalAdvance(text);
        double x = origin.x() + t->x * k;
        x -= t->halign == 0 ? advance / 2 : t->halign == 2 ? advance : 0;
        painter.drawText(QPointF(x, mapY(t->y)), text);
    }
    if (textLine > 0) {
        painter.setFont(textFont);
        painter.drawText(QRectF(box.left(), origin.y() + v.height * k, box.width(), textLine),
                         Qt::AlignHCenter | Qt::AlignTop, value);
    }
    painter.restore();
}

} // namespace Report
