#pragma once

#include <QString>
#include <functional>

// The words every long job is told and answers in, whichever thread it runs on.

// Told the share of the work done so far (0–100); answering false asks the work to stop, which
// then ends cancelled and leaves things as they were.
using WorkProgress = std::function<bool(int percent)>;

// How long work ended: done, cancelled (not a failure: a window says nothing of it, or that
// nothing was stored), or failed with the reason.
class WorkResult
{
public:
    static WorkResult done() { return WorkResult(Kind::Done, {}); }
    static WorkResult cancelled() { return WorkResult(Kind::Cancelled, {}); }
    static WorkResult failed(const QString &reason) { return WorkResult(Kind::Failed, reason); }

    bool isDone() const { return m_kind == Kind::Done; }
    bool isCancelled() const { return m_kind == Kind::Cancelled; }
    bool isFailed() const { return m_kind == Kind::Failed; }
    // Why it failed; empty when it did not.
    const QString &reason() const { return m_reason; }

private:
    enum class Kind { Done, Cancelled, Failed };
    WorkResult(Kind kind, const QString &reason) : m_kind(kind), m_reason(reason) {}

    Kind m_kind;
    QString m_reason;
};

// A job's progress as its steps see it: it remembers a "stop", so that a step deep inside,
// which only says that it gave up, ends the job cancelled rather than failed.
class WorkTracker
{
public:
    explicit WorkTracker(WorkProgress progress = {}) : m_progress(std::move(progress)) {}
    WorkTracker(const WorkTracker &) = delete;
    WorkTracker &operator=(const WorkTracker &) = delete;

    // Tells `percent`; false once the work was asked to stop.
    bool report(int percent);
    // A progress for a step, told 0–100, that this tracker tells as `from`–`to` of the whole.
    WorkProgress part(int from, int to);
    bool stopped() const { return m_stopped; }
    // The job's end after its steps returned `ok`, `error` saying why they did not.
    WorkResult result(bool ok, const QString &error) const;

private:
    WorkProgress m_progress;
    bool m_stopped = false;
};
