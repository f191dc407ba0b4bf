#include "core/DisplayFormat.h"

#include <QLocale>

namespace DisplayFormat {

bool isDateFormat(const QString &format)
{
    return format.contains(u"yy");
}

namespace {

QDate toDate(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDate)
        return value.toDate();
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date();
    return QDate::fromString(value.toString().left(10), Qt::ISODate);
}

QString formatNumber(double number, const QString &format)
{
    // Only the first section of "positive;negative" formats matters: the sign comes from the
    // number.
    const QString positive = format.section(u';', 0, 0);
    const bool grouping = positive.contains(u',');
    const qsizetype point = positive.indexOf(u'.');
    int fixedDecimals = 0;
    int optionalDecimals = 0;
    if (point >= 0) {
        for (qsizetype i = point + 1; i < positive.size(); ++i) {
            if (positive[i] == u'0')
                ++fixedDecimals;
            else if (positive[i] == u'#')
                ++optionalDecimals;
        }
    }
    QString prefix;
    for (const QChar c : positive) {
        if (c == u'0' || c == u'#' || c == u',' || c == u'.')
            break;
        prefix += c;
    }
    // The C locale leaves out thousands separators unless told otherwise.
    QLocale locale = QLocale::c();
    locale.setNumberOptions(grouping ? QLocale::DefaultNumberOptions : QLocale::OmitGroupSeparator);
    QString text = locale.toString(number, 'f', fixedDecimals + optionalDecimals);
    if (optionalDecimals > 0) {
        int keep = optionalDecimals;
        while (keep > 0 && text.endsWith(u'0')) {
            text.chop(1);
            --keep;
        }
        if (fixedDecimals == 0 && text.endsWith(u'.'))
            text.chop(1);
    }
    if (text.startsWith(u'-'))
        return u'-' + prefix + text.mid(1);
    return prefix + text;
}

} // namespace

QString format(const QVariant &value, const QString &format)
{
    if (value.isNull())
        return {};
    if (isDateFormat(format)) {
        const QDate date = toDate(value);
        if (!date.isValid() || date < kNoDateBefore)
            return {};
        return date.toString(format);
    }
    if (!format.isEmpty()) {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (ok)
            return formatNumber(number, format);
    }
    if (value.typeId() == QMetaType::Double)
        return QLocale::c().toString(value.toDouble(), 'g', 15);
    return value.toString();
}

} // namespace DisplayFormat
