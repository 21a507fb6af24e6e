#include "platform/win32/registry_watch.h"

#include "platform/win32/wide_text.h"

namespace {

// Value names and data; also keys made or removed below ours.
constexpr DWORD kKeyFilter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
// A parent is only looked at for keys coming or going. Its whole subtree:
// wine 8 tells a key's making only to the key itself and to the subtree
// watches above it.
constexpr DWORD kParentFilter = REG_NOTIFY_CHANGE_NAME;

std::string Full(const std::string& path) { return "HKEY_LOCAL_MACHINE\\" + path; }

}  // namespace

// Auto-reset: the wait that sees a change also clears it, and every
// registration signals at most once.
CWin32KeyNotice::CWin32KeyNotice() : changed(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

CWin32KeyNotice::~CWin32KeyNotice()
{
    Close();
    if (changed)
        ::CloseHandle(changed);
}

// The key held so far stays until the new one opens.
LSTATUS CWin32KeyNotice::Open(const std::string& keyPath)
{
    HKEY opened = nullptr;
    const LSTATUS status = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(keyPath).c_str(), 0, KEY_READ, &opened);
    if (status != ERROR_SUCCESS)
        return status;
    Close();
    key = opened;
    path = keyPath;
    return status;
}

// A signal still pending for the closed key would be taken for the next
// key's change: cleared with it.
void CWin32KeyNotice::Close()
{
    if (key)
        ::RegCloseKey(key);
    key = nullptr;
    armed = false;
    path.clear();
    if (changed)
        ::WaitForSingleObject(changed, 0);
}

// Thread-agnostic: the monitor arms on the starting thread, the watch thread
// re-arms, and the first registration must not end with its thread.
LSTATUS CWin32KeyNotice::Arm(bool ofKey)
{
    if (!changed)
        return static_cast<LSTATUS>(ERROR_INVALID_HANDLE);
    const LSTATUS status = ::RegNotifyChangeKeyValue(
        key, TRUE, (ofKey ? kKeyFilter : kParentFilter) | REG_NOTIFY_THREAD_AGNOSTIC, changed, TRUE);
    armed = status == ERROR_SUCCESS;
    return status;
}

bool CWin32KeyNotice::Deleted() const
{
    return ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr) != ERROR_SUCCESS;
}

CWin32RegistryWatch::CWin32RegistryWatch(std::string path, std::vector<std::string> parents)
    : path(std::move(path)), parents(std::move(parents))
{
}

bool CWin32RegistryWatch::Fail(const std::string& call, const std::string& what, LSTATUS status)
{
    failedCall = CallFailure(call, Full(what), static_cast<DWORD>(status));
    return false;
}

bool CWin32RegistryWatch::Open()
{
    if (Watching())
        return true;
    const LSTATUS status = target.Open(path);
    if (!OpenNearestParent() && status != ERROR_SUCCESS)
        return Fail("RegOpenKeyExW", path, status);
    return true;
}

// Armed first and the key looked for afterwards: a key made in between
// is found by the look, one made later signals.
bool CWin32RegistryWatch::OpenNearestParent()
{
    for (const std::string& candidate : parents) {
        const bool kept = parent.key && parent.path == candidate && !parent.Deleted();
        if (!kept && parent.Open(candidate) != ERROR_SUCCESS)
            continue;
        if (parent.armed)
            return true;
        const LSTATUS status = parent.Arm(false);
        return status == ERROR_SUCCESS || Fail("RegNotifyChangeKeyValue", candidate, status);
    }
    parent.Close();
    return false;
}

bool CWin32RegistryWatch::ArmTarget()
{
    if (!target.key || target.armed)
        return true;
    const LSTATUS status = target.Arm(true);
    return status == ERROR_SUCCESS || Fail("RegNotifyChangeKeyValue", path, status);
}

bool CWin32RegistryWatch::Arm()
{
    if (!Watching())
        return Fail("RegNotifyChangeKeyValue", path, ERROR_INVALID_HANDLE);
    if (!OpenNearestParent() && !target.key)
        return false;
    if (!target.key)
        target.Open(path);
    return ArmTarget();
}

// Looks again after a parent changed: true when the key came, went, or was
// made anew, which the caller reports as a change.
// (A handle's number says nothing here: a key made anew may get the number
// of the one that went.)
bool CWin32RegistryWatch::Settle()
{
    const bool had = target.key != nullptr;
    bool gone = false;
    OpenNearestParent();
    if (had && target.Deleted()) {
        target.Close();
        gone = true;
    }
    if (!target.key)
        target.Open(path);
    return gone || (!had && target.key);
}

// A deleted key is seen through the parent's wait (wine does not signal a
// deletion to a wait armed on the deleted key; Windows does, and then the
// key's own wait tells). Either way the key reads as missing and the parent
// is watched until it comes back.
WaitOutcome CWin32RegistryWatch::Wait()
{
    for (;;) {
        // A key that came since the last reading is a change of its own.
        const bool missing = target.key == nullptr;
        if (!Arm())
            return WaitOutcome::Failed;
        if (missing && target.key) {
            wake.Clear();
            return WaitOutcome::Changed;
        }
        std::vector<HANDLE> changes{parent.key ? parent.changed : nullptr,
                                    target.key ? target.changed : nullptr};
        std::erase(changes, nullptr);
        const auto which = wake.WaitAny(changes, failedCall);
        if (!which)
            return WaitOutcome::Failed;
        if (*which == changes.size())
            return WaitOutcome::Woken;
        const bool ofKey = changes[*which] == target.changed;
        (ofKey ? target : parent).armed = false;
        if (ofKey && target.Deleted())
            target.Close();
        if (Settle() || ofKey) {
            // Re-armed before the caller reads; a failure shows in the next wait.
            Arm();
            wake.Clear();
            return WaitOutcome::Changed;
        }
    }
}
