#pragma once

#include <QByteArray>

// The records of an Excel 97-2003 "Workbook" stream, checked where FreeXL trusts them: every
// record within the stream and no longer than the format allows, and every string FreeXL copies
// out of a record (sheet names, number formats, cell texts, the shared strings across their
// continuations) within the bytes that hold it.
namespace BiffRecords {

bool sound(const QByteArray &stream);

// The bytes FreeXL will allocate for the cells the stream's sheets declare (their DIMENSIONS
// records) and the shared strings it announces, counted as `cellBytes` each.
qint64 declaredCellBytes(const QByteArray &stream, qint64 cellBytes);

} // namespace BiffRecords
