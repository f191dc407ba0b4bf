#pragma once

#include <QString>

// The program's folder: config.ini, data/, images/, Qr/ and the help files live here.
namespace AppHome {

// --home wins over QUORIN_HOME, which wins over `defaultHome` (AppPaths::defaultHome).
QString resolve(const QString &commandLineHome, const QString &defaultHome);

void set(const QString &dir);
QString dir();
QString path(const QString &relative);

// The workstation's cache (thumbnails, pictures fetched for viewing): `dir` as
// AppPaths::cacheFolder gives it; until set, cache/ in the home.
void setCache(const QString &dir);
QString cachePath(const QString &relative);

// The read-only folder an installed program ships its home's files in (share/quorin); empty
// for one run from its build folder, which carries them built in.
void setShared(const QString &dir);

// Puts the help and read-me files, the report templates (Qr/) and whatever else the program
// ships for the home into the folder where they are missing; the user's own copies stay
// untouched.
void installShippedFiles();

} // namespace AppHome
