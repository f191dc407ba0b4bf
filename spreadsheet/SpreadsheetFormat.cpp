#include "spreadsheet/SpreadsheetFormat.h"

#include "core/DisplayFormat.h"

namespace SpreadsheetFormat {

namespace {

// Characters a number format shows as they are; anything else is quoted.
bool showsAsIs(QChar c)
{
    return QStringLiteral("-/:. ()").contains(c);
}

void appendLiteral(QString *format, const QString &text)
{
    QString run;
    const auto flush = [&] {
        if (!run.isEmpty())
            *format += u'"' + run + u'"';
        run.clear();
    };
    for (const QChar c : text) {
        if (c == u'"') {
            flush();
            *format += QStringLiteral("\\\"");
        } else if (showsAsIs(c)) {
            flush();
            *format += c;
        } else {
            run += c;
        }
    }
    flush();
}

// Qt's date letters (d, M, y) become the spreadsheet's (d, m, y); text in single quotes and
// every other letter is shown as typed.
QString dateFormat(const QString &display)
{
    QString format;
    QString literal;
    for (qsizetype i = 0; i < display.size(); ++i) {
        const QChar c = display[i];
        if (c == u'\'') {
            const qsizetype end = display.indexOf(u'\'', i + 1);
            const qsizetype stop = end < 0 ? display.size() : end;
            literal += end == i + 1 ? QStringLiteral("'") : display.mid(i + 1, stop - i - 1);
            i = stop;
            continue;
        }
        if (c != u'd' && c != u'M' && c != u'y') {
            literal += c;
            continue;
        }
        appendLiteral(&format, literal);
        literal.clear();
        qsizetype run = 1;
        while (i + run < display.size() && display[i + run] == c)
            ++run;
        format += QString(run, c == u'M' ? QChar(u'm') : c);
        i += run - 1;
    }
    appendLiteral(&format, literal);
    return format;
}

// As the grid formats numbers: the first section only, its prefix, grouping when it holds a
// comma, fixed ("0") and optional ("#") decimals, at least one integer digit.
QString numberFormatOf(const QString &display)
{
    const QString positive = display.section(u';', 0, 0);
    QString prefix;
    for (const QChar c : positive) {
        if (c == u'0' || c == u'#' || c == u',' || c == u'.')
            break;
        prefix += c;
    }
    int fixed = 0;
    int optional = 0;
    const qsizetype point = positive.indexOf(u'.');
    if (point >= 0) {
        for (qsizetype i = point + 1; i < positive.size(); ++i) {
            if (positive[i] == u'0')
                ++fixed;
            else if (positive[i] == u'#')
                ++optional;
        }
    }
    // With optional decimals only, the spreadsheet would end whole numbers with a point ("5."),
    // where the grid shows "5".
    if (fixed == 0 && optional > 0)
        return QStringLiteral("General");
    QString format;
    appendLiteral(&format, prefix);
    format += positive.contains(u',') ? QStringLiteral("#,##0") : QStringLiteral("0");
    if (fixed + optional > 0)
        format += u'.' + QString(fixed, u'0') + QString(optional, u'#');
    return format;
}

} // namespace

Kind kindOf(const QString &displayFormat)
{
    const QString format = displayFormat.trimmed();
    if (format.isEmpty())
        return Kind::Text;
    return DisplayFormat::isDateFormat(format) ? Kind::Date : Kind::Number;
}

QString numberFormat(const QString &displayFormat)
{
    const QString format = displayFormat.trimmed();
    switch (kindOf(format)) {
    case Kind::Text:
        return QStringLiteral("@");
    case Kind::Date:
        return dateFormat(format);
    case Kind::Number:
        break;
    }
    return numberFormatOf(format);
}

} // namespace SpreadsheetFormat
