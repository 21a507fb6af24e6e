#pragma once
// The board ports of a Windows machine: the serial port map that Windows
// keeps in the registry, one value per port (name: the driver's device,
// data: the port name, COM7). A board's USB driver names its devices with
// "VCP" after their first character; other ports are not boards.

#include "platform/extra_ports.h"
#include "platform/port_map_source.h"
#include "platform/win32/registry_watch.h"

class CWin32PortMapSource final : public IPortMapSource {
public:
    CWin32PortMapSource();

    bool Open() override;
    bool Watch() override;
    std::vector<std::string> ReadPorts() override;
    WaitOutcome WaitForChange() override;
    void Wake() override;
    void AddExtraPort(const std::string& name) override;
    void RemoveExtraPort(const std::string& name) override;
    std::string FailedCall() const override;

private:
    CWin32RegistryWatch map;
    CExtraPorts extras;
};
