#pragma once
// The console of a command-line program: whether its output is a terminal
// that can redraw a line, and the user's request to stop.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// True when standard output is an interactive console or terminal.
bool OutputIsTerminal();

// The width of that terminal in columns; 80 when it does not say.
std::size_t TerminalColumns();

// Asks the terminal to take the ANSI sequences that move the cursor up and
// clear below it (Windows' console takes them only when asked). False when
// standard output is no terminal or the terminal cannot.
bool EnableCursorMoves();

// Calls `onStop` once, from a thread of its own, when the user asks the
// program to stop (Ctrl-C, or the system asking it to end). Made before the
// program starts its other threads, so that the request reaches this one
// and no other; while it exists the request no longer ends the process.
class ConsoleStopWatch {
public:
    explicit ConsoleStopWatch(std::function<void()> onStop);
    ~ConsoleStopWatch();
    ConsoleStopWatch(const ConsoleStopWatch&) = delete;
    ConsoleStopWatch& operator=(const ConsoleStopWatch&) = delete;

    struct State;

private:
    State* state;
};

// Windows ends a console program as soon as its handler of the console's
// closing, of a log-off or of a shut-down returns, and at the latest some
// seconds after the event. While a guard exists, such an event calls
// `onClose` once, which asks the program to stop its job in order, and the
// handler then waits until the guard is destroyed (the job has stopped and
// cleaned up) or that time runs out. Ctrl-C stays the caller's own. Other
// systems have no such events: the guard does nothing there.
class ConsoleCloseGuard {
public:
    explicit ConsoleCloseGuard(std::function<void()> onClose);
    ~ConsoleCloseGuard();
    ConsoleCloseGuard(const ConsoleCloseGuard&) = delete;
    ConsoleCloseGuard& operator=(const ConsoleCloseGuard&) = delete;

    struct State;

private:
    State* state;
};

// The program's arguments in UTF-8, whatever the system's code page: on
// Windows `argv` holds them converted to the narrow code page, which loses
// every character outside it, so they are taken from the wide command line.
std::vector<std::string> ProgramArguments(int argc, char** argv);
