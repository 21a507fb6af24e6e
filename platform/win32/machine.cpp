#include "platform/machine.h"

#include "platform/win32/serial_port.h"

// TEMPORARY, until the registry's port map, the probe driver's key and the
// folder watch have their Windows sources: until then each says that it is
// not available, so that the programs build and tell the user so plainly.
namespace {

constexpr const char* kNotYet = " (not yet available on Windows)";

class UnavailablePortMap final : public IPortMapSource {
public:
    bool Open() override { return false; }
    bool Watch() override { return false; }
    std::vector<std::string> ReadPorts() override { return {}; }
    WaitOutcome WaitForChange() override { return WaitOutcome::Failed; }
    void Wake() override {}
    void AddExtraPort(const std::string&) override {}
    void RemoveExtraPort(const std::string&) override {}
    std::string FailedCall() const override
    {
        return std::string("RegOpenKeyEx") + kNotYet;
    }
};

class UnavailableProbes final : public IProbeSource {
public:
    bool Open() override { return false; }
    bool Watch() override { return false; }
    std::optional<int> CountProbes() override { return std::nullopt; }
    WaitOutcome WaitForChange() override { return WaitOutcome::Failed; }
    void Wake() override {}
    std::string FailedCall() const override { return std::string("RegOpenKeyEx") + kNotYet; }
};

class UnavailableFolder final : public IFolderSource {
public:
    std::vector<std::string> ListBinFiles(const std::string&) override { return {}; }
    bool Watch(const std::string&) override { return false; }
    WaitOutcome WaitForChange() override { return WaitOutcome::Failed; }
    void Wake() override {}
    std::string FailedCall() const override
    {
        return std::string("FindFirstChangeNotification") + kNotYet;
    }
};

}  // namespace

bool MachineHasDeviceTree() { return false; }

std::unique_ptr<IPortMapSource> MakePortMapSource(const DeviceTreeRoots&)
{
    return std::make_unique<UnavailablePortMap>();
}

std::unique_ptr<IProbeSource> MakeProbeSource(const DeviceTreeRoots&)
{
    return std::make_unique<UnavailableProbes>();
}

std::unique_ptr<IFolderSource> MakeFolderSource() { return std::make_unique<UnavailableFolder>(); }

std::unique_ptr<ISerialPortFactory> MakeSerialPortFactory()
{
    return std::make_unique<Win32SerialPortFactory>();
}
