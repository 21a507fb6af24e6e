#pragma once
// The *.bin entries of a folder, watched through inotify for names only.

#include "platform/folder_source.h"
#include "platform/posix/change_watch.h"

class CPosixFolderSource final : public IFolderSource {
public:
    std::vector<std::string> ListBinFiles(const std::string& folder) override;
    bool Watch(const std::string& folder) override;
    WaitOutcome WaitForChange() override;
    void Wake() override;
    std::string FailedCall() const override;

private:
    CPosixChangeWatch watch;
};
