#pragma once

#include <QString>

class TdmData;

// The work an administrator scripts without a window; each returns the program's exit status
// (0 done, 1 refused or failed with the reason on standard error, 2 arguments that make no
// sense).

// Opens the configured database for such work; the reason on standard error when it cannot.
bool openForTool(TdmData &dm);

// --import LIST FILE [--duplicates skip|update]: the counts on standard output.
int importWorkbook(const QString &list, const QString &file, const QString &duplicates);

// --restore FILE --code CODE: the restore window's checks and safety backup, without questions.
int restoreBackup(const QString &file, const QString &code);
