#include "report/PreparedReport.h"

#include "core/RegularFile.h"
#include "report/BarCode.h"
#include "report/OutputFile.h"
#include "report/ReportText.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImageReader>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <numeric>

namespace Report {

namespace {

QRectF onDevice(const QRectF &mm, double perMm)
{
    return {mm.x() * perMm, mm.y() * perMm, mm.width() * perMm, mm.height() * perMm};
}

QPen pen(const Style &style, double perMm)
{
    QPen p(style.color);
    p.setWidthF(qMax(0.0, style.frameWidth) * perMm);
    return p;
}

void drawFrame(QPainter &painter, const Style &style, const QRectF &r, double perMm)
{
    if (style.frame.isEmpty() || style.frameWidth <= 0)
        return;
    const QPen framePen = pen(style, perMm);
    if (painter.pen() != framePen)
        painter.setPen(framePen);
    const QString sides = style.frame.toUpper();
    if (sides.size() == 4 && sides.contains(u'L') && sides.contains(u'T') && sides.contains(u'R') &&
        sides.contains(u'B')) {
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r);
        return;
    }
    if (sides.contains(u'L'))
        painter.drawLine(r.topLeft(), r.bottomLeft());
    if (sides.contains(u'T'))
        painter.drawLine(r.topLeft(), r.topRight());
    if (sides.contains(u'R'))
        painter.drawLine(r.topRight(), r.bottomRight());
    if (sides.contains(u'B'))
        painter.drawLine(r.bottomLeft(), r.bottomRight());
}

// Sets a smaller font when `text` is a number wider than `box`; true when it did.
bool shrinkNumberToFit(QPainter &painter, const Font &font, const QString &text, const QRectF &box,
                       double perMm)
{
    // No digit is wider than this share of the font's size: most texts are let through without
    // being measured.
    constexpr double kWidestDigit = 0.65;
    const double em = font.size * 25.4 / 72 * perMm;
    if (text.size() * kWidestDigit * em <= box.width())
        return false;
    bool number = false;
    QLocale::c().toDouble(QString(text).remove(u','), &number);
    if (!number)
        return false;
    const double width = QFontMetricsF(painter.font(), painter.device()).horizontalAdvance(text);
    if (width <= box.width())
        return false;
    QFont smaller = painter.font();
    smaller.setPointSizeF(smaller.pointSizeF() * box.width() / width);
    painter.setFont(smaller);
    return true;
}

void drawPie(QPainter &painter, const Chart &slices, const QColor &textColour, const QRectF &r,
             double perMm)
{
    const double total =
        std::accumulate(slices.cbegin(), slices.cend(), 0.0, [](double sum, const auto &slice) {
            return sum + qMax(0.0, slice.second);
        });
    if (total <= 0)
        return;
    // The pie on the left half, its legend with the shares on the right.
    const double side = qMin(r.width() / 2, r.height());
    const QRectF pie(r.left(), r.top() + (r.height() - side) / 2, side, side);
    QFont legendFont = qFont(Font{});
    legendFont.setPointSizeF(8);
    painter.setFont(legendFont);
    const double line = 5 * perMm;
    double angle = 90 * 16;
    for (qsizetype i = 0; i < slices.size(); ++i) {
        const double value = qMax(0.0, slices.at(i).second);
        const int span = -qRound(value / total * 360 * 16);
        const QColor colour = QColor::fromHsv(int(i * 360 / slices.size()), 150, 225);
        painter.setPen(QPen(Qt::white, 0.2 * perMm));
        painter.setBrush(colour);
        painter.drawPie(pie, int(angle), span);
        angle += span;
        const QRectF key(r.left() + side + 4 * perMm, r.top() + i * line, 3 * perMm, 3 * perMm);
        if (key.bottom() > r.bottom())
            continue;
        painter.drawRect(key);
        painter.setPen(textColour);
        painter.drawText(
            QRectF(key.right() + 2 * perMm, key.top() - perMm, r.right() - key.right() - 2 * perMm,
                   line),
            Qt::AlignLeft | Qt::AlignVCenter,
            QStringLiteral("%1 %2%").arg(slices.at(i).first).arg(value * 100 / total, 0, 'f', 1));
    }
    painter.setBrush(Qt::NoBrush);
}

} // namespace

