#pragma once
// A monitor's watch thread with an orderly stop: set the stop flag, wake the
// wait, join. The body checks StopRequested() after every wait.

#include <atomic>
#include <functional>
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
