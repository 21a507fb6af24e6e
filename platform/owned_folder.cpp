#include "platform/owned_folder.h"

#include "platform/text_paths.h"

#include <cstdio>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

const std::string kSuffix = kOwnerLockSuffix;

std::string RandomName(const std::string& prefix)
{
    static std::random_device random;
    char digits[16];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(random()));
    return prefix + digits;
}

std::string LockPathOf(const std::string& folder) { return folder + kSuffix; }

bool Exists(const std::string& path)
{
    std::error_code ignored;
    return fs::exists(fs::symlink_status(PathOfText(path), ignored));
}

// The folder a lock file stands for; empty when `entry` is no lock file.
std::string FolderOfLock(const fs::directory_entry& entry)
{
    const std::string path = TextOfPath(entry.path());
    std::error_code ignored;
    if (path.size() <= kSuffix.size() || path.compare(path.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0 ||
        !entry.is_regular_file(ignored) || entry.is_symlink(ignored))
        return {};
    return path.substr(0, path.size() - kSuffix.size());
}

// Removes `folder` unless it is a link or no folder at all.
void RemoveFolder(const std::string& folder)
{
    std::error_code ignored;
    const auto status = fs::symlink_status(PathOfText(folder), ignored);
    if (fs::is_directory(status))
        fs::remove_all(PathOfText(folder), ignored);
}

}  // namespace

COwnedFolder::COwnedFolder(std::string path, std::unique_ptr<IFileLock> lock)
    : path(std::move(path)), lock(std::move(lock))
{
}

std::unique_ptr<COwnedFolder> COwnedFolder::Make(const std::string& parent,
                                                 const std::string& prefix, std::string& error)
{
    error = "cannot create a folder below " + parent;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string folder = TextOfPath(PathOfText(parent) / PathOfText(RandomName(prefix)));
        if (Exists(folder) || Exists(LockPathOf(folder)))
            continue;
        FileLockAttempt taken = TryLockFile(LockPathOf(folder));
        if (!taken.lock) {
            error = taken.error;
            return nullptr;
        }
        std::error_code failure;
        if (fs::create_directory(PathOfText(folder), failure))
            return std::unique_ptr<COwnedFolder>(new COwnedFolder(folder, std::move(taken.lock)));
        fs::remove(PathOfText(LockPathOf(folder)), failure);
    }
    return nullptr;
}

// The lock file goes while still held: nobody can take it over meanwhile.
COwnedFolder::~COwnedFolder()
{
    RemoveFolder(path);
    std::error_code ignored;
    fs::remove(PathOfText(LockPathOf(path)), ignored);
}

int RemoveAbandonedFolders(const std::string& parent)
{
    int removed = 0;
    std::error_code failure;
    for (const auto& entry : fs::directory_iterator(PathOfText(parent), failure)) {
        const std::string folder = FolderOfLock(entry);
        if (folder.empty())
            continue;
        const FileLockAttempt attempt = TryLockFile(LockPathOf(folder), {.create = false});
        if (!attempt.lock)
            continue;
        RemoveFolder(folder);
        std::error_code ignored;
        fs::remove(entry.path(), ignored);
        ++removed;
    }
    return removed;
}
