#include "core/Work.h"

bool WorkTracker::report(int percent)
{
    if (!m_stopped && m_progress && !m_progress(percent))
        m_stopped = true;
    return !m_stopped;
}

WorkProgress WorkTracker::part(int from, int to)
{
    return [this, from, to](int percent) { return report(from + (to - from) * percent / 100); };
}

WorkResult WorkTracker::result(bool ok, const QString &error) const
{
    if (ok)
        return WorkResult::done();
    return m_stopped ? WorkResult::cancelled() : WorkResult::failed(error);
}
