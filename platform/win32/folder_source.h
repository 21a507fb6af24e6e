#pragma once
// The *.bin entries of a folder, by the system's own (case-insensitive)
// match, and a wait for file names in it to change.

#include "platform/folder_source.h"
#include "platform/win32/wake_event.h"

#include <windows.h>

class CWin32FolderSource final : public IFolderSource {
public:
    CWin32FolderSource() = default;
    ~CWin32FolderSource();
    CWin32FolderSource(const CWin32FolderSource&) = delete;
    CWin32FolderSource& operator=(const CWin32FolderSource&) = delete;

    std::vector<std::string> ListBinFiles(const std::string& folder) override;
    bool Watch(const std::string& folder) override;
    WaitOutcome WaitForChange() override;
    void Wake() override;
    std::string FailedCall() const override;

private:
    bool Rearm();

    HANDLE notification = INVALID_HANDLE_VALUE;
    bool armed = false;
    std::string watched;
    CWin32Wake wake;
    std::string failedCall;
};
