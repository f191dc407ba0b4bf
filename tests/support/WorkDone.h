#pragma once

#include "core/Work.h"

// A job's end as the tests check it: true when done; else false with the reason in `error`.
inline bool done(const WorkResult &result, QString *error)
{
    *error = result.reason();
    return result.isDone();
}
