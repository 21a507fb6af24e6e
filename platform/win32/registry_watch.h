#pragma once
// One key below HKEY_LOCAL_MACHINE and a wait for anything below it to
// change: names of values and keys, and values written. The key may be a
// volatile one that Windows makes only once a device has registered since
// boot (the serial port map, a driver's Enum key), and that goes again when
// the last device goes: while it is missing, the nearest of its parents
// that exists is watched until it appears, and it is read as empty.

#include "platform/win32/wake_event.h"

#include <string>
#include <vector>

#include <windows.h>

// One opened key and the event its change notification signals.
class CWin32KeyNotice {
public:
    CWin32KeyNotice();
    ~CWin32KeyNotice();
    CWin32KeyNotice(const CWin32KeyNotice&) = delete;
    CWin32KeyNotice& operator=(const CWin32KeyNotice&) = delete;

    LSTATUS Open(const std::string& path);
    void Close();
    // `ofKey`: every change below the key; otherwise, for a parent, only
    // keys made or removed below it, which is how a missing child shows up.
    LSTATUS Arm(bool ofKey);
    // Deleted keys stay open through our handle, but refuse every query.
    bool Deleted() const;

    HKEY key = nullptr;
    HANDLE changed;
    bool armed = false;
    std::string path;
};

class CWin32RegistryWatch {
public:
    // `path` below HKEY_LOCAL_MACHINE, with backslashes; `parents` the keys
    // to watch while it is missing, the nearest first.
    CWin32RegistryWatch(std::string path, std::vector<std::string> parents);
    CWin32RegistryWatch(const CWin32RegistryWatch&) = delete;
    CWin32RegistryWatch& operator=(const CWin32RegistryWatch&) = delete;

    // False only when neither the key nor any of its parents can be read.
    bool Open();
    // Asks for the next change to be signalled. Needs Open().
    bool Arm();
    // Blocks until the key changes, appears or goes, or Wake(). A change has
    // already asked for the next one when this returns, so the caller's
    // reading afterwards misses nothing.
    WaitOutcome Wait();
    void Wake() { wake.Set(); }

    // Null while the key is missing.
    HKEY Key() const { return target.key; }
    // True once Open() found the key or a parent to watch.
    bool Watching() const { return parent.key != nullptr || target.key != nullptr; }
    const std::string& FailedCall() const { return failedCall; }

private:
    bool Fail(const std::string& call, const std::string& what, LSTATUS status);
    bool OpenNearestParent();
    bool Settle();
    bool ArmTarget();

    std::string path;
    std::vector<std::string> parents;
    CWin32KeyNotice target;
    CWin32KeyNotice parent;
    CWin32Wake wake;
    std::string failedCall;
};
