#pragma once
// The firmware images of the program folder and the one an update will use:
// the greatest *.bin name in byte order, or a file the user browsed to,
// until the user returns to the folder. A watch thread rescans the folder
// whenever names in it change.

#include "discovery/bin_file.h"
#include "discovery/observers.h"
#include "discovery/watch_thread.h"
#include "platform/folder_source.h"

#include <mutex>
#include <optional>
#include <string>
#include <vector>

class CBinFileManager {
public:
    // `source` must outlive the manager; `folder` is normally ProgramFolder().
    CBinFileManager(ILoaderManager* listener, IFolderSource& source, std::string folder);
    virtual ~CBinFileManager();
    CBinFileManager(const CBinFileManager&) = delete;
    CBinFileManager& operator=(const CBinFileManager&) = delete;

    // First scan and default choice (telling nobody), then the watch thread.
    void Start();
    void Stop();

    // A copy taken under the lock: a rescan never frees what a reader holds.
    std::optional<CBinFile> GetCurrent() const;
    // The folder's image names in byte order.
    std::vector<std::string> Names() const;

    void SetBrowsedFile(const std::string& path);
    void ResetToFolder();

private:
    void Rescan();
    void Watch();

    ILoaderManager* listener;
    IFolderSource& source;
    const std::string folder;
    std::mutex scanLock;  // one rescan at a time, so an older listing never lands last
    mutable std::mutex lock;
    std::vector<CBinFile> files;     // sorted by name, byte order
    std::optional<CBinFile> browsed; // when set, the current image
    CWatchThread watchThread;
};
