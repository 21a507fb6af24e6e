#pragma once
// Small readings of the sysfs device tree shared by the port and probe sources.

#include <optional>
#include <string>
#include <vector>

// J-Link probes' USB vendor id, as sysfs writes it.
inline constexpr const char* kJLinkVendorId = "1366";

// The first line of a small sysfs attribute file, without its line end.
std::optional<std::string> ReadAttribute(const std::string& path);

// The vendor id of the USB device behind `deviceLink` (a sysfs "device"
// link or folder), searched upwards but not above `sysfsRoot`; nothing when
// no USB device is behind it.
std::optional<std::string> UsbVendorBehind(const std::string& deviceLink, const std::string& sysfsRoot);

// The full paths of a folder's entries. A folder that cannot be read, or
// stops being readable half-way, gives what was read: never an exception on
// a watch thread.
std::vector<std::string> FolderEntries(const std::string& folder);

// Whether a directory can be listed; on failure `failedCall` says why.
bool CanListFolder(const std::string& folder, std::string& failedCall);

// Whether a name exists in the file system (a device node counts before udev
// has made it openable; a dangling link counts too).
bool NameExists(const std::string& path);
