#include "station/monitor_port_watch.h"

#include "discovery/com_port_manager.h"

#include <iostream>

// The monitor's owner: only the ports matter here.
class PortChanges final : public IBoardManager {
public:
    explicit PortChanges(std::function<void()> changed) : changed(std::move(changed)) {}
    void OnComPortsChanged() override { changed(); }
    void OnJLinkChanged() override {}
    // The station's console is standard error's.
    void OnMonitorFailed(const std::string& text) override { std::cerr << text << std::endl; }

private:
    const std::function<void()> changed;
};

MonitorPortWatch::MonitorPortWatch(const DeviceTreeRoots& roots) : source(MakePortMapSource(roots))
{
}

MonitorPortWatch::~MonitorPortWatch() { Stop(); }

void MonitorPortWatch::Start(std::function<void()> changed)
{
    owner = std::make_unique<PortChanges>(std::move(changed));
    monitor = std::make_unique<CComPortManager>(owner.get(), *source);
    monitor->Start();
}

std::vector<std::string> MonitorPortWatch::Ports() const
{
    return monitor ? monitor->Ports() : std::vector<std::string>{};
}

void MonitorPortWatch::Stop()
{
    if (monitor)
        monitor->Stop();
}
