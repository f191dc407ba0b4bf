#pragma once

#include <QString>

// The program's folder: config.ini, data/, images/, Qr/ and the help files live here.
namespace AppHome {

// --home wins over QUORIN_HOME, which wins over the executable's folder.
QString resolve(const QString &commandLineHome, const QString &executableDir);

void set(const QString &dir);
QString dir();
QString path(const QString &relative);

// Puts the help and read-me files and the report templates (Qr/) shipped with the program into
// the folder where they are missing; the user's own copies stay untouched.
void installShippedFiles();

} // namespace AppHome
