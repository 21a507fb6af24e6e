#include "platform/machine.h"

#include "platform/win32/folder_source.h"
#include "platform/win32/port_map_source.h"
#include "platform/win32/probe_source.h"
#include "platform/win32/serial_port.h"

bool MachineHasDeviceTree() { return false; }

std::unique_ptr<IPortMapSource> MakePortMapSource(const DeviceTreeRoots&)
{
    return std::make_unique<CWin32PortMapSource>();
}

std::unique_ptr<IProbeSource> MakeProbeSource(const DeviceTreeRoots&)
{
    return std::make_unique<CWin32ProbeSource>();
}

std::unique_ptr<IFolderSource> MakeFolderSource() { return std::make_unique<CWin32FolderSource>(); }

std::unique_ptr<ISerialPortFactory> MakeSerialPortFactory()
{
    return std::make_unique<Win32SerialPortFactory>();
}
