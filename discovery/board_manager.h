#pragma once
// Owns the serial port monitor and the probe monitor, starts them, and
// passes their notifications on to the loader manager.

#include "discovery/com_port_manager.h"
#include "discovery/jlink_manager.h"
#include "discovery/observers.h"

class CBoardManager final : public IBoardManager {
public:
    // The sources must outlive the board manager.
    CBoardManager(ILoaderManager* listener, IPortMapSource& ports, IProbeSource& probes);
    ~CBoardManager() override;

    // Starts the port monitor, whatever that gives, then the probe monitor.
    void Start();
    void Stop();

    CComPortManager& ComPorts() { return comPorts; }
    const CComPortManager& ComPorts() const { return comPorts; }
    CJLinkManager& JLink() { return jlink; }
    const CJLinkManager& JLink() const { return jlink; }

    void OnComPortsChanged() override { listener->OnComPortsChanged(); }
    void OnJLinkChanged() override { listener->OnJLinkChanged(); }
    void OnMonitorFailed(const std::string& text) override { listener->OnMonitorFailed(text); }

private:
    ILoaderManager* listener;
    CComPortManager comPorts;
    CJLinkManager jlink;
};
