#pragma once
// A listener of the monitors that counts their notifications and lets a
// test wait for a count (with a generous guard, never a timing assertion).

#include "discovery/observers.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class Recorder final : public IBoardManager, public ILoaderManager {
public:
    enum Kind { Ports, JLink, BinFiles, kKinds };

    void OnComPortsChanged() override { Bump(Ports); }
    void OnJLinkChanged() override { Bump(JLink); }
    void OnBinFilesChanged() override { Bump(BinFiles); }
    void OnMonitorFailed(const std::string& text) override
    {
        const std::lock_guard lock(mutex);
        failures.push_back(text);
    }

    // What the monitors said when their watches failed.
    std::vector<std::string> Failures() const
    {
        const std::lock_guard lock(mutex);
        return failures;
    }

    int Count(Kind kind) const
    {
        const std::lock_guard lock(mutex);
        return counts[kind];
    }

    // True once `kind` has been notified at least `count` times.
    bool WaitFor(Kind kind, int count)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), [&] { return counts[kind] >= count; });
    }

    // Runs on the notifying thread, inside the notification.
    std::function<void(Kind)> onNotify;

private:
    void Bump(Kind kind)
    {
        if (onNotify)
            onNotify(kind);
        const std::lock_guard lock(mutex);
        ++counts[kind];
        changed.notify_all();
    }

    mutable std::mutex mutex;
    std::condition_variable changed;
    int counts[kKinds] = {};
    std::vector<std::string> failures;
};
