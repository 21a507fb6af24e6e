#include "platform/console.h"

#include "platform/win32/wide_text.h"

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
// that it ends in order.
struct ConsoleStopWatch::State {
    std::function<void()> onStop;
    bool stopped = false;
};

namespace {

std::mutex watchMutex;
ConsoleStopWatch::State* current = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD)
{
    std::lock_guard lock(watchMutex);
    if (current && !current->stopped) {
        current->stopped = true;
        current->onStop();
    }
    return TRUE;
}

}  // namespace

ConsoleStopWatch::ConsoleStopWatch(std::function<void()> onStop) : state(new State{std::move(onStop)})
{
    std::lock_guard lock(watchMutex);
    current = state;
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

ConsoleStopWatch::~ConsoleStopWatch()
{
    ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    {
        std::lock_guard lock(watchMutex);
        current = nullptr;
    }
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
