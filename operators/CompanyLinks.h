#pragma once

#include <QString>
#include <QUrl>

// What the company window's home page and e-mail boxes open.
namespace CompanyLinks {

// A bare host name opens as a web address; a text that holds "http:" or "https:" opens as
// it is. Empty for an empty text.
QUrl homePage(const QString &text);

// Letters A–Z and a–z, digits, "@", "-", "." and "_" only; a name before the first "@", and
// after it a domain longer than three characters whose first "." has at least three
// characters after it; no "..".
bool isMailAddress(const QString &address);
// "mailto:<address>?subject".
QUrl mailTo(const QString &address);

} // namespace CompanyLinks
