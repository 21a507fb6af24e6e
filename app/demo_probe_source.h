#pragma once
// A probe that is always plugged in: the demo's stand-in for the USB bus.

#include "platform/probe_source.h"

#include <condition_variable>
#include <mutex>

class CDemoProbeSource final : public IProbeSource {
public:
    bool Open() override { return true; }
    bool Watch() override { return true; }
    std::optional<int> CountProbes() override { return 1; }
    // Nothing ever changes: the wait ends only when the monitor stops.
    WaitOutcome WaitForChange() override
    {
        std::unique_lock lock(mutex);
        woken.wait(lock, [this] { return wake; });
        wake = false;
        return WaitOutcome::Woken;
    }
    void Wake() override
    {
        {
            std::lock_guard lock(mutex);
            wake = true;
        }
        woken.notify_all();
    }
    std::string FailedCall() const override { return {}; }

private:
    std::mutex mutex;
    std::condition_variable woken;
    bool wake = false;
};
