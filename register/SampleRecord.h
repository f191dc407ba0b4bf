#pragma once

#include "core/RecordWriter.h"

#include <QStringList>
#include <QVariantMap>
#include <optional>

class TdmData;

// Writing and deleting sample records. A record's group number F_cltID is its own F_ID: the
// pictures and the delete command find a record's rows by it.
namespace SampleRecord {

// The columns the editor writes, besides F_cltID.
const QStringList &columns();

// Inserts a record (`id` 0) or updates record `id` with `values` (column → value, of
// columns(); one left out keeps what the record holds, or its default in a new record), in one
// transaction. Returns the record's key, or nothing after rolling back with the database's
// reason in `error`. With `stale`, a change is first compared with `asRead` (the record as
// the editor read it): when the stored record differs, nothing is written and `stale` says how.
std::optional<qint64> save(TdmData &dm, qint64 id, const QVariantMap &values, QString *error,
                           const QVariantMap &asRead = {}, StaleRecord *stale = nullptr);

// Deletes the group `cltId` (or record `id` alone when the group number is 0) with the picture
// rows of every record deleted, in one transaction.
bool removeGroup(TdmData &dm, qint64 id, qint64 cltId, QString *error);

// Sets `column` (one of columns()) of the samples `ids` to `value` as one change set of kind
// 批量修改, in one transaction; the change set's key (0 when nothing differed).
std::optional<qint64> bulkEdit(TdmData &dm, const QList<qint64> &ids, const QString &column,
                               const QVariant &value, QString *error);

} // namespace SampleRecord
