#include "platform/win32/registry_watch.h"

#include "platform/win32/wide_text.h"

namespace {

// Value names and data; also keys made or removed below ours.
constexpr DWORD kNotifyFilter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;

}  // namespace

// Auto-reset: the wait that sees a change also clears it, and every
// registration signals at most once.
CWin32RegistryWatch::CWin32RegistryWatch(std::string path)
    : path(std::move(path)), changed(::CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
    if (!changed)
        Fail("CreateEventW", static_cast<LSTATUS>(::GetLastError()));
}

CWin32RegistryWatch::~CWin32RegistryWatch()
{
    if (key)
        ::RegCloseKey(key);
    if (changed)
        ::CloseHandle(changed);
}

bool CWin32RegistryWatch::Fail(const std::string& call, LSTATUS status)
{
    failedCall = CallFailure(call, "HKEY_LOCAL_MACHINE\\" + path, static_cast<DWORD>(status));
    return false;
}

bool CWin32RegistryWatch::Open()
{
    if (key)
        return true;
    const LSTATUS status = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(path).c_str(), 0, KEY_READ, &key);
    if (status != ERROR_SUCCESS) {
        key = nullptr;
        return Fail("RegOpenKeyExW", status);
    }
    return true;
}

// Thread-agnostic: Watch() arms on the starting thread, the watch thread
// re-arms, and the first registration must not end with its thread.
bool CWin32RegistryWatch::Arm()
{
    if (!changed)
        return false;
    if (!key)
        return Fail("RegNotifyChangeKeyValue", ERROR_INVALID_HANDLE);
    const LSTATUS status =
        ::RegNotifyChangeKeyValue(key, TRUE, kNotifyFilter | REG_NOTIFY_THREAD_AGNOSTIC, changed, TRUE);
    armed = status == ERROR_SUCCESS;
    return armed || Fail("RegNotifyChangeKeyValue", status);
}

// A failed re-arm after a change still reports that change, so that it is
// read; the wait after it tries once more and fails (the key was deleted,
// for one).
WaitOutcome CWin32RegistryWatch::Wait()
{
    if (!armed && !Arm())
        return WaitOutcome::Failed;
    const WaitOutcome outcome = wake.Wait(changed, failedCall);
    if (outcome == WaitOutcome::Changed) {
        armed = false;
        Arm();
    }
    return outcome;
}
