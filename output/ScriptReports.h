#pragma once

#include "report/ReportRun.h"

#include <optional>

class TdmData;

// A template over its default data, for reports a script prepares without a window: the main
// list's reports over the whole register, the register and statistics lists over their whole
// table.
namespace ScriptReports {

// Nothing, with the reason in `error`, for a template that needs a window's data (the
// analysis) or that the program does not ship.
std::optional<Report::Job> job(TdmData &dm, const QString &templateName, QString *error);

} // namespace ScriptReports
