#pragma once
// Ports and probes that only the test plugs in: the window's tests must not
// see the prefix's own serial port map or probe key, which other tests write.

#include "platform/extra_ports.h"
#include "platform/port_map_source.h"
#include "platform/probe_source.h"

#include <condition_variable>
#include <mutex>

// Ends a wait when woken or when something changed since the last one.
class ChangeSignal {
public:
    void Notify(bool changed)
    {
        {
            std::lock_guard lock(mutex);
            (changed ? this->changed : woken) = true;
        }
        arrived.notify_all();
    }
    WaitOutcome Wait()
    {
        std::unique_lock lock(mutex);
        arrived.wait(lock, [this] { return changed || woken; });
        const WaitOutcome outcome = changed ? WaitOutcome::Changed : WaitOutcome::Woken;
        changed = woken = false;
        return outcome;
    }

private:
    std::mutex mutex;
    std::condition_variable arrived;
    bool changed = false;
    bool woken = false;
};

class MemoryPortSource final : public IPortMapSource {
public:
    // The port map cannot be read at all: the monitor says so in a box.
    bool refuseOpen = false;

    bool Open() override { return !refuseOpen; }
    bool Watch() override { return true; }
    std::vector<std::string> ReadPorts() override
    {
        std::vector<std::string> ports;
        extra.AppendTo(ports);
        return ports;
    }
    WaitOutcome WaitForChange() override { return signal.Wait(); }
    void Wake() override { signal.Notify(false); }
    void AddExtraPort(const std::string& name) override { signal.Notify(extra.Add(name)); }
    void RemoveExtraPort(const std::string& name) override { signal.Notify(extra.Remove(name)); }
    std::string FailedCall() const override { return refuseOpen ? "RegOpenKeyExW" : ""; }

private:
    CExtraPorts extra;
    ChangeSignal signal;
};

class NoProbeSource final : public IProbeSource {
public:
    bool Open() override { return true; }
    bool Watch() override { return true; }
    std::optional<int> CountProbes() override { return 0; }
    WaitOutcome WaitForChange() override { return signal.Wait(); }
    void Wake() override { signal.Notify(false); }
    std::string FailedCall() const override { return {}; }

private:
    ChangeSignal signal;
};
