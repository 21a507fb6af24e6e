#pragma once
// A monitor's watch thread with an orderly stop: set the stop flag, wake the
// wait, join. The body checks StopRequested() after every wait.

#include "platform/change_wait.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class CWatchThread {
public:
    CWatchThread() = default;
    ~CWatchThread() { Stop({}); }
    CWatchThread(const CWatchThread&) = delete;
    CWatchThread& operator=(const CWatchThread&) = delete;

    void Start(std::function<void()> body) { thread = std::thread(std::move(body)); }

    // `wake` ends the body's current wait. Safe to call more than once.
    void Stop(const std::function<void()>& wake)
    {
        stop = true;
        if (!thread.joinable())
            return;
        if (wake)
            wake();
        thread.join();
    }

    bool StopRequested() const { return stop; }
    bool Running() const { return thread.joinable(); }

private:
    std::atomic<bool> stop{false};
    std::thread thread;
};

// Which call of a watch failed, for the user; the watch then ends.
template <class Source>
std::string WatchFailureText(const Source& source)
{
    return "Error in " + source.FailedCall() + ".\n";
}

// The body of a watch thread: waits for a change of `source`, then runs
// `onChange`, until a stop is requested or a wait fails (`onFailure` is
// then told why).
template <class Source>
void WatchChanges(const CWatchThread& thread, Source& source, const std::function<void()>& onChange,
                  const std::function<void(const std::string&)>& onFailure)
{
    while (!thread.StopRequested()) {
        if (source.WaitForChange() == WaitOutcome::Failed) {
            onFailure(WatchFailureText(source));
            return;
        }
        if (thread.StopRequested())
            return;
        onChange();
    }
}
