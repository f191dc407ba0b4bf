#pragma once

#include "core/Work.h"

#include <QString>

class QSqlDatabase;

namespace Pinyin {

// Gives every row of the tables with keyed name columns the keys of its names, inside the
// caller's transaction; each distinct name is keyed once. `progress` hears the share of rows
// done and may stop the work (false, `error` left empty).
bool fillKeys(QSqlDatabase &db, const WorkProgress &progress, QString *error);

} // namespace Pinyin
