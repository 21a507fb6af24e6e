#pragma once
// One key below HKEY_LOCAL_MACHINE, kept open while the program runs, and a
// wait for anything below it to change: names of values and keys, and
// values written.

#include "platform/win32/wake_event.h"

#include <string>

#include <windows.h>

class CWin32RegistryWatch {
public:
    // `path` below HKEY_LOCAL_MACHINE, with backslashes.
    explicit CWin32RegistryWatch(std::string path);
    ~CWin32RegistryWatch();
    CWin32RegistryWatch(const CWin32RegistryWatch&) = delete;
    CWin32RegistryWatch& operator=(const CWin32RegistryWatch&) = delete;

    // False when the key is missing or may not be read.
    bool Open();
    // Asks for the next change to be signalled. Needs Open().
    bool Arm();
    // Blocks until a change below the key or Wake(). A change has already
    // asked for the next one when this returns, so the caller's reading
    // afterwards misses nothing.
    WaitOutcome Wait();
    void Wake() { wake.Set(); }

    // Null until Open() succeeds.
    HKEY Key() const { return key; }
    const std::string& FailedCall() const { return failedCall; }

private:
    bool Fail(const std::string& call, LSTATUS status);

    std::string path;
    HKEY key = nullptr;
    HANDLE changed;
    CWin32Wake wake;
    bool armed = false;
    std::string failedCall;
};
