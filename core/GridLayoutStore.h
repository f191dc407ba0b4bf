#pragma once

#include "core/GridColumn.h"

#include <QList>
#include <QString>

class TdmData;

// Grid layouts kept in cfg_Grid, one row per column under a key per window.
namespace GridLayoutStore {

// The stored columns of `key` in their order; empty without stored rows. An alignment code
// out of range keeps the alignment of the `builtIn` column of the same field.
QList<GridColumn> load(TdmData &dm, const QString &key, const QList<GridColumn> &builtIn);
// Updates the stored rows of `key` from `columns` (order, widths, visibility…); columns
// without a stored row are not stored.
void save(TdmData &dm, const QString &key, const QList<GridColumn> &columns);

} // namespace GridLayoutStore