namespace {

const QByteArray kPreparedMagic("QRPREP");
// Version 2 added bar codes to the styles; version 1 files are still read.
constexpr qint32 kPreparedVersion = 2;

QDataStream &operator<<(QDataStream &out, const Font &f)
{
    return out << f.family << f.size << f.bold << f.italic << f.underline;
}

QDataStream &operator>>(QDataStream &in, Font &f)
{
    return in >> f.family >> f.size >> f.bold >> f.italic >> f.underline;
}

QDataStream &operator<<(QDataStream &out, const Style &st)
{
    return out << st.font << qint32(st.align) << qint32(st.valign) << st.wrap << st.frame
               << st.frameWidth << st.color << st.background;
}

QDataStream &operator<<(QDataStream &out, const Symbol &sy)
{
    return out << qint32(sy.symbology) << sy.showText << sy.quietZone << sy.module
               << qint32(sy.errorLevel);
}

QDataStream &operator>>(QDataStream &in, Symbol &sy)
{
    qint32 symbology = 0;
    qint32 level = 0;
    in >> symbology >> sy.showText >> sy.quietZone >> sy.module >> level;
    if (symbology < Symbol::Code128 || symbology > Symbol::DataMatrix || level < 0 || level > 3 ||
        !(sy.module >= 0 && sy.module <= 10))
        in.setStatus(QDataStream::ReadCorruptData);
    sy.symbology = Symbol::Symbology(symbology);
    sy.errorLevel = level;
    return in;
}

QDataStream &operator>>(QDataStream &in, Style &st)
{
    qint32 align = 0;
    qint32 valign = 0;
    in >> st.font >> align >> valign >> st.wrap >> st.frame >> st.frameWidth >> st.color >>
        st.background;
    st.align = align;
    st.valign = valign;
    return in;
}

// A count read from a file is believed only as far as the bytes left can hold that many
// items: a damaged count must not make the reader reserve the machine's memory.
qint32 plausibleCount(QDataStream &in)
{
    qint32 count = 0;
    in >> count;
    if (count >= 0 && count <= in.device()->bytesAvailable() / 8)
        return count;
    in.setStatus(QDataStream::ReadCorruptData);
    return 0;
}

template <typename T> void writeList(QDataStream &out, const QList<T> &list)
{
    out << qint32(list.size());
    for (const T &item : list)
        out << item;
}

template <typename T> QList<T> readList(QDataStream &in)
{
    QList<T> list;
    const qint32 count = plausibleCount(in);
    for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        T item;
        in >> item;
        list << item;
    }
    return list;
}

QList<Style> readStyles(QDataStream &in, qint32 version)
{
    QList<Style> styles;
    const qint32 count = plausibleCount(in);
    for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        Style style;
        in >> style;
        if (version >= 2)
            in >> style.symbol;
        styles << style;
    }
    return styles;
}

} // namespace

WorkResult savePrepared(const Prepared &report, const QString &path, const WorkProgress &progress)
{
    OutputFile file(path);
    QString error;
    if (!file.open(&error))
        return WorkResult::failed(error);
    QDataStream out(file.device());
    out.setVersion(QDataStream::Qt_6_4);
    out.writeRawData(kPreparedMagic.constData(), int(kPreparedMagic.size()));
    out << kPreparedVersion << report.page.width << report.page.height << report.page.landscape;
    out << qint32(report.styles.size());
    for (const Style &style : report.styles)
        out << style << style.symbol;
    out << qint32(report.charts.size());
    for (const Chart &chart : report.charts)
        writeList(out, chart);
    out << qint32(report.pages.size());
    for (qsizetype i = 0; i < report.pages.size(); ++i) {
        if (progress && !progress(int(i * 100 / report.pages.size()))) {
            return WorkResult::cancelled();
        }
        writeList(out, report.pages.at(i).elements);
    }
    if (out.status() != QDataStream::Ok) {
        return WorkResult::failed(
            QStringLiteral("无法写入 %1：%2").arg(path, file.device()->errorString()));
    }
    if (!file.commit(&error))
        return WorkResult::failed(error);
    return WorkResult::done();
}

