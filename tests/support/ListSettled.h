#pragma once

#include "core/SqlListModel.h"

// The list shows what its latest statement selects, counted: on a server its first page is
// read off the window's thread, so a test waits for this (QTRY_VERIFY) after each change.
inline bool listSettled(const SqlListModel *model)
{
    return !model->isPending() && model->isCountKnown();
}
