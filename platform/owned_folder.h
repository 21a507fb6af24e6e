#pragma once
// A folder of this program's below a temporary folder, with a lock file
// beside it that the program holds while it lives. A folder whose lock can
// be taken has lost its owner (a killed or crashed run) and is removed by the
// next program that sweeps the temporary folder; a folder whose owner still
// runs is never touched.
//
// The lock sits beside the folder, not in it, and is taken before the folder
// is made: so a sweep never meets a folder of ours whose lock is not held yet.

#include "platform/file_lock.h"

#include <memory>
#include <string>

class COwnedFolder {
public:
    // Makes a new folder below `parent` named `prefix` and 8 random hex
    // digits, and holds its lock; nothing on failure, with `error` saying why.
    static std::unique_ptr<COwnedFolder> Make(const std::string& parent, const std::string& prefix,
                                              std::string& error);
    // Removes the folder with everything in it and its lock file.
    ~COwnedFolder();
    COwnedFolder(const COwnedFolder&) = delete;
    COwnedFolder& operator=(const COwnedFolder&) = delete;

    const std::string& Path() const { return path; }

private:
    COwnedFolder(std::string path, std::unique_ptr<IFileLock> lock);

    std::string path;
    std::unique_ptr<IFileLock> lock;
};

// What follows a folder's name to name its lock file.
inline constexpr const char* kOwnerLockSuffix = ".owner-lock";

// Removes every owned folder directly below `parent` whose owner is gone,
// with its lock file. Folders without a lock file, links and other files
// are left alone: they are not ours to judge. Returns how many locks it
// cleared.
int RemoveAbandonedFolders(const std::string& parent);
