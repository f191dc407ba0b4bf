#pragma once

#include <QString>
#include <functional>

class QWidget;

// How long work ended: a cancel is not a failure, so the window says nothing of it (or that
// nothing was stored) instead of the failure message.
enum class WorkOutcome { Done, Cancelled, Failed };

// Runs long work off the window's thread while a progress box with 取消 keeps the window
// alive. The work is told the share done and whether to stop through `report`, which may be
// called from its thread; it returns whether it succeeded. Work that returns false after 取消
// was pressed was cancelled.
using ProgressReport = std::function<bool(int percent)>;
WorkOutcome runWithProgress(QWidget *parent, const QString &label,
                            const std::function<bool(const ProgressReport &report)> &work);
