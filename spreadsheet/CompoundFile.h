#pragma once

#include <QByteArray>
#include <QString>

// The compound file (OLE2) that holds an Excel 97-2003 workbook, checked before FreeXL reads
// it: FreeXL trusts the file's header, sector chains and directory, and a damaged one can crash
// it. A file passes when its header is sound, every chain it names stays within the file without
// a loop, its directory entries are well-formed and its "Workbook" stream is whole.
namespace CompoundFile {

// The "Workbook" (or older "Book") stream of `file`; false, with the reason in `error`, when the
// file is damaged.
bool workbookStream(const QByteArray &file, QByteArray *stream, QString *error);

} // namespace CompoundFile
