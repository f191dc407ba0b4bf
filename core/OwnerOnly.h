#pragma once

#include <QString>

// Files holding data or secrets (configuration, databases, exports) are readable by their
// owner only, and folders the program makes for them are the owner's alone.
namespace OwnerOnly {

// Makes `folder` with its missing parents; each folder made is 0700, existing ones are left.
bool makeFolder(const QString &folder);

// Sets an existing file to 0600.
bool restrict(const QString &file);

// Creates `file` empty with 0600 unless it exists, so that a writer that keeps a file's mode
// (QSaveFile, QSettings) never makes it readable by others.
bool prepare(const QString &file);

} // namespace OwnerOnly
