#include "platform/posix/port_map_source.h"

#include "platform/posix/sysfs_usb.h"

#include <algorithm>
#include <filesystem>
#include <sys/inotify.h>

namespace fs = std::filesystem;

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool IsUsbSerialName(std::string_view name) { return StartsWith(name, "ttyUSB") || StartsWith(name, "ttyACM"); }

// ttyUSB2 before ttyUSB10: the order a person expects at the first reading.
bool NaturalLess(const std::string& a, const std::string& b)
{
    const auto split = [](const std::string& s) {
        const auto digits = s.find_last_not_of("0123456789") + 1;
        return std::pair{s.substr(0, digits), s.size() - digits};
    };
    const auto [stemA, lengthA] = split(a);
    const auto [stemB, lengthB] = split(b);
    if (stemA != stemB)
        return stemA < stemB;
    return lengthA != lengthB ? lengthA < lengthB : a < b;
}

}  // namespace

CPosixPortMapSource::CPosixPortMapSource(MachineRoots roots) : roots(std::move(roots)) {}

bool CPosixPortMapSource::Open() { return CanListFolder(roots.sysfs + "/class/tty", openFailure); }

bool CPosixPortMapSource::Watch() { return watch.Add(roots.dev, kNameEvents); }

bool CPosixPortMapSource::IsBoardPort(const std::string& name) const
{
    if (!IsUsbSerialName(name) || !NameExists(roots.dev + "/" + name))
        return false;
    const auto vendor = UsbVendorBehind(roots.sysfs + "/class/tty/" + name + "/device", roots.sysfs);
    return vendor && *vendor != kJLinkVendorId;
}

std::vector<std::string> CPosixPortMapSource::ReadPorts()
{
    std::vector<std::string> ports;
    for (const std::string& entry : FolderEntries(roots.sysfs + "/class/tty")) {
        const std::string name = fs::path(entry).filename().string();
        if (IsBoardPort(name))
            ports.push_back(name);
    }
    std::sort(ports.begin(), ports.end(), NaturalLess);
    extras.AppendTo(ports);
    return ports;
}

WaitOutcome CPosixPortMapSource::WaitForChange()
{
    // Any serial device coming or going is a change of the map, a board
    // port or not; other device nodes are not.
    return watch.Wait([](const std::string&, std::string_view name, std::uint32_t) {
        return StartsWith(name, "tty");
    });
}

void CPosixPortMapSource::Wake() { watch.Wake(); }

void CPosixPortMapSource::AddExtraPort(const std::string& name)
{
    if (extras.Add(name))
        watch.Wake();
}

void CPosixPortMapSource::RemoveExtraPort(const std::string& name)
{
    if (extras.Remove(name))
        watch.Wake();
}

std::string CPosixPortMapSource::FailedCall() const
{
    return openFailure.empty() ? watch.FailedCall() : openFailure;
}