WorkResult loadPrepared(const QString &path, Prepared *report, const WorkProgress &progress)
{
    QFile file;
    QString why;
    if (!openRegularFile(file, path, &why)) {
        return WorkResult::failed(QStringLiteral("无法打开 %1：%2").arg(path, why));
    }
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_6_4);
    QByteArray magic(kPreparedMagic.size(), '\0');
    qint32 version = 0;
    Prepared loaded;
    if (in.readRawData(magic.data(), int(magic.size())) != magic.size() ||
        magic != kPreparedMagic) {
        return WorkResult::failed(QStringLiteral("%1 不是本程序保存的报表").arg(path));
    }
    in >> version;
    if (version < 1 || version > kPreparedVersion) {
        return WorkResult::failed(QStringLiteral("%1 是另一版本的程序保存的报表").arg(path));
    }
    in >> loaded.page.width >> loaded.page.height >> loaded.page.landscape;
    // Its margins are in its pages; only the paper is checked.
    PageSetup paperOnly = loaded.page;
    paperOnly.margins = QMarginsF();
    const QString paper = pageProblem(paperOnly);
    if (in.status() == QDataStream::Ok && !paper.isEmpty()) {
        return WorkResult::failed(QStringLiteral("报表文件 %1 无法打开：%2").arg(path, paper));
    }
    loaded.styles = readStyles(in, version);
    const qint32 charts = plausibleCount(in);
    for (qint32 i = 0; i < charts && in.status() == QDataStream::Ok; ++i)
        loaded.charts << readList<QPair<QString, double>>(in);
    const qint32 pages = plausibleCount(in);
    for (qint32 i = 0; i < pages && in.status() == QDataStream::Ok; ++i) {
        if (progress && !progress(int(qint64(i) * 100 / pages))) {
            return WorkResult::cancelled();
        }
        Page page{readList<Element>(in)};
        // Every element's style and chart must be there.
        for (const Element &e : std::as_const(page.elements)) {
            if (e.style < 0 || e.style >= loaded.styles.size() || e.chart >= loaded.charts.size())
                in.setStatus(QDataStream::ReadCorruptData);
        }
        loaded.pages.append(std::move(page));
    }
    if (in.status() != QDataStream::Ok) {
        return WorkResult::failed(QStringLiteral("报表文件 %1 已损坏").arg(path));
    }
    *report = std::move(loaded);
    return WorkResult::done();
}

WorkResult findText(const Prepared &report, const QString &text, int from, int *found,
                    const WorkProgress &progress)
{
    *found = -1;
    const qsizetype pages = report.pages.size();
    for (qsizetype i = 0; i < pages; ++i) {
        if (progress && !progress(int(i * 100 / pages)))
            return WorkResult::cancelled();
        const qsizetype index = (qMax(0, from) + i) % pages;
        const Page page = report.pages.at(index);
        for (const Element &e : page.elements) {
            if (e.kind == Element::Text && report.textOf(e).contains(text, Qt::CaseInsensitive)) {
                *found = int(index);
                return WorkResult::done();
            }
        }
    }
    return WorkResult::done();
}

QString problemSummary(const QStringList &problems)
{
    if (problems.isEmpty())
        return {};
    constexpr qsizetype kShown = 10;
    QString text = QStringLiteral("%1 个条码无法编码，打印为打叉的空框：\n").arg(problems.size()) +
                   problems.first(qMin(kShown, problems.size())).join(u'\n');
    if (problems.size() > kShown)
        text += QStringLiteral("\n……（另有 %1 个）").arg(problems.size() - kShown);
    return text;
}

Style styleOf(const Item &item)
{
    return Style{item.font,       item.align, item.valign,     item.wrap,  item.frame,
                 item.frameWidth, item.color, item.background, item.symbol};
}

