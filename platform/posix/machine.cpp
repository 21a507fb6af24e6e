#include "platform/machine.h"

#include "platform/posix/folder_source.h"
#include "platform/posix/port_map_source.h"
#include "platform/posix/posix_serial_port.h"
#include "platform/posix/probe_source.h"

namespace {

MachineRoots RootsOf(const DeviceTreeRoots& given)
{
    MachineRoots roots;
    if (!given.sysfs.empty())
        roots.sysfs = given.sysfs;
    if (!given.dev.empty())
        roots.dev = given.dev;
    return roots;
}

}  // namespace

bool MachineHasDeviceTree() { return true; }

std::unique_ptr<IPortMapSource> MakePortMapSource(const DeviceTreeRoots& roots)
{
    return std::make_unique<CPosixPortMapSource>(RootsOf(roots));
}

std::unique_ptr<IProbeSource> MakeProbeSource(const DeviceTreeRoots& roots)
{
    return std::make_unique<CPosixProbeSource>(RootsOf(roots));
}

std::unique_ptr<IFolderSource> MakeFolderSource() { return std::make_unique<CPosixFolderSource>(); }

std::unique_ptr<ISerialPortFactory> MakeSerialPortFactory()
{
    return std::make_unique<PosixSerialPortFactory>();
}
