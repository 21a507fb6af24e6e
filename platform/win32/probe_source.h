#pragma once
// J-Link probes on a Windows machine: the probe driver's Enum key counts
// the devices it serves. The key is missing while no probe has been seen
// since boot and without the driver: then no probe is attached, and the
// key is waited for.

#include "platform/probe_source.h"
#include "platform/win32/registry_watch.h"

class CWin32ProbeSource final : public IProbeSource {
public:
    CWin32ProbeSource();

    bool Open() override;
    bool Watch() override;
    std::optional<int> CountProbes() override;
    WaitOutcome WaitForChange() override;
    void Wake() override;
    std::string FailedCall() const override;

private:
    CWin32RegistryWatch driver;
};
