#include "shell/win32/window_message_target.h"

void CWindowMessageTarget::Post(unsigned message, WParam wparam, LParam lparam)
{
    if (const HWND window = target.load())
        PostMessageW(window, message, wparam, lparam);
}

LParam CWindowMessageTarget::Send(unsigned message, WParam wparam, LParam lparam)
{
    // A window that is gone answers 0 at once, so a worker never waits for a
    // dialog that has ended.
    const HWND window = target.load();
    return window ? SendMessageW(window, message, wparam, lparam) : 0;
}

void CWindowMessageTarget::DeliverPending(int milliseconds)
{
    // The wait ends early when a message is sent to this thread's windows;
    // PeekMessage with PM_QS_SENDMESSAGE then handles every sent message and
    // takes nothing out of the queue.
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(milliseconds), QS_SENDMESSAGE, 0);
    MSG pending;
    PeekMessageW(&pending, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}
