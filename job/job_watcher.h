#pragma once
// Where a programming job stands, judged the same way by every runner of a
// job: by the job's own final status, by a port that will never become a
// terminal, and by a board that has not answered in time. The serial job
// waits for a board for ever and reopens a port that did not open, so these
// decide when the runner must end it instead.

#include <chrono>
#include <cstdint>
#include <optional>

enum class JobVerdict {
    Running,
    Succeeded,
    Failed,
    GaveUpWaiting,  // no board answered within the wait limit
    Stopped,        // the runner ended it (Ctrl-C) before it had ended
};

class JobWatcher {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    // No limit: the board is waited for as long as the job runs.
    JobWatcher(TimePoint started, std::optional<std::chrono::seconds> boardWaitLimit)
        : started(started), boardWaitLimit(boardWaitLimit)
    {
    }

    // `hopeless`: the port did not open and never will (it is a file or a
    // folder, not a terminal).
    void OnStatus(std::int32_t code, bool hopeless = false);

    // True when the wait for a board ran out just now.
    bool GiveUpIfSilent(TimePoint now);

    // The runner ends the job; the job's own final status still wins.
    void Stop();

    JobVerdict Verdict() const { return verdict; }
    bool Running() const { return verdict == JobVerdict::Running; }
    // A job that reported its own end stops by itself; any other is ended.
    bool EndsByItself() const { return ownEnd; }

private:
    const TimePoint started;
    const std::optional<std::chrono::seconds> boardWaitLimit;
    JobVerdict verdict = JobVerdict::Running;
    bool connected = false;
    bool ownEnd = false;
};
