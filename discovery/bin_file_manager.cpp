#include "discovery/bin_file_manager.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

namespace {

// The system's own separator joins a folder and a name, so that the path
// reads as the user's paths do; Windows accepts '/' within a path as well.
constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
constexpr const char* kSeparators = kSeparator == '/' ? "/" : "\\/";

std::string NameOf(const std::string& path)
{
    const auto slash = path.find_last_of(kSeparators);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || std::string_view(kSeparators).find(folder.back()) != std::string_view::npos)
        return folder + name;
    return folder + kSeparator + name;
}

}  // namespace

CBinFileManager::CBinFileManager(ILoaderManager* listener, IFolderSource& source, std::string folder)
    : listener(listener), source(source), folder(std::move(folder))
{
}

CBinFileManager::~CBinFileManager() { Stop(); }

void CBinFileManager::Start()
{
    // Armed before the first scan, so no change in between is lost.
    const bool watching = source.Watch(folder);
    Rescan();
    if (!watching) {
        listener->OnMonitorFailed(WatchFailureText(source));
        return;
    }
    watchThread.Start([this] { Watch(); });
}

void CBinFileManager::Stop()
{
    watchThread.Stop([this] { source.Wake(); });
}

// The folder is listed without the lock; the new list replaces the old one
// in a single step under it. std::string's operator< compares bytes as
// unsigned values: the ordinal order, independent of locale and case.
void CBinFileManager::Rescan()
{
    const std::lock_guard scanning(scanLock);
    std::vector<std::string> names = source.ListBinFiles(folder);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    std::vector<CBinFile> fresh;
    fresh.reserve(names.size());
    for (std::string& name : names)
        fresh.push_back(CBinFile{CBinFile::FolderFile, JoinPath(folder, name), std::move(name)});
    const std::lock_guard guard(lock);
    files = std::move(fresh);
}

std::optional<CBinFile> CBinFileManager::GetCurrent() const
{
    const std::lock_guard guard(lock);
    if (browsed)
        return browsed;
    if (files.empty())
        return std::nullopt;
    return files.back();
}

std::vector<std::string> CBinFileManager::Names() const
{
    const std::lock_guard guard(lock);
    std::vector<std::string> names;
    for (const CBinFile& file : files)
        names.push_back(file.name);
    return names;
}

void CBinFileManager::SetBrowsedFile(const std::string& path)
{
    {
        const std::lock_guard guard(lock);
        browsed = CBinFile{CBinFile::BrowsedFile, path, NameOf(path)};
    }
    listener->OnBinFilesChanged();
}

void CBinFileManager::ResetToFolder()
{
    {
        const std::lock_guard guard(lock);
        browsed.reset();
    }
    Rescan();
    listener->OnBinFilesChanged();
}

void CBinFileManager::Watch()
{
    WatchChanges(
        watchThread, source,
        [this] {
            Rescan();
            listener->OnBinFilesChanged();
        },
        [this](const std::string& text) { listener->OnMonitorFailed(text); });
}
