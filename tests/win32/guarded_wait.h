#pragma once
// A source's wait on a thread of its own, woken by the test after `guard`:
// a change that is never signalled shows as Woken instead of hanging the
// suite, and "nothing counts" is a wait that only the guard ends.

#include "platform/change_wait.h"

#include <chrono>
#include <future>
#include <ostream>

using namespace std::chrono_literals;

// Long enough for wine's server to pass a change on, even on a busy machine.
constexpr std::chrono::milliseconds kSignalled = 10s;
// How long a change that does not count is given to show up all the same.
constexpr std::chrono::milliseconds kQuiet = 1s;

template <class Source>
WaitOutcome GuardedWait(Source& source, std::chrono::milliseconds guard)
{
    auto outcome = std::async(std::launch::async, [&source] { return source.WaitForChange(); });
    if (outcome.wait_for(guard) == std::future_status::timeout)
        source.Wake();
    return outcome.get();
}

inline void PrintTo(WaitOutcome outcome, std::ostream* os)
{
    *os << (outcome == WaitOutcome::Changed ? "Changed" : outcome == WaitOutcome::Woken ? "Woken" : "Failed");
}
