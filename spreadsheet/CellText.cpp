#include "spreadsheet/CellText.h"

#include <QDate>
#include <QLocale>
#include <cmath>

namespace CellText {

QString number(double value)
{
    if (!std::isfinite(value))
        return {};
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    QString text = QLocale::c().toString(value, 'g', 15);
    if (!text.contains(u'e'))
        return text;
    // Spreadsheets show the plain digits in a general cell up to about 11 characters; what a
    // register column holds is better without an exponent at all.
    text = QLocale::c().toString(value, 'f', 15);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

QString serialDate(double serial)
{
    if (!std::isfinite(serial) || serial < 0 || serial > 2958466)
        return number(serial);
    const double days = std::floor(serial);
    const int seconds = int(std::lround((serial - days) * 86400.0));
    // Day 60 is the 29 February 1900 that the 1900 date system counts and the calendar lacks.
    const QDate date = days < 61 ? QDate(1899, 12, 31).addDays(qint64(days))
                                 : QDate(1899, 12, 30).addDays(qint64(days));
    const QString time = QTime(0, 0).addSecs(std::min(seconds, 86399)).toString(u"hh:mm:ss");
    if (days < 1)
        return time;
    const QString day = date.toString(u"yyyy-MM-dd");
    return seconds == 0 ? day : day + u' ' + time;
}

bool isDateFormat(QStringView code)
{
    bool quoted = false;
    bool bracket = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (quoted) {
            quoted = c != u'"';
            continue;
        }
        if (bracket) {
            bracket = c != u']';
            continue;
        }
        switch (c.unicode()) {
        case u'"':
            quoted = true;
            break;
        case u'[':
            bracket = true;
            break;
        case u'\\':
        case u'_':
        case u'*':
            ++i; // the next character is shown as it is
            break;
        case u';':
            return false; // the first section decides
        case u'y':
        case u'Y':
        case u'm':
        case u'M':
        case u'd':
        case u'D':
        case u'h':
        case u'H':
        case u's':
        case u'S':
        case u'年':
        case u'月':
        case u'日':
            return true;
        default:
            break;
        }
    }
    return false;
}

bool isBuiltInDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

} // namespace CellText
