#pragma once
// The machine's serial ports, watched by the port monitor.

#include "platform/machine.h"
#include "station/port_watch.h"

#include <memory>

class CComPortManager;
class IPortMapSource;
class PortChanges;

class MonitorPortWatch final : public IPortWatch {
public:
    explicit MonitorPortWatch(const DeviceTreeRoots& roots);
    ~MonitorPortWatch() override;

    void Start(std::function<void()> changed) override;
    std::vector<std::string> Ports() const override;
    void Stop() override;

private:
    std::unique_ptr<IPortMapSource> source;
    std::unique_ptr<PortChanges> owner;
    std::unique_ptr<CComPortManager> monitor;
};
