#pragma once
// The watch threads block in WaitForMultipleObjects on the system's change
// handle and on a wake event of ours, so that an orderly stop (or an extra
// port coming or going) ends a wait at once and nothing ever polls.

#include "platform/change_wait.h"

#include <string>

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

private:
    HANDLE event;
    DWORD createError;
};

// "call on what (the system's words)", the form every source reports in.
std::string CallFailure(const std::string& call, const std::string& what, DWORD error);
