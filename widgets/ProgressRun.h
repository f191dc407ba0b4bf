#pragma once

#include "core/Work.h"

#include <QString>
#include <functional>

class QWidget;

// Runs long work off the window's thread while a progress box with 取消 keeps the window
// alive, and hands back how it ended. The work is told the share done through its progress,
// which may be called from its thread and answers false once 取消 was pressed.
WorkResult runWithProgress(QWidget *parent, const QString &label,
                           const std::function<WorkResult(const WorkProgress &progress)> &work);
