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
    if (!event) {
        failedCall = CallFailure("CreateEventW", "the wake event", createError);
        return WaitOutcome::Failed;
    }
    // The change handle comes first: when both are signalled the lower
    // index is reported, so a pending change is never hidden by a wake.
    const HANDLE handles[2] = {change, event};
    switch (::WaitForMultipleObjects(2, handles, FALSE, INFINITE)) {
    case WAIT_OBJECT_0:
        ::WaitForSingleObject(event, 0);
        return WaitOutcome::Changed;
    case WAIT_OBJECT_0 + 1:
        return WaitOutcome::Woken;
    default:
        failedCall = CallFailure("WaitForMultipleObjects", "the change and wake events", ::GetLastError());
        return WaitOutcome::Failed;
    }
}

std::string CallFailure(const std::string& call, const std::string& what, DWORD error)
{
    return call + " on " + what + " (" + SystemErrorText(error) + ")";
}
