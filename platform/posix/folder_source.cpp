#include "platform/posix/folder_source.h"

#include "platform/posix/sysfs_usb.h"

#include <filesystem>
#include <sys/inotify.h>

namespace fs = std::filesystem;

std::vector<std::string> CPosixFolderSource::ListBinFiles(const std::string& folder)
{
    std::vector<std::string> names;
    for (const std::string& entry : FolderEntries(folder)) {
        std::string name = fs::path(entry).filename().string();
        if (name.size() >= 4 && name.compare(name.size() - 4, 4, ".bin") == 0)
            names.push_back(std::move(name));
    }
    return names;
}

bool CPosixFolderSource::Watch(const std::string& folder)
{
    return watch.Add(folder, kNameEvents);
}

WaitOutcome CPosixFolderSource::WaitForChange()
{
    // Subfolders coming and going are not file names; the folder itself
    // going away is a change (its images are gone).
    return watch.Wait([](const std::string&, std::string_view, std::uint32_t mask) {
        return (mask & IN_IGNORED) || !(mask & IN_ISDIR);
    });
}

void CPosixFolderSource::Wake() { watch.Wake(); }

std::string CPosixFolderSource::FailedCall() const { return watch.FailedCall(); }
