#include "operators/CompanyLinks.h"

namespace CompanyLinks {

QUrl homePage(const QString &text)
{
    const QString page = text.trimmed();
    if (page.isEmpty())
        return {};
    if (page.contains(u"http:", Qt::CaseInsensitive) ||
        page.contains(u"https:", Qt::CaseInsensitive))
        return QUrl(page);
    return QUrl(QStringLiteral("http://") + page);
}

bool isMailAddress(const QString &address)
{
    for (const QChar c : address) {
        const bool allowed = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                             (c >= u'0' && c <= u'9') || c == u'@' || c == u'-' || c == u'.' ||
                             c == u'_';
        if (!allowed)
            return false;
    }
    const qsizetype at = address.indexOf(u'@');
    if (at <= 0 || address.contains(QStringLiteral("..")))
        return false;
    const QString domain = address.mid(at + 1);
    if (domain.size() <= 3)
        return false;
    // Counting from 1, the first dot comes before the domain's length minus 2.
    const qsizetype dot = domain.indexOf(u'.');
    return dot >= 0 && dot + 1 < domain.size() - 2;
}

QUrl mailTo(const QString &address)
{
    return QUrl(QStringLiteral("mailto:") + address + QStringLiteral("?subject"));
}

} // namespace CompanyLinks
