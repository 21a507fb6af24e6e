#pragma once
// J-Link probes on a Linux machine: USB devices with the vendor id 0x1366
// in sysfs whose node exists below /dev/bus/usb. Watched through inotify on
// the /dev/bus/usb folders, which are armed as they appear.

#include "platform/posix/change_watch.h"
#include "platform/posix/machine_roots.h"
#include "platform/probe_source.h"

class CPosixProbeSource final : public IProbeSource {
public:
    explicit CPosixProbeSource(MachineRoots roots = {});

    bool Open() override;
    bool Watch() override;
    std::optional<int> CountProbes() override;
    WaitOutcome WaitForChange() override;
    void Wake() override;
    std::string FailedCall() const override;

private:
    bool ArmExisting();
    bool IsProbe(const std::string& device) const;

    MachineRoots roots;
    CPosixChangeWatch watch;
    std::string openFailure;
};
