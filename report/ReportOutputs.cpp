#include "report/ReportOutputs.h"

#include "report/OutputFile.h"

#include <QMap>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <functional>

namespace Report {

namespace {

constexpr int kPdfDpi = 600;

// The text elements of a page in lines: elements whose tops lie within half a millimetre share a
// line, left to right.
QList<QList<const Element *>> lineElements(const Page &page)
{
    QList<const Element *> texts;
    for (const Element &e : page.elements) {
        if (e.kind == Element::Text)
            texts << &e;
    }
    std::stable_sort(texts.begin(), texts.end(), [](const Element *a, const Element *b) {
        if (qAbs(a->rect.top() - b->rect.top()) > 0.5)
            return a->rect.top() < b->rect.top();
        return a->rect.left() < b->rect.left();
    });
    QList<QList<const Element *>> result;
    double top = -1e9;
    for (const Element *e : texts) {
        if (qAbs(e->rect.top() - top) > 0.5) {
            result.append(QList<const Element *>());
            top = e->rect.top();
        }
        result.last() << e;
    }
    return result;
}

QList<QStringList> lines(const Prepared &report, const Page &page)
{
    QList<QStringList> result;
    for (const QList<const Element *> &line : lineElements(page)) {
        QStringList texts;
        for (const Element *e : line)
            texts << report.textOf(*e);
        result << texts;
    }
    return result;
}

// RTF keeps to 7-bit text: everything else as \uN? escapes.
QByteArray rtfText(const QString &text)
{
    QByteArray out;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == '\\' || u == '{' || u == '}')
            out += '\\' + QByteArray(1, char(u));
        else if (u == '\n')
            out += "\\line ";
        else if (u >= 0x20 && u < 0x80)
            out += char(u);
        else
            out += "\\u" + QByteArray::number(qint16(u)) + '?';
    }
    return out;
}

// True to go on with page `index`.
bool goOn(const WorkProgress &progress, qsizetype index, qsizetype pages)
{
    return !progress || progress(pages > 0 ? int(index * 100 / pages) : 0);
}

// `begin`, the bytes of each page, then `end`, written into a new file that replaces `path`
// only when complete: a long report is never held whole in memory.
WorkResult writePages(const Prepared &report, const QString &path, const WorkProgress &progress,
                      const QByteArray &begin,
                      const std::function<QByteArray(const Page &page, qsizetype index)> &pageBytes,
                      const QByteArray &end)
{
    OutputFile file(path);
    QString error;
    if (!file.open(&error))
        return WorkResult::failed(error);
    QIODevice *out = file.device();
    bool written = out->write(begin) == begin.size();
    for (qsizetype i = 0; written && i < report.pages.size(); ++i) {
        if (!goOn(progress, i, report.pages.size())) {
            return WorkResult::cancelled();
        }
        const QByteArray bytes = pageBytes(report.pages.at(i), i);
        written = out->write(bytes) == bytes.size();
    }
    if (!written || out->write(end) != end.size()) {
        return WorkResult::failed(QStringLiteral("无法写入 %1：%2").arg(path, out->errorString()));
    }
    if (!file.commit(&error))
        return WorkResult::failed(error);
    return WorkResult::done();
}

QString csvField(QString text)
{
    if (text.contains(u';') || text.contains(u'"') || text.contains(u'\n')) {
        text.replace(u'"', QStringLiteral("\"\""));
        return u'"' + text + u'"';
    }
    return text;
}

constexpr double kRtfScaleX = 1.3;
constexpr double kTwipsPerMm = 1440 / 25.4;

} // namespace

WorkResult writePdf(const Prepared &report, const QString &path, const WorkProgress &progress)
{
    OutputFile file(path);
    QString error;
    if (!file.open(&error))
        return WorkResult::failed(error);
    {
        QPdfWriter pdf(file.device());
        pdf.setResolution(kPdfDpi);
        pdf.setCreator(QStringLiteral("Quorin样品管理软件"));
        pdf.setPageSize(
            QPageSize(QSizeF(report.page.width, report.page.height), QPageSize::Millimeter));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (!painter.begin(&pdf)) {
            return WorkResult::failed(QStringLiteral("无法生成 PDF 文件 %1").arg(path));
        }
        for (int i = 0; i < report.pages.size(); ++i) {
            if (!goOn(progress, i, report.pages.size())) {
                painter.end();
                return WorkResult::cancelled();
            }
            if (i > 0)
                pdf.newPage();
            drawPage(painter, report, i, kPdfDpi / 25.4);
        }
        if (!painter.end()) {
            return WorkResult::failed(QStringLiteral("无法生成 PDF 文件 %1").arg(path));
        }
    }
    if (!file.commit(&error))
        return WorkResult::failed(error);
    return WorkResult::done();
}

WorkResult writeCsv(const Prepared &report, const QString &path, const WorkProgress &progress)
{
    return writePages(report, path, progress, "\xEF\xBB\xBF",
                      [&report](const Page &page, qsizetype) {
                          QString text;
                          for (const QStringList &line : lines(report, page)) {
                              QStringList fields;
                              for (const QString &field : line)
                                  fields << csvField(field);
                              text += fields.join(u';') + QStringLiteral("\r\n");
                          }
                          return text.toUtf8();
                      },
                      {});
}

WorkResult writeText(const Prepared &report, const QString &path, const WorkProgress &progress)
{
    return writePages(report, path, progress, {},
                      [&report](const Page &page, qsizetype index) {
                          QStringList text;
                          for (const QStringList &line : lines(report, page))
                              text << line.join(u'\t');
                          return ((index > 0 ? QStringLiteral("\f") : QString()) +
                                  text.join(u'\n') + u'\n')
                              .toUtf8();
                      },
                      {});
}

WorkResult writeHtml(const Prepared &report, const QString &path, const WorkProgress &progress)
{
    return writePages(
        report, path, progress,
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
        "<style>table{border-collapse:collapse;margin-bottom:2em}"
        "td{padding:2px 8px;border:1px solid #ccc}</style></head><body>\n",
        [&report](const Page &page, qsizetype) {
            QString html = QStringLiteral("<table>\n");
            for (const QStringList &line : lines(report, page)) {
                html += QStringLiteral("<tr>");
                for (const QString &cell : line)
                    html += QStringLiteral("<td>") + cell.toHtmlEscaped() + QStringLiteral("</td>");
                html += QStringLiteral("</tr>\n");
            }
            return (html + QStringLiteral("</table>\n")).toUtf8();
        },
        "</body></html>\n");
}

WorkResult writeRtf(const Prepared &report, const QString &path, const WorkProgress &progress)
{
    const double left = report.page.margins.left();
    return writePages(
        report, path, progress,
        "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 "
        "WenQuanYi Micro Hei;}}\\uc1\\fs18\n",
        [&report, left](const Page &page, qsizetype index) {
            QByteArray rtf = index > 0 ? "\\page\n" : "";
            for (const QList<const Element *> &line : lineElements(page)) {
                rtf += "\\pard";
                for (qsizetype i = 1; i < line.size(); ++i) {
                    const double x = (line.at(i)->rect.left() - left) * kRtfScaleX * kTwipsPerMm;
                    rtf += "\\tx" + QByteArray::number(qMax(0, qRound(x)));
                }
                rtf += ' ';
                for (qsizetype i = 0; i < line.size(); ++i) {
                    if (i > 0)
                        rtf += "\\tab ";
                    rtf += rtfText(report.textOf(*line.at(i)));
                }
                rtf += "\\par\n";
            }
            return rtf;
        },
        "}\n");
}

} // namespace Report
