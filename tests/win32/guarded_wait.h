#pragma once
// A source's wait, woken by a second thread after `guard`: a change that is
// never signalled shows as Woken instead of hanging the suite, and "nothing
// counts" is a wait that only the guard ends. The wait runs on the test's
// own thread, as every wait of a monitor runs on its one watch thread: a
// folder notification that a wait re-arms belongs to the thread that armed
// it, and that thread's end signals it (so under wine 8; Windows ends a
// thread's pending I/O with the thread too).

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
    std::promise<void> ended;
    auto guarding = std::async(std::launch::async, [&source, guard, done = ended.get_future()] {
        if (done.wait_for(guard) == std::future_status::timeout)
            source.Wake();
    });
    const WaitOutcome outcome = source.WaitForChange();
    ended.set_value();
    guarding.get();
    return outcome;
}

inline void PrintTo(WaitOutcome outcome, std::ostream* os)
{
    *os << (outcome == WaitOutcome::Changed ? "Changed" : outcome == WaitOutcome::Woken ? "Woken" : "Failed");
}
