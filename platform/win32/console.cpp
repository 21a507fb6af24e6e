#include "platform/console.h"

#include "platform/win32/console_close.h"
#include "platform/win32/wide_text.h"

#include <condition_variable>
#include <mutex>

#include <windows.h>

#include <shellapi.h>

bool OutputIsTerminal()
{
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

bool EnableCursorMoves()
{
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    return ::GetConsoleMode(output, &mode) &&
           ::SetConsoleMode(output, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

std::size_t TerminalColumns()
{
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (::GetConsoleScreenBufferInfo(::GetStdHandle(STD_OUTPUT_HANDLE), &info) &&
        info.srWindow.Right > info.srWindow.Left)
        return static_cast<std::size_t>(info.srWindow.Right - info.srWindow.Left + 1);
    return 80;
}

// The system calls the handler on a thread of its own for Ctrl-C, Ctrl-Break
// and the closing of the console; returning TRUE keeps the process alive so
// that it ends in order, except after a close, a log-off or a shut-down:
// then the process ends when the handler returns, so the handler waits for
// the orderly end itself.
struct ConsoleStopWatch::State {
    std::function<void()> onStop;
    bool stopped = false;
};

namespace {

std::mutex watchMutex;
std::condition_variable watchEnded;
ConsoleStopWatch::State* current = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    std::unique_lock lock(watchMutex);
    if (current && !current->stopped) {
        current->stopped = true;
        current->onStop();
    }
    if (IsClosingEvent(event))
        watchEnded.wait_for(lock, kCloseGrace, [] { return current == nullptr; });
    return TRUE;
}

}  // namespace

ConsoleStopWatch::ConsoleStopWatch(std::function<void()> onStop) : state(new State{std::move(onStop)})
{
    std::lock_guard lock(watchMutex);
    current = state;
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

// The waiting handler is let go before the handler is removed: wine removes
// it only once no handler runs.
ConsoleStopWatch::~ConsoleStopWatch()
{
    {
        std::lock_guard lock(watchMutex);
        current = nullptr;
    }
    watchEnded.notify_all();
    ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    delete state;
}

struct ConsoleCloseGuard::State {
    std::function<void()> onClose;
    bool asked = false;
};

namespace {

std::mutex guardMutex;
std::condition_variable guardEnded;
ConsoleCloseGuard::State* guarded = nullptr;

}  // namespace

BOOL WINAPI OnConsoleClose(DWORD event)
{
    if (!IsClosingEvent(event))
        return FALSE;
    std::unique_lock lock(guardMutex);
    if (!guarded)
        return FALSE;
    if (!guarded->asked) {
        guarded->asked = true;
        guarded->onClose();
    }
    guardEnded.wait_for(lock, kCloseGrace, [] { return guarded == nullptr; });
    return TRUE;
}

ConsoleCloseGuard::ConsoleCloseGuard(std::function<void()> onClose) : state(new State{std::move(onClose)})
{
    std::lock_guard lock(guardMutex);
    guarded = state;
    ::SetConsoleCtrlHandler(OnConsoleClose, TRUE);
}

ConsoleCloseGuard::~ConsoleCloseGuard()
{
    {
        std::lock_guard lock(guardMutex);
        guarded = nullptr;
    }
    guardEnded.notify_all();
    ::SetConsoleCtrlHandler(OnConsoleClose, FALSE);
    delete state;
}

std::vector<std::string> ProgramArguments(int argc, char** argv)
{
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide)
        return {argv, argv + argc};
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(Narrow(wide[i]));
    ::LocalFree(wide);
    return arguments;
}
