#include "platform/posix/probe_source.h"

#include "platform/posix/sysfs_usb.h"

#include <cstdio>
#include <filesystem>
#include <sys/inotify.h>

namespace fs = std::filesystem;

namespace {

std::optional<int> ReadNumber(const std::string& path)
{
    const auto text = ReadAttribute(path);
    if (!text || text->empty() || text->find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoi(*text);
}

}  // namespace

CPosixProbeSource::CPosixProbeSource(MachineRoots roots) : roots(std::move(roots)) {}

bool CPosixProbeSource::Open() { return CanListFolder(roots.sysfs + "/bus/usb/devices", openFailure); }

// /dev/bus/usb and its bus folders may be made after we start (udev, a new
// host controller): their parents are watched for them, and every change
// arms whatever has appeared since.
bool CPosixProbeSource::ArmExisting()
{
    const std::string bus = roots.dev + "/bus";
    const std::string usb = bus + "/usb";
    if (!watch.IsWatched(roots.dev) && !watch.Add(roots.dev, IN_CREATE | IN_MOVED_TO))
        return false;
    if (fs::is_directory(bus) && !watch.IsWatched(bus) && !watch.Add(bus, IN_CREATE | IN_MOVED_TO))
        return false;
    if (!fs::is_directory(usb))
        return true;
    if (!watch.IsWatched(usb) && !watch.Add(usb, kNameEvents))
        return false;
    for (const std::string& folder : FolderEntries(usb)) {
        std::error_code error;
        if (fs::is_directory(folder, error) && !watch.IsWatched(folder) && !watch.Add(folder, kNameEvents))
            return false;
    }
    return true;
}

bool CPosixProbeSource::Watch() { return ArmExisting(); }

bool CPosixProbeSource::IsProbe(const std::string& device) const
{
    if (ReadAttribute(device + "/idVendor") != kJLinkVendorId)
        return false;
    // sysfs keeps a device a moment after its node has gone: the node decides.
    const auto busnum = ReadNumber(device + "/busnum");
    const auto devnum = ReadNumber(device + "/devnum");
    if (!busnum || !devnum)
        return false;
    char node[32];
    std::snprintf(node, sizeof node, "/bus/usb/%03d/%03d", *busnum, *devnum);
    return NameExists(roots.dev + node);
}

std::optional<int> CPosixProbeSource::CountProbes()
{
    const std::string devices = roots.sysfs + "/bus/usb/devices";
    std::error_code error;
    if (!fs::is_directory(devices, error))
        return std::nullopt;
    int count = 0;
    for (const std::string& device : FolderEntries(devices))
        count += IsProbe(device) ? 1 : 0;
    return count;
}

WaitOutcome CPosixProbeSource::WaitForChange()
{
    const std::string dev = roots.dev;
    const std::string bus = dev + "/bus";
    const WaitOutcome outcome = watch.Wait([&](const std::string& dir, std::string_view name, std::uint32_t) {
        if (dir == dev)
            return name == "bus";
        if (dir == bus)
            return name == "usb";
        return true;
    });
    if (outcome == WaitOutcome::Changed && !ArmExisting())
        return WaitOutcome::Failed;
    return outcome;
}

void CPosixProbeSource::Wake() { watch.Wake(); }

std::string CPosixProbeSource::FailedCall() const
{
    return openFailure.empty() ? watch.FailedCall() : openFailure;
}
