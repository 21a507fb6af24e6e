#pragma once
// The watch threads block in WaitForMultipleObjects on the system's change
// handle and on a wake event of ours, so that an orderly stop (or an extra
// port coming or going) ends a wait at once and nothing ever polls.

#include "platform/change_wait.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

#include <windows.h>

class CWin32Wake {
public:
    CWin32Wake();
    ~CWin32Wake();
    CWin32Wake(const CWin32Wake&) = delete;
    CWin32Wake& operator=(const CWin32Wake&) = delete;

    // Ends a running or the next Wait(). Safe from any thread.
    void Set();
    // Blocks until `change` is signalled or Set(). A change wins over a
    // pending wake and takes it along: the caller reads afresh either way,
    // and a stop is seen through the caller's own flag.
    WaitOutcome Wait(HANDLE change, std::string& failedCall);
    // Takes a pending Set() along with a change: the caller reads afresh
    // either way, and a stop is seen through the caller's own flag.
    void Clear();
    // Blocks until one of `changes` is signalled (its index, the lowest of
    // those signalled) or Set() (the number of changes); nothing when the
    // wait fails.
    std::optional<std::size_t> WaitAny(std::span<const HANDLE> changes, std::string& failedCall);

private:
    HANDLE event;
    DWORD createError;
};

// "call on what (the system's words)", the form every source reports in.
std::string CallFailure(const std::string& call, const std::string& what, DWORD error);
