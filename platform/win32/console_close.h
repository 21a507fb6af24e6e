#pragma once
// The console events after which Windows ends the process once their
// handler returns, and the handler of the close guard (platform/console.h),
// which tests call as the system would.

#include <chrono>

#include <windows.h>

// Windows ends the process 5 s after a close event at the latest; the
// handler gives up its wait a little before, so that it returns itself.
inline constexpr std::chrono::milliseconds kCloseGrace{4500};

inline bool IsClosingEvent(DWORD event)
{
    return event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
}

// TRUE after a closing event, once the guard is gone or the grace is over;
// FALSE for every other event and when no guard exists, so that the next
// handler (Ctrl-C's) takes it.
BOOL WINAPI OnConsoleClose(DWORD event);
