#include "job/job_watcher.h"

#include "job/status_table.h"

void JobWatcher::OnStatus(std::int32_t code, bool hopeless)
{
    // A success is reported only once the header, written last, is in: it
    // stands even over a stop or a give-up that came too late.
    const JobOutcome outcome = LookupStatus(code).outcome;
    if (outcome == JobOutcome::Succeeded || outcome == JobOutcome::Failed) {
        verdict = outcome == JobOutcome::Succeeded ? JobVerdict::Succeeded : JobVerdict::Failed;
        ownEnd = true;
        return;
    }
    if (!Running())
        return;
    // A failed open is no end by itself: the job goes on reopening the port.
    if (hopeless)
        verdict = JobVerdict::Failed;
    if (!IsWaitingForBoard(code))
        connected = true;
}

bool JobWatcher::GiveUpIfSilent(TimePoint now)
{
    if (!Running() || connected || !boardWaitLimit || now - started <= *boardWaitLimit)
        return false;
    verdict = JobVerdict::GaveUpWaiting;
    return true;
}

void JobWatcher::Stop()
{
    if (Running())
        verdict = JobVerdict::Stopped;
}
