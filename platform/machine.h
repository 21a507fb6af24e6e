#pragma once
// This machine's sources of boards, probes, image files and serial ports,
// for the programs that plug the machine into the application. Which
// system's implementation they are is decided when the platform library is
// built.

#include "platform/folder_source.h"
#include "platform/port_map_source.h"
#include "platform/probe_source.h"
#include "platform/serial_port.h"

#include <memory>
#include <string>

// Where a machine that keeps its devices in a file tree (Linux: sysfs and
// /dev) reads them; tests point these at a fake tree. Empty: the machine's
// own. Systems without such a tree ignore them.
struct DeviceTreeRoots {
    std::string sysfs;
    std::string dev;
};

// False where DeviceTreeRoots mean nothing.
bool MachineHasDeviceTree();

std::unique_ptr<IPortMapSource> MakePortMapSource(const DeviceTreeRoots& roots = {});
std::unique_ptr<IProbeSource> MakeProbeSource(const DeviceTreeRoots& roots = {});
std::unique_ptr<IFolderSource> MakeFolderSource();
std::unique_ptr<ISerialPortFactory> MakeSerialPortFactory();
