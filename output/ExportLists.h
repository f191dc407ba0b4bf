#pragma once

#include "spreadsheet/ListExport.h"

#include <QString>
#include <optional>

class TdmData;

// The lists a script can export without a window, each in its window's columns (the stored
// layout, hidden columns too) and order: samples (the whole register, as the main list),
// clients, suppliers, catalogue (as their registers list them at first: every type, disabled
// entries left out).
namespace ExportLists {

// Nothing, with the reason in `error`, for a name that is not one of those.
std::optional<ListExport::Job> job(TdmData &dm, const QString &name, QString *error);

} // namespace ExportLists
