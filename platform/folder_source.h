#pragma once
// The image files of a folder, and a wait for names in it to change.

#include "platform/change_wait.h"

#include <string>
#include <vector>

class IFolderSource {
public:
    virtual ~IFolderSource() = default;

    // Names of the entries that match "*.bin", in the order the folder
    // lists them. Folders named like an image are listed too. An unreadable
    // folder lists nothing.
    virtual std::vector<std::string> ListBinFiles(const std::string& folder) = 0;
    // Arms the notification for names created, deleted or moved in `folder`
    // (not for content changes, not for subfolders).
    virtual bool Watch(const std::string& folder) = 0;
    virtual WaitOutcome WaitForChange() = 0;
    virtual void Wake() = 0;
    virtual std::string FailedCall() const = 0;
};
