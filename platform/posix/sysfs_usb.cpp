#include "platform/posix/sysfs_usb.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

std::optional<std::string> ReadAttribute(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    if (!in || !std::getline(in, line))
        return std::nullopt;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

std::optional<std::string> UsbVendorBehind(const std::string& deviceLink, const std::string& sysfsRoot)
{
    std::error_code error;
    const fs::path root = fs::canonical(sysfsRoot, error);
    if (error)
        return std::nullopt;
    fs::path at = fs::canonical(deviceLink, error);
    if (error)
        return std::nullopt;
    // USB interfaces and serial port devices have no vendor id; the device
    // that owns them, a few levels up, has.
    const auto inside = [&root](const fs::path& path) {
        const fs::path relative = path.lexically_relative(root);
        return !relative.empty() && relative != "." && *relative.begin() != "..";
    };
    for (; inside(at); at = at.parent_path()) {
        if (auto vendor = ReadAttribute((at / "idVendor").string()))
            return vendor;
    }
    return std::nullopt;
}

bool CanListFolder(const std::string& folder, std::string& failedCall)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        failedCall = "opendir on " + folder + " (" + std::strerror(errno) + ")";
        return false;
    }
    ::closedir(dir);
    return true;
}

bool NameExists(const std::string& path)
{
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> entries;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error))
        entries.push_back(it->path().string());
    return entries;
}
