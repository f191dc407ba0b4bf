#pragma once

#include <QString>

// The program's folder: config.ini, data/, images/, Qr/ and the help files live here.
namespace AppHome {

// --home wins over QUORIN_HOME, which wins over the executable's folder.
QString resolve(const QString &commandLineHome, const QString &executableDir);

void set(const QString &dir);
QString dir();
QString path(const QString &relative);

} // namespace AppHome
