#include "report/ReportOutputs.h"

#include <QMap>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>

namespace Report {

namespace {

constexpr int kPdfDpi = 600;

// The texts of a page in lines: elements whose tops lie within half a millimetre share a line.
QList<QStringList> lines(const Prepared &report, const Page &page)
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
    QList<QStringList> result;
    double top = -1e9;
    for (const Element *e : texts) {
        if (qAbs(e->rect.top() - top) > 0.5) {
            result.append(QStringList());
            top = e->rect.top();
        }
        result.last() << report.textOf(*e);
    }
    return result;
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = QStringLiteral("无法写入 %1：%2").arg(path, file.errorString());
        return false;
    }
    return true;
}

QString csvField(QString text)
{
    if (text.contains(u';') || text.contains(u'"') || text.contains(u'\n')) {
        text.replace(u'"', QStringLiteral("\"\""));
        return u'"' + text + u'"';
    }
    return text;
}

} // namespace

bool writePdf(const Prepared &report, const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("无法写入 %1：%2").arg(path, file.errorString());
        return false;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setResolution(kPdfDpi);
        pdf.setCreator(QStringLiteral("Quorin样品管理软件"));
        pdf.setPageSize(QPageSize(QSizeF(report.page.width, report.page.height),
                                  QPageSize::Millimeter));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (!painter.begin(&pdf)) {
            *error = QStringLiteral("无法生成 PDF 文件 %1").arg(path);
            return false;
        }
        for (int i = 0; i < report.pages.size(); ++i) {
            if (i > 0)
                pdf.newPage();
            drawPage(painter, report, i, kPdfDpi / 25.4);
        }
        painter.end();
    }
    if (!file.commit()) {
        *error = QStringLiteral("无法写入 %1：%2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool writeCsv(const Prepared &report, const QString &path, QString *error)
{
    QString text;
    for (const Page &page : report.pages) {
        for (const QStringList &line : lines(report, page)) {
            QStringList fields;
            for (const QString &field : line)
                fields << csvField(field);
            text += fields.join(u';') + QStringLiteral("\r\n");
        }
    }
    return writeFile(path, "\xEF\xBB\xBF" + text.toUtf8(), error);
}

bool writeText(const Prepared &report, const QString &path, QString *error)
{
    QStringList pages;
    for (const Page &page : report.pages) {
        QStringList text;
        for (const QStringList &line : lines(report, page))
            text << line.join(u'\t');
        pages << text.join(u'\n') + u'\n';
    }
    return writeFile(path, pages.join(u'\f').toUtf8(), error);
}

bool writeHtml(const Prepared &report, const QString &path, QString *error)
{
    QString html = QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                                  "<style>table{border-collapse:collapse;margin-bottom:2em}"
                                  "td{padding:2px 8px;border:1px solid #ccc}</style></head>"
                                  "<body>\n");
    for (const Page &page : report.pages) {
        html += QStringLiteral("<table>\n");
        for (const QStringList &line : lines(report, page)) {
            html += QStringLiteral("<tr>");
            for (const QString &cell : line)
                html += QStringLiteral("<td>") + cell.toHtmlEscaped() + QStringLiteral("</td>");
            html += QStringLiteral("</tr>\n");
        }
        html += QStringLiteral("</table>\n");
    }
    html += QStringLiteral("</body></html>\n");
    return writeFile(path, html.toUtf8(), error);
}

} // namespace Report
