#pragma once
// The board ports of a Linux machine: USB serial ports (ttyUSB*, ttyACM*)
// with a USB device behind them in sysfs and a node in /dev, except the
// J-Link probes' own serial ports. Watched through inotify on /dev.

#include "platform/extra_ports.h"
#include "platform/port_map_source.h"
#include "platform/posix/change_watch.h"
#include "platform/posix/machine_roots.h"

class CPosixPortMapSource final : public IPortMapSource {
public:
    explicit CPosixPortMapSource(MachineRoots roots = {});

    bool Open() override;
    bool Watch() override;
    std::vector<std::string> ReadPorts() override;
    WaitOutcome WaitForChange() override;
    void Wake() override;
    void AddExtraPort(const std::string& name) override;
    void RemoveExtraPort(const std::string& name) override;
    std::string FailedCall() const override;

private:
    bool IsBoardPort(const std::string& name) const;

    MachineRoots roots;
    CPosixChangeWatch watch;
    std::string openFailure;
    CExtraPorts extras;
};
