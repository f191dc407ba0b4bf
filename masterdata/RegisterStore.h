#pragma once

#include "core/ListQuery.h"
#include "core/RecordWriter.h"
#include "core/SqlFilter.h"

#include <QVariantMap>
#include <optional>

class TdmData;
struct RegisterDescription;

// What a register list is filtered by.
struct RegisterQuery
{
    int search = -1;      // index into the description's searches; -1: none
    QString text;         // typed, for a text search
    QString value;        // chosen, for a code-list search
    QString typeLikeCode; // empty: the root, every type
    bool includeDisabled = false;
};

namespace RegisterStore {

// "select * from <table> where (1=1) and …", without the order.
QString listSql(const RegisterDescription &register_, const SqlFilter &filter);
SqlFilter listFilter(const RegisterDescription &register_, const RegisterQuery &query,
                     const SqlDialect &dialect);
// Register lists are in the order of their codes.
inline const QString kListOrder = QStringLiteral("order by F_Code");
// The register as its window lists it at first (every type, disabled entries left out), for
// work without a window.
ListQuery wholeList(const RegisterDescription &register_, const SqlDialect &dialect);

// Whether an entry's name matches `text` as a criterion does (a name no entry has any more
// leaves a saved view's criterion naming nothing).
bool hasNameLike(TdmData &dm, const RegisterDescription &register_, const QString &text,
                 SqlFilter::Match match);

enum class SaveResult { Saved, EmptyCode, DuplicateCode, Stale, Failed };

// Inserts an entry (`id` 0) or updates entry `id` from `values` (column → value; the code is
// written only for a new entry, a column left out keeps what the entry holds). On Saved,
// `*savedId` is the entry's key. With `stale`, a change is first compared with `asRead` (the
// entry as the editor read it); Stale: the stored entry differs, as `stale` says.
SaveResult save(TdmData &dm, const RegisterDescription &register_, qint64 id,
                const QVariantMap &values, qint64 *savedId, QString *error,
                const QVariantMap &asRead = {}, StaleRecord *stale = nullptr);
// Deletes entry `id`, journaled.
bool remove(TdmData &dm, const RegisterDescription &register_, qint64 id, QString *error);

} // namespace RegisterStore
