#include "platform/win32/wake_event.h"

#include "platform/win32/wide_text.h"

// Made here, before any other thread can call Set(). Auto-reset: one Set()
// ends one wait, like a written eventfd read once.
CWin32Wake::CWin32Wake()
    : event(::CreateEventW(nullptr, FALSE, FALSE, nullptr)), createError(event ? ERROR_SUCCESS : ::GetLastError())
{
}

CWin32Wake::~CWin32Wake()
{
    if (event)
        ::CloseHandle(event);
}

void CWin32Wake::Set()
{
    if (event)
        ::SetEvent(event);
}

WaitOutcome CWin32Wake::Wait(HANDLE change, std::string& failedCall)
{
    const auto which = WaitAny(std::span(&change, 1), failedCall);
    if (!which)
        return WaitOutcome::Failed;
    if (*which == 1)
        return WaitOutcome::Woken;
    Clear();
    return WaitOutcome::Changed;
}

void CWin32Wake::Clear()
{
    if (event)
        ::WaitForSingleObject(event, 0);
}

// The changes come first: when several handles are signalled the lowest
// index is reported, so a pending change is never hidden by a wake. The
// wake stays pending then, for the caller to take or to wait on again.
std::optional<std::size_t> CWin32Wake::WaitAny(std::span<const HANDLE> changes, std::string& failedCall)
{
    if (!event) {
        failedCall = CallFailure("CreateEventW", "the wake event", createError);
        return std::nullopt;
    }
    std::vector<HANDLE> handles(changes.begin(), changes.end());
    handles.push_back(event);
    const DWORD result =
        ::WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, INFINITE);
    if (result >= WAIT_OBJECT_0 && result < WAIT_OBJECT_0 + handles.size())
        return result - WAIT_OBJECT_0;
    failedCall = CallFailure("WaitForMultipleObjects", "the change and wake events", ::GetLastError());
    return std::nullopt;
}

std::string CallFailure(const std::string& call, const std::string& what, DWORD error)
{
    return call + " on " + what + " (" + SystemErrorText(error) + ")";
}
