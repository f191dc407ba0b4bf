#pragma once

#include "core/Work.h"

#include <QSqlDatabase>
#include <QString>

// The pictures a backup carries: every picture a row of T_ImageREC names, once per content,
// in the backup's T_Picture under its SHA-256, which the rows name in F_hash.
namespace BackupPictures {

// Into the backup `file` (a copy of a register file): the files in `imagesFolder` its rows
// name, each read, hashed and stored once; a file that is missing or unreadable leaves its
// rows without a hash (and is logged). Progress is told in bytes read of the bytes to read.
bool addFiles(QSqlDatabase &file, const QString &imagesFolder, QString *error,
              const WorkProgress &progress = {});

// Whether every stored picture of the backup `file` is what its hash says.
bool check(QSqlDatabase &file, QString *error, const WorkProgress &progress = {});

// Out of `file` (a restored register about to replace a register file): the pictures its rows
// name, written into `stagingFolder` as images/ names them; the rows then name no hash and
// T_Picture is emptied, as a register file keeps none.
bool extractFiles(QSqlDatabase &file, const QString &stagingFolder, QString *error);

// Moves every file of `stagingFolder` into `imagesFolder`, replacing files of the same name,
// and removes the staging folder.
bool placeFiles(const QString &stagingFolder, const QString &imagesFolder, QString *error);

} // namespace BackupPictures