QString Prepared::textOf(const Element &element) const
{
    QString text = element.text;
    return text.replace(QStringLiteral("[PageCount]"),
                        complete ? QString::number(pages.size()) : QStringLiteral("…"),
                        Qt::CaseInsensitive);
}

void drawPage(QPainter &painter, const Prepared &report, int index, double perMm)
{
    if (index < 0 || index >= report.pages.size())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const Page page = report.pages.at(index);
    Font lastFont;
    lastFont.size = -1;
    for (const Element &e : page.elements) {
        const Style &style = report.styleOf(e);
        const QRectF r = onDevice(e.rect, perMm);
        if (style.background.isValid() && e.kind != Element::Line)
            painter.fillRect(r, style.background);
        switch (e.kind) {
        case Element::Text:
            // Most texts of a page share a few fonts: set one only when it changes.
            if (!(style.font == lastFont)) {
                painter.setFont(qFont(style.font));
                lastFont = style.font;
            }
            painter.setPen(style.color);
            // Drawn into its box, the text is cut at the box's edges; a number too wide for it
            // is drawn smaller instead, as a cut number reads as another.
            {
                const QRectF box = r.adjusted(0.5 * perMm, 0, -0.5 * perMm, 0);
                const QString text = report.textOf(e);
                if (shrinkNumberToFit(painter, style.font, text, box, perMm))
                    lastFont.size = -1;
                painter.drawText(box, textFlags(style.align, style.valign, style.wrap), text);
            }
            break;
        case Element::Line:
            painter.setPen(pen(style, perMm));
            painter.drawLine(r.topLeft(), r.bottomRight());
            break;
        case Element::Rect:
            painter.setPen(pen(style, perMm));
            painter.drawRect(r);
            break;
        case Element::Ellipse:
            painter.setPen(pen(style, perMm));
            painter.drawEllipse(r);
            break;
        case Element::Picture: {
            QFile file;
            if (!openRegularFile(file, e.text))
                break;
            QImageReader reader(&file, QFileInfo(e.text).suffix().toLatin1());
            reader.setAutoTransform(true);
            const QSize size = reader.size();
            if (size.isValid() && !size.isEmpty()) {
                // Read no finer than the box needs.
                const QSize fit = size.scaled(r.size().toSize(), Qt::KeepAspectRatio);
                if (fit.width() < size.width())
                    reader.setScaledSize(fit);
                const QImage image = reader.read();
                if (!image.isNull()) {
                    QRectF target(QPointF(),
                                  QSizeF(image.size()).scaled(r.size(), Qt::KeepAspectRatio));
                    target.moveCenter(r.center());
                    painter.drawImage(target, image);
                }
            }
            break;
        }
        case Element::CheckBox: {
            const double side = qMin(r.width(), r.height());
            QRectF box(0, 0, side, side);
            box.moveCenter(r.center());
            painter.setPen(pen(style, perMm));
            painter.drawRect(box);
            if (e.checked) {
                QPainterPath tick;
                tick.moveTo(box.left() + side * 0.2, box.top() + side * 0.55);
                tick.lineTo(box.left() + side * 0.42, box.top() + side * 0.78);
                tick.lineTo(box.left() + side * 0.82, box.top() + side * 0.25);
                painter.drawPath(tick);
            }
            break;
        }
        case Element::PieChart:
            if (e.chart >= 0 && e.chart < report.charts.size())
                drawPie(painter, report.charts.at(e.chart), style.color, r, perMm);
            break;
        case Element::BarCode:
            drawBarCode(painter, style.symbol, e.text, style.font, style.color, r, perMm);
            lastFont.size = -1;
            break;
        }
    }
    // Frames last, all with one pen mostly: switching between the text's pen and the frame's
    // for every cell makes a PDF slow to write.
    for (const Element &e : page.elements) {
        if (e.kind == Element::Text || e.kind == Element::Picture)
            drawFrame(painter, report.styleOf(e), onDevice(e.rect, perMm), perMm);
    }
    painter.restore();
}

} // namespace Report
