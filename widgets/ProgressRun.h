#pragma once

#include <QString>
#include <functional>

class QWidget;

// Runs long work off the window's thread while a progress box with 取消 keeps the window
// alive. The work is told the share done and whether to stop through `report`, which may be
// called from its thread; it returns whether it succeeded.
using ProgressReport = std::function<bool(int percent)>;
bool runWithProgress(QWidget *parent, const QString &label,
                     const std::function<bool(const ProgressReport &report)> &work);
